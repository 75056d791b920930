#include "app/RlvScript.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "support/TestSupport.h"

namespace vb {
namespace {

/// The script read with the "Speed Referenz" text `reference`, and the message it showed ("" for none).
std::pair<RlvScript, std::string> load(std::string_view text, std::string_view reference = "1000") {
    RecordingPrompter prompter;
    RlvScript script = Load_RLV_Script(toBytes(text), reference, prompter);
    EXPECT_LE(prompter.messages.size(), 1u);
    for (const auto& m : prompter.messages) EXPECT_TRUE(m.title == "Velobridge" && m.icon == MessageIcon::critical);
    return {script, prompter.messages.empty() ? "" : prompter.messages[0].text};
}

const std::string kHeader = "vers=VLB_1.0\r\ntype=km/h\r\nfps#=25\r\nname=Alpine Pass\r\nfra#=8000\r\n";
const std::string kNoName = "vers=VLB_1.0\ntype=km/h\nfps#=25\nfram=0;1.0\n";

TEST(RlvScript, ScriptsFillTheListLines) {
    // <name>.vlb gives the list lines of <name>.list and entry 0: the "fra#=" value, rounded to even.
    const std::pair<std::string, std::int32_t> cases[] = {
        {"alpine-pass", 8000},
        // Quoted items keep commas, a comma splits unquoted ones, keys are case-sensitive, the last of a
        // repeated key stands, names are cut to 16 characters, and Windows-1252 text arrives as UTF-8.
        {"delimited-items", 2},
        {"wrong-frame-lines", 8000},  // they only add list lines; blanks in a frame number are skipped
        {"late-speed-type", 0},       // a unit given after the frame lines leaves the reference undivided
        {"miles", 0},                 // 10 / (100 / 1.609)
    };
    for (const auto& [name, frames] : cases) {
        const auto [read, message] = load(asText(test::readAll(test::dataFile("app/" + name + ".vlb"))));
        std::string lines;
        for (const std::string& line : read.lines) lines += line + "\n";
        EXPECT_EQ(lines, asText(test::readAll(test::dataFile("app/" + name + ".list")))) << name;
        EXPECT_TRUE(read.createEnabled) << name;
        EXPECT_EQ(message, "") << name;
        EXPECT_EQ(read.rlv_frame[0], frames) << name;
        if (name != "wrong-frame-lines") continue;
        for (std::size_t n = 1; n <= 7; ++n) EXPECT_TRUE(read.rlv_frame[n] == 0 && read.rlv_factor[n] == 0.0f) << n;
    }
    // The reference, per 10 km/h, is the leading number of the box's text; a UTF-8 script reads as such.
    EXPECT_EQ(load(kHeader + "fram=0;36.0\n", "900").first.rlv_factor[1], 36.0f / 90.0f);
    EXPECT_EQ(load(kHeader + "fram=0;36.0\n", " 9 00x").first.rlv_factor[1], 36.0f / 90.0f);
    EXPECT_EQ(load(kNoName + "name=Gr\xC3\xB6\xC3\x9F" "e\n").first.rlv_name, "Gr\xC3\xB6\xC3\x9F" "e");
}

TEST(RlvScript, ChecksRunInOrderAndStopAtTheFirstFailure) {
    std::string many = kHeader;
    for (int n = 0; n <= kMaxFrameLines; ++n) many += "fram=" + std::to_string(n * 10) + ";20.0\n";
    const std::string control = "Wrong video name (the name holds a control character)",
                      references(kMsgWrongSpeedReferenz);
    std::vector<std::tuple<std::string, std::string, std::string>> cases = {
        {kNoName + "name=a\n", "1000", ""},
        {"type=km/h\nfps#=25\nname=a\nfram=0;1.0\n", "1000", "Wrong version_ID"},
        {"vers=VLB_1.0\ntype=kmh\nfps#=12\n", "1000", "Wrong type_ID (must be km/h or mp/h)"},
        {"vers=VLB_1.0\ntype=mp/h\nfps#=12\nname=a\n", "1000", "No Video Speed Found"},
        {"vers=VLB_1.0\ntype=km/h\nfps#=24\nname=a\nfram=0;1.0\n", "1000", "FPS Information is wrong. (25 or 30 fps)"},
        {"vers=VLB_1.0\ntype=km/h\nfps#=25.5\nname=a\nfram=0;1.0\n", "1000", "FPS Information is wrong. (25 or 30 fps)"},
        {many, "1000", std::string(kMsgTooManyFrames)},
        {many.substr(0, many.rfind("fram=")), "1000", ""},  // 4096 frame lines are fine
        {kNoName + "name=tab\there\n", "1000", control},
        {kNoName + "name=Tour\x81\n", "1000", control},  // Windows-1252 script
        {kNoName + "name=Con.x\n", "1000",
         "Wrong video name (the name is that of a device on Windows (CON, PRN, AUX, NUL, COM1, LPT1, ...))"},
        {kNoName + "name=Tour \xE2\x86\x92 B\n", "1000", "Wrong video name (a character has no Windows-1252 code)"},
    };
    for (const char* name : {"", "name=a/b", "name=..\\evil", "name=.", "name=..", "name=c:x", "name=a*b", "name=\"q"})
        cases.emplace_back(kNoName + name + "\n", "1000", std::string(kMsgWrongName));
    // A reference that is no number above 0, or too small or too large to divide by.
    for (const char* reference : {"0", "abc", "", "-1000", "0.0000000000000000000000000000000000000000001",
                                  "99999999999999999999999999999999999999999"})
        cases.emplace_back(kNoName + "name=a\n", reference, references);
    for (const auto& [script, reference, message] : cases) {
        SCOPED_TRACE(script.substr(0, 80) + " / " + reference);
        const auto [read, shown] = load(script, reference);
        EXPECT_EQ(shown, message);
        EXPECT_EQ(read.createEnabled, message.empty());
        // Nothing is read under a refused reference; otherwise the list is filled all the same.
        EXPECT_EQ(read.lines.empty() ? "" : read.lines.back(),
                  message == references ? "" : "FRAME_INDEX : " + std::to_string(read.rlv_count));
    }
}

}  // namespace
}  // namespace vb
