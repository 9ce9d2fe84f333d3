#include "firebird/fbdiagramrows.h"

#include "firebird/corefb.h"
#include "firebird/fbtext.h"

namespace
{

// The name and units columns are fixed-width: they come back padded.
DiagramRow ReadRow(const FbQuery& q)
{
    DiagramRow row;
    row.Dgnum = q.FieldInt("DGNUM");
    row.Dgname = q.FieldText("DGNAME");
    TrimTrailingBlanks(row.Dgname);
    row.Units = q.FieldText("UNITS");
    TrimTrailingBlanks(row.Units);
    row.RndgDP = q.FieldInt("RNDGDP");
    return row;
}

} // namespace

FbDiagramRows::FbDiagramRows(TFcoreFb& core) : core_(core) {}

FbQuery& FbDiagramRows::Bound()
{
    core_.BindQuery(IBQuery1);
    return IBQuery1;
}

std::vector<DiagramRow> FbDiagramRows::List(bool byName)
{
    FbQuery& q = Bound();
    core_.RunSQL(
        q, QStringLiteral("select d.dgnum, d.dgname, d.units, d.rndgdp, lower(dgname) as "
                          "lname from drawing d") +
               (byName ? QStringLiteral(" order by lname") : QStringLiteral(" order by dgnum")));
    std::vector<DiagramRow> rows;
    for (q.First(); !q.Eof(); q.Next())
        rows.push_back(ReadRow(q));
    q.Close();
    return rows;
}

int32_t FbDiagramRows::HighestNumber()
{
    return core_.MaxColumnValue(QStringLiteral("drawing"), QStringLiteral("dgnum"));
}

bool FbDiagramRows::Find(int32_t dgnum, DiagramRow& row)
{
    if (dgnum < 1)
        return false;
    FbQuery& q = Bound();
    core_.RunSQL(
        q, QStringLiteral("select dgnum, dgname, units, rndgdp from drawing where dgnum = :dg"),
        {{"dg", dgnum}});
    if (q.IsEmpty())
        return false;
    row = ReadRow(q);
    q.Close();
    return true;
}

void FbDiagramRows::Insert(const DiagramRow& row)
{
    // A diagram without its first layer would draw nothing: both rows or
    // neither.
    core_.WriteGroup([&] {
        core_.RunStoreSQL(
            QStringLiteral("insert into drawing ( dgnum, dgname, units, rndgdp ) "
                           "values ( :dg , :name , :units , :dp )"),
            {{"dg", row.Dgnum}, {"name", row.Dgname}, {"units", row.Units}, {"dp", row.RndgDP}});
        TLayerRec first;
        InitLayer(first);
        core_.RunStoreSQL(
            QStringLiteral("insert into layer ( dgnum, layernum, layername, visib ) "
                           "values ( :dg , :n , :name , :v )"),
            {{"dg", row.Dgnum}, {"n", first.Layernum}, {"name", first.Name}, {"v", first.Visib}});
    });
}

bool FbDiagramRows::Rename(int32_t dgnum, const QString& name)
{
    return core_.RunStoreSQL(QStringLiteral("update drawing set dgname = :name where dgnum = :dg"),
                             {{"name", name}, {"dg", dgnum}}) > 0;
}

bool FbDiagramRows::WriteUnits(int32_t dgnum, const QString& units, int32_t decimals)
{
    return core_.RunStoreSQL(
               QStringLiteral("update drawing set units = :units , rndgdp = :dp where dgnum = :dg"),
               {{"units", units}, {"dp", decimals}, {"dg", dgnum}}) > 0;
}
