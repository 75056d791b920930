#pragma once
// The settings file: 18 lines of delimited values in Windows-1252, each ended
// by CR LF. Line 1 is the program version (checked, never stored), line 2
// "path=" + `my_path`, then the five folders, the six route limits, the two
// check boxes (0 or 1), the meter/feet pair (#TRUE#/#FALSE#) and `base_setting`;
// a 19th line holds the altitude smoothing width, which readers of 18 lines
// ignore. A file that ends early keeps the defaults for the lines it lacks
// (a file of 18 lines smooths nothing).

#include <filesystem>
#include <optional>
#include <span>
#include <utility>
#include <string_view>

#include "app/Settings.h"
#include "base/Bytes.h"
#include "base/Prompter.h"
#include "base/Result.h"

namespace vb {

/// Number of lines of a settings file: 18, and the optional smoothing line.
inline constexpr int kSettingsLines = 19;
/// Message shown when line 1 is not of a known version.
inline constexpr std::string_view kWrongSettingsFile = "Wrong Velobridge.ini File";

/// Where a platform keeps the settings file.
struct SettingsLocation {
    /// A file without fallback converts implicitly, as `--settings FILE` gives one.
    SettingsLocation(std::filesystem::path file_ = {}, std::filesystem::path fallback_ = {})
        : file(std::move(file_)), fallback(std::move(fallback_)) {}

    std::filesystem::path file;      ///< read, and written back at shut-down
    std::filesystem::path fallback;  ///< read when `file` does not exist; empty for none
};

/// The settings file of this platform. Windows: %APPDATA%\Velobridge\velobridge.ini,
/// falling back to c:\velobridge.ini (where older versions kept it; a standard
/// user cannot write there). Elsewhere: velobridge.ini in $XDG_CONFIG_HOME
/// (when absolute), or in ~/.config, without fallback.
SettingsLocation settingsLocation(const Environment& env);

/// The file the settings are read from: `file` when it exists, else
/// `fallback` when that exists, else `file`.
std::filesystem::path settingsFileToRead(const SettingsLocation& location);

/// The settings file of this process: settingsLocation(processEnvironment).
SettingsLocation defaultSettingsLocation();

/// True when the first line's value, without its last character, is
/// "Version0.5" or "Version0.6".
bool isKnownSettingsVersion(std::string_view firstValue);

/// Reads the settings from the bytes of a settings file. Never fails: a line
/// that is missing or holds an unreadable value keeps its default. A first line
/// of another version shows kWrongSettingsFile (title "Velobridge") and reading
/// goes on.
Settings readSettings(std::span<const std::byte> data, Prompter& prompter);

/// The 19 lines of the settings file for `settings`.
Bytes writeSettings(const Settings& settings);

/// Reads the settings file at `path`: nullopt when no file of that name exists,
/// an error naming the path when it exists but cannot be read.
Result<std::optional<Settings>> loadSettingsFile(const std::filesystem::path& path, Prompter& prompter);

/// Writes the settings file through the safe replace: on failure the previous
/// file stays as it was and the error names the path and the reason.
Result<void> saveSettingsFile(const std::filesystem::path& path, const Settings& settings);

}  // namespace vb
