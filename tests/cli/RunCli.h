#pragma once
// Runs velobridge-cli in-process with captured output, for the command tests,
// and reads the expected texts kept under tests/data/cli.

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/SettingsFile.h"
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

/// Whether `text` holds one line for each of `starts`, each beginning with it.
inline bool linesStartWith(const std::string& text, const std::vector<std::string>& starts) {
    std::istringstream in(text);
    std::size_t n = 0;
    for (std::string line; std::getline(in, line); ++n)
        if (n >= starts.size() || line.rfind(starts[n], 0) != 0) return false;
    return n == starts.size() && (text.empty() || text.back() == '\n');
}

/// Writes the settings file `file` with the base folder `base`, the warm-up box
/// and the base altitude, through the settings writer; returns its path.
inline std::string saveSettings(const std::filesystem::path& file, const std::filesystem::path& base, int warmup = 0,
                                std::string baseAltitude = "0") {
    Settings s;
    s.my_path = base.string();
    s.add_warmup = warmup;
    s.base_setting = std::move(baseAltitude);
    writeAll(file, asText(writeSettings(s)));
    return file.string();
}

}  // namespace vb::test
