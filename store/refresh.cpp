// The refresh's one pass over the open diagram, the same in both stores:
// the visible set, the scale fit with its rewrite of the cached pixels and
// boxes, the records the drawing paints, the stamp of the drawn points and
// the visible points, all from one read of every point and segment.

#include "store/coords.h"
#include "store/store.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace
{

// Stands for an end the diagram lacks: its lengths and pixels are 0.
const ContentPoint NoPoint{};

// A length that is not a number (a text in the table store's column) has
// no pixel of its own: the one cached for it stays.
int32_t PixelOfLength(Extended len, int32_t cached, int32_t (Store::*toPixel)(Extended) const,
                      const Store& store)
{
    return std::isnan(len) ? cached : (store.*toPixel)(len);
}

bool LengthsAreNumbers(const ContentPoint& p)
{
    return !std::isnan(p.Lenx) && !std::isnan(p.Leny);
}

// An arc is drawn through its angle; one that is not a number gives none.
bool ArcWithoutAngle(const ContentSegment& seg)
{
    return seg.SegType == SegArc && std::isnan(seg.Mlenx);
}

template <typename T> void SortByNumber(std::vector<T>& rows, int32_t T::*key)
{
    // A store may read in its table's order; every lookup below relies on
    // number order. The numbers are a key, so no two rows tie.
    const auto less = [key](const T& a, const T& b) { return a.*key < b.*key; };
    if (!std::is_sorted(rows.begin(), rows.end(), less))
        std::sort(rows.begin(), rows.end(), less);
}

} // namespace

void Store::PrefetchEnds(size_t seg) const
{
    // Two stages: the places of the ends of the segment well ahead, then
    // the ends themselves of one nearer, whose places have arrived by now.
    constexpr size_t Places = 32;
    constexpr size_t Ends = 16;
    if (pointAt_.empty())
        return; // a sparse diagram's ends are searched for, not indexed
    const std::vector<ContentSegment>& segs = content_.Segments;
    const auto place = [&](int32_t pointnum) -> const int32_t* {
        return pointnum >= 0 && size_t(pointnum) < pointAt_.size() ? &pointAt_[size_t(pointnum)]
                                                                   : nullptr;
    };
    if (seg + Places < segs.size()) {
        for (int32_t n : {segs[seg + Places].FromPt, segs[seg + Places].ToPt}) {
            if (const int32_t* at = place(n))
                __builtin_prefetch(at);
        }
    }
    if (seg + Ends < segs.size()) {
        for (int32_t n : {segs[seg + Ends].FromPt, segs[seg + Ends].ToPt}) {
            const int32_t* at = place(n);
            if (at && *at >= 0)
                __builtin_prefetch(&content_.Points[size_t(*at)]);
        }
    }
}

const ContentPoint* Store::FittedPoint(int32_t pointnum) const
{
    const std::vector<ContentPoint>& points = content_.Points;
    if (!pointAt_.empty()) {
        if (pointnum < 0 || size_t(pointnum) >= pointAt_.size() || pointAt_[size_t(pointnum)] < 0)
            return nullptr;
        return &points[size_t(pointAt_[size_t(pointnum)])];
    }
    const auto it =
        std::lower_bound(points.begin(), points.end(), pointnum,
                         [](const ContentPoint& p, int32_t n) { return p.Pointnum < n; });
    return it != points.end() && it->Pointnum == pointnum ? &*it : nullptr;
}

void Store::IndexPointsByNumber()
{
    // Numbers are handed out one after the other, so they are nearly always
    // dense enough to index directly; a sparse set is searched instead.
    pointAt_.clear();
    const std::vector<ContentPoint>& points = content_.Points;
    if (points.empty())
        return;
    const int32_t first = points.front().Pointnum;
    const int32_t last = points.back().Pointnum;
    if (first < 0 || size_t(last) > 4 * points.size() + 1024)
        return;
    pointAt_.assign(size_t(last) + 1, -1);
    for (size_t i = 0; i < points.size(); ++i)
        pointAt_[size_t(points[i].Pointnum)] = int32_t(i);
}

