// The health check of generated table stores of 10,000, 30,000 and 100,000
// points and as many segments in 20 diagrams, against one scan of those rows
// joined as the checks need them: every segment with its two end points,
// every text with its point, and every point, read by bare SQLite calls.
// Both are measured side by side in one run on the same store. The check runs from the window's
// Recheck, so the figure holds the report and the busy cursor too. Prints "<figure> <value>
// <unit>".

#include "benchfigures.h"

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

// The scan in bare SQLite calls, each column read as the number it is.
void Scan(sqlite3* db)
{
    double sum = 0;
    for (const char* sql : ScanSQLs) {
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

void MeasureAt(int points)
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
    std::vector<double> scan, check, checkZoom1;
    for (int i = 0; i < Runs; ++i) {
        scan.push_back(Ms([&] { Scan(core.Database1.Handle()); }));
        zoom = HealthCheckZoom;
        check.push_back(Ms([&] { window.Recheck1Click(); }));
        zoom = 1;
        checkZoom1.push_back(Ms([&] { window.Recheck1Click(); }));
    }
    if (!window.Memo1->toPlainText().contains(QStringLiteral("All scans complete")))
        std::fprintf(stderr, "the check did not complete\n");
    const std::string size = std::to_string(points / 1000) + "k";
    const double scanMs = Median(scan);
    Figure(("joined-scan-" + size + "-points-and-segments").c_str(), scanMs, "ms");
    Figure(("healthcheck-" + size + "-points-and-segments").c_str(), Median(check), "ms");
    Figure(("healthcheck-to-scan-ratio-" + size).c_str(), Median(check) / scanMs, "ratio");
    Figure(("healthcheck-zoom1-to-scan-ratio-" + size).c_str(), Median(checkZoom1) / scanMs,
           "ratio");
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ScriptedPrompts prompts;
    ScopedPromptSeam seam(prompts);
    for (int points : {10000, 30000, 100000})
        MeasureAt(points);
    return 0;
}
