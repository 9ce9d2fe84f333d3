#include "sheet/zoom.h"

#include "store/store.h"

void ApplyZoomCommand(Store& store, ZoomCommand command, QSize scrollBox, int& zoomFactor)
{
    const int width = scrollBox.width();
    const int height = scrollBox.height();
    if (command != ZoomCommand::Centred) {
        // Shifts start from the plain margins, so they never add up.
        store.ResetMargins();
    }
    zoomFactor = 1;
    switch (command) {
    case ZoomCommand::Centred:
        store.MarginLeft = width / 4;
        store.MarginRight = width / 4;
        store.MarginTop = height / 4;
        store.MarginBottom = height / 4;
        break;
    case ZoomCommand::ShiftLeft:
        store.MarginRight = width / 3;
        break;
    case ZoomCommand::ShiftRight:
        store.MarginLeft = width / 3;
        break;
    case ZoomCommand::ShiftUp:
        store.MarginBottom = height / 3;
        break;
    case ZoomCommand::ShiftDown:
        store.MarginTop = height / 3;
        break;
    case ZoomCommand::Times1:
        break;
    case ZoomCommand::Times2:
        zoomFactor = 2;
        break;
    case ZoomCommand::Times3:
        zoomFactor = 3;
        break;
    case ZoomCommand::Times4:
        zoomFactor = 4;
        break;
    }
}
