// Points of the open diagram in the POINT table.

#include "firebird/corefb.h"

#include "firebird/fbtimestamp.h"
#include "library/calendar.h"
#include "library/messages.h"

namespace
{

const QString PointByNumberSQL =
    QStringLiteral("select * from point where dgnum = :dg and pointnum = :n");
const QString PointAtLengthSQL = QStringLiteral("SELECT * FROM point pdb\n"
                                                "WHERE (pdb.lenx = :x) and (pdb.leny = :y) and "
                                                "(pdb.dgnum = :z)");
const QString PointAtPixelSQL =
    QStringLiteral("select * from point where dgnum = :dg and pxlx = :px and pxly = :py");
const QString VisiblePointAtPixelSQL = PointAtPixelSQL + QStringLiteral(" and rprts = :ts");
const QString PointsNearPixelSQL = QStringLiteral(
    "select * from point where dgnum = :dg and pxlx > :x1 and pxlx < :x2 and pxly > :y1 and "
    "pxly < :y2");
const QString InsertPointSQL = QStringLiteral(
    "insert into point ( dgnum , pointnum , lenx , leny , pxlx , pxly , rprts , layernum , "
    "createts ) values ( :dg , :n , :lx , :ly , :px , :py , :ts , :ln , :cts )");
const QString UpdatePointSQL = QStringLiteral(
    "update point set lenx = :lx , leny = :ly , pxlx = :px , pxly = :py , rprts = :ts , "
    "layernum = :ln where dgnum = :dg and pointnum = :n");

// The row with the lowest point number: the same one whatever order the
// engine returns the rows in.
void StandOnLowestNumber(FbQuery& rows)
{
    int best = -1;
    int bestRow = 0;
    int at = 0;
    for (rows.First(); !rows.Eof(); rows.Next(), ++at) {
        const int n = rows.FieldInt("POINTNUM");
        if (best < 0 || n < best) {
            best = n;
            bestRow = at;
        }
    }
    rows.First();
    for (int i = 0; i < bestRow; ++i)
        rows.Next();
}

} // namespace

void TFcoreFb::ReadPointFields(const FbQuery& row, TPointRec& point) const
{
    point.Dgnum = row.FieldInt("DGNUM");
    point.Pointnum = row.FieldInt("POINTNUM");
    point.Lenx = row.FieldFloat("LENX");
    point.Leny = row.FieldFloat("LENY");
    point.Pxlx = row.FieldInt("PXLX");
    point.Pxly = row.FieldInt("PXLY");
    point.Rprts = FromTimestamp(row.Field("RPRTS"));
    point.Layernum = row.FieldInt("LAYERNUM");
    point.CreateTS = FromTimestamp(row.Field("CREATETS"));
}

bool TFcoreFb::LoadPoint(int32_t pointnum, TPointRec& point)
{
    InitPoint(point);
    RunSQL(IBTable2, PointByNumberSQL, {{"dg", CurrentDiagram}, {"n", pointnum}});
    if (IBTable2.IsEmpty())
        return false;
    ReadPointFields(IBTable2, point);
    return true;
}

bool TFcoreFb::FindPointAtLength(TPointRec& point)
{
    RunSQL(IBQuery1, PointAtLengthSQL,
           {{"x", point.Lenx}, {"y", point.Leny}, {"z", CurrentDiagram}});
    point.Pointnum = -1;
    point.Multiple = false;
    if (IBQuery1.IsEmpty()) {
        point.Pxlx = LenToPixelX(point.Lenx);
        point.Pxly = LenToPixelY(point.Leny);
        return false;
    }
    const bool several = IBQuery1.RecordCount() > 1;
    StandOnLowestNumber(IBQuery1);
    LoadPoint(IBQuery1.FieldInt("POINTNUM"), point);
    point.Multiple = several;
    return true;
}

