#include "platform/ibase.h"

#include <QDate>
#include <QFileInfo>
#include <QLocale>

#include <ibase.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <limits>
#include <optional>
#include <string>

namespace ibase
{

// ---------------------------------------------------------------- errors

Error::Error(const QString& text, long sqlCode, long gdsCode)
    : std::runtime_error(text.toStdString()), sqlCode_(sqlCode), gdsCode_(gdsCode)
{
}

namespace
{

constexpr unsigned short Dialect = 3;
constexpr short Utf8CharsetId = 4;  // UTF8 in the engine's character set table
constexpr int BytesPerUtf8Char = 4; // the engine sizes UTF8 columns at 4 bytes a character
constexpr unsigned short BlobSegmentSize = 16384;

bool Failed(const ISC_STATUS* status)
{
    return status[0] == 1 && status[1] != 0;
}

// The library's own text for a status vector, one line per message.
QString StatusText(const ISC_STATUS* status)
{
    QStringList lines;
    const ISC_STATUS* cursor = status;
    char buffer[1024];
    while (fb_interpret(buffer, sizeof buffer, &cursor) > 0)
        lines << QString::fromUtf8(buffer);
    if (lines.isEmpty())
        lines << QStringLiteral("Unknown database error %1").arg(status[1]);
    return lines.join(QLatin1Char('\n'));
}

[[noreturn]] void ThrowStatus(const ISC_STATUS* status)
{
    throw Error(StatusText(status), isc_sqlcode(status), status[1]);
}

void Check(const ISC_STATUS* status)
{
    if (Failed(status))
        ThrowStatus(status);
}

// A local path the embedded engine opens in-process. A relative name could
// be taken for an alias of the engine's configuration, so it is made
// absolute; a ':' would send the request to a host of that name.
QString LocalDatabasePath(const QString& path)
{
    if (path.trimmed().isEmpty())
        throw Error(QStringLiteral("No database file name given"));
    if (path.contains(QLatin1Char(':')))
        throw Error(
            QStringLiteral("Database file name must not contain ':' (read as host:path): %1")
                .arg(path));
    return QFileInfo(path).absoluteFilePath();
}

void AppendDpbText(std::string& dpb, char tag, const QString& value, const char* what)
{
    const QByteArray bytes = value.toUtf8();
    if (bytes.size() > 255)
        throw Error(QStringLiteral("%1 is too long").arg(QLatin1String(what)));
    dpb += tag;
    dpb += char(bytes.size());
    dpb.append(bytes.constData(), size_t(bytes.size()));
}

QString SqlQuoted(const QString& text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

// ------------------------------------------------------------ timestamps

void CheckTimestamp(const Timestamp& t, bool withDate)
{
    const bool timeOk = t.Hour >= 0 && t.Hour <= 23 && t.Minute >= 0 && t.Minute <= 59 &&
                        t.Second >= 0 && t.Second <= 59 && t.Fraction >= 0 && t.Fraction <= 9999;
    const bool dateOk =
        !withDate || (t.Year >= 1 && t.Year <= 9999 && QDate::isValid(t.Year, t.Month, t.Day));
    if (!timeOk || !dateOk)
        throw Error(QStringLiteral("Invalid timestamp %1").arg(Value(t).AsText()));
}

struct tm TmOf(const Timestamp& t)
{
    struct tm out {
    };
    out.tm_year = t.Year - 1900;
    out.tm_mon = t.Month - 1;
    out.tm_mday = t.Day;
    out.tm_hour = t.Hour;
    out.tm_min = t.Minute;
    out.tm_sec = t.Second;
    return out;
}

// The library's encoder keeps whole seconds only; the fraction is added in
// the engine's unit of 1/10000 s.
ISC_TIMESTAMP EncodeTimestamp(const Timestamp& t)
{
    CheckTimestamp(t, true);
    const struct tm parts = TmOf(t);
    ISC_TIMESTAMP out{};
    isc_encode_timestamp(&parts, &out);
    out.timestamp_time += ISC_TIME(t.Fraction);
    return out;
}

void FillTime(Timestamp& t, const struct tm& parts, ISC_TIME time)
{
    t.Hour = parts.tm_hour;
    t.Minute = parts.tm_min;
    t.Second = parts.tm_sec;
    t.Fraction = int(time % 10000);
}

void FillDate(Timestamp& t, const struct tm& parts)
{
    t.Year = parts.tm_year + 1900;
    t.Month = parts.tm_mon + 1;
    t.Day = parts.tm_mday;
}

Timestamp DecodeTimestamp(const ISC_TIMESTAMP& value)
{
    struct tm parts {
    };
    isc_decode_timestamp(&value, &parts);
    Timestamp out;
    FillDate(out, parts);
    FillTime(out, parts, value.timestamp_time);
    return out;
}

Timestamp DecodeDate(const ISC_DATE& value)
{
    struct tm parts {
    };
    isc_decode_sql_date(&value, &parts);
    Timestamp out;
    FillDate(out, parts);
    return out;
}

Timestamp DecodeTime(const ISC_TIME& value)
{
    struct tm parts {
    };
    isc_decode_sql_time(&value, &parts);
    Timestamp out;
    FillTime(out, parts, value);
    return out;
}

} // namespace

// ---------------------------------------------------------------- values

int64_t Value::AsInt64() const
{
    if (IsNull())
        return 0;
    if (IsInteger())
        return std::get<int64_t>(data_);
    if (IsReal()) {
        const double d = std::get<double>(data_);
        if (!std::isfinite(d) || std::fabs(d) >= 9.2e18)
            throw Error(QStringLiteral("Number out of range for a whole number: %1").arg(AsText()));
        return std::llround(d);
    }
    if (IsText()) {
        bool ok = false;
        const qlonglong v = std::get<QString>(data_).trimmed().toLongLong(&ok);
        if (!ok)
            throw Error(QStringLiteral("Not a whole number: \"%1\"").arg(std::get<QString>(data_)));
        return v;
    }
    throw Error(QStringLiteral("A timestamp is not a number"));
}

int Value::AsInt() const
{
    const int64_t v = AsInt64();
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        throw Error(QStringLiteral("Number out of range for a 32-bit whole number: %1").arg(v));
    return int(v);
}

double Value::AsDouble() const
{
    if (IsNull())
        return 0;
    if (IsInteger())
        return double(std::get<int64_t>(data_));
    if (IsReal())
        return std::get<double>(data_);
    if (IsText()) {
        bool ok = false;
        // QString::toDouble reads a point as decimal separator in every locale.
        const double v = std::get<QString>(data_).trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(v))
            throw Error(QStringLiteral("Not a number: \"%1\"").arg(std::get<QString>(data_)));
        return v;
    }
    throw Error(QStringLiteral("A timestamp is not a number"));
}

QString Value::AsText() const
{
    if (IsNull())
        return QString();
    if (IsInteger())
        return QString::number(std::get<int64_t>(data_));
    if (IsReal())
        return QString::number(std::get<double>(data_), 'g', QLocale::FloatingPointShortest);
    if (IsText())
        return std::get<QString>(data_);
    const Timestamp& t = std::get<Timestamp>(data_);
    QString text = QStringLiteral("%1-%2-%3 %4:%5:%6")
                       .arg(t.Year, 4, 10, QLatin1Char('0'))
                       .arg(t.Month, 2, 10, QLatin1Char('0'))
                       .arg(t.Day, 2, 10, QLatin1Char('0'))
                       .arg(t.Hour, 2, 10, QLatin1Char('0'))
                       .arg(t.Minute, 2, 10, QLatin1Char('0'))
                       .arg(t.Second, 2, 10, QLatin1Char('0'));
    if (t.Fraction != 0)
        text += QStringLiteral(".%1").arg(t.Fraction, 4, 10, QLatin1Char('0'));
    return text;
}

Timestamp Value::AsTimestamp() const
{
    if (IsNull())
        return Timestamp();
    if (IsTimestamp())
        return std::get<Timestamp>(data_);
    throw Error(QStringLiteral("Not a timestamp: %1").arg(AsText()));
}

// ------------------------------------------------------------ the handles

namespace detail
{

struct ConnectionState {
    isc_db_handle db = 0;
    QString path;
    std::vector<TransactionState*> transactions;
    std::vector<StatementState*> statements;
};

struct TransactionState {
    explicit TransactionState(std::shared_ptr<ConnectionState> c) : conn(std::move(c))
    {
        conn->transactions.push_back(this);
    }
    ~TransactionState() { std::erase(conn->transactions, this); }

