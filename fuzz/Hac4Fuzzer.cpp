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
    const vb::RideRecord fresh = ride;
    const vb::Result<int> loaded = vb::loadHac4File(ride, bytes);
    if (!loaded) {
        check(!loaded.error().message.empty());
        check(ride.samples == fresh.samples && ride.header == fresh.header &&
              ride.ProgramName == fresh.ProgramName);
        return 0;
    }
    const int samples = *loaded;
    check(ride.header.Interval() == "20" && ride.header.Type() == "meter/meter");
    check(samples >= 0 && samples <= vb::SampleTable::kMaxSamples);
    if (samples == 0) return 0;
    check(ride.samples.sampleCount() == samples);
    for (int row = 1; row <= samples; ++row) {
        check(ride.samples.text(row, 0) == std::to_string(row));
        const long long speed = std::stoll(std::string(ride.samples.text(row, 1)));
        check(speed % 18 == 0);
    }
    return 0;
}
