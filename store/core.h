#pragma once
// The table store of scalora: a window that is never shown and holds the
// store's tables and queries on the database "mydb" in the data folder
// beside the program.

#include "platform/tables.h"
#include "store/store.h"

#include <QTimer>
#include <QWidget>

class TFcore : public QWidget, public Store {
    Q_OBJECT

public:
    // exeFolder is the program's folder; the data folders lie beside it.
    explicit TFcore(const QString& exeFolder, QWidget* parent = nullptr);
    ~TFcore() override;

    // Reads the ini file, opens the store and reopens the diagram of the
    // last run. Engine errors propagate to the caller's error box.
    void FormCreate();

    void ReadIniFile();
    void WriteIniFile();
    void OpenStore();
    void ExecStatement(tables::Query& query, const QString& sql);
    void OpenTables();
    void CloseTables();
    void CloseQueries();
    void CloseStore() override;
    bool OpenDiagram(int32_t n) override;

    // Pushes the buffered changes of every table to disk.
    void FlushAllTables();

    tables::Database Database1;
    tables::Table Table1; // seg.db
    tables::Table Table2; // point.db in key order
    tables::Table Table3; // point.db on the index "pxlxy"
    tables::Table Table4; // text.db
    tables::Table Table5; // drawing.DB
    tables::Table Table6; // layer.db
    tables::Table Table7; // pflays.DB
    tables::Table Table8; // pfl.db
    tables::Query Query1, Query2, Query3, Query4, Query5, Query6, Query7, Query8, Query9, Query10,
        Query11, Query12;
    QTimer Timer1; // the periodic flush

    static constexpr int FlushIntervalMs = 300000;

private:
    void UpgradeSchema();
    void BindDataSets();
    tables::Table* TableAt(int i);
    tables::Query* QueryAt(int i);
};
