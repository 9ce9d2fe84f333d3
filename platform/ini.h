#pragma once
// Private-profile files: "key=value" lines under "[section]" headers, read
// and written with the rules the programs' settings files have always had.
//   - an absent file, section or key gives the caller's default;
//   - section and key names match without regard to case;
//   - a whole number that does not parse gives the default;
//   - writing one key keeps every other line of the file as it was;
//   - values are written as given, with no escaping;
//   - every write replaces the file atomically, so a crash never leaves
//     half a file behind.

#include <QString>
#include <QStringList>

class IniFile
{
  public:
    explicit IniFile(QString path);

    const QString& Path() const { return path_; }

    QString ReadString(const QString& section, const QString& key, const QString& def) const;
    int ReadInteger(const QString& section, const QString& key, int def) const;

    // Each write reads the file afresh, changes one line and replaces it.
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);

  private:
    QStringList ReadLines() const;
    void SaveLines(const QStringList& lines) const;

    QString path_;
};

// Windows' reading of a whole number: optional blanks and sign, then
// decimal digits (or "0x" and hex digits); anything else after the number
// is ignored. An empty text or one with no digits fails.
bool ParseIniInteger(const QString& text, int& value);
