// The second program on its Firebird database, holding the generated site
// as the first program exported it, at 1k, 10k and 100k segments. Every
// figure of the program is printed beside its lower bound: the same
// storage work in bare Firebird calls (and bare QPainter drawing), measured
// in the same run on a copy of the program's database made as its opening
// refresh left it, through a connection of its own, so that neither side
// clears old row versions the other left.
//
// - a plain Redraw, beside the refresh's least: the diagram's points and
//   its visible segments and labels read (scans joined in memory), the
//   lines drawn with QPainter on an image of the sheet's size, the drawn
//   points stamped by one statement, committed, and, where that stamped as
//   many rows as the program clears after (ManyRowsWritten), the read that
//   clears the stamps' old versions, committed with the pages it cleared;
// - the Redraws after the paths that leave old versions of rows behind:
//   after Zoom x 2 and Zoom x 1, and after a profile switch, each beside the
//   same least and over the plain Redraw;
// - a zoom step (its refresh with it), beside the least of that work:
//   every point's pixels and every segment's box written by two set-based
//   statements, the refresh's least in the same transaction, and the read
//   that clears what they left;
// - 20 consecutive Redraws, zooms and profile switches: each kind's slowest
//   over its median;
// - the first program's refresh of the same diagram, for comparison,
//   beside the table store's least of a refresh (bench/benchbounds.h);
// - storing one measured segment, its command committed, beside the new
//   point's row and the segment's row, as the program writes them,
//   inserted and committed;
// - the second program's first start after the export, a fresh process up
//   to the diagram drawn (its sheet differs from the first program's, so
//   it fits every cached pixel and box to its own scale), and a later start,
//   each beside a fresh process that starts the toolkit, shows a window and
//   does the start's storage work at least on a fresh connection: for the
//   first start the pixels and boxes the program's fit changes, written by
//   two set-based statements at the scale the program took, then the
//   refresh's least.
//
// Prints "<figure> <value> <unit>".

#include "benchbounds.h"
#include "benchfigures.h"
#include "benchstore.h"

