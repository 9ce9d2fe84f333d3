// Every lookup a click or key makes in the second program goes through the
// index made for it: the engine's plan of each statement names that index
// and never walks the point or segment table, nor a whole diagram of it in
// key order.

#include "firebird/fblayersdata.h"
#include "store/storefixture.h"

#include <QRegularExpression>

namespace
{

class FirebirdPlans : public StoreOn<FirebirdStoreFixture>
{
  protected:
    void SetUp() override
    {
        StoreOn<FirebirdStoreFixture>::SetUp();
        StoreSeg(0, 0, 10, 0);
        ASSERT_TRUE(Fit());
        Core().RedrawStamp = Core().NextRedrawStamp();
    }

    // The query's last statement is planned on these indexes of the point
    // or segment table, and on nothing that walks it.
    static void ExpectPlan(FbQuery& query, const QString& indexes)
    {
        const QString plan = query.Plan();
        SCOPED_TRACE(query.SQLText().toStdString());
        SCOPED_TRACE(plan.toStdString());
        EXPECT_TRUE(plan.contains(QStringLiteral("INDEX (") + indexes + QStringLiteral(")")));
        EXPECT_FALSE(plan.contains(QStringLiteral("NATURAL")));
        EXPECT_FALSE(plan.contains(QRegularExpression(QStringLiteral("ORDER PK_(POINT|SEG)"))));
    }

    TPointRec X() const
    {
        TPointRec p = Pt(10, 0);
        p.Pxlx = 950;
        p.Pxly = 50;
        return p;
    }
};

TEST_F(FirebirdPlans, PointLookups)
{
    TPointRec p = X();
    Core().FindPointAtLength(p);
    ExpectPlan(Core().IBQuery1, QStringLiteral("POINTLEN"));
    Core().LoadPoint(1, p);
    ExpectPlan(Core().IBTable2, QStringLiteral("PK_POINT"));
    Core().FindPointAtPixel(p, true);
    ExpectPlan(Core().IBTable2, QStringLiteral("PXLXY"));
    Core().FindPointAtPixel(p, false);
    ExpectPlan(Core().IBTable2, QStringLiteral("PXLXY"));
    Core().PointHasText(1);
    ExpectPlan(Core().IBTable4, QStringLiteral("PK_TEXT"));
    // A band of pixel columns or rows: whichever the engine takes, it is
    // an index on the diagram and one pixel axis.
    Core().FindPointNear(950, 50, p);
    const QString plan = Core().IBTable2.Plan();
    SCOPED_TRACE(plan.toStdString());
    EXPECT_TRUE(plan.contains(QRegularExpression(QStringLiteral("INDEX \\((PXLXY|POINTROW)\\)"))));
    EXPECT_FALSE(plan.contains(QStringLiteral("NATURAL")));
}

TEST_F(FirebirdPlans, DeletingALayersPointsVisitsOnlyThemAndTheirUsers)
{
    FbLayersData layers(Core());
    const auto expectIndexes = [](const QString& plan, std::initializer_list<const char*> indexes) {
        SCOPED_TRACE(plan.toStdString());
        for (const char* index : indexes)
            EXPECT_TRUE(plan.contains(QStringLiteral("INDEX (%1)").arg(QLatin1String(index))))
                << index;
        EXPECT_FALSE(plan.contains(QStringLiteral("NATURAL")));
    };
    layers.PointsOfLayer(5);
    expectIndexes(layers.IBQuery1.Plan(), {"SEGLAYER", "POINTLAYER"});
    layers.DeleteUnusedPoints({1});
    expectIndexes(Core().q0.Plan(), {"PK_POINT", "SEGENDS", "SEGTO", "PK_TEXT"});
}

TEST_F(FirebirdPlans, SegmentLookups)
{
    TSegRec found;
    Core().FindBoldSegmentBetween(0, 1, found);
    ExpectPlan(Core().IBQuery2, QStringLiteral("SEGENDS, SEGENDS"));
    Core().LoadSegment(0, found);
    ExpectPlan(Core().IBTable1, QStringLiteral("PK_SEG"));
    Core().OpenSegmentsAtPoint(1);
    ExpectPlan(Core().IBQuery3, QStringLiteral("SEGENDS, SEGTO"));
}

TEST_F(FirebirdPlans, LookupsAlongARowOrAColumnOfPixels)
{
    TPointRec a = X();
    TPointRec b = a;
    TPointRec point;
    TSegRec seg;
    b.Pxlx += 1;
    Core().FindPointInLine(a, b, point);
    ExpectPlan(Core().IBQuery11, QStringLiteral("POINTCOL"));
    Core().FindSegmentInLine(a, b, seg);
    ExpectPlan(Core().IBQuery10, QStringLiteral("SEGVERT"));
    b = a;
    b.Pxly += 1;
    Core().FindPointInLine(a, b, point);
    ExpectPlan(Core().IBQuery11, QStringLiteral("POINTROW"));
    Core().FindSegmentInLine(a, b, seg);
    ExpectPlan(Core().IBQuery10, QStringLiteral("SEGHORZ"));
}

TEST_F(FirebirdPlans, TheStampLooksUpEachRunOfNumbersByTheKey)
{
    // Each run is a range of the key, whose rows the engine gathers from
    // the index first and then reads in their storage order: measured on a
    // diagram that fills its table, as fast as an update that walks the
    // table, and it never touches a point of another diagram.
    ibase::Statement stamp(*Core().IBTransaction1, TFcoreFb::StampStatement());
    const QString plan = stamp.Plan();
    SCOPED_TRACE(plan.toStdString());
    EXPECT_TRUE(plan.contains(QStringLiteral("POINT INDEX (PK_POINT)")));
    EXPECT_FALSE(plan.contains(QStringLiteral("NATURAL")));
    EXPECT_FALSE(plan.contains(QStringLiteral("ORDER")));
}

} // namespace
