// Datasets and the keyed tables walked in key or index order.

#include "platform/tables.h"

#include "platform/tablesinternal.h"

#include <sqlite3.h>

namespace tables
{

using detail::Fail;
using detail::Quoted;

// ----------------------------------------------------------------- DataSet

Database& DataSet::Db() const
{
    if (!database) {
        Fail(QStringLiteral("Database %1 is not open").arg(DatabaseName));
    }
    if (!database->Connected()) {
        Fail(database->NotOpenText());
    }
    return *database;
}

void DataSet::CheckActive() const
{
    if (!active_) {
        Fail(QStringLiteral("Cannot perform this operation on a closed dataset"));
    }
}

void DataSet::Close()
{
    active_ = false;
    eof_ = true;
    bof_ = true;
}

void DataSet::SetFields(const QStringList& names)
{
    fields_.clear();
    for (const QString& n : names) {
        fields_.emplace_back(n, QVariant());
    }
}

Field* DataSet::FindField(const QString& name)
{
    for (Field& f : fields_) {
        if (f.FieldName.compare(name, Qt::CaseInsensitive) == 0) {
            return &f;
        }
    }
    return nullptr;
}

Field& DataSet::FieldByName(const QString& name)
{
    CheckActive();
    Field* f = FindField(name);
    if (!f) {
        Fail(QStringLiteral("Field '%1' not found").arg(name));
    }
    return *f;
}

// ------------------------------------------------------------------- Table

void Table::Open()
{
    if (active_) {
        return;
    }
    Database& db = Db();
    plain_ = PlainTableName(TableName);
    if (!db.TableExists(plain_)) {
        Fail(QStringLiteral("Table does not exist: %1").arg(TableName));
    }
    columns_.clear();
    std::map<int, QString> key;
    {
        Statement info(db, QStringLiteral("PRAGMA table_info(%1)").arg(Quoted(plain_)));
        while (info.Step()) {
            const QString name = info.Column(1).toString();
            columns_ << name;
            const int pk = info.Column(5).toInt();
            if (pk > 0) {
                key[pk] = name;
            }
        }
    }
    order_.clear();
    if (!IndexName.isEmpty()) {
        Statement info(db, QStringLiteral("PRAGMA index_info(%1)").arg(Quoted(IndexName)));
        while (info.Step()) {
            order_ << info.Column(2).toString();
        }
        if (order_.isEmpty()) {
            Fail(QStringLiteral("Index does not exist: %1").arg(IndexName));
        }
    }
    for (const auto& [pos, name] : key) {
        if (!order_.contains(name, Qt::CaseInsensitive)) {
            order_ << name;
        }
    }
    QStringList quoted;
    for (const QString& c : columns_) {
        quoted << Quoted(c);
    }
    select_ = QStringLiteral("SELECT rowid, %1 FROM %2").arg(quoted.join(','), Quoted(plain_));
    SetFields(columns_);
    active_ = true;
    state_ = State::Browse;
    First();
}

void Table::Close()
{
    DataSet::Close();
    onRow_ = false;
    state_ = State::Browse;
}

QString Table::OrderBy(bool descending) const
{
    QStringList parts;
    for (const QString& c : order_) {
        parts << Quoted(c) + (descending ? QStringLiteral(" DESC") : QString());
    }
    return QStringLiteral(" ORDER BY ") + parts.join(',');
}

QString Table::RowValue() const
{
    QStringList cols;
    QStringList marks;
    for (const QString& c : order_) {
        cols << Quoted(c);
        marks << QStringLiteral("?");
    }
    return QStringLiteral("(%1) %2 (%3)")
        .arg(cols.join(','), QStringLiteral("%1"), marks.join(','));
}

std::vector<QVariant> Table::CurrentOrderValues() const
{
    std::vector<QVariant> values;
    for (const QString& c : order_) {
        for (const Field& f : fields_) {
            if (f.FieldName.compare(c, Qt::CaseInsensitive) == 0) {
                values.push_back(f.Value);
            }
        }
    }
    return values;
}

bool Table::ReadRow(Statement& st)
{
    if (!st.Step()) {
        st.Reset();
        return false;
    }
    rowid_ = st.Column(0).toLongLong();
    for (size_t i = 0; i < fields_.size(); ++i) {
        fields_[i].Value = st.Column(static_cast<int>(i) + 1);
    }
    st.Reset();
    onRow_ = true;
    state_ = State::Browse;
    return true;
}

void Table::LoadRowid(long long rowid)
{
    Statement& st = Db().Prepare(select_ + QStringLiteral(" WHERE rowid=?"));
    st.Bind(1, rowid);
    if (!ReadRow(st)) {
        First();
    }
}

void Table::First()
{
    CheckActive();
    Statement& st = Db().Prepare(select_ + OrderBy(false) + QStringLiteral(" LIMIT 1"));
    const bool found = ReadRow(st);
    bof_ = true;
    eof_ = !found;
    if (!found) {
        onRow_ = false;
        SetFields(columns_);
    }
}

void Table::Last()
{
    CheckActive();
    Statement& st = Db().Prepare(select_ + OrderBy(true) + QStringLiteral(" LIMIT 1"));
    const bool found = ReadRow(st);
    eof_ = true;
    bof_ = !found;
    if (!found) {
        onRow_ = false;
        SetFields(columns_);
    }
}

void Table::Next()
{
    CheckActive();
    if (!onRow_) {
        eof_ = true;
        return;
    }
    const auto values = CurrentOrderValues();
    Statement& st = Db().Prepare(select_ + QStringLiteral(" WHERE ") + RowValue().arg('>') +
                                 OrderBy(false) + QStringLiteral(" LIMIT 1"));
    st.BindAll(values);
    if (ReadRow(st)) {
        eof_ = false;
        bof_ = false;
    } else {
        eof_ = true;
    }
}

void Table::Prior()
{
    CheckActive();
    if (!onRow_) {
        bof_ = true;
        return;
    }
    const auto values = CurrentOrderValues();
    Statement& st = Db().Prepare(select_ + QStringLiteral(" WHERE ") + RowValue().arg('<') +
                                 OrderBy(true) + QStringLiteral(" LIMIT 1"));
    st.BindAll(values);
    if (ReadRow(st)) {
        eof_ = false;
        bof_ = false;
    } else {
        bof_ = true;
    }
}

int Table::RecordCount()
{
    CheckActive();
    Statement& st = Db().Prepare(QStringLiteral("SELECT count(*) FROM %1").arg(Quoted(plain_)));
    st.Step();
    const int n = st.Column(0).toInt();
    st.Reset();
    return n;
}

bool Table::FindKey(const std::vector<QVariant>& values)
{
    CheckActive();
    if (values.empty() || values.size() > static_cast<size_t>(order_.size())) {
        Fail(QStringLiteral("Wrong number of key values for %1").arg(TableName));
    }
    QStringList conditions;
    for (size_t i = 0; i < values.size(); ++i) {
        conditions << Quoted(order_[static_cast<int>(i)]) + QStringLiteral("=?");
    }
    Statement& st = Db().Prepare(select_ + QStringLiteral(" WHERE ") +
                                 conditions.join(QStringLiteral(" AND ")) + OrderBy(false) +
                                 QStringLiteral(" LIMIT 1"));
    st.BindAll(values);
    if (!ReadRow(st)) {
        return false;
    }
    eof_ = false;
    bof_ = false;
    return true;
}

void Table::Edit()
{
    CheckActive();
    if (!onRow_) {
        Fail(QStringLiteral("Cannot edit: %1 has no current row").arg(TableName));
    }
    state_ = State::Edit;
}

void Table::Insert()
{
    CheckActive();
    SetFields(columns_);
    state_ = State::Insert;
}

void Table::Post()
{
    CheckActive();
    Database& db = Db();
    QStringList cols;
    std::vector<QVariant> values;
    for (const Field& f : fields_) {
        cols << Quoted(f.FieldName);
        values.push_back(f.Value);
    }
    if (state_ == State::Edit) {
        QStringList sets;
        for (const QString& c : cols) {
            sets << c + QStringLiteral("=?");
        }
        Statement& st = db.Prepare(
            QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?").arg(Quoted(plain_), sets.join(',')));
        values.push_back(rowid_);
        st.BindAll(values);
        st.Run();
    } else if (state_ == State::Insert) {
        QStringList marks;
        for (int i = 0; i < cols.size(); ++i) {
            marks << QStringLiteral("?");
        }
        Statement& st = db.Prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                       .arg(Quoted(plain_), cols.join(','), marks.join(',')));
        st.BindAll(values);
        st.Run();
        rowid_ = sqlite3_last_insert_rowid(db.Handle());
    } else {
        return;
    }
    state_ = State::Browse;
    LoadRowid(rowid_);
    eof_ = false;
    bof_ = false;
}

void Table::Cancel()
{
    if (state_ == State::Browse) {
        return;
    }
    state_ = State::Browse;
    Refresh();
}

void Table::Delete()
{
    CheckActive();
    if (!onRow_) {
        Fail(QStringLiteral("Cannot delete: %1 has no current row").arg(TableName));
    }
    Database& db = Db();
    const auto values = CurrentOrderValues();
    Statement& del = db.Prepare(QStringLiteral("DELETE FROM %1 WHERE rowid=?").arg(Quoted(plain_)));
    del.Bind(1, rowid_);
    del.Run();
    state_ = State::Browse;
    // The row after the deleted one becomes current, or the last row.
    Statement& st = db.Prepare(select_ + QStringLiteral(" WHERE ") + RowValue().arg('>') +
                               OrderBy(false) + QStringLiteral(" LIMIT 1"));
    st.BindAll(values);
    if (ReadRow(st)) {
        eof_ = false;
        bof_ = false;
        return;
    }
    Last();
}

void Table::Refresh()
{
    CheckActive();
    if (onRow_) {
        LoadRowid(rowid_);
    } else {
        First();
    }
}

// --------------------------------------------------------------- TableScan

TableScan::TableScan(Table& table) : table_(table)
{
    database = table.database;
    DatabaseName = table.DatabaseName;
}

void TableScan::First()
{
    if (!table_.Active()) {
        Fail(QStringLiteral("Cannot perform this operation on a closed dataset"));
    }
    QStringList order;
    for (const QString& c : table_.OrderColumns()) {
        order << Quoted(c);
    }
    st_ = std::make_unique<Statement>(
        Db(), QStringLiteral("SELECT * FROM %1 ORDER BY %2")
                  .arg(Quoted(PlainTableName(table_.TableName)), order.join(',')));
    QStringList names;
    for (int i = 0; i < st_->ColumnCount(); ++i) {
        names << st_->ColumnName(i);
    }
    SetFields(names);
    active_ = true;
    bof_ = true;
    Read();
}

void TableScan::Next()
{
    CheckActive();
    bof_ = false;
    Read();
}

void TableScan::Read()
{
    if (!st_->Step()) {
        eof_ = true;
        st_->Reset();
        return;
    }
    eof_ = false;
    for (size_t i = 0; i < fields_.size(); ++i) {
        fields_[i].Value = st_->Column(static_cast<int>(i));
    }
}

void TableScan::Prior()
{
    Fail(QStringLiteral("A table scan only goes forward"));
}

void TableScan::Last()
{
    Fail(QStringLiteral("A table scan only goes forward"));
}

int TableScan::RecordCount()
{
    return table_.RecordCount();
}

void Table::FlushBuffers()
{
    if (active_) {
        Db().Flush();
    }
}

} // namespace tables
