#include "tablestore/core.h"

#include "tablestore/tablediagramrows.h"
#include "tablestore/tablefaults.h"
#include "tablestore/tablehealthcheck.h"
#include "tablestore/tablelayersdata.h"
#include "tablestore/tableprofilesdata.h"
#include "tablestore/tableschema.h"

#include "library/busy.h"
#include "library/flash.h"
#include "platform/ini.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace
{

QString WithSlash(const QString& folder)
{
    return folder.endsWith('/') ? folder : folder + '/';
}

} // namespace

TFcore::TFcore(const QString& exeFolder, QWidget* parent) : QWidget(parent)
{
    ExeFolder = WithSlash(QDir::cleanPath(exeFolder));
    Table1.TableName = QStringLiteral("seg.db");
    Table2.TableName = QStringLiteral("point.db");
    Table3.TableName = QStringLiteral("point.db");
    Table3.IndexName = QStringLiteral("pxlxy");
    Table4.TableName = QStringLiteral("text.db");
    Table5.TableName = QStringLiteral("drawing.DB");
    Table6.TableName = QStringLiteral("layer.db");
    Table7.TableName = QStringLiteral("pflays.DB");
    Table8.TableName = QStringLiteral("pfl.db");
    // The visible sets; their orders are complete so that a redraw paints
    // and a walk steps in the same order every time.
    // The segments at a point are found through the two end-point indexes,
    // one probe each, a segment that both starts and ends there once; the
    // few rows are then sorted. A rowid list or an IN over the ends would
    // build a temporary table at every step, and without the "+" SQLite
    // would rather walk the whole diagram in segment order.
    Query3.SetSQL(QStringLiteral(
        "select * from (select * from seg.db s\n"
        "  join layer.db y on (y.dgnum = s.dgnum) and (y.layernum = s.layernum)\n"
        "  where (s.dgnum = :y) and (s.frompt = :x) and (y.visib > 0)\n"
        "  union all select * from seg.db s\n"
        "  join layer.db y on (y.dgnum = s.dgnum) and (y.layernum = s.layernum)\n"
        "  where (s.dgnum = :y) and (s.topt = :x) and (s.frompt is not :x) and (y.visib > 0)\n"
        ") ends order by +segnum"));
    Query5.SetSQL(QStringLiteral("select * from layer.db where dgnum = :x\n"
                                 "order by layernum"));
    Query6.SetSQL(QStringLiteral("select * from point.db where (dgnum = :x) and (rprts = :ts)\n"
                                 "order by pointnum"));
    Query8.SetSQL(QStringLiteral("select * from seg.db where (dgnum = :x1) and (layernum = :x2)"));
    Query12.SetSQL(QStringLiteral("select * from seg.db where segtype = 4"));
    // Until the store is opened the datasets carry their design-time alias.
    for (int i = 1; i <= 8; ++i) {
        TableAt(i)->DatabaseName = QStringLiteral("scaloratest");
    }
    for (int i = 1; i <= 12; ++i) {
        QueryAt(i)->DatabaseName = QStringLiteral("scaloratest");
    }
    Database1.DatabaseName = QStringLiteral("mydb");
    // A statement that waits for another program's lock freezes the
    // program for up to tables::LockWaitMs: the busy cursor shows it.
    Database1.LockWait = [](bool waiting) {
        if (waiting)
            BeginBusyInCall();
        else
            EndBusyInCall();
    };

    Timer1.setInterval(FlushIntervalMs);
    connect(&Timer1, &QTimer::timeout, this, [this] { FlushAllTables(); });
    Timer1.start();
}

TFcore::~TFcore() = default;

tables::Table* TFcore::TableAt(int i)
{
    tables::Table* all[] = {&Table1, &Table2, &Table3, &Table4, &Table5, &Table6, &Table7, &Table8};
    return all[i - 1];
}

tables::Query* TFcore::QueryAt(int i)
{
    tables::Query* all[] = {&Query1, &Query2, &Query3, &Query4,  &Query5,  &Query6,
                            &Query7, &Query8, &Query9, &Query10, &Query11, &Query12};
    return all[i - 1];
}

