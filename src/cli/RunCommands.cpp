// `info` for run files and the converter's view of `.pgm` files, the `hrm`
// command (run files to HRM files, as "Create HRM" / "Convert All" do) and
// the `convert-pgm` command (V1.0 programs to V2.0, as "Convert" does).
// Without -o the files go into the working folders HRM and PGMF_Conv under
// the base folder of the settings in effect.

#include <memory>

#include "base/Files.h"
#include "base/Text.h"
#include "catalyst/HrmWriter.h"
#include "catalyst/PgmConverter.h"
#include "catalyst/RunFileReader.h"
#include "cli/Commands.h"

namespace vb::cli {

namespace {

namespace fs = std::filesystem;

std::string entryName(const fs::path& file) { return displayPath(file.filename()); }

bool isPgmName(const fs::path& file) { return hasExtension(file, ".pgm"); }

/// The output folder: -o, else the working folder `name` of the settings in
/// effect (`settings` when the caller has read them already). Made when
/// missing; nullopt after a refusal.
std::optional<fs::path> outputFolder(Context& ctx, const std::string& out, std::string_view name,
                                     std::optional<Settings> settings = std::nullopt) {
    fs::path folder = pathFromUtf8(out);
    if (out.empty()) {
        if (!settings) settings = loadSettings(ctx);
        if (!settings) return std::nullopt;
        folder = pathFromUtf8(workingFolder(*settings, name));
    }
    if (auto made = ensureFolder(folder); !made) {
        ctx.status = refuse(ctx, folder, made.error().message);
        return std::nullopt;
    }
    return folder;
}

struct HrmOptions {
    std::vector<std::string> runs;
    std::string baseAltitude;
    CLI::Option* baseGiven = nullptr;
    std::string out;
};

void runHrm(Context& ctx, const HrmOptions& o) {
    std::string base = o.baseAltitude;
    std::optional<Settings> settings;
    if (!o.baseGiven->count()) {
        settings = loadSettings(ctx);
        if (!settings) return;
        base = settings->base_setting;
    }
    const auto folder = outputFolder(ctx, o.out, "HRM", settings);
    if (!folder) return;
    for (const auto& name : o.runs) ctx.inputs.push_back(pathFromUtf8(name));
    CatalystRun run;
    for (const auto& name : o.runs) {
        const fs::path file = pathFromUtf8(name);
        const auto kind = runKindOf(file);
        if (!kind) {
            ctx.status = refuse(ctx, file, "not a run file (.ca or .caf)");
            continue;
        }
        if (!mayWrite(ctx, *folder / pathFromUtf8(displayPath(file.filename()) + ".hrm"))) continue;
        const auto read = Check_Catalyst_File(run, file, *kind);
        const auto written = read ? writeRunAsHrm(run, *folder, base) : Result<fs::path>(read.error());
        if (!written) {
            ctx.status = refuse(ctx, file, written.error().message);
            continue;
        }
        ctx.written.push_back(*written);
        printSafe(ctx.out, "wrote: " + displayPath(*written) + "\nsamples: " + std::to_string(run.LastSample) + '\n');
    }
}

void runConvertPgm(Context& ctx, const std::vector<std::string>& programs, const std::string& out) {
    const auto folder = outputFolder(ctx, out, "PGMF_Conv");
    if (!folder) return;
    for (const auto& name : programs) ctx.inputs.push_back(pathFromUtf8(name));
    for (const auto& name : programs) {
        const fs::path file = pathFromUtf8(name);
        PgmConverter conv;
        ConverterLabels labels;
        std::vector<fs::path> taken = ctx.inputs;
        taken.insert(taken.end(), ctx.written.begin(), ctx.written.end());
        auto written = convertPgm(conv, labels, file, entryName(file), *folder, taken);
        if (!written) {
            ctx.status = refuse(ctx, file, written.error().message);
            continue;
        }
        ctx.written.push_back(*written);
        printSafe(ctx.out, "wrote: " + displayPath(*written) + "\nstatus: " + labels.status + "\nTyp: " + labels.typ +
                               "\nProgram: " + labels.program + "\nRoute: " + labels.route + '\n');
    }
}

/// The start as the HRM file gives it, or the raw fields when they do not fit there.
std::string startText(const CatalystRun& run) {
    auto date = Polar_Date(run);
    auto time = Polar_Time(run);
    if (date && time) return *date + " " + *time;
    std::string text;
    for (std::size_t i : {kYear, kMonth, kDay, kHour, kMinute})
        text += (text.empty() ? "" : " ") + std::to_string(run.StartDateTime[i]);
    return text + " (does not fit the HRM date and time)";
}

}  // namespace

std::optional<int> describeRun(Context& ctx, const fs::path& file, const Bytes& data) {
    const auto kind = runKindOf(file);
    if (!kind) return std::nullopt;
    CatalystRun run;
    const auto lines = readRunFile(run, data, file, *kind);
    if (!lines) return refuse(ctx, file, lines.error().message);
    ctx.out << "file: " << displayPath(file) << '\n'
            << "format: " << (*kind == RunKind::v1 ? "ca (V1.0 run)" : "caf (V2.0 run)") << '\n'
            << "name: " << run.StoredName << '\n'
            << "sections: " << run.SectionCount << '\n'
            << "samples: " << run.LastSample << '\n'
            << "distance offset: " << shortestFloat(run.DistanceOffset) << '\n'
            << "start: " << startText(run) << '\n'
            << "create hrm: " << (run.LastSample > 0 ? "yes" : "no") << '\n'
            << runInfoCaption(*kind) << '\n';
    for (const auto& line : *lines) ctx.out << line << '\n';
    return kExitOk;
}

void describeConversion(Context& ctx, const fs::path& file, const Bytes& data) {
    if (!isPgmName(file)) return;
    PgmConverter conv;
    ConverterLabels labels;
    describePgmData(conv, labels, data, entryName(file));
    ctx.out << "converter: " << labels.status << "\nTyp: " << labels.typ << "\nProgram: " << labels.program
            << "\nRoute: " << labels.route << '\n';
}

void addHrmCommand(CLI::App& app, Context& ctx) {
    auto o = std::make_shared<HrmOptions>();
    auto* sub = app.add_subcommand("hrm", "write run files (.ca, .caf) as HRM files");
    sub->add_option("RUN", o->runs, "run files")->required();
    o->baseGiven = sub->add_option("--base-altitude", o->baseAltitude,
                                   "start altitude in metres (default the settings' base_setting)");
    sub->add_option("-o,--output", o->out, "output folder (default <base>/HRM)");
    addSettingsOption(*sub, ctx);
    sub->callback([&ctx, o] { runHrm(ctx, *o); });
}

void addConvertPgmCommand(CLI::App& app, Context& ctx) {
    auto programs = std::make_shared<std::vector<std::string>>();
    auto out = std::make_shared<std::string>();
    auto* sub = app.add_subcommand("convert-pgm", "convert V1.0 programs (.pgm) into V2.0 programs (.pgmf)");
    sub->add_option("PGM", *programs, "V1.0 program files")->required();
    sub->add_option("-o,--output", *out, "output folder (default <base>/PGMF_Conv)");
    addSettingsOption(*sub, ctx);
    sub->callback([&ctx, programs, out] { runConvertPgm(ctx, *programs, *out); });
}

}  // namespace vb::cli
