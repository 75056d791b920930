// Reads the input as a TCX file and, when it reads, stores it into a fresh
// ride record through the step shared by FIT, GPX and TCX, and checks the
// record: a refusal changes nothing, a stored ride has between 1 and 32765
// numbered samples in whole numbers at one of the allowed intervals.

#include <cstddef>
#include <cstdint>
#include <span>

#include "FuzzCheck.h"
#include "import/TcxReader.h"
#include "import/TrackImport.h"

using vb::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    const vb::Result<vb::Track> track = vb::readTcxTrack(bytes);
    if (!track) return 0;
    vb::RideRecord ride;
    const vb::RideRecord fresh = ride;
    const auto stored = vb::Store_Track(ride, *track, "fuzz.tcx");
    if (!stored) {
        check(ride.samples == fresh.samples && ride.header == fresh.header);
        return 0;
    }
    const int samples = ride.samples.sampleCount();
    check(samples >= 1 && samples <= vb::SampleTable::kMaxSamples);
    check(ride.samples.text(samples, 0) == std::to_string(samples));
    const std::string& interval = ride.header.Interval();
    check(interval == "1" || interval == "2" || interval == "5" || interval == "10" || interval == "15" ||
          interval == "30" || interval == "60");
    check(ride.ProgramName == "fuzz");
    return 0;
}
