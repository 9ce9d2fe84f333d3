// The refresh's read of the open diagram and the writes of its fit and its
// stamp, on the table store. The read is two scans in number order, one of
// the points and one of the segments with their layers' visibility, their
// columns read straight into the records; the end points are joined to
// their segments in memory, which is several times cheaper than looking
// each one up in the point table, and so are the segments to the handful of
// layers of the diagram.

#include "store/core.h"

#include <QByteArray>
#include <algorithm>
#include <climits>
#include <utility>

namespace
{

const QString DiagramPointsSQL =
    QStringLiteral("SELECT Pointnum, Lenx, Leny, Pxlx, Pxly, Rprts, Layernum, CreateTS, Dgnum "
                   "FROM point.db WHERE (dgnum = :x) ORDER BY Pointnum");

const QString DiagramLayersSQL =
    QStringLiteral("SELECT Layernum, Visib FROM layer.db WHERE (dgnum = :x) ORDER BY Layernum");

// Stores written before the faint flag existed have no such column.
QString DiagramSegmentsSQL(bool withFaint)
{
    return QStringLiteral(
               "select s.segnum, s.segtype, s.mlenx, s.mleny, s.mlenz, s.frompt, s.topt, "
               "s.createts, s.layernum, s.dotted, s.xorflag, s.lenx1, s.lenx2, s.leny1, s.leny2, "
               "s.pxlx1, s.pxlx2, s.pxly1, s.pxly2%1\n"
               "from seg.db s where (s.dgnum = :x)\n"
               "order by s.segnum")
        .arg(withFaint ? QStringLiteral(", s.faint") : QString());
}

// A layer's visibility by its number; 0 for a layer without a row, as the
// left join of the visible sets gives it.
class LayerVisibility
{
  public:
    void Add(int32_t layernum, int32_t visib) { layers_.emplace_back(layernum, visib); }
    int32_t Of(int32_t layernum) const
    {
        const auto it =
            std::lower_bound(layers_.begin(), layers_.end(), std::make_pair(layernum, INT32_MIN));
        return it != layers_.end() && it->first == layernum ? it->second : 0;
    }

  private:
    std::vector<std::pair<int32_t, int32_t>> layers_; // by number
};

const QString PixelRewriteSQL = QStringLiteral(
    "UPDATE point.db SET Pxlx = ?1, Pxly = ?2 WHERE (dgnum = ?3) and (pointnum = ?4)");
const QString BoxRewriteSQL = QStringLiteral(
    "UPDATE seg.db SET Lenx1 = ?1, Leny1 = ?2, Lenx2 = ?3, Leny2 = ?4, Pxlx1 = ?5, Pxly1 = ?6, "
    "Pxlx2 = ?7, Pxly2 = ?8 WHERE (dgnum = ?9) and (segnum = ?10)");
// The numbers travel as one list, so the stamp is one statement that looks
// each point up by its key and reads nothing else.
const QString StampPointsSQL =
    QStringLiteral("update point.db set rprts = ?1\n"
                   "where (dgnum = ?2) and (pointnum in (select value from json_each(?3)))");

// Runs st to its end, resetting it however that ends.
template <typename Read> void StepAll(tables::Statement& st, Read read)
{
    try {
        while (st.Step())
            read();
    } catch (...) {
        st.Reset();
        throw;
    }
    st.Reset();
}

} // namespace

std::vector<TPointRec> TFcore::ReadDiagramPoints()
{
    std::vector<TPointRec> points;
    points.reserve(size_t(std::max(LastPointNum + 1, 0)));
    tables::Statement& st = Database1.Prepare(tables::MapTableNames(DiagramPointsSQL));
    st.BindInt(1, CurrentDiagram);
    StepAll(st, [&] {
        TPointRec& p = points.emplace_back();
        p.Pointnum = st.ColumnInt(0);
        p.Lenx = st.ColumnDouble(1);
        p.Leny = st.ColumnDouble(2);
        p.Pxlx = st.ColumnInt(3);
        p.Pxly = st.ColumnInt(4);
        p.Rprts = st.ColumnDouble(5);
        p.Layernum = st.ColumnInt(6);
        p.CreateTS = st.ColumnDouble(7);
        p.Dgnum = st.ColumnInt(8);
    });
    return points;
}

