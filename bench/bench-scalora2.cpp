// The second program on its Firebird database, holding the generated site
// as the first program exported it, at 1k, 10k and 100k segments:
//
// - a full sheet refresh beside its lower bound, measured through the same
//   connection in the same run: the diagram's points and its visible
//   segments read (two scans, joined in memory), those lines drawn on a
//   image with QPainter (the cheapest drawing of the same lines), the
//   drawn points stamped in one statement, committed; and
//   beside the same work done as one SQL join of the segments with their
//   ends and one stamping statement that gathers the points itself;
// - the first program's refresh of the same diagram, for comparison;
// - storing one measured segment, its command committed;
// - the second program's first start after the export, a fresh process up
//   to the diagram drawn (its sheet differs from the first program's, so
//   it fits every cached pixel and box to its own scale), and a later start,
//   each beside a fresh process that starts the toolkit, shows a window and
//   does the refresh's least on a fresh connection (for the first start
//   with every pixel and box written anew by two set-based statements).
//
// Prints "<figure> <value> <unit>".

#include "benchfigures.h"
#include "benchstore.h"

#include "dialogs/forms.h"
#include "export/export.h"
#include "firebird/corefb.h"
#include "firebird/fbschema.h"
#include "firebird/fbtimestamp.h"
#include "library/application.h"
#include "library/qorvlib.h"
#include "programs/fbedition.h"
#include "sheet/sheet.h"
#include "sheet/startup.h"
#include "support/scriptedprompts.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QScrollArea>
#include <QTemporaryDir>
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace
{

constexpr int RefreshRuns = 9;
constexpr int Inserts = 41;
constexpr int StartRuns = 3;

// The main window of a program on its store, its sheet 1,000 x 800. The
// first showing refreshes, its fit writing whatever pixels the sheet's size
// asks for; the measured refreshes find them as they were.
// Handles events until the store's opening refresh has fitted the diagram:
// the second program's sheet makes it once its maximised window is on the
// screen. Gives up after a minute.
void AwaitOpeningRefresh(const Store& store)
{
    QElapsedTimer waited;
    waited.start();
    while (store.Scale <= 0 && waited.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    QCoreApplication::processEvents();
}

class SheetOn
{
  public:
    SheetOn(Store& store, const Edition& edition)
    {
        forms_.Program = &edition;
        forms_.Fcore = &store;
        sheet_ = std::make_unique<TFSheet>(forms_);
        forms_.FSheet = sheet_.get();
        QScrollArea* box = sheet_->ScrollBox1;
        box->setFixedSize(1000 + 2 * box->frameWidth(), 800 + 2 * box->frameWidth());
        sheet_->show();
        AwaitOpeningRefresh(store);
        sheet_->Sheet.HideCursors();
    }

    void Refresh() { sheet_->Redraw.RefreshSheet(); }

  private:
    Forms forms_;
    std::unique_ptr<TFSheet> sheet_;
};

// Runs of consecutive numbers as "first:last," texts, and the block that
// stamps them in the engine: the cheapest one statement Firebird has for a
// set of points it is handed.
const char* const StampRunsSQL =
    "execute block (ts timestamp = ?, dg integer = ?, runs varchar(30000) character set ascii "
    "= ?) as declare p integer = 1; declare c integer; declare k integer; declare a integer; "
    "declare b integer; begin while (p < char_length(runs)) do begin "
    "c = position(':', runs, p); k = position(',', runs, c); "
    "a = cast(substring(runs from p for c - p) as integer); "
    "b = cast(substring(runs from c + 1 for k - c - 1) as integer); "
    "update point set rprts = :ts where dgnum = :dg and pointnum between :a and :b; "
    "p = k + 1; end end";

std::vector<QString> RunTexts(const std::vector<int>& numbers)
{
    std::vector<QString> texts(1);
    for (size_t i = 0; i < numbers.size();) {
        size_t j = i;
        while (j + 1 < numbers.size() && numbers[j + 1] == numbers[j] + 1)
            ++j;
        const QString run = QStringLiteral("%1:%2,").arg(numbers[i]).arg(numbers[j]);
        if (texts.back().size() + run.size() > 30000)
            texts.emplace_back();
        texts.back() += run;
        i = j + 1;
    }
    return texts;
}

// The least a refresh of the second program does, through a connection's
// transaction, drawing on an image of the sheet's size.
class FbRefreshBound
{
  public:
    FbRefreshBound(ibase::Transaction& transaction, QSize sheet)
        : transaction_(transaction), sheet_(sheet),
          points_(transaction, QStringLiteral("select pointnum, pxlx, pxly from point "
                                              "where dgnum = ?")),
          segs_(transaction,
                QStringLiteral("select s.frompt, s.topt from seg s join layer l on l.dgnum = "
                               "s.dgnum and l.layernum = s.layernum where s.dgnum = ? and "
                               "l.visib > 0")),
          labels_(transaction,
                  QStringLiteral("select t.pointnum from text t join layer l on l.dgnum = "
                                 "t.dgnum and l.layernum = t.layernum where t.dgnum = ? and "
                                 "l.visib > 0")),
          stamp_(transaction, QString::fromLatin1(StampRunsSQL))
    {
    }

    void Run(long long second)
    {
        std::vector<std::pair<int, int>> at;
        points_.SetParam(0, benchsite::SiteDiagram);
        points_.Execute();
        while (points_.Fetch()) {
            const size_t n = size_t(points_.ColumnInt(0));
            if (n >= at.size())
                at.resize(n + 1);
            at[n] = {points_.ColumnInt(1), points_.ColumnInt(2)};
        }
        QImage image(sheet_, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setPen(QColor(0, 0, 128));
        std::vector<int> drawn;
        segs_.SetParam(0, benchsite::SiteDiagram);
        segs_.Execute();
        while (segs_.Fetch()) {
            const int from = segs_.ColumnInt(0);
            const int to = segs_.ColumnInt(1);
            painter.drawLine(at[size_t(from)].first, at[size_t(from)].second, at[size_t(to)].first,
                             at[size_t(to)].second);
            drawn.push_back(from);
            drawn.push_back(to);
        }
        painter.end();
        labels_.SetParam(0, benchsite::SiteDiagram);
        labels_.Execute();
        while (labels_.Fetch())
            drawn.push_back(labels_.ColumnInt(0));
        std::sort(drawn.begin(), drawn.end());
        drawn.erase(std::unique(drawn.begin(), drawn.end()), drawn.end());
        for (const QString& runs : RunTexts(drawn)) {
            stamp_.SetParam(0, TimestampParam(DateTimeOfSeconds(second)));
            stamp_.SetParam(1, benchsite::SiteDiagram);
            stamp_.SetParam(2, runs);
            stamp_.Execute();
        }
        transaction_.Commit();
    }

  private:
    ibase::Transaction& transaction_;
    QSize sheet_;
    ibase::Statement points_;
    ibase::Statement segs_;
    ibase::Statement labels_;
    ibase::Statement stamp_;
};

// The same work as one SQL join of the visible segments with their ends,
// and one statement that gathers the drawn points and stamps them.
class FbJoinRefreshBound
{
  public:
    explicit FbJoinRefreshBound(TFcoreFb& core)
        : core_(core),
          scan_(*core.IBTransaction1,
                QStringLiteral("select a.pxlx, a.pxly, b.pxlx, b.pxly from seg s join layer l on "
                               "l.dgnum = s.dgnum and l.layernum = s.layernum join point a on "
                               "a.dgnum = s.dgnum and a.pointnum = s.frompt join point b on "
                               "b.dgnum = s.dgnum and b.pointnum = s.topt where s.dgnum = :dg "
                               "and l.visib > 0 order by s.segnum")),
          stamp_(*core.IBTransaction1,
                 QStringLiteral(
                     "merge into point p using (select s.frompt as n from seg s join layer l on "
                     "l.dgnum = s.dgnum and l.layernum = s.layernum where s.dgnum = :dg and "
                     "l.visib > 0 union select s.topt from seg s join layer l on l.dgnum = "
                     "s.dgnum and l.layernum = s.layernum where s.dgnum = :dg and l.visib > 0 "
                     "union select t.pointnum from text t join layer l on l.dgnum = t.dgnum and "
                     "l.layernum = t.layernum where t.dgnum = :dg and l.visib > 0) v on "
                     "(p.dgnum = :dg and p.pointnum = v.n) when matched then update set "
                     "p.rprts = :ts"))
    {
    }

    void Run(long long second)
    {
        QImage image(core_.SheetWidth, core_.SheetHeight, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setPen(QColor(0, 0, 128));
        scan_.SetParam(QStringLiteral("dg"), benchsite::SiteDiagram);
        scan_.Execute();
        while (scan_.Fetch())
            painter.drawLine(scan_.ColumnInt(0), scan_.ColumnInt(1), scan_.ColumnInt(2),
                             scan_.ColumnInt(3));
        painter.end();
        stamp_.SetParam(QStringLiteral("dg"), benchsite::SiteDiagram);
        stamp_.SetParam(QStringLiteral("ts"), TimestampParam(DateTimeOfSeconds(second)));
        stamp_.Execute();
        core_.RestartTransaction();
    }

  private:
    TFcoreFb& core_;
    ibase::Statement scan_;
    ibase::Statement stamp_;
};

// A measured segment from a stored point of the site to a new point, as
// the measured-segment dialog stores it: both ends looked up by their
// lengths, the reuse check, the row, the commit.
double StoreMeasured(Store& store, const TPointRec& from, int i)
{
    TSegRec s;
    InitSegment(s);
    s.SegType = SegLine;
    s.FromPoint = from;
    s.FromPoint.Pointnum = -1;
    s.ToPoint.Lenx = from.Lenx + 1.37;
    s.ToPoint.Leny = from.Leny + 0.91 + i * 0.001;
    s.Mlenx = 1.37;
    s.Mleny = 0.91 + i * 0.001;
    s.Measured = true;
    const double ms = Ms([&] { store.AddSegment(s); });
    if (s.Segnum < 0)
        BenchFail("a measured segment was not stored");
    return ms;
}

// A fresh process of the second program on the folder, up to its diagram
// drawn.
int StartProgram(int argc, char** argv, const QString& folder)
{
    Application app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Scalora2"));
    InitLibrary();
    ScriptedPrompts prompts;
    ScopedPromptSeam seam(prompts);
    ProgramWindows windows(FirebirdEdition(), folder);
    windows.forms.FSheet->show();
    // A box would tell of a refresh that failed part-way.
    const Store& store = *windows.forms.Fcore;
    AwaitOpeningRefresh(store);
    if (store.CurrentDiagram == benchsite::SiteDiagram && store.Scale > 0 &&
        store.VisibleSegments.RecordCount() > 0 && prompts.Texts().isEmpty())
        std::printf("drawn\n");
    else
        std::printf("not drawn: %s\n", qPrintable(prompts.Texts().join(QLatin1Char('|'))));
    std::fflush(stdout);
    return 0;
}

// The least of a start: the toolkit, a window, a refresh's least on a fresh
// connection. The first start after an export also writes every point's
// pixels and every segment's box at its own scale: its least writes them
// all by two set-based statements in the refresh's transaction.
int StartBound(int argc, char** argv, const QString& folder, bool rewrite)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(1200, 900);
    window.show();
    QCoreApplication::processEvents();
    {
        ibase::Connection c =
            ibase::Connection::Attach(folder + QStringLiteral("/Scalora2 data/scalora2data.fdb"),
                                      QStringLiteral("SYSDBA"), QStringLiteral("mavel39"));
        ibase::Transaction t(c);
        if (rewrite) {
            t.ExecuteImmediate(QStringLiteral("update point set pxlx = pxlx + 1, pxly = pxly + 1 "
                                              "where dgnum = %1")
                                   .arg(benchsite::SiteDiagram));
            t.ExecuteImmediate(QStringLiteral("update seg set pxlx1 = pxlx1 + 1, pxly1 = pxly1 + "
                                              "1, pxlx2 = pxlx2 + 1, pxly2 = pxly2 + 1 where "
                                              "dgnum = %1")
                                   .arg(benchsite::SiteDiagram));
        }
        FbRefreshBound bound(t, QSize(1000, 800));
        bound.Run(SecondsOfDateTime(47000.5));
        c.Detach();
    }
    std::printf("drawn\n");
    std::fflush(stdout);
    return 0;
}

double RunChild(const char* mode, const QString& folder)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const double ms = Ms([&] {
        child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(mode), folder});
        while (!child.canReadLine() && child.waitForReadyRead(600000)) {
        }
    });
    const QByteArray line = child.readLine().trimmed();
    child.waitForFinished(60000);
    if (line != "drawn")
        BenchFail(std::string("the child did not draw: ") + line.toStdString());
    return ms;
}

