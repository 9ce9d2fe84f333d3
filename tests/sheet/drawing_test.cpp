#include "sheet/drawing.h"

#include "library/promptseam.h"
#include "support/scriptedprompts.h"

#include <gtest/gtest.h>

#include <QPoint>
#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

namespace
{

using PixelSet = std::set<std::pair<int, int>>;

// White inverted with the cursor colour.
constexpr CanvasColour InvertedPaper = CanvasRgb(255, 0, 0);

TPointRec PointAt(int x, int y)
{
    TPointRec point;
    point.Pxlx = x;
    point.Pxly = y;
    return point;
}

class SheetDrawingTest : public ::testing::Test
{
  protected:
    SheetDrawingTest() : canvas(200, 200), sheet(canvas) {}

    PixelSet Inked() const
    {
        PixelSet inked;
        for (int y = 0; y < canvas.Height(); ++y) {
            for (int x = 0; x < canvas.Width(); ++x) {
                if (canvas.Pixel(x, y) != SheetPaper)
                    inked.emplace(x, y);
            }
        }
        return inked;
    }

    bool AllAre(const PixelSet& pixels, CanvasColour colour) const
    {
        for (const auto& [x, y] : pixels) {
            if (canvas.Pixel(x, y) != colour)
                return false;
        }
        return true;
    }

    // A sheet with something on it, so that self-erasing shapes are tried
    // over ink and not only over paper.
    void DrawBackground()
    {
        canvas.SetPenColour(SheetInk);
        canvas.MoveTo(0, 97);
        canvas.LineTo(200, 103);
        canvas.SetPenColour(SheetFaintInk);
        canvas.MoveTo(95, 0);
        canvas.LineTo(105, 200);
    }

    Canvas canvas;
    SheetDrawing sheet;
};

// Every pixel of an arc lies on the circle to within rounding of each axis.
void ExpectOnCircle(const PixelSet& pixels, int cx, int cy, double r)
{
    for (const auto& [x, y] : pixels) {
        const double d = std::hypot(x - cx, y - cy);
        EXPECT_NEAR(d, r, 0.75) << x << "," << y;
    }
}

} // namespace

TEST_F(SheetDrawingTest, PenLineToPaintsTheEndPixelTooAndResetPenGoesHome)
{
    canvas.SetPenColour(SheetInk);
    sheet.PenMoveTo(10, 10);
    sheet.PenLineTo(15, 10);
    EXPECT_EQ(Inked(), (PixelSet{{10, 10}, {11, 10}, {12, 10}, {13, 10}, {14, 10}, {15, 10}}));
    EXPECT_TRUE(AllAre(Inked(), SheetInk));

    sheet.PenX = 7;
    sheet.PenY = 8;
    sheet.ResetPen();
    EXPECT_EQ(sheet.PenX, 0);
    EXPECT_EQ(sheet.PenY, 0);
    EXPECT_EQ(canvas.PenPos(), QPoint(0, 0));
}

TEST_F(SheetDrawingTest, PlotOrInvertByMode)
{
    canvas.SetPenColour(SheetInk);
    sheet.PlotOrInvert(5, 5, PlotModeInvert);
    sheet.PlotOrInvert(6, 5, PlotModeInk);
    sheet.PlotOrInvert(7, 5, 2);
    sheet.PlotOrInvert(8, 5, -1);
    EXPECT_EQ(Inked(), (PixelSet{{5, 5}, {6, 5}}));
    EXPECT_EQ(canvas.Pixel(5, 5), InvertedPaper);
    EXPECT_EQ(canvas.Pixel(6, 5), SheetInk);

    // Inverting twice restores, over ink as over paper; off the sheet it is
    // harmless.
    sheet.InvertPixel(5, 5);
    sheet.InvertPixel(6, 5);
    EXPECT_EQ(canvas.Pixel(5, 5), SheetPaper);
    EXPECT_EQ(canvas.Pixel(6, 5), CanvasRgb(0, 255, 127));
    sheet.InvertPixel(6, 5);
    EXPECT_EQ(canvas.Pixel(6, 5), SheetInk);
    sheet.InvertPixel(-1, 5);
    sheet.InvertPixel(5, 200);
    EXPECT_EQ(Inked(), (PixelSet{{6, 5}}));
}

