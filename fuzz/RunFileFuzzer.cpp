// Reads any bytes as a V1.0 and as a V2.0 run file into a run record that
// holds something already. A file that reads is written as an HRM file, which
// must have one data line per fifth sample and read back as an HRM ride with
// as many samples. A refused file must leave the run record as it was; one
// that cannot be identified leaves it reset, named after the file.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "FuzzCheck.h"
#include "catalyst/HrmWriter.h"
#include "catalyst/RunFileReader.h"
#include "import/RideImport.h"

using vb::fuzz::check;

namespace {

void readAs(std::span<const std::byte> bytes, vb::RunKind kind) {
    vb::CatalystRun run;
    run.FileName = "held";
    run.LastSample = -7;
    const auto lines = vb::readRunFile(run, bytes, "fuzz.run", kind);
    if (!lines) {
        check(!lines.error().message.empty());
        if (lines.error().code != vb::ErrorCode::unidentified) check(run.FileName == "held" && run.LastSample == -7);
        else check(run.FileName == "fuzz.run" && run.LastSample == 0);
        return;
    }
    check(lines->size() == 8);
    check(run.LastSample <= static_cast<std::int64_t>(vb::kRunSampleEntries));
    check(run.Samples.size() >= static_cast<std::size_t>(std::max<int>(run.LastSample, 0)));
    if (run.LastSample <= 0) {
        check(!vb::hrmFileBytes(run, "0").ok());
        return;
    }
    auto hrm = vb::hrmFileBytes(run, "12.5");
    if (!hrm) {
        check(!hrm.error().message.empty());
        return;
    }
    const std::string_view text = vb::asText(*hrm);
    const std::size_t data = text.find("[HRData]\r\n");
    check(text.rfind("[Params]\r\n", 0) == 0 && data != std::string_view::npos);
    std::size_t dataLines = 0;
    for (std::size_t i = data + 10; i < text.size(); ++i) dataLines += text[i] == '\n';
    check(dataLines == static_cast<std::size_t>((run.LastSample + 4) / 5));

    const auto parsed = vb::readPolarFile("fuzz.hrm", *hrm);
    check(parsed.ok());
    vb::RideRecord ride;
    const auto back = vb::loadPolarFile(ride, *parsed, false);
    check(back.ok() && ride.samples.sampleCount() == static_cast<int>(dataLines));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    readAs(bytes, vb::RunKind::v1);
    readAs(bytes, vb::RunKind::v2);
    return 0;
}
