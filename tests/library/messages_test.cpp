#include "library/messages.h"
#include "support/modalhelper.h"
#include "support/scriptedprompts.h"

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <gtest/gtest.h>

namespace
{

class MessagesTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        SetMsgCaption(QString());
        ResetDialogPlaces();
    }
    void TearDown() override { SetMsgCaption(QString()); }
};

using Kind = ScriptedPrompts::Kind;

TEST_F(MessagesTest, Confirmations_AppendTheirQuestionAndOnlyYesConfirms)
{
    ScriptedPrompts prompts;
    ScopedPromptSeam use(prompts);
    prompts.Answers("YNC ");
    EXPECT_TRUE(Confirm("Delete point"));
    EXPECT_FALSE(Confirm("Delete point"));
    EXPECT_FALSE(ConfirmOK("Export database to Firebird"));
    EXPECT_FALSE(ConfirmSure("Delete layer"));
    EXPECT_EQ(prompts.Texts(Kind::Question),
              QStringList({"Delete point", "Delete point", "Export database to Firebird - OK ?",
                           "Delete layer - are you sure ?"}));
}

TEST_F(MessagesTest, ConfirmReallySure_AsksTwiceAndNothingMoreAfterARefusal)
{
    ScriptedPrompts prompts;
    ScopedPromptSeam use(prompts);
    prompts.Answers("YY");
    EXPECT_TRUE(ConfirmReallySure("Delete diagram 3"));
    EXPECT_EQ(prompts.Texts(),
              QStringList({"Delete diagram 3 - are you sure ?", "... really really sure ?"}));

    prompts.Clear();
    prompts.Answers("YN");
    EXPECT_FALSE(ConfirmReallySure("Delete diagram 3"));
    EXPECT_EQ(prompts.Texts().size(), 2);

    prompts.Clear();
    prompts.Answer('N'); // nothing is queued for a second question: asking it would throw
    EXPECT_FALSE(ConfirmReallySure("Delete diagram 3"));
    EXPECT_EQ(prompts.Texts(), QStringList{"Delete diagram 3 - are you sure ?"});
    EXPECT_TRUE(prompts.AllAnswered());
}

TEST_F(MessagesTest, ProgramErrorAndInfo_ShowTheirTexts)
{
    ScriptedPrompts prompts;
    ScopedPromptSeam use(prompts);
    ShowInfo("No diagram open");
    ShowProgramError("bad segment type");
    EXPECT_EQ(prompts.Texts(Kind::Info),
              QStringList({"No diagram open", "Program error : bad segment type"}));
}

TEST_F(MessagesTest, Caption_IsApplicationTitleUnlessMsgCaptionIsSet)
{
    ScriptedPrompts prompts;
    ScopedPromptSeam use(prompts);
    prompts.Answer('Y');
    ShowInfo("one");
    {
        ScopedMsgCaption notepad("Notepad");
        EXPECT_TRUE(Confirm("two"));
    }
    ShowInfo("three");
    EXPECT_EQ(prompts.Captions(), QStringList({QApplication::applicationName(), " Notepad",
                                               QApplication::applicationName()}));
}

TEST_F(MessagesTest, ScriptedSeam_ThrowsOnAQuestionWithNoAnswerQueued)
{
    ScriptedPrompts prompts;
    ScopedPromptSeam use(prompts);
    EXPECT_THROW(Confirm("Unexpected question"), UnscriptedPrompt);
    EXPECT_EQ(prompts.Texts(), QStringList{"Unexpected question"});
}

TEST_F(MessagesTest, DoubleAmpersands_DoublesEachAmpersandOnce)
{
    QString s = "Save & exit";
    EXPECT_TRUE(DoubleAmpersands(s));
    EXPECT_EQ(s, "Save && exit");
    s = "a&&b&";
    EXPECT_TRUE(DoubleAmpersands(s));
    EXPECT_EQ(s, "a&&&&b&&");
    s = "plain";
    EXPECT_FALSE(DoubleAmpersands(s));
    EXPECT_EQ(s, "plain");
}

TEST_F(MessagesTest, DialogAnchor_KeepsThePlaceUntilTheMouseMoves)
{
    RememberBoxPlace(QPoint(100, 120), QPoint(300, 300));
    EXPECT_EQ(DialogAnchorFor(QPoint(300, 300)), QPoint(100, 120));
    EXPECT_EQ(DialogAnchorFor(QPoint(301, 300)), QPoint(301, 300));
    // The moved mouse became the last place; the mouse at close is unchanged.
    EXPECT_EQ(DialogAnchorFor(QPoint(300, 300)), QPoint(301, 300));
    EXPECT_EQ(DialogAnchorFor(QPoint(300, 299)), QPoint(300, 299));
}

