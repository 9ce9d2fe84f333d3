#pragma once
// The rows of drawing.db as the diagrams window works on them. The window
// keeps no SQL of its own: each program hands it the rows of its own store
// (the table store's are TableDiagramRows below).

#include "platform/tables.h"

#include <QString>
#include <QVariant>
#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

class TFcore;

struct DiagramRow {
    int32_t Dgnum = 0;
    QString Dgname;
    QString Units;
    int32_t RndgDP = 0;
};

class DiagramRows
{
  public:
    virtual ~DiagramRows() = default;

    // Every diagram, by number or by lower-cased name.
    virtual std::vector<DiagramRow> List(bool byName) = 0;
    // The highest diagram number; 0 when there is none.
    virtual int32_t HighestNumber() = 0;
    // False, row untouched, when there is no diagram of that number.
    virtual bool Find(int32_t dgnum, DiagramRow& row) = 0;
    // Appends the diagram's row and its first layer ("Default layer", bold)
    // as one unit.
    virtual void Insert(const DiagramRow& row) = 0;
    virtual void Rename(int32_t dgnum, const QString& name) = 0;
    // The units and the decimal places of one diagram.
    virtual void WriteUnits(int32_t dgnum, const QString& units, int32_t decimals) = 0;
};

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
    void Rename(int32_t dgnum, const QString& name) override;
    void WriteUnits(int32_t dgnum, const QString& units, int32_t decimals) override;

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
