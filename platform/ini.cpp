#include "platform/ini.h"

#include <QFile>
#include <QSaveFile>
#include <QStringConverter>
#include <QTextStream>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <utility>

namespace
{

bool IsSectionHeader(const QString& line, QString* name)
{
    const QString t = line.trimmed();
    if (!t.startsWith('[')) {
        return false;
    }
    const int close = t.indexOf(']');
    if (close < 0) {
        return false;
    }
    if (name != nullptr) {
        *name = t.mid(1, close - 1).trimmed();
    }
    return true;
}

// The key of a "key=value" line, or an empty text for any other line.
QString KeyOf(const QString& line)
{
    const int eq = line.indexOf('=');
    if (eq <= 0 || line.trimmed().startsWith(';')) {
        return {};
    }
    return line.left(eq).trimmed();
}

bool SameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Index of the section header line, or -1.
int FindSection(const QStringList& lines, const QString& section)
{
    for (int i = 0; i < lines.size(); ++i) {
        QString name;
        if (IsSectionHeader(lines[i], &name) && SameName(name, section)) {
            return i;
        }
    }
    return -1;
}

// One past the last line of the section that starts at header.
int SectionEnd(const QStringList& lines, int header)
{
    int i = header + 1;
    while (i < lines.size() && !IsSectionHeader(lines[i], nullptr)) {
        ++i;
    }
    return i;
}

int FindKey(const QStringList& lines, int header, int end, const QString& key)
{
    for (int i = header + 1; i < end; ++i) {
        if (SameName(KeyOf(lines[i]), key)) {
            return i;
        }
    }
    return -1;
}

} // namespace

IniFile::IniFile(QString path) : path_(std::move(path)) {}

QStringList IniFile::ReadLines() const
{
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return {};
    }
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    QStringList lines;
    while (!in.atEnd()) {
        lines << in.readLine();
    }
    return lines;
}

void IniFile::SaveLines(const QStringList& lines) const
{
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        throw std::runtime_error(
            QStringLiteral("Cannot write %1: %2").arg(path_, file.errorString()).toStdString());
    }
    QByteArray text;
    for (const QString& line : lines) {
        text += line.toUtf8() + '\n';
    }
    // Every byte must reach the file before it replaces the old one: a write
    // that fails (a full disk) leaves the old file as it was.
    if (file.write(text) != text.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw std::runtime_error(
            QStringLiteral("Cannot write %1: %2").arg(path_, reason).toStdString());
    }
    if (!file.commit()) {
        throw std::runtime_error(
            QStringLiteral("Cannot write %1: %2").arg(path_, file.errorString()).toStdString());
    }
}

QString IniFile::ReadString(const QString& section, const QString& key, const QString& def) const
{
    const QStringList lines = ReadLines();
    const int header = FindSection(lines, section);
    if (header < 0) {
        return def;
    }
    const int at = FindKey(lines, header, SectionEnd(lines, header), key);
    if (at < 0) {
        return def;
    }
    const QString& line = lines[at];
    return line.mid(line.indexOf('=') + 1).trimmed();
}

int IniFile::ReadInteger(const QString& section, const QString& key, int def) const
{
    int value = 0;
    return ParseIniInteger(ReadString(section, key, QString()), value) ? value : def;
}

void IniFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    QStringList lines = ReadLines();
    const QString entry = key + '=' + value;
    int header = FindSection(lines, section);
    if (header < 0) {
        lines << '[' + section + ']' << entry;
        SaveLines(lines);
        return;
    }
    int end = SectionEnd(lines, header);
    const int at = FindKey(lines, header, end, key);
    if (at >= 0) {
        lines[at] = entry;
    } else {
        // New keys go after the section's last non-blank line.
        while (end > header + 1 && lines[end - 1].trimmed().isEmpty()) {
            --end;
        }
        lines.insert(end, entry);
    }
    SaveLines(lines);
}

void IniFile::WriteInteger(const QString& section, const QString& key, int value)
{
    WriteString(section, key, QString::number(value));
}

bool ParseIniInteger(const QString& text, int& value)
{
    const QString t = text.trimmed();
    int i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '-' || t[i] == '+')) {
        negative = t[i] == '-';
        ++i;
    }
    int base = 10;
    if (i + 1 < t.size() && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    long long n = 0;
    int digits = 0;
    for (; i < t.size(); ++i) {
        bool isDigit = false;
        const int d = QString(t[i]).toInt(&isDigit, base);
        if (!isDigit) {
            break;
        }
        n = n * base + d;
        ++digits;
        if (n > std::numeric_limits<unsigned int>::max()) {
            return false;
        }
    }
    if (digits == 0) {
        return false;
    }
    if (negative) {
        n = -n;
    }
    value = static_cast<int32_t>(n); // wraps as the 32-bit reading always did
    return true;
}
