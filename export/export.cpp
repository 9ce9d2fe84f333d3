#include "export/export.h"

#include "firebird/fbschema.h"
#include "firebird/fbtimestamp.h"
#include "library/busy.h"
#include "library/messages.h"
#include "library/textnum.h"
#include "platform/tables.h"
#include "tablestore/core.h"

#include <QStringList>
#include <charconv>

namespace
{

using K = ExportKind;

// Column names in statement order, with the table-store column each comes
// from. The openings keep the statement texts of the literal form, odd
// blanks included, so that a script of them matches what was always sent.
const std::vector<ExportTable>& BuildExportTables()
{
    static const std::vector<ExportTable> all = {
        {"DRAWING",
         "insert into DRAWING ( dgnum , dgname , units , rndgdp , notes ) values (",
         {{"dgnum", "Dgnum", K::Integer},
          {"dgname", "Dgname", K::Text, 40},
          {"units", "Units", K::Text, 20},
          {"rndgdp", "RndgDP", K::Integer},
          {"notes", "notes", K::Memo}},
         1,
         -1},
        {"LAYER",
         "insert into LAYER ( dgnum, layernum, layername, visib ) values (",
         {{"dgnum", "Dgnum", K::Integer},
          {"layernum", "Layernum", K::Integer},
          {"layername", "Name", K::Text, 40},
          {"visib", "Visib", K::Integer}},
         2,
         -1},
        {"PFL",
         "insert into PFL ( dgnum, pflnum, pflname ) values ( ",
         {{"dgnum", "Dgnum", K::Integer},
          {"pflnum", "Pflnum", K::Integer},
          {"pflname", "Name", K::Text, 40}},
         2,
         -1},
        {"PFLAYS",
         "insert into PFLAYS ( dgnum, pflnum, layernum, visib ) values (",
         {{"dgnum", "Dgnum", K::Integer},
          {"pflnum", "Pflnum", K::Integer},
          {"layernum", "Layernum", K::Integer},
          {"visib", "Visib", K::Integer}},
         3,
         -1},
        {"POINT",
         "insert into POINT ( dgnum, pointnum, lenx, leny, pxlx, pxly, rprts, layernum, "
         "createts ) values (",
         {{"dgnum", "Dgnum", K::Integer},
          {"pointnum", "Pointnum", K::Integer},
          {"lenx", "Lenx", K::Real},
          {"leny", "Leny", K::Real},
          {"pxlx", "Pxlx", K::Integer},
          {"pxly", "Pxly", K::Integer},
          {"rprts", "Rprts", K::DateTime},
          {"layernum", "Layernum", K::Integer},
          {"createts", "CreateTS", K::DateTime}},
         2,
         -1},
        {"SEG",
         "insert into SEG ( dgnum, segnum, frompt, topt, segtype, seglen, mlenx, mleny, mlenz,"
         "layernum, lenx1, leny1, lenx2, leny2, pxlx1,pxly1, pxlx2,pxly2, createts, dotted, "
         "xorflag, measured, faint ) values (",
         {{"dgnum", "Dgnum", K::Integer},        {"segnum", "Segnum", K::Integer},
          {"frompt", "FromPt", K::Integer},      {"topt", "ToPt", K::Integer},
          {"segtype", "SegType", K::Integer},    {"seglen", "Seglen", K::Real},
          {"mlenx", "Mlenx", K::Real},           {"mleny", "Mleny", K::Real},
          {"mlenz", "Mlenz", K::Real},           {"layernum", "Layernum", K::Integer},
          {"lenx1", "Lenx1", K::Real},           {"leny1", "Leny1", K::Real},
          {"lenx2", "Lenx2", K::Real},           {"leny2", "Leny2", K::Real},
          {"pxlx1", "Pxlx1", K::Integer},        {"pxly1", "Pxly1", K::Integer},
          {"pxlx2", "Pxlx2", K::Integer},        {"pxly2", "Pxly2", K::Integer},
          {"createts", "CreateTS", K::DateTime}, {"dotted", "Dotted", K::Integer},
          {"xorflag", "Xorflag", K::Boolean},    {"measured", "Measured", K::Boolean},
          {"faint", "faint", K::Boolean}},
         2,
         9},
        {"TEXT",
         "insert into TEXT ( dgnum, pointnum, layernum, text ) values (",
         {{"dgnum", "Dgnum", K::Integer},
          {"pointnum", "Pointnum", K::Integer},
          {"layernum", "Layernum", K::Integer},
          {"text", "Text", K::Text, 80}},
         2,
         -1},
    };
    return all;
}

// Characters as the database counts them: a letter outside the basic
// plane is one character, not two UTF-16 units.
qsizetype CharacterCount(const QString& text)
{
    qsizetype n = 0;
    for (const QChar c : text) {
        if (!c.isLowSurrogate())
            ++n;
    }
    return n;
}

long long IntegerOf(const tables::Field& field)
{
    if (field.Value.typeId() == QMetaType::Double)
        return static_cast<long long>(field.Value.toDouble());
    return field.Value.toLongLong();
}

// Not a text or a blob: the engine keeps numbers as whole numbers and reals.
bool IsNumber(const tables::Field& field)
{
    const int type = field.Value.typeId();
    return type != QMetaType::QString && type != QMetaType::QByteArray;
}

QString KeyDescription(const ExportTable& table, const std::vector<ibase::Value>& values)
{
    QStringList parts;
    for (int i = 0; i < table.KeyColumns && i < int(values.size()); ++i)
        parts << QStringLiteral("%1 %2").arg(QString::fromLatin1(table.Columns[size_t(i)].Name),
                                             values[size_t(i)].AsText());
    return parts.join(QStringLiteral(", "));
}

ExportError RowError(const ExportTable& table, const std::vector<ibase::Value>& values,
                     const QString& reason)
{
    return ExportError(
        QStringLiteral("Cannot copy %1 row %2 to Firebird:\n%3")
            .arg(QString::fromLatin1(table.Name), KeyDescription(table, values), reason)
            .toStdString());
}

QString ValueLiteral(const ibase::Value& value)
{
    if (value.IsNull())
        return QStringLiteral("NULL");
    if (value.IsReal())
        return RealLiteral(value.AsDouble());
    if (value.IsText())
        return StringLiteral(value.AsText());
    if (value.IsTimestamp())
        return InSingleQuotes(value.AsText());
    return value.AsText();
}

} // namespace

