#pragma once
// The commands that copy or exchange the O and X cursors, the one-level
// Undo of cursor moves and the one-slot memory for X. None of them touches
// stored data.

class TFSheet;

class SheetOXCommands
{
  public:
    explicit SheetOXCommands(TFSheet& sheet) : sheet_(sheet) {}

    // "o -> x": O := X; there is no segment between them any more.
    void OtoX();
    // "x -> o": X := O.
    void XtoO();
    // "o <> x": the whole records change places; the current segment stays.
    void SwapOX();
    // Copies the snapshot back; a second Undo changes nothing.
    void Undo();
    // "push X (to Memory)".
    void PushX();
    // "pop x (from Memory)".
    void PopX();

  private:
    TFSheet& sheet_;
    // Until the first push the memory holds nothing worth restoring.
    bool memoryFilled_ = false;
};
