#include "sheetfixture.h"

#include "sheet/drawing.h"
#include "sheet/redraw.h"
#include "store/store.h"

#include <QLabel>
#include <QScrollArea>
#include <QToolButton>
#include <set>
#include <sqlite3.h>

namespace
{

constexpr CanvasColour White = CanvasRgb(255, 255, 255);
constexpr CanvasColour Black = CanvasRgb(0, 0, 0);
constexpr CanvasColour Navy = CanvasRgb(0, 0, 128);
constexpr CanvasColour Silver = CanvasRgb(192, 192, 192);
constexpr CanvasColour Red = CanvasRgb(255, 0, 0);

class RedrawTest : public SheetTest
{
  protected:
    // Every pixel of the row from length x1 to x2 at length y.
    void ExpectRow(Extended y, Extended x1, Extended x2, CanvasColour colour)
    {
        for (int x = PxX(x1); x <= PxX(x2); ++x)
            ASSERT_EQ(Px(x, PxY(y)), colour) << "column " << x << " row " << PxY(y);
    }

    // An arc about (x1, y1) from (x2, y2) through the angle.
    TSegRec StoreArc(Extended x1, Extended y1, Extended x2, Extended y2, Extended angle)
    {
        TSegRec arc;
        arc.SegType = SegArc;
        arc.FromPoint = Pt(x1, y1);
        arc.ToPoint = Pt(x2, y2);
        arc.Mlenx = angle;
        core_->InsertSegment(arc);
        return arc;
    }

