#pragma once
// The table engine: keyed tables and SQL queries over one SQLite file in a
// data folder. It stands in for the desktop database engine the drawing
// store was written for, so it keeps that engine's way of working: a
// database opened on a folder through a "PATH=" parameter, tables walked in
// the order of their primary key or of a secondary index, rows edited and
// posted in place, and queries whose SQL names the tables as files
// ("seg.db", "\"point.db\"", "pflays.DB"). Every engine error becomes an
// EngineError carrying SQLite's own text.

#include "platform/fileidentity.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace tables
{

class EngineError : public std::runtime_error
{
  public:
    explicit EngineError(const std::string& text, int code = 0)
        : std::runtime_error(text), code_(code)
    {
    }
    // SQLite's primary result code (SQLITE_BUSY, SQLITE_FULL, ...), or 0
    // for a fault the engine found itself (MissingTableCode for one).
    int Code() const { return code_; }

  private:
    int code_ = 0;
};

// The code of a database file that lacks a table its owner requires: a file
// of some other program, not a fault of SQLite's.
inline constexpr int MissingTableCode = -1;

// How long a statement waits for another connection's lock before it fails
// with SQLITE_BUSY.
inline constexpr int LockWaitMs = 5000;

// The store file inside a data folder.
inline constexpr const char* DataFileName = "tables.sqlite";

// The file-style table names of the SQL texts ("seg.db", "\"point.db\"",
// "pflays.DB", any case) replaced by the plain table names; string literals
// are left alone.
QString MapTableNames(const QString& sql);

// A table name as the datasets are given it ("seg.db") in plain form ("seg").
QString PlainTableName(const QString& name);

// Whether a copied store file is sound: it opens, SQLite's integrity check
// finds nothing wrong and it holds the tables named (plain names, any case).
// "ok", or what is wrong with it. The file is opened read-only as one that
// nothing changes, so neither it nor its folder is touched.
QString CheckStoreFile(const QString& file, const QStringList& requiredTables);

class Statement;

class Database
{
  public:
    Database();
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    QString DatabaseName;
    QString DriverName;
    QStringList Params; // "PATH=<folder>"
    // Tables the file must hold to be opened at all (plain names, any case).
    QStringList RequiredTables;
    // Called with true when a statement begins to wait for another
    // program's lock, and with false once it has its answer (the lock, or
    // SQLITE_BUSY after LockWaitMs). It runs inside the statement: it may
    // show that the program waits, but must not use the connection.
    std::function<void(bool waiting)> LockWait;

    // Opens the store file of the folder named by the PATH parameter. The
    // file is never created here: a missing folder or file is an error, and
    // so is a file that is not a database or lacks a required table; nothing
    // is written into such a file. A write-ahead log left by a crash is
    // folded into the main file before Open returns, when it is this file's;
    // one left by a file since replaced is set aside, never applied
    // (platform/tablelog.h).
    //
    // Every commit is folded into the main file as it ends, so that the file
    // alone holds every change: a copy of it, or the file moved elsewhere,
    // lacks nothing, and a crash leaves no committed change only in the log.
    void Open();
    void Close();
    bool Connected() const { return db_ != nullptr; }
    QString Folder() const;
    QString FilePath() const;
    // What a user is told when something needs the store while it is closed.
    QString NotOpenText() const;

    // Runs one statement that returns no rows.
    void Execute(const QString& sql);
    bool TableExists(const QString& plainName);
    bool ColumnExists(const QString& plainName, const QString& column);

    // Makes every committed change durable in the main store file, also
    // when the file has been moved away (it is the file they belong to),
    // without waiting for another program that reads the store; nothing
    // while a transaction is open.
    void Flush();

    // Throws when the store file has gone (deleted, moved or replaced since
    // it was opened), so that nothing more is written into a file that is
    // lost when the connection closes. Every write outside a transaction
    // checks it; the owner of a transaction checks before committing.
    void RequireFileOpened() const;

    // Transactions nest: the outermost commits, inner ones are savepoints.
    void BeginTransaction();
    void Commit();
    void Rollback();
    int TransactionDepth() const { return depth_; }
    // Called by a statement that changes the store, so that the commit
    // carries a new commit mark (platform/tablelog.h).
    void NoteWrite() { wrote_ = true; }

    // A prepared statement kept for the life of the connection.
    Statement& Prepare(const QString& sql);
    sqlite3* Handle() const { return db_; }
    std::string LastError() const;

    // A call into SQLite has returned: a wait for a lock it made is over.
    void EndLockWait();

  private:
    void CheckRequiredTables();
    void WriteNextCommitMark();
    void FoldLog();
    static int FoldLogAfterCommit(void* self, sqlite3* db, const char* name, int frames);
    static int WaitForLock(void* database, int attempts);

    sqlite3* db_ = nullptr;
    bool waiting_ = false;
    std::chrono::steady_clock::time_point waitStarted_;
    std::optional<FileIdentity> opened_;
    int depth_ = 0;
    bool wrote_ = false;   // the open transaction changed the store
    bool folding_ = false; // a fold of the log is running: it never waits
    uint16_t session_ = 0; // the high half of this opening's commit marks
    std::map<QString, std::unique_ptr<Statement>> statements_;
};

// Rolls back unless committed.
class Transaction
{
  public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit();

  private:
    Database& db_;
    bool open_ = true;
};

// A prepared SQLite statement with binding by name or position.
class Statement
{
  public:
    Statement(Database& db, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void Reset();
    void Bind(int index, const QVariant& value); // 1-based
    void BindAll(const std::vector<QVariant>& values);
    // Binds every occurrence of :name (the name without case).
    void BindName(const QString& name, const QVariant& value);
    // Typed binds for statements run over many rows.
    void BindInt(int index, long long value);
    void BindDouble(int index, double value);
    void BindText(int index, const QByteArray& utf8);
    bool Step(); // true while a row is ready
    void Run();  // steps to the end, for statements without rows
    int ColumnCount() const;
    QString ColumnName(int i) const;
    QVariant Column(int i) const;
    // Typed reads of a column of the current row, for passes over many
    // rows: whole numbers and reals are taken as the engine holds them,
    // anything else is converted as a Field converts it, so a value reads
    // the same either way.
    bool ColumnIsNull(int i) const;
    int ColumnInt(int i) const;
    long long ColumnInt64(int i) const;
    double ColumnDouble(int i) const;
    // A whole number or real as the engine holds it, NULL as 0, and NaN for
    // any other value: a text the engine could not take for a number in a
    // column of numbers ("abc", "1,5"), or a blob.
    double ColumnNumber(int i) const;
    bool ColumnBool(int i) const;
    QString ColumnText(int i) const;
    int ParameterCount() const;
    QString ParameterName(int i) const; // 1-based, without the leading ':'

  private:
    bool StepOnce();
    bool StepInTransactionOfItsOwn();

    Database& db_;
    sqlite3_stmt* stmt_ = nullptr;
    QString sql_;
    bool writes_ =
        false; // changes the store (not a read, a pragma or a transaction's start or end)
};

// One column of the current row.
class Field
{
  public:
    Field() = default;
    Field(QString name, QVariant value) : FieldName(std::move(name)), Value(std::move(value)) {}

    QString FieldName;
    QVariant Value;

    bool IsNull() const { return Value.isNull(); }
    int AsInteger() const;
    double AsFloat() const;
    QString AsString() const;
    bool AsBoolean() const;
    double AsDateTime() const { return AsFloat(); }

    void SetInteger(int v) { Value = v; }
    void SetFloat(double v) { Value = v; }
    void SetString(const QString& v) { Value = v; }
    void SetBoolean(bool v) { Value = v ? 1 : 0; }
    void SetDateTime(double v) { Value = v; }
    void Clear() { Value = QVariant(); }
};

// What tables and queries share: a current row of named fields.
class DataSet
{
  public:
    virtual ~DataSet() = default;

    Database* database = nullptr;
    QString DatabaseName; // the alias the dataset is bound to ("mydb")

    bool Active() const { return active_; }
    bool Eof() const { return eof_; }
    bool Bof() const { return bof_; }
    virtual void Close();

    virtual void First() = 0;
    virtual void Next() = 0;
    virtual void Prior() = 0;
    virtual void Last() = 0;
    virtual int RecordCount() = 0;
    bool IsEmpty() { return RecordCount() == 0; }

    Field& FieldByName(const QString& name);
    Field* FindField(const QString& name);
    int FieldCount() const { return static_cast<int>(fields_.size()); }
    Field& Fields(int i) { return fields_.at(static_cast<size_t>(i)); }

  protected:
    Database& Db() const;
    void CheckActive() const;
    void SetFields(const QStringList& names);

    std::vector<Field> fields_;
    bool active_ = false;
    bool eof_ = true;
    bool bof_ = true;
};

// A table walked in the order of its primary key, or of a secondary index
// when IndexName is set (ties in an index are ordered by the primary key).
// The table is live: every move reads the row from the file, so changes made
// through queries are seen at the next move.
class Table : public DataSet
{
  public:
    QString TableName; // "seg.db", "pflays.DB" ...
    QString IndexName; // "" for the primary key, or "pxlxy"

    enum class State { Browse, Edit, Insert };

    void Open();
    void Close() override;

    void First() override;
    void Next() override;
    void Prior() override;
    void Last() override;
    int RecordCount() override;

    // Moves to the first row whose leading ordering columns equal the values.
    bool FindKey(const std::vector<QVariant>& values);

    void Edit();
    void Insert(); // Append is the same: rows take their place by key.
    void Append() { Insert(); }
    void Post();
    void Cancel();
    void Delete();
    void Refresh();
    State CurrentState() const { return state_; }

    void FlushBuffers();
    const QStringList& OrderColumns() const { return order_; }

  private:
    bool ReadRow(Statement& st);
    void LoadRowid(long long rowid);
    std::vector<QVariant> CurrentOrderValues() const;
    QString OrderBy(bool descending) const;
    QString RowValue() const;

    QString plain_;
    QStringList columns_;
    QStringList order_;
    QString select_;
    long long rowid_ = 0;
    bool onRow_ = false;
    State state_ = State::Browse;
};

// A table's rows in the order it is walked in (its key, or its index), read
// by one statement from the first row to the last: for a pass over a whole
// table, where a Table's moves (a seek for every row) cost several times
// more. It only goes forward; the table is read as it stands at First.
class TableScan : public DataSet
{
  public:
    explicit TableScan(Table& table);

    void First() override;
    void Next() override;
    void Prior() override;
    void Last() override;
    int RecordCount() override;

  private:
    void Read();

    Table& table_;
    std::unique_ptr<Statement> st_;
};

// Writes the fields of a row being edited or inserted and posts it; when
// either fails the edit is cancelled, so the table is usable again.
template <typename F> void PostOrCancel(Table& table, F write)
{
    try {
        write();
        table.Post();
    } catch (...) {
        table.Cancel();
        throw;
    }
}

// A query parameter, set before Open or ExecSQL.
class Param
{
  public:
    QString Name;
    QVariant Value;
    void SetInteger(int v) { Value = v; }
    void SetFloat(double v) { Value = v; }
    void SetString(const QString& v) { Value = v; }
    void SetBoolean(bool v) { Value = v ? 1 : 0; }
    void SetDateTime(double v) { Value = v; }
    int AsInteger() const { return Value.toInt(); }
};

// An SQL query. Open runs it and keeps its rows; ExecSQL runs a statement
// that returns none. A parameter name may appear more than once.
class Query : public DataSet
{
  public:
    QStringList SQL;

    void SetSQL(const QString& text);
    QString SQLText() const { return SQL.join('\n'); }
    Param& ParamByName(const QString& name);
    std::vector<Param>& Params();

    void Open();
    void ExecSQL();
    void Close() override;
    int RowsAffected() const { return rowsAffected_; }

    void First() override;
    void Next() override;
    void Prior() override;
    void Last() override;
    int RecordCount() override;
    int RecNo() const { return row_ + 1; } // 1-based; 0 when empty

  private:
    void SyncParams();
    Statement& PreparedStatement();
    void BindParams(Statement& st);
    void ShowRow();

    std::vector<Param> params_;
    QString paramsFor_;
    std::vector<std::vector<QVariant>> rows_;
    int row_ = -1;
    int rowsAffected_ = 0;
};

// The parameter names of an SQL text, in order of first appearance,
// without the leading ':'; names inside string literals do not count.
QStringList ParameterNames(const QString& sql);

} // namespace tables