#include "dialogs/forms.h"
#include "export/export.h"
#include "firebird/corefb.h"
#include "firebird/fbschema.h"
#include "firebird/fbtimestamp.h"
#include "library/application.h"
#include "library/calendar.h"
#include "library/qorvlib.h"
#include "programs/fbedition.h"
#include "sheet/sheet.h"
#include "sheet/startup.h"
#include "sheet/zoom.h"
#include "store/coords.h"
#include "support/scriptedprompts.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QScrollArea>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace
{

constexpr int RefreshRuns = 9;
// The paths through zooms and profile switches take several refreshes a run.
constexpr int PathRuns = 5;
constexpr int SeriesSteps = 20;
constexpr int Inserts = 41;
constexpr int StartRuns = 5;

// The profiles the bench switches between: the site's layers as they are,
// and the same with the fences and the survey hidden, which moves the
// drawing's extents and so its scale.
constexpr int ProfileAsIs = 1;
constexpr int ProfileFewer = 2;

// Handles events until the store's opening refresh has fitted the diagram:
// the second program's sheet makes it once its maximised window is on the
// screen. Gives up after ten minutes.
void AwaitOpeningRefresh(const Store& store)
{
    QElapsedTimer waited;
    waited.start();
    while (store.Scale <= 0 && waited.elapsed() < 600000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    QCoreApplication::processEvents();
}

// The main window of a program on its store, its sheet 1,000 x 800. The
// first showing refreshes, its fit writing whatever pixels the sheet's size
// asks for; the measured refreshes find them as they were. Each command
// is the user's, as its menu runs it; each must redraw, or the bench fails.
class SheetOn
{
  public:
    SheetOn(Store& store, const Edition& edition) : store_(store)
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

    // A refresh without the cursors, as the program's own refreshes run.
    void Refresh()
    {
        Redrawn([&] { sheet_->Redraw.RefreshSheet(); });
    }
    void Redraw()
    {
        Redrawn([&] { sheet_->Redraw.RedrawCommand(); });
    }
    void Zoom(ZoomCommand command)
    {
        Redrawn([&] { sheet_->ZoomMenuCommand(command); });
    }
    // A profile chosen in the Profiles window, and the refresh after it.
    void SwitchProfile(int profile)
    {
        Redrawn([&] {
            store_.ApplyProfile(profile);
            store_.CurrentProfile = profile;
            sheet_->Redraw.RefreshKeepingCursors();
        });
    }

  private:
    void Redrawn(const std::function<void()>& command)
    {
        const TDateTime before = store_.RedrawStamp;
        command();
        if (!(store_.RedrawStamp > before))
            BenchFail("a command that redraws did not");
        sheet_->Sheet.HideCursors();
    }

    Store& store_;
    Forms forms_;
    std::unique_ptr<TFSheet> sheet_;
};

// Runs of consecutive numbers as "first:last," texts, each within what the
// program's stamp takes at once.
std::vector<QString> RunTexts(const std::vector<int>& numbers)
{
    std::vector<QString> texts(1);
    for (size_t i = 0; i < numbers.size();) {
        size_t j = i;
        while (j + 1 < numbers.size() && numbers[j + 1] == numbers[j] + 1)
            ++j;
        const QString run = QStringLiteral("%1:%2,").arg(numbers[i]).arg(numbers[j]);
        if (texts.back().size() + run.size() > 8000)
            texts.emplace_back();
        texts.back() += run;
        i = j + 1;
    }
    return texts;
}

// A database file attached through a connection of its own.
struct Attached {
    explicit Attached(const QString& file)
        : Connection(
              ibase::Connection::Attach(file, QStringLiteral("SYSDBA"), QStringLiteral("mavel39"))),
          Transaction(Connection)
    {
    }

    ibase::Connection Connection;
    ibase::Transaction Transaction;
};

// The least of a refresh of the second program, through a connection's
// transaction, drawing on an image of the sheet's size: what the
// transaction holds already is committed with it.
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
          stamp_(transaction, TFcoreFb::StampStatement()),
          countPoints_(transaction, QStringLiteral("select count(*) from point where dgnum = ?")),
          countSegs_(transaction, QStringLiteral("select count(*) from seg where dgnum = ?")),
          flush_(transaction, QStringLiteral("update drawing set dgnum = dgnum where dgnum = ?"))
    {
    }

    // written: rows the transaction holds written already.
    void Run(long long second, int64_t written = 0)
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
        if (written + int64_t(drawn.size()) >= TFcoreFb::ManyRowsWritten)
            ClearOldVersions();
    }

  private:
    // The rows read again in a transaction of their own, which clears the
    // old versions the writes left; one row written, so that the commit
    // puts the cleared pages on the disk.
    void ClearOldVersions()
    {
        for (ibase::Statement* count : {&countPoints_, &countSegs_}) {
            count->SetParam(0, benchsite::SiteDiagram);
            count->Execute();
            count->Fetch();
            count->Close();
        }
        flush_.SetParam(0, benchsite::SiteDiagram);
        flush_.Execute();
        transaction_.Commit();
    }

    ibase::Transaction& transaction_;
    QSize sheet_;
    ibase::Statement points_;
    ibase::Statement segs_;
    ibase::Statement labels_;
    ibase::Statement stamp_;
    ibase::Statement countPoints_;
    ibase::Statement countSegs_;
    ibase::Statement flush_;
};

// The least of a zoom step: every point's pixels and every segment's box
// written by two set-based statements (a pixel further, or back), then the
// refresh's least in the same transaction.
class FbZoomBound
{
  public:
    FbZoomBound(ibase::Transaction& transaction, QSize sheet)
        : refresh_(transaction, sheet),
          points_(transaction, QStringLiteral("update point set pxlx = pxlx + :d, pxly = pxly + "
                                              ":d where dgnum = :dg")),
          segs_(transaction, QStringLiteral("update seg set pxlx1 = pxlx1 + :d, pxly1 = pxly1 + "
                                            ":d, pxlx2 = pxlx2 + :d, pxly2 = pxly2 + :d where "
                                            "dgnum = :dg"))
    {
    }

