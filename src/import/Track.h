#pragma once
// A ride as today's devices and route planners record it (FIT, GPX, TCX): a
// list of points in document order, each with whatever the file gave for it.
// The FIT, GPX and TCX readers fill a Track; one shared step turns it into
// the ride record's equally spaced samples.

#include <limits>
#include <string>
#include <vector>

namespace vb {

enum class TrackFormat { fit, gpx, tcx };

struct TrackPoint {
    static constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

    double time = kNone;       ///< seconds since 1970-01-01T00:00:00Z; NaN when the point has none
    double latitude = kNone;   ///< degrees, WGS84; NaN when none
    double longitude = kNone;  ///< degrees, WGS84; NaN when none
    double altitude = kNone;   ///< metres; NaN when none
    double distance = kNone;   ///< the file's own cumulative distance in metres; NaN when none
    double speed = kNone;      ///< metres per second as the file gives it; NaN when none
    /// The part of the file the point belongs to (a chained FIT file, a TCX
    /// activity or course, a GPX track or route): a cumulative distance starts
    /// again with each part.
    int part = 0;
};

/// A stretch of time during which the timer was stopped (FIT timer events).
struct TimerPause {
    double stop = 0;   ///< seconds since 1970-01-01T00:00:00Z
    double start = 0;  ///< the time the timer ran again; stop <= start
};

struct Track {
    TrackFormat format = TrackFormat::gpx;
    std::string version;  ///< "FIT", "GPX 1.0", "GPX 1.1", "TCX"
    std::string creator;  ///< device or program that wrote the file (UTF-8); empty when unnamed
    std::vector<TrackPoint> points;
    std::vector<TimerPause> pauses;
};

}  // namespace vb
