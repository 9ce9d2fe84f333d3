#include "platform/canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStringList>
#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace
{

constexpr CanvasColour Navy = CanvasRgb(0, 0, 128);
constexpr CanvasColour Aqua = CanvasRgb(0, 255, 255);
constexpr CanvasColour Red = CanvasRgb(255, 0, 0);
constexpr CanvasColour Yellow = CanvasRgb(255, 255, 0);

using PixelSet = std::set<std::pair<int, int>>;

// Every pixel whose colour differs from white.
PixelSet InkedPixels(const Canvas& canvas)
{
    PixelSet inked;
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            if (canvas.Pixel(x, y) != Canvas::White)
                inked.emplace(x, y);
        }
    }
    return inked;
}

bool AllPixelsAre(const Canvas& canvas, const PixelSet& pixels, CanvasColour colour)
{
    for (const auto& [x, y] : pixels) {
        if (canvas.Pixel(x, y) != colour)
            return false;
    }
    return true;
}

} // namespace

TEST(Canvas, NewBitmapIsWhiteAndResetsTheDrawingState)
{
    Canvas canvas(30, 20);
    canvas.SetPenColour(Navy);
    canvas.SetPenMode(PenMode::Xor);
    canvas.SetPenStyle(PenStyle::Dotted);
    canvas.SetBrushStyle(BrushStyle::Clear);
    canvas.MoveTo(5, 5);
    canvas.LineTo(25, 5);

    canvas.NewBitmap(40, 10);
    EXPECT_EQ(canvas.Width(), 40);
    EXPECT_EQ(canvas.Height(), 10);
    EXPECT_EQ(canvas.Image().format(), QImage::Format_RGB32);
    EXPECT_TRUE(InkedPixels(canvas).empty());
    EXPECT_EQ(canvas.PenColour(), Canvas::Black);
    EXPECT_EQ(canvas.GetPenMode(), PenMode::Copy);
    EXPECT_EQ(canvas.GetPenStyle(), PenStyle::Solid);
    EXPECT_EQ(canvas.GetBrushStyle(), BrushStyle::Solid);
    EXPECT_EQ(canvas.BrushColour(), Canvas::White);
    EXPECT_EQ(canvas.PenPos(), QPoint(0, 0));
}

TEST(Canvas, PixelsOutsideTheBitmapAreNeverPaper)
{
    Canvas canvas(10, 10);
    EXPECT_EQ(canvas.Pixel(0, 0), Canvas::White);
    for (const auto& [x, y] : PixelSet{{-1, 0}, {0, -1}, {10, 0}, {0, 10}, {-5, 50}}) {
        EXPECT_NE(canvas.Pixel(x, y), Canvas::White) << x << "," << y;
        EXPECT_EQ(canvas.Pixel(x, y), Canvas::OffBitmap);
    }
    canvas.SetPixel(-1, 3, Navy);
    canvas.SetPixel(10, 3, Navy);
    EXPECT_TRUE(InkedPixels(canvas).empty());
    canvas.SetPixel(9, 9, Navy);
    EXPECT_EQ(canvas.Pixel(9, 9), Navy);
}

TEST(Canvas, SetPixelIgnoresThePenMode)
{
    Canvas canvas(5, 5);
    canvas.SetPenMode(PenMode::Xor);
    canvas.SetPixel(2, 2, Navy);
    canvas.SetPixel(2, 2, Navy);
    EXPECT_EQ(canvas.Pixel(2, 2), Navy);
}

TEST(Canvas, LineToLeavesOutItsLastPixelAndMovesThePen)
{
    Canvas canvas(20, 20);
    canvas.SetPenColour(Navy);
    canvas.MoveTo(2, 3);
    canvas.LineTo(7, 3);
    EXPECT_EQ(InkedPixels(canvas), (PixelSet{{2, 3}, {3, 3}, {4, 3}, {5, 3}, {6, 3}}));
    EXPECT_EQ(canvas.PenPos(), QPoint(7, 3));

    // Going on from the pen position: the corner is painted by the second
    // line only once, and its own end is left out again.
    canvas.LineTo(7, 6);
    EXPECT_EQ(canvas.Pixel(7, 3), Navy);
    EXPECT_EQ(canvas.Pixel(7, 5), Navy);
    EXPECT_EQ(canvas.Pixel(7, 6), Canvas::White);

    // Backwards and diagonal.
    canvas.NewBitmap(20, 20);
    canvas.MoveTo(5, 5);
    canvas.LineTo(1, 1);
    EXPECT_EQ(InkedPixels(canvas), (PixelSet{{5, 5}, {4, 4}, {3, 3}, {2, 2}}));

    // A line to its own start paints nothing.
    canvas.NewBitmap(20, 20);
    canvas.MoveTo(4, 4);
    canvas.LineTo(4, 4);
    EXPECT_TRUE(InkedPixels(canvas).empty());
}

