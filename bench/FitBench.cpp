// Decoding time of the FIT reader on a ten-hour ride recorded every second.

#include <benchmark/benchmark.h>

#include "FitRide.h"
#include "import/FitReader.h"

namespace {

void BM_ReadFitTrack(benchmark::State& state) {
    const vb::Bytes data = vb::bench::tenHourFitRide();
    for (auto _ : state) {
        const auto track = vb::readFitTrack(data);
        if (!track || track->points.size() != vb::bench::kFitRideRecords || track->pauses.size() != 9)
            state.SkipWithError("FIT ride not read whole");
        benchmark::DoNotOptimize(track);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(data.size()));
}
BENCHMARK(BM_ReadFitTrack)->Unit(benchmark::kMillisecond);

}  // namespace