TEST_F(SheetDrawingTest, PointMarkerIsTheThreeByThreeRedBlockBelowRight)
{
    canvas.SetPenColour(SheetInk);
    sheet.DrawPointMarker(10, 20);
    PixelSet block;
    for (int x = 10; x <= 12; ++x)
        for (int y = 20; y <= 22; ++y)
            block.emplace(x, y);
    EXPECT_EQ(Inked(), block);
    EXPECT_TRUE(AllAre(block, SheetMarkerColour));
    EXPECT_EQ(canvas.PenColour(), SheetInk);
}

TEST_F(SheetDrawingTest, CrossCursorInvertsTwoDiagonalsWithAnOpenCentre)
{
    sheet.DrawCrossCursor(50, 60);
    // Each stroke runs 20 steps from one corner and leaves out the opposite
    // corner; the two share the centre, which is inverted twice.
    PixelSet cross;
    for (int i = 0; i < 20; ++i) {
        cross.emplace(40 + i, 50 + i);
        cross.emplace(60 - i, 50 + i);
    }
    cross.erase({50, 60});
    EXPECT_EQ(Inked(), cross);
    EXPECT_TRUE(AllAre(cross, InvertedPaper));
    EXPECT_EQ(canvas.Pixel(60, 70), SheetPaper);
    EXPECT_EQ(canvas.Pixel(40, 70), SheetPaper);
    EXPECT_EQ(canvas.GetPenMode(), PenMode::Copy);
    EXPECT_EQ(canvas.PenColour(), SheetCursorColour);
}

TEST_F(SheetDrawingTest, CursorsDrawnTwiceLeaveTheSheetUnchanged)
{
    DrawBackground();
    const QImage before = canvas.Image().copy();
    for (const QPoint at : {QPoint(100, 100), QPoint(3, 4), QPoint(195, 199)}) {
        sheet.DrawCrossCursor(at.x(), at.y());
        EXPECT_NE(canvas.Image(), before);
        sheet.DrawCrossCursor(at.x(), at.y());
        EXPECT_EQ(canvas.Image(), before);
        sheet.DrawCircleCursor(at.x(), at.y());
        EXPECT_NE(canvas.Image(), before);
        sheet.DrawCircleCursor(at.x(), at.y());
        EXPECT_EQ(canvas.Image(), before);
    }
}

TEST_F(SheetDrawingTest, CircleCursorIsTheMidpointCircleOfRadiusTen)
{
    sheet.DrawCircleCursor(100, 100);
    // The walk from x = 0: radius 10 for x = 0..3, 9 for x = 4..5, 8 for
    // x = 6, 7 for x = 7, then stop. At x = 0 and x = r = 7 pixels pair up
    // and are inverted twice, so only x = 1..6 show, in eight mirror images.
    const int octant[][2] = {{10, 1}, {10, 2}, {10, 3}, {9, 4}, {9, 5}, {8, 6}};
    PixelSet circle;
    for (const auto& p : octant) {
        for (int sx : {-1, 1}) {
            for (int sy : {-1, 1}) {
                circle.emplace(100 + sx * p[0], 100 + sy * p[1]);
                circle.emplace(100 + sx * p[1], 100 + sy * p[0]);
            }
        }
    }
    ASSERT_EQ(circle.size(), 48u);
    EXPECT_EQ(Inked(), circle);
    EXPECT_TRUE(AllAre(circle, InvertedPaper));
    for (const QPoint gap : {QPoint(110, 100), QPoint(90, 100), QPoint(100, 110), QPoint(100, 90),
                             QPoint(107, 107), QPoint(93, 93)})
        EXPECT_EQ(canvas.Pixel(gap.x(), gap.y()), SheetPaper);
    EXPECT_EQ(canvas.PenColour(), SheetCursorColour);
    EXPECT_EQ(canvas.GetPenMode(), PenMode::Copy);
}

