#pragma once
// The seven tables of the table store. Programs never create a store: our
// setup tool and the tests do, through this routine.

#include <QString>

// The oldest schema: drawing without "notes" and seg without "faint", so the
// first start of the program runs the whole upgrade.
constexpr int OldestTableStoreVersion = 100;
constexpr int CurrentTableStoreVersion = 102;

namespace tables
{
class Database;
}

// Indexes that the exact lookups by length and the segment-between-points
// check use, so neither walks a whole diagram. Made where missing.
void EnsureLookupIndexes(tables::Database& db);

// Creates the store file in folder (which must exist) with the tables of the
// given schema version. Fails when the file exists already.
void CreateTableStore(const QString& folder, int version);
