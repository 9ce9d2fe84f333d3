// The refresh's read of the open diagram and the writes of its fit and its
// stamp, on the table store. The read is two scans, one of the points and
// one of the segments with their layers' visibility, their columns read
// straight into the records; the end points are joined to
// their segments in memory, which is several times cheaper than looking
// each one up in the point table, and so are the segments and the labels
// to the handful of layers of the diagram.

#include "tablestore/core.h"

#include <QByteArray>
#include <algorithm>
#include <climits>
#include <sqlite3.h>
#include <tuple>
#include <utility>

namespace
{

// A diagram that fills a good part of its table is read in the table's own
// order, every row of the table passed once and the rows of other diagrams
// skipped (the unary plus keeps the key out of it): a walk of the key
// would look up each row in the table by its place, several times the cost.
// A diagram among many is read through the key, in number order. The rows
// are put in number order in memory either way.
QString DiagramRowsWhere(bool wholeTable)
{
    return wholeTable ? QStringLiteral("WHERE (+dgnum = :x)")
                      : QStringLiteral("WHERE (dgnum = :x)");
}

QString DiagramPointsSQL(bool wholeTable)
{
    return QStringLiteral("SELECT Pointnum, Lenx, Leny, Pxlx, Pxly FROM point.db ") +
           DiagramRowsWhere(wholeTable) +
           (wholeTable ? QString() : QStringLiteral(" ORDER BY Pointnum"));
}

const QString DiagramLayersSQL =
    QStringLiteral("SELECT Layernum, Visib FROM layer.db WHERE (dgnum = :x) ORDER BY Layernum");

const QString DiagramTextsSQL =
    QStringLiteral("SELECT Text, Pointnum, Layernum FROM text.db WHERE (dgnum = :x)");

// Stores written before the faint flag existed have no such column.
QString DiagramSegmentsSQL(bool withFaint, bool wholeTable)
{
    return QStringLiteral("select segnum, segtype, mlenx, frompt, topt, layernum, dotted, "
                          "xorflag, lenx1, lenx2, leny1, leny2, pxlx1, pxlx2, pxly1, pxly2%1\n"
                          "from seg.db ")
               .arg(withFaint ? QStringLiteral(", faint") : QString()) +
           DiagramRowsWhere(wholeTable) +
           (wholeTable ? QString() : QStringLiteral(" order by segnum"));
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
// A box length that is not a number is bound as NULL (the engine's NaN)
// and the column keeps what it holds.
const QString BoxRewriteSQL = QStringLiteral(
    "UPDATE seg.db SET Lenx1 = coalesce(?1, Lenx1), Leny1 = coalesce(?2, Leny1), "
    "Lenx2 = coalesce(?3, Lenx2), Leny2 = coalesce(?4, Leny2), Pxlx1 = ?5, Pxly1 = ?6, "
    "Pxlx2 = ?7, Pxly2 = ?8 WHERE (dgnum = ?9) and (segnum = ?10)");
// A new scale's rewrite over the whole diagram: each pixel from its
// length by the fit's own rule (length_pixel, LengthToPixel), only the rows
// that change written. ?1, ?2 the extents' minima, ?3 the scale, ?4, ?5
// the left and top margins, ?6 the diagram. A length that is not a number
// keeps its pixel (length_pixel's last argument), as the refresh's rows do.
// %1 is "+" where the table is passed whole (DiagramRowsWhere).
const QString PointPixelsFromLengthsSQL =
    QStringLiteral("UPDATE point.db SET Pxlx = length_pixel(Lenx, ?1, ?3, ?4, Pxlx), "
                   "Pxly = length_pixel(Leny, ?2, ?3, ?5, Pxly)\n"
                   "WHERE (%1dgnum = ?6) and ((Pxlx IS NOT length_pixel(Lenx, ?1, ?3, ?4, Pxlx)) "
                   "or (Pxly IS NOT length_pixel(Leny, ?2, ?3, ?5, Pxly)))");
const QString BoxPixelsFromLengthsSQL = QStringLiteral(
    "UPDATE seg.db SET Pxlx1 = length_pixel(Lenx1, ?1, ?3, ?4, Pxlx1), "
    "Pxlx2 = length_pixel(Lenx2, ?1, ?3, ?4, Pxlx2), "
    "Pxly1 = length_pixel(Leny1, ?2, ?3, ?5, Pxly1), "
    "Pxly2 = length_pixel(Leny2, ?2, ?3, ?5, Pxly2)\n"
    "WHERE (%1dgnum = ?6) and ((Pxlx1 IS NOT length_pixel(Lenx1, ?1, ?3, ?4, Pxlx1)) or "
    "(Pxlx2 IS NOT length_pixel(Lenx2, ?1, ?3, ?4, Pxlx2)) or "
    "(Pxly1 IS NOT length_pixel(Leny1, ?2, ?3, ?5, Pxly1)) or "
    "(Pxly2 IS NOT length_pixel(Leny2, ?2, ?3, ?5, Pxly2)))");

void LengthPixel(sqlite3_context* context, int, sqlite3_value** args)
{
    const int type = sqlite3_value_type(args[0]);
    if (type == SQLITE_TEXT || type == SQLITE_BLOB) {
        sqlite3_result_value(context, args[4]);
        return;
    }
    sqlite3_result_int(context,
                       LengthToPixel(sqlite3_value_double(args[0]), sqlite3_value_double(args[1]),
                                     sqlite3_value_double(args[2]), sqlite3_value_int(args[3])));
}

// A stamp of a few points looks each up by its key, the numbers travelling
// as one list; a stamp of a good part of the diagram passes the diagram's
// rows once and asks of each number whether it is drawn, which spares a
// search of the key for every point. It passes them as the refresh read
// them: in the table's own order when the diagram fills a good part of
// the table (a walk of the key would look up each row by its place), and
// along the key when the diagram is one among larger ones.
const QString StampListedPointsSQL =
    QStringLiteral("update point.db set rprts = ?1\n"
                   "where (dgnum = ?2) and (pointnum in (select value from json_each(?3)))");

QString StampDrawnPointsSQL(bool wholeTable)
{
    return QStringLiteral("update point.db set rprts = ?1\n"
                          "where (%1dgnum = ?2) and stamped_point(pointnum)")
        .arg(wholeTable ? QStringLiteral("+") : QString());
}

// stamped_point(n): whether n is among the numbers being stamped, looked
// up in the store's table of them.
void StampedPoint(sqlite3_context* context, int, sqlite3_value** args)
{
    const auto* numbers = static_cast<const std::vector<uint8_t>*>(sqlite3_user_data(context));
    const sqlite3_int64 n = sqlite3_value_int64(args[0]);
    sqlite3_result_int(context, n >= 0 && size_t(n) < numbers->size() && (*numbers)[size_t(n)]);
}

// The numbers as a JSON list.
QByteArray NumberList(const std::vector<int32_t>& numbers)
{
    QByteArray list;
    list.reserve(qsizetype(numbers.size()) * 7 + 2);
    list += '[';
    for (size_t i = 0; i < numbers.size(); ++i) {
        if (i > 0)
            list += ',';
        list += QByteArray::number(numbers[i]);
    }
    list += ']';
    return list;
}

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

// The visibility of the open diagram's layers.
LayerVisibility ReadLayerVisibility(tables::Database& db, int32_t diagram)
{
    LayerVisibility layers;
    tables::Statement& st = db.Prepare(tables::MapTableNames(DiagramLayersSQL));
    st.BindInt(1, diagram);
    StepAll(st, [&] { layers.Add(st.ColumnInt(0), st.ColumnInt(1)); });
    return layers;
}

} // namespace

bool TFcore::DiagramFillsTable(const QString& table, int32_t lastNumber)
{
    // The diagram's highest number stands for its size (it is never below
    // its row count) and the table's highest row id for the table's, so no
    // row is read to choose.
    tables::Statement& highest =
        Database1.Prepare(QStringLiteral("SELECT max(rowid) FROM %1").arg(table));
    int64_t tableRows = 0;
    StepAll(highest, [&] { tableRows = highest.ColumnInt64(0); });
    return (int64_t(std::max(lastNumber, 0)) + 1) * 4 >= tableRows;
}

void TFcore::ReadDiagramPoints(std::vector<ContentPoint>& points)
{
    const bool wholeTable = DiagramFillsTable(QStringLiteral("point"), LastPointNum);
    tables::Statement& st = Database1.Prepare(tables::MapTableNames(DiagramPointsSQL(wholeTable)));
    st.BindInt(1, CurrentDiagram);
    StepAll(st, [&] {
        ContentPoint& p = points.emplace_back();
        p.Pointnum = st.ColumnInt(0);
        // A length the engine could not take for a number is NaN, which
        // the refresh leaves out of the fit and the drawing.
        p.Lenx = st.ColumnNumber(1);
        p.Leny = st.ColumnNumber(2);
        p.Pxlx = st.ColumnInt(3);
        p.Pxly = st.ColumnInt(4);
    });
}

void TFcore::ReadDiagramSegments(std::vector<ContentSegment>& segs)
{
    const LayerVisibility layers = ReadLayerVisibility(Database1, CurrentDiagram);
    const bool withFaint = Database1.ColumnExists(QStringLiteral("seg"), QStringLiteral("faint"));
    const bool wholeTable = DiagramFillsTable(QStringLiteral("seg"), LastSegNum);
    tables::Statement& st =
        Database1.Prepare(tables::MapTableNames(DiagramSegmentsSQL(withFaint, wholeTable)));
    st.BindInt(1, CurrentDiagram);
    StepAll(st, [&] {
        ContentSegment& seg = segs.emplace_back();
        seg.Segnum = st.ColumnInt(0);
        seg.SegType = st.ColumnInt(1);
        seg.Mlenx = st.ColumnNumber(2);
        seg.FromPt = st.ColumnInt(3);
        seg.ToPt = st.ColumnInt(4);
        seg.Visib = layers.Of(st.ColumnInt(5));
        seg.Dotted = DottedFromColumn(st.ColumnInt64(6));
        seg.Xorflag = st.ColumnBool(7);
        SegmentBox& b = seg.Stored;
        b.Lenx1 = st.ColumnNumber(8);
        b.Lenx2 = st.ColumnNumber(9);
        b.Leny1 = st.ColumnNumber(10);
        b.Leny2 = st.ColumnNumber(11);
        b.Pxlx1 = st.ColumnInt(12);
        b.Pxlx2 = st.ColumnInt(13);
        b.Pxly1 = st.ColumnInt(14);
        b.Pxly2 = st.ColumnInt(15);
        seg.Faint = withFaint && st.ColumnBool(16);
    });
}

void TFcore::ReadDiagramContent(DiagramContent& rows)
{
    ReadDiagramPoints(rows.Points);
    ReadDiagramSegments(rows.Segments);
}

void TFcore::OpenVisibleText()
{
    // The labels on visible layers, in the order they are drawn: by their
    // layer's visibility, then by point. Each label's layer is one of the
    // handful read first and the order is made in memory, which spares the
    // engine a lookup of the layer for every label and a sort of them all.
    const LayerVisibility layers = ReadLayerVisibility(Database1, CurrentDiagram);
    std::vector<VisibleTextRow> rows;
    tables::Statement& st = Database1.Prepare(tables::MapTableNames(DiagramTextsSQL));
    st.BindInt(1, CurrentDiagram);
    StepAll(st, [&] {
        const int32_t visib = layers.Of(st.ColumnInt(2));
        if (visib > 0)
            rows.push_back({st.ColumnText(0), st.ColumnInt(1), visib});
    });
    std::sort(rows.begin(), rows.end(), [](const VisibleTextRow& a, const VisibleTextRow& b) {
        return std::tie(a.Visib, a.Pointnum) < std::tie(b.Visib, b.Pointnum);
    });
    VisibleTexts.Assign(std::move(rows));
}

void TFcore::AddRefreshFunctions()
{
    sqlite3* db = Database1.Handle();
    if (sqlite3_create_function_v2(db, "length_pixel", 5,
                                   SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY, nullptr,
                                   &LengthPixel, nullptr, nullptr, nullptr) != SQLITE_OK ||
        sqlite3_create_function_v2(db, "stamped_point", 1, SQLITE_UTF8 | SQLITE_DIRECTONLY,
                                   &stampSet_, &StampedPoint, nullptr, nullptr,
                                   nullptr) != SQLITE_OK)
        throw tables::EngineError(sqlite3_errmsg(db));
}

bool TFcore::RewritePixelsFromLengths(bool boxes)
{
    WriteGroup([&] {
        RewriteTablePixels(QStringLiteral("point"), PointPixelsFromLengthsSQL, LastPointNum);
        if (boxes)
            RewriteTablePixels(QStringLiteral("seg"), BoxPixelsFromLengthsSQL, LastSegNum);
    });
    RefreshTables({&Table1, &Table2, &Table3});
    return true;
}

void TFcore::RewriteTablePixels(const QString& table, const QString& sql, int32_t lastNumber)
{
    // Where the diagram fills the table, the indexes keyed on pixels are
    // made again after the rewrite, from their own definitions, rather
    // than kept up to date row by row: a fraction of the work, and the
    // same indexes at the end. A diagram among many is rewritten with
    // them in place.
    const bool wholeTable = DiagramFillsTable(table, lastNumber);
    std::vector<IndexDefinition> indexes =
        wholeTable ? PixelIndexes(table) : std::vector<IndexDefinition>();
    for (auto index = indexes.begin(); index != indexes.end(); ++index) {
        try {
            Database1.Execute(QStringLiteral("DROP INDEX %1").arg(index->Name));
        } catch (const tables::EngineError&) {
            // The engine drops nothing while another statement is reading;
            // the indexes still there are kept up to date as the rows change.
            indexes.erase(index, indexes.end());
            break;
        }
    }
    tables::Statement& st = Database1.Prepare(
        tables::MapTableNames(sql.arg(wholeTable ? QStringLiteral("+") : QString())));
    st.Reset();
    st.BindDouble(1, MinLenX);
    st.BindDouble(2, MinLenY);
    st.BindDouble(3, Scale);
    st.BindInt(4, MarginLeft);
    st.BindInt(5, MarginTop);
    st.BindInt(6, CurrentDiagram);
    st.Run();
    st.Reset();
    for (const IndexDefinition& index : indexes)
        Database1.Execute(index.Sql);
}

std::vector<TFcore::IndexDefinition> TFcore::PixelIndexes(const QString& table)
{
    // Indexes whose definitions name a pixel column (pxlx, pxly, pxlx1, ...).
    tables::Statement& st = Database1.Prepare(
        QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = 'index' AND tbl_name = ?1 "
                       "AND sql IS NOT NULL AND sql LIKE '%pxl%'"));
    st.BindText(1, table.toUtf8());
    std::vector<IndexDefinition> indexes;
    StepAll(st, [&] { indexes.push_back({st.ColumnText(0), st.ColumnText(1)}); });
    return indexes;
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
    if (pointnums.empty())
        return;
    const size_t highest = size_t(std::max(pointnums.back(), 0));
    const bool walk = pointnums.size() * 8 >= size_t(std::max(LastPointNum + 1, 0)) &&
                      highest < 4 * pointnums.size() + 1024;
    const QString sql =
        walk ? StampDrawnPointsSQL(DiagramFillsTable(QStringLiteral("point"), LastPointNum))
             : StampListedPointsSQL;
    WriteGroup([&] {
        tables::Statement& st = Database1.Prepare(tables::MapTableNames(sql));
        st.Reset();
        st.BindDouble(1, RedrawStamp);
        st.BindInt(2, CurrentDiagram);
        if (walk) {
            stampSet_.assign(highest + 1, 0);
            for (const int32_t n : pointnums)
                stampSet_[size_t(n)] = 1;
        } else {
            st.BindText(3, NumberList(pointnums));
        }
        st.Run();
        st.Reset();
    });
    RefreshTables({&Table2, &Table3});
}