    std::shared_ptr<ConnectionState> conn;
    isc_tr_handle tr = 0;
    // Counts the transactions started on this object, so a statement can
    // tell that the one its result set belonged to has ended.
    uint64_t generation = 0;
};

} // namespace detail

namespace
{

using detail::ConnectionState;
using detail::TransactionState;

void RequireAttached(const ConnectionState& conn)
{
    if (conn.db == 0)
        throw Error(QStringLiteral("The database connection is closed"));
}

void StartTransaction(TransactionState& tx)
{
    RequireAttached(*tx.conn);
    if (tx.tr != 0)
        throw Error(QStringLiteral("The transaction is already active"));
    // Snapshot isolation as the library's default, but without waiting on a
    // lock: a conflict between two transactions of this one process would
    // otherwise stall the only thread until the engine declares a deadlock.
    static const char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_concurrency,
                               isc_tpb_nowait};
    ISC_STATUS_ARRAY status;
    isc_start_transaction(status, &tx.tr, 1, &tx.conn->db, short(sizeof tpb), tpb);
    Check(status);
    ++tx.generation;
}

void EnsureActive(TransactionState& tx)
{
    if (tx.tr == 0)
        StartTransaction(tx);
}

// Ends a transaction without throwing; used where an error has nowhere to go.
void RollbackQuietly(TransactionState& tx)
{
    if (tx.tr == 0)
        return;
    ISC_STATUS_ARRAY status;
    isc_rollback_transaction(status, &tx.tr);
    tx.tr = 0;
}

} // namespace