    void Run(long long second)
    {
        step_ = -step_;
        int64_t written = 0;
        for (ibase::Statement* st : {&points_, &segs_}) {
            st->SetParam(QStringLiteral("d"), step_);
            st->SetParam(QStringLiteral("dg"), benchsite::SiteDiagram);
            st->Execute();
            written += st->RowsAffected();
        }
        refresh_.Run(second, written);
    }

  private:
    FbRefreshBound refresh_;
    ibase::Statement points_;
    ibase::Statement segs_;
    int step_ = -1;
};

// A measured segment from a stored point of the site to a new point, as
// the measured-segment dialog hands it to the store: the from-point by its
// lengths, the to-point new, each run's a little further down.
TSegRec MeasuredSegment(const TPointRec& from, int i)
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
    return s;
}

// The measured segment stored as the dialog stores it: both ends looked
// up by their lengths, the reuse check, the row, the commit.
void StoreMeasured(Store& store, const TPointRec& from, int i)
{
    TSegRec s = MeasuredSegment(from, i);
    store.AddSegment(s);
    if (s.Segnum < 0)
        BenchFail("a measured segment was not stored");
}

// The least of storing a measured segment: the new point's row and the
// segment's row, with the values the program writes for them, inserted
// and committed through a connection's transaction. The numbers follow
// the highest the database holds.
class FbInsertBound
{
  public:
    explicit FbInsertBound(ibase::Transaction& transaction)
        : transaction_(transaction),
          point_(transaction, QStringLiteral("insert into point (dgnum, pointnum, lenx, leny, "
                                             "pxlx, pxly, rprts, layernum, createts) values (?, "
                                             "?, ?, ?, ?, ?, ?, ?, ?)")),
          seg_(transaction,
               QStringLiteral("insert into seg (dgnum, segnum, frompt, topt, segtype, seglen, "
                              "mlenx, mleny, mlenz, layernum, lenx1, leny1, lenx2, leny2, pxlx1, "
                              "pxly1, pxlx2, pxly2, createts, dotted, xorflag, measured, faint) "
                              "values (?, ?, ?, ?, ?, 0, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                              "?, ?, ?, ?)")),
          pointnum_(Highest(QStringLiteral("select max(pointnum) from point where dgnum = ?"))),
          segnum_(Highest(QStringLiteral("select max(segnum) from seg where dgnum = ?")))
    {
        // The copy is the program's file as it was: each commit waits for
        // its pages on the disk as the program's does.
        ibase::Statement forced(transaction,
                                QStringLiteral("select mon$forced_writes from mon$database"));
        forced.Execute();
        if (!forced.Fetch() || forced.Column(0).AsInt64() != 1)
            BenchFail("the bound's database is not written with forced writes");
    }

    // s as MeasuredSegment gives it, from a stored point; the to-point's
    // pixels at the store's scale.
    void Run(TSegRec s, const TPointRec& from, const Store& store)
    {
        s.FromPoint = from;
        TPointRec& to = s.ToPoint;
        to.Pointnum = ++pointnum_;
        to.Pxlx = store.LenToPixelX(to.Lenx);
        to.Pxly = store.LenToPixelY(to.Leny);
        to.CreateTS = NowDateTime();
        Insert(point_, {benchsite::SiteDiagram, to.Pointnum, to.Lenx, to.Leny, to.Pxlx, to.Pxly,
                        TimestampParam(to.Rprts), to.Layernum, TimestampParam(to.CreateTS)});
        s.Segnum = ++segnum_;
        s.CreateTS = NowDateTime();
        ComputeSegmentExtents(s);
        Insert(seg_, {benchsite::SiteDiagram,
                      s.Segnum,
                      from.Pointnum,
                      to.Pointnum,
                      s.SegType,
                      s.Mlenx,
                      s.Mleny,
                      s.Mlenz,
                      s.Layernum,
                      s.Lenx1,
                      s.Leny1,
                      s.Lenx2,
                      s.Leny2,
                      s.Pxlx1,
                      s.Pxly1,
                      s.Pxlx2,
                      s.Pxly2,
                      TimestampParam(s.CreateTS),
                      int(s.Dotted),
                      int(s.Xorflag),
                      int(s.Measured),
                      int(s.Faint)});
        transaction_.Commit();
    }

  private:
    static void Insert(ibase::Statement& insert, std::initializer_list<ibase::Value> values)
    {
        int i = 0;
        for (const ibase::Value& value : values)
            insert.SetParam(i++, value);
        insert.Execute();
    }

    int Highest(const QString& sql)
    {
        ibase::Statement highest(transaction_, sql);
        highest.SetParam(0, benchsite::SiteDiagram);
        highest.Execute();
        highest.Fetch();
        return int(highest.Column(0).AsInt64());
    }

    ibase::Transaction& transaction_;
    ibase::Statement point_;
    ibase::Statement seg_;
    int pointnum_;
    int segnum_;
};

// The scale and margins a start's child tells it fitted ("drawn" and these
// five numbers, as StartProgram prints them): what the bound of the first
// start writes the pixels for.
SheetScale FitOfArguments(char** argv)
{
    SheetScale fit;
    fit.Scale = std::atof(argv[0]);
    fit.MinX = std::atof(argv[1]);
    fit.MinY = std::atof(argv[2]);
    fit.MarginLeft = std::atoi(argv[3]);
    fit.MarginTop = std::atoi(argv[4]);
    return fit;
}

// A fresh process of the second program on the folder, up to its diagram
// drawn; prints "drawn" and the fit it took.
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
        std::printf("drawn %.17g %.17g %.17g %d %d\n", double(store.Scale), double(store.MinLenX),
                    double(store.MinLenY), store.MarginLeft, store.MarginTop);
    else
        std::printf("not drawn: %s\n", qPrintable(prompts.Texts().join(QLatin1Char('|'))));
    std::fflush(stdout);
    return 0;
}

