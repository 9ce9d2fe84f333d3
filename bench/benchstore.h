#pragma once
// A table store in a temporary folder holding the generated site, opened
// by scalora's own store with the site's diagram open, and the raw SQLite
// statements the lower bounds are made of (sqlite3_step and typed column
// reads, nothing of the program's own table engine).

#include "benchsite.h"

#include "platform/tables.h"
#include "tablestore/core.h"
#include "tablestore/tableschema.h"

#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sqlite3.h>
#include <string>

[[noreturn]] inline void BenchFail(const std::string& text)
{
    std::fprintf(stderr, "bench: %s\n", text.c_str());
    std::exit(1);
}

class BenchStore
{
  public:
    explicit BenchStore(int segments)
    {
        if (!dir_.isValid())
            BenchFail("no temporary folder");
        QDir().mkpath(DataFolder());
        QDir().mkpath(dir_.path() + QStringLiteral("/Scalora2 data"));
        CreateTableStore(DataFolder(), CurrentTableStoreVersion);
        {
            // The site is written through a connection of its own, so the
            // store opens it as it would open a user's file.
            tables::Database db;
            db.Params = QStringList{QStringLiteral("PATH=") + DataFolder()};
            db.Open();
            Size = benchsite::WriteBenchSites(db, segments);
        }
        Core = std::make_unique<TFcore>(dir_.path());
        Core->ReadIniFile();
        Core->DBVersion = CurrentTableStoreVersion;
        Core->OpenStore();
        if (!Core->OpenDiagram(benchsite::SiteDiagram))
            BenchFail("the site's diagram does not open");
    }

    QString Folder() const { return dir_.path(); }
    QString DataFolder() const { return dir_.path() + QStringLiteral("/Scalora data"); }
    sqlite3* Handle() const { return Core->Database1.Handle(); }

    std::unique_ptr<TFcore> Core;
    benchsite::SiteSize Size;

  private:
    QTemporaryDir dir_;
};

// A statement prepared once on the store's own connection, stepped with
// the bare SQLite calls.
class RawStatement
{
  public:
    RawStatement(sqlite3* db, const char* sql) : db_(db)
    {
        if (sqlite3_prepare_v2(db, sql, -1, &st_, nullptr) != SQLITE_OK)
            BenchFail(std::string("prepare: ") + sqlite3_errmsg(db) + " in " + sql);
    }
    ~RawStatement() { sqlite3_finalize(st_); }
    RawStatement(const RawStatement&) = delete;
    RawStatement& operator=(const RawStatement&) = delete;

    RawStatement& Int(int i, int v)
    {
        sqlite3_bind_int(st_, i, v);
        return *this;
    }
    RawStatement& Real(int i, double v)
    {
        sqlite3_bind_double(st_, i, v);
        return *this;
    }
    RawStatement& Text(int i, const std::string& v)
    {
        sqlite3_bind_text(st_, i, v.c_str(), int(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    bool Step()
    {
        const int rc = sqlite3_step(st_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            BenchFail(std::string("step: ") + sqlite3_errmsg(db_));
        return false;
    }
    void Run()
    {
        while (Step()) {
        }
        Reset();
    }
    void Reset() { sqlite3_reset(st_); }
    int ColumnInt(int i) const { return sqlite3_column_int(st_, i); }
    long long ColumnInt64(int i) const { return sqlite3_column_int64(st_, i); }
    double ColumnReal(int i) const { return sqlite3_column_double(st_, i); }
    std::string ColumnText(int i) const
    {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st_, i));
        return text ? std::string(text, size_t(sqlite3_column_bytes(st_, i))) : std::string();
    }
    sqlite3_value* Value(int i) const { return sqlite3_column_value(st_, i); }

  private:
    sqlite3* db_;
    sqlite3_stmt* st_ = nullptr;
};

inline void RawExec(sqlite3* db, const char* sql)
{
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string text = error ? error : "";
        sqlite3_free(error);
        BenchFail("exec: " + text + " in " + sql);
    }
}