// --------------------------------------------------------------- statements

namespace detail
{

// An XSQLDA with room for n variables, with the buffers its variables point at.
class Sqlda
{
  public:
    explicit Sqlda(int n = 1) { Resize(n); }

    void Resize(int n)
    {
        n = std::max(n, 1);
        da_.reset(static_cast<XSQLDA*>(std::calloc(1, XSQLDA_LENGTH(n))));
        if (!da_)
            throw std::bad_alloc();
        da_->version = SQLDA_VERSION1;
        da_->sqln = short(n);
        buffers_.assign(size_t(n), {});
        indicators_.assign(size_t(n), 0);
    }

    XSQLDA* get() const { return da_.get(); }
    int Count() const { return da_->sqld; }
    XSQLVAR& Var(int i) const { return da_->sqlvar[i]; }

    // Points variable i at a fresh buffer of size bytes and its indicator.
    char* Attach(int i, size_t size)
    {
        // Eight-byte units keep every buffer aligned for the numbers in it.
        buffers_[size_t(i)].assign((std::max<size_t>(size, 8) + 7) / 8, 0);
        XSQLVAR& var = Var(i);
        var.sqldata = reinterpret_cast<char*>(buffers_[size_t(i)].data());
        var.sqlind = &indicators_[size_t(i)];
        return var.sqldata;
    }

  private:
    struct FreeDeleter {
        void operator()(XSQLDA* p) const { std::free(p); }
    };
    std::unique_ptr<XSQLDA, FreeDeleter> da_;
    std::vector<std::vector<uint64_t>> buffers_;
    std::vector<short> indicators_;
};

struct StatementState {
    explicit StatementState(std::shared_ptr<TransactionState> t) : tx(std::move(t))
    {
        tx->conn->statements.push_back(this);
    }
    ~StatementState()
    {
        Free();
        std::erase(tx->conn->statements, this);
    }

    void Free()
    {
        if (stmt == 0)
            return;
        ISC_STATUS_ARRAY status;
        isc_dsql_free_statement(status, &stmt, DSQL_drop);
        stmt = 0;
    }

    ConnectionState& Conn() const { return *tx->conn; }

    std::shared_ptr<TransactionState> tx;
    isc_stmt_handle stmt = 0;
    QString sql;
    int type = 0;
    Sqlda in;
    Sqlda out;
    // The parameters as the engine described them; a bound value may
    // replace type and length, a NULL goes back to these.
    std::vector<XSQLVAR> describedIn;
    std::vector<QString> paramNames; // upper-case name per placeholder, empty for ?
    std::vector<std::optional<Value>> params;
    bool cursorOpen = false;
    uint64_t cursorGeneration = 0;
    bool singletonPending = false;
    bool hasRow = false;
    std::vector<Value> row;
};

} // namespace detail

namespace
{

using detail::Sqlda;
using detail::StatementState;

bool IsIdentStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}
bool IsIdentChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

bool IsExecuteBlock(const QString& sql)
{
    const QStringList words = sql.simplified().split(QLatin1Char(' '));
    return words.size() >= 2 &&
           words[0].compare(QLatin1String("execute"), Qt::CaseInsensitive) == 0 &&
           words[1].compare(QLatin1String("block"), Qt::CaseInsensitive) == 0;
}

