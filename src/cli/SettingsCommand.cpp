// The `settings` command and the settings every command reads. (Being built.)
#include "cli/Commands.h"

namespace vb::cli {

std::optional<Settings> loadSettings(Context&) { return Settings{}; }

void addSettingsCommand(CLI::App&, Context&) {}

}  // namespace vb::cli
