#pragma once
// Commands that place X by computation rather than by pixels: the angle of
// new arcs, X half way to O, a new O-X turned through a right angle, and X
// moved along the O-X diagonal pixel by pixel; with two that only show
// something, a trial ellipse in the O-X box and the area and perimeter of
// the O-X rectangle.

#include "store/records.h"

class TFSheet;
class SheetState;
class Store;

class SheetGeometry
{
  public:
    explicit SheetGeometry(TFSheet& sheet) : sheet_(sheet) {}

    // The axis on which an extend moves X by whole pixels, the slope of
    // the other axis against it, and the side of O that X is on.
    char ExtendAxis = 'x';
    Extended ExtendSlope = 0;
    int ExtendDirection = 1;

    // "angle = ...": the whole degrees of the next arc.
    void AngleBtnClick();
    // "x -:- o".
    void HalfWayBtnClick();
    // The new O-X turned left ('L') or right ('R') from the old one, offered
    // as a joining segment.
    void OrthogonalOX(char side);
    // False, with a message, unless O-X is a diagonal.
    bool PrepareExtend();
    // X one pixel along the major axis: +1 away from O, -1 towards it.
    void ExtendStep(int step);
    // The numeric-pad + (+1) and - (-1).
    void ExtendKey(int step);
    // X along the diagonal until the next drawn colour or the sheet's edge.
    bool ExtendAlongDiagonal(int step);
    // "ox-".
    void Button4Click();
    // "ox+": may offer the extension as a joining segment.
    void Button5Click();
    // "Ellipse": drawn inverted, so a second time erases it.
    void DrawEllipseOX();
    // "A".
    void Button1Click();

  private:
    SheetState& Sheet() const;
    Store& Core() const;
    bool OnSheet(int x, int y) const;

    TFSheet& sheet_;
};
