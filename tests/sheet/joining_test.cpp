#include "sheetfixture.h"

#include "joiningasbefore.h"
#include "library/application.h"
#include "platform/fileidentity.h"
#include "store/store.h"

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <sqlite3.h>

namespace
{

constexpr CanvasColour Navy = CanvasRgb(0, 0, 128);
constexpr CanvasColour Silver = CanvasRgb(192, 192, 192);

class JoiningTest : public SheetTest
{
  protected:
    void SetUp() override
    {
        SheetTest::SetUp();
        floor_ = StoreSeg(0, 50, 100, 50);
        post_ = StoreSeg(0, 0, 0, 150);
        ShowDrawing();
    }

    TPointRec& X() { return sheet_->Sheet.CursorX(); }
    TPointRec& O() { return sheet_->Sheet.CursorO(); }

    // O and X at exact lengths, stored points where there are some.
    void Place(TPointRec& cursor, Extended x, Extended y)
    {
        cursor = Pt(x, y);
        core_->FindPointAtLength(cursor);
    }

    void Join(int shape)
    {
        sheet_->Sheet.ShowCursors();
        sheet_->ComboBox2->setCurrentIndex(shape);
        sheet_->Button3->click();
        sheet_->Joining.ComboBox2Change();
    }

    // Pixels of the colour near the middle of the line from (0, 0) to (100, 50).
    int AroundMiddle(CanvasColour colour) const
    {
        const int x = (PxX(0) + PxX(100)) / 2;
        const int y = (PxY(0) + PxY(50)) / 2;
        return CountColour(x - 1, y - 1, x + 1, y + 1, colour);
    }

    TSegRec LastStored()
    {
        TSegRec seg;
        EXPECT_TRUE(core_->LoadSegment(core_->LastSegNum, seg));
        return seg;
    }

