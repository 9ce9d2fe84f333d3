#pragma once
// A device-context-like canvas over an off-screen QImage. It keeps the
// drawing state between calls (pen, brush, font, pen position) the way the
// drawing code expects of a window-system canvas, and paints pixel-exactly:
// no antialiasing anywhere, and the inverting pen modes act on the RGB bits
// so that painting a figure twice restores what lay under it.

#include <QFont>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

// A colour as 0xRRGGBB.
using CanvasColour = uint32_t;

constexpr CanvasColour CanvasRgb(int red, int green, int blue)
{
    return (CanvasColour(red & 0xFF) << 16) | (CanvasColour(green & 0xFF) << 8) |
           CanvasColour(blue & 0xFF);
}

enum class PenMode {
    Copy,   // the pen colour replaces the pixel
    Xor,    // pixel := pixel XOR pen colour
    NotXor, // pixel := NOT (pixel XOR pen colour)
};

// Dotted: one pixel on, one pixel off, counted along each line from its
// first pixel; the off pixels are left as they are.
enum class PenStyle { Solid, Dotted };

// Clear: figures are not filled and text is written without a background.
enum class BrushStyle { Solid, Clear };

class Canvas
{
  public:
    // What Pixel() answers outside the bitmap: no real colour has these
    // bits, so it is never taken for white paper.
    static constexpr CanvasColour OffBitmap = 0xFFFFFFFFu;
    static constexpr CanvasColour White = 0xFFFFFF;
    static constexpr CanvasColour Black = 0x000000;
    // How many different texts a font's labels keep their cell and ink for:
    // enough for every label of a large site, at about a hundred bytes
    // each. Past it the texts kept first stay and the rest are drawn as
    // text, shaped at each drawing; a cache started again would drop, one
    // by one, texts drawn in every redraw and keep none.
    static constexpr qsizetype MaxShapedTexts = 400000;

    Canvas();
    Canvas(int width, int height);

    // Replaces the bitmap by a white one of the given size and returns the
    // drawing state to that of a fresh canvas, as a new bitmap brings a new
    // device context.
    void NewBitmap(int width, int height);

    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    bool Contains(int x, int y) const;
    const QImage& Image() const { return image_; }

    void SetPenColour(CanvasColour colour) { penColour_ = colour & 0xFFFFFF; }
    CanvasColour PenColour() const { return penColour_; }
    void SetPenMode(PenMode mode) { penMode_ = mode; }
    PenMode GetPenMode() const { return penMode_; }
    void SetPenStyle(PenStyle style) { penStyle_ = style; }
    PenStyle GetPenStyle() const { return penStyle_; }

    void SetBrushColour(CanvasColour colour) { brushColour_ = colour & 0xFFFFFF; }
    CanvasColour BrushColour() const { return brushColour_; }
    void SetBrushStyle(BrushStyle style) { brushStyle_ = style; }
    BrushStyle GetBrushStyle() const { return brushStyle_; }

    // Fonts are given in points and drawn at 96 pixels per inch whatever
    // the screen, so a label has the same pixel size everywhere.
    void SetFont(const QString& family, int points);
    QString FontFamily() const { return fontFamily_; }
    int FontPoints() const { return fontPoints_; }
    const QFont& Font() const { return font_; }
    void SetFontColour(CanvasColour colour) { fontColour_ = colour & 0xFFFFFF; }
    CanvasColour FontColour() const { return fontColour_; }
    static int PointsToPixels(int points);

    QPoint PenPos() const { return penPos_; }
    void MoveTo(int x, int y);
    // Line from the pen position to (x, y) in the pen's mode and style,
    // leaving out the pixel at (x, y); every other pixel is painted once.
    // The pen ends at (x, y).
    void LineTo(int x, int y);

