// The notepad over real files in a temporary program folder, with a clock
// that the tests set and the file and font dialogs answered from a script.

#include "dialogs/notepad.h"
#include "dialogs/notepadfiles.h"
#include "library/flash.h"
#include "library/messages.h"
#include "platform/ini.h"
#include "support/scripteddialogs.h"
#include "support/scriptedprompts.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace
{

using Kind = ScriptedPrompts::Kind;

class NotepadTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        folder_ = dir_.path();
    }
    void TearDown() override
    {
        pad_.reset();
        HideFlash();
    }

    TFnotepad& Make()
    {
        pad_ = std::make_unique<TFnotepad>(folder_);
        pad_->Now = [this] { return now_; };
        return *pad_;
    }
    TFnotepad& Shown()
    {
        TFnotepad& pad = pad_ ? *pad_ : Make();
        pad.show();
        return pad;
    }

    QString Path(const QString& name) const { return QDir(folder_).filePath(name); }

    void WriteFile(const QString& name, const QByteArray& bytes) const
    {
        QFile f(Path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QByteArray FileBytes(const QString& name) const
    {
        QFile f(Path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<absent>");
    }

    // Types at the caret as the user does, one key at a time.
    static void Type(TFnotepad& pad, const QString& text)
    {
        for (QChar c : text) {
            const bool newLine = c == QLatin1Char('\n');
            QKeyEvent press(QEvent::KeyPress, newLine ? Qt::Key_Return : 0, Qt::NoModifier,
                            newLine ? QStringLiteral("\r") : QString(c));
            QCoreApplication::sendEvent(pad.Memo1, &press);
        }
    }

    static void Key(TFnotepad& pad, int key)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(pad.Memo1, &press);
    }

    QString SaveReport()
    {
        prompts_.Clear();
        pad_->Save1->trigger();
        EXPECT_EQ(prompts_.Captions(), QStringList{" Notepad"});
        return prompts_.Texts().value(0);
    }

    QTemporaryDir dir_;
    QString folder_;
    QDateTime now_ = QDateTime(QDate(2002, 9, 1), QTime(14, 30, 5));
    ScriptedPrompts prompts_;
    ScopedPromptSeam seam_{prompts_};
    ScriptedDialogs dialogs_;
    ScopedCommonDialogs useDialogs_{dialogs_};
    std::unique_ptr<TFnotepad> pad_;
};

TEST_F(NotepadTest, StartsEmptyWithTheDefaultsWhenNoFileIsThere)
{
    TFnotepad& pad = Make();
    EXPECT_EQ(pad.windowTitle(), QApplication::applicationName() + " - Notepad");
    EXPECT_EQ(pad.Memo1->toPlainText(), "");
    EXPECT_EQ(pad.Memo1->font().family(), "Arial");
    EXPECT_EQ(pad.Memo1->font().pointSize(), 10);
    EXPECT_FALSE(pad.Memo1->font().bold());
    EXPECT_EQ(pad.Memo1->palette().color(QPalette::Base), QColor(235, 215, 255));
    EXPECT_EQ(pad.Timer1->interval(), 15000);
    EXPECT_FALSE(pad.Timer1->isActive());
    EXPECT_EQ(pad.NotepadTextPath, Path("npad.txt"));
    pad.show();
    EXPECT_EQ(SaveReport(), "There are no changes to save");
    EXPECT_TRUE(pad.Timer2->isActive()); // the one scroll to the caret
    pad.Timer2Timer();
    EXPECT_FALSE(pad.Timer2->isActive());
}

TEST_F(NotepadTest, TheSettingsFileGivesFontAndPlace)
{
    WriteFile("npad.ini", "[notepad]\nFONTNAME=Courier New\nFONTSIZE=14\nFONTBOLD=1\n"
                          "FONTITALIC=1\nFONTUNDERLINE=0\nFONTSTRIKEOUT=1\n"
                          "FORMTOP=30\nFORMLEFT=40\nFORMWIDTH=300\nFORMHEIGHT=200\n");
    TFnotepad& pad = Make();
    const QFont font = pad.Memo1->font();
    EXPECT_EQ(font.family(), "Courier New");
    EXPECT_EQ(font.pointSize(), 14);
    EXPECT_TRUE(font.bold());
    EXPECT_TRUE(font.italic());
    EXPECT_FALSE(font.underline());
    EXPECT_TRUE(font.strikeOut());
    EXPECT_EQ(pad.pos(), QPoint(40, 30));
    EXPECT_EQ(pad.size(), QSize(300, 200));
}

TEST_F(NotepadTest, ZeroWidthOrNegativeTopLeaveTheDesignedSizeAndPlace)
{
    const QSize designed = Make().size();
    const QPoint place = pad_->pos();
    WriteFile("npad.ini", "[notepad]\nFORMTOP=-1\nFORMLEFT=25\nFORMWIDTH=0\nFORMHEIGHT=260\n");
    TFnotepad& pad = Make();
    EXPECT_EQ(pad.pos(), QPoint(25, place.y()));
    EXPECT_EQ(pad.size(), QSize(designed.width(), 260));
}

TEST_F(NotepadTest, APlaceOrSizeBeyondTheScreenIsPulledOntoIt)
{
    const QRect screen = ScreenRectAt(QPoint(0, 0));
    WriteFile("npad.ini", "[notepad]\nFONTSIZE=100000\nFORMTOP=100000\nFORMLEFT=100000\n"
                          "FORMWIDTH=100000\nFORMHEIGHT=100000\n");
    TFnotepad& pad = Make();
    EXPECT_EQ(pad.geometry(), screen);
    EXPECT_EQ(pad.Memo1->font().pointSize(), 10);
    pad.show(); // a window of the screen's size paints
    QCoreApplication::processEvents();

    // A window that fits is only moved as far as it has to be.
    WriteFile("npad.ini", "[notepad]\nFORMTOP=20\nFORMLEFT=100000\nFORMWIDTH=300\n"
                          "FORMHEIGHT=1\n");
    TFnotepad& moved = Make();
    EXPECT_EQ(moved.pos(), QPoint(screen.right() + 1 - 300, 20));
    EXPECT_EQ(moved.width(), 300);
    EXPECT_GE(moved.height(), 120);
}

TEST_F(NotepadTest, ChangesCountOnlyOnceTheWindowHasBeenShown)
{
    WriteFile("npad.txt", "kept");
    TFnotepad& pad = Make();
    EXPECT_EQ(pad.Memo1->toPlainText(), "kept");
    pad.Memo1->setPlainText("not yet");
    EXPECT_FALSE(pad.NotepadChanged);
    pad.show(); // the file again
    EXPECT_EQ(pad.Memo1->toPlainText(), "kept");
    EXPECT_FALSE(pad.NotepadChanged);
    EXPECT_EQ(pad.Memo1->textCursor().position(), 4); // at the end
    Type(pad, "!");
    EXPECT_TRUE(pad.NotepadChanged);
    EXPECT_TRUE(pad.Timer1->isActive());
    EXPECT_EQ(pad.AutosaveDue, now_.addSecs(15));
}

TEST_F(NotepadTest, TheAutosaveWritesTheTextAndTheReportFollows)
{
    TFnotepad& pad = Shown();
    Type(pad, "Gate code 1234");
    EXPECT_EQ(SaveReport(), "Changes will anyway be saved automatically in 15 seconds,\r"
                            "or when the Notepad is closed.");
    now_ = now_.addSecs(10);
    Type(pad, "!"); // a later change does not put the autosave off
    EXPECT_EQ(pad.AutosaveDue, now_.addSecs(5));
    now_ = now_.addMSecs(3500);
    EXPECT_EQ(SaveReport(), "Changes will anyway be saved automatically in 1 second,\r"
                            "or when the Notepad is closed.");
    EXPECT_EQ(FileBytes("npad.txt"), "<absent>");

    pad.Timer1Timer();
    EXPECT_EQ(FileBytes("npad.txt"), "Gate code 1234!");
    EXPECT_FALSE(pad.NotepadChanged);
    EXPECT_FALSE(pad.Timer1->isActive());
    EXPECT_EQ(SaveReport(), "All changes have already been saved");
    // Showing again reads the file afresh, which counts as no change.
    pad.hide();
    pad.show();
    EXPECT_FALSE(pad.NotepadChanged);
    EXPECT_EQ(SaveReport(), "There are no changes to save");
}

TEST_F(NotepadTest, ClosingSavesAndReopeningAtOnceShowsTheTypedText)
{
    TFnotepad& pad = Shown();
    Type(pad, "first line\n");
    pad.Close1->trigger();
    EXPECT_FALSE(pad.isVisible());
    EXPECT_EQ(FileBytes("npad.txt"), "first line\n");
    pad.show();
    EXPECT_EQ(pad.Memo1->toPlainText(), "first line\n");
    Type(pad, "second");
    Key(pad, Qt::Key_Escape);
    EXPECT_FALSE(pad.isVisible());
    EXPECT_EQ(FileBytes("npad.txt"), "first line\nsecond");
    // The settings went with it, ten keys in their order.
    QFile ini(Path("npad.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    QStringList keys;
    for (const QByteArray& line : ini.readAll().split('\n'))
        keys << QString::fromUtf8(line.split('=').first());
    EXPECT_EQ(keys, QStringList({"[notepad]", "FONTNAME", "FONTSIZE", "FONTBOLD", "FONTITALIC",
                                 "FONTUNDERLINE", "FONTSTRIKEOUT", "FORMTOP", "FORMLEFT",
                                 "FORMWIDTH", "FORMHEIGHT", ""}));
    EXPECT_EQ(IniFile(Path("npad.ini")).ReadInteger("notepad", "FORMWIDTH", 0), pad.width());
}

TEST_F(NotepadTest, DestroyingTheWindowSavesWhatIsPending)
{
    TFnotepad& pad = Shown();
    Type(pad, "before the end");
    pad_.reset();
    EXPECT_EQ(FileBytes("npad.txt"), "before the end");
    EXPECT_TRUE(prompts_.Texts().isEmpty());
}

TEST_F(NotepadTest, TheTextComesBackExactly)
{
    // Written elsewhere with Windows line ends: read as plain lines.
    WriteFile("npad.txt", "Ma\xc3\x9f 3,5 m\r\nZaun\r\n");
    TFnotepad& pad = Shown();
    EXPECT_EQ(pad.Memo1->toPlainText(), QString::fromUtf8("Ma\xc3\x9f 3,5 m\nZaun\n"));
    Type(pad, "\n");
    pad.close();
    EXPECT_EQ(FileBytes("npad.txt"), "Ma\xc3\x9f 3,5 m\nZaun\n\n");
}

TEST_F(NotepadTest, AFileThatCannotBeWrittenSaysSoAndKeepsTheText)
{
    folder_ = dir_.filePath("not yet made"); // no folder: nothing can be written there
    TFnotepad& pad = Shown();
    Type(pad, "Survey notes");
    pad.Timer1Timer();
    // The settings (the window's size changed as it was shown) and the text.
    ASSERT_EQ(prompts_.Texts(Kind::Info).size(), 2);
    EXPECT_TRUE(prompts_.Texts().at(0).startsWith(
        "Error : could not save the Notepad's settings - Cannot write " + Path("npad.ini")));
    EXPECT_TRUE(prompts_.Texts().at(1).startsWith("Error : could not save the Notepad to \"" +
                                                  Path("npad.txt") + "\" - "));
    EXPECT_TRUE(prompts_.Texts().at(1).endsWith("\rThe text is kept in the Notepad."));
    EXPECT_EQ(prompts_.Captions(), QStringList(2, " Notepad"));
    EXPECT_TRUE(pad.NotepadChanged);
    EXPECT_FALSE(pad.Timer1->isActive()); // no box every 15 seconds
    EXPECT_EQ(SaveReport(), "Changes could not be saved yet; they will be saved at the next "
                            "change, or when the Notepad is closed.");

    prompts_.Clear();
    pad.close(); // fails again, and says so
    EXPECT_FALSE(pad.isVisible());
    EXPECT_EQ(prompts_.Texts(Kind::Info).size(), 2); // the text and the settings
    pad.show();
    EXPECT_EQ(pad.Memo1->toPlainText(), "Survey notes");

    ASSERT_TRUE(QDir().mkpath(folder_));
    prompts_.Clear();
    pad.close();
    EXPECT_TRUE(prompts_.Texts().isEmpty());
    EXPECT_EQ(FileBytes("npad.txt"), "Survey notes");
    EXPECT_FALSE(pad.NotepadChanged);
}

TEST_F(NotepadTest, UnsavedEditsAreNeverReplacedByTheFile)
{
    WriteFile("npad.txt", "old");
    TFnotepad& pad = Shown();
    pad.Memo1->moveCursor(QTextCursor::End);
    Type(pad, " and new");
    pad.hide(); // hidden with the autosave still to come
    pad.show();
    EXPECT_EQ(pad.Memo1->toPlainText(), "old and new");
    pad.Timer1Timer();
    EXPECT_EQ(FileBytes("npad.txt"), "old and new");
}

TEST(NotepadFiles, AWholeFileOrNothingIsWritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("npad.txt");
    QString error;
    ASSERT_TRUE(WriteTextFile(path, "one\ntwo", error));
    ASSERT_TRUE(WriteTextFile(path, "three", error));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "three");
    // A place that cannot take the file is left as it was, with no
    // half-written file beside it.
    const QString taken = dir.filePath("taken");
    ASSERT_TRUE(QDir().mkpath(taken + "/inside"));
    EXPECT_FALSE(WriteTextFile(taken, "lost?", error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(taken + "/inside").isDir());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"npad.txt"});
    QString text;
    EXPECT_FALSE(ReadTextFile(dir.filePath("none.txt"), text, error));
    EXPECT_TRUE(error.isEmpty());
}

TEST_F(NotepadTest, ClearAsksTwiceAndEmptiesOnlyAfterTwoYes)
{
    WriteFile("npad.txt", "precious");
    TFnotepad& pad = Shown();
    prompts_.Answers("N");
    pad.Clear1->trigger();
    prompts_.Answers("YN");
    pad.Clear1->trigger();
    prompts_.Answers("YC");
    pad.Clear1->trigger();
    EXPECT_EQ(pad.Memo1->toPlainText(), "precious");
    EXPECT_FALSE(pad.NotepadChanged);
    prompts_.Answers("YY");
    pad.Clear1->trigger();
    EXPECT_EQ(pad.Memo1->toPlainText(), "");
    EXPECT_TRUE(pad.NotepadChanged);
    EXPECT_EQ(prompts_.Texts().mid(0, 2), QStringList({"Clear the notepad - are you sure ?",
                                                       "Clear the notepad - are you sure ?"}));
    EXPECT_EQ(prompts_.Texts().at(2), "... really sure ? (last chance)");
    for (const QString& caption : prompts_.Captions())
        EXPECT_EQ(caption, " Notepad");
    EXPECT_TRUE(prompts_.AllAnswered());
}

TEST_F(NotepadTest, NowStampsTheDateAndTimeOverTheSelection)
{
    TFnotepad& pad = Shown();
    Type(pad, "Met XX on site");
    QTextCursor c = pad.Memo1->textCursor();
    c.setPosition(4);
    c.setPosition(6, QTextCursor::KeepAnchor);
    pad.Memo1->setTextCursor(c);
    now_ = QDateTime(QDate(2002, 9, 1), QTime(14, 30, 59, 600)); // rounds to 14:31:00
    pad.Now1->trigger();
    EXPECT_EQ(pad.Memo1->toPlainText(), "Met 2002-09-01 14:31  on site");
}

TEST_F(NotepadTest, ToClipboardCopiesTheWholeText)
{
    TFnotepad& pad = Shown();
    Type(pad, "line 1\nline 2");
    pad.toClipboard1->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "line 1\nline 2");
    EXPECT_EQ(pad.Memo1->textCursor().position(), 0);
    EXPECT_FALSE(pad.Memo1->textCursor().hasSelection());
    EXPECT_EQ(prompts_.Flashes(), QStringList{"Exported OK"});
}

