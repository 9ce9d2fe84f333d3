#pragma once
// The Zoom menu's commands: the bitmap's size factor and the four margins
// that the fit keeps free around the drawing.

#include <QSize>

class Store;

enum class ZoomCommand {
    Centred,    // all four margins a quarter of the scroll box
    ShiftLeft,  // a wide right margin
    ShiftRight, // a wide left margin
    ShiftUp,    // a wide bottom margin
    ShiftDown,  // a wide top margin
    Times1,
    Times2,
    Times3,
    Times4,
};

// Sets the margins and the zoom factor for the command; scrollBox is the
// scroll box's outer size. The caller refreshes keeping the cursors.
void ApplyZoomCommand(Store& store, ZoomCommand command, QSize scrollBox, int& zoomFactor);
