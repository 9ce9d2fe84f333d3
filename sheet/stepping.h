#pragma once
// The "Step through" group: walks O and X over the visible items of the
// open diagram one at a time (points, segments, the segments at X, arcs,
// diagonal lines and labels), over the store's visible sets of the last
// redraw, wrapping around at both ends with a notice. Stepping stores
// nothing.

#include "store/visiblesets.h"

#include <QString>
#include <functional>

class TFSheet;

// Directions of a step.
constexpr int StepFirst = 0;
constexpr int StepNext = 1;
constexpr int StepPrevious = -1;

// The step modes, by their index in the mode combo box.
enum class StepMode { Points = 0, Segments, SegmentsAtX, Arcs, Diagonals, Text };

class SheetStepping
{
  public:
    explicit SheetStepping(TFSheet& sheet) : sheet_(sheet) {}

    // A step button: the chosen mode's step in that direction.
    void StepButton(int direction);
    // The "First" step of the chosen mode.
    void StepItems() { StepButton(StepFirst); }

    void StepPoint(int direction);
    void StepSegment(int direction);
    void StepSegmentAtX(int direction);
    void StepArc(int direction);
    void StepDiagonal(int direction);
    void StepTextLabel(int direction);

    // Stands the visible segments on segnum's row, or on the last row
    // below it when it is not there.
    void SeekVisibleSegment(int32_t segnum);

  private:
    // Moves one row (or to the first) with wrap-around and its notice.
    template <typename Row> void MoveRow(RowCursor<Row>& rows, int direction);
    void SeekVisiblePoint(int32_t pointnum);
    // Arcs and Diagonals: the first qualifying row in the step's direction.
    // With no visible segment only a search that searchesEmptySet says
    // there is none, and only in an edition that does so.
    void SearchSegments(int direction, const std::function<bool(const VisibleSegmentRow&)>& wanted,
                        const QString& noneText, bool searchesEmptySet);
    void TakeCurrentSegmentRow();

    TFSheet& sheet_;
};
