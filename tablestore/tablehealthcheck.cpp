// The health check's pass over the table store.

#include "tablestore/tablehealthcheck.h"

#include "tablestore/core.h"
#include "tablestore/rowreader.h"
#include "tablestore/tablefaults.h"

#include <cmath>
#include <optional>
#include <set>
#include <unordered_map>
#include <unordered_set>

namespace
{

using rowreader::ColumnReader;

uint64_t PairKey(int32_t a, int32_t b)
{
    return (static_cast<uint64_t>(static_cast<uint32_t>(a)) << 32) | static_cast<uint32_t>(b);
}

// A length column whose value is not a number, and what it holds.
struct NotANumber {
    const char* Column;
    QString Stored;
};

// Reads the next column of lengths; NaN, and noted, when it holds a value
// that is not a number (a text the engine could not take for one).
Extended ReadLength(ColumnReader& c, const char* column, std::vector<NotANumber>* notNumbers)
{
    QString stored;
    const Extended v = c.Number(stored);
    if (v != v && notNumbers)
        notNumbers->push_back({column, stored});
    return v;
}

// An end point as the segment scan finds it beside its segment.
struct EndPoint {
    bool Found = false;
    Extended Lenx = 0;
    Extended Leny = 0;
    int32_t Pxlx = 0;
    int32_t Pxly = 0;
};

struct SegRow {
    int32_t Dgnum = 0;
    int32_t Segnum = 0;
    int32_t FromPt = 0;
    int32_t ToPt = 0;
    int32_t SegType = 0;
    Extended Seglen = 0;
    Extended Mlenx = 0;
    Extended Mleny = 0;
    int32_t Layernum = 0;
    EndPoint From;
    EndPoint To;
    std::vector<NotANumber> NotNumbers; // of the segment's own length columns
};

const QString SegScanSQL = QStringLiteral(
    "SELECT s.dgnum, s.segnum, s.frompt, s.topt, s.segtype, s.seglen, s.mlenx, s.mleny, "
    "s.layernum, f.pointnum, f.lenx, f.leny, f.pxlx, f.pxly, t.pointnum, t.lenx, t.leny, "
    "t.pxlx, t.pxly, s.mlenz, s.lenx1, s.leny1, s.lenx2, s.leny2\n"
    "FROM seg.db s\n"
    "LEFT JOIN point.db f ON (f.dgnum = s.dgnum) AND (f.pointnum = s.frompt)\n"
    "LEFT JOIN point.db t ON (t.dgnum = s.dgnum) AND (t.pointnum = s.topt)\n"
    "ORDER BY s.dgnum, s.segnum");

const QString TextScanSQL =
    QStringLiteral("SELECT t.dgnum, t.pointnum, p.pointnum FROM text.db t\n"
                   "LEFT JOIN point.db p ON (p.dgnum = t.dgnum) AND (p.pointnum = t.pointnum)\n"
                   "ORDER BY t.dgnum, t.pointnum");

EndPoint ReadEndPoint(ColumnReader& c)
{
    EndPoint p;
    p.Found = !c.NextIsNull();
    c.Skip(1);
    // The point's own row reports a length that is not a number.
    p.Lenx = ReadLength(c, "Lenx", nullptr);
    p.Leny = ReadLength(c, "Leny", nullptr);
    p.Pxlx = c.Int();
    p.Pxly = c.Int();
    return p;
}

SegRow ReadSegRow(ColumnReader& c)
{
    SegRow r;
    r.Dgnum = c.Int();
    r.Segnum = c.Int();
    r.FromPt = c.Int();
    r.ToPt = c.Int();
    r.SegType = c.Int();
    r.Seglen = ReadLength(c, "Seglen", &r.NotNumbers);
    r.Mlenx = ReadLength(c, "Mlenx", &r.NotNumbers);
    r.Mleny = ReadLength(c, "Mleny", &r.NotNumbers);
    r.Layernum = c.Int();
    r.From = ReadEndPoint(c);
    r.To = ReadEndPoint(c);
    for (const char* column : {"Mlenz", "Lenx1", "Leny1", "Lenx2", "Leny2"})
        ReadLength(c, column, &r.NotNumbers);
    return r;
}

// One pass: what it knows of the store, what it has reached, and the writes
// a repair holds back until the table being read has been read to its end.
class PassRunner
{
  public:
    PassRunner(tables::Database& db, bool repair, int zoom, int32_t savedDiagram,
               int32_t savedDecimals)
        : db_(db), repair_(repair), zoom_(zoom), saved_(savedDiagram), savedDecimals_(savedDecimals)
    {
        LoadKnownRows();
    }

