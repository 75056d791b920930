// The command line against special files, huge files, outputs that are
// inputs or were written before, rows that are no stretch, and file text
// holding control characters: one line on stderr, exit status 1, no file lost.

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

std::string ride() { return exampleFile("alpine-loop.hrm").string(); }

std::size_t lines(const std::string& text) { return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')); }

#ifndef _WIN32
TEST(HostileInput, SpecialAndHugeFilesAreRefusedWithoutBlockingOrReading) {
    ScratchDir dir;
    const auto fifo = (dir / "fifo.hrm").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // A sparse file beyond the ride limit that starts like a ride, and one that is no ride.
    const auto huge = (dir / "huge.hrm").string();
    writeAll(huge, "[Params]\r\n");
    fs::resize_file(huge, kRideFileMax + 1);
    const auto other = (dir / "other.bin").string();
    writeAll(other, "nothing we know");
    fs::resize_file(other, std::uint64_t{2} << 30);
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"info", fifo}, "is a FIFO"},
        {{"settings", "--settings", fifo}, "is a FIFO"},
        {{"rlv", exampleFile("alpine-loop.vlb").string(), "-o", fifo}, "not a regular file"},
        {{"table", huge}, "more than the limit of 64 MiB"},
        {{"info", other}, "not a ride, program, run, RLV script or RLV file"},
        {{"convert-pgm", dir.path().string(), "-o", (dir / "out").string()}, "is a folder"},
    };
    for (const auto& [args, reason] : cases) {
        const auto r = runCli(args);
        EXPECT_EQ(r.status, 1) << args[0];
        EXPECT_EQ(lines(r.err), 1u) << r.err;
        EXPECT_NE(r.err.find(reason), std::string::npos) << r.err;
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
}
#endif

TEST(HostileInput, OutputsThatAreInputsOrWrittenBeforeAreNotWritten) {
    ScratchDir dir;
    const auto hrm = (dir / "ride.hrm").string();
    fs::copy_file(ride(), hrm);
    const auto vlb = (dir / "s.vlb").string();
    fs::copy_file(exampleFile("alpine-loop.vlb"), vlb);
    fs::create_directories(dir / "a");
    fs::create_directories(dir / "b");
    fs::copy_file(exampleFile("alpine-loop.ca"), dir / "a" / "x.ca");
    fs::copy_file(exampleFile("alpine-loop.ca"), dir / "b" / "x.ca");
    fs::copy_file(exampleFile("alpine-loop.pgm"), dir / "one.pgm");
    fs::copy_file(exampleFile("alpine-loop.pgm"), dir / "two.pgm");  // stores the same name
    const auto out = (dir / "out").string();
    const std::vector<std::vector<std::string>> cases = {
        {"program", hrm, "--target", "catalyst", "-o", hrm},
        {"program", hrm, "--target", "catalyst", "-o", (dir / "." / "ride.hrm").string()},
        {"rlv", vlb, "-o", vlb},
        {"profile", hrm, "--svg", hrm},
        {"hrm", (dir / "a" / "x.ca").string(), (dir / "b" / "x.ca").string(), "-o", out},
        {"convert-pgm", (dir / "one.pgm").string(), (dir / "two.pgm").string(), "-o", out},
    };
    for (const auto& args : cases) {
        const auto r = runCli(args);
        EXPECT_EQ(r.status, 1) << args[0];
        EXPECT_EQ(lines(r.err), 1u) << r.err;
    }
    EXPECT_EQ(readAll(hrm), readAll(ride()));
    EXPECT_EQ(readAll(vlb), readAll(exampleFile("alpine-loop.vlb")));
    EXPECT_EQ(std::distance(fs::directory_iterator(out), {}), 2) << "one HRM file, one program";
}

TEST(HostileInput, RowsThatAreNoStretchWriteNothing) {
    ScratchDir dir;
    const auto empty = (dir / "empty.hrm").string();
    const std::string climb(asText(readAll(dataFile("import/climb.hrm"))));
    writeAll(empty, climb.substr(0, climb.find("[HRData]") + 10));
    const auto standing = dataFile("cli/standing.hrm").string();
    const auto out = (dir / "p.pgm").string();
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{ride(), "--from", "500", "--to", "400"}, "--from 500 must lie before --to 400 (the rows 0..1160)"},
        {{ride(), "--to", "1161"}, "--to 1161 lies outside the rows 0..1160"},
        {{empty}, "the ride holds no samples"},
        {{standing}, "the chosen stretch covers no distance"},
    };
    for (const auto& [args, reason] : cases) {
        std::vector<std::string> all = {"program", "--target", "catalyst", "-o", out};
        all.insert(all.end(), args.begin(), args.end());
        const auto r = runCli(all);
        EXPECT_EQ(r.status, 1) << reason;
        EXPECT_EQ(r.err, "velobridge-cli: " + args[0] + ": " + reason + "\n");
        EXPECT_FALSE(fs::exists(out)) << reason;
    }
    EXPECT_EQ(runCli({"profile", empty, "--svg", (dir / "p.svg").string()}).status, 1);
}

TEST(HostileInput, ATrailingSeparatorMakesTheMissingFolder) {
    ScratchDir dir;
    const std::string folder = (dir / "new" / "deeper").string() + "/";
    auto r = runCli({"program", ride(), "--target", "fortius", "-o", folder});
    EXPECT_EQ(r.status, 0) << r.err;
    r = runCli({"rlv", exampleFile("alpine-loop.vlb").string(), "-o", folder});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 2);
}

TEST(HostileInput, ControlCharactersFromFilesArePrintedEscaped) {
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
