// The Firebird store: the connection, its transaction and the commands run
// in it, the statements, the ini file and the opening of a diagram.

#include "firebird/corefb.h"

#include "firebird/fbdiagramrows.h"
#include "firebird/fblayersdata.h"
#include "firebird/fbprofilesdata.h"
#include "firebird/fbschema.h"
#include "firebird/fbtext.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <exception>
#include <utility>

namespace
{

QString WithSlash(const QString& folder)
{
    return folder.endsWith('/') ? folder : folder + '/';
}

// The tables every statement of the store relies on.
const char* const StoreTables[] = {"DRAWING", "LAYER", "PFL", "PFLAYS", "POINT", "SEG", "TEXT"};

QString MissingTable(ibase::Transaction& transaction)
{
    ibase::Statement st(transaction, QStringLiteral("select count(*) from rdb$relations "
                                                    "where rdb$relation_name = ?"));
    for (const char* table : StoreTables) {
        st.SetParam(0, QString::fromLatin1(table));
        st.Execute();
        if (!st.Fetch() || st.Column(0).AsInt64() == 0)
            return QString::fromLatin1(table);
        st.Close();
    }
    return QString();
}

// What the engine says of a file it cannot open, in the words a user can
// act on; the engine's own text follows.
QString OpenFailure(const QString& file, const ibase::Error& e)
{
    const QString text = e.Text();
    QString reason;
    if (text.contains(QLatin1String("lock"), Qt::CaseInsensitive) ||
        text.contains(QLatin1String("in use"), Qt::CaseInsensitive) ||
        text.contains(QLatin1String("another process"), Qt::CaseInsensitive))
        reason = QStringLiteral("it is in use by another program");
    else if (text.contains(QLatin1String("not a valid database"), Qt::CaseInsensitive) ||
             text.contains(QLatin1String("size is less than expected"), Qt::CaseInsensitive) ||
             text.contains(QLatin1String("wrong ODS"), Qt::CaseInsensitive) ||
             text.contains(QLatin1String("unsupported on-disk structure"), Qt::CaseInsensitive))
        reason = QStringLiteral("it is not a Firebird database");
    else
        reason = QStringLiteral("the database engine refused it");
    return QStringLiteral("Cannot open the database \"%1\": %2.\n%3").arg(file, reason, text);
}

} // namespace

TFcoreFb::TFcoreFb(const QString& exeFolder, QWidget* parent) : QWidget(parent)
{
    ExeFolder = WithSlash(QDir::cleanPath(exeFolder));
}

TFcoreFb::~TFcoreFb() = default;

FbQuery* TFcoreFb::QueryAt(int i)
{
    FbQuery* all[] = {&IBTable1, &IBTable2, &IBTable4,  &IBTable5,  &IBTable6, &IBTable7,
                      &IBQuery1, &IBQuery2, &IBQuery3,  &IBQuery4,  &IBQuery5, &IBQuery6,
                      &IBQuery7, &IBQuery8, &IBQuery10, &IBQuery11, &q0};
    return i < int(std::size(all)) ? all[i] : nullptr;
}

void TFcoreFb::FormCreate()
{
    ReadIniFile();
    // No diagram is open until the saved one has opened, so that nothing is
    // written under a diagram that is not there.
    const int32_t saved = CurrentDiagram;
    CurrentDiagram = 0;
    OpenStore();
    OpenDiagram(saved);
}

QString TFcoreFb::DatabaseFileName() const
{
    return FirebirdFolder + QStringLiteral("scalora2data.fdb");
}

ibase::Statement& TFcoreFb::Prepared(const QString& sql)
{
    if (writeDepth_ == 0)
        UndoFailedCommand();
    auto it = prepared_.find(sql);
    if (it == prepared_.end()) {
        if (!IBTransaction1)
            throw ibase::Error(QStringLiteral("The database connection is closed"));
        it = prepared_.emplace(sql, ibase::Statement(*IBTransaction1, sql)).first;
    }
    it->second.ClearParams();
    return it->second;
}

void TFcoreFb::OpenStore()
{
    CloseQueries();
    prepared_.clear();
    IBDatabase1 = ibase::Connection();
    // The data always lives beside the program; the folders of the ini file
    // are only written back.
    TableFolder = ExeFolder + QStringLiteral("Scalora data/");
    FirebirdFolder = ExeFolder + QStringLiteral("Scalora2 data/");
    const QString file = DatabaseFileName();
    // The engine would report a missing file in its own terms; a file that
    // is not there is also never made by opening it.
    if (!QFileInfo(file).isFile())
        throw OpenError(QStringLiteral("Cannot open the database \"%1\": the file does not exist.")
                            .arg(file)
                            .toStdString());
    try {
        IBDatabase1 =
            ibase::Connection::Attach(file, QStringLiteral("SYSDBA"), QStringLiteral("mavel39"));
    } catch (const ibase::Error& e) {
        throw OpenError(OpenFailure(file, e).toStdString());
    }
    openedFile_ = IdentityOf(file);
    IBTransaction1.emplace(IBDatabase1);
    // A database without the store's tables is not one of this program's;
    // it is refused before anything writes into it.
    const QString missing = MissingTable(*IBTransaction1);
    if (!missing.isEmpty()) {
        IBDatabase1.Detach();
        throw OpenError(QStringLiteral("Cannot open the database \"%1\": it has no table %2, so it "
                                       "is not a database of this program.")
                            .arg(file, missing)
                            .toStdString());
    }
    IBTransaction1->Commit();
    EnsureFirebirdLookupIndexes(IBDatabase1);
    for (int i = 0; FbQuery* q = QueryAt(i); ++i)
        q->BindTo(*IBTransaction1);
    StoreOpened = true;
}

