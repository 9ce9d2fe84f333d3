// The backup of the table store's data folder before a repair.

#include "library/datetexts.h"
#include "library/files.h"
#include "library/fmxutils.h"
#include "tablestore/core.h"
#include "tablestore/tablefaults.h"
#include "tablestore/tablehealthcheck.h"

#include <QDir>
#include <QFileInfo>

QString TableHealthCheck::BackupParentFolder() const
{
    return core_.ExeFolder + QStringLiteral("Pre-repair backups/");
}

HealthBackup TableHealthCheck::BackupBeforeRepair()
{
    HealthBackup backup;
    if (!core_.Database1.Connected()) {
        backup.Error = core_.Database1.NotOpenText();
        return backup;
    }
    try {
        CloseStoreForCopy();
    } catch (const tables::EngineError& e) {
        backup.Error = TableFaultText(e, QStringLiteral("Cannot back up the table store"),
                                      core_.Database1.FilePath());
        return backup;
    }
    try {
        CopyDataFolder(backup);
    } catch (const std::exception& e) {
        backup.Made = false;
        backup.Error = QString::fromStdString(e.what());
    }
    OpenStoreAgain(backup);
    return backup;
}

// Opened again whatever became of the copy. A store that will not open
// again cannot be repaired either: the backup then counts as failed, and
// the reason is the user's to read.
void TableHealthCheck::OpenStoreAgain(HealthBackup& backup)
{
    try {
        core_.OpenStore();
    } catch (const std::exception& e) {
        const QString why = QString::fromUtf8(e.what());
        backup.Made = false;
        backup.Error = backup.Error.isEmpty() ? why : backup.Error + QLatin1Char('\n') + why;
    }
}

// Every change is folded from the write-ahead log into the store file
// before the connection closes (and again by the close, when no other
// program has the store open), so the file copied is the whole store. The
// checkpoint does not wait for other readers: a log they hold stays, and the
// copy is refused.
void TableHealthCheck::CloseStoreForCopy()
{
    core_.Database1.Execute(QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)"));
    core_.CloseTables();
    core_.CloseQueries();
    core_.Database1.Close();
}

void TableHealthCheck::CopyDataFolder(HealthBackup& backup)
{
    const QString folder = core_.TableFolder;
    const QString storeName = QString::fromLatin1(tables::DataFileName);
    // A log still there once this program has let go of the store belongs
    // to another program that has it open: the file alone would not be it.
    if (QFileInfo(folder + storeName + QStringLiteral("-wal")).size() > 0) {
        backup.Error = QStringLiteral("the table store is in use by another program: close that "
                                      "program, then try again");
        return;
    }
    backup.Folder = NewBackupFolder();
    const FolderCopy copy = CopyFolderFiles(folder, backup.Folder);
    if (!copy.Complete) {
        backup.Error = QStringLiteral("not every file was copied (") +
                       copy.Failures.join(QStringLiteral("; ")) + QLatin1Char(')');
        return;
    }
    const QString verdict =
        tables::CheckStoreFile(backup.Folder + storeName, core_.Database1.RequiredTables);
    if (verdict != QLatin1String("ok")) {
        backup.Error = QStringLiteral("the copied store is not sound: ") + verdict;
        return;
    }
    backup.Made = true;
}

// "RPR" and the date and time; a second backup within the same second gets
// a folder of its own rather than writing over the first.
QString TableHealthCheck::NewBackupFolder() const
{
    const QString parent = BackupParentFolder();
    if (!QFileInfo(parent).isDir() && !QDir().mkpath(parent))
        throw InOutError(QStringLiteral("Cannot make directory %1").arg(parent));
    const QString name =
        parent + QStringLiteral("RPR") + FormatDateTimeRec(NowRec(), DateTimeSeconds);
    QString folder = name;
    for (int n = 2; QFileInfo::exists(folder); ++n)
        folder = name + QLatin1Char('-') + QString::number(n);
    return folder + QLatin1Char('/');
}
