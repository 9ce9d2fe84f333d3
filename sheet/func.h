#pragma once
// The measured-segment dialog: the user stands on X, types what was
// measured on site, and each segment stored starts where the previous one
// ended.

#include "store/records.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class Store;
struct Forms;

class TFseg : public QDialog
{
    Q_OBJECT

  public:
    // The new-segment palette is reached through forms when the dialog shows.
    TFseg(Store& store, Forms& forms, QWidget* parent = nullptr);

    // segment carries O as its from-point and X as its to-point. Shows the
    // dialog for a chain of segments starting at X; true when at least one
    // segment (or a jump) was taken, with segment the last of them, however
    // the dialog was closed. False leaves segment as it was.
    bool EnterMeasuredSegment(TSegRec& segment);
    // Stores the segment the edits describe from MeasureFrom; false, with
    // the reason shown and the edits kept, when nothing was taken.
    bool SaveMeasuredSegment();

    // The point the next segment starts from, O as it was when the dialog
    // opened, and the last segment taken during this showing (Segnum -1
    // and nothing taken when TakenOne is false).
    TPointRec MeasureFrom;
    TPointRec MeasureO;
    TSegRec LastSavedSegment;
    bool TakenOne = false;

    QLabel* Label4;
    QLabel* UnitsLbl;
    QGroupBox* TypeGroup;
    QRadioButton* JmpxyRdio;
    QRadioButton* DrawLineRdio;
    QRadioButton* RectRdio;
    // Only in a program whose edition offers circle entry; else null.
    QRadioButton* CircleRdio = nullptr;
    QGroupBox* HorizontalGroup;
    QLineEdit* Editx;
    QRadioButton* RightRdio;
    QRadioButton* LeftRdio;
    QGroupBox* VerticalGroup;
    QLineEdit* Edity;
    QRadioButton* DownRdio;
    QRadioButton* UpRdio;
    QGroupBox* OXGroup;
    QLineEdit* Editz;
    QRadioButton* TowardsRdio;
    QRadioButton* AwayRdio;
    QPushButton* Button1;
    QPushButton* Button3;
    QPushButton* Button2;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void BuildTypeGroup();
    QGroupBox* BuildLengthGroup(const QString& title, QLineEdit*& edit, QRadioButton*& plus,
                                const QString& plusText, QRadioButton*& minus,
                                const QString& minusText);
    void BuildButtons();
    void FormShow();
    void Button1Click();
    void Button3Click();
    void Button2Click();
    // "Circle": asks a radius and stores the circle about MeasureFrom.
    void CircleRdioClick();
    bool StoreCircle(Extended radius);
    // The segment type chosen before "Circle" is chosen again.
    void RestoreSegmentType(QRadioButton* type);
    int SelectedSegmentType() const;
    // The three lengths in the order the edits are read; false after the
    // first that is not a number, with that edit's message (or, where the
    // edition names the bad text, with the text).
    bool ParseLengths(Extended& x, Extended& y, Extended& z);
    bool ParseLength(const QLineEdit& edit, const QString& message, Extended& value) const;
    // The point z along the line from MeasureFrom towards MeasureO.
    TPointRec PointTowardsO(Extended z) const;
    void CopyPaletteFlags(TSegRec& seg) const;
    // Stores the segment from MeasureFrom to end on the current layer with
    // the palette's flags, and goes on from end.
    void StoreSegmentTo(const TPointRec& end, int segType, Extended mlenx, Extended mleny);

    Store& store_;
    Forms& forms_;
    // The last of "Jump", "Line" and "Rectangle" that was chosen.
    QRadioButton* lastType_ = nullptr;
};
