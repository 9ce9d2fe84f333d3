// A full sheet refresh on a generated site plan of 10,000 segments, beside
// the least any refresh has to do: one scan of the visible segments joined
// with their end points, drawing those lines, and one statement stamping
// the drawn points. Prints "<figure> <value> <unit>".

#include "benchfigures.h"

#include "library/scriptedprompts.h"
#include "platform/canvas.h"
#include "sheet/forms.h"
#include "sheet/redraw.h"
#include "sheet/sheet.h"
#include "store/core.h"
#include "store/tableschema.h"

#include <QApplication>
#include <QDir>
#include <QScrollArea>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <numeric>
#include <random>
#include <vector>

namespace
{

constexpr int Segments = 10000;
constexpr int GridColumns = 80; // 80 x 70 points give 11,050 neighbour pairs
constexpr int GridRows = 70;
constexpr int Labels = 150;
constexpr int Runs = 15;

// Grid lines 2.5 to 5 m apart across, 2 to 5 m down (a plot of about
// 300 m x 240 m), rounded to the centimetre as a survey would give them.
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

// Walls of a site: 10,000 of the segments between neighbouring points of
// the grid, in random order, a few dotted or faint. The cached pixels and
// boxes are left at 0 for the first refresh to fit.
void GenerateSite(tables::Database& db)
{
    std::mt19937 rng(7);
    const std::vector<double> xs = GridLines(rng, GridColumns, 2.5, 5.0);
    const std::vector<double> ys = GridLines(rng, GridRows, 2.0, 5.0);
    const auto pointAt = [](int c, int r) { return r * GridColumns + c; };

    tables::Transaction t(db);
    db.Execute(QStringLiteral("INSERT INTO drawing (Dgnum, Dgname, Units, RndgDP) VALUES (1, "
                              "'Site', 'm', 2)"));
    db.Execute(QStringLiteral("INSERT INTO layer (Dgnum, Layernum, Name, Visib) VALUES "
                              "(1, 0, 'Walls', 2), (1, 1, 'Fences', 2), (1, 2, 'Survey', 1), "
                              "(1, 3, 'Services', 0)"));
    tables::Statement& point = db.Prepare(QStringLiteral(
        "INSERT INTO point (Dgnum, Pointnum, Lenx, Leny, Pxlx, Pxly, Rprts, Layernum, CreateTS) "
        "VALUES (1, ?, ?, ?, 0, 0, 0, 0, 45000)"));
    for (int r = 0; r < GridRows; ++r) {
        for (int c = 0; c < GridColumns; ++c) {
            point.Reset();
            point.BindAll({pointAt(c, r), xs[size_t(c)], ys[size_t(r)]});
            point.Run();
        }
    }

    std::vector<std::pair<int, int>> pairs;
    for (int r = 0; r < GridRows; ++r) {
        for (int c = 0; c < GridColumns; ++c) {
            if (c + 1 < GridColumns)
                pairs.emplace_back(pointAt(c, r), pointAt(c + 1, r));
            if (r + 1 < GridRows)
                pairs.emplace_back(pointAt(c, r), pointAt(c, r + 1));
        }
    }
    std::shuffle(pairs.begin(), pairs.end(), rng);
    pairs.resize(Segments);
    tables::Statement& seg = db.Prepare(QStringLiteral(
        "INSERT INTO seg (Dgnum, Segnum, FromPt, ToPt, SegType, Seglen, Mlenx, Mleny, Mlenz, "
        "Layernum, Lenx1, Leny1, Lenx2, Leny2, Pxlx1, Pxly1, Pxlx2, Pxly2, CreateTS, Dotted, "
        "Xorflag, Measured, faint) VALUES (1, ?, ?, ?, 2, ?, 0, 0, 0, ?, 0, 0, 0, 0, 0, 0, 0, 0, "
        "45000, ?, 0, 0, ?)"));
    for (int n = 0; n < Segments; ++n) {
        const auto [from, to] = pairs[size_t(n)];
        const double dx = xs[size_t(to % GridColumns)] - xs[size_t(from % GridColumns)];
        const double dy = ys[size_t(to / GridColumns)] - ys[size_t(from / GridColumns)];
        seg.Reset();
        seg.BindAll({n, from, to, std::hypot(dx, dy), LayerOf(rng), n % 23 == 0 ? 1 : 0,
                     n % 31 == 0 ? 1 : 0});
        seg.Run();
    }

    tables::Statement& text = db.Prepare(
        QStringLiteral("INSERT INTO text (Dgnum, Pointnum, Layernum, Text) VALUES (1, ?, ?, ?)"));
    for (int i = 0; i < Labels; ++i) {
        text.Reset();
        text.BindAll({i * 37, i % 3, QStringLiteral("Room %1").arg(i)});
        text.Run();
    }
    t.Commit();
}

// The lower bound: one joined scan, the lines drawn, one stamping statement.
void LowerBound(tables::Database& db, Canvas& canvas, int width, int height, double stamp)
{
    canvas.NewBitmap(width, height);
    tables::Statement& scan =
        db.Prepare(QStringLiteral("SELECT a.pxlx, a.pxly, b.pxlx, b.pxly FROM seg s "
                                  "JOIN layer l ON l.dgnum = s.dgnum AND l.layernum = s.layernum "
                                  "JOIN point a ON a.dgnum = s.dgnum AND a.pointnum = s.frompt "
                                  "JOIN point b ON b.dgnum = s.dgnum AND b.pointnum = s.topt "
                                  "WHERE s.dgnum = 1 AND l.visib > 0 ORDER BY s.segnum"));
    scan.Reset();
    canvas.SetPenColour(CanvasRgb(0, 0, 128));
    while (scan.Step()) {
        canvas.MoveTo(scan.Column(0).toInt(), scan.Column(1).toInt());
        canvas.LineTo(scan.Column(2).toInt(), scan.Column(3).toInt());
    }
    scan.Reset();
    tables::Statement& stamping = db.Prepare(QStringLiteral(
        "UPDATE point SET rprts = :ts WHERE dgnum = 1 AND pointnum IN "
        "(SELECT s.frompt FROM seg s JOIN layer l ON l.dgnum = s.dgnum AND l.layernum = s.layernum "
        "WHERE s.dgnum = 1 AND l.visib > 0 UNION SELECT s.topt FROM seg s JOIN layer l ON "
        "l.dgnum = s.dgnum AND l.layernum = s.layernum WHERE s.dgnum = 1 AND l.visib > 0)"));
    stamping.Reset();
    stamping.BindName(QStringLiteral("ts"), stamp);
    stamping.Run();
    stamping.Reset();
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ScriptedPrompts prompts;
    ScopedPromptSeam seam(prompts);

    QTemporaryDir dir;
    const QString data = dir.path() + QStringLiteral("/Scalora data");
    QDir().mkpath(data);
    CreateTableStore(data, CurrentTableStoreVersion);
    TFcore core(dir.path());
    core.ReadIniFile();
    core.DBVersion = CurrentTableStoreVersion;
    core.OpenStore();
    Figure("generate-10k-segments", Ms([&] { GenerateSite(core.Database1); }), "ms");
    core.OpenDiagram(1);

    Forms forms;
    forms.Fcore = &core;
    TFSheet sheet(forms);
    forms.FSheet = &sheet;
    // A 1,000 x 800 bitmap; the fit takes the side panel's width off it.
    sheet.ScrollBox1->setFixedSize(1000 + 2 * sheet.ScrollBox1->frameWidth(),
                                   800 + 2 * sheet.ScrollBox1->frameWidth());
    // The window's first showing refreshes: that first fit writes every
    // cached pixel and box once. The measured refreshes find the scale
    // unchanged.
    Figure("first-refresh-10k-segments", Ms([&] { sheet.show(); }), "ms");
    sheet.Sheet.HideCursors();

    std::vector<double> refresh;
    std::vector<double> bound;
    Canvas canvas;
    for (int i = 0; i < Runs; ++i) {
        // Alternate which goes first so neither always runs on a warm cache.
        const auto runRefresh = [&] {
            refresh.push_back(Ms([&] { sheet.Redraw.RefreshSheet(); }));
        };
        const auto runBound = [&] {
            const double stamp = core.RedrawStamp + 1e-7 * (i + 1);
            bound.push_back(Ms([&] {
                LowerBound(core.Database1, canvas, core.SheetWidth, core.SheetHeight, stamp);
            }));
        };
        if (i % 2) {
            runRefresh();
            runBound();
        } else {
            runBound();
            runRefresh();
        }
    }
    // The last refresh must have drawn and stamped the whole visible plan.
    if (core.VisibleSegments.RecordCount() < Segments * 9 / 10 ||
        core.VisiblePoints.RecordCount() == 0 || core.Scale <= 0) {
        std::fprintf(stderr, "refresh drew %d segments, %d points\n",
                     core.VisibleSegments.RecordCount(), core.VisiblePoints.RecordCount());
        return 1;
    }
    const double r = Median(refresh);
    const double b = Median(bound);
    std::printf("sheet-width %d px\n", core.SheetWidth);
    std::printf("sheet-height %d px\n", core.SheetHeight);
    std::printf("visible-segments %d count\n", core.VisibleSegments.RecordCount());
    std::printf("visible-points %d count\n", core.VisiblePoints.RecordCount());
    Figure("refresh-lower-bound-10k-segments", b, "ms");
    Figure("refresh-10k-segments", r, "ms");
    Figure("refresh-over-lower-bound", r / b, "ratio");
    return 0;
}
