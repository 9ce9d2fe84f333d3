#pragma once
// What another program connected to a Firebird database file finds there:
// the first value of the first row of an SQL text, through a connection and
// a transaction of its own.

#include "platform/ibase.h"

#include <QString>
#include <gtest/gtest.h>

inline QString ValueInDatabaseFile(const QString& fdbPath, const QString& sql)
{
    ibase::Connection c = ibase::Connection::Attach(fdbPath);
    ibase::Transaction t(c);
    ibase::Statement st(t, sql);
    st.Execute();
    if (!st.Fetch()) {
        ADD_FAILURE() << "no row: " << sql.toStdString();
        return {};
    }
    return st.Column(0).AsText().trimmed();
}
