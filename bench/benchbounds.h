#pragma once
// The lower bounds of the sheet's figures, in bare SQLite calls and bare
// QPainter drawing: what the storage has to do at least for a refresh and
// for a measured segment. The bounds that insert or rewrite rows do so on
// a copy of the store, so that they leave nothing for the measured work to
// put right; the refresh's stamp is written on the store's own connection,
// as every refresh stamps all its drawn points anew.

#include "benchstore.h"

#include "store/coords.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QLine>
#include <QPainter>
#include <QPointF>
#include <chrono>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

// The least a refresh does: read the diagram's points, its visible
// segments and its labels once each (scans in the tables' own order,
// joined in memory with each other and with the layers' visibility, which
// is several times cheaper than letting SQL look each end or layer up),
// with what the same drawing takes of them: a point's lengths, which the
// scale is fitted to, and its pixels; a segment's ends, layer, kind, arc
// angle and line style; a label's point, layer and text. Then it gives
// every drawn point, an end of a visible segment or the point of a visible
// label, the new stamp by one UPDATE that passes the point table in its
// own order and asks a bitmap of the drawn numbers of each row, and
// commits. Run on the store's own connection
// it pays the fold of the commit into the store file that every commit of
// the program pays. It draws nothing; Draw gives the cheapest drawing of
// the same lines, and of the labels where they are drawn for the first
// time, with one QPainter on an image of the sheet's size, for the bounds
// that end with the diagram drawn.
class RefreshBound
{
  public:
    explicit RefreshBound(sqlite3* db)
        : db_(db),
          points_(db, "SELECT pointnum, pxlx, pxly, lenx, leny FROM point WHERE +dgnum = ?1"),
          layers_(db, "SELECT layernum, visib FROM layer WHERE dgnum = ?1"),
          segs_(db, "SELECT frompt, topt, layernum, segtype, mlenx, dotted, xorflag, faint "
                    "FROM seg WHERE +dgnum = ?1"),
          labels_(db, "SELECT pointnum, layernum, text FROM text WHERE dgnum = ?1"),
          stamp_(RegisterDrawn(db, &drawn_),
                 "UPDATE point SET rprts = ?1 WHERE +dgnum = ?2 AND bound_drawn(pointnum)")
    {
    }
    ~RefreshBound() { RegisterDrawn(db_, nullptr); }
    RefreshBound(const RefreshBound&) = delete;
    RefreshBound& operator=(const RefreshBound&) = delete;

    void Run()
    {
        Read();
        Stamp();
    }

    // The points read last given the next stamp, committed.
    void Stamp()
    {
        RawExec(db_, "BEGIN");
        stamp_.Real(1, nextStamp_++).Int(2, benchsite::SiteDiagram).Run();
        stamped_ = sqlite3_changes(db_);
        RawExec(db_, "COMMIT");
    }

