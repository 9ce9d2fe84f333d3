// Layers and profiles through the real program's menus: a layer made faint
// and then hidden is saved into a profile; after its visibility changes,
// choosing the profile hides it on the sheet again.

#include "dialogs/layers.h"
#include "dialogs/pfls.h"
#include "gridrows.h"
#include "programs/tableedition.h"
#include "sheet/drawing.h"
#include "sheet/sheet.h"
#include "sheet/startup.h"
#include "support/modalhelper.h"
#include "support/scriptedprompts.h"
#include "tablestore/core.h"
#include "tablestore/tableschema.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

class LayersRoadTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        const QString data = dir_.filePath("Scalora data");
        ASSERT_TRUE(QDir().mkpath(data));
        CreateTableStore(data, CurrentTableStoreVersion);
        {
            TFcore core(dir_.path());
            core.FormCreate();
            core.Database1.Execute("insert into drawing.db (dgnum, dgname, units, rndgdp) "
                                   "values (1, 'Site', 'm', 2)");
            core.Database1.Execute("insert into layer.db values (1, 0, 'Default layer', 2)");
            core.Database1.Execute("insert into layer.db values (1, 1, 'Walls', 2)");
            ASSERT_TRUE(core.OpenDiagram(1));
            AddLine(core, 0, 0, 10, 0, 0);
            AddLine(core, 10, 0, 10, 5, 1);
            core.CurrentDiagram = 1;
            core.CloseStore();
        }
        windows_ = std::make_unique<ProgramWindows>(edition_, dir_.path());
        Sheet().show();
    }

    static void AddLine(Store& core, Extended x1, Extended y1, Extended x2, Extended y2,
                        int32_t layer)
    {
        TSegRec s;
        s.SegType = SegLine;
        s.FromPoint.Lenx = x1;
        s.FromPoint.Leny = y1;
        s.ToPoint.Lenx = x2;
        s.ToPoint.Leny = y2;
        s.Layernum = layer;
        core.InsertSegment(s);
    }

    TFSheet& Sheet() { return *windows_->forms.FSheet; }
    Store& Core() { return *windows_->forms.Fcore; }
    TFLayers& Layers() { return *windows_->forms.FLayers; }
    TFpfls& Profiles() { return *windows_->forms.Fpfls; }

    // The colour half way along the Walls line, with the cursors off.
    CanvasColour WallsInk()
    {
        Sheet().Sheet.HideCursors();
        const CanvasColour c =
            Sheet().Sheet.Bitmap.Pixel(Core().LenToPixelX(10), Core().LenToPixelY(2.5));
        Sheet().Sheet.ShowCursors();
        return c;
    }

    QTemporaryDir dir_;
    ScriptedPrompts prompts_;
    ScopedPromptSeam seam_{prompts_};
    Edition edition_ = TableEdition();
    std::unique_ptr<ProgramWindows> windows_;
};

TEST_F(LayersRoadTest, ProfileSavedWithAHiddenLayerHidesItAgainWhenChosen)
{
    ASSERT_EQ(WallsInk(), SheetInk);

    // Layers: Walls faint, then hidden, then Save into a new profile "Survey".
    prompts_.Type("Survey").Answer('Y');
    WhenModal([this](QWidget*) {
        SelectRow(Layers().DBGrid1, 1);
        Layers().Faint1->trigger();
        Layers().Hidden1->trigger();
        WhenModal([this](QWidget*) {
            Profiles().New1->trigger();
            Profiles().OKBtn->click();
        });
        Layers().Button1->click();
    });
    Sheet().Layers1->trigger();
    EXPECT_EQ(WallsInk(), Canvas::White); // hidden, so not drawn

    // Layers again: Walls bold.
    WhenModal([this](QWidget*) {
        SelectRow(Layers().DBGrid1, 1);
        Layers().Bold1->trigger();
        Layers().Button2->click();
    });
    Sheet().Layers1->trigger();
    EXPECT_EQ(WallsInk(), SheetInk);

    // Profiles: "Survey" hides Walls once more and becomes the current profile.
    WhenModal([this](QWidget*) {
        SelectRow(Profiles().DBGrid1, 1);
        Profiles().OKBtn->click();
    });
    Sheet().Profiles1->trigger();
    EXPECT_EQ(WallsInk(), Canvas::White);
    EXPECT_EQ(Core().CurrentProfile, 1);
    EXPECT_TRUE(prompts_.AllAnswered());
    EXPECT_TRUE(prompts_.Texts(ScriptedPrompts::Kind::Error).isEmpty());
}

} // namespace
