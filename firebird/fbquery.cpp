#include "firebird/fbquery.h"

#include <utility>

void FbQuery::BindTo(ibase::Transaction& transaction)
{
    Close();
    statement_.reset();
    transaction_ = &transaction;
}

void FbQuery::SetSQL(const QString& sql)
{
    Close();
    if (sql == sql_)
        return;
    sql_ = sql;
    statement_.reset();
}

ibase::Statement& FbQuery::Prepared()
{
    if (!transaction_)
        throw ibase::Error(QStringLiteral("The query has no database"));
    if (!statement_)
        statement_.emplace(*transaction_, sql_);
    return *statement_;
}

QString FbQuery::Plan()
{
    return Prepared().Plan();
}

void FbQuery::Bind(const FbParams& params)
{
    ibase::Statement& st = Prepared();
    st.ClearParams();
    for (const FbParam& p : params)
        st.SetParam(QString::fromLatin1(p.Name), p.Value);
}

void FbQuery::Open(const FbParams& params)
{
    Close();
    Bind(params);
    ibase::Statement& st = *statement_;
    st.Execute();
    const int n = st.ColumnCount();
    columns_.clear();
    for (int i = 0; i < n; ++i)
        columns_.push_back(st.ColumnName(i));
    std::vector<std::vector<ibase::Value>> rows;
    try {
        while (st.Fetch()) {
            std::vector<ibase::Value>& row = rows.emplace_back();
            row.reserve(size_t(n));
            for (int i = 0; i < n; ++i)
                row.push_back(st.Column(i));
        }
    } catch (...) {
        st.Close();
        throw;
    }
    rows_.Assign(std::move(rows));
}

int64_t FbQuery::ExecSQL(const FbParams& params)
{
    Close();
    Bind(params);
    statement_->Execute();
    const int64_t rows = statement_->RowsAffected();
    statement_->Close();
    return rows;
}

void FbQuery::Close()
{
    if (statement_)
        statement_->Close();
    rows_.Close();
}

int FbQuery::ColumnAt(const char* name) const
{
    const QString wanted = QString::fromLatin1(name);
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (columns_[i].compare(wanted, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    throw ibase::Error(QStringLiteral("Field '%1' not found").arg(wanted));
}

const ibase::Value& FbQuery::Field(const char* name) const
{
    return FieldAt(ColumnAt(name));
}

const ibase::Value& FbQuery::FieldAt(int column) const
{
    const std::vector<ibase::Value>& row = rows_.Current();
    if (column < 0 || column >= int(row.size()))
        throw ibase::Error(QStringLiteral("No column %1").arg(column + 1));
    return row[size_t(column)];
}
