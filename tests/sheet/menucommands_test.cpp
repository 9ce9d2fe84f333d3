// The main window's menu commands, buttons and keys through the whole
// program's windows over a real table store in a temporary folder.

#include "dialogs/diags.h"
#include "dialogs/notes.h"
#include "library/flash.h"
#include "programs/tableedition.h"
#include "sheet/sheet.h"
#include "sheet/startup.h"
#include "support/scriptedprompts.h"
#include "tablestore/core.h"
#include "tablestore/tableschema.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace
{

using Kind = ScriptedPrompts::Kind;

// Acts on each modal window as it comes up, in turn; a window left open by
// its action is rejected, so a broken test fails instead of hanging.
class ModalScript
{
  public:
    explicit ModalScript(std::vector<std::function<void(QWidget*)>> actions)
        : actions_(std::move(actions))
    {
        poll_.setInterval(5);
        QObject::connect(&poll_, &QTimer::timeout, [this] { Tick(); });
        poll_.start();
    }
    int Handled() const { return handled_; }

  private:
    void Tick()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) {
            last_ = nullptr;
            return;
        }
        if (modal == last_)
            return;
        last_ = modal;
        if (handled_ < static_cast<int>(actions_.size()))
            actions_[static_cast<size_t>(handled_)](modal);
        ++handled_;
        if (modal->isVisible())
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
    }

    std::vector<std::function<void(QWidget*)>> actions_;
    QTimer poll_;
    QWidget* last_ = nullptr;
    int handled_ = 0;
};

class MenuCommandsTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        const QString data = dir_.filePath(QStringLiteral("Scalora data"));
        ASSERT_TRUE(QDir().mkpath(data));
        CreateTableStore(data, CurrentTableStoreVersion);
        windows_ = std::make_unique<ProgramWindows>(edition_, dir_.path());
        AddDiagram(1, QStringLiteral("Shed"));
        ASSERT_TRUE(Core().OpenDiagram(1));
        // Bold along the top, faint down the right, hidden along the bottom.
        seg1_ = StoreSeg(0, 0, 100, 0, 0);
        seg2_ = StoreSeg(100, 0, 100, 50, 1);
        seg3_ = StoreSeg(100, 50, 0, 50, 2);
        Sheet().show();
    }

    void TearDown() override
    {
        prompts_.Clear();
        windows_.reset();
    }

    TFSheet& Sheet() { return *windows_->forms.FSheet; }
    TFcore& Core() { return static_cast<TFcore&>(*windows_->forms.Fcore); }
    void Exec(const QString& sql) { Core().Database1.Execute(sql); }

    void AddDiagram(int32_t n, const QString& name)
    {
        Exec(QStringLiteral("INSERT INTO drawing (Dgnum, Dgname, Units, RndgDP) VALUES (%1, '%2', "
                            "'mm', 2)")
                 .arg(n)
                 .arg(name));
        const int visib[] = {VisibBold, VisibFaint, VisibHidden};
        for (int layer = 0; layer < 3; ++layer)
            Exec(QStringLiteral("INSERT INTO layer (Dgnum, Layernum, Name, Visib) VALUES (%1, %2, "
                                "'L%2', %3)")
                     .arg(n)
                     .arg(layer)
                     .arg(visib[layer]));
    }

    void SetNotes(int32_t dgnum, const QString& notes)
    {
        tables::Statement st(Core().Database1,
                             QStringLiteral("UPDATE drawing SET notes = ? WHERE Dgnum = ?"));
        st.BindAll({notes, dgnum});
        st.Run();
    }

    TSegRec StoreSeg(Extended x1, Extended y1, Extended x2, Extended y2, int32_t layer)
    {
        TSegRec s;
        s.SegType = SegLine;
        s.FromPoint.Lenx = x1;
        s.FromPoint.Leny = y1;
        s.FromPoint.Layernum = layer;
        s.ToPoint.Lenx = x2;
        s.ToPoint.Leny = y2;
        s.ToPoint.Layernum = layer;
        s.Layernum = layer;
        Core().InsertSegment(s);
        return s;
    }

    static void Open(QMenu* menu) { QMetaObject::invokeMethod(menu, "aboutToShow"); }

    void Key(QWidget* to, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(to, &press);
    }

    // The pixel half way along the top segment, which is bold ink.
    QPoint TopMiddle() { return {Core().LenToPixelX(50), Core().LenToPixelY(0)}; }

    QTemporaryDir dir_;
    ScriptedPrompts prompts_;
    ScopedPromptSeam seam_{prompts_};
    Edition edition_ = TableEdition();
    std::unique_ptr<ProgramWindows> windows_;
    TSegRec seg1_, seg2_, seg3_;
};

