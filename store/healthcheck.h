#pragma once
// The database health check: one pass over every table of a store, across
// all diagrams, that finds the rows whose references are broken and, in
// repair mode, mends or removes them. A pass never moves the open diagram and
// a check pass writes nothing; the points that segments and texts reach are
// marked in memory. The health-check window drives it and words the report;
// a store that has no health check hands the window none.

#include "store/records.h"

#include <QString>
#include <cstdint>
#include <vector>

// The tables a pass walks, in the order it walks them.
enum class HealthTable { Seg, Text, Layer, Point, ProfileLayers };

enum class HealthFault {
    DiagramNotFound,       // the row's diagram has no drawing row
    JumpSeg,               // a stored jump (removed)
    SamePoints,            // from- and to-point are one point (removed)
    InvalidSegType,        // Value: the type (removed)
    FromPointNotFound,     // kept
    ToPointNotFound,       // removed
    LayerNotFound,         // Value: the layer number; made again, hidden
    MeasuredLengthToBeSet, // an old length kept in Seglen only
    InvalidArcAngle,       // reported only
    NotExactlyVertical,    // reported only
    NotExactlyHorizontal,  // reported only
    TextPointNotFound,     // removed
    PointUnused,           // no segment or text reaches it (removed)
    ProfileNotFound,       // Value: the layer number (removed)
    ProfileLayerNotFound,  // Value: the layer number (removed)
    LengthNotANumber,      // Column, Stored: a text where a length belongs (reported only)
};

// One fault of one row. Number is the row's own number: the segment, the
// point of a text, the layer or the point; for a profile's layer it is the
// profile.
struct HealthFinding {
    HealthFault Fault = HealthFault::DiagramNotFound;
    int32_t Dgnum = 0;
    int32_t Number = 0;
    int32_t Value = 0;
    QString Column = {}; // LengthNotANumber: the column ("Lenx") and what it holds
    QString Stored = {};

    friend bool operator==(const HealthFinding&, const HealthFinding&) = default;
};

struct HealthScan {
    HealthTable Table = HealthTable::Seg;
    std::vector<HealthFinding> Findings; // in the table's key order
    int RecordCount = 0;                 // rows left after the scan
};

// Points of the diagram that was open that stand on the same pixel, as
// pairs of neighbours in pixel order. Only at the sheet's highest zoom do
// the pixels tell points apart well enough for this to mean anything.
struct DuplicateScan {
    bool Skipped = true;
    int32_t Dgnum = 0;
    int32_t Decimals = 0; // the diagram's decimal places, for the lengths
    std::vector<std::pair<TPointRec, TPointRec>> Pairs;
};

struct HealthPass {
    int32_t DBVersion = 0;
    std::vector<HealthScan> Scans; // in HealthTable order
    DuplicateScan Duplicates;
};

// A backup of the data folder before a repair.
struct HealthBackup {
    bool Made = false; // complete, and its store file verified sound
    QString Folder;    // where it went
    QString Error;     // why it was not made
};

// The zoom at which the duplicate and exact-direction tests apply.
inline constexpr int HealthCheckZoom = 4;

class HealthCheck
{
  public:
    virtual ~HealthCheck() = default;

    // One pass over every table. In repair mode its changes are one unit:
    // all are kept, or none when the pass fails. zoomFactor is the sheet's.
    // A failed read or write throws the engine's error in words, a repair undone whole.
    virtual HealthPass RunHealthCheck(bool repair, int zoomFactor) = 0;

    // Copies the whole data folder into a new folder of its own before a
    // repair, with the store closed meanwhile and opened again however the
    // copy ends.
    // Never throws: a backup that was not made says why in Error.
    virtual HealthBackup BackupBeforeRepair() = 0;
};
