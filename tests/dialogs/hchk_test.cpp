// The health-check window over a real table store: its report, Recheck,
// Repair with the backup before it, and the window of a store that has no
// health check.

#include "dialogs/hchk.h"
#include "library/busy.h"
#include "store/storefixture.h"
#include "tablestore/tablehealthcheck.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <functional>
#include <utility>

namespace
{

using Kind = ScriptedPrompts::Kind;

class HealthCheckWindow : public StoreTest
{
  protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        // Diagram 1: one sound line, a point nothing uses and a segment
        // whose to-point is missing.
        Exec("INSERT INTO point (Dgnum, Pointnum, Lenx, Leny) VALUES (1, 1, 0, 0), (1, 2, 0, 10), "
             "(1, 3, 4, 4)");
        Exec("INSERT INTO seg (Dgnum, Segnum, FromPt, ToPt, SegType, Seglen, Mlenx, Mleny, "
             "Layernum) VALUES (1, 1, 1, 2, 2, 0, 0, 10, 0), (1, 2, 2, 9, 2, 0, 3, 0, 0)");
        window_ = MakeWindow(std::make_unique<TableHealthCheck>(Core()));
    }

    std::unique_ptr<TFhchk> MakeWindow(std::unique_ptr<HealthCheck> check)
    {
        return std::make_unique<TFhchk>(std::move(check), [this] {
            busyDuringPass_ = busyDuringPass_ && BusyCount() > 0;
            ++passes_;
            if (duringPass_)
                std::exchange(duringPass_, nullptr)();
            return zoom_;
        });
    }

    QStringList Report() const
    {
        const QString text = window_->Memo1->toPlainText();
        return text.isEmpty() ? QStringList() : text.split('\n');
    }

    QString BackupParent() const { return dir_.path() + "/Pre-repair backups/"; }

    std::unique_ptr<TFhchk> window_;
    int zoom_ = 1;
    int passes_ = 0;
    bool busyDuringPass_ = true;
    std::function<void()> duringPass_;
};

const QStringList FirstReport = {"Database version = 102",
                                 "",
                                 "Scanning SEG.DB",
                                 "Diagram 1 Seg 2 - To-point not found",
                                 "SEG.DB 2 records",
                                 " ",
                                 "Scanning TEXT.DB",
                                 "TEXT.DB 0 records",
                                 " ",
                                 "Scanning LAYER.DB",
                                 "LAYER.DB 1 records",
                                 " ",
                                 "Scanning POINT.DB",
                                 "Diagram 1 Point 3 - no segs or text",
                                 "POINT.DB 3 records",
                                 " ",
                                 "Scanning PFLAYS.DB (Layers in Profile)",
                                 "PFLAYS.DB 0 records",
                                 " ",
                                 "Scan for duplicate points skipped - select Zoom=4 for this",
                                 "  ",
                                 "All scans complete"};

TEST_F(HealthCheckWindow, FirstShowingChecksAndLaterShowingsKeepTheReport)
{
    EXPECT_EQ(window_->windowTitle(), "Database healthcheck");
    EXPECT_FALSE(window_->isModal());
    window_->ShowHealthCheck();
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(Report(), FirstReport);
    EXPECT_EQ(passes_, 1);
    EXPECT_TRUE(busyDuringPass_);
    EXPECT_EQ(BusyCount(), 0);

    // Closing and showing again runs nothing: the report stands as it was.
    Exec("DELETE FROM point WHERE Pointnum = 3");
    window_->Close1->trigger();
    EXPECT_FALSE(window_->isVisible());
    window_->ShowHealthCheck();
    EXPECT_EQ(Report(), FirstReport);
    EXPECT_EQ(passes_, 1);

    window_->Recheck1->trigger();
    EXPECT_EQ(passes_, 2);
    EXPECT_FALSE(Report().contains("Diagram 1 Point 3 - no segs or text"));
    EXPECT_TRUE(Report().contains("Diagram 1 Seg 2 - To-point not found"));
}

