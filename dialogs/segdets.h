#pragma once
// The segment-details window: one segment's measured and drawn lengths, its
// type, end points and stored extents, with its four drawing properties
// (layer, dotted, XOR, faint) to change, and its deletion. Showing a segment
// makes its layer the current layer of the program.

#include "store/records.h"

#include <QDialog>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPushButton;
class QTabWidget;
class QWidget;
class Store;
struct Forms;

class TFSegdets : public QDialog
{
    Q_OBJECT

  public:
    TFSegdets(Store& store, Forms& forms, QWidget* parent = nullptr);

    // Shows the segment; oPointNum is the point under O, which decides the
    // end tagged O. True when the properties were saved or the segment
    // deleted, with the shown record copied back; otherwise the caller's
    // record is left as it was.
    bool EditSegment(TSegRec& segment, int32_t oPointNum);

    void FillSegmentDetails();
    void ShowSegmentProperties();
    void SetPropertiesEdited(bool edited);
    // True when the segment was deleted.
    bool DeleteSegmentWithConfirm();

    TSegRec EditedSegment;
    int32_t OPointNum = -1;
    bool FillingDetails = true;

    QMenuBar* MainMenu1;
    QAction* Close1;
    QAction* Delete1;
    QTabWidget* PageControl1;
    QWidget* TabSheet1; // "Segment details"
    QLabel* Label1;
    QGroupBox* GroupBox1; // "Length (<units>) "
    QLabel* Label3;       // "Drawn" / "Radius"
    QLabel* Label2;       // "Measured" / "Angle"
    QLineEdit* seglenxbox;
    QLineEdit* MlenxBox;
    QLineEdit* seglenybox;
    QLineEdit* MlenyBox;
    QLineEdit* seglenzbox;
    QLineEdit* mlenzbox;
    QGroupBox* GroupBox3; // "Properties "
    QCheckBox* XORChk;
    QCheckBox* DottedChk;
    QCheckBox* FaintChk;
    QPushButton* LayerBtn;
    QPushButton* UpdBtn;    // "Save"
    QPushButton* CancelBtn; // "Cancel" while edited, else "Close"
    QWidget* TabSheet2;     // "Debug info"
    QGroupBox* GroupBox4;   // "Points "
    QLabel* FromLbl;
    QPushButton* FromBtn;
    QLabel* ToLbl;
    QPushButton* ToBtn;
    QGroupBox* GroupBox2; // "Debug info"
    QLabel* CreateTSLbl;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;

  private:
    QWidget* BuildDetailsTab();
    QWidget* BuildDebugTab();
    void ShowLayerButton();
    void PropertyClick();
    void UpdBtnClick();
    void CancelBtnClick();
    void LayerBtnClick();
    void FromBtnClick();
    void ToBtnClick();
    void Delete1Click();

    Store& store_;
    Forms& forms_;
};
