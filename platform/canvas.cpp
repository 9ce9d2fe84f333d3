#include "platform/canvas.h"

#include <QColor>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace
{

using Wide = __int128;

constexpr QRgb OpaqueBits = 0xFF000000u;

// The ellipse walk takes about as many steps as the box is wide and high;
// a box beyond this size lies almost wholly off any bitmap and is skipped
// rather than left to run for minutes.
constexpr int64_t LargestEllipseDiameter = int64_t(1) << 20;

// The steps i in [0, count) at which start + step * i lies in [0, limit).
struct StepRange {
    int64_t first = 0;
    int64_t last = -1; // inclusive; last < first when empty
};

StepRange StepsInside(int64_t start, int64_t step, int64_t count, int64_t limit)
{
    StepRange range;
    range.first = 0;
    range.last = count - 1;
    if (step > 0) {
        range.first = std::max<int64_t>(range.first, -start);
        range.last = std::min<int64_t>(range.last, limit - 1 - start);
    } else if (step < 0) {
        range.first = std::max<int64_t>(range.first, start - (limit - 1));
        range.last = std::min<int64_t>(range.last, start);
    } else if (start < 0 || start >= limit) {
        range.last = range.first - 1;
    }
    return range;
}

void Normalise(int& low, int& high)
{
    if (low > high)
        std::swap(low, high);
}

} // namespace

Canvas::Canvas()
{
    NewBitmap(0, 0);
}

Canvas::Canvas(int width, int height)
{
    NewBitmap(width, height);
}

void Canvas::NewBitmap(int width, int height)
{
    image_ = QImage(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    image_.fill(QColor(255, 255, 255));
    ResetState();
}

void Canvas::ResetState()
{
    penColour_ = Black;
    penMode_ = PenMode::Copy;
    penStyle_ = PenStyle::Solid;
    brushColour_ = White;
    brushStyle_ = BrushStyle::Solid;
    fontColour_ = Black;
    penPos_ = QPoint(0, 0);
    SetFont(QStringLiteral("Arial"), 8);
}

bool Canvas::Contains(int x, int y) const
{
    return x >= 0 && y >= 0 && x < image_.width() && y < image_.height();
}

int Canvas::PointsToPixels(int points)
{
    return int(std::lround(points * 96.0 / 72.0));
}

void Canvas::SetFont(const QString& family, int points)
{
    fontFamily_ = family;
    fontPoints_ = points;
    font_ = QFont(family);
    font_.setPixelSize(std::max(PointsToPixels(points), 1));
    // Mono glyphs only: every text pixel is exactly the font colour, so the
    // pixel readers never meet a blend of ink and paper.
    font_.setStyleStrategy(QFont::NoAntialias);
    fontKey_ = font_.key();
}

void Canvas::MoveTo(int x, int y)
{
    penPos_ = QPoint(x, y);
}

void Canvas::LineTo(int x, int y)
{
    const QPoint to(x, y);
    PaintLinePixels(penPos_, to);
    penPos_ = to;
}

// Bresenham's line by its closed form: along the major axis step i covers
// one pixel, the minor offset is i * minor / major rounded with halves
// going forward. Only the steps that fall on the bitmap are visited, so a
// line running far outside costs no more than one across the bitmap.
void Canvas::PaintLinePixels(QPoint from, QPoint to)
{
    const int64_t dx = int64_t(to.x()) - from.x();
    const int64_t dy = int64_t(to.y()) - from.y();
    const int64_t adx = std::llabs(dx);
    const int64_t ady = std::llabs(dy);
    const int64_t sx = dx < 0 ? -1 : 1;
    const int64_t sy = dy < 0 ? -1 : 1;
    const bool alongX = adx >= ady;
    const int64_t major = alongX ? adx : ady;
    const int64_t minor = alongX ? ady : adx;
    if (major == 0)
        return; // a line to its own start paints nothing
    const StepRange range = alongX ? StepsInside(from.x(), sx, major, Width())
                                   : StepsInside(from.y(), sy, major, Height());
    if (range.first > range.last)
        return;
    QRgb* const pixels = Pixels();
    const int stride = Stride();
    for (int64_t i = range.first; i <= range.last; ++i) {
        if (penStyle_ == PenStyle::Dotted && i % 2 != 0)
            continue;
        const int64_t offset = int64_t((Wide(2) * i * minor + major) / (Wide(2) * major));
        const int64_t px = alongX ? from.x() + sx * i : from.x() + sx * offset;
        const int64_t py = alongX ? from.y() + sy * offset : from.y() + sy * i;
        if (px >= 0 && py >= 0 && px < Width() && py < Height())
            ApplyPenAt(pixels[py * stride + px]);
    }
}

QRgb* Canvas::Pixels()
{
    return reinterpret_cast<QRgb*>(image_.bits());
}

void Canvas::ApplyPen(int x, int y)
{
    if (!Contains(x, y))
        return;
    ApplyPenAt(Pixels()[y * Stride() + x]);
}

void Canvas::ApplyPenAt(QRgb& pixel)
{
    const CanvasColour old = pixel & 0xFFFFFF;
    CanvasColour result = penColour_;
    switch (penMode_) {
    case PenMode::Copy:
        result = penColour_;
        break;
    case PenMode::Xor:
        result = old ^ penColour_;
        break;
    case PenMode::NotXor:
        result = ~(old ^ penColour_) & 0xFFFFFF;
        break;
    }
    pixel = OpaqueBits | result;
}

void Canvas::SetPixel(int x, int y, CanvasColour colour)
{
    if (!Contains(x, y))
        return;
    reinterpret_cast<QRgb*>(image_.scanLine(y))[x] = OpaqueBits | (colour & 0xFFFFFF);
}

void Canvas::SetPixels(const std::vector<QPoint>& pixels, CanvasColour colour)
{
    if (pixels.empty())
        return;
    QRgb* const bits = Pixels();
    const int stride = Stride();
    const QRgb value = OpaqueBits | (colour & 0xFFFFFF);
    for (const QPoint p : pixels) {
        if (Contains(p.x(), p.y()))
            bits[p.y() * stride + p.x()] = value;
    }
}

void Canvas::InvertPixels(const std::vector<QPoint>& pixels, CanvasColour with)
{
    if (pixels.empty())
        return;
    QRgb* const bits = Pixels();
    const int stride = Stride();
    for (const QPoint p : pixels) {
        if (Contains(p.x(), p.y())) {
            QRgb& pixel = bits[p.y() * stride + p.x()];
            pixel = OpaqueBits | ((pixel ^ with) & 0xFFFFFF);
        }
    }
}

CanvasColour Canvas::Pixel(int x, int y) const
{
    if (!Contains(x, y))
        return OffBitmap;
    return reinterpret_cast<const QRgb*>(image_.constScanLine(y))[x] & 0xFFFFFF;
}

void Canvas::FillBox(int left, int top, int right, int bottom, CanvasColour colour)
{
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, Width());
    bottom = std::min(bottom, Height());
    const QRgb value = OpaqueBits | (colour & 0xFFFFFF);
    if (top >= bottom || left >= right)
        return;
    QRgb* const bits = Pixels();
    const int stride = Stride();
    for (int y = top; y < bottom; ++y)
        std::fill(bits + y * stride + left, bits + y * stride + right, value);
}

