// What the commands refuse: status 1, nothing on stdout, one line on stderr
// ("velobridge-cli: FILE: REASON", the reason checked where the command line
// words it), no file written; wrong usage: status 2; file text escaped.

#include <gtest/gtest.h>

#include <filesystem>

#include "base/Files.h"
#include "cli/RunCli.h"
#include "support/TestSupport.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace vb::cli {
namespace {

namespace fs = std::filesystem;
using namespace test;

TEST(Refusals, OneLineOnStderrAndNothingWritten) {
    ScratchDir dir;
    const auto ride = exampleFile("alpine-loop.hrm").string();
    const auto out = (dir / "out").string();
    const auto file = [&](const char* name) { return (dir / name).string(); };
    writeAll(dir / "bad.ca", asText(patched(readAll(dataFile("run/slope.ca")), {{40, bytesOf({7})}})));
    writeAll(dir / "cut.rlv", asText(patched(readAll(dataFile("thirdparty/rlv/in_ES_Andalusia-1.rlv")), {}, 600)));
    writeAll(dir / "notes.txt", "[params]\n");
    // A sparse file beyond the ride limit that starts like a ride, and a larger one that is no ride.
    writeAll(dir / "huge.hrm", "[Params]\r\n");
    fs::resize_file(dir / "huge.hrm", kRideFileMax + 1);
    writeAll(dir / "other.bin", "nothing we know");
    fs::resize_file(dir / "other.bin", std::uint64_t{2} << 30);
#ifndef _WIN32
    ASSERT_EQ(::mkfifo(file("fifo.hrm").c_str(), 0600), 0);
#endif
    const struct {
        std::vector<std::string> args;
        std::string reason;  // empty where a reader or the file layer words it
    } cases[] = {
        {{"info", file("bad.ca")}, ""},
        {{"info", file("cut.rlv")}, ""},
        {{"info", dataFile("thirdparty/gpx/gx_route.gpx").string()}, ""},
        {{"info", file("other.bin")}, "not a ride, program, run, RLV script or RLV file"},
#ifndef _WIN32
        {{"info", file("fifo.hrm")}, "is a FIFO"},
#endif
        {{"table", file("huge.hrm")}, "more than the limit of 64 MiB"},
        {{"table", file("notes.txt")}, "not a ride file (neither HRM, HAC4, FIT, GPX nor TCX)"},
        {{"program", ride, "--to", "1161"}, "--to 1161 lies outside the rows 0..1160"},
        {{"program", dataFile("cli/empty.hrm").string()}, "the ride holds no samples"},
        {{"program", dataFile("cli/standing.hrm").string()}, ""},
        {{"program", ride, "--name", "../escape"}, "Incorrect Filename!!!: "},  // its two lines joined
        {{"program", ride, "--resample-15"}, "--resample-15 needs an HRM ride recorded at 60 seconds"},
        {{"program", ride, "--settings", file("absent.ini")}, "no such settings file"},
        {{"profile", ride, "--from", "1160"}, "--from 1160 must lie before --to 1160 (the rows 0..1160)"},
        {{"profile", ride, "--from", "-1"}, "--from -1 lies outside the rows 0..1160"},
        {{"profile", dataFile("cli/empty.hrm").string()}, "the ride holds no samples"},
        {{"rlv", dataFile("cli/col.vlb").string(), "--speed-reference", "0"}, ""},
        {{"rlv", file("absent.vlb")}, ""},
        {{"settings", "--settings", file("absent.ini")}, "no such settings file"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        if (args[0] == "program") args.insert(args.end(), {"--target", "catalyst", "-o", out});
        if (args[0] == "profile") args.insert(args.end(), {"--svg", out});
        if (args[0] == "rlv") args.insert(args.end(), {"-o", out});
        SCOPED_TRACE(::testing::PrintToString(args));
        const auto r = runCli(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(linesStartWith(r.err, {"velobridge-cli: "})) << r.err;
        EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(out));
#ifndef _WIN32
    EXPECT_TRUE(fs::is_fifo(dir / "fifo.hrm"));
#endif
}

TEST(Refusals, WrongUsageIsStatus2) {
    const auto ride = exampleFile("alpine-loop.hrm").string();
    const std::vector<std::vector<std::string>> cases = {
        {}, {"table"}, {"profile", ride}, {"profile", ride, "--svg", "p.svg", "--from", "two"},
        {"program", ride}, {"program", ride, "--target", "tacx"}, {"program", ride, "--target", "fortius", "--to", "x"},
        {"table", ride, "--smooth-altitude", "-5"}, {"table", ride, "--smooth-altitude", "abc"},
    };
    for (const auto& args : cases) {
        const auto r = runCli(args);
        EXPECT_EQ(r.status, 2) << ::testing::PrintToString(args);
        EXPECT_NE(r.err, "");
    }
    EXPECT_EQ(runCli({"--version"}).status, 0);
}

TEST(Refusals, OutputsThatAreInputsOrWrittenBeforeAreNotWritten) {
    ScratchDir dir;
    const auto hrm = (dir / "ride.hrm").string();
    fs::copy_file(exampleFile("alpine-loop.hrm"), hrm);
    const auto vlb = (dir / "s.vlb").string();
    fs::copy_file(exampleFile("alpine-loop.vlb"), vlb);
    fs::copy_file(exampleFile("alpine-loop.ca"), dir / "alpine-loop.ca");
    fs::copy_file(exampleFile("alpine-loop.pgm"), dir / "two.pgm");  // stores the same name
    const auto out = (dir / "out").string();
    const std::vector<std::vector<std::string>> cases = {
        {"program", hrm, "--target", "catalyst", "-o", (dir / "." / "ride.hrm").string()},
        {"rlv", vlb, "-o", vlb},
        {"profile", hrm, "--svg", hrm},
        {"hrm", exampleFile("alpine-loop.ca").string(), (dir / "alpine-loop.ca").string(), "-o", out},
        {"convert-pgm", exampleFile("alpine-loop.pgm").string(), (dir / "two.pgm").string(), "-o", out},
    };
    for (const auto& args : cases) {
        const auto r = runCli(args);
        EXPECT_EQ(r.status, 1) << args[0];
        EXPECT_TRUE(linesStartWith(r.err, {"velobridge-cli: "})) << r.err;
    }
    EXPECT_EQ(readAll(hrm), readAll(exampleFile("alpine-loop.hrm")));
    EXPECT_EQ(readAll(vlb), readAll(exampleFile("alpine-loop.vlb")));
    EXPECT_EQ(std::distance(fs::directory_iterator(out), {}), 2) << "one HRM file, one program";
}

TEST(Refusals, ControlCharactersFromFilesArePrintedEscaped) {
    ScratchDir dir;
    const auto ini = (dir / "s.ini").string();
    writeAll(ini, "\"Version0.6a\"\r\n\"path=C:\\rides\x1b[2J\xC2\x9B" "31m\"\r\n");
    const auto r = runCli({"settings", "--settings", ini});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("my_path: C:\\rides\\x1B[2J\\u009B31m\n"), std::string::npos) << r.out;
#ifdef _WIN32
    GTEST_SKIP() << "Windows file names cannot hold control characters";
#endif
    const auto vlb = (dir / "s\x07.vlb").string();
    writeAll(vlb, "name=bell\x07\r\n");
    const auto info = runCli({"info", vlb});
    EXPECT_NE(info.out.find("name: bell\\x07\n"), std::string::npos) << info.out;
    EXPECT_NE(info.err.find("s\\x07.vlb"), std::string::npos) << info.err;
    EXPECT_EQ(info.out.find('\x07'), std::string::npos);
}

}  // namespace
}  // namespace vb::cli
