#pragma once
// A generated site plan for the benchmarks, written straight into a table
// store: lots on a grid, each with a building of rooms (walls shared
// between neighbouring rooms), a door arc per room, roof diagonals, a
// fence entered as a rectangle (four lines), survey lines from stations on
// a faint layer and service runs on a hidden layer, with a label on every
// room and on every station. Lengths are whole millimetres, as measured on
// site. Points and segments are numbered in a shuffled order, as a survey
// walks a site rather than sweeping it, and a small second diagram shares
// the tables. Cached pixels and boxes are left at 0 for the first fit.

#include "platform/tables.h"

#include <QString>
#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <vector>

namespace benchsite
{

struct SitePoint {
    double X = 0;
    double Y = 0;
    int Layer = 0;
};

struct SiteSegment {
    int From = 0;
    int To = 0;
    int Type = 2; // 2 line, 3 arc
    double Mlenx = 0;
    double Mleny = 0;
    int Layer = 0;
    bool Dotted = false;
    bool Faint = false;
};

struct SiteLabel {
    int Point = 0;
    int Layer = 0;
    QString Text;
};

// Layers: 0 walls, 1 doors, 2 roof, 3 fences (all bold), 4 survey (faint),
// 5 services (hidden), 6 room names (bold).
constexpr int LayerCount = 7;
const char* const LayerNames[LayerCount] = {"Walls",  "Doors",    "Roof",      "Fences",
                                            "Survey", "Services", "Room names"};
constexpr int LayerVisib[LayerCount] = {2, 2, 2, 2, 1, 0, 2};

class SitePlan
{
  public:
    SitePlan(int segments, unsigned seed) : rng_(seed)
    {
        const int perLot = 42; // segments of an average lot
        const int lots = std::max(1, (segments + perLot - 1) / perLot);
        const int across = std::max(1, int(std::ceil(std::sqrt(lots * 1.25))));
        for (int lot = 0; int(Segments.size()) < segments; ++lot)
            AddLot(lot % across, lot / across);
        Segments.resize(size_t(segments));
    }

    std::vector<SitePoint> Points;
    std::vector<SiteSegment> Segments;
    std::vector<SiteLabel> Labels;

  private:
    static constexpr double LotWidth = 32.0;
    static constexpr double LotDepth = 27.0;

