#pragma once
// Trainer program files written from a route: the V1.0 program (`.pgm`, one
// count, 20-byte section records, the name, type, mode, tag and trailer) and
// the V2.0 program (`.pgmf`, a block file: file header, a general block with
// one 70-byte record and a program block of 12-byte records, then the trailer).
// Both are distance-based slope programs ending in "created by Velobridge - "
// and the version text.
//
// The file procedure checks the name, builds the route with the target's
// limits, lays out the bytes and only then writes them, through the safe
// replace, into <base>/PGM/<name>.pgm or <base>/PGMF/<name>.pgmf.

#include <filesystem>
#include <string>
#include <string_view>

#include "app/Settings.h"
#include "base/Bytes.h"
#include "base/Result.h"
#include "import/RideRecord.h"
#include "route/RouteBuilder.h"

namespace vb {

/// The message for a program name that cannot be used.
inline constexpr std::string_view kIncorrectFilename = "Incorrect Filename!!!";
/// Why a stretch without any distance gives no program.
inline constexpr std::string_view kNoDistance = "the chosen stretch covers no distance";
/// Text every program file ends with, before the version.
inline constexpr std::string_view kProgramTrailer = "created by Velobridge - ";

/// The `.pgm` bytes of a route: `name` (UTF-8, at most 16 characters), the
/// warm-up of 2 km first when `warmup`, `identTag` (4 bytes, written as they are)
/// and `version` in the trailer.
Result<Bytes> Create_Catalyst(const RouteSections& route, std::string_view name, bool warmup,
                              std::string_view identTag, std::string_view version);

/// The `.pgmf` bytes of a route, with the same inputs as Create_Catalyst.
Result<Bytes> Create_Fortius(const RouteSections& route, std::string_view name, bool warmup,
                             std::string_view identTag, std::string_view version);

/// Refuses with "Incorrect Filename!!!" and, on a second line, the rule it
/// broke, a name that is longer than 16 characters or not a plain file name.
Result<void> checkProgramName(std::string_view name);

/// Everything a program file is made from besides the ride.
struct ProgramRequest {
    RouteRequest route;
    std::string name;     // UTF-8, the "Filename:" text
    int add_warmup = 0;   // warm-up only when exactly 1
};

/// A request for `target` over rows route_von..route_bis with the limits and
/// options of the settings.
ProgramRequest programRequest(const Settings& settings, Target target, std::int16_t route_von,
                              std::int16_t route_bis, std::string_view name);

/// A laid-out program file, not yet written.
struct BuiltProgram {
    Bytes bytes;
    int records = 0;  // section records in the file, warm-up included
    RouteSections route;
};

/// Checks the name, builds the route and lays out the file of the request's target.
Result<BuiltProgram> buildProgram(const RideRecord& ride, const ProgramRequest& request);

/// Where the window writes a program: <base>/PGM/<name>.pgm or <base>/PGMF/<name>.pgmf.
std::filesystem::path programPath(const Settings& settings, Target target, std::string_view name);

/// Writes the bytes over `path`, making its folder when missing. An existing file
/// stays intact until the new one is complete; errors name the path and reason.
Result<void> saveProgram(const std::filesystem::path& path, const Bytes& bytes);

/// What a written program holds.
struct WrittenProgram {
    std::filesystem::path path;
    int records = 0;
};

/// The "Catalyst" / "Fortius" button procedure: builds the program and writes it
/// to programPath. Nothing is written when any step is refused.
Result<WrittenProgram> writeProgram(const RideRecord& ride, const ProgramRequest& request,
                                    const Settings& settings);

}  // namespace vb
