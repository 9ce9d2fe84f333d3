#pragma once
// The point-details window: one point of the open diagram, whose position
// the user corrects either in length units or in pixels. On each axis a
// length typed into wins; a changed pixel becomes a length only when the
// length was left as shown.

#include "store/records.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class Store;

class TFEdPt : public QDialog
{
    Q_OBJECT

  public:
    explicit TFEdPt(Store& store, QWidget* parent = nullptr);

    // Shows the point; true when Save stored it. The caller's record is not
    // changed: the store holds the new position.
    bool EditPoint(const TPointRec& point);

    QLabel* Label1;
    QLabel* CreateTSLbl;
    QLabel* Label2;
    QLineEdit* Edit1; // x length
    QLineEdit* Edit2; // y length
    QLabel* Label3;
    QLineEdit* Edit3; // x pixel
    QLineEdit* Edit4; // y pixel
    QLabel* Label4;
    QPushButton* OKBtn;     // "Save"
    QPushButton* CancelBtn; // "Cancel"

    TPointRec EditedPoint;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void FillEdits();
    void OKBtnClick();
    // The edits read back into a point; false, with a message, when a text
    // is not a number or a pixel cannot be turned into a length.
    bool ReadEdits(TPointRec& rec);

    Store& store_;
};

// A stored date-time (days since 30 December 1899) as the process-wide date
// and time text.
QString DateTimeValueText(TDateTime value);
