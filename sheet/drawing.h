#pragma once
// The sheet's pixel-level drawing: pen moves and lines, single pixels, the
// point marker, the O and X cursors, arcs plotted degree by degree, the
// rubber-band previews between O and X and the drawing of a stored line
// segment. Everything is painted on the sheet's canvas; the cursors and the
// previews invert what lies under them, so painting them twice erases them.

#include "platform/canvas.h"
#include "store/records.h"

#include <cstdint>
#include <map>
#include <tuple>
#include <utility>
#include <vector>

// Sheet colours.
constexpr CanvasColour SheetPaper = CanvasRgb(255, 255, 255);
constexpr CanvasColour SheetInk = CanvasRgb(0, 0, 128);            // bold layers
constexpr CanvasColour SheetFaintInk = CanvasRgb(192, 192, 192);   // faint segments and layers
constexpr CanvasColour SheetCursorColour = CanvasRgb(0, 255, 255); // cursors, previews, guides
constexpr CanvasColour SheetMarkerColour = CanvasRgb(255, 0, 0);   // point markers

// Modes of PlotOrInvert and DrawArc.
constexpr int PlotModeInvert = 0; // previews: each pixel inverted with the cursor colour
constexpr int PlotModeInk = 1;    // drawing: each pixel set to the pen colour

class SheetDrawing
{
  public:
    explicit SheetDrawing(Canvas& canvas);

    Canvas& SheetCanvas() { return canvas_; }

    // Sheet state the primitives read and write.
    TPointRec CursorO;
    TPointRec CursorX;
    int ArcAngle = 360;     // whole degrees of new arcs, positive clockwise on screen
    bool DrawFaint = false; // the redraw is drawing a faint segment: arcs in faint ink
    int PenX = 0;
    int PenY = 0;
    int ArcEndX = 0; // pixel where the last plotted arc ended
    int ArcEndY = 0;

    void ResetPen();
    void PenMoveTo(int x, int y);
    // Line in the current pen mode, then the end pixel the line leaves out.
    void PenLineTo(int x, int y);

    void SetSheetPixel(int x, int y, CanvasColour colour);
    void PlotPixel(int x, int y);
    void InvertPixel(int x, int y);
    void PlotOrInvert(int x, int y, int mode);

    // The 3 x 3 red block with (x, y) at its top left.
    void DrawPointMarker(int x, int y);
    // The X cursor: a diagonal cross of 10 pixels each way, inverted.
    void DrawCrossCursor(int x, int y);
    // The midpoint circle by inverted pixels; drawing it twice erases it.
    void InvertCircle(int cx, int cy, int r);
    // The O cursor: an inverted circle of radius 10.
    void DrawCircleCursor(int x, int y);

    static double PixelDistance(const TPointRec& a, const TPointRec& b);

    // Arc about centre from start through angle whole degrees, one pixel per
    // degree, in PlotModeInvert or PlotModeInk; keeps its far end in
    // ArcEndX, ArcEndY.
    void DrawArc(const TPointRec& centre, const TPointRec& start, int angle, int mode);
    void DrawArcAboutX(int angle, int mode);
    void DrawArcAboutO(int angle, int mode);
    void PreviewArcAboutX();
    void PreviewArcAboutO();

    void PreviewLineOX();
    void TraceRectangleOX();
    void PreviewRectangleOX();
    void DrawXorRectangleOX();

    // A stored line with its faint, dotted and inverting properties.
    void DrawLineSegment(const TSegRec& seg, bool faintLayer);
    // The same from its ends' pixels and its properties.
    void DrawLine(QPoint from, QPoint to, bool faint, bool dotted, bool xorflag);

  private:
    // An arc's pixels as offsets from its centre, in plotting order, and
    // which of them is its far end. They depend only on where the start
    // lies from the centre and on the angle, so arcs alike (the door swings
    // of a plan) share them, and every refresh finds them made.
    struct ArcShape {
        std::vector<std::pair<int32_t, int32_t>> Offsets;
        size_t FarEnd = 0;
    };
    const ArcShape& ShapeOfArc(int64_t dx, int64_t dy, int angle);

    Canvas& canvas_;
    std::map<std::tuple<int64_t, int64_t, int>, ArcShape> arcShapes_;
    std::vector<QPoint> arcPixels_; // the arc being plotted
};
