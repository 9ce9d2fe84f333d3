// The chunked copy of one file on real files in a temporary folder.

#include "library/fmxutils.h"

#include "filelimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace
{

class CopyFileChunkedTest : public ::testing::Test
{
  protected:
    QString Path(const QString& name) const { return dir_.filePath(name); }

    // Bytes that differ from position to position, so a chunk copied twice
    // or out of place shows.
    static QByteArray Pattern(qint64 size)
    {
        QByteArray bytes(size, '\0');
        for (qint64 i = 0; i < size; ++i)
            bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xff);
        return bytes;
    }

    void Write(const QString& name, const QByteArray& bytes)
    {
        QFile f(Path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }

    QByteArray Read(const QString& name)
    {
        QFile f(Path(name));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
        return f.readAll();
    }

    // The names in the folder, so a left-over temporary file shows.
    QStringList Names() const
    {
        return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    QTemporaryDir dir_;
};

TEST_F(CopyFileChunkedTest, CopiesByteForByteAroundTheChunkSize)
{
    for (const qint64 size : {qint64(0), qint64(1), CopyChunkBytes - 1, CopyChunkBytes,
                              CopyChunkBytes + 1, 3 * CopyChunkBytes + 17}) {
        const QByteArray bytes = Pattern(size);
        Write("source", bytes);
        CopyFileChunked(Path("source"), Path("copy"));
        EXPECT_EQ(Read("copy"), bytes) << size;
    }
}

TEST_F(CopyFileChunkedTest, IntoAFolder_TakesTheSourcesName)
{
    Write("plan.txt", "gate");
    ASSERT_TRUE(QDir(dir_.path()).mkdir("into"));
    CopyFileChunked(Path("plan.txt"), Path("into"));
    EXPECT_EQ(Read("into/plan.txt"), QByteArray("gate"));
}

TEST_F(CopyFileChunkedTest, MissingSource_RaisesAnOpenErrorNamingIt)
{
    try {
        CopyFileChunked(Path("gone"), Path("copy"));
        FAIL() << "no error";
    } catch (const FileOpenError& e) {
        EXPECT_TRUE(QString::fromStdString(e.what()).startsWith("Cannot open \"" + Path("gone") +
                                                                "\" to copy it: "))
            << e.what();
    }
    EXPECT_FALSE(QFile::exists(Path("copy")));
}

TEST_F(CopyFileChunkedTest, ReadOnlyTarget_IsNotReplaced)
{
    Write("source", "new");
    Write("copy", "old");
    ASSERT_TRUE(QFile::setPermissions(Path("copy"), QFileDevice::ReadOwner));
    EXPECT_THROW(CopyFileChunked(Path("source"), Path("copy")), FileCreateError);
    QFile::setPermissions(Path("copy"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(Read("copy"), QByteArray("old"));
}

TEST_F(CopyFileChunkedTest, TargetInAMissingFolder_RaisesACreateError)
{
    Write("source", "x");
    Write("afile", "x");
    // A folder path that runs through a file cannot be written, whoever runs it.
    EXPECT_THROW(CopyFileChunked(Path("source"), Path("afile/copy")), FileCreateError);
}

TEST_F(CopyFileChunkedTest, DiskFullPartWay_FailsAndLeavesNoPartialFile)
{
    Write("source", Pattern(5 * CopyChunkBytes));
    Write("copy", "the earlier copy");
    const QStringList before = Names();
    {
        FileSizeLimit full(2 * CopyChunkBytes);
        EXPECT_THROW(CopyFileChunked(Path("source"), Path("copy")), InOutError);
    }
    EXPECT_EQ(Read("copy"), QByteArray("the earlier copy"));
    EXPECT_EQ(Names(), before);
}

TEST_F(CopyFileChunkedTest, SourceCutShortWhileCopied_FailsAndLeavesNoCopy)
{
    Write("source", Pattern(4 * CopyChunkBytes));
    // Messages are let through before every chunk: the second time round,
    // after one chunk is copied, the source loses most of its bytes.
    int passes = 0;
    QTimer cut;
    cut.setInterval(0);
    QObject::connect(&cut, &QTimer::timeout, [&] {
        if (++passes == 2)
            QFile::resize(Path("source"), 10);
    });
    cut.start();
    EXPECT_THROW(CopyFileChunked(Path("source"), Path("copy")), InOutError);
    cut.stop();
    EXPECT_GE(passes, 2);
    EXPECT_FALSE(QFile::exists(Path("copy")));
    EXPECT_EQ(Names(), QStringList{"source"});
}

} // namespace
