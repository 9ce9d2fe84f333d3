#include "storefixture.h"

#include <array>

namespace
{

template <typename Kind> class VisibleSets : public StoreOn<Kind>
{
};
TYPED_TEST_SUITE(VisibleSets, StoreKinds, StoreKindNames);

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

TYPED_TEST(VisibleSets, SegmentsOnHiddenOrMissingLayersAreLeftOut)
{
    this->AddLayer(1, QStringLiteral("Hidden"), VisibHidden);
    this->AddLayer(2, QStringLiteral("Faint"), VisibFaint);
    this->StoreSeg(0, 0, 10, 0);    // 0 bold
    this->StoreSeg(0, 0, 10, 0, 1); // 1 hidden
    this->StoreSeg(0, 0, 10, 0, 2); // 2 faint
    this->StoreSeg(0, 0, 10, 0, 9); // 3 on a layer without a row
    this->Core().OpenVisibleSegments();
    const auto& rows = this->Core().VisibleSegments.Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Segnum, 0);
    EXPECT_EQ(rows[0].Visib, VisibBold);
    EXPECT_EQ(rows[1].Segnum, 2);
    EXPECT_EQ(rows[1].Visib, VisibFaint);
    EXPECT_EQ(rows[1].Lenx2, 10);

    this->Core().OpenSegmentsAtPoint(1);
    ASSERT_EQ(this->Core().SegmentsAtPoint.RecordCount(), 2);
    EXPECT_EQ(this->Core().SegmentsAtPoint.Current().Segnum, 0);
    EXPECT_EQ(this->Core().SegmentsAtPoint.Current().ToPt, 1);
}

// Each segment at the point once, whichever of its ends is there (both in a
// loop), on the shown layers, in number order, and nothing of another
// diagram's segments with the same ends.
TYPED_TEST(VisibleSets, SegmentsAtAPointComeOnceEachInNumberOrder)
{
    this->AddLayer(1, QStringLiteral("Hidden"), VisibHidden);
    this->AddLayer(2, QStringLiteral("Faint"), VisibFaint);
    const QString row = QStringLiteral("INSERT INTO seg (Dgnum, Segnum, FromPt, ToPt, SegType, "
                                       "Layernum) VALUES (%1, %2, %3, %4, 2, %5)");
    const int rows[][5] = {{1, 8, 4, 1, 0}, {1, 2, 1, 1, 0}, {1, 5, 1, 6, 2}, {1, 3, 1, 7, 1},
                           {1, 0, 6, 7, 0}, {1, 6, 3, 1, 2}, {2, 1, 1, 4, 0}, {2, 4, 1, 1, 0}};
    for (const auto& r : rows)
        this->Exec(row.arg(r[0]).arg(r[1]).arg(r[2]).arg(r[3]).arg(r[4]));

    this->Core().OpenSegmentsAtPoint(1);
    std::vector<std::array<int, 3>> read;
    for (const PointSegmentRow& r : this->Core().SegmentsAtPoint.Rows())
        read.push_back({r.Segnum, r.FromPt, r.ToPt});
    EXPECT_EQ(read, (std::vector<std::array<int, 3>>{{2, 1, 1}, {5, 1, 6}, {6, 3, 1}, {8, 4, 1}}));
}

TYPED_TEST(VisibleSets, CursorStaysOnTheEndRowsAndFlagsThem)
{
    for (int i = 0; i < 3; ++i) {
        this->StoreSeg(i, 0, i + 1, 0);
    }
    this->Core().OpenVisibleSegments();
    auto& walk = this->Core().VisibleSegments;
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

TYPED_TEST(VisibleSets, FaintLabelsComeBeforeBoldOnesAndHiddenOnesNever)
{
    this->AddLayer(1, QStringLiteral("Faint"), VisibFaint);
    this->AddLayer(2, QStringLiteral("Hidden"), VisibHidden);
    this->Core().AddText(Pt(0, 0), QStringLiteral("bold"), 0);
    this->Core().AddText(Pt(1, 0), QStringLiteral("faint"), 1);
    this->Core().AddText(Pt(2, 0), QStringLiteral("hidden"), 2);
    // Labelled in the reverse of their points' order, and one on a layer
    // the diagram has no row for.
    TPointRec three = Pt(3, 0);
    this->Core().InsertPoint(three);
    TPointRec four = Pt(4, 0);
    this->Core().InsertPoint(four);
    this->Core().AddText(four, QStringLiteral("bold 4"), 0);
    this->Core().AddText(three, QStringLiteral("bold 3"), 0);
    this->Core().AddText(Pt(5, 0), QStringLiteral("no layer"), 9);
    this->Core().OpenVisibleText();
    const auto& rows = this->Core().VisibleTexts.Rows();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].Text, QStringLiteral("faint"));
    EXPECT_EQ(rows[1].Text, QStringLiteral("bold"));
    EXPECT_EQ(rows[1].Pointnum, 0);
    EXPECT_EQ(rows[2].Text, QStringLiteral("bold 3"));
    EXPECT_EQ(rows[2].Pointnum, three.Pointnum);
    EXPECT_EQ(rows[3].Text, QStringLiteral("bold 4"));
    EXPECT_LT(three.Pointnum, four.Pointnum);
}

