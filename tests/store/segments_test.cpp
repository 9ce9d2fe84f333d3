#include "storefixture.h"

namespace
{

template <typename Kind> class SegmentOperations : public StoreOn<Kind>
{
};
TYPED_TEST_SUITE(SegmentOperations, StoreKinds, StoreKindNames);

TYPED_TEST(SegmentOperations, FirstLineStoresItsPointsAndItself)
{
    TSegRec s = this->StoreSeg(0, 0, 3, 4);
    EXPECT_EQ(s.FromPoint.Pointnum, 0);
    EXPECT_EQ(s.ToPoint.Pointnum, 1);
    EXPECT_EQ(s.Segnum, 0);
    EXPECT_EQ(this->prompts_.Flashes(), QStringList{QStringLiteral("Seg 0 inserted OK")});

    TSegRec loaded;
    ASSERT_TRUE(this->Core().LoadSegment(0, loaded));
    EXPECT_EQ(loaded.FromPoint.Lenx, 0);
    EXPECT_EQ(loaded.ToPoint.Leny, 4);
    EXPECT_EQ(loaded.Dx, 3);
    EXPECT_EQ(loaded.Dy, 4);
    EXPECT_EQ(loaded.Len, 5);
    EXPECT_EQ(loaded.Lenx1, 0);
    EXPECT_EQ(loaded.Lenx2, 3);
    EXPECT_EQ(this->Count(QStringLiteral("seg"), QStringLiteral("Dgnum = 1")), 1);
}

TYPED_TEST(SegmentOperations, AnEndWhosePointRowHasGoneIsStoredAgainWhereItStood)
{
    const TSegRec first = this->StoreSeg(0, 0, 3, 4);
    this->Exec(QStringLiteral("DELETE FROM point WHERE Dgnum = 1 AND Pointnum = %1")
                   .arg(first.ToPoint.Pointnum));
    // A cursor still holding the deleted point's number and place.
    TSegRec next = Seg(3, 4, 6, 4);
    next.FromPoint.Pointnum = first.ToPoint.Pointnum;
    this->Core().InsertSegment(next);
    EXPECT_NE(next.FromPoint.Pointnum, first.ToPoint.Pointnum);
    TSegRec loaded;
    ASSERT_TRUE(this->Core().LoadSegment(next.Segnum, loaded));
    EXPECT_EQ(loaded.FromPoint.Pointnum, next.FromPoint.Pointnum);
    EXPECT_EQ(loaded.FromPoint.Lenx, 3);
    EXPECT_EQ(loaded.FromPoint.Leny, 4);
    EXPECT_EQ(this->Count(QStringLiteral("point"), QStringLiteral("Dgnum = 1")), 3);
}

TYPED_TEST(SegmentOperations, BoxIsStoredSmallestFirstWhicheverWayTheLineRuns)
{
    TSegRec s = this->StoreSeg(5, 2, 1, 2);
    TSegRec loaded;
    ASSERT_TRUE(this->Core().LoadSegment(s.Segnum, loaded));
    EXPECT_EQ(loaded.Lenx1, 1);
    EXPECT_EQ(loaded.Lenx2, 5);
    EXPECT_EQ(loaded.Leny1, 2);
    EXPECT_EQ(loaded.Leny2, 2);
}

TYPED_TEST(SegmentOperations, SameBoldLineIsReusedInEitherDirection)
{
    this->StoreSeg(0, 0, 3, 4);
    this->prompts_.Clear();
    TSegRec again = this->StoreSeg(0, 0, 3, 4);
    TSegRec reversed = this->StoreSeg(3, 4, 0, 0);
    EXPECT_EQ(reversed.FromPoint.Pointnum, 1);
    const QString reuse = QStringLiteral("Reusing Segment #0 in this layer between points ");
    EXPECT_EQ(this->prompts_.Texts(),
              (QStringList{reuse + QStringLiteral("0 , 1"), reuse + QStringLiteral("1 , 0")}));
    EXPECT_TRUE(this->prompts_.Flashes().isEmpty());
    EXPECT_EQ(again.Segnum, -1);
    EXPECT_EQ(this->Count(QStringLiteral("seg")), 1);
    EXPECT_EQ(this->Count(QStringLiteral("point")), 2);
}

TYPED_TEST(SegmentOperations, OtherLayerOtherTypeOrFaintLayerStoreANewSegment)
{
    this->AddLayer(1, QStringLiteral("Walls"), VisibBold);
    this->AddLayer(2, QStringLiteral("Notes"), VisibFaint);
    this->StoreSeg(0, 0, 3, 4);
    EXPECT_EQ(this->StoreSeg(0, 0, 3, 4, 1).Segnum, 1);
    EXPECT_EQ(this->StoreSeg(0, 0, 3, 4, 0, SegArc).Segnum, 2);
    EXPECT_EQ(this->StoreSeg(0, 0, 3, 4, 2).Segnum, 3);
    EXPECT_EQ(this->StoreSeg(0, 0, 3, 4, 2).Segnum, 4); // faint segments are never reused
    EXPECT_TRUE(this->prompts_.Texts().isEmpty());
}

TYPED_TEST(SegmentOperations, JumpStoresNothing)
{
    TSegRec jump = this->StoreSeg(0, 0, 3, 4, 0, SegJump);
    EXPECT_EQ(jump.FromPoint.Pointnum, -1);
    EXPECT_EQ(this->Count(QStringLiteral("point")), 0);
    EXPECT_EQ(this->Count(QStringLiteral("seg")), 0);
}

TYPED_TEST(SegmentOperations, UpdatePropertiesChecksTheSegmentAndItsPoints)
{
    TSegRec s = this->StoreSeg(0, 0, 3, 4);
    s.Segnum = 12;
    EXPECT_FALSE(this->Core().UpdateSegmentProperties(s));
    s.Segnum = 0;
    s.ToPoint.Pointnum = -1;
    EXPECT_FALSE(this->Core().UpdateSegmentProperties(s));
    EXPECT_EQ(this->prompts_.Texts(),
              (QStringList{QStringLiteral("Error : Segment 12 not found"),
                           QStringLiteral("ERROR : Pointnum < 0 in segment 0")}));
    EXPECT_EQ(this->Count(QStringLiteral("seg")), 1);

    TSegRec t;
    ASSERT_TRUE(this->Core().LoadSegment(0, t));
    t.Dotted = true;
    t.Layernum = 5;
    t.Mlenx = 3;
    ASSERT_TRUE(this->Core().UpdateSegmentProperties(t));
    EXPECT_EQ(
        this->Count(QStringLiteral("seg"),
                    QStringLiteral("Dotted = 1 AND Layernum = 5 AND Mlenx = 3 AND FromPt = 0")),
        1);
}

TYPED_TEST(SegmentOperations, UpdatingPropertiesKeepsOrRewritesTheEnds)
{
    this->StoreSeg(0, 0, 3, 4);
    TSegRec t;
    ASSERT_TRUE(this->Core().LoadSegment(0, t));
    t.FromPoint.Pointnum = 1;
    ASSERT_TRUE(this->Core().UpdateSegmentProperties(t));
    // The first program writes the properties only; the second writes the
    // whole row from the record, its ends too.
    EXPECT_EQ(this->Count(QStringLiteral("seg"), QStringLiteral("FromPt = 1")),
              this->Firebird ? 1 : 0);
}

TYPED_TEST(SegmentOperations, ReadingRecomputesMeasuredAndDotted)
{
    this->StoreSeg(0, 0, 3, 4);
    TSegRec arc = this->StoreSeg(0, 0, 3, 0, 0, SegArc);
    this->Exec(
        QStringLiteral("UPDATE seg SET Dotted = 2, Mlenz = 1.5, Measured = 0 WHERE Segnum = 0"));
    this->Exec(
        QStringLiteral("UPDATE seg SET Dotted = -1, Mlenx = 90, Measured = 1 WHERE Segnum = %1")
            .arg(arc.Segnum));
    TSegRec s;
    ASSERT_TRUE(this->Core().LoadSegment(0, s));
    EXPECT_TRUE(s.Dotted);
    EXPECT_TRUE(s.Measured);
    ASSERT_TRUE(this->Core().LoadSegment(arc.Segnum, s));
    EXPECT_FALSE(s.Dotted);
    EXPECT_FALSE(s.Measured);
    EXPECT_EQ(s.Mlenx, 90);
}

TYPED_TEST(SegmentOperations, RectangleStoresFourCornersAndFourLines)
{
    TSegRec r = Seg(0, 0, 4, 3, 0, SegRectangle);
    r.Mlenx = 4;
    r.Mleny = 3;
    r.Dotted = true;
    this->Core().AddSegment(r);
    EXPECT_EQ(r.FromPoint.Pointnum, 0);
    EXPECT_EQ(r.ToPoint.Pointnum, 1);
    EXPECT_EQ(this->Count(QStringLiteral("point"), QStringLiteral("Lenx = 4 AND Leny = 0")), 1);
    EXPECT_EQ(this->Count(QStringLiteral("point"), QStringLiteral("Lenx = 0 AND Leny = 3")), 1);
    EXPECT_EQ(this->Count(QStringLiteral("seg"), QStringLiteral("SegType = 2 AND Dotted = 1")), 4);

    // The sides by their end points' lengths and their measurements.
    const QString side = QStringLiteral(
        "SELECT count(*) FROM seg s JOIN point a ON a.Pointnum = s.FromPt JOIN point b ON "
        "b.Pointnum = s.ToPt WHERE a.Lenx = %1 AND a.Leny = %2 AND b.Lenx = %3 AND b.Leny = %4 "
        "AND s.Mlenx = %5 AND s.Mleny = %6");
    EXPECT_EQ(this->Scalar(side.arg(0).arg(0).arg(4).arg(0).arg(4).arg(0)), 1);
    EXPECT_EQ(this->Scalar(side.arg(4).arg(3).arg(0).arg(3).arg(4).arg(0)), 1);
    EXPECT_EQ(this->Scalar(side.arg(4).arg(0).arg(4).arg(3).arg(0).arg(3)), 1);
    EXPECT_EQ(this->Scalar(side.arg(0).arg(3).arg(0).arg(0).arg(0).arg(3)), 1);

    // The four notes show once the rectangle is stored.
    EXPECT_EQ(
        this->prompts_.Flashes(),
        (QStringList{QStringLiteral("Seg 0 inserted OK"), QStringLiteral("Seg 1 inserted OK"),
                     QStringLiteral("Seg 2 inserted OK"), QStringLiteral("Seg 3 inserted OK")}));
}

TYPED_TEST(SegmentOperations, RectangleReusesCornerPointsAndExistingSides)
{
    TSegRec existing = this->StoreSeg(0, 0, 4, 0); // corner C and side A-C exist already
    TSegRec r = Seg(0, 0, 4, 3, 0, SegRectangle);
    this->Core().AddSegment(r);
    EXPECT_EQ(this->Count(QStringLiteral("point")), 4);
    EXPECT_EQ(this->Count(QStringLiteral("seg")), 4);
    EXPECT_EQ(this->prompts_.Texts(),
              QStringList{QStringLiteral("Reusing Segment #0 in this layer between points 0 , 1")});
    EXPECT_EQ(existing.ToPoint.Pointnum, 1);
}

TYPED_TEST(SegmentOperations, FailedRectangleLeavesNoHalfOfItAndNoNumberUsed)
{
    this->Refuse(QStringLiteral("INSERT"), QStringLiteral("seg"), QStringLiteral("NEW.Segnum = 2"));
    TSegRec r = Seg(0, 0, 4, 3, 0, SegRectangle);
    EXPECT_THROW(this->Core().AddSegment(r), std::runtime_error);
    EXPECT_EQ(this->Count(QStringLiteral("seg")), 0);
    EXPECT_EQ(this->Count(QStringLiteral("point")), 0);
    EXPECT_TRUE(this->prompts_.Flashes().isEmpty());
    EXPECT_EQ(this->Core().LastPointNum, TableStoreFixture::EmptyLastNumber);
    EXPECT_EQ(this->Core().LastSegNum, TableStoreFixture::EmptyLastNumber);
    // The store carries on.
    EXPECT_EQ(this->StoreSeg(0, 0, 1, 1).Segnum, 0);
}

TYPED_TEST(SegmentOperations, DeleteSegmentRemovesTheRowOnly)
{
    this->StoreSeg(0, 0, 3, 4);
    this->Core().DeleteSegment(1, 0);
    this->Core().DeleteSegment(1, 7); // absent: nothing
    EXPECT_EQ(this->Count(QStringLiteral("seg")), 0);
    EXPECT_EQ(this->Count(QStringLiteral("point")), 2);
}

TYPED_TEST(SegmentOperations, StoredSeglenIsReadFromTheRow)
{
    TSegRec s = this->StoreSeg(0, 0, 3, 4);
    this->Exec(QStringLiteral("UPDATE seg SET Seglen = 7.25 WHERE Segnum = %1").arg(s.Segnum));
    Extended seglen = 0;
    ASSERT_TRUE(this->Core().LoadStoredSeglen(s.Segnum, seglen));
    EXPECT_EQ(seglen, 7.25);
    // Properties written again keep it.
    TSegRec t;
    ASSERT_TRUE(this->Core().LoadSegment(s.Segnum, t));
    t.Dotted = true;
    ASSERT_TRUE(this->Core().UpdateSegmentProperties(t));
    ASSERT_TRUE(this->Core().LoadStoredSeglen(s.Segnum, seglen));
    EXPECT_EQ(seglen, 7.25);
    EXPECT_FALSE(this->Core().LoadStoredSeglen(42, seglen));
    EXPECT_EQ(seglen, 0);
}

} // namespace
