#include "sheet/drawing.h"

#include "store/coords.h"

#include "library/qorvlib.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

namespace
{

constexpr int CursorArm = 10;    // half the span of the X cross
constexpr int CursorRadius = 10; // radius of the O circle
constexpr int MarkerSize = 3;

// A rounded position far outside any bitmap still has to fit a pixel
// coordinate; clamping keeps it off the bitmap.
int ToPixel(double rounded)
{
    if (!(rounded > double(INT_MIN)))
        return INT_MIN;
    if (rounded >= double(INT_MAX))
        return INT_MAX;
    return int(rounded);
}

double Degrees(double radians)
{
    return radians * 180.0 / std::numbers::pi;
}

// The cosine and sine of a whole number of degrees, as the arc plotter
// takes them. An arc starts within half a turn of 0 and runs at most a
// turn, so a table over one and a half turns each way serves every arc
// drawn; each entry is the very value the plotter would compute.
struct DegreeTable {
    static constexpr int Reach = 540;
    double Cos[2 * Reach + 1];
    double Sin[2 * Reach + 1];

    DegreeTable()
    {
        for (int i = -Reach; i <= Reach; ++i) {
            const double t = i * std::numbers::pi / 180.0;
            Cos[i + Reach] = std::cos(t);
            Sin[i + Reach] = std::sin(t);
        }
    }
};

void CosSinOfDegrees(int i, double& c, double& s)
{
    static const DegreeTable table;
    if (i >= -DegreeTable::Reach && i <= DegreeTable::Reach) {
        c = table.Cos[i + DegreeTable::Reach];
        s = table.Sin[i + DegreeTable::Reach];
        return;
    }
    const double t = i * std::numbers::pi / 180.0;
    c = std::cos(t);
    s = std::sin(t);
}

} // namespace

SheetDrawing::SheetDrawing(Canvas& canvas) : canvas_(canvas) {}

void SheetDrawing::ResetPen()
{
    PenX = 0;
    PenY = 0;
    canvas_.MoveTo(0, 0);
}

void SheetDrawing::PenMoveTo(int x, int y)
{
    canvas_.MoveTo(x, y);
}

void SheetDrawing::PenLineTo(int x, int y)
{
    canvas_.LineTo(x, y);
    PlotPixel(x, y);
}

void SheetDrawing::SetSheetPixel(int x, int y, CanvasColour colour)
{
    canvas_.SetPixel(x, y, colour);
}

void SheetDrawing::PlotPixel(int x, int y)
{
    canvas_.SetPixel(x, y, canvas_.PenColour());
}

void SheetDrawing::InvertPixel(int x, int y)
{
    if (canvas_.Contains(x, y))
        canvas_.SetPixel(x, y, canvas_.Pixel(x, y) ^ SheetCursorColour);
}

void SheetDrawing::PlotOrInvert(int x, int y, int mode)
{
    if (mode == PlotModeInvert)
        InvertPixel(x, y);
    else if (mode == PlotModeInk)
        PlotPixel(x, y);
}

void SheetDrawing::DrawPointMarker(int x, int y)
{
    for (int row = 0; row < MarkerSize; ++row) {
        for (int column = 0; column < MarkerSize; ++column)
            SetSheetPixel(x + column, y + row, SheetMarkerColour);
    }
}

// The two strokes share their middle pixel, which is therefore inverted
// twice and shows the paper: the cross has an open centre.
void SheetDrawing::DrawCrossCursor(int x, int y)
{
    canvas_.SetPenMode(PenMode::Xor);
    canvas_.SetPenColour(SheetCursorColour);
    canvas_.MoveTo(x - CursorArm, y - CursorArm);
    canvas_.LineTo(x + CursorArm, y + CursorArm);
    canvas_.MoveTo(x + CursorArm, y - CursorArm);
    canvas_.LineTo(x - CursorArm, y + CursorArm);
    canvas_.SetPenMode(PenMode::Copy);
}

