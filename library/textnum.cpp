#include "library/textnum.h"

#include "library/messages.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <utility>

namespace
{

QChar padChar = QLatin1Char('0');

bool IsDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int HexDigitValue(QChar c)
{
    if (IsDigit(c))
        return c.unicode() - '0';
    if (c >= QLatin1Char('a') && c <= QLatin1Char('f'))
        return c.unicode() - 'a' + 10;
    if (c >= QLatin1Char('A') && c <= QLatin1Char('F'))
        return c.unicode() - 'A' + 10;
    return -1;
}

// Reads the digits from position i to the end; false on any other
// character, on no digits at all or when the magnitude passes limit.
bool ReadMagnitude(const QString& s, qsizetype i, int base, int64_t limit, int64_t& magnitude)
{
    if (i >= s.size())
        return false;
    magnitude = 0;
    for (; i < s.size(); ++i) {
        const int digit =
            base == 16 ? HexDigitValue(s[i]) : (IsDigit(s[i]) ? s[i].unicode() - '0' : -1);
        if (digit < 0)
            return false;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return false;
    }
    return true;
}

// The digits of |x| rounded to 15 significant digits, and the power of ten
// of the first of them.
struct SignificantDigits {
    bool negative = false;
    std::string digits; // 15 digits
    int exponent = 0;
};

SignificantDigits FifteenDigits(double x)
{
    // to_chars, unlike printf, writes a point whatever the C locale says.
    char buf[64];
    const auto written = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, 14);
    SignificantDigits result;
    const char* p = buf;
    if (p < written.ptr && *p == '-') {
        result.negative = true;
        ++p;
    }
    for (; p < written.ptr && *p != 'e'; ++p)
        if (*p != '.')
            result.digits.push_back(*p);
    if (p < written.ptr && *p == 'e') {
        ++p;
        if (p < written.ptr && *p == '+')
            ++p;
        std::from_chars(p, written.ptr, result.exponent);
    }
    return result;
}

QString ExponentText(const SignificantDigits& sd)
{
    QString text = sd.negative ? QStringLiteral("-") : QString();
    text += QLatin1Char(sd.digits[0]);
    text += QLatin1Char('.');
    text += QString::fromLatin1(sd.digits.substr(1));
    text += sd.exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+");
    text += QStringLiteral("%1").arg(std::abs(sd.exponent), 2, 10, QLatin1Char('0'));
    return text;
}

// Adds one to the last digit, carrying; true when a new leading digit was
// needed.
bool RoundUp(std::string& digits)
{
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return false;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
    return true;
}

bool IsAsciiBlank(QChar c)
{
    return c == QLatin1Char(' ');
}

// The text of a real without its surrounding blanks, checked character by
// character: sign, digits with at most one point, then an optional exponent.
bool IsRealSyntax(const std::string& t)
{
    size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        ++i;
    size_t mantissaDigits = 0;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) {
        ++i;
        ++mantissaDigits;
    }
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) {
            ++i;
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-'))
            ++i;
        size_t exponentDigits = 0;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) {
            ++i;
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return false;
    }
    return i == t.size();
}

} // namespace

QChar PadChar()
{
    return padChar;
}

void SetPadChar(QChar c)
{
    padChar = c;
}

QString PadNumber(int32_t n, int w)
{
    QString s = QString::number(n);
    while (s.size() < w)
        s.prepend(padChar);
    return s;
}

QString RightChars(const QString& s, int n)
{
    if (n <= 0)
        return QString();
    return s.size() <= n ? s : s.right(n);
}

QString InSingleQuotes(const QString& s)
{
    return QLatin1Char('\'') + s + QLatin1Char('\'');
}

QString InDoubleQuotes(const QString& s)
{
    return QLatin1Char('"') + s + QLatin1Char('"');
}

bool DoubleApostrophes(QString& s)
{
    bool found = false;
    for (qsizetype i = s.indexOf(QLatin1Char('\'')); i >= 0;
         i = s.indexOf(QLatin1Char('\''), i + 2)) {
        s.insert(i, QLatin1Char('\''));
        found = true;
    }
    return found;
}

QString EscapeApostrophes(const QString& s)
{
    QString copy = s;
    DoubleApostrophes(copy);
    return copy;
}

