#pragma once
// What the table engine's sources share and nothing else uses.

#include "platform/tables.h"

#include <QString>

namespace tables::detail
{

[[noreturn]] inline void Fail(const QString& text)
{
    throw EngineError(text.toStdString());
}

inline QString Quoted(const QString& name)
{
    return '"' + name + '"';
}

} // namespace tables::detail
