#include "sheet/redraw.h"

#include "dialogs/edition.h"
#include "library/busy.h"
#include "library/qorvlib.h"
#include "sheet/sheetstate.h"
#include "store/coords.h"
#include "store/store.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace
{

constexpr int LabelFontPoints = 8;
constexpr double ArcAngleLimit = 1.0e6;

CanvasColour LabelColour(int visib)
{
    switch (visib) {
    case VisibHidden:
        return Canvas::White;
    case VisibFaint:
        return SheetFaintInk;
    default:
        return Canvas::Black;
    }
}

QPoint PixelOf(const ContentPoint& p)
{
    return QPoint(p.Pxlx, p.Pxly);
}

// What the arc plotter takes of an end: its pixels.
TPointRec FittedRecord(const ContentPoint& p)
{
    TPointRec r;
    r.Pxlx = p.Pxlx;
    r.Pxly = p.Pxly;
    return r;
}

} // namespace

int ArcAngleDegrees(double mlenx)
{
    if (std::isnan(mlenx))
        return 0;
    const double held = std::clamp(mlenx, -ArcAngleLimit, ArcAngleLimit);
    return static_cast<int>(std::nearbyint(held)); // the default mode rounds halves to even
}

void SheetRedraw::RefreshSheet()
{
    if (sheet_.CursorXShown || sheet_.CursorOShown) {
        ShowProgramError(QStringLiteral("Cannot refresh, cursors are still on"));
        return;
    }
    std::optional<BusyGuard> busy;
    if (sheet_.Program().BusyRefresh)
        busy.emplace();
    Store& core = sheet_.Core();
    const Store::RefreshScope refreshing(core);
    core.RefreshStarting();
    SheetHost& host = sheet_.Host();
    const QSize client = host.ScrollBoxClientSize();
    core.SheetWidth = client.width() * sheet_.ZoomFactor;
    core.SheetHeight = client.height() * sheet_.ZoomFactor;
    Canvas& bitmap = sheet_.Bitmap;
    bitmap.NewBitmap(core.SheetWidth, core.SheetHeight);
    // White brush and the fresh bitmap's black pen: the frame shows only
    // while nothing is drawn.
    bitmap.Rectangle(0, 0, core.SheetWidth, core.SheetHeight);
    host.ReleaseGuides();

    ReadDiagram(host.SidePanelWidth());
    core.RedrawStamp = core.NextRedrawStamp();
    // A new scale's rewrite of the cached pixels and the stamps of the
    // points drawn at it are kept as one unit, in one commit: when either
    // fails, neither is kept. The painting, which reads the rows the fit
    // rewrote, has ended before they are put back.
    bool painted = false;
    core.WriteGroup(
        [&] {
            painted = core.FitDiagramToSheet(host.SidePanelWidth());
            if (painted)
                DrawDiagram();
        },
        [this] { side_.Wait(); });
    side_.Finish();
    if (painted)
        host.BitmapChanged();
    core.RefreshDrawn();
    core.OpenVisiblePoints();
    ReloadCursorsAndSegment();
    host.BitmapReplaced();
    host.ClearActiveControl();
}

void SheetRedraw::ReadDiagram(int32_t sidePanelWidth)
{
    Store& core = sheet_.Core();
    core.ReadVisibleSegments();
    side_.Start([&core, sidePanelWidth] { core.TakeDiagramAndPrepareFit(sidePanelWidth); });
    try {
        core.OpenVisibleText();
    } catch (...) {
        side_.Wait();
        throw;
    }
    side_.Finish();
}

void SheetRedraw::ReloadCursorsAndSegment()
{
    Store& core = sheet_.Core();
    TPointRec& x = sheet_.CursorX();
    TPointRec& o = sheet_.CursorO();
    core.LoadPoint(x.Pointnum, x);
    core.LoadPoint(o.Pointnum, o);
    core.LoadSegment(core.CurrentSegment.Segnum, core.CurrentSegment);
}

void SheetRedraw::RefreshWithCursors()
{
    CursorsHidden hidden(sheet_);
    RefreshSheet();
    // The redraw left O and X on the ends of the last segment it drew: the
    // segment between them has to be looked up again for the new places.
    sheet_.Core().CurrentSegment.Segnum = -2;
}

void SheetRedraw::RefreshKeepingCursors()
{
    CursorsHidden hidden(sheet_);
    const TPointRec o = sheet_.CursorO();
    const TPointRec x = sheet_.CursorX();
    RefreshSheet();
    Store& core = sheet_.Core();
    sheet_.CursorO() = o;
    sheet_.CursorX() = x;
    core.FindPointAtLength(sheet_.CursorO());
    core.FindPointAtLength(sheet_.CursorX());
    // The segment reloaded by its number is checked again by the status
    // panel when X is shown: it stays only while it joins O and X on a
    // layer that is drawn.
}

