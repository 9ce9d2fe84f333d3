#pragma once
// The health check of the table store: its scans read each table once,
// joined with what its rules look up, across all diagrams; its repairs and
// the backup before them work on the store's own connection.

#include "store/healthcheck.h"

class TFcore;

class TableHealthCheck : public HealthCheck
{
  public:
    explicit TableHealthCheck(TFcore& core) : core_(core) {}

    HealthPass RunHealthCheck(bool repair, int zoomFactor) override;
    HealthBackup BackupBeforeRepair() override;

    // Where the backups go: "Pre-repair backups/" beside the program.
    QString BackupParentFolder() const;

  private:
    HealthPass RunPass(bool repair, int zoomFactor);
    void CloseStoreForCopy();
    void OpenStoreAgain(HealthBackup& backup);
    void CopyDataFolder(HealthBackup& backup);
    QString NewBackupFolder() const;

    TFcore& core_;
};
