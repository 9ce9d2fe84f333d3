#include "store/coords.h"
#include "storefixture.h"

#include <cmath>

namespace
{

template <typename Kind> class CoordinateModel : public StoreOn<Kind>
{
};
TYPED_TEST_SUITE(CoordinateModel, StoreKinds, StoreKindNames);

// Notes, for every box the store shows, whether it was normalising then:
// the missing-point message comes from inside the passes over the boxes.
class NormalisingWitness : public ScriptedPrompts
{
  public:
    explicit NormalisingWitness(const Store& store) : store_(store) {}
    void Info(const QString& caption, const QString& text) override
    {
        Seen.push_back(store_.Normalising);
        ScriptedPrompts::Info(caption, text);
    }
    std::vector<bool> Seen;

  private:
    const Store& store_;
};

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

TEST(SegmentBoxes, SetSegmentPointsPutsTheSmallerEndFirstAndSaysWhetherTheBoxChanged)
{
    TPointRec from;
    from.Lenx = 5;
    from.Leny = 2;
    from.Pxlx = 90;
    from.Pxly = 40;
    TPointRec to = from;
    to.Lenx = 1;
    to.Pxlx = 30;
    TSegRec seg;
    EXPECT_TRUE(SetSegmentPoints(seg, from, to));
    EXPECT_EQ(seg.FromPoint.Lenx, 5);
    EXPECT_EQ(seg.Lenx1, 1);
    EXPECT_EQ(seg.Lenx2, 5);
    EXPECT_EQ(seg.Leny1, 2);
    EXPECT_EQ(seg.Leny2, 2);
    EXPECT_EQ(seg.Pxlx1, 30);
    EXPECT_EQ(seg.Pxlx2, 90);
    EXPECT_EQ(seg.Pxly1, 40);
    EXPECT_FALSE(ComputeSegmentExtents(seg));
    seg.ToPoint.Pxly = 41;
    EXPECT_TRUE(ComputeSegmentExtents(seg));
    EXPECT_EQ(seg.Pxly2, 41);
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

TYPED_TEST(CoordinateModel, HorizontalLineIsScaledByWidthAlone)
{
    this->StoreSeg(0, 0, 100, 0);
    ASSERT_TRUE(this->Fit());
    EXPECT_EQ(this->Core().Scale, 9);
    EXPECT_EQ(this->Core().OriginX, 50);
    EXPECT_EQ(this->Core().OriginY, 50);
    TPointRec p;
    ASSERT_TRUE(this->Core().LoadPoint(0, p));
    EXPECT_EQ(p.Pxlx, 50);
    EXPECT_EQ(p.Pxly, 50);
    ASSERT_TRUE(this->Core().LoadPoint(1, p));
    EXPECT_EQ(p.Pxlx, 950);
    EXPECT_EQ(p.Pxly, 50);
    // The stored box follows the points.
    TSegRec s;
    ASSERT_TRUE(this->Core().LoadSegment(0, s));
    EXPECT_EQ(s.Pxlx1, 50);
    EXPECT_EQ(s.Pxlx2, 950);
}

TYPED_TEST(CoordinateModel, TheSmallerCandidateWinsAndTheSidePanelNarrowsTheSheet)
{
    this->StoreSeg(0, 0, 100, 0);
    this->StoreSeg(100, 0, 100, 10);
    ASSERT_TRUE(this->Fit());
    EXPECT_EQ(this->Core().Scale, 9); // sx 9, sy 70
    ASSERT_TRUE(this->Fit(1000, 800, 200));
    EXPECT_EQ(this->Core().Scale, 7);
}

TYPED_TEST(CoordinateModel, AFitPreparedBesideTheLabelsIsTakenOnlyForTheSheetItWasMadeFor)
{
    this->StoreSeg(0, 0, 100, 0);
    this->StoreSeg(100, 0, 100, 10);
    ASSERT_TRUE(this->Fit());
    const long long pixels = this->Scalar(QStringLiteral("SELECT sum(Pxlx) FROM point"));

    // Prepared for a narrower sheet: nothing of it shows or is written
    // until the fit is taken.
    this->Core().ReadVisibleSegments();
    this->Core().TakeDiagramAndPrepareFit(200);
    EXPECT_EQ(this->Core().Scale, 9);
    EXPECT_EQ(this->Scalar(QStringLiteral("SELECT sum(Pxlx) FROM point")), pixels);
    // The side panel closed before the fit was taken: it is worked out
    // again for the sheet as it is.
    this->Core().OpenVisibleText();
    ASSERT_TRUE(this->Core().FitDiagramToSheet(0));
    EXPECT_EQ(this->Core().Scale, 9);

    this->Core().ReadVisibleSegments();
    this->Core().TakeDiagramAndPrepareFit(200);
    ASSERT_TRUE(this->Core().FitDiagramToSheet(200));
    EXPECT_EQ(this->Core().Scale, 7);
    EXPECT_NE(this->Scalar(QStringLiteral("SELECT sum(Pxlx) FROM point")), pixels);
}

TYPED_TEST(CoordinateModel, VerticalOnlyUsesHeightAndASinglePointGivesNoScale)
{
    this->StoreSeg(5, 0, 5, 70);
    ASSERT_TRUE(this->Fit());
    EXPECT_EQ(this->Core().Scale, 10); // 700 / 70
    EXPECT_EQ(this->Core().OriginX, 50 - 50);

    this->NewDiagram(2, QStringLiteral("Dot"));
    this->AddLayer(0, QStringLiteral("Default layer"), VisibBold, 2);
    ASSERT_TRUE(this->Core().OpenDiagram(2));
    this->StoreSeg(3, 3, 3, 3);
    EXPECT_FALSE(this->Fit());
    EXPECT_EQ(this->Core().Scale, 0);
}

TYPED_TEST(CoordinateModel, NoVisibleSegmentOrNoRoomGivesNoScale)
{
    this->AddLayer(1, QStringLiteral("Hidden"), VisibHidden);
    this->StoreSeg(0, 0, 100, 50, 1);
    EXPECT_FALSE(this->Fit());
    EXPECT_EQ(this->Core().Scale, 0);
    this->StoreSeg(0, 0, 100, 50);
    EXPECT_FALSE(this->Fit(90, 90)); // margins of 50 leave nothing
    EXPECT_EQ(this->Core().Scale, 0);
    EXPECT_TRUE(this->Fit(90, 400)); // height alone
    EXPECT_EQ(this->Core().Scale, 6);
}

TYPED_TEST(CoordinateModel, FitRewritesHiddenPointsAndAtAnUnchangedScaleWritesNothing)
{
    this->AddLayer(1, QStringLiteral("Hidden"), VisibHidden);
    this->StoreSeg(0, 0, 100, 0);
    TSegRec hidden = this->StoreSeg(50, 20, 60, 20, 1);
    ASSERT_TRUE(this->Fit());
    TPointRec p;
    ASSERT_TRUE(this->Core().LoadPoint(hidden.ToPoint.Pointnum, p));
    EXPECT_EQ(p.Pxlx, 50 + 540);
    EXPECT_EQ(p.Pxly, 50 + 180);

    const long long before = this->Changes();
    ASSERT_TRUE(this->Fit());
    EXPECT_EQ(this->Changes(), before);
}

TYPED_TEST(CoordinateModel, MissingEndPointIsReportedOnceAndLeftOutOfTheExtents)
{
    this->StoreSeg(10, 10, 20, 30);
    this->StoreSeg(20, 30, 40, 10);
    // The second segment loses its far end.
    this->Exec(QStringLiteral("DELETE FROM point WHERE Pointnum = 2"));
    ASSERT_TRUE(this->Fit());
    EXPECT_EQ(this->Core().MinLenX, 10);
    EXPECT_EQ(this->Core().MaxLenX, 20);
    EXPECT_EQ(this->Core().MinLenY, 10);
    EXPECT_EQ(this->Core().MaxLenY, 30);
    EXPECT_EQ(this->prompts_.Texts(),
              QStringList{QStringLiteral(
                  "ERROR : Point not found for segment, you must run Database Healthcheck")});

    // Later loads before the next fit say nothing more.
    TSegRec s;
    ASSERT_TRUE(this->Core().LoadSegment(1, s));
    EXPECT_EQ(s.ToPoint.Pointnum, -1);
    EXPECT_EQ(s.FromPoint.Pointnum, 1);
    EXPECT_EQ(this->prompts_.Texts().size(), 1);
    // The next fit reports again.
    ASSERT_TRUE(this->Fit());
    EXPECT_EQ(this->prompts_.Texts().size(), 2);
}

TYPED_TEST(CoordinateModel, StaleBoxIsRewrittenByTheNormalisingPass)
{
    this->StoreSeg(0, 0, 100, 0);
    ASSERT_TRUE(this->Fit());
    this->Exec(QStringLiteral("UPDATE seg SET Pxlx1 = 7 WHERE Segnum = 0"));
    TSegRec s;
    ASSERT_TRUE(this->Core().LoadSegment(0, s));
    EXPECT_EQ(s.Pxlx1, 7);
    EXPECT_EQ(this->Scalar(QStringLiteral("SELECT Pxlx1 FROM seg WHERE Segnum = 0")), 7);
    if constexpr (!TypeParam::IsFirebird) {
        // The first program also mends a stale box when it loads the
        // segment while normalising.
        {
            NormalisingScope normalising(this->Core());
            ASSERT_TRUE(this->Core().LoadSegment(0, s));
        }
        EXPECT_EQ(s.Pxlx1, 50);
        EXPECT_EQ(this->Scalar(QStringLiteral("SELECT Pxlx1 FROM seg WHERE Segnum = 0")), 50);
    }

    // A second segment has lost its far end: the pass says so while it
    // runs, normalising.
    this->StoreSeg(100, 0, 100, 50);
    this->Exec(QStringLiteral("DELETE FROM point WHERE Pointnum = 2"));
    this->Exec(QStringLiteral("UPDATE seg SET Leny2 = 9, Pxlx1 = 8 WHERE Segnum = 0"));
    NormalisingWitness witness(this->Core());
    ScopedPromptSeam seam(witness);
    this->Core().NormaliseSegmentExtents();
    EXPECT_EQ(witness.Seen, std::vector<bool>{true});
    EXPECT_EQ(this->Scalar(QStringLiteral("SELECT Leny2 FROM seg WHERE Segnum = 0")), 0);
    EXPECT_EQ(this->Scalar(QStringLiteral("SELECT Pxlx1 FROM seg WHERE Segnum = 0")), 50);
    EXPECT_FALSE(this->Core().Normalising);
}

TYPED_TEST(CoordinateModel, NormalisingIsResetWhenThePassFails)
{
    this->StoreSeg(0, 0, 100, 0);
    this->StoreSeg(100, 0, 100, 50);
    this->Exec(QStringLiteral("DELETE FROM point WHERE Pointnum = 2"));
    this->Exec(QStringLiteral("UPDATE seg SET Pxlx1 = 7"));
    this->Refuse(QStringLiteral("UPDATE"), QStringLiteral("seg"), QStringLiteral("1 = 1"));
    NormalisingWitness witness(this->Core());
    ScopedPromptSeam seam(witness);
    EXPECT_THROW(this->Core().NormaliseSegmentExtents(), std::runtime_error);
    // It was on while the pass ran, and is off once the pass has failed.
    EXPECT_EQ(witness.Seen, std::vector<bool>{true});
    EXPECT_FALSE(this->Core().Normalising);
    // Nothing of the failed pass is kept, and the store carries on.
    EXPECT_EQ(this->Scalar(QStringLiteral("SELECT Pxlx1 FROM seg WHERE Segnum = 0")), 7);
    EXPECT_EQ(this->Scalar(QStringLiteral("SELECT Pxlx1 FROM seg WHERE Segnum = 1")), 7);
    TSegRec s;
    EXPECT_TRUE(this->Core().LoadSegment(0, s));
}

TYPED_TEST(CoordinateModel, TheFitNormalisesTheBoxesWithThePixels)
{
    // The hidden segment's lost end is met only where the fit brings every
    // box up to date, not where it widens the extents by the visible ones.
    this->AddLayer(1, QStringLiteral("Hidden"), VisibHidden);
    this->StoreSeg(0, 0, 100, 0);
    this->StoreSeg(50, 20, 60, 20, 1);
    this->Exec(QStringLiteral("DELETE FROM point WHERE Pointnum = 3"));
    NormalisingWitness witness(this->Core());
    ScopedPromptSeam seam(witness);
    ASSERT_TRUE(this->Fit());
    EXPECT_EQ(witness.Seen, std::vector<bool>{true});
    EXPECT_FALSE(this->Core().Normalising);
}

TYPED_TEST(CoordinateModel, ScaleChangeRewritesEveryPointInOneGo)
{
    for (int i = 0; i < 20; ++i) {
        this->StoreSeg(i, 0, i + 1, 0);
    }
    ASSERT_TRUE(this->Fit(1000, 800));
    ASSERT_TRUE(this->Fit(500, 800)); // half the width: every point but the first moves
    EXPECT_EQ(this->Core().Scale, 20);
    for (int i = 0; i <= 20; ++i) {
        EXPECT_EQ(this->Scalar(QStringLiteral("SELECT Pxlx FROM point WHERE Pointnum = %1").arg(i)),
                  50 + 20 * i);
    }
}

} // namespace
