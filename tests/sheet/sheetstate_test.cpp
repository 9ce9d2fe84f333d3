#include "sheetfixture.h"

#include "store/store.h"

#include <QToolButton>
#include <stdexcept>

namespace
{

class CursorTest : public SheetTest
{
  protected:
    void SetUp() override
    {
        SheetTest::SetUp();
        StoreSeg(0, 0, 100, 0);
        StoreSeg(0, 0, 0, 50);
        ShowDrawing();
        s().CursorO().Pxlx = 100;
        s().CursorO().Pxly = 100;
        s().CursorX().Pxlx = 200;
        s().CursorX().Pxly = 150;
    }
    SheetState& s() { return sheet_->Sheet; }
};

TEST_F(CursorTest, ShowTwicePaintsOnceAndHideRestoresThePixels)
{
    const QImage before = Snapshot();
    s().ShowCursors();
    const QImage shown = Snapshot();
    EXPECT_NE(shown, before);
    // The X cross and the O circle in cyan-XOR: white becomes red.
    EXPECT_EQ(Px(190, 140), CanvasRgb(255, 0, 0));
    EXPECT_EQ(Px(110, 101), CanvasRgb(255, 0, 0));
    EXPECT_EQ(Px(110, 100), CanvasRgb(255, 255, 255)); // inverted twice where the octants meet
    s().ShowCursors();
    EXPECT_EQ(Snapshot(), shown);
    s().HideCursors();
    EXPECT_EQ(Snapshot(), before);
    s().HideCursors();
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(CursorTest, PreviewFollowsXOnlyWhileJoining)
{
    const QImage before = Snapshot();
    s().PreviewKind = PreviewLine;
    s().ShowCursors();
    EXPECT_FALSE(s().PreviewDrawn); // not joining
    s().HideCursors();
    s().JoinMode = 2;
    s().ShowCursors();
    EXPECT_TRUE(s().PreviewDrawn);
    EXPECT_EQ(Px(150, 125), CanvasRgb(255, 0, 0)); // on the line from O to X
    s().HideCursorX();
    EXPECT_FALSE(s().PreviewDrawn);
    s().CursorX().Pxlx = 300; // X moves: the preview moves with it
    s().ShowCursorX();
    EXPECT_EQ(Px(150, 125), CanvasRgb(255, 255, 255));
    s().HideCursors();
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(CursorTest, WrapNoticesFlashWhenShownEndFirst)
{
    prompts_.Clear();
    s().MarkWrappedAtStart();
    s().MarkWrappedAtEnd();
    EXPECT_TRUE(prompts_.Flashes().isEmpty());
    s().ShowCursors();
    EXPECT_EQ(prompts_.Flashes(),
              (QStringList{QStringLiteral("Already at end, resuming from start"),
                           QStringLiteral("Already at start, resuming from end")}));
    EXPECT_FALSE(s().WrappedAtEnd);
    EXPECT_FALSE(s().WrappedAtStart);
}

TEST_F(CursorTest, HidingXDisablesSelectSegmentAtX)
{
    s().ShowCursors();
    sheet_->SelSegBtn2->setEnabled(true);
    s().HideCursorX();
    EXPECT_FALSE(sheet_->SelSegBtn2->isEnabled());
}

TEST_F(CursorTest, RestoreLastSegmentKeepsTheUndoSnapshot)
{
    s().ShowCursors();
    const TPointRec o = s().CursorO();
    const TPointRec x = s().CursorX();
    TSegRec seg;
    ASSERT_TRUE(core_->LoadSegment(core_->VisibleSegments.Rows().front().Segnum, seg));
    s().LastSegment = seg;
    s().RestoreLastSegment();
    EXPECT_EQ(s().PrevO.Pxlx, o.Pxlx);
    EXPECT_EQ(s().PrevX.Pxlx, x.Pxlx);
    EXPECT_EQ(s().CursorO().Pointnum, seg.FromPoint.Pointnum);
    EXPECT_EQ(s().CursorX().Pointnum, seg.ToPoint.Pointnum);
    EXPECT_EQ(core_->CurrentSegment.Segnum, seg.Segnum);
    EXPECT_TRUE(s().CursorXShown);
}

TEST_F(CursorTest, AFailedCommandGetsItsCursorsBackAndReportsItsOwnError)
{
    s().JoinMode = 2;
    s().PreviewKind = PreviewLine;
    s().ShowCursors();
    const QImage shown = Snapshot();
    // The command fails with the cursors off, and the status panel fails
    // too as they come back, the store being gone.
    try {
        CursorsHidden hidden(s());
        s().CursorX().Pxlx = 300;
        forms_.Fcore = nullptr;
        throw std::runtime_error("the command failed");
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "the command failed");
    }
    forms_.Fcore = core_.get();
    EXPECT_TRUE(s().CursorOShown);
    EXPECT_TRUE(s().CursorXShown);
    EXPECT_TRUE(s().PreviewDrawn);
    s().HideCursors();
    s().CursorX().Pxlx = 200;
    s().ShowCursors();
    EXPECT_EQ(Snapshot(), shown);

    // A command that went well hears of the status panel's failure.
    forms_.Fcore = nullptr;
    EXPECT_THROW({ CursorXHidden hidden(s()); }, std::logic_error);
    forms_.Fcore = core_.get();
    EXPECT_TRUE(s().CursorXShown);
    EXPECT_EQ(Snapshot(), shown);
}

TEST_F(CursorTest, GuidesDrawnTwiceRestoreThePixels)
{
    const QImage before = Snapshot();
    s().GuidePoint.Pxlx = 120;
    s().GuidePoint.Pxly = 130;
    s().DrawGuides();
    EXPECT_EQ(Px(5, 130), CanvasRgb(255, 0, 0));
    EXPECT_EQ(Px(120, 5), CanvasRgb(255, 0, 0));
    s().DrawGuides();
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(CursorTest, ScaleMissingReportsNoDiagramOrNoScale)
{
    prompts_.Clear();
    EXPECT_FALSE(s().ScaleMissing());
    core_->Scale = 0;
    EXPECT_TRUE(s().ScaleMissing());
    core_->CurrentDiagram = -1;
    EXPECT_TRUE(s().ScaleMissing());
    EXPECT_EQ(prompts_.Texts(),
              (QStringList{QStringLiteral("Enter a measurement to establish scale"),
                           QStringLiteral("No diagram open")}));
}

} // namespace
