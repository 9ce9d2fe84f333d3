// The export to Firebird of a generated site plan at 1k, 10k and 100k
// segments (with its points, labels and layers, beside a small second
// diagram), each time into a fresh database of the second program's
// schema, beside its floor measured in the same run: the least that makes
// the same database from the same table store. The floor reads every row
// of the store by bare SQLite calls on the store's own connection and
// writes it by the Firebird client's own calls (isc_*, nothing of the
// project's layer between), through one prepared insert per table on a
// connection of the same kind, into the tables without their lookup
// indexes; then it brings the statistics of the keys up to date and makes
// the lookup indexes from the rows, all in one transaction.
// Prints "<figure> <value> <unit>".

#include "benchfigures.h"
#include "benchstore.h"

#include "export/export.h"
#include "firebird/fbschema.h"
#include "platform/ibase.h"
#include "support/scriptedprompts.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <ibase.h>
#include <map>
#include <string>
#include <vector>

namespace
{

constexpr int Runs = 5;

using Rows = std::vector<std::vector<ibase::Value>>;

// Every row the export sends, table by table, in export order: what the
// export's result is checked against.
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

// 30 December 1899, the store's day 0, counted as the engine counts days.
constexpr long long EngineDayOfDayZero = 15018;
constexpr long long MsPerDay = 86400000;

// A connection and a transaction of the Firebird client's own, with the
// parameters the program's connections and transactions take.
class RawFirebird
{
  public:
    explicit RawFirebird(const QString& path)
    {
        const QByteArray name = path.toUtf8();
        std::string dpb(1, char(isc_dpb_version1));
        Add(dpb, isc_dpb_user_name, "SYSDBA");
        Add(dpb, isc_dpb_lc_ctype, "UTF8");
        Add(dpb, isc_dpb_config, "GCPolicy = cooperative");
        isc_attach_database(status_, 0, name.constData(), &db_, short(dpb.size()), dpb.data());
        Check("attach");
        static const char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_concurrency,
                                   isc_tpb_nowait};
        isc_start_transaction(status_, &tr_, 1, &db_, short(sizeof tpb), tpb);
        Check("start");
    }
    ~RawFirebird()
    {
        if (tr_)
            isc_rollback_transaction(status_, &tr_);
        if (db_)
            isc_detach_database(status_, &db_);
    }
    RawFirebird(const RawFirebird&) = delete;
    RawFirebird& operator=(const RawFirebird&) = delete;

    void Execute(const std::string& sql)
    {
        isc_dsql_execute_immediate(status_, &db_, &tr_, 0, sql.c_str(), SQL_DIALECT_V6, nullptr);
        Check(sql.c_str());
    }

    void Commit()
    {
        isc_commit_transaction(status_, &tr_);
        Check("commit");
    }

    void Check(const char* what)
    {
        if (status_[0] != 1 || status_[1] == 0)
            return;
        std::string text = std::string(what) + ": ";
        const ISC_STATUS* at = status_;
        char line[512];
        while (fb_interpret(line, sizeof line, &at) > 0)
            text += std::string(line) + " ";
        BenchFail(text);
    }

    isc_db_handle db_ = 0;
    isc_tr_handle tr_ = 0;
    ISC_STATUS_ARRAY status_{};

  private:
    static void Add(std::string& dpb, char tag, const char* value)
    {
        dpb += tag;
        dpb += char(std::strlen(value));
        dpb += value;
    }
};

// One export table copied: its rows read from the store's table by a bare
// scan, each bound in the client's own parameter area and sent by the
// prepared insert.
class RawTableCopy
{
  public:
    RawTableCopy(RawFirebird& fb, sqlite3* store, const ExportTable& table)
        : fb_(fb), table_(table), read_(store, ReadSql(table).c_str()),
          in_(XSQLDA_LENGTH(short(table.Columns.size()))), values_(table.Columns.size())
    {
        isc_dsql_allocate_statement(fb.status_, &fb.db_, &insert_);
        fb.Check("allocate");
        const QByteArray sql = InsertStatementWithParameters(table).toUtf8();
        isc_dsql_prepare(fb.status_, &fb.tr_, &insert_, 0, sql.constData(), SQL_DIALECT_V6,
                         nullptr);
        fb.Check(sql.constData());
        Area()->version = SQLDA_VERSION1;
        Area()->sqln = short(table.Columns.size());
        isc_dsql_describe_bind(fb.status_, &insert_, SQLDA_VERSION1, Area());
        fb.Check("describe");
        indicators_.assign(table.Columns.size(), 0);
        for (size_t i = 0; i < table.Columns.size(); ++i)
            Area()->sqlvar[i].sqlind = &indicators_[i];
    }
    ~RawTableCopy() { isc_dsql_free_statement(fb_.status_, &insert_, DSQL_drop); }
    RawTableCopy(const RawTableCopy&) = delete;
    RawTableCopy& operator=(const RawTableCopy&) = delete;

