// Load times of the ride readers on the largest rides they accept: an HRM
// 1.06 file of 32,765 data lines and a HAC4 file of 32,765 records.

#include <benchmark/benchmark.h>

#include <string>

#include "base/Bytes.h"
#include "import/RideImport.h"

namespace {

vb::Bytes largeHrm() {
    std::string text =
        "[Params]\r\nVersion=106\r\nMonitor=22\r\nSMode=111000100\r\nDate=20260412\r\nStartTime=09:15:00."
        "0\r\n"
        "Length=45:30:25.0\r\nInterval=5\r\n\r\n[Note]\r\n\r\n[HRData]\r\n";
    for (int i = 0; i < vb::SampleTable::kMaxSamples; ++i)
        text += std::to_string(120 + i % 50) + "\t" + std::to_string(150 + i % 300) + "\t" +
                std::to_string(80 + i % 15) + "\t" + std::to_string(400 + i % 900) + "\r\n";
    return vb::toBytes(text);
}

vb::Bytes largeHac4() {
    std::string text = "HACtronic - Tour\n3\n2\n0\nBench\n";
    for (int i = 0; i < 16; ++i) text += "Reserve\n";
    text += std::to_string(vb::SampleTable::kMaxSamples) + "\n";
    std::uint32_t counter = 0;
    for (int i = 0; i < vb::SampleTable::kMaxSamples; ++i) {
        counter += 10 + static_cast<std::uint32_t>(i % 7);
        std::string record(20, '\0');
        for (int b = 0; b < 4; ++b) record[8 + b] = static_cast<char>(counter >> (8 * b));
        record[12] = static_cast<char>((400 + i % 900) & 0xFF);
        record[13] = static_cast<char>((400 + i % 900) >> 8);
        text += record;
    }
    return vb::toBytes(text);
}

void BM_LoadHrm(benchmark::State& state) {
    const vb::Bytes data = largeHrm();
    for (auto _ : state) {
        vb::RideRecord ride;
        const auto parsed = vb::readPolarFile("C:\\rides\\bench.hrm", data);
        const auto samples = parsed ? vb::loadPolarFile(ride, *parsed, false) : vb::Result<int>(parsed.error());
        if (!samples || *samples != vb::SampleTable::kMaxSamples) state.SkipWithError("HRM file not loaded whole");
        benchmark::DoNotOptimize(ride);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(data.size()));
}
BENCHMARK(BM_LoadHrm)->Unit(benchmark::kMillisecond);

void BM_LoadHac4(benchmark::State& state) {
    const vb::Bytes data = largeHac4();
    for (auto _ : state) {
        vb::RideRecord ride;
        const auto samples = vb::loadHac4File(ride, data);
        if (!samples || *samples != vb::SampleTable::kMaxSamples) state.SkipWithError("HAC4 file not loaded whole");
        benchmark::DoNotOptimize(ride);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(data.size()));
}
BENCHMARK(BM_LoadHac4)->Unit(benchmark::kMillisecond);

}  // namespace
