// The first program's main road through its real windows: a new diagram,
// a chain of measured segments, the drawing, and the diagram reopened at the
// next start.

#include "library/application.h"
#include "platform/fileidentity.h"
#include "programs/tableedition.h"
#include "sheet/drawing.h"
#include "sheet/func.h"
#include "sheet/sheet.h"
#include "sheet/startup.h"
#include "support/modalhelper.h"
#include "support/scriptedprompts.h"
#include "tablestore/core.h"
#include "tablestore/tableschema.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

class MainRoadTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(dir_.filePath("Scalora data")));
        CreateTableStore(dir_.filePath("Scalora data"), OldestTableStoreVersion);
    }

    // Types the lengths of one segment and presses "OK (more)".
    static void MoreSegment(TFseg& d, QRadioButton* horizontal, const QString& x,
                            QRadioButton* vertical, const QString& y)
    {
        horizontal->click();
        vertical->click();
        d.Editx->setText(x);
        d.Edity->setText(y);
        d.Editz->clear();
        d.Button3->click();
    }

    // Every pixel strictly between two points of a horizontal or vertical
    // line is ink.
    static void ExpectInkBetween(const Canvas& bitmap, int x1, int y1, int x2, int y2)
    {
        const int steps = std::max(std::abs(x2 - x1), std::abs(y2 - y1));
        for (int i = 1; i < steps; ++i) {
            const int x = x1 + (x2 - x1) * i / steps;
            const int y = y1 + (y2 - y1) * i / steps;
            ASSERT_EQ(bitmap.Pixel(x, y), SheetInk) << "at " << x << "," << y;
        }
    }

    QTemporaryDir dir_;
    ScriptedPrompts prompts_;
    ScopedPromptSeam seam_{prompts_};
    Edition edition_ = TableEdition();
};

TEST_F(MainRoadTest, NewDiagramMeasuredChainIsStoredDrawnAndReopened)
{
    int32_t lastPoint = -1;
    {
        ProgramWindows w(edition_, dir_.path());
        TFSheet& sheet = *w.forms.FSheet;
        sheet.show();

        prompts_.Type("Site A").Type("m").Type("2");
        sheet.New1->trigger();
        EXPECT_EQ(sheet.windowTitle(), "SCALORA - Site A ( m )");

        TFseg& dialog = *w.forms.Fseg;
        WhenModal([&dialog](QWidget*) {
            MoreSegment(dialog, dialog.RightRdio, "4.5", dialog.DownRdio, "");
            MoreSegment(dialog, dialog.RightRdio, "", dialog.DownRdio, "3");
            dialog.Button2->click(); // Cancel takes over what was stored
        });
        sheet.Button2->click();
        EXPECT_TRUE(prompts_.Texts(ScriptedPrompts::Kind::Error).isEmpty());

        Store& store = *w.forms.Fcore;
        TSegRec first, second;
        ASSERT_TRUE(store.LoadSegment(store.LastSegNum - 1, first));
        ASSERT_TRUE(store.LoadSegment(store.LastSegNum, second));
        EXPECT_EQ(first.SegType, SegLine);
        EXPECT_EQ(first.FromPoint.Lenx, 0.0);
        EXPECT_EQ(first.FromPoint.Leny, 0.0);
        EXPECT_EQ(first.ToPoint.Lenx, 4.5);
        EXPECT_EQ(first.ToPoint.Leny, 0.0);
        EXPECT_EQ(second.FromPoint.Pointnum, first.ToPoint.Pointnum);
        EXPECT_EQ(second.ToPoint.Lenx, 4.5);
        EXPECT_EQ(second.ToPoint.Leny, 3.0);
        EXPECT_EQ(first.Mlenx, 4.5);
        EXPECT_EQ(second.Mleny, 3.0);

        // X stands on the last end point, which the refresh found again.
        const TPointRec x = sheet.Sheet.CursorX();
        EXPECT_EQ(x.Pointnum, second.ToPoint.Pointnum);
        EXPECT_EQ(x.Lenx, 4.5);
        EXPECT_EQ(x.Leny, 3.0);
        lastPoint = x.Pointnum;

        // Drawn to scale: the 4.5 by 3 corner fills the sheet inside its margins.
        ASSERT_GT(store.Scale, 0);
        sheet.Sheet.HideCursors();
        ExpectInkBetween(sheet.Sheet.Bitmap, store.LenToPixelX(0), store.LenToPixelY(0),
                         store.LenToPixelX(4.5), store.LenToPixelY(0));
        ExpectInkBetween(sheet.Sheet.Bitmap, store.LenToPixelX(4.5), store.LenToPixelY(0),
                         store.LenToPixelX(4.5), store.LenToPixelY(3));
        sheet.Sheet.ShowCursors();
        sheet.close();
    }
    {
        ProgramWindows w(edition_, dir_.path());
        TFSheet& sheet = *w.forms.FSheet;
        sheet.show();
        EXPECT_EQ(sheet.windowTitle(), "SCALORA - Site A ( m )");
        Store& store = *w.forms.Fcore;
        EXPECT_EQ(store.DiagramName, "Site A");
        EXPECT_EQ(store.RoundingDP, 2);
        EXPECT_EQ(store.LastPointNum, lastPoint);
        sheet.Sheet.HideCursors();
        ExpectInkBetween(sheet.Sheet.Bitmap, store.LenToPixelX(0), store.LenToPixelY(0),
                         store.LenToPixelX(4.5), store.LenToPixelY(0));
        sheet.Sheet.ShowCursors();
        sheet.close();
    }
}

