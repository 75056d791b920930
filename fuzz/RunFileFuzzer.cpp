// Reads any bytes as a V1.0 and as a V2.0 run file. A file that reads is
// written as an HRM file, which must have one data line per fifth sample and
// read back as an HRM ride with as many samples. A refused file must leave the
// run record as it was.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "base/Prompter.h"
#include "catalyst/HrmWriter.h"
#include "catalyst/RunFileReader.h"
#include "import/RideImport.h"

namespace {

void check(std::span<const std::byte> bytes, vb::RunKind kind) {
    static vb::CatalystRun run;
    run.FileName = "held";
    run.LastSample = -7;
    const auto report = vb::readRunFile(run, bytes, "fuzz.run", kind);
    if (report.failure.empty() != report.reason.empty()) __builtin_trap();
    if (!report.failure.empty()) {
        if (!report.lines.empty() || report.createHrmEnabled) __builtin_trap();
        if (report.identified && (run.FileName != "held" || run.LastSample != -7)) __builtin_trap();
        if (!report.identified && (run.FileName != "fuzz.run" || run.LastSample != 0)) __builtin_trap();
        return;
    }
    if (report.lines.size() != 8 || report.createHrmEnabled != (run.LastSample > 0)) __builtin_trap();
    if (run.LastSample > static_cast<std::int64_t>(vb::kRunSampleEntries)) __builtin_trap();
    if (!report.createHrmEnabled) {
        if (vb::hrmFileBytes(run, "0").ok()) __builtin_trap();
        return;
    }
    auto hrm = vb::hrmFileBytes(run, "12.5");
    if (!hrm) {
        if (hrm.error().message.empty()) __builtin_trap();
        return;
    }
    const std::string_view text = vb::asText(*hrm);
    const std::size_t data = text.find("[HRData]\r\n");
    if (text.rfind("[Params]\r\n", 0) != 0 || data == std::string_view::npos) __builtin_trap();
    std::size_t lines = 0;
    for (std::size_t i = data + 10; i < text.size(); ++i) lines += text[i] == '\n';
    if (lines != static_cast<std::size_t>((run.LastSample + 4) / 5)) __builtin_trap();

    vb::RideRecord ride;
    vb::RecordingPrompter prompter;
    const auto back = vb::Load_Polar_File(ride, "fuzz.hrm", *hrm, prompter);
    if (back.refused || ride.samples.sampleCount() != static_cast<int>(lines)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    check(bytes, vb::RunKind::v1);
    check(bytes, vb::RunKind::v2);
    return 0;
}
