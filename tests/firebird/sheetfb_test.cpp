// The sheet of the second program on its Firebird store: stepping says
// less, walks round a single segment at X and searches an empty drawing for
// diagonals; a joining segment is on the disk without a refresh; the
// refresh draws and stamps through the store's own statements, and one the
// disk refuses leaves the sheet as it was; the search
// near X asks the database; the trial ellipse needs a diagonal; the status
// bar lies under the drawing.

#include "dialogs/forms.h"
#include "failingdisk.h"
#include "joiningasbefore.h"
#include "library/application.h"
#include "programs/fbedition.h"
#include "sheet/sheet.h"
#include "store/storefixture.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QToolButton>

namespace
{

class FirebirdSheetTest : public StoreOn<FirebirdStoreFixture>
{
  protected:
    void SetUp() override
    {
        StoreOn<FirebirdStoreFixture>::SetUp();
        forms_.Program = &edition_;
        forms_.Fcore = &Core();
        sheet_ = std::make_unique<TFSheet>(forms_);
        forms_.FSheet = sheet_.get();
    }

    void TearDown() override { sheet_.reset(); }

    TPointRec& X() { return sheet_->Sheet.CursorX(); }
    TPointRec& O() { return sheet_->Sheet.CursorO(); }

    // Shows the window (its first showing refreshes once the maximised
    // window reaches the screen), cursors on.
    void ShowDrawing()
    {
        sheet_->show();
        while (sheet_->OpeningRefreshPending())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        sheet_->Sheet.ShowCursors();
    }

    // The joining panel open on the shape, O and X at exact lengths.
    void Join(const TPointRec& o, const TPointRec& x, int shape)
    {
        sheet_->Sheet.HideCursors();
        O() = o;
        X() = x;
        Core().FindPointAtLength(O());
        Core().FindPointAtLength(X());
        sheet_->Sheet.ShowCursors();
        sheet_->ComboBox2->setCurrentIndex(shape);
        sheet_->Button3->click();
        sheet_->Joining.ComboBox2Change();
    }

    void Step(int mode, QPushButton* button)
    {
        sheet_->ComboBox1->setCurrentIndex(mode);
        button->click();
    }