// Rewrites :name placeholders as ? (the engine knows only ?), recording one
// name per placeholder. Strings, quoted names and comments are left alone;
// so is a procedural block, whose :names are its own variables.
QString TranslatePlaceholders(const QString& sql, std::vector<QString>& names)
{
    names.clear();
    if (IsExecuteBlock(sql))
        return sql;
    QString out;
    out.reserve(sql.size());
    const int n = int(sql.size());
    int i = 0;
    while (i < n) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            int j = i + 1;
            while (j < n && sql[j] != c)
                ++j;
            out += sql.mid(i, j + 1 - i);
            i = j + 1;
        } else if (c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            int j = int(sql.indexOf(QLatin1Char('\n'), i));
            j = j < 0 ? n : j;
            out += sql.mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char('/') && i + 1 < n && sql[i + 1] == QLatin1Char('*')) {
            int j = int(sql.indexOf(QLatin1String("*/"), i + 2));
            j = j < 0 ? n : j + 2;
            out += sql.mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char('?')) {
            names.emplace_back();
            out += c;
            ++i;
        } else if (c == QLatin1Char(':') && i + 1 < n && IsIdentStart(sql[i + 1])) {
            int j = i + 1;
            while (j < n && IsIdentChar(sql[j]))
                ++j;
            names.push_back(sql.mid(i + 1, j - i - 1).toUpper());
            out += QLatin1Char('?');
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

int StatementType(StatementState& s)
{
    const char items[] = {isc_info_sql_stmt_type};
    char buffer[16] = {};
    ISC_STATUS_ARRAY status;
    isc_dsql_sql_info(status, &s.stmt, short(sizeof items), items, short(sizeof buffer), buffer);
    Check(status);
    if (buffer[0] != isc_info_sql_stmt_type)
        throw Error(QStringLiteral("The statement type could not be read"));
    const short len = short(isc_vax_integer(buffer + 1, 2));
    return int(isc_vax_integer(buffer + 3, len));
}

void DescribeOutput(StatementState& s)
{
    if (s.out.Count() > s.out.get()->sqln) {
        s.out.Resize(s.out.Count());
        ISC_STATUS_ARRAY status;
        isc_dsql_describe(status, &s.stmt, SQLDA_VERSION1, s.out.get());
        Check(status);
    }
    for (int i = 0; i < s.out.Count(); ++i) {
        XSQLVAR& var = s.out.Var(i);
        const int base = var.sqltype & ~1;
        s.out.Attach(i, size_t(var.sqllen) + (base == SQL_VARYING ? 2 : 0));
    }
}

void DescribeInput(StatementState& s)
{
    ISC_STATUS_ARRAY status;
    isc_dsql_describe_bind(status, &s.stmt, SQLDA_VERSION1, s.in.get());
    Check(status);
    if (s.in.Count() > s.in.get()->sqln) {
        s.in.Resize(s.in.Count());
        isc_dsql_describe_bind(status, &s.stmt, SQLDA_VERSION1, s.in.get());
        Check(status);
    }
    s.describedIn.clear();
    for (int i = 0; i < s.in.Count(); ++i)
        s.describedIn.push_back(s.in.Var(i));
    s.params.assign(size_t(s.in.Count()), std::nullopt);
    // The names only mean something when every placeholder was seen.
    if (s.paramNames.size() != size_t(s.in.Count()))
        s.paramNames.assign(size_t(s.in.Count()), QString());
}

void Prepare(StatementState& s)
{
    RequireAttached(s.Conn());
    EnsureActive(*s.tx);
    ISC_STATUS_ARRAY status;
    isc_dsql_allocate_statement(status, &s.Conn().db, &s.stmt);
    Check(status);
    const QString translated = TranslatePlaceholders(s.sql, s.paramNames);
    const QByteArray text = translated.toUtf8();
    isc_dsql_prepare(status, &s.tx->tr, &s.stmt, 0, text.constData(), Dialect, s.out.get());
    Check(status);
    s.type = StatementType(s);
    DescribeOutput(s);
    DescribeInput(s);
}

bool IsCursorType(int type)
{
    return type == isc_info_sql_stmt_select || type == isc_info_sql_stmt_select_for_upd;
}

// ---- reading a row

QString ReadBlob(StatementState& s, const ISC_QUAD& id)
{
    ISC_STATUS_ARRAY status;
    isc_blob_handle blob = 0;
    ISC_QUAD blobId = id;
    isc_open_blob2(status, &s.Conn().db, &s.tx->tr, &blob, &blobId, 0, nullptr);
    Check(status);
    QByteArray bytes;
    std::vector<char> segment(BlobSegmentSize);
    for (;;) {
        unsigned short got = 0;
        const ISC_STATUS rc = isc_get_segment(status, &blob, &got, BlobSegmentSize, segment.data());
        if (rc != 0 && rc != isc_segment) {
            if (rc == isc_segstr_eof)
                break;
            ISC_STATUS_ARRAY ignored;
            isc_close_blob(ignored, &blob);
            ThrowStatus(status);
        }
        bytes.append(segment.data(), got);
    }
    isc_close_blob(status, &blob);
    Check(status);
    return QString::fromUtf8(bytes);
}

// A CHAR(n) column of a UTF-8 database arrives as 4n bytes, the value
// followed by blanks; it is cut back to its n characters, still padded.
QString FixedText(const XSQLVAR& var)
{
    QString text = QString::fromUtf8(var.sqldata, var.sqllen);
    if ((var.sqlsubtype & 0xFF) == Utf8CharsetId) {
        const qsizetype width = var.sqllen / BytesPerUtf8Char;
        qsizetype end = text.size();
        while (end > width && text[end - 1] == QLatin1Char(' '))
            --end;
        text.truncate(end);
    }
    return text;
}

template <typename T> T Read(const XSQLVAR& var)
{
    T v;
    std::memcpy(&v, var.sqldata, sizeof v);
    return v;
}

Value ScaledInteger(int64_t raw, short scale)
{
    if (scale == 0)
        return Value(raw);
    return Value(double(raw) / std::pow(10.0, -scale));
}

Value ReadColumn(StatementState& s, const XSQLVAR& var)
{
    if ((var.sqltype & 1) && *var.sqlind < 0)
        return Value();
    switch (var.sqltype & ~1) {
    case SQL_TEXT:
        return Value(FixedText(var));
    case SQL_VARYING: {
        const short len = Read<short>(var);
        return Value(QString::fromUtf8(var.sqldata + 2, len));
    }
    case SQL_SHORT:
        return ScaledInteger(Read<int16_t>(var), var.sqlscale);
    case SQL_LONG:
        return ScaledInteger(Read<int32_t>(var), var.sqlscale);
    case SQL_INT64:
        return ScaledInteger(Read<int64_t>(var), var.sqlscale);
    case SQL_FLOAT:
        return Value(double(Read<float>(var)));
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return Value(Read<double>(var));
    case SQL_TIMESTAMP:
        return Value(DecodeTimestamp(Read<ISC_TIMESTAMP>(var)));
    case SQL_TYPE_DATE:
        return Value(DecodeDate(Read<ISC_DATE>(var)));
    case SQL_TYPE_TIME:
        return Value(DecodeTime(Read<ISC_TIME>(var)));
    case SQL_BOOLEAN:
        return Value(int(Read<FB_BOOLEAN>(var) != 0));
    case SQL_BLOB:
        return Value(ReadBlob(s, Read<ISC_QUAD>(var)));
    case SQL_NULL:
        return Value();
    default:
        throw Error(QStringLiteral("Column %1 has a type this program cannot read (%2)")
                        .arg(QString::fromUtf8(var.aliasname, var.aliasname_length))
                        .arg(var.sqltype & ~1));
    }
}

void ReadRow(StatementState& s)
{
    s.row.clear();
    for (int i = 0; i < s.out.Count(); ++i)
        s.row.push_back(ReadColumn(s, s.out.Var(i)));
    s.hasRow = true;
}

// ---- writing parameters

ISC_QUAD WriteBlob(StatementState& s, const QString& text)
{
    ISC_STATUS_ARRAY status;
    isc_blob_handle blob = 0;
    ISC_QUAD id{};
    isc_create_blob2(status, &s.Conn().db, &s.tx->tr, &blob, &id, 0, nullptr);
    Check(status);
    const QByteArray bytes = text.toUtf8();
    for (qsizetype at = 0; at < bytes.size(); at += BlobSegmentSize) {
        const auto len =
            static_cast<unsigned short>(std::min<qsizetype>(BlobSegmentSize, bytes.size() - at));
        isc_put_segment(status, &blob, len, bytes.constData() + at);
        if (Failed(status)) {
            ISC_STATUS_ARRAY ignored;
            isc_cancel_blob(ignored, &blob);
            ThrowStatus(status);
        }
    }
    isc_close_blob(status, &blob);
    Check(status);
    return id;
}

template <typename T> void Store(Sqlda& da, int i, short type, const T& v)
{
    XSQLVAR& var = da.Var(i);
    var.sqltype = short(type | 1);
    var.sqlscale = 0;
    var.sqllen = short(sizeof v);
    std::memcpy(da.Attach(i, sizeof v), &v, sizeof v);
    *var.sqlind = 0;
}

void StoreText(Sqlda& da, int i, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    if (bytes.size() > 32767)
        throw Error(QStringLiteral("Text of %1 bytes is too long for parameter %2")
                        .arg(bytes.size())
                        .arg(i + 1));
    XSQLVAR& var = da.Var(i);
    var.sqltype = SQL_TEXT | 1;
    var.sqlsubtype = Utf8CharsetId;
    var.sqlscale = 0;
    var.sqllen = short(bytes.size());
    std::memcpy(da.Attach(i, size_t(bytes.size())), bytes.constData(), size_t(bytes.size()));
    *var.sqlind = 0;
}

void StoreNull(Sqlda& da, int i, const XSQLVAR& described)
{
    XSQLVAR& var = da.Var(i);
    var.sqltype = short(described.sqltype | 1);
    var.sqlscale = described.sqlscale;
    var.sqlsubtype = described.sqlsubtype;
    var.sqllen = described.sqllen;
    da.Attach(i, size_t(std::max<short>(var.sqllen, 0)) + 2);
    *var.sqlind = -1;
}

void BindParam(StatementState& s, int i)
{
    const std::optional<Value>& value = s.params[size_t(i)];
    if (!value)
        throw Error(QStringLiteral("Parameter %1 has no value").arg(i + 1));
    const XSQLVAR& described = s.describedIn[size_t(i)];
    if (value->IsNull())
        StoreNull(s.in, i, described);
    else if ((described.sqltype & ~1) == SQL_BLOB)
        Store(s.in, i, SQL_BLOB, WriteBlob(s, value->AsText()));
    else if (value->IsInteger())
        Store(s.in, i, SQL_INT64, value->AsInt64());
    else if (value->IsReal())
        Store(s.in, i, SQL_DOUBLE, value->AsDouble());
    else if (value->IsTimestamp())
        Store(s.in, i, SQL_TIMESTAMP, EncodeTimestamp(value->AsTimestamp()));
    else
        StoreText(s.in, i, value->AsText());
}

void CloseCursor(StatementState& s)
{
    if (!s.cursorOpen)
        return;
    s.cursorOpen = false;
    s.hasRow = false;
    ISC_STATUS_ARRAY status;
    // A commit or rollback has already closed the result set of its own
    // transaction; only a result set still alive is closed here.
    const bool alive = s.tx->tr != 0 && s.tx->generation == s.cursorGeneration;
    isc_dsql_free_statement(status, &s.stmt, DSQL_close);
    if (alive)
        Check(status);
}

void RequireStatement(const std::unique_ptr<StatementState>& s)
{
    if (!s)
        throw Error(QStringLiteral("The statement was moved away"));
    RequireAttached(s->Conn());
    if (s->stmt == 0)
        throw Error(QStringLiteral("The statement was released with its connection"));
}

void DetachState(ConnectionState& conn, bool throwOnError)
{
    if (conn.db == 0)
        return;
    for (StatementState* s : conn.statements)
        s->Free();
    for (TransactionState* tx : conn.transactions)
        RollbackQuietly(*tx);
    ISC_STATUS_ARRAY status;
    isc_detach_database(status, &conn.db);
    if (Failed(status)) {
        // The handle is of no further use whatever the library said.
        conn.db = 0;
        if (throwOnError)
            ThrowStatus(status);
    }
    conn.db = 0;
}

} // namespace

