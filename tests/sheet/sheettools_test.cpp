// The geometric helpers, the labels and the segment commands of the main
// window, through their commands, on a real table store and the real bitmap.

#include "dialogs/edpt.h"
#include "dialogs/edtxt.h"
#include "dialogs/layers.h"
#include "dialogs/segdets.h"
#include "library/qorvlib.h"
#include "sheetfixture.h"
#include "store/layersdata.h"
#include "support/modalhelper.h"

#include <QAction>
#include <QCheckBox>
#include <QCursor>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>

namespace
{

class ToolsTest : public SheetTest
{
  protected:
    void SetUp() override
    {
        SheetTest::SetUp();
        layers_ = std::make_unique<TFLayers>(*core_, core_->MakeLayersData(), forms_);
        forms_.FLayers = layers_.get();
        edtxt_ = std::make_unique<TFedtxt>(*core_, forms_);
        forms_.Fedtxt = edtxt_.get();
        segdets_ = std::make_unique<TFSegdets>(*core_, forms_);
        forms_.FSegdets = segdets_.get();
    }

    void TearDown() override
    {
        SheetTest::TearDown();
        segdets_.reset();
        edtxt_.reset();
        layers_.reset();
    }

    // A box 0..100 x 0..60 drawn, so that the sheet has a scale.
    void DrawBox()
    {
        StoreSeg(0, 0, 100, 0);
        StoreSeg(100, 0, 100, 60);
        ShowDrawing();
    }

    // An unstored place with its pixels from its lengths.
    TPointRec Place(Extended x, Extended y)
    {
        TPointRec p = Pt(x, y);
        p.Pxlx = core_->LenToPixelX(x);
        p.Pxly = core_->LenToPixelY(y);
        return p;
    }

    TPointRec At(Extended x, Extended y)
    {
        TPointRec p = Pt(x, y);
        core_->FindPointAtLength(p);
        return p;
    }

    // Puts the cursors on the places, shown.
    void PlaceCursors(const TPointRec& o, const TPointRec& x)
    {
        SheetState& s = sheet_->Sheet;
        s.HideCursors();
        s.CursorO() = o;
        s.CursorX() = x;
        s.ShowCursors();
    }

    // The layers window chooses the layer with that number at once.
    void ChooseLayerWhenAsked(int32_t layernum)
    {
        WhenModal([this, layernum](QWidget*) {
            layers_->GoToLayerRow(layernum);
            layers_->Button2->click();
        });
    }

    SheetState& S() { return sheet_->Sheet; }
    SheetTools& T() { return sheet_->Tools; }