// Each pixel column from its length column at the fit's scale (the
// engine's rounding), in the site's rows where any of them differs.
QString RewriteAtFitSQL(const QString& table, const std::vector<std::pair<QString, QString>>& xs,
                        const std::vector<std::pair<QString, QString>>& ys)
{
    QStringList sets;
    QStringList differs;
    const auto add = [&](const std::pair<QString, QString>& column, const char* min,
                         const char* margin) {
        const QString value = QStringLiteral("cast(round((coalesce(%1, 0e0) - cast(:%2 as double "
                                             "precision)) * cast(:sc as double precision)) as "
                                             "integer) + cast(:%3 as integer)")
                                  .arg(column.second, QLatin1String(min), QLatin1String(margin));
        sets << column.first + QStringLiteral(" = ") + value;
        differs << QStringLiteral("%1 is distinct from %2").arg(column.first, value);
    };
    for (const auto& x : xs)
        add(x, "mnx", "ml");
    for (const auto& y : ys)
        add(y, "mny", "mt");
    return QStringLiteral("update %1 set %2 where dgnum = :dg and (%3)")
        .arg(table, sets.join(QStringLiteral(", ")), differs.join(QStringLiteral(" or ")));
}

// The least of a start: the toolkit, a window, a refresh's least on a fresh
// connection. The first start after an export also writes the pixels and
// boxes its fit changes (fit given): its least writes them by two
// set-based statements in the refresh's transaction.
int StartBound(int argc, char** argv, const QString& folder, const std::optional<SheetScale>& fit)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(1200, 900);
    window.show();
    QCoreApplication::processEvents();
    {
        Attached db(folder + QStringLiteral("/Scalora2 data/scalora2data.fdb"));
        int64_t written = 0;
        if (fit) {
            const QString sqls[] = {
                RewriteAtFitSQL(QStringLiteral("point"), {{"pxlx", "lenx"}}, {{"pxly", "leny"}}),
                RewriteAtFitSQL(QStringLiteral("seg"), {{"pxlx1", "lenx1"}, {"pxlx2", "lenx2"}},
                                {{"pxly1", "leny1"}, {"pxly2", "leny2"}})};
            for (const QString& sql : sqls) {
                ibase::Statement st(db.Transaction, sql);
                st.SetParam(QStringLiteral("sc"), fit->Scale);
                st.SetParam(QStringLiteral("mnx"), fit->MinX);
                st.SetParam(QStringLiteral("mny"), fit->MinY);
                st.SetParam(QStringLiteral("ml"), fit->MarginLeft);
                st.SetParam(QStringLiteral("mt"), fit->MarginTop);
                st.SetParam(QStringLiteral("dg"), benchsite::SiteDiagram);
                st.Execute();
                written += st.RowsAffected();
            }
        }
        {
            FbRefreshBound bound(db.Transaction, QSize(1000, 800));
            bound.Run(SecondsOfDateTime(47000.5), written);
        }
        db.Connection.Detach();
        // The rows the bound rewrote, for a look.
        std::printf("drawn %lld\n", static_cast<long long>(written));
    }
    std::fflush(stdout);
    return 0;
}

