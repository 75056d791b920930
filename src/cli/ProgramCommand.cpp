// `info` for program files and the `program` command, which writes a ride's
// stretch as a .pgm or .pgmf program the way the "Catalyst" and "Fortius"
// buttons do: limits and options from the settings unless the options say
// otherwise, the file into the working folder unless -o names another place.

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>

#include "base/Files.h"
#include "base/Text.h"
#include "catalyst/PgmConverter.h"
#include "cli/Commands.h"
#include "import/RideImport.h"
#include "route/ProgramReader.h"
#include "route/ProgramWriter.h"

namespace vb::cli {

namespace {

namespace fs = std::filesystem;

std::string oneDecimal(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.1f", value);
    return buffer;
}

// Bytes of 8-bit text made printable: control bytes become '.'.
std::string printable(std::string_view bytes) {
    std::string out(bytes);
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '.';
    return cp1252ToUtf8(out);
}

void printProgram(Context& ctx, const fs::path& file, const ProgramFile& program) {
    const bool pgmf = program.format == ProgramFormat::pgmf;
    const auto number = [pgmf](double v) { return pgmf ? shortestFloat(static_cast<float>(v)) : shortestDouble(v); };
    ctx.out << "file: " << displayPath(file) << '\n'
            << "format: " << (pgmf ? "pgmf (V2.0)" : "pgm (V1.0)") << '\n'
            << "type: " << programTypeText(program.type) << " (" << program.type << ")\n"
            << "mode: " << programModeText(program.mode) << " (" << program.mode << ")\n"
            << "name: " << program.name << '\n'
            << "sections: " << program.sections.size() << '\n';
    double total = 0.0;
    for (const auto& s : program.sections) {
        if (program.mode == 1) total += pgmf ? s.distance : s.distance * 1000;
        else total += pgmf ? s.distance : s.third;
    }
    if (program.mode == 1) ctx.out << "length: " << oneDecimal(total) << " m\n";
    else if (program.mode == 0) ctx.out << "duration: " << oneDecimal(total) << " s\n";

    const std::string what = program.type == 1 ? "slope" : "value";
    if (program.sections.empty()) {
        ctx.out << "lowest " << what << ": -\nhighest " << what << ": -\n";
    } else {
        const auto [low, high] = std::minmax_element(program.sections.begin(), program.sections.end(),
                                                     [](const auto& a, const auto& b) { return a.value < b.value; });
        ctx.out << "lowest " << what << ": " << number(low->value) << '\n'
                << "highest " << what << ": " << number(high->value) << '\n';
    }
    if (!program.tag.empty()) ctx.out << "tag: " << printable(program.tag) << '\n';
    if (!program.trailer.empty()) ctx.out << "trailer: " << printable(program.trailer) << '\n';
}

struct ProgramOptions {
    std::string ride;
    std::string target;
    int from = 0;
    int to = 0;
    std::string name;
    bool resample = false;
    double maxClimb = 0;
    double maxDown = 0;
    double step = 0;
    bool warmup = false;
    bool join = false;
    std::string out;
    // Which of the options were given.
    CLI::Option* toGiven = nullptr;
    CLI::Option* nameGiven = nullptr;
    CLI::Option* climbGiven = nullptr;
    CLI::Option* downGiven = nullptr;
    CLI::Option* stepGiven = nullptr;
    CLI::Option* outGiven = nullptr;
};

void runProgram(Context& ctx, const ProgramOptions& o) {
    auto settings = loadSettings(ctx);
    if (!settings) return;
    const fs::path rideFile = pathFromUtf8(o.ride);
    ctx.inputs.push_back(rideFile);
    RideRecord ride;
    Init_Kennung(ride);
    if (!loadRideFile(ctx, rideFile, ride)) return;
    if (ride.samples.sampleCount() <= 0) {
        ctx.status = refuse(ctx, rideFile, "the ride holds no samples");
        return;
    }

    if (o.resample) {
        if (!ride.Calc15Available || ride.RecordInterval != 60) {
            ctx.status = refuse(ctx, rideFile, "--resample-15 needs an HRM ride recorded at 60 seconds; this one's interval is " +
                                                   ride.header.Interval());
            return;
        }
        if (auto resampled = calc15SecInterval(ride); !resampled) {
            ctx.status = refuse(ctx, rideFile, resampled.error().message);
            return;
        }
    }

    const Target target = o.target == "catalyst" ? Target::catalyst : Target::fortius;
    // Without --name the "Filename:" box holds the ride's name, cut to what the box takes.
    const std::string name = o.nameGiven->count() ? o.name : utf8Left(ride.ProgramName, kProgramNameMax);
    const int lastRow = std::min(ride.samples.rowCount() - 1, 32767);
    const int to = o.toGiven->count() ? o.to : lastRow;
    if (auto refused = rowsProblem(o.from, to, lastRow)) {
        ctx.status = refuse(ctx, rideFile, *refused);
        return;
    }
    ProgramRequest request = programRequest(*settings, target, static_cast<std::int16_t>(o.from),
                                            static_cast<std::int16_t>(to), name);
    if (o.climbGiven->count()) request.route.limits.maxClimb = o.maxClimb;
    if (o.downGiven->count()) request.route.limits.maxDown = o.maxDown;
    if (o.stepGiven->count()) request.route.limits.distStep = o.step;
    if (o.warmup) request.add_warmup = 1;
    if (o.join) request.route.join_slopes = 1;

    auto built = buildProgram(ride, request);
    if (!built) {
        ctx.status = refuse(ctx, rideFile, built.error().message);
        return;
    }
    fs::path path = programPath(*settings, target, name);
    if (o.outGiven->count()) {
        // An existing folder, or a name ending with a separator (a folder made when missing).
        const fs::path file = path.filename();
        path = pathFromUtf8(o.out);
        std::error_code ec;
        if (namesFolder(o.out) || fs::is_directory(path, ec)) path /= file;
    }
    if (!mayWrite(ctx, path)) return;
    if (auto saved = saveProgram(path, built->bytes); !saved) {
        ctx.status = refuse(ctx, path, saved.error().message);
        return;
    }
    ctx.out << "wrote: " << displayPath(path) << '\n'
            << "name: " << name << '\n'
            << "sections: " << built->records << '\n'
            << "warm-up: " << (request.add_warmup == 1 ? "yes" : "no") << '\n';
}

}  // namespace

std::optional<int> describeProgram(Context& ctx, const fs::path& file, const Bytes& data) {
    // A .pgm has no magic of its own; a .pgmf's full header outranks the name.
    Result<ProgramFile> program = makeError(ErrorCode::invalid, "");
    if (hasPgmfHeader(data)) program = readPgmf(data);
    else if (hasExtension(file, ".pgm")) program = readPgm(data);
    else if (looksLikePgmf(data)) program = readPgmf(data);
    else return std::nullopt;
    if (!program) return refuse(ctx, file, program.error().message);
    printProgram(ctx, file, *program);
    return kExitOk;
}

void addProgramCommand(CLI::App& app, Context& ctx) {
    auto* sub = app.add_subcommand("program", "write a ride's stretch as a .pgm or .pgmf trainer program");
    auto o = std::make_shared<ProgramOptions>();
    sub->add_option("RIDE", o->ride, "HRM, HAC4, FIT, GPX or TCX ride file")->required();
    sub->add_option("--target", o->target, "catalyst (.pgm) or fortius (.pgmf)")
        ->required()
        ->check(CLI::IsMember({"catalyst", "fortius"}));
    sub->add_option("--from", o->from, "first row of the stretch (default 0)")->check(CLI::Range(0, 32767));
    o->toGiven = sub->add_option("--to", o->to, "last row of the stretch (default the last row)")
                     ->check(CLI::Range(0, 32767));
    o->nameGiven = sub->add_option("--name", o->name, "program name, at most 16 characters (default the ride's name)");
    sub->add_flag("--resample-15", o->resample, "resample an HRM ride recorded at 60 s to 15 s first");
    o->climbGiven = sub->add_option("--max-climb", o->maxClimb, "max. climbing in percent");
    o->downGiven = sub->add_option("--max-down", o->maxDown, "max. downhill in percent (negative)");
    o->stepGiven = sub->add_option("--step", o->step, "distance step in metres");
    sub->add_flag("--warmup", o->warmup, "add a 2 km warm-up");
    sub->add_flag("--join-slopes", o->join, "join following sections of equal slope");
    addSettingsOption(*sub, ctx);
    addSmoothOption(*sub, ctx);
    o->outGiven = sub->add_option("-o,--output", o->out, "output file or existing folder");
    sub->callback([&ctx, o] { runProgram(ctx, *o); });
}

}  // namespace vb::cli
