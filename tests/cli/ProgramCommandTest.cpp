#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/SettingsFile.h"
#include "base/Files.h"
#include "cli/RunCli.h"
#include "route/ProgramReader.h"
#include "support/TestSupport.h"

namespace vb::cli {
namespace {

namespace fs = std::filesystem;
using Sections = std::vector<std::pair<double, double>>;

test::CliRun cli(std::vector<std::string> args) { return test::runCli(std::move(args)); }

// An HRM ride with speed in field 1 and altitude in field 3.
std::string hrm(int interval, const std::vector<int>& altitudes, int speed = 360) {
    std::string text = "[Params]\r\nVersion=106\r\nSMode=111000100\r\nInterval=" + std::to_string(interval) +
                       "\r\n[HRData]\r\n";
    for (int alt : altitudes) text += "120\t" + std::to_string(speed) + "\t80\t" + std::to_string(alt) + "\r\n";
    return text;
}

Sections sectionsIn(const fs::path& file) {
    auto program = readPgmf(test::readAll(file));
    EXPECT_TRUE(program.ok());
    Sections out;
    if (program)
        for (const auto& s : program->sections) out.push_back({s.distance, s.value});
    return out;
}

class ProgramCommand : public ::testing::Test {
protected:
    void SetUp() override {
        // 50 m a row; +15 m over the first 100 m.
        test::writeAll(ride, hrm(5, {100, 115, 115, 115, 115}));
        useSettings(1);
    }
    void useSettings(int warmup) {
        Settings s;
        s.my_path = dir.path().string();
        s.add_warmup = warmup;
        test::writeAll(settings, asText(writeSettings(s)));
    }
    std::vector<std::string> fortius(std::vector<std::string> extra) {
        std::vector<std::string> args{"program", ride, "--target", "fortius", "--settings", settings};
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    }
    test::ScratchDir dir;
    std::string ride = (dir / "climb.hrm").string();
    std::string settings = (dir / "velobridge.ini").string();
};

TEST_F(ProgramCommand, WritesIntoTheWorkingFolderWithTheSettingsOptions) {
    const auto r = cli({"program", ride, "--target", "catalyst", "--settings", settings});
    ASSERT_EQ(r.status, 0) << r.err;
    const fs::path written = dir / "PGM" / "climb.pgm";
    EXPECT_EQ(r.out, "wrote: " + written.string() + "\nname: climb\nsections: 3\nwarm-up: yes\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(test::readAll(written), test::readAll(test::dataFile("cli/climb-catalyst-warmup.pgm")));

    // Options override the settings: limits, step, stretch, output folder.
    ASSERT_EQ(cli(fortius({"--max-climb", "12", "-o", dir.path().string()})).status, 0);
    EXPECT_EQ(sectionsIn(dir / "climb.pgmf"), (Sections{{2000, 0}, {100, 12}, {100, 3}}));
    ASSERT_EQ(cli(fortius({"--from", "2", "--to", "3", "--max-down", "-1", "--step", "50", "-o",
                           (dir / "part.pgmf").string()})).status, 0);
    EXPECT_EQ(sectionsIn(dir / "part.pgmf"), (Sections{{2000, 0}, {50, 0}, {50, 0}}));

    // Joining and the warm-up on request.
    useSettings(0);
    test::writeAll(ride, hrm(5, {100, 109, 109, 118, 118, 118}));
    ASSERT_EQ(cli(fortius({})).status, 0);
    EXPECT_EQ(sectionsIn(dir / "PGMF" / "climb.pgmf"), (Sections{{100, 9}, {100, 9}}));
    ASSERT_EQ(cli(fortius({"--join-slopes", "--warmup"})).status, 0);
    EXPECT_EQ(sectionsIn(dir / "PGMF" / "climb.pgmf"), (Sections{{2000, 0}, {200, 9}}));
}

TEST_F(ProgramCommand, TakesTheNameFromTheRideCutTo16AndRefusesBadNames) {
    const auto longRide = (dir / "Passo dello Stelvio.hrm").string();
    fs::copy_file(ride, longRide);
    auto r = cli({"program", longRide, "--target", "catalyst", "--settings", settings});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::exists(dir / "PGM" / "Passo dello Stel.pgm"));

    r = cli(fortius({"--name", "../escape"}));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "velobridge-cli: " + ride +
                         ": Incorrect Filename!!!: the name holds one of the characters \\ / : * ? \" < > |\n");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(cli(fortius({"--name", "Passo dello Stelv"})).status, 1);
    EXPECT_FALSE(fs::exists(dir / "PGMF"));
    EXPECT_FALSE(fs::exists(dir.path().parent_path() / "escape.pgmf"));
}

TEST_F(ProgramCommand, ResamplesOnlyRidesRecordedAt60Seconds) {
    auto r = cli(fortius({"--resample-15"}));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("--resample-15 needs an HRM ride recorded at 60 seconds"), std::string::npos) << r.err;

