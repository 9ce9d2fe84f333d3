// The store file and the write-ahead log beside it, as users copy, move and
// restore them: every commit is in the file alone when it ends, and a log
// that a crash left is applied only to the file it belongs to. Crashes are
// real: a child process killed with SIGKILL, its connections never closed.

#include "filealone.h"
#include "platform/tablelog.h"
#include "platform/tables.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

using tables::Database;

namespace
{

constexpr const char* Schema =
    "PRAGMA journal_mode=WAL;"
    "CREATE TABLE point (Dgnum INTEGER NOT NULL, Pointnum INTEGER NOT NULL, Lenx REAL, "
    "Leny REAL, PRIMARY KEY (Dgnum, Pointnum));"
    "CREATE INDEX pxl ON point (Dgnum, Lenx, Leny);";

class TableLogTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        data_ = dir_.path() + "/Scalora data/";
        ASSERT_TRUE(QDir().mkpath(data_));
        MakeStore(File());
    }

    QString File() const { return data_ + tables::DataFileName; }
    QString Log() const { return File() + "-wal"; }

    // A store with points 1 to 10, made and closed by SQLite itself.
    static void MakeStore(const QString& file)
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(file.toUtf8().constData(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, Schema, nullptr, nullptr, nullptr), SQLITE_OK);
        Insert(db, 1, 10);
        sqlite3_close(db);
    }

    static void Insert(sqlite3* db, int first, int last)
    {
        for (int n = first; n <= last; ++n) {
            const QByteArray sql =
                QStringLiteral("INSERT INTO point VALUES (1, %1, %1.25, 0)").arg(n).toUtf8();
            ASSERT_EQ(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        }
    }

    void Open(Database& db) const
    {
        db.Params = QStringList{"PATH=" + data_};
        db.RequiredTables = QStringList{"point"};
        db.Open();
    }

    // Points first to last written through the engine, in one transaction
    // or each on its own.
    static void Store(Database& db, int first, int last, bool oneTransaction = true)
    {
        std::optional<tables::Transaction> t;
        if (oneTransaction)
            t.emplace(db);
        for (int n = first; n <= last; ++n)
            db.Execute(QStringLiteral("INSERT INTO point VALUES (1, %1, %1.25, 0)").arg(n));
        if (t)
            t->Commit();
    }

    static long long Number(Database& db, const char* sql)
    {
        tables::Statement st(db, sql);
        EXPECT_TRUE(st.Step());
        return st.ColumnInt64(0);
    }

    static QString IntegrityOf(Database& db)
    {
        tables::Statement st(db, "PRAGMA integrity_check");
        QStringList lines;
        while (st.Step())
            lines << st.ColumnText(0);
        return lines.join('\n');
    }

    // Copies a file's bytes over another in place, as cp does: the file
    // keeps its inode, so only its contents tell it apart.
    static void CopyOver(const QString& from, const QString& to)
    {
        QFile source(from);
        ASSERT_TRUE(source.open(QIODevice::ReadOnly));
        QFile target(to);
        ASSERT_TRUE(target.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(target.write(source.readAll()), source.size());
    }

    QStringList SetAside() const
    {
        return QDir(data_).entryList({"tables.sqlite-wal.set-aside-*"}, QDir::Files);
    }

    // Runs the work in a child process and kills it there, as a crash or a
    // kill -9 ends the program. The child opens its own connections, so no
    // SQLite state crosses the fork.
    static void Crash(const std::function<void()>& work)
    {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            try {
                work();
            } catch (...) {
                _exit(3);
            }
            raise(SIGKILL);
            _exit(4);
        }
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "the child ended without its crash: " << status;
    }

    // A crash after points 11 to 40 were committed while another reader of
    // the store held the log in place, so that they are in the log only, as
    // a crash in the middle of a commit's fold leaves them.
    void CrashWithChangesOnlyInTheLog()
    {
        Crash([this] {
            sqlite3* reader = nullptr;
            sqlite3_open(File().toUtf8().constData(), &reader);
            sqlite3_exec(reader, "BEGIN; SELECT count(*) FROM point", nullptr, nullptr, nullptr);
            Database db;
            Open(db);
            Store(db, 11, 20);
            Store(db, 21, 40, false);
        });
        ASSERT_EQ(ScalarOfFileAlone(File(), "SELECT count(*) FROM point"), 10);
        ASSERT_TRUE(tables::ReadLog(Log()).Committed);
    }

    QTemporaryDir dir_;
    QString data_;
};

