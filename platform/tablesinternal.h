#pragma once
// What the table engine's sources share and nothing else uses.

#include "platform/tables.h"

#include <QString>

namespace tables::detail
{

[[noreturn]] inline void Fail(const QString& text, int code = 0)
{
    throw EngineError(text.toStdString(), code);
}

// SQLite's last error on the connection, with its primary result code.
[[noreturn]] void FailFrom(sqlite3* db);

inline QString Quoted(const QString& name)
{
    return '"' + name + '"';
}

} // namespace tables::detail
