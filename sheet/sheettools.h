#pragma once
// The sheet's geometric helpers, its text labels and its segment and point
// details, as the main window holds them.

#include "sheet/geometry.h"
#include "sheet/labels.h"
#include "sheet/segcommands.h"

class TFSheet;
struct Forms;

struct SheetTools {
    SheetTools(TFSheet& sheet, Forms& forms)
        : Geometry(sheet), Labels(sheet, forms), Segments(sheet, forms)
    {
    }

    SheetGeometry Geometry;
    SheetLabels Labels;
    SheetSegmentCommands Segments;
};
