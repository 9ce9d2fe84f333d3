#pragma once
// What the sheet and the dialogs share with the store: the open diagram and
// its derived values, the coordinate model's state, the current segment and
// layer, and the settings of the ini file. Each program's store (the table
// store of scalora, the Firebird store of scalora2) derives from Store and
// implements its operations; the routines that are the same for both
// (length-pixel conversions, the scale rule, rectangles, the guards before
// changes) are plain members here.

#include "store/coords.h"
#include "store/records.h"
#include "store/visiblesets.h"

#include <QString>
#include <QStringList>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

// How far "Find point near X" reaches, in pixels along either axis.
constexpr int32_t NearPointReach = 10;

class DiagramRows;
class HealthCheck;
class LayersData;
class ProfilesData;

// What a refresh reads of the open diagram in its one pass, in compact
// records that carry only what the fit, the drawing and the stamp use.
// A point: its number, lengths and cached pixels.
struct ContentPoint {
    int32_t Pointnum = -1; // -1 the empty point a missing end stands for
    int32_t Pxlx = 0;
    int32_t Pxly = 0;
    Extended Lenx = 0;
    Extended Leny = 0;
};

// A segment: its ends by number, its stored box (which the fit checks),
// what the drawing paints it by, and its layer's visibility.
struct ContentSegment {
    int32_t Segnum = -1;
    int32_t FromPt = -1;
    int32_t ToPt = -1;
    int32_t SegType = SegLine;
    SegmentBox Stored;
    Extended Mlenx = 0; // an arc's angle
    int32_t Visib = 0;  // 0 also when the layer has no row
    bool Dotted = false;
    bool Xorflag = false;
    bool Faint = false;
};

// Every point and every segment of the open diagram, each in number order
// as the store reads them. The store refills the same buffers on every
// refresh, so a large diagram's memory is taken once.
struct DiagramContent {
    std::vector<ContentPoint> Points;
    std::vector<ContentSegment> Segments;

    void Clear()
    {
        Points.clear();
        Segments.clear();
    }
};

// A visible segment as the drawing paints it: the segment as read and its
// two ends as fitted (the empty point for an end the diagram lacks).
struct DrawnSegment {
    const ContentSegment& Seg;
    const ContentPoint& From;
    const ContentPoint& To;
};

// A point's cached pixels as a fit rewrites them.
struct PixelRewrite {
    int32_t Pointnum = -1;
    int32_t Pxlx = 0;
    int32_t Pxly = 0;
};

// A segment's stored bounding box as a fit rewrites it.
struct BoxRewrite {
    int32_t Segnum = -1;
    SegmentBox Box;
};

// What a fit computes of the coordinate model: the extents, the scale and
// the origin the cached pixels follow.
struct FittedScale {
    Extended Scale = 0;
    Extended MinLenX = 0;
    Extended MinLenY = 0;
    Extended MaxLenX = 0;
    Extended MaxLenY = 0;
    int32_t OriginX = 0;
    int32_t OriginY = 0;
};

class Store
{
  public:
    Store();
    virtual ~Store() = default;
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // Settings of the ini file, section "main".
    QString TableFolder;         // "DBPath"
    QString FirebirdFolder;      // "DBPath2"
    int32_t CurrentDiagram = -1; // "DiagramNumber"; -1 none open
    int32_t CurrentProfile = 0;  // "Profile"
    int32_t DBVersion = 0;       // "DBVn"
    int32_t NotesFormHeight = 280;
    int32_t NotesFormWidth = 450;
    int32_t UpgradeState = 0; // "Upgrading": 0 none, 1 export done, 2 upgrade completed
    QString ExeFolder;        // the program's folder, with a trailing "/"
    QString IniFileName;

    // The open diagram.
    QString DiagramName;
    QString DiagramUnits;
    int32_t RoundingDP = 0;
    int32_t LastPointNum = -1;
    int32_t LastSegNum = -1;

