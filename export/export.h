#pragma once
// The export of scalora's whole table store into the Firebird database
// beside the program ("Scalora2 data/scalora2data.fdb"), the way users move
// their drawings to scalora2.
//
// The export clears the seven Firebird tables (asking before each one that
// holds rows) and copies every row of the table store into them, all in one
// Firebird transaction: a declined question or a refused row leaves the
// Firebird database exactly as it was. The lookup indexes are dropped
// before the copy and built from the copied rows as it commits, which
// costs a fraction of keeping them up row by row; a copy that fails builds
// them again from the rows it left. Values travel as statement
// parameters, so reals keep their exact binary value and texts need no
// quoting. The literal form of each statement is kept for scripts and
// messages that show a row as SQL.

#include "platform/ibase.h"

#include <QString>
#include <optional>
#include <stdexcept>
#include <vector>

class TFcore;

namespace tables
{
class DataSet;
class Table;
} // namespace tables

// A row that could not be copied: which table and row, and why (a text
// too long for its column, or the database's own message).
class ExportError : public std::runtime_error
{
  public:
    using std::runtime_error::runtime_error;
};

enum class ExportKind { Integer, Real, Text, Memo, DateTime, Boolean };

struct ExportColumn {
    const char* Name;   // Firebird column
    const char* Source; // column of the table store
    ExportKind Kind;
    int MaxChars = 0; // Text: the column's width in characters
};

struct ExportTable {
    const char* Name;    // Firebird table: DRAWING, LAYER ...
    const char* Opening; // "insert into ... values (", the values follow directly
    std::vector<ExportColumn> Columns;
    int KeyColumns; // the leading columns that make the key
    int TightAfter; // the column followed by " ," instead of " , "; -1 none
};

// The seven tables in export order: DRAWING, LAYER, PFL, PFLAYS, POINT,
// SEG, TEXT.
const std::vector<ExportTable>& ExportTables();

// Literal forms of the statement texts. A real is written with the fewest
// digits that read back as the same double; a text in single quotes with
// every apostrophe doubled.
QString RealLiteral(double x);
QString StringLiteral(const QString& text);

// The values of the current row of a table-store dataset, in statement
// order. An empty field reads as its kind's zero (0, 0.0, the empty text,
// NULL for a date-time); a date-time of exactly 0 is NULL too, any other is
// rounded to the second; a boolean is 1 or 0. A text longer than its column
// or a date-time outside the years 1 to 9999 throws ExportError.
std::vector<ibase::Value> ExportRowValues(const ExportTable& table, tables::DataSet& row);
// The insert statement with the values written in as literals (NULL, whole
// numbers, RealLiteral, StringLiteral, 'yyyy-mm-dd hh:mm:ss').
QString InsertStatementText(const ExportTable& table, const std::vector<ibase::Value>& values);
// The same statement with a "?" for every value.
QString InsertStatementWithParameters(const ExportTable& table);

// The table of the store that an export table's rows come from.
tables::Table& ExportSourceTable(TFcore& core, const ExportTable& table);

// FirebirdExport(core).ExportToFirebird(): what the first program hands its
// store as TFcore::Export.
bool ExportWholeStore(TFcore& core);

// The export works on the open table store of scalora. Its connection,
// transaction and statement exist only while an export runs.
class FirebirdExport
{
  public:
    explicit FirebirdExport(TFcore& core);

    // The whole export. True when every table was copied and committed;
    // UpgradeState is then 1 and the ini file written, and the caller ends
    // the program so that the user starts scalora2. False when the user
    // declined a question. A row the database refuses throws ExportError,
    // a database that cannot be opened ibase::Error; in every case the
    // Firebird database is left as it was and the connection closed.
    bool ExportToFirebird();

    // FirebirdFolder + "scalora2data.fdb".
    QString DatabaseFileName() const;

  private:
    struct OpenDatabaseGuard;

    void OpenDatabase(const QString& fileName);
    void CloseDatabase() noexcept;
    // Counts the rows of one Firebird table and, when there are any, asks
    // whether to delete them: false when the user declined, clear whether
    // there is anything to delete.
    bool AskToClearFirebirdTable(const QString& name, bool& clear);
    // The lookup indexes go before the rows are copied and are made again
    // from the copied rows in the copy's transaction; a copy that fails
    // makes them again from the rows that are left.
    void TakeDownLookupIndexes();
    void RestoreLookupIndexes() noexcept;
    void ExecExportSQL(const QString& sql);
    void OpenExportSQL(const QString& sql);
    void CopyTable(const ExportTable& table, tables::Table& source);
    tables::Table& SourceTable(const ExportTable& table);

    TFcore& core_;
    ibase::Connection IBDatabase1;
    std::optional<ibase::Transaction> IBTransaction1;
    std::optional<ibase::Statement> IBQuery1;
};
