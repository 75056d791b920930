#pragma once
// The run record: the last Catalyst run file read (`.ca` V1.0 or `.caf` V2.0).
// It holds the program's sections, the slope profile with one entry per 5
// metres of distance, the recorded samples (one per second) and the start date
// and time. The tables hold what the file holds, up to fixed limits; a file
// that needs more is refused. A profile step past the table's end is level.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vb {

/// Table limits of the run record (entries 0..N-1).
inline constexpr std::size_t kRunSectionEntries = 32001;  // sections 1..32000
inline constexpr std::int32_t kMaxRunSections = 32000;
inline constexpr std::size_t kSlopeProfileEntries = 64001;
inline constexpr std::size_t kRunSampleEntries = 16001;

/// One recorded second of a ride.
struct RunSample {
    float distance = 0;         // metres from the start of the run
    std::uint8_t heartRate = 0;  // beats per minute
    std::uint8_t cadence = 0;    // revolutions per minute
    std::int16_t power = 0;      // tenths of a watt
    std::int16_t speed = 0;      // tenths of a km/h
};

/// One program section: a slope in percent (or 0) and its length
/// (kilometres for V1.0, hectometres for V2.0).
struct RunSection {
    double value = 0;
    double length = 0;
};

struct CatalystRun {
    std::string FileName;    // the run file's name with its extension (UTF-8)
    std::string StoredName;  // the name stored inside the run file (UTF-8)
    std::int32_t SectionCount = 0;
    std::vector<RunSection> Sections;  // entry 0 unused, then sections 1..SectionCount
    std::vector<float> SlopeProfile;   // one slope per 5 m from the start
    std::vector<RunSample> Samples;
    float DistanceOffset = 0;
    std::int16_t LastSample = 0;
    /// Year, month, day of week, day, hour, minute (V1.0 only; zero for V2.0).
    std::array<std::int16_t, 6> StartDateTime{};
};

/// Indexes into CatalystRun::StartDateTime.
enum StartField : std::size_t { kYear = 0, kMonth = 1, kDayOfWeek = 2, kDay = 3, kHour = 4, kMinute = 5 };

}  // namespace vb