// -------------------------------------------------------------- connection

Connection::Connection() = default;
Connection::Connection(Connection&&) noexcept = default;

Connection& Connection::operator=(Connection&& other) noexcept
{
    if (this != &other) {
        if (state_)
            DetachState(*state_, false);
        state_ = std::move(other.state_);
    }
    return *this;
}

Connection::~Connection()
{
    if (state_)
        DetachState(*state_, false);
}

Connection Connection::Attach(const QString& path, const QString& user, const QString& password)
{
    const QString local = LocalDatabasePath(path);
    std::string dpb(1, char(isc_dpb_version1));
    AppendDpbText(dpb, isc_dpb_user_name, user, "User name");
    if (!password.isEmpty())
        AppendDpbText(dpb, isc_dpb_password, password, "Password");
    AppendDpbText(dpb, isc_dpb_lc_ctype, QStringLiteral("UTF8"), "Character set");

    Connection c;
    c.state_ = std::make_shared<ConnectionState>();
    c.state_->path = local;
    const QByteArray name = local.toUtf8();
    ISC_STATUS_ARRAY status;
    isc_attach_database(status, 0, name.constData(), &c.state_->db, short(dpb.size()), dpb.data());
    Check(status);
    return c;
}

Connection Connection::Create(const QString& path, const QString& user, const QString& password)
{
    const QString local = LocalDatabasePath(path);
    QString sql =
        QStringLiteral("CREATE DATABASE %1 USER %2").arg(SqlQuoted(local), SqlQuoted(user));
    if (!password.isEmpty())
        sql += QStringLiteral(" PASSWORD %1").arg(SqlQuoted(password));
    sql += QStringLiteral(" SET NAMES 'UTF8' DEFAULT CHARACTER SET UTF8");

    Connection c;
    c.state_ = std::make_shared<ConnectionState>();
    c.state_->path = local;
    const QByteArray text = sql.toUtf8();
    isc_tr_handle tr = 0;
    ISC_STATUS_ARRAY status;
    isc_dsql_execute_immediate(status, &c.state_->db, &tr, 0, text.constData(), Dialect, nullptr);
    Check(status);
    return c;
}

