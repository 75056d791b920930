#include "app/SettingsFile.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "app/DelimitedText.h"
#include "base/Files.h"
#include "base/Text.h"

namespace vb {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxPathCharacters = 999;
constexpr std::string_view kTrue = "#TRUE#";
constexpr std::string_view kFalse = "#FALSE#";

/// The text from the character after the first `count` characters on.
std::string dropCharacters(std::string_view utf8, std::size_t count) {
    return std::string(utf8.substr(utf8Left(utf8, count).size()));
}

void readCheckBox(const std::string& value, int& target) {
    const double number = roundHalfEven(leadingNumber(value));
    if (number == 0.0 || number == 1.0) target = static_cast<int>(number);
}

bool readTruth(const std::string& value, bool fallback) {
    if (value == kTrue) return true;
    if (value == kFalse) return false;
    return fallback;
}

/// The text fields of lines 3 to 13, in file order.
std::vector<std::string Settings::*> textFields() {
    return {&Settings::hrm_path,       &Settings::pgm_path,      &Settings::ca_path,
            &Settings::pgmf_path,      &Settings::caf_path,      &Settings::cat_max_climb,
            &Settings::cat_max_down,   &Settings::cat_dist_step, &Settings::fort_max_climb,
            &Settings::fort_max_down,  &Settings::fort_dist_step};
}

std::string quotedText(std::string_view utf8) {
    std::string out(1, '"');
    out += utf8;
    out += '"';
    return out;
}

}  // namespace

fs::path defaultSettingsFile() {
#ifdef _WIN32
    return fs::path("c:\\velobridge.ini");
#else
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && *config == '/') return fs::path(config) / "velobridge.ini";
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') return fs::path(home) / ".config" / "velobridge.ini";
    return fs::path(".config") / "velobridge.ini";
#endif
}

bool isKnownSettingsVersion(std::string_view firstValue) {
    const std::size_t length = utf8Length(firstValue);
    const std::string rest = length == 0 ? std::string() : utf8Left(firstValue, length - 1);
    return rest == "Version0.5" || rest == "Version0.6";
}

Settings readSettings(std::span<const std::byte> data, Prompter& prompter) {
    Settings settings;
    const std::string text = fileTextToUtf8(asText(data));
    const auto lines = textLines(text);
    std::vector<std::string> values;
    for (std::size_t i = 0; i < lines.size() && i < kSettingsLines; ++i) values.push_back(firstItem(lines[i]));
    const auto has = [&](int line) { return static_cast<std::size_t>(line) <= values.size(); };
    const auto value = [&](int line) -> const std::string& { return values[static_cast<std::size_t>(line - 1)]; };

    if (has(1) && !isKnownSettingsVersion(value(1)))
        prompter.showMessage(kTitleApp, kWrongSettingsFile, MessageIcon::critical);
    if (has(2)) settings.my_path = utf8Left(dropCharacters(value(2), 5), kMaxPathCharacters);
    const auto texts = textFields();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const int line = static_cast<int>(i) + 3;
        if (has(line)) settings.*texts[i] = value(line);
    }
    if (has(14)) readCheckBox(value(14), settings.add_warmup);
    if (has(15)) readCheckBox(value(15), settings.join_slopes);
    // "meter" and "feet" are one option group: choosing one clears the other.
    if (has(16)) {
        settings.unit_meter = readTruth(value(16), settings.unit_meter);
        if (settings.unit_meter) settings.unit_feet = false;
    }
    if (has(17)) {
        settings.unit_feet = readTruth(value(17), settings.unit_feet);
        if (settings.unit_feet) settings.unit_meter = false;
    }
    if (has(18)) settings.base_setting = value(18);
    return settings;
}

Bytes writeSettings(const Settings& settings) {
    std::vector<std::string> lines;
    lines.push_back(quotedText(ProgramVersion));
    lines.push_back(quotedText("path=" + settings.my_path));
    for (auto field : textFields()) lines.push_back(quotedText(settings.*field));
    lines.push_back(std::to_string(settings.add_warmup));
    lines.push_back(std::to_string(settings.join_slopes));
    lines.emplace_back(settings.unit_meter ? kTrue : kFalse);
    lines.emplace_back(settings.unit_feet ? kTrue : kFalse);
    lines.push_back(quotedText(settings.base_setting));
    std::string out;
    for (const auto& line : lines) out += line + "\r\n";
    // Windows-1252 as ever, unless a path holds a character it has no code
    // for (or its codes would read as UTF-8): then UTF-8, so no path is changed.
    const std::string cp1252 = utf8ToCp1252(out);
    return toBytes(!isUtf8(out) || fileTextToUtf8(cp1252) == out ? cp1252 : out);
}

Result<std::optional<Settings>> loadSettingsFile(const fs::path& path, Prompter& prompter) {
    std::error_code ec;
    if (!fs::exists(path, ec)) {
        if (ec && ec != std::errc::no_such_file_or_directory)
            return makeError(ErrorCode::io, "cannot read " + displayPath(path) + ": " + ec.message());
        return std::optional<Settings>();
    }
    auto data = readFile(path, kSettingsFileMax);
    if (!data) return data.error();
    return std::optional<Settings>(readSettings(*data, prompter));
}

Result<void> saveSettingsFile(const fs::path& path, const Settings& settings) {
    // The configuration folder need not exist yet on a new machine; without
    // it every close would lose the settings.
    return saveFile(path, writeSettings(settings));
}

}  // namespace vb
