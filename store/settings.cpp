// The ini file "scalora.ini" beside the program, section "main": the same
// keys in both programs, only "Upgrading" is kept each store's own way.

#include "library/flash.h"
#include "platform/ini.h"
#include "store/store.h"

#include <algorithm>
#include <exception>

namespace
{

const QString MainSection = QStringLiteral("main");

// No screen is this many pixels across; the window fits the side to the
// screen it opens on.
constexpr int32_t MaxWindowSide = 16384;

// A window side read from the file: a side of 0 or less takes the default,
// one beyond any screen is cut to MaxWindowSide.
int32_t SensibleSide(int32_t side, int32_t fallback)
{
    return side <= 0 ? fallback : std::min(side, MaxWindowSide);
}

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
    NotesFormHeight =
        SensibleSide(ini.ReadInteger(MainSection, QStringLiteral("NotesHeight"), 280), 280);
    NotesFormWidth =
        SensibleSide(ini.ReadInteger(MainSection, QStringLiteral("NotesWidth"), 450), 450);
    SetFlashIntervalMs(
        SensibleFlashInterval(ini.ReadInteger(MainSection, QStringLiteral("FlashInterval"), 1500)));
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
