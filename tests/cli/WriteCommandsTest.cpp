// The commands that write: into the working folder of the settings unless -o
// says otherwise, every skipped input named on stderr; and a failed write.

#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>
#include <sstream>

#include "app/RlvFile.h"
#include "cli/RunCli.h"
#include "route/ProgramReader.h"
#include "support/TestSupport.h"

namespace vb::cli {
namespace {

namespace fs = std::filesystem;
using namespace test;
using Sections = std::vector<std::pair<double, double>>;

Sections sectionsIn(const fs::path& file) {
    auto program = readPgmf(readAll(file));
    EXPECT_TRUE(program.ok()) << file;
    Sections out;
    if (program)
        for (const auto& s : program->sections) out.push_back({s.distance, s.value});
    return out;
}

TEST(ProgramCommand, WritesIntoTheWorkingFolderWithTheSettingsAndTheRidesName) {
    ScratchDir dir;
    const auto settings = saveSettings(dir / "s.ini", dir.path(), 1);
    const auto ride = dataFile("cli/climb.hrm").string();
    auto r = runCli({"program", ride, "--target", "catalyst", "--settings", settings});
    ASSERT_EQ(r.status, 0) << r.err;
    const fs::path written = dir / "PGM" / "climb.pgm";
    EXPECT_EQ(r.out, "wrote: " + written.string() + "\nname: climb\nsections: 3\nwarm-up: yes\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(readAll(written), readAll(dataFile("cli/climb-catalyst-warmup.pgm")));

    // Without --name the program takes the ride's name, cut to 16 characters.
    fs::copy_file(ride, dir / "Passo dello Stelvio.hrm");
    r = runCli({"program", (dir / "Passo dello Stelvio.hrm").string(), "--target", "fortius", "--settings", settings});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::exists(dir / "PGMF" / "Passo dello Stel.pgmf"));
}

TEST(ProgramCommand, OptionsOutrankTheSettings) {
    ScratchDir dir;
    const auto warm = saveSettings(dir / "warm.ini", dir.path(), 1);
    const auto plain = saveSettings(dir / "plain.ini", dir.path());
    // Rows of 50 m; slow.hrm's are 100 m a minute, 25 m once resampled to 15 s.
    const struct {
        std::string ride;
        std::string settings;
        std::vector<std::string> options;
        Sections sections;
    } cases[] = {
        {"climb", warm, {"--max-climb", "12"}, {{2000, 0}, {100, 12}, {100, 3}}},
        {"climb", warm, {"--from", "2", "--to", "3", "--max-down", "-1", "--step", "50"},
         {{2000, 0}, {50, 0}, {50, 0}}},
        {"steps", plain, {}, {{100, 9}, {100, 9}}},
        {"steps", plain, {"--join-slopes", "--warmup"}, {{2000, 0}, {200, 9}}},
        {"slow", warm, {"--resample-15", "--to", "5"}, {{2000, 0}, {100, 3}}},
        {"slow", warm, {}, {{2000, 0}, {100, 0}, {100, 4}}},
    };
    // A trailing separator makes -o a folder, made when missing.
    const std::string folder = (dir / "new" / "deeper").string() + "/";
    for (const auto& c : cases) {
        std::vector<std::string> args{"program", dataFile("cli/" + c.ride + ".hrm").string(), "--target", "fortius",
                                      "--settings", c.settings, "-o", folder};
        args.insert(args.end(), c.options.begin(), c.options.end());
        SCOPED_TRACE(::testing::PrintToString(args));
        const auto r = runCli(args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(sectionsIn(fs::path(folder) / (c.ride + ".pgmf")), c.sections);
    }
}

TEST(ProgramCommand, AFortiusProgramFromAFitRideCoversItsDistance) {
    ScratchDir dir;
    const std::string fit = dataFile("thirdparty/fit/gc_karoo-2025-05-09.fit").string();
    const auto table = runCli({"table", fit});
    ASSERT_EQ(table.status, 0);
    // The route takes rows 1 .. last - 1, each the way from the row before (1 s rows, tenths of km/h).
    std::istringstream lines(table.out);
    std::string row, speed, altitude;
    std::getline(lines, row);
    std::vector<double> ways;
    while (lines >> row >> speed >> altitude) ways.push_back(std::stod(speed) / 36.0);
    ways.pop_back();
    const double distance = std::accumulate(ways.begin(), ways.end(), 0.0);

    const auto r = runCli({"program", fit, "--target", "fortius", "--settings", saveSettings(dir / "s.ini", dir.path()),
                           "-o", dir.path().string()});
    ASSERT_EQ(r.status, 0) << r.err;
    double length = 0;
    for (const auto& [way, slope] : sectionsIn(dir / "gc_karoo-2025-05.pgmf")) length += way;
    EXPECT_GT(distance, 34000.0);
    EXPECT_NEAR(length, distance, 100.0) << "within one 100 m section step";
}

TEST(ProfileCommand, DrawsTheStretchWithItsLabels) {
    ScratchDir dir;
    const auto out = (dir / "p.svg").string();
    // 1160 rows at 5 s; rows 1..200 cover 7812.6 m, rows 201..700 10891.7 m.
    auto r = runCli({"profile", exampleFile("alpine-loop.hrm").string(), "--from", "200", "--to", "700", "--svg", out});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "wrote: " + out + "\nrows: 200..700 of 0..1160\nstart: ~7.8 km\nroute: ~10.9 km\n");
    const std::string svg(asText(readAll(out)));
    EXPECT_NE(svg.find(">Start: ~7.8 km</text>"), std::string::npos);
    EXPECT_NE(svg.find(">Route: ~10.9 km</text>"), std::string::npos);

    // By default the whole ride is the stretch.
    r = runCli({"profile", exampleFile("alpine-loop.tur").string(), "--svg", out});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\nrows: 0..290 of 0..290\nstart: ~0 km\n"), std::string::npos) << r.out;

    const auto standing = dataFile("cli/standing.hrm").string();  // never moving
    r = runCli({"profile", standing, "--svg", out});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "wrote: " + out + "\nrows: 0..2 of 0..2\nstart: ~0 km\nroute: ~0 km\n");
    EXPECT_EQ(r.err, "velobridge-cli: warning: " + standing +
                         ": the ride has no distance or no altitude above 0; the profile is empty\n");
}

TEST(ProfileCommand, AFailedWriteLeavesTheOldFileAndSaysSo) {
    VB_SKIP_WITHOUT_FILE_SIZE_LIMIT();
    ScratchDir dir;
    const auto out = (dir / "p.svg").string();
    writeAll(out, "old");
    const auto r = [&] {
        FileSizeLimit limit(100);
        return runCli({"profile", exampleFile("alpine-loop.hrm").string(), "--svg", out});
    }();
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(linesStartWith(r.err, {"velobridge-cli: " + out + ": "})) << r.err;
    EXPECT_EQ(readAll(out), toBytes("old"));
}

TEST(HrmCommand, WritesEachRunAndNamesEverySkippedOne) {
    ScratchDir dir;
    const auto file = [&](const char* name) { return (dir / name).string(); };
    const Bytes slope = readAll(dataFile("run/slope.ca"));  // its type byte at 40, its records from 628
    writeAll(dir / "good.ca", asText(slope));
    writeAll(dir / "bad.ca", asText(patched(slope, {{40, bytesOf({9})}})));
    writeAll(dir / "empty.ca", asText(patched(slope, {}, 628)));
    writeAll(dir / "TOUR.CAF", asText(patched(readAll(dataFile("run/slope.caf")), {}, 146)));
    writeAll(dir / "ride.hrm", "[Params]\r\n");
    const auto ini = saveSettings(dir / "s.ini", dir / "base", 0, "12.5m");
    const fs::path out = dir / "out";
    auto r = runCli({"hrm", file("bad.ca"), file("good.ca"), file("empty.ca"), file("ride.hrm"), file("TOUR.CAF"),
                     "--settings", ini, "--base-altitude", "-3", "-o", out.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(linesStartWith(r.err, {"velobridge-cli: " + file("bad.ca") + ": ",
                                       "velobridge-cli: " + file("empty.ca") + ": ",
                                       "velobridge-cli: " + file("ride.hrm") + ": not a run file (.ca or .caf)"}))
        << r.err;
    EXPECT_EQ(r.out, "wrote: " + (out / "good.ca.hrm").string() + "\nsamples: 12\nwrote: " +
                         (out / "TOUR.CAF.hrm").string() + "\nsamples: 2\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(out), {}), 2);
    EXPECT_EQ(readAll(out / "good.ca.hrm"), readAll(dataFile("hrm/v1-slope-base-minus-3.hrm")));

    ASSERT_EQ(runCli({"hrm", file("good.ca"), "--settings", ini}).status, 0);
    EXPECT_EQ(readAll(dir / "base" / "HRM" / "good.ca.hrm"), readAll(dataFile("hrm/v1-slope-base-12.5m.hrm")));
}

TEST(ConvertPgmCommand, WritesIntoPgmfConvAndNamesWhatItCannotConvert) {
    ScratchDir dir;
    const auto file = [&](const char* name) { return (dir / name).string(); };
    const Bytes pgm = readAll(dataFile("route/abc-one-section.pgm"));  // 0.1 km at 3 %
    writeAll(dir / "abc.pgm", asText(pgm));
    writeAll(dir / "cut.pgm", asText(patched(pgm, {}, 10)));
    fs::copy_file(dataFile("thirdparty/pgmf/gc_warmup.pgmf"), dir / "v2.pgm");
    const auto ini = saveSettings(dir / "s.ini", file("base"));
    auto r = runCli({"convert-pgm", file("cut.pgm"), file("abc.pgm"), file("v2.pgm"), "--settings", ini});
    EXPECT_EQ(r.status, 1);
    const fs::path written = dir / "base" / "PGMF_Conv" / "abc.pgmf";
    EXPECT_EQ(r.out, "wrote: " + written.string() +
                         "\nstatus: abc.pgm (Catalyst 2.0 Converted)\nTyp: Slope\nProgram: Distance\nRoute: 1\n");
    EXPECT_TRUE(linesStartWith(r.err, {"velobridge-cli: " + file("cut.pgm") + ": ",
                                       "velobridge-cli: " + file("v2.pgm") + ": "}))
        << r.err;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "base" / "PGMF_Conv"), {}), 1);

    r = runCli({"convert-pgm", file("abc.pgm"), "-o", file("elsewhere")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readAll(dir / "elsewhere" / "abc.pgmf"), readAll(written));
}

TEST(RlvCommand, WritesIntoTheRlvFolderOrWhereOutputSays) {
    ScratchDir dir;
    const auto vlb = dataFile("cli/col.vlb").string();
    auto r = runCli({"rlv", vlb, "--settings", saveSettings(dir / "s.ini", dir / "base")});
    ASSERT_EQ(r.status, 0) << r.err;
    const fs::path written = dir / "base" / "RLV" / "Col.rlv";
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "wrote: " + written.string() + "\nname: Col\nbytes: 1210\nframe entries: 3\n");
    EXPECT_EQ(readRlv(readAll(written)).value().frames.at(1).factor, 36.0f / 100.0f);

    // -o names a file, or a folder (made when missing if it ends with a separator); the speed reference divides.
    r = runCli({"rlv", vlb, "--speed-reference", "900", "-o", (dir / "new").string() + "/"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readRlv(readAll(dir / "new" / "Col.rlv")).value().frames.at(1).factor, 36.0f / 90.0f);
    r = runCli({"rlv", vlb, "-o", (dir / "other.rlv").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readAll(dir / "other.rlv"), readAll(written));

    // A wrong frame line is a warning; the file is still written, here into an existing folder.
    const auto warned = (dir / "warned.vlb").string();
    writeAll(warned, std::string(asText(readAll(vlb))) + "fram=700;20\r\n");
    r = runCli({"rlv", warned, "-o", dir.path().string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(linesStartWith(r.err, {"velobridge-cli: warning: " + warned + ": "})) << r.err;
    EXPECT_TRUE(fs::exists(dir / "Col.rlv"));
}

}  // namespace
}  // namespace vb::cli
