// The visible sets of the open diagram and the lookups along a straight
// move of the X cursor.

#include "library/messages.h"
#include "store/coords.h"
#include "store/core.h"
#include "store/rowreader.h"

namespace
{

using rowreader::ColumnReader;

// Runs a visible-set query with the parameters set on it and hands each of
// its rows to read, its columns in the order named, in query order. The rows
// go straight into the set's records rather than through the query's own
// row buffer.
template <typename Row, typename Read>
std::vector<Row> ReadRows(tables::Database& db, tables::Query& query, const QStringList& columns,
                          Read read)
{
    query.Close();
    tables::Statement& st = db.Prepare(tables::MapTableNames(query.SQLText()));
    std::vector<Row> rows;
    try {
        for (const tables::Param& p : query.Params()) {
            st.BindName(p.Name, p.Value);
        }
        const std::vector<int> at = rowreader::ColumnIndexes(st, columns);
        while (st.Step()) {
            ColumnReader row(st, &at);
            rows.push_back(read(row));
        }
    } catch (...) {
        st.Reset();
        throw;
    }
    st.Reset();
    return rows;
}

// A move left or up takes the last row, the largest length; any other move
// the first.
bool MovesBack(const TPointRec& oldPlace, const TPointRec& newPlace)
{
    return newPlace.Pxlx < oldPlace.Pxlx || newPlace.Pxly < oldPlace.Pxly;
}

} // namespace

void TFcore::OpenVisibleSegments()
{
    Query4.ParamByName(QStringLiteral("x")).SetInteger(CurrentDiagram);
    VisibleSegments.Assign(ReadRows<VisibleSegmentRow>(
        Database1, Query4,
        {QStringLiteral("segnum"), QStringLiteral("segtype"), QStringLiteral("lenx1"),
         QStringLiteral("lenx2"), QStringLiteral("leny1"), QStringLiteral("leny2"),
         QStringLiteral("visib")},
        [](ColumnReader& c) {
            VisibleSegmentRow r;
            r.Segnum = c.Int();
            r.SegType = c.Int();
            r.Lenx1 = c.Float();
            r.Lenx2 = c.Float();
            r.Leny1 = c.Float();
            r.Leny2 = c.Float();
            r.Visib = c.Int();
            return r;
        }));
}

void TFcore::OpenVisiblePoints()
{
    Query6.ParamByName(QStringLiteral("x")).SetInteger(CurrentDiagram);
    Query6.ParamByName(QStringLiteral("ts")).SetDateTime(RedrawStamp);
    VisiblePoints.Assign(ReadRows<VisiblePointRow>(
        Database1, Query6,
        {QStringLiteral("Pointnum"), QStringLiteral("Pxlx"), QStringLiteral("Pxly")},
        [](ColumnReader& c) {
            VisiblePointRow r;
            r.Pointnum = c.Int();
            r.Pxlx = c.Int();
            r.Pxly = c.Int();
            return r;
        }));
}

void TFcore::OpenVisibleText()
{
    Query7.ParamByName(QStringLiteral("x")).SetInteger(CurrentDiagram);
    VisibleTexts.Assign(ReadRows<VisibleTextRow>(
        Database1, Query7,
        {QStringLiteral("text"), QStringLiteral("pointnum"), QStringLiteral("visib")},
        [](ColumnReader& c) {
            VisibleTextRow r;
            r.Text = c.Text();
            r.Pointnum = c.Int();
            r.Visib = c.Int();
            return r;
        }));
}

void TFcore::OpenSegmentsAtPoint(int32_t pointnum)
{
    Query3.ParamByName(QStringLiteral("y")).SetInteger(CurrentDiagram);
    Query3.ParamByName(QStringLiteral("x")).SetInteger(pointnum);
    SegmentsAtPoint.Assign(ReadRows<PointSegmentRow>(
        Database1, Query3,
        {QStringLiteral("Segnum"), QStringLiteral("frompt"), QStringLiteral("topt"),
         QStringLiteral("SegType"), QStringLiteral("Measured"), QStringLiteral("Seglen")},
        [](ColumnReader& c) {
            PointSegmentRow r;
            r.Segnum = c.Int();
            r.FromPt = c.Int();
            r.ToPt = c.Int();
            r.SegType = c.Int();
            r.Measured = c.Bool();
            r.Seglen = c.Float();
            return r;
        }));
}

