#include "storefixture.h"

namespace
{

const QString MissingPointText =
    QStringLiteral("ERROR : Point not found for segment, you must run Database Healthcheck");

void ExpectSamePoint(const ContentPoint& a, const TPointRec& b, int segnum, const char* end)
{
    SCOPED_TRACE(testing::Message() << "segment " << segnum << " " << end);
    EXPECT_EQ(a.Pointnum, b.Pointnum);
    EXPECT_EQ(a.Lenx, b.Lenx);
    EXPECT_EQ(a.Leny, b.Leny);
    EXPECT_EQ(a.Pxlx, b.Pxlx);
    EXPECT_EQ(a.Pxly, b.Pxly);
}

// Every field the drawing and the fit take from the one-pass read must be
// what the one-by-one load gives.
void ExpectSameSegment(const DrawnSegment& a, const TSegRec& b)
{
    SCOPED_TRACE(testing::Message() << "segment " << b.Segnum);
    EXPECT_EQ(a.Seg.Segnum, b.Segnum);
    EXPECT_EQ(a.Seg.SegType, b.SegType);
    EXPECT_EQ(a.Seg.Mlenx, b.Mlenx);
    EXPECT_EQ(a.Seg.Dotted, b.Dotted);
    EXPECT_EQ(a.Seg.Xorflag, b.Xorflag);
    EXPECT_EQ(a.Seg.Faint, b.Faint);
    EXPECT_EQ(a.Seg.Stored, BoxOfSegment(b));
    ExpectSamePoint(a.From, b.FromPoint, b.Segnum, "from");
    ExpectSamePoint(a.To, b.ToPoint, b.Segnum, "to");
}

template <typename Kind> class VisibleDrawing : public StoreOn<Kind>
{
};
TYPED_TEST_SUITE(VisibleDrawing, StoreKinds, StoreKindNames);

TYPED_TEST(VisibleDrawing, Records_SameAsLoadSegmentInSetOrder)
{
    this->AddLayer(1, QStringLiteral("Faint"), VisibFaint);
    this->AddLayer(2, QStringLiteral("Hidden"), VisibHidden);
    this->StoreSeg(0, 0, 100, 0);                        // 0 bold line
    TSegRec styled = this->StoreSeg(100, 0, 100, 60.25); // 1 dotted, xor, faint, measured
    styled.Dotted = true;
    styled.Xorflag = true;
    styled.Faint = true;
    styled.Mleny = 60.25;
    styled.Measured = true;
    ASSERT_TRUE(this->Core().UpdateSegmentProperties(styled));
    TSegRec arc = this->StoreSeg(50, 30, 70, 30, 0, SegArc); // 2 arc with its angle
    arc.Mlenx = -90.5;
    ASSERT_TRUE(this->Core().UpdateSegmentProperties(arc));
    this->StoreSeg(0, 60.25, 100, 60.25, 1); // 3 faint layer
    this->StoreSeg(0, 0, 0, 60.25, 2);       // 4 hidden layer
    this->StoreSeg(10, 10, 20, 20, 7);       // 5 layer without a row
    this->StoreSeg(20, 20, 0, 0);            // 6 drawn right to left
    // Another diagram's segment with the same numbers never shows.
    this->Exec(QStringLiteral("INSERT INTO seg (Dgnum, Segnum, FromPt, ToPt, SegType, Layernum) "
                              "VALUES (2, 7, 0, 1, 2, 0)"));
    ASSERT_TRUE(this->Fit());

    const Store& core = this->Core();
    const auto& rows = core.VisibleSegments.Rows();
    ASSERT_EQ(core.VisibleSegmentCount(), rows.size());
    ASSERT_EQ(rows.size(), 5u);
    const int32_t visib[] = {VisibBold, VisibBold, VisibBold, VisibFaint, VisibBold};
    for (size_t i = 0; i < rows.size(); ++i) {
        ASSERT_EQ(core.VisibleSegmentRecord(i).Seg.Segnum, rows[i].Segnum);
        EXPECT_EQ(core.VisibleSegmentRecord(i).Seg.Visib, visib[i]);
        TSegRec one;
        ASSERT_TRUE(this->Core().LoadSegment(rows[i].Segnum, one));
        ExpectSameSegment(core.VisibleSegmentRecord(i), one);
    }
    // The fit cached pixels away from 0, so the pixels really were read.
    EXPECT_GT(core.VisibleSegmentRecord(0).To.Pxlx, core.VisibleSegmentRecord(0).From.Pxlx);
    const ContentSegment& styled1 = core.VisibleSegmentRecord(1).Seg;
    EXPECT_TRUE(styled1.Dotted && styled1.Xorflag && styled1.Faint);
    EXPECT_EQ(core.VisibleSegmentRecord(2).Seg.Mlenx, -90.5);
    EXPECT_TRUE(this->prompts_.Texts().isEmpty());
}

TYPED_TEST(VisibleDrawing, Records_InNumberOrderWhateverOrderTheRowsWereWrittenIn)
{
    this->StoreSeg(0, 0, 10, 0);
    this->StoreSeg(10, 0, 10, 5, 0, SegArc);
    // Rows written highest number first, as a copy from elsewhere may.
    for (const int n : {9, 3, 6})
        this->Exec(QStringLiteral("INSERT INTO seg (Dgnum, Segnum, FromPt, ToPt, SegType, "
                                  "Layernum, Mlenx) VALUES (1, %1, 0, 1, 2, 0, %1)")
                       .arg(n));
    ASSERT_TRUE(this->Fit());
    const Store& core = this->Core();
    const auto& rows = core.VisibleSegments.Rows();
    ASSERT_EQ(rows.size(), 5u);
    ASSERT_EQ(core.VisibleSegmentCount(), 5u);
    const int32_t expected[] = {0, 1, 3, 6, 9};
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].Segnum, expected[i]);
        EXPECT_EQ(core.VisibleSegmentRecord(i).Seg.Segnum, expected[i]);
    }
    EXPECT_EQ(core.VisibleSegmentRecord(1).Seg.SegType, SegArc);
    EXPECT_EQ(core.VisibleSegmentRecord(4).Seg.Mlenx, 9);
}

