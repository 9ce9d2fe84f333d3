// Prepared statements and the fields of a row.

#include "platform/tables.h"

#include "platform/tablesinternal.h"

#include <QRegularExpression>
#include <cmath>
#include <limits>
#include <sqlite3.h>

namespace tables
{

using detail::Fail;
using detail::FailFrom;
using detail::Quoted;

// --------------------------------------------------------------- Statement

namespace
{

// Pragmas and the statements that begin and end transactions change no row:
// SQLite counts some of them as writes all the same.
bool ControlsTheConnection(const QString& sql)
{
    static const QRegularExpression control(
        QStringLiteral("^\\s*(PRAGMA|BEGIN|COMMIT|END|ROLLBACK|SAVEPOINT|RELEASE)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    return control.match(sql).hasMatch();
}

} // namespace

Statement::Statement(Database& db, const QString& sql) : db_(db), sql_(sql)
{
    if (!db.Handle()) {
        Fail(db.NotOpenText());
    }
    const QByteArray text = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db.Handle(), text.constData(), static_cast<int>(text.size()),
                                      &stmt_, nullptr);
    // Reading the schema may have waited for a lock too.
    db.EndLockWait();
    if (rc != SQLITE_OK) {
        FailFrom(db.Handle());
    }
    if (!stmt_) {
        Fail(QStringLiteral("Empty SQL statement"));
    }
    writes_ = !sqlite3_stmt_readonly(stmt_) && !ControlsTheConnection(sql);
}

Statement::~Statement()
{
    sqlite3_finalize(stmt_);
}

void Statement::Reset()
{
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

void Statement::Bind(int index, const QVariant& v)
{
    int rc = SQLITE_OK;
    if (!v.isValid() || v.isNull()) {
        rc = sqlite3_bind_null(stmt_, index);
    } else {
        switch (v.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::Char:
            rc = sqlite3_bind_int64(stmt_, index, v.toLongLong());
            break;
        case QMetaType::ULongLong:
        case QMetaType::ULong:
            rc = sqlite3_bind_int64(stmt_, index, static_cast<sqlite3_int64>(v.toULongLong()));
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(stmt_, index, v.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray b = v.toByteArray();
            rc = sqlite3_bind_blob(stmt_, index, b.constData(), static_cast<int>(b.size()),
                                   SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray t = v.toString().toUtf8();
            rc = sqlite3_bind_text(stmt_, index, t.constData(), static_cast<int>(t.size()),
                                   SQLITE_TRANSIENT);
        }
        }
    }
    if (rc != SQLITE_OK) {
        FailFrom(db_.Handle());
    }
}

void Statement::BindAll(const std::vector<QVariant>& values)
{
    for (size_t i = 0; i < values.size(); ++i) {
        Bind(static_cast<int>(i) + 1, values[i]);
    }
}

void Statement::BindName(const QString& name, const QVariant& value)
{
    for (int i = 1; i <= ParameterCount(); ++i) {
        if (ParameterName(i).compare(name, Qt::CaseInsensitive) == 0) {
            Bind(i, value);
        }
    }
}

void Statement::BindInt(int index, long long value)
{
    if (sqlite3_bind_int64(stmt_, index, value) != SQLITE_OK) {
        FailFrom(db_.Handle());
    }
}

void Statement::BindDouble(int index, double value)
{
    if (sqlite3_bind_double(stmt_, index, value) != SQLITE_OK) {
        FailFrom(db_.Handle());
    }
}

void Statement::BindText(int index, const QByteArray& utf8)
{
    if (sqlite3_bind_text(stmt_, index, utf8.constData(), static_cast<int>(utf8.size()),
                          SQLITE_TRANSIENT) != SQLITE_OK) {
        FailFrom(db_.Handle());
    }
}

bool Statement::Step()
{
    if (writes_ && !sqlite3_stmt_busy(stmt_)) {
        if (db_.TransactionDepth() == 0) {
            return StepInTransactionOfItsOwn();
        }
        db_.NoteWrite();
    }
    return StepOnce();
}

// A write of its own, outside any transaction, is a command too: it checks
// that the file is still the one opened (the owner of a transaction checks
// before it commits instead), and its commit carries a commit mark like any
// other.
bool Statement::StepInTransactionOfItsOwn()
{
    db_.RequireFileOpened();
    Transaction transaction(db_);
    db_.NoteWrite();
    const bool row = StepOnce();
    transaction.Commit();
    return row;
}

bool Statement::StepOnce()
{
    const int rc = sqlite3_step(stmt_);
    db_.EndLockWait();
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc == SQLITE_DONE) {
        return false;
    }
    // The reset would clear the error: its text and code are taken first.
    const QString text = QString::fromUtf8(db_.LastError().c_str());
    const int code = sqlite3_errcode(db_.Handle()) & 0xff;
    sqlite3_reset(stmt_);
    Fail(text, code);
}

void Statement::Run()
{
    while (Step()) {
    }
    sqlite3_reset(stmt_);
}

int Statement::ColumnCount() const
{
    return sqlite3_column_count(stmt_);
}

QString Statement::ColumnName(int i) const
{
    return QString::fromUtf8(sqlite3_column_name(stmt_, i));
}

QVariant Statement::Column(int i) const
{
    switch (sqlite3_column_type(stmt_, i)) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(sqlite3_column_int64(stmt_, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt_, i));
    case SQLITE_TEXT:
        return QVariant(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i)),
                              sqlite3_column_bytes(stmt_, i)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt_, i)),
                                   sqlite3_column_bytes(stmt_, i)));
    default:
        return QVariant();
    }
}

