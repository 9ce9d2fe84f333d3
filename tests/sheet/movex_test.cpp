#include "sheetfixture.h"

#include "sheet/sheetimage.h"
#include "store/store.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace
{

constexpr CanvasColour Navy = CanvasRgb(0, 0, 128);

class MoveXTest : public SheetTest
{
  protected:
    TPointRec& X() { return sheet_->Sheet.CursorX(); }
    TPointRec& O() { return sheet_->Sheet.CursorO(); }

    // X on a white pixel, with the lengths a click there gives.
    void PutX(int x, int y)
    {
        sheet_->MoveX.PlaceXAtPixel(x, y);
        sheet_->Sheet.HideCursors();
    }

    void PutXOnPoint(int32_t pointnum)
    {
        sheet_->Sheet.HideCursors();
        ASSERT_TRUE(core_->LoadPoint(pointnum, X()));
    }

    static void Mouse(QWidget* target, QEvent::Type type, QPoint at,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          modifiers);
        QApplication::sendEvent(target, &event);
    }

    void Key(int key)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(sheet_.get(), &press);
    }
};

TEST_F(MoveXTest, SkipOverPaperStopsAtTheSheetEdgesAndOnTheFirstDrawnPixel)
{
    StoreSeg(0, 0, 100, 0);
    const TSegRec wall = StoreSeg(0, 0, 0, 50);
    ShowDrawing();
    const int row = PxY(25);
    PutX(PxX(50), row);

    sheet_->MoveX.SkipX(1, 0);
    EXPECT_EQ(X().Pxlx, core_->SheetWidth - 1);
    EXPECT_EQ(X().Pxly, row);

    // Back left across the paper onto the wall: its exact x length, and
    // the wall becomes the segment to select.
    sheet_->MoveX.SkipX(-1, 0);
    EXPECT_EQ(X().Pxlx, PxX(0));
    EXPECT_EQ(X().Lenx, 0.0);
    EXPECT_EQ(X().Pointnum, -1);
    EXPECT_EQ(sheet_->Sheet.LastSegment.Segnum, wall.Segnum);
    EXPECT_TRUE(sheet_->SelSegBtn2->isEnabled());

    // The first step off the sheet: "out of range", X stays.
    PutX(0, row);
    const TPointRec before = X();
    sheet_->MoveX.SkipX(-1, 0);
    EXPECT_EQ(prompts_.Texts().last(), QStringLiteral("out of range"));
    EXPECT_EQ(X().Pxlx, before.Pxlx);
    EXPECT_EQ(X().Lenx, before.Lenx);
}

TEST_F(MoveXTest, FollowingALineStopsOnACrossingAndOnAChangeOfColour)
{
    const TSegRec floor = StoreSeg(0, 0, 50, 0);
    StoreSeg(60, -20, 60, 20);                        // crosses the floor's continuation
    const TSegRec faint = StoreSeg(50, 0, 100, 0, 1); // silver, from the floor's end
    ShowDrawing();

    // From the floor's start: along navy, stopping where silver begins.
    PutXOnPoint(floor.FromPoint.Pointnum);
    int firstOther = PxX(0);
    while (Px(firstOther, PxY(0)) == Navy)
        ++firstOther;
    ASSERT_EQ(firstOther, PxX(50)); // the later segment covers the shared end
    sheet_->MoveX.SkipX(1, 0);
    sheet_->Sheet.HideCursors();
    EXPECT_EQ(X().Pxlx, PxX(50));
    EXPECT_EQ(X().Pointnum, faint.FromPoint.Pointnum);
    EXPECT_EQ(X().Lenx, 50.0);

    // On along the silver line to the first pixel that touches the crossing.
    sheet_->MoveX.SkipX(1, 0);
    sheet_->Sheet.HideCursors();
    EXPECT_EQ(X().Pxlx, PxX(60));
    EXPECT_EQ(X().Lenx, 60.0);
    EXPECT_EQ(X().Leny, 0.0);
    EXPECT_EQ(X().Pointnum, -1);

    // From the paper right beside a line: onto it and along it at once.
    PutX(PxX(0), PxY(-10));
    const int startRow = X().Pxly;
    sheet_->MoveX.SkipX(0, 1); // down onto the floor's start
    sheet_->Sheet.HideCursors();
    EXPECT_EQ(X().Pxly, PxY(0));
    ASSERT_LT(startRow, PxY(0));
}