TEST_F(MenuCommandsTest, DiagramMenuEnablesNameExportAndDeleteOnlyWithADiagramOpen)
{
    Open(Sheet().Diagram1);
    for (QAction* a : {Sheet().Rename1, Sheet().Export1->menuAction(), Sheet().Delete1})
        EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();

    Sheet().Close1->trigger();
    Open(Sheet().Diagram1);
    for (QAction* a : {Sheet().Rename1, Sheet().Export1->menuAction(), Sheet().Delete1})
        EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
    for (QAction* a : {Sheet().Open1, Sheet().New1, Sheet().Close1, Sheet().Units1, Sheet().Notes1,
                       Sheet().Diagramdetails1->menuAction()})
        EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();
    for (QAction* a : {Sheet().toPrinter1, Sheet().toBMPfile1, Sheet().toCSVfile1})
        EXPECT_FALSE(a->isEnabled());
}

TEST_F(MenuCommandsTest, CloseEmptiesTheSheetAndTakesTheNameOutOfTheCaption)
{
    EXPECT_EQ(Sheet().windowTitle(), QStringLiteral("SCALORA - Shed ( mm )"));
    Sheet().Sheet.HideCursors();
    ASSERT_EQ(Sheet().Sheet.Bitmap.Pixel(TopMiddle().x(), TopMiddle().y()), SheetInk);
    const QPoint top = TopMiddle();
    Sheet().Sheet.ShowCursors();

    Sheet().Close1->trigger();
    EXPECT_EQ(Core().CurrentDiagram, 0);
    EXPECT_FALSE(Sheet().windowTitle().contains(QStringLiteral("Shed")));
    EXPECT_FALSE(Sheet().windowTitle().contains(QStringLiteral("mm")));
    EXPECT_TRUE(prompts_.Texts(Kind::Error).isEmpty());
    Sheet().Sheet.HideCursors();
    EXPECT_EQ(Sheet().Sheet.Bitmap.Pixel(top.x(), top.y()), Canvas::White);
}

TEST_F(MenuCommandsTest, DeleteNeedsBothConfirmationsAndLeavesTheBareCaption)
{
    prompts_.Answers("YN");
    Sheet().Delete1->trigger();
    EXPECT_EQ(Core().CurrentDiagram, 1);
    EXPECT_EQ(Sheet().windowTitle(), QStringLiteral("SCALORA - Shed ( mm )"));

    prompts_.Answers("YY");
    Sheet().Delete1->trigger();
    EXPECT_LE(Core().CurrentDiagram, 0);
    EXPECT_EQ(Sheet().windowTitle(), QStringLiteral("SCALORA - "));
    tables::Statement st(Core().Database1, QStringLiteral("SELECT count(*) FROM drawing"));
    ASSERT_TRUE(st.Step());
    EXPECT_EQ(st.Column(0).toInt(), 0);
    EXPECT_TRUE(prompts_.Texts(Kind::Error).isEmpty());
}

