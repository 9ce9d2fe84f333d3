#pragma once
// The lower bounds of the sheet's figures, in bare SQLite calls on the
// store's own connection and bare drawing on a canvas: what the storage has
// to do at least for a refresh and for a measured segment.

#include "benchstore.h"

#include "platform/canvas.h"

#include <algorithm>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

// The least a refresh does: read the visible segments and the points of
// the diagram (two scans, joined in memory, which is several times cheaper
// than letting SQL look each end up), draw the lines, and stamp the drawn
// points (the segments' ends and the visible labels' points) in one
// statement.
class RefreshBound
{
  public:
    explicit RefreshBound(sqlite3* db)
        : points_(db, "SELECT pointnum, pxlx, pxly FROM point WHERE dgnum = ?1 ORDER BY pointnum"),
          segs_(db, "SELECT s.frompt, s.topt FROM seg s JOIN layer l ON l.dgnum = s.dgnum AND "
                    "l.layernum = s.layernum WHERE s.dgnum = ?1 AND l.visib > 0 ORDER BY s.segnum"),
          labels_(db, "SELECT t.pointnum FROM text t JOIN layer l ON l.dgnum = t.dgnum AND "
                      "l.layernum = t.layernum WHERE t.dgnum = ?1 AND l.visib > 0"),
          stamp_(db, "UPDATE point SET rprts = ?1 WHERE dgnum = ?2 AND pointnum IN "
                     "(SELECT value FROM json_each(?3))")
    {
    }

    void Run(int width, int height, double stamp)
    {
        std::vector<std::pair<int, int>> at;
        points_.Int(1, benchsite::SiteDiagram);
        while (points_.Step()) {
            const size_t n = size_t(points_.ColumnInt(0));
            if (n >= at.size())
                at.resize(n + 1);
            at[n] = {points_.ColumnInt(1), points_.ColumnInt(2)};
        }
        points_.Reset();
        canvas_.NewBitmap(width, height);
        canvas_.SetPenColour(CanvasRgb(0, 0, 128));
        std::vector<int> drawn;
        segs_.Int(1, benchsite::SiteDiagram);
        while (segs_.Step()) {
            const int from = segs_.ColumnInt(0);
            const int to = segs_.ColumnInt(1);
            canvas_.MoveTo(at[size_t(from)].first, at[size_t(from)].second);
            canvas_.LineTo(at[size_t(to)].first, at[size_t(to)].second);
            drawn.push_back(from);
            drawn.push_back(to);
        }
        segs_.Reset();
        labels_.Int(1, benchsite::SiteDiagram);
        while (labels_.Step())
            drawn.push_back(labels_.ColumnInt(0));
        labels_.Reset();
        std::sort(drawn.begin(), drawn.end());
        drawn.erase(std::unique(drawn.begin(), drawn.end()), drawn.end());
        std::string list = "[";
        for (const int n : drawn)
            list += std::to_string(n) + ',';
        list.back() = ']';
        stamp_.Real(1, stamp).Int(2, benchsite::SiteDiagram).Text(3, list).Run();
    }

  private:
    Canvas canvas_;
    RawStatement points_;
    RawStatement segs_;
    RawStatement labels_;
    RawStatement stamp_;
};

// The same read as one SQL join: the ends looked up by SQL in the
// scan, the stamped points gathered by SQL in the update.
class SqlJoinRefreshBound
{
  public:
    explicit SqlJoinRefreshBound(sqlite3* db)
        : scan_(db, "SELECT a.pxlx, a.pxly, b.pxlx, b.pxly FROM seg s "
                    "JOIN layer l ON l.dgnum = s.dgnum AND l.layernum = s.layernum "
                    "JOIN point a ON a.dgnum = s.dgnum AND a.pointnum = s.frompt "
                    "JOIN point b ON b.dgnum = s.dgnum AND b.pointnum = s.topt "
                    "WHERE s.dgnum = ?1 AND l.visib > 0 ORDER BY s.segnum"),
          stamp_(db, "UPDATE point SET rprts = ?2 WHERE dgnum = ?1 AND pointnum IN ("
                     "SELECT s.frompt FROM seg s JOIN layer l ON l.dgnum = s.dgnum AND "
                     "l.layernum = s.layernum WHERE s.dgnum = ?1 AND l.visib > 0 "
                     "UNION SELECT s.topt FROM seg s JOIN layer l ON l.dgnum = s.dgnum AND "
                     "l.layernum = s.layernum WHERE s.dgnum = ?1 AND l.visib > 0 "
                     "UNION SELECT t.pointnum FROM text t JOIN layer l ON l.dgnum = t.dgnum AND "
                     "l.layernum = t.layernum WHERE t.dgnum = ?1 AND l.visib > 0)")
    {
    }

