// The diagram notes window over a real table store.

#include "dialogs/notes.h"
#include "library/flash.h"
#include "library/messages.h"
#include "store/storefixture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTimer>
#include <functional>

namespace
{

using Kind = ScriptedPrompts::Kind;

class NotesWindow : public StoreTest
{
  protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        window_ = std::make_unique<TFnotes>(Core());
    }

    void StoreNotes(int32_t dgnum, const QString& notes)
    {
        tables::Statement st(Core().Database1,
                             QStringLiteral("UPDATE drawing SET notes = ? WHERE Dgnum = ?"));
        st.BindAll({notes, dgnum});
        st.Run();
    }

    QString StoredNotes(int32_t dgnum)
    {
        tables::Statement st(Core().Database1,
                             QStringLiteral("SELECT notes FROM drawing WHERE Dgnum = ?"));
        st.BindAll({dgnum});
        EXPECT_TRUE(st.Step());
        return st.Column(0).toString();
    }

    // Shows the notes through entry, runs the action inside the window and
    // reports whether the window came up at all. The watch ends with the
    // call, so a window that never came up leaves nothing behind.
    bool ShowAndAct(void (TFnotes::*entry)(), const std::function<void(TFnotes&)>& action)
    {
        bool shown = false;
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (QApplication::activeModalWidget() != window_.get() || !window_->isVisible())
                return;
            poll.stop();
            shown = true;
            action(*window_);
            // Whatever the action left open is closed without asking.
            if (window_->isVisible()) {
                window_->NotesChanged = false;
                window_->close();
            }
        });
        poll.start();
        ((*window_).*entry)();
        return shown;
    }

    static void Type(TFnotes& w, const QString& text) { w.Memo1->insertPlainText(text); }

    std::unique_ptr<TFnotes> window_;
};

TEST_F(NotesWindow, ShowsTheOpenDiagramsNotesWithTheCaretAtTheEnd)
{
    StoreNotes(1, QStringLiteral("Gate posts\nrusted"));
    QString text;
    int caret = -1;
    const bool shown = ShowAndAct(&TFnotes::ShowDiagramNotes, [&](TFnotes& w) {
        text = w.Memo1->toPlainText();
        caret = w.Memo1->textCursor().position();
        EXPECT_FALSE(w.NotesChanged);
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Diagram notes"));
        w.close();
    });
    EXPECT_TRUE(shown);
    EXPECT_EQ(text, QStringLiteral("Gate posts\nrusted"));
    EXPECT_EQ(caret, text.size());
    EXPECT_TRUE(prompts_.Texts().isEmpty()); // unchanged notes close without a question
}

TEST_F(NotesWindow, EditedNotesAreSavedOnYesAndReadBackAfterReopening)
{
    const QString notes = QStringLiteral("Owner's shed, \u00e9t\u00e9 2019\nsecond line");
    ShowAndAct(&TFnotes::ShowDiagramNotes, [&](TFnotes& w) {
        Type(w, notes);
        prompts_.Answer('Y');
        w.close();
        EXPECT_FALSE(w.isVisible());
    });
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("Save changes to diagram notes?")});
    EXPECT_EQ(StoredNotes(1), notes);

    // A store opened afresh on the same file reads them back.
    Core().CloseStore();
    TFcore again(dir_.path());
    again.ReadIniFile();
    again.DBVersion = CurrentTableStoreVersion;
    again.OpenStore();
    QString read;
    EXPECT_TRUE(again.LoadDiagramNotes(1, read));
    EXPECT_EQ(read, notes);
    again.CloseStore();
}

