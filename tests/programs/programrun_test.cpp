// One run of the program's message loop with its real windows: the run ends
// whenever the main window closes, whatever else is still shown.

#include "damagedstore.h"
#include "dialogs/about1.h"
#include "dialogs/newseg.h"
#include "library/application.h"
#include "platform/ini.h"
#include "platform/tables.h"
#include "programs/tableedition.h"
#include "sheet/func.h"
#include "sheet/sheet.h"
#include "sheet/startup.h"
#include "support/modalhelper.h"
#include "support/scriptedprompts.h"
#include "tablestore/tableschema.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace
{

class ProgramRunTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(dir_.filePath("Scalora data")));
        CreateTableStore(dir_.filePath("Scalora data"), OldestTableStoreVersion);
    }

    // Runs the program's loop with the steps acting on its main window once
    // the loop runs; true when the loop ended by itself. A loop that does not
    // end is stopped after a minute, which fails the test.
    bool RunEnds(const std::function<void(TFSheet&)>& steps)
    {
        bool stopped = false;
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [&stopped] {
            stopped = true;
            for (QWidget* w : QApplication::topLevelWidgets())
                w->hide();
            QCoreApplication::exit(1);
        });
        // The windows exist only inside Exec; the main window is found among
        // the application's windows once the loop runs.
        QTimer::singleShot(0, [&] {
            watchdog.start(60000);
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* sheet = qobject_cast<TFSheet*>(w))
                    steps(*sheet);
        });
        ProgramRun run;
        run.Exec(edition_, dir_.path());
        return !stopped;
    }

    QString Ini(const QString& key) const
    {
        return IniFile(dir_.filePath("scalora.ini")).ReadString("main", key, "<absent>");
    }

    QTemporaryDir dir_;
    ScriptedPrompts prompts_;
    ScopedPromptSeam seam_{prompts_};
    Edition edition_ = TableEdition();
};

TEST_F(ProgramRunTest, ExitWithTheAboutWindowShownEndsTheRunAndWritesTheIniFile)
{
    bool aboutShown = false;
    EXPECT_TRUE(RunEnds([&aboutShown](TFSheet& sheet) {
        sheet.About1->trigger();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<TFAbout1*>(w))
                aboutShown = w->isVisible();
        sheet.Quit1->trigger();
    }));
    EXPECT_TRUE(aboutShown);
    EXPECT_EQ(Ini("DBVn"), "102");
}

TEST_F(ProgramRunTest, ExitWithThePaletteShownAfterAMeasuredEntryEndsTheRun)
{
    bool paletteShown = false;
    EXPECT_TRUE(RunEnds([this, &paletteShown](TFSheet& sheet) {
        prompts_.Type("Site P").Type("m").Type("2");
        sheet.New1->trigger();
        WhenModal([&paletteShown](QWidget* modal) {
            auto& dialog = *qobject_cast<TFseg*>(modal);
            dialog.Editx->setText("4.5");
            dialog.Button1->click();
            for (QWidget* w : QApplication::topLevelWidgets())
                if (qobject_cast<TFnewseg*>(w))
                    paletteShown = w->isVisible();
        });
        sheet.Button2->click();
        sheet.Quit1->trigger();
    }));
    EXPECT_TRUE(paletteShown);
    EXPECT_EQ(Ini("DiagramNumber"), "1");
}

TEST_F(ProgramRunTest, AStoreFaultReachingTheErrorBoxIsPutInTheStoresWords)
{
    EXPECT_TRUE(RunEnds([](TFSheet& sheet) {
        // As a read that meets a damaged page throws it, outside any write.
        DeliverShowingExceptions([]() -> bool {
            throw tables::EngineError("database disk image is malformed", SQLITE_CORRUPT);
        });
        sheet.Quit1->trigger();
    }));
    const QStringList boxes = prompts_.Texts(ScriptedPrompts::Kind::Error);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].startsWith("Cannot use the table store \"" +
                                    dir_.filePath("Scalora data/tables.sqlite") +
                                    "\": the file is damaged."))
        << boxes[0].toStdString();
    // Once the windows are gone, the store's words go with them.
    DeliverShowingExceptions([]() -> bool {
        throw tables::EngineError("database disk image is malformed", SQLITE_CORRUPT);
    });
    EXPECT_EQ(prompts_.Texts(ScriptedPrompts::Kind::Error).last(),
              "database disk image is malformed.");
}

TEST_F(ProgramRunTest, ADamagedStoreIsNamedWithWhatToDoAndTheRunEndsAfterItsBox)
{
    const QString file = dir_.filePath("Scalora data/tables.sqlite");
    DamageStorePage(file, "SELECT rootpage FROM sqlite_master WHERE name = 'pxlxy'");
    bool loopRan = false;
    QTimer::singleShot(0, [&loopRan] { loopRan = true; });
    ProgramRun run;
    EXPECT_EQ(run.Exec(edition_, dir_.path()), 1);
    const QStringList boxes = prompts_.Texts();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].startsWith("The program cannot start: it cannot open the table store \"" +
                                    file + "\": the file is damaged. Put back a sound copy"))
        << boxes[0].toStdString();
    EXPECT_TRUE(boxes[0].contains(dir_.filePath("Pre-repair backups/"))) << boxes[0].toStdString();
    // No window was worked on: the loop never ran and nothing was written.
    EXPECT_FALSE(loopRan);
    EXPECT_FALSE(QFile::exists(dir_.filePath("scalora.ini")));
    QCoreApplication::processEvents(); // the check above, before it outlives this test
}

} // namespace
