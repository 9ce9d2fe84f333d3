// The refresh's read of the open diagram and the writes of its fit and its
// stamp, on the Firebird store. The read is one scan of the diagram's
// points and one of its segments, in whatever order the engine finds them
// fastest (the common part puts them in number order); each segment's
// layer visibility comes from the handful of layers read first, not from a
// join row by row.

#include "firebird/corefb.h"

#include "store/fbtimestamp.h"

#include <QByteArray>
#include <algorithm>
#include <map>

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
    "execute block (ts timestamp = ?, dg integer = ?, runs varchar(30000) character set ascii "
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
constexpr qsizetype RunsTextLimit = 30000;

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
        p.Pointnum = st.Column(0).AsInt();
        p.Lenx = st.Column(1).AsDouble();
        p.Leny = st.Column(2).AsDouble();
        p.Pxlx = st.Column(3).AsInt();
        p.Pxly = st.Column(4).AsInt();
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
        visibility[layers.Column(0).AsInt()] = layers.Column(1).AsInt();

    ibase::Statement& st = Prepared(DiagramSegmentsSQL);
    st.SetParam(QStringLiteral("x"), CurrentDiagram);
    st.Execute();
    while (st.Fetch()) {
        ContentSegment& seg = segs.emplace_back();
        seg.Segnum = st.Column(0).AsInt();
        seg.SegType = st.Column(1).AsInt();
        seg.Mlenx = st.Column(2).AsDouble();
        seg.FromPt = st.Column(3).AsInt();
        seg.ToPt = st.Column(4).AsInt();
        const auto layer = visibility.find(st.Column(5).AsInt());
        seg.Visib = layer == visibility.end() ? 0 : layer->second;
        seg.Dotted = DottedFromColumn(st.Column(6).AsInt64());
        seg.Xorflag = st.Column(7).AsInt() == 1;
        SegmentBox& b = seg.Stored;
        b.Lenx1 = st.Column(8).AsDouble();
        b.Lenx2 = st.Column(9).AsDouble();
        b.Leny1 = st.Column(10).AsDouble();
        b.Leny2 = st.Column(11).AsDouble();
        b.Pxlx1 = st.Column(12).AsInt();
        b.Pxlx2 = st.Column(13).AsInt();
        b.Pxly1 = st.Column(14).AsInt();
        b.Pxly2 = st.Column(15).AsInt();
        seg.Faint = st.Column(16).AsInt() == 1;
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
        ibase::Statement& st = Prepared(PixelRewriteSQL);
        for (const PixelRewrite& r : rewrites) {
            st.SetParam(QStringLiteral("px"), r.Pxlx);
            st.SetParam(QStringLiteral("py"), r.Pxly);
            st.SetParam(QStringLiteral("dg"), CurrentDiagram);
            st.SetParam(QStringLiteral("n"), r.Pointnum);
            st.Execute();
        }
    });
}

void TFcoreFb::RewriteSegmentBoxes(const std::vector<BoxRewrite>& rewrites)
{
    WriteGroup([&] {
        ibase::Statement& st = Prepared(BoxRewriteSQL);
        for (const BoxRewrite& r : rewrites) {
            const SegmentBox& b = r.Box;
            st.SetParam(QStringLiteral("lx1"), b.Lenx1);
            st.SetParam(QStringLiteral("ly1"), b.Leny1);
            st.SetParam(QStringLiteral("lx2"), b.Lenx2);
            st.SetParam(QStringLiteral("ly2"), b.Leny2);
            st.SetParam(QStringLiteral("px1"), b.Pxlx1);
            st.SetParam(QStringLiteral("py1"), b.Pxly1);
            st.SetParam(QStringLiteral("px2"), b.Pxlx2);
            st.SetParam(QStringLiteral("py2"), b.Pxly2);
            st.SetParam(QStringLiteral("dg"), CurrentDiagram);
            st.SetParam(QStringLiteral("n"), r.Segnum);
            st.Execute();
        }
    });
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
        rows.push_back({st.Column(0).AsInt(), st.Column(1).AsInt(), st.Column(2).AsInt()});
    return rows;
}
