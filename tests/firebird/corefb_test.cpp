// The second program's store on its own: opening the database beside the
// program (and refusing what it cannot open, untouched), the ini file, the
// statement rule, the commands that are on the disk when they end, and the
// close that commits and lets go of the file.

#include "failingdisk.h"
#include "firebird/corefb.h"
#include "firebird/fbschema.h"
#include "firebird/fbtext.h"
#include "firebird/fbtimestamp.h"
#include "firebirdenv.h"
#include "platform/ini.h"
#include "support/scriptedprompts.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace
{

QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

// The first byte of a Firebird page tells its type.
constexpr int HeaderPage = 1;
constexpr int TransactionInventoryPage = 3;

// The types of the pages that differ between two images of one Firebird
// database file; the page size is kept in the header page at offset 16.
std::set<int> ChangedPageTypes(const QByteArray& before, const QByteArray& after)
{
    std::set<int> types;
    const int pageSize = uchar(after.at(16)) | uchar(after.at(17)) << 8;
    if (pageSize < 1024)
        return {-1};
    for (qsizetype at = 0; at < std::max(before.size(), after.size()); at += pageSize) {
        if (before.mid(at, pageSize) != after.mid(at, pageSize))
            types.insert(at < after.size() ? uchar(after.at(at)) : -1);
    }
    return types;
}

class FirebirdStoreTest : public ::testing::Test
{
  protected:
    QString Exe() const { return dir_.path() + "/"; }
    QString DataFolder() const { return Exe() + "Scalora2 data/"; }
    QString DbPath() const { return DataFolder() + "scalora2data.fdb"; }
    QString IniPath() const { return Exe() + "scalora.ini"; }

    void MakeDatabase() const
    {
        ASSERT_TRUE(QDir().mkpath(DataFolder()));
        CreateFirebirdStore(DbPath());
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

    // Runs statements on the database file through a connection of its own.
    void Run(const QStringList& statements) const
    {
        ibase::Connection c = ibase::Connection::Attach(DbPath());
        ibase::Transaction t(c);
        for (const QString& sql : statements)
            t.ExecuteImmediate(sql);
        t.Commit();
    }

    // One whole number, read through a connection of its own: what another
    // program would find in the file.
    long long Scalar(const QString& sql) const
    {
        ibase::Connection c = ibase::Connection::Attach(DbPath());
        ibase::Transaction t(c);
        ibase::Statement st(t, sql);
        st.Execute();
        EXPECT_TRUE(st.Fetch()) << sql.toStdString();
        return st.Column(0).AsInt64();
    }

    // The message the opening failed with.
    QString OpenFailure(TFcoreFb& core)
    {
        try {
            core.FormCreate();
        } catch (const OpenError& e) {
            return QString::fromUtf8(e.what());
        }
        ADD_FAILURE() << "the database opened";
        return {};
    }

    QTemporaryDir dir_;
    ScriptedPrompts prompts_;
    ScopedPromptSeam seam_{prompts_};
};

TEST(FirebirdTexts, ComparePrefixIgnoresCaseAndNeverMatchesAShorterText)
{
    EXPECT_EQ(ComparePrefix("sel", "select"), -1);
    EXPECT_EQ(ComparePrefix("SELECTION", "select"), 0);
    EXPECT_EQ(ComparePrefix("SeLeCt * from point", "select"), 0);
    EXPECT_EQ(ComparePrefix(" select", "select"), -1);
    EXPECT_EQ(ComparePrefix("update seg", "select"), 1);
    EXPECT_EQ(ComparePrefix("sz", "select"), 1);
    EXPECT_EQ(ComparePrefix("", "select"), -1);
}

TEST(FirebirdTexts, TrimTrailingBlanksCountsWhatItRemoves)
{
    QString units = QStringLiteral("mm") + QString(18, QChar(' '));
    EXPECT_EQ(TrimTrailingBlanks(units), 18);
    EXPECT_EQ(units, QStringLiteral("mm"));
    QString inner = QStringLiteral("a b");
    EXPECT_EQ(TrimTrailingBlanks(inner), 0);
    EXPECT_EQ(inner, QStringLiteral("a b"));
    QString mixed = QStringLiteral("x \t\r\n");
    EXPECT_EQ(TrimTrailingBlanks(mixed), 4);
    QString empty;
    EXPECT_EQ(TrimTrailingBlanks(empty), 0);
}

TEST(FirebirdStamps, RedrawStampsAreWholeSecondsAndAlwaysLater)
{
    TFcoreFb core(QDir::tempPath());
    core.RedrawStamp = 0;
    TDateTime last = 0;
    for (int i = 0; i < 5; ++i) {
        const TDateTime stamp = core.NextRedrawStamp();
        EXPECT_GT(stamp, last);
        // A timestamp column keeps it exactly: written and read back it is
        // the same value.
        EXPECT_EQ(FromTimestamp(TimestampParam(stamp)), stamp);
        EXPECT_EQ(DateTimeOfSeconds(SecondsOfDateTime(stamp)), stamp);
        if (i > 0) {
            EXPECT_GE(SecondsOfDateTime(stamp) - SecondsOfDateTime(last), 1);
        }
        core.RedrawStamp = last = stamp;
    }
    // A stamp ahead of the clock is followed by the next second.
    core.RedrawStamp = DateTimeOfSeconds(SecondsOfDateTime(last) + 3600);
    EXPECT_EQ(SecondsOfDateTime(core.NextRedrawStamp()), SecondsOfDateTime(last) + 3601);
}

TEST_F(FirebirdStoreTest, OpensTheDatabaseBesideTheProgramAndTheSavedDiagram)
{
    MakeDatabase();
    Run({"insert into drawing (dgnum, dgname, units, rndgdp) values (3, 'Site A', 'm', 2)",
         "insert into point (dgnum, pointnum) values (3, 7)",
         "insert into point (dgnum, pointnum) values (4, 50)",
         "insert into seg (dgnum, segnum) values (3, 11)"});
    WriteIni("[main]\nDBPath=/somewhere/else/\nDBPath2=/other/\nDiagramNumber=3\nDBVn=101\n");
    TFcoreFb core(Exe());
    core.FormCreate();
    EXPECT_TRUE(core.Opened());
    EXPECT_EQ(core.FirebirdFolder, DataFolder());
    EXPECT_EQ(core.TableFolder, Exe() + "Scalora data/");
    EXPECT_EQ(core.CurrentDiagram, 3);
    // The fixed-width name and units come back without their padding.
    EXPECT_EQ(core.DiagramName, "Site A");
    EXPECT_EQ(core.DiagramUnits, "m");
    EXPECT_EQ(core.LastPointNum, 7);
    EXPECT_EQ(core.LastSegNum, 11);
    EXPECT_FALSE(core.OpenDiagram(0));
    EXPECT_FALSE(core.OpenDiagram(9));
    EXPECT_EQ(core.CurrentDiagram, 3);
}

TEST_F(FirebirdStoreTest, IniFileKeepsTheUpgradeStateOfTheFirstProgram)
{
    MakeDatabase();
    {
        TFcoreFb core(Exe());
        core.FormCreate();
        EXPECT_EQ(core.UpgradeState, 3); // no key: 3
        core.UpgradeState = 2;
        core.CloseStore();
    }
    EXPECT_EQ(Ini("Upgrading"), "<absent>"); // never written
    EXPECT_EQ(Ini("DBVn"), "100");
    EXPECT_EQ(Ini("DBPath2"), DataFolder());

    WriteIni("[main]\nUpgrading=1\nDBVn=102\n");
    TFcoreFb core(Exe());
    core.FormCreate();
    EXPECT_EQ(core.UpgradeState, 1);
    core.CloseStore();
    EXPECT_EQ(Ini("Upgrading"), "1");
    EXPECT_EQ(Ini("DBVn"), "102");
}

TEST_F(FirebirdStoreTest, AMissingDatabaseIsReportedAndNotMade)
{
    WriteIni("[main]\nDiagramNumber=3\n");
    TFcoreFb core(Exe());
    EXPECT_EQ(OpenFailure(core),
              "Cannot open the database \"" + DbPath() + "\": the file does not exist.");
    EXPECT_FALSE(core.Opened());
    EXPECT_FALSE(QFile::exists(DbPath()));
    EXPECT_EQ(core.CurrentDiagram, 0);
    // The next start, with the database back, still opens diagram 3.
    core.CloseStore();
    EXPECT_EQ(Ini("DiagramNumber"), "3");
}

TEST_F(FirebirdStoreTest, FilesThatAreNotItsDatabasesAreRefusedUntouched)
{
    ASSERT_TRUE(QDir().mkpath(DataFolder()));
    // A few bytes, a file of the engine's page size that is no database,
    // and a Firebird database of some other program.
    const QByteArray junk[] = {QByteArray("not a database\n"), QByteArray(16384, '\x5a')};
    for (const QByteArray& bytes : junk) {
        QFile f(DbPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();
        TFcoreFb core(Exe());
        const QString message = OpenFailure(core);
        EXPECT_TRUE(message.startsWith("Cannot open the database \"" + DbPath() +
                                       "\": it is not a Firebird database."))
            << message.toStdString();
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), bytes);
    }

    // The engine keeps its own bookkeeping in any database it opens (the
    // header page and the transaction inventory: it cannot open a database
    // that is not marked read-only without writing them); every other page
    // of the other program's database stays as it was.
    ASSERT_TRUE(QFile::remove(DbPath()));
    ibase::Connection::Create(DbPath());
    Run({"create table drawing (dgnum integer)"});
    Run({"insert into drawing values (5)"});
    const QByteArray before = FileBytes(DbPath());
    TFcoreFb core(Exe());
    EXPECT_EQ(OpenFailure(core), "Cannot open the database \"" + DbPath() +
                                     "\": it has no table LAYER, so it is not a database of "
                                     "this program.");
    EXPECT_FALSE(core.Connected());
    const QByteArray after = FileBytes(DbPath());
    EXPECT_EQ(after.size(), before.size());
    for (const int type : ChangedPageTypes(before, after))
        EXPECT_TRUE(type == HeaderPage || type == TransactionInventoryPage) << "page type " << type;
    EXPECT_EQ(Scalar("select count(*) from rdb$relations where rdb$system_flag = 0"), 1);
    EXPECT_EQ(Scalar("select count(*) from rdb$indices where rdb$system_flag = 0"), 0);
    EXPECT_EQ(Scalar("select count(*) from drawing"), 1);
}

TEST_F(FirebirdStoreTest, ADatabaseInUseByAnotherProgramIsReportedUntouched)
{
    const QString isql = QStandardPaths::findExecutable("isql-fb");
    if (isql.isEmpty())
        GTEST_SKIP() << "isql-fb is not installed";
    MakeDatabase();
    Run({"insert into drawing (dgnum, dgname) values (1, 'Shed')"});
    // Another program holds the database open: the engine serves one
    // program at a time.
    QProcess other;
    other.start(isql, {"-u", "SYSDBA", DbPath()});
    ASSERT_TRUE(other.waitForStarted(60000));
    other.write("select 'attached' from rdb$database;\n");
    ASSERT_TRUE(other.waitForReadyRead(60000));
    TFcoreFb core(Exe());
    const QString message = OpenFailure(core);
    EXPECT_TRUE(message.startsWith("Cannot open the database \"" + DbPath() +
                                   "\": it is in use by another program."))
        << message.toStdString();
    other.write("quit;\n");
    other.closeWriteChannel();
    ASSERT_TRUE(other.waitForFinished(60000));
    // Once the other program has let go, the database opens as it was.
    TFcoreFb again(Exe());
    again.FormCreate();
    ASSERT_TRUE(again.OpenDiagram(1));
    EXPECT_EQ(again.DiagramName, "Shed");
}

TEST_F(FirebirdStoreTest, MissingLookupIndexesAreMadeAtOpening)
{
    MakeDatabase();
    Run({"drop index pointlen", "drop index segends"});
    const QString count = "select count(*) from rdb$indices where rdb$index_name in "
                          "('POINTLEN', 'SEGENDS')";
    ASSERT_EQ(Scalar(count), 0);
    {
        TFcoreFb core(Exe());
        core.FormCreate();
        core.CloseStore();
    }
    EXPECT_EQ(Scalar(count), 2);
}

class FirebirdCommandsTest : public FirebirdStoreTest
{
  protected:
    void SetUp() override
    {
        MakeDatabase();
        Run({"insert into drawing (dgnum, dgname, units, rndgdp) values (1, 'Shed', 'mm', 0)",
             "insert into layer (dgnum, layernum, layername, visib) values (1, 0, 'Default "
             "layer', 2)"});
        WriteIni("[main]\nDiagramNumber=1\n");
        core_ = std::make_unique<TFcoreFb>(Exe());
        core_->FormCreate();
        ASSERT_EQ(core_->CurrentDiagram, 1);
    }

    TSegRec StoreSeg(Extended x1, Extended y1, Extended x2, Extended y2, int type = SegLine)
    {
        TSegRec s;
        s.SegType = type;
        s.FromPoint.Lenx = x1;
        s.FromPoint.Leny = y1;
        s.ToPoint.Lenx = x2;
        s.ToPoint.Leny = y2;
        core_->AddSegment(s);
        return s;
    }

    std::unique_ptr<TFcoreFb> core_;
};

TEST_F(FirebirdCommandsTest, ASelectIsOpenedAndAnythingElseExecuted)
{
    FbQuery q;
    core_->BindQuery(q);
    core_->RunSQL(q, "SeLeCt dgname from drawing");
    EXPECT_TRUE(q.Active());
    EXPECT_EQ(q.RecordCount(), 1);
    // A leading blank makes it a statement to execute: no rows to read.
    core_->RunSQL(q, " select dgname from drawing");
    EXPECT_FALSE(q.Active());
    EXPECT_EQ(core_->RunStoreSQL("update drawing set rndgdp = 3 where dgnum = :dg", {{"dg", 1}}),
              1);
    EXPECT_EQ(core_->RunStoreSQL("update drawing set rndgdp = 3 where dgnum = :dg", {{"dg", 9}}),
              0);
}

TEST_F(FirebirdCommandsTest, HighestNumbersAreOfTheOpenDiagramExceptForDiagrams)
{
    EXPECT_EQ(core_->MaxColumnValue("point", "pointnum"), 0);
    Run({"insert into point (dgnum, pointnum) values (1, 4)",
         "insert into point (dgnum, pointnum) values (2, 40)",
         "insert into drawing (dgnum) values (6)"});
    core_->RestartTransaction();
    EXPECT_EQ(core_->MaxColumnValue("point", "pointnum"), 4);
    EXPECT_EQ(core_->MaxColumnValue("drawing", "dgnum"), 6);
}

TEST_F(FirebirdCommandsTest, ASegmentIsOnTheDiskWhenItsCommandEnds)
{
    // Another connection sees it at once, without any refresh.
    StoreSeg(0, 0, 10.4, 0.1 + 0.2);
    EXPECT_EQ(Scalar("select count(*) from seg where dgnum = 1"), 1);
    EXPECT_EQ(Scalar("select count(*) from point where dgnum = 1 and lenx = 10.4"), 1);
    // No redraw has stamped the new points: no stamp at all, not day 0.
    EXPECT_EQ(Scalar("select count(*) from point where rprts is null"), 2);
    ibase::Connection c = ibase::Connection::Attach(DbPath());
    ibase::Transaction t(c);
    ibase::Statement st(t, "select leny from point where dgnum = 1 and lenx = ?");
    st.SetParam(0, 10.4);
    st.Execute();
    ASSERT_TRUE(st.Fetch());
    EXPECT_EQ(st.Column(0).AsDouble(), 0.1 + 0.2); // not 0.3, nor 0 for no decimals
}

TEST_F(FirebirdCommandsTest, AFailedCommandLeavesNothingForTheNextToCommit)
{
    Run({"create exception refused 'refused'",
         "create trigger refuse for seg before insert as begin if (new.segnum = 3) then "
         "exception refused; end"});
    core_->RestartTransaction();
    EXPECT_THROW(StoreSeg(0, 0, 4, 3, SegRectangle), std::runtime_error);
    EXPECT_EQ(core_->LastSegNum, 0);
    EXPECT_EQ(core_->LastPointNum, 0);
    // The next command commits only itself.
    TSegRec s = StoreSeg(7, 7, 8, 8);
    EXPECT_EQ(s.Segnum, 1);
    EXPECT_EQ(Scalar("select count(*) from seg"), 1);
    EXPECT_EQ(Scalar("select count(*) from point"), 2);
}

TEST_F(FirebirdCommandsTest, ACommandTheDiskRefusedNeverReachesTheDatabaseLater)
{
    StoreSeg(0, 0, 10, 0);
    FailingDisk disk(DbPath());
    // The sheet reads between commands: a transaction is open when the
    // disk starts to fail, and the command's rows go into it.
    TPointRec p;
    ASSERT_TRUE(core_->LoadPoint(1, p));
    disk.Fail();
    QString failure;
    try {
        StoreSeg(10, 0, 10, 2.5);
    } catch (const std::runtime_error& e) {
        failure = QString::fromUtf8(e.what());
    }
    EXPECT_TRUE(failure.contains("No space left on device")) << failure.toStdString();
    EXPECT_TRUE(failure.contains("The command is not stored. The database could not undo it at "
                                 "once: it is undone before the next command"))
        << failure.toStdString();
    ASSERT_TRUE(core_->IBTransaction1->UndoPending());

    // While the disk still fails, the next command is refused whole.
    try {
        StoreSeg(50, 50, 60, 50);
        ADD_FAILURE() << "stored on a failing disk";
    } catch (const std::runtime_error& e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).startsWith(
            "The database still cannot be written: the command that failed is not undone yet"))
            << e.what();
    }

    // Once the disk works, a refresh's commit undoes the failed command,
    // and the next commands store themselves only, under free numbers.
    disk.Heal();
    core_->RestartTransaction();
    TSegRec next = StoreSeg(20, 20, 30, 20);
    TSegRec last = StoreSeg(30, 20, 30, 40);
    EXPECT_EQ(next.Segnum, 2);
    EXPECT_EQ(next.FromPoint.Pointnum, 3);
    EXPECT_EQ(last.ToPoint.Pointnum, 5);
    EXPECT_EQ(Scalar("select count(*) from seg"), 3);
    EXPECT_EQ(Scalar("select count(*) from point"), 5);
    EXPECT_EQ(Scalar("select count(*) from point where leny = 2.5 or lenx = 50"), 0);
}