    double Mm(double metres) const { return std::round(metres * 1000) / 1000; }
    double Uniform(double lo, double hi)
    {
        return std::uniform_real_distribution<double>(lo, hi)(rng_);
    }
    int Roll(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    int AddPoint(double x, double y, int layer)
    {
        Points.push_back({Mm(x), Mm(y), layer});
        return int(Points.size()) - 1;
    }

    void AddLine(int from, int to, int layer, bool dotted = false)
    {
        const SitePoint& a = Points[size_t(from)];
        const SitePoint& b = Points[size_t(to)];
        SiteSegment s;
        s.From = from;
        s.To = to;
        s.Mlenx = Mm(b.X - a.X);
        s.Mleny = Mm(b.Y - a.Y);
        s.Layer = layer;
        s.Dotted = dotted;
        s.Faint = Roll(0, 40) == 0;
        Segments.push_back(s);
    }

    void AddLot(int column, int row)
    {
        const double lotX = column * LotWidth;
        const double lotY = row * LotDepth;
        // The fence, entered as one rectangle 1 m inside the lot.
        const int f0 = AddPoint(lotX + 1, lotY + 1, 3);
        const int f1 = AddPoint(lotX + LotWidth - 1, lotY + 1, 3);
        const int f2 = AddPoint(lotX + LotWidth - 1, lotY + LotDepth - 1, 3);
        const int f3 = AddPoint(lotX + 1, lotY + LotDepth - 1, 3);
        const bool dotted = Roll(0, 3) == 0;
        AddLine(f0, f1, 3, dotted);
        AddLine(f1, f2, 3, dotted);
        AddLine(f2, f3, 3, dotted);
        AddLine(f3, f0, 3, dotted);

        // The building: a grid of rooms whose walls neighbours share.
        const int nx = Roll(2, 4);
        const int ny = Roll(2, 4);
        std::vector<double> xs{lotX + Uniform(3, 5)};
        for (int i = 0; i < nx; ++i)
            xs.push_back(xs.back() + Uniform(3, 6));
        std::vector<double> ys{lotY + Uniform(3, 4)};
        for (int j = 0; j < ny; ++j)
            ys.push_back(ys.back() + Uniform(3, 5));
        std::vector<int> corner;
        for (int j = 0; j <= ny; ++j) {
            for (int i = 0; i <= nx; ++i)
                corner.push_back(AddPoint(xs[size_t(i)], ys[size_t(j)], 0));
        }
        const auto at = [&](int i, int j) { return corner[size_t(j * (nx + 1) + i)]; };
        for (int j = 0; j <= ny; ++j) {
            for (int i = 0; i <= nx; ++i) {
                if (i < nx)
                    AddLine(at(i, j), at(i + 1, j), 0);
                if (j < ny)
                    AddLine(at(i, j), at(i, j + 1), 0);
            }
        }
        // A door swing in every room: a quarter arc about its top-left
        // corner, starting 0.9 m along the top wall; the room's name there.
        for (int j = 0; j < ny; ++j) {
            for (int i = 0; i < nx; ++i) {
                const SitePoint& c = Points[size_t(at(i, j))];
                const int start = AddPoint(c.X + 0.9, c.Y, 1);
                SiteSegment arc;
                arc.From = at(i, j);
                arc.To = start;
                arc.Type = 3;
                arc.Mlenx = 90;
                arc.Layer = 1;
                Segments.push_back(arc);
                Labels.push_back({at(i, j), 6, QStringLiteral("Room %1").arg(Labels.size())});
            }
        }
        // Roof lines from two corners to the ridge.
        const int ridge = AddPoint((xs.front() + xs.back()) / 2, (ys.front() + ys.back()) / 2, 2);
        AddLine(at(0, 0), ridge, 2);
        AddLine(at(nx, ny), ridge, 2);
        // A survey station by the lot's corner, sighted on two corners.
        const int station = AddPoint(lotX + 0.5, lotY + 0.5, 4);
        AddLine(station, at(0, 0), 4);
        AddLine(station, at(nx, 0), 4);
        Labels.push_back({station, Roll(0, 4) == 0 ? 5 : 4,
                          QStringLiteral("Station %1").arg(column * 1000 + row)});
        // A drain from the building to the fence.
        AddLine(at(nx, ny), f2, 5);
    }

    std::mt19937 rng_;
};

// numbers[i] is the stored number of item i: a random permutation.
inline std::vector<int> ShuffledNumbers(size_t n, std::mt19937& rng)
{
    std::vector<int> numbers(n);
    std::iota(numbers.begin(), numbers.end(), 0);
    std::shuffle(numbers.begin(), numbers.end(), rng);
    return numbers;
}

struct SiteSize {
    int Points = 0;
    int Segments = 0;
    int Labels = 0;
};

// Writes the plan as diagram dgnum, rows in the order of their numbers as
// a store fills up.
inline SiteSize WriteSite(tables::Database& db, int dgnum, const SitePlan& plan, unsigned seed)
{
    std::mt19937 rng(seed);
    const std::vector<int> pointNumber = ShuffledNumbers(plan.Points.size(), rng);
    const std::vector<int> segNumber = ShuffledNumbers(plan.Segments.size(), rng);
    tables::Transaction t(db);
    db.Execute(QStringLiteral("INSERT INTO drawing (Dgnum, Dgname, Units, RndgDP) VALUES (%1, "
                              "'Site %1', 'm', 3)")
                   .arg(dgnum));
    tables::Statement& layer = db.Prepare(
        QStringLiteral("INSERT INTO layer (Dgnum, Layernum, Name, Visib) VALUES (?, ?, ?, ?)"));
    for (int l = 0; l < LayerCount; ++l) {
        layer.Reset();
        layer.BindAll({dgnum, l, QString::fromLatin1(LayerNames[l]), LayerVisib[l]});
        layer.Run();
    }

    std::vector<size_t> byNumber(plan.Points.size());
    for (size_t i = 0; i < byNumber.size(); ++i)
        byNumber[size_t(pointNumber[i])] = i;
    tables::Statement& point = db.Prepare(QStringLiteral(
        "INSERT INTO point (Dgnum, Pointnum, Lenx, Leny, Pxlx, Pxly, Rprts, Layernum, CreateTS) "
        "VALUES (?, ?, ?, ?, 0, 0, 0, ?, ?)"));
    for (size_t n = 0; n < byNumber.size(); ++n) {
        const SitePoint& p = plan.Points[byNumber[n]];
        point.Reset();
        point.BindAll({dgnum, int(n), p.X, p.Y, p.Layer, 45000.25 + double(n) * 1e-4});
        point.Run();
    }

    std::vector<size_t> segByNumber(plan.Segments.size());
    for (size_t i = 0; i < segByNumber.size(); ++i)
        segByNumber[size_t(segNumber[i])] = i;
    tables::Statement& seg = db.Prepare(QStringLiteral(
        "INSERT INTO seg (Dgnum, Segnum, FromPt, ToPt, SegType, Seglen, Mlenx, Mleny, Mlenz, "
        "Layernum, Lenx1, Leny1, Lenx2, Leny2, Pxlx1, Pxly1, Pxlx2, Pxly2, CreateTS, Dotted, "
        "Xorflag, Measured, faint) VALUES (?, ?, ?, ?, ?, 0, ?, ?, 0, ?, 0, 0, 0, 0, 0, 0, 0, 0, "
        "?, ?, 0, ?, ?)"));
    for (size_t n = 0; n < segByNumber.size(); ++n) {
        const SiteSegment& s = plan.Segments[segByNumber[n]];
        seg.Reset();
        seg.BindAll({dgnum, int(n), pointNumber[size_t(s.From)], pointNumber[size_t(s.To)], s.Type,
                     s.Mlenx, s.Mleny, s.Layer, 45000.5 + double(n) * 1e-4, s.Dotted ? 1 : 0,
                     s.Type == 3 ? 0 : 1, s.Faint ? 1 : 0});
        seg.Run();
    }

    tables::Statement& text = db.Prepare(
        QStringLiteral("INSERT INTO text (Dgnum, Pointnum, Layernum, Text) VALUES (?, ?, ?, ?)"));
    for (const SiteLabel& l : plan.Labels) {
        text.Reset();
        text.BindAll({dgnum, pointNumber[size_t(l.Point)], l.Layer, l.Text});
        text.Run();
    }
    t.Commit();
    return {int(plan.Points.size()), int(plan.Segments.size()), int(plan.Labels.size())};
}

// The benchmarks' diagram: the site of the given size as diagram 2, beside
// a small diagram 1 of 500 segments that no lookup of diagram 2 may touch.
constexpr int SiteDiagram = 2;

inline SiteSize WriteBenchSites(tables::Database& db, int segments)
{
    WriteSite(db, 1, SitePlan(500, 11), 12);
    return WriteSite(db, SiteDiagram, SitePlan(segments, 21), 22);
}

} // namespace benchsite