    std::unique_ptr<TFLayers> layers_;
    std::unique_ptr<TFedtxt> edtxt_;
    std::unique_ptr<TFSegdets> segdets_;
};

TEST_F(ToolsTest, ArcAngleTakesWholeDegreesInRangeOnly)
{
    prompts_.Type(QStringLiteral("-90"));
    T().Geometry.AngleBtnClick();
    EXPECT_EQ(S().Drawing.ArcAngle, -90);
    EXPECT_EQ(sheet_->AngleBtn->text(), QStringLiteral("angle = -90") + QChar(0x00B0));

    for (const char* bad : {"0", "400", "-361", "ten", ""}) {
        prompts_.Clear();
        prompts_.Type(QString::fromUtf8(bad));
        T().Geometry.AngleBtnClick();
        EXPECT_EQ(prompts_.Texts(ScriptedPrompts::Kind::Info),
                  QStringList{QStringLiteral("Invalid angle")})
            << bad;
        EXPECT_EQ(S().Drawing.ArcAngle, -90) << bad;
    }
    EXPECT_EQ(prompts_.Log().front().initial, QStringLiteral("-90"));
}

TEST_F(ToolsTest, OrthogonalTurnsLeftAndRightKeepingTheLengthAndHintsOnce)
{
    DrawBox();
    StoreSeg(0, 0, 3, 0);
    prompts_.Answer(' '); // the hint's box
    PlaceCursors(At(0, 0), At(3, 0));
    sheet_->SpeedButton2->click();
    EXPECT_EQ(S().CursorO().Lenx, 3);
    EXPECT_EQ(S().CursorO().Leny, 0);
    EXPECT_GE(S().CursorO().Pointnum, 0);
    EXPECT_EQ(S().CursorX().Lenx, 3);
    EXPECT_EQ(S().CursorX().Leny, -3);
    EXPECT_EQ(S().CursorX().Pointnum, -1);
    EXPECT_EQ(S().CursorX().Pxly, core_->LenToPixelY(-3));
    EXPECT_EQ(S().JoinMode, 2);
    EXPECT_FALSE(S().ExtendHintPending);
    EXPECT_EQ(
        prompts_.Texts().count(QStringLiteral(
            "Use + or - to extend/reduce the new OX\r(this message will not be displayed again)")),
        1);

    prompts_.Clear();
    PlaceCursors(At(0, 0), At(3, 0));
    sheet_->SpeedButton6->click();
    EXPECT_EQ(S().CursorO().Lenx, 3);
    EXPECT_EQ(S().CursorX().Lenx, 3);
    EXPECT_EQ(S().CursorX().Leny, 3);
    EXPECT_EQ(S().CursorX().Pointnum, -1);
    EXPECT_TRUE(prompts_.Texts().isEmpty());
}

TEST_F(ToolsTest, OrthogonalWithoutScaleChangesNothing)
{
    S().CursorO() = Pt(0, 0);
    S().CursorX() = Pt(3, 0);
    T().Geometry.OrthogonalOX('L');
    EXPECT_EQ(prompts_.Texts(),
              QStringList{QStringLiteral("Enter a measurement to establish scale")});
    EXPECT_EQ(S().CursorX().Lenx, 3);
    EXPECT_EQ(S().CursorO().Lenx, 0);
    EXPECT_EQ(S().JoinMode, 0);
}

TEST_F(ToolsTest, HalfWayFindsAStoredMiddleOrMakesANewPlace)
{
    DrawBox();
    PlaceCursors(At(100, 0), At(100, 60));
    StoreSeg(0, 30, 10, 30);
    sheet_->HalfWayBtn->click();
    EXPECT_EQ(S().CursorX().Lenx, 100);
    EXPECT_EQ(S().CursorX().Leny, 30);
    EXPECT_EQ(S().CursorX().Pointnum, -1);
    EXPECT_EQ(S().CursorX().Pxly, core_->LenToPixelY(30));
    EXPECT_EQ(S().PrevX.Leny, 60);

    // From (0, 0) to (3, 0): 1.5 lies between pixel columns.
    PlaceCursors(At(0, 0), Place(3, 0));
    T().Geometry.HalfWayBtnClick();
    EXPECT_EQ(S().CursorX().Lenx, 1.5);
    EXPECT_EQ(S().CursorX().Pxlx, core_->LenToPixelX(1.5));

    // A stored point half way gives X its number.
    PlaceCursors(At(0, 0), At(0, 0));
    S().HideCursorX();
    S().CursorX() = At(10, 30);
    S().CursorO() = At(0, 30);
    const TPointRec middle = [&] {
        TPointRec p = Pt(5, 30);
        core_->StorePoint(p);
        return p;
    }();
    S().ShowCursorX();
    T().Geometry.HalfWayBtnClick();
    EXPECT_EQ(S().CursorX().Pointnum, middle.Pointnum);
}

TEST_F(ToolsTest, ExtendAxisSlopeAndOnePixelKeys)
{
    DrawBox();
    PlaceCursors(At(0, 0), Place(4, 2));
    const int column = S().CursorX().Pxlx;
    T().Geometry.ExtendKey(1);
    EXPECT_EQ(T().Geometry.ExtendAxis, 'x');
    EXPECT_EQ(T().Geometry.ExtendSlope, 0.5);
    EXPECT_EQ(S().CursorX().Pxlx, column + 1);
    EXPECT_DOUBLE_EQ(S().CursorX().Leny, S().CursorX().Lenx / 2);
    EXPECT_EQ(S().CursorX().Pointnum, -1);
    T().Geometry.ExtendKey(-1);
    T().Geometry.ExtendKey(-1);
    EXPECT_EQ(S().CursorX().Pxlx, column - 1);

    PlaceCursors(At(0, 0), Place(5, -5));
    ASSERT_TRUE(T().Geometry.PrepareExtend());
    EXPECT_EQ(T().Geometry.ExtendAxis, 'y');
    EXPECT_EQ(T().Geometry.ExtendDirection, -1);

    prompts_.Clear();
    PlaceCursors(At(0, 0), At(100, 0));
    T().Geometry.ExtendKey(1);
    EXPECT_EQ(prompts_.Texts(),
              QStringList{QStringLiteral("The Extend facility only applies to diagonals")});
    EXPECT_EQ(S().CursorX().Lenx, 100);
}

TEST_F(ToolsTest, ExtendWithoutScaleSaysSoInsteadOfDividingByZero)
{
    S().CursorO() = Pt(0, 0);
    S().CursorX() = Pt(4, 2);
    T().Geometry.ExtendKey(1);
    EXPECT_FALSE(T().Geometry.ExtendAlongDiagonal(1));
    sheet_->Button4->click();
    EXPECT_EQ(prompts_.Texts(),
              QStringList(3, QStringLiteral("Enter a measurement to establish scale")));
    EXPECT_EQ(S().CursorX().Lenx, 4);
    EXPECT_EQ(S().CursorX().Leny, 2);
}

TEST_F(ToolsTest, ExtendAlongDiagonalStopsOnTheNextColourOrTheEdge)
{
    DrawBox();
    // A diagonal from near (0, 0) towards the vertical line x = 100.
    PlaceCursors(At(0, 0), Place(20, 10));
    ASSERT_TRUE(T().Geometry.ExtendAlongDiagonal(1));
    EXPECT_EQ(S().CursorX().Pxlx, core_->LenToPixelX(100));
    S().HideCursorX();
    EXPECT_NE(Px(S().CursorX().Pxlx, S().CursorX().Pxly), SheetPaper);
    S().ShowCursorX();

    // Away from O with nothing in the way: the last position on the sheet.
    PlaceCursors(At(100, 60), Place(110, 65));
    ASSERT_TRUE(T().Geometry.ExtendAlongDiagonal(1));
    EXPECT_EQ(S().CursorX().Pxlx, core_->SheetWidth - 1);

    // Towards O: the O cursor's circle stops it.
    PlaceCursors(At(0, 0), Place(40, 20));
    sheet_->Button4->click();
    const int ox = core_->LenToPixelX(0);
    EXPECT_GT(S().CursorX().Pxlx, ox);
    EXPECT_LE(S().CursorX().Pxlx, ox + 11);
}

TEST_F(ToolsTest, OxPlusOffersTheExtensionOnlyForAStoredSegment)
{
    DrawBox();
    const TSegRec diag = StoreSeg(10, 10, 30, 20);
    PlaceCursors(At(10, 10), At(30, 20));
    core_->CurrentSegment = diag;
    prompts_.Answer('Y');
    sheet_->Button5->click();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("Extend segment?")});
    EXPECT_EQ(S().CursorO().Pointnum, diag.ToPoint.Pointnum);
    EXPECT_EQ(S().CursorX().Pxlx, core_->LenToPixelX(100));
    EXPECT_EQ(S().JoinMode, 2);

    prompts_.Clear();
    PlaceCursors(At(10, 10), At(30, 20));
    core_->CurrentSegment.Segnum = 0;
    T().Geometry.Button5Click();
    EXPECT_TRUE(prompts_.Texts().isEmpty());
    EXPECT_EQ(S().CursorO().Pointnum, diag.FromPoint.Pointnum);
}

