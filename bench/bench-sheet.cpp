// The sheet on a generated site plan at 1k, 10k, 100k and 1M segments: the
// Redraw command from the window's action up to the sheet painted, the
// "OK" of a measured segment up to the repainted sheet (inside the plan,
// and widening it so that the scale changes), and the steps through
// points, segments, labels and the segments at X, each beside its lower
// bound measured in the same run (benchbounds.h). At 1M only the Redraw
// and the widening "OK" are measured.
//
// Lower bounds: a Redraw is at least the read of the diagram's points, its
// visible segments and its labels (bare scans, joined in memory) and the
// stamp of every drawn point by one UPDATE passing the point table,
// committed on the store's own connection; the drawing is the program's
// side only. A measured segment is at least the lengths typed into the
// dialog, its indexed probes and its two inserts, committed, the flash
// note it shows, a refresh's least with its lines drawn by QPainter (its
// labels, drawn before, left out), and the paint of the sheet; one that
// changes the scale also rewrites every cached pixel and box by two
// whole-diagram statements. The inserts and the rewrite are made on a copy
// of the store. A step is at least the key read and the indexed probes of
// what it shows. The window's first showing, which fits the never-fitted
// site, happens once: it is measured once, beside the refresh's least, the
// new scale's rewrite and the first drawing of lines and labels, run once
// on a copy of the store made before it.
//
// The platform is the offscreen one unless QT_QPA_PLATFORM names another:
// under xvfb-run with QT_QPA_PLATFORM=xcb the Redraw paints a real window.
// Prints "<figure> <value> <unit>".

#include "benchbounds.h"
#include "benchfigures.h"
#include "benchstore.h"

