#pragma once
// The store of scalora2: a window that is never shown and keeps every
// diagram in the Firebird database "Scalora2 data/scalora2data.fdb" beside
// the program, reached through SQL statements on one connection. Values
// travel as statement parameters, never as literals built into the text,
// and every command runs in a transaction of its own that is committed
// when the command ends and rolled back whole when it fails; the sheet's
// refresh commits and reopens its queries besides.
//
// The name TFcore belongs to the table store of the same code base, so this
// one is TFcoreFb.

#include "firebird/fbquery.h"
#include "platform/fileidentity.h"
#include "platform/ibase.h"
#include "store/store.h"

#include <QWidget>
#include <map>
#include <optional>

class TFcoreFb : public QWidget, public Store
{
    Q_OBJECT

  public:
    // A command that wrote this many rows clears their old versions as it
    // ends (ClearOldVersions); fewer cost their next reader little.
    static constexpr int64_t ManyRowsWritten = 1000;

    // exeFolder is the program's folder; the data folders lie beside it.
    explicit TFcoreFb(const QString& exeFolder, QWidget* parent = nullptr);
    ~TFcoreFb() override;

    // Reads the ini file, opens the database and reopens the diagram of the
    // last run. A database that cannot be opened throws OpenError and is
    // left untouched.
    void FormCreate();

    // FirebirdFolder + "scalora2data.fdb".
    QString DatabaseFileName() const;
    void OpenStore();
    void CloseTables();
    void CloseQueries();
    // Closes every query, commits, detaches and writes the ini file.
    void CloseStore() override;
    bool Connected() const { return IBDatabase1.IsAttached(); }

    // Commits the store's transaction when one is open; the next statement
    // starts the next one.
    void RestartTransaction();
    // One statement on a query: a text that begins with "select" (any
    // letter case) is opened, any other is executed. A statement that
    // writes, run outside a command, is a command of its own. The rows an
    // executed statement changed; 0 for a select.
    int64_t RunSQL(FbQuery& query, const QString& sql, const FbParams& params = {});
    // RunSQL on the general query q0: every insert, update and delete.
    int64_t RunStoreSQL(const QString& sql, const FbParams& params = {});
    // The largest value of a key column, within the open diagram unless
    // the column is "dgnum"; 0 when there is none.
    int32_t MaxColumnValue(const QString& table, const QString& column);
    // Binds a query kept elsewhere (by the list windows' data) to the
    // store's connection and transaction.
    void BindQuery(FbQuery& query);

    bool OpenDiagram(int32_t n) override;

    // Points.
    void ReadPointFields(const FbQuery& row, TPointRec& point) const;
    bool LoadPoint(int32_t pointnum, TPointRec& point) override;
    bool FindPointAtLength(TPointRec& point) override;
    bool FindPointAtPixel(TPointRec& point, bool visibleOnly) override;
    bool FindPointNear(int32_t pxlx, int32_t pxly, TPointRec& found) override;
    bool PointHasText(int32_t pointnum) override;
    void InsertPoint(TPointRec& point) override;
    bool StorePoint(TPointRec& point) override;

    // Segments.
    void ReadSegmentFields(TSegRec& seg);
    bool LoadSegment(int32_t segnum, TSegRec& seg) override;
    bool FindBoldSegmentBetween(int32_t a, int32_t b, TSegRec& seg) override;
    void InsertSegment(TSegRec& seg) override;
    bool UpdateSegmentProperties(const TSegRec& seg) override;
    bool LoadStoredSeglen(int32_t segnum, Extended& seglen) override;
    void DeleteSegment(int32_t dgnum, int32_t segnum) override;

    // The visible sets, the straight-line lookups and the refresh.
    void OpenVisibleText() override;
    void OpenSegmentsAtPoint(int32_t pointnum) override;
    bool FindPointInLine(const TPointRec& oldPlace, const TPointRec& newPlace,
                         TPointRec& found) override;
    bool FindSegmentInLine(const TPointRec& oldPlace, const TPointRec& newPlace,
                           TSegRec& found) override;
    TDateTime NextRedrawStamp() const override;
    // The statement that stamps a refresh's drawn points, runs of numbers
    // in a text (for a look at its plan).
    static const QString& StampStatement();
    void RefreshStarting() override;
    void RefreshDrawn() override;
    // Commits, then opens the visible segments, points and labels again.
    void CommitAndReopen();