    Edition edition_ = FirebirdEdition();
    Forms forms_;
    std::unique_ptr<TFSheet> sheet_;
};

TEST_F(FirebirdSheetTest, FirstStepsFlashNoCount)
{
    const TSegRec floor = StoreSeg(0, 0, 100, 0);
    StoreSeg(100, 0, 100, 50);
    Core().AddText(floor.FromPoint, QStringLiteral("Gate"), 0);
    ShowDrawing();
    prompts_.Clear();
    for (int mode : {0, 1, 2, 5})
        Step(mode, sheet_->FirstBtn);
    EXPECT_TRUE(prompts_.Flashes().isEmpty()) << prompts_.Flashes().join('|').toStdString();
    // The steps themselves still happen: Text put X on the label's point.
    EXPECT_EQ(X().Pointnum, floor.FromPoint.Pointnum);
}

TEST_F(FirebirdSheetTest, OneSegmentAtXIsSteppedRoundToAgain)
{
    StoreSeg(0, 0, 100, 0);
    const TSegRec wall = StoreSeg(100, 0, 100, 50);
    ShowDrawing();
    // X on the wall's far end, which no other segment reaches.
    sheet_->Sheet.HideCursors();
    ASSERT_TRUE(Core().LoadPoint(wall.ToPoint.Pointnum, X()));
    sheet_->Sheet.ShowCursors();
    Step(2, sheet_->FirstBtn);
    prompts_.Clear();
    Step(2, sheet_->NextBtn);
    EXPECT_EQ(prompts_.Flashes(),
              QStringList{QStringLiteral("Already at end, resuming from start")});
    EXPECT_EQ(Core().CurrentSegment.Segnum, wall.Segnum);
    EXPECT_EQ(O().Pointnum, wall.FromPoint.Pointnum);
    Step(2, sheet_->PrevBtn);
    EXPECT_EQ(prompts_.Flashes().last(), QStringLiteral("Already at start, resuming from end"));
    EXPECT_EQ(X().Pointnum, wall.ToPoint.Pointnum);
}

TEST_F(FirebirdSheetTest, SearchesOfAnEmptyDrawingSayThereIsNoneAndWrap)
{
    AddLayer(1, QStringLiteral("Hidden"), VisibHidden);
    StoreSeg(0, 0, 100, 50, 1);
    ShowDrawing();
    ASSERT_TRUE(Core().VisibleSegments.IsEmpty());
    Step(4, sheet_->FirstBtn);
    EXPECT_EQ(prompts_.Texts().last(), QStringLiteral("No Diagonals visible"));
    EXPECT_EQ(prompts_.Flashes().last(), QStringLiteral("Already at end, resuming from start"));
    // Backwards, the notice names the start.
    prompts_.Clear();
    Step(4, sheet_->PrevBtn);
    EXPECT_EQ(prompts_.Texts(), QStringList{"No Diagonals visible"});
    EXPECT_EQ(prompts_.Flashes(), QStringList{"Already at start, resuming from end"});
    prompts_.Clear();
    Step(3, sheet_->PrevBtn);
    EXPECT_EQ(prompts_.Texts(), QStringList{"No Arcs visible"});
    EXPECT_EQ(prompts_.Flashes(), QStringList{"Already at start, resuming from end"});
    // The forward arc search keeps quiet.
    prompts_.Clear();
    Step(3, sheet_->NextBtn);
    EXPECT_TRUE(prompts_.Texts().isEmpty());
    EXPECT_TRUE(prompts_.Flashes().isEmpty());
}

TEST_F(FirebirdSheetTest, TextStepsWithoutALabelDoNothing)
{
    StoreSeg(0, 0, 100, 0);
    ShowDrawing();
    const TPointRec x = X();
    Step(5, sheet_->NextBtn);
    EXPECT_EQ(X().Pointnum, x.Pointnum);
    EXPECT_TRUE(prompts_.Texts(ScriptedPrompts::Kind::Error).isEmpty());
}

TEST_F(FirebirdSheetTest, AJoiningSegmentIsOnTheDiskWithoutARefresh)
{
    StoreSeg(0, 0, 100, 0);
    StoreSeg(100, 0, 100, 50);
    ShowDrawing();
    const long long before = CountElsewhere(QStringLiteral("select count(*) from seg"));
    Join(Pt(0, 0), Pt(100, 50), 0);
    sheet_->SaveBtn->click();
    EXPECT_EQ(CountElsewhere(QStringLiteral("select count(*) from seg")), before + 1);
}

TEST_F(FirebirdSheetTest, AJoiningSegmentTheDiskRefusesLeavesTheSheetAndThePanelAsTheyWere)
{
    StoreSeg(0, 0, 100, 0);
    StoreSeg(100, 0, 100, 50);
    ShowDrawing();
    // An arc about X: once inked it moves X and turns the shape back to Line.
    sheet_->Sheet.Drawing.ArcAngle = 90;
    Join(Pt(100, 0), Pt(100, 50), 1);
    const QImage before = sheet_->Sheet.Bitmap.Image().copy();
    const TPointRec x = X();
    const QString segs = QStringLiteral("select count(*) from seg");
    const long long stored = CountElsewhere(segs);

    FailingDisk disk(dir_.path() + QStringLiteral("/Scalora2 data/scalora2data.fdb"));
    // The disk fails once the command's transaction has started (a read
    // starts it): none of its pages reaches the disk.
    TLayerRec layer;
    ASSERT_TRUE(Core().LoadLayer(0, layer));
    disk.Fail();
    DeliverShowingExceptions([&] {
        sheet_->SaveBtn->click();
        return true;
    });
    disk.Heal();
    EXPECT_GT(disk.Refused(), 0);
    const QStringList errors = prompts_.Texts(ScriptedPrompts::Kind::Error);
    ASSERT_EQ(errors.size(), 1) << errors.join('|').toStdString();
    EXPECT_TRUE(errors[0].contains("No space left on device")) << errors[0].toStdString();

    ExpectJoiningAsBefore(*sheet_, before, x, 1);

    // The disk mended, the same Save undoes the failed one and stores the
    // arc once.
    sheet_->SaveBtn->click();
    EXPECT_EQ(sheet_->Sheet.JoinMode, 0);
    EXPECT_EQ(CountElsewhere(segs), stored + 1);
    EXPECT_EQ(CountElsewhere(QStringLiteral("select count(*) from seg where segtype = 3")), 1);
}

TEST_F(FirebirdSheetTest, RefreshStampsAndFindsExactlyThePointsItDrew)
{
    AddLayer(1, QStringLiteral("Hidden"), VisibHidden);
    const TSegRec floor = StoreSeg(0, 0, 100, 0);
    StoreSeg(0, 20, 50, 20, 1);
    ShowDrawing();
    const TDateTime first = Core().RedrawStamp;
    EXPECT_EQ(Stamped(1, first), (std::set<int>{floor.FromPoint.Pointnum, floor.ToPoint.Pointnum}));
    EXPECT_EQ(Core().VisiblePoints.RecordCount(), 2);
    // A second refresh at once has a stamp of its own, and the points of the
    // first carry it no more.
    sheet_->Sheet.HideCursors();
    sheet_->Redraw.RefreshSheet();
    EXPECT_GT(Core().RedrawStamp, first);
    EXPECT_TRUE(Stamped(1, first).empty());
    EXPECT_EQ(Core().VisiblePoints.RecordCount(), 2);
}

TEST_F(FirebirdSheetTest, PointSearchNearXTakesAnyPointOfTheDiagram)
{
    AddLayer(1, QStringLiteral("Hidden"), VisibHidden);
    StoreSeg(0, 0, 100, 0);
    const TSegRec hidden = StoreSeg(50, 20, 60, 20, 1);
    ShowDrawing();
    sheet_->Sheet.HideCursors();
    sheet_->MoveX.PlaceXAtPixel(Core().LenToPixelX(50) + 4, Core().LenToPixelY(20) + 3);
    Core().CurrentSegment.Segnum = 1;
    prompts_.Clear();
    prompts_.Answer('N');
    sheet_->FindNearBtn->click();
    // A point of the hidden layer, which no refresh drew.
    EXPECT_EQ(X().Pointnum, hidden.FromPoint.Pointnum);
    EXPECT_EQ(X().Pxlx, Core().LenToPixelX(50));
    // The search keeps the segment's number, but the status bar names no
    // segment that does not join O and X.
    EXPECT_NE(Core().CurrentSegment.Segnum, 1);
    EXPECT_EQ(sheet_->Label2->text(), QStringLiteral("O-X"));
    EXPECT_EQ(prompts_.Texts(), QStringList{"Also select segment at this point?"});

    // Nothing within reach: X stays where it was.
    sheet_->Sheet.HideCursors();
    sheet_->MoveX.PlaceXAtPixel(Core().LenToPixelX(25), Core().LenToPixelY(0) + 11);
    const TPointRec before = X();
    prompts_.Answer('N');
    sheet_->FindNearBtn->click();
    EXPECT_EQ(X().Pxlx, before.Pxlx);
    EXPECT_EQ(X().Pxly, before.Pxly);
    EXPECT_EQ(X().Pointnum, before.Pointnum);
}

TEST_F(FirebirdSheetTest, TheTrialEllipseNeedsAnOXDiagonal)
{
    StoreSeg(0, 0, 100, 0);
    StoreSeg(100, 0, 100, 60);
    ShowDrawing();
    sheet_->Sheet.HideCursors();
    ASSERT_TRUE(Core().FindPointAtLength(O() = Pt(0, 0)));
    ASSERT_TRUE(Core().FindPointAtLength(X() = Pt(100, 0)));
    const QImage before = sheet_->Sheet.Bitmap.Image().copy();
    prompts_.Clear();
    sheet_->Ellipse1->trigger();
    EXPECT_EQ(prompts_.Texts(), QStringList{"OX must be diagonal for ellipse"});
    EXPECT_EQ(sheet_->Sheet.Bitmap.Image(), before);

    ASSERT_TRUE(Core().FindPointAtLength(X() = Pt(100, 60)));
    sheet_->Ellipse1->trigger();
    EXPECT_EQ(prompts_.Texts().size(), 1);
    EXPECT_NE(sheet_->Sheet.Bitmap.Image(), before);
}

TEST_F(FirebirdSheetTest, TheStatusBarLiesUnderTheDrawingAndMeasuredSaysWhereItStarts)
{
    ShowDrawing();
    EXPECT_EQ(sheet_->Panel2->parentWidget(), sheet_->Panel3);
    EXPECT_GT(sheet_->Panel2->y(), sheet_->ScrollBox1->y());
    // Beside the side panel, not under it.
    EXPECT_LE(sheet_->Panel2->mapTo(sheet_.get(), QPoint(sheet_->Panel2->width(), 0)).x(),
              sheet_->Panel1->mapTo(sheet_.get(), QPoint(0, 0)).x());
    EXPECT_GE(sheet_->Label5->width(), 104);
    EXPECT_EQ(sheet_->Button2->toolTip(), QStringLiteral("Insert new Measured Segment at X"));
}

} // namespace