TYPED_TEST(VisibleDrawing, Records_MissingEndLeftEmptyAndReportedOncePerFit)
{
    this->StoreSeg(10, 10, 20, 30);
    this->StoreSeg(20, 30, 40, 10);
    this->StoreSeg(40, 10, 10, 10);
    ASSERT_TRUE(this->Fit());
    this->Exec(QStringLiteral("DELETE FROM point WHERE Pointnum = 2"));

    // Reading says nothing; the fit reports the missing point once.
    this->Core().OpenVisibleSegments();
    const Store& core = this->Core();
    ASSERT_EQ(core.VisibleSegmentCount(), 3u);
    EXPECT_TRUE(this->prompts_.Texts().isEmpty());
    ASSERT_TRUE(this->Core().FitDiagramToSheet(0));
    EXPECT_EQ(this->prompts_.Texts(), QStringList{MissingPointText});
    EXPECT_EQ(core.VisibleSegmentRecord(1).From.Pointnum, 1);
    EXPECT_EQ(core.VisibleSegmentRecord(1).Seg.ToPt, 2);
    EXPECT_EQ(core.VisibleSegmentRecord(1).To.Pointnum, -1);
    EXPECT_EQ(core.VisibleSegmentRecord(1).To.Lenx, 0);
    EXPECT_EQ(core.VisibleSegmentRecord(1).To.Pxlx, 0);
    EXPECT_EQ(core.VisibleSegmentRecord(2).From.Pointnum, -1);
    EXPECT_EQ(core.VisibleSegmentRecord(2).To.Pointnum, 0);
    TSegRec one;
    ASSERT_TRUE(this->Core().LoadSegment(1, one));
    ExpectSameSegment(core.VisibleSegmentRecord(1), one);
    EXPECT_EQ(this->prompts_.Texts().size(), 1);
}

