#pragma once
// The Firebird database that the export fills and the second program works
// on: seven tables with the columns of the drawing records, and the indexes
// its lookups go through. Neither program creates it; the setup tool and
// the tests do.

#include <QString>

namespace ibase
{
class Connection;
class Transaction;
} // namespace ibase

// Creates the database file at fdbPath (a local path, SQL dialect 3, texts
// in UTF-8) with the tables DRAWING, LAYER, PFL, PFLAYS, POINT, SEG and
// TEXT, all empty. An existing file is never touched: that is an error.
// On any failure no file is left behind. Errors throw ibase::Error.
void CreateFirebirdStore(const QString& fdbPath);

// Creates whichever of the lookup indexes the database lacks (a database
// made before they existed, or left without them by an export that never
// ended), in one transaction; the number created. Errors throw ibase::Error
// and leave the database as it was.
int EnsureFirebirdLookupIndexes(ibase::Connection& connection);
// The same within a transaction the caller commits: the engine builds the
// indexes from the rows when it commits, their statistics with them.
int CreateMissingFirebirdLookupIndexes(ibase::Transaction& transaction);
// Drops the lookup indexes the database has, once the transaction commits:
// loading many rows and building the indexes afterwards costs a fraction
// of keeping them up row by row, but the engine keeps a dropped index up
// until the dropping commits, so the rows go in a later transaction. The
// number dropped. The commit may fail while another program uses them.
int DropFirebirdLookupIndexes(ibase::Transaction& transaction);
// Brings the statistics the optimizer goes by up to date for every index of
// the store's tables, counted as the transaction commits (an index made
// while its table was empty keeps the statistics of no rows). Called before
// indexes are made in the same transaction, which count their own.
void RefreshFirebirdIndexStatistics(ibase::Transaction& transaction);
