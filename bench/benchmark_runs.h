#pragma once

#include <benchmark/benchmark.h>

namespace kel::bench {

// How kel-bench reports a benchmark: in ms of wall time, only the aggregates (the median
// among them) of the given number of repetitions. A plain function, for Apply().
template <int Repetitions>
void aggregatesOf(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Repetitions(Repetitions)
        ->ReportAggregatesOnly(true);
}

}  // namespace kel::bench
