// Percentiles of per-iteration samples, reported as benchmark counters.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

namespace aikbench {

// The sample below which the fraction p (0..1) of the samples lie; 0 without samples.
inline double Percentile(std::vector<double> samples, double p) {
    if (samples.empty())
        return 0;
    const auto at =
        samples.begin() + static_cast<std::ptrdiff_t>(p * static_cast<double>(samples.size() - 1));
    std::nth_element(samples.begin(), at, samples.end());
    return *at;
}

// Median and 99th percentile of samples in microseconds, as counters "p50_us" and "p99_us".
inline void ReportPercentiles(benchmark::State& state, const std::vector<double>& microseconds) {
    state.counters["p50_us"] = Percentile(microseconds, 0.50);
    state.counters["p99_us"] = Percentile(microseconds, 0.99);
}

} // namespace aikbench
