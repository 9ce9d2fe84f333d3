// The scale fit and the bounding boxes of the stored segments. A pass reads
// the diagram's points and segments once each and writes only rows whose
// cached pixels or box changed, so a refresh at an unchanged scale writes
// nothing.

#include "store/coords.h"
#include "store/core.h"
#include "store/rowreader.h"

#include <algorithm>

struct TFcore::FitPoint {
    int32_t Pointnum = -1;
    Extended Lenx = 0;
    Extended Leny = 0;
    int32_t Pxlx = 0;
    int32_t Pxly = 0;
};

struct TFcore::FitSegment {
    int32_t Segnum = -1;
    int32_t FromPt = -1;
    int32_t ToPt = -1;
    SegmentBox Stored;
};

namespace
{

const QString FitPointsSQL = QStringLiteral(
    "SELECT Pointnum, Lenx, Leny, Pxlx, Pxly FROM point.db WHERE (dgnum = :x) ORDER BY Pointnum");
const QString PixelRewriteSQL = QStringLiteral(
    "UPDATE point.db SET Pxlx = :px, Pxly = :py WHERE (dgnum = :x) and (pointnum = :n)");
const QString BoxRewriteSQL = QStringLiteral(
    "UPDATE seg.db SET Lenx1 = :lx1, Leny1 = :ly1, Lenx2 = :lx2, Leny2 = :ly2, Pxlx1 = :px1, "
    "Pxly1 = :py1, Pxlx2 = :px2, Pxly2 = :py2 WHERE (dgnum = :x) and (segnum = :n)");

template <typename T> const T* FindByNumber(const std::vector<T>& rows, int32_t n, int32_t T::*key)
{
    const auto it = std::lower_bound(rows.begin(), rows.end(), n,
                                     [key](const T& row, int32_t v) { return row.*key < v; });
    return it != rows.end() && (*it).*key == n ? &*it : nullptr;
}

} // namespace

std::vector<TFcore::FitPoint> TFcore::ReadFitPoints()
{
    std::vector<FitPoint> points;
    tables::Statement& st = Database1.Prepare(tables::MapTableNames(FitPointsSQL));
    st.BindName(QStringLiteral("x"), CurrentDiagram);
    while (st.Step()) {
        FitPoint p;
        p.Pointnum = st.Column(0).toInt();
        p.Lenx = st.Column(1).toDouble();
        p.Leny = st.Column(2).toDouble();
        p.Pxlx = st.Column(3).toInt();
        p.Pxly = st.Column(4).toInt();
        points.push_back(p);
    }
    st.Reset();
    return points;
}

std::vector<TFcore::FitSegment> TFcore::ReadFitSegments()
{
    // The whole-diagram segment query of the normalisation pass.
    Query9.Close();
    std::vector<FitSegment> segs;
    tables::Statement& st = Database1.Prepare(tables::MapTableNames(Query9.SQLText()));
    st.BindName(QStringLiteral("dgnum"), CurrentDiagram);
    using rowreader::ColumnIndex;
    const int segnum = ColumnIndex(st, QStringLiteral("Segnum"));
    const int fromPt = ColumnIndex(st, QStringLiteral("FromPt"));
    const int toPt = ColumnIndex(st, QStringLiteral("ToPt"));
    const int lenx1 = ColumnIndex(st, QStringLiteral("Lenx1"));
    const int leny1 = ColumnIndex(st, QStringLiteral("Leny1"));
    const int lenx2 = ColumnIndex(st, QStringLiteral("Lenx2"));
    const int leny2 = ColumnIndex(st, QStringLiteral("Leny2"));
    const int pxlx1 = ColumnIndex(st, QStringLiteral("Pxlx1"));
    const int pxly1 = ColumnIndex(st, QStringLiteral("Pxly1"));
    const int pxlx2 = ColumnIndex(st, QStringLiteral("Pxlx2"));
    const int pxly2 = ColumnIndex(st, QStringLiteral("Pxly2"));
    try {
        while (st.Step()) {
            FitSegment s;
            s.Segnum = st.Column(segnum).toInt();
            s.FromPt = st.Column(fromPt).toInt();
            s.ToPt = st.Column(toPt).toInt();
            s.Stored = SegmentBox{st.Column(lenx1).toDouble(), st.Column(leny1).toDouble(),
                                  st.Column(lenx2).toDouble(), st.Column(leny2).toDouble(),
                                  st.Column(pxlx1).toInt(),    st.Column(pxly1).toInt(),
                                  st.Column(pxlx2).toInt(),    st.Column(pxly2).toInt()};
            segs.push_back(s);
        }
    } catch (...) {
        st.Reset();
        throw;
    }
    st.Reset();
    std::sort(segs.begin(), segs.end(),
              [](const FitSegment& a, const FitSegment& b) { return a.Segnum < b.Segnum; });
    return segs;
}

