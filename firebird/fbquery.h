#pragma once
// A query of the Firebird store: one statement text at a time on the
// store's transaction, prepared once for as long as its text stays the same,
// its values given as named parameters. Opening it reads its rows whole, so
// that a commit between two steps of a walk (every command commits) never
// cuts the walk short; the walk moves like the store's datasets: Next past
// the last row and Prior before the first stay on that row and set Eof or
// Bof.

#include "platform/ibase.h"
#include "store/visiblesets.h"

#include <QString>
#include <initializer_list>
#include <optional>
#include <vector>

// One named parameter of a statement: :name in its text.
struct FbParam {
    const char* Name;
    ibase::Value Value;
};
using FbParams = std::vector<FbParam>;

class FbQuery
{
  public:
    // The query runs its statements in this transaction from now on.
    void BindTo(ibase::Transaction& transaction);

    const QString& SQLText() const { return sql_; }
    // Replaces the statement text; the old result is closed.
    void SetSQL(const QString& sql);
    // Runs a select and reads every row; the walk stands on the first.
    void Open(const FbParams& params = {});
    // Runs a statement that returns no rows; the rows it changed.
    int64_t ExecSQL(const FbParams& params = {});
    void Close();
    // The access plan the engine chose for the current text.
    QString Plan();

    bool Active() const { return rows_.Active(); }
    bool IsEmpty() const { return rows_.IsEmpty(); }
    int RecordCount() const { return rows_.RecordCount(); }
    bool Eof() const { return rows_.Eof(); }
    bool Bof() const { return rows_.Bof(); }
    void First() { rows_.First(); }
    void Last() { rows_.Last(); }
    void Next() { rows_.Next(); }
    void Prior() { rows_.Prior(); }

    // A column of the current row by its name (letter case ignored); a
    // walk over a closed or empty result has no current row and throws.
    const ibase::Value& Field(const char* name) const;
    const ibase::Value& FieldAt(int column) const;
    int FieldInt(const char* name) const { return Field(name).AsInt(); }
    double FieldFloat(const char* name) const { return Field(name).AsDouble(); }
    QString FieldText(const char* name) const { return Field(name).AsText(); }

  private:
    ibase::Statement& Prepared();
    void Bind(const FbParams& params);
    int ColumnAt(const char* name) const;

    ibase::Transaction* transaction_ = nullptr;
    QString sql_;
    std::optional<ibase::Statement> statement_;
    std::vector<QString> columns_;
    RowCursor<std::vector<ibase::Value>> rows_;
};
