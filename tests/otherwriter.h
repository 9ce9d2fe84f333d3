#pragma once
// Another program that holds a store file in a write until it lets go, as
// the sqlite3 client does between "begin immediate" and "commit".

#include <QString>
#include <sqlite3.h>

class OtherWriter
{
  public:
    // Begins a write on the file and makes the change, leaving it open.
    OtherWriter(const QString& file, const char* change)
    {
        sqlite3_open(file.toUtf8().constData(), &db_);
        rc_ = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        if (rc_ == SQLITE_OK)
            rc_ = sqlite3_exec(db_, change, nullptr, nullptr, nullptr);
    }
    ~OtherWriter() { sqlite3_close_v2(db_); }
    OtherWriter(const OtherWriter&) = delete;
    OtherWriter& operator=(const OtherWriter&) = delete;

    bool Holds() const { return rc_ == SQLITE_OK && !sqlite3_get_autocommit(db_); }
    // Undoes the change and lets go of the file.
    void LetGo() { sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr); }

  private:
    sqlite3* db_ = nullptr;
    int rc_ = SQLITE_ERROR;
};
