#include "library/files.h"

#include "library/busy.h"
#include "library/fmxutils.h"
#include "library/messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>

namespace
{

QString programFolderPath;

int AttributesOf(const QFileInfo& info)
{
    int bits = 0;
    if (!(info.permissions() & QFileDevice::WriteOwner))
        bits |= FileAttrReadOnly;
    if (info.fileName().startsWith(QLatin1Char('.')))
        bits |= FileAttrHidden;
    if (info.isDir())
        bits |= FileAttrDirectory;
    return bits;
}

void LetMessagesThrough()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// Opens the copy again to give it the time; the user may retry an open that
// fails. The copy stands whatever happens here.
void SetCopyTime(const QString& target, const QDateTime& modified)
{
    for (;;) {
        QFile file(target);
        if (file.open(QIODevice::WriteOnly | QIODevice::Append)) {
            if (modified.isValid())
                SetFileModified(file, modified);
            return;
        }
        if (!Confirm(QStringLiteral("Destination file open error \"") + target +
                     QStringLiteral(" - retry?")))
            return;
    }
}

void MakeTargetFolder(const QString& target)
{
    if (QFileInfo(target).isDir())
        return;
    ShowInfo(QStringLiteral("Making directory ") + target);
    if (!QDir().mkdir(target))
        throw InOutError(QStringLiteral("Cannot make directory %1").arg(target));
}

} // namespace

bool FileHasAttributes(const QString& path, int attributes)
{
    const QFileInfo info(path);
    if (!info.exists())
        return true;
    return (AttributesOf(info) & attributes) == attributes;
}

void AddTrailingBackslash(QString& path)
{
    if (!path.isEmpty() && !path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
}

void ForceFolder(const QString& folder)
{
    if (!QFileInfo(folder).isDir())
        QDir().mkpath(folder);
}

bool TryCopyFile(const QString& source, QString folder, QString* error)
{
    if (folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    try {
        CopyFileChunked(source, folder);
        return true;
    } catch (const std::exception& e) {
        if (error)
            *error = QString::fromStdString(e.what());
        return false;
    }
}

bool SetFileModified(QFile& file, const QDateTime& modified)
{
    if (file.setFileTime(modified, QFileDevice::FileModificationTime))
        return true;
    const int code = errno;
    ShowInfo(QStringLiteral("FileSetDate error (Last Mod TS) ") + QString::number(code));
    return false;
}

bool CopyFileKeepDates(const QString& source, QString folder, QString* error)
{
    AddTrailingBackslash(folder);
    ForceFolder(folder);
    const QString target = folder + QFileInfo(source).fileName();
    if (!TryCopyFile(source, folder, error))
        return false;
    LetMessagesThrough();
    const QFileInfo from(source);
    SetCopyTime(target, from.exists() ? from.lastModified() : QDateTime());
    return true;
}

bool CopyNamedFile(const QString& name, const QString& sourceFolder, const QString& targetFolder,
                   QString* error)
{
    const QString folder = QFileInfo(targetFolder + name).absolutePath();
    ForceFolder(folder);
    return CopyFileKeepDates(sourceFolder + name, folder, error);
}

QStringList PlainFileNames(const QString& folder)
{
    // A pipe, a socket or a device is never opened: reading a pipe that no
    // program writes to would wait for ever.
    QStringList names;
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo& entry : entries)
        if (entry.isFile())
            names << entry.fileName();
    return names;
}

FolderCopy CopyFolderFiles(const QString& source, const QString& target)
{
    MakeTargetFolder(target);
    const QStringList names = PlainFileNames(source);
    FolderCopy result;
    if (names.isEmpty())
        return result;
    BusyGuard busy;
    for (qsizetype i = 0; i < names.size();) {
        QString error;
        if (CopyNamedFile(names[i], source, target, &error)) {
            ++i;
            LetMessagesThrough();
            continue;
        }
        const QChar answer = AskYesNoCancel(QStringLiteral("File open error on ") + names[i] +
                                            QStringLiteral(" - retry?"));
        if (answer == QLatin1Char('Y'))
            continue;
        if (answer == QLatin1Char('C') || answer == QLatin1Char('N')) {
            result.Complete = false;
            result.Failures << names[i] + QStringLiteral(": ") + error;
            if (answer == QLatin1Char('C'))
                return result;
            ++i;
        }
        LetMessagesThrough();
    }
    return result;
}

QString ProgramFolder()
{
    QString folder = QFileInfo(QCoreApplication::applicationFilePath()).absolutePath();
    AddTrailingBackslash(folder);
    return folder;
}

QString ProgramFolderPath()
{
    return programFolderPath;
}

void SetProgramFolderPath(const QString& folder)
{
    programFolderPath = folder;
}
