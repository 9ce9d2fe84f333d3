#pragma once
// SIGTERM and SIGINT (logout, shutdown, Ctrl+C in a terminal) turned into a
// call on the GUI thread, so the program can close its main window and shut
// its store down as a normal exit does.

#include <functional>

// Installs the handlers; onTerminate runs in the event loop once per signal.
void InstallTerminationHandler(std::function<void()> onTerminate);
