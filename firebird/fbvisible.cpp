// The visible sets of the open diagram, the lookups along a straight move
// of the X cursor, and what the sheet's refresh asks of the store.

#include "firebird/corefb.h"

#include "library/calendar.h"
#include "library/messages.h"
#include "store/coords.h"
#include "store/fbtimestamp.h"

#include <algorithm>

namespace
{

const QString VisibleSegmentsSQL = QStringLiteral(
    "select s.segnum , s.segtype, s.lenx1, s.lenx2, s.leny1, s.leny2, l.visib\n"
    "from seg s left join layer l on (l.dgnum = s.dgnum and l.layernum = s.layernum)\n"
    "where ( s.dgnum = :x ) and (l.visib > 0 )\n"
    "order by s.segnum");
const QString VisiblePointsSQL =
    QStringLiteral("select * from point where (dgnum = :x) and (rprts = :ts)\norder by pointnum");
const QString VisibleTextSQL = QStringLiteral(
    "select t.text, t.pointnum,  l.visib\n"
    "from text t left join layer l on (l.dgnum = t.dgnum and l.layernum = t.layernum)\n"
    "where ( t.dgnum = :x ) and (l.visib > 0 )\n"
    "order by l.visib, t.pointnum");
// Each end is a lookup of its own in its index; the few rows are put in
// segment order here, not by walking the diagram in that order.
const QString SegmentsAtPointSQL = QStringLiteral(
    "select * from seg s\n"
    "left join layer y on (y.dgnum = s.dgnum) and (y.layernum = s.layernum)\n"
    "where (((s.dgnum = :y) and (s.frompt = :x)) or ((s.dgnum = :y) and (s.topt = :x))) and "
    "(y.visib > 0)");

// The segments on visible layers with both end points, in number order.
// A null dgnum of an end says the join found no such point.
const QString VisibleSegmentsWithEndsSQL = QStringLiteral(
    "select s.segnum, s.segtype, s.mlenx, s.mleny, s.mlenz, s.frompt, s.topt, s.createts, "
    "s.layernum, s.dotted, s.xorflag, s.lenx1, s.lenx2, s.leny1, s.leny2, s.pxlx1, s.pxlx2, "
    "s.pxly1, s.pxly2, s.faint, "
    "a.dgnum, a.lenx, a.leny, a.pxlx, a.pxly, a.rprts, a.layernum, a.createts, "
    "b.dgnum, b.lenx, b.leny, b.pxlx, b.pxly, b.rprts, b.layernum, b.createts\n"
    "from seg s join layer l on (l.dgnum = s.dgnum and l.layernum = s.layernum)\n"
    "left join point a on (a.dgnum = s.dgnum and a.pointnum = s.frompt)\n"
    "left join point b on (b.dgnum = s.dgnum and b.pointnum = s.topt)\n"
    "where ( s.dgnum = :x ) and (l.visib > 0 )\n"
    "order by s.segnum");
constexpr int FirstEndColumn = 20;
constexpr int EndColumnCount = 8;

// The stamp goes, in one statement, to the ends of the segments on visible
// layers and to the points of the labels on visible layers: what the
// redraw paints.
const QString StampVisiblePointsSQL =
    QStringLiteral("merge into point p using (\n"
                   "select s.frompt as n from seg s join layer l on (l.dgnum = s.dgnum and "
                   "l.layernum = s.layernum) where (s.dgnum = :x) and (l.visib > 0)\n"
                   "union select s.topt from seg s join layer l on (l.dgnum = s.dgnum and "
                   "l.layernum = s.layernum) where (s.dgnum = :x) and (l.visib > 0)\n"
                   "union select t.pointnum from text t join layer l on (l.dgnum = t.dgnum and "
                   "l.layernum = t.layernum) where (t.dgnum = :x) and (l.visib > 0)) v\n"
                   "on (p.dgnum = :x and p.pointnum = v.n)\n"
                   "when matched then update set p.rprts = :ts");

// A move left or up takes the last row, the largest length; any other move
// the first.
bool MovesBack(const TPointRec& oldPlace, const TPointRec& newPlace)
{
    return newPlace.Pxlx < oldPlace.Pxlx || newPlace.Pxly < oldPlace.Pxly;
}

// An end point from the scan's columns at; false when the join found no
// such point, which leaves the record empty.
bool ReadEnd(const ibase::Statement& st, int at, TPointRec& point)
{
    if (st.Column(at).IsNull()) {
        InitPoint(point);
        return false;
    }
    point.Dgnum = st.Column(at).AsInt();
    point.Lenx = st.Column(at + 1).AsDouble();
    point.Leny = st.Column(at + 2).AsDouble();
    point.Pxlx = st.Column(at + 3).AsInt();
    point.Pxly = st.Column(at + 4).AsInt();
    point.Rprts = FromTimestamp(st.Column(at + 5));
    point.Layernum = st.Column(at + 6).AsInt();
    point.CreateTS = FromTimestamp(st.Column(at + 7));
    return true;
}

// The row with the smallest value of the column (ties by the number
// column), or the largest when last: the first or last row of the result
// in that order.
void StandOnEnd(FbQuery& rows, const char* column, const char* number, bool last)
{
    int best = -1;
    int at = 0;
    double bestValue = 0;
    int bestNumber = 0;
    for (rows.First(); !rows.Eof(); rows.Next(), ++at) {
        const double v = rows.FieldFloat(column);
        const int n = rows.FieldInt(number);
        const bool before = v < bestValue || (v == bestValue && n < bestNumber);
        const bool after = v > bestValue || (v == bestValue && n > bestNumber);
        if (best < 0 || (last ? after : before)) {
            best = at;
            bestValue = v;
            bestNumber = n;
        }
    }
    rows.First();
    for (int i = 0; i < best; ++i)
        rows.Next();
}

} // namespace

