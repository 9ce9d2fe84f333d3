#include "damagedstore.h"
#include "platform/ini.h"
#include "support/scriptedprompts.h"
#include "tablestore/core.h"
#include "tablestore/tablefaults.h"
#include "tablestore/tableschema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace
{

class StoreOpeningTest : public ::testing::Test
{
  protected:
    QString Exe() const { return dir_.path() + "/"; }
    QString DataFolder() const { return Exe() + "Scalora data/"; }
    QString IniPath() const { return Exe() + "scalora.ini"; }

    void MakeStore(int version) const
    {
        ASSERT_TRUE(QDir().mkpath(DataFolder()));
        CreateTableStore(DataFolder(), version);
    }

    void WriteIni(const QString& text) const
    {
        QFile f(IniPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
    }

    QString Ini(const QString& key) const
    {
        return IniFile(IniPath()).ReadString("main", key, "<absent>");
    }

    QTemporaryDir dir_;
};

TEST_F(StoreOpeningTest, FirstStartUpgradesAndShutdownWritesTheIniFile)
{
    MakeStore(OldestTableStoreVersion);
    TFcore core(Exe());
    core.FormCreate();
    EXPECT_EQ(core.CurrentDiagram, 0); // nothing opened
    EXPECT_EQ(core.DBVersion, 102);
    EXPECT_TRUE(core.Database1.ColumnExists("drawing", "notes"));
    EXPECT_TRUE(core.Database1.ColumnExists("seg", "faint"));
    EXPECT_TRUE(core.Table1.Active() && core.Table8.Active());
    EXPECT_FALSE(QFile::exists(IniPath())); // written at shutdown only

    core.CloseStore();
    EXPECT_FALSE(core.Table1.Active());
    EXPECT_EQ(Ini("DBVn"), "102");
    EXPECT_EQ(Ini("DiagramNumber"), "0");
    EXPECT_EQ(Ini("DBPath"), DataFolder());
    EXPECT_EQ(Ini("DBPath2"), Exe() + "Scalora2 data/");
    EXPECT_EQ(Ini("Upgrading"), "0");
    EXPECT_EQ(Ini("FlashInterval"), "1500");
    EXPECT_EQ(Ini("NotesWidth"), "450");
    EXPECT_EQ(Ini("NotesHeight"), "280");
}

TEST_F(StoreOpeningTest, UpgradeMarksExistingSegmentsNotFaint)
{
    MakeStore(OldestTableStoreVersion);
    {
        tables::Database db;
        db.Params = QStringList{"PATH=" + DataFolder()};
        db.Open();
        db.Execute("insert into seg.db (dgnum, segnum, segtype) values (1, 0, 2)");
    }
    TFcore core(Exe());
    core.FormCreate();
    ASSERT_TRUE(core.Table1.FindKey({1, 0}));
    ASSERT_FALSE(core.Table1.FieldByName("faint").IsNull());
    EXPECT_FALSE(core.Table1.FieldByName("faint").AsBoolean());
}

TEST_F(StoreOpeningTest, Version101RunsOnlyTheFaintStep)
{
    MakeStore(OldestTableStoreVersion); // no notes column either
    WriteIni("[main]\nDBVn=101\n");
    TFcore core(Exe());
    core.FormCreate();
    EXPECT_EQ(core.DBVersion, 102);
    EXPECT_FALSE(core.Database1.ColumnExists("drawing", "notes"));
    EXPECT_TRUE(core.Database1.ColumnExists("seg", "faint"));
}

TEST_F(StoreOpeningTest, UpgradedStoreWithoutIniFileStillOpens)
{
    MakeStore(CurrentTableStoreVersion);
    TFcore core(Exe());
    ASSERT_NO_THROW(core.FormCreate());
    EXPECT_EQ(core.DBVersion, 102);
    EXPECT_TRUE(core.Table5.Active());
}

TEST_F(StoreOpeningTest, DataAlwaysLivesBesideTheProgram)
{
    MakeStore(CurrentTableStoreVersion);
    WriteIni("[main]\nDBPath=/somewhere/else/\nDBPath2=/other/\nDBVn=102\nFlashInterval=900\n");
    TFcore core(Exe());
    core.FormCreate();
    EXPECT_EQ(core.TableFolder, DataFolder());
    EXPECT_EQ(core.Database1.Folder(), DataFolder());
    core.CloseStore();
    EXPECT_EQ(Ini("DBPath"), DataFolder());
    EXPECT_EQ(Ini("DBPath2"), Exe() + "Scalora2 data/");
    EXPECT_EQ(Ini("FlashInterval"), "900");
}

TEST_F(StoreOpeningTest, FailingUpgradeLeavesTheVersionUnraised)
{
    ASSERT_TRUE(QDir().mkpath(DataFolder()));
    // A store whose seg table is missing: the faint step cannot run.
    CreateTableStore(DataFolder(), 101);
    {
        tables::Database db;
        db.Params = QStringList{"PATH=" + DataFolder()};
        db.Open();
        db.Execute("drop table seg");
    }
    WriteIni("[main]\nDBVn=101\n");
    TFcore core(Exe());
    EXPECT_THROW(core.FormCreate(), tables::EngineError);
    EXPECT_EQ(core.DBVersion, 101);
    EXPECT_FALSE(core.Table5.Active()); // the tables were not opened
    core.CloseStore();
    EXPECT_EQ(Ini("DBVn"), "101");
}

TEST_F(StoreOpeningTest, MissingStoreIsAnEngineErrorAndNothingIsCreated)
{
    TFcore core(Exe());
    try {
        core.FormCreate();
        ADD_FAILURE() << "opened a store that is not there";
    } catch (const tables::EngineError& error) {
        const QString text = QString::fromUtf8(error.what());
        EXPECT_TRUE(text.startsWith("The program cannot start: it cannot open the table store \"" +
                                    DataFolder() +
                                    "tables.sqlite\": the file is not there. Put "
                                    "back the store's file while the program is "
                                    "closed (your own backup, or the newest "))
            << text.toStdString();
        EXPECT_TRUE(text.contains("or run scalora-setup beside the program to make an empty "
                                  "store.\nData folder not found: "))
            << text.toStdString();
    }
    EXPECT_FALSE(QDir(DataFolder()).exists());
}

TEST_F(StoreOpeningTest, SavedDiagramIsReopenedWithItsHighestNumbers)
{
    MakeStore(CurrentTableStoreVersion);
    {
        tables::Database db;
        db.Params = QStringList{"PATH=" + DataFolder()};
        db.Open();
        db.Execute(
            "insert into drawing.db (dgnum, dgname, units, rndgdp) values (3, 'Site A', 'm', 2)");
        db.Execute("insert into point.db (dgnum, pointnum) values (3, 7)");
        db.Execute("insert into point.db (dgnum, pointnum) values (3, 2)");
        db.Execute("insert into point.db (dgnum, pointnum) values (4, 50)");
        db.Execute("insert into seg.db (dgnum, segnum) values (3, 11)");
        db.Execute("insert into seg.db (dgnum, segnum) values (3, 4)");
    }
    WriteIni("[main]\nDiagramNumber=3\nDBVn=102\n");
    TFcore core(Exe());
    core.FormCreate();
    EXPECT_EQ(core.CurrentDiagram, 3);
    EXPECT_EQ(core.DiagramName, "Site A");
    EXPECT_EQ(core.DiagramUnits, "m");
    EXPECT_EQ(core.RoundingDP, 2);
    EXPECT_EQ(core.LastPointNum, 7);
    EXPECT_EQ(core.LastSegNum, 11);
    EXPECT_FALSE(core.OpenDiagram(9));
    EXPECT_EQ(core.CurrentDiagram, 3);
}

TEST_F(StoreOpeningTest, SavedDiagramThatIsGoneLeavesNoDiagramOpen)
{
    MakeStore(CurrentTableStoreVersion);
    WriteIni("[main]\nDiagramNumber=9\nDBVn=102\n");
    TFcore core(Exe());
    core.FormCreate();
    EXPECT_EQ(core.CurrentDiagram, 0);
    ScriptedPrompts prompts;
    ScopedPromptSeam seam(prompts);
    EXPECT_FALSE(core.CheckDiagramOpen());
    EXPECT_EQ(prompts.Texts(), QStringList{"No diagram open"});
}

TEST_F(StoreOpeningTest, TheExportIsTheOneTheProgramHandedTheStore)
{
    MakeStore(CurrentTableStoreVersion);
    TFcore core(Exe());
    core.FormCreate();
    ScriptedPrompts prompts;
    ScopedPromptSeam seam(prompts);
    // A store that was handed none says so instead of failing.
    EXPECT_FALSE(core.ExportToFirebird());
    EXPECT_EQ(prompts.Texts(), QStringList{"This program has no export to Firebird"});
    // Otherwise the store runs what it was handed, on itself, and answers
    // with its result.
    TFcore* exported = nullptr;
    core.Export = [&exported](TFcore& store) {
        exported = &store;
        return true;
    };
    EXPECT_TRUE(core.ExportToFirebird());
    EXPECT_EQ(exported, &core);
    EXPECT_EQ(prompts.Texts().size(), 1);
}

TEST_F(StoreOpeningTest, StoreThatCannotOpenLeavesNoDiagramOpenAndKeepsTheSavedNumber)
{
    WriteIni("[main]\nDiagramNumber=3\n");
    TFcore core(Exe());
    EXPECT_THROW(core.FormCreate(), tables::EngineError);
    EXPECT_EQ(core.CurrentDiagram, 0);
    // The next start, with the store back, still opens diagram 3.
    core.CloseStore();
    EXPECT_EQ(Ini("DiagramNumber"), "3");
}

TEST_F(StoreOpeningTest, FilesThatAreNotStoresAreRefusedAndNeverWritten)
{
    ASSERT_TRUE(QDir().mkpath(DataFolder()));
    const QString file = DataFolder() + "tables.sqlite";
    // An empty file, then a database of some other program.
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    {
        TFcore core(Exe());
        EXPECT_THROW(core.FormCreate(), tables::EngineError);
    }
    EXPECT_EQ(QFileInfo(file).size(), 0);
    EXPECT_EQ(QDir(DataFolder()).entryList(QDir::Files), QStringList{"tables.sqlite"});

    ASSERT_TRUE(QFile::remove(file));
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE drawing (Dgnum INTEGER)", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    QByteArray before;
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        before = f.readAll();
    }
    try {
        TFcore core(Exe());
        core.FormCreate();
        ADD_FAILURE() << "opened a file without the store's tables";
    } catch (const tables::EngineError& error) {
        const QString text = QString::fromUtf8(error.what());
        EXPECT_TRUE(text.startsWith("The program cannot start: it cannot open the table store \"" +
                                    file +
                                    "\": the file is a database, but not a table store "
                                    "of this program."))
            << text.toStdString();
        EXPECT_TRUE(text.contains("or move this file away and run scalora-setup"))
            << text.toStdString();
        EXPECT_TRUE(text.endsWith("\nno such table: point in " + file)) << text.toStdString();
    }
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
}

// How a fault that keeps the program from starting begins.
const QString StartFault = "The program cannot start: it cannot open the table store";

// The opening error's text, or "opened" when there was none.
QString OpeningFault(const QString& exe)
{
    try {
        TFcore core(exe);
        core.FormCreate();
    } catch (const tables::EngineError& error) {
        return QString::fromUtf8(error.what());
    }
    return "opened";
}

TEST_F(StoreOpeningTest, FaultsAtOpeningNameTheFileAndSayWhatToDo)
{
    ASSERT_TRUE(QDir().mkpath(DataFolder()));
    const QString file = DataFolder() + "tables.sqlite";
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(16384, 'Z'));
    }
    QString fault = OpeningFault(Exe());
    EXPECT_TRUE(fault.startsWith(StartFault + " \"" + file +
                                 "\": the file is not a table store, or it is damaged."))
        << fault.toStdString();
    EXPECT_TRUE(fault.endsWith("\nfile is not a database")) << fault.toStdString();

    // Another program writing to the store holds it locked.
    ASSERT_TRUE(QFile::remove(file));
    CreateTableStore(DataFolder(), CurrentTableStoreVersion);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(file.toUtf8().constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other,
                           "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE; "
                           "INSERT INTO drawing (Dgnum) VALUES (8)",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    fault = OpeningFault(Exe());
    sqlite3_close_v2(other);
    EXPECT_TRUE(fault.startsWith(StartFault + " \"" + file +
                                 "\": another program is writing to it and holds it locked"))
        << fault.toStdString();
    EXPECT_TRUE(fault.endsWith("\ndatabase is locked")) << fault.toStdString();
    // Once the other program has let go, the store opens.
    EXPECT_EQ(OpeningFault(Exe()), "opened");
}

