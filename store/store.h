#pragma once
// What the sheet and the dialogs share with the store: the open diagram and
// its derived values, the coordinate model's state, the current segment and
// layer, and the settings of the ini file. Each program's store (the table
// store of scalora, the Firebird store of scalora2) derives from Store and
// implements its operations.

#include "store/records.h"

#include <QString>

class Store {
public:
    Store();
    virtual ~Store() = default;
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // Settings of the ini file, section "main".
    QString TableFolder;    // "DBPath"
    QString FirebirdFolder; // "DBPath2"
    int32_t CurrentDiagram = -1; // "DiagramNumber"; -1 none open
    int32_t CurrentProfile = 0;  // "Profile"
    int32_t DBVersion = 0;       // "DBVn"
    int32_t NotesFormHeight = 280;
    int32_t NotesFormWidth = 450;
    int32_t FlashIntervalMs = 1500;
    int32_t UpgradeState = 0; // "Upgrading": 0 none, 1 export done, 2 upgrade completed
    QString ExeFolder;        // the program's folder, with a trailing "/"
    QString IniFileName;

    // The open diagram.
    QString DiagramName;
    QString DiagramUnits;
    int32_t RoundingDP = 0;
    int32_t LastPointNum = -1;
    int32_t LastSegNum = -1;

    // The coordinate model.
    Extended Scale = 0; // pixels per length unit; 0 no scale
    Extended MinLenX = 0;
    Extended MinLenY = 0;
    Extended MaxLenX = 0;
    Extended MaxLenY = 0;
    int32_t MarginLeft = 50;
    int32_t MarginRight = 50;
    int32_t MarginTop = 50;
    int32_t MarginBottom = 50;
    int32_t OriginX = 0;
    int32_t OriginY = 0;
    int32_t SheetWidth = 0;
    int32_t SheetHeight = 0;
    bool Normalising = false;
    bool MissingPointReported = false;

    // Shared with the sheet and the dialogs.
    TSegRec CurrentSegment;
    TLayerRec CurrentLayer;
    int32_t LastLayerNum = 0;
    bool ReportInserts = true;

    void ResetMargins();

    // Makes diagram n the open one; false (nothing changes) when there is
    // no such diagram.
    virtual bool OpenDiagram(int32_t n) = 0;

    // Closes every table and query and writes the ini file.
    virtual void CloseStore() = 0;
};