TEST_F(MenuCommandsTest, NameAndUnitsChangeTheCaptionOnlyWhenConfirmed)
{
    prompts_.CancelInput();
    Sheet().Rename1->trigger();
    EXPECT_EQ(Sheet().windowTitle(), QStringLiteral("SCALORA - Shed ( mm )"));

    prompts_.Type(QStringLiteral("Barn"));
    Sheet().Rename1->trigger();
    EXPECT_EQ(Sheet().windowTitle(), QStringLiteral("SCALORA - Barn ( mm )"));

    prompts_.Type(QStringLiteral("cm")).Type(QStringLiteral("1"));
    Sheet().Units1->trigger();
    EXPECT_EQ(Sheet().windowTitle(), QStringLiteral("SCALORA - Barn ( cm )"));
    EXPECT_EQ(Core().RoundingDP, 1);
    // The status bar speaks the new units and decimals at once.
    const QString pixelSize = Sheet().Label5->text();
    EXPECT_TRUE(pixelSize.endsWith(QStringLiteral(" cm"))) << pixelSize.toStdString();
    EXPECT_EQ(pixelSize.section(QLatin1Char('.'), 1).section(QLatin1Char(' '), 0, 0).size(), 1)
        << pixelSize.toStdString();
    EXPECT_EQ(Sheet().Label6->text().section(QLatin1Char('.'), 1).size(), 1)
        << Sheet().Label6->text().toStdString();
}

TEST_F(MenuCommandsTest, NewDiagramRunsTimesOneWithItsTick)
{
    Sheet().zoomx4->trigger();
    ASSERT_EQ(Sheet().Sheet.ZoomFactor, 4);
    ASSERT_TRUE(Sheet().zoomx4->isChecked());
    prompts_.Type(QStringLiteral("Barn")).Type(QStringLiteral("m")).Type(QStringLiteral("2"));
    Sheet().New1->trigger();
    ASSERT_EQ(Core().DiagramName, QStringLiteral("Barn"));
    EXPECT_EQ(Sheet().Sheet.ZoomFactor, 1);
    EXPECT_TRUE(Sheet().zoomx1->isChecked());
    EXPECT_FALSE(Sheet().zoomx4->isChecked());
    EXPECT_EQ(Core().SheetWidth, Sheet().ScrollBoxClientSize().width());
}

TEST_F(MenuCommandsTest, ToClipboardCopiesTheDrawingWithoutTheCursors)
{
    ASSERT_TRUE(Sheet().Sheet.CursorXShown);
    Sheet().Sheet.HideCursors();
    const QImage clean = Sheet().Sheet.Bitmap.Image().copy();
    Sheet().Sheet.ShowCursors();
    ASSERT_NE(Sheet().Sheet.Bitmap.Image(), clean); // the cursors are on the bitmap

    prompts_.Clear();
    Sheet().toClipboard1->trigger();
    const QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(copied.size(), clean.size());
    EXPECT_EQ(copied.convertToFormat(clean.format()), clean);
    EXPECT_TRUE(Sheet().Sheet.CursorXShown);
    EXPECT_TRUE(Sheet().Sheet.CursorOShown);
    EXPECT_EQ(prompts_.Flashes(), QStringList{QStringLiteral("Copied to clipboard OK")});
}

TEST_F(MenuCommandsTest, SearchForPointReportsAbsentAndHiddenPointsAndMovesXToAVisibleOne)
{
    const int32_t hidden = seg3_.ToPoint.Pointnum; // only on the hidden layer
    prompts_.Type(QStringLiteral("999"))
        .Type(QString::number(hidden))
        .Type(QStringLiteral("12abc"))
        .CancelInput()
        .Type(QString::number(seg1_.ToPoint.Pointnum));
    for (int i = 0; i < 4; ++i)
        Sheet().forPoint1->trigger();
    EXPECT_EQ(prompts_.Texts(Kind::Info),
              QStringList({QStringLiteral("Point not found"),
                           QStringLiteral("Point not visible, try Layer #2"),
                           QStringLiteral("Invalid integer \"12abc\" - enter a whole number")}));
    EXPECT_EQ(prompts_.Log().front().text, QStringLiteral("Enter Point number"));
    EXPECT_EQ(Sheet().Sheet.CursorX().Pointnum, seg1_.ToPoint.Pointnum);
    EXPECT_EQ(Sheet().Sheet.CursorX().Lenx, 100.0);
    EXPECT_TRUE(Sheet().Sheet.CursorXShown);
    EXPECT_TRUE(prompts_.AllAnswered());
}