TEST_F(FirebirdCommandsTest, ANestedCommandThatFailsIsUndoneAlone)
{
    core_->WriteGroup([&] {
        StoreSeg(0, 0, 1, 0);
        try {
            core_->WriteGroup([&] {
                StoreSeg(5, 5, 6, 5);
                throw std::runtime_error("refused");
            });
        } catch (const std::runtime_error&) {
        }
        StoreSeg(2, 0, 3, 0);
    });
    EXPECT_EQ(Scalar("select count(*) from seg"), 2);
    EXPECT_EQ(Scalar("select count(*) from point where lenx = 5"), 0);
}

TEST_F(FirebirdCommandsTest, ClosingCommitsLetsGoOfTheFileAndWritesTheIniFile)
{
    StoreSeg(0, 0, 3, 4);
    core_->CloseStore();
    EXPECT_FALSE(core_->Connected());
    EXPECT_EQ(Ini("DiagramNumber"), "1");
    // A store used after it closed answers with an error, not a crash.
    TPointRec p;
    EXPECT_THROW(core_->LoadPoint(0, p), std::runtime_error);
    const QString isql = QStandardPaths::findExecutable("isql-fb");
    if (isql.isEmpty())
        GTEST_SKIP() << "isql-fb is not installed";
    // Another program can open the file now, and finds the segment.
    QProcess other;
    other.start(isql, {"-u", "SYSDBA", "-q", DbPath()});
    ASSERT_TRUE(other.waitForStarted(60000));
    other.write("select 'segments=' || count(*) from seg;\nquit;\n");
    other.closeWriteChannel();
    ASSERT_TRUE(other.waitForFinished(60000));
    EXPECT_TRUE(other.readAllStandardOutput().contains("segments=1"));
}

TEST_F(FirebirdCommandsTest, PointsDrawnByARedrawAreFoundWithItsStamp)
{
    StoreSeg(0, 0, 100, 0);
    core_->SheetWidth = 1000;
    core_->SheetHeight = 800;
    core_->RefreshStarting();
    core_->OpenVisibleSegments();
    core_->OpenVisibleText();
    core_->RedrawStamp = core_->NextRedrawStamp();
    ASSERT_TRUE(core_->FitDiagramToSheet(0));
    core_->StampVisiblePoints();
    core_->RefreshDrawn();
    core_->OpenVisiblePoints();
    EXPECT_EQ(core_->VisiblePoints.RecordCount(), 2);
    TPointRec p;
    p.Pxlx = 950;
    p.Pxly = 50;
    ASSERT_TRUE(core_->FindVisiblePointAtPixel(p));
    EXPECT_EQ(p.Rprts, core_->RedrawStamp);
    // The next redraw, within the same second, has a stamp of its own.
    const TDateTime first = core_->RedrawStamp;
    core_->RedrawStamp = core_->NextRedrawStamp();
    EXPECT_GT(core_->RedrawStamp, first);
    EXPECT_FALSE(core_->FindVisiblePointAtPixel(p));
}

} // namespace
