// The Firebird store's writing for a refresh: a new scale rewrites every
// point's pixels and every segment's box, in blocks of many rows and the
// rows left over one by one; the stamp of a scattered set of points; and
// the old versions of the rows a large command wrote, cleared by the
// command itself rather than left to the next refresh.

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

// A diagram of 1,500 points numbered 0, 2, 4 ... and the segments joining
// each to the next, stored in one command: every point is drawn, and no
// two drawn numbers follow each other.
class FirebirdLargeRefresh : public FirebirdRefresh
{
  protected:
    static constexpr int Points = 1500;

    void SetUp() override
    {
        FirebirdRefresh::SetUp();
        Exec(QStringLiteral(
                 "execute block as declare i integer = 0; begin while (i < %1) do begin "
                 "insert into point (dgnum, pointnum, lenx, leny, pxlx, pxly, layernum) values "
                 "(1, 2 * :i, :i, mod(:i, 7), 0, 0, 0); "
                 "if (i > 0) then insert into seg (dgnum, segnum, frompt, topt, segtype, mlenx, "
                 "mleny, layernum, lenx1, leny1, lenx2, leny2, pxlx1, pxly1, pxlx2, pxly2, "
                 "dotted, xorflag, measured, faint) values (1, :i, 2 * :i - 2, 2 * :i, 2, 0, 0, "
                 "0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0); i = i + 1; end end")
                 .arg(Points));
        Core().OpenDiagram(1);
    }

    // Old versions the connection has cleared so far, as the engine counts
    // them; each look is a transaction of its own, as the engine's figures
    // hold still within one.
    long long Cleared()
    {
        Core().RestartTransaction();
        const long long n = Scalar(QStringLiteral(
            "select r.mon$record_purges + r.mon$record_expunges from mon$attachments a join "
            "mon$record_stats r on r.mon$stat_id = a.mon$stat_id where a.mon$attachment_id = "
            "current_connection"));
        Core().RestartTransaction();
        return n;
    }

    // What reading the whole diagram clears.
    long long ClearedByReadingTheDiagram()
    {
        const long long before = Cleared();
        EXPECT_EQ(Count(QStringLiteral("point")), Points);
        EXPECT_EQ(Count(QStringLiteral("seg")), Points - 1);
        return Cleared() - before;
    }
};

TEST_F(FirebirdLargeRefresh, AStampOfPointsScatteredOverManyRunsIsWrittenWhole)
{
    ASSERT_TRUE(Fit());
    Core().RedrawStamp = Core().NextRedrawStamp();
    // Each of the 1,500 runs is one number ("2998:2998,"), longer together
    // than one text of runs takes.
    Core().StampVisiblePoints();
    EXPECT_EQ(Stamped(1, Core().RedrawStamp).size(), size_t(Points));
}

TEST_F(FirebirdLargeRefresh, ANewScaleAndItsStampsLeaveNoOldVersionsForTheNextReader)
{
    ASSERT_TRUE(Fit(1000, 800));
    Core().RedrawStamp = Core().NextRedrawStamp();
    Core().StampVisiblePoints();
    // A zoom: every pixel and box rewritten, every point stamped again.
    ASSERT_TRUE(Fit(2000, 1600));
    Core().RedrawStamp = Core().NextRedrawStamp();
    Core().StampVisiblePoints();
    EXPECT_EQ(ClearedByReadingTheDiagram(), 0);
    // A command of the store's own that changes every point does the same.
    Exec(QStringLiteral("update point set layernum = 1 where dgnum = 1"));
    EXPECT_EQ(ClearedByReadingTheDiagram(), 0);

    // Rows changed outside the store's commands are left to their reader,
    // which is what the counts above would have shown.
    Core().IBTransaction1->ExecuteImmediate(
        QStringLiteral("update point set layernum = 0 where dgnum = 1"));
    Core().RestartTransaction();
    EXPECT_EQ(ClearedByReadingTheDiagram(), Points);
}

} // namespace
