// The refresh's read of the open diagram and the writes of its fit and its
// stamp, on the Firebird store. The read is one scan of the diagram's
// points and one of its segments, in whatever order the engine finds them
// fastest (the common part puts them in number order); each segment's
// layer visibility comes from the handful of layers read first, not from a
// join row by row.

#include "firebird/corefb.h"

#include "firebird/fbtimestamp.h"
#include "store/coords.h"

#include <QByteArray>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>
#include <utility>
#include <vector>

namespace
{

const QString DiagramPointsSQL =
    QStringLiteral("select pointnum, lenx, leny, pxlx, pxly from point where dgnum = :x");
const QString DiagramLayersSQL =
    QStringLiteral("select layernum, visib from layer where dgnum = :x");
const QString DiagramSegmentsSQL = QStringLiteral(
    "select segnum, segtype, mlenx, frompt, topt, layernum, dotted, xorflag, lenx1, lenx2, "
    "leny1, leny2, pxlx1, pxlx2, pxly1, pxly2, faint from seg where dgnum = :x");
const QString PixelRewriteSQL =
    QStringLiteral("update point set pxlx = :px , pxly = :py where dgnum = :dg and pointnum = :n");
const QString BoxRewriteSQL = QStringLiteral(
    "update seg set lenx1 = :lx1 , leny1 = :ly1 , lenx2 = :lx2 , leny2 = :ly2 , pxlx1 = :px1 , "
    "pxly1 = :py1 , pxlx2 = :px2 , pxly2 = :py2 where dgnum = :dg and segnum = :n");
const QString StampedPointsSQL = QStringLiteral(
    "select pointnum, pxlx, pxly from point where dgnum = :x and rprts = :ts order by pointnum");

// The stamp goes to runs of consecutive point numbers, each run one lookup
// of a range of the key: "first:last," after each other in one text, taken
// apart by the engine. A diagram's drawn points are mostly long runs, so a
// whole redraw is stamped by one statement in the engine, not one call per
// point; a very scattered set takes one statement per text of runs.
const QString StampRunsSQL = QStringLiteral(
    "execute block (ts timestamp = ?, dg integer = ?, runs varchar(8000) character set ascii "
    "= ?) as\n"
    "declare p integer = 1; declare c integer; declare k integer;\n"
    "declare a integer; declare b integer;\n"
    "begin\n"
    "  while (p < char_length(runs)) do begin\n"
    "    c = position(':', runs, p); k = position(',', runs, c);\n"
    "    a = cast(substring(runs from p for c - p) as integer);\n"
    "    b = cast(substring(runs from c + 1 for k - c - 1) as integer);\n"
    "    update point set rprts = :ts where dgnum = :dg and pointnum between :a and :b;\n"
    "    p = k + 1;\n"
    "  end\n"
    "end");
// The engine takes a text parameter of at most 8191 characters here (it
// arrives as UTF-8, four bytes a character at most, within 32 KiB).
constexpr qsizetype RunsTextLimit = 8000;

// A fit that changes the scale rewrites every point and segment of the
// diagram. A call into the engine for each row costs it far more than the
// row's own update, so the rows go in blocks of many, each block one call
// that updates its rows one after the other; the rows left over go in
// blocks of one.
constexpr int PixelBlockRows = 64;
constexpr int BoxBlockRows = 32;

// "execute block (dg integer = ?, <each row's values> = ?) as begin <the
// update once per row> end": a row's values are the update's names with
// the row's index appended, bound in the order they are named here.
QString BlockOf(const QString& update, const std::vector<std::pair<QString, QString>>& values,
                int rows)
{
    QStringList declarations{QStringLiteral("dg integer = ?")};
    QString body;
    for (int r = 0; r < rows; ++r) {
        QString statement = update + QLatin1Char(' ');
        for (const auto& [name, type] : values) {
            const QString mine = name + QString::number(r);
            declarations << mine + QLatin1Char(' ') + type + QStringLiteral(" = ?");
            statement.replace(QLatin1Char(':') + name + QLatin1Char(' '),
                              QLatin1Char(':') + mine + QLatin1Char(' '));
        }
        body += statement + QStringLiteral(";\n");
    }
    return QStringLiteral("execute block (") + declarations.join(QStringLiteral(", ")) +
           QStringLiteral(") as begin\n") + body + QStringLiteral("end");
}

const std::vector<std::pair<QString, QString>> PixelValues = {
    {QStringLiteral("px"), QStringLiteral("integer")},
    {QStringLiteral("py"), QStringLiteral("integer")},
    {QStringLiteral("n"), QStringLiteral("integer")}};
const std::vector<std::pair<QString, QString>> BoxValues = {
    {QStringLiteral("lx1"), QStringLiteral("double precision")},
    {QStringLiteral("ly1"), QStringLiteral("double precision")},
    {QStringLiteral("lx2"), QStringLiteral("double precision")},
    {QStringLiteral("ly2"), QStringLiteral("double precision")},
    {QStringLiteral("px1"), QStringLiteral("integer")},
    {QStringLiteral("py1"), QStringLiteral("integer")},
    {QStringLiteral("px2"), QStringLiteral("integer")},
    {QStringLiteral("py2"), QStringLiteral("integer")},
    {QStringLiteral("n"), QStringLiteral("integer")}};
const QString PixelBlockSQL = BlockOf(PixelRewriteSQL, PixelValues, PixelBlockRows);
const QString PixelRowSQL = BlockOf(PixelRewriteSQL, PixelValues, 1);
const QString BoxBlockSQL = BlockOf(BoxRewriteSQL, BoxValues, BoxBlockRows);
const QString BoxRowSQL = BlockOf(BoxRewriteSQL, BoxValues, 1);

// A new scale's rewrite over the whole diagram, each pixel from its length
// by the fit's rule (LengthToPixel) in the engine's double arithmetic: the
// product clamped to the pixel range, rounded half to even, the margin
// added and the sum clamped again. The engine's own rounding takes halves
// away from zero, so the halves are settled by floor and parity here.
QString Clamped(const QString& v)
{
    return QStringLiteral("minvalue(maxvalue(%1, -2147483648e0), 2147483647e0)").arg(v);
}

QString LengthPixel(const QString& length, const QString& min, const QString& margin)
{
    // A NULL length reads as 0, as the rows read for the refresh give it.
    const QString t = Clamped(QStringLiteral("(coalesce(%1, 0e0) - :%2) * :sc").arg(length, min));
    const QString r = QStringLiteral("floor(%1)").arg(t);
    const QString up = QStringLiteral("case when (%1 - %2 > 0.5e0) or ((%1 - %2 = 0.5e0) and "
                                      "(%2 - 2e0 * floor(%2 / 2e0) <> 0e0)) then 1e0 else 0e0 end")
                           .arg(t, r);
    return Clamped(QStringLiteral("%1 + %2 + :%3").arg(r, up, margin));
}

// "execute block (the fit's values) as begin update <table> set <each
// pixel column from its length> where the diagram's row has a pixel that
// differs end": pixels are (pixel column, length column, x or y).
QString FromLengthsSQL(const QString& table,
                       const std::vector<std::tuple<QString, QString, bool>>& pixels)
{
    QStringList sets;
    QStringList differs;
    for (const auto& [pixel, length, x] : pixels) {
        const QString value = LengthPixel(length, x ? QStringLiteral("mnx") : QStringLiteral("mny"),
                                          x ? QStringLiteral("ml") : QStringLiteral("mt"));
        sets << pixel + QStringLiteral(" = ") + value;
        differs << QStringLiteral("(%1 is distinct from %2)").arg(pixel, value);
    }
    return QStringLiteral("execute block (mnx double precision = ?, mny double precision = ?, "
                          "sc double precision = ?, ml integer = ?, mt integer = ?, dg integer = "
                          "?) as begin\nupdate %1 set %2\nwhere dgnum = :dg and (%3);\nend")
        .arg(table, sets.join(QStringLiteral(", ")), differs.join(QStringLiteral(" or ")));
}

const QString PointPixelsFromLengthsSQL = FromLengthsSQL(
    QStringLiteral("point"), {{QStringLiteral("pxlx"), QStringLiteral("lenx"), true},
                              {QStringLiteral("pxly"), QStringLiteral("leny"), false}});
const QString BoxPixelsFromLengthsSQL = FromLengthsSQL(
    QStringLiteral("seg"), {{QStringLiteral("pxlx1"), QStringLiteral("lenx1"), true},
                            {QStringLiteral("pxlx2"), QStringLiteral("lenx2"), true},
                            {QStringLiteral("pxly1"), QStringLiteral("leny1"), false},
                            {QStringLiteral("pxly2"), QStringLiteral("leny2"), false}});

// Binds a row's values from position at on, in the order of PixelValues
// and BoxValues; the position after them.
int BindPixels(ibase::Statement& st, int at, const PixelRewrite& r)
{
    st.SetParam(at++, r.Pxlx);
    st.SetParam(at++, r.Pxly);
    st.SetParam(at++, r.Pointnum);
    return at;
}

int BindBox(ibase::Statement& st, int at, const BoxRewrite& r)
{
    const SegmentBox& b = r.Box;
    for (const double len : {b.Lenx1, b.Leny1, b.Lenx2, b.Leny2})
        st.SetParam(at++, len);
    for (const int32_t px : {b.Pxlx1, b.Pxly1, b.Pxlx2, b.Pxly2})
        st.SetParam(at++, px);
    st.SetParam(at++, r.Segnum);
    return at;
}

template <typename Row, typename Bind>
void RewriteInBlocks(const std::vector<Row>& rows, ibase::Statement& block, ibase::Statement& one,
                     int32_t dgnum, Bind bind)
{
    const size_t perBlock = size_t(block.ParamCount() - 1) / size_t(one.ParamCount() - 1);
    size_t i = 0;
    for (; i + perBlock <= rows.size(); i += perBlock) {
        block.SetParam(0, dgnum);
        int at = 1;
        for (size_t k = i; k < i + perBlock; ++k)
            at = bind(block, at, rows[k]);
        block.Execute();
    }
    for (; i < rows.size(); ++i) {
        one.SetParam(0, dgnum);
        bind(one, 1, rows[i]);
        one.Execute();
    }
}

// The runs of the ascending numbers, as texts that each fit the statement.
std::vector<QByteArray> RunTexts(const std::vector<int32_t>& numbers)
{
    std::vector<QByteArray> texts(1);
    for (size_t i = 0; i < numbers.size();) {
        size_t j = i;
        while (j + 1 < numbers.size() && numbers[j + 1] == numbers[j] + 1)
            ++j;
        const QByteArray run =
            QByteArray::number(numbers[i]) + ':' + QByteArray::number(numbers[j]) + ',';
        if (texts.back().size() + run.size() > RunsTextLimit)
            texts.emplace_back();
        texts.back() += run;
        i = j + 1;
    }
    return texts;
}

} // namespace

