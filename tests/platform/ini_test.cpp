#include "filelimit.h"
#include "platform/ini.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

class IniFileTest : public ::testing::Test
{
  protected:
    QString Path() const { return dir_.filePath(QStringLiteral("scalora.ini")); }

    void WriteRaw(const QString& text) const
    {
        QFile f(Path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
    }

    QString ReadRaw() const
    {
        QFile f(Path());
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return QString::fromUtf8(f.readAll());
    }

    QTemporaryDir dir_;
};

TEST_F(IniFileTest, AbsentFileSectionOrKeyGivesTheDefault)
{
    IniFile ini(Path());
    EXPECT_EQ(ini.ReadString("main", "DBPath", "none"), "none");
    EXPECT_EQ(ini.ReadInteger("main", "DBVn", 100), 100);
    WriteRaw("[other]\nDBVn=7\n[main]\nProfile=3\n");
    EXPECT_EQ(ini.ReadInteger("main", "DBVn", 100), 100);
    EXPECT_EQ(ini.ReadInteger("main", "Profile", 0), 3);
}

TEST_F(IniFileTest, SectionAndKeyNamesMatchWithoutCase)
{
    WriteRaw("[MAIN]\ndbvn=102\n");
    IniFile ini(Path());
    EXPECT_EQ(ini.ReadInteger("main", "DBVn", 100), 102);
    ini.WriteInteger("Main", "DBVN", 101);
    EXPECT_EQ(ReadRaw(), "[MAIN]\nDBVN=101\n");
}

TEST_F(IniFileTest, WholeNumbersThatDoNotParseGiveTheDefault)
{
    WriteRaw("[main]\nA=abc\nB=\nC= 42 \nD=-7\nE=12xyz\nF=0x1F\n");
    IniFile ini(Path());
    EXPECT_EQ(ini.ReadInteger("main", "A", 5), 5);
    EXPECT_EQ(ini.ReadInteger("main", "B", 5), 5);
    EXPECT_EQ(ini.ReadInteger("main", "C", 5), 42);
    EXPECT_EQ(ini.ReadInteger("main", "D", 5), -7);
    EXPECT_EQ(ini.ReadInteger("main", "E", 5), 12);
    EXPECT_EQ(ini.ReadInteger("main", "F", 5), 31);
}

TEST_F(IniFileTest, WritingOneKeyKeepsEveryOtherLine)
{
    WriteRaw("; settings\n[main]\nDBPath=C:\\old\\\nDBVn=100\n\n[notepad]\nFont=Arial\n");
    IniFile ini(Path());
    ini.WriteInteger("main", "DBVn", 102);
    ini.WriteInteger("main", "Upgrading", 0);
    ini.WriteString("extra", "Key", "v");
    EXPECT_EQ(ReadRaw(), "; settings\n[main]\nDBPath=C:\\old\\\nDBVn=102\nUpgrading=0\n\n"
                         "[notepad]\nFont=Arial\n[extra]\nKey=v\n");
}

TEST_F(IniFileTest, ValuesAreWrittenAndReadAsGiven)
{
    IniFile ini(Path());
    ini.WriteString("main", "DBPath", "/home/u/Scalora data/");
    ini.WriteString("main", "DBPath2", "C:\\x\\y\\");
    EXPECT_EQ(ini.ReadString("main", "DBPath", ""), "/home/u/Scalora data/");
    EXPECT_EQ(ini.ReadString("main", "DBPath2", ""), "C:\\x\\y\\");
    EXPECT_TRUE(ReadRaw().contains("DBPath2=C:\\x\\y\\\n"));
}

TEST_F(IniFileTest, AWriteLeavesNoTemporaryFileBehind)
{
    IniFile ini(Path());
    ini.WriteInteger("main", "DBVn", 102);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"scalora.ini"});
}

TEST_F(IniFileTest, AnUnwritableFolderIsAnError)
{
    IniFile ini(dir_.filePath("missing/folder/scalora.ini"));
    EXPECT_THROW(ini.WriteInteger("main", "DBVn", 102), std::runtime_error);
}

TEST_F(IniFileTest, AWriteThatCannotCompleteLeavesTheOldFileAsItWas)
{
    const QString old = QStringLiteral("[main]\nDiagramNumber=3\n");
    WriteRaw(old);
    IniFile ini(Path());
    {
        // Room for less than the new text: the disk fills up half-way.
        FileSizeLimit full(16);
        EXPECT_THROW(ini.WriteString("main", "DBPath", QString(200, 'p')), std::runtime_error);
    }
    EXPECT_EQ(ReadRaw(), old);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"scalora.ini"});
}

} // namespace
