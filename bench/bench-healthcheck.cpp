// The health check of generated table stores of 10,000, 30,000 and 100,000
// points and as many segments in 20 diagrams, from the window's Recheck
// (the report and the busy cursor included), beside its lower bound
// measured by turns with it in the same run on the same store: one scan of
// those rows joined as the checks need them (every segment with its two
// end points, every text with its point, and every point), read by bare
// SQLite calls, and at the zoom where the check also looks for points
// drawn on the same pixel, the open diagram's points read in pixel order.
// A check writes nothing: the points it reaches are marked in memory, and
// only a repair writes. Prints "<figure> <value> <unit>".

#include "benchfigures.h"
#include "benchstore.h"

#include "dialogs/hchk.h"
#include "platform/tables.h"
#include "support/scriptedprompts.h"
#include "tablestore/core.h"
#include "tablestore/tablehealthcheck.h"
#include "tablestore/tableschema.h"

#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <cstdio>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace
{

constexpr int Diagrams = 20;
constexpr int Runs = 5;

const char* const ScanSQLs[] = {
    "SELECT s.dgnum, s.segnum, s.frompt, s.topt, s.segtype, s.seglen, s.mlenx, s.mleny, "
    "s.layernum, f.pointnum, f.lenx, f.leny, f.pxlx, f.pxly, t.pointnum, t.lenx, t.leny, "
    "t.pxlx, t.pxly, s.mlenz, s.lenx1, s.leny1, s.lenx2, s.leny2 FROM seg s "
    "LEFT JOIN point f ON (f.dgnum = s.dgnum) AND (f.pointnum = s.frompt) "
    "LEFT JOIN point t ON (t.dgnum = s.dgnum) AND (t.pointnum = s.topt) "
    "ORDER BY s.dgnum, s.segnum",
    "SELECT t.dgnum, t.pointnum, p.pointnum FROM text t "
    "LEFT JOIN point p ON (p.dgnum = t.dgnum) AND (p.pointnum = t.pointnum) "
    "ORDER BY t.dgnum, t.pointnum",
    "SELECT dgnum, pointnum, lenx, leny FROM point ORDER BY dgnum, pointnum",
};

// The open diagram's points in pixel order, as the search for points on
// the same pixel reads them.
const char* const SamePixelSQL = "SELECT pointnum, lenx, leny, pxlx, pxly, layernum FROM point "
                                 "WHERE dgnum = 1 ORDER BY pxlx, pxly, pointnum";

// Each diagram a ring of points on a grid, each point joined to the next by
// a line, every tenth point labelled.
void GenerateStore(tables::Database& db, int perDiagram)
{
    tables::Transaction t(db);
    tables::Statement& point = db.Prepare(QStringLiteral(
        "INSERT INTO point (Dgnum, Pointnum, Lenx, Leny, Pxlx, Pxly, Rprts, Layernum, CreateTS) "
        "VALUES (?, ?, ?, ?, ?, ?, 0, 0, 45000)"));
    tables::Statement& seg = db.Prepare(QStringLiteral(
        "INSERT INTO seg (Dgnum, Segnum, FromPt, ToPt, SegType, Seglen, Mlenx, Mleny, Mlenz, "
        "Layernum, Lenx1, Leny1, Lenx2, Leny2, Pxlx1, Pxly1, Pxlx2, Pxly2, CreateTS, Dotted, "
        "Xorflag, Measured, faint) VALUES (?, ?, ?, ?, 2, 0, 12.5, 0, 0, 0, 0, 0, 0, 0, 0, 0, "
        "0, 0, 45000, 0, 0, 1, 0)"));
    tables::Statement& text =
        db.Prepare(QStringLiteral("INSERT INTO text VALUES (?, ?, 0, 'label')"));
    for (int d = 1; d <= Diagrams; ++d) {
        db.Execute(QStringLiteral("INSERT INTO drawing (Dgnum, Dgname, Units, RndgDP) VALUES "
                                  "(%1, 'Generated', 'm', 2)")
                       .arg(d));
        db.Execute(QStringLiteral("INSERT INTO layer VALUES (%1, 0, 'Default layer', 2)").arg(d));
        for (int i = 0; i < perDiagram; ++i) {
            point.Reset();
            point.BindAll(
                {d, i, (i % 100) * 12.5, (i / 100) * 7.25, 50 + (i % 100) * 9, 50 + (i / 100) * 5});
            point.Run();
            seg.Reset();
            seg.BindAll({d, i, i, (i + 1) % perDiagram});
            seg.Run();
            if (i % 10 == 0) {
                text.Reset();
                text.BindAll({d, i});
                text.Run();
            }
        }
    }
    t.Commit();
}

// The scan in bare SQLite calls, each column read as the number it is;
// with the points in pixel order too when samePixel.
void Scan(sqlite3* db, bool samePixel)
{
    double sum = 0;
    std::vector<const char*> sqls(std::begin(ScanSQLs), std::end(ScanSQLs));
    if (samePixel)
        sqls.push_back(SamePixelSQL);
    for (const char* sql : sqls) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "the scan does not prepare: %s\n", sqlite3_errmsg(db));
            return;
        }
        const int columns = sqlite3_column_count(st);
        while (sqlite3_step(st) == SQLITE_ROW) {
            for (int i = 0; i < columns; ++i)
                sum += sqlite3_column_double(st, i);
        }
        sqlite3_finalize(st);
    }
    if (sum == 0)
        std::fprintf(stderr, "the scan read nothing\n");
}

void MeasureAt(int points, SizedFigures& figures)
{
    QTemporaryDir dir;
    const QString data = dir.path() + QStringLiteral("/Scalora data");
    QDir().mkpath(data);
    CreateTableStore(data, CurrentTableStoreVersion);
    TFcore core(dir.path());
    core.DBVersion = CurrentTableStoreVersion;
    core.OpenStore();
    GenerateStore(core.Database1, points / Diagrams);
    core.OpenDiagram(1);

    int zoom = HealthCheckZoom;
    TFhchk window(std::make_unique<TableHealthCheck>(core), [&zoom] { return zoom; });
    sqlite3* db = core.Database1.Handle();
    const auto check = [&](int at) {
        return MeasureSideBySide(
            Runs,
            [&](int) {
                zoom = at;
                window.Recheck1Click();
            },
            [&](int) { Scan(db, at >= HealthCheckZoom); });
    };
    figures.Report("healthcheck", points, check(HealthCheckZoom));
    if (!window.Memo1->toPlainText().contains(QStringLiteral("All scans complete")))
        BenchFail("the check did not complete");
    figures.Report("healthcheck-zoom1", points, check(1));
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ScriptedPrompts prompts;
    ScopedPromptSeam seam(prompts);
    SizedFigures figures;
    for (int points : {10000, 30000, 100000})
        MeasureAt(points, figures);
    figures.ReportGrowth();
    return 0;
}