    // The lines read last drawn on a white image of the sheet's size, and
    // with labels, the labels too in the sheet's font without smoothing,
    // each laid out afresh as the first drawing of a label must.
    void Draw(int width, int height, bool labels) const
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setPen(QColor(0, 0, 128));
        painter.drawLines(lines_.data(), int(lines_.size()));
        if (!labels)
            return;
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(11);
        font.setStyleStrategy(QFont::NoAntialias);
        painter.setFont(font);
        const int ascent = QFontMetrics(font).ascent();
        for (const auto& [at, text] : texts_)
            painter.drawText(at.x(), at.y() + ascent, text);
    }

    // The number of points the last stamp wrote.
    int Stamped() const { return stamped_; }

  private:
    void Read()
    {
        at_.clear();
        lengths_.clear();
        points_.Int(1, benchsite::SiteDiagram);
        while (points_.Step()) {
            const size_t n = size_t(points_.ColumnInt(0));
            if (n >= at_.size()) {
                at_.resize(n + 1);
                lengths_.resize(n + 1);
            }
            at_[n] = QPoint(points_.ColumnInt(1), points_.ColumnInt(2));
            lengths_[n] = QPointF(points_.ColumnReal(3), points_.ColumnReal(4));
        }
        points_.Reset();
        shown_.clear();
        layers_.Int(1, benchsite::SiteDiagram);
        while (layers_.Step()) {
            const size_t n = size_t(layers_.ColumnInt(0));
            if (n >= shown_.size())
                shown_.resize(n + 1, false);
            shown_[n] = layers_.ColumnInt(1) > 0;
        }
        layers_.Reset();
        lines_.clear();
        styles_.clear();
        drawn_.assign(at_.size(), 0);
        segs_.Int(1, benchsite::SiteDiagram);
        while (segs_.Step()) {
            if (!Shown(segs_.ColumnInt(2)))
                continue;
            lines_.emplace_back(End(segs_.ColumnInt(0)), End(segs_.ColumnInt(1)));
            styles_.push_back({segs_.ColumnInt(3), segs_.ColumnReal(4), segs_.ColumnInt(5) != 0,
                               segs_.ColumnInt(6) != 0, segs_.ColumnInt(7) != 0});
        }
        segs_.Reset();
        texts_.clear();
        labels_.Int(1, benchsite::SiteDiagram);
        while (labels_.Step()) {
            if (Shown(labels_.ColumnInt(1)))
                texts_.emplace_back(End(labels_.ColumnInt(0)),
                                    QString::fromStdString(labels_.ColumnText(2)));
        }
        labels_.Reset();
    }

    bool Shown(int layer) const
    {
        return layer >= 0 && size_t(layer) < shown_.size() && shown_[size_t(layer)];
    }

    // bound_drawn(n): whether point n is an end of a line or the point of a
    // label read; db again.
    static sqlite3* RegisterDrawn(sqlite3* db, std::vector<uint8_t>* drawn)
    {
        const auto isDrawn = [](sqlite3_context* context, int, sqlite3_value** args) {
            const auto* bits = static_cast<const std::vector<uint8_t>*>(sqlite3_user_data(context));
            const sqlite3_int64 n = sqlite3_value_int64(args[0]);
            sqlite3_result_int(context, n >= 0 && size_t(n) < bits->size() && (*bits)[size_t(n)]);
        };
        if (sqlite3_create_function_v2(db, "bound_drawn", 1, SQLITE_UTF8 | SQLITE_DIRECTONLY, drawn,
                                       drawn ? +isDrawn : nullptr, nullptr, nullptr,
                                       nullptr) != SQLITE_OK)
            BenchFail(std::string("bound_drawn: ") + sqlite3_errmsg(db));
        return db;
    }

    // A point's pixels, the point marked drawn.
    QPoint End(int pointnum)
    {
        if (pointnum < 0 || size_t(pointnum) >= at_.size())
            return QPoint();
        drawn_[size_t(pointnum)] = 1;
        return at_[size_t(pointnum)];
    }

    sqlite3* db_;
    RawStatement points_;
    RawStatement layers_;
    RawStatement segs_;
    RawStatement labels_;
    std::vector<uint8_t> drawn_;
    RawStatement stamp_;
    std::vector<QPoint> at_;
    std::vector<bool> shown_;
    std::vector<QPointF> lengths_;
    std::vector<QLine> lines_;
    // How each line is drawn: its kind, arc angle, dots, ink and faintness.
    struct LineStyle {
        int Type = 0;
        double Angle = 0;
        bool Dotted = false;
        bool Xor = false;
        bool Faint = false;
    };
    std::vector<LineStyle> styles_;
    std::vector<std::pair<QPoint, QString>> texts_;
    // Never a stamp the store holds: a stamp that wrote the same value
    // again would leave the pages as they were.
    double nextStamp_ = 1e6 + double(std::chrono::system_clock::now().time_since_epoch() /
                                     std::chrono::microseconds(1));
    int stamped_ = 0;
};

// A copy of the store on a connection of its own, made as the store is
// now, with the store's settings; the bounds that write work on it.
class StoreCopy
{
  public:
    StoreCopy(sqlite3* store, const QString& folder,
              const QString& name = QStringLiteral("bound-copy.sqlite"))
    {
        const std::string path = (folder + QLatin1Char('/') + name).toStdString();
        std::remove(path.c_str());
        RawExec(store, ("VACUUM INTO '" + path + "'").c_str());
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            BenchFail("the store's copy does not open");
        RawExec(db_, "PRAGMA journal_mode=WAL");
        RawExec(db_, "PRAGMA synchronous=NORMAL");
        RawExec(db_, "PRAGMA cache_size=-65536");
        RawExec(db_, "PRAGMA mmap_size=268435456");
    }
    ~StoreCopy() { sqlite3_close_v2(db_); }
    StoreCopy(const StoreCopy&) = delete;
    StoreCopy& operator=(const StoreCopy&) = delete;

