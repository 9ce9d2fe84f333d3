#include "library/fmxutils.h"

#include "library/files.h"
#include "library/textnum.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <vector>

namespace
{

// A target that is an existing folder receives the source's name. (A target
// that is not there yet is a file to make, though its attributes cannot be
// read.)
QString TargetPath(const QString& source, const QString& target)
{
    QString path = QFileInfo(target).absoluteFilePath();
    if (QFileInfo(path).isDir())
        path += QLatin1Char('/') + QFileInfo(source).fileName();
    return path;
}

QString CannotWriteCopy(const QString& target, const QSaveFile& to)
{
    return QStringLiteral("Cannot write the copy %1: %2")
        .arg(InDoubleQuotes(target), to.errorString());
}

// Chunks of the source into the open copy; the number of bytes copied.
qint64 CopyChunks(QFile& from, QSaveFile& to, const QString& target)
{
    std::vector<char> buffer(static_cast<size_t>(CopyChunkBytes));
    qint64 copied = 0;
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        const qint64 n = from.read(buffer.data(), CopyChunkBytes);
        if (n < 0)
            throw InOutError(QStringLiteral("Cannot read %1: %2")
                                 .arg(InDoubleQuotes(from.fileName()), from.errorString()));
        if (n > 0 && to.write(buffer.data(), n) != n)
            throw InOutError(CannotWriteCopy(target, to));
        copied += n;
        if (n < CopyChunkBytes)
            return copied;
    }
}

} // namespace

void CopyFileChunked(const QString& source, const QString& target)
{
    const QString path = TargetPath(source, target);
    // Opening a pipe waits until some program writes to it; a device or a
    // socket is no file to copy either.
    if (QFileInfo::exists(source) && !QFileInfo(source).isFile())
        throw FileOpenError(QStringLiteral("%1 is not a plain file, so it is not copied")
                                .arg(InDoubleQuotes(source)));
    QFile from(source);
    if (!from.open(QIODevice::ReadOnly))
        throw FileOpenError(QStringLiteral("Cannot open %1 to copy it: %2")
                                .arg(InDoubleQuotes(source), from.errorString()));
    // A read-only file is not replaced, whoever runs the program.
    if (QFileInfo::exists(path) && FileHasAttributes(path, FileAttrReadOnly))
        throw FileCreateError(QStringLiteral("Cannot make the copy %1: a read-only file of that "
                                             "name is there")
                                  .arg(InDoubleQuotes(path)));
    QSaveFile to(path);
    to.setDirectWriteFallback(false);
    if (!to.open(QIODevice::WriteOnly))
        throw FileCreateError(QStringLiteral("Cannot make the copy %1: %2")
                                  .arg(InDoubleQuotes(path), to.errorString()));
    const qint64 copied = CopyChunks(from, to, path);
    // A source cut short while it was read would give a shorter copy that
    // looks whole.
    if (copied != from.size())
        throw InOutError(QStringLiteral("%1 changed while it was copied (another program is "
                                        "writing to it): try again once it has finished")
                             .arg(InDoubleQuotes(source)));
    if (!to.commit())
        throw InOutError(CannotWriteCopy(path, to));
}
