#include "storefixture.h"

namespace
{

using PointOperations = StoreTest;

TEST_F(PointOperations, LengthLookupWithoutMatchKeepsTheRecordAndDerivesPixels)
{
    StoreSeg(0, 0, 100, 0);
    ASSERT_TRUE(Fit());
    TPointRec p = Pt(10, 20, 3);
    EXPECT_FALSE(Core().FindPointAtLength(p));
    EXPECT_EQ(p.Pointnum, -1);
    EXPECT_EQ(p.Lenx, 10);
    EXPECT_EQ(p.Leny, 20);
    EXPECT_EQ(p.Layernum, 3);
    EXPECT_EQ(p.Pxlx, 140);
    EXPECT_EQ(p.Pxly, 230);
}

TEST_F(PointOperations, LengthLookupIsExactAndFlagsSeveralMatches)
{
    TPointRec a = Pt(0.1 + 0.2, 5);
    Core().InsertPoint(a);
    TPointRec near = Pt(0.3, 5);
    EXPECT_FALSE(Core().FindPointAtLength(near)); // 0.1 + 0.2 is not 0.3
    TPointRec same = Pt(0.1 + 0.2, 5);
    ASSERT_TRUE(Core().FindPointAtLength(same));
    EXPECT_EQ(same.Pointnum, 0);
    EXPECT_FALSE(same.Multiple);

    TPointRec b = Pt(0.1 + 0.2, 5);
    Core().InsertPoint(b);
    TPointRec again = Pt(0.1 + 0.2, 5);
    ASSERT_TRUE(Core().FindPointAtLength(again));
    EXPECT_EQ(again.Pointnum, 0);
    EXPECT_TRUE(again.Multiple);
}

TEST_F(PointOperations, PixelLookupFindsTheOnlyMatchOrTheSecondOfSeveral)
{
    TPointRec a = Pt(1, 1);
    a.Pxlx = 900;
    a.Pxly = 900;
    Core().InsertPoint(a); // the last row in index order
    TPointRec p;
    p.Pxlx = 900;
    p.Pxly = 900;
    ASSERT_TRUE(Core().FindPointAtPixel(p, false));
    EXPECT_EQ(p.Pointnum, 0);
    EXPECT_FALSE(p.Multiple);

    for (int i = 0; i < 2; ++i) {
        TPointRec q = Pt(2 + i, 2);
        q.Pxlx = 40;
        q.Pxly = 60;
        Core().InsertPoint(q);
    }
    TPointRec r;
    r.Pxlx = 40;
    r.Pxly = 60;
    ASSERT_TRUE(Core().FindPointAtPixel(r, false));
    EXPECT_EQ(r.Pointnum, 2);
    EXPECT_TRUE(r.Multiple);

    r.Pxlx = 41;
    EXPECT_FALSE(Core().FindPointAtPixel(r, false));
    EXPECT_EQ(r.Pointnum, -1);
}

TEST_F(PointOperations, VisibleOnlyPixelLookupNeedsTheCurrentStamp)
{
    TPointRec old = Pt(1, 1);
    old.Pxlx = 70;
    old.Pxly = 80;
    old.Rprts = 45000.5;
    Core().InsertPoint(old);
    TPointRec drawn = Pt(2, 1);
    drawn.Pxlx = 70;
    drawn.Pxly = 80;
    drawn.Rprts = 45001.25;
    Core().InsertPoint(drawn);
    Core().RedrawStamp = 45001.25;

    TPointRec p;
    p.Pxlx = 70;
    p.Pxly = 80;
    ASSERT_TRUE(Core().FindVisiblePointAtPixel(p));
    EXPECT_EQ(p.Pointnum, 1);
    EXPECT_FALSE(p.Multiple);

    Core().RedrawStamp = 45002;
    EXPECT_FALSE(Core().FindVisiblePointAtPixel(p));
}

TEST_F(PointOperations, NumbersFollowTheHighestStoredNumber)
{
    TPointRec first = Pt(1, 1);
    Core().InsertPoint(first);
    EXPECT_EQ(first.Pointnum, 0);
    EXPECT_GT(first.CreateTS, 40000);

    TPointRec numbered = Pt(2, 2);
    numbered.Pointnum = 7;
    Core().InsertPoint(numbered);
    EXPECT_EQ(Core().LastPointNum, 7);
    TPointRec next = Pt(3, 3);
    Core().InsertPoint(next); // not 1, 2 ... 7 again
    EXPECT_EQ(next.Pointnum, 8);

    TPointRec twice = Pt(4, 4);
    twice.Pointnum = 7;
    EXPECT_THROW(Core().InsertPoint(twice), tables::EngineError);
    TPointRec p;
    ASSERT_TRUE(Core().LoadPoint(7, p));
    EXPECT_EQ(p.Lenx, 2);
}

TEST_F(PointOperations, EnsureStoredReusesPointsAtTheSameLengthsAndLeavesNumberedOnes)
{
    TPointRec a = Pt(5, 6);
    Core().EnsurePointStored(a);
    EXPECT_EQ(a.Pointnum, 0);
    TPointRec b = Pt(5, 6);
    Core().EnsurePointStored(b);
    EXPECT_EQ(b.Pointnum, 0);

    TPointRec numbered = Pt(9, 9);
    numbered.Pointnum = 4;
    Core().EnsurePointStored(numbered);
    EXPECT_EQ(Count(QStringLiteral("point")), 1);
}

TEST_F(PointOperations, StorePointUpdatesAnExistingRowOrInsertsANewOne)
{
    TPointRec a = Pt(5, 6);
    Core().InsertPoint(a);
    a.Rprts = 45010;
    a.Dgnum = 99; // the open diagram is written, not the record's
    Core().StorePoint(a);
    EXPECT_EQ(Count(QStringLiteral("point")), 1);
    EXPECT_EQ(Count(QStringLiteral("point"), QStringLiteral("Dgnum = 1 AND Rprts = 45010")), 1);

    TPointRec gone = Pt(1, 2);
    gone.Pointnum = 12;
    Core().StorePoint(gone);
    EXPECT_EQ(Count(QStringLiteral("point"), QStringLiteral("Pointnum = 12")), 1);
}

TEST_F(PointOperations, TextTestAndLoadOfAMissingPoint)
{
    TPointRec a = Pt(1, 1);
    Core().InsertPoint(a);
    EXPECT_FALSE(Core().PointHasText(0));
    Core().AddText(a, QStringLiteral("door"), 0);
    EXPECT_TRUE(Core().PointHasText(0));

    TPointRec p = Pt(3, 4);
    p.Dgnum = 5;
    p.Rprts = 123;
    EXPECT_FALSE(Core().LoadPoint(42, p));
    EXPECT_EQ(p.Pointnum, -1);
    EXPECT_EQ(p.Lenx, 0);
    EXPECT_EQ(p.Dgnum, 5);
    EXPECT_EQ(p.Rprts, 123);
}

} // namespace