TEST_F(MenuCommandsTest, SearchesNameATextThatIsNoWholeNumberAndAskAgainWithIt)
{
    const QStringList bad = {"abc", "1,5", "nan", "1e308", "", "   ", "99999999999"};
    for (QAction* search : {Sheet().forPoint1, Sheet().forSegment1}) {
        prompts_.Clear();
        const TPointRec x = Sheet().Sheet.CursorX();
        for (const QString& text : bad)
            prompts_.Type(text);
        prompts_.CancelInput();
        search->trigger();
        QStringList named;
        for (const QString& text : bad)
            named << "Invalid integer \"" + text + "\" - enter a whole number";
        EXPECT_EQ(prompts_.Texts(Kind::Info), named);
        // Each new prompt starts with the text refused.
        ASSERT_EQ(prompts_.Log().size(), size_t(2 * bad.size() + 1));
        EXPECT_EQ(prompts_.Log()[2].initial, "abc");
        EXPECT_EQ(prompts_.Log()[4].initial, "1,5");
        EXPECT_EQ(Sheet().Sheet.CursorX().Pointnum, x.Pointnum);
        EXPECT_TRUE(prompts_.AllAnswered());
    }
}

TEST_F(MenuCommandsTest, SearchForSegmentSelectsAVisibleOneAndNamesTheHiddenLayer)
{
    prompts_.Type(QStringLiteral("77"))
        .Type(QString::number(seg3_.Segnum))
        .Type(QString::number(seg2_.Segnum));
    for (int i = 0; i < 3; ++i)
        Sheet().forSegment1->trigger();
    EXPECT_EQ(prompts_.Texts(Kind::Info),
              QStringList({QStringLiteral("Segment not found"),
                           QStringLiteral("Segment #") + QString::number(seg3_.Segnum) +
                               QStringLiteral(" is in Layer #2 which is currently hidden")}));
    // The faint layer counts as visible.
    EXPECT_EQ(Core().CurrentSegment.Segnum, seg2_.Segnum);
    EXPECT_EQ(Sheet().Sheet.CursorO().Pointnum, seg2_.FromPoint.Pointnum);
    EXPECT_EQ(Sheet().Sheet.CursorX().Pointnum, seg2_.ToPoint.Pointnum);
}

TEST_F(MenuCommandsTest, OptionsShowTheFlashIntervalAndTestFlashFlashes)
{
    Open(Sheet().Options1);
    EXPECT_EQ(Sheet().Flashtime1->text(), QStringLiteral("Flash interval = ") +
                                              QString::number(FlashIntervalMs()) +
                                              QStringLiteral("ms"));
    SetFlashIntervalMs(700);
    Open(Sheet().Options1);
    EXPECT_EQ(Sheet().Flashtime1->text(), QStringLiteral("Flash interval = 700ms"));
    SetFlashIntervalMs(1500);
    Sheet().estFlash1->trigger();
    EXPECT_FALSE(prompts_.Flashes().isEmpty());
}

