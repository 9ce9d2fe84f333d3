#include "tablestore/tablediagramrows.h"

#include "tablestore/core.h"

namespace
{

DiagramRow ReadRow(tables::DataSet& set)
{
    DiagramRow row;
    row.Dgnum = set.FieldByName(QStringLiteral("Dgnum")).AsInteger();
    row.Dgname = set.FieldByName(QStringLiteral("Dgname")).AsString();
    row.Units = set.FieldByName(QStringLiteral("Units")).AsString();
    row.RndgDP = set.FieldByName(QStringLiteral("RndgDP")).AsInteger();
    return row;
}

} // namespace

TableDiagramRows::TableDiagramRows(TFcore& core) : core_(core)
{
    Table1.TableName = QStringLiteral("drawing.db");
}

std::vector<DiagramRow> TableDiagramRows::List(bool byName)
{
    Query1.Close();
    Query1.database = &core_.Database1;
    Query1.DatabaseName = core_.Database1.DatabaseName;
    Query1.SetSQL(QStringLiteral("select d.*, lower(dgname) as lname from drawing.db d\n") +
                  (byName ? QStringLiteral("order by lname") : QStringLiteral("order by dgnum")));
    Query1.Open();
    std::vector<DiagramRow> rows;
    for (Query1.First(); !Query1.Eof(); Query1.Next()) {
        rows.push_back(ReadRow(Query1));
    }
    Query1.Close();
    return rows;
}

void TableDiagramRows::OpenTable1()
{
    if (Table1.Active()) {
        return;
    }
    Table1.database = &core_.Database1;
    Table1.DatabaseName = core_.Database1.DatabaseName;
    Table1.Open();
}

bool TableDiagramRows::FindRow(int32_t dgnum)
{
    if (dgnum < 1) {
        return false;
    }
    OpenTable1();
    return Table1.FindKey({dgnum});
}

int32_t TableDiagramRows::HighestNumber()
{
    OpenTable1();
    Table1.Last();
    if (Table1.Bof() && Table1.Eof()) {
        return 0;
    }
    return Table1.FieldByName(QStringLiteral("Dgnum")).AsInteger();
}

bool TableDiagramRows::Find(int32_t dgnum, DiagramRow& row)
{
    if (!FindRow(dgnum)) {
        return false;
    }
    row = ReadRow(Table1);
    return true;
}

void TableDiagramRows::Insert(const DiagramRow& row)
{
    OpenTable1();
    tables::Table& layers = core_.Table6;
    // A diagram without its first layer would draw nothing: both rows or
    // neither.
    core_.WriteGroup([&] {
        Table1.Append();
        tables::PostOrCancel(Table1, [&] {
            Table1.FieldByName(QStringLiteral("Dgnum")).SetInteger(row.Dgnum);
            Table1.FieldByName(QStringLiteral("Dgname")).SetString(row.Dgname);
            Table1.FieldByName(QStringLiteral("Units")).SetString(row.Units);
            Table1.FieldByName(QStringLiteral("RndgDP")).SetInteger(row.RndgDP);
        });
        TLayerRec first;
        InitLayer(first);
        layers.Append();
        tables::PostOrCancel(layers, [&] {
            layers.FieldByName(QStringLiteral("Dgnum")).SetInteger(row.Dgnum);
            layers.FieldByName(QStringLiteral("Layernum")).SetInteger(first.Layernum);
            layers.FieldByName(QStringLiteral("Name")).SetString(first.Name);
            layers.FieldByName(QStringLiteral("Visib")).SetInteger(first.Visib);
        });
    });
}

void TableDiagramRows::PostEdit(std::initializer_list<std::pair<QString, QVariant>> values)
{
    Table1.Edit();
    tables::PostOrCancel(Table1, [&] {
        for (const auto& [column, value] : values) {
            Table1.FieldByName(column).Value = value;
        }
    });
}

bool TableDiagramRows::Rename(int32_t dgnum, const QString& name)
{
    if (!FindRow(dgnum)) {
        return false;
    }
    PostEdit({{QStringLiteral("Dgname"), name}});
    return true;
}

bool TableDiagramRows::WriteUnits(int32_t dgnum, const QString& units, int32_t decimals)
{
    if (!FindRow(dgnum)) {
        return false;
    }
    PostEdit({{QStringLiteral("Units"), units}, {QStringLiteral("RndgDP"), decimals}});
    return true;
}
