#include "sheet/movex.h"

#include "dialogs/edition.h"
#include "library/messages.h"
#include "sheet/sheet.h"
#include "store/store.h"

#include <QComboBox>
#include <QPushButton>
#include <QToolButton>
#include <algorithm>

bool SheetMoveX::IsWhite(int x, int y) const
{
    return sheet_.Sheet.Bitmap.Pixel(x, y) == Canvas::White;
}

bool SheetMoveX::GuidesDown() const
{
    return sheet_.GuidesBtn->isChecked();
}

void SheetMoveX::WalkSkip(TPointRec& w, int dx, int dy) const
{
    const Canvas& bitmap = sheet_.Sheet.Bitmap;
    if (IsWhite(w.Pxlx + dx, w.Pxly + dy)) {
        // Over the paper to the first drawn pixel, or to the sheet's edge.
        do {
            if (!bitmap.Contains(w.Pxlx + dx, w.Pxly + dy))
                return;
            w.Pxlx += dx;
            w.Pxly += dy;
        } while (IsWhite(w.Pxlx, w.Pxly));
        return;
    }
    if (IsWhite(w.Pxlx, w.Pxly)) {
        w.Pxlx += dx;
        w.Pxly += dy;
    }
    // Along the line while it stays one colour and nothing touches it from
    // the side: a crossing or branching line ends the walk on its first pixel.
    const CanvasColour line = bitmap.Pixel(w.Pxlx, w.Pxly);
    for (;;) {
        const int nx = w.Pxlx + dx;
        const int ny = w.Pxly + dy;
        if (!bitmap.Contains(nx, ny))
            return;
        const CanvasColour colour = bitmap.Pixel(nx, ny);
        if (colour == Canvas::White)
            return;
        w.Pxlx = nx;
        w.Pxly = ny;
        if (colour != line)
            return;
        if (dx != 0 && (!IsWhite(nx, ny + 1) || !IsWhite(nx, ny - 1)))
            return;
        if (dy != 0 && (!IsWhite(nx + 1, ny) || !IsWhite(nx - 1, ny)))
            return;
    }
}

void SheetMoveX::SkipX(int dx, int dy)
{
    SheetState& s = sheet_.Sheet;
    if (s.ScaleMissing())
        return;
    {
        CursorsHidden hidden(s);
        const TPointRec oldX = s.CursorX();
        TPointRec w = oldX;
        if (!s.Bitmap.Contains(w.Pxlx + dx, w.Pxly + dy)) {
            ShowInfo(QStringLiteral("out of range"));
            return;
        }
        WalkSkip(w, dx, dy);
        s.Core().CurrentSegment.Segnum = -2;
        s.CursorX() = w;
        DeriveLengths(oldX, s.CursorX());
    }
    sheet_.ClearActiveControl();
}

void SheetMoveX::DeriveLengths(const TPointRec& oldX, TPointRec& x)
{
    SheetState& s = sheet_.Sheet;
    Store& core = s.Core();
    // X is a new place now: whether several points share it is for the
    // lookups below to say, not the old X.
    x.Pointnum = -2;
    x.Multiple = false;
    const bool columnKept = x.Pxlx == oldX.Pxlx;
    const bool rowKept = x.Pxly == oldX.Pxly;
    bool onGuide = false;
    if (columnKept) {
        x.Lenx = oldX.Lenx;
        if (GuidesDown() && x.Pxly == s.GuidePoint.Pxly) {
            x.Leny = s.GuidePoint.Leny;
            onGuide = true;
        }
    }
    if (!onGuide && rowKept) {
        x.Leny = oldX.Leny;
        if (GuidesDown() && x.Pxlx == s.GuidePoint.Pxlx) {
            x.Lenx = s.GuidePoint.Lenx;
            onGuide = true;
        }
    }
    if (!onGuide) {
        TSegRec seg;
        TPointRec point;
        const bool segFound = core.FindSegmentInLine(oldX, x, seg);
        // Point 0 is a stored point like any other: X snaps to it too.
        const bool pointFound = core.FindPointInLine(oldX, x, point);
        const bool xMoved = !columnKept;
        const bool yMoved = !rowKept;
        if (segFound) {
            sheet_.EnableSelectSegmentAtX(true);
            s.LastSegment = seg;
        }
        if (segFound && pointFound) {
            if (x.Pxlx < oldX.Pxlx)
                x.Lenx = std::min(seg.Lenx2, point.Lenx);
            else if (x.Pxlx > oldX.Pxlx)
                x.Lenx = std::max(seg.Lenx2, point.Lenx);
            if (x.Pxly < oldX.Pxly)
                x.Leny = std::max(seg.Leny2, point.Leny);
            else if (x.Pxly > oldX.Pxly)
                x.Leny = std::min(seg.Leny2, point.Leny);
        } else if (segFound) {
            if (xMoved)
                x.Lenx = seg.Lenx2;
            if (yMoved)
                x.Leny = seg.Leny2;
        } else if (pointFound) {
            if (xMoved)
                x.Lenx = point.Lenx;
            if (yMoved)
                x.Leny = point.Leny;
        } else {
            if (xMoved)
                x.Lenx = core.PixelToLenX(x.Pxlx);
            if (yMoved)
                x.Leny = core.PixelToLenY(x.Pxly);
        }
        if (pointFound && x.Lenx == point.Lenx && x.Leny == point.Leny) {
            x.Pointnum = point.Pointnum;
            x.Multiple = point.Multiple;
        }
        if (x.Pointnum != -2)
            return;
    }
    core.FindPointAtLength(x);
}