// Runs a child of this program up to its first line, which must begin with
// "drawn"; the time and the line.
std::pair<double, QByteArray> RunChild(const QStringList& arguments)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const double ms = Ms([&] {
        child.start(QCoreApplication::applicationFilePath(), arguments);
        while (!child.canReadLine() && child.waitForReadyRead(600000)) {
        }
    });
    const QByteArray line = child.readLine().trimmed();
    child.waitForFinished(60000);
    if (!line.startsWith("drawn"))
        BenchFail(std::string("the child did not draw: ") + line.toStdString());
    return {ms, line};
}

void CopyFile(const QString& from, const QString& to)
{
    QFile::remove(to);
    if (!QFile::copy(from, to))
        BenchFail("cannot copy " + from.toStdString());
}

// Adds the two profiles to the first program's store, so that the export
// takes them along.
void AddProfiles(sqlite3* db)
{
    for (const int profile : {ProfileAsIs, ProfileFewer}) {
        RawExec(db, QStringLiteral("INSERT INTO pfl (Dgnum, Pflnum, Name) VALUES (%1, %2, 'P%2')")
                        .arg(benchsite::SiteDiagram)
                        .arg(profile)
                        .toUtf8()
                        .constData());
        for (int l = 0; l < benchsite::LayerCount; ++l) {
            const bool hidden = profile == ProfileFewer && (l == 3 || l == 4);
            RawExec(db, QStringLiteral("INSERT INTO pflays (Dgnum, Pflnum, Layernum, Visib) "
                                       "VALUES (%1, %2, %3, %4)")
                            .arg(benchsite::SiteDiagram)
                            .arg(profile)
                            .arg(l)
                            .arg(hidden ? 0 : benchsite::LayerVisib[l])
                            .toUtf8()
                            .constData());
        }
    }
}

// The median of a kind's times and its slowest over it.
double SlowestOverMedian(const std::vector<double>& times)
{
    const double median = Median(times);
    return median > 0 ? *std::max_element(times.begin(), times.end()) / median : 0;
}

class Scalora2Bench
{
  public:
    Scalora2Bench(int segments, ScriptedPrompts& prompts) : segments_(segments), site_(segments)
    {
        CreateFirebirdStore(site_.Folder() + FdbName);
        AddProfiles(site_.Handle());
        // The first program's refresh of the site beside its least on the
        // table store's own connection, then its export. The bound's
        // stamps are no date-times: a last refresh stamps the drawn points
        // again as the program does, for the export to take.
        {
            const Edition first;
            SheetOn sheet(*site_.Core, first);
            RefreshBound bound(site_.Handle());
            tableRefresh_ = MeasureSideBySide(
                RefreshRuns, [&](int) { sheet.Refresh(); }, [&](int) { bound.Run(); });
            sheet.Refresh();
            if (bound.Stamped() != int(site_.Core->VisiblePoints.RecordCount()))
                BenchFail("the first program's refresh bound stamped " +
                          std::to_string(bound.Stamped()) + " points, its refresh " +
                          std::to_string(site_.Core->VisiblePoints.RecordCount()));
        }
        prompts.Answer('Y');
        const double exported = Ms([&] {
            if (!ExportWholeStore(*site_.Core))
                BenchFail("the export did not run");
        });
        Figure("export-" + SizeTag(segments_), exported, "ms");
        // The folder as the export left it, for the second program's starts.
        QDir().mkpath(started_.path() + QStringLiteral("/Scalora2 data"));
        CopyFile(site_.Folder() + FdbName, exported_.path() + QStringLiteral("/fdb"));
        CopyFile(site_.Folder() + IniName, exported_.path() + QStringLiteral("/ini"));
        // The program's opening refresh fits the site to the bench's sheet;
        // the bounds work on a copy of the database as that left it.
        {
            TFcoreFb opening(site_.Folder());
            opening.FormCreate();
            {
                SheetOn sheet(opening, second_);
            }
            opening.CloseStore();
        }
        CopyFile(site_.Folder() + FdbName, bounds_.path() + QStringLiteral("/bound.fdb"));
        core_ = std::make_unique<TFcoreFb>(site_.Folder());
        core_->FormCreate();
        if (core_->CurrentDiagram != benchsite::SiteDiagram)
            BenchFail("the exported diagram does not open");
    }

