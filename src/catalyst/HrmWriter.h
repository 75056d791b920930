#pragma once
// Polar HRM files written from the run record: a [Params] section (version
// 106, date, start time, length, interval 5), the empty sections an HRM file
// has, eight "0" lines under [Trip], and under [HRData] one line per fifth
// sample: heart rate, speed, cadence, altitude, power in watts and 0, tab
// separated. The altitude starts at the base altitude and climbs with the
// program's slope at each sample's distance. Lines end with CR LF.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "app/Settings.h"
#include "base/Bytes.h"
#include "base/Result.h"
#include "catalyst/CatalystRun.h"

namespace vb {

/// The run's date as YYYYMMDD; refuses a field longer than its width or negative.
Result<std::string> Polar_Date(const CatalystRun& run);
/// The run's start time as HH:MM; refuses a field longer than its width or negative.
Result<std::string> Polar_Time(const CatalystRun& run);
/// n seconds as H:MM:SS.0 (hours not zero-filled).
std::string Polar_Length(std::int16_t n);
/// x centimetres as whole metres, the hundredths breaking a tie at half a
/// metre upwards; nullopt when the result does not fit 16 bits.
std::optional<std::int16_t> Polar_Altitude(double x);

/// Where the window writes the HRM file of a run: <base>/HRM/<FileName>.hrm.
std::filesystem::path hrmFilePath(const Settings& settings, const CatalystRun& run);

/// The HRM file's bytes. `baseSetting` is the "Base Settings" text (its leading
/// number in metres). Refuses a run without a sample to write, date or time
/// fields that do not fit, a profile step outside the table and an altitude
/// that does not fit 16 bits.
Result<Bytes> hrmFileBytes(const CatalystRun& run, std::string_view baseSetting);

/// Writes hrmFileBytes to `target` through the safe replace; nothing is
/// written when the bytes are refused. Errors name the path and the reason.
Result<void> writeHrmFile(const std::filesystem::path& target, const CatalystRun& run, std::string_view baseSetting);

/// Writes the run read last as <hrmFolder>/<FileName>.hrm, as "Create HRM" and
/// "Convert All" do; refuses a run without a sample to write (ErrorCode::empty).
/// Returns the path written.
Result<std::filesystem::path> writeRunAsHrm(const CatalystRun& run, const std::filesystem::path& hrmFolder,
                                            std::string_view baseSetting);

}  // namespace vb
