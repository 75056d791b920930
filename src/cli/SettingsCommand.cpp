// The `settings` command and the settings every command reads: the --settings
// file, else the platform's settings file, else the defaults.
#include <memory>
#include <sstream>

#include "app/SettingsFile.h"
#include "base/Files.h"
#include "cli/Commands.h"

namespace vb::cli {

namespace {

struct LoadedSettings {
    Settings settings;
    std::string source;  // the file's path, or "defaults (no settings file at PATH)"
};

std::optional<LoadedSettings> loadWithSource(Context& ctx) {
    const bool named = !ctx.settingsFile.empty();
    const std::filesystem::path path = named ? std::filesystem::path(ctx.settingsFile) : defaultSettingsFile();
    RecordingPrompter prompter;
    auto loaded = loadSettingsFile(path, prompter);
    if (loaded && !loaded->has_value() && named) loaded = makeError(ErrorCode::io, "no such settings file");
    if (!loaded) {
        ctx.status = refuse(ctx, path, loaded.error().message);
        return std::nullopt;
    }
    printShown(ctx, path, prompter);
    if (loaded->has_value()) ctx.inputs.push_back(path);
    if (!loaded->has_value()) return LoadedSettings{Settings{}, "defaults (no settings file at " + displayPath(path) + ")"};
    return LoadedSettings{**loaded, displayPath(path)};
}

}  // namespace

std::optional<Settings> loadSettings(Context& ctx) {
    auto loaded = loadWithSource(ctx);
    if (!loaded) return std::nullopt;
    return loaded->settings;
}

void addSettingsCommand(CLI::App& app, Context& ctx) {
    auto* sub = app.add_subcommand("settings", "print the settings in effect and where they came from");
    addSettingsOption(*sub, ctx);
    sub->callback([&ctx] {
        const auto loaded = loadWithSource(ctx);
        if (!loaded) return;
        const Settings& s = loaded->settings;
        const auto truth = [](bool value) { return value ? "true" : "false"; };
        std::ostringstream text;  // values from the file, printed with control characters escaped
        text << "source: " << loaded->source << '\n'
                << "base folder: " << baseFolder(s) << '\n'
                << "my_path: " << s.my_path << '\n'
                << "hrm_path: " << s.hrm_path << '\n'
                << "pgm_path: " << s.pgm_path << '\n'
                << "ca_path: " << s.ca_path << '\n'
                << "pgmf_path: " << s.pgmf_path << '\n'
                << "caf_path: " << s.caf_path << '\n'
                << "cat_max_climb: " << s.cat_max_climb << '\n'
                << "cat_max_down: " << s.cat_max_down << '\n'
                << "cat_dist_step: " << s.cat_dist_step << '\n'
                << "fort_max_climb: " << s.fort_max_climb << '\n'
                << "fort_max_down: " << s.fort_max_down << '\n'
                << "fort_dist_step: " << s.fort_dist_step << '\n'
                << "add_warmup: " << s.add_warmup << '\n'
                << "join_slopes: " << s.join_slopes << '\n'
                << "unit_meter: " << truth(s.unit_meter) << '\n'
                << "unit_feet: " << truth(s.unit_feet) << '\n'
                << "base_setting: " << s.base_setting << '\n';
        printSafe(ctx.out, text.str());
    });
}

}  // namespace vb::cli
