#include "sheetfixture.h"

#include "dialogs/edition.h"
#include "dialogs/notes.h"
#include "sheet/sheetimage.h"
#include "store/store.h"
#include "support/modalhelper.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QToolButton>

namespace
{

class SheetStartTest : public SheetTest
{
};

TEST_F(SheetStartTest, CreationGivesTheDesignedStartStates)
{
    EXPECT_EQ(sheet_->windowTitle(), QStringLiteral("Scalora"));
    EXPECT_EQ(sheet_->size(), QSize(916, 530));
    // The designed 122 pixels, widened only as far as the captions need.
    EXPECT_GE(sheet_->Panel1->width(), 122);
    EXPECT_EQ(sheet_->Panel1->width(),
              std::max(122, sheet_->Panel1->layout()->minimumSize().width()));
    EXPECT_EQ(sheet_->Panel2->height(), 31);
    for (QWidget* w :
         {static_cast<QWidget*>(sheet_->SaveBtn), static_cast<QWidget*>(sheet_->JngCancel),
          static_cast<QWidget*>(sheet_->AngleBtn), static_cast<QWidget*>(sheet_->ComboBox2),
          static_cast<QWidget*>(sheet_->SelSegBtn2)})
        EXPECT_FALSE(w->isEnabled());
    EXPECT_FALSE(sheet_->GuidesBtn->isChecked());
    EXPECT_FALSE(sheet_->RefPtsBtn->isChecked());
    EXPECT_TRUE(sheet_->zoomx1->isChecked());
    EXPECT_EQ(sheet_->ComboBox1->currentIndex(), -1);
    EXPECT_EQ(
        sheet_->Button3->toolTip(),
        QStringLiteral("Insert Joining Segment at OX\r(or can use SHIFT + Skip X buttons above)"));
    EXPECT_EQ(sheet_->Timer1.interval(), 500);
    EXPECT_FALSE(sheet_->Timer1.isActive());
    const SheetState& s = sheet_->Sheet;
    EXPECT_EQ(s.ZoomFactor, 1);
    EXPECT_EQ(s.Drawing.ArcAngle, 360);
    EXPECT_EQ(s.Drawing.CursorO.Pointnum, 0);
    EXPECT_EQ(s.Drawing.CursorX.Pointnum, 0);
    EXPECT_EQ(s.LastDrawnEnd.Pointnum, -1);
}

TEST_F(SheetStartTest, FirstShowingDrawsTheOpenDiagramAndSetsTheCaption)
{
    StoreSeg(0, 0, 100, 0);
    sheet_->show();
    EXPECT_EQ(sheet_->windowTitle(), QStringLiteral("SCALORA - Shed ( mm )"));
    EXPECT_EQ(sheet_->ComboBox2->currentIndex(), 0);
    EXPECT_GT(core_->Scale, 0);
    EXPECT_TRUE(sheet_->Sheet.CursorXShown);
    EXPECT_EQ(sheet_->Image1->size(), QSize(core_->SheetWidth, core_->SheetHeight));
    EXPECT_EQ(core_->SheetWidth, sheet_->ScrollBox1->maximumViewportSize().width());
}

TEST_F(SheetStartTest, WithoutADiagramNothingIsDrawnAndTheCaptionHasNoName)
{
    core_->CurrentDiagram = -1;
    core_->DiagramName.clear();
    core_->DiagramUnits.clear();
    sheet_->show();
    EXPECT_EQ(sheet_->windowTitle(), QStringLiteral("SCALORA -  (  )"));
    EXPECT_FALSE(sheet_->Sheet.CursorXShown);
    EXPECT_EQ(core_->RedrawStamp, 0);
}

TEST_F(SheetStartTest, UpgradeInProgressAnsweredNoEndsTheProgram)
{
    sheet_->show();
    core_->UpgradeState = 1;
    prompts_.Clear();
    prompts_.Answer('N');
    sheet_->Timer1.start();
    sheet_->Timer1Timer();
    EXPECT_FALSE(sheet_->Timer1.isActive());
    EXPECT_EQ(prompts_.Texts(),
              QStringList{QStringLiteral(
                  "Upgrade to Scalora2 in progress - do you really want to revert to Scalora1 ?")});
    EXPECT_FALSE(sheet_->isVisible());
}

TEST_F(SheetStartTest, UpgradeCompletedAnsweredYesKeepsRunning)
{
    sheet_->show();
    core_->UpgradeState = 2;
    prompts_.Clear();
    prompts_.Answer('Y');
    sheet_->Timer1Timer();
    EXPECT_EQ(
        prompts_.Texts(),
        QStringList{QStringLiteral(
            "Upgrade to Scalora2 already completed - do you really want to revert to Scalora1 ?")});
    EXPECT_TRUE(sheet_->isVisible());
}

TEST_F(SheetStartTest, NoUpgradeAsksNothing)
{
    sheet_->show();
    prompts_.Clear();
    sheet_->Timer1Timer();
    EXPECT_TRUE(prompts_.Texts().isEmpty());
    EXPECT_TRUE(sheet_->isVisible());
}

TEST_F(SheetStartTest, ClosedBeforeTheTimerFiresTheWindowAsksAndShowsNothing)
{
    sheet_->show();
    core_->UpgradeState = 1;
    prompts_.Clear();
    sheet_->close();
    sheet_->Timer1Timer();
    EXPECT_TRUE(prompts_.Texts().isEmpty());
}

// The sheet with a notes window, on a diagram that has notes; what the
// first showing had put on the sheet is taken when the notes come up.
class StartUpNotesTest : public SheetTest
{
  protected:
    struct Seen {
        int notesShown = 0;
        bool cursorsShown = false;
        QString x, o, oxLength, pixelSize;
    };

