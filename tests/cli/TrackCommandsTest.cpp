// The command line on FIT, GPX and TCX rides: info's keys, --smooth-altitude
// and a program written from a FIT ride.

#include <gtest/gtest.h>

#include <sstream>

#include "cli/RunCli.h"
#include "route/ProgramReader.h"
#include "support/TestSupport.h"

namespace vb::cli {
namespace {

using test::runCli;

TEST(TrackCommands, InfoPrintsTheKeysOfATrackRide) {
    const std::string tcx = test::dataFile("tracks/stops.tcx").string();
    const auto r = runCli({"info", tcx});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "file: " + tcx + "\n" + std::string(asText(test::readAll(test::dataFile("tracks/stops.info")))));

    const std::string route = test::dataFile("thirdparty/gpx/gx_route.gpx").string();
    const auto refused = runCli({"info", route});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "velobridge-cli: " + route + ": the ride's 55 points have no altitude\n");
}

TEST(TrackCommands, SmoothAltitudeOption) {
    const std::string tcx = test::dataFile("tracks/stops.tcx").string();
    const auto plain = runCli({"table", tcx});
    const auto smooth = runCli({"table", tcx, "--smooth-altitude", "12.5"});
    EXPECT_EQ(smooth.status, 0);
    EXPECT_NE(smooth.out, plain.out);
    EXPECT_EQ(runCli({"table", tcx, "--smooth-altitude", "0"}).out, plain.out);
    for (const char* command : {"table", "info", "program", "profile"}) {
        for (const char* wrong : {"-5", "abc"}) {
            std::vector<std::string> args{command, tcx, "--smooth-altitude", wrong};
            if (std::string(command) == "program") args.insert(args.end(), {"--target", "fortius"});
            if (std::string(command) == "profile") args.insert(args.end(), {"--svg", "unused.svg"});
            EXPECT_EQ(runCli(args).status, 2) << command << " " << wrong;
        }
    }
}

TEST(TrackCommands, FortiusProgramFromAFitRideCoversItsDistance) {
    test::ScratchDir dir;
    const std::string fit = test::dataFile("thirdparty/fit/gc_karoo-2025-05-09.fit").string();
    const auto table = runCli({"table", fit});
    ASSERT_EQ(table.status, 0);
    // The route builder takes rows 1 .. last - 1, each the way from the row before.
    std::istringstream lines(table.out);
    std::vector<double> ways;
    std::string row, speed, altitude;
    std::getline(lines, row);  // titles
    while (lines >> row >> speed >> altitude) ways.push_back(std::stod(speed) / 36.0);  // 1 s interval
    ways.pop_back();           // the last row is never part of a route
    double distance = 0;
    for (double way : ways) distance += way;

    const auto written = runCli({"program", fit, "--target", "fortius", "-o", dir.path().string()});
    ASSERT_EQ(written.status, 0) << written.err;
    const auto program = readPgmf(test::readAll(dir / "gc_karoo-2025-05.pgmf"));
    ASSERT_TRUE(program.ok());
    double length = 0;
    for (const auto& section : program->sections) length += section.distance;
    EXPECT_GT(distance, 34000.0);
    EXPECT_NEAR(length, distance, 100.0);
}

}  // namespace
}  // namespace vb::cli