TEST_F(TableLogTest, EveryCommitIsInTheFileAloneTheMomentItEnds)
{
    Database db;
    Open(db);
    Store(db, 11, 15);
    Store(db, 16, 17, false);
    // A copy of the file alone, taken while the program runs, lacks nothing.
    EXPECT_EQ(ScalarOfFileAlone(File(), "SELECT count(*) FROM point"), 17);
    EXPECT_EQ(QFileInfo(Log()).size(), 0);
    {
        // A transaction that changes nothing leaves the mark alone.
        const long long before = Number(db, "PRAGMA user_version");
        tables::Transaction reading(db);
        EXPECT_EQ(Number(db, "SELECT count(*) FROM point"), 17);
        reading.Commit();
        EXPECT_EQ(Number(db, "PRAGMA user_version"), before);
    }
    // Each change's mark is one more than the last in its low half, under
    // the same high half while the store stays open.
    const uint32_t first = uint32_t(Number(db, "PRAGMA user_version"));
    Store(db, 18, 18);
    const uint32_t second = uint32_t(Number(db, "PRAGMA user_version"));
    EXPECT_EQ(second >> 16, first >> 16);
    EXPECT_EQ(second & 0xffff, (first + 1) & 0xffff);
}

TEST_F(TableLogTest, AStoreMovedAwayWhileOpenHoldsEverythingStoredInIt)
{
    const QString elsewhere = dir_.path() + "/elsewhere.sqlite";
    {
        Database db;
        Open(db);
        Store(db, 11, 12);
        ASSERT_TRUE(QFile::rename(File(), elsewhere));
        // Nothing more goes into a file the program no longer finds.
        EXPECT_THROW(Store(db, 13, 13, false), tables::EngineError);
        db.Close();
    }
    EXPECT_EQ(ScalarOfFileAlone(elsewhere, "SELECT count(*) FROM point"), 12);
    EXPECT_EQ(ScalarOfFileAlone(elsewhere, "SELECT max(Pointnum) FROM point"), 12);
    EXPECT_LE(QFileInfo(Log()).size(), 0);
}

TEST_F(TableLogTest, AStoreRenamedOverTheOpenOneOpensSoundAfterwards)
{
    const QString other = dir_.path() + "/other.sqlite";
    MakeStore(other);
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(other.toUtf8().constData(), &db), SQLITE_OK);
        Insert(db, 100, 104);
        sqlite3_close(db);
    }
    {
        Database db;
        Open(db);
        Store(db, 11, 30);
        // Renamed over it, as mv does.
        ASSERT_EQ(
            ::rename(QFile::encodeName(other).constData(), QFile::encodeName(File()).constData()),
            0);
        EXPECT_THROW(Store(db, 31, 31, false), tables::EngineError);
        db.Close();
    }
    Database db;
    Open(db);
    EXPECT_EQ(IntegrityOf(db), "ok");
    EXPECT_EQ(Number(db, "SELECT count(*) FROM point"), 15);
    EXPECT_EQ(Number(db, "SELECT max(Pointnum) FROM point"), 104);
}

TEST_F(TableLogTest, ACrashLeavesEveryCommittedChangeForTheSameFile)
{
    CrashWithChangesOnlyInTheLog();
    Database db;
    Open(db);
    EXPECT_EQ(IntegrityOf(db), "ok");
    EXPECT_EQ(Number(db, "SELECT count(*) FROM point"), 40);
    EXPECT_TRUE(SetAside().isEmpty());
    // Folded in at the opening: the file alone holds them now.
    EXPECT_EQ(ScalarOfFileAlone(File(), "SELECT count(*) FROM point"), 40);
}