TEST_F(MoveXTest, GuidesStopASkipAndGiveTheirExactLengths)
{
    StoreSeg(0, 0, 100, 0);
    StoreSeg(0, 0, 0, 50);
    ShowDrawing();
    PutX(PxX(40) + 1, PxY(30) + 1);
    const TPointRec guide = X();
    sheet_->GuidesBtn->click();
    ASSERT_TRUE(sheet_->GuidesBtn->isChecked());
    EXPECT_NE(Px(guide.Pxlx, guide.Pxly - 5), Canvas::White);

    PutX(PxX(80), PxY(10));
    sheet_->MoveX.SkipX(-1, 0);
    sheet_->Sheet.HideCursors();
    EXPECT_EQ(X().Pxlx, guide.Pxlx);
    EXPECT_EQ(X().Lenx, guide.Lenx);

    PutX(PxX(70), PxY(5));
    const Extended lenx = X().Lenx;
    sheet_->MoveX.SkipX(0, 1);
    sheet_->Sheet.HideCursors();
    EXPECT_EQ(X().Pxly, guide.Pxly);
    EXPECT_EQ(X().Leny, guide.Leny);
    EXPECT_EQ(X().Lenx, lenx);

    // Up again, the guides are erased: the paper is white once more.
    sheet_->GuidesBtn->click();
    EXPECT_EQ(Px(guide.Pxlx, guide.Pxly - 5), Canvas::White);
}

TEST_F(MoveXTest, ArrowOntoPointZeroTakesItsNumberAndExactLength)
{
    // Point 0 lies inside the extents, where its pixel does not turn back
    // into its own lengths.
    const TSegRec first = StoreSeg(13.37, 21.11, 40, 30);
    StoreSeg(0, 0, 100, 60);
    ShowDrawing();
    ASSERT_EQ(first.FromPoint.Pointnum, 0);
    ASSERT_NE(core_->PixelToLenY(PxY(21.11)), 21.11);
    PutXOnPoint(0);
    X().Pxly += 1;
    X().Leny = core_->PixelToLenY(X().Pxly);
    X().Pointnum = -1;
    sheet_->ClearActiveControl();
    Key(Qt::Key_Up);
    sheet_->Sheet.HideCursors();
    EXPECT_EQ(X().Pointnum, 0);
    EXPECT_EQ(X().Leny, 21.11);
    EXPECT_EQ(X().Lenx, 13.37);
}

TEST_F(MoveXTest, ArrowKeysActOnlyWhileNoControlHasTheFocus)
{
    StoreSeg(0, 0, 100, 0);
    StoreSeg(0, 0, 0, 50);
    ShowDrawing();
    PutX(PxX(50), PxY(25));
    const int start = X().Pxlx;
    sheet_->FirstBtn->setFocus();
    Key(Qt::Key_Right);
    EXPECT_EQ(X().Pxlx, start);
    sheet_->FocusBtn->click();
    Key(Qt::Key_Right);
    EXPECT_EQ(X().Pxlx, start + 1);
    EXPECT_EQ(X().Pointnum, -1);
    Key(Qt::Key_Left);
    Key(Qt::Key_Left);
    EXPECT_EQ(X().Pxlx, start - 1);

    // At the edge an arrow does nothing and says nothing.
    PutX(0, PxY(25));
    prompts_.Clear();
    Key(Qt::Key_Left);
    EXPECT_EQ(X().Pxlx, 0);
    EXPECT_TRUE(prompts_.Texts().isEmpty());
}

TEST_F(MoveXTest, PressOnADrawnPointTakesItAndDoubleClickPutsOThere)
{
    const TSegRec seg = StoreSeg(0, 0, 100, 0);
    StoreSeg(0, 0, 0, 50);
    ShowDrawing();
    sheet_->Sheet.ShowCursors();
    const QPoint end(PxX(100), PxY(0));
    Mouse(sheet_->Image1, QEvent::MouseButtonPress, end);
    EXPECT_EQ(X().Pointnum, seg.ToPoint.Pointnum);
    EXPECT_EQ(X().Lenx, 100.0);

    const QPoint blank(PxX(30), PxY(30));
    Mouse(sheet_->Image1, QEvent::MouseButtonPress, blank);
    Mouse(sheet_->Image1, QEvent::MouseButtonRelease, blank);
    Mouse(sheet_->Image1, QEvent::MouseButtonDblClick, blank);
    EXPECT_EQ(X().Pxlx, blank.x());
    EXPECT_EQ(X().Pxly, blank.y());
    EXPECT_EQ(O().Pxlx, blank.x());
    EXPECT_EQ(O().Pxly, blank.y());
    EXPECT_EQ(O().Lenx, X().Lenx);
}