    long long Scalar(const QString& sql)
    {
        tables::Statement st(core_->Database1, sql);
        return st.Step() ? st.ColumnInt64(0) : -1;
    }
};

TEST_F(RedrawTest, Refresh_FitsToTheScrollBoxLessMarginsAndSidePanel)
{
    StoreSeg(0, 0, 100, 0);
    StoreSeg(0, 0, 0, 50);
    ShowDrawing();
    const QSize client = sheet_->ScrollBox1->maximumViewportSize();
    ASSERT_EQ(core_->SheetWidth, client.width());
    ASSERT_EQ(core_->SheetHeight, client.height());
    const double sx = double(client.width() - 100 - sheet_->Panel1->width()) / 100;
    const double sy = double(client.height() - 100) / 50;
    EXPECT_DOUBLE_EQ(core_->Scale, std::min(sx, sy));
    EXPECT_EQ(PxX(0), 50);
    EXPECT_EQ(PxY(0), 50);
    // The frame of the empty bitmap is painted over by the drawing.
    EXPECT_EQ(Px(0, 0), White);
}

TEST_F(RedrawTest, Refresh_BoldNavyFaintSilverHiddenNeverDrawn)
{
    StoreSeg(0, 0, 100, 0); // bold
    TSegRec faint = StoreSeg(0, 50, 100, 50);
    faint.Faint = true;
    core_->UpdateSegmentProperties(faint);
    StoreSeg(0, 25, 100, 25, 1); // on the faint layer
    StoreSeg(0, 10, 100, 10, 2); // on the hidden layer
    ShowDrawing();
    ASSERT_GT(core_->Scale, 0);
    ExpectRow(0, 0, 100, Navy);
    ExpectRow(50, 0, 100, Silver);
    ExpectRow(25, 0, 100, Silver);
    ExpectRow(10, 1, 99, White);
}

TEST_F(RedrawTest, Refresh_NoVisibleSegmentLeavesTheFramedWhiteSheetAndNoLabels)
{
    StoreSeg(0, 0, 100, 0, 2);
    core_->AddText(Pt(50, 0), QStringLiteral("Door"), 0);
    ShowDrawing();
    EXPECT_EQ(core_->Scale, 0);
    const int w = core_->SheetWidth;
    const int h = core_->SheetHeight;
    EXPECT_EQ(Px(0, 0), Black);
    EXPECT_EQ(Px(w - 1, h - 1), Black);
    EXPECT_EQ(CountColour(1, 1, w - 2, h - 2, White), (w - 2) * (h - 2));
    EXPECT_TRUE(core_->VisiblePoints.IsEmpty());
}

TEST_F(RedrawTest, Labels_UnderSegmentsFaintUnderBoldHiddenNotDrawn)
{
    StoreSeg(0, 0, 100, 0);
    StoreSeg(0, 0, 0, 50);
    core_->AddText(Pt(60, 0), QStringLiteral("MMMM"), 0); // on the bold line
    core_->AddText(Pt(40, 30), QStringLiteral("MMMMMMMM"), 1);
    core_->AddText(Pt(41, 30), QStringLiteral("MMMMMMMM"), 0);
    core_->AddText(Pt(10, 40), QStringLiteral("MMMM"), 2);
    ShowDrawing();
    const Canvas& bmp = sheet_->Sheet.Bitmap;
    EXPECT_EQ(bmp.FontPoints(), 8);
    const int cellW = bmp.TextWidth(QStringLiteral("MMMMMMMM"));
    const int cellH = bmp.TextHeight(QStringLiteral("M"));
    ASSERT_GT(PxX(41) - PxX(40), 2);
    ASSERT_LT(PxX(41) - PxX(40), cellW / 2);

    // The line crosses the label at (60, 0) and stays navy over it.
    ExpectRow(0, 0, 100, Navy);
    EXPECT_GT(CountColour(PxX(60), PxY(0), PxX(60) + cellW / 2, PxY(0) + cellH - 1, Black), 0);

    // The bold label is written over the faint one: no silver in its cell,
    // while the part of the faint label left of it shows.
    const int bx = PxX(41);
    const int by = PxY(30);
    EXPECT_GT(CountColour(bx, by, bx + cellW - 1, by + cellH - 1, Black), 0);
    EXPECT_EQ(CountColour(bx, by, bx + cellW - 1, by + cellH - 1, Silver), 0);
    EXPECT_GT(CountColour(PxX(40), by, bx - 1, by + cellH - 1, Silver), 0);

    // The hidden label leaves its place white.
    EXPECT_EQ(CountColour(PxX(10), PxY(40), PxX(10) + cellW / 2, PxY(40) + cellH - 1, White),
              (cellW / 2 + 1) * cellH);
}

TEST_F(RedrawTest, ShowPoints_MarksBothEndsOfEveryVisibleSegmentOnly)
{
    StoreSeg(0, 0, 100, 0);
    StoreSeg(100, 0, 100, 50, 1);
    StoreSeg(0, 20, 50, 20, 2);
    core_->AddText(Pt(30, 40), QStringLiteral("."), 0);
    ShowDrawing();
    sheet_->RefPtsBtn->click();
    EXPECT_TRUE(sheet_->Sheet.CursorOShown); // the refresh keeps the cursors
    sheet_->Sheet.HideCursors();
    for (auto [x, y] : {std::pair{0, 0}, {100, 0}, {100, 50}}) {
        EXPECT_EQ(CountColour(PxX(x) - 1, PxY(y) - 1, PxX(x) + 1, PxY(y) + 1, Red), 9)
            << x << "," << y;
        EXPECT_NE(Px(PxX(x) - 2, PxY(y)), Red);
        EXPECT_NE(Px(PxX(x) + 2, PxY(y)), Red);
    }
    EXPECT_EQ(CountColour(PxX(30) - 1, PxY(40) - 1, PxX(30) + 1, PxY(40) + 1, Red), 0);
    EXPECT_EQ(CountColour(PxX(0) - 1, PxY(20) - 1, PxX(0) + 1, PxY(20) + 1, Red), 0);
    // Released, the next refresh draws no markers.
    sheet_->RefPtsBtn->click();
    sheet_->Sheet.HideCursors();
    EXPECT_EQ(CountColour(PxX(0) - 1, PxY(0) - 1, PxX(0) + 1, PxY(0) + 1, Red), 0);
}

TEST_F(RedrawTest, Stamp_VisiblePointsAreExactlyThoseDrawn)
{
    const TSegRec a = StoreSeg(0, 0, 100, 0);
    const TSegRec b = StoreSeg(100, 0, 100, 50, 1);
    const TSegRec hidden = StoreSeg(0, 20, 50, 20, 2);
    TPointRec label = Pt(30, 40);
    core_->AddText(label, QStringLiteral("Door"), 0);
    TPointRec hiddenLabel = Pt(35, 45);
    core_->AddText(hiddenLabel, QStringLiteral("Shelf"), 2);
    ShowDrawing();

    std::set<int32_t> listed;
    for (const VisiblePointRow& row : core_->VisiblePoints.Rows())
        listed.insert(row.Pointnum);
    TPointRec found = Pt(30, 40);
    ASSERT_TRUE(core_->FindPointAtLength(found));
    const std::set<int32_t> drawn = {a.FromPoint.Pointnum, a.ToPoint.Pointnum, b.ToPoint.Pointnum,
                                     found.Pointnum};
    EXPECT_EQ(listed, drawn);
    EXPECT_EQ(listed.count(hidden.FromPoint.Pointnum), 0u);

    TPointRec stored;
    for (int32_t n : drawn) {
        ASSERT_TRUE(core_->LoadPoint(n, stored));
        EXPECT_EQ(stored.Rprts, core_->RedrawStamp);
    }
    ASSERT_TRUE(core_->LoadPoint(hidden.ToPoint.Pointnum, stored));
    EXPECT_NE(stored.Rprts, core_->RedrawStamp);
}

TEST_F(RedrawTest, Refresh_RefusedWhileACursorIsShown)
{
    StoreSeg(0, 0, 100, 0);
    sheet_->show();
    ASSERT_TRUE(sheet_->Sheet.CursorXShown);
    const QImage before = Snapshot();
    const TDateTime stamp = core_->RedrawStamp;
    prompts_.Clear();
    sheet_->Redraw.RefreshSheet();
    EXPECT_EQ(prompts_.Texts(),
              QStringList{QStringLiteral("Program error : Cannot refresh, cursors are still on")});
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(core_->RedrawStamp, stamp);
}

TEST_F(RedrawTest, RefreshWithCursors_LooksUpTheSegmentBetweenTheNewOAndX)
{
    TSegRec first = StoreSeg(0, 0, 100, 0);
    const TSegRec last = StoreSeg(100, 0, 100, 50);
    core_->CurrentSegment = first;
    sheet_->show();
    EXPECT_EQ(sheet_->Sheet.CursorO().Pointnum, last.FromPoint.Pointnum);
    EXPECT_EQ(sheet_->Sheet.CursorX().Pointnum, last.ToPoint.Pointnum);
    EXPECT_EQ(core_->CurrentSegment.Segnum, last.Segnum);
    EXPECT_TRUE(
        sheet_->Label2->text().startsWith(QStringLiteral("O-X = Segment #%1").arg(last.Segnum)));
}

TEST_F(RedrawTest, RefreshWithCursors_NamesNoSegmentWhenTheLastDrawnIsNotBold)
{
    TSegRec first = StoreSeg(0, 0, 100, 0);
    StoreSeg(100, 0, 100, 50, 1);
    core_->CurrentSegment = first;
    sheet_->show();
    EXPECT_EQ(core_->CurrentSegment.Segnum, -1);
    EXPECT_EQ(sheet_->Label2->text(), QStringLiteral("O-X"));
    EXPECT_FALSE(sheet_->delsegbtn->isEnabled());
}

TEST_F(RedrawTest, RedrawMenu_KeepsTheCursorsWhereTheyWere)
{
    StoreSeg(0, 0, 100, 0);
    StoreSeg(0, 0, 0, 50);
    sheet_->show();
    SheetState& s = sheet_->Sheet;
    s.HideCursors();
    TPointRec there = Pt(100, 0);
    ASSERT_TRUE(core_->FindPointAtLength(there));
    s.CursorX() = there;
    s.ShowCursors();
    sheet_->Draw1->trigger();
    EXPECT_EQ(s.CursorX().Pointnum, there.Pointnum);
    EXPECT_EQ(s.CursorX().Pxlx, PxX(100));
    EXPECT_TRUE(s.CursorXShown);
}

TEST_F(RedrawTest, RefreshKeepingCursors_NamesOnlyASegmentThatJoinsOAndX)
{
    StoreSeg(0, 0, 100, 0);
    const TSegRec wall = StoreSeg(100, 0, 100, 50);
    sheet_->show();
    SheetState& s = sheet_->Sheet;
    ASSERT_EQ(core_->CurrentSegment.Segnum, wall.Segnum);
    // O and X unchanged: the segment between them stays named.
    sheet_->Draw1->trigger();
    EXPECT_EQ(sheet_->Label2->text(), QStringLiteral("O-X = Segment #%1 L").arg(wall.Segnum));

    // As after a measured entry: X moves on to the new segment's end while
    // O stays, and the sheet is refreshed keeping both.
    const TSegRec next = StoreSeg(100, 50, 0, 50);
    s.HideCursors();
    s.CursorX() = next.ToPoint;
    s.ShowCursors();
    sheet_->Redraw.RefreshKeepingCursors();
    EXPECT_EQ(s.CursorX().Pointnum, next.ToPoint.Pointnum);
    EXPECT_EQ(core_->CurrentSegment.Segnum, -1);
    EXPECT_EQ(sheet_->Label2->text(), QStringLiteral("O-X"));

    // O on the new segment's start: that segment is looked up between them.
    s.HideCursors();
    s.CursorO() = next.FromPoint;
    s.ShowCursors();
    sheet_->Redraw.RefreshKeepingCursors();
    EXPECT_EQ(sheet_->Label2->text(), QStringLiteral("O-X = Segment #%1 L").arg(next.Segnum));
}

TEST_F(RedrawTest, APointStoredAtInfinityIsReportedOnceAndTheRestIsDrawn)
{
    StoreSeg(0, 0, 100, 0);
    StoreSeg(0, 0, 0, 50);
    const TSegRec wild = StoreSeg(100, 0, 100, 60);
    StoreSeg(100, 60, 50, 60);
    // Written before lengths were checked: one end at infinity, one beyond
    // the range a diagram's lengths may have.
    Exec(QStringLiteral("UPDATE point SET Leny = -9e999 WHERE Dgnum = 1 AND Pointnum = %1")
             .arg(wild.ToPoint.Pointnum));
    ShowDrawing();
    EXPECT_EQ(prompts_.Texts(ScriptedPrompts::Kind::Info).size(), 1);
    ASSERT_GT(core_->Scale, 0);
    EXPECT_EQ(core_->MinLenX, 0);
    EXPECT_EQ(core_->MaxLenX, 100);
    EXPECT_EQ(core_->MinLenY, 0);
    // The segments at the wild point are left out whole: the far end of
    // the last one, which nothing else draws, does not stretch the sheet.
    EXPECT_EQ(core_->MaxLenY, 50);
    ExpectRow(0, 0, 100, Navy);
    // The segments at the wild point are left out, nothing crosses the sheet.
    EXPECT_EQ(CountColour(PxX(100) + 1, 0, core_->SheetWidth - 1, core_->SheetHeight - 1, Navy), 0);

    // Each refresh reports it once again, no more.
    prompts_.Clear();
    sheet_->Redraw.RefreshSheet();
    EXPECT_EQ(prompts_.Texts(ScriptedPrompts::Kind::Info).size(), 1);
}

TEST_F(RedrawTest, ASegmentWhoseEndIsGoneIsNotDrawnToTheCorner)
{
    const TSegRec kept = StoreSeg(0, 0, 100, 0);
    const TSegRec broken = StoreSeg(50, 50, 100, 50);
    Exec(QStringLiteral("DELETE FROM point WHERE Dgnum = 1 AND Pointnum = %1")
             .arg(broken.ToPoint.Pointnum));
    ShowDrawing();
    EXPECT_EQ(prompts_.Texts(),
              QStringList{QStringLiteral(
                  "ERROR : Point not found for segment, you must run Database Healthcheck")});
    ASSERT_GT(core_->Scale, 0);
    ExpectRow(0, 0, 100, Navy);
    // Nothing inked but the one line: no stroke from the end that is left
    // towards the sheet's corner.
    const int w = core_->SheetWidth;
    const int h = core_->SheetHeight;
    EXPECT_EQ(CountColour(0, 0, w - 1, PxY(0) - 1, Navy), 0);
    EXPECT_EQ(CountColour(0, PxY(0) + 1, w - 1, h - 1, Navy), 0);
    // The end that is left is not among the points drawn, and O and X end
    // on the line that is.
    EXPECT_EQ(core_->VisiblePoints.RecordCount(), 2);
    EXPECT_EQ(sheet_->Sheet.LastDrawnEnd.Pointnum, kept.ToPoint.Pointnum);
}

TEST_F(RedrawTest, LengthsThatAreNotNumbersAreReportedOnceAndLeftOut)
{
    StoreSeg(0, 0, 100, 0);
    StoreSeg(100, 0, 100, 50);
    const TSegRec wild = StoreSeg(100, 50, 30, 80);
    core_->AddText(wild.ToPoint, QStringLiteral("Gate"), 0);
    const TSegRec arc = StoreArc(50, 20, 60, 20, 90);
    ShowDrawing();
    const int arcInk = CountColour(PxX(40), PxY(10), PxX(60), PxY(30), Navy);
    ASSERT_GT(arcInk, 0);
    const int wildPixel = int(Scalar(QStringLiteral("SELECT Pxlx FROM point WHERE Dgnum = 1 AND "
                                                    "Pointnum = %1")
                                         .arg(wild.ToPoint.Pointnum)));

    // Written by a script: texts where lengths belong, which the table
    // keeps as they are.
    Exec(QStringLiteral("UPDATE point SET Lenx = 'abc' WHERE Dgnum = 1 AND Pointnum = %1")
             .arg(wild.ToPoint.Pointnum));
    prompts_.Clear();
    sheet_->Redraw.RefreshSheet();
    EXPECT_EQ(prompts_.Texts(),
              QStringList{QStringLiteral("ERROR : Point #%1 has a length that is not a number; "
                                         "it is left out of the drawing (Database Healthcheck "
                                         "lists every such length)")
                              .arg(wild.ToPoint.Pointnum)});
    EXPECT_EQ(core_->MaxLenY, 50);
    // Neither the segment nor the label is drawn at 0 or anywhere else.
    EXPECT_EQ(CountColour(0, PxY(50) + 1, core_->SheetWidth - 1, core_->SheetHeight - 1, Navy), 0);
    EXPECT_EQ(CountColour(0, 0, core_->SheetWidth - 1, core_->SheetHeight - 1, Black), 0);
    // The text stays, its point keeps its pixels, and it is not drawn.
    EXPECT_EQ(Scalar(QStringLiteral("SELECT typeof(Lenx) = 'text' AND Pxlx = %1 FROM point WHERE "
                                    "Dgnum = 1 AND Pointnum = %2")
                         .arg(wildPixel)
                         .arg(wild.ToPoint.Pointnum)),
              1);
    for (const VisiblePointRow& row : core_->VisiblePoints.Rows())
        EXPECT_NE(row.Pointnum, wild.ToPoint.Pointnum);

    Exec(QStringLiteral("UPDATE point SET Lenx = 30 WHERE Dgnum = 1 AND Pointnum = %1")
             .arg(wild.ToPoint.Pointnum));
    Exec(QStringLiteral("UPDATE seg SET Mlenx = '1,5' WHERE Dgnum = 1 AND Segnum = %1")
             .arg(arc.Segnum));
    prompts_.Clear();
    sheet_->Redraw.RefreshSheet();
    EXPECT_EQ(prompts_.Texts(),
              QStringList{QStringLiteral("ERROR : Arc #%1 has an angle that is not a number; it "
                                         "is left out of the drawing (Database Healthcheck lists "
                                         "every such length)")
                              .arg(arc.Segnum)});
    EXPECT_EQ(CountColour(PxX(40), PxY(10), PxX(60), PxY(30), Navy), 0);
}

TEST(ArcAngleDegrees, RoundsHalvesToEvenAndHoldsHugeValuesTooBig)
{
    EXPECT_EQ(ArcAngleDegrees(90.5), 90);
    EXPECT_EQ(ArcAngleDegrees(91.5), 92);
    EXPECT_EQ(ArcAngleDegrees(-90.5), -90);
    EXPECT_GT(ArcAngleDegrees(1e300), 360);
    EXPECT_LT(ArcAngleDegrees(-1e300), -360);
}

TEST_F(RedrawTest, StoredArcWithAngleOver360IsReportedNotDrawn)
{
    StoreSeg(0, 0, 100, 0);
    StoreArc(50, 20, 60, 20, 400);
    ShowDrawing();
    EXPECT_TRUE(prompts_.Texts().contains(QStringLiteral("Error : arc angle too big 400")));
    // Nothing of the circle about (50, 20) is inked.
    const int r = PxX(60) - PxX(50);
    EXPECT_EQ(CountColour(PxX(50) - r, PxY(20) - r, PxX(50) + r, PxY(20) + r, Navy), 0);
}

TEST_F(RedrawTest, Refresh_AtAnUnchangedScaleWritesOnlyTheStampOfEachDrawnPoint)
{
    StoreSeg(0, 0, 100, 0);
    StoreSeg(100, 0, 100, 50);
    StoreSeg(100, 50, 0, 0, 1);
    StoreSeg(0, 20, 50, 20, 2); // hidden: its ends are never stamped
    core_->AddText(Pt(30, 40), QStringLiteral("Door"), 0);
    ShowDrawing();
    const QImage first = Snapshot();
    const TDateTime firstStamp = core_->RedrawStamp;

    const int before = sqlite3_total_changes(core_->Database1.Handle());
    sheet_->Redraw.RefreshSheet();
    const int written = sqlite3_total_changes(core_->Database1.Handle()) - before;
    // Points 0, 1, 2 of the segments and the label's point: one row each.
    EXPECT_EQ(core_->VisiblePoints.RecordCount(), 4);
    EXPECT_EQ(written, 4);
    EXPECT_GT(core_->RedrawStamp, firstStamp);
    EXPECT_EQ(Snapshot(), first);
}

TEST_F(RedrawTest, Refresh_LastDrawnEndIsTheStampedToPointOfTheLastVisibleSegment)
{
    StoreSeg(0, 0, 100, 0);
    const TSegRec last = StoreSeg(100, 0, 60, 50, 1);
    StoreSeg(0, 20, 50, 20, 2); // hidden, numbered after it
    ShowDrawing();
    const TPointRec& end = sheet_->Sheet.LastDrawnEnd;
    EXPECT_EQ(end.Pointnum, last.ToPoint.Pointnum);
    EXPECT_EQ(end.Lenx, 60);
    EXPECT_EQ(end.Leny, 50);
    EXPECT_EQ(end.Pxlx, PxX(60));
    EXPECT_EQ(end.Pxly, PxY(50));
    // The record says what the store says: drawn by this refresh.
    EXPECT_EQ(end.Rprts, core_->RedrawStamp);
    TPointRec stored;
    ASSERT_TRUE(core_->LoadPoint(end.Pointnum, stored));
    EXPECT_EQ(stored.Rprts, end.Rprts);
}

TEST_F(RedrawTest, Refresh_StoredSegmentFlagsReachThePixels)
{
    TSegRec dotted = StoreSeg(0, 0, 100, 0);
    dotted.Dotted = true;
    ASSERT_TRUE(core_->UpdateSegmentProperties(dotted));
    StoreSeg(0, 50, 100, 50);
    ShowDrawing();
    const int y = PxY(0);
    for (int x = PxX(0); x < PxX(100); ++x)
        ASSERT_EQ(Px(x, y), (x - PxX(0)) % 2 == 0 ? Navy : White) << "column " << x;
    ExpectRow(50, 0, 100, Navy);
}

} // namespace
