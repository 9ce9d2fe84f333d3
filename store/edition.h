#pragma once
// What tells the two programs apart, in one place: each program's main block
// hands its edition to the windows, which take every difference from here or
// from the store the edition makes. The defaults are the first program's.

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

    // Whether the program ends, once the error is shown, when its store
    // cannot be opened, rather than carrying on without data.
    bool EndsWithoutStore = false;

    // Makes the program's store for the program folder and opens it; errors
    // while opening are shown.
    std::function<std::unique_ptr<Store>(const QString& exeFolder)> MakeStore;
};

// The edition the windows use when none was handed to them: the first
// program's description, with no store maker.
const Edition& DefaultEdition();
