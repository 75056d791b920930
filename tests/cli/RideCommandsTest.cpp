#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "cli/RunCli.h"
#include "support/TestSupport.h"

namespace vb::cli {
namespace {

using test::runCli;

TEST(RideCommands, InfoDescribesEachRide) {
    const auto hrm = test::exampleFile("alpine-loop.hrm").string();
    const auto tur = test::exampleFile("alpine-loop.tur").string();
    const auto r = runCli({"info", hrm, tur});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "file: " + hrm +
                         "\ntype: HRM\nversion: 106\ndate: 20260412\nmode: 111000100\nunits: meter/meter\n"
                         "interval: 5\nsamples: 1160\nname: alpine-loop\necode: 49\n\n"
                         "file: " +
                         tur +
                         "\ntype: HAC4\nversion: 3.2.0\nunits: meter/meter\ninterval: 20\nsamples: 290\n"
                         "name: Alpine Loop\n");
}

TEST(RideCommands, RefusalsAndWarningsGoToStderr) {
    const auto ra = test::dataFile("thirdparty/hrm/ra_11052801.hrm").string();
    auto r = runCli({"info", ra});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "velobridge-cli: warning: " + ra + ": Couldn't find ALTITUDE data\nvelobridge-cli: " +
                         ra + ": No ride data was found: the file's header is incomplete.\n");

    const auto alt = test::dataFile("thirdparty/tur/st_hac4-alt.tur").string();
    r = runCli({"table", alt});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "velobridge-cli: " + alt + ": Unknown HAC4 Format\n");

    test::ScratchDir dir;
    const auto joined = (dir / "joined.hrm").string();
    test::writeAll(joined,
                   "[Params]\nSMode=111000100\nInterval=5\n[HRData]\n1\t2\t3\t4\n[Params]\n5\t6\t7\t8\n");
    r = runCli({"table", joined});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "#\tSpeed\tAlt\n1\t2\t4\n");
    EXPECT_EQ(r.err,
              "velobridge-cli: warning: " + joined +
                  ": Reading stopped at line 6, where another ride's header begins; the samples before it "
                  "were kept.\n");

    const auto notRide = (dir / "notes.txt").string();
    test::writeAll(notRide, "[params]\n");
    r = runCli({"table", notRide});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
    EXPECT_EQ(runCli({"table"}).status, 2);
}

TEST(RideCommands, TablePrintsTheCellsAsStored) {
    const auto r = runCli({"table", test::dataFile("import/climb.hrm").string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, asText(test::readAll(test::dataFile("import/climb.table"))));
}

}  // namespace
}  // namespace vb::cli