    // Texts, layers, profiles and diagrams.
    bool LoadTextAtPoint(int32_t pointnum, TTextRec& text) override;
    void DeleteTextAtPoint(int32_t pointnum) override;
    bool LoadLayer(int32_t layernum, TLayerRec& layer) override;
    void DeleteLayer(int32_t layernum) override;
    std::vector<TLayerRec> LayersOfDiagram() override;
    void HideAllLayers();
    void ApplyProfile(int32_t profile) override;
    bool DeleteDiagram() override;
    bool LoadDiagramNotes(int32_t dgnum, QString& notes) override;
    bool SaveDiagramNotes(int32_t dgnum, const QString& notes) override;

    std::unique_ptr<DiagramRows> MakeDiagramRows() override;
    std::unique_ptr<LayersData> MakeLayersData() override;
    std::unique_ptr<ProfilesData> MakeProfilesData() override;

    ibase::Connection IBDatabase1;
    std::optional<ibase::Transaction> IBTransaction1;
    FbQuery IBTable1; // the segment row last loaded
    FbQuery IBTable2; // the point row last loaded
    FbQuery IBTable4; // the text row last read
    FbQuery IBTable5; // the diagram row
    FbQuery IBTable6; // the layer row
    FbQuery IBTable7; // the rows of the profile being applied
    FbQuery IBQuery1, IBQuery2, IBQuery3, IBQuery4, IBQuery5, IBQuery6, IBQuery7, IBQuery8,
        IBQuery10, IBQuery11;
    FbQuery q0; // the general statements

  protected:
    int32_t UpgradeStateDefault() const override { return 3; }
    bool WritesUpgradeState() const override { return false; }
    void RunInTransaction(const std::function<void()>& work) override;
    void InsertTextRow(int32_t pointnum, const QString& text, int32_t layernum) override;
    // The refresh's read of the open diagram and its writes.
    void ReadDiagramContent(DiagramContent& rows) override;
    void RewritePointPixels(const std::vector<PixelRewrite>& rewrites) override;
    void RewriteSegmentBoxes(const std::vector<BoxRewrite>& rewrites) override;
    bool RewritePixelsFromLengths(bool boxes) override;
    void StampPoints(const std::vector<int32_t>& pointnums) override;
    std::vector<VisiblePointRow> ReadStampedPoints() override;

  private:
    void ReadDiagramPoints(std::vector<ContentPoint>& points);
    void ReadDiagramSegments(std::vector<ContentSegment>& segs);

    void InsertPointRow(TPointRec& point);
    bool UpdatePointRow(const TPointRec& point);
    void InsertSegmentRow(const TSegRec& seg);
    bool UpdateSegmentRow(const TSegRec& seg);
    void DeleteDiagramRows(const QString& table);
    void ExecuteImmediate(const QString& sql);
    // Rolls the transaction back; false when the engine could not.
    bool RollbackQuietly() noexcept;
    // Before a command or a read: a command that failed and could not be
    // undone is undone now (refusing while that fails), and the last point
    // and segment numbers are read again from the database.
    void UndoFailedCommand();
    FbQuery* QueryAt(int i);
    // A statement of the store's own scans and batches, prepared once.
    ibase::Statement& Prepared(const QString& sql);
    // Counts rows a statement of the current command wrote.
    void CountWritten(int64_t rows) { rowsWritten_ += rows; }
    // After a command that wrote many rows of the open diagram: reads them
    // in a transaction of their own, which clears the old version each
    // write left, and commits that with the pages it changed written.
    void ClearOldVersions();

    std::map<QString, ibase::Statement> prepared_;

    // Commands open around the current statement: 0 outside any.
    int writeDepth_ = 0;
    // The database file as opened: a command refuses to write once the
    // file at its name is not this one any more.
    std::optional<FileIdentity> openedFile_;
    // A failed command could not be undone: the numbers it handed out are
    // read again from the database before the next command.
    bool numbersStale_ = false;
    // The labels were read since the refresh began, in its transaction.
    bool textsReadInRefresh_ = false;
    // Rows the outermost command open has written.
    int64_t rowsWritten_ = 0;
};

// The database could not be opened: it is missing, in use by another
// program, or not a database of this program. The text says which.
class OpenError : public std::runtime_error
{
  public:
    using std::runtime_error::runtime_error;
};
