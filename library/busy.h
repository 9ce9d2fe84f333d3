#pragma once
// The busy (hourglass) cursor with its nesting count, and the one screen
// cursor that the busy sections and the dragged windows set.

#include <Qt>

// Sets the cursor of the whole program; the arrow puts back the cursor of
// each widget.
void SetScreenCursor(Qt::CursorShape shape);
Qt::CursorShape ScreenCursor();

void BeginBusy();
void EndBusy();
void EndAllBusy();
int BusyCount();

// BeginBusy and EndBusy for a wait inside a call that no window event may
// interrupt (a statement waiting for another program's lock): the cursor
// changes, counted as BeginBusy and EndBusy count, but no pending event runs.
void BeginBusyInCall();
void EndBusyInCall();

// One busy section: BeginBusy now, EndBusy however the section is left.
class BusyGuard
{
  public:
    BusyGuard();
    ~BusyGuard();
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;
};
