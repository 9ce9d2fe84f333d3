// The table store's health check on real stores seeded with every kind of
// broken reference its scans look for.

#include "store/storefixture.h"
#include "tablestore/tablehealthcheck.h"

#include <ostream>

void PrintTo(const HealthFinding& f, std::ostream* os)
{
    *os << "{fault " << static_cast<int>(f.Fault) << ", diagram " << f.Dgnum << ", number "
        << f.Number << ", value " << f.Value << "}";
}

namespace
{

using F = HealthFault;
using Findings = std::vector<HealthFinding>;

class HealthCheckTest : public StoreTest
{
  protected:
    void Point(int32_t dg, int32_t n, double x, double y, int32_t px = 0, int32_t py = 0,
               int32_t layer = 0)
    {
        tables::Statement st(Core().Database1,
                             "INSERT INTO point (Dgnum, Pointnum, Lenx, Leny, Pxlx, Pxly, Rprts, "
                             "Layernum, CreateTS) VALUES (?, ?, ?, ?, ?, ?, 45000.5, ?, 45000)");
        st.BindAll({dg, n, x, y, px, py, layer});
        st.Run();
    }

    void Seg(int32_t dg, int32_t n, int32_t from, int32_t to, int32_t type = SegLine,
             int32_t layer = 0, double seglen = 0, double mlenx = 0, double mleny = 0)
    {
        tables::Statement st(Core().Database1,
                             "INSERT INTO seg (Dgnum, Segnum, FromPt, ToPt, SegType, Seglen, "
                             "Mlenx, Mleny, Mlenz, Layernum, Lenx1, Leny1, Lenx2, Leny2, Pxlx1, "
                             "Pxly1, Pxlx2, Pxly2, CreateTS, Dotted, Xorflag, Measured, faint) "
                             "VALUES (?, ?, ?, ?, ?, ?, ?, ?, 0, ?, 0, 0, 0, 0, 0, 0, 0, 0, "
                             "45000, 0, 0, 0, 0)");
        st.BindAll({dg, n, from, to, type, seglen, mlenx, mleny, layer});
        st.Run();
    }

    void Text(int32_t dg, int32_t pointnum, int32_t layer = 0)
    {
        Exec(QStringLiteral("INSERT INTO text VALUES (%1, %2, %3, 'label')")
                 .arg(dg)
                 .arg(pointnum)
                 .arg(layer));
    }

    HealthPass Check(int zoom = 1) { return TableHealthCheck(Core()).RunHealthCheck(false, zoom); }
    HealthPass Repair(int zoom = 1) { return TableHealthCheck(Core()).RunHealthCheck(true, zoom); }

    static const HealthScan& Scan(const HealthPass& pass, HealthTable table)
    {
        return pass.Scans.at(static_cast<size_t>(table));
    }

