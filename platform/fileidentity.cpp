#include "platform/fileidentity.h"

#include <QFile>

#include <sys/stat.h>

std::optional<FileIdentity> IdentityOf(const QString& path)
{
    struct stat st {
    };
    if (stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return FileIdentity{uint64_t(st.st_dev), uint64_t(st.st_ino)};
}

bool StillTheFileOpened(const QString& path, const std::optional<FileIdentity>& opened)
{
    return !opened || IdentityOf(path) == opened;
}

QString DatabaseFileGoneText(const QString& path)
{
    return QStringLiteral("The database file \"%1\" has gone: it was deleted, moved or replaced "
                          "since the program opened it. Nothing more can be stored; close the "
                          "program.")
        .arg(path);
}
