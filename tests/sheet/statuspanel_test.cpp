#include "sheetfixture.h"

#include "library/textnum.h"
#include "sheet/statuspanel.h"
#include "store/store.h"

#include <QLabel>
#include <QToolButton>

namespace
{

class StatusTest : public SheetTest
{
  protected:
    QColor PanelColour(QWidget* panel) const { return panel->palette().color(QPalette::Window); }

    TPointRec StoredAt(Extended x, Extended y)
    {
        TPointRec p = Pt(x, y);
        EXPECT_TRUE(core_->FindPointAtLength(p));
        return p;
    }
};

TEST_F(StatusTest, PlaceholdersUntilTheFirstUpdate)
{
    EXPECT_EQ(sheet_->Label3->text(), QStringLiteral("O = Point #9999 "));
    EXPECT_EQ(sheet_->Label1->text(), QStringLiteral("X = Point #9999 "));
    EXPECT_EQ(sheet_->Label2->text(), QStringLiteral("O-X = Segment #9999 "));
    EXPECT_EQ(sheet_->Label4->text(), QStringLiteral("Length = "));
    EXPECT_EQ(sheet_->Label6->text(), QStringLiteral("99999"));
    EXPECT_EQ(sheet_->Label5->text(), QStringLiteral("Pixel size 99999"));
}

TEST_F(StatusTest, NeitherCursorShownGivesZeroLengthAndNoScaleZeroPixelSize)
{
    SheetState& s = sheet_->Sheet;
    InitPoint(s.CursorO());
    InitPoint(s.CursorX());
    core_->CurrentSegment.Segnum = -1;
    sheet_->ShowStatus();
    EXPECT_EQ(sheet_->Label6->text(), QStringLiteral("0.00"));
    EXPECT_EQ(sheet_->Label5->text(), QStringLiteral("Pixel size 0.00 mm"));
    EXPECT_EQ(sheet_->Label1->text(), QStringLiteral("X"));
    EXPECT_EQ(sheet_->Label3->text(), QStringLiteral("O"));
    EXPECT_EQ(PanelColour(sheet_->Panel5), StatusPanelColour(StatusColour::ButtonFace));
    EXPECT_FALSE(sheet_->EdSegBtn->isEnabled());
    EXPECT_TRUE(sheet_->EdPtXBtn->isEnabled());
}

TEST_F(StatusTest, CursorsOnStoredPointsAndAMeasuredArcBetweenThem)
{
    StoreSeg(0, 0, 30, 40);
    TSegRec arc;
    arc.SegType = SegArc;
    arc.FromPoint = Pt(0, 0);
    arc.ToPoint = Pt(30, 40);
    arc.Mlenx = 90;
    core_->InsertSegment(arc);
    sheet_->show();
    SheetState& s = sheet_->Sheet;
    s.HideCursors();
    s.CursorO() = StoredAt(0, 0);
    core_->AddText(s.CursorO(), QStringLiteral("Gate"), 0);
    s.CursorX() = StoredAt(30, 40);
    s.CursorX().Multiple = true;
    core_->CurrentSegment = arc;
    s.ShowCursors(); // showing X rebuilds the panels

    EXPECT_EQ(sheet_->Label1->text(), QStringLiteral("X = Point #%1+").arg(s.CursorX().Pointnum));
    EXPECT_EQ(sheet_->Label3->text(), QStringLiteral("O = Point #%1").arg(s.CursorO().Pointnum));
    EXPECT_EQ(PanelColour(sheet_->Panel5), QColor(166, 202, 240));
    EXPECT_EQ(PanelColour(sheet_->Panel4), QColor(166, 202, 240));
    EXPECT_TRUE(sheet_->EdTxtBtnO->isEnabled());
    EXPECT_FALSE(sheet_->EdTxtBtnX->isEnabled());
    EXPECT_EQ(sheet_->Label2->text(), QStringLiteral("O-X = Segment #%1 A").arg(arc.Segnum));
    EXPECT_EQ(PanelColour(sheet_->Panel6), QColor(255, 255, 0));
    EXPECT_TRUE(sheet_->Label6->font().underline());
    EXPECT_EQ(sheet_->Label6->text(), QStringLiteral("50.00"));
    EXPECT_TRUE(sheet_->delsegbtn->isEnabled());
    EXPECT_EQ(sheet_->Label5->text(), QStringLiteral("Pixel size ") +
                                          FormatFixed(1 / core_->Scale, 2) + QStringLiteral(" mm"));
}

TEST_F(StatusTest, UnmeasuredLineIsNotUnderlinedAndUnknownSegmentIsLookedUp)
{
    const TSegRec line = StoreSeg(0, 0, 100, 0);
    sheet_->show();
    SheetState& s = sheet_->Sheet;
    s.CursorO() = StoredAt(0, 0);
    s.CursorX() = StoredAt(100, 0);
    core_->CurrentSegment.Segnum = -2;
    sheet_->ShowStatus();
    EXPECT_EQ(core_->CurrentSegment.Segnum, line.Segnum);
    EXPECT_EQ(sheet_->Label2->text(), QStringLiteral("O-X = Segment #%1 L").arg(line.Segnum));
    EXPECT_FALSE(sheet_->Label6->font().underline());
    EXPECT_EQ(sheet_->Label6->text(), QStringLiteral("100.00"));
}

TEST_F(StatusTest, XWithoutLengthsReportsAndLeavesTheOPanelReset)
{
    StoreSeg(0, 0, 100, 0);
    sheet_->show();
    SheetState& s = sheet_->Sheet;
    s.CursorO() = StoredAt(0, 0);
    s.CursorX().Pointnum = -2;
    prompts_.Clear();
    sheet_->ShowStatus();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("Error - np lenxy not derived")});
    EXPECT_EQ(sheet_->Label3->text(), QStringLiteral("O"));
    EXPECT_EQ(PanelColour(sheet_->Panel4), StatusPanelColour(StatusColour::ButtonFace));
    EXPECT_EQ(sheet_->Label2->text(), QStringLiteral("O-X"));
}