ContentPoint Store::EndPoint(const ContentPoint& p, bool refitted) const
{
    ContentPoint end = p;
    if (refitted) {
        end.Pxlx = LenToPixelX(end.Lenx);
        end.Pxly = LenToPixelY(end.Leny);
    }
    return end;
}

bool Store::LoadFittedPoint(int32_t pointnum, TPointRec& point) const
{
    InitPoint(point);
    const ContentPoint* p = FittedPoint(pointnum);
    if (!p)
        return false;
    point.Dgnum = CurrentDiagram;
    point.Pointnum = p->Pointnum;
    point.Lenx = p->Lenx;
    point.Leny = p->Leny;
    point.Pxlx = p->Pxlx;
    point.Pxly = p->Pxly;
    return true;
}

Store::SegmentPlacing Store::PlacingOf(const ContentSegment& seg) const
{
    SegmentPlacing placing{FittedPoint(seg.FromPt), FittedPoint(seg.ToPt), nullptr};
    if (!placing.From || !placing.To)
        return placing;
    for (const ContentPoint* end : {placing.From, placing.To}) {
        // A length a store could hold only from before lengths were checked
        // would stretch the drawing to nothing or to infinity.
        if (!LengthsInRange({end->Lenx, end->Leny})) {
            placing.Unusable = end;
            return placing;
        }
    }
    return placing;
}

bool Store::VisibleSegmentDrawable(size_t i) const
{
    return drawable_[i] != 0;
}

DrawnSegment Store::VisibleSegmentRecord(size_t i) const
{
    const ContentSegment& seg = content_.Segments[visible_[i]];
    const ContentPoint* from = FittedPoint(seg.FromPt);
    const ContentPoint* to = FittedPoint(seg.ToPt);
    return {seg, from ? *from : NoPoint, to ? *to : NoPoint};
}

void Store::TakeDiagramContent()
{
    SortByNumber(content_.Points, &ContentPoint::Pointnum);
    SortByNumber(content_.Segments, &ContentSegment::Segnum);
    IndexPointsByNumber();
    std::vector<VisibleSegmentRow> rows = VisibleSegments.TakeBuffer();
    visible_.clear();
    drawable_.clear();
    drawnEnd_.assign(content_.Points.size(), 0);
    const ContentPoint* const points = content_.Points.data();
    const std::vector<ContentSegment>& segs = content_.Segments;
    for (size_t i = 0; i < segs.size(); ++i) {
        PrefetchEnds(i);
        const ContentSegment& seg = segs[i];
        if (seg.Visib <= 0)
            continue;
        visible_.push_back(uint32_t(i));
        const SegmentPlacing placing = PlacingOf(seg);
        const bool drawable = placing.Placed() && !ArcWithoutAngle(seg);
        drawable_.push_back(drawable);
        if (drawable) {
            drawnEnd_[size_t(placing.From - points)] = 1;
            drawnEnd_[size_t(placing.To - points)] = 1;
        }
        const SegmentBox& b = seg.Stored;
        rows.push_back({seg.Segnum, seg.SegType, b.Lenx1, b.Lenx2, b.Leny1, b.Leny2, seg.Visib});
    }
    VisibleSegments.Assign(std::move(rows));
}

void Store::ReadVisibleSegments()
{
    preparedFit_ = {};
    content_.Clear();
    ReadDiagramContent(content_);
}

void Store::OpenVisibleSegments()
{
    ReadVisibleSegments();
    TakeDiagramContent();
}

bool Store::WidenExtentsByDrawnEnds()
{
    bool first = true;
    const auto widen = [&](const ContentPoint& p) {
        if (first) {
            MinLenX = MaxLenX = p.Lenx;
            MinLenY = MaxLenY = p.Leny;
            first = false;
        }
        KeepMin(MinLenX, p.Lenx);
        KeepMax(MaxLenX, p.Lenx);
        KeepMin(MinLenY, p.Leny);
        KeepMax(MaxLenY, p.Leny);
    };
    const std::vector<ContentPoint>& points = content_.Points;
    for (size_t i = 0; i < points.size(); ++i) {
        if (drawnEnd_[i])
            widen(points[i]);
    }
    return !first;
}