TEST(SheetDrawingStatic, PixelDistanceOfCachedPixels)
{
    EXPECT_EQ(SheetDrawing::PixelDistance(PointAt(5, 7), PointAt(5, -3)), 10.0);
    EXPECT_EQ(SheetDrawing::PixelDistance(PointAt(-4, 2), PointAt(8, 2)), 12.0);
    EXPECT_EQ(SheetDrawing::PixelDistance(PointAt(0, 0), PointAt(3, 4)), 5.0);
    EXPECT_EQ(SheetDrawing::PixelDistance(PointAt(1, 1), PointAt(1, 1)), 0.0);
    // Far apart pixels do not overflow.
    EXPECT_EQ(SheetDrawing::PixelDistance(PointAt(-2000000000, 0), PointAt(2000000000, 0)), 4e9);
}

TEST_F(SheetDrawingTest, QuarterArcClockwiseInInk)
{
    sheet.DrawArc(PointAt(100, 100), PointAt(110, 100), 90, PlotModeInk);
    const PixelSet arc = Inked();
    EXPECT_TRUE(AllAre(arc, SheetInk));
    for (const QPoint on : {QPoint(110, 100), QPoint(107, 107), QPoint(100, 110)})
        EXPECT_TRUE(arc.count({on.x(), on.y()})) << on.x() << "," << on.y();
    // Clockwise on the screen: the quarter below and right of the centre.
    for (const auto& [x, y] : arc) {
        EXPECT_GE(x, 100);
        EXPECT_GE(y, 100);
    }
    ExpectOnCircle(arc, 100, 100, 10);
    EXPECT_EQ(sheet.ArcEndX, 100);
    EXPECT_EQ(sheet.ArcEndY, 110);
    EXPECT_EQ(canvas.PenColour(), SheetInk);
}

// The pixels of an arc by its rule: one per whole degree from the start's
// angle about the centre, at the rounded cosine and sine times the radius.
PixelSet ArcByTheRule(int cx, int cy, int sx, int sy, int angle, QPoint& farEnd)
{
    const double r = std::hypot(double(sx - cx), double(sy - cy));
    double a = std::acos(std::clamp((sx - cx) / r, -1.0, 1.0)) * 180.0 / M_PI;
    if (sy < cy)
        a = -a;
    const int s = int(std::nearbyint(a));
    PixelSet pixels;
    for (int i = std::min(s, s + angle); i <= std::max(s, s + angle); ++i) {
        const double t = i * M_PI / 180.0;
        const QPoint p(int(std::nearbyint(std::cos(t) * r)) + cx,
                       int(std::nearbyint(std::sin(t) * r)) + cy);
        pixels.emplace(p.x(), p.y());
        if (i == s + angle)
            farEnd = p;
    }
    return pixels;
}

TEST_F(SheetDrawingTest, ArcsAlikeDrawnAnywhereKeepToTheirRule)
{
    const int arcs[][3] = {{10, 0, 90}, {7, -3, -135}, {-23, 11, 360}, {0, 31, -360}, {5, 5, 1}};
    for (const auto& arc : arcs) {
        for (const QPoint centre : {QPoint(100, 100), QPoint(60, 140), QPoint(100, 100)}) {
            SCOPED_TRACE(testing::Message() << arc[0] << "," << arc[1] << " " << arc[2] << " at "
                                            << centre.x() << "," << centre.y());
            canvas.NewBitmap(200, 200);
            sheet.DrawArc(PointAt(centre.x(), centre.y()),
                          PointAt(centre.x() + arc[0], centre.y() + arc[1]), arc[2], PlotModeInk);
            QPoint farEnd;
            EXPECT_EQ(Inked(), ArcByTheRule(centre.x(), centre.y(), centre.x() + arc[0],
                                            centre.y() + arc[1], arc[2], farEnd));
            EXPECT_EQ(QPoint(sheet.ArcEndX, sheet.ArcEndY), farEnd);
        }
    }
}

TEST_F(SheetDrawingTest, NegativeQuarterArcRunsAnticlockwiseAndEndsAtItsFarEnd)
{
    sheet.DrawArc(PointAt(100, 100), PointAt(110, 100), -90, PlotModeInk);
    const PixelSet arc = Inked();
    for (const QPoint on : {QPoint(110, 100), QPoint(107, 93), QPoint(100, 90)})
        EXPECT_TRUE(arc.count({on.x(), on.y()})) << on.x() << "," << on.y();
    for (const auto& [x, y] : arc) {
        EXPECT_GE(x, 100);
        EXPECT_LE(y, 100);
    }
    ExpectOnCircle(arc, 100, 100, 10);
    EXPECT_EQ(sheet.ArcEndX, 100);
    EXPECT_EQ(sheet.ArcEndY, 90);
}