bool TFcore::WidenExtentsByVisibleSegments(const std::vector<FitPoint>& points,
                                           const std::vector<FitSegment>& segs)
{
    bool first = true;
    const auto widen = [&](int32_t pointnum) {
        const FitPoint* p = FindByNumber(points, pointnum, &FitPoint::Pointnum);
        if (!p) {
            // A missing end says nothing about where the drawing lies; it is
            // reported and left out rather than counted at length 0.
            ReportMissingPoint();
            return;
        }
        if (first) {
            MinLenX = MaxLenX = p->Lenx;
            MinLenY = MaxLenY = p->Leny;
            first = false;
        }
        KeepMin(MinLenX, p->Lenx);
        KeepMax(MaxLenX, p->Lenx);
        KeepMin(MinLenY, p->Leny);
        KeepMax(MaxLenY, p->Leny);
    };
    for (const VisibleSegmentRow& row : VisibleSegments.Rows()) {
        // A segment deleted since the set was opened has no ends to count.
        const FitSegment* s = FindByNumber(segs, row.Segnum, &FitSegment::Segnum);
        if (!s) {
            continue;
        }
        widen(s->FromPt);
        widen(s->ToPt);
    }
    return !first;
}

void TFcore::RewritePointPixels(std::vector<FitPoint>& points)
{
    std::vector<size_t> changed;
    for (size_t i = 0; i < points.size(); ++i) {
        const FitPoint& p = points[i];
        if (LenToPixelX(p.Lenx) != p.Pxlx || LenToPixelY(p.Leny) != p.Pxly) {
            changed.push_back(i);
        }
    }
    if (changed.empty()) {
        return;
    }
    WriteGroup([&] {
        tables::Statement& st = Database1.Prepare(tables::MapTableNames(PixelRewriteSQL));
        for (const size_t i : changed) {
            FitPoint& p = points[i];
            p.Pxlx = LenToPixelX(p.Lenx);
            p.Pxly = LenToPixelY(p.Leny);
            st.Reset();
            st.BindName(QStringLiteral("px"), p.Pxlx);
            st.BindName(QStringLiteral("py"), p.Pxly);
            st.BindName(QStringLiteral("x"), CurrentDiagram);
            st.BindName(QStringLiteral("n"), p.Pointnum);
            st.Run();
        }
    });
    // The tables' current rows were read before the rewrite.
    for (tables::Table* t : {&Table2, &Table3}) {
        if (t->Active()) {
            t->Refresh();
        }
    }
}

void TFcore::NormaliseFrom(const std::vector<FitPoint>& points, const std::vector<FitSegment>& segs)
{
    NormalisingScope normalising(*this);
    const auto endPoint = [&](int32_t pointnum) {
        TPointRec end; // a missing end stays the empty point
        if (const FitPoint* p = FindByNumber(points, pointnum, &FitPoint::Pointnum)) {
            end.Pointnum = p->Pointnum;
            end.Lenx = p->Lenx;
            end.Leny = p->Leny;
            end.Pxlx = p->Pxlx;
            end.Pxly = p->Pxly;
        } else {
            ReportMissingPoint();
        }
        return end;
    };
    std::vector<std::pair<int32_t, SegmentBox>> stale;
    for (const FitSegment& s : segs) {
        const SegmentBox box = BoxOfEnds(endPoint(s.FromPt), endPoint(s.ToPt));
        if (!(box == s.Stored)) {
            stale.emplace_back(s.Segnum, box);
        }
    }
    if (stale.empty()) {
        return;
    }
    WriteGroup([&] {
        tables::Statement& st = Database1.Prepare(tables::MapTableNames(BoxRewriteSQL));
        for (const auto& [segnum, b] : stale) {
            st.Reset();
            st.BindName(QStringLiteral("lx1"), b.Lenx1);
            st.BindName(QStringLiteral("ly1"), b.Leny1);
            st.BindName(QStringLiteral("lx2"), b.Lenx2);
            st.BindName(QStringLiteral("ly2"), b.Leny2);
            st.BindName(QStringLiteral("px1"), b.Pxlx1);
            st.BindName(QStringLiteral("py1"), b.Pxly1);
            st.BindName(QStringLiteral("px2"), b.Pxlx2);
            st.BindName(QStringLiteral("py2"), b.Pxly2);
            st.BindName(QStringLiteral("x"), CurrentDiagram);
            st.BindName(QStringLiteral("n"), segnum);
            st.Run();
        }
    });
    if (Table1.Active()) {
        Table1.Refresh();
    }
}

void TFcore::NormaliseSegmentExtents()
{
    const std::vector<FitPoint> points = ReadFitPoints();
    NormaliseFrom(points, ReadFitSegments());
}

bool TFcore::FitDiagramToSheet(int32_t sidePanelWidth)
{
    MissingPointReported = false;
    Scale = 0;
    if (!VisibleSegments.Active()) {
        OpenVisibleSegments();
    }
    if (VisibleSegments.IsEmpty()) {
        return false;
    }
    std::vector<FitPoint> points = ReadFitPoints();
    const std::vector<FitSegment> segs = ReadFitSegments();
    if (!WidenExtentsByVisibleSegments(points, segs)) {
        return false;
    }
    if (!FitScaleToExtents(sidePanelWidth)) {
        return false;
    }
    RewritePointPixels(points);
    NormaliseFrom(points, segs);
    return true;
}
