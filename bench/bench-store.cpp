// The table store on a generated site plan at 1k, 10k, 100k and 1M segments:
// storing one measured segment and the fold of its commit into the store
// file, the scale fit at an unchanged scale, and
// each lookup a click, a key or a step makes, every figure beside its lower
// bound measured in the same run.
//
// Lower bounds, in bare SQLite calls on the store's own connection: a
// measured segment is at least the probe for a point at the new lengths,
// the new point, the probes for a segment between its ends both ways and
// the new segment, its pixels and box as the program writes them,
// committed and folded into the store file; a fold is the
// checkpoint call itself; the fit is at least the read of what it
// compares (the points' lengths and pixels, the segments' ends and boxes,
// the layers); a lookup is at least its one probe of the index it needs.
// Prints "<figure> <value> <unit>".

#include "benchbounds.h"
#include "benchfigures.h"
#include "benchstore.h"

#include "library/flash.h"
#include "support/scriptedprompts.h"

#include <QApplication>
#include <random>
#include <sqlite3.h>

namespace
{

constexpr int Inserts = 101;
constexpr int FitRuns = 11;
constexpr int Lookups = 401;

// What the fit reads: every point's lengths and pixels, every segment's
// ends and box with its layer.
class FitBound
{
  public:
    explicit FitBound(sqlite3* db)
        : points_(db, "SELECT pointnum, lenx, leny, pxlx, pxly FROM point WHERE dgnum = ?1 "
                      "ORDER BY pointnum"),
          segs_(db, "SELECT segnum, frompt, topt, layernum, lenx1, leny1, lenx2, leny2, pxlx1, "
                    "pxly1, pxlx2, pxly2 FROM seg WHERE dgnum = ?1 ORDER BY segnum"),
          layers_(db, "SELECT layernum, visib FROM layer WHERE dgnum = ?1")
    {
    }

    void Run()
    {
        double sum = 0;
        for (RawStatement* st : {&points_, &segs_, &layers_}) {
            st->Int(1, benchsite::SiteDiagram);
            while (st->Step())
                sum += st->ColumnReal(1) + st->ColumnInt(2);
            st->Reset();
        }
        if (sum == 0)
            BenchFail("the fit's rows were not read");
    }

  private:
    RawStatement points_;
    RawStatement segs_;
    RawStatement layers_;
};

class StoreBench
{
  public:
    StoreBench(int segments, ScriptedPrompts& prompts)
        : segments_(segments), store_(segments), prompts_(prompts)
    {
        Core().SheetWidth = 1000;
        Core().SheetHeight = 800;
        // The first fit writes every cached pixel and box; the ones measured
        // find the scale as it was.
        Core().OpenVisibleSegments();
        Core().FitDiagramToSheet(200);
        Core().RedrawStamp = 46000.5;
        Core().OpenVisibleText();
        Core().StampVisiblePoints();
        Core().OpenVisiblePoints();
    }

    TFcore& Core() { return *store_.Core; }

    void Run(SizedFigures& figures)
    {
        Fit(figures);
        Insert(figures);
        Fold(figures);
        LookUps(figures);
    }

  private:
    TPointRec RandomVisiblePoint()
    {
        const auto& rows = Core().VisiblePoints.Rows();
        TPointRec p;
        Core().LoadPoint(rows[rng_() % rows.size()].Pointnum, p);
        return p;
    }

    // A new point 0.437 across and 0.291 down from a drawn one, with the
    // pixels the store gives it.
    TPointRec NewPointBeside(const TPointRec& from)
    {
        TPointRec to = from;
        to.Lenx += 0.437;
        to.Leny += 0.291;
        to.Pxlx = Core().LenToPixelX(to.Lenx);
        to.Pxly = Core().LenToPixelY(to.Leny);
        return to;
    }

    void Fit(SizedFigures& figures)
    {
        FitBound bound(store_.Handle());
        int written = 0;
        const SideBySide m = MeasureSideBySide(
            FitRuns,
            [&](int) {
                const int before = sqlite3_total_changes(store_.Handle());
                Core().OpenVisibleSegments();
                if (!Core().FitDiagramToSheet(200))
                    BenchFail("the fit found no scale");
                written += sqlite3_total_changes(store_.Handle()) - before;
            },
            [&](int) { bound.Run(); });
        figures.Report("fit-unchanged-scale", segments_, m);
        Figure("fit-unchanged-scale-rows-written-" + SizeTag(segments_), written, "rows");
    }

    // From a drawn point, 0.437 across and 0.291 down: a new point inside the
    // plan. The users' clicks on "OK" are seconds apart, so the note that
    // flashes the segment's number is gone before the next one.
    void Insert(SizedFigures& figures)
    {
        InsertBound bound(store_.Handle());
        const int firstBoundPoint = Core().LastPointNum + 1000000;
        const SideBySide m = MeasureSideBySide(
            Inserts,
            [&](int i) {
                TSegRec s;
                s.SegType = SegLine;
                s.FromPoint = RandomVisiblePoint();
                s.ToPoint = s.FromPoint;
                s.ToPoint.Pointnum = -1;
                s.ToPoint.Lenx += 0.437 + i * 1e-3;
                s.ToPoint.Leny += 0.291;
                s.Mlenx = 0.437 + i * 1e-3;
                s.Mleny = 0.291;
                s.Measured = true;
                Core().AddSegment(s);
                if (s.Segnum < 0)
                    BenchFail("the measured segment was not stored");
            },
            [&](int i) {
                const TPointRec from = RandomVisiblePoint();
                bound.Run(firstBoundPoint + i, from, NewPointBeside(from));
            },
            [](bool) { HideFlash(); });
        HideFlash();
        prompts_.Clear();
        figures.Report("insert-measured-segment", segments_, m);
    }

