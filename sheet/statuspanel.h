#pragma once
// What the three status panels say about the cursors: the point under X,
// the point under O, and the segment between them with the O-X distance,
// with the pixel size below. The window shows what this works out.

#include <QColor>
#include <QString>
#include <optional>

class SheetState;
class Store;

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

// The current segment stays the O-X segment only while it joins the points
// o and x and its layer is drawn; otherwise (none found included) it is
// marked as not looked up, so that the segment between them is looked up
// again. However O, X or the
// layers changed, the panel then names no segment that is not between O and
// X on the sheet.
void CheckOXSegment(Store& core, int32_t o, int32_t x);

// Rebuilds the panels' contents from the cursors, the current segment (see
// CheckOXSegment) and the diagram's units and decimals; looks up the
// segment between O and X when it has not been looked up since X moved.
StatusView BuildStatus(SheetState& sheet);
