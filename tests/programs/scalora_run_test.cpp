// Runs the real programs in a folder of their own: a termination signal
// closes each as Exit does, closing its store and writing the ini file.

#include "firebird/fbschema.h"
#include "firebirdenv.h"
#include "firebirdfile.h"
#include "platform/ini.h"
#include "platform/tables.h"
#include "tablestore/tableschema.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <functional>
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

    // Starts the program, waits until it handles the signal and is ready,
    // lets it run into its loop, then signals it. How long the machine takes
    // to start it changes nothing: from then on, any moment is a sound one.
    void RunAndSignal(int signal, const std::function<bool(qint64)>& ready = {}, int exitCode = 0)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p.setProcessEnvironment(env);
        p.start(exe_, {});
        const QByteArray iniBefore = IniText();
        ASSERT_TRUE(p.waitForStarted(60000));
        const auto isReady = [&] {
            return Catches(p.processId(), signal) && (!ready || ready(p.processId()));
        };
        for (int i = 0; i < 6000 && !isReady(); ++i)
            ASSERT_FALSE(p.waitForFinished(10)) << "ended before it handled the signal";
        ASSERT_TRUE(isReady());
        // The ini file is written only at shutdown, so that it is as it was
        // while the program runs shows nothing was written early.
        EXPECT_FALSE(p.waitForFinished(1500));
        EXPECT_EQ(IniText(), iniBefore);
        ::kill(static_cast<pid_t>(p.processId()), signal);
        // A box left up by a failed close would keep it running.
        ASSERT_TRUE(p.waitForFinished(60000)) << "still running after the signal";
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), exitCode);
    }

    // Ready once the program has the store file open and waits in an event
    // loop: its own, or that of a box it shows.
    static bool WaitsWithFileOpen(qint64 pid, const QString& file)
    {
        const QString path = QFileInfo(file).canonicalFilePath();
        bool open = false;
        for (const QFileInfo& fd : QDir(QStringLiteral("/proc/%1/fd").arg(pid)).entryInfoList())
            open = open || fd.symLinkTarget() == path;
        QFile wchan(QStringLiteral("/proc/%1/wchan").arg(pid));
        return open && wchan.open(QIODevice::ReadOnly) && wchan.readAll().contains("poll");
    }

    // The ini file's whole text, empty when there is none.
    QByteArray IniText() const
    {
        QFile ini(dir_.filePath("scalora.ini"));
        return ini.open(QIODevice::ReadOnly) ? ini.readAll() : QByteArray();
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
    // Without its data folder the program starts with an error box up, and
    // ends: it cannot go on without its store. The ini file is left alone.
    ASSERT_TRUE(QDir(dir_.filePath("Scalora data")).removeRecursively());
    RunAndSignal(SIGTERM, {}, 1);
    EXPECT_FALSE(QFile::exists(dir_.filePath("scalora.ini")));
}

TEST_F(ScaloraRunTest, TermSignalEndsTheProgramWhileTheFirstDrawingsBoxIsUp)
{
    // A segment whose end points are gone: drawing the diagram as the main
    // window first shows raises a box before the program's loop has begun.
    const QString file = dir_.filePath("Scalora data/tables.sqlite");
    {
        tables::Database db;
        db.Params = QStringList{"PATH=" + dir_.filePath("Scalora data")};
        db.Open();
        db.Execute("insert into drawing.db (dgnum, dgname, units, rndgdp) values (1, 'Yard', "
                   "'m', 2)");
        db.Execute("insert into layer.db (dgnum, layernum, name, visib) values (1, 0, 'L', 2)");
        db.Execute("insert into seg.db (dgnum, segnum, frompt, topt, segtype, layernum) values "
                   "(1, 0, 0, 1, 2, 0)");
    }
    IniFile(dir_.filePath("scalora.ini")).WriteString("main", "DiagramNumber", "1");
    RunAndSignal(SIGTERM, [&file](qint64 pid) { return WaitsWithFileOpen(pid, file); });
    EXPECT_EQ(Ini("DiagramNumber"), "1");
    EXPECT_EQ(Ini("DBVn"), "102");
}

TEST_F(ScaloraRunTest, InterruptAlsoClosesCleanly)
{
    RunAndSignal(SIGINT);
    EXPECT_EQ(Ini("DBVn"), "102");
}

// The second program on its Firebird database, a diagram open: the embedded
// engine, which reacts to the same signals, must not take the close over.
class Scalora2RunTest : public ScaloraRunTest
{
  protected:
    void SetUp() override
    {
        exe_ = dir_.filePath("scalora2");
        ASSERT_TRUE(QFile::copy(QStringLiteral(SCALORA2_BIN), exe_));
        ASSERT_TRUE(QDir().mkpath(dir_.filePath("Scalora2 data")));
        CreateFirebirdStore(DbPath());
        {
            ibase::Connection c = ibase::Connection::Attach(DbPath());
            ibase::Transaction t(c);
            t.ExecuteImmediate("insert into drawing (dgnum, dgname, units, rndgdp) values "
                               "(1, 'Shed', 'm', 2)");
            t.ExecuteImmediate("insert into layer (dgnum, layernum, layername, visib) values "
                               "(1, 0, 'Default layer', 2)");
            t.ExecuteImmediate("insert into point (dgnum, pointnum, lenx, leny, layernum) values "
                               "(1, 0, 0, 0, 0)");
            t.ExecuteImmediate("insert into point (dgnum, pointnum, lenx, leny, layernum) values "
                               "(1, 1, 10, 0, 0)");
            t.ExecuteImmediate("insert into seg (dgnum, segnum, frompt, topt, segtype, mlenx, "
                               "mleny, mlenz, layernum) values (1, 0, 0, 1, 2, 10, 0, 0, 0)");
            t.Commit();
        }
        IniFile(dir_.filePath("scalora.ini")).WriteString("main", "DiagramNumber", "1");
    }

    QString DbPath() const { return dir_.filePath("Scalora2 data/scalora2data.fdb"); }

    // Ready once the database is open and the program waits in its event
    // loop: the store has been opened whole by then.
    void RunAndSignal(int signal)
    {
        ScaloraRunTest::RunAndSignal(
            signal, [this](qint64 pid) { return WaitsWithFileOpen(pid, DbPath()); });
        EXPECT_EQ(Ini("DiagramNumber"), "1");
        EXPECT_EQ(Ini("DBPath2"), dir_.path() + "/Scalora2 data/");
        // Closed, not left attached: another program opens the database.
        EXPECT_EQ(ValueInDatabaseFile(DbPath(), "select dgname from drawing where dgnum = 1"),
                  "Shed");
    }
};

TEST_F(Scalora2RunTest, TermSignalClosesTheDatabaseAndWritesTheIniFile)
{
    RunAndSignal(SIGTERM);
}

TEST_F(Scalora2RunTest, InterruptClosesTheDatabaseAndWritesTheIniFile)
{
    RunAndSignal(SIGINT);
}

} // namespace