    // The coordinate model.
    Extended Scale = 0; // pixels per length unit; 0 no scale
    Extended MinLenX = 0;
    Extended MinLenY = 0;
    Extended MaxLenX = 0;
    Extended MaxLenY = 0;
    int32_t MarginLeft = 50;
    int32_t MarginRight = 50;
    int32_t MarginTop = 50;
    int32_t MarginBottom = 50;
    int32_t OriginX = 0;
    int32_t OriginY = 0;
    int32_t SheetWidth = 0;
    int32_t SheetHeight = 0;
    bool Normalising = false;
    bool MissingPointReported = false;
    bool UnusableLengthReported = false;

    // Stamp of the last full redraw: the points it drew carry it.
    TDateTime RedrawStamp = 0;

    // Shared with the sheet and the dialogs.
    TSegRec CurrentSegment;
    TLayerRec CurrentLayer;
    int32_t LastLayerNum = 0;
    bool ReportInserts = true;

    // The visible sets of the open diagram, filled by the Open... routines
    // and walked by the sheet's redraw and stepping.
    RowCursor<VisibleSegmentRow> VisibleSegments;
    RowCursor<VisiblePointRow> VisiblePoints;
    RowCursor<VisibleTextRow> VisibleTexts;
    RowCursor<PointSegmentRow> SegmentsAtPoint;

    // ---- Coordinate model (the same in both programs)

    void ResetMargins();
    int32_t LenToPixelX(Extended lenx) const;
    int32_t LenToPixelY(Extended leny) const;
    // Need a scale above 0: callers check Scale first.
    Extended PixelToLenX(int32_t pxlx) const;
    Extended PixelToLenY(int32_t pxly) const;
    void SetPointLenXFromPixel(TPointRec& point) const;
    void SetPointLenYFromPixel(TPointRec& point) const;
    // The pixel size shown to the user; 0 without a scale.
    Extended UnitsPerPixel() const;
    // Scale and origin from the extents MinLenX ... MaxLenY for a sheet of
    // SheetWidth x SheetHeight less the margins and the side panel's width
    // (0 when the panel is hidden); false, Scale 0, when the extents give no
    // usable scale.
    bool FitScaleToExtents(int32_t sidePanelWidth);

    // The ini file: read once at creation, written once at shutdown.
    void ReadIniFile();
    void WriteIniFile();

    // A length with the open diagram's decimal places.
    QString FormatLength(Extended x) const;

    // ---- Operations of both stores

    // On a failure the engine's error (SQLite's in the table store,
    // Firebird's in the Firebird store) is thrown and the command's writes
    // are undone; a row not found is a false return. Each operation says in
    // its last comment line what it does on a failure.

    // Makes diagram n the open one; false (nothing changes) when there is
    // no such diagram.
    // Also false while the store is not open; a failed read throws the engine's error.
    virtual bool OpenDiagram(int32_t n) = 0;
    // Makes the diagram whose row was just stored the open one, with no
    // point or segment yet: its first point is number 0, its first segment 1.
    void AdoptNewDiagram(int32_t dgnum, const QString& name, const QString& units,
                         int32_t decimals);
    // No diagram open; its name and units go with it, so that nothing names
    // a diagram that is not on the sheet.
    void CloseDiagram();
    // The open diagram's name, units and decimals after its row changed.
    void RenameOpenDiagram(const QString& name);
    void SetDiagramUnits(const QString& units, int32_t decimals);
    // Closes every table and query and writes the ini file.
    // A failure to close is thrown after the ini file has been written all the same.
    virtual void CloseStore() = 0;
    // The store opened its data when it was made.
    bool Opened() const { return StoreOpened; }

