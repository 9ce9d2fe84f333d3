#include "platform/tables.h"

#include "platform/tablelog.h"
#include "platform/tablesinternal.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QUrl>
#include <algorithm>
#include <iterator>
#include <sqlite3.h>

namespace tables
{

namespace detail
{

void FailFrom(sqlite3* db)
{
    Fail(QString::fromUtf8(sqlite3_errmsg(db)), sqlite3_errcode(db) & 0xff);
}

} // namespace detail

namespace
{

using detail::Fail;
using detail::FailFrom;
using detail::Quoted;

// Prepared statements kept per connection; past this many the cache is
// emptied, so texts with literal values in them cannot grow it for ever.
constexpr size_t MaxCachedStatements = 200;

// The engine's settings for the store's work (measured: README).
constexpr int PageCacheKiB = 64 * 1024;
constexpr long long MappedBytes = 256LL * 1024 * 1024;

// Calls f on each stretch of the text that lies outside single-quoted
// string literals and appends its result; literals are copied unchanged.
template <typename F> QString OutsideLiterals(const QString& sql, F f)
{
    QString out;
    QString chunk;
    bool inLiteral = false;
    for (const QChar c : sql) {
        if (c == '\'') {
            if (!inLiteral) {
                out += f(chunk);
                chunk.clear();
            }
            inLiteral = !inLiteral;
            out += c;
        } else if (inLiteral) {
            out += c;
        } else {
            chunk += c;
        }
    }
    out += f(chunk);
    return out;
}

} // namespace

QString MapTableNames(const QString& sql)
{
    static const QRegularExpression fileName(
        QStringLiteral("\"?\\b(drawing|pflays|point|seg|text|layer|pfl)\\.db\\b\"?"),
        QRegularExpression::CaseInsensitiveOption);
    return OutsideLiterals(sql, [](QString chunk) {
        QString out;
        qsizetype last = 0;
        auto it = fileName.globalMatch(chunk);
        while (it.hasNext()) {
            const auto m = it.next();
            out += chunk.mid(last, m.capturedStart() - last);
            out += m.captured(1).toLower();
            last = m.capturedEnd();
        }
        out += chunk.mid(last);
        return out;
    });
}

QString PlainTableName(const QString& name)
{
    QString t = name.trimmed();
    if (t.startsWith('"') && t.endsWith('"') && t.size() >= 2) {
        t = t.mid(1, t.size() - 2);
    }
    if (t.endsWith(QStringLiteral(".db"), Qt::CaseInsensitive)) {
        t.chop(3);
    }
    return t.toLower();
}

QStringList ParameterNames(const QString& sql)
{
    QStringList names;
    QChar quote;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (!quote.isNull()) {
            if (c == quote) {
                quote = QChar();
            }
            continue;
        }
        if (c == '\'' || c == '"') {
            quote = c;
            continue;
        }
        if (c != ':' || i + 1 >= sql.size()) {
            continue;
        }
        const QChar first = sql[i + 1];
        if (!first.isLetter() && first != '_') {
            continue;
        }
        qsizetype j = i + 1;
        while (j < sql.size() && (sql[j].isLetterOrNumber() || sql[j] == '_')) {
            ++j;
        }
        const QString name = sql.mid(i + 1, j - i - 1);
        if (!names.contains(name, Qt::CaseInsensitive)) {
            names << name;
        }
        i = j - 1;
    }
    return names;
}

namespace
{

// The first column of every row of one statement on the connection.
QStringList FirstColumn(sqlite3* db, const char* sql)
{
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) {
        FailFrom(db);
    }
    QStringList rows;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        rows << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) {
        FailFrom(db);
    }
    return rows;
}

QString CheckOpenStore(sqlite3* db, const QStringList& requiredTables)
{
    const QStringList verdict = FirstColumn(db, "PRAGMA integrity_check");
    if (verdict != QStringList{QStringLiteral("ok")}) {
        return verdict.join('\n');
    }
    const QStringList names = FirstColumn(db, "SELECT lower(name) FROM sqlite_master "
                                              "WHERE type = 'table'");
    for (const QString& table : requiredTables) {
        if (!names.contains(table.toLower())) {
            return QStringLiteral("table %1 is missing").arg(table);
        }
    }
    return QStringLiteral("ok");
}

} // namespace