void TFcore::FormCreate()
{
    ReadIniFile();
    // No diagram is open until the saved one has opened: a number whose
    // diagram is gone, or a store that cannot open, must not let new points
    // and segments be written under a diagram that does not exist.
    const int32_t saved = CurrentDiagram;
    CurrentDiagram = 0;
    // The program cannot go on with a store it cannot open, nor with one
    // whose saved diagram cannot be read back (a damaged file): the store is
    // then left closed, and the fault says which file and what to do.
    const QString doing =
        QStringLiteral("The program cannot start: it cannot open the table store");
    OpenStoreSaying(doing);
    try {
        OpenDiagram(saved);
    } catch (const tables::EngineError& e) {
        CloseAfterFailedOpening();
        StoreOpened = false;
        CurrentDiagram = 0;
        throw WordedTableFault(e, doing, Database1.FilePath());
    }
}

void TFcore::BindDataSets()
{
    for (int i = 1; i <= 8; ++i) {
        TableAt(i)->DatabaseName = Database1.DatabaseName;
        TableAt(i)->database = &Database1;
    }
    for (int i = 1; i <= 12; ++i) {
        QueryAt(i)->DatabaseName = Database1.DatabaseName;
        QueryAt(i)->database = &Database1;
    }
}

void TFcore::OpenStore()
{
    OpenStoreSaying(QStringLiteral("Cannot open the table store"));
}

void TFcore::OpenStoreSaying(const QString& doing)
{
    BindDataSets();
    Database1.Close();
    // The data always lives beside the program; the folders of the ini file
    // are only written back.
    TableFolder = ExeFolder + QStringLiteral("Scalora data/");
    FirebirdFolder = ExeFolder + QStringLiteral("Scalora2 data/");
    Database1.Params = QStringList{QStringLiteral("PATH=") + TableFolder};
    Database1.DriverName = QStringLiteral("STANDARD");
    // A file that lacks one of the store's tables is not a store of this
    // program: it is refused before anything writes into it.
    Database1.RequiredTables =
        QStringList{QStringLiteral("drawing"), QStringLiteral("point"), QStringLiteral("seg"),
                    QStringLiteral("text"),    QStringLiteral("layer"), QStringLiteral("pfl"),
                    QStringLiteral("pflays")};
    try {
        Database1.Open();
        AddRefreshFunctions();
        UpgradeSchema();
        EnsureLookupIndexes(Database1);
        OpenTables();
    } catch (const tables::EngineError& e) {
        CloseAfterFailedOpening();
        if (!QFileInfo::exists(Database1.FilePath()))
            throw MissingStoreFault(e, doing, Database1.FilePath());
        throw WordedTableFault(e, doing, Database1.FilePath());
    }
    StoreOpened = true;
}

void TFcore::CloseAfterFailedOpening()
{
    // No window event may run here: the store is half open.
    CloseEachTable();
    CloseQueries();
    Database1.Close();
}

void TFcore::UpgradeSchema()
{
    // The version is raised only once its step has run, and a step whose
    // column is there already (a store upgraded before its ini file was
    // lost) is passed over.
    if (DBVersion == 100) {
        if (!Database1.ColumnExists(QStringLiteral("drawing"), QStringLiteral("notes"))) {
            ExecStatement(Query1,
                          QStringLiteral("ALTER TABLE \"drawing.db\" ADD notes blob(80,1)"));
        }
        DBVersion = 101;
    }
    if (DBVersion == 101) {
        if (!Database1.ColumnExists(QStringLiteral("seg"), QStringLiteral("faint"))) {
            tables::Transaction t(Database1);
            ExecStatement(Query1, QStringLiteral("ALTER TABLE \"seg.db\" ADD faint boolean"));
            ExecStatement(Query1, QStringLiteral("UPDATE \"seg.db\" SET faint=false"));
            t.Commit();
        }
        DBVersion = 102;
    }
}

void TFcore::ExecStatement(tables::Query& query, const QString& sql)
{
    query.Close();
    query.SetSQL(sql);
    query.ExecSQL();
    query.Close();
}

void TFcore::OpenTables()
{
    for (int i = 1; i <= 8; ++i) {
        TableAt(i)->Open();
    }
}

