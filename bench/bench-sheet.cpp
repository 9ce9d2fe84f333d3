// A full sheet refresh on a generated site plan of 10,000 segments, beside
// the least any refresh has to do: one scan of the visible segments joined
// with their end points, drawing those lines, and one statement stamping
// the drawn points.
#include "platform/canvas.h"
#include "sheet/forms.h"
#include "sheet/sheet.h"
#include "store/core.h"
#include "store/tableschema.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QScrollArea>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

namespace
{

constexpr int Segments = 10000;
constexpr int Runs = 7;

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Rooms of a site: walls 2 to 12 m long on a 300 m x 240 m plot, each
// starting where the last ended, as a surveyor would walk them.
void GenerateSite(TFcore& core)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> len(2.0, 12.0);
    std::uniform_int_distribution<int> dir(0, 3);
    double x = 150, y = 120;
    core.WriteGroup([&] {
        for (int i = 0; i < Segments; ++i) {
            TSegRec s;
            s.SegType = SegLine;
            s.FromPoint.Lenx = x;
            s.FromPoint.Leny = y;
            const double l = std::round(len(rng) * 100) / 100;
            switch (dir(rng)) {
            case 0: x = std::min(300.0, x + l); break;
            case 1: x = std::max(0.0, x - l); break;
            case 2: y = std::min(240.0, y + l); break;
            default: y = std::max(0.0, y - l); break;
            }
            s.ToPoint.Lenx = x;
            s.ToPoint.Leny = y;
            s.Layernum = 0;
            core.InsertSegment(s);
        }
    });
}

// The lower bound: one joined scan, the lines drawn, one stamping statement.
void LowerBound(TFcore& core, Canvas& canvas, double stamp)
{
    canvas.NewBitmap(core.SheetWidth, core.SheetHeight);
    tables::Statement scan(core.Database1,
                           QStringLiteral("SELECT a.pxlx, a.pxly, b.pxlx, b.pxly FROM seg s "
                                          "JOIN layer l ON l.dgnum = s.dgnum AND l.layernum = s.layernum "
                                          "JOIN point a ON a.dgnum = s.dgnum AND a.pointnum = s.frompt "
                                          "JOIN point b ON b.dgnum = s.dgnum AND b.pointnum = s.topt "
                                          "WHERE s.dgnum = 1 AND l.visib > 0 ORDER BY s.segnum"));
    canvas.SetPenColour(CanvasRgb(0, 0, 128));
    while (scan.Step()) {
        canvas.MoveTo(scan.Column(0).toInt(), scan.Column(1).toInt());
        canvas.LineTo(scan.Column(2).toInt(), scan.Column(3).toInt());
    }
    core.Database1.Execute(
        QStringLiteral("UPDATE point SET rprts = %1 WHERE dgnum = 1 AND pointnum IN "
                       "(SELECT frompt FROM seg WHERE dgnum = 1 UNION SELECT topt FROM seg WHERE dgnum = 1)")
            .arg(stamp, 0, 'g', 17));
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString data = dir.path() + QStringLiteral("/Scalora data");
    QDir().mkpath(data);
    CreateTableStore(data, CurrentTableStoreVersion);
    TFcore core(dir.path());
    core.ReadIniFile();
    core.DBVersion = CurrentTableStoreVersion;
    core.OpenStore();
    core.Database1.Execute(QStringLiteral(
        "INSERT INTO drawing (Dgnum, Dgname, Units, RndgDP) VALUES (1, 'Site', 'm', 2)"));
    core.Database1.Execute(QStringLiteral(
        "INSERT INTO layer (Dgnum, Layernum, Name, Visib) VALUES (1, 0, 'Default layer', 2)"));
    core.OpenDiagram(1);
    QElapsedTimer gen;
    gen.start();
    GenerateSite(core);
    std::printf("generate-10k-segments %.0f ms\n", gen.nsecsElapsed() / 1e6);
    std::fflush(stdout);

    Forms forms;
    forms.Fcore = &core;
    TFSheet sheet(forms);
    forms.FSheet = &sheet;
    // A 1,000 x 800 bitmap with the side panel's width taken off the fit.
    sheet.ScrollBox1->setFixedSize(1000 + 2 * sheet.ScrollBox1->frameWidth(),
                                   800 + 2 * sheet.ScrollBox1->frameWidth());
    sheet.show();
    sheet.Sheet.HideCursors();
    QElapsedTimer first;
    first.start();
    sheet.Redraw.RefreshSheet(); // the first refresh fits and caches the pixels
    std::printf("first-refresh %.0f ms\n", first.nsecsElapsed() / 1e6);
    std::fflush(stdout);

    std::vector<double> refresh, bound;
    Canvas canvas;
    for (int i = 0; i < Runs; ++i) {
        QElapsedTimer t;
        t.start();
        sheet.Redraw.RefreshSheet();
        refresh.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        LowerBound(core, canvas, core.RedrawStamp + 1e-6 * (i + 1));
        bound.push_back(t.nsecsElapsed() / 1e6);
    }
    const double r = Median(refresh);
    const double b = Median(bound);
    std::printf("sheet-width %d px\n", core.SheetWidth);
    std::printf("sheet-height %d px\n", core.SheetHeight);
    std::printf("visible-segments %d count\n", core.VisibleSegments.RecordCount());
    std::printf("refresh-10k-segments %.2f ms\n", r);
    std::printf("refresh-lower-bound %.2f ms\n", b);
    std::printf("refresh-over-lower-bound %.2f ratio\n", r / b);
    return 0;
}