    HealthScan ScanSegments();
    HealthScan ScanTexts();
    HealthScan ScanLayers();
    HealthScan ScanPoints();
    HealthScan ScanProfileLayers();
    DuplicateScan ScanDuplicatePoints();

  private:
    struct Write {
        QString sql;
        std::vector<QVariant> values;
    };

    // Runs sql with its parameters and hands each row to visit, its columns
    // from the first on.
    template <typename Visit>
    void ForEachRow(const QString& sql, Visit visit, const std::vector<QVariant>& values = {});
    void LoadKnownRows();
    int Count(const QString& table);
    HealthScan Finish(HealthTable table, HealthScan scan, const QString& name);
    void Later(const QString& sql, std::vector<QVariant> values);

    void CheckDiagramExists(HealthScan& scan, int32_t dgnum, int32_t number);
    void SegmentRules(const SegRow& r, HealthScan& scan);
    void CheckLayer(const SegRow& r, HealthScan& scan);
    void CheckMeasuredLength(const SegRow& r, HealthScan& scan);
    void CheckArcAngle(const SegRow& r, HealthScan& scan);
    void CheckDirection(const SegRow& r, HealthScan& scan);
    static void ReportNotNumbers(HealthScan& scan, int32_t dgnum, int32_t number,
                                 const std::vector<NotANumber>& notNumbers);
    void DeleteSegment(const SegRow& r);
    void Reach(int32_t dgnum, int32_t pointnum, int32_t layer);

