#include "storefixture.h"

namespace
{

using VisibleSets = StoreTest;

// A place of the X cursor at given lengths and pixels.
TPointRec Place(Extended x, Extended y, int32_t px, int32_t py)
{
    TPointRec p;
    p.Lenx = x;
    p.Leny = y;
    p.Pxlx = px;
    p.Pxly = py;
    return p;
}

TEST_F(VisibleSets, SegmentsOnHiddenOrMissingLayersAreLeftOut)
{
    AddLayer(1, QStringLiteral("Hidden"), VisibHidden);
    AddLayer(2, QStringLiteral("Faint"), VisibFaint);
    StoreSeg(0, 0, 10, 0);    // 0 bold
    StoreSeg(0, 0, 10, 0, 1); // 1 hidden
    StoreSeg(0, 0, 10, 0, 2); // 2 faint
    StoreSeg(0, 0, 10, 0, 9); // 3 on a layer without a row
    Core().OpenVisibleSegments();
    const auto& rows = Core().VisibleSegments.Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Segnum, 0);
    EXPECT_EQ(rows[0].Visib, VisibBold);
    EXPECT_EQ(rows[1].Segnum, 2);
    EXPECT_EQ(rows[1].Visib, VisibFaint);
    EXPECT_EQ(rows[1].Lenx2, 10);

    Core().OpenSegmentsAtPoint(1);
    ASSERT_EQ(Core().SegmentsAtPoint.RecordCount(), 2);
    EXPECT_EQ(Core().SegmentsAtPoint.Current().Segnum, 0);
    EXPECT_EQ(Core().SegmentsAtPoint.Current().ToPt, 1);
}

TEST_F(VisibleSets, CursorStaysOnTheEndRowsAndFlagsThem)
{
    for (int i = 0; i < 3; ++i) {
        StoreSeg(i, 0, i + 1, 0);
    }
    Core().OpenVisibleSegments();
    auto& walk = Core().VisibleSegments;
    EXPECT_TRUE(walk.Bof());
    walk.Prior();
    EXPECT_TRUE(walk.Bof());
    EXPECT_EQ(walk.Current().Segnum, 0);
    walk.Last();
    walk.Next();
    EXPECT_TRUE(walk.Eof());
    EXPECT_EQ(walk.Current().Segnum, 2);
    walk.Close();
    EXPECT_FALSE(walk.Active());
    EXPECT_THROW(walk.Current(), std::runtime_error);
}

TEST_F(VisibleSets, FaintLabelsComeBeforeBoldOnesAndHiddenOnesNever)
{
    AddLayer(1, QStringLiteral("Faint"), VisibFaint);
    AddLayer(2, QStringLiteral("Hidden"), VisibHidden);
    Core().AddText(Pt(0, 0), QStringLiteral("bold"), 0);
    Core().AddText(Pt(1, 0), QStringLiteral("faint"), 1);
    Core().AddText(Pt(2, 0), QStringLiteral("hidden"), 2);
    Core().OpenVisibleText();
    const auto& rows = Core().VisibleTexts.Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Text, QStringLiteral("faint"));
    EXPECT_EQ(rows[1].Text, QStringLiteral("bold"));
    EXPECT_EQ(rows[1].Pointnum, 0);
}

TEST_F(VisibleSets, VisiblePointsAreThoseOfTheCurrentStamp)
{
    TPointRec a = Pt(0, 0);
    a.Rprts = 45000;
    Core().InsertPoint(a);
    TPointRec b = Pt(1, 0);
    b.Rprts = 45001;
    b.Pxlx = 77;
    Core().InsertPoint(b);
    Core().RedrawStamp = 45001;
    Core().OpenVisiblePoints();
    ASSERT_EQ(Core().VisiblePoints.RecordCount(), 1);
    EXPECT_EQ(Core().VisiblePoints.Current().Pointnum, 1);
    EXPECT_EQ(Core().VisiblePoints.Current().Pxlx, 77);
}

// Two drawn points in pixel column 60 at the same y length, and one below
// them in column 50.
class PointInLine : public StoreTest
{
  protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        Core().RedrawStamp = 45100.5;
        for (const Extended x : {1.25, 1.0}) {
            TPointRec p = Place(x, 2, 60, 80);
            p.Rprts = Core().RedrawStamp;
            Core().InsertPoint(p);
        }
        TPointRec below = Place(1, 5, 50, 120);
        below.Rprts = Core().RedrawStamp;
        Core().InsertPoint(below);
    }
};

TEST_F(PointInLine, SeveralMatchesWarnOnceAndTheDirectionChooses)
{
    TPointRec found;
    ASSERT_TRUE(Core().FindPointInLine(Place(0, 2, 50, 80), Place(0, 2, 60, 80), found));
    EXPECT_EQ(found.Lenx, 1.0); // moving right: the smaller length
    EXPECT_EQ(prompts_.Texts(),
              QStringList{QStringLiteral("More than one point at X, zoom-in to distinguish")});
    ASSERT_TRUE(Core().FindPointInLine(Place(0, 2, 70, 80), Place(0, 2, 60, 80), found));
    EXPECT_EQ(found.Lenx, 1.25); // moving left: the larger
    EXPECT_EQ(prompts_.Texts().size(), 2);
}

