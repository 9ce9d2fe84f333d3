#include "sheetfixture.h"
#include "tablestore/queryplans.h"

#include "sheet/redraw.h"
#include "sheet/stepping.h"

#include <QComboBox>

namespace
{

// What the sheet asks of the store's SQLite connection: a refresh reads the
// diagram once, whatever its size; a click, a key or a step reads no more
// than the rows it shows.
class StoreReads : public SheetTest
{
  protected:
    // A row of n squares of 10 mm, 20 mm down per row, with a label on each
    // top-left corner, a door arc in the first and a diagonal on the faint
    // layer.
    void DrawSquares(int n, int row = 0)
    {
        const Extended y = 20.0 * row;
        for (int i = 0; i < n; ++i) {
            const Extended x = 10.0 * i;
            StoreSeg(x, y, x + 10, y);
            StoreSeg(x + 10, y, x + 10, y + 10);
            StoreSeg(x + 10, y + 10, x, y + 10);
            StoreSeg(x, y + 10, x, y);
            core_->AddText(Pt(x, y), QStringLiteral("Room %1").arg(i), 0);
        }
        StoreSeg(0, y, 2, y, 0, SegArc);
        StoreSeg(0, y, 10, y + 10, 1);
    }

    // The statements one refresh runs, by how often.
    std::map<QString, int> RunsOfARefresh()
    {
        PlanRecorder recorder(core_->Database1.Handle());
        sheet_->Redraw.RefreshSheet();
        return recorder.Runs();
    }

    void ExpectNoDiagramWalk(PlanRecorder& recorder)
    {
        EXPECT_EQ(recorder.DiagramWalks(), QStringList());
        recorder.Clear();
    }
};

TEST_F(StoreReads, ARefreshRunsTheSameStatementsOnceWhateverTheDiagramsSize)
{
    DrawSquares(3);
    ShowDrawing();
    const std::map<QString, int> small = RunsOfARefresh();

    DrawSquares(40, 1);
    sheet_->Redraw.RefreshSheet(); // the new scale is written once
    const std::map<QString, int> large = RunsOfARefresh();
    EXPECT_GT(core_->VisibleSegments.RecordCount(), 120);
    EXPECT_EQ(large, small);

    // The diagram is walked by the read of its points, of its segments and
    // of its labels, and by the stamp of the drawn points: once each.
    PlanRecorder recorder(core_->Database1.Handle());
    sheet_->Redraw.RefreshSheet();
    const QStringList walks = recorder.WalkingStatements();
    EXPECT_EQ(walks.size(), 4) << recorder.DiagramWalks().join('\n').toStdString();
    for (const QString& sql : walks)
        EXPECT_EQ(recorder.Runs().at(sql), 1) << sql.toStdString();
}

TEST_F(StoreReads, ClicksKeysAndStepsReadNoWholeDiagram)
{
    DrawSquares(5);
    ShowDrawing();
    PlanRecorder recorder(core_->Database1.Handle());
    SheetState& s = sheet_->Sheet;

    for (const StepMode mode : {StepMode::Points, StepMode::Segments, StepMode::SegmentsAtX,
                                StepMode::Arcs, StepMode::Diagonals, StepMode::Text}) {
        sheet_->ComboBox1->setCurrentIndex(int(mode));
        sheet_->Stepping.StepButton(StepFirst);
        sheet_->Stepping.StepButton(StepNext);
        sheet_->Stepping.StepButton(StepPrevious);
    }
    ExpectNoDiagramWalk(recorder);

    // A click on a corner, arrow moves off it and back, skips along the
    // walls, and the search for a point near X.
    s.HideCursors();
    sheet_->MoveX.PlaceXAtPixel(PxX(10), PxY(0));
    EXPECT_GE(s.CursorX().Pointnum, 0);
    for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
        s.HideCursorX();
        sheet_->MoveX.MoveXByPixel(dx, dy);
        s.ShowCursorX();
    }
    sheet_->MoveX.SkipX(1, 0);
    sheet_->MoveX.SkipX(0, 1);
    sheet_->MoveX.FindPointNearX();
    ExpectNoDiagramWalk(recorder);

    // A measured segment from X, and the lookups of the status panel.
    TSegRec seg;
    seg.SegType = SegLine;
    seg.FromPoint = s.CursorX();
    seg.ToPoint = Pt(s.CursorX().Lenx + 3.5, s.CursorX().Leny + 2.25);
    core_->AddSegment(seg);
    EXPECT_GE(seg.Segnum, 0);
    ExpectNoDiagramWalk(recorder);
}

} // namespace
