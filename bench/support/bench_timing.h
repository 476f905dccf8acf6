// Timing for the benchmarks: each figure is the best of several rounds, so a busy moment of the
// machine does not count against one side of a ratio.
#pragma once

#include <algorithm>
#include <chrono>
#include <functional>

namespace bench {

inline double secondsSince(std::chrono::steady_clock::time_point from) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

inline double bestSeconds(int rounds, const std::function<void()> &work) {
    double best = 1e30;
    for (int r = 0; r < rounds; ++r) {
        const auto start = std::chrono::steady_clock::now();
        work();
        best = std::min(best, secondsSince(start));
    }
    return best;
}

}  // namespace bench
