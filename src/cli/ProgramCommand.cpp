// `info` for program files and the `program` command. (Being built.)
#include "cli/Commands.h"

namespace vb::cli {

std::optional<int> describeProgram(Context&, const std::filesystem::path&, const Bytes&) { return std::nullopt; }

void addProgramCommand(CLI::App&, Context&) {}

}  // namespace vb::cli