const std::vector<ExportTable>& ExportTables()
{
    return BuildExportTables();
}

QString RealLiteral(double x)
{
    // The shortest text that reads back as the same double: no measured
    // length changes and no two points merge on the way.
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::general);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

QString StringLiteral(const QString& text)
{
    return InSingleQuotes(EscapeApostrophes(text));
}

namespace
{

// The fields of a dataset that a table's statement takes, looked up once for
// a pass over all its rows: a column the store does not have (an old
// schema) has none and reads as empty.
std::vector<const tables::Field*> FieldsFor(const ExportTable& table, tables::DataSet& row)
{
    std::vector<const tables::Field*> fields;
    fields.reserve(table.Columns.size());
    for (const ExportColumn& column : table.Columns)
        fields.push_back(row.FindField(QString::fromLatin1(column.Source)));
    return fields;
}

std::vector<ibase::Value> ValuesOf(const ExportTable& table,
                                   const std::vector<const tables::Field*>& fields)
{
    std::vector<ibase::Value> values;
    values.reserve(table.Columns.size());
    for (size_t i = 0; i < table.Columns.size(); ++i) {
        const ExportColumn& column = table.Columns[i];
        const tables::Field* field = fields[i];
        const bool empty = field == nullptr || field->IsNull();
        switch (column.Kind) {
        case K::Integer:
            values.emplace_back(empty ? 0LL : IntegerOf(*field));
            break;
        case K::Real:
            // A text the table store could not take for a number would
            // arrive as 0: the row is refused, as the health check lists it.
            if (!empty && !IsNumber(*field))
                throw RowError(
                    table, values,
                    QStringLiteral("%1 holds %2, which is not a number (Database "
                                   "Healthcheck lists every such length)")
                        .arg(QString::fromLatin1(column.Name), InDoubleQuotes(field->AsString())));
            values.emplace_back(empty ? 0.0 : field->AsFloat());
            break;
        case K::DateTime: {
            ibase::Value stamp;
            if (!empty && !ToTimestamp(field->AsDateTime(), stamp))
                throw RowError(table, values,
                               QStringLiteral("%1 holds %2, which is not a date between the years "
                                              "1 and 9999")
                                   .arg(QString::fromLatin1(column.Name))
                                   .arg(field->AsDateTime(), 0, 'g', 17));
            values.push_back(stamp);
            break;
        }
        case K::Boolean:
            values.emplace_back(!empty && field->AsBoolean() ? 1 : 0);
            break;
        case K::Text:
        case K::Memo: {
            const QString text = empty ? QString() : field->AsString();
            const qsizetype length = CharacterCount(text);
            if (column.Kind == K::Text && length > column.MaxChars)
                throw RowError(table, values,
                               QStringLiteral("%1 has %2 characters, the column holds %3")
                                   .arg(QString::fromLatin1(column.Name))
                                   .arg(length)
                                   .arg(column.MaxChars));
            values.emplace_back(text);
            break;
        }
        }
    }
    return values;
}

} // namespace

