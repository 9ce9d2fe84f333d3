// The Firebird store's writing for a refresh: a new scale rewrites every
// point's pixels and every segment's box, in blocks of many rows and the
// rows left over one by one.

#include "store/coords.h"
#include "store/storefixture.h"

namespace
{

using FirebirdRefresh = StoreOn<FirebirdStoreFixture>;

TEST_F(FirebirdRefresh, ANewScaleRewritesEveryRowOfADiagramLargerThanABlock)
{
    // 101 points and 100 segments: whole blocks of either, and rows left
    // over; a zigzag, so that both axes move.
    for (int i = 0; i < 100; ++i)
        StoreSeg(i, i % 3, i + 1, (i + 1) % 3);
    ASSERT_TRUE(Fit(1000, 800));
    const long long before = Scalar(QStringLiteral("select sum(pxlx) from point"));
    ASSERT_TRUE(Fit(500, 400));
    ASSERT_NE(Scalar(QStringLiteral("select sum(pxlx) from point")), before);

    for (int i = 0; i <= 100; ++i) {
        TPointRec p;
        ASSERT_TRUE(Core().LoadPoint(i, p)) << i;
        EXPECT_EQ(p.Pxlx, Core().LenToPixelX(p.Lenx)) << i;
        EXPECT_EQ(p.Pxly, Core().LenToPixelY(p.Leny)) << i;
    }
    for (int i = 0; i < 100; ++i) {
        TSegRec s;
        ASSERT_TRUE(Core().LoadSegment(i, s)) << i;
        EXPECT_TRUE(BoxOfSegment(s) == BoxOfEnds(s.FromPoint, s.ToPoint)) << i;
    }
    // Nothing else of the diagram was written.
    EXPECT_EQ(Count(QStringLiteral("point")), 101);
    EXPECT_EQ(Count(QStringLiteral("seg")), 100);
}

} // namespace
