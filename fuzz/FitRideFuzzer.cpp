// Reads the input as a FIT file and stores what reads into a fresh ride record
// (see TrackFuzz.h for the checks).

#include "TrackFuzz.h"
#include "import/FitReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return vb::fuzz::storeTrack(data, size, vb::readFitTrack, "fuzz.fit");
}
