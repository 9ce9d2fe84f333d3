#include "store/records.h"

#include <utility>

void InitPoint(TPointRec& point)
{
    // The diagram number and the redraw stamp are kept.
    point.Pointnum = -1;
    point.Lenx = 0;
    point.Leny = 0;
    point.Pxlx = 0;
    point.Pxly = 0;
    point.Layernum = 0;
    point.Multiple = false;
    point.CreateTS = 0;
}

void InitSegment(TSegRec& seg)
{
    // The segment type is kept.
    const int32_t type = seg.SegType;
    const TPointRec from = seg.FromPoint;
    const TPointRec to = seg.ToPoint;
    seg = TSegRec{};
    seg.SegType = type;
    seg.FromPoint = from;
    seg.ToPoint = to;
    InitPoint(seg.FromPoint);
    InitPoint(seg.ToPoint);
}

void InitLayer(TLayerRec& layer)
{
    layer = TLayerRec{};
}

void InitAbsentLayer(TLayerRec& layer, int32_t layernum)
{
    layer.Layernum = layernum;
    layer.Name.clear();
    layer.Visib = VisibHidden;
}

void InitText(TTextRec& text)
{
    text.Text.clear();
    InitLayer(text.Layer);
    text.Pointnum = -1;
}

void SwapPoints(TPointRec& a, TPointRec& b)
{
    std::swap(a, b);
}

TPointRec CornerPoint(const TPointRec& xOf, const TPointRec& yOf)
{
    TPointRec p;
    InitPoint(p);
    p.Lenx = xOf.Lenx;
    p.Pxlx = xOf.Pxlx;
    p.Leny = yOf.Leny;
    p.Pxly = yOf.Pxly;
    return p;
}

bool IsMeasured(const TSegRec& seg)
{
    return seg.SegType != SegArc && (seg.Mlenx != 0 || seg.Mleny != 0 || seg.Mlenz != 0);
}

bool DottedFromColumn(int64_t value)
{
    return value >= 1;
}
