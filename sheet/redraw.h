#pragma once
// The sheet refresh: a new bitmap, the scale refitted to the visible
// segments and the open diagram painted again from the store's visible
// sets. Every point painted carries the refresh's stamp, which is what makes
// it one of the visible points that stepping and the lookups at a pixel use.

#include "platform/sidework.h"

#include <cstdint>

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
    void ClearSheet();

  private:
    // The diagram read for the refresh, then its labels read while the
    // side thread takes the visible set from it and works the fit out.
    void ReadDiagram(int32_t sidePanelWidth);
    // Paints the open diagram on the current bitmap, without a refit: the
    // painting goes on on the side thread while the drawn points are
    // stamped, and has ended when the unit of writes it is part of has.
    void DrawDiagram();
    void DrawLabels();
    // With markers, a red block on each end as well.
    void DrawSegments(bool markers);
    void MarkDrawn(TPointRec& point) const;
    void ReloadCursorsAndSegment();

    SheetState& sheet_;
    SideWork side_;
};

// A stored arc angle as the whole degrees the arc plotter takes: halves go
// to the even neighbour, and values far out of range are held to a size
// that still reads as too big.
int ArcAngleDegrees(double mlenx);
