#include "sheet/geometry.h"

#include "dialogs/edition.h"
#include "library/qorvlib.h"
#include "sheet/sheet.h"
#include "store/store.h"

#include <QPushButton>
#include <cmath>

namespace
{

constexpr int ArcAngleLimit = 360;

// An unstored point at the lengths, with its pixels from them.
TPointRec UnstoredPointAt(const Store& core, Extended lenx, Extended leny)
{
    TPointRec p;
    p.Pointnum = -1;
    p.Lenx = lenx;
    p.Leny = leny;
    p.Pxlx = core.LenToPixelX(lenx);
    p.Pxly = core.LenToPixelY(leny);
    return p;
}

} // namespace

SheetState& SheetGeometry::Sheet() const
{
    return sheet_.Sheet;
}

Store& SheetGeometry::Core() const
{
    return sheet_.Sheet.Core();
}

bool SheetGeometry::OnSheet(int x, int y) const
{
    const Store& core = Core();
    return x >= 0 && x < core.SheetWidth && y >= 0 && y < core.SheetHeight;
}

void SheetGeometry::AngleBtnClick()
{
    SheetState& sheet = Sheet();
    QString text = QString::number(sheet.Drawing.ArcAngle);
    if (!InputText(QStringLiteral("Enter angle in degrees (<0 = anticlockwise)"), text))
        return;
    int32_t angle = 0;
    if (!ParseInteger(text, angle) || angle == 0 || angle < -ArcAngleLimit ||
        angle > ArcAngleLimit) {
        ShowInfo(QStringLiteral("Invalid angle"));
        return;
    }
    // Hiding X takes the arc preview away; showing it draws the new arc.
    CursorXHidden hidden(sheet);
    sheet.Drawing.ArcAngle = angle;
    sheet_.AngleBtn->setText(QStringLiteral("angle = ") + text + QChar(0x00B0));
}

void SheetGeometry::HalfWayBtnClick()
{
    SheetState& sheet = Sheet();
    sheet.SaveUndoOX();
    CursorXHidden hidden(sheet);
    TPointRec& x = sheet.CursorX();
    const TPointRec& o = sheet.CursorO();
    x.Pxlx = (x.Pxlx + o.Pxlx) / 2;
    x.Pxly = (x.Pxly + o.Pxly) / 2;
    x.Lenx = (x.Lenx + o.Lenx) / 2;
    x.Leny = (x.Leny + o.Leny) / 2;
    // A stored point there gives X its record; otherwise X is a new place
    // whose pixels come from its lengths.
    Core().FindPointAtLength(x);
}

void SheetGeometry::OrthogonalOX(char side)
{
    SheetState& sheet = Sheet();
    sheet.SaveUndoOX();
    if (sheet.ScaleMissing())
        return;
    {
        CursorsHidden hidden(sheet);
        TPointRec& x = sheet.CursorX();
        const Extended dx = x.Lenx - sheet.CursorO().Lenx;
        const Extended dy = x.Leny - sheet.CursorO().Leny;
        sheet.CursorO() = x;
        // Pixel rows grow downwards with y, so "left" turns a segment drawn
        // to the right upwards on the screen.
        if (side == 'L')
            x = UnstoredPointAt(Core(), x.Lenx + dy, x.Leny - dx);
        else
            x = UnstoredPointAt(Core(), x.Lenx - dy, x.Leny + dx);
    }
    sheet_.Joining.StartJoining();
    if (sheet.ExtendHintPending) {
        sheet.ExtendHintPending = false;
        ShowInfo(QStringLiteral("Use + or - to extend/reduce the new OX\r(this message will not "
                                "be displayed again)"));
    }
    sheet_.ClearActiveControl();
}

bool SheetGeometry::PrepareExtend()
{
    SheetState& sheet = Sheet();
    const TPointRec& x = sheet.CursorX();
    const TPointRec& o = sheet.CursorO();
    if (x.Lenx == o.Lenx || x.Leny == o.Leny) {
        ShowInfo(QStringLiteral("The Extend facility only applies to diagonals"));
        return false;
    }
    sheet.SaveUndoOX();
    const Extended dx = x.Lenx - o.Lenx;
    const Extended dy = x.Leny - o.Leny;
    if (std::fabs(dx) > std::fabs(dy)) {
        ExtendSlope = dy / dx;
        ExtendAxis = 'x';
        ExtendDirection = dx > 0 ? 1 : -1;
    } else {
        ExtendSlope = dx / dy;
        ExtendAxis = 'y';
        ExtendDirection = dy > 0 ? 1 : -1;
    }
    return true;
}

