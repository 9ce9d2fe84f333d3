#include "store/coords.h"

#include "library/textnum.h"
#include "store/store.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

int32_t RoundHalfEven(double x)
{
    constexpr double lo = std::numeric_limits<int32_t>::min();
    constexpr double hi = std::numeric_limits<int32_t>::max();
    if (std::isnan(x)) {
        return 0;
    }
    if (x > lo && x < hi) {
        // The default rounding mode, which nothing here changes, rounds
        // halves to even.
        return static_cast<int32_t>(std::nearbyint(x));
    }
    double r = std::floor(x);
    const double rest = x - r;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(r, 2.0) != 0.0)) {
        r += 1.0;
    }
    // A point far outside the fitted extents must not wrap round to the
    // other side of the sheet.
    return static_cast<int32_t>(std::clamp(r, lo, hi));
}

namespace
{

// A rounded pixel plus a margin, kept inside the pixel range.
int32_t PlusMargin(int32_t pixel, int32_t margin)
{
    const int64_t sum = static_cast<int64_t>(pixel) + margin;
    return static_cast<int32_t>(std::clamp<int64_t>(sum, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

} // namespace

int32_t LengthToPixel(Extended len, Extended min, Extended scale, int32_t margin)
{
    return PlusMargin(RoundHalfEven((len - min) * scale), margin);
}

bool LengthInRange(Extended v)
{
    return std::isfinite(v) && std::fabs(v) <= MaxLengthMagnitude;
}

bool LengthsInRange(std::initializer_list<Extended> lengths)
{
    return std::all_of(lengths.begin(), lengths.end(), LengthInRange);
}

QString LengthOutOfRangeMessage()
{
    return QStringLiteral("Length out of range: lengths and the points they reach must lie "
                          "within 1000000000000 units of 0");
}

bool LengthMoves(Extended length, Extended from, Extended to)
{
    return std::isnormal(length) && to != from;
}

QString LengthTooSmallMessage(const QString& what, const QString& typed)
{
    return what + QLatin1Char(' ') + InDoubleQuotes(typed) +
           QStringLiteral(" is too small to move the point it starts from: enter a larger one");
}

QString ShortestNumberText(Extended v)
{
    char text[64];
    const auto [end, error] = std::to_chars(text, text + sizeof text, v);
    return error == std::errc() ? QString::fromLatin1(text, end - text) : QString::number(v);
}

void KeepMin(Extended& v, Extended x)
{
    if (x < v) {
        v = x;
    }
}

void KeepMax(Extended& v, Extended x)
{
    if (x > v) {
        v = x;
    }
}

Extended PointDistance(const TPointRec& a, const TPointRec& b)
{
    if (a.Lenx == b.Lenx) {
        return std::fabs(a.Leny - b.Leny);
    }
    if (a.Leny == b.Leny) {
        return std::fabs(a.Lenx - b.Lenx);
    }
    const Extended dx = a.Lenx - b.Lenx;
    const Extended dy = a.Leny - b.Leny;
    return std::sqrt(dx * dx + dy * dy);
}

void ComputeSegmentDeltas(TSegRec& seg)
{
    seg.Dx = std::fabs(seg.FromPoint.Lenx - seg.ToPoint.Lenx);
    seg.Dy = std::fabs(seg.FromPoint.Leny - seg.ToPoint.Leny);
    seg.Len = std::sqrt(seg.Dx * seg.Dx + seg.Dy * seg.Dy);
}

SegmentBox BoxOfSegment(const TSegRec& seg)
{
    return SegmentBox{seg.Lenx1, seg.Leny1, seg.Lenx2, seg.Leny2,
                      seg.Pxlx1, seg.Pxly1, seg.Pxlx2, seg.Pxly2};
}

void SetBoxOfSegment(TSegRec& seg, const SegmentBox& box)
{
    seg.Lenx1 = box.Lenx1;
    seg.Leny1 = box.Leny1;
    seg.Lenx2 = box.Lenx2;
    seg.Leny2 = box.Leny2;
    seg.Pxlx1 = box.Pxlx1;
    seg.Pxly1 = box.Pxly1;
    seg.Pxlx2 = box.Pxlx2;
    seg.Pxly2 = box.Pxly2;
}

bool ComputeSegmentExtents(TSegRec& seg)
{
    const SegmentBox b = BoxOfEnds(seg.FromPoint, seg.ToPoint);
    if (b == BoxOfSegment(seg))
        return false;
    SetBoxOfSegment(seg, b);
    return true;
}

bool SetSegmentPoints(TSegRec& seg, const TPointRec& from, const TPointRec& to)
{
    seg.FromPoint = from;
    seg.ToPoint = to;
    return ComputeSegmentExtents(seg);
}

QString FormatReal3(Extended x)
{
    return FormatFixed(x, 3);
}

// ------------------------------------------------------------------ Store

void Store::ResetMargins()
{
    MarginLeft = 50;
    MarginRight = 50;
    MarginTop = 50;
    MarginBottom = 50;
}

int32_t Store::LenToPixelX(Extended lenx) const
{
    return LengthToPixel(lenx, MinLenX, Scale, MarginLeft);
}

int32_t Store::LenToPixelY(Extended leny) const
{
    return LengthToPixel(leny, MinLenY, Scale, MarginTop);
}

Extended Store::PixelToLenX(int32_t pxlx) const
{
    return (pxlx - MarginLeft) / Scale + MinLenX;
}

Extended Store::PixelToLenY(int32_t pxly) const
{
    return (pxly - MarginTop) / Scale + MinLenY;
}

void Store::SetPointLenXFromPixel(TPointRec& point) const
{
    point.Lenx = PixelToLenX(point.Pxlx);
}

void Store::SetPointLenYFromPixel(TPointRec& point) const
{
    point.Leny = PixelToLenY(point.Pxly);
}

Extended Store::UnitsPerPixel() const
{
    return Scale > 0 ? 1 / Scale : 0;
}

bool Store::FitScaleToExtents(int32_t sidePanelWidth)
{
    Scale = 0;
    const double width =
        static_cast<double>(SheetWidth) - MarginLeft - MarginRight - sidePanelWidth;
    const double height = static_cast<double>(SheetHeight) - MarginTop - MarginBottom;
    // A sheet smaller than its margins offers no room on that axis, which
    // counts like an axis without extent.
    double sx = 0;
    double sy = 0;
    if (MinLenX < MaxLenX && width > 0) {
        sx = width / (MaxLenX - MinLenX);
    }
    if (MinLenY < MaxLenY && height > 0) {
        sy = height / (MaxLenY - MinLenY);
    }
    if (!std::isfinite(sx)) {
        sx = 0;
    }
    if (!std::isfinite(sy)) {
        sy = 0;
    }
    if (sx == 0 && sy == 0) {
        return false;
    }
    if (sx == 0) {
        Scale = sy;
    } else if (sy == 0) {
        Scale = sx;
    } else {
        Scale = std::min(sx, sy);
    }
    OriginX = PlusMargin(RoundHalfEven(-MinLenX * Scale), MarginLeft);
    OriginY = PlusMargin(RoundHalfEven(-MinLenY * Scale), MarginTop);
    return true;
}

QString Store::FormatLength(Extended x) const
{
    return FormatFixed(x, RoundingDP);
}