std::vector<ibase::Value> ExportRowValues(const ExportTable& table, tables::DataSet& row)
{
    return ValuesOf(table, FieldsFor(table, row));
}

QString InsertStatementText(const ExportTable& table, const std::vector<ibase::Value>& values)
{
    QString sql = QString::fromLatin1(table.Opening);
    for (size_t i = 0; i < values.size(); ++i) {
        sql += ValueLiteral(values[i]);
        if (i + 1 == values.size())
            sql += QStringLiteral(" ) ");
        else if (int(i) == table.TightAfter)
            sql += QStringLiteral(" ,");
        else
            sql += QStringLiteral(" , ");
    }
    return sql;
}

QString InsertStatementWithParameters(const ExportTable& table)
{
    QStringList marks;
    for (size_t i = 0; i < table.Columns.size(); ++i)
        marks << QStringLiteral("?");
    return QString::fromLatin1(table.Opening) + marks.join(QStringLiteral(" , ")) +
           QStringLiteral(" ) ");
}

// ----------------------------------------------------------------- export

// Closes the connection however the export is left; an uncommitted
// transaction is rolled back on the way.
struct FirebirdExport::OpenDatabaseGuard {
    FirebirdExport& owner;
    ~OpenDatabaseGuard() { owner.CloseDatabase(); }
};

FirebirdExport::FirebirdExport(TFcore& core) : core_(core) {}

QString FirebirdExport::DatabaseFileName() const
{
    return core_.FirebirdFolder + QStringLiteral("scalora2data.fdb");
}

bool FirebirdExport::ExportToFirebird()
{
    if (!ConfirmOK(QStringLiteral("Export database to Firebird")))
        return false;
    const BusyGuard busy;
    const QString fileName = DatabaseFileName();
    const OpenDatabaseGuard closing{*this};
    OpenDatabase(fileName);

    // Every question is answered before anything is written: a declined
    // one leaves the database untouched.
    std::vector<QString> filled;
    for (const ExportTable& table : ExportTables()) {
        const QString name = QString::fromLatin1(table.Name);
        bool clear = false;
        if (!AskToClearFirebirdTable(name, clear))
            return false;
        if (clear)
            filled.push_back(name);
    }
    TakeDownLookupIndexes();
    // The clearing and the copying form one transaction, so that the
    // Firebird database holds either the whole new copy or what it held
    // before, whatever happens in between.
    try {
        IBTransaction1->Start();
        for (const QString& name : filled)
            ExecExportSQL(QStringLiteral("delete from ") + name);
        for (const ExportTable& table : ExportTables())
            CopyTable(table, SourceTable(table));
        RefreshFirebirdIndexStatistics(*IBTransaction1);
        CreateMissingFirebirdLookupIndexes(*IBTransaction1);
        IBTransaction1->Commit();
    } catch (...) {
        RestoreLookupIndexes();
        throw;
    }
    CloseDatabase();

    // The settings file says the export is done before anything tells the
    // user so: a run ended while the note is still up (killed, or the
    // machine off) starts the next time as after the export.
    core_.UpgradeState = 1;
    core_.WriteIniFile();
    ShowInfo(QStringLiteral("Data copied OK to") + QChar(u'\r') + InDoubleQuotes(fileName));
    ShowInfo(QStringLiteral("Now run Scalora2"));
    return true;
}

