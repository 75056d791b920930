// Reading a 4096-line RLV script and writing its RLV file.
#include <benchmark/benchmark.h>

#include <string>

#include "app/RlvFile.h"
#include "app/RlvScript.h"

namespace {

std::string fullScript() {
    std::string text = "vers=VLB_1.0\r\ntype=km/h\r\nfps#=25\r\nname=Long Ride\r\nfra#=1000000\r\n";
    for (int n = 0; n < vb::kMaxFrameLines; ++n)
        text += "fram=" + std::to_string(n * 240) + ";" + std::to_string(15 + n % 30) + "." +
                std::to_string(n % 100) + "\r\n";
    return text;
}

void BM_RlvFromScript(benchmark::State& state) {
    const vb::Bytes script = vb::toBytes(fullScript());
    for (auto _ : state) {
        vb::RecordingPrompter prompter;
        const vb::RlvScript read = vb::Load_RLV_Script(script, vb::kDefaultSpeedReferenz, prompter);
        auto bytes = vb::Create_RLV(read);
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * script.size()));
}
BENCHMARK(BM_RlvFromScript);

void BM_CreateRlv(benchmark::State& state) {
    vb::RecordingPrompter prompter;
    const vb::RlvScript read = vb::Load_RLV_Script(vb::toBytes(fullScript()), vb::kDefaultSpeedReferenz, prompter);
    std::size_t size = 0;
    for (auto _ : state) {
        auto bytes = vb::Create_RLV(read);
        size = bytes->size();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_CreateRlv);

}  // namespace
