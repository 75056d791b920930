#include <vector>

#include "base/Files.h"
#include "cli/Commands.h"

namespace vb::cli {

void addInfoCommand(CLI::App& app, Context& ctx) {
    auto* sub = app.add_subcommand("info", "describe ride, program, run and script files");
    auto files = std::make_shared<std::vector<std::string>>();
    sub->add_option("FILE", *files, "files to describe")->required();
    addSettingsOption(*sub, ctx);
    addSmoothOption(*sub, ctx);
    sub->callback([&ctx, files] {
        bool first = true;
        for (const auto& name : *files) {
            if (!first) ctx.out << '\n';
            first = false;
            auto data = readFile(name);
            if (!data) {
                ctx.status = refuse(ctx, name, data.error().message);
                continue;
            }
            std::optional<int> status;
            for (auto describe : {describeRun, describeRide, describeProgram, describeRlv, describeScript}) {
                status = describe(ctx, name, *data);
                if (status) break;
            }
            if (status) describeConversion(ctx, name, *data);
            else status = refuse(ctx, name, "not a ride, program, run, RLV script or RLV file");
            if (*status != kExitOk) ctx.status = *status;
        }
    });
}

}  // namespace vb::cli