bool Connection::IsAttached() const
{
    return state_ && state_->db != 0;
}

QString Connection::Path() const
{
    return state_ ? state_->path : QString();
}

void Connection::Detach()
{
    if (state_)
        DetachState(*state_, true);
}

// ------------------------------------------------------------- transaction

Transaction::Transaction(Connection& connection)
{
    if (!connection.state_)
        throw Error(QStringLiteral("The database connection is closed"));
    state_ = std::make_shared<TransactionState>(connection.state_);
    StartTransaction(*state_);
}

Transaction::Transaction(Transaction&&) noexcept = default;

Transaction& Transaction::operator=(Transaction&& other) noexcept
{
    if (this != &other) {
        if (state_)
            RollbackQuietly(*state_);
        state_ = std::move(other.state_);
    }
    return *this;
}

Transaction::~Transaction()
{
    if (state_)
        RollbackQuietly(*state_);
}

bool Transaction::IsActive() const
{
    return state_ && state_->tr != 0;
}

void Transaction::Start()
{
    if (!state_)
        throw Error(QStringLiteral("The transaction was moved away"));
    StartTransaction(*state_);
}

void Transaction::Commit()
{
    if (!IsActive())
        throw Error(QStringLiteral("No transaction is active"));
    ISC_STATUS_ARRAY status;
    isc_commit_transaction(status, &state_->tr);
    Check(status);
    state_->tr = 0;
}

