#include <sstream>
#include <vector>

#include "app/RlvFile.h"
#include "base/Files.h"
#include "catalyst/RunFileReader.h"
#include "cli/Commands.h"
#include "import/RideImport.h"
#include "route/ProgramReader.h"

namespace vb::cli {

namespace {

/// The largest file of the kind that the name and first bytes say, in the
/// order the describers try them; nullopt when no describer would take it.
std::optional<std::uint64_t> sizeLimit(const std::filesystem::path& file, const Bytes& head) {
    if (runKindOf(file)) return kRunFileMax;
    if (recogniseRideFile(head) != RideFileType::unknown) return kRideFileMax;
    if (hasPgmfHeader(head)) return kProgramFileMax;
    if (hasExtension(file, ".pgm")) return kPgmFileMax;
    if (looksLikePgmf(head)) return kProgramFileMax;
    if (looksLikeRlv(head)) return kRlvFileMax;
    if (hasExtension(file, ".vlb")) return kScriptFileMax;
    return std::nullopt;
}

constexpr std::size_t kHeadSize = 16;  // the longest magic: a .pgmf's two block headers

}  // namespace

void addInfoCommand(CLI::App& app, Context& ctx) {
    auto* sub = app.add_subcommand("info", "describe ride, program, run and script files");
    auto files = std::make_shared<std::vector<std::string>>();
    sub->add_option("FILE", *files, "files to describe")->required();
    addSettingsOption(*sub, ctx);
    sub->callback([&ctx, files] {
        bool first = true;
        for (const auto& name : *files) {
            if (!first) ctx.out << '\n';
            first = false;
            auto head = readHead(name, kHeadSize);
            if (!head) {
                ctx.status = refuse(ctx, name, head.error().message);
                continue;
            }
            const auto limit = sizeLimit(name, *head);
            if (!limit) {
                ctx.status = refuse(ctx, name, "not a ride, program, run, RLV script or RLV file");
                continue;
            }
            auto data = readFile(name, *limit);
            if (!data) {
                ctx.status = refuse(ctx, name, data.error().message);
                continue;
            }
            // Names and values come from the file: printed with their control characters escaped.
            std::ostringstream block;
            Context described{block, ctx.err, kExitOk, ctx.settingsFile, {}, {}};
            std::optional<int> status;
            for (auto describe : {describeRun, describeRide, describeProgram, describeRlv, describeScript}) {
                status = describe(described, name, *data);
                if (status) break;
            }
            if (status) describeConversion(described, name, *data);
            else status = refuse(ctx, name, "not a ride, program, run, RLV script or RLV file");
            printSafe(ctx.out, block.str());
            if (*status != kExitOk) ctx.status = *status;
        }
    });
}

}  // namespace vb::cli
