// The choice and folder-choice windows through their entry routines.

#include "library/choice.h"
#include "library/messages.h"
#include "library/selfldr.h"
#include "support/modalhelper.h"
#include "support/scriptedprompts.h"

#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

namespace
{

class ChoiceWindow : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ResetDialogPlaces();
        QCursor::setPos(120, 140);
    }
    TFchoice choice_;
};

TEST_F(ChoiceWindow, EachButtonGivesItsResult)
{
    QString question, first, second;
    WhenModal([&](QWidget* w) {
        EXPECT_EQ(w, &choice_);
        question = choice_.Label1->text();
        first = choice_.Button1->text();
        second = choice_.Button2->text();
        choice_.Button1->click();
    });
    EXPECT_EQ(choice_.Choose("Keep which copy?", "Mine", "Theirs"), 1);
    EXPECT_EQ(question, "Keep which copy?");
    EXPECT_EQ(first, "Mine");
    EXPECT_EQ(second, "Theirs");
    WhenModal([&](QWidget*) { choice_.Button2->click(); });
    EXPECT_EQ(choice_.Choose("Again?", "Mine", "Theirs"), 2);
    EXPECT_EQ(choice_.ChoiceResult, 2);
    WhenModal([&](QWidget*) { choice_.Button3->click(); });
    EXPECT_EQ(choice_.Choose("Again?", "Mine", "Theirs"), 0);
}

TEST_F(ChoiceWindow, EscAndClosingCountAsCancel)
{
    WhenModal([&](QWidget*) {
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(choice_.Button1, &esc);
    });
    EXPECT_EQ(choice_.Choose("Which?", "A", "B"), 0);
    WhenModal([&](QWidget*) { choice_.close(); });
    EXPECT_EQ(choice_.Choose("Which?", "A", "B"), 0);
}

TEST_F(ChoiceWindow, OpensWhereTheBoxesOpenAndShowsAmpersandsLiterally)
{
    QPoint at;
    QString caption;
    WhenModal([&](QWidget*) {
        at = choice_.pos();
        caption = choice_.Button1->text();
        choice_.Button3->click();
    });
    choice_.Choose("Which?", "Salt & pepper", "B");
    EXPECT_EQ(at, QPoint(120, 140));
    EXPECT_EQ(caption, "Salt && pepper");
    EXPECT_EQ(choice_.size(), QSize(471, 129));
    EXPECT_TRUE(choice_.windowFlags() & Qt::FramelessWindowHint);
}