    void SetUp() override
    {
        SheetTest::SetUp();
        StoreSeg(0, 0, 100, 0);
        ASSERT_TRUE(core_->SaveDiagramNotes(1, QStringLiteral("Gate code 1234")));
        notes_ = std::make_unique<TFnotes>(*core_);
        forms_.Fnotes = notes_.get();
    }

    void UseEdition(bool maximise, bool busyRefresh)
    {
        edition_.MaximiseOnShow = maximise;
        edition_.BusyRefresh = busyRefresh;
        forms_.Program = &edition_;
        sheet_ = std::make_unique<TFSheet>(forms_);
        forms_.FSheet = sheet_.get();
    }

    // Closes the notes when they come up, noting the sheet as it is then.
    void WatchNotes()
    {
        WhenModal([this](QWidget* modal) {
            ++seen_.notesShown;
            seen_.cursorsShown = sheet_->Sheet.CursorXShown && sheet_->Sheet.CursorOShown;
            seen_.x = sheet_->Label1->text();
            seen_.o = sheet_->Label3->text();
            seen_.oxLength = sheet_->Label6->text();
            seen_.pixelSize = sheet_->Label5->text();
            static_cast<QDialog*>(modal)->reject();
        });
    }

    void WaitForTheOpeningRefresh()
    {
        while (sheet_->OpeningRefreshPending())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }

    void ExpectFilledWhenTheNotesCameUp()
    {
        EXPECT_EQ(seen_.notesShown, 1);
        EXPECT_TRUE(seen_.cursorsShown);
        EXPECT_EQ(seen_.x, QStringLiteral("X = Point #1"));
        EXPECT_EQ(seen_.o, QStringLiteral("O = Point #0"));
        EXPECT_EQ(seen_.oxLength, QStringLiteral("100.00"));
        EXPECT_TRUE(seen_.pixelSize.startsWith(QStringLiteral("Pixel size 0.")))
            << seen_.pixelSize.toStdString();
        EXPECT_TRUE(seen_.pixelSize.endsWith(QStringLiteral(" mm")));
    }

