// The health check through the real program's menu: Database > Healthcheck
// reports the broken rows of a store, Repair backs the data folder up and
// mends them, and the backup opens as a store holding the data as it was.
// (The window of an edition without a health check is tested with the
// window.)

#include "dialogs/hchk.h"
#include "programs/tableedition.h"
#include "sheet/sheet.h"
#include "sheet/startup.h"
#include "support/scriptedprompts.h"
#include "tablestore/core.h"
#include "tablestore/tableschema.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

class HealthCheckRoadTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        const QString data = dir_.filePath("Scalora data");
        ASSERT_TRUE(QDir().mkpath(data));
        CreateTableStore(data, CurrentTableStoreVersion);
        TFcore core(dir_.path());
        core.FormCreate();
        tables::Database& db = core.Database1;
        db.Execute(
            "insert into drawing.db (dgnum, dgname, units, rndgdp) values (1, 'Site', 'm', 2)");
        db.Execute("insert into layer.db values (1, 0, 'Default layer', 2)");
        db.Execute("insert into point.db (dgnum, pointnum, lenx, leny) values (1, 1, 0, 0), "
                   "(1, 2, 10, 0), (1, 3, 4, 4)");
        db.Execute("insert into seg.db (dgnum, segnum, frompt, topt, segtype, seglen, mlenx, "
                   "mleny, layernum) values (1, 1, 1, 2, 2, 0, 10, 0, 0), "
                   "(1, 2, 2, 7, 2, 0, 0, 3, 0)");
        db.Execute("insert into text.db values (1, 8, 0, 'Gate')");
        core.CurrentDiagram = 1;
        core.CloseStore();
    }

    void Start(const Edition& edition)
    {
        windows_ = std::make_unique<ProgramWindows>(edition, dir_.path());
        Sheet().show();
    }

    TFSheet& Sheet() { return *windows_->forms.FSheet; }
    TFhchk& Window() { return *windows_->forms.Fhchk; }
    QStringList Report() { return Window().Memo1->toPlainText().split('\n'); }

    long long Count(const char* sql)
    {
        TFcore& core = static_cast<TFcore&>(*windows_->forms.Fcore);
        tables::Statement st(core.Database1, tables::MapTableNames(sql));
        EXPECT_TRUE(st.Step());
        return st.Column(0).toLongLong();
    }

    QTemporaryDir dir_;
    ScriptedPrompts prompts_;
    ScopedPromptSeam seam_{prompts_};
    std::unique_ptr<ProgramWindows> windows_;
};

TEST_F(HealthCheckRoadTest, ReportsRepairsAndLeavesABackupThatOpensAsTheOldStore)
{
    Start(TableEdition());
    Sheet().Healthcheck1->trigger();
    ASSERT_TRUE(Window().isVisible());
    const QStringList report = Report();
    EXPECT_TRUE(report.contains("Diagram 1 Seg 2 - To-point not found"));
    EXPECT_TRUE(report.contains("Diagram 1 Text 8 - point not found"));
    EXPECT_TRUE(report.contains("Diagram 1 Point 3 - no segs or text"));
    EXPECT_TRUE(report.contains("Scan for duplicate points skipped - select Zoom=4 for this"));

    // The zoom the duplicate scan needs is the sheet's.
    Sheet().Sheet.ZoomFactor = 4;
    Window().Recheck1->trigger();
    EXPECT_TRUE(Report().contains("Scanning for duplicate points for Diagram 1"));

    prompts_.Answer('Y');
    Window().Repair1->trigger();
    EXPECT_EQ(Count("select count(*) from seg.db"), 1);
    EXPECT_EQ(Count("select count(*) from text.db"), 0);
    EXPECT_EQ(Count("select count(*) from point.db"), 2);
    EXPECT_TRUE(prompts_.Texts(ScriptedPrompts::Kind::Error).isEmpty());

    // The backup, put where a program's data folder goes, opens as a store
    // holding the rows the repair removed.
    const QDir backups(dir_.filePath("Pre-repair backups"));
    const QStringList made = backups.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(made.size(), 1);
    EXPECT_TRUE(made[0].startsWith("RPR"));
    const QString other = dir_.filePath("elsewhere");
    ASSERT_TRUE(QDir().mkpath(other + "/Scalora data"));
    ASSERT_TRUE(QFile::copy(backups.filePath(made[0] + "/tables.sqlite"),
                            other + "/Scalora data/tables.sqlite"));
    TFcore old(other);
    old.FormCreate();
    ASSERT_TRUE(old.OpenDiagram(1));
    TPointRec point;
    TTextRec text;
    EXPECT_TRUE(old.Table1.FindKey({1, 2}));
    EXPECT_TRUE(old.LoadPoint(3, point));
    EXPECT_TRUE(old.LoadTextAtPoint(8, text));
    EXPECT_EQ(text.Text, "Gate");
}

} // namespace