TEST_F(MoveXTest, TheXPanelsPlusBelongsToThePointXIsOn)
{
    StoreSeg(0, 0, 2.5, 0);
    // A second point on the pixel of point 0, a hair's breadth away.
    StoreSeg(0.001, 0, 0.001, 1);
    ShowDrawing();
    sheet_->Sheet.ShowCursors();
    ASSERT_EQ(PxX(0.001), PxX(0));
    Mouse(sheet_->Image1, QEvent::MouseButtonPress, QPoint(PxX(0), PxY(0)));
    ASSERT_GE(X().Pointnum, 0);
    EXPECT_TRUE(X().Multiple);
    EXPECT_EQ(sheet_->Label1->text(), QStringLiteral("X = Point #%1+").arg(X().Pointnum));

    // Skipping right along the line lands on the one point at (2.5, 0).
    sheet_->MoveX.SkipX(1, 0);
    EXPECT_EQ(X().Lenx, 2.5);
    EXPECT_FALSE(X().Multiple);
    EXPECT_EQ(sheet_->Label1->text(), QStringLiteral("X = Point #%1").arg(X().Pointnum));

    // Back on the shared pixel, then a click on the paper: no point, no "+".
    Mouse(sheet_->Image1, QEvent::MouseButtonPress, QPoint(PxX(0), PxY(0)));
    EXPECT_TRUE(X().Multiple);
    Mouse(sheet_->Image1, QEvent::MouseButtonPress, QPoint(PxX(1.2), PxY(0.6)));
    EXPECT_EQ(X().Pointnum, -1);
    EXPECT_FALSE(X().Multiple);

    // O takes X whole through "o -> x", the flag with it.
    Mouse(sheet_->Image1, QEvent::MouseButtonPress, QPoint(PxX(2.5), PxY(0)));
    sheet_->OtoXBtn->click();
    EXPECT_EQ(sheet_->Label3->text(), QStringLiteral("O = Point #%1").arg(O().Pointnum));
}

TEST_F(MoveXTest, NearSearchTakesTheNearestRingUpToTenPixels)
{
    const TSegRec seg = StoreSeg(0, 0, 100, 0);
    StoreSeg(0, 0, 0, 50);
    ShowDrawing();
    PutX(PxX(100) - 3, PxY(0) + 2);
    prompts_.Answer('N');
    sheet_->FindNearBtn->click();
    EXPECT_EQ(X().Pointnum, seg.ToPoint.Pointnum);
    EXPECT_EQ(X().Pxlx, PxX(100));
    EXPECT_EQ(prompts_.Texts().last(), QStringLiteral("Also select segment at this point?"));

    // Eleven pixels away: nothing found, X stays, the question still comes.
    sheet_->Sheet.HideCursors();
    PutX(PxX(100) + 11, PxY(0));
    const TPointRec before = X();
    prompts_.Answer('N');
    sheet_->FindNearBtn->click();
    EXPECT_EQ(X().Pxlx, before.Pxlx);
    EXPECT_EQ(X().Pointnum, before.Pointnum);
    EXPECT_TRUE(prompts_.AllAnswered());

    // Yes walks the segments at the point found.
    sheet_->Sheet.HideCursors();
    PutX(PxX(100), PxY(0) + 10);
    prompts_.Answer('Y');
    sheet_->FindNearBtn->click();
    EXPECT_EQ(sheet_->ComboBox1->currentIndex(), 2);
    EXPECT_EQ(core_->CurrentSegment.Segnum, seg.Segnum);
    EXPECT_EQ(O().Pointnum, seg.FromPoint.Pointnum);
}

TEST_F(MoveXTest, ShiftSkipOffersTheLineFromTheOldXAsAJoiningSegment)
{
    const TSegRec floor = StoreSeg(0, 0, 100, 0);
    StoreSeg(0, 0, 0, 50);
    ShowDrawing();
    PutXOnPoint(floor.ToPoint.Pointnum);
    sheet_->Sheet.ShowCursors();
    Mouse(sheet_->UpBtn, QEvent::MouseButtonPress, QPoint(2, 2), Qt::ShiftModifier);
    Mouse(sheet_->UpBtn, QEvent::MouseButtonRelease, QPoint(2, 2), Qt::ShiftModifier);
    EXPECT_EQ(O().Pointnum, floor.ToPoint.Pointnum);
    EXPECT_EQ(X().Pxly, 0);
    EXPECT_EQ(X().Lenx, 100.0);
    EXPECT_EQ(sheet_->Sheet.JoinMode, 2);
    EXPECT_TRUE(sheet_->SaveBtn->isEnabled());
    EXPECT_TRUE(sheet_->Sheet.PreviewDrawn);

    // Without SHIFT, a plain skip: O stays.
    sheet_->Joining.EndJoining();
    const TPointRec o = O();
    Mouse(sheet_->DownBtn, QEvent::MouseButtonPress, QPoint(2, 2));
    EXPECT_EQ(O().Pxly, o.Pxly);
    EXPECT_EQ(X().Pxly, PxY(0));
    EXPECT_EQ(sheet_->Sheet.JoinMode, 0);
}

