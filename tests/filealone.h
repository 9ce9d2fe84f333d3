#pragma once
// One number read from a store file alone, as a copy of it would be read:
// SQLite opens it read-only as a file nothing changes, so it takes nothing
// from a log beside it and touches neither the file nor its folder.

#include <QString>
#include <QUrl>
#include <sqlite3.h>

inline long long ScalarOfFileAlone(const QString& file, const char* sql)
{
    const QString uri =
        QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded) + QStringLiteral("?immutable=1");
    sqlite3* db = nullptr;
    sqlite3_open_v2(uri.toUtf8().constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
    sqlite3_stmt* st = nullptr;
    long long value = -1;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW)
        value = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    sqlite3_close_v2(db);
    return value;
}
