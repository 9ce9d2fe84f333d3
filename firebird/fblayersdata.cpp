#include "firebird/fblayersdata.h"

#include "firebird/corefb.h"
#include "firebird/fbtext.h"

namespace
{

QString OrderLine(LayerOrder order)
{
    switch (order) {
    case LayerOrder::ById:
        return QStringLiteral(" order by layernum");
    case LayerOrder::ByVisibility:
        return QStringLiteral(" order by visib descending, layernum");
    case LayerOrder::ByName:
        break;
    }
    return QStringLiteral(" order by lname, layernum");
}

} // namespace

FbLayersData::FbLayersData(TFcoreFb& core) : core_(core) {}

FbQuery& FbLayersData::Bound()
{
    core_.BindQuery(IBQuery1);
    return IBQuery1;
}

std::vector<TLayerRec> FbLayersData::ListLayers(LayerOrder order)
{
    FbQuery& q = Bound();
    core_.RunSQL(q,
                 QStringLiteral("SELECT dgnum, layernum, layername, visib, lower(layername) as "
                                "lname from layer where dgnum = :dg") +
                     OrderLine(order),
                 {{"dg", core_.CurrentDiagram}});
    std::vector<TLayerRec> layers;
    for (q.First(); !q.Eof(); q.Next()) {
        TLayerRec layer;
        layer.Layernum = q.FieldInt("LAYERNUM");
        layer.Name = LayerName(q);
        layer.Visib = q.FieldInt("VISIB");
        layers.push_back(layer);
    }
    q.Close();
    return layers;
}

void FbLayersData::AddLayer(int32_t layernum, const QString& name)
{
    core_.RunStoreSQL(
        QStringLiteral("insert into layer ( dgnum, layernum, layername, visib ) "
                       "values ( :dg , :n , :name , :v )"),
        {{"dg", core_.CurrentDiagram}, {"n", layernum}, {"name", name}, {"v", VisibBold}});
}

bool FbLayersData::SetLayerVisibility(int32_t layernum, int32_t visib)
{
    return core_.RunStoreSQL(
               QStringLiteral("update layer set visib = :v where dgnum = :dg and layernum = :n"),
               {{"v", visib}, {"dg", core_.CurrentDiagram}, {"n", layernum}}) > 0;
}

bool FbLayersData::RenameLayer(int32_t layernum, const QString& name)
{
    return core_.RunStoreSQL(QStringLiteral("update layer set layername = :name where dgnum = "
                                            ":dg and layernum = :n"),
                             {{"name", name}, {"dg", core_.CurrentDiagram}, {"n", layernum}}) > 0;
}

int FbLayersData::CountLayerSegments(int32_t layernum)
{
    FbQuery& q = Bound();
    core_.RunSQL(
        q, QStringLiteral("select count(*) as ct from seg where dgnum = :dg and layernum = :n"),
        {{"dg", core_.CurrentDiagram}, {"n", layernum}});
    const int count = q.IsEmpty() ? 0 : q.FieldInt("CT");
    q.Close();
    return count;
}

void FbLayersData::DeleteLayerWithSegments(int32_t layernum)
{
    core_.WriteGroup([&] {
        // Points made in this program carry layer 0 whatever layer their
        // segments lie on: the layer's points are looked up before its
        // segments go.
        const std::vector<int32_t> points = PointsOfLayer(layernum);
        core_.RunStoreSQL(QStringLiteral("delete from seg where dgnum = :dg and layernum = :n"),
                          {{"dg", core_.CurrentDiagram}, {"n", layernum}});
        DeleteUnusedPoints(points);
        core_.DeleteLayer(layernum);
    });
}

std::vector<int32_t> FbLayersData::PointsOfLayer(int32_t layernum)
{
    FbQuery& q = Bound();
    core_.RunSQL(q,
                 QStringLiteral("select frompt as pt from seg where dgnum = :dg and layernum = :n "
                                "union select topt from seg where dgnum = :dg and layernum = :n "
                                "union select pointnum from point where dgnum = :dg and "
                                "layernum = :n"),
                 {{"dg", core_.CurrentDiagram}, {"n", layernum}});
    std::vector<int32_t> points;
    for (q.First(); !q.Eof(); q.Next())
        points.push_back(q.FieldInt("PT"));
    q.Close();
    return points;
}

void FbLayersData::DeleteUnusedPoints(const std::vector<int32_t>& points)
{
    // A point that a segment of another layer shares, or that carries a
    // label (labels stay), is still in use: it stays too.
    for (const int32_t point : points) {
        core_.RunStoreSQL(
            QStringLiteral("delete from point p where p.dgnum = :dg and p.pointnum = :p "
                           "and not exists (select 1 from seg s where s.dgnum = p.dgnum and "
                           "s.frompt = p.pointnum) "
                           "and not exists (select 1 from seg s where s.dgnum = p.dgnum and "
                           "s.topt = p.pointnum) "
                           "and not exists (select 1 from text t where t.dgnum = p.dgnum and "
                           "t.pointnum = p.pointnum)"),
            {{"dg", core_.CurrentDiagram}, {"p", point}});
    }
}

void FbLayersData::HideAllLayers()
{
    core_.HideAllLayers();
}

void FbLayersData::SaveProfile(int32_t profile, const std::vector<TLayerRec>& layers)
{
    core_.WriteGroup([&] {
        for (const TLayerRec& layer : layers) {
            core_.RunStoreSQL(QStringLiteral("update or insert into pflays (dgnum, pflnum, "
                                             "layernum, visib ) values ( :dg , :p , :n , :v ) "
                                             "matching ( dgnum, pflnum, layernum )"),
                              {{"dg", core_.CurrentDiagram},
                               {"p", profile},
                               {"n", layer.Layernum},
                               {"v", layer.Visib}});
        }
    });
}

std::vector<int32_t> FbLayersData::SegmentsInRange(int32_t from, int32_t to)
{
    FbQuery& q = Bound();
    core_.RunSQL(q,
                 QStringLiteral("select segnum from seg where (dgnum = :dg) and (segnum >= :a) "
                                "and (segnum <= :b) order by segnum"),
                 {{"dg", core_.CurrentDiagram}, {"a", from}, {"b", to}});
    std::vector<int32_t> segs;
    for (q.First(); !q.Eof(); q.Next())
        segs.push_back(q.FieldInt("SEGNUM"));
    q.Close();
    return segs;
}