TEST_F(NotepadTest, ExportToAFileAddsTheEndingWhenItLacksIt)
{
    TFnotepad& pad = Shown();
    Type(pad, "to share");
    dialogs_.SaveAs(Path("share")).SaveAs(Path("Share.TXT")).CancelSave();
    pad.toFile1->trigger();
    pad.toFile1->trigger();
    pad.toFile1->trigger();
    EXPECT_EQ(FileBytes("share.txt"), "to share");
    EXPECT_EQ(FileBytes("Share.TXT"), "to share");
    EXPECT_EQ(FileBytes("Share.TXT.txt"), "<absent>");
    EXPECT_EQ(dialogs_.SaveFilters(), QStringList(3, "Text files (*.txt)"));
    EXPECT_EQ(prompts_.Flashes(), QStringList(2, "Exported OK"));
    EXPECT_TRUE(dialogs_.AllAnswered());
}

TEST_F(NotepadTest, ExportAsksBeforeReplacingTheFileThatTheEndingNames)
{
    WriteFile("plan.md.txt", "other work");
    TFnotepad& pad = Shown();
    Type(pad, "mine");
    dialogs_.SaveAs(Path("plan.md")).SaveAs(Path("plan.md"));
    prompts_.Answers("NY");
    pad.toFile1->trigger();
    EXPECT_EQ(FileBytes("plan.md.txt"), "other work");
    pad.toFile1->trigger();
    EXPECT_EQ(FileBytes("plan.md.txt"), "mine");
    EXPECT_EQ(prompts_.Texts(Kind::Question).at(0),
              "\"" + Path("plan.md.txt") + "\" already exists - replace it ?");

    // A file that cannot be written is reported, never flashed as done.
    prompts_.Clear();
    dialogs_.SaveAs(dir_.filePath("no folder/x.txt"));
    pad.toFile1->trigger();
    EXPECT_TRUE(prompts_.Flashes().isEmpty());
    ASSERT_EQ(prompts_.Texts().size(), 1);
    EXPECT_TRUE(prompts_.Texts().at(0).startsWith("Error : could not export to \""));
}

