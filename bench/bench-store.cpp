// The table store on a generated diagram of 10,000 segments: the scale fit
// at an unchanged scale against one scan of the visible segments joined
// with their end points (the least any pass over the diagram reads), and
// the insertion of one measured segment. Prints "<figure> <value> <unit>".

#include "benchfigures.h"

#include "library/scriptedprompts.h"
#include "platform/tables.h"
#include "store/core.h"
#include "store/tableschema.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <sqlite3.h>
#include <vector>

namespace
{

constexpr int Columns = 100; // segments per row of the generated grid
constexpr int Rows = 100;    // 100 x 100 = 10,000 segments
constexpr int Runs = 15;
constexpr int Inserts = 60;

const char* const ScanSQL =
    "select s.segnum, s.segtype, l.visib, p1.lenx, p1.leny, p1.pxlx, p1.pxly, "
    "p2.lenx, p2.leny, p2.pxlx, p2.pxly "
    "from seg.db s left join layer.db l on (l.dgnum = s.dgnum and l.layernum = s.layernum) "
    "left join point.db p1 on (p1.dgnum = s.dgnum and p1.pointnum = s.frompt) "
    "left join point.db p2 on (p2.dgnum = s.dgnum and p2.pointnum = s.topt) "
    "where (s.dgnum = :x) and (l.visib > 0) order by s.segnum";

// Points on a grid of (Columns + 1) x Rows, each row joined left to right;
// every fifth row on a faint layer, so both visibilities are drawn.
void GenerateDiagram(tables::Database& db)
{
    tables::Transaction t(db);
    db.Execute(QStringLiteral("INSERT INTO drawing (Dgnum, Dgname, Units, RndgDP) VALUES (1, "
                              "'Generated', 'mm', 2)"));
    db.Execute(QStringLiteral("INSERT INTO layer VALUES (1, 0, 'Default layer', 2), "
                              "(1, 1, 'Faint', 1)"));
    tables::Statement& point = db.Prepare(QStringLiteral(
        "INSERT INTO point (Dgnum, Pointnum, Lenx, Leny, Pxlx, Pxly, Rprts, Layernum, CreateTS) "
        "VALUES (1, ?, ?, ?, 0, 0, 0, 0, 45000)"));
    for (int r = 0; r < Rows; ++r) {
        for (int c = 0; c <= Columns; ++c) {
            point.Reset();
            point.BindAll({r * (Columns + 1) + c, c * 125.5, r * 80.25});
            point.Run();
        }
    }
    tables::Statement& seg = db.Prepare(QStringLiteral(
        "INSERT INTO seg (Dgnum, Segnum, FromPt, ToPt, SegType, Seglen, Mlenx, Mleny, Mlenz, "
        "Layernum, Lenx1, Leny1, Lenx2, Leny2, Pxlx1, Pxly1, Pxlx2, Pxly2, CreateTS, Dotted, "
        "Xorflag, Measured, faint) VALUES (1, ?, ?, ?, 2, 0, 125.5, 0, 0, ?, 0, 0, 0, 0, 0, 0, "
        "0, 0, 45000, 0, 0, 1, 0)"));
    for (int r = 0; r < Rows; ++r) {
        for (int c = 0; c < Columns; ++c) {
            const int from = r * (Columns + 1) + c;
            seg.Reset();
            seg.BindAll({r * Columns + c, from, from + 1, r % 5 == 0 ? 1 : 0});
            seg.Run();
        }
    }
    t.Commit();
}

void Scan(tables::Database& db)
{
    tables::Statement& st = db.Prepare(tables::MapTableNames(QString::fromLatin1(ScanSQL)));
    st.BindName(QStringLiteral("x"), 1);
    int rows = 0;
    double sum = 0;
    while (st.Step()) {
        for (int i = 0; i < st.ColumnCount(); ++i) {
            sum += st.Column(i).toDouble();
        }
        ++rows;
    }
    st.Reset();
    if (rows != Rows * Columns || sum == 0) {
        std::fprintf(stderr, "scan read %d rows\n", rows);
    }
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
    core.DBVersion = CurrentTableStoreVersion;
    core.OpenStore();
    GenerateDiagram(core.Database1);
    core.OpenDiagram(1);
    core.SheetWidth = 1600;
    core.SheetHeight = 1200;

    // The first fit writes every cached pixel and box; the measured ones
    // find nothing to change.
    core.OpenVisibleSegments();
    core.FitDiagramToSheet(200);

    std::vector<double> scan;
    std::vector<double> fit;
    std::vector<double> openAndFit;
    int written = 0;
    for (int i = 0; i < Runs; ++i) {
        scan.push_back(Ms([&] { Scan(core.Database1); }));
        core.OpenVisibleSegments();
        const int before = sqlite3_total_changes(core.Database1.Handle());
        fit.push_back(Ms([&] { core.FitDiagramToSheet(200); }));
        written += sqlite3_total_changes(core.Database1.Handle()) - before;
        openAndFit.push_back(Ms([&] {
            core.OpenVisibleSegments();
            core.FitDiagramToSheet(200);
        }));
    }
    const double scanMs = Median(scan);
    Figure("visible-scan-10k-segments", scanMs, "ms");
    Figure("fit-unchanged-scale-10k-segments", Median(fit), "ms");
    std::printf("fit-unchanged-scale-rows-written %d rows\n", written);
    Figure("fit-to-scan-ratio", Median(fit) / scanMs, "ratio");
    Figure("open-visible-and-fit-to-scan-ratio", Median(openAndFit) / scanMs, "ratio");

    // A measured segment from a stored grid point to a new point off the
    // grid: both ends looked up by their lengths, the reuse check, the row
    // and the flash note that reports it.
    std::vector<double> insert;
    for (int i = 0; i < Inserts; ++i) {
        TSegRec s;
        InitSegment(s);
        s.SegType = SegLine;
        s.FromPoint.Lenx = (i % Columns) * 125.5;
        s.FromPoint.Leny = (i % Rows) * 80.25;
        s.ToPoint.Lenx = s.FromPoint.Lenx + 33.3;
        s.ToPoint.Leny = s.FromPoint.Leny + 44.4 + i;
        s.Mlenx = 33.3;
        s.Mleny = 44.4 + i;
        s.Measured = true;
        insert.push_back(Ms([&] { core.AddSegment(s); }));
        if (s.Segnum < 0) {
            std::fprintf(stderr, "segment %d was not stored\n", i);
        }
    }
    Figure("insert-measured-segment-10k-segments", Median(insert), "ms");
    return 0;
}
