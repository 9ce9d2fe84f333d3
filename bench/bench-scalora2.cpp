// The second program on its Firebird database, at 1k, 10k and 100k segments
// of a generated site plan that the first program exported to it:
//
// - a full sheet refresh beside its lower bound, measured through the same
//   connection in the same run: one scan of the visible segments joined
//   with their end points, those lines drawn on a canvas, and one statement
//   stamping the drawn points, committed;
// - the first program's refresh of the same diagram, for comparison;
// - storing one measured segment, its command committed.
//
// Prints "<figure> <value> <unit>".

#include "benchfigures.h"

#include "firebird/corefb.h"
#include "firebird/fbedition.h"
#include "library/scriptedprompts.h"
#include "platform/canvas.h"
#include "platform/tables.h"
#include "sheet/forms.h"
#include "sheet/sheet.h"
#include "store/core.h"
#include "store/fbschema.h"
#include "store/fbtimestamp.h"
#include "store/tableschema.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScrollArea>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace
{

constexpr int Runs = 9;
constexpr int Inserts = 40;

// Grid lines 2.5 to 5 m apart across, 2 to 5 m down, rounded to the
// centimetre as a survey would give them.
std::vector<double> GridLines(std::mt19937& rng, int count, double lo, double hi)
{
    std::uniform_real_distribution<double> gap(lo, hi);
    std::vector<double> lines(static_cast<size_t>(count));
    double at = 0;
    for (double& l : lines) {
        l = std::round(at * 100) / 100;
        at += gap(rng);
    }
    return lines;
}

// Layers 0 and 1 bold, 2 faint, 3 hidden; most walls on the first.
int LayerOf(std::mt19937& rng)
{
    const int roll = std::uniform_int_distribution<int>(0, 99)(rng);
    return roll < 55 ? 0 : roll < 80 ? 1 : roll < 95 ? 2 : 3;
}

struct Site {
    int Columns = 0;
    int Rows = 0;
    std::vector<double> Xs;
    std::vector<double> Ys;
};

// A site of the given number of segments between neighbouring points of a
// grid, numbered in random order, a few dotted, faint or arcs, with labels;
// in the first program's store, its cached pixels and boxes left at 0 for
// the first refresh to fit.
Site GenerateSite(tables::Database& db, int segments)
{
    std::mt19937 rng(7);
    Site site;
    site.Rows = int(std::ceil(std::sqrt(segments / 2.6))) + 1;
    site.Columns = int(std::ceil(site.Rows * 1.3)) + 1;
    site.Xs = GridLines(rng, site.Columns, 2.5, 5.0);
    site.Ys = GridLines(rng, site.Rows, 2.0, 5.0);
    const auto pointAt = [&site](int c, int r) { return r * site.Columns + c; };

    tables::Transaction t(db);
    db.Execute(QStringLiteral("INSERT INTO drawing (Dgnum, Dgname, Units, RndgDP) VALUES (1, "
                              "'Site', 'm', 2)"));
    db.Execute(QStringLiteral("INSERT INTO layer (Dgnum, Layernum, Name, Visib) VALUES "
                              "(1, 0, 'Walls', 2), (1, 1, 'Fences', 2), (1, 2, 'Survey', 1), "
                              "(1, 3, 'Services', 0)"));
    tables::Statement& point = db.Prepare(QStringLiteral(
        "INSERT INTO point (Dgnum, Pointnum, Lenx, Leny, Pxlx, Pxly, Rprts, Layernum, CreateTS) "
        "VALUES (1, ?, ?, ?, 0, 0, 0, 0, 45000)"));
    for (int r = 0; r < site.Rows; ++r) {
        for (int c = 0; c < site.Columns; ++c) {
            point.Reset();
            point.BindAll({pointAt(c, r), site.Xs[size_t(c)], site.Ys[size_t(r)]});
            point.Run();
        }
    }
    std::vector<std::pair<int, int>> pairs;
    for (int r = 0; r < site.Rows; ++r) {
        for (int c = 0; c < site.Columns; ++c) {
            if (c + 1 < site.Columns)
                pairs.emplace_back(pointAt(c, r), pointAt(c + 1, r));
            if (r + 1 < site.Rows)
                pairs.emplace_back(pointAt(c, r), pointAt(c, r + 1));
        }
    }
    std::shuffle(pairs.begin(), pairs.end(), rng);
    pairs.resize(size_t(segments));
    tables::Statement& seg = db.Prepare(QStringLiteral(
        "INSERT INTO seg (Dgnum, Segnum, FromPt, ToPt, SegType, Seglen, Mlenx, Mleny, Mlenz, "
        "Layernum, Lenx1, Leny1, Lenx2, Leny2, Pxlx1, Pxly1, Pxlx2, Pxly2, CreateTS, Dotted, "
        "Xorflag, Measured, faint) VALUES (1, ?, ?, ?, ?, 0, ?, 0, 0, ?, 0, 0, 0, 0, 0, 0, 0, 0, "
        "45000, ?, 0, 0, ?)"));
    for (int n = 0; n < segments; ++n) {
        const auto [from, to] = pairs[size_t(n)];
        const bool arc = n % 97 == 0;
        seg.Reset();
        seg.BindAll({n, from, to, arc ? SegArc : SegLine, arc ? 90.0 : 0.0, LayerOf(rng),
                     n % 23 == 0 ? 1 : 0, n % 31 == 0 ? 1 : 0});
        seg.Run();
    }
    tables::Statement& text = db.Prepare(
        QStringLiteral("INSERT INTO text (Dgnum, Pointnum, Layernum, Text) VALUES (1, ?, ?, ?)"));
    for (int i = 0; i < segments / 60; ++i) {
        text.Reset();
        text.BindAll({i * 37, i % 3, QStringLiteral("Room %1").arg(i)});
        text.Run();
    }
    t.Commit();
    return site;
}

// The main window of a program on its store, its sheet 1,000 x 800.
class SheetOn
{
  public:
    SheetOn(Store& store, const Edition& edition)
    {
        forms_.Program = &edition;
        forms_.Fcore = &store;
        sheet_ = std::make_unique<TFSheet>(forms_);
        forms_.FSheet = sheet_.get();
        QScrollArea* box = sheet_->ScrollBox1;
        box->setFixedSize(1000 + 2 * box->frameWidth(), 800 + 2 * box->frameWidth());
        // The first showing refreshes: its fit writes whatever pixels the
        // sheet's size asks for; the measured refreshes find them unchanged.
        sheet_->show();
        sheet_->Sheet.HideCursors();
    }
    ~SheetOn() { sheet_.reset(); }

    double Refresh()
    {
        return Ms([this] { sheet_->Redraw.RefreshSheet(); });
    }

  private:
    Forms forms_;
    std::unique_ptr<TFSheet> sheet_;
};

const QString LowerBoundScanSQL =
    QStringLiteral("select a.pxlx, a.pxly, b.pxlx, b.pxly from seg s "
                   "join layer l on l.dgnum = s.dgnum and l.layernum = s.layernum "
                   "join point a on a.dgnum = s.dgnum and a.pointnum = s.frompt "
                   "join point b on b.dgnum = s.dgnum and b.pointnum = s.topt "
                   "where s.dgnum = 1 and l.visib > 0 order by s.segnum");
const QString LowerBoundStampSQL = QStringLiteral(
    "merge into point p using (select s.frompt as n from seg s join layer l on l.dgnum = "
    "s.dgnum and l.layernum = s.layernum where s.dgnum = 1 and l.visib > 0 union select s.topt "
    "from seg s join layer l on l.dgnum = s.dgnum and l.layernum = s.layernum where s.dgnum = 1 "
    "and l.visib > 0) v on (p.dgnum = 1 and p.pointnum = v.n) when matched then update set "
    "p.rprts = :ts");

// The least a refresh of the second program does, through its connection.
double LowerBound(TFcoreFb& core, ibase::Statement& scan, ibase::Statement& stamp, Canvas& canvas,
                  long long second)
{
    return Ms([&] {
        canvas.NewBitmap(core.SheetWidth, core.SheetHeight);
        canvas.SetPenColour(CanvasRgb(0, 0, 128));
        scan.Execute();
        while (scan.Fetch()) {
            canvas.MoveTo(scan.Column(0).AsInt(), scan.Column(1).AsInt());
            canvas.LineTo(scan.Column(2).AsInt(), scan.Column(3).AsInt());
        }
        stamp.SetParam(QStringLiteral("ts"), TimestampParam(DateTimeOfSeconds(second)));
        stamp.Execute();
        core.RestartTransaction();
    });
}

// A measured segment from a stored grid point to a new point off the grid,
// as the measured-segment dialog stores it: both ends looked up by their
// lengths, the reuse check, the row, the commit.
double StoreMeasured(Store& store, const Site& site, int i)
{
    TSegRec s;
    InitSegment(s);
    s.SegType = SegLine;
    s.FromPoint.Lenx = site.Xs[size_t(i * 7 % site.Columns)];
    s.FromPoint.Leny = site.Ys[size_t(i * 11 % site.Rows)];
    s.ToPoint.Lenx = s.FromPoint.Lenx + 1.37;
    s.ToPoint.Leny = s.FromPoint.Leny + 0.91 + i * 0.01;
    s.Mlenx = 1.37;
    s.Mleny = 0.91 + i * 0.01;
    s.Measured = true;
    const double ms = Ms([&] { store.AddSegment(s); });
    if (s.Segnum < 0)
        std::fprintf(stderr, "segment %d was not stored\n", i);
    return ms;
}

std::string Name(const char* figure, const char* size)
{
    return std::string(figure) + "-" + size + "-segments";
}

struct SizeFigures {
    double Refresh = 0;
    double Bound = 0;
    double TableRefresh = 0;
    double Insert = 0;
};

SizeFigures MeasureSize(int segments, const char* size)
{
    QTemporaryDir dir;
    QDir().mkpath(dir.path() + QStringLiteral("/Scalora data"));
    QDir().mkpath(dir.path() + QStringLiteral("/Scalora2 data"));
    CreateTableStore(dir.path() + QStringLiteral("/Scalora data"), CurrentTableStoreVersion);
    CreateFirebirdStore(dir.path() + QStringLiteral("/Scalora2 data/scalora2data.fdb"));
    SizeFigures f;
    Site site;
    {
        // The first program's store, its refresh, and its export into the
        // second program's database.
        ScriptedPrompts prompts;
        ScopedPromptSeam seam(prompts);
        TFcore table(dir.path());
        table.ReadIniFile();
        table.DBVersion = CurrentTableStoreVersion;
        table.OpenStore();
        Figure(Name("generate", size).c_str(),
               Ms([&] { site = GenerateSite(table.Database1, segments); }), "ms");
        table.OpenDiagram(1);
        const Edition first;
        SheetOn sheet(table, first);
        std::vector<double> refresh;
        for (int i = 0; i < Runs; ++i)
            refresh.push_back(sheet.Refresh());
        f.TableRefresh = Median(refresh);
        prompts.Answer('Y');
        Figure(Name("export", size).c_str(), Ms([&] { table.ExportToFirebird(); }), "ms");
    }
    ScriptedPrompts prompts;
    ScopedPromptSeam seam(prompts);
    TFcoreFb core(dir.path());
    core.FormCreate();
    if (core.CurrentDiagram != 1) {
        std::fprintf(stderr, "the exported diagram did not open\n");
        std::exit(1);
    }
    const Edition second = FirebirdEdition();
    SheetOn sheet(core, second);
    ibase::Statement scan(*core.IBTransaction1, LowerBoundScanSQL);
    ibase::Statement stamp(*core.IBTransaction1, LowerBoundStampSQL);
    Canvas canvas;
    std::vector<double> refresh;
    std::vector<double> bound;
    long long boundSecond = SecondsOfDateTime(core.RedrawStamp) + 1000000;
    for (int i = 0; i < Runs; ++i) {
        // Alternate which goes first so neither always runs on a warm cache.
        if (i % 2) {
            refresh.push_back(sheet.Refresh());
            bound.push_back(LowerBound(core, scan, stamp, canvas, ++boundSecond));
        } else {
            bound.push_back(LowerBound(core, scan, stamp, canvas, ++boundSecond));
            refresh.push_back(sheet.Refresh());
        }
    }
    if (core.VisibleSegments.RecordCount() < segments * 8 / 10 ||
        core.VisiblePoints.RecordCount() == 0 || core.Scale <= 0) {
        std::fprintf(stderr, "the refresh drew %d segments, %d points\n",
                     core.VisibleSegments.RecordCount(), core.VisiblePoints.RecordCount());
        std::exit(1);
    }
    f.Refresh = Median(refresh);
    f.Bound = Median(bound);
    std::vector<double> insert;
    core.ReportInserts = false;
    for (int i = 0; i < Inserts; ++i)
        insert.push_back(StoreMeasured(core, site, i));
    f.Insert = Median(insert);
    return f;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir lock;
    if (qEnvironmentVariableIsEmpty("FIREBIRD_LOCK"))
        qputenv("FIREBIRD_LOCK", QFile::encodeName(lock.path()));
    QApplication app(argc, argv);
    const std::pair<int, const char*> sizes[] = {{1000, "1k"}, {10000, "10k"}, {100000, "100k"}};
    SizeFigures at[3];
    for (int i = 0; i < 3; ++i) {
        const auto& [segments, size] = sizes[i];
        at[i] = MeasureSize(segments, size);
        Figure(Name("scalora2-refresh-lower-bound", size).c_str(), at[i].Bound, "ms");
        Figure(Name("scalora2-refresh", size).c_str(), at[i].Refresh, "ms");
        Figure(Name("scalora2-refresh-over-lower-bound", size).c_str(), at[i].Refresh / at[i].Bound,
               "ratio");
        Figure(Name("scalora-refresh", size).c_str(), at[i].TableRefresh, "ms");
        Figure(Name("scalora2-refresh-over-scalora-refresh", size).c_str(),
               at[i].Refresh / at[i].TableRefresh, "ratio");
        Figure(Name("scalora2-store-measured-segment", size).c_str(), at[i].Insert, "ms");
    }
    Figure("scalora2-refresh-growth-10k-to-100k", at[2].Refresh / at[1].Refresh, "ratio");
    Figure("scalora2-store-measured-segment-100k-over-1k", at[2].Insert / at[0].Insert, "ratio");
    return 0;
}
