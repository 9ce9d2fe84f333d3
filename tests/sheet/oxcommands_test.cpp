#include "sheetfixture.h"

#include "store/store.h"

#include <QPushButton>
#include <QToolButton>

namespace
{

class OXCommandsTest : public SheetTest
{
  protected:
    void SetUp() override
    {
        SheetTest::SetUp();
        floor_ = StoreSeg(0, 0, 100, 0);
        wall_ = StoreSeg(100, 0, 100, 50);
        ShowDrawing();
        sheet_->Sheet.ShowCursors();
    }

    TPointRec& X() { return sheet_->Sheet.CursorX(); }
    TPointRec& O() { return sheet_->Sheet.CursorO(); }

    void PutX(int32_t pointnum)
    {
        sheet_->Sheet.HideCursors();
        ASSERT_TRUE(core_->LoadPoint(pointnum, X()));
        sheet_->Sheet.ShowCursors();
    }

    TSegRec floor_;
    TSegRec wall_;
};

TEST_F(OXCommandsTest, OToXThenUndoRestoresO)
{
    const TPointRec o = O();
    ASSERT_NE(o.Pointnum, X().Pointnum);
    sheet_->OtoXBtn->click();
    EXPECT_EQ(O().Pointnum, X().Pointnum);
    EXPECT_EQ(core_->CurrentSegment.Segnum, -1);
    sheet_->SpeedButton5->click();
    EXPECT_EQ(O().Pointnum, o.Pointnum);
    EXPECT_EQ(O().Lenx, o.Lenx);

    sheet_->XtoObtn->click();
    EXPECT_EQ(X().Pointnum, O().Pointnum);
    EXPECT_EQ(X().Pxlx, O().Pxlx);
}

TEST_F(OXCommandsTest, SwapTwiceRestoresBothAndKeepsTheSegment)
{
    const TPointRec o = O();
    const TPointRec x = X();
    core_->CurrentSegment.Segnum = wall_.Segnum;
    sheet_->SwapOXBtn->click();
    EXPECT_EQ(O().Pointnum, x.Pointnum);
    EXPECT_EQ(X().Pointnum, o.Pointnum);
    sheet_->SwapOXBtn->click();
    EXPECT_EQ(O().Pointnum, o.Pointnum);
    EXPECT_EQ(X().Pointnum, x.Pointnum);
    EXPECT_EQ(core_->CurrentSegment.Segnum, wall_.Segnum);

    // The cursors stand where they are drawn: hiding them leaves clean ink.
    const QImage drawn = Snapshot();
    sheet_->Sheet.HideCursors();
    sheet_->Sheet.ShowCursors();
    EXPECT_EQ(Snapshot(), drawn);
}

TEST_F(OXCommandsTest, PushMovePopBringsXBackAndUndoReturnsBeforeThePop)
{
    PutX(floor_.FromPoint.Pointnum);
    sheet_->SpeedButton8->click();
    EXPECT_EQ(prompts_.Flashes().last(), QStringLiteral("X remembered OK"));
    PutX(wall_.ToPoint.Pointnum);
    sheet_->SpeedButton7->click();
    EXPECT_EQ(X().Pointnum, floor_.FromPoint.Pointnum);
    EXPECT_EQ(X().Lenx, 0.0);
    EXPECT_EQ(X().Pxlx, PxX(0));
    sheet_->SpeedButton5->click();
    EXPECT_EQ(X().Pointnum, wall_.ToPoint.Pointnum);
    // One level only: a second Undo changes nothing.
    sheet_->SpeedButton5->click();
    EXPECT_EQ(X().Pointnum, wall_.ToPoint.Pointnum);
}

TEST_F(OXCommandsTest, PopBeforeAnyPushLeavesXUnstored)
{
    ASSERT_EQ(floor_.FromPoint.Pointnum, 0); // a stored point 0 exists
    sheet_->SpeedButton7->click();
    EXPECT_EQ(X().Pointnum, -1);
    EXPECT_EQ(X().Lenx, 0.0);
    EXPECT_EQ(X().Leny, 0.0);
    EXPECT_EQ(X().Pxlx, PxX(0));
    EXPECT_EQ(X().Pxly, PxY(0));
}

} // namespace
