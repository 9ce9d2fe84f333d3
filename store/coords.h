#pragma once
// Arithmetic of the coordinate model that needs no store: rounding of
// lengths to pixels, extents, distances, a segment's derived values and
// the texts of reals.

#include "store/records.h"

#include <QString>
#include <algorithm>
#include <initializer_list>

// Nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4);
// values beyond the pixel range stop at its ends.
int32_t RoundHalfEven(double x);

// The pixel of a length on a sheet fitted from min at scale, past the
// margin; the fit's one rule, which the table store's whole-diagram
// rewrite also calls.
int32_t LengthToPixel(Extended len, Extended min, Extended scale, int32_t margin);

// The largest magnitude a length of a diagram may have. Up to it a 64-bit
// real still holds a length's decimals exactly, and every value derived
// from two such lengths (deltas, the length between them, boxes, squares
// on the way) stays finite.
constexpr Extended MaxLengthMagnitude = 1e12;

// A finite length within MaxLengthMagnitude of 0; all of them.
bool LengthInRange(Extended v);
bool LengthsInRange(std::initializer_list<Extended> lengths);
// What the user is told when a length or the point it reaches is not.
QString LengthOutOfRangeMessage();

// Whether a length other than 0 takes a coordinate from `from` to `to`: a
// length too small for the stored numbers to tell from 0 (below the
// smallest normal one), or too small to change a coordinate of that size,
// leaves the point where it was.
bool LengthMoves(Extended length, Extended from, Extended to);
// What the user is told of such a length, named as typed ("Length",
// "Radius").
QString LengthTooSmallMessage(const QString& what, const QString& typed);
// The shortest text that reads back as the number.
QString ShortestNumberText(Extended v);

// v := the smaller (KeepMin) or larger (KeepMax) of v and x.
void KeepMin(Extended& v, Extended x);
void KeepMax(Extended& v, Extended x);

// Distance in length units; along an axis the exact difference.
Extended PointDistance(const TPointRec& a, const TPointRec& b);

// Dx, Dy and Len from the two end points.
void ComputeSegmentDeltas(TSegRec& seg);

// The bounding box of a segment derived from its two end points.
struct SegmentBox {
    Extended Lenx1 = 0;
    Extended Leny1 = 0;
    Extended Lenx2 = 0;
    Extended Leny2 = 0;
    int32_t Pxlx1 = 0;
    int32_t Pxly1 = 0;
    int32_t Pxlx2 = 0;
    int32_t Pxly2 = 0;

    // A length that is not a number (a text in the table store's column)
    // is the same as another such: the box is as it was read.
    bool operator==(const SegmentBox& o) const
    {
        const auto same = [](Extended a, Extended b) { return a == b || (a != a && b != b); };
        return same(Lenx1, o.Lenx1) && same(Leny1, o.Leny1) && same(Lenx2, o.Lenx2) &&
               same(Leny2, o.Leny2) && Pxlx1 == o.Pxlx1 && Pxly1 == o.Pxly1 && Pxlx2 == o.Pxlx2 &&
               Pxly2 == o.Pxly2;
    }
};
// From two ends that carry lengths and pixels (TPointRec and the refresh's
// compact points alike).
template <typename End> SegmentBox BoxOfEnds(const End& from, const End& to)
{
    SegmentBox b;
    b.Lenx1 = std::min(from.Lenx, to.Lenx);
    b.Lenx2 = std::max(from.Lenx, to.Lenx);
    b.Leny1 = std::min(from.Leny, to.Leny);
    b.Leny2 = std::max(from.Leny, to.Leny);
    b.Pxlx1 = std::min(from.Pxlx, to.Pxlx);
    b.Pxlx2 = std::max(from.Pxlx, to.Pxlx);
    b.Pxly1 = std::min(from.Pxly, to.Pxly);
    b.Pxly2 = std::max(from.Pxly, to.Pxly);
    return b;
}
SegmentBox BoxOfSegment(const TSegRec& seg); // the record's own box fields
void SetBoxOfSegment(TSegRec& seg, const SegmentBox& box);
// The record's box fields from its end points; true when any changed.
bool ComputeSegmentExtents(TSegRec& seg);
// Both end points into the record, then its box from them; true when the
// box changed.
bool SetSegmentPoints(TSegRec& seg, const TPointRec& from, const TPointRec& to);

// A real with three decimals and a point as separator, for SQL literals.
QString FormatReal3(Extended x);
