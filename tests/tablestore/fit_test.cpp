// The table store's rewrite of a new scale by whole-diagram statements
// leaves every row as writing the changed rows one by one does.

#include "platform/tables.h"
#include "store/wholediagramrewrite.h"
#include "support/scriptedprompts.h"
#include "tablestore/core.h"
#include "tablestore/tableschema.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <sqlite3.h>

namespace
{

// One store seeded with the same rows as every other.
class SeededStore
{
  public:
    explicit SeededStore(bool wholeDiagram)
    {
        const QString data = dir_.path() + QStringLiteral("/Scalora data");
        QDir().mkpath(data);
        CreateTableStore(data, CurrentTableStoreVersion);
        core_ = std::make_unique<RewritingCore<TFcore>>(dir_.path(), wholeDiagram);
        core_->ReadIniFile();
        core_->DBVersion = CurrentTableStoreVersion;
        core_->OpenStore();
        Seed();
        core_->OpenDiagram(1);
    }

    RewritingCore<TFcore>& Core() { return *core_; }

    bool Fit(int32_t width, int32_t height) { return FitToSheet(*core_, width, height); }

    // Every value of every point and segment row, exactly.
    QStringList Rows()
    {
        QStringList rows;
        for (const char* sql :
             {"SELECT quote(Dgnum), quote(Pointnum), quote(Lenx), quote(Leny), quote(Pxlx), "
              "quote(Pxly), quote(Rprts) FROM point ORDER BY Dgnum, Pointnum",
              "SELECT quote(Dgnum), quote(Segnum), quote(Lenx1), quote(Leny1), quote(Lenx2), "
              "quote(Leny2), quote(Pxlx1), quote(Pxly1), quote(Pxlx2), quote(Pxly2) FROM seg "
              "ORDER BY Dgnum, Segnum"}) {
            tables::Statement st(core_->Database1, QString::fromLatin1(sql));
            while (st.Step()) {
                QStringList row;
                for (int i = 0; i < st.ColumnCount(); ++i)
                    row << st.Column(i).toString();
                rows << row.join(' ');
            }
        }
        return rows;
    }

    // Every column of the first row of sql, as text.
    QStringList Values(const QString& sql)
    {
        QStringList values;
        tables::Statement st(core_->Database1, sql);
        while (st.Step()) {
            for (int i = 0; i < st.ColumnCount(); ++i)
                values << st.Column(i).toString();
        }
        return values;
    }

    // A box whose lengths are out of date and one of NULLs.
    void SpoilBoxes()
    {
        Exec(QStringLiteral("UPDATE seg SET Lenx1 = 99.25 WHERE Dgnum = 1 AND Segnum = 17"));
        Exec(QStringLiteral("UPDATE seg SET Lenx1 = NULL, Leny1 = NULL, Lenx2 = NULL, "
                            "Leny2 = NULL, Pxlx1 = NULL WHERE Dgnum = 1 AND Segnum = 80"));
    }

  private:
    void Exec(const QString& sql) { core_->Database1.Execute(sql); }

