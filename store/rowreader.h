#pragma once
// Reading the rows of a prepared statement straight into records, for the
// passes over a whole diagram: the columns are found by name once per scan,
// not once per row, and each value is converted as the store's fields
// convert it, so a record reads the same whichever way its row was fetched.

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
// given positions, or from the first column on.
class ColumnReader
{
  public:
    explicit ColumnReader(const tables::Statement& st, const std::vector<int>* at = nullptr)
        : st_(st), at_(at)
    {
    }

    tables::Field Next() { return tables::Field(QString(), st_.Column(NextIndex())); }
    bool NextIsNull() const { return st_.Column(PeekIndex()).isNull(); }
    // Whole numbers, the engine's usual type for these columns, are taken
    // as they are; anything else goes through the field's conversion.
    int Int()
    {
        const QVariant v = st_.Column(NextIndex());
        if (v.typeId() == QMetaType::LongLong) {
            return static_cast<int>(v.toLongLong());
        }
        return tables::Field(QString(), v).AsInteger();
    }
    double Float() { return Next().AsFloat(); }
    bool Bool()
    {
        const QVariant v = st_.Column(NextIndex());
        if (v.typeId() == QMetaType::LongLong) {
            return v.toLongLong() != 0;
        }
        return tables::Field(QString(), v).AsBoolean();
    }
    QString Text() { return Next().AsString(); }
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