void SheetRedraw::RedrawCommand()
{
    if (!sheet_.Core().CheckDiagramOpen())
        return;
    RefreshKeepingCursors();
    sheet_.Host().ClearActiveControl();
}

void SheetRedraw::ClearSheet()
{
    Store& core = sheet_.Core();
    Canvas& bitmap = sheet_.Bitmap;
    bitmap.SetBrushStyle(BrushStyle::Solid);
    bitmap.SetBrushColour(Canvas::White);
    bitmap.FillRect(0, 0, core.SheetWidth, core.SheetHeight);
}

void SheetRedraw::DrawDiagram()
{
    ClearSheet();
    sheet_.CursorXShown = false;
    sheet_.CursorOShown = false;
    Canvas& bitmap = sheet_.Bitmap;
    bitmap.SetPenColour(Canvas::Black);
    bitmap.SetPenMode(PenMode::Copy);
    bitmap.SetFont(QStringLiteral("Arial"), LabelFontPoints * sheet_.ZoomFactor);
    sheet_.Drawing.ResetPen();
    // The stamps of one redraw are written as one unit, in one statement
    // for every point drawn rather than one write per point, while the
    // side thread paints: the store reads no more than the painting does,
    // the rows of the refresh, and touches neither bitmap nor sheet.
    Store& core = sheet_.Core();
    if (!core.VisibleTexts.Active())
        core.OpenVisibleText();
    const bool markers = sheet_.Host().ShowPointsDown();
    side_.Start([this, markers] {
        DrawLabels();
        DrawSegments(markers);
    });
    core.WriteGroup([&core] { core.StampVisiblePoints(); });
}

void SheetRedraw::DrawLabels()
{
    Store& core = sheet_.Core();
    auto& texts = core.VisibleTexts;
    for (texts.First(); !texts.Eof(); texts.Next()) {
        const VisibleTextRow& row = texts.Current();
        TPointRec point;
        // A label whose point is gone has no place on the sheet.
        if (!core.LoadFittedPoint(row.Pointnum, point) || !LengthsInRange({point.Lenx, point.Leny}))
            continue;
        sheet_.Bitmap.SetFontColour(LabelColour(row.Visib));
        sheet_.Bitmap.TextOut(point.Pxlx, point.Pxly, row.Text);
    }
}

void SheetRedraw::MarkDrawn(TPointRec& point) const
{
    if (point.Pointnum >= 0)
        point.Rprts = sheet_.Core().RedrawStamp;
}

void SheetRedraw::DrawSegments(bool markers)
{
    Store& core = sheet_.Core();
    SheetDrawing& drawing = sheet_.Drawing;
    // Every visible segment, as the refresh read and fitted it, in the
    // set's order.
    const auto& rows = core.VisibleSegments.Rows();
    const size_t count = std::min(rows.size(), core.VisibleSegmentCount());
    std::optional<size_t> last;
    for (size_t i = 0; i < count; ++i) {
        // A segment the fit left out (an end missing, or at a length no
        // sheet shows) has no place on the sheet.
        if (!core.VisibleSegmentDrawable(i))
            continue;
        const VisibleSegmentRow& row = rows[i];
        const DrawnSegment seg = core.VisibleSegmentRecord(i);
        last = i;
        drawing.DrawFaint = seg.Seg.Faint || row.Visib == VisibFaint;
        if (seg.Seg.SegType == SegLine) {
            drawing.DrawLine(PixelOf(seg.From), PixelOf(seg.To), drawing.DrawFaint, seg.Seg.Dotted,
                             seg.Seg.Xorflag);
        } else if (seg.Seg.SegType == SegArc) {
            drawing.DrawArc(FittedRecord(seg.From), FittedRecord(seg.To),
                            ArcAngleDegrees(seg.Seg.Mlenx), PlotModeInk);
        }
        if (markers) {
            drawing.DrawPointMarker(seg.To.Pxlx - 1, seg.To.Pxly - 1);
            drawing.DrawPointMarker(seg.From.Pxlx - 1, seg.From.Pxly - 1);
        }
    }
    if (!last)
        return;
    // O and X end on the ends of the last segment drawn, carrying the stamp
    // the store gives the drawn points.
    const DrawnSegment seg = core.VisibleSegmentRecord(*last);
    drawing.CursorO = TPointRec{};
    drawing.CursorX = TPointRec{};
    core.LoadFittedPoint(seg.Seg.FromPt, drawing.CursorO);
    core.LoadFittedPoint(seg.Seg.ToPt, drawing.CursorX);
    MarkDrawn(drawing.CursorO);
    MarkDrawn(drawing.CursorX);
    sheet_.LastDrawnEnd = drawing.CursorX;
}
