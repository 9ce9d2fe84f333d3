#include "platform/tables.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <sqlite3.h>

namespace tables {

namespace {

// Prepared statements kept per connection; past this many the cache is
// emptied, so texts with literal values in them cannot grow it for ever.
constexpr size_t MaxCachedStatements = 200;

[[noreturn]] void Fail(const QString& text)
{
    throw EngineError(text.toStdString());
}

QString Quoted(const QString& name)
{
    return '"' + name + '"';
}

// Calls f on each stretch of the text that lies outside single-quoted
// string literals and appends its result; literals are copied unchanged.
template <typename F> QString OutsideLiterals(const QString& sql, F f)
{
    QString out;
    QString chunk;
    bool inLiteral = false;
    for (const QChar c : sql) {
        if (c == '\'') {
            if (!inLiteral) {
                out += f(chunk);
                chunk.clear();
            }
            inLiteral = !inLiteral;
            out += c;
        } else if (inLiteral) {
            out += c;
        } else {
            chunk += c;
        }
    }
    out += f(chunk);
    return out;
}

} // namespace

QString MapTableNames(const QString& sql)
{
    static const QRegularExpression fileName(
        QStringLiteral("\"?\\b(drawing|pflays|point|seg|text|layer|pfl)\\.db\\b\"?"),
        QRegularExpression::CaseInsensitiveOption);
    return OutsideLiterals(sql, [](QString chunk) {
        QString out;
        qsizetype last = 0;
        auto it = fileName.globalMatch(chunk);
        while (it.hasNext()) {
            const auto m = it.next();
            out += chunk.mid(last, m.capturedStart() - last);
            out += m.captured(1).toLower();
            last = m.capturedEnd();
        }
        out += chunk.mid(last);
        return out;
    });
}

QString PlainTableName(const QString& name)
{
    QString t = name.trimmed();
    if (t.startsWith('"') && t.endsWith('"') && t.size() >= 2) {
        t = t.mid(1, t.size() - 2);
    }
    if (t.endsWith(QStringLiteral(".db"), Qt::CaseInsensitive)) {
        t.chop(3);
    }
    return t.toLower();
}

QStringList ParameterNames(const QString& sql)
{
    QStringList names;
    QChar quote;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (!quote.isNull()) {
            if (c == quote) {
                quote = QChar();
            }
            continue;
        }
        if (c == '\'' || c == '"') {
            quote = c;
            continue;
        }
        if (c != ':' || i + 1 >= sql.size()) {
            continue;
        }
        const QChar first = sql[i + 1];
        if (!first.isLetter() && first != '_') {
            continue;
        }
        qsizetype j = i + 1;
        while (j < sql.size() && (sql[j].isLetterOrNumber() || sql[j] == '_')) {
            ++j;
        }
        const QString name = sql.mid(i + 1, j - i - 1);
        if (!names.contains(name, Qt::CaseInsensitive)) {
            names << name;
        }
        i = j - 1;
    }
    return names;
}

// ---------------------------------------------------------------- Database

Database::Database() = default;

Database::~Database()
{
    try {
        Close();
    } catch (...) {
        // A failing close at destruction has nobody left to tell.
    }
}

QString Database::Folder() const
{
    for (const QString& p : Params) {
        if (p.startsWith(QStringLiteral("PATH="), Qt::CaseInsensitive)) {
            return p.mid(5);
        }
    }
    return {};
}

QString Database::FilePath() const
{
    return QDir(Folder()).filePath(QString::fromLatin1(DataFileName));
}

void Database::Open()
{
    if (Connected()) {
        return;
    }
    const QString folder = Folder();
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        Fail(QStringLiteral("Data folder not found: %1").arg(folder));
    }
    const QString file = FilePath();
    if (!QFileInfo::exists(file)) {
        Fail(QStringLiteral("Table store not found: %1").arg(file));
    }
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        const QString text = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
        sqlite3_close_v2(db);
        Fail(QStringLiteral("Cannot open %1: %2").arg(file, text));
    }
    db_ = db;
    sqlite3_busy_timeout(db_, 5000);
    try {
        // A committed change survives a crash of the program at once, and a
        // crash never leaves half a transaction behind. The write-ahead log
        // reaches the disk platters at each flush (Flush), as the store's
        // buffers always did every few minutes.
        Execute(QStringLiteral("PRAGMA journal_mode=WAL"));
        Execute(QStringLiteral("PRAGMA synchronous=NORMAL"));
        Execute(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    } catch (...) {
        Close();
        throw;
    }
}

