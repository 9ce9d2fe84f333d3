// The start of scalora on a store whose open diagram is a generated site
// plan of 1k, 10k, 100k and 1M segments, up to the diagram drawn, and the
// process's peak memory by then, beside its lower bound measured in the
// same run: a process that starts the toolkit, makes the program's windows
// and shows its main window, and does a refresh's least on a connection
// with the store's engine settings (the raw read of the visible segments,
// labels and points, the stamp of the drawn points, committed, the lines
// and labels drawn by QPainter). Each start is a fresh process: this
// program runs itself with "--start" or "--bound" and a folder, and times
// the child from its launch to its line "drawn <peak KiB>". The peak
// memory is also given per segment above that of the program started with
// no diagram open.
// Prints "<figure> <value> <unit>".

#include "benchbounds.h"
#include "benchfigures.h"
#include "benchstore.h"

#include "library/application.h"
#include "library/qorvlib.h"
#include "platform/ini.h"
#include "programs/tableedition.h"
#include "sheet/sheet.h"
#include "sheet/startup.h"
#include "support/scriptedprompts.h"
#include "tablestore/core.h"

#include <QApplication>
#include <QCoreApplication>
#include <QProcess>
#include <QScrollArea>
#include <QWidget>
#include <cstring>
#include <sys/resource.h>

namespace
{

constexpr int Runs = 5;
// A start at 1M segments that first fits every pixel takes minutes.
constexpr int ChildWaitMs = 900000;

long PeakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The program's own start, as its main block makes it, on the folder.
int StartProgram(int argc, char** argv, const QString& folder)
{
    Application app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Scalora"));
    InitLibrary();
    // A box that asked something would wait for ever: none is expected.
    ScriptedPrompts prompts;
    ScopedPromptSeam seam(prompts);
    ProgramWindows windows(TableEdition(), folder);
    windows.forms.FSheet->show();
    QCoreApplication::processEvents();
    std::printf("drawn %ld\n", PeakKiB());
    std::fflush(stdout);
    return 0;
}

// The least of a start: the toolkit, the program's windows made and its
// main window shown, and a refresh's least, with its lines and labels
// drawn on an image of the sheet's size, on a connection opened as the
// store opens its file (the program's page cache, memory map, write-ahead
// log and fold of each commit). The windows' store is made but not opened,
// so that they read nothing and the shown window refreshes nothing.
int StartBound(int argc, char** argv, const QString& folder)
{
    Application app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Scalora"));
    InitLibrary();
    ScriptedPrompts prompts;
    ScopedPromptSeam seam(prompts);
    Edition edition = TableEdition();
    edition.MakeStore = [](const QString& exeFolder) -> std::unique_ptr<Store> {
        return std::make_unique<TFcore>(exeFolder);
    };
    ProgramWindows windows(edition, folder);
    TFSheet& sheet = *windows.forms.FSheet;
    sheet.show();
    QCoreApplication::processEvents();
    tables::Database db;
    db.Params = QStringList{QStringLiteral("PATH=") + folder + QStringLiteral("/Scalora data")};
    db.Open();
    {
        RefreshBound bound(db.Handle());
        bound.Run();
        const QSize size = sheet.ScrollBox1->maximumViewportSize();
        bound.Draw(size.width(), size.height(), true);
    }
    db.Close();
    std::printf("drawn %ld\n", PeakKiB());
    std::fflush(stdout);
    return 0;
}

struct Start {
    double Ms = 0;
    long PeakKiB = 0;
};

Start RunChild(const char* mode, const QString& folder)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    Start start;
    start.Ms = Ms([&] {
        child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(mode), folder});
        while (!child.canReadLine() && child.waitForReadyRead(ChildWaitMs)) {
        }
    });
    const QByteArray line = child.readLine().trimmed();
    child.waitForFinished(ChildWaitMs);
    if (!line.startsWith("drawn "))
        BenchFail(std::string("the child did not draw: ") + line.toStdString());
    start.PeakKiB = line.mid(6).toLong();
    return start;
}

void OpenAtStart(const QString& folder, int diagram)
{
    IniFile ini(folder + QStringLiteral("/scalora.ini"));
    ini.WriteInteger(QStringLiteral("main"), QStringLiteral("DiagramNumber"), diagram);
    ini.WriteInteger(QStringLiteral("main"), QStringLiteral("DBVn"), CurrentTableStoreVersion);
}

// The peak of the program started on the store with no diagram open.
long EmptyProgramPeakKiB(const QString& folder)
{
    OpenAtStart(folder, 0);
    std::vector<double> peaks;
    for (int i = 0; i < 3; ++i)
        peaks.push_back(double(RunChild("--start", folder).PeakKiB));
    OpenAtStart(folder, benchsite::SiteDiagram);
    return long(Median(peaks));
}

void StartAt(int segments, SizedFigures& figures)
{
    BenchStore store(segments);
    const QString folder = store.Folder();
    store.Core.reset(); // the program opens the store itself
    const long emptyPeak = EmptyProgramPeakKiB(folder);
    // The last run drew the diagram on a sheet of this size: its pixels
    // and boxes are cached as a start finds them.
    RunChild("--start", folder);
    std::vector<long> peaks;
    const SideBySide m = MeasureSideBySide(
        Runs, [&](int) { peaks.push_back(RunChild("--start", folder).PeakKiB); },
        [&](int) { RunChild("--bound", folder); });
    figures.Report("start-up-drawn", segments, m);
    long peak = 0;
    for (const long p : peaks)
        peak = std::max(peak, p);
    Figure("start-up-peak-memory-" + SizeTag(segments), double(peak) / 1024.0, "MiB");
    Figure("start-up-peak-memory-empty-program-" + SizeTag(segments), double(emptyPeak) / 1024.0,
           "MiB");
    Figure("start-up-peak-memory-per-segment-" + SizeTag(segments),
           double(peak - emptyPeak) / segments, "KiB");
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && std::strcmp(argv[1], "--start") == 0)
        return StartProgram(argc, argv, QString::fromLocal8Bit(argv[2]));
    if (argc == 3 && std::strcmp(argv[1], "--bound") == 0)
        return StartBound(argc, argv, QString::fromLocal8Bit(argv[2]));
    QApplication app(argc, argv);
    ScriptedPrompts prompts;
    ScopedPromptSeam seam(prompts);
    SizedFigures figures;
    for (const int segments : BenchSizesToMillion(argc, argv))
        StartAt(segments, figures);
    figures.ReportGrowth();
    return 0;
}
