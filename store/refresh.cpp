// The refresh's one pass over the open diagram, the same in both stores:
// the visible set, the scale fit with its rewrite of the cached pixels and
// boxes, the records the drawing paints, the stamp of the drawn points and
// the visible points, all from one read of every point and segment.

#include "store/coords.h"
#include "store/store.h"

#include <algorithm>

namespace
{

template <typename T> const T* FindByNumber(const std::vector<T>& rows, int32_t n, int32_t T::*key)
{
    const auto it = std::lower_bound(rows.begin(), rows.end(), n,
                                     [key](const T& row, int32_t v) { return row.*key < v; });
    return it != rows.end() && (*it).*key == n ? &*it : nullptr;
}

template <typename T> void SortByNumber(std::vector<T>& rows, int32_t T::*key)
{
    // The stores read in number order; a store that cannot promise it is
    // put right here, since every lookup below relies on it.
    if (!std::is_sorted(rows.begin(), rows.end(),
                        [key](const T& a, const T& b) { return a.*key < b.*key; }))
        std::stable_sort(rows.begin(), rows.end(),
                         [key](const T& a, const T& b) { return a.*key < b.*key; });
}

// The segments in number order, each keeping its layer's visibility.
void SortSegmentsByNumber(DiagramContent& rows)
{
    std::vector<TSegRec>& segs = rows.Segments;
    if (std::is_sorted(segs.begin(), segs.end(),
                       [](const TSegRec& a, const TSegRec& b) { return a.Segnum < b.Segnum; }))
        return;
    rows.Visib.resize(segs.size(), 0);
    std::vector<size_t> order(segs.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&segs](size_t a, size_t b) { return segs[a].Segnum < segs[b].Segnum; });
    std::vector<TSegRec> sorted;
    std::vector<int32_t> visib;
    sorted.reserve(segs.size());
    visib.reserve(segs.size());
    for (const size_t i : order) {
        sorted.push_back(std::move(segs[i]));
        visib.push_back(rows.Visib[i]);
    }
    segs = std::move(sorted);
    rows.Visib = std::move(visib);
}

VisibleSegmentRow RowOf(const TSegRec& seg, int32_t visib)
{
    VisibleSegmentRow r;
    r.Segnum = seg.Segnum;
    r.SegType = seg.SegType;
    r.Lenx1 = seg.Lenx1;
    r.Lenx2 = seg.Lenx2;
    r.Leny1 = seg.Leny1;
    r.Leny2 = seg.Leny2;
    r.Visib = visib;
    return r;
}

} // namespace

const TPointRec* Store::FittedPoint(int32_t pointnum) const
{
    if (!pointAt_.empty()) {
        if (pointnum < 0 || size_t(pointnum) >= pointAt_.size() || pointAt_[size_t(pointnum)] < 0)
            return nullptr;
        return &diagramPoints_[size_t(pointAt_[size_t(pointnum)])];
    }
    return FindByNumber(diagramPoints_, pointnum, &TPointRec::Pointnum);
}

void Store::IndexPointsByNumber()
{
    // Numbers are handed out one after the other, so they are nearly always
    // dense enough to index directly; a sparse set is searched instead.
    pointAt_.clear();
    if (diagramPoints_.empty())
        return;
    const int32_t first = diagramPoints_.front().Pointnum;
    const int32_t last = diagramPoints_.back().Pointnum;
    if (first < 0 || size_t(last) > 4 * diagramPoints_.size() + 1024)
        return;
    pointAt_.assign(size_t(last) + 1, -1);
    for (size_t i = 0; i < diagramPoints_.size(); ++i)
        pointAt_[size_t(diagramPoints_[i].Pointnum)] = int32_t(i);
}

TPointRec Store::EndPoint(int32_t pointnum, bool refitted) const
{
    TPointRec end; // a missing end stays the empty point
    if (const TPointRec* p = FittedPoint(pointnum)) {
        end = *p;
        if (refitted) {
            end.Pxlx = LenToPixelX(end.Lenx);
            end.Pxly = LenToPixelY(end.Leny);
        }
    }
    return end;
}

