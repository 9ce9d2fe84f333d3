#include "platform/ibase.h"
#include "platform/ibaseinternal.h"

#include <QStringList>

#include <ibase.h>

#include <limits>
#include <optional>

namespace ibase
{

using namespace detail;

namespace
{

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
    s.hasBlobColumn = false;
    for (int i = 0; i < s.out.Count(); ++i) {
        XSQLVAR& var = s.out.Var(i);
        const int base = var.sqltype & ~1;
        s.out.Attach(i, size_t(var.sqllen) + (base == SQL_VARYING ? 2 : 0));
        s.hasBlobColumn = s.hasBlobColumn || base == SQL_BLOB;
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

} // namespace

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

QString Statement::Plan() const
{
    RequireStatement(state_);
    const char items[] = {isc_info_sql_get_plan};
    // Plans of joins over several indexes run to a few hundred characters;
    // a buffer that is too small says so with isc_info_truncated.
    std::vector<char> buffer(4096);
    for (;;) {
        ISC_STATUS_ARRAY status;
        isc_dsql_sql_info(status, &state_->stmt, short(sizeof items), items, short(buffer.size()),
                          buffer.data());
        Check(status);
        if (buffer[0] == isc_info_truncated && buffer.size() < 32000) {
            buffer.assign(32000, 0);
            continue;
        }
        if (buffer[0] != isc_info_sql_get_plan)
            return QString();
        const int len = int(isc_vax_integer(buffer.data() + 1, 2));
        return QString::fromUtf8(buffer.data() + 3, len).trimmed();
    }
}

int64_t Statement::RowsAffected() const
{
    RequireStatement(state_);
    const char items[] = {isc_info_sql_records};
    char buffer[64] = {};
    ISC_STATUS_ARRAY status;
    isc_dsql_sql_info(status, &state_->stmt, short(sizeof items), items, short(sizeof buffer),
                      buffer);
    Check(status);
    if (buffer[0] != isc_info_sql_records)
        return 0;
    // The counts follow as clusters of a tag, a two-byte length and a value.
    int64_t rows = 0;
    const char* p = buffer + 3;
    const char* end = buffer + sizeof buffer;
    while (p + 3 <= end && *p != isc_info_end) {
        const char tag = *p;
        const short len = short(isc_vax_integer(p + 1, 2));
        if (p + 3 + len > end)
            break;
        const int64_t count = isc_vax_integer(p + 3, len);
        if (tag == isc_info_req_insert_count || tag == isc_info_req_update_count ||
            tag == isc_info_req_delete_count)
            rows += count;
        p += 3 + len;
    }
    return rows;
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
        TakeRow(s);
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
    TakeRow(s);
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

namespace
{

StatementState& CurrentRow(const std::unique_ptr<StatementState>& state, int index)
{
    if (!state || !state->hasRow)
        throw Error(QStringLiteral("No current row"));
    if (index < 0 || index >= state->out.Count())
        throw Error(QStringLiteral("No column %1 in a result of %2 columns")
                        .arg(index + 1)
                        .arg(state->out.Count()));
    return *state;
}

} // namespace

Value Statement::Column(int index) const
{
    StatementState& s = CurrentRow(state_, index);
    if (!s.rowDecoded)
        ReadRow(s);
    return s.row[size_t(index)];
}

int Statement::ColumnInt(int index) const
{
    const int64_t v = ReadInteger(CurrentRow(state_, index), index);
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        throw Error(QStringLiteral("Number out of range for a 32-bit whole number: %1").arg(v));
    return int(v);
}

double Statement::ColumnDouble(int index) const
{
    return ReadReal(CurrentRow(state_, index), index);
}

bool Statement::ColumnDayAndTime(int index, int32_t& day, uint32_t& time) const
{
    return ReadDayAndTime(CurrentRow(state_, index), index, day, time);
}

Value Statement::Column(const QString& name) const
{
    const int index = ColumnIndex(name);
    if (index < 0)
        throw Error(QStringLiteral("No column named %1").arg(name));
    return Column(index);
}

} // namespace ibase