void CopyFile(const QString& from, const QString& to)
{
    QFile::remove(to);
    if (!QFile::copy(from, to))
        BenchFail("cannot copy " + from.toStdString());
}

class Scalora2Bench
{
  public:
    Scalora2Bench(int segments, ScriptedPrompts& prompts) : segments_(segments), site_(segments)
    {
        CreateFirebirdStore(site_.Folder() + QStringLiteral("/Scalora2 data/scalora2data.fdb"));
        // The first program's refresh of the site, then its export.
        {
            const Edition first;
            SheetOn sheet(*site_.Core, first);
            std::vector<double> runs;
            for (int i = 0; i < RefreshRuns; ++i)
                runs.push_back(Ms([&] { sheet.Refresh(); }));
            tableRefresh_ = Median(runs);
        }
        prompts.Answer('Y');
        const double exported = Ms([&] {
            if (!ExportWholeStore(*site_.Core))
                BenchFail("the export did not run");
        });
        Figure("export-" + SizeTag(segments_), exported, "ms");
        // The folder as the export left it, for the second program's starts.
        QDir().mkpath(started_.path() + QStringLiteral("/Scalora2 data"));
        QDir().mkpath(exported_.path());
        CopyFile(site_.Folder() + FdbName, exported_.path() + QStringLiteral("/fdb"));
        CopyFile(site_.Folder() + IniName, exported_.path() + QStringLiteral("/ini"));
        core_ = std::make_unique<TFcoreFb>(site_.Folder());
        core_->FormCreate();
        if (core_->CurrentDiagram != benchsite::SiteDiagram)
            BenchFail("the exported diagram does not open");
    }

