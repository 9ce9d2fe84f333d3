#include "tablestore/tablelayersdata.h"

#include "tablestore/core.h"

namespace
{

const QString BaseLayerList = QStringLiteral(
    "SELECT dgnum, layernum, name, visib, lower(name) as lname from layer.db where dgnum = :x");

QString OrderLine(LayerOrder order)
{
    switch (order) {
    case LayerOrder::ById:
        return QStringLiteral("order by layernum");
    case LayerOrder::ByVisibility:
        // SQLite knows only the short form of "descending".
        return QStringLiteral("order by visib desc");
    case LayerOrder::ByName:
        break;
    }
    return QStringLiteral("order by lname");
}

// Binds a query of the window's own to the store's database.
void BindToStore(tables::Query& query, TFcore& core)
{
    query.DatabaseName = core.Database1.DatabaseName;
    query.database = &core.Database1;
}

} // namespace

TableLayersData::TableLayersData(TFcore& core) : core_(core) {}

std::vector<TLayerRec> TableLayersData::ListLayers(LayerOrder order)
{
    tables::Query query;
    BindToStore(query, core_);
    query.SetSQL(BaseLayerList + '\n' + OrderLine(order));
    query.ParamByName(QStringLiteral("x")).SetInteger(core_.CurrentDiagram);
    query.Open();
    std::vector<TLayerRec> layers;
    for (query.First(); !query.Eof(); query.Next()) {
        TLayerRec layer;
        layer.Layernum = query.FieldByName(QStringLiteral("layernum")).AsInteger();
        layer.Name = query.FieldByName(QStringLiteral("name")).AsString();
        layer.Visib = query.FieldByName(QStringLiteral("visib")).AsInteger();
        layers.push_back(layer);
    }
    return layers;
}

void TableLayersData::AddLayer(int32_t layernum, const QString& name)
{
    tables::Table& table = core_.Table6;
    core_.WriteGroup([&] {
        table.Append();
        tables::PostOrCancel(table, [&] {
            table.FieldByName(QStringLiteral("Dgnum")).SetInteger(core_.CurrentDiagram);
            table.FieldByName(QStringLiteral("Layernum")).SetInteger(layernum);
            table.FieldByName(QStringLiteral("Name")).SetString(name);
            table.FieldByName(QStringLiteral("Visib")).SetInteger(VisibBold);
        });
    });
}

bool TableLayersData::WriteLayerField(int32_t layernum, const QString& field, const QVariant& value)
{
    tables::Table& table = core_.Table6;
    bool found = false;
    core_.WriteGroup([&] {
        found = table.FindKey({core_.CurrentDiagram, layernum});
        if (!found) {
            return;
        }
        table.Edit();
        tables::PostOrCancel(table, [&] { table.FieldByName(field).Value = value; });
    });
    return found;
}

bool TableLayersData::SetLayerVisibility(int32_t layernum, int32_t visib)
{
    return WriteLayerField(layernum, QStringLiteral("Visib"), visib);
}

bool TableLayersData::RenameLayer(int32_t layernum, const QString& name)
{
    return WriteLayerField(layernum, QStringLiteral("Name"), name);
}

std::vector<int32_t> TableLayersData::SegmentsOfLayer(int32_t layernum)
{
    tables::Query& query = core_.Query8;
    query.Close();
    query.ParamByName(QStringLiteral("x1")).SetInteger(core_.CurrentDiagram);
    query.ParamByName(QStringLiteral("x2")).SetInteger(layernum);
    query.Open();
    std::vector<int32_t> segs;
    for (query.First(); !query.Eof(); query.Next()) {
        segs.push_back(query.FieldByName(QStringLiteral("Segnum")).AsInteger());
    }
    return segs;
}

int TableLayersData::CountLayerSegments(int32_t layernum)
{
    return static_cast<int>(SegmentsOfLayer(layernum).size());
}

void TableLayersData::DeleteLayerWithSegments(int32_t layernum)
{
    const std::vector<int32_t> segs = SegmentsOfLayer(layernum);
    core_.WriteGroup([&] {
        for (const int32_t segnum : segs) {
            core_.DeleteSegment(core_.CurrentDiagram, segnum);
        }
        core_.DeleteLayer(layernum);
    });
}

void TableLayersData::HideAllLayers()
{
    const std::vector<TLayerRec> layers = ListLayers(LayerOrder::ById);
    core_.WriteGroup([&] {
        for (const TLayerRec& layer : layers) {
            SetLayerVisibility(layer.Layernum, VisibHidden);
        }
    });
}

void TableLayersData::SaveProfile(int32_t profile, const std::vector<TLayerRec>& layers)
{
    tables::Table& table = core_.Table7;
    core_.WriteGroup([&] {
        for (const TLayerRec& layer : layers) {
            if (table.FindKey({core_.CurrentDiagram, profile, layer.Layernum})) {
                table.Edit();
            } else {
                table.Append();
            }
            tables::PostOrCancel(table, [&] {
                table.FieldByName(QStringLiteral("Dgnum")).SetInteger(core_.CurrentDiagram);
                table.FieldByName(QStringLiteral("Pflnum")).SetInteger(profile);
                table.FieldByName(QStringLiteral("Layernum")).SetInteger(layer.Layernum);
                table.FieldByName(QStringLiteral("Visib")).SetInteger(layer.Visib);
            });
        }
    });
}

std::vector<int32_t> TableLayersData::SegmentsInRange(int32_t from, int32_t to)
{
    tables::Query query;
    BindToStore(query, core_);
    query.SetSQL(QStringLiteral("select segnum from seg.db where (dgnum = :x) and (segnum >= :a) "
                                "and (segnum <= :b)\norder by segnum"));
    query.ParamByName(QStringLiteral("x")).SetInteger(core_.CurrentDiagram);
    query.ParamByName(QStringLiteral("a")).SetInteger(from);
    query.ParamByName(QStringLiteral("b")).SetInteger(to);
    query.Open();
    std::vector<int32_t> segs;
    for (query.First(); !query.Eof(); query.Next()) {
        segs.push_back(query.Fields(0).AsInteger());
    }
    return segs;
}
