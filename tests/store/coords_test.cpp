#include "store/coords.h"
#include "storefixture.h"

#include <cmath>

namespace
{

using CoordinateModel = StoreTest;

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(-3.5), -4);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_EQ(RoundHalfEven(2.5001), 3);
    EXPECT_EQ(RoundHalfEven(1e12), INT32_MAX);
    EXPECT_EQ(RoundHalfEven(-1e12), INT32_MIN);
}

TEST(PointDistance, AxisDistancesAreExactDifferences)
{
    TPointRec a;
    TPointRec b;
    a.Lenx = 1;
    a.Leny = 2;
    b.Lenx = 1;
    b.Leny = 7;
    EXPECT_EQ(PointDistance(a, b), 5);
    a.Lenx = 0.1;
    b.Lenx = 0.7;
    a.Leny = b.Leny = 3;
    EXPECT_EQ(PointDistance(a, b), std::fabs(0.1 - 0.7));
    a.Lenx = a.Leny = 0;
    b.Lenx = 3;
    b.Leny = 4;
    EXPECT_EQ(PointDistance(a, b), 5);
}

TEST(NumberTexts, FormatReal3AndFormatLength)
{
    EXPECT_EQ(FormatReal3(1234.5), QStringLiteral("1234.500"));
    TFcore core(QDir::tempPath());
    core.RoundingDP = 0;
    EXPECT_EQ(core.FormatLength(12.4), QStringLiteral("12"));
    core.RoundingDP = 2;
    EXPECT_EQ(core.FormatLength(12.345678), QStringLiteral("12.35"));
}

TEST(Conversions, PixelsRoundHalvesToEvenAndUnitsPerPixel)
{
    TFcore core(QDir::tempPath());
    EXPECT_EQ(core.UnitsPerPixel(), 0);
    core.Scale = 1;
    core.MinLenX = 0;
    core.MinLenY = 10;
    EXPECT_EQ(core.LenToPixelX(2.5), 52);
    EXPECT_EQ(core.LenToPixelX(3.5), 54);
    EXPECT_EQ(core.LenToPixelY(12.5), 52);
    core.MarginLeft = 51; // rounded before the margin is added
    EXPECT_EQ(core.LenToPixelX(2.5), 53);
    EXPECT_EQ(core.LenToPixelX(1e12), INT32_MAX);
    core.MarginLeft = 50;
    core.Scale = 9;
    EXPECT_DOUBLE_EQ(core.UnitsPerPixel(), 1.0 / 9);
    EXPECT_DOUBLE_EQ(core.PixelToLenX(68), 2);
    EXPECT_DOUBLE_EQ(core.PixelToLenY(59), 11);
}

TEST_F(CoordinateModel, HorizontalLineIsScaledByWidthAlone)
{
    StoreSeg(0, 0, 100, 0);
    ASSERT_TRUE(Fit());
    EXPECT_EQ(Core().Scale, 9);
    EXPECT_EQ(Core().OriginX, 50);
    EXPECT_EQ(Core().OriginY, 50);
    TPointRec p;
    ASSERT_TRUE(Core().LoadPoint(0, p));
    EXPECT_EQ(p.Pxlx, 50);
    EXPECT_EQ(p.Pxly, 50);
    ASSERT_TRUE(Core().LoadPoint(1, p));
    EXPECT_EQ(p.Pxlx, 950);
    EXPECT_EQ(p.Pxly, 50);
    // The stored box follows the points.
    TSegRec s;
    ASSERT_TRUE(Core().LoadSegment(0, s));
    EXPECT_EQ(s.Pxlx1, 50);
    EXPECT_EQ(s.Pxlx2, 950);
}

TEST_F(CoordinateModel, TheSmallerCandidateWinsAndTheSidePanelNarrowsTheSheet)
{
    StoreSeg(0, 0, 100, 0);
    StoreSeg(100, 0, 100, 10);
    ASSERT_TRUE(Fit());
    EXPECT_EQ(Core().Scale, 9); // sx 9, sy 70
    ASSERT_TRUE(Fit(1000, 800, 200));
    EXPECT_EQ(Core().Scale, 7);
}

TEST_F(CoordinateModel, VerticalOnlyUsesHeightAndASinglePointGivesNoScale)
{
    StoreSeg(5, 0, 5, 70);
    ASSERT_TRUE(Fit());
    EXPECT_EQ(Core().Scale, 10); // 700 / 70
    EXPECT_EQ(Core().OriginX, 50 - 50);

    NewDiagram(2, QStringLiteral("Dot"));
    AddLayer(0, QStringLiteral("Default layer"), VisibBold, 2);
    ASSERT_TRUE(Core().OpenDiagram(2));
    StoreSeg(3, 3, 3, 3);
    EXPECT_FALSE(Fit());
    EXPECT_EQ(Core().Scale, 0);
}