// A store with diagram 1 of many segments, one page of which each test
// overwrites.
class DamagedStoreTest : public StoreOpeningTest
{
  protected:
    void SetUp() override
    {
        MakeStore(CurrentTableStoreVersion);
        WriteIni("[main]\nDiagramNumber=1\nDBVn=102\n");
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(File().toUtf8().constData(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db,
                               "INSERT INTO drawing (Dgnum, Dgname, Units, RndgDP) VALUES "
                               "(1, 'Yard', 'm', 2);"
                               "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n "
                               "WHERE i < 2999) INSERT INTO seg (Dgnum, Segnum, FromPt, ToPt) "
                               "SELECT 1, i, i, i + 1 FROM n",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(db);
    }

    QString File() const { return DataFolder() + "tables.sqlite"; }

    // The start's fault, which must say the file is damaged and what to do.
    void ExpectDamagedAtStart(TFcore& core) const
    {
        try {
            core.FormCreate();
            ADD_FAILURE() << "started on a damaged store";
        } catch (const TableFault& fault) {
            EXPECT_EQ(QString::fromUtf8(fault.what()),
                      StartFault + " \"" + File() +
                          "\": the file is damaged. Put back a sound copy of it while the "
                          "program is closed: your own backup, or the newest \"tables.sqlite\" "
                          "under \"" +
                          Exe() +
                          "Pre-repair backups/\", copied there before each repair.\n"
                          "database disk image is malformed");
        }
        // Left closed, so that the program ends rather than work on it.
        EXPECT_FALSE(core.Opened());
        EXPECT_FALSE(core.Database1.Connected());
        EXPECT_FALSE(core.Table1.Active());
        EXPECT_EQ(core.CurrentDiagram, 0);
    }
};

TEST_F(DamagedStoreTest, AnIndexDamagedWhereOpeningReads_IsNamedWithWhatToDo)
{
    DamageStorePage(File(), "SELECT rootpage FROM sqlite_master WHERE name = 'pxlxy'");
    TFcore core(Exe());
    ExpectDamagedAtStart(core);
}

TEST_F(DamagedStoreTest, APageOnlyTheSavedDiagramsReadMeets_StopsTheStartToo)
{
    DamageStorePage(File(), "SELECT pageno FROM dbstat WHERE name = 'sqlite_autoindex_seg_1' "
                            "ORDER BY path DESC LIMIT 1");
    {
        // The store itself opens: only the diagram's highest numbers meet it.
        TFcore opened(Exe());
        opened.ReadIniFile();
        ASSERT_NO_THROW(opened.OpenStore());
        EXPECT_THROW(opened.OpenDiagram(1), tables::EngineError);
    }
    TFcore core(Exe());
    ExpectDamagedAtStart(core);
    // The saved diagram is kept for the start after the file is put back.
    core.CloseStore();
    EXPECT_EQ(Ini("DiagramNumber"), "1");
}

TEST(TableFaults, AFullDiskSaysWhatToDoAndOtherFaultsKeepTheEnginesText)
{
    const tables::EngineError full("database or disk is full", SQLITE_FULL);
    EXPECT_EQ(TableFaultText(full, "Repair cannot run on the table store", "/d/tables.sqlite"),
              "Repair cannot run on the table store \"/d/tables.sqlite\": the disk that holds it "
              "is full. Make room on that disk, then try again.\ndatabase or disk is full");
    const tables::EngineError other("no such table: seg", SQLITE_ERROR);
    EXPECT_EQ(TableFaultText(other, "Cannot open the table store", "/d/tables.sqlite"),
              "no such table: seg");
    EXPECT_EQ(WordedTableFault(full, "x", "f").Code(), SQLITE_FULL);
}

TEST_F(StoreOpeningTest, ALogLeftByACrashIsFoldedIntoTheMainFileAtOpening)
{
    MakeStore(CurrentTableStoreVersion);
    const QString file = DataFolder() + "tables.sqlite";
    // A committed change that only the write-ahead log holds, as a crash
    // leaves it.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.toUtf8().constData(), &db), SQLITE_OK);
    sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    ASSERT_EQ(sqlite3_exec(db,
                           "PRAGMA journal_mode=WAL; INSERT INTO drawing (Dgnum, Dgname) "
                           "VALUES (7, 'Crashed')",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    ASSERT_GT(QFileInfo(file + "-wal").size(), 0);

    TFcore core(Exe());
    core.FormCreate();
    // A copy of the main file alone, taken now, holds the change.
    QTemporaryDir copyDir;
    const QString copy = copyDir.filePath("copy.sqlite");
    ASSERT_TRUE(QFile::copy(file, copy));
    ASSERT_EQ(sqlite3_open(copy.toUtf8().constData(), &db), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(
        sqlite3_prepare_v2(db, "SELECT Dgname FROM drawing WHERE Dgnum = 7", -1, &st, nullptr),
        SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "Crashed");
    sqlite3_finalize(st);
    sqlite3_close(db);
}

TEST_F(StoreOpeningTest, TablesAreFlushedEveryFiveMinutes)
{
    MakeStore(CurrentTableStoreVersion);
    TFcore core(Exe());
    EXPECT_TRUE(core.Timer1.isActive());
    EXPECT_EQ(core.Timer1.interval(), 300000);
    core.FormCreate();
    core.Table5.Insert();
    core.Table5.FieldByName("Dgnum").SetInteger(1);
    core.Table5.Post();
    core.FlushAllTables();
    // The change is in the main store file, not only in the write-ahead log.
    EXPECT_EQ(QFileInfo(DataFolder() + "tables.sqlite-wal").size(), 0);
}

} // namespace