TEST(Canvas, ShallowAndSteepLinesTakeOnePixelPerStepOfTheLongerAxis)
{
    for (const auto& [tx, ty] : PixelSet{{17, 5}, {-13, 6}, {4, 15}, {-3, -11}}) {
        Canvas canvas(40, 40);
        const int fx = 20, fy = 20;
        canvas.MoveTo(fx, fy);
        canvas.LineTo(fx + tx, fy + ty);
        const PixelSet inked = InkedPixels(canvas);
        const bool alongX = std::abs(tx) >= std::abs(ty);
        const int steps = alongX ? std::abs(tx) : std::abs(ty);
        ASSERT_EQ(int(inked.size()), steps) << tx << "," << ty;
        std::set<int> majors;
        for (const auto& [x, y] : inked) {
            majors.insert(alongX ? x : y);
            // Each pixel is within half a pixel of the true line on the
            // shorter axis.
            const double t = alongX ? double(x - fx) / tx : double(y - fy) / ty;
            const double ideal = alongX ? fy + t * ty : fx + t * tx;
            EXPECT_LE(std::abs((alongX ? y : x) - ideal), 0.5) << x << "," << y;
        }
        EXPECT_EQ(int(majors.size()), steps);
        EXPECT_TRUE(inked.count({fx, fy}));
        EXPECT_FALSE(inked.count({fx + tx, fy + ty}));
    }
}

TEST(Canvas, PenModesActOnTheColourBits)
{
    Canvas canvas(10, 3);
    canvas.SetPenColour(Navy);
    canvas.SetPenMode(PenMode::Xor);
    canvas.MoveTo(0, 0);
    canvas.LineTo(10, 0);
    EXPECT_EQ(canvas.Pixel(4, 0), CanvasRgb(255, 255, 127)); // white XOR navy

    canvas.SetPenMode(PenMode::NotXor);
    canvas.MoveTo(0, 1);
    canvas.LineTo(10, 1);
    EXPECT_EQ(canvas.Pixel(4, 1), Navy); // NOT (white XOR navy)

    canvas.SetPenColour(Aqua);
    canvas.SetPenMode(PenMode::Xor);
    canvas.MoveTo(0, 2);
    canvas.LineTo(10, 2);
    EXPECT_EQ(canvas.Pixel(4, 2), Red);
}

TEST(Canvas, InvertingLinesDrawnTwiceRestoreTheBitmap)
{
    for (PenMode mode : {PenMode::Xor, PenMode::NotXor}) {
        Canvas canvas(50, 50);
        canvas.SetPixel(10, 10, Red);
        canvas.SetPixel(30, 17, Navy);
        const QImage before = canvas.Image().copy();
        canvas.SetPenColour(Navy);
        canvas.SetPenMode(mode);
        for (int pass = 0; pass < 2; ++pass) {
            canvas.MoveTo(3, 2);
            canvas.LineTo(47, 31);
            canvas.LineTo(12, 45);
            canvas.LineTo(3, 2);
        }
        EXPECT_EQ(canvas.Image(), before);
    }
}

TEST(Canvas, LinesFarOutsideTheBitmapAreClippedNotWalked)
{
    Canvas canvas(30, 10);
    canvas.SetPenMode(PenMode::Xor);
    canvas.SetPenColour(Aqua);
    canvas.MoveTo(-2000000000, 4);
    canvas.LineTo(2000000000, 4);
    PixelSet row;
    for (int x = 0; x < 30; ++x)
        row.emplace(x, 4);
    EXPECT_EQ(InkedPixels(canvas), row);
    EXPECT_TRUE(AllPixelsAre(canvas, row, Red));

    // Wholly outside: nothing.
    canvas.NewBitmap(30, 10);
    canvas.MoveTo(-2000000000, -5);
    canvas.LineTo(2000000000, -2000000000);
    EXPECT_TRUE(InkedPixels(canvas).empty());

    // A steep line from far above still lands where its slope says.
    canvas.MoveTo(5, -1000000);
    canvas.LineTo(5, 1000000);
    PixelSet column;
    for (int y = 0; y < 10; ++y)
        column.emplace(5, y);
    EXPECT_EQ(InkedPixels(canvas), column);
}