void TFcoreFb::BindQuery(FbQuery& query)
{
    if (!IBTransaction1)
        throw ibase::Error(QStringLiteral("The database connection is closed"));
    query.BindTo(*IBTransaction1);
}

void TFcoreFb::CloseTables()
{
    for (FbQuery* q : {&IBTable1, &IBTable2, &IBTable4, &IBTable5, &IBTable6, &IBTable7})
        q->Close();
    QCoreApplication::processEvents();
}

void TFcoreFb::CloseQueries()
{
    for (int i = 0; FbQuery* q = QueryAt(i); ++i)
        q->Close();
}

void TFcoreFb::CloseStore()
{
    // Everything a command stored is committed already; what is left open
    // is committed too before the connection goes.
    CloseThenWriteIniFile([this] {
        CloseTables();
        CloseQueries();
        if (IBDatabase1.IsAttached()) {
            RestartTransaction();
            prepared_.clear();
            // The queries keep their transaction, which answers that the
            // connection is closed should anything still ask.
            IBDatabase1.Detach();
        }
    });
}

// ------------------------------------------------------------ transactions

namespace
{

const QString DiagramPointCountSQL = QStringLiteral("select count(*) from point where dgnum = ?");
const QString DiagramSegmentCountSQL = QStringLiteral("select count(*) from seg where dgnum = ?");
const QString DiagramRowRewriteSQL =
    QStringLiteral("update drawing set dgnum = dgnum where dgnum = ?");

} // namespace

void TFcoreFb::RestartTransaction()
{
    UndoFailedCommand();
    if (IBTransaction1 && IBTransaction1->IsActive())
        IBTransaction1->Commit();
}

void TFcoreFb::ExecuteImmediate(const QString& sql)
{
    if (!IBTransaction1)
        throw ibase::Error(QStringLiteral("The database connection is closed"));
    IBTransaction1->ExecuteImmediate(sql);
}

bool TFcoreFb::RollbackQuietly() noexcept
{
    try {
        if (IBTransaction1 && IBTransaction1->IsActive())
            IBTransaction1->Rollback();
        return true;
    } catch (const ibase::Error&) {
        // The transaction stays open in the engine with the failed work in
        // it; it is undone before anything else runs in it.
        numbersStale_ = true;
        return false;
    }
}

void TFcoreFb::UndoFailedCommand()
{
    if (IBTransaction1 && IBTransaction1->UndoPending()) {
        try {
            IBTransaction1->Rollback();
        } catch (const ibase::Error& e) {
            throw ibase::Error(QStringLiteral("The database still cannot be written: the command "
                                              "that failed is not undone yet, so nothing more is "
                                              "stored.\n") +
                               e.Text());
        }
    }
    if (!numbersStale_)
        return;
    numbersStale_ = false;
    // A number the failed command took and the database kept would be
    // handed out again; one it did not keep is merely skipped.
    if (CurrentDiagram > 0) {
        LastPointNum = std::max(
            LastPointNum, MaxColumnValue(QStringLiteral("point"), QStringLiteral("pointnum")));
        LastSegNum =
            std::max(LastSegNum, MaxColumnValue(QStringLiteral("seg"), QStringLiteral("segnum")));
    }
}

namespace
{

// The failure of a command that the database could not undo either, in
// words that say what became of it.
[[noreturn]] void ThrowNotUndone(const std::exception_ptr& failure)
{
    QString text;
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        text = QString::fromUtf8(e.what()) + QLatin1Char('\n');
    } catch (...) {
    }
    throw ibase::Error(text + QStringLiteral("The command is not stored. The database could not "
                                             "undo it at once: it is undone before the next "
                                             "command, which reads the point and segment numbers "
                                             "again from the database."));
}

} // namespace

