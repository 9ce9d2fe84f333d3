#include "platform/ibase.h"
#include "platform/ibaseinternal.h"

#include <ibase.h>

#include <QStringDecoder>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

namespace ibase::detail
{

namespace
{

constexpr short NoneCharsetId = 0;  // NONE: the bytes as they were written
constexpr short Utf8CharsetId = 4;  // UTF8 in the engine's character set table
constexpr int BytesPerUtf8Char = 4; // the engine sizes UTF8 columns at 4 bytes a character
constexpr unsigned short BlobSegmentSize = 16384;

// ---- reading a row

// Windows-1252 from 0x80 to 0x9F, where it differs from Latin-1; the five
// bytes it leaves undefined stand for the control characters of their
// codes, as Windows reads them.
constexpr char16_t Windows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString FromWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = QChar(b >= 0x80 && b < 0xA0 ? Windows1252High[b - 0x80] : char16_t(b));
    }
    return text;
}

// The text of a column. Databases of this program are UTF-8; a column of
// character set NONE holds whatever bytes were written to it, UTF-8 from
// this program but the Windows code page from the programs it replaced.
QString TextOf(QByteArrayView bytes, int charset)
{
    if (charset != NoneCharsetId)
        return QString::fromUtf8(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    return utf8.hasError() ? FromWindows1252(bytes) : text;
}

QString ReadBlob(StatementState& s, const ISC_QUAD& id, int charset)
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
    return TextOf(bytes, charset);
}

// A CHAR(n) column of a UTF-8 database arrives as 4n bytes, the value
// followed by blanks; it is cut back to its n characters, still padded.
QString FixedText(const XSQLVAR& var)
{
    QString text = TextOf(QByteArrayView(var.sqldata, var.sqllen), var.sqlsubtype & 0xFF);
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
        return Value(TextOf(QByteArrayView(var.sqldata + 2, len), var.sqlsubtype & 0xFF));
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
        // A text blob's character set is given where a number's scale is.
        return Value(ReadBlob(s, Read<ISC_QUAD>(var), var.sqlscale & 0xFF));
    case SQL_NULL:
        return Value();
    default:
        throw Error(QStringLiteral("Column %1 has a type this program cannot read (%2)")
                        .arg(QString::fromUtf8(var.aliasname, var.aliasname_length))
                        .arg(var.sqltype & ~1));
    }
}

} // namespace

void ReadRow(StatementState& s)
{
    s.row.clear();
    for (int i = 0; i < s.out.Count(); ++i)
        s.row.push_back(ReadColumn(s, s.out.Var(i)));
    s.hasRow = true;
    s.rowDecoded = true;
}

void TakeRow(StatementState& s)
{
    s.hasRow = true;
    s.rowDecoded = false;
    if (s.hasBlobColumn)
        ReadRow(s);
}

int64_t ReadInteger(StatementState& s, int i)
{
    const XSQLVAR& var = s.out.Var(i);
    if ((var.sqltype & 1) && *var.sqlind < 0)
        return 0;
    if (var.sqlscale == 0) {
        switch (var.sqltype & ~1) {
        case SQL_SHORT:
            return Read<int16_t>(var);
        case SQL_LONG:
            return Read<int32_t>(var);
        case SQL_INT64:
            return Read<int64_t>(var);
        default:
            break;
        }
    }
    return ReadColumn(s, var).AsInt64();
}

double ReadReal(StatementState& s, int i)
{
    const XSQLVAR& var = s.out.Var(i);
    if ((var.sqltype & 1) && *var.sqlind < 0)
        return 0;
    switch (var.sqltype & ~1) {
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return Read<double>(var);
    case SQL_FLOAT:
        return double(Read<float>(var));
    default:
        return ReadColumn(s, var).AsDouble();
    }
}

bool ReadDayAndTime(StatementState& s, int i, int32_t& day, uint32_t& time)
{
    const XSQLVAR& var = s.out.Var(i);
    if ((var.sqltype & 1) && *var.sqlind < 0)
        return false;
    if ((var.sqltype & ~1) != SQL_TIMESTAMP)
        throw Error(QStringLiteral("Column %1 is not a timestamp")
                        .arg(QString::fromUtf8(var.aliasname, var.aliasname_length)));
    const ISC_TIMESTAMP t = Read<ISC_TIMESTAMP>(var);
    day = t.timestamp_date;
    time = t.timestamp_time;
    return true;
}

// ---- writing parameters

namespace
{

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

} // namespace

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

} // namespace ibase::detail