void Store::ReportUndrawableSegments()
{
    // A segment that cannot be drawn says nothing about where the drawing
    // lies: it is reported and left out, both its ends, rather than counted
    // at length 0 or at a length no sheet can show.
    for (size_t k = 0; k < visible_.size(); ++k) {
        if (drawable_[k])
            continue;
        const ContentSegment& seg = content_.Segments[visible_[k]];
        const SegmentPlacing placing = PlacingOf(seg);
        if (!placing.From || !placing.To) {
            ReportMissingPoint();
        } else if (placing.Unusable) {
            TPointRec unusable;
            LoadFittedPoint(placing.Unusable->Pointnum, unusable);
            ReportUnusableLength(unusable);
        } else {
            ReportUnusableAngle(seg.Segnum);
        }
    }
}

std::vector<PixelRewrite> Store::PixelRewrites() const
{
    std::vector<PixelRewrite> rewrites;
    for (const ContentPoint& p : content_.Points) {
        const int32_t px = PixelOfLength(p.Lenx, p.Pxlx, &Store::LenToPixelX, *this);
        const int32_t py = PixelOfLength(p.Leny, p.Pxly, &Store::LenToPixelY, *this);
        if (px != p.Pxlx || py != p.Pxly)
            rewrites.push_back({p.Pointnum, px, py});
    }
    return rewrites;
}

SegmentBox Store::BoxPixelsFromLengths(const SegmentBox& stored) const
{
    SegmentBox box = stored;
    box.Pxlx1 = PixelOfLength(box.Lenx1, box.Pxlx1, &Store::LenToPixelX, *this);
    box.Pxlx2 = PixelOfLength(box.Lenx2, box.Pxlx2, &Store::LenToPixelX, *this);
    box.Pxly1 = PixelOfLength(box.Leny1, box.Pxly1, &Store::LenToPixelY, *this);
    box.Pxly2 = PixelOfLength(box.Leny2, box.Pxly2, &Store::LenToPixelY, *this);
    return box;
}

std::vector<BoxRewrite> Store::BoxRewrites(bool refitted, bool& endMissing) const
{
    std::vector<BoxRewrite> rewrites;
    const std::vector<ContentSegment>& segs = content_.Segments;
    for (size_t i = 0; i < segs.size(); ++i) {
        PrefetchEnds(i);
        const ContentSegment& s = segs[i];
        const ContentPoint* from = FittedPoint(s.FromPt);
        const ContentPoint* to = FittedPoint(s.ToPt);
        if (!from || !to)
            endMissing = true;
        SegmentBox box;
        if (from && to && LengthsAreNumbers(*from) && LengthsAreNumbers(*to)) {
            box = BoxOfEnds(EndPoint(*from, refitted), EndPoint(*to, refitted));
        } else {
            // An end that is missing, or has no number for a length, gives
            // no box: the stored one is kept, its pixels following its own
            // lengths at a new scale.
            box = refitted ? BoxPixelsFromLengths(s.Stored) : s.Stored;
        }
        if (!(box == s.Stored))
            rewrites.push_back({s.Segnum, box});
    }
    return rewrites;
}

bool Store::RewritesWholeDiagram(size_t pixels) const
{
    // A statement over the whole diagram reads every row; it pays once a
    // good part of them is to be written.
    return pixels >= 64 && pixels * 8 >= content_.Points.size();
}

std::vector<BoxRewrite> Store::BoxesNotFromLengths(const std::vector<BoxRewrite>& boxes) const
{
    // The whole-diagram statement gives every box the pixels of its stored
    // lengths. That is the box of its ends whenever those lengths are its
    // ends' (a pixel never decreases with the length), and what a box
    // without ends keeps, so only a box whose lengths are out of date is
    // left to write.
    std::vector<BoxRewrite> rest;
    auto next = boxes.begin();
    for (const ContentSegment& s : content_.Segments) {
        SegmentBox wanted = s.Stored;
        if (next != boxes.end() && next->Segnum == s.Segnum)
            wanted = (next++)->Box;
        const SegmentBox given = BoxPixelsFromLengths(s.Stored);
        if (!(given == wanted))
            rest.push_back({s.Segnum, wanted});
    }
    return rest;
}