    sqlite3* Handle() const { return db_; }

  private:
    sqlite3* db_ = nullptr;
};

// A measured segment's least work: is there a point at the new lengths,
// the new point, is there a segment between the ends, the new segment.
class InsertBound
{
  public:
    explicit InsertBound(sqlite3* db)
        : db_(db),
          probePoint_(db,
                      "SELECT pointnum FROM point WHERE dgnum = ?1 AND lenx = ?2 AND leny = ?3"),
          point_(db, "INSERT INTO point (Dgnum, Pointnum, Lenx, Leny, Pxlx, Pxly, Rprts, "
                     "Layernum, CreateTS) VALUES (?1, ?2, ?3, ?4, 0, 0, 0, 5, 45000)"),
          drawnPoint_(db, "INSERT INTO point (Dgnum, Pointnum, Lenx, Leny, Pxlx, Pxly, Rprts, "
                          "Layernum, CreateTS) VALUES (?1, ?2, ?3, ?4, ?5, ?6, 0, 5, 45000)"),
          probeSeg_(db, "SELECT segnum FROM seg WHERE dgnum = ?1 AND frompt = ?2 AND topt = ?3"),
          seg_(db, "INSERT INTO seg (Dgnum, Segnum, FromPt, ToPt, SegType, Mlenx, Mleny, "
                   "Layernum, CreateTS, Dotted, Xorflag, Measured, faint) "
                   "VALUES (?1, ?2, ?3, ?4, 2, 1, 1, 5, 45000, 0, 0, 1, 0)"),
          drawnSeg_(db, "INSERT INTO seg (Dgnum, Segnum, FromPt, ToPt, SegType, Mlenx, Mleny, "
                        "Layernum, CreateTS, Dotted, Xorflag, Measured, faint, Lenx1, Leny1, "
                        "Lenx2, Leny2, Pxlx1, Pxly1, Pxlx2, Pxly2) VALUES (?1, ?2, ?3, ?4, 2, 1, "
                        "1, 5, 45000, 0, 0, 1, 0, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12)")
    {
    }

    void Run(int n, int from, double x, double y) { Store(point_, seg_, n, from, x, y); }

    // The same with the new point's pixels and the segment's box as the
    // program stores them, so that each lands where it belongs in the
    // indexes on pixels rather than beside the others at pixel 0.
    void Run(int n, const TPointRec& from, const TPointRec& to)
    {
        const SegmentBox b = BoxOfEnds(from, to);
        drawnPoint_.Int(5, to.Pxlx).Int(6, to.Pxly);
        drawnSeg_.Real(5, b.Lenx1).Real(6, b.Leny1).Real(7, b.Lenx2).Real(8, b.Leny2);
        drawnSeg_.Int(9, b.Pxlx1).Int(10, b.Pxly1).Int(11, b.Pxlx2).Int(12, b.Pxly2);
        Store(drawnPoint_, drawnSeg_, n, from.Pointnum, to.Lenx, to.Leny);
    }

  private:
    // point and seg have what is particular to their rows bound already.
    void Store(RawStatement& point, RawStatement& seg, int n, int from, double x, double y)
    {
        RawExec(db_, "BEGIN");
        probePoint_.Int(1, benchsite::SiteDiagram).Real(2, x).Real(3, y).Run();
        point.Int(1, benchsite::SiteDiagram).Int(2, n).Real(3, x).Real(4, y).Run();
        probeSeg_.Int(1, benchsite::SiteDiagram).Int(2, from).Int(3, n).Run();
        probeSeg_.Int(1, benchsite::SiteDiagram).Int(2, n).Int(3, from).Run();
        seg.Int(1, benchsite::SiteDiagram).Int(2, n).Int(3, from).Int(4, n).Run();
        RawExec(db_, "COMMIT");
    }