TYPED_TEST(VisibleSets, VisiblePointsAreThoseOfTheCurrentStamp)
{
    TPointRec a = Pt(0, 0);
    a.Rprts = 45000;
    this->Core().InsertPoint(a);
    TPointRec b = Pt(1, 0);
    b.Rprts = 45001;
    b.Pxlx = 77;
    this->Core().InsertPoint(b);
    this->Core().RedrawStamp = 45001;
    this->Core().OpenVisiblePoints();
    ASSERT_EQ(this->Core().VisiblePoints.RecordCount(), 1);
    EXPECT_EQ(this->Core().VisiblePoints.Current().Pointnum, 1);
    EXPECT_EQ(this->Core().VisiblePoints.Current().Pxlx, 77);
}

// Two drawn points in pixel column 60 at the same y length, and one below
// them in column 50.
template <typename Kind> class PointInLine : public StoreOn<Kind>
{
  protected:
    void SetUp() override
    {
        StoreOn<Kind>::SetUp();
        this->Core().RedrawStamp = 45100.5;
        for (const Extended x : {1.25, 1.0}) {
            TPointRec p = Place(x, 2, 60, 80);
            p.Rprts = this->Core().RedrawStamp;
            this->Core().InsertPoint(p);
        }
        TPointRec below = Place(1, 5, 50, 120);
        below.Rprts = this->Core().RedrawStamp;
        this->Core().InsertPoint(below);
    }
};

TYPED_TEST_SUITE(PointInLine, StoreKinds, StoreKindNames);

TYPED_TEST(PointInLine, SeveralMatchesWarnOnceAndTheDirectionChooses)
{
    TPointRec found;
    ASSERT_TRUE(this->Core().FindPointInLine(Place(0, 2, 50, 80), Place(0, 2, 60, 80), found));
    EXPECT_EQ(found.Lenx, 1.0); // moving right: the smaller length
    EXPECT_EQ(this->prompts_.Texts(),
              QStringList{QStringLiteral("More than one point at X, zoom-in to distinguish")});
    ASSERT_TRUE(this->Core().FindPointInLine(Place(0, 2, 70, 80), Place(0, 2, 60, 80), found));
    EXPECT_EQ(found.Lenx, 1.25); // moving left: the larger
    EXPECT_EQ(this->prompts_.Texts().size(), 2);
}

TYPED_TEST(PointInLine, ColumnMovesMatchTheLengthXAndOnlyTheCurrentStamp)
{
    TPointRec found;
    ASSERT_TRUE(this->Core().FindPointInLine(Place(1, 0, 50, 100), Place(1, 0, 50, 120), found));
    EXPECT_EQ(found.Pointnum, 2);
    ASSERT_TRUE(this->Core().FindPointInLine(Place(1, 9, 50, 140), Place(1, 9, 50, 120), found));
    EXPECT_EQ(found.Pointnum, 2);

    this->Core().RedrawStamp = 45200;
    EXPECT_FALSE(this->Core().FindPointInLine(Place(1, 0, 50, 100), Place(1, 0, 50, 120), found));
    EXPECT_EQ(found.Pointnum, -1);
}

