#include "storefixture.h"

namespace
{

template <typename Kind> class PointOperations : public StoreOn<Kind>
{
};
TYPED_TEST_SUITE(PointOperations, StoreKinds, StoreKindNames);

TYPED_TEST(PointOperations, LengthLookupWithoutMatchKeepsTheRecordAndDerivesPixels)
{
    this->StoreSeg(0, 0, 100, 0);
    ASSERT_TRUE(this->Fit());
    TPointRec p = Pt(10, 20, 3);
    p.Multiple = true;
    EXPECT_FALSE(this->Core().FindPointAtLength(p));
    EXPECT_EQ(p.Pointnum, -1);
    EXPECT_FALSE(p.Multiple);
    EXPECT_EQ(p.Lenx, 10);
    EXPECT_EQ(p.Leny, 20);
    EXPECT_EQ(p.Layernum, 3);
    EXPECT_EQ(p.Pxlx, 140);
    EXPECT_EQ(p.Pxly, 230);
}

TYPED_TEST(PointOperations, LengthLookupIsExactAndFlagsSeveralMatches)
{
    TPointRec a = Pt(0.1 + 0.2, 5);
    this->Core().InsertPoint(a);
    TPointRec near = Pt(0.3, 5);
    EXPECT_FALSE(this->Core().FindPointAtLength(near)); // 0.1 + 0.2 is not 0.3
    TPointRec same = Pt(0.1 + 0.2, 5);
    ASSERT_TRUE(this->Core().FindPointAtLength(same));
    EXPECT_EQ(same.Pointnum, 0);
    EXPECT_FALSE(same.Multiple);

    TPointRec b = Pt(0.1 + 0.2, 5);
    this->Core().InsertPoint(b);
    TPointRec again = Pt(0.1 + 0.2, 5);
    ASSERT_TRUE(this->Core().FindPointAtLength(again));
    EXPECT_EQ(again.Pointnum, 0);
    EXPECT_TRUE(again.Multiple);
}

TYPED_TEST(PointOperations, LengthsAreKeptWithFullPrecisionWhateverTheDecimals)
{
    // A diagram shown with no decimals still keeps 10.4 as 10.4, and the
    // point is found again by the lengths typed.
    this->NewDiagram(2, QStringLiteral("Whole"), 0);
    this->AddLayer(0, QStringLiteral("Default layer"), VisibBold, 2);
    ASSERT_TRUE(this->Core().OpenDiagram(2));
    TSegRec s = Seg(0, 0, 10.4, 1.0 / 3);
    this->Core().InsertSegment(s);
    TPointRec p = Pt(10.4, 1.0 / 3);
    ASSERT_TRUE(this->Core().FindPointAtLength(p));
    EXPECT_EQ(p.Pointnum, s.ToPoint.Pointnum);
    EXPECT_EQ(p.Lenx, 10.4);
    EXPECT_EQ(p.Leny, 1.0 / 3);
    EXPECT_EQ(this->Core().FormatLength(p.Lenx), QStringLiteral("10"));
    EXPECT_EQ(this->Count(QStringLiteral("point"), QStringLiteral("Lenx = 10")), 0);
}

TYPED_TEST(PointOperations, PixelLookupFlagsSeveralMatches)
{
    TPointRec a = Pt(1, 1);
    a.Pxlx = 900;
    a.Pxly = 900;
    this->Core().InsertPoint(a);
    TPointRec p;
    p.Pxlx = 900;
    p.Pxly = 900;
    p.Multiple = true;
    ASSERT_TRUE(this->Core().FindPointAtPixel(p, false));
    EXPECT_EQ(p.Pointnum, 0);
    EXPECT_FALSE(p.Multiple);

    for (int i = 0; i < 2; ++i) {
        TPointRec q = Pt(2 + i, 2);
        q.Pxlx = 40;
        q.Pxly = 60;
        this->Core().InsertPoint(q);
    }
    TPointRec r;
    r.Pxlx = 40;
    r.Pxly = 60;
    ASSERT_TRUE(this->Core().FindPointAtPixel(r, false));
    EXPECT_TRUE(r.Multiple);
    // The first program takes the second of several in its index order,
    // the second program the lowest number.
    EXPECT_EQ(r.Pointnum, this->Firebird ? 1 : 2);

    r.Pxlx = 41;
    EXPECT_FALSE(this->Core().FindPointAtPixel(r, false));
    EXPECT_EQ(r.Pointnum, -1);
}

TYPED_TEST(PointOperations, VisibleOnlyPixelLookupNeedsTheCurrentStamp)
{
    TPointRec old = Pt(1, 1);
    old.Pxlx = 70;
    old.Pxly = 80;
    old.Rprts = 45000.5;
    this->Core().InsertPoint(old);
    TPointRec drawn = Pt(2, 1);
    drawn.Pxlx = 70;
    drawn.Pxly = 80;
    drawn.Rprts = 45001.25;
    this->Core().InsertPoint(drawn);
    this->Core().RedrawStamp = 45001.25;

    TPointRec p;
    p.Pxlx = 70;
    p.Pxly = 80;
    ASSERT_TRUE(this->Core().FindVisiblePointAtPixel(p));
    EXPECT_EQ(p.Pointnum, 1);
    EXPECT_FALSE(p.Multiple);
    EXPECT_EQ(p.Rprts, 45001.25);

    this->Core().RedrawStamp = 45002;
    EXPECT_FALSE(this->Core().FindVisiblePointAtPixel(p));
}

TYPED_TEST(PointOperations, NumberedPointsAreNotNumberedAgain)
{
    TPointRec first = Pt(1, 1);
    this->Core().InsertPoint(first);
    EXPECT_EQ(first.Pointnum, 0);
    EXPECT_GT(first.CreateTS, 40000);

    TPointRec numbered = Pt(2, 2);
    numbered.Pointnum = 7;
    this->Core().InsertPoint(numbered);
    EXPECT_EQ(this->Core().LastPointNum, 7);
    TPointRec next = Pt(3, 3);
    this->Core().InsertPoint(next); // not 1, 2 ... 7 again
    EXPECT_EQ(next.Pointnum, 8);

    TPointRec twice = Pt(4, 4);
    twice.Pointnum = 7;
    EXPECT_THROW(this->Core().InsertPoint(twice), std::runtime_error);
    TPointRec p;
    ASSERT_TRUE(this->Core().LoadPoint(7, p));
    EXPECT_EQ(p.Lenx, 2);
    // The store goes on numbering after the refused point.
    TPointRec after = Pt(5, 5);
    this->Core().InsertPoint(after);
    EXPECT_EQ(after.Pointnum, 9);
}

TYPED_TEST(PointOperations, AFreshDiagramNumbersFromItsStoresFirstNumber)
{
    // An empty diagram opened: the first program numbers from 0, the
    // second from 1 (the highest number, 0 when there is none, plus 1).
    this->NewDiagram(2, QStringLiteral("Empty"));
    ASSERT_TRUE(this->Core().OpenDiagram(2));
    EXPECT_EQ(this->Core().LastPointNum, TypeParam::EmptyLastNumber);
    EXPECT_EQ(this->Core().LastSegNum, TypeParam::EmptyLastNumber);
    TPointRec p = Pt(1, 1);
    this->Core().InsertPoint(p);
    EXPECT_EQ(p.Pointnum, TypeParam::EmptyLastNumber + 1);

    // Reopened, a diagram numbers on from its highest stored numbers.
    TPointRec high = Pt(2, 2);
    high.Pointnum = 40;
    this->Core().InsertPoint(high);
    ASSERT_TRUE(this->Core().OpenDiagram(2));
    EXPECT_EQ(this->Core().LastPointNum, 40);
    TPointRec next = Pt(3, 3);
    this->Core().InsertPoint(next);
    EXPECT_EQ(next.Pointnum, 41);
}

TYPED_TEST(PointOperations, EnsureStoredReusesPointsAtTheSameLengthsAndLeavesNumberedOnes)
{
    TPointRec a = Pt(5, 6);
    this->Core().EnsurePointStored(a);
    EXPECT_EQ(a.Pointnum, 0);
    TPointRec b = Pt(5, 6);
    this->Core().EnsurePointStored(b);
    EXPECT_EQ(b.Pointnum, 0);

    // A stored number is kept as it is, whatever lengths the record holds.
    TPointRec numbered = Pt(9, 9);
    numbered.Pointnum = 0;
    this->Core().EnsurePointStored(numbered);
    EXPECT_EQ(numbered.Pointnum, 0);
    EXPECT_EQ(this->Count(QStringLiteral("point")), 1);

    // A number whose row is not there is no stored point: it is stored.
    TPointRec gone = Pt(9, 9);
    gone.Pointnum = 4;
    this->Core().EnsurePointStored(gone);
    EXPECT_EQ(gone.Pointnum, 1);
    EXPECT_EQ(this->Count(QStringLiteral("point")), 2);
}

TYPED_TEST(PointOperations, StorePointUpdatesTheRowOfTheOpenDiagram)
{
    TPointRec a = Pt(5, 6);
    this->Core().InsertPoint(a);
    a.Rprts = 45010;
    a.Lenx = 5.125;
    a.Dgnum = 99; // the open diagram is written, not the record's
    EXPECT_TRUE(this->Core().StorePoint(a));
    EXPECT_EQ(this->Count(QStringLiteral("point")), 1);
    EXPECT_EQ(this->Count(QStringLiteral("point"),
                          QStringLiteral("Dgnum = 1 AND Lenx = 5.125 AND ") + this->StampIs(45010)),
              1);
}

TYPED_TEST(PointOperations, StorePointOfAPointWhoseRowIsGone)
{
    TPointRec gone = Pt(1, 2);
    gone.Pointnum = 12;
    if constexpr (TypeParam::IsFirebird) {
        // The second program says so instead of reporting success.
        EXPECT_FALSE(this->Core().StorePoint(gone));
        EXPECT_EQ(this->prompts_.Texts(),
                  QStringList{QStringLiteral("Error : Point 12 not found")});
        EXPECT_EQ(this->Count(QStringLiteral("point")), 0);
    } else {
        // The first program stores it again under its number.
        EXPECT_TRUE(this->Core().StorePoint(gone));
        EXPECT_EQ(this->Count(QStringLiteral("point"), QStringLiteral("Pointnum = 12")), 1);
    }
}

TYPED_TEST(PointOperations, TextTestAndLoadOfAMissingPoint)
{
    TPointRec a = Pt(1, 1);
    this->Core().InsertPoint(a);
    EXPECT_FALSE(this->Core().PointHasText(0));
    this->Core().AddText(a, QStringLiteral("door"), 0);
    EXPECT_TRUE(this->Core().PointHasText(0));

    TPointRec p = Pt(3, 4);
    p.Dgnum = 5;
    p.Rprts = 123;
    EXPECT_FALSE(this->Core().LoadPoint(42, p));
    EXPECT_EQ(p.Pointnum, -1);
    EXPECT_EQ(p.Lenx, 0);
    EXPECT_EQ(p.Dgnum, 5);
    EXPECT_EQ(p.Rprts, 123);
}

} // namespace
