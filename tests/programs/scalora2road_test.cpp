// The second program's main road through its real windows: a new diagram
// and a chain of measured segments stored into the Firebird database beside
// it, drawn, reopened at the next start, and on the disk the moment each
// command ends, as a program killed right then shows. A whole site's road:
// a chain with a circle, a segment on a layer of its own, a label, the
// layer made faint through a profile, notes, all found in the database.
// A database that cannot be opened ends the program with the reason.

#include "dialogs/layers.h"
#include "dialogs/newseg.h"
#include "dialogs/notes.h"
#include "dialogs/pfls.h"
#include "failingdisk.h"
#include "firebird/fbschema.h"
#include "firebirdenv.h"
#include "firebirdfile.h"
#include "gridrows.h"
#include "library/application.h"
#include "platform/fileidentity.h"
#include "programs/fbedition.h"
#include "sheet/drawing.h"
#include "sheet/func.h"
#include "sheet/sheet.h"
#include "sheet/startup.h"
#include "store/store.h"
#include "support/modalhelper.h"
#include "support/scriptedprompts.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTableWidget>
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

TEST_F(Scalora2RoadTest, ASiteWithACircleALabelAFaintLayerAndNotesIsAllInTheDatabase)
{
    MakeDatabase();
    {
        ProgramWindows w(edition_, dir_.path());
        TFSheet& sheet = *w.forms.FSheet;
        TFseg& dialog = *w.forms.Fseg;
        TFLayers& layers = *w.forms.FLayers;
        TFpfls& profiles = *w.forms.Fpfls;
        Store& store = *w.forms.Fcore;
        sheet.show();
        prompts_.Type("Yard").Type("m").Type("2");
        sheet.New1->trigger();

        // A layer for the fence.
        prompts_.Type("Fence");
        WhenModal([&](QWidget*) {
            layers.New1->trigger();
            layers.Button2->click();
        });
        sheet.Layers1->trigger();

        // 10 m along the kerb, then a circle of 3 m about its end.
        prompts_.Type("3");
        WhenModal([&](QWidget*) {
            MoreSegment(dialog, "10", "");
            dialog.CircleRdio->click();
        });
        sheet.Button2->click();
        EXPECT_EQ(sheet.Sheet.CursorX().Lenx, 13);
        EXPECT_EQ(sheet.Sheet.CursorX().Leny, 0);

        // From the rim, 5 m down on the fence's layer, chosen on the palette.
        WhenModal([&](QWidget*) {
            WhenModal([&](QWidget*) {
                SelectRow(layers.DBGrid1, 1);
                layers.Button2->click();
            });
            w.forms.Fnewseg->LayerBtn->click();
            MoreSegment(dialog, "", "5");
            dialog.Button2->click();
        });
        sheet.Button2->click();

        // A label at the fence's end, on the default layer.
        prompts_.Type("Post");
        WhenModal([&](QWidget*) {
            SelectRow(layers.DBGrid1, 0);
            layers.Button2->click();
        });
        sheet.extatX1->trigger();

        // The fence faint, saved as the profile "Survey"; the fence bold
        // again; then the profile chosen.
        prompts_.Type("Survey").Answer('Y');
        WhenModal([&](QWidget*) {
            SelectRow(layers.DBGrid1, 1);
            layers.Faint1->trigger();
            WhenModal([&](QWidget*) {
                profiles.New1->trigger();
                profiles.OKBtn->click();
            });
            layers.Button1->click();
        });
        sheet.Layers1->trigger();
        WhenModal([&](QWidget*) {
            SelectRow(layers.DBGrid1, 1);
            layers.Bold1->trigger();
            layers.Button2->click();
        });
        sheet.Layers1->trigger();
        WhenModal([&](QWidget*) {
            SelectRow(profiles.DBGrid1, 1);
            profiles.OKBtn->click();
        });
        sheet.Profiles1->trigger();
        sheet.Sheet.HideCursors();
        EXPECT_EQ(sheet.Sheet.Bitmap.Pixel(store.LenToPixelX(13), store.LenToPixelY(2.5)),
                  SheetFaintInk);
        sheet.Sheet.ShowCursors();

        // Notes with an apostrophe.
        WhenModal([&](QWidget*) {
            w.forms.Fnotes->Memo1->insertPlainText("Gate: O'Hara's");
            prompts_.Answer('Y');
            w.forms.Fnotes->close();
        });
        sheet.Notes1->trigger();

        EXPECT_TRUE(prompts_.AllAnswered());
        EXPECT_TRUE(prompts_.Texts(ScriptedPrompts::Kind::Error).isEmpty())
            << prompts_.Texts(ScriptedPrompts::Kind::Error).join('|').toStdString();
        sheet.close();
    }
    // Read through a connection of its own once the program has closed.
    const auto value = [this](const QString& sql) { return ValueInDatabaseFile(DbPath(), sql); };
    EXPECT_EQ(value("select trim(dgname) || '/' || trim(units) || '/' || rndgdp from drawing"),
              "Yard/m/2");
    EXPECT_EQ(value("select notes from drawing where dgnum = 1"), "Gate: O'Hara's");
    EXPECT_EQ(value("select count(*) from seg"), "3");
    EXPECT_EQ(value("select count(*) from seg s join point a on a.dgnum = s.dgnum and "
                    "a.pointnum = s.frompt join point b on b.dgnum = s.dgnum and b.pointnum = "
                    "s.topt where s.segtype = 3 and s.mlenx = 360 and a.lenx = 10 and a.leny = 0 "
                    "and b.lenx = 13 and b.leny = 0 and s.layernum = 0"),
              "1");
    EXPECT_EQ(value("select count(*) from seg s join point b on b.dgnum = s.dgnum and "
                    "b.pointnum = s.topt where s.segtype = 2 and s.layernum = 1 and s.mleny = 5 "
                    "and b.lenx = 13 and b.leny = 5"),
              "1");
    EXPECT_EQ(value("select t.text || '/' || t.layernum from text t join point p on p.dgnum = "
                    "t.dgnum and p.pointnum = t.pointnum where p.lenx = 13 and p.leny = 5"),
              "Post/0");
    EXPECT_EQ(value("select trim(layername) || '/' || visib from layer where layernum = 1"),
              "Fence/1");
    EXPECT_EQ(value("select trim(pflname) from pfl where pflnum = 1"), "Survey");
    EXPECT_EQ(value("select list(layernum || '=' || visib, ',') from (select layernum, visib "
                    "from pflays where pflnum = 1 order by layernum)"),
              "0=2,1=1");
}

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