void Transaction::Rollback()
{
    if (!IsActive())
        throw Error(QStringLiteral("No transaction is active"));
    ISC_STATUS_ARRAY status;
    isc_rollback_transaction(status, &state_->tr);
    Check(status);
    state_->tr = 0;
}

void Transaction::ExecuteImmediate(const QString& sql)
{
    if (!state_)
        throw Error(QStringLiteral("The transaction was moved away"));
    RequireAttached(*state_->conn);
    EnsureActive(*state_);
    const QByteArray text = sql.toUtf8();
    ISC_STATUS_ARRAY status;
    isc_dsql_execute_immediate(status, &state_->conn->db, &state_->tr, 0, text.constData(), Dialect,
                               nullptr);
    Check(status);
}

// --------------------------------------------------------------- statement

Statement::Statement(Transaction& transaction, const QString& sql)
{
    if (!transaction.state_)
        throw Error(QStringLiteral("The transaction was moved away"));
    state_ = std::make_unique<StatementState>(transaction.state_);
    state_->sql = sql;
    Prepare(*state_);
}

Statement::~Statement() = default;
Statement::Statement(Statement&&) noexcept = default;
Statement& Statement::operator=(Statement&&) noexcept = default;

QString Statement::Sql() const
{
    return state_ ? state_->sql : QString();
}

