// The notepad through the whole program: typed in its window, saved by the
// autosave, and back after the program starts again on the same folder.

#include "dialogs/about1.h"
#include "dialogs/notepad.h"
#include "programs/tableedition.h"
#include "sheet/sheet.h"
#include "sheet/startup.h"
#include "support/scriptedprompts.h"
#include "tablestore/tableschema.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace
{

class NotepadRun : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(dir_.filePath("Scalora data")));
        CreateTableStore(dir_.filePath("Scalora data"), OldestTableStoreVersion);
    }

    static void Type(TFnotepad& pad, const QString& text)
    {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(pad.Memo1, &press);
        }
    }

    QByteArray Notepad() const
    {
        QFile f(dir_.filePath("npad.txt"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<absent>");
    }

    QTemporaryDir dir_;
    ScriptedPrompts prompts_;
    ScopedPromptSeam seam_{prompts_};
    const Edition edition_ = TableEdition();
};

TEST_F(NotepadRun, TypedTextIsAutosavedAndBackAfterARestart)
{
    {
        ProgramWindows w(edition_, dir_.path());
        TFSheet& sheet = *w.forms.FSheet;
        sheet.show();
        sheet.Notepad1->trigger();
        TFnotepad& pad = *w.forms.Fnotepad;
        ASSERT_TRUE(pad.isVisible());
        Type(pad, "Key at the site office");
        ASSERT_TRUE(pad.Timer1->isActive());
        EXPECT_EQ(pad.Timer1->interval(), 15000);
        pad.Timer1Timer(); // the autosave is due
        EXPECT_EQ(Notepad(), "Key at the site office");
        Type(pad, ", top drawer");
        sheet.close(); // closing the main window closes the notepad
        EXPECT_FALSE(pad.isVisible());
        EXPECT_EQ(Notepad(), "Key at the site office, top drawer");
    }
    {
        ProgramWindows w(edition_, dir_.path());
        TFSheet& sheet = *w.forms.FSheet;
        sheet.show();
        sheet.Notepad1->trigger();
        TFnotepad& pad = *w.forms.Fnotepad;
        EXPECT_EQ(pad.Memo1->toPlainText(), "Key at the site office, top drawer");
        Type(pad, "!");
        // Ended without closing: what is pending is saved as the windows go.
    }
    EXPECT_EQ(Notepad(), "Key at the site office, top drawer!");
    EXPECT_TRUE(prompts_.Texts().isEmpty());
}

TEST_F(NotepadRun, ANotepadAlreadyShownComesBackToTheFront)
{
    ProgramWindows w(edition_, dir_.path());
    TFSheet& sheet = *w.forms.FSheet;
    sheet.show();
    sheet.Notepad1->trigger();
    sheet.activateWindow();
    QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), &sheet);
    sheet.Notepad1->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), w.forms.Fnotepad);
    sheet.close();
}

TEST_F(NotepadRun, TheAboutWindowNamesTheRunningProgram)
{
    ProgramWindows w(edition_, dir_.path());
    w.forms.FSheet->show();
    w.forms.FSheet->About1->trigger();
    TFAbout1& about = *w.forms.FAbout1;
    EXPECT_TRUE(about.isVisible());
    EXPECT_EQ(about.Label1->text(), "SCALORA");
    EXPECT_EQ(about.Label2->text(), QCoreApplication::applicationFilePath());
    w.forms.FSheet->close();
}

} // namespace
