// The backup of the data folder before a repair, on a real store whose
// newest changes, written by another program, still sit in its write-ahead
// log.

#include "fifowatch.h"
#include "filealone.h"
#include "filelimit.h"
#include "library/datetexts.h"
#include "store/storefixture.h"
#include "tablestore/tablehealthcheck.h"

#include <QFile>
#include <QFileInfo>

namespace
{

using Kind = ScriptedPrompts::Kind;

class HealthBackupTest : public StoreTest
{
  protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        data_ = Core().TableFolder;
        AddPoints(1, 20);
        AddPointsElsewhere(21, 25);
    }

    // Points another program writes and commits; the program's own commits
    // are folded into the file as they end, another's stay in the log.
    void AddPointsElsewhere(int32_t first, int32_t last, sqlite3* other = nullptr)
    {
        sqlite3* db = other;
        if (!db) {
            ASSERT_EQ(sqlite3_open_v2((data_ + "tables.sqlite").toUtf8().constData(), &db,
                                      SQLITE_OPEN_READWRITE, nullptr),
                      SQLITE_OK);
            sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        }
        for (int32_t n = first; n <= last; ++n) {
            const QByteArray sql = QStringLiteral("INSERT INTO point (Dgnum, Pointnum, Lenx, "
                                                  "Leny) VALUES (1, %1, %1, 0)")
                                       .arg(n)
                                       .toUtf8();
            ASSERT_EQ(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        }
        if (!other) {
            sqlite3_close_v2(db);
        }
    }

    void AddPoints(int32_t first, int32_t last)
    {
        for (int32_t n = first; n <= last; ++n) {
            Exec(QStringLiteral("INSERT INTO point (Dgnum, Pointnum, Lenx, Leny) VALUES (1, %1, "
                                "%1, 0)")
                     .arg(n));
        }
    }

    HealthBackup Backup() { return TableHealthCheck(Core()).BackupBeforeRepair(); }

    QString Parent() const { return TableHealthCheck(*core_).BackupParentFolder(); }

    static QStringList Names(const QString& folder)
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    // The store is open again and works.
    void ExpectStoreOpen()
    {
        EXPECT_TRUE(Core().Database1.Connected());
        EXPECT_TRUE(Core().Table1.Active());
        EXPECT_TRUE(Core().Table5.Active());
        TPointRec p;
        EXPECT_TRUE(Core().LoadPoint(25, p));
    }

    QString data_;
};

TEST_F(HealthBackupTest, CopiesTheWholeStoreWithItsLogFoldedIn)
{
    // The newest rows are only in the log so far.
    ASSERT_GT(QFileInfo(data_ + "tables.sqlite-wal").size(), 0);
    const QDateTime then(QDate(2003, 4, 5), QTime(6, 7, 8));
    {
        QFile other(data_ + "site notes.txt");
        ASSERT_TRUE(other.open(QIODevice::WriteOnly));
        other.write("kept with the store");
        other.flush();
        other.setFileTime(then, QFileDevice::FileModificationTime);
    }

    const HealthBackup backup = Backup();

    ASSERT_TRUE(backup.Made) << backup.Error.toStdString();
    EXPECT_TRUE(backup.Folder.startsWith(Parent() + "RPR"));
    EXPECT_TRUE(backup.Folder.endsWith('/'));
    EXPECT_EQ(prompts_.Texts(), QStringList{"Making directory " + backup.Folder});
    EXPECT_EQ(Names(backup.Folder), QStringList({"site notes.txt", "tables.sqlite"}));
    EXPECT_EQ(QFileInfo(backup.Folder + "site notes.txt").lastModified(), then);
    EXPECT_EQ(
        tables::CheckStoreFile(backup.Folder + "tables.sqlite", Core().Database1.RequiredTables),
        "ok");
    const QString copy = backup.Folder + "tables.sqlite";
    EXPECT_EQ(ScalarOfFileAlone(copy, "SELECT count(*) FROM point"), 25);
    EXPECT_EQ(ScalarOfFileAlone(copy, "SELECT count(*) FROM drawing"), 1);
    ExpectStoreOpen();
    // What the store does afterwards stays out of the backup.
    AddPoints(26, 26);
    EXPECT_EQ(ScalarOfFileAlone(copy, "SELECT count(*) FROM point"), 25);
}

TEST_F(HealthBackupTest, ABackupNeverWritesOverAnEarlierOne)
{
    // Folders for this minute and the next, as if backups had just been made.
    ASSERT_TRUE(QDir().mkpath(Parent()));
    const double now = NowDateTime();
    QStringList taken;
    for (int s = 0; s <= 120; ++s) {
        const QString name = "RPR" + FormatDateTimeValue(DateTimeSeconds, now + s / 86400.0);
        ASSERT_TRUE(QDir(Parent()).mkpath(name));
        taken << name;
    }

    const HealthBackup backup = Backup();

    ASSERT_TRUE(backup.Made) << backup.Error.toStdString();
    EXPECT_TRUE(backup.Folder.endsWith("-2/")) << backup.Folder.toStdString();
    for (const QString& name : taken)
        EXPECT_TRUE(Names(Parent() + name).isEmpty()) << name.toStdString();
}

TEST_F(HealthBackupTest, ParentThatCannotBeMade_MakesNoBackupAndReopensTheStore)
{
    QFile blocker(Parent().chopped(1));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    const HealthBackup backup = Backup();

    EXPECT_FALSE(backup.Made);
    EXPECT_TRUE(backup.Error.startsWith("Cannot make directory")) << backup.Error.toStdString();
    ExpectStoreOpen();
}

TEST_F(HealthBackupTest, StoreInUseByAnotherProgram_IsNotCopiedWithoutItsLog)
{
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open_v2((data_ + "tables.sqlite").toUtf8().constData(), &other,
                              SQLITE_OPEN_READWRITE, nullptr),
              SQLITE_OK);
    AddPointsElsewhere(26, 26, other);
    // Reading in a transaction of its own, it holds the log in place.
    ASSERT_EQ(sqlite3_exec(other, "BEGIN; SELECT count(*) FROM point", nullptr, nullptr, nullptr),
              SQLITE_OK);