    sqlite3* db_;
    RawStatement probePoint_;
    RawStatement point_;
    RawStatement drawnPoint_;
    RawStatement probeSeg_;
    RawStatement seg_;
    RawStatement drawnSeg_;
};

// A scale's pixels as the fit gives them: the extents' minima, the scale
// and the margins.
struct SheetScale {
    double MinX = 0;
    double MinY = 0;
    double Scale = 0;
    int MarginLeft = 50;
    int MarginTop = 50;
};

// A new scale's least writing: the cached pixels of every point and every
// segment box that the new scale changes, by two whole-diagram statements
// computing them from the stored lengths, with the indexes on pixels made
// again afterwards. Set puts the copy's pixels as the
// old scale had them (untimed); Run writes what the new one changes.
class RewriteBound
{
  public:
    explicit RewriteBound(sqlite3* db)
        : db_(db),
          points_(db,
                  RewriteSql("point", {{"pxlx", "lenx", false}, {"pxly", "leny", true}}).c_str()),
          segs_(db, RewriteSql("seg", {{"pxlx1", "lenx1", false},
                                       {"pxlx2", "lenx2", false},
                                       {"pxly1", "leny1", true},
                                       {"pxly2", "leny2", true}})
                        .c_str())
    {
    }

    void Set(const SheetScale& s) { Write(s); }
    void Run(const SheetScale& s) { Write(s); }

  private:
    struct PixelColumn {
        const char* Pixel;
        const char* Length;
        bool Y;
    };

    // Each pixel column from its length column by SQL's own rounding (?1,
    // ?2 the minima, ?3 the scale, ?4, ?5 the margins), in the rows of
    // diagram ?6 where any of them changes.
    static std::string RewriteSql(const char* table, std::initializer_list<PixelColumn> columns)
    {
        std::string set;
        std::string changed;
        for (const PixelColumn& c : columns) {
            const std::string pixel = std::string("(CAST(round((") + c.Length +
                                      (c.Y ? " - ?2" : " - ?1") + ") * ?3) AS INTEGER) + " +
                                      (c.Y ? "?5)" : "?4)");
            set += (set.empty() ? "" : ", ") + std::string(c.Pixel) + " = " + pixel;
            changed += (changed.empty() ? "" : " OR ") + std::string(c.Pixel) + " IS NOT " + pixel;
        }
        return std::string("UPDATE ") + table + " SET " + set + " WHERE +dgnum = ?6 AND (" +
               changed + ")";
    }

    // The site fills its tables: the indexes keyed on pixels are dropped
    // and made again after the rows, the cheapest way to the same end.
    void Write(const SheetScale& s)
    {
        RawExec(db_, "BEGIN");
        for (const char* index : PixelIndexes)
            RawExec(db_, (std::string("DROP INDEX ") + index).c_str());
        for (RawStatement* st : {&points_, &segs_}) {
            st->Real(1, s.MinX).Real(2, s.MinY).Real(3, s.Scale);
            st->Int(4, s.MarginLeft).Int(5, s.MarginTop).Int(6, benchsite::SiteDiagram).Run();
        }
        for (const char* definition : PixelIndexDefinitions)
            RawExec(db_, definition);
        RawExec(db_, "COMMIT");
    }

    static constexpr const char* PixelIndexes[] = {"pxlxy", "pointcol", "pointrow", "segvert",
                                                   "seghorz"};
    static constexpr const char* PixelIndexDefinitions[] = {
        "CREATE INDEX pxlxy ON point (Dgnum, Pxlx, Pxly, Pointnum)",
        "CREATE INDEX pointcol ON point (Dgnum, Pxlx, Leny)",
        "CREATE INDEX pointrow ON point (Dgnum, Pxly, Lenx)",
        "CREATE INDEX segvert ON seg (Dgnum, Pxlx1, Leny1) WHERE Lenx1 = Lenx2",
        "CREATE INDEX seghorz ON seg (Dgnum, Pxly1, Lenx1) WHERE Leny1 = Leny2"};

    sqlite3* db_;
    RawStatement points_;
    RawStatement segs_;
};