bool Statement::ReturnsRows() const
{
    return state_ && state_->out.Count() > 0;
}

int Statement::ParamCount() const
{
    return state_ ? int(state_->params.size()) : 0;
}

void Statement::SetParam(int index, const Value& value)
{
    RequireStatement(state_);
    if (index < 0 || index >= ParamCount())
        throw Error(QStringLiteral("No parameter %1 in a statement with %2")
                        .arg(index + 1)
                        .arg(ParamCount()));
    state_->params[size_t(index)] = value;
}

void Statement::SetParam(const QString& name, const Value& value)
{
    RequireStatement(state_);
    const QString key = name.startsWith(QLatin1Char(':')) ? name.mid(1).toUpper() : name.toUpper();
    bool found = false;
    for (size_t i = 0; i < state_->paramNames.size(); ++i) {
        if (!key.isEmpty() && state_->paramNames[i] == key) {
            state_->params[i] = value;
            found = true;
        }
    }
    if (!found)
        throw Error(QStringLiteral("Unknown parameter :%1").arg(name));
}

void Statement::ClearParams()
{
    if (state_)
        state_->params.assign(state_->params.size(), std::nullopt);
}

void Statement::Execute()
{
    RequireStatement(state_);
    StatementState& s = *state_;
    CloseCursor(s);
    s.singletonPending = false;
    s.hasRow = false;
    EnsureActive(*s.tx);
    for (int i = 0; i < s.in.Count(); ++i)
        BindParam(s, i);
    XSQLDA* in = s.in.Count() > 0 ? s.in.get() : nullptr;
    ISC_STATUS_ARRAY status;
    if (IsCursorType(s.type)) {
        isc_dsql_execute(status, &s.tx->tr, &s.stmt, SQLDA_VERSION1, in);
        Check(status);
        s.cursorOpen = true;
        s.cursorGeneration = s.tx->generation;
    } else if (s.out.Count() > 0) {
        isc_dsql_execute2(status, &s.tx->tr, &s.stmt, SQLDA_VERSION1, in, s.out.get());
        Check(status);
        s.singletonPending = true;
    } else {
        isc_dsql_execute(status, &s.tx->tr, &s.stmt, SQLDA_VERSION1, in);
        Check(status);
    }
}

bool Statement::Fetch()
{
    RequireStatement(state_);
    StatementState& s = *state_;
    if (s.singletonPending) {
        s.singletonPending = false;
        ReadRow(s);
        return true;
    }
    s.hasRow = false;
    if (!s.cursorOpen)
        return false;
    if (s.tx->tr == 0 || s.tx->generation != s.cursorGeneration) {
        s.cursorOpen = false;
        throw Error(QStringLiteral("The result set was closed by the end of its transaction"));
    }
    ISC_STATUS_ARRAY status;
    const ISC_STATUS rc = isc_dsql_fetch(status, &s.stmt, SQLDA_VERSION1, s.out.get());
    if (rc == 100) {
        CloseCursor(s);
        return false;
    }
    Check(status);
    ReadRow(s);
    return true;
}

void Statement::Close()
{
    if (state_ && state_->stmt != 0 && state_->Conn().db != 0)
        CloseCursor(*state_);
}

int Statement::ColumnCount() const
{
    return state_ ? state_->out.Count() : 0;
}

QString Statement::ColumnName(int index) const
{
    if (index < 0 || index >= ColumnCount())
        throw Error(QStringLiteral("No column %1 in a result of %2 columns")
                        .arg(index + 1)
                        .arg(ColumnCount()));
    const XSQLVAR& var = state_->out.Var(index);
    return QString::fromUtf8(var.aliasname, var.aliasname_length);
}

int Statement::ColumnIndex(const QString& name) const
{
    for (int i = 0; i < ColumnCount(); ++i)
        if (ColumnName(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

Value Statement::Column(int index) const
{
    if (!state_ || !state_->hasRow)
        throw Error(QStringLiteral("No current row"));
    if (index < 0 || index >= ColumnCount())
        throw Error(QStringLiteral("No column %1 in a result of %2 columns")
                        .arg(index + 1)
                        .arg(ColumnCount()));
    return state_->row[size_t(index)];
}

Value Statement::Column(const QString& name) const
{
    const int index = ColumnIndex(name);
    if (index < 0)
        throw Error(QStringLiteral("No column named %1").arg(name));
    return Column(index);
}

} // namespace ibase
