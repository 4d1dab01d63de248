// Timing for the benchmarks that run under Wine.
#pragma once

#include <windows.h>

#include <algorithm>

inline double BenchSeconds()
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / frequency.QuadPart;
}

// The best of several runs: the least disturbed by the machine.
template <class F>
double BestOf(int runs, F f)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        double start = BenchSeconds();
        f();
        best = std::min(best, BenchSeconds() - start);
    }
    return best;
}
