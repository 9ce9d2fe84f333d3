#pragma once
// What the three status panels say about the cursors: the point under X,
// the point under O, and the segment between them with the O-X distance,
// with the pixel size below. The window shows what this works out.

#include <QColor>
#include <QString>
#include <optional>

class SheetState;

enum class StatusColour { ButtonFace, SkyBlue, Yellow };

QColor StatusPanelColour(StatusColour colour);

struct StatusView {
    QString XText = QStringLiteral("X");              // Label1
    QString OXText = QStringLiteral("O-X");           // Label2
    QString OText = QStringLiteral("O");              // Label3
    StatusColour XColour = StatusColour::ButtonFace;  // Panel5
    StatusColour OColour = StatusColour::ButtonFace;  // Panel4
    StatusColour OXColour = StatusColour::ButtonFace; // Panel6
    bool LengthUnderlined = false;
    bool SegmentButtonsEnabled = false; // EdSegBtn, delsegbtn
    bool TextAtXEnabled = false;
    bool TextAtOEnabled = false;
    // Left as they were when the rebuild stops at a cursor with no lengths.
    std::optional<QString> LengthText;    // Label6
    std::optional<QString> PixelSizeText; // Label5
};

// The O-X distance in length units while both cursors are shown, else 0.
double OXLength(SheetState& sheet);

// Rebuilds the panels' contents from the cursors, the current segment and
// the diagram's units and decimals. However O, X or the layers came to be
// as they are, the panel names only a segment drawn between O and X: the
// current segment is kept only while it joins them on a layer that is
// drawn, and otherwise the segment between them is looked up.
StatusView BuildStatus(SheetState& sheet);