bool Statement::ColumnIsNull(int i) const
{
    return sqlite3_column_type(stmt_, i) == SQLITE_NULL;
}

// The typed reads take the column's value once and ask it its type, which
// costs a fraction of going through the statement twice.
int Statement::ColumnInt(int i) const
{
    sqlite3_value* v = sqlite3_column_value(stmt_, i);
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        return static_cast<int>(sqlite3_value_int64(v));
    case SQLITE_NULL:
        return 0;
    default:
        return Field(QString(), Column(i)).AsInteger();
    }
}

long long Statement::ColumnInt64(int i) const
{
    sqlite3_value* v = sqlite3_column_value(stmt_, i);
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        return sqlite3_value_int64(v);
    case SQLITE_NULL:
        return 0;
    default:
        return Column(i).toLongLong();
    }
}

double Statement::ColumnDouble(int i) const
{
    // The engine keeps no NaN: one here stands for a text or a blob.
    const double v = ColumnNumber(i);
    return std::isnan(v) ? Field(QString(), Column(i)).AsFloat() : v;
}

double Statement::ColumnNumber(int i) const
{
    sqlite3_value* v = sqlite3_column_value(stmt_, i);
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return sqlite3_value_double(v);
    case SQLITE_NULL:
        return 0;
    default:
        return std::numeric_limits<double>::quiet_NaN();
    }
}

bool Statement::ColumnBool(int i) const
{
    sqlite3_value* v = sqlite3_column_value(stmt_, i);
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        return sqlite3_value_int64(v) != 0;
    case SQLITE_NULL:
        return false;
    default:
        return Field(QString(), Column(i)).AsBoolean();
    }
}

QString Statement::ColumnText(int i) const
{
    if (sqlite3_column_type(stmt_, i) == SQLITE_TEXT) {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i)),
                                 sqlite3_column_bytes(stmt_, i));
    }
    return Field(QString(), Column(i)).AsString();
}

int Statement::ParameterCount() const
{
    return sqlite3_bind_parameter_count(stmt_);
}

QString Statement::ParameterName(int i) const
{
    const char* name = sqlite3_bind_parameter_name(stmt_, i);
    return name ? QString::fromUtf8(name + 1) : QString();
}

// ------------------------------------------------------------------- Field

int Field::AsInteger() const
{
    if (Value.typeId() == QMetaType::Double) {
        return static_cast<int>(Value.toDouble());
    }
    return Value.toInt();
}

double Field::AsFloat() const
{
    return Value.toDouble();
}

QString Field::AsString() const
{
    if (Value.typeId() == QMetaType::Double) {
        return QString::number(Value.toDouble(), 'g', 17);
    }
    return Value.toString();
}

bool Field::AsBoolean() const
{
    if (Value.typeId() == QMetaType::QString) {
        const QString t = Value.toString().trimmed().toLower();
        return t == QLatin1String("true") || t == QLatin1String("1");
    }
    return Value.toLongLong() != 0;
}

} // namespace tables