TEST_F(HealthCheckWindow, ClicksThatArriveDuringAPassStartNothingInsideIt)
{
    duringPass_ = [this] {
        window_->Recheck1->trigger();
        window_->Repair1->trigger();
    };
    window_->ShowHealthCheck();
    EXPECT_EQ(passes_, 1);
    EXPECT_EQ(Report(), FirstReport);
    EXPECT_TRUE(prompts_.Log().empty());
}

TEST_F(HealthCheckWindow, RepairDeclined_CopiesAndChangesNothing)
{
    window_->ShowHealthCheck();
    const int before = Changes();
    prompts_.Answer('N');
    window_->Repair1->trigger();
    EXPECT_EQ(prompts_.Texts(),
              QStringList{"Back up the data folder, then repair the database - are you sure ?"});
    EXPECT_FALSE(QFileInfo::exists(BackupParent()));
    EXPECT_EQ(Changes(), before);
    EXPECT_EQ(Report(), FirstReport);
}

TEST_F(HealthCheckWindow, Repair_BacksUpFirstThenReportsTheRepairAndACheck)
{
    zoom_ = HealthCheckZoom;
    prompts_.Answer('Y');
    window_->Repair1Click();

    // The backup was made first (what it holds is tested with the store's
    // backup and through the program's menu).
    const QStringList backups = QDir(BackupParent()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(backups.size(), 1);
    EXPECT_EQ(prompts_.Texts(Kind::Info),
              QStringList{"Making directory " + BackupParent() + backups[0] + "/"});
    // The store is mended and the report shows both passes.
    EXPECT_EQ(Count("seg"), 1);
    EXPECT_EQ(Count("point"), 2);
    const QStringList report = Report();
    EXPECT_EQ(report.count("Database version = 102"), 2);
    EXPECT_EQ(report.count("All scans complete"), 2);
    EXPECT_EQ(report.count("Diagram 1 Seg 2 - To-point not found"), 1);
    EXPECT_EQ(report.count("Diagram 1 Point 3 - no segs or text"), 1);
    EXPECT_EQ(report.count("Scanning for duplicate points for Diagram 1"), 2);
    // The faults mended belong to the first pass, the repair.
    EXPECT_LT(report.indexOf("Diagram 1 Point 3 - no segs or text"),
              report.indexOf("All scans complete"));
    EXPECT_EQ(report.lastIndexOf("Database version = 102"),
              report.indexOf("All scans complete") + 1);
    EXPECT_FALSE(window_->RepairMode);
    EXPECT_EQ(passes_, 2);
    EXPECT_TRUE(busyDuringPass_);
}

TEST_F(HealthCheckWindow, OtherWindowsTakeNoInputWhileTheStoreIsClosedForTheBackup)
{
    // The prompts of the backup see what the rest of the program could do.
    struct Watch : ScriptedPrompts {
        QWidget* other = nullptr;
        bool otherEnabled = true;
        void Info(const QString& caption, const QString& text) override
        {
            if (text.startsWith("Making directory"))
                otherEnabled = other->isEnabled();
            ScriptedPrompts::Info(caption, text);
        }
    };
    QWidget sheet;
    sheet.show();
    Watch watch;
    watch.other = &sheet;
    ScopedPromptSeam use(watch);
    watch.Answer('Y');
    window_->Repair1Click();
    ASSERT_EQ(watch.Texts(Kind::Info).size(), 1);
    EXPECT_FALSE(watch.otherEnabled);
    EXPECT_TRUE(sheet.isEnabled());
}

TEST_F(HealthCheckWindow, FailedBackup_StopsTheRepairAndChangesNothing)
{
    window_->ShowHealthCheck();
    {
        QFile blocker(BackupParent().chopped(1));
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
    prompts_.Answer('Y');
    window_->Repair1Click();

    EXPECT_EQ(prompts_.Texts(Kind::Info),
              QStringList{"ERROR : Backup failed, nothing was repaired - Cannot make directory " +
                          BackupParent()});
    EXPECT_EQ(Count("seg"), 2);
    EXPECT_EQ(Count("point"), 3);
    // The earlier check's report is not left to read as this repair's.
    EXPECT_EQ(Report(), QStringList({"Repair did not run: the backup of the data folder failed, "
                                     "so nothing was repaired.",
                                     "Cannot make directory " + BackupParent()}));
    EXPECT_EQ(passes_, 1);
    EXPECT_TRUE(Core().Table1.Active());
}

TEST_F(HealthCheckWindow, StoreTakenByAnotherProgramDuringTheBackup_SaysWhoAndWhatToDo)
{
    window_->ShowHealthCheck();
    // Another program takes the store for itself while it is closed for
    // the copy, and keeps it.
    struct Taker : ScriptedPrompts {
        QString file;
        sqlite3* other = nullptr;
        void Info(const QString& caption, const QString& text) override
        {
            if (!other) {
                sqlite3_open(file.toUtf8().constData(), &other);
                sqlite3_exec(other, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE", nullptr,
                             nullptr, nullptr);
            }
            ScriptedPrompts::Info(caption, text);
        }
    } taker;
    taker.file = Core().Database1.FilePath();
    taker.Answer('Y');
    {
        ScopedPromptSeam use(taker);
        window_->Repair1Click();
    }
    sqlite3_close_v2(taker.other);

    const QString why = "Cannot open the table store \"" + taker.file +
                        "\": another program is writing to it and holds it locked (another "
                        "scalora started from this folder, or a tool such as the sqlite3 client "
                        "in the middle of a change). Close that program, or let it finish its "
                        "change, then try again.";
    ASSERT_EQ(taker.Texts(Kind::Info).size(), 2);
    EXPECT_EQ(taker.Texts(Kind::Info)[1],
              "ERROR : Backup failed, nothing was repaired - " + why + "\ndatabase is locked");
    EXPECT_EQ(Report(), QStringList({"Repair did not run: the backup of the data folder failed, "
                                     "so nothing was repaired.",
                                     why, "database is locked"}));
    EXPECT_EQ(passes_, 1);
    // Everything needing the store while it is closed says so in words.
    try {
        window_->Recheck1Click();
        ADD_FAILURE() << "checked a closed store";
    } catch (const tables::EngineError& e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).startsWith("The table store \"" + taker.file +
                                                           "\" is not open"));
    }
}