    void Run(SizedFigures& figures)
    {
        SheetOn sheet(*core_, second_);
        if (core_->VisibleSegments.RecordCount() < site_.Size.Segments / 2 ||
            core_->VisiblePoints.RecordCount() == 0 || core_->Scale <= 0)
            BenchFail("the refresh did not draw the site");
        Attached boundDb(bounds_.path() + QStringLiteral("/bound.fdb"));
        long long second = SecondsOfDateTime(core_->RedrawStamp) + 100000000;
        const QSize size(core_->SheetWidth, core_->SheetHeight);
        FbRefreshBound bound(boundDb.Transaction, size);
        const auto runBound = [&](int) { bound.Run(++second); };
        // A first run of each, untimed, leaves both as every later run finds them.
        sheet.Redraw();
        runBound(0);

        const SideBySide plain = MeasureSideBySide(
            RefreshRuns, [&](int) { sheet.Redraw(); }, runBound);
        figures.Report("scalora2-refresh", segments_, plain);
        figures.Report("scalora-refresh", segments_, tableRefresh_);
        Figure("scalora2-refresh-over-scalora-refresh-" + SizeTag(segments_),
               plain.Value / tableRefresh_.Value, "ratio");

        // The Redraw after Zoom x 2 and Zoom x 1, and after a profile switch.
        const auto afterPath = [&](const char* name, const std::function<void()>& path) {
            const SideBySide m = MeasureSideBySide(
                PathRuns, [&](int) { sheet.Redraw(); }, runBound,
                [&](bool work) {
                    if (work)
                        path();
                });
            figures.Report(name, segments_, m);
            Figure(std::string(name) + "-over-plain-refresh-" + SizeTag(segments_),
                   m.Value / plain.Value, "ratio");
        };
        afterPath("scalora2-refresh-after-zoom", [&] {
            sheet.Zoom(ZoomCommand::Times2);
            sheet.Zoom(ZoomCommand::Times1);
        });
        int profile = ProfileAsIs;
        const auto switchProfile = [&] {
            profile = profile == ProfileAsIs ? ProfileFewer : ProfileAsIs;
            sheet.SwitchProfile(profile);
        };
        afterPath("scalora2-refresh-after-profile-switch", switchProfile);

        // A zoom step with its refresh, beside the least of that work.
        FbZoomBound zoomBound(boundDb.Transaction, size);
        int zoom = 1;
        const SideBySide z = MeasureSideBySide(
            PathRuns,
            [&](int) {
                zoom = zoom == 1 ? 2 : 1;
                sheet.Zoom(zoom == 2 ? ZoomCommand::Times2 : ZoomCommand::Times1);
            },
            [&](int) { zoomBound.Run(++second); });
        figures.Report("scalora2-zoom-step", segments_, z);
        if (zoom != 1)
            sheet.Zoom(ZoomCommand::Times1);

        // Consecutive Redraws, zooms and profile switches.
        std::map<std::string, std::vector<double>> series;
        for (int i = 0; i < SeriesSteps; ++i) {
            if (i % 2 == 0)
                series["redraw"].push_back(Ms([&] { sheet.Redraw(); }));
            else if (i % 4 == 1)
                series["zoom"].push_back(Ms(
                    [&] { sheet.Zoom(i % 8 == 1 ? ZoomCommand::Times2 : ZoomCommand::Times1); }));
            else
                series["profile-switch"].push_back(Ms(switchProfile));
        }
        for (const auto& [kind, times] : series) {
            const std::string tag = kind + "-" + SizeTag(segments_);
            Figure("scalora2-series-" + tag, Median(times), "ms");
            Figure("scalora2-series-slowest-over-median-" + tag, SlowestOverMedian(times), "ratio");
        }
        if (profile != ProfileAsIs)
            switchProfile();
        sheet.Zoom(ZoomCommand::Times1);

        core_->ReportInserts = false;
        TPointRec from;
        if (!core_->LoadPoint(core_->VisiblePoints.Rows().front().Pointnum, from))
            BenchFail("no point to measure from");
        FbInsertBound insertBound(boundDb.Transaction);
        const SideBySide m = MeasureSideBySide(
            Inserts, [&](int i) { StoreMeasured(*core_, from, i); },
            [&](int i) { insertBound.Run(MeasuredSegment(from, i), from, *core_); });
        figures.Report("scalora2-store-measured-segment", segments_, m);
    }

