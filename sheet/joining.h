#pragma once
// The "New joining seg" panel of the main window: a segment drawn between
// O and X without typing a length (a line, an arc about X or about O, or a
// rectangle with O and X at opposite corners), previewed as it follows X,
// drawn straight onto the sheet and stored without a refresh.

#include "store/records.h"

class TFSheet;
struct Forms;

// The shapes in the panel's combo box, by index.
enum class JoiningShape { Line = 0, ArcX, ArcO, Rectangle };

class SheetJoining
{
  public:
    SheetJoining(TFSheet& sheet, Forms& forms) : sheet_(sheet), forms_(forms) {}

    void EnableJoiningPanel(bool enable);
    void CloseJoiningPanel();
    // Closes the panel when it is open, leaves joining and hides the palette.
    void EndJoining();
    // "Join": opens the panel with the palette and the preview.
    void StartJoining();
    // The shape chosen in the panel.
    void ComboBox2Change();
    // "Save": the segment drawn and stored, then the panel closed.
    void SaveBtnClick();
    // True when the segment was drawn and stored; a refusal leaves the
    // panel open and nothing stored.
    bool SaveJoiningSegment();

  private:
    JoiningShape Shape() const;
    // The segment of the shape between O and X, as it is to be stored.
    TSegRec JoiningSegment(JoiningShape shape) const;
    // Draws the segment onto the sheet; after an arc X stands on its far end.
    void InkJoiningSegment(const TSegRec& seg, JoiningShape shape);
    // After an arc X stands on the arc's far end.
    void MoveXToArcEnd();

    TFSheet& sheet_;
    Forms& forms_;
};