TEST_F(MessagesTest, PlaceBoxAt_PullsTheBoxOntoTheScreen)
{
    const QRect screen(0, 0, 800, 600);
    EXPECT_EQ(PlaceBoxAt(QPoint(10, 20), QSize(200, 100), screen), QPoint(10, 20));
    EXPECT_EQ(PlaceBoxAt(QPoint(799, 599), QSize(200, 100), screen), QPoint(600, 500));
    EXPECT_EQ(PlaceBoxAt(QPoint(600, 500), QSize(200, 100), screen), QPoint(600, 500));
    // An anchor above or left of the screen (a window placed above or left
    // of the mouse) is pulled down and right.
    EXPECT_EQ(PlaceBoxAt(QPoint(300, -231), QSize(200, 100), screen), QPoint(300, 0));
    EXPECT_EQ(PlaceBoxAt(QPoint(-150, 40), QSize(200, 100), screen), QPoint(0, 40));
    // A box larger than the screen keeps its caption on it.
    EXPECT_EQ(PlaceBoxAt(QPoint(10, 10), QSize(900, 700), screen), QPoint(0, 0));
    // A second screen to the right of the first.
    EXPECT_EQ(PlaceBoxAt(QPoint(1900, 10), QSize(200, 100), QRect(800, 0, 1200, 900)),
              QPoint(1800, 10));
}

// The real boxes, driven under the offscreen platform.

QMessageBox* AsMessageBox(QWidget* w)
{
    auto* box = qobject_cast<QMessageBox*>(w);
    EXPECT_NE(box, nullptr);
    return box;
}

TEST_F(MessagesTest, RealBox_ShowsAmpersandsAndMarkupLiterallyWithCaption)
{
    SetMsgCaption("Notepad");
    QString title, text;
    Qt::TextFormat format = Qt::AutoText;
    bool onTop = false;
    WhenModal([&](QWidget* w) {
        QMessageBox* box = AsMessageBox(w);
        title = box->windowTitle();
        text = box->text();
        format = box->textFormat();
        onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        box->button(QMessageBox::Ok)->click();
    });
    ShowInfo("Save & <b>exit</b>");
    EXPECT_EQ(title, " Notepad");
    EXPECT_EQ(text, "Save & <b>exit</b>");
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_TRUE(onTop);
}

TEST_F(MessagesTest, RealQuestion_MapsButtonsAndCloseToLetters)
{
    const auto answer = [](std::function<void(QMessageBox*)> act) {
        WhenModal([act](QWidget* w) { act(AsMessageBox(w)); });
        return AskYesNoCancel("Go on?");
    };
    EXPECT_EQ(answer([](QMessageBox* b) { b->button(QMessageBox::Yes)->click(); }), QChar('Y'));
    EXPECT_EQ(answer([](QMessageBox* b) { b->button(QMessageBox::No)->click(); }), QChar('N'));
    EXPECT_EQ(answer([](QMessageBox* b) { b->button(QMessageBox::Cancel)->click(); }), QChar('C'));
    EXPECT_EQ(answer([](QMessageBox* b) { b->close(); }), QChar('C'));

    WhenModal([](QWidget* w) { AsMessageBox(w)->close(); });
    EXPECT_FALSE(Confirm("Go on?"));
}

TEST_F(MessagesTest, RealBox_NearBottomRightIsPulledOntoTheScreen)
{
    const QRect screen = ScreenRectAt(QPoint(0, 0));
    QCursor::setPos(screen.right(), screen.bottom());
    QRect placed;
    WhenModal([&](QWidget* w) {
        placed = w->frameGeometry();
        AsMessageBox(w)->button(QMessageBox::Ok)->click();
    });
    ShowInfo("Near the corner");
    EXPECT_EQ(placed.right(), screen.right());
    EXPECT_EQ(placed.bottom(), screen.bottom());
}

TEST_F(MessagesTest, RealBoxes_SecondOpensWhereFirstWasUnlessTheMouseMoved)
{
    QCursor::setPos(200, 150);
    QPoint first;
    WhenModal([&](QWidget* w) {
        first = w->pos();
        w->move(40, 30); // the user drags the box before answering
        AsMessageBox(w)->button(QMessageBox::Ok)->click();
    });
    ShowInfo("first");
    EXPECT_EQ(first, QPoint(200, 150));

    QPoint second;
    WhenModal([&](QWidget* w) {
        second = w->pos();
        AsMessageBox(w)->button(QMessageBox::Yes)->click();
    });
    AskYesNoCancel("second");
    EXPECT_EQ(second, QPoint(40, 30));

    QCursor::setPos(201, 150);
    QPoint third;
    WhenModal([&](QWidget* w) {
        third = w->pos();
        AsMessageBox(w)->button(QMessageBox::Ok)->click();
    });
    ShowInfo("third");
    EXPECT_EQ(third, QPoint(201, 150));
}

} // namespace
