#include "dialogs/notepad.h"
#include "platform/ini.h"
#include "sheet/forms.h"
#include "sheet/sheet.h"
#include "store/core.h"
#include "store/tableschema.h"

#include <QAction>
#include <QDir>
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

} // namespace