void TFcoreFb::RunInTransaction(const std::function<void()>& work)
{
    // A command nested in another is a savepoint of the outer one: undone
    // alone when it fails, kept or undone with the outer command otherwise.
    if (writeDepth_ > 0) {
        const QString savepoint = QStringLiteral("COMMAND%1").arg(writeDepth_);
        ExecuteImmediate(QStringLiteral("SAVEPOINT ") + savepoint);
        ++writeDepth_;
        try {
            work();
        } catch (...) {
            --writeDepth_;
            try {
                ExecuteImmediate(QStringLiteral("ROLLBACK TO SAVEPOINT ") + savepoint);
            } catch (const ibase::Error&) {
                RollbackQuietly();
            }
            throw;
        }
        --writeDepth_;
        ExecuteImmediate(QStringLiteral("RELEASE SAVEPOINT ") + savepoint +
                         QStringLiteral(" ONLY"));
        return;
    }
    // The outermost command commits when it ends, so that it is on the disk
    // before the user sees it done; a failure undoes all of it. Nothing but
    // reads is pending in the transaction when a command starts.
    UndoFailedCommand();
    ++writeDepth_;
    rowsWritten_ = 0;
    try {
        work();
        --writeDepth_;
        // No command is committed into a file that has gone: it would be
        // lost when the program ends.
        if (!Refreshing() && !StillTheFileOpened(DatabaseFileName(), openedFile_))
            throw ibase::Error(DatabaseFileGoneText(DatabaseFileName()));
        RestartTransaction();
    } catch (...) {
        writeDepth_ = 0;
        rowsWritten_ = 0;
        if (!RollbackQuietly())
            ThrowNotUndone(std::current_exception());
        throw;
    }
    if (std::exchange(rowsWritten_, 0) >= ManyRowsWritten)
        ClearOldVersions();
}

void TFcoreFb::ClearOldVersions()
{
    // Every row a command changes keeps its old version in the database
    // until a reader that began after the commit finds it and clears it,
    // writing the pages it cleared. Left there, the next refresh would be
    // that reader: a redraw after a zoom would clear every point and
    // segment the zoom rewrote, and take several times as long as a plain
    // one. So the command clears them itself: a read of the open diagram's
    // points and segments, and a write that makes the commit put the
    // cleared pages on the disk (a commit that wrote nothing leaves them to
    // the next). A failure here loses nothing: the next reader clears them.
    try {
        for (const QString* sql : {&DiagramPointCountSQL, &DiagramSegmentCountSQL}) {
            ibase::Statement& st = Prepared(*sql);
            st.SetParam(0, CurrentDiagram);
            st.Execute();
            st.Fetch();
            st.Close();
        }
        ibase::Statement& st = Prepared(DiagramRowRewriteSQL);
        st.SetParam(0, CurrentDiagram);
        st.Execute();
        RestartTransaction();
    } catch (const ibase::Error&) {
        RollbackQuietly();
    }
}

// -------------------------------------------------------------- statements

int64_t TFcoreFb::RunSQL(FbQuery& query, const QString& sql, const FbParams& params)
{
    if (writeDepth_ == 0)
        UndoFailedCommand();
    query.SetSQL(sql);
    if (ComparePrefix(sql, QStringLiteral("select")) == 0) {
        query.Open(params);
        return 0;
    }
    int64_t rows = 0;
    if (writeDepth_ > 0) {
        rows = query.ExecSQL(params);
        CountWritten(rows);
        return rows;
    }
    WriteGroup([&] {
        rows = query.ExecSQL(params);
        CountWritten(rows);
    });
    return rows;
}

int64_t TFcoreFb::RunStoreSQL(const QString& sql, const FbParams& params)
{
    return RunSQL(q0, sql, params);
}

int32_t TFcoreFb::MaxColumnValue(const QString& table, const QString& column)
{
    const bool all = column == QLatin1String("dgnum");
    QString sql = QStringLiteral("select max(") + column + QStringLiteral(") as mx from ") + table;
    if (!all)
        sql += QStringLiteral(" where dgnum = :dg");
    RunSQL(q0, sql, all ? FbParams{} : FbParams{{"dg", CurrentDiagram}});
    const int32_t mx = q0.IsEmpty() ? 0 : q0.FieldInt("mx");
    q0.Close();
    return mx;
}

// ---------------------------------------------------------------- diagrams

bool TFcoreFb::OpenDiagram(int32_t n)
{
    if (n <= 0 || !Connected())
        return false;
    RunSQL(IBTable5, QStringLiteral("select * from drawing where dgnum = :n"), {{"n", n}});
    if (IBTable5.IsEmpty())
        return false;
    CurrentDiagram = IBTable5.FieldInt("DGNUM");
    DiagramUnits = IBTable5.FieldText("UNITS");
    TrimTrailingBlanks(DiagramUnits);
    RoundingDP = IBTable5.FieldInt("RNDGDP");
    DiagramName = IBTable5.FieldText("DGNAME");
    TrimTrailingBlanks(DiagramName);
    LastPointNum = MaxColumnValue(QStringLiteral("point"), QStringLiteral("pointnum"));
    LastSegNum = MaxColumnValue(QStringLiteral("seg"), QStringLiteral("segnum"));
    return true;
}

std::unique_ptr<DiagramRows> TFcoreFb::MakeDiagramRows()
{
    return std::make_unique<FbDiagramRows>(*this);
}

std::unique_ptr<LayersData> TFcoreFb::MakeLayersData()
{
    return std::make_unique<FbLayersData>(*this);
}

std::unique_ptr<ProfilesData> TFcoreFb::MakeProfilesData()
{
    return std::make_unique<FbProfilesData>(*this);
}