void TFcoreFb::OpenVisibleSegments()
{
    RunSQL(IBQuery4, VisibleSegmentsSQL, {{"x", CurrentDiagram}});
    std::vector<VisibleSegmentRow> rows;
    rows.reserve(size_t(IBQuery4.RecordCount()));
    for (IBQuery4.First(); !IBQuery4.Eof(); IBQuery4.Next()) {
        VisibleSegmentRow r;
        r.Segnum = IBQuery4.FieldInt("SEGNUM");
        r.SegType = IBQuery4.FieldInt("SEGTYPE");
        r.Lenx1 = IBQuery4.FieldFloat("LENX1");
        r.Lenx2 = IBQuery4.FieldFloat("LENX2");
        r.Leny1 = IBQuery4.FieldFloat("LENY1");
        r.Leny2 = IBQuery4.FieldFloat("LENY2");
        r.Visib = IBQuery4.FieldInt("VISIB");
        rows.push_back(r);
    }
    IBQuery4.Close();
    VisibleSegments.Assign(std::move(rows));
}

void TFcoreFb::OpenVisiblePoints()
{
    RunSQL(IBQuery6, VisiblePointsSQL,
           {{"x", CurrentDiagram}, {"ts", TimestampParam(RedrawStamp)}});
    std::vector<VisiblePointRow> rows;
    for (IBQuery6.First(); !IBQuery6.Eof(); IBQuery6.Next()) {
        VisiblePointRow r;
        r.Pointnum = IBQuery6.FieldInt("POINTNUM");
        r.Pxlx = IBQuery6.FieldInt("PXLX");
        r.Pxly = IBQuery6.FieldInt("PXLY");
        rows.push_back(r);
    }
    IBQuery6.Close();
    VisiblePoints.Assign(std::move(rows));
}

void TFcoreFb::OpenVisibleText()
{
    RunSQL(IBQuery7, VisibleTextSQL, {{"x", CurrentDiagram}});
    std::vector<VisibleTextRow> rows;
    for (IBQuery7.First(); !IBQuery7.Eof(); IBQuery7.Next()) {
        VisibleTextRow r;
        r.Text = IBQuery7.FieldText("TEXT");
        r.Pointnum = IBQuery7.FieldInt("POINTNUM");
        r.Visib = IBQuery7.FieldInt("VISIB");
        rows.push_back(r);
    }
    IBQuery7.Close();
    VisibleTexts.Assign(std::move(rows));
}

