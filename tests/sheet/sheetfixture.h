#pragma once
// The main window over a fresh table store in a temporary folder: diagram 1
// "Shed" in mm with two decimals, layer 0 bold, layer 1 faint, layer 2
// hidden. Prompts are scripted and recorded.

#include "dialogs/forms.h"
#include "platform/canvas.h"
#include "sheet/sheet.h"
#include "support/scriptedprompts.h"
#include "tablestore/core.h"
#include "tablestore/tableschema.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

class SheetTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        const QString data = dir_.path() + QStringLiteral("/Scalora data");
        ASSERT_TRUE(QDir().mkpath(data));
        CreateTableStore(data, CurrentTableStoreVersion);
        core_ = std::make_unique<TFcore>(dir_.path());
        core_->ReadIniFile();
        core_->DBVersion = CurrentTableStoreVersion;
        core_->OpenStore();
        Exec(QStringLiteral(
            "INSERT INTO drawing (Dgnum, Dgname, Units, RndgDP) VALUES (1, 'Shed', 'mm', 2)"));
        AddLayer(0, VisibBold);
        AddLayer(1, VisibFaint);
        AddLayer(2, VisibHidden);
        ASSERT_TRUE(core_->OpenDiagram(1));
        forms_.Fcore = core_.get();
        sheet_ = std::make_unique<TFSheet>(forms_);
        forms_.FSheet = sheet_.get();
    }

    void TearDown() override { sheet_.reset(); }

    void Exec(const QString& sql) { core_->Database1.Execute(sql); }

    long long Count(const QString& table)
    {
        tables::Statement st(core_->Database1, QStringLiteral("SELECT count(*) FROM ") + table);
        EXPECT_TRUE(st.Step());
        return st.Column(0).toLongLong();
    }

    void AddLayer(int32_t n, int visib)
    {
        Exec(QStringLiteral(
                 "INSERT INTO layer (Dgnum, Layernum, Name, Visib) VALUES (1, %1, 'L%1', %2)")
                 .arg(n)
                 .arg(visib));
    }

    static TPointRec Pt(Extended x, Extended y, int32_t layer = 0)
    {
        TPointRec p;
        p.Lenx = x;
        p.Leny = y;
        p.Layernum = layer;
        return p;
    }

    TSegRec StoreSeg(Extended x1, Extended y1, Extended x2, Extended y2, int32_t layer = 0,
                     int32_t type = SegLine)
    {
        TSegRec s;
        s.SegType = type;
        s.FromPoint = Pt(x1, y1, layer);
        s.ToPoint = Pt(x2, y2, layer);
        s.Layernum = layer;
        core_->InsertSegment(s);
        return s;
    }

    // Shows the window (its first showing refreshes) and takes the cursors
    // off the bitmap so that only the drawing is left.
    void ShowDrawing()
    {
        sheet_->show();
        sheet_->Sheet.HideCursors();
    }

    CanvasColour Px(int x, int y) const { return sheet_->Sheet.Bitmap.Pixel(x, y); }
    int PxX(Extended lenx) const { return core_->LenToPixelX(lenx); }
    int PxY(Extended leny) const { return core_->LenToPixelY(leny); }
    QImage Snapshot() const { return sheet_->Sheet.Bitmap.Image().copy(); }

    // How many pixels of the box (right and bottom edges included) have the colour.
    int CountColour(int x1, int y1, int x2, int y2, CanvasColour colour) const
    {
        int n = 0;
        for (int y = y1; y <= y2; ++y)
            for (int x = x1; x <= x2; ++x)
                n += Px(x, y) == colour ? 1 : 0;
        return n;
    }

    QTemporaryDir dir_;
    std::unique_ptr<TFcore> core_;
    Forms forms_;
    std::unique_ptr<TFSheet> sheet_;
    ScriptedPrompts prompts_;
    ScopedPromptSeam seam_{prompts_};
};