TEST_F(MainRoadTest, AStoreFileDeletedUnderTheProgramIsNoticedAtTheNextCommand)
{
    const QString file = dir_.filePath("Scalora data/tables.sqlite");
    ProgramWindows w(edition_, dir_.path());
    TFSheet& sheet = *w.forms.FSheet;
    sheet.show();
    prompts_.Type("Site A").Type("m").Type("2");
    sheet.New1->trigger();
    TFseg& dialog = *w.forms.Fseg;
    WhenModal([&](QWidget*) {
        MoreSegment(dialog, dialog.RightRdio, "4.5", dialog.DownRdio, "");
        EXPECT_TRUE(QFile::remove(file));
        // A click that ends in an error shows the error box, as the program's
        // event loop does.
        DeliverShowingExceptions([&] {
            MoreSegment(dialog, dialog.RightRdio, "", dialog.DownRdio, "3");
            return true;
        });
        dialog.Button2->click();
    });
    sheet.Button2->click();
    EXPECT_EQ(prompts_.Texts(ScriptedPrompts::Kind::Error),
              QStringList{ExceptionBoxText(DatabaseFileGoneText(file))});
    // The refresh still draws the segment stored before.
    Store& store = *w.forms.Fcore;
    EXPECT_EQ(store.LastSegNum, 1);
    sheet.Sheet.HideCursors();
    ExpectInkBetween(sheet.Sheet.Bitmap, store.LenToPixelX(0), store.LenToPixelY(0),
                     store.LenToPixelX(4.5), store.LenToPixelY(0));
    sheet.Sheet.ShowCursors();
    sheet.close();
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_FALSE(QFile::exists(file));
}

TEST_F(MainRoadTest, CancelBeforeAnythingIsStoredLeavesXAndTheSheetAlone)
{
    ProgramWindows w(edition_, dir_.path());
    TFSheet& sheet = *w.forms.FSheet;
    sheet.show();
    prompts_.Type("Site B").Type("mm").Type("0");
    sheet.New1->trigger();
    const TPointRec before = sheet.Sheet.CursorX();
    TFseg& dialog = *w.forms.Fseg;
    WhenModal([&dialog](QWidget*) {
        dialog.Editx->setText("12");
        dialog.Button2->click();
    });
    sheet.Button2->click();
    EXPECT_EQ(w.forms.Fcore->LastSegNum, 0); // nothing stored
    EXPECT_EQ(sheet.Sheet.CursorX().Lenx, before.Lenx);
    EXPECT_EQ(sheet.Sheet.CursorX().Pointnum, before.Pointnum);
    sheet.close();
}

} // namespace
