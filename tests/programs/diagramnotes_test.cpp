// A diagram's notes through the whole program: written in one run, shown by
// themselves at the start of the next.

#include "dialogs/notes.h"
#include "programs/tableedition.h"
#include "sheet/sheet.h"
#include "sheet/startup.h"
#include "store/store.h"
#include "support/scriptedprompts.h"
#include "tablestore/tableschema.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace
{

// Runs the action on the notes window each time it comes up modally.
class NotesWatch
{
  public:
    NotesWatch(TFnotes& notes, std::function<void(TFnotes&)> action)
    {
        poll_.setInterval(5);
        QObject::connect(&poll_, &QTimer::timeout, [this, &notes, action] {
            if (QApplication::activeModalWidget() != &notes || notes.property("seen").toBool())
                return;
            notes.setProperty("seen", true);
            ++shown;
            action(notes);
        });
        poll_.start();
    }
    int shown = 0;

  private:
    QTimer poll_;
};

TEST(DiagramNotesRun, NotesWrittenInOneRunAreShownAtTheStartOfTheNext)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.filePath("Scalora data")));
    CreateTableStore(dir.filePath("Scalora data"), OldestTableStoreVersion);
    ScriptedPrompts prompts;
    ScopedPromptSeam seam(prompts);
    const Edition edition = TableEdition();
    {
        ProgramWindows w(edition, dir.path());
        TFSheet& sheet = *w.forms.FSheet;
        sheet.show();
        sheet.Timer1Timer(); // no diagram yet: nothing to show
        prompts.Type("Site C").Type("m").Type("1");
        sheet.New1->trigger();
        NotesWatch watch(*w.forms.Fnotes, [&prompts](TFnotes& notes) {
            notes.Memo1->setPlainText(QStringLiteral("Survey on 'Monday'"));
            notes.resize(600, 300);
            prompts.Answer('Y');
            notes.close();
        });
        sheet.Notes1->trigger();
        EXPECT_EQ(watch.shown, 1);
        sheet.close();
    }
    {
        ProgramWindows w(edition, dir.path());
        TFSheet& sheet = *w.forms.FSheet;
        EXPECT_EQ(w.forms.Fnotes->size(), QSize(600, 300));
        sheet.show();
        QString seen;
        NotesWatch watch(*w.forms.Fnotes, [&seen](TFnotes& notes) {
            seen = notes.Memo1->toPlainText();
            notes.close();
        });
        sheet.Timer1Timer();
        EXPECT_EQ(watch.shown, 1);
        EXPECT_EQ(seen, QStringLiteral("Survey on 'Monday'"));
        sheet.close();
    }
}

} // namespace
