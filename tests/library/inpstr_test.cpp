#include "library/inpstr.h"
#include "library/messages.h"
#include "support/modalhelper.h"
#include "support/scriptedprompts.h"

#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>

namespace
{

TFinpstr* AsInputBox(QWidget* w)
{
    auto* box = qobject_cast<TFinpstr*>(w);
    EXPECT_NE(box, nullptr);
    return box;
}

void PressCancel()
{
    WhenModal([](QWidget* w) { AsInputBox(w)->Button2->click(); });
}

class InputBoxTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ResetDialogPlaces();
        QCursor::setPos(100, 100);
        SetInputEmphasis('A');
    }
};

TEST_F(InputBoxTest, OK_HandsBackTheEditedLine)
{
    QString text = "old name";
    QString shown;
    bool allSelected = false;
    WhenModal([&](QWidget* w) {
        TFinpstr* box = AsInputBox(w);
        shown = box->Edit1->text();
        allSelected = box->Edit1->selectedText() == shown;
        box->Edit1->setText("new name");
        box->Button1->click();
    });
    EXPECT_TRUE(InputText("Layer name", text));
    EXPECT_EQ(text, "new name");
    EXPECT_EQ(shown, "old name");
    EXPECT_TRUE(allSelected);
}

TEST_F(InputBoxTest, Cancel_LeavesTheTextAndNumberAsTheyWere)
{
    QString text = "keep me";
    PressCancel();
    EXPECT_FALSE(InputText("Layer name", text));
    EXPECT_EQ(text, "keep me");

    int32_t number = 42;
    WhenModal([](QWidget* w) {
        TFinpstr* box = AsInputBox(w);
        box->Edit1->setText("7");
        box->Button2->click();
    });
    EXPECT_FALSE(InputNumber("Diagram number", number));
    EXPECT_EQ(number, 42);
}

TEST_F(InputBoxTest, EnterIsOKAndEscapeIsCancel)
{
    QString text = "a";
    WhenModal([](QWidget* w) {
        TFinpstr* box = AsInputBox(w);
        box->Edit1->setText("typed");
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(box->Edit1, &enter);
    });
    EXPECT_TRUE(InputText("Name", text));
    EXPECT_EQ(text, "typed");

    WhenModal([](QWidget* w) {
        TFinpstr* box = AsInputBox(w);
        box->Edit1->setText("dropped");
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(box->Edit1, &escape);
    });
    EXPECT_FALSE(InputText("Name", text));
    EXPECT_EQ(text, "typed");
}

TEST_F(InputBoxTest, Number_StartsEmptyAtZeroOrBelowAndEmptyGivesZero)
{
    for (int32_t start : {0, -5}) {
        int32_t number = start;
        QString shown = "not read";
        WhenModal([&](QWidget* w) {
            TFinpstr* box = AsInputBox(w);
            shown = box->Edit1->text();
            box->Button1->click();
        });
        EXPECT_TRUE(InputNumber("Diagram number", number));
        EXPECT_EQ(shown, "");
        EXPECT_EQ(number, 0);
    }

    int32_t number = 12;
    QString shown;
    WhenModal([&](QWidget* w) {
        TFinpstr* box = AsInputBox(w);
        shown = box->Edit1->text();
        box->Edit1->setText("$10");
        box->Button1->click();
    });
    EXPECT_TRUE(InputNumber2("Go to", "diagram number", number));
    EXPECT_EQ(shown, "12");
    EXPECT_EQ(number, 16);
}

TEST_F(InputBoxTest, Number_NotAWholeNumberFailsSilently)
{
    ScriptedPrompts prompts;
    ScopedPromptSeam use(prompts);
    prompts.Type("12a").Type("1.5").Type("99999999999");
    int32_t number = 5;
    EXPECT_FALSE(InputNumber("Diagram number", number));
    EXPECT_FALSE(InputNumber("Diagram number", number));
    EXPECT_FALSE(InputNumber("Diagram number", number));
    EXPECT_EQ(number, 5);
    EXPECT_EQ(prompts.Texts(ScriptedPrompts::Kind::Info), QStringList());
    EXPECT_EQ(prompts.Log().front().initial, "5");
}

TEST_F(InputBoxTest, Prompts_ShowAmpersandsAndHideAnEmptySecondLine)
{
    QString first, second;
    Qt::TextFormat format = Qt::AutoText;
    bool secondVisible = true;
    WhenModal([&](QWidget* w) {
        TFinpstr* box = AsInputBox(w);
        first = box->Label1->text();
        format = box->Label1->textFormat();
        secondVisible = box->Label2->isVisible();
        box->Button1->click();
    });
    QString text;
    InputText("Find & replace", text);
    EXPECT_EQ(first, "Find & replace");
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_FALSE(secondVisible);

    WhenModal([&](QWidget* w) {
        TFinpstr* box = AsInputBox(w);
        second = box->Label2->text();
        secondVisible = box->Label2->isVisible();
        box->Button1->click();
    });
    InputText2("Search", "Tom & Jerry", text);
    EXPECT_EQ(second, "Tom & Jerry");
    EXPECT_TRUE(secondVisible);
}