void Canvas::FillRect(int x1, int y1, int x2, int y2)
{
    Normalise(x1, x2);
    Normalise(y1, y2);
    if (brushStyle_ == BrushStyle::Solid)
        FillBox(x1, y1, x2, y2, brushColour_);
}

// The outline runs clockwise from the top-left corner: top row, right
// column, bottom row, left column, each pixel once, so an inverting pen
// leaves no corner painted twice. A box one pixel high or wide is a
// single run.
void Canvas::Rectangle(int x1, int y1, int x2, int y2)
{
    Normalise(x1, x2);
    Normalise(y1, y2);
    const int64_t width = int64_t(x2) - x1;
    const int64_t height = int64_t(y2) - y1;
    if (width <= 0 || height <= 0)
        return;
    if (brushStyle_ == BrushStyle::Solid)
        FillBox(x1 + 1, y1 + 1, x2 - 1, y2 - 1, brushColour_);

    const auto run = [this](int64_t x, int64_t y, int64_t stepX, int64_t stepY, int64_t count) {
        const StepRange range = stepX != 0 ? StepsInside(x, stepX, count, Width())
                                           : StepsInside(y, stepY, count, Height());
        for (int64_t i = range.first; i <= range.last; ++i) {
            if (penStyle_ == PenStyle::Dotted && i % 2 != 0)
                continue;
            const int64_t px = x + stepX * i;
            const int64_t py = y + stepY * i;
            if (px >= 0 && py >= 0 && px < Width() && py < Height())
                ApplyPen(int(px), int(py));
        }
    };
    const int64_t right = int64_t(x2) - 1;
    const int64_t bottom = int64_t(y2) - 1;
    run(x1, y1, 1, 0, width);
    if (height == 1)
        return;
    run(right, int64_t(y1) + 1, 0, 1, height - 1);
    if (width == 1)
        return;
    run(right - 1, bottom, -1, 0, width - 1);
    run(x1, bottom - 1, 0, -1, height - 2);
}

