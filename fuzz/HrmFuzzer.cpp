// Reads the input as an HRM ride into a fresh ride record, then once more
// added to it when it may be, and checks the record's invariants: a refused
// load changes nothing, the table never passes 32765 samples, and an append
// keeps every row that was there.

#include <cstddef>
#include <cstdint>
#include <span>

#include "FuzzCheck.h"
#include "import/RideImport.h"

using vb::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    const vb::Result<vb::PolarFile> parsed = vb::readPolarFile("C:\\rides\\fuzz.hrm", bytes);
    if (!parsed) {
        check(!parsed.error().message.empty());
        return 0;
    }
    check(parsed->title == "fuzz");
    vb::RideRecord ride;
    const vb::RideRecord fresh = ride;
    const vb::Result<int> first = vb::loadPolarFile(ride, *parsed, false);
    if (!first && first.error().code != vb::ErrorCode::empty) {
        check(ride.samples == fresh.samples && ride.header == fresh.header);
        return 0;
    }
    check(ride.samples.sampleCount() <= vb::SampleTable::kMaxSamples);
    check(!first || (*first >= 0 && *first <= ride.samples.sampleCount()));
    check(ride.ProgramName == "fuzz");
    check(vb::appendsTo(ride, *parsed) == parsed->complete());

    const vb::RideRecord before = ride;
    const bool append = vb::appendsTo(ride, *parsed);
    const vb::Result<int> second = vb::loadPolarFile(ride, *parsed, append);
    if (!second) {
        if (second.error().code != vb::ErrorCode::empty)
            check(ride.samples == before.samples && ride.header == before.header);
        return 0;
    }
    check(ride.samples.sampleCount() <= vb::SampleTable::kMaxSamples);
    if (append) {
        // Appending keeps every old row and adds the new ones after them.
        check(ride.samples.rowCount() == before.samples.rowCount() + *second);
        for (int row = 1; row < before.samples.rowCount(); ++row)
            for (int column = 0; column < vb::SampleTable::kColumns; ++column)
                check(ride.samples.text(row, column) == before.samples.text(row, column));
    }
    return 0;
}
