#include "dialogs/forms.h"
#include "dialogs/notepad.h"
#include "filelimit.h"
#include "platform/ini.h"
#include "sheet/sheet.h"
#include "support/scriptedprompts.h"
#include "tablestore/core.h"
#include "tablestore/tableschema.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

TEST(SheetClose, ExitClosesTheStoreWritesTheIniFileAndClosesTheNotepad)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.filePath("Scalora data")));
    CreateTableStore(dir.filePath("Scalora data"), CurrentTableStoreVersion);

    Forms forms;
    TFSheet sheet(forms);
    forms.FSheet = &sheet;
    TFnotepad notepad(dir.path());
    forms.Fnotepad = &notepad;
    TFcore core(dir.path());
    forms.Fcore = &core;
    core.FormCreate();
    core.CurrentProfile = 4;

    sheet.show();
    notepad.show();
    sheet.Quit1->trigger();

    EXPECT_FALSE(sheet.isVisible());
    EXPECT_FALSE(notepad.isVisible());
    EXPECT_FALSE(core.Table1.Active());
    EXPECT_EQ(IniFile(dir.filePath("scalora.ini")).ReadInteger("main", "Profile", 0), 4);
}

// A disk that fills up while the program runs: the failed command says so,
// and closing still closes everything, writing the ini file when it fits and
// saying once why it could not when it does not.
TEST(SheetClose, AFullDiskNeverKeepsTheProgramFromClosing)
{
    for (const rlim_t room : {rlim_t{4096}, rlim_t{16}}) {
        QTemporaryDir dir;
        ASSERT_TRUE(QDir().mkpath(dir.filePath("Scalora data")));
        CreateTableStore(dir.filePath("Scalora data"), CurrentTableStoreVersion);
        ScriptedPrompts prompts;
        ScopedPromptSeam seam(prompts);
        Forms forms;
        TFSheet sheet(forms);
        forms.FSheet = &sheet;
        TFcore core(dir.path());
        forms.Fcore = &core;
        core.FormCreate();
        core.CurrentProfile = 4;
        int closed = 0;
        QObject::connect(&sheet, &TFSheet::Closed, [&closed] { ++closed; });
        sheet.show();
        {
            FileSizeLimit full(room);
            core.Table5.Insert();
            core.Table5.FieldByName("Dgnum").SetInteger(1);
            EXPECT_THROW(core.Table5.Post(), tables::EngineError);
            core.Table5.Cancel();
            sheet.Quit1->trigger();
        }
        EXPECT_EQ(closed, 1) << room;
        EXPECT_FALSE(sheet.isVisible());
        EXPECT_FALSE(core.Table1.Active());
        const IniFile ini(dir.filePath("scalora.ini"));
        if (room > 1000) {
            EXPECT_TRUE(prompts.Texts(ScriptedPrompts::Kind::Error).isEmpty());
            EXPECT_EQ(ini.ReadInteger("main", "Profile", 0), 4);
        } else {
            EXPECT_EQ(prompts.Texts(ScriptedPrompts::Kind::Error).size(), 1);
            EXPECT_FALSE(QFile::exists(dir.filePath("scalora.ini")));
        }
    }
}

} // namespace
