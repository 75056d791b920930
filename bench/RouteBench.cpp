// Route building plus the program file on the largest ride the table holds:
// 32,765 rows recorded at 1 second, about 250 km at 27.5 km/h over rolling
// hills, cut into 100 m sections (about 2500, within the 4000 that fit).
// Bytes processed are the bytes of the program file made.

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "route/ProgramWriter.h"

namespace {

vb::RideRecord largeRide() {
    vb::RideRecord ride;
    vb::Init_Kennung(ride);
    ride.header.Type() = "meter/meter";
    ride.header.Interval() = "1";
    vb::SampleTable& table = ride.samples;
    table.setRowCount(vb::SampleTable::kMaxSamples + 1);
    for (int row = 1; row <= vb::SampleTable::kMaxSamples; ++row) {
        const int altitude = 600 + static_cast<int>(300 * std::sin(row / 900.0) + 40 * std::sin(row / 97.0));
        table.setText(row, 0, std::to_string(row));
        table.setText(row, 1, std::to_string(250 + row % 50));
        table.setText(row, 2, std::to_string(altitude));
    }
    return ride;
}

void buildBoth(benchmark::State& state, vb::Target target, bool save) {
    const vb::RideRecord ride = largeRide();
    vb::Settings settings;
    settings.my_path = (std::filesystem::temp_directory_path() / "vb-route-bench").string();
    settings.join_slopes = static_cast<int>(state.range(0));
    const auto request = vb::programRequest(settings, target, 0, vb::SampleTable::kMaxSamples, "bench");
    std::size_t bytes = 0;
    for (auto _ : state) {
        if (save) {
            auto written = vb::writeProgram(ride, request, settings);
            if (!written) state.SkipWithError(written.error().message.c_str());
        } else {
            auto built = vb::buildProgram(ride, request);
            if (!built) {
                state.SkipWithError(built.error().message.c_str());
                break;
            }
            bytes = built->bytes.size();
            benchmark::DoNotOptimize(built->bytes.data());
        }
    }
    if (bytes == 0) bytes = vb::buildProgram(ride, request)->bytes.size();
    state.counters["sections"] = vb::buildProgram(ride, request)->records;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
    if (save) std::filesystem::remove_all(settings.my_path);
}

void BM_CatalystProgram(benchmark::State& state) { buildBoth(state, vb::Target::catalyst, false); }
void BM_FortiusProgram(benchmark::State& state) { buildBoth(state, vb::Target::fortius, false); }
void BM_CatalystProgramToDisk(benchmark::State& state) { buildBoth(state, vb::Target::catalyst, true); }
void BM_FortiusProgramToDisk(benchmark::State& state) { buildBoth(state, vb::Target::fortius, true); }

}  // namespace

// Argument: join_slopes (0 off, 1 on).
BENCHMARK(BM_CatalystProgram)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FortiusProgram)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CatalystProgramToDisk)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FortiusProgramToDisk)->Arg(0)->Unit(benchmark::kMillisecond);