// Where two of the eight mirrored pixels coincide (on the axes and on the
// diagonals) the pixel is inverted twice and left as it was; every pixel is
// still inverted an even number of times over two calls, so the circle
// always erases itself.
void SheetDrawing::InvertCircle(int cx, int cy, int r)
{
    int x = 0;
    int e = 0;
    while (r >= x) {
        InvertPixel(cx + r, cy + x);
        InvertPixel(cx - r, cy + x);
        InvertPixel(cx + r, cy - x);
        InvertPixel(cx - r, cy - x);
        InvertPixel(cx + x, cy + r);
        InvertPixel(cx - x, cy + r);
        InvertPixel(cx + x, cy - r);
        InvertPixel(cx - x, cy - r);
        x = x + 1;
        e = e + 2 * x - 1;
        if (e > r) {
            r = r - 1;
            e = e - (2 * r + 1);
        }
    }
}

void SheetDrawing::DrawCircleCursor(int x, int y)
{
    canvas_.SetPenMode(PenMode::Copy);
    canvas_.SetPenColour(SheetCursorColour);
    InvertCircle(x, y, CursorRadius);
}

double SheetDrawing::PixelDistance(const TPointRec& a, const TPointRec& b)
{
    const double dx = double(a.Pxlx) - double(b.Pxlx);
    const double dy = double(a.Pxly) - double(b.Pxly);
    if (dx == 0)
        return std::fabs(dy);
    if (dy == 0)
        return std::fabs(dx);
    return std::sqrt(dx * dx + dy * dy);
}

void SheetDrawing::DrawArc(const TPointRec& centre, const TPointRec& start, int angle, int mode)
{
    if (angle > 360 || angle < -360) {
        ShowInfo(QStringLiteral("Error : arc angle too big ") + QString::number(angle));
        return;
    }
    const double r = PixelDistance(centre, start);
    if (r == 0) {
        // An arc of no radius ends where it starts; a stale end from an
        // earlier arc would send X somewhere unrelated.
        ArcEndX = centre.Pxlx;
        ArcEndY = centre.Pxly;
        return;
    }
    canvas_.SetPenColour(DrawFaint ? SheetFaintInk : SheetInk);
    const ArcShape& shape =
        ShapeOfArc(int64_t(start.Pxlx) - centre.Pxlx, int64_t(start.Pxly) - centre.Pxly, angle);
    arcPixels_.clear();
    for (const auto& [dx, dy] : shape.Offsets)
        arcPixels_.emplace_back(ToPixel(double(dx) + centre.Pxlx),
                                ToPixel(double(dy) + centre.Pxly));
    ArcEndX = arcPixels_[shape.FarEnd].x();
    ArcEndY = arcPixels_[shape.FarEnd].y();
    // Plotted all at once, as PlotOrInvert plots each.
    if (mode == PlotModeInvert)
        canvas_.InvertPixels(arcPixels_, SheetCursorColour);
    else if (mode == PlotModeInk)
        canvas_.SetPixels(arcPixels_, canvas_.PenColour());
}

const SheetDrawing::ArcShape& SheetDrawing::ShapeOfArc(int64_t dx, int64_t dy, int angle)
{
    const auto key = std::make_tuple(dx, dy, angle);
    if (const auto found = arcShapes_.find(key); found != arcShapes_.end())
        return found->second;
    // Arcs of every size and direction a drawing has; a new set once past it.
    if (arcShapes_.size() >= 4096)
        arcShapes_.clear();

    const double ddx = double(dx);
    const double ddy = double(dy);
    const double r = ddx == 0   ? std::fabs(ddy)
                     : ddy == 0 ? std::fabs(ddx)
                                : std::sqrt(ddx * ddx + ddy * ddy);
    const double cosine = std::clamp(ddx / r, -1.0, 1.0);
    double a = Degrees(std::acos(cosine));
    if (ddy < 0)
        a = -a;
    int s = RoundHalfEven(a);
    int e = s + angle;
    const bool exchanged = e < s;
    if (exchanged)
        std::swap(s, e);
    const int farEnd = exchanged ? s : e;

    ArcShape shape;
    shape.Offsets.reserve(size_t(e - s + 1));
    for (int i = s; i <= e; ++i) {
        double c = 0;
        double sn = 0;
        CosSinOfDegrees(i, c, sn);
        if (i == farEnd)
            shape.FarEnd = shape.Offsets.size();
        shape.Offsets.emplace_back(RoundHalfEven(c * r), RoundHalfEven(sn * r));
    }
    return arcShapes_.emplace(key, std::move(shape)).first->second;
}

