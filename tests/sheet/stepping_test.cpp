#include "sheetfixture.h"

#include "sheet/redraw.h"
#include "store/store.h"

#include <QComboBox>
#include <QPushButton>

namespace
{

class SteppingTest : public SheetTest
{
  protected:
    TPointRec& X() { return sheet_->Sheet.CursorX(); }
    TPointRec& O() { return sheet_->Sheet.CursorO(); }

    // floor, wall, a diagonal apart from both and an arc.
    void StoreDrawing()
    {
        floor_ = StoreSeg(0, 0, 100, 0);
        wall_ = StoreSeg(100, 0, 100, 50);
        diagonal_ = StoreSeg(20, 10, 60, 40);
    }

    void Step(int mode, QPushButton* button)
    {
        sheet_->ComboBox1->setCurrentIndex(mode);
        button->click();
    }

    void PutX(int32_t pointnum)
    {
        sheet_->Sheet.HideCursors();
        ASSERT_TRUE(core_->LoadPoint(pointnum, X()));
        sheet_->Sheet.ShowCursors();
    }

    TSegRec floor_, wall_, diagonal_;
};

TEST_F(SteppingTest, SegmentsWrapFromLastToFirstWithTheNotice)
{
    StoreDrawing();
    ShowDrawing();
    sheet_->Sheet.ShowCursors();
    Step(1, sheet_->FirstBtn);
    EXPECT_EQ(prompts_.Flashes().last(), QStringLiteral("3 Segments visible"));
    EXPECT_EQ(core_->CurrentSegment.Segnum, floor_.Segnum);
    EXPECT_EQ(O().Pointnum, floor_.FromPoint.Pointnum);
    EXPECT_EQ(X().Pointnum, floor_.ToPoint.Pointnum);
    Step(1, sheet_->PrevBtn);
    EXPECT_EQ(core_->CurrentSegment.Segnum, diagonal_.Segnum);
    EXPECT_EQ(prompts_.Flashes().last(), QStringLiteral("Already at start, resuming from end"));
    Step(1, sheet_->NextBtn);
    EXPECT_EQ(core_->CurrentSegment.Segnum, floor_.Segnum);
    EXPECT_EQ(prompts_.Flashes().last(), QStringLiteral("Already at end, resuming from start"));
    Step(1, sheet_->NextBtn);
    EXPECT_EQ(core_->CurrentSegment.Segnum, wall_.Segnum);
    EXPECT_EQ(X().Pointnum, wall_.ToPoint.Pointnum);
}

// The seek that starts each step: X's row when X is a visible point (else
// the first row); the current segment's row, or the last one numbered below
// it (else the first).
TEST_F(SteppingTest, StepsPickUpFromTheRowOfXOrOfTheCurrentSegment)
{
    for (int i = 0; i < 6; ++i)
        StoreSeg(10 * i, 0, 10 * i + 10, 0); // points 0..6, segments 0..5
    core_->AddText(Pt(100, 100), QStringLiteral("off the drawing"), 2);
    ShowDrawing();
    const auto& points = core_->VisiblePoints.Rows();
    ASSERT_EQ(points.size(), 7u);
    sheet_->Sheet.ShowCursors();
    PutX(4);
    Step(0, sheet_->NextBtn);
    EXPECT_EQ(X().Pointnum, 5);
    Step(0, sheet_->PrevBtn);
    Step(0, sheet_->PrevBtn);
    EXPECT_EQ(X().Pointnum, 3);
    // X on a point that was not drawn: the walk goes on from the first row.
    TPointRec hidden = Pt(100, 100);
    ASSERT_TRUE(core_->FindPointAtLength(hidden));
    PutX(hidden.Pointnum);
    Step(0, sheet_->NextBtn);
    EXPECT_EQ(X().Pointnum, points[1].Pointnum);

    // A current segment gone from the set: the walk goes on from the last
    // one numbered below it.
    sheet_->Sheet.HideCursors();
    core_->CurrentSegment.Segnum = 3;
    core_->DeleteSegment(core_->CurrentDiagram, 3);
    sheet_->Redraw.RefreshSheet();
    sheet_->Sheet.ShowCursors();
    core_->CurrentSegment.Segnum = 3;
    Step(1, sheet_->NextBtn);
    EXPECT_EQ(core_->CurrentSegment.Segnum, 4);
    core_->CurrentSegment.Segnum = 3;
    Step(1, sheet_->PrevBtn);
    EXPECT_EQ(core_->CurrentSegment.Segnum, 1);
    core_->CurrentSegment.Segnum = -5;
    Step(1, sheet_->NextBtn);
    EXPECT_EQ(core_->CurrentSegment.Segnum, 1);
}

TEST_F(SteppingTest, PointsMoveXOnlyAndWrapBackwardsToTheLast)
{
    StoreDrawing();
    ShowDrawing();
    sheet_->Sheet.ShowCursors();
    const TPointRec o = O();
    Step(0, sheet_->FirstBtn);
    EXPECT_EQ(prompts_.Flashes().last(), QStringLiteral("5 Points visible"));
    EXPECT_EQ(X().Pointnum, core_->VisiblePoints.Rows().front().Pointnum);
    Step(0, sheet_->PrevBtn);
    EXPECT_EQ(X().Pointnum, core_->VisiblePoints.Rows().back().Pointnum);
    EXPECT_EQ(prompts_.Flashes().last(), QStringLiteral("Already at start, resuming from end"));
    EXPECT_EQ(O().Pointnum, o.Pointnum);
    // The walk picks up from X wherever X was put.
    PutX(wall_.FromPoint.Pointnum);
    Step(0, sheet_->NextBtn);
    EXPECT_EQ(X().Pointnum, wall_.ToPoint.Pointnum);
}

TEST_F(SteppingTest, SegmentsAtXTurnEachSegmentSoThatItEndsAtX)
{
    StoreDrawing();
    ShowDrawing();
    sheet_->Sheet.ShowCursors();
    const int32_t corner = floor_.ToPoint.Pointnum; // floor ends and wall starts here
    PutX(corner);
    Step(2, sheet_->FirstBtn);
    EXPECT_EQ(prompts_.Flashes().last(),
              QStringLiteral("2 Segments for Point #") + QString::number(corner));
    EXPECT_EQ(core_->CurrentSegment.Segnum, floor_.Segnum);
    EXPECT_EQ(O().Pointnum, floor_.FromPoint.Pointnum);
    Step(2, sheet_->NextBtn);
    EXPECT_EQ(core_->CurrentSegment.Segnum, wall_.Segnum);
    EXPECT_EQ(core_->CurrentSegment.ToPoint.Pointnum, corner);
    EXPECT_EQ(O().Pointnum, wall_.ToPoint.Pointnum);
    EXPECT_EQ(X().Pointnum, corner);
}

TEST_F(SteppingTest, SegmentsAtXWithOneSegmentSayOnlyOneAndStay)
{
    StoreDrawing();
    ShowDrawing();
    sheet_->Sheet.ShowCursors();
    const int32_t end = wall_.ToPoint.Pointnum;
    PutX(end);
    core_->CurrentSegment = wall_; // X is an end: "+" finds no list yet
    const TPointRec o = O();
    Step(2, sheet_->NextBtn);
    EXPECT_EQ(prompts_.Flashes().last(), QStringLiteral("No more items - only one item found"));
    EXPECT_EQ(O().Pointnum, o.Pointnum);
    Step(2, sheet_->PrevBtn);
    EXPECT_EQ(prompts_.Flashes().last(), QStringLiteral("No more items - only one item found"));
    Step(2, sheet_->FirstBtn);
    EXPECT_EQ(O().Pointnum, wall_.FromPoint.Pointnum);
    EXPECT_EQ(X().Pointnum, end);

    // An unstored X has no segments.
    sheet_->Sheet.HideCursors();
    X().Pointnum = -1;
    sheet_->Sheet.ShowCursors();
    Step(2, sheet_->FirstBtn);
    EXPECT_EQ(prompts_.Texts().last(), QStringLiteral("X is not on a stored point, so no segments "
                                                      "meet there: put X on a point first"));
}

TEST_F(SteppingTest, ArcsAndDiagonalsFindOnlyTheirOwnKind)
{
    StoreDrawing();
    ShowDrawing();
    sheet_->Sheet.ShowCursors();
    Step(1, sheet_->FirstBtn);
    const TPointRec x = X();
    Step(3, sheet_->NextBtn);
    EXPECT_EQ(prompts_.Texts().last(), QStringLiteral("No Arcs visible"));
    EXPECT_EQ(core_->CurrentSegment.Segnum, floor_.Segnum);
    EXPECT_EQ(X().Pointnum, x.Pointnum);

    Step(4, sheet_->FirstBtn);
    EXPECT_EQ(core_->CurrentSegment.Segnum, diagonal_.Segnum);
    // The sole diagonal is found again both ways.
    Step(4, sheet_->NextBtn);
    EXPECT_EQ(core_->CurrentSegment.Segnum, diagonal_.Segnum);
    Step(4, sheet_->PrevBtn);
    EXPECT_EQ(core_->CurrentSegment.Segnum, diagonal_.Segnum);
    EXPECT_EQ(O().Pointnum, diagonal_.FromPoint.Pointnum);
    EXPECT_EQ(X().Pointnum, diagonal_.ToPoint.Pointnum);
}

TEST_F(SteppingTest, ArcIsNeverADiagonalAndASoleArcIsFoundAgain)
{
    StoreSeg(0, 0, 100, 0);
    const TSegRec arc = StoreSeg(50, 25, 70, 25, 0, SegArc);
    ShowDrawing();
    sheet_->Sheet.ShowCursors();
    Step(3, sheet_->FirstBtn);
    EXPECT_EQ(core_->CurrentSegment.Segnum, arc.Segnum);
    EXPECT_EQ(O().Pointnum, arc.FromPoint.Pointnum);
    Step(3, sheet_->NextBtn);
    EXPECT_EQ(core_->CurrentSegment.Segnum, arc.Segnum);
    Step(3, sheet_->PrevBtn);
    EXPECT_EQ(core_->CurrentSegment.Segnum, arc.Segnum);
    Step(4, sheet_->FirstBtn);
    EXPECT_EQ(prompts_.Texts().last(), QStringLiteral("No Diagonals visible"));
}

TEST_F(SteppingTest, TextLabelsPutXOnTheirPointsAndDoNothingWithoutLabels)
{
    StoreDrawing();
    ShowDrawing();
    sheet_->Sheet.ShowCursors();
    const TPointRec x = X();
    const auto flashes = prompts_.Flashes().size();
    Step(5, sheet_->FirstBtn);
    EXPECT_EQ(X().Pointnum, x.Pointnum);
    EXPECT_EQ(prompts_.Flashes().size(), flashes);

    core_->AddText(wall_.ToPoint, QStringLiteral("Gate"), 0);
    sheet_->Redraw.RefreshKeepingCursors();
    Step(5, sheet_->FirstBtn);
    EXPECT_EQ(prompts_.Flashes().last(), QStringLiteral("1 Text labels visible"));
    EXPECT_EQ(X().Pointnum, wall_.ToPoint.Pointnum);
}

// Each mode's notice names the end the walk ran past: the start going
// backwards, the end going forwards, also when a search goes round.
TEST_F(SteppingTest, EveryWrapNoticeNamesTheDirectionWalked)
{
    StoreDrawing();
    core_->AddText(floor_.FromPoint, QStringLiteral("Gate"), 0);
    core_->AddText(wall_.ToPoint, QStringLiteral("Post"), 0);
    ShowDrawing();
    sheet_->Sheet.ShowCursors();
    const QString atStart = QStringLiteral("Already at start, resuming from end");
    const QString atEnd = QStringLiteral("Already at end, resuming from start");
    enum { Points = 0, Segments = 1, Arcs = 3, Diagonals = 4, Text = 5 };
    for (int mode : {Points, Segments, Diagonals, Text}) {
        Step(mode, sheet_->FirstBtn);
        // The sole diagonal is the last row: the search back from it goes
        // round past the first.
        prompts_.Clear();
        Step(mode, sheet_->PrevBtn);
        EXPECT_EQ(prompts_.Flashes(), QStringList{atStart}) << "mode " << mode;
        prompts_.Clear();
        Step(mode, sheet_->NextBtn);
        EXPECT_EQ(prompts_.Flashes(), QStringList{atEnd}) << "mode " << mode;
    }
    // No arc: a full round backwards runs past the start only.
    prompts_.Clear();
    Step(Arcs, sheet_->PrevBtn);
    EXPECT_EQ(prompts_.Flashes(), QStringList{atStart});
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("No Arcs visible")});
    prompts_.Clear();
    Step(Arcs, sheet_->NextBtn);
    EXPECT_EQ(prompts_.Flashes(), QStringList{atEnd});
}