    tables::Database& db_;
    const bool repair_;
    const int zoom_;
    const int32_t saved_;
    const int32_t savedDecimals_;
    std::unordered_set<int32_t> diagrams_;
    std::set<uint64_t> layers_;
    std::set<uint64_t> profiles_;
    // Every point a segment or a text reached, with the layer of the last
    // segment that reached it (0 for a text's point).
    std::unordered_map<uint64_t, int32_t> reached_;
    std::vector<Write> writes_;
};

template <typename Visit>
void PassRunner::ForEachRow(const QString& sql, Visit visit, const std::vector<QVariant>& values)
{
    tables::Statement& st = db_.Prepare(tables::MapTableNames(sql));
    try {
        st.BindAll(values);
        while (st.Step()) {
            ColumnReader c(st);
            visit(c);
        }
    } catch (...) {
        st.Reset();
        throw;
    }
    st.Reset();
}

void PassRunner::LoadKnownRows()
{
    ForEachRow(QStringLiteral("SELECT dgnum FROM drawing.DB"),
               [this](ColumnReader& c) { diagrams_.insert(c.Int()); });
    ForEachRow(QStringLiteral("SELECT dgnum, layernum FROM layer.db"), [this](ColumnReader& c) {
        const int32_t dgnum = c.Int();
        layers_.insert(PairKey(dgnum, c.Int()));
    });
    ForEachRow(QStringLiteral("SELECT dgnum, pflnum FROM pfl.db"), [this](ColumnReader& c) {
        const int32_t dgnum = c.Int();
        profiles_.insert(PairKey(dgnum, c.Int()));
    });
}

int PassRunner::Count(const QString& table)
{
    int n = 0;
    ForEachRow(QStringLiteral("SELECT count(*) FROM ") + table,
               [&n](ColumnReader& c) { n = c.Int(); });
    return n;
}

void PassRunner::Later(const QString& sql, std::vector<QVariant> values)
{
    if (repair_)
        writes_.push_back({sql, std::move(values)});
}

// The held-back writes go in once the scan's statement is done with its
// table, then the rows left are counted.
HealthScan PassRunner::Finish(HealthTable table, HealthScan scan, const QString& name)
{
    for (const Write& w : writes_) {
        tables::Statement& st = db_.Prepare(tables::MapTableNames(w.sql));
        st.BindAll(w.values);
        st.Run();
    }
    writes_.clear();
    scan.Table = table;
    scan.RecordCount = Count(name);
    return scan;
}

void PassRunner::CheckDiagramExists(HealthScan& scan, int32_t dgnum, int32_t number)
{
    if (diagrams_.count(dgnum))
        return;
    scan.Findings.push_back({HealthFault::DiagramNotFound, dgnum, number, dgnum});
    if (!repair_)
        return;
    // Made at once, so the diagram's later rows find it.
    diagrams_.insert(dgnum);
    Later(QStringLiteral("INSERT INTO drawing.DB (Dgnum) VALUES (?)"), {dgnum});
}

void PassRunner::Reach(int32_t dgnum, int32_t pointnum, int32_t layer)
{
    reached_[PairKey(dgnum, pointnum)] = layer;
}

void PassRunner::DeleteSegment(const SegRow& r)
{
    Later(QStringLiteral("DELETE FROM seg.db WHERE (dgnum = ?) AND (segnum = ?)"),
          {r.Dgnum, r.Segnum});
}

HealthScan PassRunner::ScanSegments()
{
    HealthScan scan;
    ForEachRow(SegScanSQL, [&](ColumnReader& c) { SegmentRules(ReadSegRow(c), scan); });
    return Finish(HealthTable::Seg, std::move(scan), QStringLiteral("seg.db"));
}

void PassRunner::SegmentRules(const SegRow& r, HealthScan& scan)
{
    const auto report = [&](HealthFault fault, int32_t value = 0) {
        scan.Findings.push_back({fault, r.Dgnum, r.Segnum, value});
    };
    CheckDiagramExists(scan, r.Dgnum, r.Segnum);
    if (r.SegType == SegJump) {
        report(HealthFault::JumpSeg);
        return DeleteSegment(r);
    }
    if (r.FromPt == r.ToPt) {
        report(HealthFault::SamePoints);
        return DeleteSegment(r);
    }
    if (r.SegType != SegLine && r.SegType != SegArc) {
        report(HealthFault::InvalidSegType, r.SegType);
        return DeleteSegment(r);
    }
    if (r.From.Found)
        Reach(r.Dgnum, r.FromPt, r.Layernum);
    else
        report(HealthFault::FromPointNotFound);
    if (!r.To.Found) {
        report(HealthFault::ToPointNotFound);
        return DeleteSegment(r);
    }
    Reach(r.Dgnum, r.ToPt, r.Layernum);
    CheckLayer(r, scan);
    CheckMeasuredLength(r, scan);
    CheckArcAngle(r, scan);
    CheckDirection(r, scan);
    ReportNotNumbers(scan, r.Dgnum, r.Segnum, r.NotNumbers);
}

// A length that is not a number is left as it is: no repair could know
// the number meant, and 0 would move the drawing without a word.
void PassRunner::ReportNotNumbers(HealthScan& scan, int32_t dgnum, int32_t number,
                                  const std::vector<NotANumber>& notNumbers)
{
    for (const NotANumber& n : notNumbers)
        scan.Findings.push_back({HealthFault::LengthNotANumber, dgnum, number, 0,
                                 QString::fromLatin1(n.Column), n.Stored});
}

void PassRunner::CheckLayer(const SegRow& r, HealthScan& scan)
{
    const uint64_t key = PairKey(r.Dgnum, r.Layernum);
    if (layers_.count(key))
        return;
    scan.Findings.push_back({HealthFault::LayerNotFound, r.Dgnum, r.Segnum, r.Layernum});
    if (!repair_)
        return;
    // Made hidden: what was on it stays out of sight until the user says.
    layers_.insert(key);
    Later(
        QStringLiteral("INSERT INTO layer.db (Dgnum, Layernum, Name, Visib) VALUES (?, ?, '', ?)"),
        {r.Dgnum, r.Layernum, VisibHidden});
}

// An old measured length lives only in Seglen: the repair moves it into the
// measured length of the line's direction. A line that is neither vertical
// nor horizontal, or whose from-point is missing, keeps it, as nothing could
// take it over.
void PassRunner::CheckMeasuredLength(const SegRow& r, HealthScan& scan)
{
    if (!(r.Seglen > 0 && r.SegType != SegArc && r.Mlenx == 0 && r.Mleny == 0))
        return;
    scan.Findings.push_back({HealthFault::MeasuredLengthToBeSet, r.Dgnum, r.Segnum, 0});
    const bool vertical = r.From.Found && r.From.Lenx == r.To.Lenx;
    const bool horizontal = r.From.Found && r.From.Leny == r.To.Leny;
    if (!vertical && !horizontal)
        return;
    Later(QStringLiteral("UPDATE seg.db SET mlenx = ?, mleny = ?, seglen = 0, measured = 1 "
                         "WHERE (dgnum = ?) AND (segnum = ?)"),
          {horizontal ? r.Seglen : r.Mlenx, vertical ? r.Seglen : r.Mleny, r.Dgnum, r.Segnum});
}

void PassRunner::CheckArcAngle(const SegRow& r, HealthScan& scan)
{
    if (r.SegType != SegArc)
        return;
    if (r.Mlenx == 0 || r.Mlenx > 360 || r.Mlenx < -360 || r.Mleny != 0 || std::isnan(r.Mlenx))
        scan.Findings.push_back({HealthFault::InvalidArcAngle, r.Dgnum, r.Segnum, 0});
}

// At the highest zoom one pixel is fine enough to tell a line that only
// looks vertical or horizontal on the sheet from one that is.
void PassRunner::CheckDirection(const SegRow& r, HealthScan& scan)
{
    if (r.SegType != SegLine || r.Dgnum != saved_ || zoom_ != HealthCheckZoom || !r.From.Found)
        return;
    // An end whose length is not a number is reported by its own row.
    if (std::isnan(r.From.Lenx + r.From.Leny + r.To.Lenx + r.To.Leny))
        return;
    if (r.From.Pxlx == r.To.Pxlx && r.From.Lenx != r.To.Lenx)
        scan.Findings.push_back({HealthFault::NotExactlyVertical, r.Dgnum, r.Segnum, 0});
    if (r.From.Pxly == r.To.Pxly && r.From.Leny != r.To.Leny)
        scan.Findings.push_back({HealthFault::NotExactlyHorizontal, r.Dgnum, r.Segnum, 0});
}

HealthScan PassRunner::ScanTexts()
{
    HealthScan scan;
    ForEachRow(TextScanSQL, [&](ColumnReader& c) {
        const int32_t dgnum = c.Int();
        const int32_t pointnum = c.Int();
        if (c.NextIsNull()) {
            scan.Findings.push_back({HealthFault::TextPointNotFound, dgnum, pointnum, 0});
            Later(QStringLiteral("DELETE FROM text.db WHERE (dgnum = ?) AND (pointnum = ?)"),
                  {dgnum, pointnum});
            return;
        }
        Reach(dgnum, pointnum, 0);
        CheckDiagramExists(scan, dgnum, pointnum);
    });
    return Finish(HealthTable::Text, std::move(scan), QStringLiteral("text.db"));
}

HealthScan PassRunner::ScanLayers()
{
    HealthScan scan;
    ForEachRow(QStringLiteral("SELECT dgnum, layernum FROM layer.db ORDER BY dgnum, layernum"),
               [&](ColumnReader& c) {
                   const int32_t dgnum = c.Int();
                   CheckDiagramExists(scan, dgnum, c.Int());
               });
    return Finish(HealthTable::Layer, std::move(scan), QStringLiteral("layer.db"));
}

// Mark and sweep: a point that no segment or text reached in this pass has
// nothing to show it by.
HealthScan PassRunner::ScanPoints()
{
    HealthScan scan;
    ForEachRow(QStringLiteral("SELECT dgnum, pointnum, lenx, leny FROM point.db "
                              "ORDER BY dgnum, pointnum"),
               [&](ColumnReader& c) {
                   const int32_t dgnum = c.Int();
                   const int32_t pointnum = c.Int();
                   if (reached_.count(PairKey(dgnum, pointnum))) {
                       CheckDiagramExists(scan, dgnum, pointnum);
                       std::vector<NotANumber> notNumbers;
                       ReadLength(c, "Lenx", &notNumbers);
                       ReadLength(c, "Leny", &notNumbers);
                       ReportNotNumbers(scan, dgnum, pointnum, notNumbers);
                       return;
                   }
                   scan.Findings.push_back({HealthFault::PointUnused, dgnum, pointnum, 0});
                   Later(
                       QStringLiteral("DELETE FROM point.db WHERE (dgnum = ?) AND (pointnum = ?)"),
                       {dgnum, pointnum});
               });
    return Finish(HealthTable::Point, std::move(scan), QStringLiteral("point.db"));
}

HealthScan PassRunner::ScanProfileLayers()
{
    HealthScan scan;
    ForEachRow(
        QStringLiteral("SELECT dgnum, pflnum, layernum FROM pflays.DB "
                       "ORDER BY dgnum, pflnum, layernum"),
        [&](ColumnReader& c) {
            const int32_t dgnum = c.Int();
            const int32_t pflnum = c.Int();
            const int32_t layernum = c.Int();
            bool broken = false;
            if (!profiles_.count(PairKey(dgnum, pflnum))) {
                scan.Findings.push_back({HealthFault::ProfileNotFound, dgnum, pflnum, layernum});
                broken = true;
            }
            if (!layers_.count(PairKey(dgnum, layernum))) {
                scan.Findings.push_back(
                    {HealthFault::ProfileLayerNotFound, dgnum, pflnum, layernum});
                broken = true;
            }
            if (broken)
                Later(QStringLiteral("DELETE FROM pflays.DB WHERE (dgnum = ?) AND "
                                     "(pflnum = ?) AND (layernum = ?)"),
                      {dgnum, pflnum, layernum});
        });
    return Finish(HealthTable::ProfileLayers, std::move(scan), QStringLiteral("pflays.DB"));
}

DuplicateScan PassRunner::ScanDuplicatePoints()
{
    DuplicateScan dup;
    if (zoom_ < HealthCheckZoom)
        return dup;
    dup.Skipped = false;
    dup.Dgnum = saved_;
    dup.Decimals = savedDecimals_;
    ForEachRow(QStringLiteral("SELECT RndgDP FROM drawing.DB WHERE dgnum = ?"),
               [&dup](ColumnReader& c) { dup.Decimals = c.Int(); }, {saved_});
    std::optional<TPointRec> previous;
    ForEachRow(QStringLiteral("SELECT pointnum, lenx, leny, pxlx, pxly, layernum FROM point.db "
                              "WHERE dgnum = ? ORDER BY pxlx, pxly, pointnum"),
               [&](ColumnReader& c) {
                   TPointRec p;
                   p.Dgnum = saved_;
                   p.Pointnum = c.Int();
                   p.Lenx = c.Float();
                   p.Leny = c.Float();
                   p.Pxlx = c.Int();
                   p.Pxly = c.Int();
                   p.Layernum = c.Int();
                   // The layer of the segment that reached the point tells
                   // the user where to look for it.
                   const auto mark = reached_.find(PairKey(saved_, p.Pointnum));
                   if (mark != reached_.end())
                       p.Layernum = mark->second;
                   if (previous && previous->Pxlx == p.Pxlx && previous->Pxly == p.Pxly)
                       dup.Pairs.emplace_back(*previous, p);
                   previous = p;
               },
               {saved_});
    return dup;
}

} // namespace

