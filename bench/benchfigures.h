#pragma once
// Timing and reporting shared by the benchmarks: each figure is printed as
// one line "<figure-name> <value> <unit>". A figure measured at several
// sizes is printed at each with its lower bound (what the storage has to do
// at least for it, measured in the same run) and the ratio of the two, and
// then with its growth from 10k to 100k segments (and to 1M).

#include <QString>
#include <QtGlobal>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

inline double Ms(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    const auto end = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(end - start).count();
}

inline double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

inline void Figure(const std::string& name, double value, const char* unit)
{
    std::printf("%s %.3f %s\n", name.c_str(), value, unit);
    std::fflush(stdout);
}

// Runs the measured work and its lower bound by turns, so that neither
// always finds the caches warm, and gives the medians of both; prepare, when
// given, runs untimed before each, told which comes next.
struct SideBySide {
    double Value = 0;
    double Bound = 0;
};

inline SideBySide MeasureSideBySide(int runs, const std::function<void(int)>& work,
                                    const std::function<void(int)>& bound,
                                    const std::function<void(bool work)>& prepare = {})
{
    std::vector<double> w;
    std::vector<double> b;
    for (int i = 0; i < runs; ++i) {
        const auto runWork = [&] {
            if (prepare)
                prepare(true);
            w.push_back(Ms([&] { work(i); }));
        };
        const auto runBound = [&] {
            if (prepare)
                prepare(false);
            b.push_back(Ms([&] { bound(i); }));
        };
        if (i % 2) {
            runWork();
            runBound();
        } else {
            runBound();
            runWork();
        }
    }
    return {Median(w), Median(b)};
}

// The sizes a benchmark runs at: 1k, 10k and 100k segments, or the ones
// named on its command line.
inline std::vector<int> BenchSizes(int argc, char** argv)
{
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) {
        const int n = std::atoi(argv[i]);
        if (n > 0)
            sizes.push_back(n);
    }
    if (sizes.empty())
        sizes = {1000, 10000, 100000};
    return sizes;
}

// The same with 1M segments after them, for the figures that are to show
// how a million segments behave; SCALORA_BENCH_NO_1M=1 in the environment
// leaves that size out (it takes several minutes).
inline std::vector<int> BenchSizesToMillion(int argc, char** argv)
{
    std::vector<int> sizes = BenchSizes(argc, argv);
    if (argc <= 1 && qEnvironmentVariableIsEmpty("SCALORA_BENCH_NO_1M"))
        sizes.push_back(1000000);
    return sizes;
}

inline std::string SizeTag(int segments)
{
    if (segments % 1000000 == 0)
        return std::to_string(segments / 1000000) + "M";
    return segments % 1000 == 0 ? std::to_string(segments / 1000) + "k" : std::to_string(segments);
}

// Collects a figure's values per size and prints the growth at the end.
class SizedFigures
{
  public:
    // "<name>-<size>" (the median), "<name>-lower-bound-<size>" and
    // "<name>-over-lower-bound-<size>".
    void Report(const std::string& name, int segments, const SideBySide& m, const char* unit = "ms")
    {
        const std::string size = SizeTag(segments);
        Figure(name + "-" + size, m.Value, unit);
        Figure(name + "-lower-bound-" + size, m.Bound, unit);
        Figure(name + "-over-lower-bound-" + size, m.Bound > 0 ? m.Value / m.Bound : 0, "ratio");
        values_[name][segments] = m.Value;
        order_.push_back(name);
    }

    // "<name>-growth-10k-to-100k" (and from 1k to 100k) for every figure
    // measured at those sizes.
    void ReportGrowth() const
    {
        std::vector<std::string> done;
        for (const std::string& name : order_) {
            if (std::find(done.begin(), done.end(), name) != done.end())
                continue;
            done.push_back(name);
            const auto& at = values_.at(name);
            if (at.count(10000) && at.count(100000) && at.at(10000) > 0)
                Figure(name + "-growth-10k-to-100k", at.at(100000) / at.at(10000), "ratio");
            if (at.count(1000) && at.count(100000) && at.at(1000) > 0)
                Figure(name + "-growth-1k-to-100k", at.at(100000) / at.at(1000), "ratio");
            if (at.count(100000) && at.count(1000000) && at.at(100000) > 0)
                Figure(name + "-growth-100k-to-1M", at.at(1000000) / at.at(100000), "ratio");
        }
    }

  private:
    std::map<std::string, std::map<int, double>> values_;
    std::vector<std::string> order_;
};