    // A chain of 300 points whose lengths fall on half pixels at the
    // scales below, left and above 0, with a few rows off the usual: boxes
    // never fitted, a segment whose end has gone, a hidden layer and
    // another diagram that must stay as it is.
    void Seed()
    {
        tables::Transaction t(core_->Database1);
        Exec(QStringLiteral("INSERT INTO drawing (Dgnum, Dgname, Units, RndgDP) VALUES "
                            "(1, 'Site', 'm', 3), (2, 'Other', 'm', 3)"));
        Exec(QStringLiteral("INSERT INTO layer (Dgnum, Layernum, Name, Visib) VALUES "
                            "(1, 0, 'Walls', 2), (1, 1, 'Services', 0), (2, 0, 'Walls', 2)"));
        tables::Statement point(core_->Database1,
                                QStringLiteral("INSERT INTO point (Dgnum, Pointnum, Lenx, Leny, "
                                               "Pxlx, Pxly, Rprts, Layernum, CreateTS) VALUES "
                                               "(?, ?, ?, ?, 0, 0, 0, 0, 45000)"));
        tables::Statement seg(
            core_->Database1,
            QStringLiteral("INSERT INTO seg (Dgnum, Segnum, FromPt, ToPt, SegType, Layernum, "
                           "Lenx1, Leny1, Lenx2, Leny2, Pxlx1, Pxly1, Pxlx2, Pxly2, Dotted, "
                           "Xorflag, Measured, faint) VALUES (?, ?, ?, ?, 2, ?, ?, ?, ?, ?, 0, "
                           "0, 0, 0, 0, 0, 0, 0)"));
        const auto lenx = SeededLenX;
        const auto leny = SeededLenY;
        for (int i = 0; i < 300; ++i) {
            point.Reset();
            point.BindAll({1, i, lenx(i), leny(i)});
            point.Run();
        }
        for (int i = 0; i < 299; ++i) {
            const double x1 = std::min(lenx(i), lenx(i + 1));
            const double x2 = std::max(lenx(i), lenx(i + 1));
            const double y1 = std::min(leny(i), leny(i + 1));
            const double y2 = std::max(leny(i), leny(i + 1));
            seg.Reset();
            // Every other box was never fitted: its lengths are still 0.
            const double kept = i % 2 ? 0.0 : 1.0;
            seg.BindAll(
                {1, i, i, i + 1, i % 10 == 9 ? 1 : 0, x1 * kept, y1 * kept, x2 * kept, y2 * kept});
            seg.Run();
        }
        Exec(QStringLiteral("UPDATE seg SET ToPt = 4000 WHERE Dgnum = 1 AND Segnum = 40"));
        // Texts where lengths belong, as a script may write them: a point
        // that cannot be placed, a box of a segment without its end and a
        // box of a segment whose ends are sound.
        Exec(QStringLiteral("UPDATE point SET Lenx = 'abc' WHERE Dgnum = 1 AND Pointnum = 100"));
        Exec(QStringLiteral("UPDATE seg SET Leny2 = '1,5' WHERE Dgnum = 1 AND Segnum = 40"));
        Exec(QStringLiteral("UPDATE seg SET Lenx1 = 'x' WHERE Dgnum = 1 AND Segnum = 60"));
        SpoilBoxes();
        Exec(QStringLiteral("INSERT INTO point (Dgnum, Pointnum, Lenx, Leny, Pxlx, Pxly, Rprts, "
                            "Layernum, CreateTS) VALUES (2, 0, 7.5, 2.5, 3, 4, 0, 0, 45000)"));
        t.Commit();
    }

