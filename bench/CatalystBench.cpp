// Reading a V2.0 run file at the run record's limits (16001 samples, a 320 km
// program) and writing its HRM file; converting a V1.0 program of 4001 sections.
#include <benchmark/benchmark.h>

#include <string>

#include "base/BlockFile.h"
#include "base/Bytes.h"
#include "catalyst/HrmWriter.h"
#include "catalyst/PgmConverter.h"
#include "catalyst/RunFileReader.h"

namespace {

/// A slope run: 3200 routes of 100 m, 16001 records one second apart at about 36 km/h.
vb::Bytes fullRun() {
    vb::ByteWriter out;
    vb::writeFileHeader(out, 1000, 3);
    vb::writeBlockHeader(out, 1010, 1, 70);
    out.text("VLB\xFE");
    for (char c : std::string("Full Run")) {
        out.u8(static_cast<std::uint8_t>(c));
        out.u8(0);
    }
    out.zeros(34 - 16);
    out.i32(1);
    out.i32(1);
    out.zeros(24);
    constexpr int kRoutes = 3200;
    vb::writeBlockHeader(out, 1020, kRoutes, 12);
    for (int i = 0; i < kRoutes; ++i) {
        out.f32(100.0f);
        out.f32(static_cast<float>(i % 17 - 6));
        out.f32(0.0f);
    }
    vb::writeBlockHeader(out, 3020, static_cast<int>(vb::kRunSampleEntries), 10);
    for (std::size_t i = 0; i < vb::kRunSampleEntries; ++i) {
        out.f32(static_cast<float>(i) * 10.0f);
        out.u8(static_cast<std::uint8_t>(120 + i % 40));
        out.u8(90);
        out.i16(static_cast<std::int16_t>(2000 + i % 500));
        out.i16(360);
    }
    return std::move(out).take();
}

void BM_ReadRunAndWriteHrm(benchmark::State& state) {
    const vb::Bytes data = fullRun();
    vb::CatalystRun run;
    std::size_t hrmSize = 0;
    for (auto _ : state) {
        const auto lines = vb::readRunFile(run, data, "full.caf", vb::RunKind::v2);
        auto hrm = vb::hrmFileBytes(run, "250");
        if (!lines || !hrm) state.SkipWithError("the run was refused");
        hrmSize = hrm ? hrm->size() : 0;
        benchmark::DoNotOptimize(hrm);
    }
    state.counters["hrm_bytes"] = static_cast<double>(hrmSize);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
}
BENCHMARK(BM_ReadRunAndWriteHrm)->Unit(benchmark::kMillisecond);

void BM_ConvertPgm(benchmark::State& state) {
    vb::ByteWriter out;
    out.i16(vb::kMaxConvSections);
    for (int i = 0; i < vb::kMaxConvSections; ++i) {
        out.f64(0.1);
        out.f64(i % 9);
        out.i32(0);
    }
    out.u8(4);
    out.text("full");
    out.i32(1);
    out.i32(1);
    const vb::Bytes data = std::move(out).take();
    for (auto _ : state) {
        auto program = vb::readPgmProgram(data);
        auto pgmf = vb::convertedPgmfBytes(*program);
        benchmark::DoNotOptimize(pgmf);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
}
BENCHMARK(BM_ConvertPgm)->Unit(benchmark::kMicrosecond);

}  // namespace
