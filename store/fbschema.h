#pragma once
// The Firebird database that the export fills and the second program works
// on: seven tables with the columns of the drawing records, and the indexes
// its lookups go through. Neither program creates it; the setup tool and
// the tests do.

#include <QString>

namespace ibase
{
class Connection;
}

// Creates the database file at fdbPath (a local path, SQL dialect 3, texts
// in UTF-8) with the tables DRAWING, LAYER, PFL, PFLAYS, POINT, SEG and
// TEXT, all empty. An existing file is never touched: that is an error.
// On any failure no file is left behind. Errors throw ibase::Error.
void CreateFirebirdStore(const QString& fdbPath);

// Creates whichever of the lookup indexes the database lacks (a database
// made before they existed), in one transaction; the number created.
// Errors throw ibase::Error and leave the database as it was.
int EnsureFirebirdLookupIndexes(ibase::Connection& connection);
