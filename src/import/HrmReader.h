#pragma once
// The HRM reader. readPolarFile parses a Polar HRM file into a PolarFile
// without touching the ride record; loadPolarFile then puts it into the ride
// record, as a new ride or added after the samples it holds. Between the two
// the caller asks whether to add the file, when appendsTo says it may.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/Result.h"
#include "import/RideRecord.h"

namespace vb {

inline constexpr std::string_view kMsgNoAltitudeData = "Couldn't find ALTITUDE data";
inline constexpr std::string_view kMsgNoSpeedData = "Couldn't find SPEED data";
inline constexpr std::string_view kAskAppend = "You like to add this file?";
inline constexpr std::string_view kMsgHeaderIncomplete =
    "No ride data was found: the file's header is incomplete.";

/// What an HRM file holds, as read.
struct PolarFile {
    static constexpr int kHeaderComplete = 49;  // "[HRData]" 16 + "Interval=" 32 + accepted mode 1

    std::string title;  // the ride's name, from the file's path
    RideHeader header;  // Version, Date, Mode, Type and Interval as read ("-" when missing)
    std::array<std::int16_t, 16> ModeFlags{};
    std::int16_t RecordInterval = 0;
    int ECode = 0;
    /// The line that completed the header and every line after it, up to
    /// another ride's header or the end, carriage returns dropped.
    std::vector<std::string> lines;
    /// The line where another ride's header begins; 0 when none does.
    int stoppedAt = 0;

    bool complete() const { return ECode == kHeaderComplete; }
};

/// Parses an HRM file (`data`, the whole file); `myfile` is its path as text,
/// which gives the ride's name. A mode line without altitude or speed data
/// adds a warning (kMsgNoAltitudeData, kMsgNoSpeedData) in the order found; an
/// interval out of range or a header that repeats it too often is an error.
Result<PolarFile> readPolarFile(std::string_view myfile, std::span<const std::byte> data);

/// Whether `file` may be added to the ride in `ride`: its header is complete
/// and its Version, Date, Mode, Type and Interval equal the ride's.
bool appendsTo(const RideRecord& ride, const PolarFile& file);

/// Puts `file` into `ride` (after its samples when `append`) and returns the
/// number of sample rows added, blank ones included, with a warning when
/// reading stopped at another ride's header. A ride longer than 32765 samples
/// is refused and leaves `ride` as it was. A header that never completed gives
/// ErrorCode::empty, after taking the header texts and the name into `ride`
/// (its samples stay as they were).
Result<int> loadPolarFile(RideRecord& ride, const PolarFile& file, bool append);

/// Stores one data line (`mypolar`, 8-bit text without its line end) into
/// SampleTable row `Index` + 1, taking speed and altitude from the fields that
/// ModeFlags name. Sets the row count to `Index` + 2 first; `Index` -1 only
/// truncates the table to its title row, `Index` 0 formats it.
void Store_Polar_Data(RideRecord& ride, std::string_view mypolar, std::int16_t Index);

/// The ride's title from a file path: the part after the last "\" or "/",
/// cut before its first ".", as UTF-8.
std::string polarTitle(std::string_view myfile);

}  // namespace vb
