#include "app/RlvScript.h"

#include <charconv>
#include <cmath>
#include <optional>

#include "app/DelimitedText.h"
#include "base/Files.h"
#include "base/Text.h"

namespace vb {

namespace {

constexpr std::size_t kKeyLength = 5;
constexpr std::size_t kMaxValueCharacters = 999;
constexpr std::size_t kMaxNameCharacters = 16;
constexpr double kMilesToKm = 1.609;

float perKmH(float reference) { return reference / 10.0f; }
float perMpH(float reference) { return static_cast<float>(perKmH(reference) / kMilesToKm); }

/// The filmed speed of the text after the semicolon: the digits with the point
/// dropped, read as one whole number and divided by 10 once per character
/// after the point. Nothing but digits and one point is accepted.
std::optional<float> filmedSpeed(std::string_view text) {
    const std::size_t point = text.find('.');
    std::string digits(text.substr(0, point));
    digits += text.substr(point + 1);
    if (digits.empty()) return std::nullopt;
    for (char c : digits)
        if (c < '0' || c > '9') return std::nullopt;
    double whole = 0.0;
    std::from_chars(digits.data(), digits.data() + digits.size(), whole);
    auto speed = static_cast<float>(whole);
    for (std::size_t i = point + 1; i < text.size(); ++i) speed /= 10.0f;
    if (!std::isfinite(speed)) return std::nullopt;
    return speed;
}

void addFrameError(RlvScript& script, std::int32_t n) {
    script.lines.push_back("FSCA(" + std::to_string(n) + ") Error in Script");
}

void handleItem(RlvScript& script, std::string_view item, float reference) {
    const std::string key = utf8Left(item, kKeyLength);
    const std::string value = utf8Left(item.substr(key.size()), kMaxValueCharacters);
    if (key == "vers=") {
        script.lines.push_back("VERSION : " + value);
        script.rlv_version = value;
    } else if (key == "type=") {
        script.lines.push_back("TYPE : " + value);
        script.rlv_type = value;
    } else if (key == "fps#=") {
        script.lines.push_back("FPS : " + value);
        script.rlv_fps = static_cast<float>(leadingNumber(value));
    } else if (key == "name=") {
        script.rlv_name = utf8Left(value, kMaxNameCharacters);
        script.lines.push_back("NAME : " + script.rlv_name);
    } else if (key == "fra#=") {
        script.lines.push_back("FRAMES : " + value);
        script.rlv_frame[0] = toInt32(leadingNumber(value)).value_or(0);
    } else if (key == "fram=") {
        // Lines past the table are counted, not stored, so that the script is refused.
        ++script.rlv_count;
        if (script.rlv_count <= kMaxFrameLines) Store_Frame_Line(script, script.rlv_count, value, reference);
    }
}

/// The first failed check's message, or an empty text when all pass.
std::string failedCheck(const RlvScript& script) {
    if (script.rlv_version != "VLB_1.0") return std::string(kMsgWrongVersion);
    if (script.rlv_type != "km/h" && script.rlv_type != "mp/h") return std::string(kMsgWrongType);
    if (script.rlv_count == 0) return std::string(kMsgNoSpeed);
    if (script.rlv_fps != 25.0f && script.rlv_fps != 30.0f) return std::string(kMsgWrongFps);
    if (script.rlv_count > kMaxFrameLines) return std::string(kMsgTooManyFrames);
    // The name names the video file on the trainer's Windows PC, in Windows-1252.
    const std::string problem = plainFileNameProblem(script.rlv_name);
    const bool plainRule = problem.find("control character") != std::string::npos ||
                           problem.find("device") != std::string::npos;
    if (plainRule) return "Wrong video name (" + problem + ")";
    if (!problem.empty()) return std::string(kMsgWrongName);
    if (!fitsCp1252(script.rlv_name)) return "Wrong video name (a character has no Windows-1252 code)";
    return {};
}

}  // namespace

float speedReferenceOf(std::string_view speedReferenz) {
    const auto reference = static_cast<float>(leadingNumber(speedReferenz));
    // The smallest reference in use (per mile) must still be a normal number.
    if (!std::isfinite(reference) || reference <= 0.0f || !std::isnormal(perMpH(reference))) return 0.0f;
    return reference;
}

void Store_Frame_Line(RlvScript& script, std::int32_t n, std::string_view value, float reference) {
    float r = reference;
    if (script.rlv_type == "km/h") {
        r = perKmH(r);
    } else if (script.rlv_type == "mp/h") {
        r = perMpH(r);
    } else {
        script.lines.emplace_back("Error in Script speedtype");
    }
    // p and d are positions from 1 as the script's author counts them; 0 for none.
    const std::size_t length = value.size();
    const std::size_t semicolon = value.find(';');
    const std::size_t p = semicolon == std::string_view::npos ? 0 : semicolon + 1;
    const std::size_t dot = value.find('.');
    const std::size_t d = dot == std::string_view::npos ? 0 : dot + 1;
    if (p >= length || p < 2 || d >= length || d <= p) return addFrameError(script, n);

    const auto frame = toInt32(std::floor(leadingNumber(value.substr(0, p - 1))));
    const auto speed = filmedSpeed(value.substr(p));
    if (!frame || !speed) return addFrameError(script, n);
    const float factor = *speed / r;
    if (!std::isfinite(factor)) return addFrameError(script, n);

    script.rlv_frame[static_cast<std::size_t>(n)] = *frame;
    script.rlv_factor[static_cast<std::size_t>(n)] = factor;
    script.lines.push_back("FSCA(" + std::to_string(n) + ") " + std::to_string(*frame) + "-" + shortestFloat(factor));
}

RlvScript Load_RLV_Script(std::span<const std::byte> bytes, std::string_view speedReferenz, Prompter& prompter) {
    RlvScript script;
    const float reference = speedReferenceOf(speedReferenz);
    if (reference == 0.0f) {
        prompter.showMessage(kTitleApp, kMsgWrongSpeedReferenz, MessageIcon::critical);
        return script;
    }
    const std::string text = fileTextToUtf8(asText(bytes));
    for (std::string_view line : textLines(text))
        for (const std::string& item : delimitedItems(line)) handleItem(script, item, reference);
    script.lines.push_back("FRAME_INDEX : " + std::to_string(script.rlv_count));

    const std::string failed = failedCheck(script);
    if (!failed.empty()) {
        prompter.showMessage(kTitleApp, failed, MessageIcon::critical);
        return script;
    }
    script.createEnabled = true;
    return script;
}

}  // namespace vb
