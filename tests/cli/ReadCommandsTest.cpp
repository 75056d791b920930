// The commands that read and print: `info` on each kind of file (the block its
// describer prints: a golden file with @FILE@ for the path, or its head when a
// part of the rest is named too), `table`, and `settings`.

#include <gtest/gtest.h>

#include <filesystem>

#include "base/Files.h"
#include "cli/RunCli.h"
#include "support/TestSupport.h"

namespace vb::cli {
namespace {

namespace fs = std::filesystem;
using namespace test;

TEST(InfoCommand, PrintsTheBlockOfEachKindOfFile) {
    ScratchDir dir;
    fs::copy_file(dataFile("cli/climb-catalyst-warmup.pgm"), dir / "c.PGM");
    // Control bytes in the tag and the trailer are printed as dots.
    const Bytes controls = patched(readAll(dir / "c.PGM"), {{0x4E, bytesOf({0x07})}, {0x50, bytesOf({0x7F})}});
    writeAll(dir / "controls.pgm", asText(controls));
    fs::copy_file(dataFile("cli/col.vlb"), dir / "col.VLB");
    // A .pgmf under a .pgm name is still a .pgmf (it would also read as a .pgm of 1000 sections).
    fs::copy_file(dataFile("thirdparty/pgmf/in_ES_Andalusia-1.pgmf"), dir / "andalusia.pgm");
    const struct {
        std::vector<fs::path> files;
        std::string golden;
        std::string part;
    } cases[] = {
        {{exampleFile("alpine-loop.hrm"), exampleFile("alpine-loop.tur")}, "info-alpine-loop.txt", ""},
        {{dataFile("tracks/stops.tcx")}, "info-stops.tcx.txt", ""},
        {{dataFile("run/slope.ca")}, "info-slope.ca.txt", ""},
        // A V2.0 run starts like a program file; its extension makes it a run.
        {{exampleFile("alpine-loop.caf")}, "", "\nformat: caf (V2.0 run)\nname: alpine-loop\n"},
        {{dir / "c.PGM"}, "info-climb.pgm.txt", ""},
        {{dir / "controls.pgm"}, "info-climb-controls.pgm.txt", ""},
        {{dataFile("thirdparty/pgmf/gc_warmup.pgmf")}, "info-gc_warmup.pgmf.txt", ""},
        {{dir / "andalusia.pgm"}, "",
         "format: pgmf (V2.0)\ntype: Slope (1)\nmode: Distance (1)\nname: ES_Andalusia-1\nsections: 1935\n"
         "length: 36208.4 m\nlowest slope: -1.4\nhighest slope: 16.2\n"},
        {{dir / "col.VLB"}, "info-col.vlb.txt", ""},
        {{dataFile("thirdparty/rlv/in_ES_Andalusia-1.rlv")}, "info-andalusia.rlv-head.txt",
         "\nframe 1066: 232100 0\ncourse entries: 3\ncourse 1: 0 36208.195 Total distance\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"info"};
        for (const auto& file : c.files) args.push_back(file.string());
        SCOPED_TRACE(args[1]);
        const auto r = runCli(args);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        EXPECT_NE(r.out.find(c.part), std::string::npos) << r.out;
        if (c.golden.empty()) continue;
        const auto expected = expectedText(c.golden, {{"@FILE@", args[1]}, {"@FILE2@", args.back()}});
        EXPECT_EQ(c.part.empty() ? r.out : r.out.substr(0, expected.size()), expected);
    }
}

TEST(InfoCommand, PrintsWarningsAndRefusalsOnStderr) {
    ScratchDir dir;
    const auto ra = dataFile("thirdparty/hrm/ra_11052801.hrm").string();
    auto r = runCli({"info", ra});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(linesStartWith(r.err, {"velobridge-cli: warning: " + ra + ": ", "velobridge-cli: " + ra + ": "}))
        << r.err;

    // A refused script still lists the lines read before the refusal; a .pgm that does not
    // read (it has no magic) is refused, not passed on, with the converter's labels.
    writeAll(dir / "fps.vlb", "vers=VLB_1.0\r\ntype=km/h\r\nfps#=24\r\nname=Col\r\nfram=0;25.0\r\n");
    writeAll(dir / "image.pgm", "P5\n1 1\n255\n\x01");
    for (const auto& [name, listed] : {std::pair{"fps.vlb", "FSCA(1) 0-0.25\nFRAME_INDEX : 1\n"},
                                      {"image.pgm", "converter: image.pgm (refused: "}}) {
        r = runCli({"info", (dir / name).string()});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.out.find(listed), std::string::npos) << r.out;
        EXPECT_TRUE(linesStartWith(r.err, {"velobridge-cli: " + (dir / name).string() + ": "})) << r.err;
    }
}

TEST(TableCommand, PrintsTheCellsAsStoredAndTheWarningsOnStderr) {
    auto r = runCli({"table", dataFile("import/climb.hrm").string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, asText(readAll(dataFile("import/climb.table"))));

    ScratchDir dir;
    const auto joined = (dir / "joined.hrm").string();
    writeAll(joined, "[Params]\nSMode=111000100\nInterval=5\n[HRData]\n1\t2\t3\t4\n[Params]\n5\t6\t7\t8\n");
    r = runCli({"table", joined});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "#\tSpeed\tAlt\n1\t2\t4\n");
    EXPECT_TRUE(linesStartWith(r.err, {"velobridge-cli: warning: " + joined + ": "})) << r.err;
}

TEST(TableCommand, SmoothAltitudeOption) {
    const std::string tcx = dataFile("tracks/stops.tcx").string();
    const auto plain = runCli({"table", tcx});
    const auto smooth = runCli({"table", tcx, "--smooth-altitude", "12.5"});
    EXPECT_EQ(smooth.status, 0);
    EXPECT_NE(smooth.out, plain.out);
    EXPECT_EQ(runCli({"table", tcx, "--smooth-altitude", "0"}).out, plain.out);
}

/// Points the home and configuration folders (HOME and XDG_CONFIG_HOME;
/// USERPROFILE and APPDATA on Windows) into a scratch folder for one test.
class Home {
public:
    Home() { fs::create_directories(defaultFile().parent_path()); }
    fs::path home() const { return m_dir / "home"; }
#ifdef _WIN32
    fs::path defaultFile() const { return m_dir / "config" / "Velobridge" / "velobridge.ini"; }
#else
    fs::path defaultFile() const { return m_dir / "config" / "velobridge.ini"; }
#endif

private:
    ScratchDir m_dir;
    ScopedEnv m_home{kHomeVariable, displayPath(m_dir / "home")};
#ifdef _WIN32
    ScopedEnv m_config{"APPDATA", displayPath(m_dir / "config")};
#else
    ScopedEnv m_config{"XDG_CONFIG_HOME", displayPath(m_dir / "config")};
#endif
};

TEST(SettingsCommand, PrintsTheSettingsInEffectAndTheirSource) {
    Home home;
    auto r = runCli({"settings"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, expectedText("settings-defaults.txt", {{"@CONFIG@", home.defaultFile().string()},
                                                                  {"@HOME@", (home.home() / "Velobridge").string()}}));

    // The platform's file is read when it exists.
    fs::copy_file(dataFile("cli/rides.ini"), home.defaultFile());
    r = runCli({"settings"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, expectedText("settings-rides.ini.txt", {{"@CONFIG@", home.defaultFile().string()}}));

    // --settings wins over it; another version is a warning.
    const auto other = (home.home().parent_path() / "other.ini").string();
    writeAll(other, "\"Version0.4a\"\r\n\"path=/elsewhere\"\r\n");
    r = runCli({"settings", "--settings", other});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.substr(0, r.out.find("my_path")), "source: " + other + "\nbase folder: /elsewhere\n");
    EXPECT_NE(r.out.find("\ncat_max_climb: 9\n"), std::string::npos) << "a short file keeps the defaults";
    EXPECT_TRUE(linesStartWith(r.err, {"velobridge-cli: warning: " + other + ": "})) << r.err;
}

}  // namespace
}  // namespace vb::cli