void TFcoreFb::OpenSegmentsAtPoint(int32_t pointnum)
{
    RunSQL(IBQuery3, SegmentsAtPointSQL, {{"y", CurrentDiagram}, {"x", pointnum}});
    std::vector<PointSegmentRow> rows;
    for (IBQuery3.First(); !IBQuery3.Eof(); IBQuery3.Next()) {
        PointSegmentRow r;
        r.Segnum = IBQuery3.FieldInt("SEGNUM");
        r.FromPt = IBQuery3.FieldInt("FROMPT");
        r.ToPt = IBQuery3.FieldInt("TOPT");
        r.SegType = IBQuery3.FieldInt("SEGTYPE");
        r.Measured = IBQuery3.FieldInt("MEASURED") != 0;
        r.Seglen = IBQuery3.FieldFloat("SEGLEN");
        rows.push_back(r);
    }
    IBQuery3.Close();
    std::sort(rows.begin(), rows.end(), [](const PointSegmentRow& a, const PointSegmentRow& b) {
        return a.Segnum < b.Segnum;
    });
    SegmentsAtPoint.Assign(std::move(rows));
}

bool TFcoreFb::FindPointInLine(const TPointRec& oldPlace, const TPointRec& newPlace,
                               TPointRec& found)
{
    InitPoint(found);
    if (oldPlace.Pxlx != newPlace.Pxlx && oldPlace.Pxly != newPlace.Pxly)
        return false;
    // Only the open diagram's points count, and only those the last redraw
    // drew; the stamp is a whole second, the same value the redraw wrote.
    QString sql = QStringLiteral("SELECT * FROM point p\n"
                                 "WHERE (p.rprts = :ts) AND (p.dgnum = :gdg)\n");
    FbParams params{{"ts", TimestampParam(RedrawStamp)}, {"gdg", CurrentDiagram}};
    const char* along = "LENX";
    if (oldPlace.Pxlx != newPlace.Pxlx) {
        sql += QStringLiteral("AND (p.pxlx = :pz ) AND (p.leny = :lz)");
        params.push_back({"pz", newPlace.Pxlx});
        params.push_back({"lz", newPlace.Leny});
    } else if (oldPlace.Pxly != newPlace.Pxly) {
        sql += QStringLiteral("AND (p.pxly = :pz ) AND (p.lenx = :lz)");
        params.push_back({"pz", newPlace.Pxly});
        params.push_back({"lz", newPlace.Lenx});
        along = "LENY";
    }
    RunSQL(IBQuery11, sql, params);
    if (IBQuery11.IsEmpty())
        return false;
    if (IBQuery11.RecordCount() > 1)
        ShowInfo(QStringLiteral("More than one point at X, zoom-in to distinguish"));
    StandOnEnd(IBQuery11, along, "POINTNUM", MovesBack(oldPlace, newPlace));
    return LoadPoint(IBQuery11.FieldInt("POINTNUM"), found);
}

bool TFcoreFb::FindSegmentInLine(const TPointRec& oldPlace, const TPointRec& newPlace,
                                 TSegRec& found)
{
    InitSegment(found);
    if (oldPlace.Pxlx != newPlace.Pxlx && oldPlace.Pxly != newPlace.Pxly)
        return false;
    QString sql =
        QStringLiteral("SELECT * FROM seg s\n"
                       "LEFT JOIN layer l ON (l.dgnum = s.dgnum) and (l.layernum = s.layernum)\n"
                       "WHERE (l.visib > 0) AND (s.dgnum = :gdg)\n");
    FbParams params{{"gdg", CurrentDiagram}};
    const char* along = "LENX1";
    if (oldPlace.Pxlx != newPlace.Pxlx) {
        // Along a row: a vertical segment crossed at the new column.
        sql += QStringLiteral("AND (s.lenx1 = s.lenx2) and (s.pxlx1 = :pz) and (s.leny1 <= :lz) "
                              "and (s.leny2 >= :lz)");
        params.push_back({"pz", newPlace.Pxlx});
        params.push_back({"lz", oldPlace.Leny});
    } else if (oldPlace.Pxly != newPlace.Pxly) {
        // Along a column: a horizontal segment crossed at the new row.
        sql += QStringLiteral("AND (s.leny1 = s.leny2) and (s.pxly1 = :pz) and (s.lenx1 <= :lz) "
                              "and (s.lenx2 >= :lz)");
        params.push_back({"pz", newPlace.Pxly});
        params.push_back({"lz", oldPlace.Lenx});
        along = "LENY1";
    }
    RunSQL(IBQuery10, sql, params);
    if (IBQuery10.IsEmpty())
        return false;
    StandOnEnd(IBQuery10, along, "SEGNUM", MovesBack(oldPlace, newPlace));
    return LoadSegment(IBQuery10.FieldInt("SEGNUM"), found);
}