    void Run()
    {
        while (read_.Step()) {
            for (size_t i = 0; i < table_.Columns.size(); ++i)
                Bind(int(i));
            isc_dsql_execute(fb_.status_, &fb_.tr_, &insert_, SQLDA_VERSION1, Area());
            fb_.Check(table_.Name);
        }
        read_.Reset();
    }

  private:
    static std::string ReadSql(const ExportTable& table)
    {
        std::string columns;
        for (const ExportColumn& c : table.Columns)
            columns += (columns.empty() ? "" : ", ") + std::string(c.Source);
        return "SELECT " + columns + " FROM " + QByteArray(table.Name).toLower().toStdString();
    }

    XSQLDA* Area() { return reinterpret_cast<XSQLDA*>(in_.data()); }

    template <typename T> void Put(XSQLVAR& var, short type, const T& value)
    {
        std::string& buffer = values_[size_t(&var - Area()->sqlvar)];
        buffer.assign(reinterpret_cast<const char*>(&value), sizeof value);
        var.sqltype = short(type | 1);
        var.sqlscale = 0;
        var.sqllen = short(sizeof value);
        var.sqldata = buffer.data();
        *var.sqlind = 0;
    }

    void Bind(int i)
    {
        XSQLVAR& var = Area()->sqlvar[i];
        const bool null = sqlite3_value_type(read_.Value(i)) == SQLITE_NULL;
        switch (table_.Columns[size_t(i)].Kind) {
        case ExportKind::Integer:
            Put(var, SQL_INT64, ISC_INT64(read_.ColumnInt64(i)));
            break;
        case ExportKind::Boolean:
            Put(var, SQL_INT64, ISC_INT64(read_.ColumnInt64(i) != 0));
            break;
        case ExportKind::Real:
            Put(var, SQL_DOUBLE, read_.ColumnReal(i));
            break;
        case ExportKind::DateTime:
            if (null || read_.ColumnReal(i) == 0) {
                var.sqltype = SQL_TIMESTAMP | 1;
                *var.sqlind = -1;
            } else {
                Put(var, SQL_TIMESTAMP, Stamp(read_.ColumnReal(i)));
            }
            break;
        case ExportKind::Text: {
            std::string& buffer = values_[size_t(i)];
            buffer = read_.ColumnText(i);
            var.sqltype = SQL_TEXT | 1;
            var.sqlsubtype = 4; // UTF8
            var.sqlscale = 0;
            var.sqllen = short(buffer.size());
            var.sqldata = buffer.data();
            *var.sqlind = 0;
            break;
        }
        case ExportKind::Memo:
            Put(var, SQL_BLOB, Blob(read_.ColumnText(i)));
            break;
        }
    }

    // Days since day 0 to the nearest second, as the export rounds them.
    static ISC_TIMESTAMP Stamp(double days)
    {
        const long long ms = std::llround(days * double(MsPerDay));
        long long day = ms / MsPerDay;
        long long second = (std::llabs(ms) % MsPerDay + 500) / 1000;
        if (second == 86400) {
            ++day;
            second = 0;
        }
        return {ISC_DATE(day + EngineDayOfDayZero), ISC_TIME(second * 10000)};
    }

    ISC_QUAD Blob(const std::string& text)
    {
        isc_blob_handle blob = 0;
        ISC_QUAD id{};
        isc_create_blob2(fb_.status_, &fb_.db_, &fb_.tr_, &blob, &id, 0, nullptr);
        fb_.Check("blob");
        for (size_t at = 0; at < text.size(); at += 32768) {
            const auto len = static_cast<unsigned short>(std::min<size_t>(32768, text.size() - at));
            isc_put_segment(fb_.status_, &blob, len, text.data() + at);
            fb_.Check("blob segment");
        }
        isc_close_blob(fb_.status_, &blob);
        fb_.Check("blob close");
        return id;
    }