TEST_F(NotesWindow, NoThenNoKeepsTheEditsAndNoThenYesDropsThem)
{
    StoreNotes(1, QStringLiteral("kept"));
    bool openAfterNoNo = false;
    QString memoAfterNoNo;
    ShowAndAct(&TFnotes::ShowDiagramNotes, [&](TFnotes& w) {
        Type(w, QStringLiteral(" and more"));
        prompts_.Answers("NN");
        w.close();
        openAfterNoNo = w.isVisible();
        memoAfterNoNo = w.Memo1->toPlainText();
        prompts_.Answers("NY");
        w.close();
        EXPECT_FALSE(w.isVisible());
    });
    EXPECT_TRUE(openAfterNoNo);
    EXPECT_EQ(memoAfterNoNo, QStringLiteral("kept and more"));
    EXPECT_EQ(prompts_.Texts(), QStringList({QStringLiteral("Save changes to diagram notes?"),
                                             QStringLiteral("Discard changes - are you sure?"),
                                             QStringLiteral("Save changes to diagram notes?"),
                                             QStringLiteral("Discard changes - are you sure?")}));
    EXPECT_EQ(StoredNotes(1), QStringLiteral("kept"));
}

TEST_F(NotesWindow, CancelAtTheSaveQuestionGoesBackToEditingWithoutAskingToDiscard)
{
    bool openAfterCancel = false;
    ShowAndAct(&TFnotes::ShowDiagramNotes, [&](TFnotes& w) {
        Type(w, QStringLiteral("draft"));
        prompts_.Answer('C');
        w.close();
        openAfterCancel = w.isVisible();
        // A box closed some other way counts as Cancel too.
        prompts_.Answer(' ');
        w.close();
        openAfterCancel = openAfterCancel && w.isVisible();
        prompts_.Answer('Y');
        w.close();
    });
    EXPECT_TRUE(openAfterCancel);
    EXPECT_EQ(prompts_.Texts(), QStringList({QStringLiteral("Save changes to diagram notes?"),
                                             QStringLiteral("Save changes to diagram notes?"),
                                             QStringLiteral("Save changes to diagram notes?")}));
    EXPECT_EQ(StoredNotes(1), QStringLiteral("draft"));
}

TEST_F(NotesWindow, EscInTheMemoClosesThroughTheSaveQuestion)
{
    bool closedByEsc = false;
    ShowAndAct(&TFnotes::ShowDiagramNotes, [&](TFnotes& w) {
        Type(w, QStringLiteral("x"));
        prompts_.Answer('Y');
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(w.Memo1, &esc);
        closedByEsc = !w.isVisible();
    });
    EXPECT_TRUE(closedByEsc);
    EXPECT_EQ(StoredNotes(1), QStringLiteral("x"));
}

TEST_F(NotesWindow, NotesOnlyShowWhenThereIsARowAndIfAnyOnlyWhenNotEmpty)
{
    // Empty notes: the Notes menu shows them, the automatic showing does not.
    EXPECT_FALSE(ShowAndAct(&TFnotes::ShowDiagramNotesIfAny, [](TFnotes&) {}));
    EXPECT_TRUE(ShowAndAct(&TFnotes::ShowDiagramNotes, [](TFnotes&) {}));
    StoreNotes(1, QStringLiteral("look at the roof"));
    EXPECT_TRUE(ShowAndAct(&TFnotes::ShowDiagramNotesIfAny, [](TFnotes&) {}));

    // No diagram open, or one without a drawing row: nothing at all.
    Core().CurrentDiagram = 0;
    EXPECT_FALSE(ShowAndAct(&TFnotes::ShowDiagramNotes, [](TFnotes&) {}));
    Core().CurrentDiagram = 7;
    EXPECT_FALSE(ShowAndAct(&TFnotes::ShowDiagramNotes, [](TFnotes&) {}));
    EXPECT_FALSE(ShowAndAct(&TFnotes::ShowDiagramNotesIfAny, [](TFnotes&) {}));
}