    const HealthBackup backup = Backup();
    sqlite3_close_v2(other);

    EXPECT_FALSE(backup.Made);
    EXPECT_EQ(backup.Error,
              "the table store is in use by another program: close that program, then try again");
    EXPECT_FALSE(QFileInfo::exists(Parent()));
    ExpectStoreOpen();
}

TEST_F(HealthBackupTest, APipeInTheDataFolder_IsPassedOverUnopened)
{
    const FifoWatch pipe(data_ + "pipe.fifo");
    ASSERT_TRUE(pipe.Made());

    const HealthBackup backup = Backup();

    EXPECT_FALSE(pipe.Opened());
    ASSERT_TRUE(backup.Made) << backup.Error.toStdString();
    EXPECT_EQ(Names(backup.Folder), QStringList{"tables.sqlite"});
    ExpectStoreOpen();
}

TEST_F(HealthBackupTest, StoreThatWillNotOpenAgain_FailsTheBackupAndSaysWhy)
{
    // Another program takes the store for itself while it is closed for
    // the copy, and keeps it.
    struct Taker : ScriptedPrompts {
        QString file;
        sqlite3* other = nullptr;
        void Info(const QString& caption, const QString& text) override
        {
            if (!other) {
                sqlite3_open_v2(file.toUtf8().constData(), &other, SQLITE_OPEN_READWRITE, nullptr);
                sqlite3_exec(other, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE", nullptr,
                             nullptr, nullptr);
            }
            ScriptedPrompts::Info(caption, text);
        }
    } taker;
    taker.file = data_ + "tables.sqlite";
    HealthBackup backup;
    {
        ScopedPromptSeam use(taker);
        backup = Backup();
    }
    const bool openWhileHeld = Core().Database1.Connected();
    sqlite3_close_v2(taker.other);

    EXPECT_FALSE(backup.Made);
    EXPECT_TRUE(backup.Error.startsWith("Cannot open the table store \"" + data_ +
                                        "tables.sqlite\": another program is writing to it"))
        << backup.Error.toStdString();
    EXPECT_TRUE(backup.Error.endsWith("\ndatabase is locked")) << backup.Error.toStdString();
    EXPECT_FALSE(openWhileHeld);
}

TEST_F(HealthBackupTest, FileThatDoesNotFitSkippedByTheUser_LeavesTheBackupIncomplete)
{
    {
        QFile other(data_ + "a sketch.png");
        ASSERT_TRUE(other.open(QIODevice::WriteOnly));
        other.write(QByteArray(3 << 20, 'p'));
    }
    ASSERT_LT(QFileInfo(data_ + "tables.sqlite").size(), 1 << 20);
    prompts_.Answer('N');

    HealthBackup backup;
    {
        FileSizeLimit diskFull(1 << 20);
        backup = Backup();
    }

    EXPECT_FALSE(backup.Made);
    EXPECT_TRUE(backup.Error.startsWith("not every file was copied (a sketch.png: Cannot write "
                                        "the copy \"" +
                                        backup.Folder + "a sketch.png\": "))
        << backup.Error.toStdString();
    // Nothing of the file that did not fit is left in the backup.
    EXPECT_EQ(Names(backup.Folder), QStringList{"tables.sqlite"});
    EXPECT_EQ(prompts_.Texts(Kind::Question),
              QStringList{"File open error on a sketch.png - retry?"});
    ExpectStoreOpen();
}

} // namespace