QString CheckStoreFile(const QString& file, const QStringList& requiredTables)
{
    if (!QFileInfo(file).isFile()) {
        return QStringLiteral("%1 is not there").arg(file);
    }
    const QString uri =
        QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toString(QUrl::FullyEncoded) +
        QStringLiteral("?immutable=1");
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(uri.toUtf8().constData(), &db,
                                   SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
    if (rc != SQLITE_OK) {
        const QString text = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
        sqlite3_close_v2(db);
        return QStringLiteral("cannot open %1: %2").arg(file, text);
    }
    QString verdict;
    try {
        verdict = CheckOpenStore(db, requiredTables);
    } catch (const EngineError& e) {
        verdict = QString::fromStdString(e.what());
    }
    sqlite3_close_v2(db);
    return verdict;
}

// ---------------------------------------------------------------- Database

Database::Database() = default;

Database::~Database()
{
    try {
        Close();
    } catch (...) {
        // A failing close at destruction has nobody left to tell.
    }
}

QString Database::Folder() const
{
    for (const QString& p : Params) {
        if (p.startsWith(QStringLiteral("PATH="), Qt::CaseInsensitive)) {
            return p.mid(5);
        }
    }
    return {};
}

QString Database::FilePath() const
{
    return QDir(Folder()).filePath(QString::fromLatin1(DataFileName));
}

void Database::Open()
{
    if (Connected()) {
        return;
    }
    const QString folder = Folder();
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        Fail(QStringLiteral("Data folder not found: %1").arg(folder));
    }
    const QString file = FilePath();
    if (!QFileInfo::exists(file)) {
        Fail(QStringLiteral("Table store not found: %1").arg(file));
    }
    // Before SQLite looks at the log: it would apply whatever log it finds.
    SetAsideForeignLog(file);
    sqlite3* db = nullptr;
    // One connection used by one thread: SQLite need not lock it around
    // every call, which a pass over many rows would otherwise pay per value.
    const int rc = sqlite3_open_v2(file.toUtf8().constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString text = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
        sqlite3_close_v2(db);
        Fail(QStringLiteral("Cannot open %1: %2").arg(file, text), rc & 0xff);
    }
    db_ = db;
    opened_ = IdentityOf(file);
    session_ = uint16_t(QRandomGenerator::system()->generate());
    sqlite3_busy_handler(db_, WaitForLock, this);
    sqlite3_wal_hook(db_, &Database::FoldLogAfterCommit, this);
    try {
        // Reading the schema only reads: a file that is not a database, or
        // not one of ours (an empty file among them), is refused before the
        // first write below could touch it.
        CheckRequiredTables();
        // A crash never leaves half a transaction behind, and each commit is
        // folded into the main file and synced to the disk as it ends
        // (FoldLogAfterCommit), so that the file alone always holds every
        // change.
        Execute(QStringLiteral("PRAGMA journal_mode=WAL"));
        Execute(QStringLiteral("PRAGMA synchronous=NORMAL"));
        // A refresh reads every page of a diagram: a page cache that holds a
        // large one (taken only as pages are read) and reads straight from
        // the mapped file keep it from copying each page in from the system
        // again at every refresh (README, design notes).
        Execute(QStringLiteral("PRAGMA cache_size=-%1").arg(PageCacheKiB));
        Execute(QStringLiteral("PRAGMA mmap_size=%1").arg(MappedBytes));
        // What a crash left in the log goes into the main file now, so that
        // a copy of the main file taken from here on holds every commit.
        FoldLog();
    } catch (...) {
        Close();
        throw;
    }
}

void Database::CheckRequiredTables()
{
    Statement st(*this, QStringLiteral("SELECT lower(name) FROM sqlite_master WHERE type='table'"));
    QStringList present;
    while (st.Step()) {
        present << st.Column(0).toString();
    }
    for (const QString& table : RequiredTables) {
        if (!present.contains(table.toLower())) {
            Fail(QStringLiteral("no such table: %1 in %2").arg(table, FilePath()),
                 MissingTableCode);
        }
    }
}

// SQLite's busy handler: true to try the lock again after a short sleep,
// false to give up with SQLITE_BUSY. The sleeps grow as SQLite's own busy
// timeout's do, so a lock held for a moment costs a moment.
int Database::WaitForLock(void* database, int attempts)
{
    auto& db = *static_cast<Database*>(database);
    if (db.folding_) {
        return 0; // a fold leaves to the next one what another program still reads
    }
    const auto now = std::chrono::steady_clock::now();
    if (attempts == 0) {
        db.waitStarted_ = now;
    }
    if (!db.waiting_) {
        db.waiting_ = true;
        if (db.LockWait) {
            db.LockWait(true);
        }
    }
    const auto waited =
        std::chrono::duration_cast<std::chrono::milliseconds>(now - db.waitStarted_).count();
    if (waited >= LockWaitMs) {
        return 0;
    }
    static constexpr int Sleeps[] = {1, 2, 5, 10, 15, 20, 25, 25, 25, 50, 50, 100};
    const int sleep = attempts < int(std::size(Sleeps)) ? Sleeps[attempts] : 100;
    sqlite3_sleep(std::min<int>(sleep, LockWaitMs - static_cast<int>(waited)));
    return 1;
}

void Database::EndLockWait()
{
    if (waiting_) {
        waiting_ = false;
        if (LockWait) {
            LockWait(false);
        }
    }
}