    RawFirebird& fb_;
    const ExportTable& table_;
    RawStatement read_;
    isc_stmt_handle insert_ = 0;
    std::vector<char> in_;
    std::vector<short> indicators_;
    std::vector<std::string> values_;
};

// What the floor makes at its end, read from a fresh database before its
// lookup indexes are dropped: the statements that make those indexes, and
// the names of the indexes that stay, whose statistics it brings up to date.
struct FloorIndexes {
    std::vector<std::string> Create;
    std::vector<std::string> Counted;
};

void Floor(const QString& fdb, sqlite3* store, const FloorIndexes& indexes)
{
    RawFirebird fb(fdb);
    for (const ExportTable& table : ExportTables()) {
        RawTableCopy copy(fb, store, table);
        copy.Run();
    }
    for (const std::string& name : indexes.Counted)
        fb.Execute("set statistics index " + name);
    for (const std::string& sql : indexes.Create)
        fb.Execute(sql);
    fb.Commit();
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

// An index of a database that is not a system one.
struct IndexRow {
    std::string Relation;
    bool Unique = false;
    bool Counted = false; // has statistics of its rows
    std::string Columns;  // in key order, comma separated
};

std::map<std::string, IndexRow> IndexesIn(const QString& fdb)
{
    ibase::Connection c = ibase::Connection::Attach(fdb);
    ibase::Transaction t(c);
    ibase::Statement q(
        t, QStringLiteral("select trim(i.rdb$index_name), trim(i.rdb$relation_name), "
                          "coalesce(i.rdb$unique_flag, 0), coalesce(i.rdb$statistics, 0), "
                          "trim(s.rdb$field_name) from rdb$indices i join rdb$index_segments "
                          "s on s.rdb$index_name = i.rdb$index_name where "
                          "coalesce(i.rdb$system_flag, 0) = 0 order by 1, s.rdb$field_position"));
    q.Execute();
    std::map<std::string, IndexRow> all;
    while (q.Fetch()) {
        IndexRow& index = all[q.Column(0).AsText().toStdString()];
        index.Relation = q.Column(1).AsText().toStdString();
        index.Unique = q.Column(2).AsInt() != 0;
        index.Counted = q.Column(3).AsDouble() > 0;
        index.Columns += (index.Columns.empty() ? "" : ",") + q.Column(4).AsText().toStdString();
    }
    return all;
}

// The indexes of a database with their columns, and whether each has
// statistics of its rows.
QStringList IndexesOf(const QString& fdb)
{
    QStringList all;
    for (const auto& [name, index] : IndexesIn(fdb))
        all << QString::fromStdString(name + ' ' + index.Relation + ' ' + index.Columns +
                                      (index.Counted ? " counted" : ""));
    return all;
}

// A fresh database for the floor: the store's schema without its lookup
// indexes; the first time, what the floor is to make of them.
void PrepareFloor(const QString& fdb, FloorIndexes& indexes)
{
    CreateFirebirdStore(fdb);
    const std::map<std::string, IndexRow> before = IndexesIn(fdb);
    {
        ibase::Connection c = ibase::Connection::Attach(fdb);
        ibase::Transaction t(c);
        DropFirebirdLookupIndexes(t);
        t.Commit();
    }
    if (!indexes.Create.empty())
        return;
    const std::map<std::string, IndexRow> after = IndexesIn(fdb);
    for (const auto& [name, index] : before) {
        if (after.count(name))
            indexes.Counted.push_back(name);
        else
            indexes.Create.push_back(
                std::string(index.Unique ? "create unique index " : "create index ") + name +
                " on " + index.Relation + " (" + index.Columns + ")");
    }
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
    FloorIndexes indexes;

    const SideBySide m = MeasureSideBySide(
        Runs,
        [&](int) {
            prompts.Clear();
            prompts.Answer('Y');
            if (!exporter.ExportToFirebird())
                BenchFail("the export returned false");
        },
        [&](int) { Floor(floorFile, store.Handle(), indexes); },
        [&](bool work) {
            const QString& into = work ? exported : floorFile;
            QFile::remove(into);
            if (work)
                CreateFirebirdStore(into);
            else
                PrepareFloor(into, indexes);
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
