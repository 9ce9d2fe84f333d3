#include "storefixture.h"

namespace
{

using SegmentOperations = StoreTest;

TEST_F(SegmentOperations, FirstLineStoresPointsZeroAndOneAndSegmentZero)
{
    ASSERT_EQ(Core().LastPointNum, -1);
    ASSERT_EQ(Core().LastSegNum, -1);
    TSegRec s = StoreSeg(0, 0, 3, 4);
    EXPECT_EQ(s.FromPoint.Pointnum, 0);
    EXPECT_EQ(s.ToPoint.Pointnum, 1);
    EXPECT_EQ(s.Segnum, 0);
    EXPECT_EQ(prompts_.Flashes(), QStringList{QStringLiteral("Seg 0 inserted OK")});

    TSegRec loaded;
    ASSERT_TRUE(Core().LoadSegment(0, loaded));
    EXPECT_EQ(loaded.FromPoint.Lenx, 0);
    EXPECT_EQ(loaded.ToPoint.Leny, 4);
    EXPECT_EQ(loaded.Dx, 3);
    EXPECT_EQ(loaded.Dy, 4);
    EXPECT_EQ(loaded.Len, 5);
    EXPECT_EQ(loaded.Lenx1, 0);
    EXPECT_EQ(loaded.Lenx2, 3);
    EXPECT_EQ(Count(QStringLiteral("seg"), QStringLiteral("Dgnum = 1")), 1);
}

TEST_F(SegmentOperations, SameBoldLineIsReusedInEitherDirection)
{
    StoreSeg(0, 0, 3, 4);
    prompts_.Clear();
    TSegRec again = StoreSeg(0, 0, 3, 4);
    TSegRec reversed = StoreSeg(3, 4, 0, 0);
    EXPECT_EQ(reversed.FromPoint.Pointnum, 1);
    const QString reuse = QStringLiteral("Reusing Segment #0 in this layer between points ");
    EXPECT_EQ(prompts_.Texts(),
              (QStringList{reuse + QStringLiteral("0 , 1"), reuse + QStringLiteral("1 , 0")}));
    EXPECT_TRUE(prompts_.Flashes().isEmpty());
    EXPECT_EQ(again.Segnum, -1);
    EXPECT_EQ(Count(QStringLiteral("seg")), 1);
    EXPECT_EQ(Count(QStringLiteral("point")), 2);
}

TEST_F(SegmentOperations, OtherLayerOtherTypeOrFaintLayerStoreANewSegment)
{
    AddLayer(1, QStringLiteral("Walls"), VisibBold);
    AddLayer(2, QStringLiteral("Notes"), VisibFaint);
    StoreSeg(0, 0, 3, 4);
    EXPECT_EQ(StoreSeg(0, 0, 3, 4, 1).Segnum, 1);
    EXPECT_EQ(StoreSeg(0, 0, 3, 4, 0, SegArc).Segnum, 2);
    EXPECT_EQ(StoreSeg(0, 0, 3, 4, 2).Segnum, 3);
    EXPECT_EQ(StoreSeg(0, 0, 3, 4, 2).Segnum, 4); // faint segments are never reused
    EXPECT_TRUE(prompts_.Texts().isEmpty());
}

TEST_F(SegmentOperations, JumpStoresNothing)
{
    TSegRec jump = StoreSeg(0, 0, 3, 4, 0, SegJump);
    EXPECT_EQ(jump.FromPoint.Pointnum, -1);
    EXPECT_EQ(Count(QStringLiteral("point")), 0);
    EXPECT_EQ(Count(QStringLiteral("seg")), 0);
}

TEST_F(SegmentOperations, UpdatePropertiesChecksTheSegmentAndItsPoints)
{
    TSegRec s = StoreSeg(0, 0, 3, 4);
    s.Segnum = 12;
    EXPECT_FALSE(Core().UpdateSegmentProperties(s));
    s.Segnum = 0;
    s.ToPoint.Pointnum = -1;
    EXPECT_FALSE(Core().UpdateSegmentProperties(s));
    EXPECT_EQ(prompts_.Texts(), (QStringList{QStringLiteral("Error : Segment 12 not found"),
                                             QStringLiteral("ERROR : Pointnum < 0 in segment 0")}));

    TSegRec t = StoreSeg(0, 0, 3, 4);
    ASSERT_TRUE(Core().LoadSegment(0, t));
    t.Dotted = true;
    t.Layernum = 5;
    t.Mlenx = 3;
    t.FromPoint.Pointnum = 1; // end points are not rewritten
    ASSERT_TRUE(Core().UpdateSegmentProperties(t));
    EXPECT_EQ(Count(QStringLiteral("seg"),
                    QStringLiteral("Dotted = 1 AND Layernum = 5 AND Mlenx = 3 AND FromPt = 0")),
              1);
}

TEST_F(SegmentOperations, ReadingRecomputesMeasuredAndDotted)
{
    StoreSeg(0, 0, 3, 4);
    TSegRec arc = StoreSeg(0, 0, 3, 0, 0, SegArc);
    Exec(QStringLiteral("UPDATE seg SET Dotted = 2, Mlenz = 1.5, Measured = 0 WHERE Segnum = 0"));
    Exec(QStringLiteral("UPDATE seg SET Dotted = -1, Mlenx = 90, Measured = 1 WHERE Segnum = %1")
             .arg(arc.Segnum));
    TSegRec s;
    ASSERT_TRUE(Core().LoadSegment(0, s));
    EXPECT_TRUE(s.Dotted);
    EXPECT_TRUE(s.Measured);
    ASSERT_TRUE(Core().LoadSegment(arc.Segnum, s));
    EXPECT_FALSE(s.Dotted);
    EXPECT_FALSE(s.Measured);
    EXPECT_EQ(s.Mlenx, 90);
}

TEST_F(SegmentOperations, RectangleStoresFourCornersAndFourLines)
{
    TSegRec r = Seg(0, 0, 4, 3, 0, SegRectangle);
    r.Mlenx = 4;
    r.Mleny = 3;
    r.Dotted = true;
    Core().AddSegment(r);
    EXPECT_EQ(r.FromPoint.Pointnum, 0);
    EXPECT_EQ(r.ToPoint.Pointnum, 1);
    EXPECT_EQ(Count(QStringLiteral("point"), QStringLiteral("Lenx = 4 AND Leny = 0")), 1);
    EXPECT_EQ(Count(QStringLiteral("point"), QStringLiteral("Lenx = 0 AND Leny = 3")), 1);
    EXPECT_EQ(Count(QStringLiteral("seg"), QStringLiteral("SegType = 2 AND Dotted = 1")), 4);

    // The sides by their end points' lengths and their measurements.
    const QString side = QStringLiteral(
        "(SELECT count(*) FROM seg s JOIN point a ON a.Pointnum = s.FromPt JOIN point b ON "
        "b.Pointnum = s.ToPt WHERE a.Lenx = %1 AND a.Leny = %2 AND b.Lenx = %3 AND b.Leny = %4 "
        "AND s.Mlenx = %5 AND s.Mleny = %6)");
    EXPECT_EQ(Scalar(QStringLiteral("SELECT ") + side.arg(0).arg(0).arg(4).arg(0).arg(4).arg(0)),
              1);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT ") + side.arg(4).arg(3).arg(0).arg(3).arg(4).arg(0)),
              1);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT ") + side.arg(4).arg(0).arg(4).arg(3).arg(0).arg(3)),
              1);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT ") + side.arg(0).arg(3).arg(0).arg(0).arg(0).arg(3)),
              1);

    // The four notes show once the rectangle is stored.
    EXPECT_EQ(
        prompts_.Flashes(),
        (QStringList{QStringLiteral("Seg 0 inserted OK"), QStringLiteral("Seg 1 inserted OK"),
                     QStringLiteral("Seg 2 inserted OK"), QStringLiteral("Seg 3 inserted OK")}));
}