void SheetGeometry::ExtendStep(int step)
{
    SheetState& sheet = Sheet();
    const Store& core = Core();
    TPointRec& x = sheet.CursorX();
    const TPointRec& base = sheet.PrevX;
    if (ExtendAxis == 'x') {
        x.Pxlx += step * ExtendDirection;
        x.Lenx = core.PixelToLenX(x.Pxlx);
        x.Leny = (x.Lenx - base.Lenx) * ExtendSlope + base.Leny;
        x.Pxly = core.LenToPixelY(x.Leny);
    } else {
        x.Pxly += step * ExtendDirection;
        x.Leny = core.PixelToLenY(x.Pxly);
        x.Lenx = (x.Leny - base.Leny) * ExtendSlope + base.Lenx;
        x.Pxlx = core.LenToPixelX(x.Lenx);
    }
    x.Pointnum = -1;
    x.Multiple = false;
}

void SheetGeometry::ExtendKey(int step)
{
    SheetState& sheet = Sheet();
    // Pixels become lengths here: without a scale there is nothing to divide by.
    if (sheet.ScaleMissing() || !PrepareExtend())
        return;
    CursorXHidden hidden(sheet);
    ExtendStep(step);
}

bool SheetGeometry::ExtendAlongDiagonal(int step)
{
    SheetState& sheet = Sheet();
    if (sheet.ScaleMissing() || !PrepareExtend())
        return false;
    {
        // Only X leaves the bitmap: a shown O cursor counts as colour and
        // stops the walk towards O at the latest.
        CursorXHidden hidden(sheet);
        TPointRec& x = sheet.CursorX();
        do {
            const TPointRec last = x;
            ExtendStep(step);
            if (!OnSheet(x.Pxlx, x.Pxly)) {
                x = last;
                break;
            }
        } while (sheet.Bitmap.Pixel(x.Pxlx, x.Pxly) == SheetPaper);
    }
    sheet_.ClearActiveControl();
    return true;
}

void SheetGeometry::Button4Click()
{
    ExtendAlongDiagonal(-1);
}

void SheetGeometry::Button5Click()
{
    SheetState& sheet = Sheet();
    const TPointRec oldEnd = sheet.CursorX();
    // The segment to extend is the one between O and X before the walk:
    // once X has left its end, the status panel no longer names it.
    const bool onSegment = Core().CurrentSegment.Segnum > 0;
    if (!ExtendAlongDiagonal(1) || !onSegment)
        return;
    if (!Confirm(QStringLiteral("Extend segment?")))
        return;
    {
        CursorsHidden hidden(sheet);
        sheet.CursorO() = oldEnd;
    }
    sheet_.Joining.StartJoining();
}

void SheetGeometry::DrawEllipseOX()
{
    SheetState& sheet = Sheet();
    const TPointRec& x = sheet.CursorX();
    const TPointRec& o = sheet.CursorO();
    if (sheet.Program().EllipseNeedsDiagonal && (x.Pxlx == o.Pxlx || x.Pxly == o.Pxly)) {
        ShowInfo(QStringLiteral("OX must be diagonal for ellipse"));
        return;
    }
    Canvas& canvas = sheet.Bitmap;
    canvas.SetBrushColour(Canvas::White);
    canvas.SetBrushStyle(BrushStyle::Clear);
    canvas.SetPenMode(PenMode::Xor);
    canvas.Ellipse(x.Pxlx, x.Pxly, o.Pxlx, o.Pxly);
    canvas.SetPenMode(PenMode::Copy);
    sheet.Host().BitmapChanged();
}

void SheetGeometry::Button1Click()
{
    SheetState& sheet = Sheet();
    const Store& core = Core();
    const Extended a = std::fabs(sheet.CursorO().Lenx - sheet.CursorX().Lenx);
    const Extended b = std::fabs(sheet.CursorO().Leny - sheet.CursorX().Leny);
    const QString& units = core.DiagramUnits;
    ShowInfo(QStringLiteral("Area = X x Y = ") + core.FormatLength(a) + QStringLiteral(" x ") +
             core.FormatLength(b) + QStringLiteral(" = ") + core.FormatLength(a * b) +
             QStringLiteral(" square ") + units + QStringLiteral("\r") +
             QStringLiteral("Perimeter = 2X + 2Y = ") + core.FormatLength((a + b) * 2) +
             QStringLiteral(" ") + units);
}
