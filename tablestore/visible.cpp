// The visible sets of the open diagram and the lookups along a straight
// move of the X cursor.

#include "library/messages.h"
#include "store/coords.h"
#include "tablestore/core.h"
#include "tablestore/rowreader.h"

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

std::vector<VisiblePointRow> TFcore::ReadStampedPoints()
{
    Query6.ParamByName(QStringLiteral("x")).SetInteger(CurrentDiagram);
    Query6.ParamByName(QStringLiteral("ts")).SetDateTime(RedrawStamp);
    return ReadRows<VisiblePointRow>(
        Database1, Query6,
        {QStringLiteral("Pointnum"), QStringLiteral("Pxlx"), QStringLiteral("Pxly")},
        [](ColumnReader& c) {
            VisiblePointRow r;
            r.Pointnum = c.Int();
            r.Pxlx = c.Int();
            r.Pxly = c.Int();
            return r;
        });
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
