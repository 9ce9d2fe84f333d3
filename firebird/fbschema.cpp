#include "firebird/fbschema.h"

#include "platform/ibase.h"

#include <QFile>
#include <QStringList>
#include <vector>

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

// One index for each exact lookup a user's click or key makes, so that
// none of them walks a whole diagram: points by pixel (the table store's
// "pxlxy") and by lengths, points along a pixel column or row, segments by
// their end points, the vertical and horizontal segments crossed by a move
// of X, and the segments and points of one layer.
struct LookupIndex {
    const char* Name;
    const char* Definition;
};
const LookupIndex StoreIndexes[] = {
    {"PXLXY", "create index pxlxy on POINT (dgnum, pxlx, pxly)"},
    {"POINTLEN", "create index pointlen on POINT (dgnum, lenx, leny)"},
    {"POINTCOL", "create index pointcol on POINT (dgnum, pxlx, leny)"},
    {"POINTROW", "create index pointrow on POINT (dgnum, pxly, lenx)"},
    {"SEGENDS", "create index segends on SEG (dgnum, frompt, topt)"},
    {"SEGTO", "create index segto on SEG (dgnum, topt)"},
    {"SEGVERT", "create index segvert on SEG (dgnum, pxlx1, leny1)"},
    {"SEGHORZ", "create index seghorz on SEG (dgnum, pxly1, lenx1)"},
    {"SEGLAYER", "create index seglayer on SEG (dgnum, layernum)"},
    {"POINTLAYER", "create index pointlayer on POINT (dgnum, layernum)"},
};

void CreateTables(ibase::Connection& connection)
{
    ibase::Transaction transaction(connection);
    for (const char* sql : StoreTables)
        transaction.ExecuteImmediate(QString::fromUtf8(sql));
    // Tables exist for further statements only once committed.
    transaction.Commit();
    transaction.Start();
    for (const LookupIndex& index : StoreIndexes)
        transaction.ExecuteImmediate(QString::fromUtf8(index.Definition));
    transaction.Commit();
}

bool IndexExists(ibase::Transaction& transaction, const char* name)
{
    ibase::Statement st(
        transaction, QStringLiteral("select count(*) from rdb$indices where rdb$index_name = ?"));
    st.SetParam(0, QString::fromLatin1(name));
    st.Execute();
    return st.Fetch() && st.Column(0).AsInt64() > 0;
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

int CreateMissingFirebirdLookupIndexes(ibase::Transaction& transaction)
{
    std::vector<const LookupIndex*> missing;
    for (const LookupIndex& index : StoreIndexes) {
        if (!IndexExists(transaction, index.Name))
            missing.push_back(&index);
    }
    for (const LookupIndex* index : missing)
        transaction.ExecuteImmediate(QString::fromUtf8(index->Definition));
    return int(missing.size());
}

int EnsureFirebirdLookupIndexes(ibase::Connection& connection)
{
    ibase::Transaction transaction(connection);
    const int created = CreateMissingFirebirdLookupIndexes(transaction);
    transaction.Commit();
    return created;
}

int DropFirebirdLookupIndexes(ibase::Transaction& transaction)
{
    int dropped = 0;
    for (const LookupIndex& index : StoreIndexes) {
        if (IndexExists(transaction, index.Name)) {
            transaction.ExecuteImmediate(QStringLiteral("drop index ") +
                                         QString::fromLatin1(index.Name));
            ++dropped;
        }
    }
    return dropped;
}

void RefreshFirebirdIndexStatistics(ibase::Transaction& transaction)
{
    // Indexes made in the same transaction count their rows as they are
    // built when it commits: the engine has not numbered them yet.
    std::vector<QString> names;
    {
        ibase::Statement st(transaction,
                            QStringLiteral("select trim(rdb$index_name) from rdb$indices "
                                           "where rdb$relation_name in ('DRAWING', 'LAYER', "
                                           "'PFL', 'PFLAYS', 'POINT', 'SEG', 'TEXT') and "
                                           "rdb$index_id is not null"));
        st.Execute();
        while (st.Fetch())
            names.push_back(st.Column(0).AsText());
    }
    for (const QString& name : names)
        transaction.ExecuteImmediate(QStringLiteral("set statistics index ") + name);
}
