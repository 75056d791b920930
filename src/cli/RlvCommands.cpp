// `info` for RLV scripts (*.vlb) and RLV files, and the `rlv` command that
// writes a script as an RLV file.
#include <algorithm>
#include <memory>

#include "app/RlvFile.h"
#include "app/RlvScript.h"
#include "base/Files.h"
#include "base/Text.h"
#include "cli/Commands.h"

namespace vb::cli {

namespace {

bool isScriptName(const std::filesystem::path& file) { return hasExtension(file, ".vlb"); }

/// The message a refused script showed.
std::string refusal(const RecordingPrompter& prompter) {
    return prompter.messages.empty() ? std::string("script refused") : prompter.messages.back().text;
}

/// Where `rlv` writes: -o (a file, or an existing folder), else the RLV
/// working folder, made when missing. Nullopt after a refusal.
std::optional<std::filesystem::path> rlvTarget(Context& ctx, const std::string& out, const RlvScript& script) {
    const std::string name = script.rlv_name + ".rlv";
    if (!out.empty()) {
        // An existing folder, or a name ending with a separator (a folder made when missing).
        std::error_code ec;
        if (namesFolder(out) || std::filesystem::is_directory(pathFromUtf8(out), ec))
            return pathFromUtf8(out) / pathFromUtf8(name);
        return pathFromUtf8(out);
    }
    const auto settings = loadSettings(ctx);
    if (!settings) return std::nullopt;
    const std::filesystem::path folder = workingFolder(*settings, "RLV");
    if (auto made = ensureFolder(folder); !made) {
        ctx.status = refuse(ctx, folder, made.error().message);
        return std::nullopt;
    }
    return folder / name;
}

}  // namespace

std::optional<int> describeScript(Context& ctx, const std::filesystem::path& file, const Bytes& data) {
    if (!isScriptName(file)) return std::nullopt;
    RecordingPrompter prompter;
    const RlvScript script = Load_RLV_Script(data, kDefaultSpeedReferenz, prompter);
    ctx.out << "file: " << displayPath(file) << '\n'
            << "type: RLV script\n"
            << "version: " << script.rlv_version << '\n'
            << "unit: " << script.rlv_type << '\n'
            << "fps: " << shortestFloat(script.rlv_fps) << '\n'
            << "name: " << script.rlv_name << '\n'
            << "frames: " << script.rlv_frame[0] << '\n'
            << "frame lines: " << script.rlv_count << '\n'
            << "speed reference: " << kDefaultSpeedReferenz << '\n';
    for (const auto& line : script.lines) ctx.out << line << '\n';
    if (!script.createEnabled) return refuse(ctx, file, refusal(prompter));
    return kExitOk;
}

std::optional<int> describeRlv(Context& ctx, const std::filesystem::path& file, const Bytes& data) {
    if (!looksLikeRlv(data)) return std::nullopt;
    const auto rlv = readRlv(data);
    if (!rlv) return refuse(ctx, file, rlv.error().message);
    ctx.out << "file: " << displayPath(file) << '\n'
            << "type: RLV\n"
            << "version: " << rlv->version << '\n'
            << "blocks: " << rlv->blocks.size() << '\n';
    for (const auto& block : rlv->blocks)
        ctx.out << "block " << block.id << ": " << block.count << (block.count == 1 ? " record" : " records")
                << " of " << block.size << " bytes\n";
    ctx.out << "video: " << rlv->videoName << '\n'
            << "frame rate: " << shortestFloat(rlv->frameRate) << '\n'
            << "frame entries: " << rlv->frames.size() << '\n';
    for (std::size_t i = 0; i < rlv->frames.size(); ++i)
        ctx.out << "frame " << i + 1 << ": " << rlv->frames[i].frame << ' ' << shortestFloat(rlv->frames[i].factor)
                << '\n';
    ctx.out << "course entries: " << rlv->courses.size() << '\n';
    for (std::size_t i = 0; i < rlv->courses.size(); ++i) {
        const auto& course = rlv->courses[i];
        ctx.out << "course " << i + 1 << ": " << shortestFloat(course.start) << ' ' << shortestFloat(course.end)
                << ' ' << course.text << '\n';
    }
    return kExitOk;
}

void addRlvCommand(CLI::App& app, Context& ctx) {
    struct Options {
        std::string script;
        std::string reference{kDefaultSpeedReferenz};
        std::string out;
    };
    auto options = std::make_shared<Options>();
    auto* sub = app.add_subcommand("rlv", "write an RLV script (.vlb) as an RLV file (.rlv)");
    sub->add_option("SCRIPT", options->script, "RLV script")->required();
    sub->add_option("--speed-reference", options->reference, "the Speed Referenz (default 1000)");
    sub->add_option("-o,--output", options->out, "output file, or an existing folder");
    addSettingsOption(*sub, ctx);
    sub->callback([&ctx, options] {
        const std::filesystem::path file(options->script);
        ctx.inputs.push_back(file);
        auto data = readFile(file, kScriptFileMax);
        if (!data) {
            ctx.status = refuse(ctx, file, data.error().message);
            return;
        }
        RecordingPrompter prompter;
        const RlvScript script = Load_RLV_Script(*data, options->reference, prompter);
        if (!script.createEnabled) {
            ctx.status = refuse(ctx, file, refusal(prompter));
            return;
        }
        for (const auto& line : script.lines)
            if (line.find("Error in Script") != std::string::npos) warn(ctx, file, line);
        const auto target = rlvTarget(ctx, options->out, script);
        if (!target || !mayWrite(ctx, *target)) return;
        if (auto written = writeRlvFile(*target, script); !written) {
            ctx.status = refuse(ctx, file, written.error().message);
            return;
        }
        std::error_code ec;
        printSafe(ctx.out, "wrote: " + displayPath(*target) + "\nname: " + script.rlv_name + "\nbytes: " +
                               std::to_string(std::filesystem::file_size(*target, ec)) +
                               "\nframe entries: " + std::to_string(script.rlv_count) + '\n');
    });
}

}  // namespace vb::cli
