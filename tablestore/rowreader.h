#pragma once
// Reading the rows of a prepared statement straight into records: the
// columns are found by name once per scan, not once per row, and each value
// is converted as the store's fields convert it, so a record reads the same
// whichever way its row was fetched.

#include "platform/tables.h"

#include <QString>
#include <vector>

namespace rowreader
{

// The position of a named column of the statement's rows.
inline int ColumnIndex(const tables::Statement& st, const QString& name)
{
    for (int i = 0; i < st.ColumnCount(); ++i) {
        if (st.ColumnName(i).compare(name, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    throw tables::EngineError("Field '" + name.toStdString() + "' not found");
}

inline std::vector<int> ColumnIndexes(const tables::Statement& st, const QStringList& names)
{
    std::vector<int> at;
    at.reserve(static_cast<size_t>(names.size()));
    for (const QString& name : names) {
        at.push_back(ColumnIndex(st, name));
    }
    return at;
}

// The current row's columns taken one after the other: in the order of the
// given positions, or from the first column on. Each is read by its type
// (tables::Statement's typed reads), which converts a value as the store's
// fields do.
class ColumnReader
{
  public:
    explicit ColumnReader(const tables::Statement& st, const std::vector<int>* at = nullptr)
        : st_(st), at_(at)
    {
    }

    bool NextIsNull() const { return st_.ColumnIsNull(PeekIndex()); }
    int Int() { return st_.ColumnInt(NextIndex()); }
    long long Int64() { return st_.ColumnInt64(NextIndex()); }
    double Float() { return st_.ColumnDouble(NextIndex()); }
    // A column of numbers: NaN for a value that is not one, whose text then
    // goes to notNumber.
    double Number(QString& notNumber)
    {
        const int i = NextIndex();
        const double v = st_.ColumnNumber(i);
        if (v != v)
            notNumber = st_.ColumnText(i);
        return v;
    }
    bool Bool() { return st_.ColumnBool(NextIndex()); }
    QString Text() { return st_.ColumnText(NextIndex()); }
    void Skip(int n) { next_ += n; }

  private:
    int PeekIndex() const { return at_ ? (*at_)[static_cast<size_t>(next_)] : next_; }
    int NextIndex()
    {
        const int i = PeekIndex();
        ++next_;
        return i;
    }

    const tables::Statement& st_;
    const std::vector<int>* at_;
    int next_ = 0;
};

} // namespace rowreader