TEST_F(NotepadTest, AChosenFontIsKeptInTheSettings)
{
    TFnotepad& pad = Shown();
    QFont chosen("Courier New", 13);
    chosen.setUnderline(true);
    dialogs_.CancelFont().PickFont(chosen);
    pad.Font1->trigger();
    EXPECT_EQ(pad.Memo1->font().family(), "Arial");
    pad.Font1->trigger();
    EXPECT_EQ(dialogs_.FontPresets().at(0).family(), "Arial");
    EXPECT_EQ(pad.Memo1->font().family(), "Courier New");
    EXPECT_TRUE(pad.NotepadSettingsChanged);
    pad.close();
    const IniFile ini(Path("npad.ini"));
    EXPECT_EQ(ini.ReadString("notepad", "FONTNAME", ""), "Courier New");
    EXPECT_EQ(ini.ReadInteger("notepad", "FONTSIZE", 0), 13);
    EXPECT_EQ(ini.ReadString("notepad", "FONTUNDERLINE", ""), "1");
    EXPECT_EQ(ini.ReadString("notepad", "FONTBOLD", ""), "0");
    EXPECT_FALSE(pad.NotepadSettingsChanged);
    pad.move(pad.pos() + QPoint(7, 7)); // a move alone is no change
    EXPECT_FALSE(pad.NotepadSettingsChanged);
}

