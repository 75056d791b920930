#pragma once
// Runs velobridge-cli in-process with captured output, for the command tests,
// and reads the expected texts kept under tests/data/cli.

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli/Cli.h"
#include "support/TestSupport.h"

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

/// The text of tests/data/cli/`name` with each `@KEY@` of `values` replaced.
inline std::string expectedText(std::string_view name, const std::vector<std::pair<std::string, std::string>>& values) {
    std::string text(asText(readAll(dataFile("cli/" + std::string(name)))));
    for (const auto& [key, value] : values)
        for (auto at = text.find(key); at != std::string::npos; at = text.find(key, at + value.size()))
            text.replace(at, key.size(), value);
    return text;
}

}  // namespace vb::test
