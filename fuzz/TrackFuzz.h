#pragma once
// The check shared by the FIT, GPX and TCX ride fuzzers: a track that reads
// is stored into a fresh ride record through the step shared by the three
// formats; a refusal changes nothing, a stored ride has between 1 and 32765
// numbered samples at one of the allowed intervals.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "import/TrackImport.h"

namespace vb::fuzz {

template <typename Reader>
int storeTrack(const std::uint8_t* data, std::size_t size, Reader read, std::string_view fileName) {
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    const Result<Track> track = read(bytes);
    if (!track) return 0;
    RideRecord ride;
    const RideRecord fresh = ride;
    const auto stored = Store_Track(ride, *track, fileName);
    if (!stored) {
        check(ride.samples == fresh.samples && ride.header == fresh.header);
        return 0;
    }
    const int samples = ride.samples.sampleCount();
    check(samples >= 1 && samples <= SampleTable::kMaxSamples);
    check(ride.samples.text(samples, 0) == std::to_string(samples));
    const std::string& interval = ride.header.Interval();
    check(interval == "1" || interval == "2" || interval == "5" || interval == "10" || interval == "15" ||
          interval == "30" || interval == "60");
    check(ride.ProgramName == "fuzz");
    return 0;
}

}  // namespace vb::fuzz
