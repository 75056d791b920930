// Import times of rides from today's devices into the ride record (reading
// and the step to equally spaced samples together): a ten-hour FIT ride
// recorded every second, and a 5 MB GPX track.

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "FitRide.h"
#include "import/TrackImport.h"

namespace {

// A GPX 1.1 track of points one second apart along a wavy line, with
// elevation, time and an extension each, until it holds `bytes` bytes.
vb::Bytes largeGpx(std::size_t bytes) {
    std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx version=\"1.1\" creator=\"bench\" "
        "xmlns=\"http://www.topografix.com/GPX/1/1\" xmlns:gpxtpx=\"http://www.garmin.com/xmlschemas/"
        "TrackPointExtension/v1\">\n<trk><name>bench</name><trkseg>\n";
    char point[320];
    for (long i = 0; text.size() < bytes; ++i) {
        const long t = 1746790682 + i;
        const long day = t / 86400 * 86400;
        std::snprintf(point, sizeof point,
                      "<trkpt lat=\"%.7f\" lon=\"%.7f\"><ele>%.1f</ele><time>2025-05-%02ldT%02ld:%02ld:%02ldZ</time>"
                      "<extensions><gpxtpx:TrackPointExtension><gpxtpx:hr>%ld</gpxtpx:hr>"
                      "</gpxtpx:TrackPointExtension></extensions></trkpt>\n",
                      50.9 + i * 0.00004, -1.3 + 0.0002 * std::sin(i / 50.0), 40 + 20 * std::sin(i / 700.0),
                      9 + (t - 1746748800) / 86400, (t - day) / 3600, (t - day) / 60 % 60, (t - day) % 60,
                      120 + i % 40);
        text += point;
    }
    text += "</trkseg></trk></gpx>\n";
    return vb::toBytes(text);
}

void importBench(benchmark::State& state, vb::TrackFormat format, const vb::Bytes& data) {
    for (auto _ : state) {
        vb::RideRecord ride;
        const auto summary = vb::Load_Track_File(ride, format, "bench", data);
        if (!summary || ride.samples.sampleCount() < 10000) state.SkipWithError("ride not imported");
        benchmark::DoNotOptimize(ride);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(data.size()));
}

void BM_ImportFitRide(benchmark::State& state) {
    importBench(state, vb::TrackFormat::fit, vb::bench::tenHourFitRide());
}
BENCHMARK(BM_ImportFitRide)->Unit(benchmark::kMillisecond);

void BM_ImportGpxTrack(benchmark::State& state) {
    importBench(state, vb::TrackFormat::gpx, largeGpx(5 << 20));
}
BENCHMARK(BM_ImportGpxTrack)->Unit(benchmark::kMillisecond);

// The same with the allocator keeping the memory it gets back: the time the
// import itself takes, without the kernel handing out some 20 MB of fresh
// pages again for each import (which the one above counts, and which costs
// far more in a virtual machine than on bare hardware).
void BM_ImportGpxTrackMemoryKept(benchmark::State& state) {
    mallopt(M_MMAP_THRESHOLD, 256 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    importBench(state, vb::TrackFormat::gpx, largeGpx(5 << 20));
    // Back to glibc's starting sizes, for the benchmarks that follow (glibc
    // no longer moves them by itself once they have been set).
    mallopt(M_MMAP_THRESHOLD, 128 << 10);
    mallopt(M_TRIM_THRESHOLD, 128 << 10);
    malloc_trim(0);
}
BENCHMARK(BM_ImportGpxTrackMemoryKept)->Unit(benchmark::kMillisecond);

}  // namespace
