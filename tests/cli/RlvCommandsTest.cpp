#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "app/RlvFile.h"
#include "cli/RunCli.h"
#include "support/TestSupport.h"

namespace vb::cli {
namespace {

namespace fs = std::filesystem;

using test::runCli;

std::string settingsWithBase(const fs::path& base) {
    return "\"Version0.6a\"\r\n\"path=" + base.string() + "\"\r\n";
}

const std::string kScript = "vers=VLB_1.0\r\ntype=km/h\r\nfps#=25\r\nname=Col\r\nfra#=900\r\n"
                            "fram=0;25.0\r\nfram=300;36.0\r\nfram=600;12.5\r\n";

TEST(RlvCommands, WritesIntoTheRlvFolderOfTheSettingsInEffect) {
    test::ScratchDir dir;
    const auto ini = (dir / "my.ini").string();
    test::writeAll(ini, settingsWithBase(dir / "base"));
    const auto vlb = (dir / "col.vlb").string();
    test::writeAll(vlb, kScript);

    auto r = runCli({"rlv", vlb, "--settings", ini});
    const fs::path written = dir / "base" / "RLV" / "Col.rlv";
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "wrote: " + written.string() + "\nname: Col\nbytes: 1210\nframe entries: 3\n");
    auto rlv = readRlv(test::readAll(written));
    ASSERT_TRUE(rlv.ok());
    ASSERT_EQ(rlv->frames.size(), 3u);
    EXPECT_EQ(rlv->frames[1].frame, 300);
    EXPECT_EQ(rlv->frames[1].factor, 36.0f / 100.0f);
    EXPECT_EQ(rlv->videoName, "Col.avi");

    // -o names an existing folder or a file; the speed reference divides again.
    r = runCli({"rlv", vlb, "--speed-reference", "900", "-o", dir.path().string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readRlv(test::readAll(dir / "Col.rlv"))->frames[1].factor, 36.0f / 90.0f);
    r = runCli({"rlv", vlb, "-o", (dir / "other.rlv").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::readAll(dir / "other.rlv"), test::readAll(written));

    // A wrong frame line is a warning; the file is still written.
    test::writeAll(vlb, kScript + "fram=700;20\r\n");
    r = runCli({"rlv", vlb, "-o", dir.path().string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "velobridge-cli: warning: " + vlb + ": FSCA(4) Error in Script\n");
}

TEST(RlvCommands, RefusesWithOneLineAndWritesNothing) {
    test::ScratchDir dir;
    const auto vlb = (dir / "s.vlb").string();
    const auto out = dir.path().string();
    struct Case {
        std::string script;
        std::vector<std::string> extra;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {kScript, {"--speed-reference", "0"}, "Speed Referenz must be a number greater than 0"},
        {kScript, {"--speed-reference", "fast"}, "Speed Referenz must be a number greater than 0"},
        {"vers=VLB_2.0\r\n" + kScript.substr(14), {}, "Wrong version_ID"},
        {kScript + "name=../escape\r\n", {}, std::string(kMsgWrongName)},
        {kScript + "name=\r\n", {}, std::string(kMsgWrongName)},
    };
    for (const auto& c : cases) {
        test::writeAll(vlb, c.script);
        std::vector<std::string> args = {"rlv", vlb, "-o", out};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const auto r = runCli(args);
        EXPECT_EQ(r.status, 1) << c.reason;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "velobridge-cli: " + vlb + ": " + c.reason + "\n");
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1) << "only the script is there";
    EXPECT_FALSE(fs::exists(dir.path().parent_path() / "escape.rlv"));

    test::writeAll(vlb, kScript);
    auto r = runCli({"rlv", (dir / "absent.vlb").string(), "-o", out});
    EXPECT_EQ(r.status, 1);
    r = runCli({"rlv", vlb, "--settings", (dir / "absent.ini").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "velobridge-cli: " + (dir / "absent.ini").string() + ": no such settings file\n");
}

TEST(RlvCommands, InfoDescribesScriptsAndRlvFiles) {
    test::ScratchDir dir;
    const auto vlb = (dir / "col.VLB").string();
    test::writeAll(vlb, kScript);
    auto r = runCli({"info", vlb});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, test::expectedText("info-col.vlb.txt", {{"@FILE@", vlb}}));

    test::writeAll(vlb, "vers=VLB_1.0\r\ntype=km/h\r\nfps#=24\r\nname=Col\r\nfram=0;25.0\r\n");
    r = runCli({"info", vlb});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("FSCA(1) 0-0.25\nFRAME_INDEX : 1\n"), std::string::npos) << "list lines come first";
    EXPECT_EQ(r.err, "velobridge-cli: " + vlb + ": FPS Information is wrong. (25 or 30 fps)\n");

    const auto rlv = test::dataFile("thirdparty/rlv/in_ES_Andalusia-1.rlv").string();
    r = runCli({"info", rlv});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find("frame 2:")),
              test::expectedText("info-andalusia.rlv-head.txt", {{"@FILE@", rlv}}));
    EXPECT_NE(r.out.find("\nframe 1066: 232100 0\ncourse entries: 3\ncourse 1: 0 36208.195 Total distance\n"),
              std::string::npos);

    const auto cut = (dir / "cut.rlv").string();
    const Bytes whole = test::readAll(rlv);
    test::writeAll(cut, asText(std::span(whole).first(600)));
    r = runCli({"info", cut});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find("block 2 (2020)"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace vb::cli
