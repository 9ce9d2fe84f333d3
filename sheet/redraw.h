#pragma once
// The sheet refresh: a new bitmap, the scale refitted to the visible
// segments and the open diagram painted again from the store's visible
// sets. Every point painted carries the refresh's stamp, which is what makes
// it one of the visible points that stepping and the lookups at a pixel use.

class SheetState;
struct TPointRec;

class SheetRedraw
{
  public:
    explicit SheetRedraw(SheetState& sheet) : sheet_(sheet) {}

    // Refused while a cursor is shown: the cursors live on the bitmap.
    void RefreshSheet();
    // O and X end on the ends of the last visible segment drawn.
    void RefreshWithCursors();
    // O and X stay where they were, found again by their lengths.
    void RefreshKeepingCursors();
    // The "Redraw" command.
    void RedrawCommand();
    // Paints the open diagram on the current bitmap, without a refit.
    void DrawDiagram();
    void ClearSheet();

  private:
    void DrawLabels();
    void DrawSegments();
    void MarkDrawn(TPointRec& point) const;
    void ReloadCursorsAndSegment();

    SheetState& sheet_;
};

// A stored arc angle as the whole degrees the arc plotter takes: halves go
// to the even neighbour, and values far out of range are held to a size
// that still reads as too big.
int ArcAngleDegrees(double mlenx);