void TFcoreFb::ReadDiagramPoints(std::vector<ContentPoint>& points)
{
    ibase::Statement& st = Prepared(DiagramPointsSQL);
    st.SetParam(QStringLiteral("x"), CurrentDiagram);
    st.Execute();
    while (st.Fetch()) {
        ContentPoint& p = points.emplace_back();
        p.Pointnum = st.ColumnInt(0);
        p.Lenx = st.ColumnDouble(1);
        p.Leny = st.ColumnDouble(2);
        p.Pxlx = st.ColumnInt(3);
        p.Pxly = st.ColumnInt(4);
    }
}

void TFcoreFb::ReadDiagramSegments(std::vector<ContentSegment>& segs)
{
    // A segment whose layer has no row is on no visible layer.
    std::map<int32_t, int32_t> visibility;
    ibase::Statement& layers = Prepared(DiagramLayersSQL);
    layers.SetParam(QStringLiteral("x"), CurrentDiagram);
    layers.Execute();
    while (layers.Fetch())
        visibility[layers.ColumnInt(0)] = layers.ColumnInt(1);

    ibase::Statement& st = Prepared(DiagramSegmentsSQL);
    st.SetParam(QStringLiteral("x"), CurrentDiagram);
    st.Execute();
    while (st.Fetch()) {
        ContentSegment& seg = segs.emplace_back();
        seg.Segnum = st.ColumnInt(0);
        seg.SegType = st.ColumnInt(1);
        seg.Mlenx = st.ColumnDouble(2);
        seg.FromPt = st.ColumnInt(3);
        seg.ToPt = st.ColumnInt(4);
        const auto layer = visibility.find(st.ColumnInt(5));
        seg.Visib = layer == visibility.end() ? 0 : layer->second;
        seg.Dotted = DottedFromColumn(st.ColumnInt(6));
        seg.Xorflag = st.ColumnInt(7) == 1;
        SegmentBox& b = seg.Stored;
        b.Lenx1 = st.ColumnDouble(8);
        b.Lenx2 = st.ColumnDouble(9);
        b.Leny1 = st.ColumnDouble(10);
        b.Leny2 = st.ColumnDouble(11);
        b.Pxlx1 = st.ColumnInt(12);
        b.Pxlx2 = st.ColumnInt(13);
        b.Pxly1 = st.ColumnInt(14);
        b.Pxly2 = st.ColumnInt(15);
        seg.Faint = st.ColumnInt(16) == 1;
    }
}

