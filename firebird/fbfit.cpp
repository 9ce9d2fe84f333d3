// The scale fit and the bounding boxes of the stored segments. A pass reads
// the diagram's points and segments once each and writes only rows whose
// cached pixels or box changed, so a refresh at an unchanged scale writes
// nothing.

#include "firebird/corefb.h"

#include "store/coords.h"

#include <algorithm>

struct TFcoreFb::FitPoint {
    int32_t Pointnum = -1;
    Extended Lenx = 0;
    Extended Leny = 0;
    int32_t Pxlx = 0;
    int32_t Pxly = 0;
};

struct TFcoreFb::FitSegment {
    int32_t Segnum = -1;
    int32_t FromPt = -1;
    int32_t ToPt = -1;
    SegmentBox Stored;
};

namespace
{

const QString FitPointsSQL = QStringLiteral(
    "select pointnum, lenx, leny, pxlx, pxly from point where dgnum = :dg order by pointnum");
const QString FitSegmentsSQL =
    QStringLiteral("select segnum, frompt, topt, lenx1, leny1, lenx2, leny2, pxlx1, pxly1, pxlx2, "
                   "pxly2 from seg where dgnum = :dg order by segnum");
const QString PixelRewriteSQL =
    QStringLiteral("update point set pxlx = :px , pxly = :py where dgnum = :dg and pointnum = :n");
const QString BoxRewriteSQL = QStringLiteral(
    "update seg set lenx1 = :lx1 , leny1 = :ly1 , lenx2 = :lx2 , leny2 = :ly2 , pxlx1 = :px1 , "
    "pxly1 = :py1 , pxlx2 = :px2 , pxly2 = :py2 where dgnum = :dg and segnum = :n");

template <typename T> const T* FindByNumber(const std::vector<T>& rows, int32_t n, int32_t T::*key)
{
    const auto it = std::lower_bound(rows.begin(), rows.end(), n,
                                     [key](const T& row, int32_t v) { return row.*key < v; });
    return it != rows.end() && (*it).*key == n ? &*it : nullptr;
}

} // namespace

std::vector<TFcoreFb::FitPoint> TFcoreFb::ReadFitPoints()
{
    std::vector<FitPoint> points;
    ibase::Statement& st = Prepared(FitPointsSQL);
    st.SetParam(QStringLiteral("dg"), CurrentDiagram);
    st.Execute();
    while (st.Fetch()) {
        FitPoint p;
        p.Pointnum = st.Column(0).AsInt();
        p.Lenx = st.Column(1).AsDouble();
        p.Leny = st.Column(2).AsDouble();
        p.Pxlx = st.Column(3).AsInt();
        p.Pxly = st.Column(4).AsInt();
        points.push_back(p);
    }
    return points;
}

std::vector<TFcoreFb::FitSegment> TFcoreFb::ReadFitSegments()
{
    std::vector<FitSegment> segs;
    ibase::Statement& st = Prepared(FitSegmentsSQL);
    st.SetParam(QStringLiteral("dg"), CurrentDiagram);
    st.Execute();
    while (st.Fetch()) {
        FitSegment s;
        s.Segnum = st.Column(0).AsInt();
        s.FromPt = st.Column(1).AsInt();
        s.ToPt = st.Column(2).AsInt();
        s.Stored =
            SegmentBox{st.Column(3).AsDouble(), st.Column(4).AsDouble(), st.Column(5).AsDouble(),
                       st.Column(6).AsDouble(), st.Column(7).AsInt(),    st.Column(8).AsInt(),
                       st.Column(9).AsInt(),    st.Column(10).AsInt()};
        segs.push_back(s);
    }
    return segs;
}

bool TFcoreFb::WidenExtentsByVisibleSegments(const std::vector<FitPoint>& points,
                                             const std::vector<FitSegment>& segs)
{
    bool first = true;
    const auto widen = [&](int32_t pointnum) {
        const FitPoint* p = FindByNumber(points, pointnum, &FitPoint::Pointnum);
        if (!p) {
            // A missing end says nothing about where the drawing lies.
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
        const FitSegment* s = FindByNumber(segs, row.Segnum, &FitSegment::Segnum);
        if (!s)
            continue;
        widen(s->FromPt);
        widen(s->ToPt);
    }
    return !first;
}

void TFcoreFb::RewritePointPixels(std::vector<FitPoint>& points)
{
    std::vector<size_t> changed;
    for (size_t i = 0; i < points.size(); ++i) {
        const FitPoint& p = points[i];
        if (LenToPixelX(p.Lenx) != p.Pxlx || LenToPixelY(p.Leny) != p.Pxly)
            changed.push_back(i);
    }
    if (changed.empty())
        return;
    WriteGroup([&] {
        ibase::Statement& st = Prepared(PixelRewriteSQL);
        for (const size_t i : changed) {
            FitPoint& p = points[i];
            p.Pxlx = LenToPixelX(p.Lenx);
            p.Pxly = LenToPixelY(p.Leny);
            st.SetParam(QStringLiteral("px"), p.Pxlx);
            st.SetParam(QStringLiteral("py"), p.Pxly);
            st.SetParam(QStringLiteral("dg"), CurrentDiagram);
            st.SetParam(QStringLiteral("n"), p.Pointnum);
            st.Execute();
        }
    });
}

void TFcoreFb::NormaliseFrom(const std::vector<FitPoint>& points,
                             const std::vector<FitSegment>& segs)
{
    NormalisingScope normalising(*this);
    const auto endPoint = [&](int32_t pointnum) {
        // An end point without its row reads as zeros.
        TPointRec end;
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
        if (!(box == s.Stored))
            stale.emplace_back(s.Segnum, box);
    }
    if (stale.empty())
        return;
    WriteGroup([&] {
        ibase::Statement& st = Prepared(BoxRewriteSQL);
        for (const auto& [segnum, b] : stale) {
            st.SetParam(QStringLiteral("lx1"), b.Lenx1);
            st.SetParam(QStringLiteral("ly1"), b.Leny1);
            st.SetParam(QStringLiteral("lx2"), b.Lenx2);
            st.SetParam(QStringLiteral("ly2"), b.Leny2);
            st.SetParam(QStringLiteral("px1"), b.Pxlx1);
            st.SetParam(QStringLiteral("py1"), b.Pxly1);
            st.SetParam(QStringLiteral("px2"), b.Pxlx2);
            st.SetParam(QStringLiteral("py2"), b.Pxly2);
            st.SetParam(QStringLiteral("dg"), CurrentDiagram);
            st.SetParam(QStringLiteral("n"), segnum);
            st.Execute();
        }
    });
}

void TFcoreFb::NormaliseSegmentExtents()
{
    const std::vector<FitPoint> points = ReadFitPoints();
    NormaliseFrom(points, ReadFitSegments());
}

bool TFcoreFb::FitDiagramToSheet(int32_t sidePanelWidth)
{
    MissingPointReported = false;
    Scale = 0;
    if (!VisibleSegments.Active())
        OpenVisibleSegments();
    VisibleSegments.First();
    if (VisibleSegments.IsEmpty())
        return false;
    std::vector<FitPoint> points = ReadFitPoints();
    const std::vector<FitSegment> segs = ReadFitSegments();
    if (!WidenExtentsByVisibleSegments(points, segs) || !FitScaleToExtents(sidePanelWidth))
        return false;
    RewritePointPixels(points);
    NormaliseFrom(points, segs);
    // Everything the fit wrote is committed already, each rewrite as one
    // command; the result sets it read are ended with the transaction.
    RestartTransaction();
    return true;
}
