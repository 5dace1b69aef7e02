#pragma once

// Statistics and the summary line shared by the benchmark programs.
// scripts/bench.sh collects the "summary|" lines into one table.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace Bench
{

inline double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Nearest-rank percentile, p in (0, 100].
inline double Percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t rank = size_t(std::ceil(p / 100.0 * double(values.size())));
    return values[std::min(values.size(), std::max<size_t>(rank, 1)) - 1];
}

// "min 0.98 / median 1.02 / max 1.10": how a ratio measured once per round
// spreads over the rounds, so that a reader can tell a difference from noise.
inline std::string Spread(const std::vector<double>& ratios)
{
    if (ratios.empty())
        return "-";
    char text[96];
    std::snprintf(text, sizeof text, "%.2f / %.2f / %.2f", *std::min_element(ratios.begin(), ratios.end()),
        Median(ratios), *std::max_element(ratios.begin(), ratios.end()));
    return text;
}

// One row of the summary table. The ratio is library / baseline unless the
// caller gives another; `higherIsBetter` says which way the goal points. A
// goal of 0 marks a figure reported for information only. `spread` is the
// ratio's spread over the rounds (Spread), where the program has rounds.
inline bool Summary(const std::string& what, const std::string& library, const std::string& baseline,
    double ratio, double goal, bool higherIsBetter = false, const std::string& spread = "-")
{
    const bool met = goal <= 0 || (higherIsBetter ? ratio >= goal : ratio <= goal);
    const std::string goalText = goal <= 0
        ? std::string("-")
        : std::string(higherIsBetter ? ">= " : "<= ") + std::to_string(goal).substr(0, 4);
    std::printf("summary|%s|%s|%s|%.3f|%s|%s|%s\n", what.c_str(), library.c_str(), baseline.c_str(), ratio,
        goalText.c_str(),
        goal <= 0 ? "-"
            : met ? "yes"
                  : "NO",
        spread.c_str());
    std::fflush(stdout);
    return met;
}

// The word after `name` on the command line, or null.
inline const char* Option(int argc, char** argv, const char* name)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return argv[i + 1];
    return nullptr;
}

// A count given as `name N` on the command line, at least 1; else `fallback`.
inline long Count(int argc, char** argv, const char* name, long fallback)
{
    const char* text = Option(argc, argv, name);
    return text ? std::max(1L, std::atol(text)) : fallback;
}

inline std::string Format(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace Bench