    TSegRec floor_, post_;
};

TEST_F(JoiningTest, LineIsDrawnStoredAndSeenByTheNextStep)
{
    Place(O(), 0, 0);
    Place(X(), 100, 50);
    Join(0);
    EXPECT_EQ(sheet_->Sheet.JoinMode, 2);
    EXPECT_TRUE(sheet_->Sheet.PreviewDrawn);
    EXPECT_FALSE(sheet_->QuitBtn->isEnabled());
    sheet_->SaveBtn->click();

    const TSegRec seg = LastStored();
    EXPECT_EQ(seg.SegType, SegLine);
    EXPECT_EQ(seg.FromPoint.Pointnum, post_.FromPoint.Pointnum);
    EXPECT_EQ(seg.ToPoint.Pointnum, floor_.ToPoint.Pointnum);
    EXPECT_EQ(core_->CurrentSegment.Segnum, seg.Segnum);
    EXPECT_EQ(sheet_->Sheet.JoinMode, 0);
    EXPECT_FALSE(sheet_->SaveBtn->isEnabled());
    EXPECT_TRUE(sheet_->QuitBtn->isEnabled());
    EXPECT_FALSE(core_->VisibleSegments.Active());

    sheet_->Sheet.HideCursors();
    EXPECT_GT(AroundMiddle(Navy), 0);
    sheet_->ComboBox1->setCurrentIndex(1);
    sheet_->FirstBtn->click();
    EXPECT_EQ(prompts_.Flashes().last(), QStringLiteral("3 Segments visible"));
}

TEST_F(JoiningTest, NotTrulyVerticalOrHorizontalAsksAndNoKeepsThePanelOpen)
{
    Place(O(), 0, 0);
    X() = Pt(0.001, 50);
    X().Pxlx = PxX(0.001);
    X().Pxly = PxY(50);
    ASSERT_EQ(X().Pxlx, O().Pxlx);
    const int32_t last = core_->LastSegNum;
    Join(0);
    prompts_.Answer('N');
    sheet_->SaveBtn->click();
    EXPECT_EQ(prompts_.Texts().last(),
              QStringLiteral("Segment is not truly vertical - are you sure you want to save?"));
    EXPECT_EQ(core_->LastSegNum, last);
    EXPECT_EQ(sheet_->Sheet.JoinMode, 2);
    EXPECT_TRUE(sheet_->SaveBtn->isEnabled());
    EXPECT_TRUE(sheet_->Sheet.PreviewDrawn);

    sheet_->Sheet.HideCursors();
    X() = Pt(100, 0.001);
    X().Pxlx = PxX(100);
    X().Pxly = PxY(0.001);
    prompts_.Answer('N');
    sheet_->Sheet.ShowCursors();
    sheet_->SaveBtn->click();
    EXPECT_EQ(prompts_.Texts().last(),
              QStringLiteral("Segment is not truly horizontal - are you sure you want to save?"));
    EXPECT_EQ(core_->LastSegNum, last);

    // Exactly above each other: no question, a vertical line.
    sheet_->Sheet.HideCursors();
    Place(X(), 0, 50);
    sheet_->Sheet.ShowCursors();
    prompts_.Clear();
    sheet_->SaveBtn->click();
    EXPECT_TRUE(prompts_.Texts().isEmpty());
    EXPECT_EQ(core_->LastSegNum, last + 1);
}

TEST_F(JoiningTest, ArcAboutXIsStoredCentreFirstAndXEndsOnTheArc)
{
    Place(O(), 100, 50);
    Place(X(), 50, 50);
    sheet_->Sheet.Drawing.ArcAngle = 90;
    Join(1);
    EXPECT_TRUE(sheet_->AngleBtn->isEnabled());
    const int r = PxX(100) - PxX(50);
    sheet_->SaveBtn->click();

    const TSegRec seg = LastStored();
    EXPECT_EQ(seg.SegType, SegArc);
    EXPECT_EQ(seg.Mlenx, 90.0);
    EXPECT_EQ(seg.FromPoint.Lenx, 50.0);
    EXPECT_EQ(seg.FromPoint.Leny, 50.0);
    EXPECT_EQ(seg.ToPoint.Pointnum, floor_.ToPoint.Pointnum);
    // A positive angle turns clockwise on the screen: from the right to below.
    EXPECT_EQ(X().Pxlx, PxX(50));
    EXPECT_EQ(X().Pxly, PxY(50) + r);
    EXPECT_EQ(sheet_->ComboBox2->currentIndex(), 0);
    sheet_->Sheet.HideCursors();
    EXPECT_EQ(Px(PxX(50), PxY(50) + r), Navy);
}

TEST_F(JoiningTest, ArcAboutOStartsAtX)
{
    Place(O(), 50, 50);
    Place(X(), 100, 50);
    sheet_->Sheet.Drawing.ArcAngle = -90;
    Join(2);
    const int r = PxX(100) - PxX(50);
    sheet_->SaveBtn->click();
    const TSegRec seg = LastStored();
    EXPECT_EQ(seg.SegType, SegArc);
    EXPECT_EQ(seg.Mlenx, -90.0);
    EXPECT_EQ(seg.FromPoint.Lenx, 50.0);
    EXPECT_EQ(seg.ToPoint.Pointnum, floor_.ToPoint.Pointnum);
    EXPECT_EQ(X().Pxlx, PxX(50));
    EXPECT_EQ(X().Pxly, PxY(50) - r);
}

TEST_F(JoiningTest, RectangleNeedsWidthAndHeightAndIsStoredAsFourLines)
{
    Place(O(), 20, 10);
    Place(X(), 20, 150);
    const int32_t last = core_->LastSegNum;
    Join(3);
    sheet_->SaveBtn->click();
    EXPECT_EQ(prompts_.Texts().last(),
              QStringLiteral("Rectangle has zero width or height, use Line instead"));
    EXPECT_EQ(core_->LastSegNum, last);
    EXPECT_EQ(sheet_->Sheet.JoinMode, 2);

    sheet_->Sheet.HideCursors();
    Place(X(), 100, 150);
    sheet_->Sheet.ShowCursors();
    sheet_->SaveBtn->click();
    EXPECT_EQ(core_->LastSegNum, last + 4);
    sheet_->Sheet.HideCursors();
    EXPECT_NE(Px(PxX(100), PxY(100)), Canvas::White);
}

TEST_F(JoiningTest, FaintLayerAsksFirstAndYesStoresASilverLine)
{
    ASSERT_TRUE(core_->LoadLayer(1, core_->CurrentLayer));
    Place(O(), 0, 0);
    Place(X(), 100, 50);
    Join(0);
    prompts_.Answer('N');
    sheet_->SaveBtn->click();
    EXPECT_EQ(prompts_.Texts().last(), QStringLiteral("Selected layer is faint - OK?"));
    EXPECT_EQ(sheet_->Sheet.JoinMode, 2);
    prompts_.Answer('Y');
    sheet_->SaveBtn->click();
    EXPECT_EQ(LastStored().Layernum, 1);
    sheet_->Sheet.HideCursors();
    EXPECT_GT(AroundMiddle(Silver), 0);
    EXPECT_EQ(AroundMiddle(Navy), 0);

    // Cancel leaves joining with the sheet as it was.
    Join(0);
    sheet_->JngCancel->click();
    EXPECT_EQ(sheet_->Sheet.JoinMode, 0);
    EXPECT_FALSE(sheet_->Sheet.PreviewDrawn);
}

// Rows of a table as another program finds them in the file.
long long RowsInFile(const QString& file, const char* table)
{
    sqlite3* db = nullptr;
    long long n = -1;
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
        SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        const QByteArray sql = QByteArray("SELECT count(*) FROM ") + table;
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW)
            n = sqlite3_column_int64(st, 0);
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return n;
}

