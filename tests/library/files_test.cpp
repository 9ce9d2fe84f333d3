// Copying files and folders with their times kept and the retry questions,
// on real folders in a temporary folder, with scripted answers.

#include "library/files.h"

#include "fifowatch.h"
#include "library/busy.h"
#include "library/fmxutils.h"
#include "library/qorvlib.h"
#include "support/scriptedprompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace
{

using Kind = ScriptedPrompts::Kind;

class FilesTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        source_ = dir_.filePath("source/");
        target_ = dir_.filePath("target/");
        ASSERT_TRUE(QDir().mkpath(source_));
    }
    void TearDown() override { EndAllBusy(); }

    void Write(const QString& path, const QByteArray& bytes, const QDateTime& modified = {})
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes), bytes.size());
        if (modified.isValid()) {
            f.flush();
            ASSERT_TRUE(f.setFileTime(modified, QFileDevice::FileModificationTime));
        }
    }

    static QByteArray Read(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    static QStringList Names(const QString& folder)
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    // a.txt, b.txt and c.txt, of which b.txt goes the first time messages
    // are let through: after the folder was listed, before any copy.
    void ThreeFilesTheSecondGoingOnceCopyingStarts()
    {
        Write(source_ + "a.txt", "first");
        Write(source_ + "b.txt", "second");
        Write(source_ + "c.txt", "third");
        QTimer::singleShot(0, [path = source_ + "b.txt"] { QFile::remove(path); });
    }

    const QDateTime Then = QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6, 789));

    QTemporaryDir dir_;
    QString source_;
    QString target_;
    ScriptedPrompts prompts_;
    ScopedPromptSeam seam_{prompts_};
};

TEST_F(FilesTest, CopyFileKeepDates_MakesTheFolderAndKeepsTheModificationTime)
{
    Write(source_ + "plan.txt", "site", Then);
    const QString into = dir_.filePath("deep/er/folder");
    ASSERT_TRUE(CopyFileKeepDates(source_ + "plan.txt", into));
    EXPECT_EQ(Read(into + "/plan.txt"), QByteArray("site"));
    EXPECT_EQ(QFileInfo(into + "/plan.txt").lastModified(), Then);
    EXPECT_TRUE(prompts_.Log().empty());
}

TEST_F(FilesTest, CopyFolderFiles_CopiesEveryFileWithItsTimeButNoSubFolder)
{
    Write(source_ + "a.txt", "first", Then);
    Write(source_ + "b.bin", QByteArray(70000, 'b'), Then.addDays(-3));
    Write(source_ + ".dot", "hidden");
    ASSERT_TRUE(QDir(source_).mkdir("sub"));
    Write(source_ + "sub/inner.txt", "not copied");

    const FolderCopy copy = CopyFolderFiles(source_, target_);

    EXPECT_TRUE(copy.Complete);
    EXPECT_TRUE(copy.Failures.isEmpty());
    EXPECT_EQ(prompts_.Texts(), QStringList{"Making directory " + target_});
    EXPECT_EQ(Names(target_), QStringList({".dot", "a.txt", "b.bin"}));
    EXPECT_FALSE(QFileInfo::exists(target_ + "sub"));
    EXPECT_EQ(Read(target_ + "b.bin"), QByteArray(70000, 'b'));
    EXPECT_EQ(QFileInfo(target_ + "a.txt").lastModified(), Then);
    EXPECT_EQ(QFileInfo(target_ + "b.bin").lastModified(), Then.addDays(-3));
    EXPECT_EQ(BusyCount(), 0);
}

TEST_F(FilesTest, CopyFolderFiles_OfAnEmptyFolderOnlyMakesTheTarget)
{
    const FolderCopy copy = CopyFolderFiles(source_, target_);
    EXPECT_TRUE(copy.Complete);
    EXPECT_TRUE(QFileInfo(target_).isDir());
    EXPECT_TRUE(Names(target_).isEmpty());
    EXPECT_EQ(prompts_.Texts(), QStringList{"Making directory " + target_});
}

TEST_F(FilesTest, CopyFolderFiles_PassesOverAPipeWithoutOpeningIt)
{
    Write(source_ + "a.txt", "first");
    const FifoWatch pipe(source_ + "pipe.fifo");
    ASSERT_TRUE(pipe.Made());
    Write(source_ + "z.txt", "last");

    const FolderCopy copy = CopyFolderFiles(source_, target_);

    EXPECT_FALSE(pipe.Opened());
    EXPECT_TRUE(copy.Complete);
    EXPECT_EQ(Names(target_), QStringList({"a.txt", "z.txt"}));
    EXPECT_EQ(PlainFileNames(source_), QStringList({"a.txt", "z.txt"}));
    EXPECT_TRUE(prompts_.Texts(Kind::Question).isEmpty());
    // Named on its own, it is refused unopened too.
    EXPECT_THROW(CopyFileChunked(source_ + "pipe.fifo", target_), FileOpenError);
    EXPECT_FALSE(pipe.Opened());
}

TEST_F(FilesTest, CopyFolderFiles_TargetWhoseParentIsMissingRaises)
{
    Write(source_ + "a.txt", "first");
    EXPECT_THROW(CopyFolderFiles(source_, dir_.filePath("no/such/")), InOutError);
}

TEST_F(FilesTest, CopyFolderFiles_NoSkipsTheFileThatFailsAndGoesOn)
{
    ThreeFilesTheSecondGoingOnceCopyingStarts();
    // Yes retries the same file at once; No then skips it.
    prompts_.Answers("YN");

    const FolderCopy copy = CopyFolderFiles(source_, target_);

    EXPECT_FALSE(copy.Complete);
    ASSERT_EQ(copy.Failures.size(), 1);
    EXPECT_TRUE(
        copy.Failures[0].startsWith("b.txt: Cannot open \"" + source_ + "b.txt\" to copy it: "))
        << copy.Failures[0].toStdString();
    EXPECT_EQ(prompts_.Texts(Kind::Question), QStringList({"File open error on b.txt - retry?",
                                                           "File open error on b.txt - retry?"}));
    EXPECT_EQ(Names(target_), QStringList({"a.txt", "c.txt"}));
    EXPECT_TRUE(prompts_.AllAnswered());
}

TEST_F(FilesTest, CopyFolderFiles_CancelStopsAndKeepsWhatWasCopied)
{
    ThreeFilesTheSecondGoingOnceCopyingStarts();
    prompts_.Answer('C');

    const FolderCopy copy = CopyFolderFiles(source_, target_);

    EXPECT_FALSE(copy.Complete);
    EXPECT_EQ(Names(target_), QStringList{"a.txt"});
    EXPECT_EQ(BusyCount(), 0);
}

TEST_F(FilesTest, ProgramFolder_IsTheProgramsOwnFolderAndStartUpKeepsIt)
{
    const QString folder = ProgramFolder();
    EXPECT_TRUE(folder.endsWith('/'));
    EXPECT_EQ(QDir(folder), QDir(QCoreApplication::applicationDirPath()));
    SetProgramFolderPath(QString());
    InitLibrary();
    EXPECT_EQ(ProgramFolderPath(), folder);
}

} // namespace
