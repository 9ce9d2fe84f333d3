#pragma once
// Moving the X cursor over the sheet bitmap: skipping over the paper to the
// next drawn colour, following a drawn line to its end or to the next
// junction, single-pixel moves, a placed click and the search for a stored
// point near X. A moved X takes the exact lengths of a guide, a straight
// segment or a stored point it lands on, so that a new segment joins the
// drawing exactly and does not pick up the rounding of the pixel grid.

#include "store/records.h"

class TFSheet;

class SheetMoveX
{
  public:
    explicit SheetMoveX(TFSheet& sheet) : sheet_(sheet) {}

    // A skip in one of the four directions: exactly one of dx, dy is +1 or
    // -1, the other 0.
    void SkipX(int dx, int dy);
    // Gives x, whose pixel moved from oldX's along one axis, its lengths
    // and, where it stands on one, a stored point's number.
    void DeriveLengths(const TPointRec& oldX, TPointRec& x);
    // One pixel; the caller hides X before and shows it after.
    void MoveXByPixel(int dx, int dy);
    // An arrow key: X one pixel in that direction.
    void ArrowKey(int dx, int dy);
    // A press on the drawing at that pixel.
    void PlaceXAtPixel(int x, int y);
    // The nearest visible stored point within 10 pixels of X.
    void FindPointNearX();
    // "Find point near X", then the offer to walk the segments there.
    void FindNearBtnClick();
    // The cross-hair guides at X on (down) or off.
    void GuidesBtnClick(bool down);
    // A skip button pressed; with SHIFT the old X to the new X is offered
    // as a joining line.
    void SkipButtonDown(int dx, int dy, bool shift);
    // "Skip X up, O down".
    void SkipXUpODown();
    // "Skip X left, O right".
    void SkipXLeftORight();
    // "Skip X up/left, O down/right": X and O on opposite corners of the
    // box between the lines around X.
    void SkipXUpLeftODownRight();

  private:
    // The skip's walk over the bitmap from w; w ends where X is to stand.
    void WalkSkip(TPointRec& w, int dx, int dy) const;
    bool IsWhite(int x, int y) const;
    bool GuidesDown() const;

    TFSheet& sheet_;
};
