#pragma once
// From a Track (the points a FIT, GPX or TCX file holds) to the ride record,
// one step for the three formats:
//
// - each point's cumulative distance: the file's own where it has one (a part
//   that starts again continues from the distance reached), otherwise the
//   geodesic distance between positions on the WGS84 ellipsoid;
// - each point's time: times that repeat, go back, or jump ahead and come
//   back lose their time and take one interpolated by distance, like points
//   without a time; a route without times is spaced at a constant 20 km/h,
//   and so is a track where most times would be lost that way;
// - moving time: timer pauses and slow gaps (more than 10 s below 1 km/h) are
//   cut out;
// - equally spaced samples over the moving time at the smallest interval of
//   1, 2, 5, 10, 15, 30 and 60 s that keeps the ride within 32,765 samples,
//   with distance and altitude interpolated linearly; each row's speed is the
//   way from the row before, in tenths of km/h.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "base/Result.h"
#include "import/RideRecord.h"
#include "import/Track.h"

namespace vb {

inline constexpr std::string_view kStatusFit = "FIT File activ";
inline constexpr std::string_view kStatusGpx = "GPX File activ";
inline constexpr std::string_view kStatusTcx = "TCX File activ";

/// The constant speed at which a route without times is ridden, in km/h.
inline constexpr double kPlannedSpeedKmh = 20.0;

/// What the import learnt about a track ride beyond the ride record.
struct TrackSummary {
    TrackFormat format = TrackFormat::gpx;
    std::string creator;        ///< device or program, UTF-8; empty when the file names none
    double start = TrackPoint::kNone;  ///< time of the first sample (UTC seconds); NaN when unknown
    std::size_t points = 0;     ///< points the file holds
    double distance = 0;        ///< metres the samples cover
    int stops = 0;              ///< stops cut out
    double stoppedSeconds = 0;  ///< time cut out with them
    /// Where the samples' times come from: the file's clock; kPlannedSpeedKmh
    /// for a route without times; kPlannedSpeedKmh too when the file's times
    /// are no clock (most of them repeat or go back).
    enum class Timing { recorded, planned, unusable } timing = Timing::recorded;
};

/// Fills `ride` from `track`: SampleTable, RideHeader (Version, start date as
/// YYYYMMDD, "-" for Mode and ECode, "meter/meter", the interval), the status
/// and the "Filename:" box (the name of `myfile` without folder and
/// extension). A track that cannot become a ride (fewer than two points, no
/// altitude, neither positions nor distances, no moving time, too long) is
/// refused with a message that says what it lacks, and `ride` is unchanged.
Result<TrackSummary> Store_Track(RideRecord& ride, const Track& track, std::string_view myfile);

/// Reads a whole FIT, GPX or TCX file with the reader of `format` and stores
/// it with Store_Track; the reader's warnings (a file cut short) come along.
Result<TrackSummary> Load_Track_File(RideRecord& ride, TrackFormat format, std::string_view myfile,
                                     std::span<const std::byte> data);

/// A span of time as hours, minutes and seconds ("1:02:05").
std::string clockText(double seconds);

/// The start as ISO 8601 UTC ("2025-05-09T12:38:04Z"), "-" for NaN.
std::string isoTime(double seconds);

}  // namespace vb
