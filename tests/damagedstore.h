#pragma once
// Damage done to a store file as a failing disk or a bad copy leaves it:
// the first bytes of one of its pages overwritten, so that SQLite finds the
// page malformed when a statement reads it.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <gtest/gtest.h>
#include <sqlite3.h>

// The first column of the first row of an SQL text on the file, as a whole
// number; 0 when there is none. SQLite's page statistics ("dbstat") name
// the pages of each table and index.
inline int StoreFileNumber(const QString& file, const char* sql)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    int n = 0;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW)
        n = sqlite3_column_int(st, 0);
    sqlite3_finalize(st);
    sqlite3_close(db);
    return n;
}

// Overwrites the header of the page that the SQL text names (its number).
inline void DamageStorePage(const QString& file, const char* pageSql)
{
    const int page = StoreFileNumber(file, pageSql);
    ASSERT_GT(page, 1) << pageSql;
    const int size = StoreFileNumber(file, "PRAGMA page_size");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.seek(qint64(page - 1) * size));
    ASSERT_EQ(f.write(QByteArray(16, '\xff')), 16);
}
