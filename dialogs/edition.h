#pragma once
// What tells the two programs apart, in one place: each program's main block
// hands its edition to the windows, which take every difference from here or
// from the store the edition makes. The defaults are the first program's.
//
// What differs in the data itself is the store's: its statements, its
// search for a point near X (Store::FindPointNear), its health check
// (Store::MakeHealthCheck, none in the second program) and the way a layer
// is deleted (LayersData::DeleteTakesPoints: the second program asks once
// and takes the layer's points that nothing else uses).

#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class Store;

// What the about window says of one program.
struct AboutText {
    QString ProgramName; // in capitals
    QStringList Lines;   // the middle's lines, empty ones included
};
AboutText ScaloraAbout();
AboutText Scalora2About();

struct Edition {
    // The application title: message boxes carry it.
    QString Title = QStringLiteral("Scalora");
    // What the about window says of the program.
    AboutText About = ScaloraAbout();
    // The main window's caption before the diagram's name and units.
    QString CaptionPrefix = QStringLiteral("SCALORA - ");
    // The main window as designed, and whether its first showing maximises
    // it and starts O and X as empty points.
    QRect WindowPlacement = QRect(108, 28, 916, 530);
    bool MaximiseOnShow = false;
    // Whether the start-up timer asks about an upgrade to the second program
    // recorded in the ini file, and whether the Database menu offers the
    // export to the second program's database.
    bool AsksUpgradeQuestion = true;
    bool ExportMenu = true;
    // Whether "First" flashes how many items a step-through mode visits.
    bool StepCountNotices = true;
    // Whether "+" and "-" among the segments at X stop with a notice when
    // there is only one (rather than stepping round to it again).
    bool OnlyOneItemNotice = true;
    // Whether the search for an arc backwards and for a diagonal also runs
    // on a diagram with no visible segment, to say there is none (the
    // forward arc search says nothing then).
    bool SearchesEmptySets = false;
    // Whether a refresh shows the busy cursor.
    bool BusyRefresh = false;

    // The main window's layout: the "Measured" button's hint, and whether
    // the status bar lies inside the drawing area under the scroll box (its
    // last panel of a fixed width) rather than across the whole window.
    QString MeasuredHint = QStringLiteral("Insert new Measured Segment");
    bool StatusBarUnderDrawing = false;
    // The measured-segment dialog: whether its segment types offer "Circle"
    // (a radius about X, stored as one arc of 360 degrees), and whether a
    // length that is not a number is named in the message ("Invalid
    // floating-point amount" and the text) rather than by its edit.
    bool CircleEntry = false;
    bool NamesBadLength = false;
    // Whether "Find point near X" keeps the current segment's number (the
    // second program's search in the database) rather than marking it as
    // not looked up since X moved.
    bool PointSearchKeepsSegment = false;
    // Whether the trial ellipse refuses an O-X box without width or height.
    bool EllipseNeedsDiagonal = false;
    // Whether deleting a segment from its details asks a second time when
    // the segment keeps an old measured length.
    bool AsksAgainForMeasuredSegment = true;
    // Whether the question before a profile is deleted names its number.
    bool ProfileDeleteNamesNumber = false;
    // The column titles of the diagrams window: the first two carry the
    // sort mark; a fourth column shows the decimal places.
    QStringList DiagramListTitles = {QStringLiteral("Id"), QStringLiteral("Name"),
                                     QStringLiteral("Units")};

    // Makes the program's store for the program folder and opens it; errors
    // while opening are shown, and the program then ends.
    std::function<std::unique_ptr<Store>(const QString& exeFolder)> MakeStore;
};

// The edition the windows use when none was handed to them: the first
// program's description, with no store maker.
const Edition& DefaultEdition();
