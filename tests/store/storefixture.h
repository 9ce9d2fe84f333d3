#pragma once
// A fresh table store in a temporary folder, opened by TFcore, with one
// diagram open; the prompts are scripted and recorded.

#include "library/scriptedprompts.h"
#include "platform/tables.h"
#include "store/core.h"
#include "store/tableschema.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <sqlite3.h>

class StoreTest : public ::testing::Test
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
        NewDiagram(1, QStringLiteral("Shed"));
        AddLayer(0, QStringLiteral("Default layer"), VisibBold);
        ASSERT_TRUE(core_->OpenDiagram(1));
    }

    TFcore& Core() { return *core_; }

    void Exec(const QString& sql) { core_->Database1.Execute(sql); }

    void NewDiagram(int32_t n, const QString& name, int dp = 2)
    {
        Exec(QStringLiteral("INSERT INTO drawing (Dgnum, Dgname, Units, RndgDP) VALUES (%1, '%2', "
                            "'mm', %3)")
                 .arg(n)
                 .arg(name)
                 .arg(dp));
    }

    void AddLayer(int32_t n, const QString& name, int visib, int32_t dgnum = 1)
    {
        Exec(
            QStringLiteral("INSERT INTO layer (Dgnum, Layernum, Name, Visib) VALUES (%1, %2, '%3', "
                           "%4)")
                .arg(dgnum)
                .arg(n)
                .arg(name)
                .arg(visib));
    }

    // One whole number from an SQL text on the store file.
    long long Scalar(const QString& sql)
    {
        tables::Statement st(core_->Database1, tables::MapTableNames(sql));
        EXPECT_TRUE(st.Step()) << sql.toStdString();
        return st.Column(0).toLongLong();
    }

    long long Count(const QString& table, const QString& where = QStringLiteral("1"))
    {
        return Scalar(QStringLiteral("SELECT count(*) FROM %1 WHERE %2").arg(table, where));
    }

    // Rows written to the store file since it was opened.
    int Changes() { return sqlite3_total_changes(core_->Database1.Handle()); }

    static TPointRec Pt(Extended x, Extended y, int32_t layer = 0)
    {
        TPointRec p;
        p.Lenx = x;
        p.Leny = y;
        p.Layernum = layer;
        return p;
    }

    static TSegRec Seg(Extended x1, Extended y1, Extended x2, Extended y2, int32_t layer = 0,
                       int32_t type = SegLine)
    {
        TSegRec s;
        s.SegType = type;
        s.FromPoint = Pt(x1, y1, layer);
        s.ToPoint = Pt(x2, y2, layer);
        s.Layernum = layer;
        return s;
    }

    // Stores a segment and gives it back as stored.
    TSegRec StoreSeg(Extended x1, Extended y1, Extended x2, Extended y2, int32_t layer = 0,
                     int32_t type = SegLine)
    {
        TSegRec s = Seg(x1, y1, x2, y2, layer, type);
        core_->InsertSegment(s);
        return s;
    }

    // The sheet's refresh: visible segments and labels, fit on a 1000 x 800
    // sheet.
    bool Fit(int32_t width = 1000, int32_t height = 800, int32_t panel = 0)
    {
        core_->SheetWidth = width;
        core_->SheetHeight = height;
        core_->OpenVisibleSegments();
        core_->OpenVisibleText();
        return core_->FitDiagramToSheet(panel);
    }

    QTemporaryDir dir_;
    std::unique_ptr<TFcore> core_;
    ScriptedPrompts prompts_;
    ScopedPromptSeam seam_{prompts_};
};