TEST_F(ToolsTest, EllipseDrawnTwiceErasesItself)
{
    DrawBox();
    PlaceCursors(At(0, 0), At(100, 60));
    S().HideCursors();
    const QImage before = Snapshot();
    sheet_->Ellipse1->trigger();
    const QImage with = Snapshot();
    EXPECT_NE(with, before);
    // The top of the ellipse lies half way along the box's top edge.
    const int midx = (core_->LenToPixelX(0) + core_->LenToPixelX(100) - 1) / 2;
    int changed = 0;
    for (int y = core_->LenToPixelY(0); y < core_->LenToPixelY(0) + 3; ++y)
        changed += with.pixel(midx, y) != before.pixel(midx, y) ? 1 : 0;
    EXPECT_GT(changed, 0);
    T().Geometry.DrawEllipseOX();
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(S().Bitmap.GetPenMode(), PenMode::Copy);
}

TEST_F(ToolsTest, AreaAndPerimeterOfTheOXRectangle)
{
    Exec(QStringLiteral("UPDATE drawing SET RndgDP = 0, Units = 'm' WHERE Dgnum = 1"));
    ASSERT_TRUE(core_->OpenDiagram(1));
    S().CursorO() = Pt(1, 1);
    S().CursorX() = Pt(4, 3);
    sheet_->Button1->click();
    EXPECT_EQ(prompts_.Texts(),
              QStringList{
                  QStringLiteral("Area = X x Y = 3 x 2 = 6 square m\rPerimeter = 2X + 2Y = 10 m")});
}