void Database::Close()
{
    if (!db_) {
        return;
    }
    statements_.clear();
    if (depth_ > 0) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        depth_ = 0;
    }
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

std::string Database::LastError() const
{
    return db_ ? sqlite3_errmsg(db_) : "database not open";
}

void Database::Execute(const QString& sql)
{
    if (!db_) {
        Fail(QStringLiteral("Database not open"));
    }
    Statement st(*this, MapTableNames(sql));
    st.Run();
}

bool Database::TableExists(const QString& plainName)
{
    Statement& st = Prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type='table' AND "
                                           "lower(name)=lower(?)"));
    st.Bind(1, plainName);
    const bool found = st.Step();
    st.Reset();
    return found;
}

bool Database::ColumnExists(const QString& plainName, const QString& column)
{
    Statement st(*this, QStringLiteral("PRAGMA table_info(%1)").arg(Quoted(plainName)));
    while (st.Step()) {
        if (st.Column(1).toString().compare(column, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

void Database::Flush()
{
    if (db_ && depth_ == 0) {
        Statement st(*this, QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        st.Run();
    }
}

void Database::BeginTransaction()
{
    if (depth_ == 0) {
        Execute(QStringLiteral("BEGIN IMMEDIATE"));
    } else {
        Execute(QStringLiteral("SAVEPOINT sp%1").arg(depth_));
    }
    ++depth_;
}

void Database::Commit()
{
    if (depth_ <= 0) {
        Fail(QStringLiteral("Commit without a transaction"));
    }
    if (depth_ == 1) {
        Execute(QStringLiteral("COMMIT"));
    } else {
        Execute(QStringLiteral("RELEASE sp%1").arg(depth_ - 1));
    }
    --depth_;
}

void Database::Rollback()
{
    if (depth_ <= 0) {
        return;
    }
    --depth_;
    if (depth_ == 0) {
        Execute(QStringLiteral("ROLLBACK"));
    } else {
        Execute(QStringLiteral("ROLLBACK TO sp%1").arg(depth_));
        Execute(QStringLiteral("RELEASE sp%1").arg(depth_));
    }
}

Statement& Database::Prepare(const QString& sql)
{
    auto it = statements_.find(sql);
    if (it != statements_.end()) {
        it->second->Reset();
        return *it->second;
    }
    if (statements_.size() >= MaxCachedStatements) {
        statements_.clear();
    }
    auto st = std::make_unique<Statement>(*this, sql);
    Statement& ref = *st;
    statements_.emplace(sql, std::move(st));
    return ref;
}

// ------------------------------------------------------------- Transaction

Transaction::Transaction(Database& db) : db_(db)
{
    db_.BeginTransaction();
}

Transaction::~Transaction()
{
    if (open_) {
        try {
            db_.Rollback();
        } catch (...) {
            // The connection reports the failure at its next use.
        }
    }
}

void Transaction::Commit()
{
    db_.Commit();
    open_ = false;
}

// --------------------------------------------------------------- Statement

Statement::Statement(Database& db, const QString& sql) : db_(db), sql_(sql)
{
    if (!db.Handle()) {
        Fail(QStringLiteral("Database not open"));
    }
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db.Handle(), text.constData(), static_cast<int>(text.size()), &stmt_,
                           nullptr) != SQLITE_OK) {
        Fail(QString::fromUtf8(db.LastError().c_str()));
    }
    if (!stmt_) {
        Fail(QStringLiteral("Empty SQL statement"));
    }
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
        Fail(QString::fromUtf8(db_.LastError().c_str()));
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

bool Statement::Step()
{
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc == SQLITE_DONE) {
        return false;
    }
    const QString text = QString::fromUtf8(db_.LastError().c_str());
    sqlite3_reset(stmt_);
    Fail(text);
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
        return QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i)),
                                          sqlite3_column_bytes(stmt_, i)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt_, i)),
                                   sqlite3_column_bytes(stmt_, i)));
    default:
        return QVariant();
    }
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

// ----------------------------------------------------------------- DataSet

Database& DataSet::Db() const
{
    if (!database || !database->Connected()) {
        Fail(QStringLiteral("Database %1 is not open").arg(DatabaseName));
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
    return QStringLiteral("(%1) %2 (%3)").arg(cols.join(','), QStringLiteral("%1"), marks.join(','));
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
        Statement& st = db.Prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?")
                                       .arg(Quoted(plain_), sets.join(',')));
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

void Table::FlushBuffers()
{
    if (active_) {
        Db().Flush();
    }
}

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