TEST_F(SheetDrawingTest, ArcStartsAtTheStartPointsAngleAboveOrBelowTheCentre)
{
    // Start straight above the centre: -90 degrees; a quarter clockwise
    // reaches the right-hand side.
    sheet.DrawArc(PointAt(50, 50), PointAt(50, 30), 90, PlotModeInk);
    const PixelSet arc = Inked();
    EXPECT_TRUE(arc.count({50, 30}));
    EXPECT_TRUE(arc.count({70, 50}));
    for (const auto& [x, y] : arc) {
        EXPECT_GE(x, 50);
        EXPECT_LE(y, 50);
    }
    ExpectOnCircle(arc, 50, 50, 20);
    EXPECT_EQ(sheet.ArcEndX, 70);
    EXPECT_EQ(sheet.ArcEndY, 50);
}

TEST_F(SheetDrawingTest, FaintArcsUseFaintInk)
{
    sheet.DrawFaint = true;
    sheet.DrawArc(PointAt(100, 100), PointAt(100, 130), 180, PlotModeInk);
    const PixelSet arc = Inked();
    ASSERT_FALSE(arc.empty());
    EXPECT_TRUE(AllAre(arc, SheetFaintInk));
    // From the bottom, clockwise on screen through the left to the top.
    EXPECT_TRUE(arc.count({70, 100}));
    EXPECT_EQ(sheet.ArcEndX, 100);
    EXPECT_EQ(sheet.ArcEndY, 70);
}

TEST_F(SheetDrawingTest, FullCirclePreviewLeavesItsStartPixelAndErasesItself)
{
    DrawBackground();
    const QImage before = canvas.Image().copy();
    sheet.CursorX = PointAt(100, 100);
    sheet.CursorO = PointAt(125, 100);
    sheet.PreviewArcAboutX();
    // The first and last degree land on the start pixel, and so do the
    // degrees next to them (1 and 359 round onto it at radius 25): it is
    // inverted four times. The leftmost and lowest pixels take three
    // degrees each and show inverted.
    EXPECT_EQ(canvas.Pixel(125, 100), before.pixel(125, 100) & 0xFFFFFF);
    EXPECT_EQ(canvas.Pixel(100, 125), SheetPaper ^ SheetCursorColour);
    EXPECT_EQ(canvas.Pixel(75, 100), SheetPaper ^ SheetCursorColour);
    EXPECT_EQ(sheet.ArcEndX, 125);
    EXPECT_EQ(sheet.ArcEndY, 100);
    sheet.PreviewArcAboutX();
    EXPECT_EQ(canvas.Image(), before);

    sheet.ArcAngle = -120;
    sheet.PreviewArcAboutO();
    EXPECT_NE(canvas.Image(), before);
    sheet.PreviewArcAboutO();
    EXPECT_EQ(canvas.Image(), before);
}

TEST_F(SheetDrawingTest, ArcsAboutXAndAboutOTakeTheirCentreAndStartFromTheCursors)
{
    sheet.CursorX = PointAt(60, 60);
    sheet.CursorO = PointAt(60, 80);
    sheet.DrawArcAboutX(90, PlotModeInk); // about X from O (below): to the left
    EXPECT_EQ(sheet.ArcEndX, 40);
    EXPECT_EQ(sheet.ArcEndY, 60);
    sheet.DrawArcAboutO(90, PlotModeInk); // about O from X (above): to the right
    EXPECT_EQ(sheet.ArcEndX, 80);
    EXPECT_EQ(sheet.ArcEndY, 80);
}