bool TFcore::FindPointInLine(const TPointRec& oldPlace, const TPointRec& newPlace, TPointRec& found)
{
    InitPoint(found);
    if (oldPlace.Pxlx != newPlace.Pxlx && oldPlace.Pxly != newPlace.Pxly) {
        return false;
    }
    Query11.Close();
    Query11.SQL.clear();
    // Only the open diagram's points can carry its redraw's stamp; saying so
    // also lets the lookup go through the index of its pixel column and
    // length (or row and length), and the "+" signs keep SQLite from
    // walking the diagram in length order instead.
    Query11.SQL << QStringLiteral("SELECT * FROM point.db p")
                << QStringLiteral("WHERE (p.rprts = :ts) AND (p.dgnum = :gdg)");
    if (oldPlace.Pxlx != newPlace.Pxlx) {
        Query11.SQL << QStringLiteral("AND (p.pxlx = :pz ) AND (p.leny = :lz)")
                    << QStringLiteral("ORDER BY +p.lenx, +p.pointnum");
        Query11.ParamByName(QStringLiteral("pz")).SetInteger(newPlace.Pxlx);
        Query11.ParamByName(QStringLiteral("lz")).SetFloat(newPlace.Leny);
    } else if (oldPlace.Pxly != newPlace.Pxly) {
        Query11.SQL << QStringLiteral("AND (p.pxly = :pz ) AND (p.lenx = :lz)")
                    << QStringLiteral("ORDER BY +p.leny, +p.pointnum");
        Query11.ParamByName(QStringLiteral("pz")).SetInteger(newPlace.Pxly);
        Query11.ParamByName(QStringLiteral("lz")).SetFloat(newPlace.Lenx);
    }
    Query11.ParamByName(QStringLiteral("ts")).SetDateTime(RedrawStamp);
    Query11.ParamByName(QStringLiteral("gdg")).SetInteger(CurrentDiagram);
    Query11.Open();
    if (Query11.IsEmpty()) {
        return false;
    }
    if (Query11.RecordCount() > 1) {
        ShowInfo(QStringLiteral("More than one point at X, zoom-in to distinguish"));
    }
    if (MovesBack(oldPlace, newPlace)) {
        Query11.Last();
    } else {
        Query11.First();
    }
    return LoadPoint(Query11.FieldByName(QStringLiteral("Pointnum")).AsInteger(), found);
}

bool TFcore::FindSegmentInLine(const TPointRec& oldPlace, const TPointRec& newPlace, TSegRec& found)
{
    InitSegment(found);
    if (oldPlace.Pxlx != newPlace.Pxlx && oldPlace.Pxly != newPlace.Pxly) {
        return false;
    }
    Query10.Close();
    Query10.SQL.clear();
    Query10.SQL << QStringLiteral("SELECT * FROM seg.db s")
                << QStringLiteral(
                       "LEFT JOIN layer.db l ON (l.dgnum = s.dgnum) and (l.layernum = s.layernum)")
                << QStringLiteral("WHERE (l.visib > 0) AND (s.dgnum = :gdg)");
    if (oldPlace.Pxlx != newPlace.Pxlx) {
        // Along a row: a vertical segment crossed at the new column.
        Query10.SQL << QStringLiteral(
                           "AND (s.lenx1 = s.lenx2) and (s.pxlx1 = :pz) and (s.leny1 <= :lz) "
                           "and (s.leny2 >= :lz)")
                    << QStringLiteral("ORDER BY +s.lenx1, +s.segnum");
        Query10.ParamByName(QStringLiteral("pz")).SetInteger(newPlace.Pxlx);
        Query10.ParamByName(QStringLiteral("lz")).SetFloat(oldPlace.Leny);
    } else if (oldPlace.Pxly != newPlace.Pxly) {
        // Along a column: a horizontal segment crossed at the new row.
        Query10.SQL << QStringLiteral(
                           "AND (s.leny1 = s.leny2) and (s.pxly1 = :pz) and (s.lenx1 <= :lz) "
                           "and (s.lenx2 >= :lz)")
                    << QStringLiteral("ORDER BY +s.leny1, +s.segnum");
        Query10.ParamByName(QStringLiteral("pz")).SetInteger(newPlace.Pxly);
        Query10.ParamByName(QStringLiteral("lz")).SetFloat(oldPlace.Lenx);
    }
    Query10.ParamByName(QStringLiteral("gdg")).SetInteger(CurrentDiagram);
    Query10.Open();
    if (Query10.IsEmpty()) {
        return false;
    }
    if (MovesBack(oldPlace, newPlace)) {
        Query10.Last();
    } else {
        Query10.First();
    }
    return LoadSegment(Query10.FieldByName(QStringLiteral("Segnum")).AsInteger(), found);
}

