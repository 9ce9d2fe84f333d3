#include "sheet/func.h"

#include "dialogs/edition.h"
#include "dialogs/forms.h"
#include "dialogs/newseg.h"
#include "library/inpstr.h"
#include "library/messages.h"
#include "library/textnum.h"
#include "store/coords.h"
#include "store/store.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace
{

const QLineEdit* FirstTyped(std::initializer_list<const QLineEdit*> edits)
{
    for (const QLineEdit* edit : edits)
        if (!edit->text().trimmed().isEmpty())
            return edit;
    return nullptr;
}

struct TypedLength {
    Extended Value;
    const QLineEdit* Edit;
};

struct MeasuredLengths {
    TypedLength X, Y, Z;
};

// The edit of a length other than 0 that leaves the new point where it
// starts: a horizontal or vertical length must move its own coordinate, an
// O-X length the point.
const QLineEdit* EditThatMovesNothing(const TPointRec& from, const TPointRec& to,
                                      const MeasuredLengths& l)
{
    if (l.Z.Value != 0) {
        const bool moves = LengthMoves(l.Z.Value, from.Lenx, to.Lenx) ||
                           LengthMoves(l.Z.Value, from.Leny, to.Leny);
        return moves ? nullptr : l.Z.Edit;
    }
    if (l.X.Value != 0 && !LengthMoves(l.X.Value, from.Lenx, to.Lenx))
        return l.X.Edit;
    if (l.Y.Value != 0 && !LengthMoves(l.Y.Value, from.Leny, to.Leny))
        return l.Y.Edit;
    return nullptr;
}

} // namespace

TFseg::TFseg(Store& store, Forms& forms, QWidget* parent)
    : QDialog(parent), store_(store), forms_(forms)
{
    setWindowTitle(QStringLiteral("Measured segment at X"));
    InitPoint(MeasureFrom);
    InitPoint(MeasureO);
    InitSegment(LastSavedSegment);

    Label4 = new QLabel(QStringLiteral("Segment id = nnnn"), this);
    UnitsLbl = new QLabel(QStringLiteral("Units = "), this);
    BuildTypeGroup();
    HorizontalGroup = BuildLengthGroup(QStringLiteral("Length (horizontal)"), Editx, RightRdio,
                                       QStringLiteral("Right"), LeftRdio, QStringLiteral("Left"));
    VerticalGroup = BuildLengthGroup(QStringLiteral("Length (vertical)"), Edity, DownRdio,
                                     QStringLiteral("Down"), UpRdio, QStringLiteral("Up"));
    OXGroup =
        BuildLengthGroup(QStringLiteral("Length (O-X)"), Editz, TowardsRdio,
                         QStringLiteral("Towards O"), AwayRdio, QStringLiteral("Away from O"));
    BuildButtons();

    auto* heading = new QHBoxLayout;
    heading->addWidget(Label4);
    heading->addStretch(1);
    heading->addWidget(UnitsLbl);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addWidget(Button3);
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(heading);
    layout->addWidget(TypeGroup);
    layout->addWidget(HorizontalGroup);
    layout->addWidget(VerticalGroup);
    layout->addWidget(OXGroup);
    layout->addLayout(buttons);
}

void TFseg::BuildTypeGroup()
{
    TypeGroup = new QGroupBox(QStringLiteral("Segment type"), this);
    JmpxyRdio = new QRadioButton(QStringLiteral("Jump"), TypeGroup);
    JmpxyRdio->setToolTip(QStringLiteral("jumps are not stored on the database"));
    DrawLineRdio = new QRadioButton(QStringLiteral("Line"), TypeGroup);
    DrawLineRdio->setToolTip(QStringLiteral("a line is stored as a single segment"));
    RectRdio = new QRadioButton(QStringLiteral("Rectangle"), TypeGroup);
    RectRdio->setToolTip(QStringLiteral("rectangles are stored as 4 separate segments"));
    DrawLineRdio->setChecked(true);
    lastType_ = DrawLineRdio;
    auto* layout = new QHBoxLayout(TypeGroup);
    for (QRadioButton* type : {JmpxyRdio, DrawLineRdio, RectRdio}) {
        layout->addWidget(type);
        connect(type, &QRadioButton::toggled, this, [this, type](bool on) {
            if (on)
                lastType_ = type;
        });
    }
    if (!ProgramEdition(forms_).CircleEntry)
        return;
    CircleRdio = new QRadioButton(QStringLiteral("Circle"), TypeGroup);
    CircleRdio->setToolTip(QStringLiteral("a circle is stored as one arc of 360 degrees"));
    layout->addWidget(CircleRdio);
    connect(CircleRdio, &QRadioButton::clicked, this, &TFseg::CircleRdioClick);
}

