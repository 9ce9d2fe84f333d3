#include "library/flash.h"
#include "support/scriptedprompts.h"

#include <QCursor>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <gtest/gtest.h>

namespace
{

// A display time no busy machine runs out between showing a note and
// looking at it.
constexpr int LongIntervalMs = 600000;

class FlashTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        HideFlash();
        SetFlashIntervalMs(LongIntervalMs);
        QCursor::setPos(50, 60);
    }
    void TearDown() override
    {
        HideFlash();
        SetFlashIntervalMs(1500);
    }
};

// Runs the event loop until the condition holds or the time is up.
bool WaitFor(const std::function<bool()>& condition, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < ms) {
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return condition();
}

TEST_F(FlashTest, DisplayTime_GrowsWithLengthFrom21Characters)
{
    EXPECT_EQ(FlashDisplayMs(QString(20, 'x'), 1500), 1500);
    EXPECT_EQ(FlashDisplayMs(QString(21, 'x'), 1500), 1575);
    EXPECT_EQ(FlashDisplayMs(QString(40, 'x'), 1500), 3000);
    EXPECT_EQ(FlashDisplayMs(QString(21, 'x'), 1519), 21 * 75); // whole twentieths
    EXPECT_EQ(FlashDisplayMs("short", 700), 700);
    // Whatever the ini file held: never negative, never overflowing.
    EXPECT_EQ(FlashDisplayMs("short", -100), 0);
    EXPECT_EQ(FlashDisplayMs(QString(100, 'x'), 2000000000), 2147483647);
}

TEST_F(FlashTest, Note_ShowsNearTheMouseAndTimesTheText)
{
    Flash(QString(21, 'x'));
    TFFlash& note = FFlash();
    EXPECT_TRUE(note.isVisible());
    EXPECT_TRUE(FlashShowing());
    EXPECT_EQ(note.Timer1->interval(), LongIntervalMs / 20 * 21);
    EXPECT_TRUE(note.Timer1->isActive());
    EXPECT_EQ(note.pos(), QPoint(51, 61));
    EXPECT_EQ(note.Panel1->palette().color(QPalette::Window), QColor(0, 255, 255));

    // The note follows the mouse with each new message.
    QCursor::setPos(300, 200);
    Flash("again");
    EXPECT_EQ(note.pos(), QPoint(301, 201));
}

TEST_F(FlashTest, QuickSuccession_ShowsTwoLinesForTheTimeOfTheSecond)
{
    Flash("First message");
    TFFlash& note = FFlash();
    const int oneLineHeight = note.height();
    const QString second(40, 'y');
    Flash(second);
    EXPECT_EQ(FlashText(), "First message\n" + second);
    EXPECT_EQ(note.Label1->text(), FlashText());
    EXPECT_EQ(note.Timer1->interval(), LongIntervalMs * 2);
    EXPECT_GT(note.height(), oneLineHeight);
    EXPECT_GE(note.width(), note.Label1->x() + note.Label1->width() + 20);
    EXPECT_GE(note.height(), 2 * note.Label1->y() + note.Label1->height());
}

TEST_F(FlashTest, Note_HidesItselfWhenItsTimeIsUp)
{
    SetFlashIntervalMs(LongIntervalMs);
    Flash("gone soon");
    EXPECT_TRUE(FFlash().isVisible());
    // The display time runs out at once; waiting for it has a generous bound.
    FFlash().Timer1->setInterval(0);
    EXPECT_TRUE(WaitFor([] { return !FFlash().isVisible(); }, 30000));
    EXPECT_FALSE(FlashShowing());

    // A note after the hidden one starts on its own, at the narrow width.
    Flash("new");
    EXPECT_EQ(FlashText(), "new");
    EXPECT_EQ(FFlash().width(), 120);
}

TEST_F(FlashTest, EmptyTextHidesAtOnce)
{
    Flash("visible");
    Flash("");
    EXPECT_FALSE(FFlash().isVisible());
    EXPECT_FALSE(FFlash().Timer1->isActive());
    EXPECT_FALSE(FlashShowing());
}

TEST_F(FlashTest, AskFlashInterval_AcceptsOnly500To2000)
{
    SetFlashIntervalMs(1500);
    ScriptedPrompts prompts;
    ScopedPromptSeam use(prompts);
    prompts.Type("500").Type("2000").Type("499").Type("2001").CancelInput();
    prompts.Type("abc").Type("600");

    EXPECT_TRUE(AskFlashInterval());
    EXPECT_EQ(FlashIntervalMs(), 500);
    EXPECT_TRUE(AskFlashInterval());
    EXPECT_EQ(FlashIntervalMs(), 2000);
    EXPECT_FALSE(AskFlashInterval());
    EXPECT_FALSE(AskFlashInterval());
    EXPECT_EQ(FlashIntervalMs(), 2000);
    EXPECT_EQ(prompts.Flashes(),
              QStringList({"Flash interval updated OK", "Flash interval updated OK", "Out of range",
                           "Out of range"}));

    EXPECT_FALSE(AskFlashInterval()); // Cancel
    EXPECT_EQ(FlashIntervalMs(), 2000);
    EXPECT_EQ(prompts.Flashes().size(), 4);
    EXPECT_EQ(prompts.Log().front().text, "Enter flash interval in milliseconds (500-2000)");
    EXPECT_EQ(prompts.Log().front().initial, "1500");

    // A text that is not a whole number is said to be so and asked again
    // with what was typed.
    EXPECT_TRUE(AskFlashInterval());
    EXPECT_EQ(FlashIntervalMs(), 600);
    EXPECT_EQ(prompts.Texts(ScriptedPrompts::Kind::Info), QStringList({"Invalid integer \"abc\""}));
    EXPECT_EQ(prompts.Log().back().initial, "abc");
}

TEST_F(FlashTest, TestFlash_ShowsItsNote)
{
    TestFlash();
    EXPECT_EQ(FlashText(), "Flash messages require no action");
    EXPECT_TRUE(FFlash().isVisible());
}

TEST_F(FlashTest, ProgramsOwnWindowIsUsedWhileItExists)
{
    {
        TFFlash own;
        UseFlashWindow(&own);
        EXPECT_EQ(&FFlash(), &own);
        Flash("in the program's note");
        EXPECT_TRUE(own.isVisible());
        EXPECT_EQ(own.Label1->text(), "in the program's note");
    }
    // Gone with its owner: the library's own note takes over.
    Flash("after");
    EXPECT_TRUE(FFlash().isVisible());
    EXPECT_EQ(FFlash().Label1->text(), "after");
    UseFlashWindow(nullptr);
}

} // namespace