// What the program does when a click ends in an error: the error box.
void ClickAsTheProgramDoes(const std::function<void()>& click)
{
    DeliverShowingExceptions([&] {
        click();
        return true;
    });
}

TEST_F(Scalora2RoadTest, ASegmentTheDiskRefusedIsNeverStoredAndTheChainGoesOn)
{
    MakeDatabase();
    {
        ProgramWindows w(edition_, dir_.path());
        TFSheet& sheet = *w.forms.FSheet;
        sheet.show();
        FailingDisk disk(DbPath());
        prompts_.Type("Yard").Type("m").Type("2");
        sheet.New1->trigger();
        TFseg& dialog = *w.forms.Fseg;
        WhenModal([&](QWidget*) {
            MoreSegment(dialog, "4", "");
            // The disk fails once the second segment's transaction has
            // started (a read starts it): none of its pages reaches the
            // disk, neither at the commit nor at the undo.
            TLayerRec layer;
            EXPECT_TRUE(w.forms.Fcore->LoadLayer(0, layer));
            disk.Fail();
            ClickAsTheProgramDoes([&] { MoreSegment(dialog, "", "2.5"); });
            disk.Heal();
            ClickAsTheProgramDoes([&] { MoreSegment(dialog, "", "1.5"); });
            ClickAsTheProgramDoes([&] { MoreSegment(dialog, "3", ""); });
            dialog.Button2->click();
        });
        sheet.Button2->click();
        const QStringList errors = prompts_.Texts(ScriptedPrompts::Kind::Error);
        ASSERT_EQ(errors.size(), 1) << errors.join('|').toStdString();
        EXPECT_TRUE(errors[0].contains("No space left on device")) << errors[0].toStdString();
        EXPECT_TRUE(errors[0].contains("The command is not stored.")) << errors[0].toStdString();
        sheet.close();
    }
    // The chain as the user saw it stored: 4 right, 1.5 down, 3 right.
    const auto value = [this](const QString& sql) { return ValueInDatabaseFile(DbPath(), sql); };
    EXPECT_EQ(value("select count(*) from seg"), "3");
    EXPECT_EQ(value("select count(*) from seg where mleny = 2.5"), "0");
    EXPECT_EQ(value("select count(*) from point"), "4");
    EXPECT_EQ(value("select count(*) from point where lenx = 7 and leny = 1.5"), "1");
}

TEST_F(Scalora2RoadTest, ADatabaseFileDeletedUnderTheProgramIsNoticedAtTheNextCommand)
{
    MakeDatabase();
    ProgramWindows w(edition_, dir_.path());
    TFSheet& sheet = *w.forms.FSheet;
    sheet.show();
    prompts_.Type("Yard").Type("m").Type("2");
    sheet.New1->trigger();
    TFseg& dialog = *w.forms.Fseg;
    WhenModal([&](QWidget*) {
        MoreSegment(dialog, "4", "");
        EXPECT_TRUE(QFile::remove(DbPath()));
        ClickAsTheProgramDoes([&] { MoreSegment(dialog, "", "2.5"); });
        dialog.Button2->click();
    });
    ClickAsTheProgramDoes([&] { sheet.Button2->click(); });
    // The command says so; the refresh after it still draws what was
    // stored before.
    EXPECT_EQ(prompts_.Texts(ScriptedPrompts::Kind::Error),
              QStringList{ExceptionBoxText(DatabaseFileGoneText(DbPath()))});
    Store& store = *w.forms.Fcore;
    EXPECT_EQ(store.LastSegNum, 1);
    sheet.Sheet.HideCursors();
    const int y = store.LenToPixelY(0);
    for (int x = store.LenToPixelX(0) + 1; x < store.LenToPixelX(4); ++x)
        ASSERT_EQ(sheet.Sheet.Bitmap.Pixel(x, y), SheetInk) << x;
    sheet.Sheet.ShowCursors();
    // The program still closes.
    sheet.close();
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_FALSE(QFile::exists(DbPath()));
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