    void Run(SizedFigures& figures)
    {
        const Edition second = FirebirdEdition();
        SheetOn sheet(*core_, second);
        if (core_->VisibleSegments.RecordCount() < site_.Size.Segments / 2 ||
            core_->VisiblePoints.RecordCount() == 0 || core_->Scale <= 0)
            BenchFail("the refresh did not draw the site");
        long long second_ = SecondsOfDateTime(core_->RedrawStamp) + 100000000;
        FbRefreshBound bound(*core_->IBTransaction1, QSize(core_->SheetWidth, core_->SheetHeight));
        const SideBySide m = MeasureSideBySide(
            RefreshRuns, [&](int) { sheet.Refresh(); }, [&](int) { bound.Run(++second_); });
        figures.Report("scalora2-refresh", segments_, m);
        FbJoinRefreshBound join(*core_);
        const SideBySide j = MeasureSideBySide(
            RefreshRuns, [&](int) { sheet.Refresh(); }, [&](int) { join.Run(++second_); });
        Figure("scalora2-refresh-sql-join-bound-" + SizeTag(segments_), j.Bound, "ms");
        Figure("scalora2-refresh-over-sql-join-bound-" + SizeTag(segments_), j.Value / j.Bound,
               "ratio");
        Figure("scalora-refresh-" + SizeTag(segments_), tableRefresh_, "ms");
        Figure("scalora2-refresh-over-scalora-refresh-" + SizeTag(segments_),
               m.Value / tableRefresh_, "ratio");

        core_->ReportInserts = false;
        TPointRec from;
        if (!core_->LoadPoint(core_->VisiblePoints.Rows().front().Pointnum, from))
            BenchFail("no point to measure from");
        std::vector<double> inserts;
        for (int i = 0; i < Inserts; ++i)
            inserts.push_back(StoreMeasured(*core_, from, i));
        insert_ = Median(inserts);
        Figure("scalora2-store-measured-segment-" + SizeTag(segments_), insert_, "ms");
    }