TEST(Canvas, DottedPenPaintsEveryOtherPixelAlongTheLine)
{
    Canvas canvas(20, 20);
    canvas.SetPenColour(Navy);
    canvas.SetPixel(3, 0, Red);
    canvas.SetPenStyle(PenStyle::Dotted);
    canvas.MoveTo(0, 0);
    canvas.LineTo(9, 0);
    EXPECT_EQ(InkedPixels(canvas), (PixelSet{{0, 0}, {2, 0}, {3, 0}, {4, 0}, {6, 0}, {8, 0}}));
    EXPECT_EQ(canvas.Pixel(3, 0), Red); // the gaps keep what lay there

    // Counted from the line's own start, also going left and up.
    canvas.NewBitmap(20, 20);
    canvas.SetPenStyle(PenStyle::Dotted);
    canvas.MoveTo(10, 10);
    canvas.LineTo(10, 4);
    EXPECT_EQ(InkedPixels(canvas), (PixelSet{{10, 10}, {10, 8}, {10, 6}}));
}

TEST(Canvas, RectangleOutlinesWithThePenAndFillsWithTheBrush)
{
    Canvas canvas(20, 20);
    canvas.SetPenColour(Navy);
    canvas.SetBrushColour(Yellow);
    canvas.Rectangle(12, 9, 2, 3); // corners in any order; right and bottom excluded
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            const bool inside = x >= 2 && x <= 11 && y >= 3 && y <= 8;
            const bool edge = inside && (x == 2 || x == 11 || y == 3 || y == 8);
            const CanvasColour expected = edge ? Navy : inside ? Yellow : Canvas::White;
            ASSERT_EQ(canvas.Pixel(x, y), expected) << x << "," << y;
        }
    }
}

TEST(Canvas, InvertedRectanglePaintsEachOutlinePixelOnce)
{
    const std::pair<QPoint, QPoint> boxes[] = {
        {{2, 3}, {12, 9}}, {{4, 4}, {5, 9}}, {{4, 4}, {9, 5}}, {{4, 4}, {6, 6}}};
    for (const auto& [from, to] : boxes) {
        Canvas canvas(20, 20);
        canvas.SetPenMode(PenMode::Xor);
        canvas.SetPenColour(Aqua);
        canvas.SetBrushStyle(BrushStyle::Clear);
        canvas.Rectangle(from.x(), from.y(), to.x(), to.y());
        PixelSet outline;
        for (int y = from.y(); y < to.y(); ++y) {
            for (int x = from.x(); x < to.x(); ++x) {
                if (x == from.x() || x == to.x() - 1 || y == from.y() || y == to.y() - 1)
                    outline.emplace(x, y);
            }
        }
        EXPECT_EQ(InkedPixels(canvas), outline);
        EXPECT_TRUE(AllPixelsAre(canvas, outline, Red)); // red: inverted exactly once
        canvas.Rectangle(from.x(), from.y(), to.x(), to.y());
        EXPECT_TRUE(InkedPixels(canvas).empty());
    }
}

TEST(Canvas, FillRectUsesTheBrushAndNothingWhenItIsClear)
{
    Canvas canvas(10, 10);
    canvas.SetBrushColour(Navy);
    canvas.FillRect(1, 2, 4, 3);
    EXPECT_EQ(InkedPixels(canvas), (PixelSet{{1, 2}, {2, 2}, {3, 2}}));
    EXPECT_TRUE(AllPixelsAre(canvas, {{1, 2}, {2, 2}, {3, 2}}, Navy));

    canvas.SetBrushStyle(BrushStyle::Clear);
    canvas.FillRect(0, 0, 10, 10);
    EXPECT_EQ(InkedPixels(canvas).size(), 3u);

    canvas.SetBrushStyle(BrushStyle::Solid);
    canvas.SetBrushColour(Canvas::White);
    canvas.FillRect(-100, -100, 100, 100);
    EXPECT_TRUE(InkedPixels(canvas).empty());
}