    void Starts(SizedFigures& figures)
    {
        const QString folder = started_.path();
        const auto asExported = [&] {
            CopyFile(exported_.path() + QStringLiteral("/fdb"), folder + FdbName);
            CopyFile(exported_.path() + QStringLiteral("/ini"), folder + IniName);
        };
        // One start, untimed, tells the fit the program takes.
        asExported();
        const QList<QByteArray> drawn =
            RunChild({QStringLiteral("--start2"), folder}).second.split(' ');
        if (drawn.size() != 6)
            BenchFail("the start did not tell its fit");
        QStringList fit;
        for (qsizetype i = 1; i < drawn.size(); ++i)
            fit << QString::fromLatin1(drawn[i]);

        const SideBySide first = MeasureSideBySide(
            StartRuns,
            [&](int) {
                RunChild({QStringLiteral("--start2"), folder});
            },
            [&](int) {
                RunChild(QStringList{QStringLiteral("--bound2-rewrite"), folder} + fit);
            },
            [&](bool) { asExported(); });
        figures.Report("scalora2-first-start-after-export", segments_, first);
        const SideBySide later = MeasureSideBySide(
            StartRuns,
            [&](int) {
                RunChild({QStringLiteral("--start2"), folder});
            },
            [&](int) {
                RunChild({QStringLiteral("--bound2"), folder});
            });
        figures.Report("scalora2-later-start", segments_, later);
    }

  private:
    static inline const QString FdbName = QStringLiteral("/Scalora2 data/scalora2data.fdb");
    static inline const QString IniName = QStringLiteral("/scalora.ini");
    const Edition second_ = FirebirdEdition();
    QTemporaryDir exported_;
    QTemporaryDir started_;
    QTemporaryDir bounds_;
    int segments_;
    BenchStore site_;
    std::unique_ptr<TFcoreFb> core_;
    SideBySide tableRefresh_;
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && std::strcmp(argv[1], "--start2") == 0)
        return StartProgram(argc, argv, QString::fromLocal8Bit(argv[2]));
    if (argc == 3 && std::strcmp(argv[1], "--bound2") == 0)
        return StartBound(argc, argv, QString::fromLocal8Bit(argv[2]), std::nullopt);
    if (argc == 8 && std::strcmp(argv[1], "--bound2-rewrite") == 0)
        return StartBound(argc, argv, QString::fromLocal8Bit(argv[2]), FitOfArguments(argv + 3));
    QTemporaryDir lock;
    if (qEnvironmentVariableIsEmpty("FIREBIRD_LOCK"))
        qputenv("FIREBIRD_LOCK", QFile::encodeName(lock.path()));
    QApplication app(argc, argv);
    ScriptedPrompts prompts;
    ScopedPromptSeam seam(prompts);
    SizedFigures figures;
    for (const int segments : BenchSizes(argc, argv)) {
        Scalora2Bench bench(segments, prompts);
        bench.Run(figures);
        if (qEnvironmentVariableIsEmpty("SCALORA_BENCH_NO_STARTS"))
            bench.Starts(figures);
    }
    figures.ReportGrowth();
    return 0;
}