    void Run(int width, int height, double stamp)
    {
        canvas_.NewBitmap(width, height);
        canvas_.SetPenColour(CanvasRgb(0, 0, 128));
        scan_.Int(1, benchsite::SiteDiagram);
        while (scan_.Step()) {
            canvas_.MoveTo(scan_.ColumnInt(0), scan_.ColumnInt(1));
            canvas_.LineTo(scan_.ColumnInt(2), scan_.ColumnInt(3));
        }
        scan_.Reset();
        stamp_.Int(1, benchsite::SiteDiagram).Real(2, stamp).Run();
    }

  private:
    Canvas canvas_;
    RawStatement scan_;
    RawStatement stamp_;
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
          probeSeg_(db, "SELECT segnum FROM seg WHERE dgnum = ?1 AND frompt = ?2 AND topt = ?3"),
          seg_(db, "INSERT INTO seg (Dgnum, Segnum, FromPt, ToPt, SegType, Mlenx, Mleny, "
                   "Layernum, CreateTS, Dotted, Xorflag, Measured, faint) "
                   "VALUES (?1, ?2, ?3, ?4, 2, 1, 1, 5, 45000, 0, 0, 1, 0)")
    {
    }

    void Run(int n, int from, double x, double y)
    {
        RawExec(db_, "BEGIN");
        probePoint_.Int(1, benchsite::SiteDiagram).Real(2, x).Real(3, y).Run();
        point_.Int(1, benchsite::SiteDiagram).Int(2, n).Real(3, x).Real(4, y).Run();
        probeSeg_.Int(1, benchsite::SiteDiagram).Int(2, from).Int(3, n).Run();
        probeSeg_.Int(1, benchsite::SiteDiagram).Int(2, n).Int(3, from).Run();
        seg_.Int(1, benchsite::SiteDiagram).Int(2, n).Int(3, from).Int(4, n).Run();
        RawExec(db_, "COMMIT");
    }

  private:
    sqlite3* db_;
    RawStatement probePoint_;
    RawStatement point_;
    RawStatement probeSeg_;
    RawStatement seg_;
};

// A new scale's least writing: every point's cached pixels and every
// segment's box, each row once by its key, the values at hand.
class RewriteBound
{
  public:
    explicit RewriteBound(sqlite3* db)
        : db_(db),
          point_(db, "UPDATE point SET pxlx = ?1, pxly = ?2 WHERE dgnum = ?3 AND pointnum = ?4"),
          seg_(db, "UPDATE seg SET lenx1 = ?1, leny1 = ?2, lenx2 = ?3, leny2 = ?4, pxlx1 = ?5, "
                   "pxly1 = ?6, pxlx2 = ?7, pxly2 = ?8 WHERE dgnum = ?9 AND segnum = ?10")
    {
        RawStatement points(db, "SELECT pointnum, pxlx, pxly FROM point WHERE dgnum = ?1");
        points.Int(1, benchsite::SiteDiagram);
        while (points.Step())
            points_.push_back({points.ColumnInt(0), points.ColumnInt(1), points.ColumnInt(2)});
        RawStatement segs(db, "SELECT segnum, lenx1, leny1, lenx2, leny2, pxlx1, pxly1, pxlx2, "
                              "pxly2 FROM seg WHERE dgnum = ?1");
        segs.Int(1, benchsite::SiteDiagram);
        while (segs.Step()) {
            Box b;
            b.Segnum = segs.ColumnInt(0);
            for (int i = 0; i < 4; ++i)
                b.Len[i] = segs.ColumnReal(1 + i);
            for (int i = 0; i < 4; ++i)
                b.Px[i] = segs.ColumnInt(5 + i);
            segs_.push_back(b);
        }
    }

    // Each run moves every cached pixel by one, so that every row changes.
    void Run(int i)
    {
        const int shift = i % 2 ? -1 : 1;
        RawExec(db_, "BEGIN");
        for (const auto& [n, x, y] : points_)
            point_.Int(1, x + shift)
                .Int(2, y + shift)
                .Int(3, benchsite::SiteDiagram)
                .Int(4, n)
                .Run();
        for (const Box& b : segs_) {
            seg_.Real(1, b.Len[0]).Real(2, b.Len[1]).Real(3, b.Len[2]).Real(4, b.Len[3]);
            seg_.Int(5, b.Px[0] + shift).Int(6, b.Px[1] + shift).Int(7, b.Px[2] + shift);
            seg_.Int(8, b.Px[3] + shift).Int(9, benchsite::SiteDiagram).Int(10, b.Segnum).Run();
        }
        RawExec(db_, "COMMIT");
    }

  private:
    struct Box {
        int Segnum = 0;
        double Len[4] = {};
        int Px[4] = {};
    };

    sqlite3* db_;
    RawStatement point_;
    RawStatement seg_;
    std::vector<std::tuple<int, int, int>> points_;
    std::vector<Box> segs_;
};