TEST_F(SheetDrawingTest, ArcAngleBeyondAFullTurnIsReportedAndNotDrawn)
{
    ScriptedPrompts prompts;
    ScopedPromptSeam use(prompts);
    sheet.ArcEndX = 3;
    sheet.ArcEndY = 4;
    sheet.DrawArc(PointAt(100, 100), PointAt(110, 100), 400, PlotModeInk);
    sheet.DrawArc(PointAt(100, 100), PointAt(110, 100), -361, PlotModeInk);
    EXPECT_EQ(prompts.Texts(), QStringList({QStringLiteral("Error : arc angle too big 400"),
                                            QStringLiteral("Error : arc angle too big -361")}));
    EXPECT_TRUE(Inked().empty());
    EXPECT_EQ(sheet.ArcEndX, 3);
    EXPECT_EQ(sheet.ArcEndY, 4);

    // A full turn either way is allowed.
    sheet.DrawArc(PointAt(100, 100), PointAt(110, 100), -360, PlotModeInk);
    EXPECT_EQ(prompts.Texts().size(), 2);
    EXPECT_FALSE(Inked().empty());
}

TEST_F(SheetDrawingTest, ArcOfNoRadiusDrawsNothingAndEndsOnItsCentre)
{
    ScriptedPrompts prompts;
    ScopedPromptSeam use(prompts);
    sheet.ArcEndX = 3;
    sheet.ArcEndY = 4;
    sheet.DrawArc(PointAt(40, 50), PointAt(40, 50), 90, PlotModeInk);
    EXPECT_TRUE(prompts.Texts().isEmpty());
    EXPECT_TRUE(Inked().empty());
    EXPECT_EQ(sheet.ArcEndX, 40);
    EXPECT_EQ(sheet.ArcEndY, 50);
}

TEST_F(SheetDrawingTest, ArcRunningOffTheSheetIsClipped)
{
    sheet.DrawArc(PointAt(0, 0), PointAt(30, 0), 360, PlotModeInk);
    const PixelSet arc = Inked();
    ASSERT_FALSE(arc.empty());
    ExpectOnCircle(arc, 0, 0, 30);
    EXPECT_TRUE(arc.count({0, 30}));
    EXPECT_EQ(sheet.ArcEndX, 30);
    EXPECT_EQ(sheet.ArcEndY, 0);
}

TEST_F(SheetDrawingTest, PreviewLineAndRectangleEraseThemselves)
{
    DrawBackground();
    const QImage before = canvas.Image().copy();
    sheet.CursorO = PointAt(20, 30);
    sheet.CursorX = PointAt(150, 170);
    sheet.PreviewLineOX();
    EXPECT_EQ(canvas.Pixel(20, 30), InvertedPaper);
    EXPECT_EQ(canvas.Pixel(150, 170), SheetPaper); // the line leaves out X's pixel
    EXPECT_EQ(canvas.GetPenMode(), PenMode::Copy);
    sheet.PreviewLineOX();
    EXPECT_EQ(canvas.Image(), before);

    sheet.PreviewRectangleOX();
    // Every corner is inverted once: each side leaves out its last pixel,
    // which is the next side's first.
    for (const QPoint corner : {QPoint(20, 30), QPoint(150, 30), QPoint(150, 170), QPoint(20, 170)})
        EXPECT_EQ(canvas.Pixel(corner.x(), corner.y()), InvertedPaper);
    EXPECT_EQ(canvas.Pixel(60, 30), InvertedPaper);
    EXPECT_EQ(canvas.Pixel(60, 100), SheetPaper);
    EXPECT_EQ(canvas.GetPenMode(), PenMode::Copy);
    sheet.PreviewRectangleOX();
    EXPECT_EQ(canvas.Image(), before);
}

TEST_F(SheetDrawingTest, XorRectangleKeepsItsCornersInked)
{
    sheet.CursorO = PointAt(120, 40);
    sheet.CursorX = PointAt(30, 90);
    canvas.SetPenColour(SheetInk);
    sheet.DrawXorRectangleOX();
    PixelSet outline;
    for (int x = 30; x <= 120; ++x) {
        outline.emplace(x, 40);
        outline.emplace(x, 90);
    }
    for (int y = 40; y <= 90; ++y) {
        outline.emplace(30, y);
        outline.emplace(120, y);
    }
    EXPECT_EQ(Inked(), outline);
    EXPECT_TRUE(AllAre(outline, SheetInk));
    EXPECT_EQ(canvas.GetPenMode(), PenMode::Copy);

    // Again: the sides invert back to paper, the corners are inked again.
    sheet.DrawXorRectangleOX();
    EXPECT_EQ(Inked(), (PixelSet{{30, 40}, {120, 40}, {30, 90}, {120, 90}}));
}