    QTemporaryDir dir_;
    std::unique_ptr<RewritingCore<TFcore>> core_;
};

TEST(WholeDiagramRewrite, LeavesTheRowsOfTheRowByRowRewriteAtEveryScale)
{
    ScriptedPrompts prompts;
    ScopedPromptSeam seam(prompts);
    SeededStore whole(true);
    SeededStore byRow(false);
    ExpectRowsOfTheRowByRowRewrite(whole, byRow);
    // A text where a length belongs stays as it is, its pixel with it; a
    // box whose ends are sound is made from them.
    const QString texts = QStringLiteral(
        "SELECT (SELECT quote(Lenx) || ' ' || Pxlx FROM point WHERE Dgnum = 1 AND Pointnum = 100),"
        " (SELECT quote(Leny2) FROM seg WHERE Dgnum = 1 AND Segnum = 40),"
        " (SELECT quote(Lenx1) FROM seg WHERE Dgnum = 1 AND Segnum = 60)");
    EXPECT_EQ(whole.Values(texts),
              QStringList({QStringLiteral("'abc' 0"), QStringLiteral("'1,5'"),
                           QString::number(std::min(SeededLenX(60), SeededLenX(61)))}));
    // The pixels in memory are the stored ones: a refit at the same scale
    // finds nothing to write.
    ASSERT_TRUE(whole.Fit(154, 800));
    const int before = sqlite3_total_changes(whole.Core().Database1.Handle());
    ASSERT_TRUE(whole.Fit(154, 800));
    EXPECT_EQ(sqlite3_total_changes(whole.Core().Database1.Handle()), before);
    // The missing end is reported at each fit, as loading the segment does.
    EXPECT_FALSE(prompts.Texts().isEmpty());
}

// A diagram filling its tables has the indexes on pixels made again after
// its rewrite: the same indexes, each holding every row as it now is; a
// rewrite that fails leaves the indexes and the rows as they were.
TEST(WholeDiagramRewrite, KeepsEveryIndexWholeAndAFailedRewriteChangesNothing)
{
    ScriptedPrompts prompts;
    ScopedPromptSeam seam(prompts);
    SeededStore store(true);
    const QString indexes = QStringLiteral(
        "SELECT group_concat(name || ': ' || sql, ' | ') FROM (SELECT name, sql "
        "FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL ORDER BY name)");
    const QStringList before = store.Values(indexes);
    ASSERT_TRUE(before.join(QString()).contains(QStringLiteral("pxlxy")));
    // The pixel index was made before the segment lookups; made again, it
    // comes after them.
    const QString pixelIndexLast =
        QStringLiteral("SELECT (SELECT rowid FROM sqlite_master WHERE name = 'pxlxy') > "
                       "(SELECT rowid FROM sqlite_master WHERE name = 'segends')");
    EXPECT_EQ(store.Values(pixelIndexLast), QStringList{"0"});
    ASSERT_TRUE(store.Fit(118, 800));
    EXPECT_EQ(store.Core().WholeDiagramRewrites, 1);
    EXPECT_EQ(store.Values(pixelIndexLast), QStringList{"1"});
    EXPECT_EQ(store.Values(indexes), before);
    EXPECT_EQ(store.Values(QStringLiteral("PRAGMA integrity_check")), QStringList{"ok"});
    // A point found at its new pixels through the index.
    EXPECT_EQ(store.Values(QStringLiteral("SELECT count(*) FROM point INDEXED BY pxlxy WHERE "
                                          "Dgnum = 1 AND Pxlx = (SELECT Pxlx FROM point WHERE "
                                          "Dgnum = 1 AND Pointnum = 7)")),
              store.Values(QStringLiteral("SELECT count(*) FROM point NOT INDEXED WHERE Dgnum = 1 "
                                          "AND Pxlx = (SELECT Pxlx FROM point WHERE Dgnum = 1 AND "
                                          "Pointnum = 7)")));

    // With a statement reading the table the indexes cannot be dropped:
    // the rewrite keeps them up to date instead.
    {
        tables::Statement reading(store.Core().Database1,
                                  QStringLiteral("SELECT Pointnum FROM point"));
        ASSERT_TRUE(reading.Step());
        ASSERT_TRUE(store.Fit(154, 800));
    }
    EXPECT_EQ(store.Core().WholeDiagramRewrites, 2);
    EXPECT_EQ(store.Values(indexes), before);
    EXPECT_EQ(store.Values(QStringLiteral("PRAGMA integrity_check")), QStringList{"ok"});

    const QStringList rows = store.Rows();
    store.Core().Database1.Execute(QStringLiteral(
        "CREATE TRIGGER refuse BEFORE UPDATE ON seg BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    EXPECT_ANY_THROW(store.Fit(341, 800));
    EXPECT_EQ(store.Rows(), rows);
    EXPECT_EQ(store.Values(indexes), before);
    EXPECT_EQ(store.Values(QStringLiteral("PRAGMA integrity_check")), QStringList{"ok"});
}

} // namespace