    // Points of the open diagram. A lookup that finds nothing returns false
    // and leaves the record empty (Pointnum -1).
    // A failed read throws the engine's error.
    virtual bool LoadPoint(int32_t pointnum, TPointRec& point) = 0;
    bool ReloadPoint(TPointRec& point);
    // The stored point at exactly point.Lenx, point.Leny; none: false, with
    // the pixels derived from the lengths.
    // A failed read throws the engine's error.
    virtual bool FindPointAtLength(TPointRec& point) = 0;
    // False, record empty, when no point is there; a failed read throws.
    virtual bool FindPointAtPixel(TPointRec& point, bool visibleOnly) = 0;
    bool FindVisiblePointAtPixel(TPointRec& point);
    // The stored point nearest to the pixel, at most NearPointReach pixels
    // from it on either axis; false, found untouched, when there is none.
    // The table store looks among the points of the last redraw, ring by
    // ring; the Firebird store asks its database for every point of the
    // diagram in that square.
    // A failed read throws the engine's error.
    virtual bool FindPointNear(int32_t pxlx, int32_t pxly, TPointRec& found);
    // A failed read throws the engine's error.
    virtual bool PointHasText(int32_t pointnum) = 0;
    // A refused row throws the engine's error; nothing is stored.
    virtual void InsertPoint(TPointRec& point) = 0;
    // Writes a point whose number is stored (or inserts an unstored one).
    // A row that has gone: the table store stores the point again under its
    // number; the Firebird store returns false after "Error : Point <n> not
    // found". A refused write throws the engine's error.
    virtual bool StorePoint(TPointRec& point) = 0;
    // Gives an unstored point the stored point at the same lengths, or
    // stores it as a new one; a numbered point is left alone while its row
    // is there, and is taken as unstored when the row has gone.
    void EnsurePointStored(TPointRec& point);

    // Segments of the open diagram.
    // False, record empty, when there is no such segment; a failed read throws.
    virtual bool LoadSegment(int32_t segnum, TSegRec& seg) = 0;
    // False, record empty, when none joins them; a failed read throws.
    virtual bool FindBoldSegmentBetween(int32_t a, int32_t b, TSegRec& seg) = 0;
    // Stores a new segment and its end points, or reuses the same segment
    // on a bold layer; a jump stores nothing.
    // A refused row throws the engine's error, the new end points undone too.
    virtual void InsertSegment(TSegRec& seg) = 0;
    // False after a message when the row has gone or an end is unstored; a refused write throws.
    virtual bool UpdateSegmentProperties(const TSegRec& seg) = 0;
    // The old measured length kept in a segment's own row (never written by
    // the store); false when the open diagram has no such segment.
    // A failed read throws the engine's error.
    virtual bool LoadStoredSeglen(int32_t segnum, Extended& seglen) = 0;
    // No row: nothing happens; a refused delete throws the engine's error.
    virtual void DeleteSegment(int32_t dgnum, int32_t segnum) = 0;
    // A rectangle as its four lines, every other type by InsertSegment.
    void AddSegment(TSegRec& seg);
    void InsertRectangle(TSegRec& seg);
    // "Point not found" once per scale fit.
    void ReportMissingPoint();
    // "Error : <what> <number> not found", for a write whose row has gone.
    void ReportRowNotFound(const QString& what, int32_t number);
    // A stored point whose lengths are not numbers, not finite or beyond
    // the diagram's range, or an arc whose angle is not a number, once per
    // scale fit for them all: its segments are left out of the fit and the
    // drawing.
    void ReportUnusableLength(const TPointRec& point);
    void ReportUnusableAngle(int32_t segnum);

    // ---- The refresh (the same in both programs over their own reads and
    // writes). A refresh reads the diagram once: OpenVisibleSegments reads
    // every point and segment, and the fit, the drawing, the stamp and the
    // visible points all work from what it read.