TEST_F(MenuCommandsTest, NotepadAndAboutOpenTheirWindowsWithoutHoldingTheSheet)
{
    Sheet().Notepad1->trigger();
    Sheet().About1->trigger();
    EXPECT_TRUE(reinterpret_cast<QWidget*>(windows_->forms.Fnotepad)->isVisible());
    EXPECT_TRUE(reinterpret_cast<QWidget*>(windows_->forms.FAbout1)->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    Sheet().Healthcheck1->trigger(); // present, and harmless
}

TEST_F(MenuCommandsTest, QuitBtnAsksAndClosesOnlyOnYes)
{
    prompts_.Answer('N');
    Sheet().QuitBtn->click();
    EXPECT_TRUE(Sheet().isVisible());
    prompts_.Answer('Y');
    Sheet().QuitBtn->click();
    EXPECT_FALSE(Sheet().isVisible());
    EXPECT_EQ(prompts_.Texts(), QStringList({QStringLiteral("OK to quit program \"SCALORA\" ?"),
                                             QStringLiteral("OK to quit program \"SCALORA\" ?")}));
}

TEST_F(MenuCommandsTest, EnterAndEscActWhateverControlHasTheFocusButArrowsWait)
{
    Sheet().Sheet.HideCursors();
    Sheet().Sheet.CursorX() = seg1_.ToPoint;
    Sheet().Sheet.CursorO() = seg1_.FromPoint;
    Sheet().Sheet.ShowCursors();
    // A step mode chosen in the combo box keeps the focus there.
    Sheet().ComboBox1->setFocus();
    Sheet().ComboBox1->setCurrentIndex(1);
    ASSERT_EQ(Sheet().focusWidget(), Sheet().ComboBox1);
    QTest::keyClick(Sheet().ComboBox1, Qt::Key_Return);
    EXPECT_EQ(Sheet().Sheet.CursorX().Pointnum, seg1_.FromPoint.Pointnum);
    prompts_.Answer('N');
    QTest::keyClick(Sheet().ComboBox1, Qt::Key_Escape);
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("OK to quit program \"SCALORA\" ?")});

    // A focused button keeps the arrow keys until "<< Focus" gives them back.
    Sheet().SwapOXBtn->setFocus();
    const int x = Sheet().Sheet.CursorX().Pxlx;
    QTest::keyClick(Sheet().SwapOXBtn, Qt::Key_Left);
    EXPECT_EQ(Sheet().Sheet.CursorX().Pxlx, x);
    prompts_.Answer('N');
    QTest::keyClick(Sheet().SwapOXBtn, Qt::Key_Escape);
    EXPECT_EQ(prompts_.Texts().size(), 2);
    Sheet().FocusBtn->click();
    Key(&Sheet(), Qt::Key_Left);
    EXPECT_EQ(Sheet().Sheet.CursorX().Pxlx, x - 1);
}

TEST_F(MenuCommandsTest, EnterPressesXToOAndEscCancelsAnOpenJoiningPanel)
{
    Sheet().ClearActiveControl();
    Sheet().Sheet.HideCursors();
    Sheet().Sheet.CursorX() = seg1_.ToPoint;
    Sheet().Sheet.CursorO() = seg1_.FromPoint;
    Sheet().Sheet.ShowCursors();
    Key(&Sheet(), Qt::Key_Return);
    EXPECT_EQ(Sheet().Sheet.CursorX().Pointnum, seg1_.FromPoint.Pointnum);

    Sheet().Button3->click();
    ASSERT_EQ(Sheet().Sheet.JoinMode, 2);
    EXPECT_FALSE(Sheet().QuitBtn->isEnabled());
    Sheet().ClearActiveControl();
    Key(&Sheet(), Qt::Key_Escape);
    EXPECT_EQ(Sheet().Sheet.JoinMode, 0);
    EXPECT_TRUE(Sheet().QuitBtn->isEnabled());
    EXPECT_TRUE(prompts_.Texts(Kind::Question).isEmpty());
}