std::vector<TSegRec> TFcoreFb::LoadVisibleSegments()
{
    ibase::Statement& st = Prepared(VisibleSegmentsWithEndsSQL);
    st.SetParam(QStringLiteral("x"), CurrentDiagram);
    st.Execute();
    std::vector<TSegRec> segs;
    segs.reserve(size_t(VisibleSegments.RecordCount()));
    bool endMissing = false;
    while (st.Fetch()) {
        TSegRec& seg = segs.emplace_back();
        seg.Segnum = st.Column(0).AsInt();
        seg.SegType = st.Column(1).AsInt();
        seg.Mlenx = st.Column(2).AsDouble();
        seg.Mleny = st.Column(3).AsDouble();
        seg.Mlenz = st.Column(4).AsDouble();
        seg.FromPoint.Pointnum = st.Column(5).AsInt();
        seg.ToPoint.Pointnum = st.Column(6).AsInt();
        seg.CreateTS = FromTimestamp(st.Column(7));
        seg.Measured = IsMeasured(seg);
        seg.Layernum = st.Column(8).AsInt();
        seg.Dotted = DottedFromColumn(st.Column(9).AsInt64());
        seg.Xorflag = st.Column(10).AsInt() == 1;
        seg.Lenx1 = st.Column(11).AsDouble();
        seg.Lenx2 = st.Column(12).AsDouble();
        seg.Leny1 = st.Column(13).AsDouble();
        seg.Leny2 = st.Column(14).AsDouble();
        seg.Pxlx1 = st.Column(15).AsInt();
        seg.Pxlx2 = st.Column(16).AsInt();
        seg.Pxly1 = st.Column(17).AsInt();
        seg.Pxly2 = st.Column(18).AsInt();
        seg.Faint = st.Column(19).AsInt() == 1;
        endMissing |= !ReadEnd(st, FirstEndColumn, seg.FromPoint);
        endMissing |= !ReadEnd(st, FirstEndColumn + EndColumnCount, seg.ToPoint);
        ComputeSegmentDeltas(seg);
    }
    // Reported after the scan: the message box must not run while the
    // statement is still fetching.
    if (endMissing)
        ReportMissingPoint();
    return segs;
}

void TFcoreFb::StampVisiblePoints()
{
    WriteGroup([this] {
        ibase::Statement& st = Prepared(StampVisiblePointsSQL);
        st.SetParam(QStringLiteral("x"), CurrentDiagram);
        st.SetParam(QStringLiteral("ts"), TimestampParam(RedrawStamp));
        st.Execute();
    });
}

TDateTime TFcoreFb::NextRedrawStamp() const
{
    // Whole seconds, as the timestamp column keeps them exactly, so the
    // stamp queried is the stamp written; a refresh within the same second
    // as the last one takes the next second.
    const long long now = SecondsOfDateTime(NowDateTime());
    const long long last = SecondsOfDateTime(RedrawStamp);
    return DateTimeOfSeconds(std::max(now, last + 1));
}

void TFcoreFb::RefreshStarting()
{
    RestartTransaction();
}

void TFcoreFb::RefreshDrawn()
{
    CommitAndReopen();
}

void TFcoreFb::CommitAndReopen()
{
    RestartTransaction();
    // Nothing has changed the visible segments since the refresh read them:
    // they are walked again from the first, not read again. The points of
    // the redraw are read by the refresh itself right after.
    VisibleSegments.First();
    OpenVisibleText();
}
