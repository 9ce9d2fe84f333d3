#include "queryplans.h"
#include "store/storefixture.h"

namespace
{

// Every statement that a click, a key or a step makes through the store is
// planned on an index that narrows it below the diagram; only a refresh
// reads the diagram whole.
class QueryPlans : public StoreTest
{
  protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        AddLayer(1, QStringLiteral("Faint"), VisibFaint);
        StoreSeg(0, 0, 10, 0);    // 0: points 0, 1
        StoreSeg(10, 0, 10, 8);   // 1: points 1, 2
        StoreSeg(0, 0, 10, 8, 1); // 2: diagonal on the faint layer
        StoreSeg(10, 0, 5, 3, 0, SegArc);
        Core().AddText(Pt(10, 8), QStringLiteral("Gate"), 0);
        ASSERT_TRUE(Fit());
        Core().RedrawStamp = 45000.5;
        Core().StampVisiblePoints();
        Core().OpenVisiblePoints();
        recorder_ = std::make_unique<PlanRecorder>(Core().Database1.Handle());
    }

    // No statement run since the last check walks the diagram or builds a
    // temporary table at each run.
    void ExpectNoDiagramWalk()
    {
        ASSERT_FALSE(recorder_->Statements().empty());
        EXPECT_EQ(recorder_->DiagramWalks(), QStringList());
        EXPECT_TRUE(recorder_->TemporaryTables().isEmpty())
            << recorder_->TemporaryTables().join(QStringLiteral("\n")).toStdString();
        recorder_->Clear();
    }

    TPointRec At(int32_t pointnum)
    {
        TPointRec p;
        EXPECT_TRUE(Core().LoadPoint(pointnum, p));
        return p;
    }

    std::unique_ptr<PlanRecorder> recorder_;
};

TEST_F(QueryPlans, TheDetectorSeesARefreshReadTheDiagram)
{
    Core().OpenVisibleSegments();
    EXPECT_FALSE(recorder_->DiagramWalks().isEmpty());
    // And a plain key read is not a walk.
    recorder_->Clear();
    At(1);
    ExpectNoDiagramWalk();
}

TEST_F(QueryPlans, PointLookupsAtLengthsAndPixels)
{
    TPointRec p = Pt(10, 0);
    EXPECT_TRUE(Core().FindPointAtLength(p));
    TPointRec none = Pt(3, 3);
    EXPECT_FALSE(Core().FindPointAtLength(none));
    ExpectNoDiagramWalk();

    TPointRec at = At(2);
    EXPECT_TRUE(Core().FindPointAtPixel(at, false));
    EXPECT_TRUE(Core().FindVisiblePointAtPixel(at));
    at.Pxlx += 1;
    EXPECT_FALSE(Core().FindVisiblePointAtPixel(at));
    // Two points at one pixel: the walk goes on to the next index row.
    TPointRec twin = Pt(10.0001, 8);
    Core().EnsurePointStored(twin);
    TPointRec again = At(2);
    EXPECT_TRUE(Core().FindPointAtPixel(again, false));
    EXPECT_TRUE(again.Multiple);
    ExpectNoDiagramWalk();
}

TEST_F(QueryPlans, SegmentLookupsBetweenPointsAndAtAPoint)
{
    TSegRec s;
    EXPECT_TRUE(Core().FindBoldSegmentBetween(1, 0, s));
    EXPECT_FALSE(Core().FindBoldSegmentBetween(0, 2, s));
    EXPECT_TRUE(Core().LoadSegment(1, s));
    ExpectNoDiagramWalk();

    Core().OpenSegmentsAtPoint(1);
    EXPECT_EQ(Core().SegmentsAtPoint.RecordCount(), 3);
    ExpectNoDiagramWalk();
}

// Each step through the points asks for the bold segment between O and X:
// the lowest of its numbers is taken without a sorter or a temporary table.
TEST_F(QueryPlans, BoldSegmentBetweenTwoPointsNeedsNoSorter)
{
    // A second bold line between points 0 and 1, the other way round.
    Exec(QStringLiteral("INSERT INTO seg (Dgnum, Segnum, FromPt, ToPt, SegType, Layernum) "
                        "VALUES (1, 9, 1, 0, 2, 0)"));
    recorder_->Clear();
    TSegRec s;
    EXPECT_TRUE(Core().FindBoldSegmentBetween(1, 0, s));
    EXPECT_EQ(s.Segnum, 0);
    EXPECT_EQ(recorder_->TempBTrees(), QStringList());
    ExpectNoDiagramWalk();
    Exec(QStringLiteral("DELETE FROM seg WHERE Segnum = 0"));
    recorder_->Clear();
    EXPECT_TRUE(Core().FindBoldSegmentBetween(0, 1, s));
    EXPECT_EQ(s.Segnum, 9);
    // The diagonal between 0 and 2 is on a faint layer; another diagram's
    // bold line between the same numbers is not this one's.
    Exec(QStringLiteral("INSERT INTO layer (Dgnum, Layernum, Name, Visib) VALUES (2, 0, 'B', 2)"));
    Exec(QStringLiteral("INSERT INTO seg (Dgnum, Segnum, FromPt, ToPt, SegType, Layernum) "
                        "VALUES (2, 1, 2, 0, 2, 0)"));
    EXPECT_FALSE(Core().FindBoldSegmentBetween(0, 2, s));
    EXPECT_EQ(s.Segnum, -1);
    EXPECT_EQ(recorder_->TempBTrees(), QStringList());
    ExpectNoDiagramWalk();
}

