// Runs the real program in a folder of its own: it starts on a new store,
// and a termination signal closes it as Exit does, writing the ini file.

#include "platform/ini.h"
#include "store/tableschema.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

namespace
{

class ScaloraRunTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        exe_ = dir_.filePath("scalora");
        ASSERT_TRUE(QFile::copy(QStringLiteral(SCALORA_BIN), exe_));
        ASSERT_TRUE(QDir().mkpath(dir_.filePath("Scalora data")));
        CreateTableStore(dir_.filePath("Scalora data"), OldestTableStoreVersion);
    }

    // Whether the process catches the signal yet: its termination handler
    // is in place once the kernel lists the signal as caught.
    static bool Catches(qint64 pid, int signal)
    {
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        if (!status.open(QIODevice::ReadOnly))
            return false;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("SigCgt:")) {
                bool ok = false;
                const qulonglong mask = line.mid(7).trimmed().toULongLong(&ok, 16);
                return ok && (mask >> (signal - 1) & 1) != 0;
            }
        }
        return false;
    }

    // Starts the program, waits until it handles the signal, lets it run
    // into its loop, then signals it. How long the machine takes to start it
    // changes nothing: from the handler on, any moment is a sound one.
    void RunAndSignal(int signal)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p.setProcessEnvironment(env);
        p.start(exe_, {});
        ASSERT_TRUE(p.waitForStarted(60000));
        for (int i = 0; i < 6000 && !Catches(p.processId(), signal); ++i)
            ASSERT_FALSE(p.waitForFinished(10)) << "ended before it handled the signal";
        ASSERT_TRUE(Catches(p.processId(), signal));
        // The ini file is written only at shutdown, so its absence while the
        // program runs shows nothing was written early.
        EXPECT_FALSE(p.waitForFinished(1500));
        EXPECT_FALSE(QFile::exists(dir_.filePath("scalora.ini")));
        ::kill(static_cast<pid_t>(p.processId()), signal);
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 0);
    }

    QString Ini(const QString& key) const
    {
        return IniFile(dir_.filePath("scalora.ini")).ReadString("main", key, "<absent>");
    }

    QTemporaryDir dir_;
    QString exe_;
};

TEST_F(ScaloraRunTest, TermSignalClosesLikeExitAndWritesTheIniFile)
{
    RunAndSignal(SIGTERM);
    EXPECT_EQ(Ini("DBVn"), "102");
    EXPECT_EQ(Ini("DiagramNumber"), "0");
    EXPECT_EQ(Ini("DBPath"), dir_.path() + "/Scalora data/");
    EXPECT_EQ(Ini("DBPath2"), dir_.path() + "/Scalora2 data/");
}

TEST_F(ScaloraRunTest, TermSignalEndsTheProgramEvenWithABoxOpen)
{
    // Without its data folder the program starts with an error box up.
    ASSERT_TRUE(QDir(dir_.filePath("Scalora data")).removeRecursively());
    RunAndSignal(SIGTERM);
    EXPECT_EQ(Ini("DiagramNumber"), "0");
}

TEST_F(ScaloraRunTest, InterruptAlsoClosesCleanly)
{
    RunAndSignal(SIGINT);
    EXPECT_EQ(Ini("DBVn"), "102");
}

} // namespace
