// The visible sets of the open diagram, the lookups along a straight move
// of the X cursor, and what the sheet's refresh asks of the store.

#include "firebird/corefb.h"

#include "firebird/fbtimestamp.h"
#include "library/calendar.h"
#include "library/messages.h"

#include <algorithm>

namespace
{

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

// A move left or up takes the last row, the largest length; any other move
// the first.
bool MovesBack(const TPointRec& oldPlace, const TPointRec& newPlace)
{
    return newPlace.Pxlx < oldPlace.Pxlx || newPlace.Pxly < oldPlace.Pxly;
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

void TFcoreFb::OpenVisibleText()
{
    // Read straight from the engine's rows: every refresh reads them twice.
    ibase::Statement& st = Prepared(VisibleTextSQL);
    st.SetParam(QStringLiteral("x"), CurrentDiagram);
    st.Execute();
    std::vector<VisibleTextRow> rows;
    while (st.Fetch()) {
        VisibleTextRow r;
        r.Text = st.Column(0).AsText();
        r.Pointnum = st.ColumnInt(1);
        r.Visib = st.ColumnInt(2);
        rows.push_back(r);
    }
    VisibleTexts.Assign(std::move(rows));
    textsReadInRefresh_ = true;
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
    textsReadInRefresh_ = false;
}

void TFcoreFb::RefreshDrawn()
{
    CommitAndReopen();
}

void TFcoreFb::CommitAndReopen()
{
    RestartTransaction();
    // Nothing has changed the visible segments since the refresh read them:
    // they are walked again from the first, not read again, and so are the
    // labels when the refresh read them. The points of the redraw are
    // handed on by the refresh itself right after.
    VisibleSegments.First();
    if (textsReadInRefresh_)
        VisibleTexts.First();
    else
        OpenVisibleText();
}
