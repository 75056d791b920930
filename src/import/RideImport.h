#pragma once
// Ride import: recognising a ride file by its first eight bytes and reading it
// into the ride record with the HRM reader or the HAC4 reader.
//
// The readers show their messages and ask the append question through a
// Prompter, so that the window and the command line each answer their own way.

#include <cstddef>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "base/Prompter.h"
#include "base/Bytes.h"
#include "base/Result.h"
#include "import/RideRecord.h"

namespace vb {

enum class RideFileType { unknown, hrm, hac4, fit, gpx, tcx };

/// The bytes at the start of a file that recogniseRideFile looks at first;
/// an XML file may need more (see readRideHead).
inline constexpr std::size_t kRideMagicSize = 8;

/// "[Params]" → HRM, "HACtroni" → HAC4, a FIT file header → FIT, an XML
/// document whose root element is `gpx` or `TrainingCenterDatabase` → GPX or
/// TCX; anything else → unknown. `data` is the file or as much of its start as
/// holds the XML root element.
RideFileType recogniseRideFile(std::span<const std::byte> data);

/// What a reader reports beyond the messages it showed.
struct ImportReport {
    /// The ride was refused; the ride record is as it was before the call.
    bool refused = false;
    /// For a refusal, the reason; otherwise a warning (empty when none), such as
    /// the line at which reading stopped.
    std::string message;
    /// No ride data was found (an HRM header that never completed): the
    /// SampleTable is as it was, the header fields show what the file held.
    bool noData = false;
    /// Sample rows this load added to the table (blank ones included).
    int samples = 0;
};

/// Reads an HRM ride (`data`, the whole file) into `ride`. `myfile` is the
/// file's path as text; the ride's name is taken from it.
ImportReport Load_Polar_File(RideRecord& ride, std::string_view myfile, std::span<const std::byte> data,
                             Prompter& prompter);

/// Reads a HAC4 ride (`data`, the whole file) into `ride`.
ImportReport Load_Hac4_File(RideRecord& ride, std::span<const std::byte> data, Prompter& prompter);

/// Hands `data`, recognised as `type` (HRM or HAC4), to its reader; `myfile`
/// is the file's path as text. Afterwards "Calc 15sec Interval" is available
/// exactly when the loaded ride is an HRM ride recorded at 60 seconds.
ImportReport loadRideData(RideRecord& ride, RideFileType type, std::string_view myfile,
                          std::span<const std::byte> data, Prompter& prompter);

/// The first bytes of the file at `path`, as many as recognition needs: a few
/// for HRM, HAC4 and FIT, more for an XML file whose prolog (declaration,
/// comments) runs long, never more than kRideFileMax.
Result<Bytes> readRideHead(const std::filesystem::path& path);

/// Reads the file at `path`, recognises it and hands it to its reader. An error
/// when the file cannot be read or is not a ride file (the record is unchanged).
Result<ImportReport> importRideFile(RideRecord& ride, const std::filesystem::path& path, Prompter& prompter);

}  // namespace vb
