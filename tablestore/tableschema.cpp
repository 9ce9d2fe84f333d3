#include "tablestore/tableschema.h"

#include "platform/tables.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>
#include <stdexcept>

namespace
{

QString DrawingTable(int version)
{
    return QStringLiteral("CREATE TABLE drawing (Dgnum INTEGER NOT NULL, Dgname VARCHAR(40), "
                          "Units VARCHAR(20), RndgDP INTEGER%1, PRIMARY KEY (Dgnum))")
        .arg(version >= 101 ? QStringLiteral(", notes blob(80,1)") : QString());
}

QString SegTable(int version)
{
    return QStringLiteral(
               "CREATE TABLE seg (Dgnum INTEGER NOT NULL, Segnum INTEGER NOT NULL, FromPt INTEGER, "
               "ToPt INTEGER, SegType INTEGER, Seglen REAL, Mlenx REAL, Mleny REAL, Mlenz REAL, "
               "Layernum INTEGER, Lenx1 REAL, Leny1 REAL, Lenx2 REAL, Leny2 REAL, Pxlx1 INTEGER, "
               "Pxly1 INTEGER, Pxlx2 INTEGER, Pxly2 INTEGER, CreateTS REAL, Dotted INTEGER, "
               "Xorflag BOOLEAN, Measured BOOLEAN%1, PRIMARY KEY (Dgnum, Segnum))")
        .arg(version >= 102 ? QStringLiteral(", faint boolean") : QString());
}

// Points in pixel order, ties by number: the order the point table is
// walked in on this index, so that a walk from a pixel to the next row is
// a seek in the index rather than a sort of the rest of the table.
const char* const PixelIndex = "CREATE INDEX pxlxy ON point (Dgnum, Pxlx, Pxly, Pointnum)";

QStringList Statements(int version)
{
    return {
        DrawingTable(version),
        QStringLiteral("CREATE TABLE point (Dgnum INTEGER NOT NULL, Pointnum INTEGER NOT NULL, "
                       "Lenx REAL, Leny REAL, Pxlx INTEGER, Pxly INTEGER, Rprts REAL, "
                       "Layernum INTEGER, CreateTS REAL, PRIMARY KEY (Dgnum, Pointnum))"),
        QString::fromLatin1(PixelIndex),
        SegTable(version),
        QStringLiteral("CREATE TABLE text (Dgnum INTEGER NOT NULL, Pointnum INTEGER NOT NULL, "
                       "Layernum INTEGER, Text VARCHAR(80), PRIMARY KEY (Dgnum, Pointnum))"),
        QStringLiteral("CREATE TABLE layer (Dgnum INTEGER NOT NULL, Layernum INTEGER NOT NULL, "
                       "Name VARCHAR(40), Visib INTEGER, PRIMARY KEY (Dgnum, Layernum))"),
        QStringLiteral("CREATE TABLE pfl (Dgnum INTEGER NOT NULL, Pflnum INTEGER NOT NULL, "
                       "Name VARCHAR(40), PRIMARY KEY (Dgnum, Pflnum))"),
        QStringLiteral("CREATE TABLE pflays (Dgnum INTEGER NOT NULL, Pflnum INTEGER NOT NULL, "
                       "Layernum INTEGER NOT NULL, Visib INTEGER, "
                       "PRIMARY KEY (Dgnum, Pflnum, Layernum))"),
    };
}

// One index for each exact lookup a user's click or key makes, so that
// none of them walks a whole diagram: points at lengths, points along a
// row or a column of pixels, segments by their end points, and the
// vertical and horizontal segments crossed by a move of X.
const char* const LookupIndexes[] = {
    "CREATE INDEX IF NOT EXISTS pointlen ON point (Dgnum, Lenx, Leny)",
    "CREATE INDEX IF NOT EXISTS pointcol ON point (Dgnum, Pxlx, Leny)",
    "CREATE INDEX IF NOT EXISTS pointrow ON point (Dgnum, Pxly, Lenx)",
    "CREATE INDEX IF NOT EXISTS segends ON seg (Dgnum, FromPt, ToPt)",
    "CREATE INDEX IF NOT EXISTS segto ON seg (Dgnum, ToPt)",
    "CREATE INDEX IF NOT EXISTS segvert ON seg (Dgnum, Pxlx1, Leny1) WHERE Lenx1 = Lenx2",
    "CREATE INDEX IF NOT EXISTS seghorz ON seg (Dgnum, Pxly1, Lenx1) WHERE Leny1 = Leny2",
};

// Stores made before the pixel index carried the point number.
bool PixelIndexLacksNumber(tables::Database& db)
{
    tables::Statement st(db, QStringLiteral("PRAGMA index_info(pxlxy)"));
    int columns = 0;
    bool number = false;
    while (st.Step()) {
        ++columns;
        number |=
            st.Column(2).toString().compare(QLatin1String("Pointnum"), Qt::CaseInsensitive) == 0;
    }
    return columns > 0 && !number;
}

} // namespace

void EnsureLookupIndexes(tables::Database& db)
{
    tables::Transaction t(db);
    if (PixelIndexLacksNumber(db)) {
        db.Execute(QStringLiteral("DROP INDEX pxlxy"));
        db.Execute(QString::fromLatin1(PixelIndex));
    }
    for (const char* sql : LookupIndexes) {
        db.Execute(QString::fromLatin1(sql));
    }
    t.Commit();
}

void CreateTableStore(const QString& folder, int version)
{
    const QString file = QDir(folder).filePath(QString::fromLatin1(tables::DataFileName));
    if (QFileInfo::exists(file)) {
        throw std::runtime_error(
            QStringLiteral("Table store exists already: %1").arg(file).toStdString());
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        const std::string text = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close_v2(db);
        throw std::runtime_error("Cannot create " + file.toStdString() + ": " + text);
    }
    // One transaction: a store file is either complete or not there.
    QString script = QStringLiteral("PRAGMA journal_mode=WAL; BEGIN; ");
    for (const QString& s : Statements(version)) {
        script += s + QStringLiteral("; ");
    }
    for (const char* sql : LookupIndexes) {
        script += QString::fromLatin1(sql) + QStringLiteral("; ");
    }
    script += QStringLiteral("COMMIT;");
    char* error = nullptr;
    const int rc = sqlite3_exec(db, script.toUtf8().constData(), nullptr, nullptr, &error);
    const std::string text = error ? error : "";
    sqlite3_free(error);
    sqlite3_close_v2(db);
    if (rc != SQLITE_OK) {
        QFile::remove(file);
        throw std::runtime_error("Cannot create " + file.toStdString() + ": " + text);
    }
}