// Six vertical lines 10 apart; X on the last one. A quick double click on
// "<" is two presses, as the window system delivers them (the second one as
// a double click): X skips two lines, as after two slow clicks.
TEST_F(MoveXTest, EveryPressOfASkipButtonSkipsEvenAQuickSecondOne)
{
    for (int i = 0; i < 6; ++i)
        StoreSeg(10 * i, 0, 10 * i, 50);
    ShowDrawing();
    sheet_->Sheet.ShowCursors();
    QWindow* window = sheet_->windowHandle();
    ASSERT_NE(window, nullptr);
    const QPoint left = sheet_->LeftBtn->mapTo(sheet_.get(), sheet_->LeftBtn->rect().center());
    auto standOnLastLine = [this] {
        sheet_->Sheet.HideCursors();
        sheet_->MoveX.PlaceXAtPixel(PxX(50), PxY(25));
        sheet_->Sheet.ShowCursors();
    };

    standOnLastLine();
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, left);
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, left);
    EXPECT_EQ(X().Lenx, 30.0);

    standOnLastLine();
    QTest::mouseDClick(window, Qt::LeftButton, Qt::NoModifier, left);
    EXPECT_EQ(X().Lenx, 30.0);

    // With SHIFT each press moves O to X first: O ends on the line X left
    // last, and the joining panel is open.
    standOnLastLine();
    QTest::mouseDClick(window, Qt::LeftButton, Qt::ShiftModifier, left);
    EXPECT_EQ(X().Lenx, 30.0);
    EXPECT_EQ(O().Lenx, 40.0);
    EXPECT_EQ(sheet_->Sheet.JoinMode, 2);
}

TEST_F(MoveXTest, CompoundSkipsPutXAndOOnTheLinesAroundX)
{
    StoreSeg(0, 0, 100, 0);
    StoreSeg(100, 0, 100, 50);
    StoreSeg(100, 50, 0, 50);
    StoreSeg(0, 50, 0, 0);
    ShowDrawing();
    PutX(PxX(40), PxY(20));
    const TPointRec start = X();
    sheet_->Sheet.ShowCursors();

    sheet_->SpeedButton3->click();
    EXPECT_EQ(O().Leny, 50.0);
    EXPECT_EQ(O().Lenx, start.Lenx);
    EXPECT_EQ(X().Leny, 0.0);
    EXPECT_EQ(X().Lenx, start.Lenx);
    // Undo returns to the last snapshot: O as it was, X after the first skip.
    sheet_->SpeedButton5->click();
    EXPECT_EQ(X().Leny, 50.0);

    sheet_->Sheet.HideCursors();
    X() = start;
    sheet_->SpeedButton1->click();
    EXPECT_EQ(X().Lenx, 0.0);
    EXPECT_EQ(X().Leny, 0.0);
    EXPECT_EQ(O().Lenx, 100.0);
    EXPECT_EQ(O().Leny, 50.0);
    EXPECT_EQ(X().Pointnum, -1);
    EXPECT_EQ(O().Pointnum, -1);
    EXPECT_EQ(X().Pxlx, PxX(0));
    EXPECT_EQ(O().Pxly, PxY(50));
    EXPECT_TRUE(sheet_->Sheet.CursorXShown);
}

TEST_F(MoveXTest, NothingMovesWithoutAScale)
{
    StoreSeg(0, 0, 100, 0, 2); // hidden: no scale
    ShowDrawing();
    const TPointRec before = X();
    sheet_->MoveX.SkipX(1, 0);
    sheet_->MoveX.PlaceXAtPixel(5, 5);
    EXPECT_EQ(X().Pxlx, before.Pxlx);
    EXPECT_EQ(prompts_.Texts(),
              QStringList({QStringLiteral("Enter a measurement to establish scale"),
                           QStringLiteral("Enter a measurement to establish scale")}));
}

} // namespace