    // The segments on visible layers, by number, into VisibleSegments; the
    // rest of the diagram is kept for the fit.
    void OpenVisibleSegments();
    // The same in two steps, for a refresh that reads the labels while the
    // fit is worked out: the read of the diagram, then the visible set
    // taken from it and the fit prepared for the sheet as it is, which
    // touches no database and shows nothing, so it may run on another
    // thread while this one reads the labels. FitDiagramToSheet takes the
    // prepared fit, reports what it left out, and writes it.
    void ReadVisibleSegments();
    void TakeDiagramAndPrepareFit(int32_t sidePanelWidth);
    // The visible segment of VisibleSegments' row i, with its ends' pixels
    // as the last fit left them.
    size_t VisibleSegmentCount() const { return visible_.size(); }
    DrawnSegment VisibleSegmentRecord(size_t i) const;
    // Whether the drawing places that segment: both its ends are in the
    // diagram with lengths in range, and an arc's angle is a number. The
    // fit leaves out the others, and reports them.
    bool VisibleSegmentDrawable(size_t i) const;
    // A point of the open diagram as the refresh read and fitted it (its
    // lengths and pixels); false, the record empty, when the diagram has no
    // such point.
    bool LoadFittedPoint(int32_t pointnum, TPointRec& point) const;
    // The scale fit over the visible segments read by OpenVisibleSegments
    // (read first when they are not open), rewriting the cached pixels and
    // boxes that changed. Within a group of writes the rewrite is kept or
    // undone with the group; undone, the rows read and the scale are put
    // back as the database has them.
    bool FitDiagramToSheet(int32_t sidePanelWidth);
    // Brings every stored segment box of the open diagram up to date.
    void NormaliseSegmentExtents();
    // Gives RedrawStamp, in one write, to every stored point of the open
    // diagram that a full redraw draws: the ends of the visible segments
    // and the points of the visible labels (VisibleTexts, read when not
    // open), as the refresh read them.
    void StampVisiblePoints();
    // The points that carry RedrawStamp; right after StampVisiblePoints
    // they are taken from what it stamped, without reading them again.
    void OpenVisiblePoints();

    // The other visible sets and the straight-line lookups.
    // These two throw the engine's error when the read fails.
    virtual void OpenVisibleText() = 0;
    virtual void OpenSegmentsAtPoint(int32_t pointnum) = 0;
    // The stamp of the next full redraw: later than RedrawStamp, so that
    // the points of an earlier redraw never pass for points of this one.
    // Cannot fail.
    virtual TDateTime NextRedrawStamp() const;
    // A full refresh of the sheet begins, and has drawn the diagram (or
    // found nothing to draw); the store ends and reopens what it holds
    // open across a refresh.
    // These two throw the engine's error when the commit fails (Firebird).
    virtual void RefreshStarting() {}
    virtual void RefreshDrawn() {}
    // These two: false, found empty, when nothing is there; a failed read throws.
    virtual bool FindPointInLine(const TPointRec& oldPlace, const TPointRec& newPlace,
                                 TPointRec& found) = 0;
    virtual bool FindSegmentInLine(const TPointRec& oldPlace, const TPointRec& newPlace,
                                   TSegRec& found) = 0;

