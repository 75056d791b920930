#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "base/Files.h"
#include "cli/RunCli.h"
#include "route/ProgramReader.h"
#include "support/TestSupport.h"

namespace vb::cli {
namespace {

namespace fs = std::filesystem;
using vb::test::CliRun;
using vb::test::bytesOf;
using vb::test::f64Bytes;
using vb::test::operator+;

CliRun cli(std::vector<std::string> args) { return test::runCli(std::move(args)); }

// An HRM ride with speed in field 1 and altitude in field 3.
std::string hrm(int interval, const std::vector<std::pair<int, int>>& samples) {
    std::string text = "[Params]\r\nVersion=106\r\nSMode=111000100\r\nInterval=" + std::to_string(interval) +
                       "\r\n[HRData]\r\n";
    for (const auto& [speed, alt] : samples)
        text += "120\t" + std::to_string(speed) + "\t80\t" + std::to_string(alt) + "\r\n";
    return text;
}

// A settings file with the base folder and the two check boxes.
std::string settingsFile(const fs::path& base, int warmup, int join) {
    std::string s = "\"Version0.6a\"\r\n\"path=" + base.string() + "\"\r\n";
    for (int i = 0; i < 5; ++i) s += "\"\"\r\n";
    for (const char* limit : {"9", "-4", "100", "20", "-5", "100"}) {
        s += '"';
        s += limit;
        s += "\"\r\n";
    }
    s += std::to_string(warmup) + "\r\n" + std::to_string(join) + "\r\n#TRUE#\r\n#FALSE#\r\n\"0\"\r\n";
    return s;
}

Bytes pgmRecord(double km, double slope) { return f64Bytes(km) + f64Bytes(slope) + bytesOf({0, 0, 0, 0}); }

std::vector<std::pair<double, double>> sectionsIn(const fs::path& file) {
    auto program = readPgmf(test::readAll(file));
    EXPECT_TRUE(program.ok());
    std::vector<std::pair<double, double>> out;
    if (program)
        for (const auto& s : program->sections) out.push_back({s.distance, s.value});
    return out;
}

class ProgramCommand : public ::testing::Test {
protected:
    void SetUp() override {
        ride = (dir / "climb.hrm").string();
        // 50 m a row; +15 m over the first 100 m.
        test::writeAll(ride, hrm(5, {{360, 100}, {360, 115}, {360, 115}, {360, 115}, {360, 115}}));
        settings = (dir / "velobridge.ini").string();
        test::writeAll(settings, settingsFile(dir.path(), 1, 0));
    }
    test::ScratchDir dir;
    std::string ride;
    std::string settings;
};

TEST_F(ProgramCommand, WritesIntoTheWorkingFolderWithTheSettingsOptions) {
    const auto r = cli({"program", ride, "--target", "catalyst", "--settings", settings});
    ASSERT_EQ(r.status, 0) << r.err;
    const fs::path written = dir / "PGM" / "climb.pgm";
    EXPECT_EQ(r.out, "wrote: " + written.string() + "\nname: climb\nsections: 3\nwarm-up: yes\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(test::readAll(written),
              bytesOf({3, 0}) + pgmRecord(2.0, 0) + pgmRecord(0.1, 9) + pgmRecord(0.1, 6) +
                  bytesOf({5, 'c', 'l', 'i', 'm', 'b', 1, 0, 0, 0, 1, 0, 0, 0, 0x56, 0x4C, 0x42, 0xFE}) +
                  toBytes("created by Velobridge - Version0.6a"));

    // Options override the settings: limits, step, stretch, output folder.
    const auto f = cli({"program", ride, "--target", "fortius", "--settings", settings, "--max-climb", "12", "-o",
                        dir.path().string()});
    ASSERT_EQ(f.status, 0) << f.err;
    EXPECT_EQ(sectionsIn(dir / "climb.pgmf"), (std::vector<std::pair<double, double>>{{2000, 0}, {100, 12}, {100, 3}}));
    const auto stretch = cli({"program", ride, "--target", "fortius", "--settings", settings, "--from", "2", "--to",
                              "3", "--max-down", "-1", "--step", "50", "-o", (dir / "part.pgmf").string()});
    ASSERT_EQ(stretch.status, 0) << stretch.err;
    EXPECT_EQ(sectionsIn(dir / "part.pgmf"), (std::vector<std::pair<double, double>>{{2000, 0}, {50, 0}, {50, 0}}));
}

TEST_F(ProgramCommand, JoinsSlopesAndAddsTheWarmupOnRequest) {
    test::writeAll(settings, settingsFile(dir.path(), 0, 0));
    test::writeAll(ride, hrm(5, {{360, 100}, {360, 109}, {360, 109}, {360, 118}, {360, 118}, {360, 118}}));
    ASSERT_EQ(cli({"program", ride, "--target", "fortius", "--settings", settings}).status, 0);
    EXPECT_EQ(sectionsIn(dir / "PGMF" / "climb.pgmf"), (std::vector<std::pair<double, double>>{{100, 9}, {100, 9}}));
    const auto r = cli({"program", ride, "--target", "fortius", "--settings", settings, "--join-slopes", "--warmup"});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(sectionsIn(dir / "PGMF" / "climb.pgmf"), (std::vector<std::pair<double, double>>{{2000, 0}, {200, 9}}));
}

TEST_F(ProgramCommand, TakesTheNameFromTheRideCutTo16AndRefusesBadNames) {
    const auto longRide = (dir / "Passo dello Stelvio.hrm").string();
    fs::copy_file(ride, longRide);
    auto r = cli({"program", longRide, "--target", "catalyst", "--settings", settings});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::exists(dir / "PGM" / "Passo dello Stel.pgm"));

