#pragma once
// A small C++ layer over the Firebird client library's C API: connections,
// transactions and statements with parameters and typed result columns.
// Every result code is checked; a failure becomes an ibase::Error carrying
// the client library's own text. It knows nothing of the data it carries.
//
// Ownership follows the handles: a Transaction rolls back unless it was
// committed, a Statement frees its handle, and a Connection detaches in its
// destructor after rolling back whatever is still open on it (the library
// refuses to detach with an open transaction). Objects that outlive their
// connection are left inert and report "connection is closed" when used.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <variant>
#include <vector>

namespace ibase
{

namespace detail
{
struct ConnectionState;
struct TransactionState;
struct StatementState;
} // namespace detail

// A failure reported by the client library (or a misuse of this layer).
// what() holds the library's text, lines joined with "\n".
class Error : public std::runtime_error
{
  public:
    explicit Error(const QString& text, long sqlCode = 0, long gdsCode = 0);

    QString Text() const { return QString::fromUtf8(what()); }
    // The SQL error code (e.g. -204 for an unknown table), 0 when none.
    long SqlCode() const { return sqlCode_; }
    // The library's first status code, 0 for errors raised by this layer.
    long GdsCode() const { return gdsCode_; }

  private:
    long sqlCode_;
    long gdsCode_;
};

// A calendar date and time of day as the database keeps it: the fraction of
// the second in ten-thousandths. A DATE column reads with a zero time; a
// TIME column reads with a zero date.
struct Timestamp {
    int Year = 0;
    int Month = 0;
    int Day = 0;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    int Fraction = 0; // 1/10000 s, 0 to 9999

    friend bool operator==(const Timestamp&, const Timestamp&) = default;
};

// One value of a parameter or a result column.
// Reading a NULL as a number gives 0, as text the empty text.
class Value
{
  public:
    Value() = default; // NULL
    Value(int v) : data_(int64_t(v)) {}
    Value(long v) : data_(int64_t(v)) {}
    Value(long long v) : data_(int64_t(v)) {}
    Value(double v) : data_(v) {}
    Value(const QString& v) : data_(v) {}
    Value(const char* utf8) : data_(QString::fromUtf8(utf8)) {}
    Value(const Timestamp& v) : data_(v) {}

    static Value Null() { return Value(); }

    bool IsNull() const { return std::holds_alternative<std::monostate>(data_); }
    bool IsInteger() const { return std::holds_alternative<int64_t>(data_); }
    bool IsReal() const { return std::holds_alternative<double>(data_); }
    bool IsText() const { return std::holds_alternative<QString>(data_); }
    bool IsTimestamp() const { return std::holds_alternative<Timestamp>(data_); }

    // A real is rounded to the nearest whole number; a text must hold one
    // (point as decimal separator). Anything else throws Error.
    int64_t AsInt64() const;
    int AsInt() const;
    double AsDouble() const;
    // Numbers with a point as decimal separator; a timestamp as
    // yyyy-mm-dd hh:mm:ss with the fraction appended when it is not 0.
    QString AsText() const;
    // NULL gives the all-zero timestamp; other kinds throw Error.
    Timestamp AsTimestamp() const;

    friend bool operator==(const Value&, const Value&) = default;

  private:
    std::variant<std::monostate, int64_t, double, QString, Timestamp> data_;
};

class Connection
{
  public:
    Connection();
    ~Connection();
    Connection(Connection&&) noexcept;
    Connection& operator=(Connection&&) noexcept;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens the database file at a local path. The embedded engine serves a
    // plain path in-process; a ':' would be read as host:path by the
    // library, so such a path is refused here.
    static Connection Attach(const QString& path, const QString& user = QStringLiteral("SYSDBA"),
                             const QString& password = QString());
    // Creates a new database file (SQL dialect 3, texts in UTF-8) and
    // returns the connection to it. Fails when the file exists.
    static Connection Create(const QString& path, const QString& user = QStringLiteral("SYSDBA"),
                             const QString& password = QString());

    bool IsAttached() const;
    QString Path() const;
    // Rolls back open transactions, frees statements, then detaches.
    void Detach();

  private:
    friend class Transaction;
    std::shared_ptr<detail::ConnectionState> state_;
};

class Transaction
{
  public:
    // Starts a transaction on the connection.
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(Transaction&&) noexcept;
    Transaction& operator=(Transaction&&) noexcept;
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    bool IsActive() const;
    // The engine refused to roll it back (a failing disk, say): it is still
    // open in the engine with its work. Such a transaction is never
    // committed and nothing more runs in it: a commit, a start or the next
    // statement tries the rollback again first, and throws while that fails.
    bool UndoPending() const;
    // Starts the next transaction after a commit or rollback; statements
    // prepared on this object run in it.
    void Start();
    // Both end the transaction and close every open result set in it. A
    // commit of a transaction whose undo is pending rolls it back instead.
    void Commit();
    void Rollback();
    // Runs a statement text that needs no parameters and returns no rows
    // (DDL, or a plain insert/update/delete). Starts the transaction when
    // it is not active.
    void ExecuteImmediate(const QString& sql);

  private:
    friend class Statement;
    std::shared_ptr<detail::TransactionState> state_;
};

class Statement
{
  public:
    // Prepares the statement text in the transaction (starting it when it
    // is not active). Parameters are written as ? or as :name; one name may
    // stand at several places and takes one value.
    Statement(Transaction& transaction, const QString& sql);
    ~Statement();
    Statement(Statement&&) noexcept;
    Statement& operator=(Statement&&) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // The engine's access plan for the statement, as its optimizer chose it
    // ("PLAN (POINT INDEX (PK_POINT))"); empty for a statement without one.
    QString Plan() const;
    // True for a statement that returns rows through Fetch (a select, or
    // one with a RETURNING clause, whose single row Fetch delivers once).
    bool ReturnsRows() const;

    int ParamCount() const;
    // index counts from 0 in the order of the placeholders.
    void SetParam(int index, const Value& value);
    // Sets every :name placeholder of that name (letter case ignored).
    void SetParam(const QString& name, const Value& value);
    void ClearParams();

    // Runs the statement in its transaction (starting it when needed);
    // a select opens its result set, closing the previous one.
    void Execute();
    // Rows the last Execute inserted, updated and deleted together.
    int64_t RowsAffected() const;
    // Moves to the next row; false after the last one.
    bool Fetch();
    // Closes the result set early; harmless when none is open.
    void Close();

    int ColumnCount() const;
    // The column's name as the statement gives it (its alias when it has one).
    QString ColumnName(int index) const;
    // -1 when no column has that name (letter case ignored).
    int ColumnIndex(const QString& name) const;
    // Values of the current row, the row the last successful Fetch read.
    Value Column(int index) const;
    Value Column(const QString& name) const;
    // The same read straight from the row the engine handed over, without
    // a Value on the way, for scans of many rows: as Column(index).AsInt()
    // and Column(index).AsDouble(); NULL reads as 0.
    int ColumnInt(int index) const;
    double ColumnDouble(int index) const;
    // A timestamp column as the engine keeps it: days since 17 November
    // 1858 and ten-thousandths of a second since midnight. False for NULL;
    // a column of another type throws Error.
    bool ColumnDayAndTime(int index, int32_t& day, uint32_t& time) const;

  private:
    std::unique_ptr<detail::StatementState> state_;
};

} // namespace ibase
