// `info` for ride files and the `table` command. Each file is read into a
// fresh ride record; the append question is answered No.

#include <memory>

#include "base/Files.h"
#include "cli/Commands.h"
#include "import/AltitudeSmoothing.h"
#include "import/RideImport.h"

namespace vb::cli {

namespace {

// Prints the messages the reader showed and its verdict. Returns the exit
// status when the ride was refused (or held no ride data), nullopt when it
// loaded (perhaps with a warning).
std::optional<int> reportLoad(Context& ctx, const std::filesystem::path& file,
                              const RecordingPrompter& prompter, const ImportReport& report) {
    // The reader also shows its verdict; it is printed once, as the verdict.
    RecordingPrompter shown = prompter;
    if (!report.message.empty() && !shown.messages.empty() && shown.messages.back().text == report.message)
        shown.messages.pop_back();
    printShown(ctx, file, shown);
    if (report.refused || report.noData) return refuse(ctx, file, report.message);
    if (!report.message.empty()) warn(ctx, file, report.message);
    return std::nullopt;
}

}  // namespace

bool loadRideFile(Context& ctx, const std::filesystem::path& file, RideRecord& ride) {
    RecordingPrompter prompter(false);
    const auto report = importRideFile(ride, file, prompter);
    if (!report) {
        ctx.status = refuse(ctx, file, report.error().message);
        return false;
    }
    if (auto status = reportLoad(ctx, file, prompter, *report)) {
        ctx.status = *status;
        return false;
    }
    smoothAltitude(ride, ctx.smoothAltitude);
    return true;
}

std::optional<int> describeRide(Context& ctx, const std::filesystem::path& file, const Bytes& data) {
    const RideFileType type = recogniseRideFile(data);
    if (type == RideFileType::unknown) return std::nullopt;
    if (type == RideFileType::fit || type == RideFileType::gpx || type == RideFileType::tcx)
        return describeTrackRide(ctx, file, data, type);
    RideRecord ride;
    RecordingPrompter prompter(false);
    const ImportReport report = loadRideData(ride, type, displayPath(file), data, prompter);
    if (auto status = reportLoad(ctx, file, prompter, report)) return status;
    smoothAltitude(ride, ctx.smoothAltitude);

    const RideHeader& h = ride.header;
    const bool hrm = type == RideFileType::hrm;
    ctx.out << "file: " << displayPath(file) << '\n' << "type: " << (hrm ? "HRM" : "HAC4") << '\n';
    ctx.out << "version: " << h.Version() << '\n';
    if (hrm) ctx.out << "date: " << h.Date() << '\n' << "mode: " << h.Mode() << '\n';
    ctx.out << "units: " << h.Type() << '\n'
            << "interval: " << h.Interval() << '\n'
            << "samples: " << report.samples << '\n'
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