TEST(Canvas, EllipseOutlineFitsItsBoxAndErasesItselfInXor)
{
    const QRect boxes[] = {
        QRect(QPoint(10, 10), QPoint(40, 30)), QRect(QPoint(5, 20), QPoint(54, 27)),
        QRect(QPoint(20, 2), QPoint(23, 45)), QRect(QPoint(8, 8), QPoint(19, 19))};
    for (const QRect& box : boxes) {
        Canvas canvas(60, 50);
        canvas.SetPixel(0, 49, Navy);
        const QImage before = canvas.Image().copy();
        canvas.SetPenMode(PenMode::Xor);
        canvas.SetPenColour(Aqua);
        // Corners given as the sheet gives them: the second is excluded.
        canvas.Ellipse(box.right() + 1, box.bottom() + 1, box.left(), box.top());

        PixelSet outline = InkedPixels(canvas);
        outline.erase({0, 49});
        ASSERT_FALSE(outline.empty());
        EXPECT_TRUE(AllPixelsAre(canvas, outline, Red)); // each pixel inverted once
        std::set<int> columns, rows;
        for (const auto& [x, y] : outline) {
            EXPECT_TRUE(box.contains(x, y)) << x << "," << y;
            // Symmetric about the centre of the box.
            EXPECT_TRUE(outline.count({box.left() + box.right() - x, y})) << x << "," << y;
            EXPECT_TRUE(outline.count({x, box.top() + box.bottom() - y})) << x << "," << y;
            columns.insert(x);
            rows.insert(y);
        }
        // It touches all four sides and leaves no column or row of the box out.
        EXPECT_EQ(*columns.begin(), box.left());
        EXPECT_EQ(*columns.rbegin(), box.right());
        EXPECT_EQ(*rows.begin(), box.top());
        EXPECT_EQ(*rows.rbegin(), box.bottom());
        EXPECT_EQ(int(columns.size()), box.width());
        EXPECT_EQ(int(rows.size()), box.height());

        canvas.Ellipse(box.right() + 1, box.bottom() + 1, box.left(), box.top());
        EXPECT_EQ(canvas.Image(), before);
    }
}

TEST(Canvas, LabelFontsAreSizedAt96PixelsPerInch)
{
    EXPECT_EQ(Canvas::PointsToPixels(8), 11);
    EXPECT_EQ(Canvas::PointsToPixels(16), 21);
    EXPECT_EQ(Canvas::PointsToPixels(12), 16);
    Canvas canvas(10, 10);
    canvas.SetFont(QStringLiteral("Arial"), 16);
    EXPECT_EQ(canvas.Font().pixelSize(), 21);
    EXPECT_EQ(canvas.FontPoints(), 16);
    EXPECT_EQ(canvas.TextHeight(QStringLiteral("Hg")), QFontMetrics(canvas.Font()).height());
    EXPECT_GT(canvas.TextWidth(QStringLiteral("HHHH")), canvas.TextWidth(QStringLiteral("H")));
    EXPECT_EQ(canvas.TextWidth(QString()), 0);
}

TEST(Canvas, TextHasNoAntialiasingAndStartsAtTheGivenCorner)
{
    for (int points : {8, 16, 24}) {
        Canvas canvas(300, 120);
        canvas.SetFont(QStringLiteral("Arial"), points);
        canvas.SetBrushStyle(BrushStyle::Clear);
        canvas.SetFontColour(Navy);
        const QString text = QStringLiteral("HELLO wavy 123");
        canvas.TextOut(20, 30, text);

        const PixelSet inked = InkedPixels(canvas);
        ASSERT_FALSE(inked.empty()) << points;
        EXPECT_TRUE(AllPixelsAre(canvas, inked, Navy)) << "blended pixels at " << points << " pt";
        const int width = canvas.TextWidth(text);
        const int height = canvas.TextHeight(text);
        int top = 1000, left = 1000;
        for (const auto& [x, y] : inked) {
            EXPECT_GE(x, 20);
            EXPECT_LT(x, 20 + width);
            EXPECT_GE(y, 30);
            EXPECT_LT(y, 30 + height);
            top = std::min(top, y);
            left = std::min(left, x);
        }
        // The cell's corner is the given pixel: the capitals start close to
        // it, not a baseline's height above it.
        EXPECT_LE(top - 30, height / 2) << points;
        EXPECT_LE(left - 20, 3) << points;
    }
}

