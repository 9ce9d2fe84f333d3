// A diagram drawn by the first program, exported into the second program's
// database and opened there, comes out on the sheet pixel for pixel the
// same: every kind of segment, layer visibility, flag and label.

#include "firebird/fbschema.h"
#include "firebirdenv.h"
#include "programs/fbedition.h"
#include "programs/tableedition.h"
#include "sheet/sheet.h"
#include "sheet/startup.h"
#include "store/diagramrows.h"
#include "store/layersdata.h"
#include "store/store.h"
#include "support/scriptedprompts.h"
#include "tablestore/tableschema.h"

#include <QDir>
#include <QImage>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

namespace
{

class TwoProgramsTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(dir_.filePath("Scalora data")));
        CreateTableStore(dir_.filePath("Scalora data"), CurrentTableStoreVersion);
        ASSERT_TRUE(QDir().mkpath(dir_.filePath("Scalora2 data")));
        CreateFirebirdStore(dir_.filePath("Scalora2 data/scalora2data.fdb"));
    }

    static TSegRec Seg(Extended x1, Extended y1, Extended x2, Extended y2, int32_t layer,
                       int type = SegLine)
    {
        TSegRec s;
        s.SegType = type;
        s.FromPoint.Lenx = x1;
        s.FromPoint.Leny = y1;
        s.ToPoint.Lenx = x2;
        s.ToPoint.Leny = y2;
        s.FromPoint.Layernum = s.ToPoint.Layernum = s.Layernum = layer;
        return s;
    }

    // A site in the first program's store: walls on a bold layer, a fence
    // on a faint one, pipes on a hidden one; a dotted line, an inverting
    // one, a segment faint by itself, arcs either way round, a rectangle
    // and labels on the bold, faint and hidden layers.
    static void DrawSite(Store& store)
    {
        DiagramRow row;
        row.Dgnum = 1;
        row.Dgname = QStringLiteral("Ørsted's site");
        row.Units = QStringLiteral("m");
        row.RndgDP = 2;
        store.MakeDiagramRows()->Insert(row);
        ASSERT_TRUE(store.OpenDiagram(1));
        const auto layers = store.MakeLayersData();
        layers->AddLayer(1, QStringLiteral("Fence"));
        layers->SetLayerVisibility(1, VisibFaint);
        layers->AddLayer(2, QStringLiteral("Pipes"));
        layers->SetLayerVisibility(2, VisibHidden);

        TSegRec s = Seg(0, 0, 30.25, 0, 0);
        store.AddSegment(s);
        s = Seg(30.25, 0, 30.25, 17.5, 0);
        store.AddSegment(s);
        s = Seg(0, 0, 30.25, 17.5, 0);
        s.Dotted = true;
        store.AddSegment(s);
        s = Seg(5, 12, 22.125, 3.3, 0);
        s.Xorflag = true;
        store.AddSegment(s);
        s = Seg(2, 15, 12, 16.75, 0);
        s.Faint = true;
        store.AddSegment(s);
        s = Seg(-4, -2, 34, -2, 1);
        store.AddSegment(s);
        s = Seg(10, 20, 25, 20, 2);
        store.AddSegment(s);
        s = Seg(15, 8, 19, 8, 0, SegArc);
        s.Mlenx = 270;
        store.AddSegment(s);
        s = Seg(8, 4, 10.5, 4, 1, SegArc);
        s.Mlenx = -120.5;
        store.AddSegment(s);
        s = Seg(20, 10, 27.5, 15.25, 0, SegRectangle);
        s.Mlenx = 7.5;
        s.Mleny = 5.25;
        store.AddSegment(s);
        TPointRec at;
        at.Lenx = 3;
        at.Leny = 3;
        store.AddText(at, QStringLiteral("Door – O'Hara"), 0);
        at.Lenx = 26;
        store.AddText(at, QStringLiteral("Gate"), 1);
        at.Leny = 9;
        store.AddText(at, QStringLiteral("Drain"), 2);
    }

    // The sheet redrawn at one size in both programs, with the points
    // marked, and the cursors taken off.
    static QImage Drawing(TFSheet& sheet)
    {
        sheet.ScrollBox1->setFixedSize(700 + 2 * sheet.ScrollBox1->frameWidth(),
                                       450 + 2 * sheet.ScrollBox1->frameWidth());
        sheet.RefPtsBtn->setChecked(true);
        sheet.Redraw.RefreshWithCursors();
        sheet.Sheet.HideCursors();
        return sheet.Sheet.Bitmap.Image().copy();
    }

    QTemporaryDir dir_;
    ScriptedPrompts prompts_;
    ScopedPromptSeam seam_{prompts_};
};

TEST_F(TwoProgramsTest, ADiagramExportedByTheFirstIsDrawnTheSameByTheSecond)
{
    QImage first;
    {
        ProgramWindows w(TableEdition(), dir_.path());
        TFSheet& sheet = *w.forms.FSheet;
        sheet.show();
        DrawSite(*w.forms.Fcore);
        first = Drawing(sheet);
        prompts_.Answer('Y');
        ASSERT_TRUE(w.forms.Fcore->ExportToFirebird());
        sheet.close();
    }
    ASSERT_TRUE(prompts_.Texts(ScriptedPrompts::Kind::Error).isEmpty());
    QImage second;
    {
        ProgramWindows w(FirebirdEdition(), dir_.path());
        TFSheet& sheet = *w.forms.FSheet;
        sheet.show();
        EXPECT_EQ(sheet.windowTitle(), "SCALORA2 - Ørsted's site ( m )");
        second = Drawing(sheet);
        sheet.close();
    }
    EXPECT_TRUE(prompts_.Texts(ScriptedPrompts::Kind::Error).isEmpty());
    ASSERT_EQ(first.size(), QSize(700, 450));
    ASSERT_EQ(second.size(), first.size());
    int differing = 0;
    for (int y = 0; y < first.height(); ++y)
        for (int x = 0; x < first.width(); ++x)
            differing += first.pixel(x, y) != second.pixel(x, y) ? 1 : 0;
    EXPECT_EQ(differing, 0);
    // The drawing is there to compare: navy walls, silver faint lines.
    int navy = 0;
    int silver = 0;
    for (int y = 0; y < first.height(); ++y) {
        for (int x = 0; x < first.width(); ++x) {
            navy += first.pixel(x, y) == qRgb(0, 0, 128) ? 1 : 0;
            silver += first.pixel(x, y) == qRgb(192, 192, 192) ? 1 : 0;
        }
    }
    EXPECT_GT(navy, 1000);
    EXPECT_GT(silver, 300);
}

} // namespace
