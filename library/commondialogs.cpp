#include "library/commondialogs.h"

#include <QFileDialog>
#include <QFontDialog>

namespace
{

class QtDialogs : public CommonDialogs
{
  public:
    bool SaveFileName(QWidget* parent, const QString& filter, QString& fileName) override
    {
        QFileDialog dialog(parent);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilter(filter);
        // A name typed without an ending gets ".txt" before the dialog asks
        // whether to replace an existing file of that name.
        dialog.setDefaultSuffix(QStringLiteral("txt"));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return false;
        fileName = dialog.selectedFiles().first();
        return true;
    }

    bool ChooseFont(QWidget* parent, QFont& font) override
    {
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, font, parent);
        if (ok)
            font = chosen;
        return ok;
    }
};

QtDialogs qtDialogs;
CommonDialogs* installed = nullptr;

} // namespace

CommonDialogs& Dialogs()
{
    return installed ? *installed : qtDialogs;
}

ScopedCommonDialogs::ScopedCommonDialogs(CommonDialogs& dialogs) : previous_(installed)
{
    installed = &dialogs;
}

ScopedCommonDialogs::~ScopedCommonDialogs()
{
    installed = previous_;
}
