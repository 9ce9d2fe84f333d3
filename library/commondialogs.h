#pragma once
// The file and font dialogs pass through one seam, as the message boxes do:
// the program runs with Qt's own dialogs, tests install scripted choices.

#include <QFont>
#include <QString>

class QWidget;

class CommonDialogs
{
  public:
    virtual ~CommonDialogs() = default;

    // The dialog that names a file to save to, offering the files that the
    // filter ("Text files (*.txt)") lists and asking before an existing
    // file is replaced. True on OK with the file's path.
    virtual bool SaveFileName(QWidget* parent, const QString& filter, QString& fileName) = 0;

    // The font dialog, preset with the font; true on OK with the chosen font.
    virtual bool ChooseFont(QWidget* parent, QFont& font) = 0;
};

// The dialogs in use: the installed ones, else Qt's.
CommonDialogs& Dialogs();

// Installs dialogs for the lifetime of the guard, then puts back the previous.
class ScopedCommonDialogs
{
  public:
    explicit ScopedCommonDialogs(CommonDialogs& dialogs);
    ~ScopedCommonDialogs();
    ScopedCommonDialogs(const ScopedCommonDialogs&) = delete;
    ScopedCommonDialogs& operator=(const ScopedCommonDialogs&) = delete;

  private:
    CommonDialogs* previous_;
};