TEST_F(ToolsTest, TextAtXRefusesHiddenLayersAndDrawsAndStoresOnAFaintOne)
{
    DrawBox();
    PlaceCursors(At(0, 0), Place(50, 30));
    const QImage before = Snapshot();
    prompts_.Type(QStringLiteral("Door"));
    prompts_.Answer(' ');
    ChooseLayerWhenAsked(2); // hidden
    WhenModal([this](QWidget*) {
        // The second showing: the faint layer.
        WhenModal([this](QWidget*) {
            layers_->GoToLayerRow(1);
            layers_->Button2->click();
        });
    });
    // The hidden choice's message box is scripted, then the dialog opens again.
    sheet_->extatX1->trigger();
    EXPECT_TRUE(prompts_.Texts().contains(QStringLiteral("Layer must visible to add text")));
    const int32_t stored = S().CursorX().Pointnum;
    ASSERT_GE(stored, 0);
    TTextRec text;
    ASSERT_TRUE(core_->LoadTextAtPoint(stored, text));
    EXPECT_EQ(text.Text, QStringLiteral("Door"));
    EXPECT_EQ(text.Layer.Layernum, 1);
    EXPECT_TRUE(S().LastText.isEmpty());
    S().HideCursors();
    const QImage after = Snapshot();
    int navy = 0;
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x)
            navy += after.pixel(x, y) != before.pixel(x, y) &&
                    (after.pixel(x, y) & 0xFFFFFF) == SheetInk;
    EXPECT_GT(navy, 0);
}

TEST_F(ToolsTest, TextAtXOnALabelledPointSaysSoAndDrawsNothing)
{
    DrawBox();
    PlaceCursors(At(0, 0), At(100, 0));
    core_->AddText(S().CursorX(), QStringLiteral("Post"), 0);
    S().HideCursors();
    const QImage before = Snapshot();
    S().ShowCursors();
    // Also an unstored X standing on the labelled point.
    S().HideCursorX();
    S().CursorX() = Place(100, 0);
    S().ShowCursorX();
    sheet_->extatX1->trigger();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("Point at X already has text")});
    S().HideCursors();
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(ToolsTest, TextAtXRefusesALabelLongerThanItsColumnAndStoresNoEmptyOne)
{
    DrawBox();
    PlaceCursors(At(0, 0), Place(50, 30));
    const QString long81(81, QChar(u'\u00f8'));
    const QString fits80(80, QChar(u'\u00f8'));
    prompts_.Type(long81).Type(fits80);
    ChooseLayerWhenAsked(0);
    T().Labels.TextAtX();
    EXPECT_EQ(prompts_.Texts(ScriptedPrompts::Kind::Info),
              QStringList{QStringLiteral("A label may be at most 80 characters long")});
    // The box asks again with what was typed, and the label is kept whole.
    EXPECT_EQ(prompts_.Log()[2].initial, long81);
    TTextRec text;
    ASSERT_TRUE(core_->LoadTextAtPoint(S().CursorX().Pointnum, text));
    EXPECT_EQ(text.Text, fits80);

    // An empty text adds nothing and asks for no layer.
    PlaceCursors(At(0, 0), Place(20, 10));
    prompts_.Clear();
    prompts_.Type(QString());
    T().Labels.TextAtX();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("Text at X")});
    EXPECT_EQ(Count(QStringLiteral("text")), 1);
    EXPECT_EQ(S().CursorX().Pointnum, -1);
}

