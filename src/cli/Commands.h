#pragma once
// The pieces the subcommands share: the output streams, the exit status, the
// --settings option, and the one-line error and warning format.

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <CLI/CLI.hpp>

#include "app/Settings.h"
#include "base/Bytes.h"
#include "base/Prompter.h"
#include "import/RideRecord.h"

namespace vb::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;
inline constexpr int kExitUsage = 2;

struct Context {
    std::ostream& out;
    std::ostream& err;
    int status = kExitOk;
    std::string settingsFile;  // --settings; empty for the platform's default file
    std::vector<std::filesystem::path> inputs;   // files the command reads
    std::vector<std::filesystem::path> written;  // files the command has written
};

/// Whether `target` may be written: refused (one line, status 1) when it is
/// one of the command's inputs or a file the command already wrote.
bool mayWrite(Context& ctx, const std::filesystem::path& target);

/// Why rows `from`..`to` are no stretch of a ride whose rows are 0..`lastRow`
/// (one lies outside, or `from` is not below `to`); nullopt when they are.
std::optional<std::string> rowsProblem(int from, int to, int lastRow);

/// Whether `out` (an -o value) ends with a separator, which makes it a folder.
bool namesFolder(std::string_view out);

/// Prints text taken from files with its control characters escaped, line by
/// line; the line ends (and, with `keepTabs`, the tabs) the program wrote stay.
void printSafe(std::ostream& out, std::string_view text, bool keepTabs = false);

/// Prints "velobridge-cli: FILE: REASON" on stderr and returns kExitRefused.
int refuse(Context& ctx, const std::filesystem::path& file, std::string_view reason);
/// Prints "velobridge-cli: warning: FILE: TEXT" on stderr.
void warn(Context& ctx, const std::filesystem::path& file, std::string_view text);
/// Prints every message a reader showed, one warning line each.
void printShown(Context& ctx, const std::filesystem::path& file, const RecordingPrompter& prompter);

/// Adds --settings FILE to a subcommand.
void addSettingsOption(CLI::App& sub, Context& ctx);

/// The settings in effect: the --settings file, else the platform's default
/// file, else the defaults. Prints a one-line error and returns nullopt when
/// a settings file that exists cannot be read.
std::optional<Settings> loadSettings(Context& ctx);

/// Reads a ride file into `ride` (append question answered No). Prints the
/// reader's messages as warnings and, when the ride is refused or holds no
/// ride data, the refusal line; then sets ctx.status and returns false.
bool loadRideFile(Context& ctx, const std::filesystem::path& file, RideRecord& ride);

void addInfoCommand(CLI::App& app, Context& ctx);
void addTableCommand(CLI::App& app, Context& ctx);
void addProgramCommand(CLI::App& app, Context& ctx);
void addRlvCommand(CLI::App& app, Context& ctx);
void addSettingsCommand(CLI::App& app, Context& ctx);
void addProfileCommand(CLI::App& app, Context& ctx);
void addHrmCommand(CLI::App& app, Context& ctx);
void addConvertPgmCommand(CLI::App& app, Context& ctx);

/// Describers for `info`: each prints the block of a file of its kind and
/// returns the exit status, or returns nullopt when the file is not of its kind.
std::optional<int> describeRide(Context& ctx, const std::filesystem::path& file, const Bytes& data);
std::optional<int> describeProgram(Context& ctx, const std::filesystem::path& file, const Bytes& data);
std::optional<int> describeScript(Context& ctx, const std::filesystem::path& file, const Bytes& data);
std::optional<int> describeRlv(Context& ctx, const std::filesystem::path& file, const Bytes& data);
std::optional<int> describeRun(Context& ctx, const std::filesystem::path& file, const Bytes& data);
/// For a .pgm file, prints the converter's status and value labels as a
/// selection in its list shows them; other files print nothing.
void describeConversion(Context& ctx, const std::filesystem::path& file, const Bytes& data);

}  // namespace vb::cli
