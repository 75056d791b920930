// Reads the input as an HRM ride into a fresh ride record, then once more
// with the append question answered Yes, and checks the record's invariants:
// a refused load changes nothing, the table never passes 32765 samples, and
// an append keeps every row that was there.

#include <cstddef>
#include <cstdint>
#include <span>

#include "FuzzCheck.h"
#include "import/RideImport.h"

using vb::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    vb::RideRecord ride;
    vb::RecordingPrompter no(false);
    const vb::RideRecord fresh = ride;
    const vb::ImportReport first = vb::Load_Polar_File(ride, "C:\\rides\\fuzz.hrm", bytes, no);
    if (first.refused) {
        check(ride.samples == fresh.samples && ride.header == fresh.header);
        return 0;
    }
    check(ride.samples.sampleCount() <= vb::SampleTable::kMaxSamples);
    check(first.samples >= 0 && first.samples <= ride.samples.sampleCount());
    check(ride.ProgramName == "fuzz");

    const vb::RideRecord before = ride;
    vb::RecordingPrompter yes(true);
    const vb::ImportReport second = vb::Load_Polar_File(ride, "rides/fuzz.hrm", bytes, yes);
    if (second.refused) {
        check(ride.samples == before.samples && ride.header == before.header);
        return 0;
    }
    check(ride.samples.sampleCount() <= vb::SampleTable::kMaxSamples);
    if (!yes.questions.empty()) {
        // Appending keeps every old row and adds the new ones after them.
        check(ride.samples.rowCount() == before.samples.rowCount() + second.samples);
        for (int row = 1; row < before.samples.rowCount(); ++row)
            for (int column = 0; column < vb::SampleTable::kColumns; ++column)
                check(ride.samples.text(row, column) == before.samples.text(row, column));
    }
    return 0;
}
