#pragma once
// The settings: the base working folder `my_path`, five folders, six route
// limits, the two route options, the meter/feet choice, the HRM writer's
// base altitude and the altitude smoothing width. Texts are UTF-8; the limits and `base_setting` are kept as the
// text of their boxes and read as numbers by the operations that use them.

#include <string>
#include <string_view>

#include "base/Platform.h"

namespace vb {

inline constexpr std::string_view ProgramVersion = "Version0.6a";

struct Settings {
    std::string my_path;  // base working folder, no trailing separator
    std::string hrm_path;
    std::string pgm_path;
    std::string ca_path;
    std::string pgmf_path;
    std::string caf_path;
    std::string cat_max_climb = "9";
    std::string cat_max_down = "-4";
    std::string cat_dist_step = "100";
    std::string fort_max_climb = "20";
    std::string fort_max_down = "-5";
    std::string fort_dist_step = "100";
    int add_warmup = 0;   // 1 checked
    int join_slopes = 0;  // 1 checked
    bool unit_meter = true;
    bool unit_feet = false;
    std::string base_setting = "0";
    /// Width in metres of the altitude smoothing applied at import, as the text
    /// of its box ("0" = off).
    std::string smooth_altitude = "0";

    bool operator==(const Settings&) const = default;
};

}  // namespace vb

namespace vb {

/// The base working folder for an empty `my_path`: %USERPROFILE%\Velobridge on
/// Windows, ~/Velobridge elsewhere; "Velobridge" (beside the current folder)
/// when the home folder is unknown, never a drive's root or "/".
std::string defaultBaseFolder(const Environment& env);

/// The base working folder in effect: `my_path`, or defaultBaseFolder of the
/// process's environment when it is empty.
std::string baseFolder(const Settings& settings);

/// A working folder under the base folder: baseFolder + separator + name.
std::string workingFolder(const Settings& settings, std::string_view name);

}  // namespace vb
