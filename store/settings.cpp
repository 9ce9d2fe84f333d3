// The ini file "scalora.ini" beside the program, section "main": the same
// keys in both programs, only "Upgrading" is kept each store's own way.

#include "library/flash.h"
#include "platform/ini.h"
#include "store/store.h"

#include <exception>

namespace
{

const QString MainSection = QStringLiteral("main");

} // namespace

void Store::ReadIniFile()
{
    IniFileName = ExeFolder + QStringLiteral("scalora.ini");
    const IniFile ini(IniFileName);
    TableFolder = ini.ReadString(MainSection, QStringLiteral("DBPath"), QString());
    FirebirdFolder = ini.ReadString(MainSection, QStringLiteral("DBPath2"), QString());
    CurrentDiagram = ini.ReadInteger(MainSection, QStringLiteral("DiagramNumber"), 0);
    iniDiagram_ = CurrentDiagram;
    CurrentProfile = ini.ReadInteger(MainSection, QStringLiteral("Profile"), 0);
    DBVersion = ini.ReadInteger(MainSection, QStringLiteral("DBVn"), 100);
    NotesFormHeight = ini.ReadInteger(MainSection, QStringLiteral("NotesHeight"), 280);
    NotesFormWidth = ini.ReadInteger(MainSection, QStringLiteral("NotesWidth"), 450);
    SetFlashIntervalMs(ini.ReadInteger(MainSection, QStringLiteral("FlashInterval"), 1500));
    UpgradeState = ini.ReadInteger(MainSection, QStringLiteral("Upgrading"), UpgradeStateDefault());
}

void Store::WriteIniFile()
{
    IniFile ini(IniFileName);
    ini.WriteString(MainSection, QStringLiteral("DBPath"), TableFolder);
    ini.WriteString(MainSection, QStringLiteral("DBPath2"), FirebirdFolder);
    // A store that never opened had no diagram open: the one the ini file
    // named is kept for the next start rather than forgotten.
    ini.WriteInteger(MainSection, QStringLiteral("DiagramNumber"),
                     StoreOpened ? CurrentDiagram : iniDiagram_);
    ini.WriteInteger(MainSection, QStringLiteral("Profile"), CurrentProfile);
    ini.WriteInteger(MainSection, QStringLiteral("DBVn"), DBVersion);
    ini.WriteInteger(MainSection, QStringLiteral("NotesWidth"), NotesFormWidth);
    ini.WriteInteger(MainSection, QStringLiteral("NotesHeight"), NotesFormHeight);
    ini.WriteInteger(MainSection, QStringLiteral("FlashInterval"), FlashIntervalMs());
    if (WritesUpgradeState())
        ini.WriteInteger(MainSection, QStringLiteral("Upgrading"), UpgradeState);
}

void Store::CloseThenWriteIniFile(const std::function<void()>& close)
{
    std::exception_ptr failure;
    try {
        close();
    } catch (...) {
        failure = std::current_exception();
    }
    try {
        WriteIniFile();
    } catch (...) {
        if (!failure)
            failure = std::current_exception();
    }
    if (failure)
        std::rethrow_exception(failure);
}
