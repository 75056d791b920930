// Reads the input as a GPX file and stores what reads into a fresh ride record
// (see TrackFuzz.h for the checks).

#include "TrackFuzz.h"
#include "import/GpxReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return vb::fuzz::storeTrack(data, size, vb::readGpxTrack, "fuzz.gpx");
}
