#include "store/fbschema.h"

#include "platform/ibase.h"

#include <QFile>
#include <QStringList>

namespace
{

// Keys as in the table store; every other column may be NULL, which the
// readers take as the column's zero. The name columns are fixed-width, so
// they read back padded with blanks; the notes are a text blob because a
// UTF-8 VARCHAR cannot hold 32765 characters.
const char* const StoreTables[] = {
    "create table DRAWING ("
    " dgnum integer not null, dgname char(40), units char(20), rndgdp integer,"
    " notes blob sub_type text,"
    " constraint pk_drawing primary key (dgnum) )",

    "create table LAYER ("
    " dgnum integer not null, layernum integer not null, layername char(40),"
    " visib integer,"
    " constraint pk_layer primary key (dgnum, layernum) )",

    "create table PFL ("
    " dgnum integer not null, pflnum integer not null, pflname char(40),"
    " constraint pk_pfl primary key (dgnum, pflnum) )",

    "create table PFLAYS ("
    " dgnum integer not null, pflnum integer not null, layernum integer not null,"
    " visib integer,"
    " constraint pk_pflays primary key (dgnum, pflnum, layernum) )",

    "create table POINT ("
    " dgnum integer not null, pointnum integer not null,"
    " lenx double precision, leny double precision, pxlx integer, pxly integer,"
    " rprts timestamp, layernum integer, createts timestamp,"
    " constraint pk_point primary key (dgnum, pointnum) )",

    "create table SEG ("
    " dgnum integer not null, segnum integer not null,"
    " frompt integer, topt integer, segtype integer, seglen double precision,"
    " mlenx double precision, mleny double precision, mlenz double precision,"
    " layernum integer,"
    " lenx1 double precision, leny1 double precision,"
    " lenx2 double precision, leny2 double precision,"
    " pxlx1 integer, pxly1 integer, pxlx2 integer, pxly2 integer,"
    " createts timestamp, dotted integer,"
    " xorflag smallint, measured smallint, faint smallint,"
    " constraint pk_seg primary key (dgnum, segnum) )",

    "create table TEXT ("
    " dgnum integer not null, pointnum integer not null, layernum integer,"
    " text varchar(80),"
    " constraint pk_text primary key (dgnum, pointnum) )",
};

// The table store's secondary index: points are looked up by pixel.
const char* const StoreIndexes[] = {
    "create index pxlxy on POINT (dgnum, pxlx, pxly)",
};

void CreateTables(ibase::Connection& connection)
{
    ibase::Transaction transaction(connection);
    for (const char* sql : StoreTables)
        transaction.ExecuteImmediate(QString::fromUtf8(sql));
    // Tables exist for further statements only once committed.
    transaction.Commit();
    transaction.Start();
    for (const char* sql : StoreIndexes)
        transaction.ExecuteImmediate(QString::fromUtf8(sql));
    transaction.Commit();
}

} // namespace

void CreateFirebirdStore(const QString& fdbPath)
{
    ibase::Connection connection = ibase::Connection::Create(fdbPath);
    const QString createdPath = connection.Path();
    try {
        CreateTables(connection);
        connection.Detach();
    } catch (...) {
        // A database without its tables would pass for a ready store.
        try {
            connection.Detach();
        } catch (const ibase::Error&) {
        }
        QFile::remove(createdPath);
        throw;
    }
}