void TFcore::ReadDiagramSegments(DiagramContent& rows)
{
    LayerVisibility layers;
    tables::Statement& layerSt = Database1.Prepare(tables::MapTableNames(DiagramLayersSQL));
    layerSt.BindInt(1, CurrentDiagram);
    StepAll(layerSt, [&] { layers.Add(layerSt.ColumnInt(0), layerSt.ColumnInt(1)); });

    const bool withFaint = Database1.ColumnExists(QStringLiteral("seg"), QStringLiteral("faint"));
    tables::Statement& st = Database1.Prepare(tables::MapTableNames(DiagramSegmentsSQL(withFaint)));
    st.BindInt(1, CurrentDiagram);
    StepAll(st, [&] {
        TSegRec& seg = rows.Segments.emplace_back();
        seg.Segnum = st.ColumnInt(0);
        seg.SegType = st.ColumnInt(1);
        seg.Mlenx = st.ColumnDouble(2);
        seg.Mleny = st.ColumnDouble(3);
        seg.Mlenz = st.ColumnDouble(4);
        seg.FromPoint.Pointnum = st.ColumnInt(5);
        seg.ToPoint.Pointnum = st.ColumnInt(6);
        seg.CreateTS = st.ColumnDouble(7);
        seg.Layernum = st.ColumnInt(8);
        seg.Dotted = DottedFromColumn(st.ColumnInt64(9));
        seg.Xorflag = st.ColumnBool(10);
        seg.Lenx1 = st.ColumnDouble(11);
        seg.Lenx2 = st.ColumnDouble(12);
        seg.Leny1 = st.ColumnDouble(13);
        seg.Leny2 = st.ColumnDouble(14);
        seg.Pxlx1 = st.ColumnInt(15);
        seg.Pxlx2 = st.ColumnInt(16);
        seg.Pxly1 = st.ColumnInt(17);
        seg.Pxly2 = st.ColumnInt(18);
        seg.Faint = withFaint && st.ColumnBool(19);
        rows.Visib.push_back(layers.Of(seg.Layernum));
    });
}

DiagramContent TFcore::ReadDiagramContent()
{
    DiagramContent rows;
    rows.Points = ReadDiagramPoints();
    rows.Segments.reserve(size_t(std::max(LastSegNum + 1, 0)));
    rows.Visib.reserve(rows.Segments.capacity());
    ReadDiagramSegments(rows);
    return rows;
}

void TFcore::RefreshTables(std::initializer_list<tables::Table*> tables)
{
    // Their current rows were read before the write.
    for (tables::Table* t : tables) {
        if (t->Active())
            t->Refresh();
    }
}

void TFcore::RewritePointPixels(const std::vector<PixelRewrite>& rewrites)
{
    WriteGroup([&] {
        tables::Statement& st = Database1.Prepare(tables::MapTableNames(PixelRewriteSQL));
        for (const PixelRewrite& r : rewrites) {
            st.Reset();
            st.BindInt(1, r.Pxlx);
            st.BindInt(2, r.Pxly);
            st.BindInt(3, CurrentDiagram);
            st.BindInt(4, r.Pointnum);
            st.Run();
        }
    });
    RefreshTables({&Table2, &Table3});
}

void TFcore::RewriteSegmentBoxes(const std::vector<BoxRewrite>& rewrites)
{
    WriteGroup([&] {
        tables::Statement& st = Database1.Prepare(tables::MapTableNames(BoxRewriteSQL));
        for (const BoxRewrite& r : rewrites) {
            const SegmentBox& b = r.Box;
            st.Reset();
            st.BindDouble(1, b.Lenx1);
            st.BindDouble(2, b.Leny1);
            st.BindDouble(3, b.Lenx2);
            st.BindDouble(4, b.Leny2);
            st.BindInt(5, b.Pxlx1);
            st.BindInt(6, b.Pxly1);
            st.BindInt(7, b.Pxlx2);
            st.BindInt(8, b.Pxly2);
            st.BindInt(9, CurrentDiagram);
            st.BindInt(10, r.Segnum);
            st.Run();
        }
    });
    RefreshTables({&Table1});
}

void TFcore::StampPoints(const std::vector<int32_t>& pointnums)
{
    QByteArray list;
    list.reserve(qsizetype(pointnums.size()) * 7 + 2);
    list += '[';
    for (size_t i = 0; i < pointnums.size(); ++i) {
        if (i > 0)
            list += ',';
        list += QByteArray::number(pointnums[i]);
    }
    list += ']';
    WriteGroup([&] {
        tables::Statement& st = Database1.Prepare(tables::MapTableNames(StampPointsSQL));
        st.Reset();
        st.BindDouble(1, RedrawStamp);
        st.BindInt(2, CurrentDiagram);
        st.BindText(3, list);
        st.Run();
        st.Reset();
    });
    RefreshTables({&Table2, &Table3});
}