TEST_F(QueryPlans, StraightLineLookupsAlongRowsAndColumns)
{
    // Along the row y = 0 onto the column of point 1 and of segment 1.
    const TPointRec from = At(0);
    TPointRec to = from;
    to.Pxlx = At(1).Pxlx;
    TPointRec found;
    TSegRec seg;
    EXPECT_TRUE(Core().FindPointInLine(from, to, found));
    EXPECT_TRUE(Core().FindSegmentInLine(from, to, seg));
    // Down the column x = 10 onto the row of point 2; and back up.
    const TPointRec top = At(1);
    TPointRec down = top;
    down.Pxly = At(2).Pxly;
    EXPECT_TRUE(Core().FindPointInLine(top, down, found));
    EXPECT_FALSE(Core().FindSegmentInLine(top, down, seg));
    EXPECT_TRUE(Core().FindPointInLine(down, top, found));
    ExpectNoDiagramWalk();
}

TEST_F(QueryPlans, StoringAMeasuredChainAndEditingIt)
{
    TSegRec s = Seg(10, 8, 13.25, 8); // from a stored point to a new one
    Core().InsertSegment(s);
    TSegRec same = Seg(13.25, 8, 10, 8); // reused, the other way round
    Core().InsertSegment(same);
    TSegRec rectangle = Seg(20, 20, 22, 23, 0, SegRectangle);
    Core().AddSegment(rectangle);
    ExpectNoDiagramWalk();

    TPointRec p = At(3);
    p.Layernum = 1;
    Core().StorePoint(p);
    s.Layernum = 1;
    EXPECT_TRUE(Core().UpdateSegmentProperties(s));
    Extended seglen = 0;
    EXPECT_TRUE(Core().LoadStoredSeglen(s.Segnum, seglen));
    Core().DeleteSegment(Core().CurrentDiagram, s.Segnum);
    ExpectNoDiagramWalk();
}

TEST_F(QueryPlans, LabelsAtAPoint)
{
    EXPECT_TRUE(Core().PointHasText(2));
    TTextRec t;
    EXPECT_TRUE(Core().LoadTextAtPoint(2, t));
    Core().AddText(At(0), QStringLiteral("Post"), 0);
    Core().MoveText(At(0), At(1));
    Core().DeleteTextAtPoint(1);
    TLayerRec layer;
    EXPECT_TRUE(Core().LoadLayer(1, layer));
    ExpectNoDiagramWalk();
}

TEST_F(QueryPlans, AnOlderPixelIndexIsRebuiltWithThePointNumber)
{
    recorder_.reset();
    Exec(QStringLiteral("DROP INDEX pxlxy"));
    Exec(QStringLiteral("CREATE INDEX pxlxy ON point (Dgnum, Pxlx, Pxly)"));
    Core().CloseStore();
    Core().OpenStore();
    ASSERT_TRUE(Core().OpenDiagram(1));
    EXPECT_EQ(Scalar(QStringLiteral("SELECT count(*) FROM pragma_index_info('pxlxy')")), 4);
    EXPECT_EQ(Scalar(QStringLiteral(
                  "SELECT name = 'Pointnum' FROM pragma_index_info('pxlxy') WHERE seqno = 3")),
              1);
    recorder_ = std::make_unique<PlanRecorder>(Core().Database1.Handle());
    TPointRec at = At(2);
    EXPECT_TRUE(Core().FindPointAtPixel(at, false));
    ExpectNoDiagramWalk();
}

} // namespace

