#pragma once
// The notepad's two files beside the program: the text, read and written
// whole, and its settings (section "notepad" of its own ini file).

#include <QFont>
#include <QString>

// What "npad.ini" keeps, with the defaults of a missing file or key.
struct NotepadSettings {
    QString FontName = QStringLiteral("Arial");
    int FontSize = 10;
    bool FontBold = false;
    bool FontItalic = false;
    bool FontUnderline = false;
    bool FontStrikeOut = false;
    int FormTop = -1;    // applied when 0 or more
    int FormLeft = -1;   // applied when 0 or more
    int FormWidth = -1;  // applied when above 0
    int FormHeight = -1; // applied when above 0
};

// The largest font size read from the settings file; beyond it, and at 0
// or below, the default size is taken.
inline constexpr int MaxNotepadFontSize = 200;

NotepadSettings ReadNotepadSettings(const QString& iniPath);
// Writes the ten keys in their order; false with the reason when the file
// cannot be written.
bool WriteNotepadSettings(const QString& iniPath, const NotepadSettings& settings, QString& error);

QFont NotepadFont(const NotepadSettings& settings);
void SetNotepadFont(NotepadSettings& settings, const QFont& font);

// The whole text of a file. False with an empty reason when there is no
// such file, with the reason when it is there but cannot be read.
bool ReadTextFile(const QString& path, QString& text, QString& error);
// Writes the text to a new file beside the path and puts it in the path's
// place only once it is complete, so the file holds either the old text or
// the new one. False with the reason when it cannot be written.
bool WriteTextFile(const QString& path, const QString& text, QString& error);