TYPED_TEST(VisibleDrawing, SegmentWithoutAnEnd_NotDrawnFittedOrStampedAndItsBoxKept)
{
    this->StoreSeg(10, 10, 20, 30);                         // points 0, 1
    const TSegRec broken = this->StoreSeg(60, 70, 140, 90); // points 2, 3
    ASSERT_TRUE(this->Fit());
    this->Exec(QStringLiteral("DELETE FROM point WHERE Dgnum = 1 AND Pointnum = 3"));

    // A new scale. The broken segment is left out whole: the end it keeps
    // stretches the sheet no more than the one it lost.
    ASSERT_TRUE(this->Fit(500, 400));
    const Store& core = this->Core();
    EXPECT_EQ(core.MinLenX, 10);
    EXPECT_EQ(core.MaxLenX, 20);
    EXPECT_EQ(core.MinLenY, 10);
    EXPECT_EQ(core.MaxLenY, 30);
    EXPECT_EQ(core.Scale, 15); // 300 pixels over 20 units, the height's
    EXPECT_EQ(this->prompts_.Texts(), QStringList{MissingPointText});
    ASSERT_EQ(core.VisibleSegmentCount(), 2u);
    EXPECT_TRUE(core.VisibleSegmentDrawable(0));
    EXPECT_FALSE(core.VisibleSegmentDrawable(1));

    // Its box keeps its lengths, its pixels following them at the new
    // scale: nothing comes from the point that is not there.
    const QString box = QStringLiteral("SELECT %1 FROM seg WHERE Dgnum = 1 AND Segnum = %2");
    const auto stored = [&](const char* column) {
        return this->Scalar(box.arg(QString::fromLatin1(column)).arg(broken.Segnum));
    };
    EXPECT_EQ(stored("Lenx1"), 60);
    EXPECT_EQ(stored("Leny1"), 70);
    EXPECT_EQ(stored("Lenx2"), 140);
    EXPECT_EQ(stored("Leny2"), 90);
    EXPECT_EQ(stored("Pxlx1"), 50 + (60 - 10) * 15);
    EXPECT_EQ(stored("Pxly1"), 50 + (70 - 10) * 15);
    EXPECT_EQ(stored("Pxlx2"), 50 + (140 - 10) * 15);
    EXPECT_EQ(stored("Pxly2"), 50 + (90 - 10) * 15);
    // The normalising pass at the same scale leaves it as it is.
    const long long before = this->Changes();
    this->Core().NormaliseSegmentExtents();
    EXPECT_EQ(this->Changes(), before);

    // Only what is drawn is stamped.
    this->Core().RedrawStamp = 45000.25;
    this->Core().StampVisiblePoints();
    EXPECT_EQ(this->Stamped(1, this->Core().RedrawStamp), (std::set<int>{0, 1}));
}

TYPED_TEST(VisibleDrawing, Records_NoDiagramContentGivesNothing)
{
    this->Core().OpenVisibleSegments();
    EXPECT_EQ(this->Core().VisibleSegmentCount(), 0u);
    this->AddLayer(2, QStringLiteral("Hidden"), VisibHidden);
    this->StoreSeg(0, 0, 10, 0, 2);
    this->Core().OpenVisibleSegments();
    EXPECT_EQ(this->Core().VisibleSegmentCount(), 0u);
    EXPECT_FALSE(this->Core().FitDiagramToSheet(0));
}