    // Texts and layers.
    // Labels the point (stored first when it has no number yet), as one
    // change; a point that has a label refuses a second one.
    void AddText(TPointRec point, const QString& text, int32_t layernum);
    // False, record empty, when the point has no label; a failed read throws.
    virtual bool LoadTextAtPoint(int32_t pointnum, TTextRec& text) = 0;
    // No label: nothing happens; a refused delete throws the engine's error.
    virtual void DeleteTextAtPoint(int32_t pointnum) = 0;
    // Moves a label to another point, keeping its layer, as one change.
    void MoveText(const TPointRec& from, const TPointRec& to);
    // False for a layer number without a row, which comes back hidden.
    // A failed read throws the engine's error.
    virtual bool LoadLayer(int32_t layernum, TLayerRec& layer) = 0;
    // No row: nothing happens; a refused delete throws the engine's error.
    virtual void DeleteLayer(int32_t layernum) = 0;
    // The layers of the open diagram by number.
    // A failed read throws the engine's error.
    virtual std::vector<TLayerRec> LayersOfDiagram() = 0;
    // The layers of the open diagram by number, for a list to choose from;
    // LastLayerNum becomes the highest of them.
    std::vector<TLayerRec> ListLayers();
    // All layers or none: a refused write throws the engine's error.
    virtual void ApplyProfile(int32_t profile) = 0;
    // False when the user declines; a refused delete throws, the diagram whole.
    virtual bool DeleteDiagram() = 0;
    // The free-text notes of diagram dgnum; false, notes empty, when the
    // diagram has no row.
    // Also false while the store is not open; a failed read throws.
    virtual bool LoadDiagramNotes(int32_t dgnum, QString& notes) = 0;
    // Stores the notes of diagram dgnum durably; false when it has no row.
    // Also false while the store is not open; a refused write throws.
    virtual bool SaveDiagramNotes(int32_t dgnum, const QString& notes) = 0;

    // The data behind the list windows (diagrams, layers and the
    // move-segments dialog, profiles), each on this store's connection.
    // These cannot fail: the data reads and writes only when called.
    virtual std::unique_ptr<DiagramRows> MakeDiagramRows() = 0;
    virtual std::unique_ptr<LayersData> MakeLayersData() = 0;
    virtual std::unique_ptr<ProfilesData> MakeProfilesData() = 0;

    // The scans and repairs the health-check window runs on this store; none
    // where the store has no health check (the window then stays empty).
    // Cannot fail.
    virtual std::unique_ptr<HealthCheck> MakeHealthCheck();

    // Copies the whole store into the second program's database; true when
    // it succeeded and the program is to end. A store without that export
    // says so and copies nothing.
    // A refused row or database throws its error, the Firebird database as it was.
    virtual bool ExportToFirebird();

    // What the error box says of an error of this store that reached the top
    // of a user's action; the error's own text unless the store words it.
    virtual QString FaultText(const std::exception& e) const;

    // Guards before changes.
    bool CheckDiagramOpen();
    // Reloads the layer of new items (ReloadCurrentLayer) and asks before
    // they go to one that is not bold; false, after saying so, when there is
    // no layer to take them.
    bool ConfirmCurrentLayerVisible();
    // Reloads the layer of new items by its number. One that no longer
    // exists (deleted, or not in the open diagram) gives way to the default
    // layer 0; false when the open diagram has no layer 0 either.
    bool ReloadCurrentLayer();

    // Marks a refresh of the sheet for as long as it lives: its writes only
    // bring the drawing's cached pixels, boxes and stamps up to date, so
    // they go on when the store's file has gone and commands are refused.
    class RefreshScope
    {
      public:
        explicit RefreshScope(Store& store) : store_(store) { ++store_.refreshDepth_; }
        ~RefreshScope() { --store_.refreshDepth_; }
        RefreshScope(const RefreshScope&) = delete;
        RefreshScope& operator=(const RefreshScope&) = delete;

      private:
        Store& store_;
    };

    // Runs work as one unit: all of its writes are kept or none, and when
    // none are the last point and segment numbers are put back. Flash notes
    // raised inside it show when the outermost unit has succeeded.
    // settled, where given, runs once the unit's transaction has ended,
    // kept or undone, before the rows the refresh read are put back and
    // before any note shows: work that reads those rows on another thread
    // is waited for there.
    void WriteGroup(const std::function<void()>& work,
                    const std::function<void()>& settled = nullptr);

  protected:
    // How this store keeps "Upgrading": the value an absent key gives, and
    // whether it is written back.
    virtual int32_t UpgradeStateDefault() const { return 0; }
    virtual bool WritesUpgradeState() const { return true; }
    // Set once the store has opened. A store that never opened had no
    // diagram open: the one the ini file named is kept for the next start.
    bool StoreOpened = false;

