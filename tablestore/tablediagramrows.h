#pragma once
// The diagrams of the table store.

#include "platform/tables.h"
#include "store/diagramrows.h"

#include <QVariant>
#include <initializer_list>
#include <utility>

class TFcore;

// The diagrams of the table store: a read-only list query and a table of
// the window's own on drawing.db, the first layer through the store's
// layer table.
class TableDiagramRows : public DiagramRows
{
  public:
    explicit TableDiagramRows(TFcore& core);

    std::vector<DiagramRow> List(bool byName) override;
    int32_t HighestNumber() override;
    bool Find(int32_t dgnum, DiagramRow& row) override;
    void Insert(const DiagramRow& row) override;
    bool Rename(int32_t dgnum, const QString& name) override;
    bool WriteUnits(int32_t dgnum, const QString& units, int32_t decimals) override;

  private:
    // Opens Table1 on the store's database when it is closed (the health
    // check's backup closes it).
    void OpenTable1();
    bool FindRow(int32_t dgnum);
    void PostEdit(std::initializer_list<std::pair<QString, QVariant>> values);

    TFcore& core_;
    tables::Query Query1; // the list
    tables::Table Table1; // drawing.db by Dgnum
};
