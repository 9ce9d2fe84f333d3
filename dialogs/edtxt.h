#pragma once
// The edit-text window: the label standing at one point of the open
// diagram, to be edited, deleted or moved to another layer. Opening it makes
// the label's layer the current layer of the program, as the segment
// details do for a segment.

#include "store/records.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class Store;
struct Forms;

class TFedtxt : public QDialog
{
    Q_OBJECT

  public:
    TFedtxt(Store& store, Forms& forms, QWidget* parent = nullptr);

    // Opens on the label at the point; a point without a label opens
    // nothing and says nothing.
    void EditTextAtPoint(int32_t pointnum);

    QLineEdit* Edit1;
    QPushButton* Button4; // "Layer=<n>"
    QPushButton* Button1; // "OK"
    QPushButton* Button3; // "Delete"
    QPushButton* Button2; // "Cancel"

    TTextRec EditedText;

  private:
    void ShowLayerButton();
    void Button4Click();
    void Button1Click();
    void Button3Click();
    void SaveText();

    Store& store_;
    Forms& forms_;
};