    bool Refreshing() const { return refreshDepth_ > 0; }

    // The store's own transaction around a group of writes.
    // A failure in work or at the commit is thrown with work's writes undone.
    virtual void RunInTransaction(const std::function<void()>& work) { work(); }
    // A label row, its text cut to the column's width.
    // A second label on the point, or any refused row, throws the engine's error.
    virtual void InsertTextRow(int32_t pointnum, const QString& text, int32_t layernum) = 0;

    // Key allocation: an unstored point takes the number after the highest
    // one; a point stored under a number of its own raises the highest, so
    // that no later point is handed the same number again.
    void NumberPoint(TPointRec& point);
    // The bold segment of the same layer and type that already joins the
    // segment's two stored ends is reused: the user is told, and nothing is
    // to be stored.
    bool ReusesBoldSegment(const TSegRec& seg);
    // Closes what the store holds open, then writes the ini file even when
    // closing failed; the first failure is the one passed on.
    void CloseThenWriteIniFile(const std::function<void()>& close);
    // A flash note, held back while a group of writes is still open.
    void FlashNote(const QString& text);

    // The reads and writes of the refresh beneath the common routines.
    // ReadDiagramContent refills rows, which come cleared.
    // Each of these throws the engine's error when its read or write fails.
    virtual void ReadDiagramContent(DiagramContent& rows) = 0;
    virtual void RewritePointPixels(const std::vector<PixelRewrite>& rewrites) = 0;
    virtual void RewriteSegmentBoxes(const std::vector<BoxRewrite>& rewrites) = 0;
    // A new scale's rewrite done by whole-diagram statements: every point's
    // pixels from its stored lengths, and (boxes) every box's pixels from the
    // box's stored lengths, each by LengthToPixel, writing only the rows
    // that change. False, nothing written, where the store has no such
    // statements (the rows are then written one by one).
    virtual bool RewritePixelsFromLengths(bool boxes)
    {
        (void)boxes;
        return false;
    }
    // Sets the open diagram's points of these numbers (ascending) to
    // RedrawStamp.
    virtual void StampPoints(const std::vector<int32_t>& pointnums) = 0;
    // The open diagram's points that carry RedrawStamp, by number.
    virtual std::vector<VisiblePointRow> ReadStampedPoints() = 0;

  private:
    void TakeDiagramContent();
    void IndexPointsByNumber();
    const ContentPoint* FittedPoint(int32_t pointnum) const;
    // A pass over content_.Segments in order asks, at segment seg, for the
    // ends of the segments some way ahead, so that their reads from memory
    // overlap rather than wait one after the other.
    void PrefetchEnds(size_t seg) const;
    // An end point as read, or with the pixels the current scale gives it
    // (refitted).
    ContentPoint EndPoint(const ContentPoint& p, bool refitted) const;
    // A segment's ends as read (null for an end the diagram lacks), and
    // the first whose lengths are out of range, if any.
    struct SegmentPlacing {
        const ContentPoint* From = nullptr;
        const ContentPoint* To = nullptr;
        const ContentPoint* Unusable = nullptr;
        bool Placed() const { return From && To && !Unusable; }
    };
    SegmentPlacing PlacingOf(const ContentSegment& seg) const;
    // A stored box with the pixels the current scale gives its own lengths.
    SegmentBox BoxPixelsFromLengths(const SegmentBox& stored) const;
    // The fit worked out, the scale left as it was.
    void PrepareFit(int32_t sidePanelWidth);
    // The extents of the ends of the segments that can be drawn; false
    // when there are none.
    bool WidenExtentsByDrawnEnds();
    // Reports, once each kind, the visible segments the drawing leaves out.
    void ReportUndrawableSegments();
    std::vector<PixelRewrite> PixelRewrites() const;
    // endMissing is set when a segment lacks an end, which loading the
    // segment would report.
    std::vector<BoxRewrite> BoxRewrites(bool refitted, bool& endMissing) const;
    // Writes the rewrites and takes them into what the refresh read. Until
    // the outermost group of writes is kept, the rows' previous values and
    // the scale they followed (previous) are held, and put back should that
    // group be undone.
    void WriteRewrites(std::vector<PixelRewrite> pixels, std::vector<BoxRewrite> boxes,
                       const FittedScale& previous);
    // Whether a rewrite is large enough to be done by whole-diagram
    // statements, and the boxes such statements would not get right.
    bool RewritesWholeDiagram(size_t pixels) const;
    std::vector<BoxRewrite> BoxesNotFromLengths(const std::vector<BoxRewrite>& boxes) const;
    void RewriteRowByRow(const std::vector<PixelRewrite>& pixels,
                         const std::vector<BoxRewrite>& boxes);
    // Gives the rows read the rewritten values, and the rewrites the values
    // the rows had: done twice, it puts the rows back. A row the read lacks
    // is passed over.
    void SwapRewrites(std::vector<PixelRewrite>& pixels, std::vector<BoxRewrite>& boxes);
    FittedScale CurrentFit() const;
    void RestoreFit(const FittedScale& fit);
    // Puts back the rewrites held since the first `kept` ones, latest first.
    void UndoRewritesAfter(size_t kept);