TEST_F(ToolsTest, TextAtXOnADiagramWithoutLayersSaysTheLayerMustBeVisible)
{
    DrawBox();
    Exec(QStringLiteral("DELETE FROM layer"));
    PlaceCursors(At(0, 0), Place(50, 30));
    prompts_.Type(QStringLiteral("Door"));
    prompts_.Answer(' ');
    WhenModal([this](QWidget*) {
        // OK on the empty list, then Cancel at the second showing.
        WhenModal([this](QWidget*) { layers_->Button3->click(); });
        layers_->Button2->click();
    });
    T().Labels.TextAtX();
    EXPECT_EQ(prompts_.Texts(ScriptedPrompts::Kind::Info),
              QStringList{QStringLiteral("Layer must visible to add text")});
    EXPECT_EQ(Count(QStringLiteral("text")), 0);
}

TEST_F(ToolsTest, CancelledLayerChoiceAddsNothingButKeepsTheText)
{
    DrawBox();
    PlaceCursors(At(0, 0), Place(50, 30));
    prompts_.Type(QStringLiteral("Shelf"));
    WhenModal([this](QWidget*) { layers_->Button3->click(); });
    T().Labels.TextAtX();
    EXPECT_EQ(S().LastText, QStringLiteral("Shelf"));
    EXPECT_EQ(S().CursorX().Pointnum, -1);
}

TEST_F(ToolsTest, MoveLabelToAPointWithoutOneAndDeleteAtOAndX)
{
    DrawBox();
    PlaceCursors(At(0, 0), Place(50, 30));
    core_->AddText(S().CursorO(), QStringLiteral("Tap"), 0);
    prompts_.Answer('Y');
    T().Labels.MoveTextToX();
    EXPECT_FALSE(core_->PointHasText(At(0, 0).Pointnum));
    const TPointRec target = At(50, 30);
    ASSERT_GE(target.Pointnum, 0);
    EXPECT_TRUE(core_->PointHasText(target.Pointnum));
    EXPECT_EQ(S().CursorX().Pointnum, target.Pointnum);

    // Delete at O deletes the label at O, after its own question.
    PlaceCursors(At(50, 30), At(0, 0));
    prompts_.Clear();
    prompts_.Answer('N').Answer('Y');
    T().Labels.DeleteTextAtO();
    EXPECT_TRUE(core_->PointHasText(target.Pointnum));
    T().Labels.DeleteTextAtO();
    EXPECT_FALSE(core_->PointHasText(target.Pointnum));
    EXPECT_EQ(prompts_.Texts(), QStringList(2, QStringLiteral("Delete text at O - OK?")));

    // At an X without a label nothing is deleted and the sheet is not redrawn.
    prompts_.Clear();
    prompts_.Answer('Y');
    const TDateTime stamp = core_->RedrawStamp;
    T().Labels.DeleteTextAtX();
    EXPECT_EQ(core_->RedrawStamp, stamp);
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("Delete text at X - OK?")});
}

TEST_F(ToolsTest, DeletingTheOnlyVisibleSegmentLeavesNoCurrentSegment)
{
    const TSegRec only = StoreSeg(0, 0, 100, 60);
    ShowDrawing();
    PlaceCursors(At(0, 0), At(100, 60));
    core_->CurrentSegment = only;
    sheet_->ShowStatus();
    ASSERT_TRUE(sheet_->delsegbtn->isEnabled());
    prompts_.Answer('Y');
    sheet_->delsegbtn->click();
    EXPECT_EQ(prompts_.Texts().front(),
              QStringLiteral("Delete segment %1 - are you sure?").arg(only.Segnum));
    TSegRec gone;
    EXPECT_FALSE(core_->LoadSegment(only.Segnum, gone));
    EXPECT_LT(core_->CurrentSegment.Segnum, 0);
    EXPECT_FALSE(sheet_->delsegbtn->isEnabled());
    EXPECT_EQ(sheet_->Label2->text(), QStringLiteral("O-X"));
}

