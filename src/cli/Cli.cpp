#include "cli/Cli.h"

#include <iostream>

#include "base/Files.h"
#include "cli/Commands.h"

namespace vb::cli {

int run(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    Context ctx{out, err, kExitOk, {}};
    CLI::App app{"Velobridge: outdoor rides to indoor trainer programs", "velobridge-cli"};
    // "/data/ride.hrm" is a file, not a Windows-style option; subcommands take
    // this setting from the app when they are added, so it comes first.
    app.allow_windows_style_options(false);
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
    ctx.err << "velobridge-cli: " << displayPath(file) << ": " << reason << '\n';
    return kExitRefused;
}

void warn(Context& ctx, const std::filesystem::path& file, std::string_view text) {
    ctx.err << "velobridge-cli: warning: " << displayPath(file) << ": " << text << '\n';
}

void printShown(Context& ctx, const std::filesystem::path& file, const RecordingPrompter& prompter) {
    for (const auto& shown : prompter.messages) warn(ctx, file, shown.text);
}

void addSettingsOption(CLI::App& sub, Context& ctx) {
    sub.add_option("--settings", ctx.settingsFile, "settings file to use instead of the default one");
}

}  // namespace vb::cli