    // A store that has one broken row of every kind, beside sound ones.
    // Diagram 1 is open; diagram 5 has rows but no drawing row.
    void SeedEveryFault()
    {
        Point(1, 1, 0, 0);
        Point(1, 2, 0, 10);
        Point(1, 3, 5, 5);  // reached only by the jump
        Point(1, 4, 6, 6);  // reached only by the jump
        Point(1, 50, 9, 9); // reached by nothing
        Point(1, 60, 20, 0);
        Seg(1, 1, 1, 2);                      // sound
        Seg(1, 2, 3, 4, SegJump);             // stored jump
        Seg(1, 3, 1, 1);                      // one point at both ends
        Seg(1, 4, 1, 2, SegRectangle);        // a rectangle stored whole
        Seg(1, 5, 1, 2, 0);                   // no type
        Seg(1, 6, 90, 2);                     // from-point missing
        Seg(1, 7, 1, 91);                     // to-point missing
        Seg(1, 8, 92, 93);                    // both missing
        Seg(1, 9, 1, 60, SegLine, 7);         // layer 7 missing
        Seg(1, 10, 1, 2, SegLine, 0, 12.5);   // vertical, length in Seglen only
        Seg(1, 11, 1, 60, SegLine, 0, 20.25); // horizontal, the same
        Seg(1, 12, 2, 60, SegLine, 0, 22.5);  // slanting, the same
        Seg(1, 13, 1, 2, SegArc, 0, 0, 0);    // arc without an angle
        Seg(1, 14, 1, 2, SegArc, 0, 0, 360);  // full turns are angles
        Seg(1, 15, 1, 2, SegArc, 0, 0, -360);
        Seg(1, 16, 1, 2, SegArc, 0, 0, 400);   // too far round
        Seg(1, 17, 1, 2, SegArc, 0, 0, 90, 1); // an arc with a vertical length
        Text(1, 2);
        Text(1, 95); // its point is missing
        Exec("INSERT INTO pfl VALUES (1, 1, 'Walls')");
        Exec("INSERT INTO pflays VALUES (1, 1, 0, 2)"); // sound
        Exec("INSERT INTO pflays VALUES (1, 1, 8, 2)"); // layer 8 missing
        Exec("INSERT INTO pflays VALUES (1, 3, 0, 1)"); // profile 3 missing
        Point(5, 1, 0, 0);
        Point(5, 2, 1, 0);
        Seg(5, 1, 1, 2);
        Seg(5, 2, 2, 1);
        AddLayer(0, "Default layer", VisibBold, 5);
    }
};

TEST_F(HealthCheckTest, CheckPass_ReportsEveryBrokenReferenceInKeyOrder)
{
    SeedEveryFault();
    const HealthPass pass = Check();
    EXPECT_EQ(Scan(pass, HealthTable::Seg).Findings, (Findings{{F::JumpSeg, 1, 2},
                                                               {F::SamePoints, 1, 3},
                                                               {F::InvalidSegType, 1, 4, 4},
                                                               {F::InvalidSegType, 1, 5, 0},
                                                               {F::FromPointNotFound, 1, 6},
                                                               {F::ToPointNotFound, 1, 7},
                                                               {F::FromPointNotFound, 1, 8},
                                                               {F::ToPointNotFound, 1, 8},
                                                               {F::LayerNotFound, 1, 9, 7},
                                                               {F::MeasuredLengthToBeSet, 1, 10},
                                                               {F::MeasuredLengthToBeSet, 1, 11},
                                                               {F::MeasuredLengthToBeSet, 1, 12},
                                                               {F::InvalidArcAngle, 1, 13},
                                                               {F::InvalidArcAngle, 1, 16},
                                                               {F::InvalidArcAngle, 1, 17},
                                                               {F::DiagramNotFound, 5, 1, 5},
                                                               {F::DiagramNotFound, 5, 2, 5}}));
    EXPECT_EQ(Scan(pass, HealthTable::Text).Findings, (Findings{{F::TextPointNotFound, 1, 95}}));
    EXPECT_EQ(Scan(pass, HealthTable::Layer).Findings, (Findings{{F::DiagramNotFound, 5, 0, 5}}));
    // The jump's end points are not reached, so they go with it.
    EXPECT_EQ(Scan(pass, HealthTable::Point).Findings, (Findings{{F::PointUnused, 1, 3},
                                                                 {F::PointUnused, 1, 4},
                                                                 {F::PointUnused, 1, 50},
                                                                 {F::DiagramNotFound, 5, 1, 5},
                                                                 {F::DiagramNotFound, 5, 2, 5}}));
    EXPECT_EQ(Scan(pass, HealthTable::ProfileLayers).Findings,
              (Findings{{F::ProfileLayerNotFound, 1, 1, 8}, {F::ProfileNotFound, 1, 3, 0}}));
    EXPECT_EQ(Scan(pass, HealthTable::Seg).RecordCount, 19);
    EXPECT_EQ(Scan(pass, HealthTable::Point).RecordCount, 8);
}

TEST_F(HealthCheckTest, CheckPass_WritesNothingAndLeavesTheOpenDiagram)
{
    SeedEveryFault();
    Point(1, 70, 1, 1, 0, 0, 4); // reached by a segment on layer 3 and a text
    Seg(1, 30, 70, 2, SegLine, 3);
    Text(1, 70);
    Core().RoundingDP = 5; // the session's own decimals
    const int before = Changes();
    Check(HealthCheckZoom);
    EXPECT_EQ(Changes(), before);
    EXPECT_EQ(Scalar("SELECT Layernum FROM point WHERE Dgnum = 1 AND Pointnum = 70"), 4);
    EXPECT_EQ(Count("point", "Rprts <> 45000.5"), 0);
    EXPECT_EQ(Core().CurrentDiagram, 1);
    EXPECT_EQ(Core().RoundingDP, 5);
}

TEST_F(HealthCheckTest, RepairPass_MendsOrRemovesEachBrokenRow)
{
    SeedEveryFault();
    const HealthPass repaired = Repair();

    // Removed: the jump, the one-point segment, the bad types, the segments
    // without a to-point; kept: the one without its from-point.
    EXPECT_EQ(Count("seg", "Dgnum = 1 AND Segnum IN (2, 3, 4, 5, 7, 8)"), 0);
    EXPECT_EQ(Count("seg", "Dgnum = 1 AND Segnum = 6"), 1);
    EXPECT_EQ(Scan(repaired, HealthTable::Seg).RecordCount, 13);
    // The lost layer is back, hidden and unnamed.
    EXPECT_EQ(Count("layer", "Dgnum = 1 AND Layernum = 7 AND Visib = 0 AND Name = ''"), 1);
    // Old lengths move into the measured length of the line's direction.
    EXPECT_EQ(Count("seg", "Segnum = 10 AND Mleny = 12.5 AND Mlenx = 0 AND Seglen = 0 AND "
                           "Measured = 1"),
              1);
    EXPECT_EQ(Count("seg", "Segnum = 11 AND Mlenx = 20.25 AND Mleny = 0 AND Seglen = 0"), 1);
    // A slanting line has nowhere to put it, so it keeps it.
    EXPECT_EQ(Count("seg", "Segnum = 12 AND Seglen = 22.5 AND Mlenx = 0 AND Mleny = 0"), 1);
    // Arcs are only reported.
    EXPECT_EQ(Count("seg", "SegType = 3"), 5);
    EXPECT_EQ(Count("text", "Pointnum = 95"), 0);
    EXPECT_EQ(Count("text", "Pointnum = 2"), 1);
    EXPECT_EQ(Count("point", "Dgnum = 1 AND Pointnum IN (3, 4, 50)"), 0);
    EXPECT_EQ(Count("point", "Dgnum = 1"), 3);
    EXPECT_EQ(Count("pflays"), 1);
    EXPECT_EQ(Count("pflays", "Pflnum = 1 AND Layernum = 0"), 1);
    // The missing diagram row is made once, with only its number.
    EXPECT_EQ(Count("drawing", "Dgnum = 5 AND Dgname IS NULL AND Units IS NULL"), 1);
    EXPECT_EQ(Scan(repaired, HealthTable::Seg).Findings.back(),
              (HealthFinding{F::DiagramNotFound, 5, 1, 5}));
    EXPECT_EQ(Scan(repaired, HealthTable::Point).Findings.size(), 3u);

    // What a repair cannot mend is all a check finds afterwards.
    const HealthPass after = Check();
    EXPECT_EQ(Scan(after, HealthTable::Seg).Findings, (Findings{{F::FromPointNotFound, 1, 6},
                                                                {F::MeasuredLengthToBeSet, 1, 12},
                                                                {F::InvalidArcAngle, 1, 13},
                                                                {F::InvalidArcAngle, 1, 16},
                                                                {F::InvalidArcAngle, 1, 17}}));
    for (HealthTable t :
         {HealthTable::Text, HealthTable::Layer, HealthTable::Point, HealthTable::ProfileLayers}) {
        EXPECT_TRUE(Scan(after, t).Findings.empty()) << static_cast<int>(t);
    }
}

TEST_F(HealthCheckTest, RepairPass_KeepsTheFromPointOfASegmentRemovedForItsToPoint)
{
    Point(1, 1, 0, 0);
    Seg(1, 1, 1, 99);
    Repair();
    EXPECT_EQ(Count("seg"), 0);
    // Reached before its segment went: the next pass finds it unused.
    EXPECT_EQ(Count("point"), 1);
    EXPECT_EQ(Scan(Check(), HealthTable::Point).Findings, (Findings{{F::PointUnused, 1, 1}}));
}

TEST_F(HealthCheckTest, LengthsThatAreNotNumbers_AreListedAndNoRepairMakesThemZero)
{
    Point(1, 1, 0, 0);
    Point(1, 2, 0, 10);
    Point(1, 3, 20, 0);
    Point(1, 4, 9, 9); // reached by nothing: removed, whatever it holds
    Seg(1, 1, 1, 2);
    Seg(1, 2, 1, 3, SegArc, 0, 0, 90);
    Seg(1, 3, 1, 3, SegLine, 0, 20); // horizontal, its length in Seglen only
    // Written by a script: texts where lengths belong, kept by the table
    // as they are; a blob too.
    Exec("UPDATE point SET Lenx = 'abc' WHERE Pointnum = 2");
    Exec("UPDATE point SET Leny = '1,5' WHERE Pointnum = 3");
    Exec("UPDATE point SET Lenx = 'x' WHERE Pointnum = 4");
    Exec("UPDATE seg SET Mlenx = 'ninety' WHERE Segnum = 2");
    Exec("UPDATE seg SET Mleny = 'twenty', Leny2 = x'00' WHERE Segnum = 3");
    const auto texts = [this] {
        return Scalar("SELECT count(*) FROM point WHERE typeof(Lenx) = 'text' OR "
                      "typeof(Leny) = 'text'") +
               Scalar("SELECT count(*) FROM seg WHERE typeof(Mlenx) = 'text' OR "
                      "typeof(Mleny) = 'text' OR typeof(Leny2) = 'blob'");
    };
    ASSERT_EQ(texts(), 5);

    const Findings segs{{F::InvalidArcAngle, 1, 2},
                        {F::LengthNotANumber, 1, 2, 0, "Mlenx", "ninety"},
                        {F::LengthNotANumber, 1, 3, 0, "Mleny", "twenty"},
                        {F::LengthNotANumber, 1, 3, 0, "Leny2", QString(QChar(0))}};
    const Findings points{{F::LengthNotANumber, 1, 2, 0, "Lenx", "abc"},
                          {F::LengthNotANumber, 1, 3, 0, "Leny", "1,5"},
                          {F::PointUnused, 1, 4}};
    const HealthPass check = Check();
    EXPECT_EQ(Scan(check, HealthTable::Seg).Findings, segs);
    EXPECT_EQ(Scan(check, HealthTable::Point).Findings, points);

    // The repair removes the unused point and leaves every other text as
    // it is: no old length is moved over a text, nothing becomes 0.
    Repair();
    EXPECT_EQ(texts(), 4);
    EXPECT_EQ(Count("seg", "Segnum = 3 AND Seglen = 20 AND Mlenx = 0"), 1);
    const HealthPass after = Check();
    EXPECT_EQ(Scan(after, HealthTable::Seg).Findings, segs);
    EXPECT_EQ(Scan(after, HealthTable::Point).Findings, Findings(points.begin(), points.end() - 1));
}

TEST_F(HealthCheckTest, RepairThatFailsPartWay_ChangesNothing)
{
    SeedEveryFault();
    Exec("DROP TABLE pflays");
    const long long segs = Count("seg");
    const long long points = Count("point");
    Core().RoundingDP = 3;
    EXPECT_THROW(Repair(), tables::EngineError);
    EXPECT_EQ(Count("seg"), segs);
    EXPECT_EQ(Count("point"), points);
    EXPECT_EQ(Count("drawing", "Dgnum = 5"), 0);
    EXPECT_EQ(Count("layer", "Layernum = 7"), 0);
    EXPECT_EQ(Core().CurrentDiagram, 1);
    EXPECT_EQ(Core().RoundingDP, 3);
    EXPECT_EQ(Core().Database1.TransactionDepth(), 0);
}

TEST_F(HealthCheckTest, ExactDirection_OnlyAtTheHighestZoomAndInTheOpenDiagram)
{
    NewDiagram(2, "Barn");
    AddLayer(0, "Default layer", VisibBold, 2);
    for (int32_t dg : {1, 2}) {
        Point(dg, 1, 0, 0, 100, 100);
        Point(dg, 2, 0.001, 50, 100, 300); // looks vertical
        Point(dg, 3, 40, 0.001, 300, 100); // looks horizontal
        Seg(dg, 1, 1, 2);
        Seg(dg, 2, 1, 3);
    }
    for (int zoom : {1, 2, 3})
        EXPECT_TRUE(Scan(Check(zoom), HealthTable::Seg).Findings.empty()) << zoom;
    EXPECT_EQ(Scan(Check(HealthCheckZoom), HealthTable::Seg).Findings,
              (Findings{{F::NotExactlyVertical, 1, 1}, {F::NotExactlyHorizontal, 1, 2}}));
}

TEST_F(HealthCheckTest, DuplicateScan_PairsNeighboursOnOnePixelOfTheOpenDiagramOnly)
{
    NewDiagram(2, "Barn", 1);
    Exec("UPDATE drawing SET RndgDP = 3 WHERE Dgnum = 1");
    Point(1, 1, 1.5, 2.25, 40, 60);
    Point(1, 2, 1.5004, 2.25, 40, 60, 2);
    Point(1, 3, 1.4996, 2.2501, 40, 60);
    Point(1, 4, 9, 9, 41, 60);
    Point(2, 1, 0, 0, 40, 60);
    Point(2, 2, 0, 0.1, 40, 60);
    Seg(1, 1, 1, 4, SegLine, 0);
    Seg(1, 2, 3, 4, SegLine, 6);

    EXPECT_TRUE(Check(3).Duplicates.Skipped);
    const DuplicateScan dup = Check(HealthCheckZoom).Duplicates;
    EXPECT_FALSE(dup.Skipped);
    EXPECT_EQ(dup.Dgnum, 1);
    EXPECT_EQ(dup.Decimals, 3);
    ASSERT_EQ(dup.Pairs.size(), 2u);
    EXPECT_EQ(dup.Pairs[0].first.Pointnum, 1);
    EXPECT_EQ(dup.Pairs[0].second.Pointnum, 2);
    EXPECT_EQ(dup.Pairs[1].first.Pointnum, 2);
    EXPECT_EQ(dup.Pairs[1].second.Pointnum, 3);
    EXPECT_EQ(dup.Pairs[1].second.Lenx, 1.4996);
    // A reached point's layer is the one its last segment lies on; one that
    // nothing reached keeps its own.
    EXPECT_EQ(dup.Pairs[0].first.Layernum, 0);
    EXPECT_EQ(dup.Pairs[0].second.Layernum, 2);
    EXPECT_EQ(dup.Pairs[1].second.Layernum, 6);
    // Duplicates are left for the user, even by a repair.
    Repair(HealthCheckZoom);
    EXPECT_EQ(Count("point", "Dgnum = 1 AND Pxlx = 40"), 2);
}

} // namespace
