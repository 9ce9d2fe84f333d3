#pragma once
// The diagrams window's rows in the second program's database.

#include "firebird/fbquery.h"
#include "store/diagramrows.h"

class TFcoreFb;

class FbDiagramRows : public DiagramRows
{
  public:
    explicit FbDiagramRows(TFcoreFb& core);

    std::vector<DiagramRow> List(bool byName) override;
    int32_t HighestNumber() override;
    bool Find(int32_t dgnum, DiagramRow& row) override;
    void Insert(const DiagramRow& row) override;
    bool Rename(int32_t dgnum, const QString& name) override;
    bool WriteUnits(int32_t dgnum, const QString& units, int32_t decimals) override;

    FbQuery IBQuery1; // the list

  private:
    FbQuery& Bound();

    TFcoreFb& core_;
};