TEST_F(TableLogTest, ABackupCopiedOverAfterACrashOpensAsTheBackupWas)
{
    const QString backup = dir_.path() + "/backup.sqlite";
    ASSERT_TRUE(QFile::copy(File(), backup));
    {
        // The store changes after the backup. (A copy of the file exactly
        // as it was before the crashed session would be the same file.)
        Database db;
        Open(db);
        db.Execute("DELETE FROM point WHERE Pointnum = 1");
        db.Execute("INSERT INTO point VALUES (1, 1, 1.25, 0)");
    }
    CrashWithChangesOnlyInTheLog();
    CopyOver(backup, File());

    Database db;
    Open(db);
    EXPECT_EQ(IntegrityOf(db), "ok");
    EXPECT_EQ(Number(db, "SELECT count(*) FROM point"), 10);
    // The crashed session's log is kept aside, never applied.
    ASSERT_EQ(SetAside().size(), 1);
    EXPECT_TRUE(tables::ReadLog(data_ + SetAside().front()).Committed);
    Store(db, 11, 11);
    EXPECT_EQ(ScalarOfFileAlone(File(), "SELECT count(*) FROM point"), 11);
}

TEST_F(TableLogTest, AnotherStoreCopiedOverAfterACrashOpensWhole)
{
    const QString other = dir_.path() + "/other.sqlite";
    MakeStore(other);
    {
        // Another site, opened by the program before: it bears marks of its own.
        Database db;
        db.Params = QStringList{"PATH=" + dir_.path() + "/site2/"};
        ASSERT_TRUE(QDir().mkpath(dir_.path() + "/site2"));
        ASSERT_TRUE(QFile::rename(other, dir_.path() + "/site2/tables.sqlite"));
        db.Open();
        Store(db, 50, 51);
        db.Close();
    }
    CrashWithChangesOnlyInTheLog();
    CopyOver(dir_.path() + "/site2/tables.sqlite", File());

    Database db;
    Open(db);
    EXPECT_EQ(IntegrityOf(db), "ok");
    EXPECT_EQ(Number(db, "SELECT count(*) FROM point"), 12);
    EXPECT_EQ(SetAside().size(), 1);
}

TEST_F(TableLogTest, AStoreAnotherProgramHasOpenKeepsItsLog)
{
    int ready[2];
    int release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        sqlite3* db = nullptr;
        sqlite3_open(File().toUtf8().constData(), &db);
        // A change of its own whose mark is not one of this program's.
        sqlite3_exec(db,
                     "BEGIN; INSERT INTO point VALUES (1, 99, 1, 1); PRAGMA user_version=12345; "
                     "COMMIT",
                     nullptr, nullptr, nullptr);
        char byte = 1;
        [[maybe_unused]] ssize_t n = write(ready[1], &byte, 1);
        n = read(release[0], &byte, 1);
        _exit(0);
    }
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    EXPECT_TRUE(tables::StoreInUseElsewhere(File()));
    // Even a log that does not look like the file's stays while in use.
    EXPECT_FALSE(tables::LogBelongsToFile(tables::ReadLog(Log()), tables::StoreFileMark(File())));
    EXPECT_TRUE(tables::SetAsideForeignLog(File()).isEmpty());
    EXPECT_GT(QFileInfo(Log()).size(), 0);
    ASSERT_EQ(write(release[1], &byte, 1), 1);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_FALSE(tables::StoreInUseElsewhere(File()));
    for (int fd : {ready[0], ready[1], release[0], release[1]})
        close(fd);
}

TEST(TableLogMarks, ALogBelongsToTheFileWithOneOfItsMarksOrTheOneBefore)
{
    tables::LogContents log;
    log.Committed = true;
    log.Marks = {0x12340008, 0x12340009};
    EXPECT_TRUE(tables::LogBelongsToFile(log, 0x12340009u)); // folded in
    EXPECT_TRUE(tables::LogBelongsToFile(log, 0x12340008u)); // page one folded, the rest not yet
    EXPECT_TRUE(tables::LogBelongsToFile(log, 0xabcd0007u)); // nothing folded yet
    EXPECT_FALSE(tables::LogBelongsToFile(log, 0xabcd0005u));
    EXPECT_FALSE(tables::LogBelongsToFile(log, 0u));
    // The low half wraps round.
    log.Marks = {0x55550000};
    EXPECT_TRUE(tables::LogBelongsToFile(log, 0x7777ffffu));
    // Changes that carry no mark cannot be told apart: SQLite has them.
    log.Marks.clear();
    EXPECT_TRUE(tables::LogBelongsToFile(log, 5u));
}

} // namespace