HealthPass TableHealthCheck::RunHealthCheck(bool repair, int zoomFactor)
{
    tables::Database& db = core_.Database1;
    if (!db.Connected())
        throw tables::EngineError(db.NotOpenText().toStdString());
    try {
        return RunPass(repair, zoomFactor);
    } catch (const tables::EngineError& e) {
        throw WordedTableFault(e,
                               repair
                                   ? QStringLiteral("Repair cannot go on with the table store")
                                   : QStringLiteral("The check cannot go on with the table store"),
                               db.FilePath());
    }
}

HealthPass TableHealthCheck::RunPass(bool repair, int zoomFactor)
{
    tables::Database& db = core_.Database1;
    HealthPass pass;
    pass.DBVersion = core_.DBVersion;
    // A repair is one unit: a pass that fails part-way leaves the store as
    // it found it.
    std::optional<tables::Transaction> unit;
    if (repair)
        unit.emplace(db);
    PassRunner run(db, repair, zoomFactor, core_.CurrentDiagram, core_.RoundingDP);
    pass.Scans.push_back(run.ScanSegments());
    pass.Scans.push_back(run.ScanTexts());
    pass.Scans.push_back(run.ScanLayers());
    pass.Scans.push_back(run.ScanPoints());
    pass.Scans.push_back(run.ScanProfileLayers());
    pass.Duplicates = run.ScanDuplicatePoints();
    if (unit) {
        unit->Commit();
        db.Flush();
    }
    return pass;
}