    double Insert() const { return insert_; }

    void Starts(SizedFigures& figures)
    {
        const QString folder = started_.path();
        const auto asExported = [&] {
            CopyFile(exported_.path() + QStringLiteral("/fdb"), folder + FdbName);
            CopyFile(exported_.path() + QStringLiteral("/ini"), folder + IniName);
        };
        asExported();
        const SideBySide first = MeasureSideBySide(
            StartRuns, [&](int) { RunChild("--start2", folder); },
            [&](int) { RunChild("--bound2-rewrite", folder); }, [&](bool) { asExported(); });
        figures.Report("scalora2-first-start-after-export", segments_, first);
        const SideBySide later = MeasureSideBySide(
            StartRuns, [&](int) { RunChild("--start2", folder); },
            [&](int) { RunChild("--bound2", folder); });
        figures.Report("scalora2-later-start", segments_, later);
    }

  private:
    static inline const QString FdbName = QStringLiteral("/Scalora2 data/scalora2data.fdb");
    static inline const QString IniName = QStringLiteral("/scalora.ini");
    QTemporaryDir exported_;
    QTemporaryDir started_;
    int segments_;
    BenchStore site_;
    std::unique_ptr<TFcoreFb> core_;
    double tableRefresh_ = 0;
    double insert_ = 0;
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && std::strcmp(argv[1], "--start2") == 0)
        return StartProgram(argc, argv, QString::fromLocal8Bit(argv[2]));
    if (argc == 3 && std::strcmp(argv[1], "--bound2") == 0)
        return StartBound(argc, argv, QString::fromLocal8Bit(argv[2]), false);
    if (argc == 3 && std::strcmp(argv[1], "--bound2-rewrite") == 0)
        return StartBound(argc, argv, QString::fromLocal8Bit(argv[2]), true);
    QTemporaryDir lock;
    if (qEnvironmentVariableIsEmpty("FIREBIRD_LOCK"))
        qputenv("FIREBIRD_LOCK", QFile::encodeName(lock.path()));
    QApplication app(argc, argv);
    ScriptedPrompts prompts;
    ScopedPromptSeam seam(prompts);
    SizedFigures figures;
    std::map<int, double> inserts;
    for (const int segments : BenchSizes(argc, argv)) {
        Scalora2Bench bench(segments, prompts);
        bench.Run(figures);
        inserts[segments] = bench.Insert();
        if (qEnvironmentVariableIsEmpty("SCALORA_BENCH_NO_STARTS"))
            bench.Starts(figures);
    }
    figures.ReportGrowth();
    if (inserts.count(1000) && inserts.count(100000))
        Figure("scalora2-store-measured-segment-growth-1k-to-100k", inserts[100000] / inserts[1000],
               "ratio");
    return 0;
}
