#pragma once
// The records that carry a diagram's content between the store, the sheet
// and the dialogs. They are plain values, copied whole.

#include <QString>
#include <cstdint>

// Lengths are real-world coordinates in the diagram's units. They are held
// as 64-bit floats, the same width the tables store, so a length read back
// compares equal to the one that was written.
using Extended = double;

// Days since 30 December 1899 with the time of day as the fraction.
using TDateTime = double;

// Segment types.
constexpr int SegJump = 1; // a move to a new point, never stored
constexpr int SegLine = 2;
constexpr int SegArc = 3;       // about FromPoint, starting at ToPoint, Mlenx degrees
constexpr int SegRectangle = 4; // entered as one shape, stored as four lines

// Layer and profile visibilities.
constexpr int VisibHidden = 0;
constexpr int VisibFaint = 1;
constexpr int VisibBold = 2;

struct TPointRec {
    int32_t Dgnum = 0;
    int32_t Pointnum = -1; // -1 not stored; the sheet uses -2 for lengths not derived yet
    Extended Lenx = 0;
    Extended Leny = 0;
    int32_t Pxlx = 0;
    int32_t Pxly = 0;
    TDateTime Rprts = 0; // redraw stamp of the last full redraw that drew it
    int32_t Layernum = 0;
    bool Multiple = false; // a lookup matched more than one stored point
    TDateTime CreateTS = 0;
};

struct TSegRec {
    int32_t Segnum = -1; // -1 none or not stored; the sheet uses -2 for not looked up
    int32_t SegType = SegLine;
    TPointRec FromPoint; // for an arc, its centre
    TPointRec ToPoint;   // for an arc, the start point on the rim
    Extended Mlenx = 0;  // for an arc, the angle in degrees
    Extended Mleny = 0;
    Extended Mlenz = 0;
    Extended Dx = 0;
    Extended Dy = 0;
    Extended Len = 0;
    bool Measured = false;
    int32_t Layernum = 0;
    bool Dotted = false;
    Extended Lenx1 = 0;
    Extended Leny1 = 0;
    Extended Lenx2 = 0;
    Extended Leny2 = 0;
    int32_t Pxlx1 = 0;
    int32_t Pxly1 = 0;
    int32_t Pxlx2 = 0;
    int32_t Pxly2 = 0;
    TDateTime CreateTS = 0;
    bool Xorflag = false;
    bool Faint = false;
};

struct TLayerRec {
    int32_t Layernum = 0;
    QString Name = QStringLiteral("Default layer");
    int32_t Visib = VisibBold;
};

struct TTextRec {
    int32_t Pointnum = -1;
    QString Text;
    TLayerRec Layer;
};

// Column widths of the tables' text columns.
constexpr int DiagramNameWidth = 40;
constexpr int UnitsWidth = 20;
constexpr int LayerNameWidth = 40;
constexpr int ProfileNameWidth = 40;
constexpr int TextWidth = 80;

void InitPoint(TPointRec& point);
void InitSegment(TSegRec& seg);
void InitLayer(TLayerRec& layer);
void InitText(TTextRec& text);
// The record of a layer number that has no row: nothing on it is ever drawn,
// so it counts as hidden wherever the program asks.
void InitAbsentLayer(TLayerRec& layer, int32_t layernum);
void SwapPoints(TPointRec& a, TPointRec& b);

// An unstored point with the horizontal length and pixel column of one point
// and the vertical length and pixel row of another (a rectangle's corner).
TPointRec CornerPoint(const TPointRec& xOf, const TPointRec& yOf);

// A segment carries a measurement when it is not an arc and one of its
// measured lengths is not 0 (a length measured left or up is negative);
// recomputed on every load.
bool IsMeasured(const TSegRec& seg);

// The stored Dotted column is an integer: 1 or more reads as dotted.
bool DottedFromColumn(int64_t value);
