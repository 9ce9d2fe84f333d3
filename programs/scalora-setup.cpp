// Our own set-up tool, not part of either program: creates beside the
// programs whatever is missing of their data folders and stores. It never
// touches a store that exists.

#include "firebird/fbschema.h"
#include "platform/tables.h"
#include "tablestore/tableschema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <exception>

namespace
{

void Say(const QString& text)
{
    std::fprintf(stdout, "%s\n", qPrintable(text));
}

void EnsureTableStore(const QDir& programFolder)
{
    const QString folder = programFolder.filePath(QStringLiteral("Scalora data"));
    if (!QDir().mkpath(folder)) {
        throw std::runtime_error("Cannot create the folder " + folder.toStdString());
    }
    const QString file = QDir(folder).filePath(QString::fromLatin1(tables::DataFileName));
    if (QFileInfo::exists(file)) {
        return;
    }
    CreateTableStore(folder, OldestTableStoreVersion);
    Say(QStringLiteral("Created an empty table store: %1").arg(file));
}

void EnsureFirebirdStore(const QDir& programFolder)
{
    const QString folder = programFolder.filePath(QStringLiteral("Scalora2 data"));
    if (!QDir().mkpath(folder)) {
        throw std::runtime_error("Cannot create the folder " + folder.toStdString());
    }
    const QString file = QDir(folder).filePath(QStringLiteral("scalora2data.fdb"));
    if (QFileInfo::exists(file)) {
        return;
    }
    CreateFirebirdStore(file);
    Say(QStringLiteral("Created an empty Firebird database: %1").arg(file));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QDir programFolder(QCoreApplication::applicationDirPath());
    try {
        EnsureTableStore(programFolder);
        EnsureFirebirdStore(programFolder);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "scalora-setup: %s\n", e.what());
        return 1;
    }
    return 0;
}