void SheetMoveX::MoveXByPixel(int dx, int dy)
{
    SheetState& s = sheet_.Sheet;
    if (s.ScaleMissing())
        return;
    TPointRec& x = s.CursorX();
    if (!s.Bitmap.Contains(x.Pxlx + dx, x.Pxly + dy))
        return;
    const TPointRec oldX = x;
    x.Pointnum = -2;
    s.Core().CurrentSegment.Segnum = -2;
    x.Pxlx += dx;
    x.Pxly += dy;
    DeriveLengths(oldX, x);
}

void SheetMoveX::ArrowKey(int dx, int dy)
{
    CursorXHidden hidden(sheet_.Sheet);
    MoveXByPixel(dx, dy);
}

void SheetMoveX::PlaceXAtPixel(int x, int y)
{
    SheetState& s = sheet_.Sheet;
    if (s.ScaleMissing())
        return;
    Store& core = s.Core();
    {
        CursorXHidden hidden(s);
        TPointRec& cursor = s.CursorX();
        cursor.Pointnum = -2;
        cursor.Multiple = false;
        core.CurrentSegment.Segnum = -2;
        cursor.Pxlx = x;
        cursor.Pxly = y;
        if (!core.FindVisiblePointAtPixel(cursor)) {
            cursor.Pxlx = x;
            cursor.Pxly = y;
            cursor.Lenx = core.PixelToLenX(x);
            cursor.Leny = core.PixelToLenY(y);
            core.FindPointAtLength(cursor);
        }
    }
    sheet_.ClearActiveControl();
}

void SheetMoveX::FindPointNearX()
{
    SheetState& s = sheet_.Sheet;
    Store& core = s.Core();
    CursorXHidden hidden(s);
    TPointRec found;
    if (core.FindPointNear(s.CursorX().Pxlx, s.CursorX().Pxly, found)) {
        s.CursorX() = found;
        if (!s.Program().PointSearchKeepsSegment)
            core.CurrentSegment.Segnum = -2;
    }
}

void SheetMoveX::FindNearBtnClick()
{
    if (!sheet_.Sheet.Core().CheckDiagramOpen())
        return;
    FindPointNearX();
    if (AskYesNoCancel(QStringLiteral("Also select segment at this point?")) == QLatin1Char('Y')) {
        sheet_.ComboBox1->setCurrentIndex(2);
        sheet_.FirstBtn->click();
    }
}

void SheetMoveX::GuidesBtnClick(bool down)
{
    SheetState& s = sheet_.Sheet;
    if (down)
        s.GuidePoint = s.CursorX();
    s.DrawGuides();
}

void SheetMoveX::SkipButtonDown(int dx, int dy, bool shift)
{
    sheet_.Sheet.SaveUndoOX();
    if (shift)
        sheet_.OX.OtoX();
    SkipX(dx, dy);
    if (shift)
        sheet_.Joining.StartJoining();
}

void SheetMoveX::SkipXUpODown()
{
    SheetState& s = sheet_.Sheet;
    s.SaveUndoOX();
    if (s.ScaleMissing())
        return;
    SkipX(0, 1);
    sheet_.OX.OtoX();
    SkipX(0, -1);
}

void SheetMoveX::SkipXLeftORight()
{
    SheetState& s = sheet_.Sheet;
    s.SaveUndoOX();
    if (s.ScaleMissing())
        return;
    SkipX(1, 0);
    sheet_.OX.OtoX();
    SkipX(-1, 0);
}

void SheetMoveX::SkipXUpLeftODownRight()
{
    SheetState& s = sheet_.Sheet;
    s.SaveUndoOX();
    if (s.ScaleMissing())
        return;
    const TPointRec start = s.CursorX();
    SkipXUpODown();
    const TPointRec up = s.CursorX();
    const TPointRec down = s.CursorO();
    s.HideCursors();
    s.CursorX() = start;
    SkipXLeftORight();
    const TPointRec left = s.CursorX();
    const TPointRec right = s.CursorO();
    CursorsHidden hidden(s);
    s.CursorX() = CornerPoint(left, up);
    s.CursorO() = CornerPoint(right, down);
}
