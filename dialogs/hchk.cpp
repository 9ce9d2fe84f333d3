#include "dialogs/hchk.h"

#include "dialogs/hchkreport.h"
#include "library/busy.h"
#include "library/messages.h"
#include "store/healthcheck.h"

#include <QApplication>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QVBoxLayout>
#include <vector>

namespace
{

// A flag set for as long as it lives, however the work ends.
class FlagScope
{
  public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

  private:
    bool& flag_;
};

// Keeps every other window of the program from taking clicks and keys while
// the store is closed for its backup: the copying lets window messages
// through, and a command reaching the closed store would only fail.
class OtherWindowsDisabled
{
  public:
    explicit OtherWindowsDisabled(const QWidget& keep)
    {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w != &keep && w->isVisible() && w->isEnabled()) {
                w->setEnabled(false);
                disabled_.push_back(w);
            }
        }
    }
    ~OtherWindowsDisabled()
    {
        for (const QPointer<QWidget>& w : disabled_)
            if (w)
                w->setEnabled(true);
    }
    OtherWindowsDisabled(const OtherWindowsDisabled&) = delete;
    OtherWindowsDisabled& operator=(const OtherWindowsDisabled&) = delete;

  private:
    std::vector<QPointer<QWidget>> disabled_;
};

} // namespace

TFhchk::TFhchk(std::unique_ptr<HealthCheck> check, std::function<int()> zoomFactor, QWidget* parent)
    : QDialog(parent), check_(std::move(check)), zoomFactor_(std::move(zoomFactor))
{
    setWindowTitle(QStringLiteral("Database healthcheck"));
    setModal(false);
    resize(695, 480);
    MainMenu1 = new QMenuBar(this);
    Close1 = MainMenu1->addAction(QStringLiteral("Close"));
    Repair1 = MainMenu1->addAction(QStringLiteral("Repair"));
    Recheck1 = MainMenu1->addAction(QStringLiteral("Recheck"));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(MainMenu1);
    layout->addWidget(Memo1);
    connect(Close1, &QAction::triggered, this, [this] { Close1Click(); });
    connect(Repair1, &QAction::triggered, this, [this] { Repair1Click(); });
    connect(Recheck1, &QAction::triggered, this, [this] { Recheck1Click(); });
}

TFhchk::~TFhchk() = default;

void TFhchk::ShowHealthCheck()
{
    show();
    raise();
    activateWindow();
    if (!CheckPending || working_)
        return;
    CheckPending = false;
    Recheck1Click();
}

void TFhchk::Recheck1Click()
{
    // A click that waited while the busy cursor let messages through does
    // not start a second pass inside the first.
    if (working_)
        return;
    FlagScope working(working_);
    BusyGuard busy;
    Memo1->clear();
    RepairMode = false;
    RunHealthCheck();
}

void TFhchk::Repair1Click()
{
    if (working_)
        return;
    FlagScope working(working_);
    if (check_ && !ConfirmSure(QStringLiteral("Back up the data folder, then repair the database")))
        return;
    if (!BackupBeforeRepair())
        return;
    BusyGuard busy;
    Memo1->clear();
    {
        FlagScope repairing(RepairMode);
        RunHealthCheck();
    }
    RunHealthCheck();
}

void TFhchk::Close1Click()
{
    hide();
}

bool TFhchk::BackupBeforeRepair()
{
    if (!check_)
        return true;
    HealthBackup backup;
    {
        BusyGuard busy;
        OtherWindowsDisabled quiet(*this);
        backup = check_->BackupBeforeRepair();
    }
    if (backup.Made)
        return true;
    // The report of an earlier pass would read as this repair's.
    Memo1->clear();
    ReportLine(QStringLiteral("Repair did not run: the backup of the data folder failed, so "
                              "nothing was repaired."));
    ReportLine(backup.Error);
    ShowInfo(QStringLiteral("ERROR : Backup failed, nothing was repaired - ") + backup.Error);
    return false;
}

void TFhchk::RunHealthCheck()
{
    if (!check_)
        return;
    HealthPass pass;
    try {
        pass = check_->RunHealthCheck(RepairMode, zoomFactor_ ? zoomFactor_() : 1);
    } catch (const std::exception& e) {
        const QString why = QString::fromStdString(e.what());
        ReportLine(RepairMode
                       ? QStringLiteral("ERROR : Repair stopped, nothing was changed - ") + why
                       : QStringLiteral("ERROR : Healthcheck stopped - ") + why);
        throw;
    }
    ReportLines(HealthReportLines(pass));
}

void TFhchk::ReportLine(const QString& text)
{
    Memo1->appendPlainText(text);
}

void TFhchk::ReportLines(const QStringList& lines)
{
    // One append: a report of many thousand lines goes in at once.
    Memo1->appendPlainText(lines.join(QLatin1Char('\n')));
}