// The ellipse by the integer midpoint walk over its bounding box (after
// A. Zingl's rasteriser), which handles even and odd sizes alike. The walk
// can reach a pixel twice at the tips; the pixels are collected and
// painted once each so that drawing twice in an inverting mode restores
// the bitmap.
void Canvas::Ellipse(int x1, int y1, int x2, int y2)
{
    Normalise(x1, x2);
    Normalise(y1, y2);
    if (int64_t(x2) - x1 <= 0 || int64_t(y2) - y1 <= 0)
        return;
    int64_t left = x1;
    int64_t top = y1;
    int64_t right = int64_t(x2) - 1;
    int64_t bottom = int64_t(y2) - 1;
    const int64_t a = right - left;
    const int64_t b = bottom - top;
    if (a > LargestEllipseDiameter || b > LargestEllipseDiameter)
        return;

    std::vector<std::pair<int64_t, int64_t>> pixels;
    const auto keep = [&pixels](int64_t x, int64_t y) { pixels.emplace_back(x, y); };

    const int64_t b1 = b & 1;
    Wide dx = Wide(4) * (1 - a) * b * b;
    Wide dy = Wide(4) * (b1 + 1) * a * a;
    Wide err = dx + dy + Wide(b1) * a * a;
    int64_t y0 = top + (b + 1) / 2;
    int64_t yUp = y0 - b1;
    const Wide stepA = Wide(8) * a * a;
    const Wide stepB = Wide(8) * b * b;
    do {
        keep(right, y0);
        keep(left, y0);
        keep(left, yUp);
        keep(right, yUp);
        const Wide e2 = 2 * err;
        if (e2 <= dy) {
            ++y0;
            --yUp;
            dy += stepA;
            err += dy;
        }
        if (e2 >= dx || 2 * err > dy) {
            ++left;
            --right;
            dx += stepB;
            err += dx;
        }
    } while (left <= right);
    while (y0 - yUp <= b) { // a narrow ellipse stops early: finish its tips
        keep(left - 1, y0);
        keep(right + 1, y0);
        ++y0;
        keep(left - 1, yUp);
        keep(right + 1, yUp);
        --yUp;
    }

    std::sort(pixels.begin(), pixels.end());
    pixels.erase(std::unique(pixels.begin(), pixels.end()), pixels.end());
    for (const auto& [x, y] : pixels) {
        if (x >= 0 && y >= 0 && x < Width() && y < Height())
            ApplyPen(int(x), int(y));
    }
}

namespace
{

// Texts whose ink stays on one line within reach of their cell: no line
// breaks, tabs or other control characters. Any other is always drawn as
// text.
bool PlainText(const QString& text)
{
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            return false;
    }
    return true;
}

} // namespace

Canvas::ShapedText* Canvas::Shaped(const QString& text)
{
    ShapedTexts& texts = shapedByFont_[fontKey_];
    const auto found = texts.find(text);
    if (found != texts.end())
        return &*found;
    if (texts.size() >= MaxShapedTexts)
        return nullptr;
    // The cell of the text itself (DrawText).
    const QFontMetrics metrics(font_);
    ShapedText shaped;
    shaped.Advance = metrics.horizontalAdvance(text);
    shaped.Height = metrics.height();
    shaped.Plain = PlainText(text);
    return &*texts.insert(text, std::move(shaped));
}

void Canvas::FindInk(ShapedText& shaped, const QString& text)
{
    // Drawn on clear paper as on the bitmap, with room all round for
    // glyphs that reach out of their cell; the cell's corner at a whole
    // pixel, as on the bitmap.
    const int pad = shaped.Height + 2;
    const int width = shaped.Advance + 2 * pad;
    const int height = shaped.Height + 2 * pad;
    if (width > 30000 || height > 30000) {
        shaped.Plain = false;
        return;
    }
    if (inkPaper_.width() < width || inkPaper_.height() < height)
        inkPaper_ = QImage(std::max(width, inkPaper_.width()), std::max(height, inkPaper_.height()),
                           QImage::Format_ARGB32);
    QImage& paper = inkPaper_;
    paper.fill(Qt::transparent);
    {
        QPainter painter(&paper);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.setFont(font_);
        painter.setPen(QColor(Qt::black));
        painter.drawText(QPointF(pad, pad + QFontMetrics(font_).ascent()), text);
    }
    KeepInk(shaped, paper, pad, QSize(width, height));
}

