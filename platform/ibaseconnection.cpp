#include "platform/ibase.h"
#include "platform/ibaseinternal.h"

#include <QFileInfo>

#include <ibase.h>

#include <csignal>
#include <string>

namespace ibase
{

using namespace detail;

namespace
{

// A local path the embedded engine opens in-process. A relative name could
// be taken for an alias of the engine's configuration, so it is made
// absolute; a ':' would send the request to a host of that name.
QString LocalDatabasePath(const QString& path)
{
    if (path.trimmed().isEmpty())
        throw Error(QStringLiteral("No database file name given"));
    if (path.contains(QLatin1Char(':')))
        throw Error(
            QStringLiteral("Database file name must not contain ':' (read as host:path): %1")
                .arg(path));
    return QFileInfo(path).absoluteFilePath();
}

void AppendDpbText(std::string& dpb, char tag, const QString& value, const char* what)
{
    const QByteArray bytes = value.toUtf8();
    if (bytes.size() > 255)
        throw Error(QStringLiteral("%1 is too long").arg(QLatin1String(what)));
    dpb += tag;
    dpb += char(bytes.size());
    dpb.append(bytes.constData(), size_t(bytes.size()));
}

QString SqlQuoted(const QString& text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

// The embedded engine takes SIGTERM and SIGINT over when it first opens a
// database and shuts every connection of the process down on them, so that
// the program's next statement (its own clean close included) fails. What
// those signals do stays the program's choice: this puts back whatever
// handled them before.
class KeepTerminationHandlers
{
  public:
    KeepTerminationHandlers()
    {
        sigaction(SIGTERM, nullptr, &term_);
        sigaction(SIGINT, nullptr, &interrupt_);
    }
    ~KeepTerminationHandlers()
    {
        sigaction(SIGTERM, &term_, nullptr);
        sigaction(SIGINT, &interrupt_, nullptr);
    }
    KeepTerminationHandlers(const KeepTerminationHandlers&) = delete;
    KeepTerminationHandlers& operator=(const KeepTerminationHandlers&) = delete;

  private:
    struct sigaction term_ = {};
    struct sigaction interrupt_ = {};
};

void DetachState(ConnectionState& conn, bool throwOnError)
{
    if (conn.db == 0)
        return;
    for (StatementState* s : conn.statements)
        s->Free();
    for (TransactionState* tx : conn.transactions)
        RollbackQuietly(*tx);
    ISC_STATUS_ARRAY status;
    isc_detach_database(status, &conn.db);
    if (Failed(status)) {
        // The handle is of no further use whatever the library said.
        conn.db = 0;
        if (throwOnError)
            ThrowStatus(status);
    }
    conn.db = 0;
}

} // namespace

// ---------------------------------------------------------- transactions

namespace detail
{

void RequireAttached(const ConnectionState& conn)
{
    if (conn.db == 0)
        throw Error(QStringLiteral("The database connection is closed"));
}

void StartTransaction(TransactionState& tx)
{
    RequireAttached(*tx.conn);
    if (tx.tr != 0)
        throw Error(QStringLiteral("The transaction is already active"));
    // Snapshot isolation as the library's default, but without waiting on a
    // lock: a conflict between two transactions of this one process would
    // otherwise stall the only thread until the engine declares a deadlock.
    static const char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_concurrency,
                               isc_tpb_nowait};
    ISC_STATUS_ARRAY status;
    isc_start_transaction(status, &tx.tr, 1, &tx.conn->db, short(sizeof tpb), tpb);
    Check(status);
    ++tx.generation;
}

void EnsureActive(TransactionState& tx)
{
    // Nothing runs in a transaction whose undo failed: it is undone first.
    if (tx.undoPending)
        RollBack(tx);
    if (tx.tr == 0)
        StartTransaction(tx);
}

// A rollback the engine refuses leaves the transaction open in the engine
// with its work in it; it is marked, and tried again at the next use.
void RollBack(TransactionState& tx)
{
    ISC_STATUS_ARRAY status;
    isc_rollback_transaction(status, &tx.tr);
    if (Failed(status)) {
        tx.undoPending = true;
        ThrowStatus(status);
    }
    tx.tr = 0;
    tx.undoPending = false;
}

// Ends a transaction without throwing; used where an error has nowhere to go.
void RollbackQuietly(TransactionState& tx)
{
    if (tx.tr == 0)
        return;
    ISC_STATUS_ARRAY status;
    isc_rollback_transaction(status, &tx.tr);
    tx.tr = 0;
    tx.undoPending = false;
}

} // namespace detail

// -------------------------------------------------------------- connection

Connection::Connection() = default;
Connection::Connection(Connection&&) noexcept = default;

Connection& Connection::operator=(Connection&& other) noexcept
{
    if (this != &other) {
        if (state_)
            DetachState(*state_, false);
        state_ = std::move(other.state_);
    }
    return *this;
}

Connection::~Connection()
{
    if (state_)
        DetachState(*state_, false);
}

Connection Connection::Attach(const QString& path, const QString& user, const QString& password)
{
    const QString local = LocalDatabasePath(path);
    std::string dpb(1, char(isc_dpb_version1));
    AppendDpbText(dpb, isc_dpb_user_name, user, "User name");
    if (!password.isEmpty())
        AppendDpbText(dpb, isc_dpb_password, password, "Password");
    AppendDpbText(dpb, isc_dpb_lc_ctype, QStringLiteral("UTF8"), "Character set");
    // Old versions of rows are cleared by whoever reads them. Left to the
    // engine's collector thread, each such row read wakes that thread, and
    // reading a diagram just after a redraw stamped its points costs several
    // times the read itself. The engine takes this from the first attachment
    // to a database in the process.
    AppendDpbText(dpb, isc_dpb_config, QStringLiteral("GCPolicy = cooperative"), "Configuration");

    Connection c;
    c.state_ = std::make_shared<ConnectionState>();
    c.state_->path = local;
    const QByteArray name = local.toUtf8();
    ISC_STATUS_ARRAY status;
    const KeepTerminationHandlers handlers;
    isc_attach_database(status, 0, name.constData(), &c.state_->db, short(dpb.size()), dpb.data());
    Check(status);
    return c;
}

Connection Connection::Create(const QString& path, const QString& user, const QString& password)
{
    const QString local = LocalDatabasePath(path);
    QString sql =
        QStringLiteral("CREATE DATABASE %1 USER %2").arg(SqlQuoted(local), SqlQuoted(user));
    if (!password.isEmpty())
        sql += QStringLiteral(" PASSWORD %1").arg(SqlQuoted(password));
    sql += QStringLiteral(" SET NAMES 'UTF8' DEFAULT CHARACTER SET UTF8");

    Connection c;
    c.state_ = std::make_shared<ConnectionState>();
    c.state_->path = local;
    const QByteArray text = sql.toUtf8();
    isc_tr_handle tr = 0;
    ISC_STATUS_ARRAY status;
    const KeepTerminationHandlers handlers;
    isc_dsql_execute_immediate(status, &c.state_->db, &tr, 0, text.constData(), Dialect, nullptr);
    Check(status);
    return c;
}

bool Connection::IsAttached() const
{
    return state_ && state_->db != 0;
}

QString Connection::Path() const
{
    return state_ ? state_->path : QString();
}

void Connection::Detach()
{
    if (state_)
        DetachState(*state_, true);
}

// ------------------------------------------------------------- transaction

Transaction::Transaction(Connection& connection)
{
    if (!connection.state_)
        throw Error(QStringLiteral("The database connection is closed"));
    state_ = std::make_shared<TransactionState>(connection.state_);
    StartTransaction(*state_);
}

Transaction::Transaction(Transaction&&) noexcept = default;

Transaction& Transaction::operator=(Transaction&& other) noexcept
{
    if (this != &other) {
        if (state_)
            RollbackQuietly(*state_);
        state_ = std::move(other.state_);
    }
    return *this;
}

Transaction::~Transaction()
{
    if (state_)
        RollbackQuietly(*state_);
}

bool Transaction::IsActive() const
{
    return state_ && state_->tr != 0;
}

bool Transaction::UndoPending() const
{
    return state_ && state_->undoPending;
}

void Transaction::Start()
{
    if (!state_)
        throw Error(QStringLiteral("The transaction was moved away"));
    if (state_->undoPending)
        RollBack(*state_);
    StartTransaction(*state_);
}

void Transaction::Commit()
{
    if (!IsActive())
        throw Error(QStringLiteral("No transaction is active"));
    if (state_->undoPending) {
        // Its work failed and was reported so when the undo failed: it is
        // undone, never committed.
        RollBack(*state_);
        return;
    }
    ISC_STATUS_ARRAY status;
    isc_commit_transaction(status, &state_->tr);
    Check(status);
    state_->tr = 0;
}

void Transaction::Rollback()
{
    if (!IsActive())
        throw Error(QStringLiteral("No transaction is active"));
    RollBack(*state_);
}

void Transaction::ExecuteImmediate(const QString& sql)
{
    if (!state_)
        throw Error(QStringLiteral("The transaction was moved away"));
    RequireAttached(*state_->conn);
    EnsureActive(*state_);
    const QByteArray text = sql.toUtf8();
    ISC_STATUS_ARRAY status;
    isc_dsql_execute_immediate(status, &state_->conn->db, &state_->tr, 0, text.constData(), Dialect,
                               nullptr);
    Check(status);
}

} // namespace ibase