void Store::WriteRewrites(std::vector<PixelRewrite> pixels, std::vector<BoxRewrite> boxes,
                          const FittedScale& previous)
{
    if (pixels.empty() && boxes.empty())
        return;
    // One unit: the pixels and the boxes that follow them are kept together
    // or not at all. The rows in memory take them at once, for the drawing
    // in the same unit, and are put back should the outermost unit be
    // undone.
    WriteGroup([&] {
        if (RewritesWholeDiagram(pixels.size())) {
            // Boxes whose lengths are mostly out of date (a store whose
            // boxes were never fitted) are better written one by one.
            const std::vector<BoxRewrite> rest = BoxesNotFromLengths(boxes);
            const bool boxesByLength = rest.size() * 8 < content_.Segments.size();
            if (RewritePixelsFromLengths(boxesByLength)) {
                const std::vector<BoxRewrite>& left = boxesByLength ? rest : boxes;
                if (!left.empty())
                    RewriteSegmentBoxes(left);
            } else {
                RewriteRowByRow(pixels, boxes);
            }
        } else {
            RewriteRowByRow(pixels, boxes);
        }
        SwapRewrites(pixels, boxes);
        heldRewrites_.push_back({std::move(pixels), std::move(boxes), previous});
    });
}

void Store::RewriteRowByRow(const std::vector<PixelRewrite>& pixels,
                            const std::vector<BoxRewrite>& boxes)
{
    if (!pixels.empty())
        RewritePointPixels(pixels);
    if (!boxes.empty())
        RewriteSegmentBoxes(boxes);
}

void Store::SwapRewrites(std::vector<PixelRewrite>& pixels, std::vector<BoxRewrite>& boxes)
{
    std::vector<ContentPoint>& points = content_.Points;
    auto point = points.begin();
    for (PixelRewrite& r : pixels) {
        point = std::lower_bound(point, points.end(), r.Pointnum,
                                 [](const ContentPoint& p, int32_t n) { return p.Pointnum < n; });
        if (point == points.end() || point->Pointnum != r.Pointnum)
            continue;
        std::swap(point->Pxlx, r.Pxlx);
        std::swap(point->Pxly, r.Pxly);
    }
    std::vector<ContentSegment>& segs = content_.Segments;
    auto seg = segs.begin();
    for (BoxRewrite& r : boxes) {
        seg = std::lower_bound(seg, segs.end(), r.Segnum,
                               [](const ContentSegment& s, int32_t n) { return s.Segnum < n; });
        if (seg == segs.end() || seg->Segnum != r.Segnum)
            continue;
        std::swap(seg->Stored, r.Box);
    }
}

FittedScale Store::CurrentFit() const
{
    return {Scale, MinLenX, MinLenY, MaxLenX, MaxLenY, OriginX, OriginY};
}

void Store::RestoreFit(const FittedScale& fit)
{
    Scale = fit.Scale;
    MinLenX = fit.MinLenX;
    MinLenY = fit.MinLenY;
    MaxLenX = fit.MaxLenX;
    MaxLenY = fit.MaxLenY;
    OriginX = fit.OriginX;
    OriginY = fit.OriginY;
}

void Store::UndoRewritesAfter(size_t kept)
{
    // The database is back at the rows' previous values, and so are their
    // pixels' scale: the next fit compares with those and writes every row
    // the new scale changes.
    while (heldRewrites_.size() > kept) {
        HeldRewrite& held = heldRewrites_.back();
        SwapRewrites(held.Pixels, held.Boxes);
        RestoreFit(held.Previous);
        heldRewrites_.pop_back();
    }
}

void Store::NormaliseSegmentExtents()
{
    const NormalisingScope normalising(*this);
    OpenVisibleSegments();
    bool endMissing = false;
    std::vector<BoxRewrite> boxes = BoxRewrites(false, endMissing);
    if (endMissing)
        ReportMissingPoint();
    WriteRewrites({}, std::move(boxes), CurrentFit());
}

