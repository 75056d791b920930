// Reads the input as a HAC4 ride and checks the record's invariants: a
// refused load changes nothing, and a loaded one has one numbered row per
// record, each speed a multiple of 18 (18 × the counter's increase).

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "FuzzCheck.h"
#include "import/RideImport.h"

using vb::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    vb::RideRecord ride;
    vb::RecordingPrompter prompter(false);
    const vb::RideRecord fresh = ride;
    const vb::ImportReport report = vb::Load_Hac4_File(ride, bytes, prompter);
    if (report.refused) {
        check(ride.samples == fresh.samples && ride.header == fresh.header &&
              ride.ProgramName == fresh.ProgramName);
        return 0;
    }
    check(ride.header.Interval() == "20" && ride.header.Type() == "meter/meter");
    check(report.samples >= 0 && report.samples <= vb::SampleTable::kMaxSamples);
    if (report.samples == 0) return 0;
    check(ride.samples.sampleCount() == report.samples);
    for (int row = 1; row <= report.samples; ++row) {
        check(ride.samples.text(row, 0) == std::to_string(row));
        const long long speed = std::stoll(std::string(ride.samples.text(row, 1)));
        check(speed % 18 == 0);
    }
    return 0;
}
