// `info` for ride files and the `table` command. Each file is read into a
// fresh ride record; an HRM ride is never added to another.

#include <memory>

#include "base/Files.h"
#include "cli/Commands.h"
#include "import/AltitudeSmoothing.h"
#include "import/RideImport.h"

namespace vb::cli {

namespace {

// Reads a recognised ride into `ride` (an HRM ride is never added to another)
// and prints what the reader met: its warnings, then the refusal. Returns the
// number of samples read, or nullopt when the ride was refused or held no
// ride data.
std::optional<int> loadRide(Context& ctx, const std::filesystem::path& file, RideFileType type, const Bytes& data,
                     RideRecord& ride) {
    const auto load = [&]() -> Result<int> {
        if (const auto format = trackFormat(type)) {
            const Result<TrackSummary> loaded = Load_Track_File(ride, *format, displayPath(file), data);
            for (const Error& warning : loaded.warnings()) warn(ctx, file, warning.message);
            if (!loaded) return loaded.error();
            return ride.samples.sampleCount();
        }
        if (type == RideFileType::hac4) return loadHac4File(ride, data);
        const Result<PolarFile> parsed = readPolarFile(displayPath(file), data);
        for (const Error& warning : parsed.warnings()) warn(ctx, file, warning.message);
        if (!parsed) return parsed.error();
        return loadPolarFile(ride, *parsed, false);
    };
    const Result<int> loaded = load();
    if (!loaded) {
        refuse(ctx, file, loaded.error().message);
        return std::nullopt;
    }
    for (const Error& warning : loaded.warnings()) warn(ctx, file, warning.message);
    return *loaded;
}

}  // namespace

bool loadRideFile(Context& ctx, const std::filesystem::path& file, RideRecord& ride) {
    auto data = readRideFile(file);
    if (!data) {
        ctx.status = refuse(ctx, file, data.error().message);
        return false;
    }
    const RideFileType type = recogniseRideFile(*data);
    if (type == RideFileType::unknown) {
        ctx.status = refuse(ctx, file, "not a ride file (neither HRM, HAC4, FIT, GPX nor TCX)");
        return false;
    }
    if (!loadRide(ctx, file, type, *data, ride)) {
        ctx.status = kExitRefused;
        return false;
    }
    smoothAltitude(ride, ctx.smoothAltitude);
    return true;
}

std::optional<int> describeRide(Context& ctx, const std::filesystem::path& file, const Bytes& data) {
    const RideFileType type = recogniseRideFile(data);
    if (type == RideFileType::unknown) return std::nullopt;
    if (trackFormat(type)) return describeTrackRide(ctx, file, data, type);
    RideRecord ride;
    const std::optional<int> samples = loadRide(ctx, file, type, data, ride);
    if (!samples) return kExitRefused;
    smoothAltitude(ride, ctx.smoothAltitude);

    const RideHeader& h = ride.header;
    const bool hrm = type == RideFileType::hrm;
    ctx.out << "file: " << displayPath(file) << '\n' << "type: " << (hrm ? "HRM" : "HAC4") << '\n';
    ctx.out << "version: " << h.Version() << '\n';
    if (hrm) ctx.out << "date: " << h.Date() << '\n' << "mode: " << h.Mode() << '\n';
    ctx.out << "units: " << h.Type() << '\n'
            << "interval: " << h.Interval() << '\n'
            << "samples: " << *samples << '\n'
            << "name: " << ride.FilenameBox << '\n';
    if (hrm) ctx.out << "ecode: " << h.ECode() << '\n';
    return kExitOk;
}

void addTableCommand(CLI::App& app, Context& ctx) {
    auto* sub = app.add_subcommand("table", "print a ride's sample table (tab-separated, row 0 the titles)");
    auto file = std::make_shared<std::string>();
    sub->add_option("RIDE", *file, "HRM, HAC4, FIT, GPX or TCX ride file")->required();
    addSettingsOption(*sub, ctx);
    addSmoothOption(*sub, ctx);
    sub->callback([&ctx, file] {
        RideRecord ride;
        if (!loadRideFile(ctx, pathFromUtf8(*file), ride)) return;
        printSafe(ctx.out, tabSeparated(ride.samples), true);
    });
}

}  // namespace vb::cli