void Database::Close()
{
    if (!db_) {
        return;
    }
    statements_.clear();
    if (depth_ > 0) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        depth_ = 0;
        wrote_ = false;
    }
    // SQLite's own fold at closing passes over a file that has been moved or
    // replaced; whatever the log still holds belongs in that file.
    FoldLog();
    sqlite3_close_v2(db_);
    db_ = nullptr;
    opened_.reset();
    EndLockWait();
}

QString Database::NotOpenText() const
{
    return QStringLiteral("The table store \"%1\" is not open, so nothing can be read from it or "
                          "stored in it: it could not be opened (the message then said why). "
                          "Close the program, mend the cause and start it again")
        .arg(FilePath());
}

std::string Database::LastError() const
{
    return db_ ? sqlite3_errmsg(db_) : "database not open";
}

void Database::Execute(const QString& sql)
{
    if (!db_) {
        Fail(NotOpenText());
    }
    Statement st(*this, MapTableNames(sql));
    st.Run();
}

bool Database::TableExists(const QString& plainName)
{
    Statement& st = Prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type='table' AND "
                                           "lower(name)=lower(?)"));
    st.Bind(1, plainName);
    const bool found = st.Step();
    st.Reset();
    return found;
}

bool Database::ColumnExists(const QString& plainName, const QString& column)
{
    Statement st(*this, QStringLiteral("PRAGMA table_info(%1)").arg(Quoted(plainName)));
    while (st.Step()) {
        if (st.Column(1).toString().compare(column, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

void Database::RequireFileOpened() const
{
    if (db_ && !StillTheFileOpened(FilePath(), opened_)) {
        Fail(DatabaseFileGoneText(FilePath()));
    }
}

void Database::Flush()
{
    if (depth_ == 0) {
        FoldLog();
    }
}

// The mark a commit writes: the session's own high half, chosen at random
// at each opening, and the low half one more than the file's mark before, so
// that the mark before a log's first change can be told from the log alone
// and a backup from another session never bears one of this session's marks.
void Database::WriteNextCommitMark()
{
    Statement current(*this, QStringLiteral("PRAGMA user_version"));
    const uint32_t before = current.Step() ? uint32_t(current.ColumnInt64(0)) : 0;
    const uint32_t mark = (uint32_t(session_) << 16) | ((before + 1) & 0xffffu);
    Execute(QStringLiteral("PRAGMA user_version=%1").arg(static_cast<int32_t>(mark)));
}

// Copies the log into the main file, syncs both and empties the log, without
// waiting for another program reading the store: what that program still
// reads stays in the log, and the next commit or flush folds it.
void Database::FoldLog()
{
    if (!db_) {
        return;
    }
    folding_ = true;
    sqlite3_wal_checkpoint_v2(db_, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
    folding_ = false;
}

// The commit has happened whatever the fold does: a fold that fails leaves the
// change safe in the log, and the next one folds it.
int Database::FoldLogAfterCommit(void* self, sqlite3*, const char*, int)
{
    static_cast<Database*>(self)->FoldLog();
    return SQLITE_OK;
}

void Database::BeginTransaction()
{
    if (depth_ == 0) {
        Execute(QStringLiteral("BEGIN IMMEDIATE"));
        wrote_ = false;
    } else {
        Execute(QStringLiteral("SAVEPOINT sp%1").arg(depth_));
    }
    ++depth_;
}

void Database::Commit()
{
    if (depth_ <= 0) {
        Fail(QStringLiteral("Commit without a transaction"));
    }
    if (depth_ == 1) {
        if (wrote_) {
            WriteNextCommitMark();
        }
        Execute(QStringLiteral("COMMIT"));
        wrote_ = false;
    } else {
        Execute(QStringLiteral("RELEASE sp%1").arg(depth_ - 1));
    }
    --depth_;
}

void Database::Rollback()
{
    if (depth_ <= 0) {
        return;
    }
    --depth_;
    if (depth_ == 0) {
        wrote_ = false;
        Execute(QStringLiteral("ROLLBACK"));
    } else {
        Execute(QStringLiteral("ROLLBACK TO sp%1").arg(depth_));
        Execute(QStringLiteral("RELEASE sp%1").arg(depth_));
    }
}

Statement& Database::Prepare(const QString& sql)
{
    auto it = statements_.find(sql);
    if (it != statements_.end()) {
        it->second->Reset();
        return *it->second;
    }
    if (statements_.size() >= MaxCachedStatements) {
        statements_.clear();
    }
    auto st = std::make_unique<Statement>(*this, sql);
    Statement& ref = *st;
    statements_.emplace(sql, std::move(st));
    return ref;
}

// ------------------------------------------------------------- Transaction

Transaction::Transaction(Database& db) : db_(db)
{
    db_.BeginTransaction();
}

Transaction::~Transaction()
{
    if (open_) {
        try {
            db_.Rollback();
        } catch (...) {
            // The connection reports the failure at its next use.
        }
    }
}

void Transaction::Commit()
{
    db_.Commit();
    open_ = false;
}

} // namespace tables