TEST_F(InputBoxTest, Emphasis_EnlargesTheChosenLineForOneBoxOnly)
{
    int first = 0, second = 0;
    const auto readSizes = [&](QWidget* w) {
        TFinpstr* box = AsInputBox(w);
        first = box->Label1->font().pointSize();
        second = box->Label2->font().pointSize();
        box->Button2->click();
    };
    QString text;
    WhenModal(readSizes);
    InputText2("one", "two", text);
    EXPECT_EQ(first, 8);
    EXPECT_EQ(second, 10);

    SetInputEmphasis('B');
    WhenModal(readSizes);
    InputText2("one", "two", text);
    EXPECT_EQ(first, 10);
    EXPECT_EQ(second, 8);
    EXPECT_EQ(InputEmphasis(), QChar('A'));
}

TEST_F(InputBoxTest, AtTheScreenCornerTheBoxOpensFullyOnScreen)
{
    const QRect screen = ScreenRectAt(QPoint(0, 0));
    QCursor::setPos(screen.right(), screen.bottom());
    QRect placed;
    WhenModal([&](QWidget* w) {
        placed = w->frameGeometry();
        AsInputBox(w)->Button2->click();
    });
    QString text;
    InputText("Short", text);
    // The box keeps the width an earlier long prompt gave it, so it is
    // fully on screen only while it is no wider than the screen; a wider
    // one keeps its left edge on it.
    if (placed.width() <= screen.width()) {
        EXPECT_EQ(placed.bottomRight(), screen.bottomRight());
        EXPECT_TRUE(screen.contains(placed)) << placed.x() << "," << placed.y();
    } else {
        EXPECT_EQ(placed.left(), screen.left());
        EXPECT_EQ(placed.bottom(), screen.bottom());
    }
}

TEST_F(InputBoxTest, NearTheRightEdgeALongPromptStillEndsOnTheScreen)
{
    // A box that no earlier prompt has widened.
    TFinpstr fresh;
    UseInputBox(&fresh);
    const QRect screen = ScreenRectAt(QPoint(0, 0));
    QCursor::setPos(screen.right() - 60, screen.top() + 100);
    QRect placed;
    int labelRight = 0;
    WhenModal([&](QWidget* w) {
        placed = w->frameGeometry();
        TFinpstr* box = AsInputBox(w);
        labelRight = box->Label1->mapTo(box, QPoint(box->Label1->width(), 0)).x();
        box->Button2->click();
    });
    QString text;
    InputText("Enter flash interval in milliseconds (500-2000), how long each note stays up", text);
    UseInputBox(nullptr);
    ASSERT_GT(placed.width(), 245); // the prompt widened it
    ASSERT_LE(placed.width(), screen.width());
    EXPECT_TRUE(screen.contains(placed)) << placed.x() << "," << placed.width();
    EXPECT_LE(labelRight, placed.width()); // the prompt is not cut
}

TEST_F(InputBoxTest, LongPromptWidensTheBoxForGood)
{
    const QString longPrompt(120, QChar('W'));
    int widthForLong = 0, labelWidth = 0, widthAfter = 0;
    WhenModal([&](QWidget* w) {
        TFinpstr* box = AsInputBox(w);
        widthForLong = box->width();
        labelWidth = box->Label1->width();
        box->Button2->click();
    });
    QString text;
    InputText(longPrompt, text);
    EXPECT_EQ(widthForLong, 16 * 2 + labelWidth + 4);
    EXPECT_GT(widthForLong, 245);

    WhenModal([&](QWidget* w) {
        widthAfter = w->width();
        AsInputBox(w)->Button2->click();
    });
    InputText("Short", text);
    EXPECT_EQ(widthAfter, widthForLong);
}

TEST_F(InputBoxTest, DraggingTheFaceMovesTheBox)
{
    QPoint before, after;
    WhenModal([&](QWidget* w) {
        TFinpstr* box = AsInputBox(w);
        before = box->pos();
        const QPoint grab = box->Panel1->mapToGlobal(QPoint(5, 5));
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(grab), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(box->Panel1, &press);
        QMouseEvent move(QEvent::MouseMove, QPointF(35, 25), QPointF(grab + QPoint(30, 20)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(box->Panel1, &move);
        after = box->pos();
        box->Button2->click();
    });
    QString text;
    InputText("Drag me", text);
    EXPECT_EQ(after, before + QPoint(30, 20));
}

TEST_F(InputBoxTest, ProgramsOwnInputBoxIsUsedWhileItExists)
{
    auto own = std::make_unique<TFinpstr>();
    UseInputBox(own.get());
    QWidget* shown = nullptr;
    WhenModal([&](QWidget* w) {
        shown = w;
        AsInputBox(w)->Button2->click();
    });
    QString text;
    InputText("Name", text);
    EXPECT_EQ(shown, own.get());

    own.reset();
    WhenModal([&](QWidget* w) {
        shown = w;
        AsInputBox(w)->Button2->click();
    });
    InputText("Name", text);
    EXPECT_EQ(shown, &Finpstr());
    UseInputBox(nullptr);
}

} // namespace