void SheetDrawing::DrawArcAboutX(int angle, int mode)
{
    DrawArc(CursorX, CursorO, angle, mode);
}

void SheetDrawing::DrawArcAboutO(int angle, int mode)
{
    DrawArc(CursorO, CursorX, angle, mode);
}

void SheetDrawing::PreviewArcAboutX()
{
    DrawArcAboutX(ArcAngle, PlotModeInvert);
}

void SheetDrawing::PreviewArcAboutO()
{
    DrawArcAboutO(ArcAngle, PlotModeInvert);
}

void SheetDrawing::PreviewLineOX()
{
    canvas_.SetPenMode(PenMode::Xor);
    canvas_.SetPenColour(SheetCursorColour);
    canvas_.MoveTo(CursorO.Pxlx, CursorO.Pxly);
    canvas_.LineTo(CursorX.Pxlx, CursorX.Pxly);
    canvas_.SetPenMode(PenMode::Copy);
}

void SheetDrawing::TraceRectangleOX()
{
    canvas_.MoveTo(CursorO.Pxlx, CursorO.Pxly);
    canvas_.LineTo(CursorX.Pxlx, CursorO.Pxly);
    canvas_.LineTo(CursorX.Pxlx, CursorX.Pxly);
    canvas_.LineTo(CursorO.Pxlx, CursorX.Pxly);
    canvas_.LineTo(CursorO.Pxlx, CursorO.Pxly);
}

void SheetDrawing::PreviewRectangleOX()
{
    canvas_.SetPenMode(PenMode::Xor);
    canvas_.SetPenColour(SheetCursorColour);
    TraceRectangleOX();
    canvas_.SetPenMode(PenMode::Copy);
}

void SheetDrawing::DrawXorRectangleOX()
{
    canvas_.SetPenMode(PenMode::NotXor);
    TraceRectangleOX();
    canvas_.SetPenMode(PenMode::Copy);
    PlotPixel(CursorX.Pxlx, CursorO.Pxly);
    PlotPixel(CursorX.Pxlx, CursorX.Pxly);
    PlotPixel(CursorO.Pxlx, CursorX.Pxly);
    PlotPixel(CursorO.Pxlx, CursorO.Pxly);
}

void SheetDrawing::DrawLineSegment(const TSegRec& seg, bool faintLayer)
{
    DrawLine(QPoint(seg.FromPoint.Pxlx, seg.FromPoint.Pxly),
             QPoint(seg.ToPoint.Pxlx, seg.ToPoint.Pxly), seg.Faint || faintLayer, seg.Dotted,
             seg.Xorflag);
}

void SheetDrawing::DrawLine(QPoint from, QPoint to, bool faint, bool dotted, bool xorflag)
{
    canvas_.SetPenColour(faint ? SheetFaintInk : SheetInk);
    canvas_.SetPenStyle(dotted ? PenStyle::Dotted : PenStyle::Solid);
    canvas_.SetPenMode(xorflag ? PenMode::NotXor : PenMode::Copy);
    PenMoveTo(from.x(), from.y());
    PenLineTo(to.x(), to.y());
    if (xorflag) {
        // The ends stay inked while the line between them inverts what
        // lies under it.
        canvas_.SetPenMode(PenMode::Copy);
        PlotPixel(from.x(), from.y());
        PlotPixel(to.x(), to.y());
    }
    canvas_.SetPenStyle(PenStyle::Solid);
}