QGroupBox* TFseg::BuildLengthGroup(const QString& title, QLineEdit*& edit, QRadioButton*& plus,
                                   const QString& plusText, QRadioButton*& minus,
                                   const QString& minusText)
{
    auto* group = new QGroupBox(title, this);
    edit = new QLineEdit(group);
    plus = new QRadioButton(plusText, group);
    minus = new QRadioButton(minusText, group);
    plus->setChecked(true);
    // Choosing a direction is mostly followed by typing its length.
    QLineEdit* target = edit;
    for (QRadioButton* radio : {plus, minus}) {
        connect(radio, &QRadioButton::clicked, this, [target] { target->setFocus(); });
    }
    auto* layout = new QHBoxLayout(group);
    layout->addWidget(edit, 1);
    layout->addWidget(plus);
    layout->addWidget(minus);
    return group;
}

void TFseg::BuildButtons()
{
    Button1 = new QPushButton(QStringLiteral("OK (close)"), this);
    Button3 = new QPushButton(QStringLiteral("OK (more)"), this);
    Button2 = new QPushButton(QStringLiteral("Cancel"), this);
    // Enter in an edit presses "OK (close)"; Esc closes like "Cancel".
    Button1->setDefault(true);
    Button2->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, &TFseg::Button1Click);
    connect(Button3, &QPushButton::clicked, this, &TFseg::Button3Click);
    connect(Button2, &QPushButton::clicked, this, &TFseg::Button2Click);
}

bool TFseg::EnterMeasuredSegment(TSegRec& segment)
{
    MeasureO = segment.FromPoint;
    MeasureFrom = segment.ToPoint;
    InitSegment(LastSavedSegment);
    TakenOne = false;
    Label4->setText(QStringLiteral("New segment (from X)"));
    exec();
    // However the dialog was closed, what was stored is on the sheet's
    // side now; with nothing stored X stays where it is.
    if (!TakenOne) {
        return false;
    }
    segment = LastSavedSegment;
    return true;
}

void TFseg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TFseg::FormShow()
{
    UnitsLbl->setText(QStringLiteral("Units = ") + store_.DiagramUnits);
    if (TFnewseg* palette = forms_.Fnewseg)
        palette->ShowBeside(*this);
}

void TFseg::Button1Click()
{
    if (SaveMeasuredSegment()) {
        accept();
    }
}

void TFseg::Button3Click()
{
    SaveMeasuredSegment();
}

void TFseg::Button2Click()
{
    accept();
}

int TFseg::SelectedSegmentType() const
{
    if (RectRdio->isChecked()) {
        return SegRectangle;
    }
    if (DrawLineRdio->isChecked()) {
        return SegLine;
    }
    return SegJump;
}

bool TFseg::ParseLength(const QLineEdit& edit, const QString& message, Extended& value) const
{
    if (ProgramEdition(forms_).NamesBadLength)
        return ParseFloatOrWarn(edit.text(), value);
    if (ParseReal(edit.text(), value))
        return true;
    ShowInfo(message);
    return false;
}

bool TFseg::ParseLengths(Extended& x, Extended& y, Extended& z)
{
    return ParseLength(*Editx, QStringLiteral("Invalid horizontal length"), x) &&
           ParseLength(*Edity, QStringLiteral("Invalid vertical length"), y) &&
           ParseLength(*Editz, QStringLiteral("Invalid O-X length"), z);
}

TPointRec TFseg::PointTowardsO(Extended z) const
{
    const Extended d = PointDistance(MeasureFrom, MeasureO);
    TPointRec p = MeasureFrom;
    p.Lenx = MeasureFrom.Lenx + (MeasureO.Lenx - MeasureFrom.Lenx) * z / d;
    p.Leny = MeasureFrom.Leny + (MeasureO.Leny - MeasureFrom.Leny) * z / d;
    return p;
}

void TFseg::CopyPaletteFlags(TSegRec& seg) const
{
    if (const TFnewseg* palette = forms_.Fnewseg) {
        seg.Dotted = palette->DottedChk->isChecked();
        seg.Xorflag = palette->XORChk->isChecked();
        seg.Faint = palette->FaintChk->isChecked();
    }
}