// With no visible segment at all the first program's searches say nothing.
TEST_F(SteppingTest, SearchesOfAnEmptyDrawingSayNothing)
{
    StoreSeg(0, 0, 100, 50, 2); // on the hidden layer
    ShowDrawing();
    sheet_->Sheet.ShowCursors();
    ASSERT_TRUE(core_->VisibleSegments.IsEmpty());
    prompts_.Clear();
    for (int mode : {3, 4})
        for (QPushButton* button : {sheet_->FirstBtn, sheet_->NextBtn, sheet_->PrevBtn})
            Step(mode, button);
    EXPECT_TRUE(prompts_.Texts().isEmpty());
    EXPECT_TRUE(prompts_.Flashes().isEmpty());
}

TEST_F(SteppingTest, ButtonsDoNothingWithoutAModeADiagramOrARefresh)
{
    StoreDrawing();
    // Not shown yet: no refresh has opened the visible points or labels.
    for (int mode : {0, 5, 2}) {
        Step(mode, sheet_->FirstBtn);
        Step(mode, sheet_->NextBtn);
    }
    ShowDrawing();
    sheet_->Sheet.ShowCursors();
    const TPointRec x = X();
    const auto flashes = prompts_.Flashes().size();
    Step(-1, sheet_->NextBtn);
    EXPECT_EQ(X().Pointnum, x.Pointnum);

    core_->CurrentDiagram = -1;
    Step(1, sheet_->NextBtn);
    EXPECT_EQ(X().Pointnum, x.Pointnum);
    EXPECT_EQ(prompts_.Flashes().size(), flashes);
    core_->CurrentDiagram = 1;
}

} // namespace