namespace
{

// The columns of a segment row and of each end point, in the order the
// joined scan lists them.
const QString SegmentColumns = QStringLiteral(
    "s.segnum, s.segtype, s.mlenx, s.mleny, s.mlenz, s.frompt, s.topt, s.createts, s.layernum, "
    "s.dotted, s.xorflag, s.lenx1, s.lenx2, s.leny1, s.leny2, s.pxlx1, s.pxlx2, s.pxly1, "
    "s.pxly2");
constexpr int PointColumnCount = 8;

// The end's own number is the segment's frompt or topt; a null dgnum says
// the join found no such point.
QString EndColumns(const QString& alias)
{
    QStringList columns;
    for (const char* c :
         {"dgnum", "lenx", "leny", "pxlx", "pxly", "rprts", "layernum", "createts"}) {
        columns << alias + '.' + QLatin1String(c);
    }
    return columns.join(QStringLiteral(", "));
}

// Stores written before the faint flag existed have no such column.
QString VisibleSegmentsWithEndsSQL(bool withFaint)
{
    return QStringLiteral("select %1, %2, %3%4\n"
                          "from seg.db s left join layer.db l on (l.dgnum = s.dgnum and "
                          "l.layernum = s.layernum)\n"
                          "left join point.db a on (a.dgnum = s.dgnum and a.pointnum = s.frompt)\n"
                          "left join point.db b on (b.dgnum = s.dgnum and b.pointnum = s.topt)\n"
                          "where ( s.dgnum = :x ) and (l.visib > 0 )\n"
                          "order by s.segnum")
        .arg(SegmentColumns, EndColumns(QStringLiteral("a")), EndColumns(QStringLiteral("b")),
             withFaint ? QStringLiteral(", s.faint") : QString());
}

// The stamp goes to the ends of the segments of the visible set and to the
// points of the visible labels: what the redraw paints.
const QString StampVisiblePointsSQL = QStringLiteral(
    "update point.db set rprts = :ts\n"
    "where (dgnum = :x) and (pointnum in (\n"
    "select s.frompt from seg.db s join layer.db l on (l.dgnum = s.dgnum and "
    "l.layernum = s.layernum) where (s.dgnum = :x) and (l.visib > 0)\n"
    "union select s.topt from seg.db s join layer.db l on (l.dgnum = s.dgnum and "
    "l.layernum = s.layernum) where (s.dgnum = :x) and (l.visib > 0)\n"
    "union select t.pointnum from text.db t join layer.db l on (l.dgnum = t.dgnum and "
    "l.layernum = t.layernum) where (t.dgnum = :x) and (l.visib > 0)))");

// An end point from the reader's next columns; false when the join found
// no such point, which leaves the record empty.
bool ReadEnd(ColumnReader& c, TPointRec& point)
{
    if (c.NextIsNull()) {
        c.Skip(PointColumnCount);
        InitPoint(point);
        return false;
    }
    point.Dgnum = c.Int();
    point.Lenx = c.Float();
    point.Leny = c.Float();
    point.Pxlx = c.Int();
    point.Pxly = c.Int();
    point.Rprts = c.Float();
    point.Layernum = c.Int();
    point.CreateTS = c.Float();
    return true;
}

} // namespace

std::vector<TSegRec> TFcore::LoadVisibleSegments()
{
    const bool withFaint = Database1.ColumnExists(QStringLiteral("seg"), QStringLiteral("faint"));
    tables::Statement& st =
        Database1.Prepare(tables::MapTableNames(VisibleSegmentsWithEndsSQL(withFaint)));
    std::vector<TSegRec> segs;
    segs.reserve(static_cast<size_t>(VisibleSegments.RecordCount()));
    bool endMissing = false;
    try {
        st.Reset();
        st.BindName(QStringLiteral("x"), CurrentDiagram);
        while (st.Step()) {
            ColumnReader c(st);
            TSegRec& seg = segs.emplace_back();
            seg.Segnum = c.Int();
            seg.SegType = c.Int();
            seg.Mlenx = c.Float();
            seg.Mleny = c.Float();
            seg.Mlenz = c.Float();
            seg.FromPoint.Pointnum = c.Int();
            seg.ToPoint.Pointnum = c.Int();
            seg.CreateTS = c.Float();
            seg.Measured = IsMeasured(seg);
            seg.Layernum = c.Int();
            seg.Dotted = DottedFromColumn(c.Next().Value.toLongLong());
            seg.Xorflag = c.Bool();
            seg.Lenx1 = c.Float();
            seg.Lenx2 = c.Float();
            seg.Leny1 = c.Float();
            seg.Leny2 = c.Float();
            seg.Pxlx1 = c.Int();
            seg.Pxlx2 = c.Int();
            seg.Pxly1 = c.Int();
            seg.Pxly2 = c.Int();
            endMissing |= !ReadEnd(c, seg.FromPoint);
            endMissing |= !ReadEnd(c, seg.ToPoint);
            seg.Faint = withFaint && c.Bool();
            ComputeSegmentDeltas(seg);
        }
    } catch (...) {
        st.Reset();
        throw;
    }
    st.Reset();
    // Reported after the scan: the message box must not run while the
    // statement is still stepping.
    if (endMissing) {
        ReportMissingPoint();
    }
    return segs;
}

void TFcore::StampVisiblePoints()
{
    WriteGroup([this] {
        tables::Statement& st = Database1.Prepare(tables::MapTableNames(StampVisiblePointsSQL));
        st.Reset();
        st.BindName(QStringLiteral("ts"), RedrawStamp);
        st.BindName(QStringLiteral("x"), CurrentDiagram);
        st.Run();
        st.Reset();
    });
    // The point tables' current rows were read before the stamp.
    for (tables::Table* t : {&Table2, &Table3}) {
        if (t->Active()) {
            t->Refresh();
        }
    }
}