    const std::pair<const char*, std::string> names[] = {
        {"Passo dello Stelv", "the name is longer than 16 characters"},
        {"../escape", "the name holds one of the characters \\ / : * ? \" < > |"},
        {"Con.x", "the name is that of a device on Windows (CON, PRN, AUX, NUL, COM1, LPT1, ...)"},
    };
    for (const auto& [bad, rule] : names) {
        r = cli({"program", ride, "--target", "fortius", "--settings", settings, "--name", bad});
        EXPECT_EQ(r.status, 1) << bad;
        EXPECT_EQ(r.err, "velobridge-cli: " + ride + ": Incorrect Filename!!!: " + rule + "\n");
        EXPECT_EQ(r.out, "");
    }
    EXPECT_FALSE(fs::exists(dir / "PGMF"));
    EXPECT_FALSE(fs::exists(dir.path().parent_path() / "escape.pgmf"));
}

TEST_F(ProgramCommand, ResamplesOnlyRidesRecordedAt60Seconds) {
    auto r = cli({"program", ride, "--target", "fortius", "--settings", settings, "--resample-15"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("--resample-15 needs an HRM ride recorded at 60 seconds"), std::string::npos) << r.err;

    // 60 s at 6.0 km/h is 100 m; resampled, every row is 25 m and the rows count the new table.
    const auto slow = (dir / "slow.hrm").string();
    test::writeAll(slow, hrm(60, {{60, 100}, {60, 104}, {60, 104}}));
    r = cli({"program", slow, "--target", "fortius", "--settings", settings, "--resample-15", "--to", "5", "-o",
             (dir / "slow.pgmf").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(sectionsIn(dir / "slow.pgmf"), (std::vector<std::pair<double, double>>{{2000, 0}, {100, 3}}));
    r = cli({"program", slow, "--target", "fortius", "--settings", settings, "-o", (dir / "plain.pgmf").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(sectionsIn(dir / "plain.pgmf"), (std::vector<std::pair<double, double>>{{2000, 0}, {100, 0}, {100, 4}}));
}

TEST_F(ProgramCommand, ReportsUsageRefusalsAndWriteFailures) {
    EXPECT_EQ(cli({"program", ride, "--target", "tacx"}).status, 2);
    EXPECT_EQ(cli({"program", ride, "--target", "catalyst", "--from", "x"}).status, 2);
    EXPECT_EQ(cli({"program", ride}).status, 2);

    auto r = cli({"program", ride, "--target", "catalyst", "--settings", settings, "--step", "0"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "velobridge-cli: " + ride + ": distance step 0 m: it must be more than 0 m\n");
    EXPECT_FALSE(fs::exists(dir / "PGM"));

    test::writeAll(dir / "PGM", "a file where the folder should be");
    r = cli({"program", ride, "--target", "catalyst", "--settings", settings});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find((dir / "PGM").string()), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);

    const auto missing = (dir / "none.hrm").string();
    EXPECT_EQ(cli({"program", missing, "--target", "catalyst", "--settings", settings}).status, 1);
}

TEST_F(ProgramCommand, InfoDescribesProgramFiles) {
    ASSERT_EQ(cli({"program", ride, "--target", "catalyst", "--settings", settings, "-o",
                   (dir / "c.PGM").string()}).status, 0);
    auto r = cli({"info", (dir / "c.PGM").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "file: " + (dir / "c.PGM").string() +
                         "\nformat: pgm (V1.0)\ntype: Slope (1)\nmode: Distance (1)\nname: climb\nsections: 3\n"
                         "length: 2200.0 m\nlowest slope: 0\nhighest slope: 9\ntag: VLBþ\n"
                         "trailer: created by Velobridge - Version0.6a\n"
                         "converter: c.PGM (Catalyst 1.0)\nTyp: Slope\nProgram: Distance\nRoute: 3\n");

    const auto warmup = test::dataFile("thirdparty/pgmf/gc_warmup.pgmf").string();
    r = cli({"info", warmup});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "file: " + warmup +
                         "\nformat: pgmf (V2.0)\ntype: Power (0)\nmode: Time (0)\nname: warmup\nsections: 8\n"
                         "duration: 900.0 s\nlowest value: 100\nhighest value: 350\ntag: \xC5\xA0\xC3\x96!6\n");

    // A .pgmf under a .pgm name is still a .pgmf (it would also read as a .pgm of 1000 sections).
    fs::copy_file(test::dataFile("thirdparty/pgmf/in_ES_Andalusia-1.pgmf"), dir / "andalusia.pgm");
    r = cli({"info", (dir / "andalusia.pgm").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("format: pgmf (V2.0)\ntype: Slope (1)\nmode: Distance (1)\nname: ES_Andalusia-1\n"
                         "sections: 1935\nlength: 36208.4 m\nlowest slope: -1.4\nhighest slope: 16.2\n"),
              std::string::npos)
        << r.out;

    // A .pgm has no magic: one that does not read is refused, not passed on.
    test::writeAll(dir / "image.pgm", "P5\n1 1\n255\n\x01");
    r = cli({"info", (dir / "image.pgm").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("runs past the end"), std::string::npos) << r.err;
    Bytes cut = test::readAll(test::dataFile("thirdparty/pgmf/gc_Rosier_test_V2.pgmf"));
    cut.resize(150);
    test::writeAll(dir / "cut.bin", asText(cut));
    r = cli({"info", (dir / "cut.bin").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("record count 14 of 12 bytes runs past the end"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace vb::cli