TEST_F(StatusTest, OWithoutLengthsReportsAfterTheXPanel)
{
    StoreSeg(0, 0, 100, 0);
    sheet_->show();
    SheetState& s = sheet_->Sheet;
    s.CursorX() = StoredAt(100, 0);
    s.CursorO().Pointnum = -2;
    prompts_.Clear();
    sheet_->ShowStatus();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("Error - lp lenxy not derived")});
    EXPECT_EQ(sheet_->Label1->text(), QStringLiteral("X = Point #%1").arg(s.CursorX().Pointnum));
}

// However O and X came to stand where they are (a pop from memory, a layer
// hidden under them), the panel names only a segment drawn between them.
TEST_F(StatusTest, TheSegmentNamedIsAlwaysOneDrawnBetweenOAndX)
{
    const TSegRec floor = StoreSeg(0, 0, 100, 0);
    const TSegRec wall = StoreSeg(0, 0, 0, 50);
    const TSegRec pale = StoreSeg(100, 0, 100, 50, 1);
    sheet_->show();
    SheetState& s = sheet_->Sheet;
    s.HideCursors();
    s.CursorO() = StoredAt(0, 0);
    s.CursorX() = StoredAt(100, 0);
    core_->CurrentSegment.Segnum = -2;
    s.ShowCursors();
    ASSERT_EQ(sheet_->Label2->text(), QStringLiteral("O-X = Segment #%1 L").arg(floor.Segnum));

    // push X, X onto the wall's end (the wall is named), pop X: the floor
    // joins O and X again.
    sheet_->SpeedButton8->click();
    sheet_->MoveX.PlaceXAtPixel(PxX(0), PxY(50));
    ASSERT_EQ(core_->CurrentSegment.Segnum, wall.Segnum);
    sheet_->SpeedButton7->click();
    EXPECT_EQ(s.CursorX().Pointnum, floor.ToPoint.Pointnum);
    EXPECT_EQ(core_->CurrentSegment.Segnum, floor.Segnum);
    EXPECT_EQ(sheet_->Label2->text(), QStringLiteral("O-X = Segment #%1 L").arg(floor.Segnum));

    // O moved onto the wall's end: nothing joins O and X, and "x" cannot
    // delete a segment that is not between them.
    s.HideCursors();
    s.CursorO() = StoredAt(0, 50);
    s.ShowCursors();
    EXPECT_EQ(sheet_->Label2->text(), QStringLiteral("O-X"));
    EXPECT_FALSE(sheet_->delsegbtn->isEnabled());

    // A segment of a faint layer stays named while its layer is drawn, and
    // goes when the layer is hidden.
    s.HideCursors();
    s.CursorO() = StoredAt(100, 0);
    s.CursorX() = StoredAt(100, 50);
    core_->CurrentSegment = pale;
    s.ShowCursors();
    ASSERT_EQ(sheet_->Label2->text(), QStringLiteral("O-X = Segment #%1 L").arg(pale.Segnum));
    Exec(QStringLiteral("UPDATE layer SET Visib = 0 WHERE Dgnum = 1 AND Layernum = 1"));
    sheet_->Redraw.RefreshKeepingCursors();
    EXPECT_EQ(sheet_->Label2->text(), QStringLiteral("O-X"));
    EXPECT_FALSE(sheet_->EdSegBtn->isEnabled());
}

} // namespace