    Edition edition_;
    std::unique_ptr<TFnotes> notes_;
    Seen seen_;
};

TEST_F(StartUpNotesTest, TimerBeforeTheMaximisedWindowReachesTheScreenWaitsForTheFirstShowing)
{
    UseEdition(true, true);
    WatchNotes();
    sheet_->show();
    ASSERT_TRUE(sheet_->OpeningRefreshPending());
    // While the refresh waits for the screen the panels already show the
    // cursors as not placed, not their design texts.
    EXPECT_EQ(sheet_->Label1->text(), QStringLiteral("X"));
    EXPECT_EQ(sheet_->Label5->text(), QStringLiteral("Pixel size 0.00 mm"));
    sheet_->Timer1Timer();
    EXPECT_EQ(seen_.notesShown, 0);
    WaitForTheOpeningRefresh();
    ExpectFilledWhenTheNotesCameUp();
}

TEST_F(StartUpNotesTest, TimerFiringInsideTheOpeningRefreshWaitsForItsEnd)
{
    // The refresh's busy cursor lets pending events through: the timer's
    // call is waiting when the window is shown, so it runs in the refresh.
    UseEdition(false, true);
    WatchNotes();
    bool timerRan = false;
    QMetaObject::invokeMethod(
        sheet_.get(),
        [this, &timerRan] {
            timerRan = true;
            sheet_->Timer1Timer();
        },
        Qt::QueuedConnection);
    sheet_->show();
    EXPECT_TRUE(timerRan);
    ExpectFilledWhenTheNotesCameUp();
    // Once only, and not again on a later refresh.
    sheet_->Redraw.RefreshKeepingCursors();
    EXPECT_EQ(seen_.notesShown, 1);
}

TEST_F(StartUpNotesTest, AWindowClosedDuringTheOpeningRefreshShowsAndAsksNothingAfterIt)
{
    UseEdition(false, true);
    WatchNotes();
    core_->UpgradeState = 1;
    prompts_.Clear();
    QMetaObject::invokeMethod(
        sheet_.get(),
        [this] {
            sheet_->Timer1Timer();
            sheet_->close();
        },
        Qt::QueuedConnection);
    sheet_->show();
    EXPECT_FALSE(sheet_->isVisible());
    EXPECT_EQ(seen_.notesShown, 0);
    EXPECT_FALSE(prompts_.Texts().join('\n').contains(QStringLiteral("Upgrade")));
}

TEST_F(SheetStartTest, AnEditionHandedToTheWindowsDecidesWhatDiffers)
{
    StoreSeg(0, 0, 100, 0);
    Edition other;
    other.Title = QStringLiteral("Other");
    other.CaptionPrefix = QStringLiteral("OTHER - ");
    other.WindowPlacement = QRect(153, 66, 776, 513);
    other.MaximiseOnShow = true;
    other.AsksUpgradeQuestion = false;
    other.ExportMenu = false;
    forms_.Program = &other;
    sheet_ = std::make_unique<TFSheet>(forms_);
    forms_.FSheet = sheet_.get();
    EXPECT_EQ(sheet_->windowTitle(), QStringLiteral("Other"));
    EXPECT_EQ(sheet_->size(), QSize(776, 513));
    EXPECT_FALSE(sheet_->exportFB1->isVisible());
    sheet_->show();
    EXPECT_TRUE(sheet_->isMaximized());
    EXPECT_EQ(sheet_->windowTitle(), QStringLiteral("OTHER - Shed ( mm )"));

    // The upgrade recorded by the first program is noted, never asked about.
    core_->UpgradeState = 1;
    prompts_.Clear();
    sheet_->Timer1Timer();
    while (sheet_->OpeningRefreshPending())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    EXPECT_TRUE(prompts_.Texts().isEmpty());
    EXPECT_EQ(core_->UpgradeState, 2);
    EXPECT_TRUE(sheet_->isVisible());
}

TEST_F(SheetStartTest, AMaximisedWindowIsFittedAtItsMaximisedSize)
{
    StoreSeg(0, 0, 100, 0);
    Edition maximised;
    maximised.WindowPlacement = QRect(153, 66, 776, 513);
    maximised.MaximiseOnShow = true;
    forms_.Program = &maximised;
    sheet_ = std::make_unique<TFSheet>(forms_);
    forms_.FSheet = sheet_.get();
    sheet_->show();
    // The platform applies the maximised size after the window is shown;
    // the first refresh waits for the window to reach the screen.
    while (sheet_->OpeningRefreshPending())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
    ASSERT_GT(sheet_->width(), 776);
    const QSize client = sheet_->ScrollBox1->maximumViewportSize();
    EXPECT_EQ(core_->SheetWidth, client.width());
    EXPECT_EQ(core_->SheetHeight, client.height());
    EXPECT_EQ(sheet_->Sheet.Bitmap.Width(), client.width());
    EXPECT_GT(core_->Scale, 0);
}

class ZoomTest : public SheetTest
{
  protected:
    void SetUp() override
    {
        SheetTest::SetUp();
        StoreSeg(0, 0, 100, 0);
        StoreSeg(0, 0, 0, 50);
        core_->AddText(Pt(20, 20), QStringLiteral("Tap"), 0);
        sheet_->show();
    }