// A diagram that fills its tables is read in the tables' own order, every
// row passed once instead of looked up from the key; a diagram among larger
// ones through its key. Either way the refresh has every row of the
// diagram, in number order, and nothing of the others.
TEST_F(QueryPlans, ARefreshReadsALargeDiagramInTableOrderAndASmallOneByItsKey)
{
    NewDiagram(2, QStringLiteral("Site"));
    AddLayer(0, QStringLiteral("Default layer"), VisibBold, 2);
    // Stored out of number order, as a shuffled site is.
    const int rows = 60;
    std::vector<int> numbers;
    for (int i = 0; i < rows; ++i)
        numbers.push_back((i * 37) % rows);
    for (int i = 0; i < rows; ++i) {
        Exec(QStringLiteral("INSERT INTO point (Dgnum, Pointnum, Lenx, Leny, Pxlx, Pxly, Layernum) "
                            "VALUES (2, %1, %2, 5, 0, 0, 0)")
                 .arg(numbers[size_t(i)])
                 .arg(numbers[size_t(i)] * 10));
        Exec(QStringLiteral("INSERT INTO seg (Dgnum, Segnum, FromPt, ToPt, SegType, Layernum, "
                            "Lenx1, Leny1, Lenx2, Leny2) VALUES (2, %1, %1, %2, 0, 0, 0, 0, 0, 0)")
                 .arg(numbers[size_t(i)])
                 .arg((numbers[size_t(i)] + 1) % rows));
    }
    const auto readsFrom = [&](const QString& table) {
        for (const QString& sql : recorder_->Statements()) {
            if (sql.contains(QStringLiteral("lenx1"), Qt::CaseInsensitive) ==
                    (table == QLatin1String("seg")) &&
                sql.contains(QStringLiteral("Lenx"), Qt::CaseInsensitive) &&
                sql.contains(QStringLiteral("FROM ") + table, Qt::CaseInsensitive))
                return recorder_->Plan(sql).join(QStringLiteral("; "));
        }
        return QStringLiteral("no read of ") + table + QStringLiteral(" among: ") +
               QStringList(recorder_->Statements().begin(), recorder_->Statements().end())
                   .join(QStringLiteral(" | "));
    };
    // The plan of the statement that stamps the drawn points, and the
    // points it stamped.
    const auto stamp = [&](double when) {
        recorder_->Clear();
        Core().RedrawStamp = when;
        Core().StampVisiblePoints();
        for (const QString& sql : recorder_->Statements()) {
            if (sql.contains(QStringLiteral("stamped_point")))
                return recorder_->Plan(sql).join(QStringLiteral("; "));
        }
        return QStringLiteral("no stamp walked the diagram");
    };
    const auto stampedIn = [&](int dgnum, double when) {
        return Scalar(QStringLiteral("SELECT count(*) FROM point WHERE Dgnum = %1 AND Rprts = %2")
                          .arg(dgnum)
                          .arg(when));
    };
    const auto segmentNumbers = [&] {
        std::vector<int> read;
        for (const VisibleSegmentRow& row : Core().VisibleSegments.Rows())
            read.push_back(row.Segnum);
        return read;
    };

    recorder_->Clear();
    Core().OpenVisibleSegments();
    EXPECT_TRUE(readsFrom(QStringLiteral("seg")).contains(QStringLiteral("USING INDEX")))
        << readsFrom(QStringLiteral("seg")).toStdString();
    EXPECT_TRUE(readsFrom(QStringLiteral("point")).contains(QStringLiteral("USING INDEX")))
        << readsFrom(QStringLiteral("point")).toStdString();
    EXPECT_EQ(segmentNumbers(), (std::vector<int>{0, 1, 2, 3}));
    // The stamp passes the diagram's rows as the read did.
    EXPECT_TRUE(stamp(45001.5).contains(QStringLiteral("USING INDEX")))
        << stamp(45001.5).toStdString();
    EXPECT_EQ(stampedIn(1, 45001.5), 4);
    EXPECT_EQ(stampedIn(2, 45001.5), 0);

    ASSERT_TRUE(Core().OpenDiagram(2));
    recorder_->Clear();
    Core().OpenVisibleSegments();
    EXPECT_EQ(readsFrom(QStringLiteral("seg")), QStringLiteral("SCAN seg"));
    EXPECT_EQ(readsFrom(QStringLiteral("point")), QStringLiteral("SCAN point"));
    std::vector<int> all(rows);
    for (int i = 0; i < rows; ++i)
        all[size_t(i)] = i;
    EXPECT_EQ(segmentNumbers(), all);
    EXPECT_EQ(stamp(45002.5), QStringLiteral("SCAN point"));
    EXPECT_EQ(stampedIn(2, 45002.5), rows);
    EXPECT_EQ(stampedIn(1, 45002.5), 0);
    for (const int n : {0, 17, rows - 1}) {
        TPointRec p;
        ASSERT_TRUE(Core().LoadFittedPoint(n, p));
        EXPECT_EQ(p.Lenx, n * 10);
    }
}