TEST_F(ChoiceWindow, DraggingTheQuestionMovesTheWindow)
{
    QPoint before, after;
    WhenModal([&](QWidget*) {
        before = choice_.pos();
        const QPoint grab = choice_.Label1->mapToGlobal(QPoint(5, 5));
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(grab), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(choice_.Label1, &press);
        QMouseEvent move(QEvent::MouseMove, QPointF(45, 15), QPointF(grab + QPoint(40, 10)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(choice_.Label1, &move);
        after = choice_.pos();
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(45, 15),
                            QPointF(grab + QPoint(40, 10)), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(choice_.Label1, &release);
        choice_.Button3->click();
    });
    choice_.Choose("Drag me", "A", "B");
    EXPECT_EQ(after, before + QPoint(40, 10));
}

class FolderWindow : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        root_ = QDir(dir_.path()).canonicalPath();
        for (const char* sub : {"Data/Site B", "Data/site a", "Data/.hidden", "Other"})
            ASSERT_TRUE(QDir().mkpath(root_ + "/" + sub));
        for (const char* file : {"Data/notes.txt", "Data/.profile"}) {
            QFile f(root_ + "/" + file);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
    }

    QStringList FolderTexts() const
    {
        QStringList texts;
        for (int i = 0; i < folders_.DirectoryListBox1->count(); ++i)
            texts << folders_.DirectoryListBox1->item(i)->text().trimmed();
        return texts;
    }

    QString CurrentItemPath() const
    {
        return folders_.DirectoryListBox1->currentItem()->data(Qt::UserRole).toString();
    }

    QTemporaryDir dir_;
    QString root_;
    Tfselfolder folders_;
};

TEST_F(FolderWindow, ListsTheWayDownThenTheSubfoldersAndEveryFile)
{
    const std::vector<FolderItem> items = FolderListItems(root_ + "/Data");
    const QStringList parts = (root_ + "/Data").split('/', Qt::SkipEmptyParts);
    ASSERT_EQ(items.size(), size_t(parts.size()) + 1 + 2);
    EXPECT_EQ(items.front().Path, "/");
    EXPECT_EQ(items[parts.size()].Path, root_ + "/Data");
    EXPECT_EQ(items[parts.size()].Text, QString(2 * parts.size(), ' ') + "Data");
    EXPECT_EQ(items[parts.size() + 1].Text, QString(2 * parts.size() + 2, ' ') + "site a");
    EXPECT_EQ(items[parts.size() + 2].Path, root_ + "/Data/Site B");

    ASSERT_TRUE(folders_.OpenFolder(root_ + "/Data"));
    EXPECT_EQ(CurrentItemPath(), root_ + "/Data");
    QStringList files;
    for (int i = 0; i < folders_.FileListBox1->count(); ++i)
        files << folders_.FileListBox1->item(i)->text();
    EXPECT_EQ(files, QStringList({".profile", "notes.txt"}));
    EXPECT_EQ(folders_.windowTitle(), "Select folder \"" + root_ + "/Data\"");
}

TEST_F(FolderWindow, ASingleClickOpensAFolderAndFilesAreNeverChosen)
{
    ASSERT_TRUE(folders_.OpenFolder(root_ + "/Data"));
    const int siteB = folders_.FindFolderItem(root_ + "/Data/Site B");
    ASSERT_GT(siteB, 0);
    EXPECT_EQ(folders_.FindFolderItem(root_ + "/data/site b"), -1); // case counts
    folders_.DirectoryListBox1->setCurrentRow(siteB);
    folders_.DirectoryListBox1Click();
    EXPECT_EQ(folders_.CurrentFolder(), root_ + "/Data/Site B");
    EXPECT_EQ(FolderTexts().last(), "Site B");

    ASSERT_TRUE(folders_.OpenFolder(root_ + "/Data"));
    folders_.FileListBox1->setCurrentRow(1);
    folders_.FileListBox1Click();
    EXPECT_TRUE(folders_.FileListBox1->selectedItems().isEmpty());
    EXPECT_EQ(folders_.CurrentFolder(), root_ + "/Data");
}

TEST_F(FolderWindow, BackOpensTheParentAndSelectsTheFolderLeft)
{
    ASSERT_TRUE(folders_.OpenFolder(root_ + "/Data/site a"));
    folders_.SpeedButton1->click();
    EXPECT_EQ(folders_.CurrentFolder(), root_ + "/Data");
    EXPECT_EQ(CurrentItemPath(), root_ + "/Data/site a");
    folders_.BackToParentFolder();
    EXPECT_EQ(folders_.CurrentFolder(), root_);
    EXPECT_EQ(CurrentItemPath(), root_ + "/Data");

    // Just below the root: back opens the root; at the root nothing happens.
    ASSERT_TRUE(folders_.OpenFolder("/tmp"));
    folders_.BackToParentFolder();
    EXPECT_EQ(folders_.CurrentFolder(), "/");
    EXPECT_EQ(CurrentItemPath(), "/tmp");
    folders_.BackToParentFolder();
    EXPECT_EQ(folders_.CurrentFolder(), "/");
}

TEST_F(FolderWindow, AMissingDriveIsReportedAndTheFolderKept)
{
    ScriptedPrompts prompts;
    ScopedPromptSeam seam(prompts);
    ASSERT_TRUE(folders_.OpenFolder(root_ + "/Data"));
    const QString gone = root_ + "/Gone";
    folders_.DriveComboBox1->addItem(gone, gone);
    folders_.DriveComboBox1->setCurrentIndex(folders_.DriveComboBox1->count() - 1);
    folders_.DriveComboBox1Change();
    EXPECT_EQ(prompts.Texts(), QStringList{"Drive " + gone + ": not found"});
    EXPECT_EQ(folders_.CurrentFolder(), root_ + "/Data");
    EXPECT_NE(folders_.DriveComboBox1->currentData().toString(), gone);

    folders_.DriveComboBox1->addItem(root_ + "/Other", root_ + "/Other");
    folders_.DriveComboBox1->setCurrentIndex(folders_.DriveComboBox1->count() - 1);
    folders_.DriveComboBox1Change();
    EXPECT_EQ(folders_.CurrentFolder(), root_ + "/Other");
}

TEST_F(FolderWindow, AFolderGoneSinceListingIsReported)
{
    ScriptedPrompts prompts;
    ScopedPromptSeam seam(prompts);
    ASSERT_TRUE(folders_.OpenFolder(root_ + "/Data"));
    ASSERT_TRUE(QDir(root_ + "/Data/site a").removeRecursively());
    folders_.DirectoryListBox1->setCurrentRow(folders_.FindFolderItem(root_ + "/Data/site a"));
    folders_.DirectoryListBox1Click();
    EXPECT_EQ(prompts.Texts(), QStringList{"\"" + root_ + "/Data/site a\" - folder not found"});
    EXPECT_EQ(folders_.CurrentFolder(), root_ + "/Data");
    EXPECT_EQ(folders_.FindFolderItem(root_ + "/Data/site a"), -1);
}

TEST_F(FolderWindow, ChooseFolderHandsBackTheFolderOnOKOnly)
{
    QString folder = root_ + "/Data";
    WhenModal([&](QWidget* w) {
        EXPECT_EQ(w, &folders_);
        folders_.DirectoryListBox1->setCurrentRow(folders_.FindFolderItem(root_ + "/Data/Site B"));
        folders_.DirectoryListBox1Click();
        folders_.SelBtn->click();
    });
    EXPECT_TRUE(folders_.ChooseFolder(folder));
    EXPECT_EQ(folder, root_ + "/Data/Site B");

    QString kept = root_ + "/no such folder";
    WhenModal([&](QWidget*) {
        EXPECT_EQ(folders_.CurrentFolder(), QDir::currentPath());
        folders_.CancelBtn->click();
    });
    EXPECT_FALSE(folders_.ChooseFolder(kept));
    EXPECT_EQ(kept, root_ + "/no such folder");
}

} // namespace
