// The export to Firebird of a generated store of 100,000 points and 100,000
// segments, against Firebird's own isql-fb running the same rows as INSERT
// statements from a script into an empty database of the same schema. Both
// are measured side by side in one run, each into a fresh database.
// Prints "<figure> <value> <unit>".

#include "benchfigures.h"

#include "library/scriptedprompts.h"
#include "platform/ibase.h"
#include "platform/tables.h"
#include "store/core.h"
#include "store/export.h"
#include "store/fbschema.h"
#include "store/tableschema.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace
{

constexpr int Points = 100000;
constexpr int Segments = 100000;
constexpr int Columns = 400; // points per row of the generated grid
constexpr int Runs = 3;

[[noreturn]] void Fail(const QString& text)
{
    std::fprintf(stderr, "bench-export: %s\n", qPrintable(text));
    std::exit(1);
}

// Lengths with every digit of a double in use, creation times with
// fractions of a second, so the statements are as long as real ones.
void GenerateStore(tables::Database& db)
{
    tables::Transaction t(db);
    db.Execute(QStringLiteral("INSERT INTO drawing (Dgnum, Dgname, Units, RndgDP, notes) VALUES "
                              "(1, 'Generated', 'mm', 2, 'A generated plan')"));
    db.Execute(QStringLiteral("INSERT INTO layer VALUES (1, 0, 'Default layer', 2), "
                              "(1, 1, 'Faint', 1)"));
    tables::Statement& point = db.Prepare(QStringLiteral(
        "INSERT INTO point (Dgnum, Pointnum, Lenx, Leny, Pxlx, Pxly, Rprts, Layernum, CreateTS) "
        "VALUES (1, ?, ?, ?, ?, ?, 0, 0, ?)"));
    for (int n = 0; n < Points; ++n) {
        const int r = n / Columns;
        const int c = n % Columns;
        point.Reset();
        point.BindAll(
            {n, c * 125.5 + r / 3.0, r * 80.25 + c / 7.0, c * 4, r * 3, 45000.5 + n * 1.1e-5});
        point.Run();
    }
    tables::Statement& seg = db.Prepare(QStringLiteral(
        "INSERT INTO seg (Dgnum, Segnum, FromPt, ToPt, SegType, Seglen, Mlenx, Mleny, Mlenz, "
        "Layernum, Lenx1, Leny1, Lenx2, Leny2, Pxlx1, Pxly1, Pxlx2, Pxly2, CreateTS, Dotted, "
        "Xorflag, Measured, faint) VALUES (1, ?, ?, ?, 2, 0, ?, 0, 0, ?, ?, ?, ?, ?, 0, 0, 4, 3, "
        "?, 0, 0, 1, 0)"));
    for (int n = 0; n < Segments; ++n) {
        const int from = n;
        const int to = (n + 1) % Points;
        seg.Reset();
        seg.BindAll({n, from, to, 125.5 + n / 9.0, n % 5 == 0 ? 1 : 0, n / 3.0, n / 7.0,
                     n / 3.0 + 125.5, n / 7.0 + 0.25, 45000.5 + n * 1.3e-5});
        seg.Run();
    }
    t.Commit();
}

// The rows of the store as the statements the export would send, with
// their values written in, one per line.
void WriteScript(TFcore& core, const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        Fail(QStringLiteral("cannot write ") + path);
    tables::Table* sources[] = {&core.Table5, &core.Table6, &core.Table8, &core.Table7,
                                &core.Table2, &core.Table1, &core.Table4};
    int i = 0;
    for (const ExportTable& table : ExportTables()) {
        tables::Table& source = *sources[i++];
        for (source.First(); !source.Eof(); source.Next())
            file.write(
                (InsertStatementText(table, ExportRowValues(table, source)) + QStringLiteral(";\n"))
                    .toUtf8());
    }
    file.write("COMMIT;\n");
}

void FreshDatabase(const QString& path)
{
    QFile::remove(path);
    CreateFirebirdStore(path);
}

long long CountRows(const QString& fdb, const QString& table)
{
    ibase::Connection c = ibase::Connection::Attach(fdb);
    ibase::Transaction t(c);
    ibase::Statement q(t, QStringLiteral("select count(*) from ") + table);
    q.Execute();
    q.Fetch();
    return q.Column(0).AsInt64();
}

void CheckCopied(const QString& fdb, const char* who)
{
    if (CountRows(fdb, QStringLiteral("POINT")) != Points ||
        CountRows(fdb, QStringLiteral("SEG")) != Segments)
        Fail(QStringLiteral("%1 did not copy every row").arg(QLatin1String(who)));
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    QTemporaryDir lockDir;
    if (!dir.isValid() || !lockDir.isValid())
        Fail(QStringLiteral("no temporary folder"));
    // The engine in this process and the one in isql-fb share this folder.
    qputenv("FIREBIRD_LOCK", QFile::encodeName(lockDir.path()));
    QApplication app(argc, argv);
    ScriptedPrompts prompts;
    ScopedPromptSeam seam(prompts);

    const QString isql = QStandardPaths::findExecutable(QStringLiteral("isql-fb"));
    if (isql.isEmpty())
        Fail(QStringLiteral("isql-fb not found (package firebird3.0-utils)"));

    const QString data = dir.path() + QStringLiteral("/Scalora data");
    QDir().mkpath(data);
    QDir().mkpath(dir.path() + QStringLiteral("/Scalora2 data"));
    CreateTableStore(data, CurrentTableStoreVersion);
    TFcore core(dir.path());
    core.ReadIniFile();
    core.DBVersion = CurrentTableStoreVersion;
    core.OpenStore();
    GenerateStore(core.Database1);

    FirebirdExport exporter(core);
    const QString exported = exporter.DatabaseFileName();
    const QString scripted = dir.path() + QStringLiteral("/scripted.fdb");
    const QString script = dir.path() + QStringLiteral("/rows.sql");
    WriteScript(core, script);

    std::vector<double> exportMs;
    std::vector<double> isqlMs;
    for (int run = 0; run < Runs; ++run) {
        FreshDatabase(exported);
        prompts.Clear();
        prompts.Answer('Y');
        bool copied = false;
        exportMs.push_back(Ms([&] { copied = exporter.ExportToFirebird(); }));
        if (!copied)
            Fail(QStringLiteral("the export returned false"));
        CheckCopied(exported, "the export");

        FreshDatabase(scripted);
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        isqlMs.push_back(Ms([&] {
            process.start(isql,
                          {QStringLiteral("-user"), QStringLiteral("SYSDBA"), QStringLiteral("-ch"),
                           QStringLiteral("UTF8"), QStringLiteral("-q"), QStringLiteral("-bail"),
                           QStringLiteral("-i"), script, scripted});
            process.waitForFinished(-1);
        }));
        if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
            Fail(QStringLiteral("isql-fb failed: ") + QString::fromUtf8(process.readAll()));
        CheckCopied(scripted, "isql-fb");
    }

    const double ours = Median(exportMs);
    const double theirs = Median(isqlMs);
    Figure("export-100k-points-100k-segments", ours, "ms");
    Figure("isql-script-100k-points-100k-segments", theirs, "ms");
    Figure("export-to-isql-ratio", ours / theirs, "ratio");
    return 0;
}
