// `info` for RLV scripts and RLV files, and the `rlv` command. (Being built.)
#include "cli/Commands.h"

namespace vb::cli {

std::optional<int> describeScript(Context&, const std::filesystem::path&, const Bytes&) { return std::nullopt; }
std::optional<int> describeRlv(Context&, const std::filesystem::path&, const Bytes&) { return std::nullopt; }

void addRlvCommand(CLI::App&, Context&) {}

}  // namespace vb::cli