bool Store::LoadFittedPoint(int32_t pointnum, TPointRec& point) const
{
    InitPoint(point);
    const TPointRec* p = FittedPoint(pointnum);
    if (!p)
        return false;
    const bool multiple = point.Multiple;
    point = *p;
    point.Multiple = multiple;
    return true;
}

void Store::TakeDiagramContent(DiagramContent rows)
{
    diagramPoints_ = std::move(rows.Points);
    SortByNumber(diagramPoints_, &TPointRec::Pointnum);
    SortSegmentsByNumber(rows);
    IndexPointsByNumber();
    diagramSegments_.reserve(rows.Segments.size());
    std::vector<VisibleSegmentRow> visible;
    visible.reserve(rows.Segments.size());
    // The visible segments become the records in place, the others leave
    // only what the fit checks, so a large diagram is held once.
    size_t kept = 0;
    for (size_t i = 0; i < rows.Segments.size(); ++i) {
        TSegRec& seg = rows.Segments[i];
        diagramSegments_.push_back(
            {seg.Segnum, seg.FromPoint.Pointnum, seg.ToPoint.Pointnum, BoxOfSegment(seg)});
        const int32_t visib = i < rows.Visib.size() ? rows.Visib[i] : 0;
        if (visib <= 0)
            continue;
        seg.FromPoint = EndPoint(seg.FromPoint.Pointnum, false);
        seg.ToPoint = EndPoint(seg.ToPoint.Pointnum, false);
        seg.Measured = IsMeasured(seg);
        ComputeSegmentDeltas(seg);
        visible.push_back(RowOf(seg, visib));
        rows.Segments[kept++] = seg;
    }
    rows.Segments.resize(kept);
    visibleRecords_ = std::move(rows.Segments);
    VisibleSegments.Assign(std::move(visible));
}

void Store::OpenVisibleSegments()
{
    // What the last read held goes first: a large diagram is not held twice.
    diagramPoints_ = {};
    pointAt_ = {};
    diagramSegments_ = {};
    visibleRecords_ = {};
    TakeDiagramContent(ReadDiagramContent());
}

