#pragma once
// The database health check: a modeless window whose report tells what each
// pass over the whole store found, with Recheck and Repair on its menu bar.
// The first showing of a run checks at once; later showings keep the report.

#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>

class HealthCheck;
class QAction;
class QMenuBar;
class QPlainTextEdit;

class TFhchk : public QDialog
{
    Q_OBJECT

  public:
    // check is the store's health check, or none for a store that has
    // none: the report then stays empty and nothing is read or copied.
    // zoomFactor gives the sheet's zoom when a pass starts.
    TFhchk(std::unique_ptr<HealthCheck> check, std::function<int()> zoomFactor,
           QWidget* parent = nullptr);
    ~TFhchk() override;

    // Brings the window up; the first time also runs a check pass.
    void ShowHealthCheck();
    void Recheck1Click();
    // After the user agrees, backs up the data folder; only when the
    // backup is complete and sound, a repair pass and then a check pass.
    void Repair1Click();
    void Close1Click();

    // One pass, its report appended; a pass that fails says so at the end
    // of the report and the error goes on to the caller.
    void RunHealthCheck();
    void ReportLine(const QString& text = QString());

    QPlainTextEdit* Memo1;
    QMenuBar* MainMenu1;
    QAction* Close1;
    QAction* Repair1;
    QAction* Recheck1;

    bool RepairMode = false;
    bool CheckPending = true;

  private:
    bool BackupBeforeRepair();
    void ReportLines(const QStringList& lines);

    std::unique_ptr<HealthCheck> check_;
    std::function<int()> zoomFactor_;
    bool working_ = false; // a pass or a repair is under way
};
