// Points of the open diagram in point.db.

#include "library/calendar.h"
#include "tablestore/core.h"

#include <vector>

namespace
{

// The order is by number so that the first of several points at the same
// lengths is always the same one. The "+" keeps SQLite from serving that
// order from the primary key, which would walk the whole diagram, instead
// of looking the lengths up in their index and sorting the few matches.
const QString PointAtLengthSQL = QStringLiteral("SELECT * FROM \"point.db\" pdb\n"
                                                "WHERE (pdb.lenx = :x) and (pdb.leny = :y) and "
                                                "(pdb.dgnum = :z)\n"
                                                "ORDER BY +pdb.pointnum");

} // namespace

void TFcore::ReadPointFields(TPointRec& point)
{
    point.Dgnum = Table2.FieldByName(QStringLiteral("Dgnum")).AsInteger();
    point.Pointnum = Table2.FieldByName(QStringLiteral("Pointnum")).AsInteger();
    point.Lenx = Table2.FieldByName(QStringLiteral("Lenx")).AsFloat();
    point.Leny = Table2.FieldByName(QStringLiteral("Leny")).AsFloat();
    point.Pxlx = Table2.FieldByName(QStringLiteral("Pxlx")).AsInteger();
    point.Pxly = Table2.FieldByName(QStringLiteral("Pxly")).AsInteger();
    point.Rprts = Table2.FieldByName(QStringLiteral("Rprts")).AsDateTime();
    point.Layernum = Table2.FieldByName(QStringLiteral("Layernum")).AsInteger();
    point.CreateTS = Table2.FieldByName(QStringLiteral("CreateTS")).AsDateTime();
}

void TFcore::WritePointFields(const TPointRec& point)
{
    Table2.FieldByName(QStringLiteral("Pointnum")).SetInteger(point.Pointnum);
    Table2.FieldByName(QStringLiteral("Dgnum")).SetInteger(CurrentDiagram);
    Table2.FieldByName(QStringLiteral("Lenx")).SetFloat(point.Lenx);
    Table2.FieldByName(QStringLiteral("Leny")).SetFloat(point.Leny);
    Table2.FieldByName(QStringLiteral("Pxlx")).SetInteger(point.Pxlx);
    Table2.FieldByName(QStringLiteral("Pxly")).SetInteger(point.Pxly);
    Table2.FieldByName(QStringLiteral("Rprts")).SetDateTime(point.Rprts);
    Table2.FieldByName(QStringLiteral("Layernum")).SetInteger(point.Layernum);
    Table2.FieldByName(QStringLiteral("CreateTS")).SetDateTime(point.CreateTS);
}

bool TFcore::LoadPoint(int32_t pointnum, TPointRec& point)
{
    InitPoint(point);
    if (!Table2.FindKey({CurrentDiagram, pointnum})) {
        return false;
    }
    ReadPointFields(point);
    return true;
}

bool TFcore::FindPointAtLength(TPointRec& point)
{
    Query1.Close();
    Query1.SetSQL(PointAtLengthSQL);
    Query1.ParamByName(QStringLiteral("x")).SetFloat(point.Lenx);
    Query1.ParamByName(QStringLiteral("y")).SetFloat(point.Leny);
    Query1.ParamByName(QStringLiteral("z")).SetInteger(CurrentDiagram);
    Query1.Open();
    point.Pointnum = -1;
    // No stored point, so none shares the place: whatever an earlier lookup
    // said of the record no longer holds.
    point.Multiple = false;
    if (Query1.IsEmpty()) {
        point.Pxlx = LenToPixelX(point.Lenx);
        point.Pxly = LenToPixelY(point.Leny);
        return false;
    }
    const bool several = Query1.RecordCount() > 1;
    LoadPoint(Query1.FieldByName(QStringLiteral("Pointnum")).AsInteger(), point);
    if (several) {
        point.Multiple = true;
    }
    return true;
}

bool TFcore::FindPointAtPixel(TPointRec& point, bool visibleOnly)
{
    point.Pointnum = -1;
    point.Multiple = false;
    const int32_t pxlx = point.Pxlx;
    const int32_t pxly = point.Pxly;
    if (!Table3.FindKey({CurrentDiagram, pxlx, pxly})) {
        return false;
    }
    // Rows come in index order; the walk stops at the second match.
    std::vector<int32_t> matches;
    while (!Table3.Eof() && Table3.FieldByName(QStringLiteral("Pxlx")).AsInteger() == pxlx &&
           Table3.FieldByName(QStringLiteral("Pxly")).AsInteger() == pxly &&
           Table3.FieldByName(QStringLiteral("Dgnum")).AsInteger() == CurrentDiagram) {
        if (!visibleOnly ||
            Table3.FieldByName(QStringLiteral("Rprts")).AsDateTime() == RedrawStamp) {
            matches.push_back(Table3.FieldByName(QStringLiteral("Pointnum")).AsInteger());
            if (matches.size() == 2) {
                break;
            }
        }
        Table3.Next();
    }
    if (matches.empty()) {
        return false;
    }
    LoadPoint(matches.back(), point);
    if (matches.size() == 2) {
        point.Multiple = true;
    }
    return true;
}

bool TFcore::PointHasText(int32_t pointnum)
{
    return Table4.FindKey({CurrentDiagram, pointnum});
}

void TFcore::InsertPoint(TPointRec& point)
{
    const bool numbered = point.Pointnum >= 0;
    NumberPoint(point);
    point.CreateTS = NowDateTime();
    AppendNumbered(Table2, point.Pointnum, numbered ? nullptr : &LastPointNum,
                   [&] { WritePointFields(point); });
}

bool TFcore::StorePoint(TPointRec& point)
{
    // A numbered point whose row is gone is stored again under its number.
    if (point.Pointnum >= 0 && Table2.FindKey({CurrentDiagram, point.Pointnum})) {
        Table2.Edit();
        tables::PostOrCancel(Table2, [&] { WritePointFields(point); });
        return true;
    }
    InsertPoint(point);
    return true;
}