#include "dialogs/forms.h"
#include "library/flash.h"
#include "sheet/func.h"
#include "sheet/redraw.h"
#include "sheet/sheet.h"
#include "sheet/sheetimage.h"
#include "sheet/stepping.h"
#include "support/scriptedprompts.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QScrollArea>
#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace
{

constexpr int RefreshRuns = 11;
constexpr int ClickRuns = 11;
constexpr int Steps = 201;
constexpr int WideningRuns = 5;

// What one step shows: a point by its key and the segment between O and
// the new X looked up both ways.
class StepBound
{
  public:
    explicit StepBound(sqlite3* db)
        : point_(db, "SELECT * FROM point WHERE dgnum = ?1 AND pointnum = ?2"),
          between_(db, "SELECT segnum FROM seg WHERE dgnum = ?1 AND frompt = ?2 AND topt = ?3")
    {
    }

    void Run(int o, int x)
    {
        point_.Int(1, benchsite::SiteDiagram).Int(2, x).Run();
        between_.Int(1, benchsite::SiteDiagram).Int(2, o).Int(3, x).Run();
        between_.Int(1, benchsite::SiteDiagram).Int(2, x).Int(3, o).Run();
    }

  private:
    RawStatement point_;
    RawStatement between_;
};

class SheetBench
{
  public:
    SheetBench(int segments, ScriptedPrompts& prompts)
        : segments_(segments), store_(segments), prompts_(prompts)
    {
        forms_.Fcore = store_.Core.get();
        sheet_ = std::make_unique<TFSheet>(forms_);
        forms_.FSheet = sheet_.get();
        dialog_ = std::make_unique<TFseg>(Core(), forms_);
        forms_.Fseg = dialog_.get();
        // A 1,000 x 800 bitmap; the fit takes the side panel's width off it.
        QScrollArea* box = sheet_->ScrollBox1;
        box->setFixedSize(1000 + 2 * box->frameWidth(), 800 + 2 * box->frameWidth());
        Core().LoadLayer(0, Core().CurrentLayer);
    }

    TFcore& Core() { return *store_.Core; }

    void Run(SizedFigures& figures)
    {
        FirstRefresh(figures);
        sheet_->Sheet.HideCursors();
        CheckDrawn();
        Refresh(figures);
        if (segments_ < 1000000) {
            OkClick(figures);
            Stepping(figures);
        }
        // Last: it changes the scale at every run.
        WideningOkClick(figures);
    }

  private:
    // The window's first showing refreshes: its fit writes every cached
    // pixel and box once, and the measured refreshes find the scale as it
    // was. It happens once, so it is measured once, beside a bound run once
    // on a copy of the store as it was before: the refresh's least, the
    // pixels of every point and box written by the new scale's whole-diagram
    // statements, and the lines and labels drawn with the labels laid out
    // for the first time. The bound writes no box lengths, which the first
    // fit of a generated site also writes: it does less than the program.
    void FirstRefresh(SizedFigures& figures)
    {
        SideBySide m;
        {
            const StoreCopy unfitted(store_.Handle(), store_.Folder(),
                                     QStringLiteral("unfitted-copy.sqlite"));
            m.Value = Ms([&] { sheet_->show(); });
            RefreshBound refresh(unfitted.Handle());
            RewriteBound rewrite(unfitted.Handle());
            const SheetScale scale = CurrentScale();
            m.Bound = Ms([&] {
                rewrite.Run(scale);
                refresh.Run();
                refresh.Draw(Core().SheetWidth, Core().SheetHeight, true);
            });
        }
        QFile::remove(store_.Folder() + QStringLiteral("/unfitted-copy.sqlite"));
        figures.Report("first-refresh", segments_, m);
    }

    void CheckDrawn()
    {
        if (Core().VisibleSegments.RecordCount() < store_.Size.Segments / 2 ||
            Core().VisiblePoints.RecordCount() == 0 || Core().Scale <= 0)
            BenchFail("the refresh did not draw the site");
    }

    // The user's Redraw, from the window's own action to the sheet
    // painted, beside the refresh's least on the store's own connection;
    // both stamp the same points.
    void Refresh(SizedFigures& figures)
    {
        RefreshBound bound(store_.Handle());
        const SideBySide m = MeasureSideBySide(
            RefreshRuns,
            [&](int) {
                sheet_->Draw1->trigger();
                PaintSheet();
            },
            [&](int) { bound.Run(); });
        CheckDrawn();
        if (bound.Stamped() != int(Core().VisiblePoints.RecordCount()))
            BenchFail("the refresh's bound stamped " + std::to_string(bound.Stamped()) +
                      " points, the refresh " + std::to_string(Core().VisiblePoints.RecordCount()));
        figures.Report("refresh", segments_, m);
        RefreshStamp(figures, bound);
    }

    // The refresh's write by itself: every drawn point given the next
    // stamp, committed, beside the bound's stamp of the same points.
    void RefreshStamp(SizedFigures& figures, RefreshBound& bound)
    {
        const SideBySide m = MeasureSideBySide(
            RefreshRuns,
            [&](int) {
                Core().RedrawStamp = Core().NextRedrawStamp();
                Core().WriteGroup([&] { Core().StampVisiblePoints(); });
            },
            [&](int) { bound.Stamp(); });
        sheet_->Redraw.RefreshSheet();
        figures.Report("refresh-stamp-and-commit", segments_, m);
    }

    // The copy of the store the bounds write on, made once the first
    // refresh has cached the pixels.
    StoreCopy& Copy()
    {
        if (!copy_)
            copy_ = std::make_unique<StoreCopy>(store_.Handle(), store_.Folder());
        return *copy_;
    }

    // What the user sees of a click: the sheet painted.
    void PaintSheet() { sheet_->Image1->repaint(); }

    void TypeLengths(const QString& across, const QString& down)
    {
        dialog_->Editx->setText(across);
        dialog_->Edity->setText(down);
    }

    // The least of one "OK": the lengths typed, the new point and segment
    // stored, their flash note shown, the refresh's least and the paint;
    // widening also rewrites every pixel and box.
    void OkClickBound(int n, const TPointRec& from, double across, double down, InsertBound& insert,
                      RefreshBound& refresh, RewriteBound* rewrite)
    {
        TypeLengths(QString::number(across), QString::number(down));
        insert.Run(n, from.Pointnum, from.Lenx + across, from.Leny + down);
        Flash(QStringLiteral("Seg ") + QString::number(n) + QStringLiteral(" inserted OK"));
        if (rewrite)
            rewrite->Run(scaleAfter_);
        refresh.Run();
        refresh.Draw(Core().SheetWidth, Core().SheetHeight, false);
        PaintSheet();
    }

    // A stored corner to measure from, chosen at random.
    TPointRec RandomCorner()
    {
        const auto& points = Core().VisiblePoints.Rows();
        TPointRec p;
        while (p.Pointnum < 0 || p.Layernum != 0)
            Core().LoadPoint(points[pick_(rng_) % points.size()].Pointnum, p);
        return p;
    }

    // X on the point, the lengths typed across and down, "OK (more)"
    // clicked, and the sheet redrawn with X on the new point, as the
    // measured-segment command does after the dialog.
    void MeasureFrom(const TPointRec& from, const QString& across, const QString& down)
    {
        SheetState& s = sheet_->Sheet;
        s.HideCursors();
        s.CursorX() = from;
        s.ShowCursors();
        dialog_->MeasureO = s.CursorO();
        dialog_->MeasureFrom = s.CursorX();
        TypeLengths(across, down);
        if (!dialog_->SaveMeasuredSegment())
            BenchFail("the measured segment was not stored");
        s.CursorX() = dialog_->LastSavedSegment.ToPoint;
        s.LastSegment = dialog_->LastSavedSegment;
        sheet_->Redraw.RefreshKeepingCursors();
        PaintSheet();
    }

    // From a corner 0.437 across and 0.291 down: a point inside the plan,
    // so the scale stays.
    void OkClick(SizedFigures& figures)
    {
        RefreshBound refresh(store_.Handle());
        InsertBound insert(Copy().Handle());
        const int firstBoundPoint = Core().LastPointNum + 10000000;
        const SideBySide m = MeasureSideBySide(
            ClickRuns,
            [&](int) {
                MeasureFrom(RandomCorner(), QStringLiteral("0.437"), QStringLiteral("0.291"));
            },
            [&](int i) {
                OkClickBound(firstBoundPoint + i, RandomCorner(), 0.437, 0.291, insert, refresh,
                             nullptr);
            },
            // The user's clicks are seconds apart: the note of the last one
            // has gone.
            [](bool) { HideFlash(); });
        prompts_.Clear();
        sheet_->Sheet.HideCursors();
        figures.Report("ok-click-to-redrawn", segments_, m);
    }

    // The same from the point furthest right, 1.5 across: each new point
    // widens the plan, so the scale changes and every cached pixel and box
    // of the diagram is written again.
    void WideningOkClick(SizedFigures& figures)
    {
        RefreshBound refresh(store_.Handle());
        InsertBound insert(Copy().Handle());
        RewriteBound rewrite(Copy().Handle());
        const int firstBoundPoint = Core().LastPointNum + 20000000;
        // The bound writes the rows that the last click's change of scale
        // changed, from the pixels as they were before it: one click
        // first, untimed, gives the first pair of scales.
        const auto widen = [&] {
            scaleBefore_ = CurrentScale();
            MeasureFrom(FurthestRight(), QStringLiteral("1.5"), QStringLiteral("0.25"));
            scaleAfter_ = CurrentScale();
        };
        widen();
        HideFlash();
        const SideBySide m = MeasureSideBySide(
            WideningRuns, [&](int) { widen(); },
            [&](int i) {
                OkClickBound(firstBoundPoint + i, FurthestRight(), 1.5, 0.25, insert, refresh,
                             &rewrite);
            },
            [&](bool work) {
                HideFlash();
                if (!work)
                    rewrite.Set(scaleBefore_);
            });
        prompts_.Clear();
        sheet_->Sheet.HideCursors();
        figures.Report("ok-click-widening-to-redrawn", segments_, m);
    }

    SheetScale CurrentScale()
    {
        return {Core().MinLenX, Core().MinLenY, Core().Scale, Core().MarginLeft, Core().MarginTop};
    }

    TPointRec FurthestRight()
    {
        int32_t best = -1;
        double bestLenx = 0;
        for (size_t i = 0; i < Core().VisibleSegmentCount(); ++i) {
            const DrawnSegment seg = Core().VisibleSegmentRecord(i);
            for (const ContentPoint* p : {&seg.From, &seg.To}) {
                if (p->Pointnum >= 0 && (best < 0 || p->Lenx > bestLenx)) {
                    best = p->Pointnum;
                    bestLenx = p->Lenx;
                }
            }
        }
        TPointRec point;
        Core().LoadPoint(best, point);
        return point;
    }

    void StepMode(SizedFigures& figures, const std::string& name, StepMode mode,
                  const std::function<void()>& before = {})
    {
        StepBound bound(store_.Handle());
        sheet_->ComboBox1->setCurrentIndex(int(mode));
        SheetState& s = sheet_->Sheet;
        s.ShowCursors();
        sheet_->Stepping.StepButton(StepFirst);
        const SideBySide m = MeasureSideBySide(
            Steps,
            [&](int) {
                if (before)
                    before();
                sheet_->Stepping.StepButton(StepNext);
            },
            [&](int) { bound.Run(s.CursorO().Pointnum, s.CursorX().Pointnum); });
        prompts_.Clear();
        s.HideCursors();
        figures.Report(name, segments_, m);
    }

    void Stepping(SizedFigures& figures)
    {
        StepMode(figures, "step-next-point", StepMode::Points);
        StepMode(figures, "step-next-segment", StepMode::Segments);
        StepMode(figures, "step-next-label", StepMode::Text);
        // X on a new point each time: the segments there are looked up.
        StepMode(figures, "step-segments-at-x", StepMode::SegmentsAtX, [&] {
            SheetState& s = sheet_->Sheet;
            s.HideCursors();
            s.CursorX() = RandomCorner();
            s.ShowCursors();
        });
    }

    int segments_;
    BenchStore store_;
    ScriptedPrompts& prompts_;
    Forms forms_;
    std::unique_ptr<TFSheet> sheet_;
    std::unique_ptr<TFseg> dialog_;
    std::unique_ptr<StoreCopy> copy_;
    SheetScale scaleBefore_;
    SheetScale scaleAfter_;
    std::mt19937 rng_{5};
    std::uniform_int_distribution<size_t> pick_;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ScriptedPrompts prompts;
    ScopedPromptSeam seam(prompts);
    SizedFigures figures;
    for (const int segments : BenchSizesToMillion(argc, argv)) {
        SheetBench bench(segments, prompts);
        bench.Run(figures);
    }
    figures.ReportGrowth();
    return 0;
}
