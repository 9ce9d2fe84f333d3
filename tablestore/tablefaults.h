#pragma once
// The table engine's faults in words a user can act on: what happened to
// which file and what to do, with the engine's own text as a second line.

#include "platform/tables.h"

#include <QString>

// An engine error already put in the user's words; the engine's code kept.
class TableFault : public tables::EngineError
{
  public:
    using tables::EngineError::EngineError;
};

// What the user was doing when the fault came, as it ends the first line:
// "Cannot open the table store" or "Repair cannot run on the table store".
// A fault the user cannot act on keeps the engine's text alone.
QString TableFaultText(const tables::EngineError& e, const QString& doing, const QString& file);

// TableFaultText as an error of its own, with the engine's code kept.
TableFault WordedTableFault(const tables::EngineError& e, const QString& doing,
                            const QString& file);

// A store file that is not there at all (nor, perhaps, its folder).
TableFault MissingStoreFault(const tables::EngineError& e, const QString& doing,
                             const QString& file);