TEST_F(SegmentOperations, RectangleReusesCornerPointsAndExistingSides)
{
    TSegRec existing = StoreSeg(0, 0, 4, 0); // corner C and side A-C exist already
    TSegRec r = Seg(0, 0, 4, 3, 0, SegRectangle);
    Core().AddSegment(r);
    EXPECT_EQ(Count(QStringLiteral("point")), 4);
    EXPECT_EQ(Count(QStringLiteral("seg")), 4);
    EXPECT_EQ(prompts_.Texts(),
              QStringList{QStringLiteral("Reusing Segment #0 in this layer between points 0 , 1")});
    EXPECT_EQ(existing.ToPoint.Pointnum, 1);
}

TEST_F(SegmentOperations, FailedRectangleLeavesNoHalfOfIt)
{
    Exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON seg WHEN NEW.Segnum = 2 BEGIN "
                        "SELECT RAISE(ABORT, 'refused'); END"));
    TSegRec r = Seg(0, 0, 4, 3, 0, SegRectangle);
    EXPECT_THROW(Core().AddSegment(r), tables::EngineError);
    EXPECT_EQ(Count(QStringLiteral("seg")), 0);
    EXPECT_EQ(Count(QStringLiteral("point")), 0);
    EXPECT_TRUE(prompts_.Flashes().isEmpty());
    // The store carries on.
    EXPECT_GE(StoreSeg(0, 0, 1, 1).Segnum, 0);
}

TEST_F(SegmentOperations, DeleteSegmentRemovesTheRowOnly)
{
    StoreSeg(0, 0, 3, 4);
    Core().DeleteSegment(1, 0);
    Core().DeleteSegment(1, 7); // absent: nothing
    EXPECT_EQ(Count(QStringLiteral("seg")), 0);
    EXPECT_EQ(Count(QStringLiteral("point")), 2);
}

} // namespace
