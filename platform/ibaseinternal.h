#pragma once
// What the Firebird wrapper's sources share and nothing else uses: the state
// behind the handles, the status checks and the transaction helpers. The
// status checks and timestamp conversions live in ibase.cpp, the transaction
// helpers in ibaseconnection.cpp, row reading and parameter binding in
// ibasedata.cpp.

#include "platform/ibase.h"

#include <QString>

#include <ibase.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <optional>
#include <utility>
#include <vector>

namespace ibase::detail
{

inline constexpr unsigned short Dialect = 3;

// ---------------------------------------------------------------- errors

inline bool Failed(const ISC_STATUS* status)
{
    return status[0] == 1 && status[1] != 0;
}

QString StatusText(const ISC_STATUS* status);
[[noreturn]] void ThrowStatus(const ISC_STATUS* status);
void Check(const ISC_STATUS* status);

// ------------------------------------------------------------ timestamps

ISC_TIMESTAMP EncodeTimestamp(const Timestamp& t);
Timestamp DecodeTimestamp(const ISC_TIMESTAMP& value);
Timestamp DecodeDate(const ISC_DATE& value);
Timestamp DecodeTime(const ISC_TIME& value);

// ------------------------------------------------------------ the handles

struct ConnectionState {
    isc_db_handle db = 0;
    QString path;
    std::vector<TransactionState*> transactions;
    std::vector<StatementState*> statements;
};

struct TransactionState {
    explicit TransactionState(std::shared_ptr<ConnectionState> c) : conn(std::move(c))
    {
        conn->transactions.push_back(this);
    }
    ~TransactionState() { std::erase(conn->transactions, this); }

    std::shared_ptr<ConnectionState> conn;
    isc_tr_handle tr = 0;
    // Counts the transactions started on this object, so a statement can
    // tell that the one its result set belonged to has ended.
    uint64_t generation = 0;
    // The engine could not roll the transaction back (a write that fails):
    // it is still open there, holding work that must never be committed.
    bool undoPending = false;
};

void RequireAttached(const ConnectionState& conn);
void StartTransaction(TransactionState& tx);
void EnsureActive(TransactionState& tx);
void RollBack(TransactionState& tx);
void RollbackQuietly(TransactionState& tx);

// --------------------------------------------------------------- statements

// An XSQLDA with room for n variables, with the buffers its variables point at.
class Sqlda
{
  public:
    explicit Sqlda(int n = 1) { Resize(n); }

    void Resize(int n)
    {
        n = std::max(n, 1);
        da_.reset(static_cast<XSQLDA*>(std::calloc(1, XSQLDA_LENGTH(n))));
        if (!da_)
            throw std::bad_alloc();
        da_->version = SQLDA_VERSION1;
        da_->sqln = short(n);
        buffers_.assign(size_t(n), {});
        indicators_.assign(size_t(n), 0);
    }

    XSQLDA* get() const { return da_.get(); }
    int Count() const { return da_->sqld; }
    XSQLVAR& Var(int i) const { return da_->sqlvar[i]; }

    // Points variable i at a fresh buffer of size bytes and its indicator.
    char* Attach(int i, size_t size)
    {
        // Eight-byte units keep every buffer aligned for the numbers in it.
        buffers_[size_t(i)].assign((std::max<size_t>(size, 8) + 7) / 8, 0);
        XSQLVAR& var = Var(i);
        var.sqldata = reinterpret_cast<char*>(buffers_[size_t(i)].data());
        var.sqlind = &indicators_[size_t(i)];
        return var.sqldata;
    }

  private:
    struct FreeDeleter {
        void operator()(XSQLDA* p) const { std::free(p); }
    };
    std::unique_ptr<XSQLDA, FreeDeleter> da_;
    std::vector<std::vector<uint64_t>> buffers_;
    std::vector<short> indicators_;
};

struct StatementState {
    explicit StatementState(std::shared_ptr<TransactionState> t) : tx(std::move(t))
    {
        tx->conn->statements.push_back(this);
    }
    ~StatementState()
    {
        Free();
        std::erase(tx->conn->statements, this);
    }

    void Free()
    {
        if (stmt == 0)
            return;
        ISC_STATUS_ARRAY status;
        isc_dsql_free_statement(status, &stmt, DSQL_drop);
        stmt = 0;
    }

    ConnectionState& Conn() const { return *tx->conn; }

    std::shared_ptr<TransactionState> tx;
    isc_stmt_handle stmt = 0;
    QString sql;
    int type = 0;
    Sqlda in;
    Sqlda out;
    // The parameters as the engine described them; a bound value may
    // replace type and length, a NULL goes back to these.
    std::vector<XSQLVAR> describedIn;
    std::vector<QString> paramNames; // upper-case name per placeholder, empty for ?
    std::vector<std::optional<Value>> params;
    bool cursorOpen = false;
    uint64_t cursorGeneration = 0;
    bool singletonPending = false;
    bool hasRow = false;
    // The current row's values are decoded into row only when one is asked
    // for as a Value; the typed reads take them from the output area.
    bool rowDecoded = false;
    bool hasBlobColumn = false;
    std::vector<Value> row;
};

// Makes the output area the current row. A row with a blob is decoded at
// once, while its transaction surely still runs.
void TakeRow(StatementState& s);
// Decodes the current row of the output area into s.row.
void ReadRow(StatementState& s);
// Column i of the current row as a whole number, a real, or the engine's
// own day and time of a timestamp, read straight from the output area;
// NULL reads as 0 (false for the timestamp).
int64_t ReadInteger(StatementState& s, int i);
double ReadReal(StatementState& s, int i);
bool ReadDayAndTime(StatementState& s, int i, int32_t& day, uint32_t& time);
// Puts parameter i's value into the input area.
void BindParam(StatementState& s, int i);

} // namespace ibase::detail
