#include "app/RlvScript.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "support/TestSupport.h"

namespace vb {
namespace {

struct Read {
    RlvScript script;
    RecordingPrompter prompter;
    std::string message() const { return prompter.messages.empty() ? "" : prompter.messages.back().text; }
};

Read load(std::string_view text, std::string_view reference = "1000") {
    Read read;
    read.script = Load_RLV_Script(toBytes(text), reference, read.prompter);
    EXPECT_LE(read.prompter.messages.size(), 1u);
    return read;
}

const std::string kHeader = "vers=VLB_1.0\r\ntype=km/h\r\nfps#=25\r\nname=Alpine Pass\r\nfra#=8000\r\n";
const std::string kNoName = "vers=VLB_1.0\ntype=km/h\nfps#=25\nfram=0;1.0\n";

TEST(RlvScript, ScriptsFillTheListLines) {
    struct Case {
        std::string script, golden;
        std::int32_t frames;  // entry 0: the "fra#=" value, rounded to even
    };
    const Case cases[] = {
        {std::string(asText(test::readAll(test::dataFile("app/alpine-pass.vlb")))), "alpine-pass", 8000},
        // Quoted items keep commas, a comma splits unquoted ones, keys are case-sensitive, the last of a
        // repeated key stands, names are cut to 16 characters, and Windows-1252 text arrives as UTF-8.
        {"  vers=VLB_0.9\nvers=VLB_1.0\ntype=km/h, fps#=30\n\"name=Col de la Croix\xE9, Nord\"\n"
         "NAME=ignored\nfra#=2.5\nfram=10;20.0,fram=20;40.0\n",
         "delimited-items", 2},
        // Wrong frame lines only add list lines; blanks in a frame number are skipped.
        {kHeader + "fram=100;25\nfram=100;25.\nfram=;25.0\nfram=1.5;25.0\nfram=100;2x.5\nfram=100\n"
                   "fram=99999999999;1.0\nfram=1 2;50.0\n",
         "wrong-frame-lines", 8000},
        // A unit given after the frame lines leaves the reference undivided.
        {"vers=VLB_1.0\nfps#=25\nname=l\nfram=0;25.0\nfram=9;50.0\ntype=km/h\n", "late-speed-type", 0},
        {"vers=VLB_1.0\ntype=mp/h\nfps#=25\nname=m\nfram=0;10.0\n", "miles", 0},  // 10 / (100 / 1.609)
    };
    for (const auto& [script, golden, frames] : cases) {
        const Read read = load(script);
        std::string lines;
        for (const std::string& line : read.script.lines) lines += line + "\n";
        EXPECT_EQ(lines, asText(test::readAll(test::dataFile("app/" + golden + ".list")))) << golden;
        EXPECT_TRUE(read.script.createEnabled) << golden;
        EXPECT_EQ(read.message(), "") << golden;
        EXPECT_EQ(read.script.rlv_frame[0], frames) << golden;
    }
    const RlvScript wrong = load(cases[2].script).script;  // a wrong frame line leaves its entry at 0
    for (std::size_t n = 1; n <= 7; ++n) EXPECT_TRUE(wrong.rlv_frame[n] == 0 && wrong.rlv_factor[n] == 0.0f) << n;
    // The reference, per 10 km/h, is the leading number of the box's text; a UTF-8 script reads as such.
    EXPECT_EQ(load(kHeader + "fram=0;36.0\n", "900").script.rlv_factor[1], 36.0f / 90.0f);
    EXPECT_EQ(load(kHeader + "fram=0;36.0\n", " 9 00x").script.rlv_factor[1], 36.0f / 90.0f);
    EXPECT_EQ(load(kNoName + "name=Gr\xC3\xB6\xC3\x9F" "e\n").script.rlv_name, "Gr\xC3\xB6\xC3\x9F" "e");
}

TEST(RlvScript, ChecksRunInOrderAndStopAtTheFirstFailure) {
    const std::string& head = kNoName;
    std::string many = kHeader;
    for (int n = 0; n <= kMaxFrameLines; ++n) many += "fram=" + std::to_string(n * 10) + ";20.0\n";
    const std::string device = "Wrong video name (the name is that of a device on Windows (CON, PRN, AUX, NUL, "
                               "COM1, LPT1, ...))";
    const std::string control = "Wrong video name (the name holds a control character)";
    const std::string wrong(kMsgWrongName), references(kMsgWrongSpeedReferenz);
    const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
        {head + "name=a\n", "1000", ""},
        {"type=km/h\nfps#=25\nname=a\nfram=0;1.0\n", "1000", "Wrong version_ID"},
        {"vers=VLB_1.0\ntype=kmh\nfps#=12\n", "1000", "Wrong type_ID (must be km/h or mp/h)"},
        {"vers=VLB_1.0\ntype=mp/h\nfps#=12\nname=a\n", "1000", "No Video Speed Found"},
        {"vers=VLB_1.0\ntype=km/h\nfps#=24\nname=a\nfram=0;1.0\n", "1000", "FPS Information is wrong. (25 or 30 fps)"},
        {"vers=VLB_1.0\ntype=km/h\nfps#=25.5\nname=a\nfram=0;1.0\n", "1000", "FPS Information is wrong. (25 or 30 fps)"},
        {many, "1000", std::string(kMsgTooManyFrames)},
        {many.substr(0, many.rfind("fram=")), "1000", ""},  // 4096 frame lines are fine
        {head, "1000", wrong},
        {head + "name=a/b\n", "1000", wrong},
        {head + "name=..\\evil\n", "1000", wrong},
        {head + "name=.\n", "1000", wrong},
        {head + "name=..\n", "1000", wrong},
        {head + "name=c:x\n", "1000", wrong},
        {head + "name=a*b\n", "1000", wrong},
        {head + "name=\"q\n", "1000", wrong},
        {head + "name=tab\there\n", "1000", control},
        {head + "name=Tour\x81\n", "1000", control},  // Windows-1252 script
        {head + "name=Con.x\n", "1000", device},
        {head + "name=Tour \xE2\x86\x92 B\n", "1000", "Wrong video name (a character has no Windows-1252 code)"},
        {head + "name=a\n", "0", references},  // a reference that is no number above 0, or too small or large
        {head + "name=a\n", "abc", references},
        {head + "name=a\n", "", references},
        {head + "name=a\n", "-1000", references},
        {head + "name=a\n", "0.0000000000000000000000000000000000000000001", references},
        {head + "name=a\n", "99999999999999999999999999999999999999999", references},
    };
    for (const auto& [script, reference, message] : cases) {
        SCOPED_TRACE(script.substr(0, 80) + " / " + reference);
        const Read read = load(script, reference);
        EXPECT_EQ(read.message(), message);
        EXPECT_EQ(read.script.createEnabled, message.empty());
        if (message == references) {
            EXPECT_TRUE(read.script.lines.empty()) << "nothing is read";
        } else {
            EXPECT_EQ(read.script.lines.back(), "FRAME_INDEX : " + std::to_string(read.script.rlv_count));
        }
        EXPECT_TRUE(message.empty() || read.prompter.messages[0].icon == MessageIcon::critical);
    }
}

}  // namespace
}  // namespace vb
