#include "cli/Cli.h"

#include <exception>
#include <iostream>
#include <new>
#include <sstream>

#include "base/Files.h"
#include "base/Text.h"
#include "cli/Commands.h"

namespace vb::cli {

int run(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    ignoreFileSizeSignal();
    Context ctx{out, err, kExitOk, {}, {}, {}};
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
    } catch (const std::bad_alloc&) {
        err << "velobridge-cli: out of memory\n";
        return kExitRefused;
    } catch (const std::exception& e) {
        err << "velobridge-cli: " << escapeControls(e.what()) << '\n';
        return kExitRefused;
    }
    return ctx.status;
}

bool mayWrite(Context& ctx, const std::filesystem::path& target) {
    for (const auto& input : ctx.inputs)
        if (sameFile(input, target)) {
            ctx.status = refuse(ctx, target, "is an input of this command; not written over");
            return false;
        }
    for (const auto& done : ctx.written)
        if (sameFile(done, target)) {
            ctx.status = refuse(ctx, target, "was already written by this command; not written again");
            return false;
        }
    return true;
}

std::optional<std::string> rowsProblem(int from, int to, int lastRow) {
    const std::string range = "the rows 0.." + std::to_string(lastRow);
    if (from < 0 || from > lastRow) return "--from " + std::to_string(from) + " lies outside " + range;
    if (to < 0 || to > lastRow) return "--to " + std::to_string(to) + " lies outside " + range;
    if (from >= to)
        return "--from " + std::to_string(from) + " must lie before --to " + std::to_string(to) + " (" + range + ")";
    return std::nullopt;
}

bool namesFolder(std::string_view out) {
    return !out.empty() && (out.back() == '/' || out.back() == kPathSeparator);
}

void printSafe(std::ostream& out, std::string_view text, bool keepTabs) {
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of(keepTabs ? "\n\t" : "\n", start);
        const std::size_t stop = end == std::string_view::npos ? text.size() : end;
        out << escapeControls(text.substr(start, stop - start));
        if (end == std::string_view::npos) break;
        out << text[end];
        start = end + 1;
    }
}

int refuse(Context& ctx, const std::filesystem::path& file, std::string_view reason) {
    // One line: a reason of several lines (a window message) is joined with ": ".
    std::string line(reason);
    for (std::size_t at = line.find('\n'); at != std::string::npos; at = line.find('\n', at))
        line.replace(at, 1, ": ");
    ctx.err << "velobridge-cli: " << escapeControls(displayPath(file)) << ": " << escapeControls(line) << '\n';
    return kExitRefused;
}

void warn(Context& ctx, const std::filesystem::path& file, std::string_view text) {
    ctx.err << "velobridge-cli: warning: " << escapeControls(displayPath(file)) << ": " << escapeControls(text)
            << '\n';
}

void printShown(Context& ctx, const std::filesystem::path& file, const RecordingPrompter& prompter) {
    for (const auto& shown : prompter.messages) warn(ctx, file, shown.text);
}

void addSettingsOption(CLI::App& sub, Context& ctx) {
    sub.add_option("--settings", ctx.settingsFile, "settings file to use instead of the default one");
}

}  // namespace vb::cli