    std::array<int, 4> Margins() const
    {
        return {core_->MarginLeft, core_->MarginRight, core_->MarginTop, core_->MarginBottom};
    }
};

TEST_F(ZoomTest, TimesTwoDoublesTheBitmapAndTheLabelFont)
{
    const QSize client = sheet_->ScrollBox1->maximumViewportSize();
    sheet_->zoomx2->trigger();
    EXPECT_TRUE(sheet_->zoomx2->isChecked());
    EXPECT_EQ(sheet_->Sheet.ZoomFactor, 2);
    EXPECT_EQ(core_->SheetWidth, 2 * client.width());
    EXPECT_EQ(core_->SheetHeight, 2 * client.height());
    EXPECT_EQ(sheet_->Sheet.Bitmap.Width(), 2 * client.width());
    EXPECT_EQ(sheet_->Sheet.Bitmap.FontPoints(), 16);
    EXPECT_TRUE(sheet_->Sheet.CursorXShown);
    sheet_->zoomx4->trigger();
    EXPECT_EQ(sheet_->Sheet.Bitmap.Height(), 4 * client.height());
    EXPECT_EQ(Margins(), (std::array<int, 4>{50, 50, 50, 50}));
}

TEST_F(ZoomTest, MarginCommandsFromTheScrollBoxOuterSize)
{
    const QSize box = sheet_->ScrollBox1->size();
    sheet_->centred->trigger();
    EXPECT_EQ(Margins(), (std::array<int, 4>{box.width() / 4, box.width() / 4, box.height() / 4,
                                             box.height() / 4}));
    EXPECT_EQ(core_->LenToPixelX(0), box.width() / 4);
    sheet_->shright->trigger();
    EXPECT_EQ(Margins(), (std::array<int, 4>{box.width() / 3, 50, 50, 50}));
    sheet_->shleft->trigger();
    sheet_->shup->trigger();
    EXPECT_EQ(Margins(), (std::array<int, 4>{50, 50, 50, box.height() / 3}));
    sheet_->shdown->trigger();
    EXPECT_EQ(Margins(), (std::array<int, 4>{50, 50, box.height() / 3, 50}));
    sheet_->zoomx3->trigger();
    sheet_->centred->trigger();
    EXPECT_EQ(sheet_->Sheet.ZoomFactor, 1);
    sheet_->zoomx2->trigger();
    EXPECT_EQ(Margins(), (std::array<int, 4>{50, 50, 50, 50}));
}

TEST_F(ZoomTest, OpeningTheHalfSubmenuTicksItAndTheMenuShowsTheHalfSign)
{
    emit sheet_->Zoom1->aboutToShow();
    EXPECT_EQ(sheet_->zoomxhalf->title(), QStringLiteral("x \u00BD"));
    sheet_->zoomx2->trigger();
    emit sheet_->zoomxhalf->aboutToShow();
    EXPECT_TRUE(sheet_->zoomxhalf->menuAction()->isChecked());
    EXPECT_FALSE(sheet_->zoomx2->isChecked());
    EXPECT_EQ(sheet_->Sheet.ZoomFactor, 2);
    sheet_->shright->trigger();
    EXPECT_TRUE(sheet_->zoomxhalf->menuAction()->isChecked());
}

TEST_F(ZoomTest, TickOnlyTimesOneKeepsZoomAndMargins)
{
    sheet_->zoomx4->trigger();
    core_->MarginLeft = 70;
    sheet_->ZoomTickOnly = true;
    sheet_->zoomx1->trigger();
    sheet_->ZoomTickOnly = false;
    EXPECT_TRUE(sheet_->zoomx1->isChecked());
    EXPECT_EQ(sheet_->Sheet.ZoomFactor, 4);
    EXPECT_EQ(core_->MarginLeft, 70);
}

} // namespace
