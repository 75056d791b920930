// `info` for FIT, GPX and TCX rides: the keys of an HRM ride that apply, and
// what only these rides have (creator, start, points, distance, altitude
// range, stops cut out, timing).

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/Files.h"
#include "base/Text.h"
#include "cli/Commands.h"
#include "import/AltitudeSmoothing.h"
#include "import/TrackImport.h"

namespace vb::cli {

namespace {

std::string_view typeText(TrackFormat format) {
    switch (format) {
        case TrackFormat::fit: return "FIT";
        case TrackFormat::gpx: return "GPX";
        case TrackFormat::tcx: return "TCX";
    }
    return "GPX";
}

}  // namespace

int describeTrackRide(Context& ctx, const std::filesystem::path& file, const Bytes& data, RideFileType type) {
    const TrackFormat format = type == RideFileType::fit ? TrackFormat::fit
                               : type == RideFileType::tcx ? TrackFormat::tcx
                                                           : TrackFormat::gpx;
    RideRecord ride;
    const Result<TrackSummary> loaded = Load_Track_File(ride, format, displayPath(file), data);
    for (const Error& warning : loaded.warnings()) warn(ctx, file, warning.message);
    if (!loaded) return refuse(ctx, file, loaded.error().message);
    smoothAltitude(ride, ctx.smoothAltitude);
    const TrackSummary& s = *loaded;
    const RideHeader& h = ride.header;

    double low = 0, high = 0;
    for (int row = 1; row < ride.samples.rowCount(); ++row) {
        const double altitude = leadingNumber(ride.samples.text(row, 2));
        low = row == 1 ? altitude : std::min(low, altitude);
        high = row == 1 ? altitude : std::max(high, altitude);
    }
    char distance[64];
    std::snprintf(distance, sizeof distance, "%.1f km", s.distance / 1000.0);

    ctx.out << "file: " << displayPath(file) << '\n'
            << "type: " << typeText(format) << '\n'
            << "version: " << h.Version() << '\n';
    if (!s.creator.empty()) ctx.out << "creator: " << s.creator << '\n';
    ctx.out << "date: " << h.Date() << '\n'
            << "start: " << isoTime(s.start) << '\n'
            << "units: " << h.Type() << '\n'
            << "interval: " << h.Interval() << '\n'
            << "samples: " << ride.samples.sampleCount() << '\n'
            << "points: " << s.points << '\n'
            << "distance: " << distance << '\n'
            << "lowest altitude: " << low << " m\n"
            << "highest altitude: " << high << " m\n"
            << "stops cut out: " << s.stops;
    if (s.stops > 0) ctx.out << " (" << clockText(s.stoppedSeconds) << ')';
    ctx.out << '\n' << "timing: ";
    switch (s.timing) {
        case TrackSummary::Timing::recorded: ctx.out << "recorded\n"; break;
        case TrackSummary::Timing::planned: ctx.out << "planned route at " << kPlannedSpeedKmh << " km/h\n"; break;
        case TrackSummary::Timing::unusable:
            ctx.out << "the file's times are no clock; spaced at " << kPlannedSpeedKmh << " km/h\n";
            break;
    }
    ctx.out << "name: " << ride.FilenameBox << '\n';
    return kExitOk;
}

}  // namespace vb::cli