TEST_F(NotesWindow, SavingGoesToTheDiagramThatWasShownEvenIfAnotherOpensMeanwhile)
{
    NewDiagram(2, QStringLiteral("Barn"));
    ShowAndAct(&TFnotes::ShowDiagramNotes, [&](TFnotes& w) {
        Type(w, QStringLiteral("shed only"));
        Core().CurrentDiagram = 2;
        prompts_.Answer('Y');
        w.close();
    });
    EXPECT_EQ(StoredNotes(1), QStringLiteral("shed only"));
    EXPECT_EQ(StoredNotes(2), QString());
}

TEST_F(NotesWindow, ARowDeletedUnderTheWindowIsReportedAndTheEditsStay)
{
    bool openAfterFailedSave = false;
    ShowAndAct(&TFnotes::ShowDiagramNotes, [&](TFnotes& w) {
        Type(w, QStringLiteral("important"));
        Exec(QStringLiteral("DELETE FROM drawing WHERE Dgnum = 1"));
        prompts_.Answer('Y');
        w.close();
        openAfterFailedSave = w.isVisible() && w.Memo1->toPlainText() == "important";
    });
    EXPECT_TRUE(openAfterFailedSave);
    EXPECT_EQ(prompts_.Texts(Kind::Info).size(), 1);
}

TEST_F(NotesWindow, TheWindowKeepsItsSizeInThisRunAndThroughTheIniFile)
{
    EXPECT_EQ(window_->size(), QSize(450, 280));
    ShowAndAct(&TFnotes::ShowDiagramNotes, [&](TFnotes& w) {
        w.resize(520, 333);
        w.close();
    });
    EXPECT_EQ(Core().NotesFormWidth, 520);
    EXPECT_EQ(Core().NotesFormHeight, 333);
    EXPECT_EQ(TFnotes(Core()).size(), QSize(520, 333));

    Core().CloseStore(); // writes the ini file
    TFcore next(dir_.path());
    next.ReadIniFile();
    EXPECT_EQ(TFnotes(next).size(), QSize(520, 333));
}

TEST_F(NotesWindow, ASizeBeyondTheScreenIsCutToItAndTheIniFileMended)
{
    Core().CloseStore();
    QFile ini(dir_.path() + "/scalora.ini");
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ini.write("[main]\nNotesWidth=100000\nNotesHeight=100000\n");
    ini.close();
    TFcore next(dir_.path());
    next.ReadIniFile();
    const TFnotes notes(next);
    const QSize screen = ScreenRectAt(QPoint(0, 0)).size();
    EXPECT_EQ(notes.size(), screen);
    EXPECT_EQ(QSize(next.NotesFormWidth, next.NotesFormHeight), screen);
    next.WriteIniFile();
    TFcore after(dir_.path());
    after.ReadIniFile();
    EXPECT_EQ(QSize(after.NotesFormWidth, after.NotesFormHeight), screen);

    // No size at all, or a negative one, is the designed size.
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ini.write("[main]\nNotesWidth=0\nNotesHeight=-5\nFlashInterval=-3\n");
    ini.close();
    TFcore zero(dir_.path());
    zero.ReadIniFile();
    EXPECT_EQ(TFnotes(zero).size(), QSize(450, 280));
    EXPECT_EQ(FlashIntervalMs(), MinFlashIntervalMs);
    SetFlashIntervalMs(1500);
}

TEST_F(NotesWindow, TheMemoIsPaintedInTheNotesYellow)
{
    window_->show();
    QApplication::processEvents();
    const QImage shot = window_->Memo1->viewport()->grab().toImage();
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.pixelColor(shot.width() - 3, shot.height() - 3), QColor(255, 255, 128));
    window_->hide();
}

TEST_F(NotesWindow, ATableClosedUnderTheStoreIsOpenedAgainForTheNotes)
{
    StoreNotes(1, QStringLiteral("still here"));
    Core().Table5.Close();
    QString read;
    EXPECT_TRUE(Core().LoadDiagramNotes(1, read));
    EXPECT_EQ(read, QStringLiteral("still here"));
}

} // namespace