TEST_F(JoiningTest, ASegmentTheStoreRefusesLeavesTheSheetAndThePanelAsTheyWere)
{
    const QString file = dir_.path() + QStringLiteral("/Scalora data/tables.sqlite");
    const QString away = dir_.path() + QStringLiteral("/Scalora data/moved.sqlite");
    sheet_->Sheet.Drawing.ArcAngle = 90;
    for (int shape = 0; shape < 4; ++shape) {
        SCOPED_TRACE(shape);
        sheet_->Sheet.HideCursors();
        Place(O(), 0, 0);
        Place(X(), 100, 50);
        Join(shape);
        const QImage before = Snapshot();
        const TPointRec x = X();
        const int32_t lastSeg = core_->LastSegNum;
        const int32_t lastPoint = core_->LastPointNum;
        const long long segs = Count(QStringLiteral("seg"));
        const long long points = Count(QStringLiteral("point"));

        // The store's file moved away under the program: the commit is refused.
        ASSERT_TRUE(QFile::rename(file, away));
        prompts_.Clear();
        DeliverShowingExceptions([&] {
            sheet_->SaveBtn->click();
            return true;
        });
        EXPECT_EQ(prompts_.Texts(ScriptedPrompts::Kind::Error),
                  QStringList{ExceptionBoxText(DatabaseFileGoneText(file))});
        EXPECT_EQ(Count(QStringLiteral("seg")), segs);
        EXPECT_EQ(Count(QStringLiteral("point")), points);
        EXPECT_EQ(core_->LastSegNum, lastSeg);
        EXPECT_EQ(core_->LastPointNum, lastPoint);

        ExpectJoiningAsBefore(*sheet_, before, x, shape);

        // With the file back another program finds nothing new in it, and
        // the same Save stores the segment.
        ASSERT_TRUE(QFile::rename(away, file));
        EXPECT_EQ(RowsInFile(file, "seg"), segs);
        EXPECT_EQ(RowsInFile(file, "point"), points);
        sheet_->SaveBtn->click();
        EXPECT_GT(core_->LastSegNum, lastSeg);
        EXPECT_EQ(sheet_->Sheet.JoinMode, 0);
        EXPECT_TRUE(Snapshot() != before);
    }
}

} // namespace