TEST_F(HealthCheckWindow, CheckThatFails_SaysSoAndKeepsTheOpenDiagram)
{
    Exec("DROP TABLE pflays");
    EXPECT_THROW(window_->Recheck1Click(), tables::EngineError);
    ASSERT_FALSE(Report().isEmpty());
    EXPECT_EQ(Report().last(), "ERROR : Healthcheck stopped - no such table: pflays");
    EXPECT_EQ(Core().CurrentDiagram, 1);
    EXPECT_EQ(BusyCount(), 0);
}

TEST_F(HealthCheckWindow, RepairThatFails_SaysSoAndChangesNothing)
{
    // The sweep of unused points fails after the broken segment was removed.
    Exec("CREATE TRIGGER keep BEFORE DELETE ON point BEGIN SELECT RAISE(ABORT, 'point kept'); "
         "END");
    prompts_.Answer('Y');
    EXPECT_THROW(window_->Repair1Click(), tables::EngineError);
    EXPECT_EQ(Report().last(), "ERROR : Repair stopped, nothing was changed - point kept");
    EXPECT_EQ(Count("seg"), 2);
    EXPECT_EQ(Count("point"), 3);
    EXPECT_FALSE(window_->RepairMode);
    EXPECT_EQ(Core().CurrentDiagram, 1);
    EXPECT_EQ(BusyCount(), 0);
}

TEST_F(HealthCheckWindow, WithoutAHealthCheck_TheReportStaysEmptyAndNothingIsTouched)
{
    window_ = MakeWindow(nullptr);
    const int before = Changes();
    window_->ShowHealthCheck();
    EXPECT_TRUE(window_->isVisible());
    EXPECT_TRUE(Report().isEmpty());
    window_->Recheck1->trigger();
    EXPECT_TRUE(Report().isEmpty());
    window_->Repair1->trigger();
    EXPECT_TRUE(Report().isEmpty());
    EXPECT_TRUE(prompts_.Log().empty());
    EXPECT_FALSE(QFileInfo::exists(BackupParent()));
    EXPECT_EQ(Changes(), before);
    EXPECT_EQ(passes_, 0);
}

} // namespace
