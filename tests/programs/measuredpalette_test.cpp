// The measured-segment dialog through the first program's real windows: the
// new-segment palette beside it takes the user's clicks while the dialog
// blocks the sheet, and the segment it stores carries the palette's flags
// and layer; once the sheet has been refreshed, "Select segment at X" is
// there for the segment just stored.

#include "dialogs/layers.h"
#include "dialogs/newseg.h"
#include "programs/tableedition.h"
#include "sheet/func.h"
#include "sheet/sheet.h"
#include "sheet/startup.h"
#include "support/modalhelper.h"
#include "support/scriptedprompts.h"
#include "tablestore/core.h"
#include "tablestore/tableschema.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWindow>
#include <gtest/gtest.h>

namespace
{

class MeasuredPaletteTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(dir_.filePath("Scalora data")));
        CreateTableStore(dir_.filePath("Scalora data"), CurrentTableStoreVersion);
        windows_ = std::make_unique<ProgramWindows>(edition_, dir_.path());
        Sheet().show();
        prompts_.Type("Site A").Type("m").Type("2");
        Sheet().New1->trigger();
        ASSERT_GT(Core().CurrentDiagram, 0);
    }

    void TearDown() override { windows_.reset(); }

    TFSheet& Sheet() { return *windows_->forms.FSheet; }
    TFseg& Dialog() { return *windows_->forms.Fseg; }
    TFnewseg& Palette() { return *windows_->forms.Fnewseg; }
    TFcore& Core() { return static_cast<TFcore&>(*windows_->forms.Fcore); }

    // A click as the window system delivers it to the widget's window, so
    // that a window blocked by a modal dialog does not get it.
    static void Click(QWidget* widget) { ClickAt(widget, widget->rect().center()); }
    // A check box takes clicks on its box and caption, at its left.
    static void Tick(QCheckBox* box) { ClickAt(box, QPoint(8, box->height() / 2)); }
    static void ClickAt(QWidget* widget, QPoint at)
    {
        QWidget* top = widget->window();
        QTest::mouseClick(top->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                          widget->mapTo(top, at));
    }

    QTemporaryDir dir_;
    ScriptedPrompts prompts_;
    ScopedPromptSeam seam_{prompts_};
    Edition edition_ = TableEdition();
    std::unique_ptr<ProgramWindows> windows_;
};

TEST_F(MeasuredPaletteTest, ThePaletteTakesClicksWhileTheDialogBlocksTheSheet)
{
    bool paletteShown = false;
    bool sheetBlocked = false;
    WhenModal([&](QWidget*) {
        paletteShown = Palette().isVisible();
        // "x -> o" on the blocked sheet does nothing.
        const TPointRec x = Sheet().Sheet.CursorX();
        Sheet().Sheet.HideCursors();
        Sheet().Sheet.CursorX().Pxlx = x.Pxlx + 7;
        Sheet().Sheet.ShowCursors();
        Click(Sheet().XtoObtn);
        sheetBlocked = Sheet().Sheet.CursorX().Pxlx == x.Pxlx + 7;
        Sheet().Sheet.HideCursors();
        Sheet().Sheet.CursorX() = x;
        Sheet().Sheet.ShowCursors();

        Tick(Palette().DottedChk);
        Tick(Palette().FaintChk);
        Dialog().Editx->setText("4");
        Click(Dialog().Button1);
    });
    Sheet().Button2->click();
    EXPECT_TRUE(paletteShown);
    EXPECT_TRUE(sheetBlocked);
    TSegRec seg;
    ASSERT_TRUE(Core().LoadSegment(Core().LastSegNum, seg));
    EXPECT_EQ(seg.ToPoint.Lenx, 4.0);
    EXPECT_TRUE(seg.Dotted);
    EXPECT_TRUE(seg.Faint);
    EXPECT_FALSE(seg.Xorflag);
    // The measured entry has ended: the palette is hidden with it.
    EXPECT_FALSE(Palette().isVisible());
}

TEST_F(MeasuredPaletteTest, ThePalettesLayerButtonChoosesTheLayerWhileTheDialogIsOpen)
{
    Core().Database1.Execute(
        QStringLiteral(
            "INSERT INTO layer (Dgnum, Layernum, Name, Visib) VALUES (%1, 1, 'Walls', 2)")
            .arg(Core().CurrentDiagram));
    bool layerChosen = false;
    WhenModal([&](QWidget*) {
        // The layer list comes up over the dialog: its second row is chosen.
        WhenModal([&](QWidget* list) {
            TFLayers& layers = *windows_->forms.FLayers;
            layerChosen = list == &layers;
            layers.DBGrid1->setCurrentCell(1, 0);
            Click(layers.Button2);
        });
        Click(Palette().LayerBtn);
        Dialog().Editx->setText("3");
        Click(Dialog().Button1);
    });
    Sheet().Button2->click();
    EXPECT_TRUE(layerChosen);
    EXPECT_EQ(Palette().LayerBtn->text(), QStringLiteral("Layer=1"));
    TSegRec seg;
    ASSERT_TRUE(Core().LoadSegment(Core().LastSegNum, seg));
    EXPECT_EQ(seg.Layernum, 1);
}

TEST_F(MeasuredPaletteTest, SelectSegmentAtXIsOnAfterTheRefreshThatFollowsTheEntry)
{
    WhenModal([this](QWidget*) {
        Dialog().Editx->setText("4");
        Dialog().Button1->click();
    });
    Sheet().Button2->click();
    ASSERT_EQ(Core().LastSegNum, 1);
    EXPECT_TRUE(Sheet().SelSegBtn2->isEnabled());
    // It selects the segment just stored, O and X on its ends, and shows
    // its details.
    Sheet().OtoXBtn->click();
    bool details = false;
    WhenModal([&details](QWidget* modal) {
        details = true;
        modal->close();
    });
    Click(Sheet().SelSegBtn2);
    EXPECT_TRUE(details);
    EXPECT_EQ(Core().CurrentSegment.Segnum, 1);
    EXPECT_EQ(Sheet().Sheet.CursorO().Lenx, 0.0);
    EXPECT_EQ(Sheet().Sheet.CursorX().Lenx, 4.0);
}

} // namespace