    // 60 s at 6.0 km/h is 100 m; resampled, every row is 25 m and the rows count the new table.
    test::writeAll(ride, hrm(60, {100, 104, 104}, 60));
    ASSERT_EQ(cli(fortius({"--resample-15", "--to", "5", "-o", (dir / "slow.pgmf").string()})).status, 0);
    EXPECT_EQ(sectionsIn(dir / "slow.pgmf"), (Sections{{2000, 0}, {100, 3}}));
    ASSERT_EQ(cli(fortius({"-o", (dir / "plain.pgmf").string()})).status, 0);
    EXPECT_EQ(sectionsIn(dir / "plain.pgmf"), (Sections{{2000, 0}, {100, 0}, {100, 4}}));
}

TEST_F(ProgramCommand, ReportsUsageRefusalsAndWriteFailures) {
    for (const std::vector<std::string>& usage : {std::vector<std::string>{"--target", "tacx"},
                                                   {"--target", "catalyst", "--from", "x"}, {}})
        EXPECT_EQ(cli([&] { auto a = usage; a.insert(a.begin(), {"program", ride}); return a; }()).status, 2);

    auto r = cli({"program", ride, "--target", "catalyst", "--settings", settings, "--step", "0"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "velobridge-cli: " + ride + ": distance step 0 m: it must be more than 0 m\n");
    EXPECT_FALSE(fs::exists(dir / "PGM"));

    test::writeAll(dir / "PGM", "a file where the folder should be");
    r = cli({"program", ride, "--target", "catalyst", "--settings", settings});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find((dir / "PGM").string()), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
    EXPECT_EQ(cli({"program", (dir / "none.hrm").string(), "--target", "catalyst", "--settings", settings}).status, 1);
}

TEST_F(ProgramCommand, InfoDescribesProgramFiles) {
    const auto golden = test::dataFile("cli/climb-catalyst-warmup.pgm");
    fs::copy_file(golden, dir / "c.PGM");
    auto r = cli({"info", (dir / "c.PGM").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, test::expectedText("info-climb.pgm.txt", {{"@FILE@", (dir / "c.PGM").string()}}));

    const auto warmup = test::dataFile("thirdparty/pgmf/gc_warmup.pgmf").string();
    r = cli({"info", warmup});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, test::expectedText("info-gc_warmup.pgmf.txt", {{"@FILE@", warmup}}));

    // A .pgmf under a .pgm name is still a .pgmf (it would also read as a .pgm of 1000 sections).
    fs::copy_file(test::dataFile("thirdparty/pgmf/in_ES_Andalusia-1.pgmf"), dir / "andalusia.pgm");
    r = cli({"info", (dir / "andalusia.pgm").string()});
    EXPECT_NE(r.out.find("format: pgmf (V2.0)\ntype: Slope (1)\nmode: Distance (1)\nname: ES_Andalusia-1\n"
                         "sections: 1935\nlength: 36208.4 m\nlowest slope: -1.4\nhighest slope: 16.2\n"),
              std::string::npos)
        << r.out;

    // A .pgm has no magic: one that does not read is refused, not passed on.
    test::writeAll(dir / "image.pgm", "P5\n1 1\n255\n\x01");
    r = cli({"info", (dir / "image.pgm").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("runs past the end"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace vb::cli