TEST_F(PointInLine, ColumnMovesMatchTheLengthXAndOnlyTheCurrentStamp)
{
    TPointRec found;
    ASSERT_TRUE(Core().FindPointInLine(Place(1, 0, 50, 100), Place(1, 0, 50, 120), found));
    EXPECT_EQ(found.Pointnum, 2);
    ASSERT_TRUE(Core().FindPointInLine(Place(1, 9, 50, 140), Place(1, 9, 50, 120), found));
    EXPECT_EQ(found.Pointnum, 2);

    Core().RedrawStamp = 45200;
    EXPECT_FALSE(Core().FindPointInLine(Place(1, 0, 50, 100), Place(1, 0, 50, 120), found));
    EXPECT_EQ(found.Pointnum, -1);
}

TEST_F(PointInLine, APointOfAnotherDiagramIsNeverFoundEvenWithTheSameStamp)
{
    NewDiagram(2, QStringLiteral("Yard"));
    AddLayer(0, QStringLiteral("Default layer"), VisibBold, 2);
    ASSERT_TRUE(Core().OpenDiagram(2));
    TPointRec other = Place(1.5, 2, 60, 80);
    other.Pointnum = 7; // a number this diagram does not have
    other.Rprts = Core().RedrawStamp;
    Core().InsertPoint(other);
    ASSERT_TRUE(Core().OpenDiagram(1));
    TPointRec found;
    // Moving left takes the largest length: 1.25 of this diagram, not 1.5.
    ASSERT_TRUE(Core().FindPointInLine(Place(0, 2, 70, 80), Place(0, 2, 60, 80), found));
    EXPECT_EQ(found.Lenx, 1.25);
    EXPECT_EQ(found.Dgnum, 1);
}

TEST_F(PointInLine, DiagonalMoveRunsNoQuery)
{
    Core().Query11.SQL.clear();
    Core().Query10.SQL.clear();
    TPointRec found = Place(3, 3, 3, 3);
    EXPECT_FALSE(Core().FindPointInLine(Place(0, 2, 50, 80), Place(0, 2, 60, 90), found));
    EXPECT_EQ(found.Pointnum, -1);
    EXPECT_EQ(found.Lenx, 0);
    TSegRec seg;
    seg.Segnum = 4;
    EXPECT_FALSE(Core().FindSegmentInLine(Place(0, 2, 50, 80), Place(0, 2, 60, 90), seg));
    EXPECT_EQ(seg.Segnum, -1);
    EXPECT_TRUE(Core().Query11.SQL.isEmpty());
    EXPECT_TRUE(Core().Query10.SQL.isEmpty());
}

// Two vertical lines at x 10 and x 20 spanning y 0..10, two horizontal ones
// at y 4 and y 8 spanning x 0..30, and a hidden vertical line at x 15; the
// fit puts x 10 at column 150 (scale 10).
class SegmentInLine : public StoreTest
{
  protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        AddLayer(1, QStringLiteral("Hidden"), VisibHidden);
        StoreSeg(10, 0, 10, 10); // 0
        StoreSeg(20, 10, 20, 0); // 1
        StoreSeg(0, 4, 30, 4);   // 2
        StoreSeg(30, 8, 0, 8);   // 3
        StoreSeg(15, 0, 15, 10, 1);
        ASSERT_TRUE(Fit(400, 400)); // 300 / 30 = 10
    }

    bool Find(TPointRec from, TPointRec to, int32_t& segnum)
    {
        TSegRec s;
        const bool found = Core().FindSegmentInLine(from, to, s);
        segnum = s.Segnum;
        return found;
    }
};

TEST_F(SegmentInLine, FindsTheLineCrossedInEachDirection)
{
    int32_t n = -1;
    // Right onto column 150 (x 10) at y 5.
    ASSERT_TRUE(Find(Place(9, 5, 149, 100), Place(9, 5, 150, 100), n));
    EXPECT_EQ(n, 0);
    // Left onto column 250 (x 20).
    ASSERT_TRUE(Find(Place(21, 5, 251, 100), Place(21, 5, 251 - 1, 100), n));
    EXPECT_EQ(n, 1);
    // Down onto row 90 (y 4) at x 12.
    ASSERT_TRUE(Find(Place(12, 3.9, 170, 89), Place(12, 3.9, 170, 90), n));
    EXPECT_EQ(n, 2);
    // Up onto row 130 (y 8).
    ASSERT_TRUE(Find(Place(12, 8.1, 170, 131), Place(12, 8.1, 170, 130), n));
    EXPECT_EQ(n, 3);
}

TEST_F(SegmentInLine, OutsideTheSpanOrOnAHiddenLayerNothingIsFound)
{
    int32_t n = 0;
    EXPECT_FALSE(Find(Place(9, 11, 149, 160), Place(9, 11, 150, 160), n));
    EXPECT_EQ(n, -1);
    EXPECT_FALSE(Find(Place(14, 5, 199, 100), Place(14, 5, 200, 100), n));
}

} // namespace