TEST_F(NotepadTest, SearchFindsWithoutRegardToCaseAndF3GoesOn)
{
    WriteFile("npad.txt", "Gate post\ngate hinge\nGATE");
    TFnotepad& pad = Shown(); // the caret at the end: the search starts at the top
    prompts_.Type("GaTe");
    pad.Search1->trigger();
    ASSERT_EQ(prompts_.Log().size(), 1u);
    EXPECT_EQ(prompts_.Log()[0].text, "Search for");
    EXPECT_EQ(prompts_.Log()[0].text2, "(afterwards use F3 for Find Next)");
    EXPECT_EQ(prompts_.Log()[0].emphasis, 'B');
    EXPECT_EQ(pad.SearchText, "gate");
    QTextCursor c = pad.Memo1->textCursor();
    EXPECT_EQ(c.selectionStart(), 0);
    EXPECT_EQ(c.selectedText(), "Gate");
    Key(pad, Qt::Key_F3);
    EXPECT_EQ(pad.Memo1->textCursor().selectionStart(), 10);
    Key(pad, Qt::Key_F3);
    EXPECT_EQ(pad.Memo1->textCursor().selectionStart(), 21);
    Key(pad, Qt::Key_F3);
    EXPECT_EQ(prompts_.Texts(Kind::Info), QStringList{"\"gate\" - no more instances"});
    EXPECT_NE(prompts_.Captions().last(), " Notepad");
    EXPECT_EQ(pad.Memo1->textCursor().selectedText(), "GATE"); // the last match stays

    prompts_.Clear();
    prompts_.Type("fence"); // the box starts with the last search
    pad.Search1->trigger();
    EXPECT_EQ(prompts_.Log()[0].initial, "gate");
    EXPECT_EQ(prompts_.Texts(Kind::Info), QStringList{"\"fence\" - not found"});
}