    // What a commit's fold into the store file costs, part of every
    // figure that commits: a measured segment's rows committed by another
    // connection (untimed, so they wait in the log), then folded by the
    // store's flush; the bound folds them with the bare checkpoint call.
    void Fold(SizedFigures& figures)
    {
        sqlite3* other = nullptr;
        if (sqlite3_open_v2(Core().Database1.FilePath().toUtf8().constData(), &other,
                            SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            BenchFail("a second connection does not open");
        sqlite3_wal_autocheckpoint(other, 0);
        {
            InsertBound commit(other);
            int n = Core().LastPointNum + 2000000;
            const SideBySide m = MeasureSideBySide(
                Inserts, [&](int) { Core().Database1.Flush(); },
                [&](int) {
                    sqlite3_wal_checkpoint_v2(store_.Handle(), nullptr, SQLITE_CHECKPOINT_TRUNCATE,
                                              nullptr, nullptr);
                },
                [&](bool) {
                    const TPointRec from = RandomVisiblePoint();
                    commit.Run(++n, from, NewPointBeside(from));
                });
            figures.Report("fold-measured-segment", segments_, m);
        }
        sqlite3_close_v2(other);
    }

    // One lookup against its one index probe, both from random drawn
    // points.
    void LookUp(SizedFigures& figures, const std::string& name, const char* probe,
                const std::function<void(const TPointRec&)>& lookup,
                const std::function<void(RawStatement&, const TPointRec&)>& bind)
    {
        RawStatement raw(store_.Handle(), probe);
        const SideBySide m = MeasureSideBySide(
            Lookups, [&](int) { lookup(RandomVisiblePoint()); },
            [&](int) {
                const TPointRec p = RandomVisiblePoint();
                bind(raw, p);
                raw.Run();
            });
        prompts_.Clear();
        figures.Report(name, segments_, m, "ms");
    }

    // What a move of X from one pixel before the point does.
    void AlongALine(const TPointRec& to, int fromDx, int fromDy)
    {
        TPointRec from = to;
        from.Pxlx += fromDx;
        from.Pxly += fromDy;
        TPointRec found;
        TSegRec seg;
        Core().FindSegmentInLine(from, to, seg);
        Core().FindPointInLine(from, to, found);
    }

    void LookUps(SizedFigures& figures)
    {
        const int dg = benchsite::SiteDiagram;
        LookUp(
            figures, "lookup-point-at-lengths",
            "SELECT * FROM point WHERE dgnum = ?1 AND lenx = ?2 AND leny = ?3",
            [&](TPointRec p) { Core().FindPointAtLength(p); },
            [&](RawStatement& st, const TPointRec& p) {
                st.Int(1, dg).Real(2, p.Lenx).Real(3, p.Leny);
            });
        LookUp(
            figures, "lookup-point-at-pixel",
            "SELECT * FROM point WHERE dgnum = ?1 AND pxlx = ?2 AND pxly = ?3",
            [&](TPointRec p) { Core().FindVisiblePointAtPixel(p); },
            [&](RawStatement& st, const TPointRec& p) {
                st.Int(1, dg).Int(2, p.Pxlx).Int(3, p.Pxly);
            });
        LookUp(
            figures, "lookup-bold-segment-between",
            "SELECT * FROM seg WHERE dgnum = ?1 AND frompt = ?2 AND topt = ?3",
            [&](const TPointRec& p) {
                TSegRec s;
                Core().FindBoldSegmentBetween(p.Pointnum, p.Pointnum + 1, s);
            },
            [&](RawStatement& st, const TPointRec& p) {
                st.Int(1, dg).Int(2, p.Pointnum).Int(3, p.Pointnum + 1);
            });
        LookUp(
            figures, "lookup-segments-at-point",
            "SELECT * FROM seg WHERE dgnum = ?1 AND frompt = ?2 UNION ALL "
            "SELECT * FROM seg WHERE dgnum = ?1 AND topt = ?2",
            [&](const TPointRec& p) { Core().OpenSegmentsAtPoint(p.Pointnum); },
            [&](RawStatement& st, const TPointRec& p) { st.Int(1, dg).Int(2, p.Pointnum); });
        // X moved one pixel right of (or down onto) a drawn point: the point
        // and the straight segment crossed in its new column (or row).
        LookUp(
            figures, "lookup-along-a-row",
            "SELECT * FROM point WHERE dgnum = ?1 AND pxlx = ?2 AND leny = ?3",
            [&](const TPointRec& p) { AlongALine(p, -1, 0); },
            [&](RawStatement& st, const TPointRec& p) {
                st.Int(1, dg).Int(2, p.Pxlx).Real(3, p.Leny);
            });
        LookUp(
            figures, "lookup-along-a-column",
            "SELECT * FROM point WHERE dgnum = ?1 AND pxly = ?2 AND lenx = ?3",
            [&](const TPointRec& p) { AlongALine(p, 0, -1); },
            [&](RawStatement& st, const TPointRec& p) {
                st.Int(1, dg).Int(2, p.Pxly).Real(3, p.Lenx);
            });
    }

    int segments_;
    BenchStore store_;
    ScriptedPrompts& prompts_;
    std::mt19937 rng_{9};
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ScriptedPrompts prompts;
    ScopedPromptSeam seam(prompts);
    SizedFigures figures;
    for (const int segments : BenchSizesToMillion(argc, argv)) {
        StoreBench bench(segments, prompts);
        bench.Run(figures);
    }
    figures.ReportGrowth();
    return 0;
}