bool Store::WidenExtentsByVisibleSegments()
{
    bool first = true;
    const auto widen = [&](const TPointRec& p) {
        if (p.Pointnum < 0) {
            // A missing end says nothing about where the drawing lies; it is
            // reported and left out rather than counted at length 0.
            ReportMissingPoint();
            return;
        }
        // A length a store could hold only from before lengths were checked
        // would stretch the drawing to nothing or to infinity.
        if (!LengthsInRange({p.Lenx, p.Leny})) {
            ReportUnusableLength(p);
            return;
        }
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
    for (const TSegRec& seg : visibleRecords_) {
        widen(seg.FromPoint);
        widen(seg.ToPoint);
    }
    return !first;
}

std::vector<PixelRewrite> Store::PixelRewrites() const
{
    std::vector<PixelRewrite> rewrites;
    for (const TPointRec& p : diagramPoints_) {
        const int32_t px = LenToPixelX(p.Lenx);
        const int32_t py = LenToPixelY(p.Leny);
        if (px != p.Pxlx || py != p.Pxly)
            rewrites.push_back({p.Pointnum, px, py});
    }
    return rewrites;
}

std::vector<BoxRewrite> Store::BoxRewrites(bool refitted)
{
    std::vector<BoxRewrite> rewrites;
    for (const FitSegment& s : diagramSegments_) {
        const TPointRec from = EndPoint(s.FromPt, refitted);
        const TPointRec to = EndPoint(s.ToPt, refitted);
        if (from.Pointnum < 0 || to.Pointnum < 0)
            ReportMissingPoint();
        const SegmentBox box = BoxOfEnds(from, to);
        if (!(box == s.Stored))
            rewrites.push_back({s.Segnum, box});
    }
    return rewrites;
}

void Store::WriteRewrites(const std::vector<PixelRewrite>& pixels,
                          const std::vector<BoxRewrite>& boxes)
{
    if (pixels.empty() && boxes.empty())
        return;
    // One unit: the pixels and the boxes that follow them are kept together
    // or not at all, and the rows in memory change only once they are kept.
    WriteGroup([&] {
        if (!pixels.empty())
            RewritePointPixels(pixels);
        if (!boxes.empty())
            RewriteSegmentBoxes(boxes);
    });
    auto point = diagramPoints_.begin();
    for (const PixelRewrite& r : pixels) {
        point = std::lower_bound(point, diagramPoints_.end(), r.Pointnum,
                                 [](const TPointRec& p, int32_t n) { return p.Pointnum < n; });
        point->Pxlx = r.Pxlx;
        point->Pxly = r.Pxly;
    }
    auto seg = diagramSegments_.begin();
    for (const BoxRewrite& r : boxes) {
        seg = std::lower_bound(seg, diagramSegments_.end(), r.Segnum,
                               [](const FitSegment& s, int32_t n) { return s.Segnum < n; });
        seg->Stored = r.Box;
    }
    for (TSegRec& rec : visibleRecords_) {
        rec.FromPoint = EndPoint(rec.FromPoint.Pointnum, false);
        rec.ToPoint = EndPoint(rec.ToPoint.Pointnum, false);
        const FitSegment* s = FindByNumber(diagramSegments_, rec.Segnum, &FitSegment::Segnum);
        SetBoxOfSegment(rec, s->Stored);
    }
}

void Store::NormaliseSegmentExtents()
{
    TakeDiagramContent(ReadDiagramContent());
    WriteRewrites({}, BoxRewrites(false));
}

bool Store::FitDiagramToSheet(int32_t sidePanelWidth)
{
    MissingPointReported = false;
    UnusableLengthReported = false;
    Scale = 0;
    if (!VisibleSegments.Active())
        OpenVisibleSegments();
    if (visibleRecords_.empty())
        return false;
    if (!WidenExtentsByVisibleSegments())
        return false;
    if (!FitScaleToExtents(sidePanelWidth))
        return false;
    // Every point's pixels follow the new scale, and every box the pixels
    // of its ends as they will then be.
    WriteRewrites(PixelRewrites(), BoxRewrites(true));
    return true;
}

void Store::StampVisiblePoints()
{
    if (!VisibleTexts.Active())
        OpenVisibleText();
    std::vector<int32_t> numbers;
    numbers.reserve(visibleRecords_.size() * 2 + size_t(VisibleTexts.RecordCount()));
    for (const TSegRec& seg : visibleRecords_) {
        for (const TPointRec* end : {&seg.FromPoint, &seg.ToPoint}) {
            if (end->Pointnum >= 0)
                numbers.push_back(end->Pointnum);
        }
    }
    for (const VisibleTextRow& label : VisibleTexts.Rows()) {
        if (FittedPoint(label.Pointnum))
            numbers.push_back(label.Pointnum);
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());

    WriteGroup([&] { StampPoints(numbers); });
    std::vector<VisiblePointRow> rows;
    rows.reserve(numbers.size());
    auto point = diagramPoints_.begin();
    for (const int32_t n : numbers) {
        point = std::lower_bound(point, diagramPoints_.end(), n,
                                 [](const TPointRec& p, int32_t v) { return p.Pointnum < v; });
        point->Rprts = RedrawStamp;
        rows.push_back({point->Pointnum, point->Pxlx, point->Pxly});
    }
    stamped_ = std::move(rows);
    stampedWith_ = RedrawStamp;
    stampedDiagram_ = CurrentDiagram;
}

void Store::OpenVisiblePoints()
{
    if (stampedWith_ == RedrawStamp && stampedDiagram_ == CurrentDiagram) {
        // Handed over once: later calls read the store again.
        stampedWith_ = -1;
        VisiblePoints.Assign(std::exchange(stamped_, {}));
        return;
    }
    VisiblePoints.Assign(ReadStampedPoints());
}