bool TFseg::SaveMeasuredSegment()
{
    const int segType = SelectedSegmentType();
    if (segType != SegJump && !store_.ConfirmCurrentLayerVisible()) {
        return false;
    }
    if (!Editz->text().isEmpty() && (!Editx->text().isEmpty() || !Edity->text().isEmpty())) {
        ShowInfo(QStringLiteral("X & Y must be blank if OX is specified"));
        return false;
    }
    Extended x = 0;
    Extended y = 0;
    Extended z = 0;
    if (!ParseLengths(x, y, z)) {
        return false;
    }
    if (x == 0 && y == 0 && z == 0) {
        // Empty edits are no entry; a typed 0 ("-0" among them) is named.
        if (const QLineEdit* typed = FirstTyped({Editx, Edity, Editz}))
            ShowInfo(QStringLiteral("A length of ") + InDoubleQuotes(typed->text().trimmed()) +
                     QStringLiteral(" moves nothing: enter a length other than 0"));
        return false;
    }
    if (segType == SegRectangle && (x == 0 || y == 0)) {
        ShowInfo(QStringLiteral("Rectangle needs both x & y set"));
        return false;
    }
    if (LeftRdio->isChecked()) {
        x = -x;
    }
    if (UpRdio->isChecked()) {
        y = -y;
    }
    if (AwayRdio->isChecked()) {
        z = -z;
    }

    TPointRec newPoint = MeasureFrom;
    if (z != 0) {
        // With O on X the line X-O has no direction to walk along.
        if (PointDistance(MeasureFrom, MeasureO) == 0) {
            ShowInfo(QStringLiteral("O and X are at the same place, so an O-X length has no "
                                    "direction"));
            return false;
        }
        newPoint = PointTowardsO(z);
    } else {
        newPoint.Lenx = MeasureFrom.Lenx + x;
        newPoint.Leny = MeasureFrom.Leny + y;
    }
    // A length beyond the diagram's range would store a point that no fit can
    // place, or one at infinity that blanks the whole drawing.
    if (!LengthsInRange({x, y, z, newPoint.Lenx, newPoint.Leny})) {
        ShowInfo(LengthOutOfRangeMessage());
        return false;
    }
    // A segment from a point to itself is refused, as a circle of radius 0.
    const MeasuredLengths typed{{x, Editx}, {y, Edity}, {z, Editz}};
    if (const QLineEdit* still = EditThatMovesNothing(MeasureFrom, newPoint, typed)) {
        ShowInfo(LengthTooSmallMessage(QStringLiteral("Length"), still->text().trimmed()));
        return false;
    }
    newPoint.Pointnum = -1;
    newPoint.Multiple = false;
    newPoint.Pxlx = store_.LenToPixelX(newPoint.Lenx);
    newPoint.Pxly = store_.LenToPixelY(newPoint.Leny);

    StoreSegmentTo(newPoint, segType, x, y);
    Editx->clear();
    Edity->clear();
    Editz->clear();
    return true;
}

void TFseg::RestoreSegmentType(QRadioButton* type)
{
    // The group never stays on "Circle": what "OK" stores next is always one
    // of the types it knows.
    type->setChecked(true);
}

void TFseg::CircleRdioClick()
{
    QRadioButton* before = lastType_;
    // A circle is stored like any other segment, on the current layer.
    if (!store_.ConfirmCurrentLayerVisible()) {
        RestoreSegmentType(before);
        return;
    }
    QString typed;
    Extended radius = 0;
    if (!InputText(QStringLiteral("Enter radius"), typed) || !ParseFloatOrWarn(typed, radius) ||
        !StoreCircle(radius)) {
        RestoreSegmentType(before);
        return;
    }
    RestoreSegmentType(DrawLineRdio);
    accept();
}

bool TFseg::StoreCircle(Extended radius)
{
    // A circle of radius 0 would be stored but never drawn, so the user
    // could neither see it nor step to it.
    if (radius == 0) {
        ShowInfo(QStringLiteral("A circle needs a radius other than 0"));
        return false;
    }
    TPointRec rim = MeasureFrom;
    rim.Lenx = MeasureFrom.Lenx + radius;
    if (!LengthsInRange({radius, rim.Lenx})) {
        ShowInfo(LengthOutOfRangeMessage());
        return false;
    }
    if (!LengthMoves(radius, MeasureFrom.Lenx, rim.Lenx)) {
        ShowInfo(LengthTooSmallMessage(QStringLiteral("Radius"), ShortestNumberText(radius)));
        return false;
    }
    rim.Pointnum = -1;
    rim.Multiple = false;
    rim.Pxlx = store_.LenToPixelX(rim.Lenx);

    StoreSegmentTo(rim, SegArc, 360, 0);
    return true;
}

void TFseg::StoreSegmentTo(const TPointRec& end, int segType, Extended mlenx, Extended mleny)
{
    TSegRec seg;
    InitSegment(seg);
    SetSegmentPoints(seg, MeasureFrom, end);
    ComputeSegmentDeltas(seg);
    seg.SegType = segType;
    seg.Mlenx = mlenx;
    seg.Mleny = mleny;
    seg.Layernum = store_.CurrentLayer.Layernum;
    CopyPaletteFlags(seg);
    store_.AddSegment(seg);
    // The chain goes on from the end as computed; the next segment finds
    // its stored point again by the lengths.
    MeasureFrom = end;
    LastSavedSegment = seg;
    TakenOne = true;
}
