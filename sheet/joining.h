#pragma once
// The "New joining seg" panel of the main window: a segment drawn between
// O and X without typing a length.

class TFSheet;
struct Forms;

class SheetJoining
{
  public:
    SheetJoining(TFSheet& sheet, Forms& forms) : sheet_(sheet), forms_(forms) {}

    void EnableJoiningPanel(bool enable);
    void CloseJoiningPanel();
    // Closes the panel when it is open, leaves joining and hides the palette.
    void EndJoining();

  private:
    TFSheet& sheet_;
    Forms& forms_;
};