    // Sets one pixel to the colour whatever the pen mode; ignored outside.
    void SetPixel(int x, int y, CanvasColour colour);
    // The same for many pixels at once, and inverting them with a colour
    // (XOR); pixels off the bitmap are passed over.
    void SetPixels(const std::vector<QPoint>& pixels, CanvasColour colour);
    void InvertPixels(const std::vector<QPoint>& pixels, CanvasColour with);
    // The pixel's colour, or OffBitmap outside the bitmap.
    CanvasColour Pixel(int x, int y) const;

    // Outline with the pen on the box (x1, y1) - (x2, y2), right and bottom
    // edges excluded, inside filled with the brush unless it is clear.
    void Rectangle(int x1, int y1, int x2, int y2);
    // The box, right and bottom edges excluded, with the brush colour;
    // nothing with a clear brush.
    void FillRect(int x1, int y1, int x2, int y2);
    // Outline of the ellipse inscribed in the box (right and bottom edges
    // excluded), each pixel painted once in the pen's mode; drawn solid and
    // never filled.
    void Ellipse(int x1, int y1, int x2, int y2);

    // Text with the top-left corner of its character cell at (x, y), in the
    // font colour, on a cell filled with the brush unless it is clear.
    void TextOut(int x, int y, const QString& text);
    int TextWidth(const QString& text) const;
    int TextHeight(const QString& text) const;

  private:
    // What is kept of a text so that a label drawn again (every refresh
    // draws every label) is neither shaped nor rasterised again: its cell,
    // and the ink pixels that drawing the text itself leaves (the font is
    // never smoothed, so a pixel is ink or untouched), one bit each within
    // the ink's bounding box. Small, so that every label of a large site
    // can be kept.
    struct ShapedText {
        int Advance = 0;
        int Height = 0;
        bool Plain = true;      // false: always drawn as text
        bool HasInk = false;    // found the second time the text is drawn
        bool DrawnOnce = false; // a label drawn only once is not worth its ink
        int16_t InkLeft = 0;    // the ink's box, from the cell's top-left corner
        int16_t InkTop = 0;
        int16_t InkWidth = 0;
        int16_t InkHeight = 0;
        std::vector<uint8_t> InkBits; // rows of the box, each a whole number of bytes
    };
    using ShapedTexts = QHash<QString, ShapedText>;
    // The text's cell, and its ink once found, kept for later drawings;
    // null once the cache is full.
    ShapedText* Shaped(const QString& text);
    void FindInk(ShapedText& shaped, const QString& text);
    // Keeps the ink drawn on paper, the cell's corner at (pad, pad), as bits.
    static void KeepInk(ShapedText& shaped, const QImage& paper, int pad, QSize area);
    void PaintInk(int x, int y, const ShapedText& shaped);
    void DrawText(int x, int y, const QString& text);
    void PaintText(int x, int y, const QString& text);
    void PrepareTextPainter(QPainter& painter) const;

    void ResetState();
    void ApplyPen(int x, int y);
    void ApplyPenAt(QRgb& pixel);
    // The bitmap's pixels for a batch of writes: taking them makes the
    // bitmap this canvas's own (a copy made of it keeps what it had).
    QRgb* Pixels();
    int Stride() const { return int(image_.bytesPerLine() / sizeof(QRgb)); }
    void PaintLinePixels(QPoint from, QPoint to);
    void FillBox(int left, int top, int right, int bottom, CanvasColour colour);

    QImage image_;
    CanvasColour penColour_ = Black;
    PenMode penMode_ = PenMode::Copy;
    PenStyle penStyle_ = PenStyle::Solid;
    CanvasColour brushColour_ = White;
    BrushStyle brushStyle_ = BrushStyle::Solid;
    QString fontFamily_;
    int fontPoints_ = 8;
    QFont font_;
    // One cache per font the canvas has been given, by the font's key.
    std::map<QString, ShapedTexts> shapedByFont_;
    QString fontKey_;
    QImage inkPaper_; // where FindInk draws, kept from one text to the next
    CanvasColour fontColour_ = Black;
    QPoint penPos_;
};