void Store::TakeDiagramAndPrepareFit(int32_t sidePanelWidth)
{
    TakeDiagramContent();
    PrepareFit(sidePanelWidth);
}

void Store::PrepareFit(int32_t sidePanelWidth)
{
    PreparedFit& fit = preparedFit_;
    fit = {};
    fit.SheetWidth = SheetWidth;
    fit.SheetHeight = SheetHeight;
    fit.SidePanelWidth = sidePanelWidth;
    fit.Previous = CurrentFit();
    Scale = 0;
    fit.Fitted =
        !visible_.empty() && WidenExtentsByDrawnEnds() && FitScaleToExtents(sidePanelWidth);
    if (fit.Fitted) {
        // Every point's pixels follow the new scale, and every box the
        // pixels of its ends as they will then be: the boxes are
        // normalised in the same write as the pixels.
        fit.Pixels = PixelRewrites();
        fit.Boxes = BoxRewrites(true, fit.EndMissing);
    }
    // The scale is the fit's once it is taken, in FitDiagramToSheet.
    fit.Fit = CurrentFit();
    RestoreFit(fit.Previous);
    fit.Prepared = true;
}

bool Store::FitDiagramToSheet(int32_t sidePanelWidth)
{
    MissingPointReported = false;
    UnusableLengthReported = false;
    if (!VisibleSegments.Active())
        OpenVisibleSegments();
    const PreparedFit& prepared = preparedFit_;
    if (!prepared.Prepared || prepared.SheetWidth != SheetWidth ||
        prepared.SheetHeight != SheetHeight || prepared.SidePanelWidth != sidePanelWidth)
        PrepareFit(sidePanelWidth);
    PreparedFit fit = std::exchange(preparedFit_, {});
    RestoreFit(fit.Fit);
    if (visible_.empty())
        return false;
    ReportUndrawableSegments();
    if (!fit.Fitted)
        return false;
    // A box without an end is met by the pass that brings the boxes up to
    // date, and reported as part of it.
    const NormalisingScope normalising(*this);
    if (fit.EndMissing)
        ReportMissingPoint();
    WriteRewrites(std::move(fit.Pixels), std::move(fit.Boxes), fit.Previous);
    return true;
}

void Store::StampVisiblePoints()
{
    if (!VisibleTexts.Active())
        OpenVisibleText();
    // The drawn points are marked by their place among the diagram's
    // points, which gives their numbers in order and once each.
    const std::vector<ContentPoint>& points = content_.Points;
    std::vector<uint8_t> drawn = drawnEnd_;
    for (const VisibleTextRow& label : VisibleTexts.Rows()) {
        const ContentPoint* p = FittedPoint(label.Pointnum);
        if (p && LengthsInRange({p->Lenx, p->Leny}))
            drawn[size_t(p - points.data())] = 1;
    }
    std::vector<int32_t>& numbers = stampNumbers_;
    numbers.clear();
    stamped_.clear();
    for (size_t i = 0; i < points.size(); ++i) {
        if (drawn[i]) {
            numbers.push_back(points[i].Pointnum);
            stamped_.push_back({points[i].Pointnum, points[i].Pxlx, points[i].Pxly});
        }
    }
    try {
        WriteGroup([&] { StampPoints(numbers); });
    } catch (...) {
        stamped_.clear();
        throw;
    }
    stampedWith_ = RedrawStamp;
    stampedDiagram_ = CurrentDiagram;
}

void Store::OpenVisiblePoints()
{
    if (stampedWith_ == RedrawStamp && stampedDiagram_ == CurrentDiagram) {
        // Handed over once: later calls read the store again. The rows the
        // set held before give their buffer to the next stamp.
        stampedWith_ = -1;
        std::vector<VisiblePointRow> previous = VisiblePoints.TakeBuffer();
        VisiblePoints.Assign(std::move(stamped_));
        stamped_ = std::move(previous);
        return;
    }
    VisiblePoints.Assign(ReadStampedPoints());
}
