// The Firebird store's rewrite of a new scale by whole-diagram statements
// leaves every row as writing the changed rows one by one does: the
// engine's arithmetic gives the pixels the fit gives them, halves and
// points far off the sheet included.

#include "firebird/corefb.h"
#include "firebird/fbschema.h"
#include "firebirdenv.h"
#include "store/wholediagramrewrite.h"
#include "support/scriptedprompts.h"

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

namespace
{

using RowValues = std::vector<std::vector<ibase::Value>>;

// One store seeded with the same rows as every other.
class SeededStoreFb
{
  public:
    explicit SeededStoreFb(bool wholeDiagram)
    {
        const QString data = dir_.path() + QStringLiteral("/Scalora2 data");
        QDir().mkpath(data);
        CreateFirebirdStore(data + QStringLiteral("/scalora2data.fdb"));
        core_ = std::make_unique<RewritingCore<TFcoreFb>>(dir_.path(), wholeDiagram);
        core_->ReadIniFile();
        core_->OpenStore();
        core_->BindQuery(query_);
        Seed();
        core_->OpenDiagram(1);
    }

    RewritingCore<TFcoreFb>& Core() { return *core_; }

    bool Fit(int32_t width, int32_t height) { return FitToSheet(*core_, width, height); }

    // Every value of every point and segment row, exactly.
    RowValues Rows()
    {
        RowValues rows;
        for (const auto& [sql, columns] :
             {std::pair{"select dgnum, pointnum, lenx, leny, pxlx, pxly, rprts from point "
                        "order by dgnum, pointnum",
                        7},
              std::pair{"select dgnum, segnum, lenx1, leny1, lenx2, leny2, pxlx1, pxly1, "
                        "pxlx2, pxly2 from seg order by dgnum, segnum",
                        10}}) {
            core_->RunSQL(query_, QString::fromLatin1(sql));
            for (query_.First(); !query_.Eof(); query_.Next()) {
                std::vector<ibase::Value>& row = rows.emplace_back();
                for (int i = 0; i < columns; ++i)
                    row.push_back(query_.FieldAt(i));
            }
            query_.Close();
        }
        return rows;
    }

    // A box whose lengths are out of date and one of NULLs.
    void SpoilBoxes()
    {
        Exec(QStringLiteral("update seg set lenx1 = 99.25 where dgnum = 1 and segnum = 17"));
        Exec(QStringLiteral("update seg set lenx1 = null, leny1 = null, lenx2 = null, "
                            "leny2 = null, pxlx1 = null where dgnum = 1 and segnum = 80"));
    }

  private:
    void Exec(const QString& sql, const FbParams& params = {}) { core_->RunStoreSQL(sql, params); }

    // A chain of 301 points whose lengths fall on half pixels at the
    // scales below, left and above 0, with a few rows off the usual: boxes
    // never fitted, a segment whose end has gone, a hidden layer whose last
    // point lies so far off that its pixels pass the pixel range, and
    // another diagram that must stay as it is.
    void Seed()
    {
        Exec(QStringLiteral("insert into drawing (dgnum, dgname, units, rndgdp) values "
                            "(1, 'Site', 'm', 3)"));
        Exec(QStringLiteral("insert into drawing (dgnum, dgname, units, rndgdp) values "
                            "(2, 'Other', 'm', 3)"));
        for (const auto& [dg, n, visib] :
             {std::tuple{1, 0, 2}, std::tuple{1, 1, 0}, std::tuple{2, 0, 2}})
            Exec(QStringLiteral("insert into layer (dgnum, layernum, layername, visib) "
                                "values (:dg, :n, 'Layer', :v)"),
                 {{"dg", dg}, {"n", n}, {"v", visib}});
        const auto lenx = [](int i) { return i == 300 ? 9e11 : SeededLenX(i); };
        const auto leny = [](int i) { return i == 300 ? -9e11 : SeededLenY(i); };
        for (int i = 0; i <= 300; ++i)
            Exec(QStringLiteral("insert into point (dgnum, pointnum, lenx, leny, pxlx, pxly, "
                                "layernum) values (1, :n, :x, :y, 0, 0, 0)"),
                 {{"n", i}, {"x", lenx(i)}, {"y", leny(i)}});
        for (int i = 0; i < 300; ++i) {
            // Every other box was never fitted: its lengths are still 0.
            const double kept = i % 2 ? 0.0 : 1.0;
            Exec(QStringLiteral(
                     "insert into seg (dgnum, segnum, frompt, topt, segtype, layernum, lenx1, "
                     "leny1, lenx2, leny2, pxlx1, pxly1, pxlx2, pxly2, dotted, xorflag, "
                     "measured, faint) values (1, :n, :f, :t, 2, :l, :x1, :y1, :x2, :y2, 0, 0, "
                     "0, 0, 0, 0, 0, 0)"),
                 {{"n", i},
                  {"f", i},
                  {"t", i + 1},
                  {"l", i % 10 == 9 ? 1 : 0},
                  {"x1", std::min(lenx(i), lenx(i + 1)) * kept},
                  {"y1", std::min(leny(i), leny(i + 1)) * kept},
                  {"x2", std::max(lenx(i), lenx(i + 1)) * kept},
                  {"y2", std::max(leny(i), leny(i + 1)) * kept}});
        }
        Exec(QStringLiteral("update seg set topt = 4000 where dgnum = 1 and segnum = 40"));
        SpoilBoxes();
        Exec(QStringLiteral("insert into point (dgnum, pointnum, lenx, leny, pxlx, pxly, "
                            "layernum) values (2, 0, 7.5, 2.5, 3, 4, 0)"));
    }

    QTemporaryDir dir_;
    std::unique_ptr<RewritingCore<TFcoreFb>> core_;
    FbQuery query_;
};

TEST(FirebirdWholeDiagramRewrite, LeavesTheRowsOfTheRowByRowRewriteAtEveryScale)
{
    ScriptedPrompts prompts;
    ScopedPromptSeam seam(prompts);
    SeededStoreFb whole(true);
    SeededStoreFb byRow(false);
    ExpectRowsOfTheRowByRowRewrite(whole, byRow);
    // The far point's pixels stop at the ends of the pixel range, the
    // margin added to the lower end.
    const RowValues rows = whole.Rows();
    EXPECT_EQ(rows[300][4].AsInt64(), 2147483647);
    EXPECT_EQ(rows[300][5].AsInt64(), -2147483648LL + whole.Core().MarginTop);
    // The missing end is reported at each fit, as loading the segment does.
    EXPECT_FALSE(prompts.Texts().isEmpty());
}

} // namespace