void TFcoreFb::ReadDiagramContent(DiagramContent& rows)
{
    ReadDiagramPoints(rows.Points);
    ReadDiagramSegments(rows.Segments);
}

void TFcoreFb::RewritePointPixels(const std::vector<PixelRewrite>& rewrites)
{
    WriteGroup([&] {
        RewriteInBlocks(rewrites, Prepared(PixelBlockSQL), Prepared(PixelRowSQL), CurrentDiagram,
                        BindPixels);
        CountWritten(int64_t(rewrites.size()));
    });
}

void TFcoreFb::RewriteSegmentBoxes(const std::vector<BoxRewrite>& rewrites)
{
    WriteGroup([&] {
        RewriteInBlocks(rewrites, Prepared(BoxBlockSQL), Prepared(BoxRowSQL), CurrentDiagram,
                        BindBox);
        CountWritten(int64_t(rewrites.size()));
    });
}

bool TFcoreFb::RewritePixelsFromLengths(bool boxes)
{
    // Lengths are kept within MaxLengthMagnitude; a scale so large that
    // their product would overflow the engine's doubles (where the fit's
    // rule clamps) is left to the row by row rewrite.
    if (!std::isfinite(Scale) || std::fabs(Scale) * 4 * MaxLengthMagnitude > 1e300)
        return false;
    WriteGroup([&] {
        for (const QString* sql : {&PointPixelsFromLengthsSQL, &BoxPixelsFromLengthsSQL}) {
            if (!boxes && sql == &BoxPixelsFromLengthsSQL)
                continue;
            ibase::Statement& st = Prepared(*sql);
            st.SetParam(0, double(MinLenX));
            st.SetParam(1, double(MinLenY));
            st.SetParam(2, double(Scale));
            st.SetParam(3, MarginLeft);
            st.SetParam(4, MarginTop);
            st.SetParam(5, CurrentDiagram);
            st.Execute();
            CountWritten(st.RowsAffected());
        }
    });
    return true;
}

const QString& TFcoreFb::StampStatement()
{
    return StampRunsSQL;
}

void TFcoreFb::StampPoints(const std::vector<int32_t>& pointnums)
{
    if (pointnums.empty())
        return;
    WriteGroup([&] {
        ibase::Statement& st = Prepared(StampRunsSQL);
        for (const QByteArray& runs : RunTexts(pointnums)) {
            st.SetParam(0, TimestampParam(RedrawStamp));
            st.SetParam(1, CurrentDiagram);
            st.SetParam(2, QString::fromLatin1(runs));
            st.Execute();
        }
        CountWritten(int64_t(pointnums.size()));
    });
}

std::vector<VisiblePointRow> TFcoreFb::ReadStampedPoints()
{
    std::vector<VisiblePointRow> rows;
    ibase::Statement& st = Prepared(StampedPointsSQL);
    st.SetParam(QStringLiteral("x"), CurrentDiagram);
    st.SetParam(QStringLiteral("ts"), TimestampParam(RedrawStamp));
    st.Execute();
    while (st.Fetch())
        rows.push_back({st.ColumnInt(0), st.ColumnInt(1), st.ColumnInt(2)});
    return rows;
}