void FirebirdExport::OpenDatabase(const QString& fileName)
{
    IBDatabase1 =
        ibase::Connection::Attach(fileName, QStringLiteral("SYSDBA"), QStringLiteral("mavel39"));
    IBTransaction1.emplace(IBDatabase1);
}

void FirebirdExport::CloseDatabase() noexcept
{
    IBQuery1.reset();
    IBTransaction1.reset();
    try {
        IBDatabase1.Detach();
    } catch (const ibase::Error&) {
        // The handle is released whatever the library says, and nothing
        // uncommitted is left to lose.
    }
}

bool FirebirdExport::AskToClearFirebirdTable(const QString& name, bool& clear)
{
    OpenExportSQL(QStringLiteral("select count(*) as ct from ") + name);
    const long long ct = IBQuery1->Fetch() ? IBQuery1->Column(QStringLiteral("ct")).AsInt64() : 0;
    IBQuery1->Close();
    clear = ct > 0;
    return !clear || ConfirmOK(QStringLiteral("Clear data from FB table ") + name);
}

void FirebirdExport::TakeDownLookupIndexes()
{
    // The transaction has only counted rows so far.
    IBQuery1.reset();
    try {
        DropFirebirdLookupIndexes(*IBTransaction1);
        IBTransaction1->Commit();
    } catch (const ibase::Error&) {
        // Another program has the tables open: the rows go in with the
        // indexes kept up as they go, which is slower but ends the same.
        IBTransaction1->Rollback();
    }
}

void FirebirdExport::RestoreLookupIndexes() noexcept
{
    IBQuery1.reset();
    try {
        if (IBTransaction1 && IBTransaction1->IsActive())
            IBTransaction1->Rollback();
        EnsureFirebirdLookupIndexes(IBDatabase1);
    } catch (const ibase::Error&) {
        // The rows are as they were; the second program makes whatever
        // lookup index is missing when it opens the database.
    }
}

void FirebirdExport::ExecExportSQL(const QString& sql)
{
    IBQuery1.reset();
    IBQuery1.emplace(*IBTransaction1, sql);
    IBQuery1->Execute();
}

void FirebirdExport::OpenExportSQL(const QString& sql)
{
    ExecExportSQL(sql);
}

void FirebirdExport::CopyTable(const ExportTable& table, tables::Table& source)
{
    // One prepared statement per table, its values bound row by row.
    IBQuery1.reset();
    IBQuery1.emplace(*IBTransaction1, InsertStatementWithParameters(table));
    // The rows in the table's key order, read in one pass.
    tables::TableScan rows(source);
    rows.First();
    const std::vector<const tables::Field*> fields = FieldsFor(table, rows);
    for (; !rows.Eof(); rows.Next()) {
        const std::vector<ibase::Value> values = ValuesOf(table, fields);
        for (size_t i = 0; i < values.size(); ++i)
            IBQuery1->SetParam(int(i), values[i]);
        try {
            IBQuery1->Execute();
        } catch (const ibase::Error& e) {
            throw RowError(table, values, e.Text());
        }
    }
}

tables::Table& ExportSourceTable(TFcore& core, const ExportTable& table)
{
    const QString name = QString::fromLatin1(table.Name);
    if (name == QLatin1String("DRAWING"))
        return core.Table5;
    if (name == QLatin1String("LAYER"))
        return core.Table6;
    if (name == QLatin1String("PFL"))
        return core.Table8;
    if (name == QLatin1String("PFLAYS"))
        return core.Table7;
    if (name == QLatin1String("POINT"))
        return core.Table2;
    if (name == QLatin1String("SEG"))
        return core.Table1;
    return core.Table4;
}

tables::Table& FirebirdExport::SourceTable(const ExportTable& table)
{
    return ExportSourceTable(core_, table);
}

bool ExportWholeStore(TFcore& core)
{
    return FirebirdExport(core).ExportToFirebird();
}
