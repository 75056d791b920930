#include "cli/Cli.h"

#include <iostream>

#include "cli/Commands.h"

namespace vb::cli {

int run(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    Context ctx{out, err, kExitOk, {}};
    CLI::App app{"Velobridge: outdoor rides to indoor trainer programs", "velobridge-cli"};
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string(ProgramVersion));

    addInfoCommand(app, ctx);
    addTableCommand(app, ctx);
    addProgramCommand(app, ctx);
    addRlvCommand(app, ctx);
    addSettingsCommand(app, ctx);
    addProfileCommand(app, ctx);
    addHrmCommand(app, ctx);
    addConvertPgmCommand(app, ctx);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e, out, err);
        return code == 0 ? kExitOk : kExitUsage;
    }
    return ctx.status;
}

int refuse(Context& ctx, const std::filesystem::path& file, std::string_view reason) {
    ctx.err << "velobridge-cli: " << file.string() << ": " << reason << '\n';
    return kExitRefused;
}

void warn(Context& ctx, const std::filesystem::path& file, std::string_view text) {
    ctx.err << "velobridge-cli: warning: " << file.string() << ": " << text << '\n';
}

void printShown(Context& ctx, const std::filesystem::path& file, const RecordingPrompter& prompter) {
    for (const auto& shown : prompter.messages) warn(ctx, file, shown.text);
}

void addSettingsOption(CLI::App& sub, Context& ctx) {
    sub.add_option("--settings", ctx.settingsFile, "settings file to use instead of the default one");
}

void addSmoothOption(CLI::App& sub, Context& ctx) {
    sub.add_option("--smooth-altitude", ctx.smoothAltitude,
                   "smooth the altitude over a window METRES wide by distance (default 0: off)")
        ->type_name("METRES")
        ->check(CLI::NonNegativeNumber);
}

}  // namespace vb::cli