TYPED_TEST(PointInLine, DiagonalMoveFindsNothing)
{
    TPointRec found = Place(3, 3, 3, 3);
    EXPECT_FALSE(this->Core().FindPointInLine(Place(0, 2, 50, 80), Place(0, 2, 60, 90), found));
    EXPECT_EQ(found.Pointnum, -1);
    EXPECT_EQ(found.Lenx, 0);
    TSegRec seg;
    seg.Segnum = 4;
    EXPECT_FALSE(this->Core().FindSegmentInLine(Place(0, 2, 50, 80), Place(0, 2, 60, 90), seg));
    EXPECT_EQ(seg.Segnum, -1);
    EXPECT_TRUE(this->prompts_.Texts().isEmpty());
}

TYPED_TEST(PointInLine, PointsOfAnotherDiagramWithTheSameStampNeverMatch)
{
    // Diagram 2 drew its point into the same pixel column with the same
    // stamp; only the open diagram's points are the visible ones.
    this->NewDiagram(2, QStringLiteral("Barn"));
    this->AddLayer(0, QStringLiteral("Default layer"), VisibBold, 2);
    const TDateTime stamp = this->Core().RedrawStamp;
    ASSERT_TRUE(this->Core().OpenDiagram(2));
    TPointRec other = Place(7, 2, 60, 80);
    other.Rprts = stamp;
    this->Core().InsertPoint(other);
    ASSERT_TRUE(this->Core().OpenDiagram(1));
    this->Core().RedrawStamp = stamp;
    TPointRec found;
    ASSERT_TRUE(this->Core().FindPointInLine(Place(8, 2, 70, 80), Place(8, 2, 60, 80), found));
    EXPECT_EQ(found.Lenx, 1.25); // not 7, the other diagram's
    EXPECT_EQ(found.Dgnum, 1);
}

// Two vertical lines at x 10 and x 20 spanning y 0..10, two horizontal ones
// at y 4 and y 8 spanning x 0..30, and a hidden vertical line at x 15; the
// fit puts x 10 at column 150 (scale 10).
template <typename Kind> class SegmentInLine : public StoreOn<Kind>
{
  protected:
    void SetUp() override
    {
        StoreOn<Kind>::SetUp();
        this->AddLayer(1, QStringLiteral("Hidden"), VisibHidden);
        this->StoreSeg(10, 0, 10, 10); // 0
        this->StoreSeg(20, 10, 20, 0); // 1
        this->StoreSeg(0, 4, 30, 4);   // 2
        this->StoreSeg(30, 8, 0, 8);   // 3
        this->StoreSeg(15, 0, 15, 10, 1);
        ASSERT_TRUE(this->Fit(400, 400)); // 300 / 30 = 10
    }

    bool Find(TPointRec from, TPointRec to, int32_t& segnum)
    {
        TSegRec s;
        const bool found = this->Core().FindSegmentInLine(from, to, s);
        segnum = s.Segnum;
        return found;
    }
};

TYPED_TEST_SUITE(SegmentInLine, StoreKinds, StoreKindNames);

TYPED_TEST(SegmentInLine, FindsTheLineCrossedInEachDirection)
{
    int32_t n = -1;
    // Right onto column 150 (x 10) at y 5.
    ASSERT_TRUE(this->Find(Place(9, 5, 149, 100), Place(9, 5, 150, 100), n));
    EXPECT_EQ(n, 0);
    // Left onto column 250 (x 20).
    ASSERT_TRUE(this->Find(Place(21, 5, 251, 100), Place(21, 5, 251 - 1, 100), n));
    EXPECT_EQ(n, 1);
    // Down onto row 90 (y 4) at x 12.
    ASSERT_TRUE(this->Find(Place(12, 3.9, 170, 89), Place(12, 3.9, 170, 90), n));
    EXPECT_EQ(n, 2);
    // Up onto row 130 (y 8).
    ASSERT_TRUE(this->Find(Place(12, 8.1, 170, 131), Place(12, 8.1, 170, 130), n));
    EXPECT_EQ(n, 3);
}

TYPED_TEST(SegmentInLine, OutsideTheSpanOrOnAHiddenLayerNothingIsFound)
{
    int32_t n = 0;
    EXPECT_FALSE(this->Find(Place(9, 11, 149, 160), Place(9, 11, 150, 160), n));
    EXPECT_EQ(n, -1);
    EXPECT_FALSE(this->Find(Place(14, 5, 199, 100), Place(14, 5, 200, 100), n));
}

} // namespace