TEST_F(NotepadTest, SearchStartsAtTheCaretOrJustInsideTheSelection)
{
    EXPECT_EQ(NotepadSearchFrom(10, 4, false, 4), 4);
    EXPECT_EQ(NotepadSearchFrom(10, 10, false, 10), 0);
    EXPECT_EQ(NotepadSearchFrom(10, 7, true, 3), 4);
    TFnotepad& pad = Shown();
    Type(pad, "aaaa");
    prompts_.Type("aa");
    QTextCursor c = pad.Memo1->textCursor();
    c.setPosition(1);
    pad.Memo1->setTextCursor(c);
    pad.Search1->trigger();
    EXPECT_EQ(pad.Memo1->textCursor().selectionStart(), 1);
    pad.FindNextInMemo(); // overlapping matches, one character on
    EXPECT_EQ(pad.Memo1->textCursor().selectionStart(), 2);
    // An empty search text does nothing at all.
    prompts_.Type("");
    pad.Search1->trigger();
    pad.FindNextInMemo();
    EXPECT_EQ(pad.Memo1->textCursor().selectionStart(), 2);
    EXPECT_TRUE(prompts_.Texts(Kind::Info).isEmpty());
}

TEST(NotepadNames, TheTxtEndingIsAddedUnlessThereInAnyCase)
{
    EXPECT_EQ(WithTxtEnding("/tmp/notes"), "/tmp/notes.txt");
    EXPECT_EQ(WithTxtEnding("/tmp/notes.TxT"), "/tmp/notes.TxT");
    EXPECT_EQ(WithTxtEnding("/tmp/notes.txt.bak"), "/tmp/notes.txt.bak.txt");
    EXPECT_EQ(WithTxtEnding("/tmp/txt"), "/tmp/txt.txt");
}

} // namespace