void Canvas::KeepInk(ShapedText& shaped, const QImage& paper, int pad, QSize area)
{
    const auto line = [&](int row) {
        return reinterpret_cast<const QRgb*>(paper.constScanLine(row));
    };
    const auto inked = [](QRgb pixel) { return qAlpha(pixel) != 0; };
    int left = area.width(), top = area.height(), right = -1, bottom = -1;
    for (int row = 0; row < area.height(); ++row) {
        // The first and the last inked pixel of the row.
        const QRgb* const pixels = line(row);
        const QRgb* const end = pixels + area.width();
        const QRgb* const first = std::find_if(pixels, end, inked);
        if (first == end)
            continue;
        const QRgb* last = end - 1;
        while (!inked(*last))
            --last;
        left = std::min(left, int(first - pixels));
        right = std::max(right, int(last - pixels));
        top = std::min(top, row);
        bottom = row;
    }
    shaped.HasInk = true;
    if (right < 0)
        return;
    shaped.InkLeft = int16_t(left - pad);
    shaped.InkTop = int16_t(top - pad);
    shaped.InkWidth = int16_t(right - left + 1);
    shaped.InkHeight = int16_t(bottom - top + 1);
    const int rowBytes = (shaped.InkWidth + 7) / 8;
    shaped.InkBits.assign(size_t(rowBytes) * size_t(shaped.InkHeight), 0);
    for (int row = 0; row < shaped.InkHeight; ++row) {
        const QRgb* const pixels = line(top + row) + left;
        uint8_t* const bits = shaped.InkBits.data() + size_t(row * rowBytes);
        for (int column = 0; column < shaped.InkWidth; ++column) {
            if (qAlpha(pixels[column]) != 0)
                bits[column / 8] |= uint8_t(1u << (column % 8));
        }
    }
}

void Canvas::PaintInk(int x, int y, const ShapedText& shaped)
{
    QRgb* const bits = Pixels();
    const int stride = Stride();
    const QRgb ink = OpaqueBits | fontColour_;
    const int rowBytes = (shaped.InkWidth + 7) / 8;
    // The ink's box from its top-left pixel on the bitmap, cut to the
    // bitmap: the rows and columns of it that land there.
    const int left = x + shaped.InkLeft;
    const int top = y + shaped.InkTop;
    const int firstColumn = std::max(0, -left);
    const int endColumn = std::min(int(shaped.InkWidth), Width() - left);
    const int firstRow = std::max(0, -top);
    const int endRow = std::min(int(shaped.InkHeight), Height() - top);
    for (int row = firstRow; row < endRow; ++row) {
        const uint8_t* const rowBits = shaped.InkBits.data() + size_t(row * rowBytes);
        QRgb* const line = bits + (top + row) * stride + left;
        // Only the bits set, a byte of eight columns at a time.
        for (int byte = firstColumn / 8; byte * 8 < endColumn; ++byte) {
            for (unsigned set = rowBits[byte]; set != 0; set &= set - 1) {
                const int column = byte * 8 + std::countr_zero(set);
                if (column >= firstColumn && column < endColumn)
                    line[column] = ink;
            }
        }
    }
}

void Canvas::TextOut(int x, int y, const QString& text)
{
    if (text.isEmpty() || image_.isNull())
        return;
    ShapedText* const shaped = Shaped(text);
    if (!shaped) {
        DrawText(x, y, text);
        return;
    }
    if (brushStyle_ == BrushStyle::Solid)
        FillBox(x, y, x + shaped->Advance, y + shaped->Height, brushColour_);
    const bool again = shaped->DrawnOnce;
    shaped->DrawnOnce = true;
    // A text drawn the first time is drawn as text, which costs a fraction
    // of laying it out as glyphs; the second time its ink is found, which
    // serves every later drawing. A cell off the bitmap's top or left edge
    // is always drawn as text.
    if (!shaped->Plain || x < 0 || y < 0 || !again) {
        PaintText(x, y, text);
        return;
    }
    if (!shaped->HasInk) {
        FindInk(*shaped, text);
        if (!shaped->HasInk) {
            PaintText(x, y, text);
            return;
        }
    }
    PaintInk(x, y, *shaped);
}

void Canvas::DrawText(int x, int y, const QString& text)
{
    // The toolkit's own drawing of the text, which the kept ink
    // reproduces: a text past the cache is drawn as text every time.
    if (brushStyle_ == BrushStyle::Solid) {
        const QFontMetrics metrics(font_);
        FillBox(x, y, x + metrics.horizontalAdvance(text), y + metrics.height(), brushColour_);
    }
    PaintText(x, y, text);
}

void Canvas::PaintText(int x, int y, const QString& text)
{
    QPainter painter(&image_);
    PrepareTextPainter(painter);
    painter.drawText(QPointF(x, y + QFontMetrics(font_).ascent()), text);
}

void Canvas::PrepareTextPainter(QPainter& painter) const
{
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setFont(font_);
    painter.setPen(QColor::fromRgb(OpaqueBits | fontColour_));
}

int Canvas::TextWidth(const QString& text) const
{
    return QFontMetrics(font_).horizontalAdvance(text);
}

int Canvas::TextHeight(const QString& text) const
{
    Q_UNUSED(text);
    return QFontMetrics(font_).height();
}
