#include "library/fmxutils.h"

#include "library/files.h"

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

// Chunks of the source into the open copy; the number of bytes copied.
qint64 CopyChunks(QFile& from, QSaveFile& to, const QString& target)
{
    std::vector<char> buffer(static_cast<size_t>(CopyChunkBytes));
    qint64 copied = 0;
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        const qint64 n = from.read(buffer.data(), CopyChunkBytes);
        if (n < 0)
            throw InOutError(QStringLiteral("Grr cannot read file %1: %2")
                                 .arg(from.fileName(), from.errorString()));
        if (n > 0 && to.write(buffer.data(), n) != n)
            throw InOutError(
                QStringLiteral("Grr cannot write file %1: %2").arg(target, to.errorString()));
        copied += n;
        if (n < CopyChunkBytes)
            return copied;
    }
}

} // namespace

void CopyFileChunked(const QString& source, const QString& target)
{
    const QString path = TargetPath(source, target);
    QFile from(source);
    if (!from.open(QIODevice::ReadOnly))
        throw FileOpenError(QStringLiteral("Grr cannot open file %1").arg(source));
    // A read-only file is not replaced, whoever runs the program.
    if (QFileInfo::exists(path) && FileHasAttributes(path, FileAttrReadOnly))
        throw FileCreateError(QStringLiteral("Grr cannot create file %1").arg(path));
    QSaveFile to(path);
    to.setDirectWriteFallback(false);
    if (!to.open(QIODevice::WriteOnly))
        throw FileCreateError(QStringLiteral("Grr cannot create file %1").arg(path));
    const qint64 copied = CopyChunks(from, to, path);
    // A source cut short while it was read would give a shorter copy that
    // looks whole.
    if (copied != from.size())
        throw InOutError(QStringLiteral("Grr file %1 changed while it was copied").arg(source));
    if (!to.commit())
        throw InOutError(
            QStringLiteral("Grr cannot write file %1: %2").arg(path, to.errorString()));
}
