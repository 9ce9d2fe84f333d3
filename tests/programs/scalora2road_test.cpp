// The second program's main road through its real windows: a new diagram
// and a chain of measured segments stored into the Firebird database beside
// it, drawn, reopened at the next start, and on the disk the moment each
// command ends, as a program killed right then shows. A database that
// cannot be opened ends the program with the reason.

#include "firebird/fbedition.h"
#include "firebirdenv.h"
#include "library/modalhelper.h"
#include "library/scriptedprompts.h"
#include "sheet/drawing.h"
#include "sheet/func.h"
#include "sheet/sheet.h"
#include "sheet/startup.h"
#include "store/fbschema.h"
#include "store/store.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>

namespace
{

class Scalora2RoadTest : public ::testing::Test
{
  protected:
    QString DbPath() const { return dir_.filePath("Scalora2 data/scalora2data.fdb"); }

    void MakeDatabase() const
    {
        ASSERT_TRUE(QDir().mkpath(dir_.filePath("Scalora2 data")));
        CreateFirebirdStore(DbPath());
    }

    // Types the lengths of one segment and presses "OK (more)".
    static void MoreSegment(TFseg& d, const QString& x, const QString& y)
    {
        d.RightRdio->click();
        d.DownRdio->click();
        d.Editx->setText(x);
        d.Edity->setText(y);
        d.Editz->clear();
        d.Button3->click();
    }

    // A new diagram with no decimals, and the measured chain 10.4 right,
    // then 3.25 down, from its first point, each stored by "OK (more)";
    // then, with the dialog still open, whatever ends the entry.
    void EnterChain(ProgramWindows& w, const std::function<void(TFseg&)>& end)
    {
        TFSheet& sheet = *w.forms.FSheet;
        prompts_.Type("O'Hara yard").Type("m").Type("0");
        sheet.New1->trigger();
        TFseg& dialog = *w.forms.Fseg;
        WhenModal([&dialog, end](QWidget*) {
            MoreSegment(dialog, "10.4", "");
            MoreSegment(dialog, "", "3.25");
            end(dialog);
        });
        sheet.Button2->click();
    }

    // The rows an SQL client nobody here wrote finds in the database file.
    QString Isql(const QString& statements) const
    {
        QProcess isql;
        isql.start(QStandardPaths::findExecutable("isql-fb"), {"-u", "SYSDBA", "-q", DbPath()});
        EXPECT_TRUE(isql.waitForStarted(60000));
        isql.write((statements + "\nquit;\n").toUtf8());
        isql.closeWriteChannel();
        EXPECT_TRUE(isql.waitForFinished(60000));
        return QString::fromUtf8(isql.readAllStandardOutput() + isql.readAllStandardError());
    }

