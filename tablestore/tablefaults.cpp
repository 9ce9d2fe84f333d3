#include "tablestore/tablefaults.h"

#include <sqlite3.h>

namespace
{

// Why, and what to do, for the faults a user can mend; empty for others.
QString Reason(int code)
{
    switch (code) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral(
            "another program is writing to it and holds it locked (another scalora started "
            "from this folder, or a tool that has the file open). Close that program, or let it "
            "finish its work, then try again");
    case SQLITE_FULL:
        return QStringLiteral("the disk that holds it is full. Make room on that disk, then "
                              "try again");
    case SQLITE_NOTADB:
        return QStringLiteral(
            "the file is not a table store, or it is damaged. Put back a sound copy (the "
            "folder \"Pre-repair backups\" beside the program holds the copies made before each "
            "repair)");
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
        return QStringLiteral("the file or its folder may not be written by you. Make both "
                              "writable, then try again");
    case SQLITE_IOERR:
        return QStringLiteral("the disk could not be read or written. Check the disk, then "
                              "try again");
    default:
        return QString();
    }
}

} // namespace

QString TableFaultText(const tables::EngineError& e, const QString& doing, const QString& file)
{
    const QString engine = QString::fromUtf8(e.what());
    const QString reason = Reason(e.Code());
    if (reason.isEmpty())
        return engine;
    return QStringLiteral("%1 \"%2\": %3.\n%4").arg(doing, file, reason, engine);
}

tables::EngineError WordedTableFault(const tables::EngineError& e, const QString& doing,
                                     const QString& file)
{
    return tables::EngineError(TableFaultText(e, doing, file).toStdString(), e.Code());
}
