#pragma once
// Route building: a stretch of `SampleTable` rows cut into sections of equal
// length (the distance step), each with one slope in percent held between the
// target's "max. downhill" and "max. climbing", optionally with neighbouring
// sections of equal slope merged into one. The CATALYST target works in 64-bit
// floats with a 16-bit section index, the FORTIUS target stores lengths and
// slopes as 32-bit floats, tests limits and merges in 32 bits and counts
// sections with a 32-bit index; both carry the climb a cut slope could not show
// in 64 bits.
//
// Also here: "Calc 15sec Interval", which rewrites a ride recorded at 60-second
// intervals in place as 15-second samples.

#include <cstdint>
#include <string_view>
#include <vector>

#include "app/Settings.h"
#include "base/Result.h"
#include "import/RideRecord.h"

namespace vb {

enum class Target { catalyst, fortius };

/// Most sections a route may have.
inline constexpr int kMaxRouteSections = 4000;
/// Most samples "Calc 15sec Interval" takes.
inline constexpr int kMaxResampleSamples = 4000;

/// Factors that turn a row's speed into tenths of km/h and its altitude into metres.
struct UnitFactors {
    double speed = 0.0;
    double altitude = 0.0;
};

/// "meter/meter" → 1, 1; "miles/feet" → 1.609, 0.3048; any other text → 0, 0.
UnitFactors unitFactors(std::string_view type);

/// Limits of one target: max. climbing and max. downhill in percent, distance step in metres.
struct RouteLimits {
    double maxClimb = 0.0;
    double maxDown = 0.0;
    double distStep = 0.0;
};

/// The target's limits read from the texts of the settings (leading number of each).
RouteLimits routeLimits(const Settings& settings, Target target);

/// One section: length in kilometres, slope in percent (positive uphill).
struct RouteSection {
    double length = 0.0;
    double slope = 0.0;
};

/// The sections of one build, section 1 first. FORTIUS numbers are 32-bit floats
/// held exactly in doubles.
struct RouteSections {
    Target target = Target::catalyst;
    std::vector<RouteSection> sections;
};

/// Number of filled sections.
int RouteSectionCount(const RouteSections& route);

/// What a build needs besides the ride: the stretch of rows (both ends included),
/// the limits and the join option (on only when exactly 1).
struct RouteRequest {
    Target target = Target::catalyst;
    std::int16_t route_von = 0;
    std::int16_t route_bis = 0;
    RouteLimits limits;
    int join_slopes = 0;
};

/// Builds the route over rows route_von..route_bis. Blank rows are passed over and
/// the table's last row never contributes. Refuses a distance step or interval
/// that is not above 0, and a stretch that needs more than 4000 sections.
Result<RouteSections> buildRoute(const RideRecord& ride, const RouteRequest& request);

/// "Calc 15sec Interval": rewrites the samples (the non-blank rows) as four
/// 15-second rows per 60-second step, numbers every row, drops the rows after
/// the result, sets the interval to 15 and makes the operation unavailable.
/// Refuses more than 4000 samples or a value outside −32768..32767, leaving the
/// ride unchanged.
Result<void> calc15SecInterval(RideRecord& ride);

}  // namespace vb