    QTemporaryDir dir_;
    ScriptedPrompts prompts_;
    ScopedPromptSeam seam_{prompts_};
    Edition edition_ = FirebirdEdition();
};

TEST_F(Scalora2RoadTest, MeasuredChainIsStoredInFirebirdDrawnAndReopened)
{
    MakeDatabase();
    {
        ProgramWindows w(edition_, dir_.path());
        TFSheet& sheet = *w.forms.FSheet;
        sheet.show();
        EnterChain(w, [](TFseg& dialog) { dialog.Button2->click(); });
        EXPECT_TRUE(prompts_.Texts(ScriptedPrompts::Kind::Error).isEmpty());
        EXPECT_EQ(sheet.windowTitle(), "SCALORA2 - O'Hara yard ( m )");

        Store& store = *w.forms.Fcore;
        TSegRec first, second;
        ASSERT_TRUE(store.LoadSegment(store.LastSegNum - 1, first));
        ASSERT_TRUE(store.LoadSegment(store.LastSegNum, second));
        // The lengths as typed, not rounded to the diagram's no decimals.
        EXPECT_EQ(first.ToPoint.Lenx, 10.4);
        EXPECT_EQ(second.ToPoint.Leny, 3.25);
        EXPECT_EQ(second.Mleny, 3.25);
        // X stands on the chain's end, found again by its lengths.
        EXPECT_EQ(sheet.Sheet.CursorX().Pointnum, second.ToPoint.Pointnum);

        ASSERT_GT(store.Scale, 0);
        sheet.Sheet.HideCursors();
        const Canvas& bitmap = sheet.Sheet.Bitmap;
        const int y = store.LenToPixelY(0);
        for (int x = store.LenToPixelX(0) + 1; x < store.LenToPixelX(10.4); ++x)
            ASSERT_EQ(bitmap.Pixel(x, y), SheetInk) << x;
        sheet.Sheet.ShowCursors();
        sheet.close();
    }
    {
        ProgramWindows w(edition_, dir_.path());
        TFSheet& sheet = *w.forms.FSheet;
        sheet.show();
        EXPECT_EQ(sheet.windowTitle(), "SCALORA2 - O'Hara yard ( m )");
        Store& store = *w.forms.Fcore;
        EXPECT_EQ(store.RoundingDP, 0);
        TPointRec end;
        end.Lenx = 10.4;
        end.Leny = 3.25;
        EXPECT_TRUE(store.FindPointAtLength(end));
        sheet.close();
    }
}

// Where the road of the killed program runs: the child process that a
// death test starts runs this test again from its start, and must work in
// the folder of the test that started it.
const char* const KilledRoadFolder = "SCALORA2_KILLED_ROAD_FOLDER";

TEST_F(Scalora2RoadTest, ASegmentIsInTheDatabaseWhenTheProgramIsKilledRightAfterItsCommand)
{
    if (QStandardPaths::findExecutable("isql-fb").isEmpty())
        GTEST_SKIP() << "isql-fb is not installed";
    // The whole road runs in a process of its own, started afresh, that is
    // killed the moment the second segment's command has ended, with the
    // dialog still open: no refresh has run, nothing closes, nothing is
    // flushed on the way out.
    const bool child = qEnvironmentVariableIsSet(KilledRoadFolder);
    const QString folder = child ? qEnvironmentVariable(KilledRoadFolder) : dir_.path();
    qputenv(KilledRoadFolder, folder.toUtf8());
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ASSERT_TRUE(QDir().mkpath(folder + "/Scalora2 data"));
            CreateFirebirdStore(folder + "/Scalora2 data/scalora2data.fdb");
            ProgramWindows w(edition_, folder);
            w.forms.FSheet->show();
            EnterChain(w, [](TFseg&) { std::raise(SIGKILL); });
        },
        ::testing::KilledBySignal(SIGKILL), "");
    qunsetenv(KilledRoadFolder);
    const QString out = Isql(
        "select 'points=' || count(*) from point where (lenx = 0 and leny = 0) or "
        "(lenx = 10.4 and leny = 0) or (lenx = 10.4 and leny = 3.25);\n"
        "select 'segments=' || count(*) from seg s join point a on a.dgnum = s.dgnum and "
        "a.pointnum = s.frompt join point b on b.dgnum = s.dgnum and b.pointnum = s.topt where "
        "(s.mlenx = 10.4 and b.lenx = 10.4 and b.leny = 0) or (s.mleny = 3.25 and a.lenx = 10.4 "
        "and b.leny = 3.25);");
    EXPECT_TRUE(out.contains("points=3")) << out.toStdString();
    EXPECT_TRUE(out.contains("segments=2")) << out.toStdString();
}

TEST_F(Scalora2RoadTest, ADatabaseThatCannotBeOpenedEndsTheProgramWithTheReason)
{
    ProgramRun run;
    EXPECT_EQ(run.Exec(edition_, dir_.path()), 1);
    const QStringList errors = prompts_.Texts(ScriptedPrompts::Kind::Error);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors[0], "Cannot open the database \"" + DbPath() + "\": the file does not exist.");
    EXPECT_FALSE(QFile::exists(DbPath()));
    EXPECT_FALSE(QFile::exists(dir_.filePath("scalora.ini")));
}

} // namespace