TEST(Canvas, TextOnASolidBrushFillsItsCell)
{
    Canvas canvas(200, 60);
    canvas.SetBrushColour(Yellow);
    canvas.SetFontColour(Navy);
    const QString text = QStringLiteral("Label 7");
    canvas.TextOut(10, 15, text);
    const QRect cell(10, 15, canvas.TextWidth(text), canvas.TextHeight(text));
    bool sawInk = false;
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            const CanvasColour c = canvas.Pixel(x, y);
            if (cell.contains(x, y)) {
                ASSERT_TRUE(c == Yellow || c == Navy) << x << "," << y;
                sawInk = sawInk || c == Navy;
            } else {
                ASSERT_EQ(c, Canvas::White) << x << "," << y;
            }
        }
    }
    EXPECT_TRUE(sawInk);
}

// A navy text on its yellow cell, drawn by the toolkit itself on a white
// 200 x 100 image in the canvas's font.
QImage TextItself(const Canvas& canvas, QPoint at, const QString& text)
{
    QImage expected(200, 100, QImage::Format_RGB32);
    expected.fill(QColor(255, 255, 255));
    const QFontMetrics metrics(canvas.Font());
    QPainter painter(&expected);
    painter.fillRect(QRect(at.x(), at.y(), metrics.horizontalAdvance(text), metrics.height()),
                     QColor::fromRgb(Yellow));
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setFont(canvas.Font());
    painter.setPen(QColor::fromRgb(Navy));
    painter.drawText(at.x(), at.y() + metrics.ascent(), text);
    return expected;
}

// Labels are drawn again at every refresh from the glyphs shaped the first
// time; the pixels must be those of drawing the text itself, at every size,
// in every colour, and where the bitmap cuts the text off.
TEST(Canvas, TextDrawnAgainHasThePixelsOfTheTextItself)
{
    const QStringList texts = {QStringLiteral("Room 12"),
                               QStringLiteral("AVWA To Ty"),
                               QStringLiteral("\u00d8rsted caf\u00e9"),
                               QStringLiteral("fi ff ffl"),
                               QStringLiteral("  Wall 17 - north side, O'Hara"),
                               QStringLiteral("tab\tand\nbreak")};
    const QPoint places[] = {QPoint(10, 10), QPoint(0, 0),    QPoint(123, 45),
                             QPoint(-5, 3),  QPoint(190, 95), QPoint(37, -4)};
    for (const int points : {8, 16, 32}) {
        for (const QString& text : texts) {
            for (const QPoint at : places) {
                Canvas canvas(200, 100);
                canvas.SetFont(QStringLiteral("Arial"), points);
                const QImage expected = TextItself(canvas, at, text);
                // Shaped and drawn from its glyphs, then its ink found, then
                // drawn from that.
                for (int pass = 0; pass < 3; ++pass) {
                    canvas.NewBitmap(200, 100);
                    canvas.SetFont(QStringLiteral("Arial"), points);
                    canvas.SetBrushColour(Yellow);
                    canvas.SetFontColour(Navy);
                    canvas.TextOut(at.x(), at.y(), text);
                    EXPECT_EQ(canvas.Image(), expected)
                        << text.toStdString() << " at " << points << " pt, " << at.x() << ","
                        << at.y() << ", pass " << pass;
                }
            }
        }
    }
}

// A site with more labels than the canvas keeps: the labels past them are
// shaped at each drawing, and every one keeps the pixels of the text
// itself at each refresh, the kept ones drawn again from their ink.
TEST(Canvas, LabelsBeyondThoseKeptShapedKeepTheirPixels)
{
    Canvas canvas(200, 100);
    canvas.SetFont(QStringLiteral("Arial"), 8);
    const int labels = int(Canvas::MaxShapedTexts) + 10;
    for (int i = 0; i < labels; ++i)
        canvas.TextOut(i % 150, i % 80, QString::number(i));
    const QPoint at(20, 30);
    for (int refresh = 0; refresh < 2; ++refresh) {
        for (const int i : {0, 7, labels - 11, labels - 10, labels - 1}) {
            const QString text = QString::number(i);
            canvas.NewBitmap(200, 100);
            canvas.SetFont(QStringLiteral("Arial"), 8);
            canvas.SetBrushColour(Yellow);
            canvas.SetFontColour(Navy);
            canvas.TextOut(at.x(), at.y(), text);
            EXPECT_EQ(canvas.Image(), TextItself(canvas, at, text))
                << text.toStdString() << ", refresh " << refresh;
        }
    }
}
