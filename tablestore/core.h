#pragma once
// The table store of scalora: a window that is never shown and holds the
// store's tables and queries on the database "mydb" in the data folder
// beside the program.

#include "platform/tables.h"
#include "store/store.h"

#include <QTimer>
#include <QWidget>

class TFcore : public QWidget, public Store
{
    Q_OBJECT

  public:
    // exeFolder is the program's folder; the data folders lie beside it.
    explicit TFcore(const QString& exeFolder, QWidget* parent = nullptr);
    ~TFcore() override;

    // Reads the ini file, opens the store and reopens the diagram of the
    // last run. Engine errors propagate to the caller's error box.
    void FormCreate();

    void OpenStore();
    void ExecStatement(tables::Query& query, const QString& sql);
    void OpenTables();
    void CloseTables();
    void CloseQueries();
    void CloseStore() override;
    bool OpenDiagram(int32_t n) override;

    // Points (Table2 in key order, Table3 on the index "pxlxy").
    void ReadPointFields(TPointRec& point);
    void WritePointFields(const TPointRec& point);
    bool LoadPoint(int32_t pointnum, TPointRec& point) override;
    bool FindPointAtLength(TPointRec& point) override;
    bool FindPointAtPixel(TPointRec& point, bool visibleOnly) override;
    bool PointHasText(int32_t pointnum) override;
    void InsertPoint(TPointRec& point) override;
    bool StorePoint(TPointRec& point) override;

    // Segments (Table1).
    void ReadSegmentFields(TSegRec& seg);
    void ReadSegmentExtents(TSegRec& seg);
    void WriteSegmentExtents(const TSegRec& seg);
    void WriteSegmentProperties(const TSegRec& seg);
    void WriteSegmentFields(const TSegRec& seg);
    bool LoadSegment(int32_t segnum, TSegRec& seg) override;
    bool FindBoldSegmentBetween(int32_t a, int32_t b, TSegRec& seg) override;
    void InsertSegment(TSegRec& seg) override;
    bool UpdateSegmentProperties(const TSegRec& seg) override;
    bool LoadStoredSeglen(int32_t segnum, Extended& seglen) override;
    void DeleteSegment(int32_t dgnum, int32_t segnum) override;

    // The visible sets and the straight-line lookups.
    void OpenVisibleText() override;
    void OpenSegmentsAtPoint(int32_t pointnum) override;
    bool FindPointInLine(const TPointRec& oldPlace, const TPointRec& newPlace,
                         TPointRec& found) override;
    bool FindSegmentInLine(const TPointRec& oldPlace, const TPointRec& newPlace,
                           TSegRec& found) override;

    // Texts, layers, profiles and deletion.
    bool LoadTextAtPoint(int32_t pointnum, TTextRec& text) override;
    void DeleteTextAtPoint(int32_t pointnum) override;
    bool LoadLayer(int32_t layernum, TLayerRec& layer) override;
    void DeleteLayer(int32_t layernum) override;
    std::vector<TLayerRec> LayersOfDiagram() override;
    void ApplyProfile(int32_t profile) override;
    bool DeleteDiagram() override;
    bool LoadDiagramNotes(int32_t dgnum, QString& notes) override;
    bool SaveDiagramNotes(int32_t dgnum, const QString& notes) override;

    std::unique_ptr<DiagramRows> MakeDiagramRows() override;
    std::unique_ptr<LayersData> MakeLayersData() override;
    std::unique_ptr<ProfilesData> MakeProfilesData() override;
    std::unique_ptr<HealthCheck> MakeHealthCheck() override;
    // An engine error that no operation put in words yet: which file, what
    // happened and what to do.
    QString FaultText(const std::exception& e) const override;
    // Runs Export; without one, says the program has no such export.
    bool ExportToFirebird() override;
    // The copy of this store into the second program's database, handed to
    // the store by the program that offers it (the store itself speaks no
    // Firebird); empty where there is none.
    std::function<bool(TFcore&)> Export;

    // Pushes the buffered changes of every table to disk.
    void FlushAllTables();

    tables::Database Database1;
    tables::Table Table1; // seg.db
    tables::Table Table2; // point.db in key order
    tables::Table Table3; // point.db on the index "pxlxy"
    tables::Table Table4; // text.db
    tables::Table Table5; // drawing.DB
    tables::Table Table6; // layer.db
    tables::Table Table7; // pflays.DB
    tables::Table Table8; // pfl.db
    // Query4 (visible segments) and Query9 (all segments) have no text of
    // their own: the refresh's one read of the diagram (tablestore/fit.cpp)
    // gives both sets.
    tables::Query Query1, Query2, Query3, Query4, Query5, Query6, Query7, Query8, Query9, Query10,
        Query11, Query12;
    QTimer Timer1; // the periodic flush

    static constexpr int FlushIntervalMs = 300000;

  protected:
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
    // The highest number at or above from in the open diagram's rows of
    // the point or segment table, from - 1 when there is none.
    int32_t StoredHighestNumber(tables::Table& table, int32_t from);
    // Appends a row of the open diagram to the point or segment table under
    // number, its fields written by write. When the number was handed out
    // from *last and the row is refused because another row holds it, the
    // row is numbered after the stored highest (and *last with it) and
    // posted again; a number the caller chose (last null) is never changed.
    void AppendNumbered(tables::Table& table, int32_t& number, int32_t* last,
                        const std::function<void()>& write);
    struct IndexDefinition {
        QString Name;
        QString Sql;
    };
    // A whole-diagram rewrite of one table's pixels by sql (bound as
    // RewritePixelsFromLengths binds it).
    void RewriteTablePixels(const QString& table, const QString& sql, int32_t lastNumber);
    std::vector<IndexDefinition> PixelIndexes(const QString& table);
    // Whether the open diagram, numbered up to lastNumber, holds a quarter
    // or more of the table's rows.
    bool DiagramFillsTable(const QString& table, int32_t lastNumber);
    void ReadDiagramPoints(std::vector<ContentPoint>& points);
    void ReadDiagramSegments(std::vector<ContentSegment>& segs);
    // length_pixel(length, min, scale, margin, cached pixel) and stamped_point(number)
    // on the store's connection.
    void AddRefreshFunctions();
    // The point and segment tables' current rows after a write around them.
    void RefreshTables(std::initializer_list<tables::Table*> tables);
    // drawing.DB open again after the store's connection came back.
    bool ReopenNotesTable();
    // OpenStore with its faults worded as doing "<file>": ...
    void OpenStoreSaying(const QString& doing);
    // Nothing of a store that failed to open is left open.
    void CloseAfterFailedOpening();
    void CloseEachTable();
    void UpgradeSchema();
    void BindDataSets();
    tables::Table* TableAt(int i);

    // The numbers a stamp is writing, by number: 1 for each.
    std::vector<uint8_t> stampSet_;
    tables::Query* QueryAt(int i);
};