TEST_F(ToolsTest, DeletingASegmentMovesToTheNextVisibleOneWrapping)
{
    const TSegRec a = StoreSeg(0, 0, 100, 0);
    const TSegRec b = StoreSeg(100, 0, 100, 60);
    ShowDrawing();
    PlaceCursors(At(100, 0), At(100, 60));
    core_->CurrentSegment = b;
    prompts_.Answer('Y');
    T().Segments.DeleteCurrentSegment();
    EXPECT_EQ(core_->CurrentSegment.Segnum, a.Segnum);
    EXPECT_EQ(S().CursorO().Pointnum, a.FromPoint.Pointnum);
    EXPECT_EQ(S().CursorX().Pointnum, a.ToPoint.Pointnum);

    prompts_.Answer('N');
    T().Segments.DeleteCurrentSegment();
    TSegRec kept;
    EXPECT_TRUE(core_->LoadSegment(a.Segnum, kept));
}

TEST_F(ToolsTest, SegmentDetailsSaveRedrawsAndDeclinedDeleteDoesNot)
{
    const TSegRec line = StoreSeg(0, 0, 100, 60);
    ShowDrawing();
    PlaceCursors(At(0, 0), At(100, 60));
    core_->CurrentSegment = line;
    WhenModal([this](QWidget*) {
        segdets_->DottedChk->click();
        segdets_->UpdBtn->click();
    });
    const TDateTime stamp = core_->RedrawStamp;
    sheet_->EdSegBtn->click();
    TSegRec stored;
    ASSERT_TRUE(core_->LoadSegment(line.Segnum, stored));
    EXPECT_TRUE(stored.Dotted);
    EXPECT_NE(core_->RedrawStamp, stamp);

    const TDateTime stamp2 = core_->RedrawStamp;
    prompts_.Answer('N');
    WhenModal([this](QWidget*) { segdets_->Delete1->trigger(); });
    T().Segments.SegmentDetailsCommand();
    EXPECT_EQ(core_->RedrawStamp, stamp2);
    EXPECT_TRUE(core_->LoadSegment(line.Segnum, stored));
}

TEST_F(ToolsTest, SegmentDetailsNearTheScreensEdgesOpenWhollyOnTheScreen)
{
    const TSegRec line = StoreSeg(0, 0, 100, 60);
    ShowDrawing();
    PlaceCursors(At(0, 0), At(100, 60));
    const QRect screen = ScreenRectAt(QPoint(0, 0));
    // Above the mouse at the top of the screen; left of it at the left edge.
    const std::pair<QPoint, QAbstractButton*> clicks[] = {
        {screen.topLeft() + QPoint(300, 5), sheet_->EdSegBtn},
        {screen.topLeft() + QPoint(5, 200), sheet_->SelSegBtn2},
    };
    for (const auto& [mouse, button] : clicks) {
        core_->CurrentSegment = line;
        button->setEnabled(true);
        QCursor::setPos(mouse);
        QRect placed;
        WhenModal([&](QWidget* w) {
            placed = w->frameGeometry();
            segdets_->CancelBtn->click();
        });
        button->click();
        EXPECT_TRUE(screen.contains(placed)) << placed.x() << "," << placed.y();
        // It still opens beside the mouse, pulled only as far as needed.
        EXPECT_TRUE(placed.top() == screen.top() || placed.left() == screen.left());
    }
}

TEST_F(ToolsTest, PointDetailsNeedAScale)
{
    sheet_->EdPtXBtn->click();
    EXPECT_EQ(prompts_.Texts(),
              QStringList{QStringLiteral("Enter a measurement to establish scale")});
}

} // namespace