TEST_F(SheetDrawingTest, XorLineSegmentShowsInkAndUndoesItselfBetweenItsEnds)
{
    TSegRec seg;
    seg.FromPoint = PointAt(10, 50);
    seg.ToPoint = PointAt(60, 50);
    seg.Xorflag = true;
    sheet.DrawLineSegment(seg, false);
    PixelSet line;
    for (int x = 10; x <= 60; ++x)
        line.emplace(x, 50);
    EXPECT_EQ(Inked(), line);
    EXPECT_TRUE(AllAre(line, SheetInk));
    EXPECT_EQ(canvas.GetPenMode(), PenMode::Copy);
    EXPECT_EQ(canvas.GetPenStyle(), PenStyle::Solid);

    sheet.DrawLineSegment(seg, false);
    EXPECT_EQ(Inked(), (PixelSet{{10, 50}, {60, 50}}));
    EXPECT_TRUE(AllAre(Inked(), SheetInk));
}

TEST_F(SheetDrawingTest, XorLineSegmentInvertsTheInkItCrosses)
{
    canvas.SetPenColour(SheetInk);
    canvas.MoveTo(30, 0);
    canvas.LineTo(30, 100);
    TSegRec seg;
    seg.FromPoint = PointAt(10, 50);
    seg.ToPoint = PointAt(60, 50);
    seg.Xorflag = true;
    sheet.DrawLineSegment(seg, false);
    EXPECT_EQ(canvas.Pixel(30, 50), SheetPaper); // NOT (ink XOR ink)
    EXPECT_EQ(canvas.Pixel(30, 49), SheetInk);
    EXPECT_EQ(canvas.Pixel(31, 50), SheetInk);
}

TEST_F(SheetDrawingTest, DottedFaintLineSegment)
{
    TSegRec seg;
    seg.FromPoint = PointAt(10, 20);
    seg.ToPoint = PointAt(10, 29);
    seg.Dotted = true;
    seg.Faint = true;
    sheet.DrawLineSegment(seg, false);
    // Dots at every other pixel from the start; the end pixel is plotted
    // whatever the pattern.
    const PixelSet dots{{10, 20}, {10, 22}, {10, 24}, {10, 26}, {10, 28}, {10, 29}};
    EXPECT_EQ(Inked(), dots);
    EXPECT_TRUE(AllAre(dots, SheetFaintInk));
    EXPECT_EQ(canvas.GetPenStyle(), PenStyle::Solid);
}

TEST_F(SheetDrawingTest, LineSegmentInkFollowsItsOwnAndItsLayersFaintness)
{
    TSegRec seg;
    seg.FromPoint = PointAt(5, 5);
    seg.ToPoint = PointAt(5, 15);
    sheet.DrawLineSegment(seg, false);
    EXPECT_TRUE(AllAre(Inked(), SheetInk));
    EXPECT_EQ(Inked().size(), 11u);

    seg.FromPoint = PointAt(20, 5);
    seg.ToPoint = PointAt(20, 15);
    sheet.DrawLineSegment(seg, true);
    EXPECT_EQ(canvas.Pixel(20, 10), SheetFaintInk);
    EXPECT_EQ(canvas.Pixel(20, 15), SheetFaintInk);

    // A later solid segment is not dotted by an earlier dotted one.
    seg.Dotted = true;
    seg.FromPoint = PointAt(40, 5);
    seg.ToPoint = PointAt(40, 15);
    sheet.DrawLineSegment(seg, false);
    seg.Dotted = false;
    seg.FromPoint = PointAt(50, 5);
    seg.ToPoint = PointAt(50, 15);
    sheet.DrawLineSegment(seg, false);
    EXPECT_EQ(canvas.Pixel(40, 6), SheetPaper);
    EXPECT_EQ(canvas.Pixel(50, 6), SheetInk);
}
