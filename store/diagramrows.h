#pragma once
// The diagrams as the diagrams window works on them. The window keeps no SQL
// of its own: each program's store hands it the rows its own way.

#include <QString>
#include <cstdint>
#include <vector>

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
    // A failed read throws the engine's error.
    virtual std::vector<DiagramRow> List(bool byName) = 0;
    // The highest diagram number; 0 when there is none.
    // A failed read throws the engine's error.
    virtual int32_t HighestNumber() = 0;
    // False, row untouched, when there is no diagram of that number.
    // A failed read throws the engine's error.
    virtual bool Find(int32_t dgnum, DiagramRow& row) = 0;
    // Appends the diagram's row and its first layer ("Default layer", bold)
    // as one unit.
    // A refused row (a number taken) throws the engine's error; neither row is kept.
    virtual void Insert(const DiagramRow& row) = 0;
    // Each false, nothing written, when there is no diagram of that number.
    // A refused write throws the engine's error, as in WriteUnits.
    virtual bool Rename(int32_t dgnum, const QString& name) = 0;
    // The units and the decimal places of one diagram.
    virtual bool WriteUnits(int32_t dgnum, const QString& units, int32_t decimals) = 0;
};
