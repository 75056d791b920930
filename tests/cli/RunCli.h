#pragma once
// Runs velobridge-cli in-process with captured output, for the command tests.

#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"

namespace vb::test {

struct CliRun {
    int status = 0;
    std::string out;
    std::string err;
};

/// Runs the command line with `args` (without the program name).
inline CliRun runCli(std::vector<std::string> args) {
    args.insert(args.begin(), "velobridge-cli");
    std::vector<const char*> argv;
    for (const auto& a : args) argv.push_back(a.c_str());
    std::ostringstream out, err;
    const int status = cli::run(static_cast<int>(argv.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
}

}  // namespace vb::test
