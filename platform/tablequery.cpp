// Queries with SQL text and named parameters.

#include "platform/tables.h"

#include "platform/tablesinternal.h"

#include <sqlite3.h>

namespace tables
{

using detail::Fail;
using detail::Quoted;

// ------------------------------------------------------------------- Query

void Query::SetSQL(const QString& text)
{
    Close();
    SQL = text.split('\n');
}

void Query::SyncParams()
{
    const QString text = SQLText();
    if (text == paramsFor_) {
        return;
    }
    params_.clear();
    for (const QString& name : ParameterNames(text)) {
        params_.push_back(Param{name, QVariant()});
    }
    paramsFor_ = text;
}

std::vector<Param>& Query::Params()
{
    SyncParams();
    return params_;
}

Param& Query::ParamByName(const QString& name)
{
    SyncParams();
    for (Param& p : params_) {
        if (p.Name.compare(name, Qt::CaseInsensitive) == 0) {
            return p;
        }
    }
    Fail(QStringLiteral("Parameter '%1' not found").arg(name));
}

Statement& Query::PreparedStatement()
{
    return Db().Prepare(MapTableNames(SQLText()));
}

void Query::BindParams(Statement& st)
{
    SyncParams();
    for (int i = 1; i <= st.ParameterCount(); ++i) {
        const QString name = st.ParameterName(i);
        bool bound = false;
        for (const Param& p : params_) {
            if (p.Name.compare(name, Qt::CaseInsensitive) == 0) {
                st.Bind(i, p.Value);
                bound = true;
            }
        }
        if (!bound) {
            Fail(QStringLiteral("Parameter '%1' not found").arg(name));
        }
    }
}

void Query::Open()
{
    Close();
    Statement& st = PreparedStatement();
    BindParams(st);
    QStringList names;
    for (int i = 0; i < st.ColumnCount(); ++i) {
        names << st.ColumnName(i);
    }
    std::vector<std::vector<QVariant>> rows;
    try {
        while (st.Step()) {
            std::vector<QVariant> row;
            row.reserve(static_cast<size_t>(names.size()));
            for (int i = 0; i < names.size(); ++i) {
                row.push_back(st.Column(i));
            }
            rows.push_back(std::move(row));
        }
    } catch (...) {
        st.Reset();
        throw;
    }
    st.Reset();
    rows_ = std::move(rows);
    SetFields(names);
    active_ = true;
    First();
}

void Query::ExecSQL()
{
    Close();
    Statement& st = PreparedStatement();
    BindParams(st);
    st.Run();
    rowsAffected_ = sqlite3_changes(Db().Handle());
}

void Query::Close()
{
    DataSet::Close();
    rows_.clear();
    row_ = -1;
}

void Query::ShowRow()
{
    if (row_ < 0 || row_ >= static_cast<int>(rows_.size())) {
        return;
    }
    const auto& row = rows_[static_cast<size_t>(row_)];
    for (size_t i = 0; i < fields_.size() && i < row.size(); ++i) {
        fields_[i].Value = row[i];
    }
}

void Query::First()
{
    CheckActive();
    row_ = rows_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = rows_.empty();
    ShowRow();
}

void Query::Last()
{
    CheckActive();
    row_ = static_cast<int>(rows_.size()) - 1;
    eof_ = true;
    bof_ = rows_.empty();
    ShowRow();
}

void Query::Next()
{
    CheckActive();
    if (row_ + 1 < static_cast<int>(rows_.size())) {
        ++row_;
        bof_ = false;
        eof_ = false;
        ShowRow();
    } else {
        eof_ = true;
    }
}

void Query::Prior()
{
    CheckActive();
    if (row_ > 0) {
        --row_;
        bof_ = false;
        eof_ = false;
        ShowRow();
    } else {
        bof_ = true;
    }
}

int Query::RecordCount()
{
    return static_cast<int>(rows_.size());
}

} // namespace tables
