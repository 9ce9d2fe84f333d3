// The export to Firebird of a generated site plan at 1k, 10k and 100k
// segments (with its points, labels and layers, beside a small second
// diagram), each time into a fresh database of the second program's
// schema, beside its floor measured in the same run: the least that makes
// the same database, with every row's values already in memory. The floor
// loads the rows through the same prepared inserts on a connection of the
// same kind into the tables without their lookup indexes, then makes the
// indexes from the rows and brings the statistics of the keys up to date,
// all in one transaction. Prints "<figure> <value> <unit>".

#include "benchfigures.h"
#include "benchstore.h"

#include "export/export.h"
#include "firebird/fbschema.h"
#include "platform/ibase.h"
#include "support/scriptedprompts.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

namespace
{

constexpr int Runs = 5;

using Rows = std::vector<std::vector<ibase::Value>>;

// Every row the export sends, table by table, in export order.
std::vector<Rows> RowsToSend(TFcore& core)
{
    std::vector<Rows> all;
    for (const ExportTable& table : ExportTables()) {
        Rows rows;
        tables::Table& source = ExportSourceTable(core, table);
        for (source.First(); !source.Eof(); source.Next())
            rows.push_back(ExportRowValues(table, source));
        all.push_back(std::move(rows));
    }
    return all;
}

void Floor(const QString& fdb, const std::vector<Rows>& all)
{
    ibase::Connection c =
        ibase::Connection::Attach(fdb, QStringLiteral("SYSDBA"), QStringLiteral("mavel39"));
    {
        ibase::Transaction t(c);
        size_t i = 0;
        for (const ExportTable& table : ExportTables()) {
            ibase::Statement insert(t, InsertStatementWithParameters(table));
            for (const std::vector<ibase::Value>& row : all[i]) {
                for (size_t k = 0; k < row.size(); ++k)
                    insert.SetParam(int(k), row[k]);
                insert.Execute();
            }
            ++i;
        }
        RefreshFirebirdIndexStatistics(t);
        CreateMissingFirebirdLookupIndexes(t);
        t.Commit();
    }
    c.Detach();
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

// The indexes of a database with their columns, and whether each has
// statistics of its rows.
QStringList IndexesOf(const QString& fdb)
{
    ibase::Connection c = ibase::Connection::Attach(fdb);
    ibase::Transaction t(c);
    ibase::Statement q(
        t, QStringLiteral("select trim(i.rdb$index_name), trim(i.rdb$relation_name), "
                          "list(trim(s.rdb$field_name)), max(i.rdb$statistics) from "
                          "rdb$indices i join rdb$index_segments s on s.rdb$index_name = "
                          "i.rdb$index_name where coalesce(i.rdb$system_flag, 0) = 0 "
                          "group by 1, 2 order by 1"));
    q.Execute();
    QStringList all;
    while (q.Fetch())
        all << q.Column(0).AsText() + QLatin1Char(' ') + q.Column(1).AsText() + QLatin1Char(' ') +
                   q.Column(2).AsText() +
                   (q.Column(3).AsDouble() > 0 ? QStringLiteral(" counted") : QString());
    return all;
}

void CheckCopied(const QString& fdb, const std::vector<Rows>& all, const char* who)
{
    size_t i = 0;
    for (const ExportTable& table : ExportTables()) {
        if (CountRows(fdb, QString::fromLatin1(table.Name)) != (long long)all[i++].size())
            BenchFail(std::string(who) + " did not copy every row of " + table.Name);
    }
}

void ExportAt(int segments, ScriptedPrompts& prompts, SizedFigures& figures)
{
    BenchStore store(segments);
    TFcore& core = *store.Core;
    FirebirdExport exporter(core);
    const QString exported = exporter.DatabaseFileName();
    const QString floorFile = store.Folder() + QStringLiteral("/floor.fdb");
    const std::vector<Rows> all = RowsToSend(core);

    const SideBySide m = MeasureSideBySide(
        Runs,
        [&](int) {
            prompts.Clear();
            prompts.Answer('Y');
            if (!exporter.ExportToFirebird())
                BenchFail("the export returned false");
        },
        [&](int) { Floor(floorFile, all); },
        [&](bool work) {
            const QString& into = work ? exported : floorFile;
            QFile::remove(into);
            CreateFirebirdStore(into);
            if (!work) {
                ibase::Connection c = ibase::Connection::Attach(into);
                ibase::Transaction t(c);
                DropFirebirdLookupIndexes(t);
                t.Commit();
            }
        });
    CheckCopied(exported, all, "the export");
    CheckCopied(floorFile, all, "the floor");
    if (IndexesOf(exported) != IndexesOf(floorFile))
        BenchFail("the export and the floor end with different indexes: " +
                  IndexesOf(exported).join(',').toStdString() + " / " +
                  IndexesOf(floorFile).join(',').toStdString());
    Figure("export-point-rows-" + SizeTag(segments), double(all[4].size()), "rows");
    Figure("export-segment-rows-" + SizeTag(segments), double(all[5].size()), "rows");
    figures.Report("export", segments, m);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir lockDir;
    if (!lockDir.isValid())
        BenchFail("no temporary folder");
    qputenv("FIREBIRD_LOCK", QFile::encodeName(lockDir.path()));
    QApplication app(argc, argv);
    ScriptedPrompts prompts;
    ScopedPromptSeam seam(prompts);
    SizedFigures figures;
    for (const int segments : BenchSizes(argc, argv))
        ExportAt(segments, prompts, figures);
    figures.ReportGrowth();
    return 0;
}