TYPED_TEST(VisibleDrawing, StampVisiblePoints_StampsExactlyTheDrawnPoints)
{
    this->AddLayer(1, QStringLiteral("Faint"), VisibFaint);
    this->AddLayer(2, QStringLiteral("Hidden"), VisibHidden);
    this->StoreSeg(0, 0, 10, 0);                               // points 0, 1
    this->StoreSeg(10, 0, 10, 10, 1);                          // point 2 on the faint layer
    this->StoreSeg(0, 20, 10, 20, 2);                          // points 3, 4 only on a hidden layer
    this->Core().AddText(Pt(5, 5), QStringLiteral("Door"), 0); // point 5, visible label
    this->Core().AddText(Pt(6, 6), QStringLiteral("Pipe"), 2); // point 6, hidden label
    this->Core().AddText(Pt(0, 20), QStringLiteral("Gate"), 1); // on point 3, faint label
    TPointRec loose = Pt(7, 7);
    this->Core().InsertPoint(loose); // point 7, nothing drawn at it
    // Diagram 2 has a visible segment between its own points 0 and 1.
    this->NewDiagram(2, QStringLiteral("Barn"));
    this->AddLayer(0, QStringLiteral("Default layer"), VisibBold, 2);
    ASSERT_TRUE(this->Core().OpenDiagram(2));
    this->Core().LastPointNum = -1;
    this->Core().LastSegNum = -1;
    this->StoreSeg(0, 0, 5, 0);
    ASSERT_TRUE(this->Core().OpenDiagram(1));
    ASSERT_TRUE(this->Fit());

    this->Core().RedrawStamp = 45000.25;
    this->Core().StampVisiblePoints();
    EXPECT_EQ(this->Stamped(1, this->Core().RedrawStamp), (std::set<int>{0, 1, 2, 3, 5}));
    EXPECT_TRUE(this->Stamped(2, this->Core().RedrawStamp).empty());

    // The stamp reaches the point tables' readers at once.
    TPointRec p;
    ASSERT_TRUE(this->Core().LoadPoint(2, p));
    EXPECT_EQ(p.Rprts, 45000.25);
    // The visible points are handed on from the stamp, and are those that
    // reading them from the store gives.
    this->Core().OpenVisiblePoints();
    const std::vector<VisiblePointRow> handed = this->Core().VisiblePoints.Rows();
    this->Core().OpenVisiblePoints();
    const std::vector<VisiblePointRow>& read = this->Core().VisiblePoints.Rows();
    ASSERT_EQ(handed.size(), 5u);
    ASSERT_EQ(read.size(), handed.size());
    for (size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(handed[i].Pointnum, read[i].Pointnum);
        EXPECT_EQ(handed[i].Pxlx, read[i].Pxlx);
        EXPECT_EQ(handed[i].Pxly, read[i].Pxly);
    }

    // A point that drops out of the drawing keeps the old stamp.
    this->Exec(QStringLiteral("UPDATE layer SET Visib = 0 WHERE Dgnum = 1 AND Layernum = 1"));
    ASSERT_TRUE(this->Fit());
    this->Core().RedrawStamp = 45000.5;
    this->Core().StampVisiblePoints();
    EXPECT_EQ(this->Stamped(1, this->Core().RedrawStamp), (std::set<int>{0, 1, 5}));
    ASSERT_TRUE(this->Core().LoadPoint(2, p));
    EXPECT_EQ(p.Rprts, 45000.25);
}

TYPED_TEST(VisibleDrawing, StampVisiblePoints_UndoneWithItsWriteGroup)
{
    this->StoreSeg(0, 0, 10, 0);
    ASSERT_TRUE(this->Fit());
    this->Core().RedrawStamp = 45000.75;
    EXPECT_THROW(this->Core().WriteGroup([&] {
        this->Core().StampVisiblePoints();
        throw std::runtime_error("drawing failed");
    }),
                 std::runtime_error);
    EXPECT_TRUE(this->Stamped(1, this->Core().RedrawStamp).empty());
    this->Core().OpenVisiblePoints();
    EXPECT_TRUE(this->Core().VisiblePoints.IsEmpty());
}

} // namespace