void LowerCaseInPlace(QString& s)
{
    for (QChar& c : s)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
}

QChar LastChar(const QString& s)
{
    return s.isEmpty() ? QChar(0) : s.back();
}

void DropLastChars(QString& s, int n)
{
    if (n <= 0)
        return;
    s.chop(std::min<qsizetype>(n, s.size()));
}

void SwapInts(int32_t& a, int32_t& b)
{
    std::swap(a, b);
}

int32_t IntMin(int32_t a, int32_t b)
{
    return a < b ? a : b;
}

int32_t IntMax(int32_t a, int32_t b)
{
    return a > b ? a : b;
}

double RealMin(double a, double b)
{
    return a > b ? b : a;
}

double RealMax(double a, double b)
{
    return a >= b ? a : b;
}

bool Between(double value, double lo, double hi)
{
    return lo <= value && value <= hi;
}

QString FormatFixed(double x, int d)
{
    if (std::isnan(x))
        return QStringLiteral("NAN");
    if (std::isinf(x))
        return x < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    d = std::clamp(d, 0, 18);
    SignificantDigits sd = FifteenDigits(x);
    if (sd.exponent >= 15)
        return ExponentText(sd);

    // Digits with the point after the first intDigits of them.
    std::string digits = sd.digits;
    int intDigits = sd.exponent + 1;
    if (intDigits <= 0) {
        digits.insert(0, static_cast<size_t>(1 - intDigits), '0');
        intDigits = 1;
    }
    const size_t keep = static_cast<size_t>(intDigits + d);
    if (digits.size() < keep + 1)
        digits.append(keep + 1 - digits.size(), '0');
    const bool roundUp = digits[keep] >= '5';
    digits.resize(keep);
    if (roundUp && RoundUp(digits))
        ++intDigits;

    std::string whole = digits.substr(0, static_cast<size_t>(intDigits));
    const size_t firstNonZero = whole.find_first_not_of('0');
    whole = firstNonZero == std::string::npos ? "0" : whole.substr(firstNonZero);
    const bool allZero = digits.find_first_not_of('0') == std::string::npos;

    std::string text = (sd.negative && !allZero) ? "-" : "";
    text += whole;
    if (d > 0)
        text += "." + digits.substr(static_cast<size_t>(intDigits));
    return QString::fromLatin1(text);
}

bool ParseInteger(const QString& s, int32_t& value)
{
    if (s.isEmpty()) {
        value = 0;
        return true;
    }
    qsizetype i = 0;
    while (i < s.size() && IsAsciiBlank(s[i]))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-'))) {
        negative = s[i] == QLatin1Char('-');
        ++i;
    }
    int base = 10;
    if (i < s.size() && s[i] == QLatin1Char('$')) {
        base = 16;
        ++i;
    }
    const int64_t limit = negative ? int64_t(1) << 31 : (int64_t(1) << 31) - 1;
    int64_t magnitude = 0;
    if (!ReadMagnitude(s, i, base, limit, magnitude))
        return false;
    value = static_cast<int32_t>(negative ? -magnitude : magnitude);
    return true;
}

bool ParseReal(const QString& s, double& value)
{
    value = 0;
    qsizetype first = 0;
    qsizetype last = s.size();
    while (first < last && IsAsciiBlank(s[first]))
        ++first;
    while (last > first && IsAsciiBlank(s[last - 1]))
        --last;
    if (s.isEmpty())
        return true;
    const QString trimmed = s.mid(first, last - first);
    for (QChar c : trimmed)
        if (c.unicode() > 127)
            return false;
    std::string text = trimmed.toStdString();
    if (!IsRealSyntax(text))
        return false;
    if (text[0] == '+')
        text.erase(0, 1); // from_chars takes no plus sign
    double parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

bool ParseIntegerOrWarn(const QString& s, int32_t& value)
{
    if (s.isEmpty())
        return false;
    if (ParseInteger(s, value))
        return true;
    ShowInfo(QStringLiteral("Invalid integer ") + InDoubleQuotes(s));
    return false;
}

bool ParseFloatOrWarn(const QString& s, double& value)
{
    if (ParseReal(s, value))
        return true;
    ShowInfo(QStringLiteral("Invalid floating-point amount ") + InDoubleQuotes(s));
    return false;
}