TEST_F(CoordinateModel, NoVisibleSegmentOrNoRoomGivesNoScale)
{
    AddLayer(1, QStringLiteral("Hidden"), VisibHidden);
    StoreSeg(0, 0, 100, 50, 1);
    EXPECT_FALSE(Fit());
    EXPECT_EQ(Core().Scale, 0);
    StoreSeg(0, 0, 100, 50);
    EXPECT_FALSE(Fit(90, 90)); // margins of 50 leave nothing
    EXPECT_EQ(Core().Scale, 0);
    EXPECT_TRUE(Fit(90, 400)); // height alone
    EXPECT_EQ(Core().Scale, 6);
}

TEST_F(CoordinateModel, FitRewritesHiddenPointsAndAtAnUnchangedScaleWritesNothing)
{
    AddLayer(1, QStringLiteral("Hidden"), VisibHidden);
    StoreSeg(0, 0, 100, 0);
    TSegRec hidden = StoreSeg(50, 20, 60, 20, 1);
    ASSERT_TRUE(Fit());
    TPointRec p;
    ASSERT_TRUE(Core().LoadPoint(hidden.ToPoint.Pointnum, p));
    EXPECT_EQ(p.Pxlx, 50 + 540);
    EXPECT_EQ(p.Pxly, 50 + 180);

    const int before = Changes();
    ASSERT_TRUE(Fit());
    EXPECT_EQ(Changes(), before);
}

TEST_F(CoordinateModel, MissingEndPointIsReportedOnceAndLeftOutOfTheExtents)
{
    StoreSeg(10, 10, 20, 30);
    StoreSeg(20, 30, 40, 10);
    // The second segment loses its far end.
    Exec(QStringLiteral("DELETE FROM point WHERE Pointnum = 2"));
    ASSERT_TRUE(Fit());
    EXPECT_EQ(Core().MinLenX, 10);
    EXPECT_EQ(Core().MaxLenX, 20);
    EXPECT_EQ(Core().MinLenY, 10);
    EXPECT_EQ(Core().MaxLenY, 30);
    EXPECT_EQ(prompts_.Texts(),
              QStringList{QStringLiteral(
                  "ERROR : Point not found for segment, you must run Database Healthcheck")});

    // Later loads before the next fit say nothing more.
    TSegRec s;
    ASSERT_TRUE(Core().LoadSegment(1, s));
    EXPECT_EQ(s.ToPoint.Pointnum, -1);
    EXPECT_EQ(s.FromPoint.Pointnum, 1);
    EXPECT_EQ(prompts_.Texts().size(), 1);
    // The next fit reports again.
    ASSERT_TRUE(Fit());
    EXPECT_EQ(prompts_.Texts().size(), 2);
}

TEST_F(CoordinateModel, StaleBoxIsRewrittenOnlyWhileNormalising)
{
    StoreSeg(0, 0, 100, 0);
    ASSERT_TRUE(Fit());
    Exec(QStringLiteral("UPDATE seg SET Pxlx1 = 7 WHERE Segnum = 0"));
    TSegRec s;
    ASSERT_TRUE(Core().LoadSegment(0, s));
    EXPECT_EQ(s.Pxlx1, 7);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT Pxlx1 FROM seg WHERE Segnum = 0")), 7);
    {
        NormalisingScope normalising(Core());
        ASSERT_TRUE(Core().LoadSegment(0, s));
    }
    EXPECT_EQ(s.Pxlx1, 50);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT Pxlx1 FROM seg WHERE Segnum = 0")), 50);

    Exec(QStringLiteral("UPDATE seg SET Leny2 = 9 WHERE Segnum = 0"));
    Core().NormaliseSegmentExtents();
    EXPECT_EQ(Scalar(QStringLiteral("SELECT Leny2 FROM seg WHERE Segnum = 0")), 0);
    EXPECT_FALSE(Core().Normalising);
}

TEST_F(CoordinateModel, NormalisingIsResetWhenThePassFails)
{
    StoreSeg(0, 0, 100, 0);
    Exec(QStringLiteral("UPDATE seg SET Pxlx1 = 7"));
    Exec(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON seg BEGIN "
                        "SELECT RAISE(ABORT, 'refused'); END"));
    EXPECT_THROW(Core().NormaliseSegmentExtents(), tables::EngineError);
    EXPECT_FALSE(Core().Normalising);
    // Nothing of the failed pass is kept, and the store carries on.
    EXPECT_EQ(Scalar(QStringLiteral("SELECT Pxlx1 FROM seg")), 7);
    TSegRec s;
    EXPECT_TRUE(Core().LoadSegment(0, s));
}

TEST_F(CoordinateModel, ScaleChangeRewritesEveryPointInOneGo)
{
    for (int i = 0; i < 20; ++i) {
        StoreSeg(i, 0, i + 1, 0);
    }
    ASSERT_TRUE(Fit(1000, 800));
    ASSERT_TRUE(Fit(500, 800)); // half the width: every point but the first moves
    EXPECT_EQ(Core().Scale, 20);
    for (int i = 0; i <= 20; ++i) {
        EXPECT_EQ(Scalar(QStringLiteral("SELECT Pxlx FROM point WHERE Pointnum = %1").arg(i)),
                  50 + 20 * i);
    }
}

} // namespace