TEST_F(MenuCommandsTest, OnlyTheNumericPadsPlusAndMinusExtendAndReduceOX)
{
    Sheet().ClearActiveControl();
    Sheet().Sheet.HideCursors();
    // O at (0, 0) and X at (100, 50), with the pixels of the last fit: a
    // diagonal wider than high.
    ASSERT_TRUE(Core().LoadPoint(seg1_.FromPoint.Pointnum, Sheet().Sheet.CursorO()));
    ASSERT_TRUE(Core().LoadPoint(seg2_.ToPoint.Pointnum, Sheet().Sheet.CursorX()));
    Sheet().Sheet.ShowCursors();
    const TPointRec start = Sheet().Sheet.CursorX();

    Key(&Sheet(), Qt::Key_Plus); // the main keyboard's + does nothing
    EXPECT_EQ(Sheet().Sheet.CursorX().Pxlx, start.Pxlx);

    Key(&Sheet(), Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(Sheet().Sheet.CursorX().Pxlx, start.Pxlx + 1); // one pixel further from O
    EXPECT_GT(Sheet().Sheet.CursorX().Leny, start.Leny);     // along the diagonal

    Key(&Sheet(), Qt::Key_Minus, Qt::KeypadModifier);
    Key(&Sheet(), Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(Sheet().Sheet.CursorX().Pxlx, start.Pxlx - 1); // and back past its start
    EXPECT_TRUE(prompts_.Texts().isEmpty());
}

TEST_F(MenuCommandsTest, NotesMenuShowsTheWindowAndKeepsWhatWasTyped)
{
    ModalScript script({[this](QWidget*) {
        TFnotes& notes = *windows_->forms.Fnotes;
        notes.Memo1->insertPlainText(QStringLiteral("measure the door"));
        prompts_.Answer('Y');
        notes.close();
    }});
    Sheet().Notes1->trigger();
    EXPECT_EQ(script.Handled(), 1);
    QString stored;
    ASSERT_TRUE(Core().LoadDiagramNotes(1, stored));
    EXPECT_EQ(stored, QStringLiteral("measure the door"));

    ModalScript again({[](QWidget* modal) {
        EXPECT_EQ(static_cast<TFnotes*>(modal)->Memo1->toPlainText(),
                  QStringLiteral("measure the door"));
    }});
    Sheet().Diagramnotes1->trigger();
    EXPECT_EQ(again.Handled(), 1);
}

TEST_F(MenuCommandsTest, OpeningADiagramShowsItsNotesOnlyWhenThereAreSome)
{
    AddDiagram(2, QStringLiteral("Barn"));
    auto chooseRow = [this](int row) {
        return [this, row](QWidget*) {
            TFDiags& diags = *windows_->forms.FDiags;
            diags.DBGrid1->setCurrentCell(row, 0);
            diags.Button1->click();
        };
    };
    {
        ModalScript script({chooseRow(1)});
        Sheet().Open1->trigger();
        EXPECT_EQ(script.Handled(), 1); // the list only: Barn has no notes
    }
    EXPECT_EQ(Sheet().windowTitle(), QStringLiteral("SCALORA - Barn ( mm )"));

    SetNotes(1, QStringLiteral("roof leaks"));
    QString shown;
    {
        ModalScript script({chooseRow(0), [&shown](QWidget* modal) {
                                shown = static_cast<TFnotes*>(modal)->Memo1->toPlainText();
                            }});
        Sheet().Open1->trigger();
        EXPECT_EQ(script.Handled(), 2);
    }
    EXPECT_EQ(shown, QStringLiteral("roof leaks"));
    EXPECT_EQ(Sheet().windowTitle(), QStringLiteral("SCALORA - Shed ( mm )"));
}

TEST_F(MenuCommandsTest, StartUpTimerShowsTheNotesBeforeTheUpgradeQuestion)
{
    SetNotes(1, QStringLiteral("first things first"));
    Core().UpgradeState = 1;
    bool questionBeforeNotes = true;
    ModalScript script({[&](QWidget*) { questionBeforeNotes = !prompts_.Texts().isEmpty(); }});
    prompts_.Answer('Y');
    Sheet().Timer1Timer();
    EXPECT_EQ(script.Handled(), 1);
    EXPECT_FALSE(questionBeforeNotes);
    EXPECT_EQ(prompts_.Texts(),
              QStringList{QStringLiteral("Upgrade to Scalora2 in progress - do you really want to "
                                         "revert to Scalora1 ?")});
    EXPECT_TRUE(Sheet().isVisible());
}

} // namespace