    int32_t iniDiagram_ = 0; // "DiagramNumber" as the ini file gave it
    int groupDepth_ = 0;
    int refreshDepth_ = 0;
    QStringList heldFlashes_;

    // What OpenVisibleSegments read, kept for the fit and the drawing; the
    // buffers are kept from one refresh to the next.
    DiagramContent content_;
    std::vector<int32_t> pointAt_;  // number -> index in content_.Points, or empty
    std::vector<uint32_t> visible_; // indexes in content_.Segments of the visible ones
    // Whether each of them can be drawn: both ends there, their lengths in
    // range, an arc's angle a number. The rows read decide it, so it is
    // worked out once as they are taken.
    std::vector<uint8_t> drawable_;
    // By place in content_.Points: whether the point ends a segment that
    // can be drawn. The fit's extents and the stamp pass the points in
    // order by it, rather than looking both ends of every segment up.
    std::vector<uint8_t> drawnEnd_;
    std::vector<int32_t> stampNumbers_;
    // A fit worked out from what was read and not yet taken: the sheet it
    // was made for, the scale before and after it, and its rewrites.
    struct PreparedFit {
        bool Prepared = false;
        int32_t SheetWidth = 0;
        int32_t SheetHeight = 0;
        int32_t SidePanelWidth = 0;
        FittedScale Previous;
        FittedScale Fit;
        bool Fitted = false;
        bool EndMissing = false;
        std::vector<PixelRewrite> Pixels;
        std::vector<BoxRewrite> Boxes;
    };
    PreparedFit preparedFit_;
    // A rewrite taken into content_ whose group of writes is still open:
    // the previous values of its rows and scale.
    struct HeldRewrite {
        std::vector<PixelRewrite> Pixels;
        std::vector<BoxRewrite> Boxes;
        FittedScale Previous;
    };
    std::vector<HeldRewrite> heldRewrites_;
    // What the last StampVisiblePoints stamped, until OpenVisiblePoints
    // takes it.
    std::vector<VisiblePointRow> stamped_;
    TDateTime stampedWith_ = -1;
    int32_t stampedDiagram_ = -1;
};

// Sets Normalising for as long as it lives, however the pass is left.
class NormalisingScope
{
  public:
    explicit NormalisingScope(Store& store) : store_(store) { store_.Normalising = true; }
    ~NormalisingScope() { store_.Normalising = false; }
    NormalisingScope(const NormalisingScope&) = delete;
    NormalisingScope& operator=(const NormalisingScope&) = delete;

  private:
    Store& store_;
};
