// The visible sets of the open diagram and the lookups along a straight
// move of the X cursor.

#include "library/messages.h"
#include "store/core.h"

namespace
{

// Fields of a query's current row, looked up once per walk.
class RowFields
{
  public:
    explicit RowFields(tables::Query& query) : query_(query) {}

    tables::Field& operator()(const QString& name)
    {
        tables::Field* f = query_.FindField(name);
        if (!f) {
            return query_.FieldByName(name); // throws with the engine's text
        }
        return *f;
    }

  private:
    tables::Query& query_;
};

// Opens a query and hands each of its rows to read, in query order.
template <typename Row, typename Read> std::vector<Row> ReadRows(tables::Query& query, Read read)
{
    query.Open();
    std::vector<Row> rows;
    rows.reserve(static_cast<size_t>(query.RecordCount()));
    if (query.IsEmpty()) {
        return rows;
    }
    RowFields fields(query);
    for (query.First(); !query.Eof(); query.Next()) {
        rows.push_back(read(fields));
    }
    query.First();
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
    Query4.Close();
    Query4.ParamByName(QStringLiteral("x")).SetInteger(CurrentDiagram);
    VisibleSegments.Assign(ReadRows<VisibleSegmentRow>(Query4, [](RowFields& f) {
        VisibleSegmentRow r;
        r.Segnum = f(QStringLiteral("segnum")).AsInteger();
        r.SegType = f(QStringLiteral("segtype")).AsInteger();
        r.Lenx1 = f(QStringLiteral("lenx1")).AsFloat();
        r.Lenx2 = f(QStringLiteral("lenx2")).AsFloat();
        r.Leny1 = f(QStringLiteral("leny1")).AsFloat();
        r.Leny2 = f(QStringLiteral("leny2")).AsFloat();
        r.Visib = f(QStringLiteral("visib")).AsInteger();
        return r;
    }));
}

void TFcore::OpenVisiblePoints()
{
    Query6.Close();
    Query6.ParamByName(QStringLiteral("x")).SetInteger(CurrentDiagram);
    Query6.ParamByName(QStringLiteral("ts")).SetDateTime(RedrawStamp);
    VisiblePoints.Assign(ReadRows<VisiblePointRow>(Query6, [](RowFields& f) {
        VisiblePointRow r;
        r.Pointnum = f(QStringLiteral("Pointnum")).AsInteger();
        r.Pxlx = f(QStringLiteral("Pxlx")).AsInteger();
        r.Pxly = f(QStringLiteral("Pxly")).AsInteger();
        return r;
    }));
}

void TFcore::OpenVisibleText()
{
    Query7.Close();
    Query7.ParamByName(QStringLiteral("x")).SetInteger(CurrentDiagram);
    VisibleTexts.Assign(ReadRows<VisibleTextRow>(Query7, [](RowFields& f) {
        VisibleTextRow r;
        r.Text = f(QStringLiteral("text")).AsString();
        r.Pointnum = f(QStringLiteral("pointnum")).AsInteger();
        r.Visib = f(QStringLiteral("visib")).AsInteger();
        return r;
    }));
}

void TFcore::OpenSegmentsAtPoint(int32_t pointnum)
{
    Query3.Close();
    Query3.ParamByName(QStringLiteral("y")).SetInteger(CurrentDiagram);
    Query3.ParamByName(QStringLiteral("x")).SetInteger(pointnum);
    SegmentsAtPoint.Assign(ReadRows<PointSegmentRow>(Query3, [](RowFields& f) {
        PointSegmentRow r;
        r.Segnum = f(QStringLiteral("Segnum")).AsInteger();
        r.FromPt = f(QStringLiteral("frompt")).AsInteger();
        r.ToPt = f(QStringLiteral("topt")).AsInteger();
        r.SegType = f(QStringLiteral("SegType")).AsInteger();
        r.Measured = f(QStringLiteral("Measured")).AsBoolean();
        r.Seglen = f(QStringLiteral("Seglen")).AsFloat();
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
    Query11.SQL << QStringLiteral("SELECT * FROM point.db p")
                << QStringLiteral("WHERE (p.rprts = :ts)");
    if (oldPlace.Pxlx != newPlace.Pxlx) {
        Query11.SQL << QStringLiteral("AND (p.pxlx = :pz ) AND (p.leny = :lz)")
                    << QStringLiteral("ORDER BY p.lenx, p.pointnum");
        Query11.ParamByName(QStringLiteral("pz")).SetInteger(newPlace.Pxlx);
        Query11.ParamByName(QStringLiteral("lz")).SetFloat(newPlace.Leny);
    } else if (oldPlace.Pxly != newPlace.Pxly) {
        Query11.SQL << QStringLiteral("AND (p.pxly = :pz ) AND (p.lenx = :lz)")
                    << QStringLiteral("ORDER BY p.leny, p.pointnum");
        Query11.ParamByName(QStringLiteral("pz")).SetInteger(newPlace.Pxly);
        Query11.ParamByName(QStringLiteral("lz")).SetFloat(newPlace.Lenx);
    }
    Query11.ParamByName(QStringLiteral("ts")).SetDateTime(RedrawStamp);
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
                    << QStringLiteral("ORDER BY s.lenx1, s.segnum");
        Query10.ParamByName(QStringLiteral("pz")).SetInteger(newPlace.Pxlx);
        Query10.ParamByName(QStringLiteral("lz")).SetFloat(oldPlace.Leny);
    } else if (oldPlace.Pxly != newPlace.Pxly) {
        // Along a column: a horizontal segment crossed at the new row.
        Query10.SQL << QStringLiteral(
                           "AND (s.leny1 = s.leny2) and (s.pxly1 = :pz) and (s.lenx1 <= :lz) "
                           "and (s.lenx2 >= :lz)")
                    << QStringLiteral("ORDER BY s.leny1, s.segnum");
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