bool TFcoreFb::FindPointAtPixel(TPointRec& point, bool visibleOnly)
{
    point.Pointnum = -1;
    FbParams params{{"dg", CurrentDiagram}, {"px", point.Pxlx}, {"py", point.Pxly}};
    if (visibleOnly)
        params.push_back({"ts", TimestampParam(RedrawStamp)});
    RunSQL(IBTable2, visibleOnly ? VisiblePointAtPixelSQL : PointAtPixelSQL, params);
    // Whatever an earlier lookup said of the record: several points share
    // this pixel or not.
    point.Multiple = IBTable2.RecordCount() > 1;
    if (IBTable2.IsEmpty())
        return false;
    StandOnLowestNumber(IBTable2);
    const bool several = point.Multiple;
    ReadPointFields(IBTable2, point);
    point.Multiple = several;
    return true;
}

bool TFcoreFb::FindPointNear(int32_t pxlx, int32_t pxly, TPointRec& found)
{
    const int32_t beyond = NearPointReach + 1;
    RunSQL(IBTable2, PointsNearPixelSQL,
           {{"dg", CurrentDiagram},
            {"x1", pxlx - beyond},
            {"x2", pxlx + beyond},
            {"y1", pxly - beyond},
            {"y2", pxly + beyond}});
    // The nearest of the square's points, the lowest number among equally
    // near ones: never whichever row the engine happens to return first.
    int64_t best = -1;
    TPointRec point;
    for (IBTable2.First(); !IBTable2.Eof(); IBTable2.Next()) {
        ReadPointFields(IBTable2, point);
        const int64_t dx = point.Pxlx - pxlx;
        const int64_t dy = point.Pxly - pxly;
        const int64_t d = dx * dx + dy * dy;
        if (best < 0 || d < best || (d == best && point.Pointnum < found.Pointnum)) {
            best = d;
            found = point;
            found.Multiple = false;
        }
    }
    return best >= 0;
}

bool TFcoreFb::PointHasText(int32_t pointnum)
{
    RunSQL(IBTable4, QStringLiteral("select * from text where dgnum = :dg and pointnum = :n"),
           {{"dg", CurrentDiagram}, {"n", pointnum}});
    return !IBTable4.IsEmpty();
}

void TFcoreFb::InsertPointRow(TPointRec& point)
{
    RunStoreSQL(InsertPointSQL, {{"dg", CurrentDiagram},
                                 {"n", point.Pointnum},
                                 {"lx", point.Lenx},
                                 {"ly", point.Leny},
                                 {"px", point.Pxlx},
                                 {"py", point.Pxly},
                                 {"ts", TimestampParam(point.Rprts)},
                                 {"ln", point.Layernum},
                                 {"cts", TimestampParam(point.CreateTS)}});
}

bool TFcoreFb::UpdatePointRow(const TPointRec& point)
{
    return RunStoreSQL(UpdatePointSQL, {{"lx", point.Lenx},
                                        {"ly", point.Leny},
                                        {"px", point.Pxlx},
                                        {"py", point.Pxly},
                                        {"ts", TimestampParam(point.Rprts)},
                                        {"ln", point.Layernum},
                                        {"dg", CurrentDiagram},
                                        {"n", point.Pointnum}}) > 0;
}

void TFcoreFb::InsertPoint(TPointRec& point)
{
    WriteGroup([&] {
        NumberPoint(point);
        point.CreateTS = NowDateTime();
        // One statement writes the whole row: the lengths as they were
        // typed, never rounded to the diagram's decimals.
        InsertPointRow(point);
    });
}

bool TFcoreFb::StorePoint(TPointRec& point)
{
    if (point.Pointnum < 0) {
        InsertPoint(point);
        return true;
    }
    bool stored = false;
    WriteGroup([&] { stored = UpdatePointRow(point); });
    if (!stored)
        ReportRowNotFound(QStringLiteral("Point"), point.Pointnum);
    return stored;
}
