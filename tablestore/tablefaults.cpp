#include "tablestore/tablefaults.h"

#include <QDir>
#include <QFileInfo>
#include <sqlite3.h>

namespace
{

// Where a sound copy of the store may be found: the user's own backups, or
// the copies the health check makes beside the program before a repair.
QString SoundCopies(const QString& file)
{
    QDir program = QFileInfo(file).absoluteDir();
    program.cdUp();
    return QStringLiteral("your own backup, or the newest \"%1\" under \"%2/\", copied there "
                          "before each repair")
        .arg(QFileInfo(file).fileName(), program.filePath(QStringLiteral("Pre-repair backups")));
}

// Why, and what to do, for the faults a user can mend; empty for others.
QString Reason(int code, const QString& file)
{
    switch (code) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral(
            "another program is writing to it and holds it locked (another scalora started "
            "from this folder, or a tool such as the sqlite3 client in the middle of a change). "
            "Close that program, or let it finish its change, then try again");
    case SQLITE_FULL:
        return QStringLiteral("the disk that holds it is full. Make room on that disk, then "
                              "try again");
    case SQLITE_CORRUPT:
        return QStringLiteral("the file is damaged. Put back a sound copy of it while the "
                              "program is closed: %1")
            .arg(SoundCopies(file));
    case SQLITE_NOTADB:
        return QStringLiteral("the file is not a table store, or it is damaged. Put back a "
                              "sound copy of it while the program is closed: %1")
            .arg(SoundCopies(file));
    case tables::MissingTableCode:
        return QStringLiteral(
                   "the file is a database, but not a table store of this program. Put back "
                   "the store's own file while the program is closed (%1), or move this file "
                   "away and run scalora-setup beside the program to make an empty store")
            .arg(SoundCopies(file));
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

QString FaultText(const QString& doing, const QString& file, const QString& reason,
                  const tables::EngineError& e)
{
    return QStringLiteral("%1 \"%2\": %3.\n%4")
        .arg(doing, file, reason, QString::fromUtf8(e.what()));
}

} // namespace

QString TableFaultText(const tables::EngineError& e, const QString& doing, const QString& file)
{
    const QString reason = Reason(e.Code(), file);
    if (reason.isEmpty())
        return QString::fromUtf8(e.what());
    return FaultText(doing, file, reason, e);
}

TableFault WordedTableFault(const tables::EngineError& e, const QString& doing, const QString& file)
{
    return TableFault(TableFaultText(e, doing, file).toStdString(), e.Code());
}

TableFault MissingStoreFault(const tables::EngineError& e, const QString& doing,
                             const QString& file)
{
    const QString reason =
        QStringLiteral("the file is not there. Put back the store's file while the program is "
                       "closed (%1), or run scalora-setup beside the program to make an empty "
                       "store")
            .arg(SoundCopies(file));
    return TableFault(FaultText(doing, file, reason, e).toStdString(), e.Code());
}