void TFcore::CloseTables()
{
    CloseEachTable();
    QCoreApplication::processEvents();
}

void TFcore::CloseEachTable()
{
    for (int i = 1; i <= 8; ++i) {
        TableAt(i)->Close();
    }
}

void TFcore::CloseQueries()
{
    for (int i = 1; i <= 12; ++i) {
        QueryAt(i)->Close();
    }
}

void TFcore::CloseStore()
{
    // Nothing is left to flush once the tables are closed.
    Timer1.stop();
    CloseThenWriteIniFile([this] {
        CloseTables();
        CloseQueries();
    });
}

void TFcore::RunInTransaction(const std::function<void()>& work)
{
    const bool outermost = Database1.TransactionDepth() == 0;
    try {
        tables::Transaction transaction(Database1);
        work();
        if (outermost && !Refreshing()) {
            Database1.RequireFileOpened();
        }
        transaction.Commit();
    } catch (const TableFault&) {
        throw;
    } catch (const tables::EngineError& e) {
        if (!outermost) {
            throw;
        }
        // The transaction is undone by now: nothing of the group is kept.
        throw WordedTableFault(e,
                               Refreshing()
                                   ? QStringLiteral("The sheet could not be redrawn from the "
                                                    "table store")
                                   : QStringLiteral("Nothing of this change was stored in the "
                                                    "table store"),
                               Database1.FilePath());
    }
}

QString TFcore::FaultText(const std::exception& e) const
{
    const auto* engine = dynamic_cast<const tables::EngineError*>(&e);
    if (!engine || dynamic_cast<const TableFault*>(&e))
        return Store::FaultText(e);
    return TableFaultText(*engine, QStringLiteral("Cannot use the table store"),
                          Database1.FilePath());
}

void TFcore::FlushAllTables()
{
    for (int i = 1; i <= 8; ++i) {
        TableAt(i)->FlushBuffers();
    }
}

bool TFcore::OpenDiagram(int32_t n)
{
    if (n <= 0 || !Table5.Active() || !Table5.FindKey({n})) {
        return false;
    }
    CurrentDiagram = Table5.FieldByName(QStringLiteral("Dgnum")).AsInteger();
    DiagramUnits = Table5.FieldByName(QStringLiteral("Units")).AsString();
    RoundingDP = Table5.FieldByName(QStringLiteral("RndgDP")).AsInteger();
    DiagramName = Table5.FieldByName(QStringLiteral("Dgname")).AsString();

    // The highest numbers, whatever order the rows come in.
    Query1.Close();
    Query1.SetSQL(QStringLiteral("SELECT max(pointnum) as mx from point.db where (dgnum = :x)"));
    Query1.ParamByName(QStringLiteral("x")).SetInteger(CurrentDiagram);
    Query1.Open();
    LastPointNum = Query1.FieldByName(QStringLiteral("mx")).IsNull()
                       ? -1
                       : Query1.FieldByName(QStringLiteral("mx")).AsInteger();

    Query2.Close();
    Query2.SetSQL(QStringLiteral("SELECT max(sg.segnum) as mx FROM \"seg.db\" sg\n"
                                 "WHERE (sg.dgnum = :z)"));
    Query2.ParamByName(QStringLiteral("z")).SetInteger(CurrentDiagram);
    Query2.Open();
    LastSegNum = Query2.FieldByName(QStringLiteral("mx")).IsNull()
                     ? -1
                     : Query2.FieldByName(QStringLiteral("mx")).AsInteger();
    return true;
}

std::unique_ptr<DiagramRows> TFcore::MakeDiagramRows()
{
    return std::make_unique<TableDiagramRows>(*this);
}

std::unique_ptr<LayersData> TFcore::MakeLayersData()
{
    return std::make_unique<TableLayersData>(*this);
}

std::unique_ptr<ProfilesData> TFcore::MakeProfilesData()
{
    return std::make_unique<TableProfilesData>(*this);
}

std::unique_ptr<HealthCheck> TFcore::MakeHealthCheck()
{
    return std::make_unique<TableHealthCheck>(*this);
}

bool TFcore::ExportToFirebird()
{
    return Export ? Export(*this) : Store::ExportToFirebird();
}
