#include "dialogs/notepadfiles.h"

#include "platform/ini.h"

#include <QFile>
#include <QSaveFile>
#include <stdexcept>

namespace
{

const QString Section = QStringLiteral("notepad");

// A size the settings file may hold that no one chooses (a page-high
// letter would take the memory of its picture) falls back to the usual one.
int SensibleFontSize(int size)
{
    return size > 0 && size <= MaxNotepadFontSize ? size : NotepadSettings().FontSize;
}

QString Flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

NotepadSettings ReadNotepadSettings(const QString& iniPath)
{
    const IniFile ini(iniPath);
    NotepadSettings s;
    s.FontName = ini.ReadString(Section, QStringLiteral("FONTNAME"), s.FontName);
    s.FontSize = SensibleFontSize(ini.ReadInteger(Section, QStringLiteral("FONTSIZE"), s.FontSize));
    s.FontBold = ini.ReadInteger(Section, QStringLiteral("FONTBOLD"), 0) != 0;
    s.FontItalic = ini.ReadInteger(Section, QStringLiteral("FONTITALIC"), 0) != 0;
    s.FontUnderline = ini.ReadInteger(Section, QStringLiteral("FONTUNDERLINE"), 0) != 0;
    s.FontStrikeOut = ini.ReadInteger(Section, QStringLiteral("FONTSTRIKEOUT"), 0) != 0;
    s.FormTop = ini.ReadInteger(Section, QStringLiteral("FORMTOP"), s.FormTop);
    s.FormLeft = ini.ReadInteger(Section, QStringLiteral("FORMLEFT"), s.FormLeft);
    s.FormWidth = ini.ReadInteger(Section, QStringLiteral("FORMWIDTH"), s.FormWidth);
    s.FormHeight = ini.ReadInteger(Section, QStringLiteral("FORMHEIGHT"), s.FormHeight);
    return s;
}

bool WriteNotepadSettings(const QString& iniPath, const NotepadSettings& s, QString& error)
{
    IniFile ini(iniPath);
    try {
        ini.WriteString(Section, QStringLiteral("FONTNAME"), s.FontName);
        ini.WriteInteger(Section, QStringLiteral("FONTSIZE"), s.FontSize);
        ini.WriteString(Section, QStringLiteral("FONTBOLD"), Flag(s.FontBold));
        ini.WriteString(Section, QStringLiteral("FONTITALIC"), Flag(s.FontItalic));
        ini.WriteString(Section, QStringLiteral("FONTUNDERLINE"), Flag(s.FontUnderline));
        ini.WriteString(Section, QStringLiteral("FONTSTRIKEOUT"), Flag(s.FontStrikeOut));
        ini.WriteInteger(Section, QStringLiteral("FORMTOP"), s.FormTop);
        ini.WriteInteger(Section, QStringLiteral("FORMLEFT"), s.FormLeft);
        ini.WriteInteger(Section, QStringLiteral("FORMWIDTH"), s.FormWidth);
        ini.WriteInteger(Section, QStringLiteral("FORMHEIGHT"), s.FormHeight);
    } catch (const std::runtime_error& e) {
        error = QString::fromStdString(e.what());
        return false;
    }
    return true;
}

QFont NotepadFont(const NotepadSettings& s)
{
    QFont font(s.FontName);
    if (s.FontSize > 0)
        font.setPointSize(s.FontSize);
    font.setBold(s.FontBold);
    font.setItalic(s.FontItalic);
    font.setUnderline(s.FontUnderline);
    font.setStrikeOut(s.FontStrikeOut);
    return font;
}

void SetNotepadFont(NotepadSettings& s, const QFont& font)
{
    s.FontName = font.family();
    s.FontSize = font.pointSize();
    s.FontBold = font.bold();
    s.FontItalic = font.italic();
    s.FontUnderline = font.underline();
    s.FontStrikeOut = font.strikeOut();
}

bool ReadTextFile(const QString& path, QString& text, QString& error)
{
    error.clear();
    QFile file(path);
    if (!file.exists())
        return false;
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = file.errorString();
        return false;
    }
    text = QString::fromUtf8(bytes);
    // A text written on Windows reads the same here.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return true;
}

bool WriteTextFile(const QString& path, const QString& text, QString& error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    const QByteArray bytes = text.toUtf8();
    if (file.write(bytes) != bytes.size()) {
        error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}
