#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/Files.h"
#include "cli/RunCli.h"
#include "support/TestSupport.h"

namespace vb::cli {
namespace {

namespace fs = std::filesystem;
using vb::test::CliRun;

CliRun cli(std::vector<std::string> args) { return test::runCli(std::move(args)); }

std::string svgOf(const fs::path& file) { return std::string(asText(test::readAll(file))); }

// The stroke colours of the SVG's polylines, in order.
std::vector<std::string> polylineColours(const std::string& svg) {
    std::vector<std::string> out;
    const std::string stroke = "stroke=\"";
    for (auto at = svg.find("<polyline "); at != std::string::npos; at = svg.find("<polyline ", at + 1)) {
        const auto colour = svg.find(stroke, at);
        if (colour == std::string::npos) break;
        out.push_back(svg.substr(colour + stroke.size(), 7));
    }
    return out;
}

TEST(ProfileCommand, DrawsTheExampleRideWithItsStretchAndLabels) {
    test::ScratchDir dir;
    const auto ride = test::exampleFile("alpine-loop.hrm").string();
    const auto out = (dir / "loop.svg").string();
    // 1160 rows at 5 s; rows 1..200 cover 7812.6 m, rows 201..700 10891.7 m.
    auto r = cli({"profile", ride, "--from", "200", "--to", "700", "--svg", out});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "wrote: " + out + "\nrows: 200..700 of 0..1160\nstart: ~7.8 km\nroute: ~10.9 km\n");
    std::string svg = svgOf(out);
    EXPECT_NE(svg.find(">Start: ~7.8 km</text>"), std::string::npos);
    EXPECT_NE(svg.find(">Route: ~10.9 km</text>"), std::string::npos);
    // Black up to row 199, red over the stretch, black after it: three polylines.
    EXPECT_EQ(polylineColours(svg), (std::vector<std::string>{"#000000", "#ff0000", "#000000"}));

    // By default the whole ride is the stretch: red only; the first row is a point.
    r = cli({"profile", test::exampleFile("alpine-loop.tur").string(), "--svg", out});
    EXPECT_EQ(r.status, 0) << r.err;
    svg = svgOf(out);
    EXPECT_EQ(polylineColours(svg), std::vector<std::string>{"#ff0000"});
    EXPECT_NE(svg.find("<circle "), std::string::npos);
    EXPECT_NE(svg.find(">Start: ~0 km</text>"), std::string::npos);
}

TEST(ProfileCommand, WrongRowsAndUsageAreRefusedWithoutWriting) {
    test::ScratchDir dir;
    const auto ride = test::exampleFile("alpine-loop.hrm").string();
    const auto out = (dir / "p.svg").string();
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err;
    } cases[] = {
        {{"--from", "5", "--to", "5"}, 1, ride + ": --from 5 must lie before --to 5 (the rows 0..1160)"},
        {{"--from", "1160"}, 1, ride + ": --from 1160 must lie before --to 1160 (the rows 0..1160)"},
        {{"--from", "-1"}, 1, ride + ": --from -1 lies outside the rows 0..1160"},
        {{"--from", "two"}, 2, ""},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"profile", ride, "--svg", out};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto r = cli(args);
        SCOPED_TRACE(args.back());
        EXPECT_EQ(r.status, c.status);
        if (c.status == 1) {
            EXPECT_EQ(r.err, "velobridge-cli: " + c.err + "\n");
        }
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(fs::exists(out));
    }
    EXPECT_EQ(cli({"profile", ride}).status, 2);  // no --svg

    // A file that is no ride, and one that is missing.
    const auto notes = (dir / "notes.txt").string();
    test::writeAll(notes, "no ride here\n");
    for (const auto& bad : {notes, (dir / "missing.hrm").string()}) {
        const auto r = cli({"profile", bad, "--svg", out});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_FALSE(fs::exists(out));
    }
}

TEST(ProfileCommand, AFailedWriteLeavesTheOldFileAndSaysSo) {
    VB_SKIP_WITHOUT_FILE_SIZE_LIMIT();
    test::ScratchDir dir;
    const auto ride = test::exampleFile("alpine-loop.hrm").string();
    const auto out = (dir / "p.svg").string();
    test::writeAll(out, "old");
    auto r = [&] {
        test::FileSizeLimit limit(100);
        return cli({"profile", ride, "--svg", out});
    }();
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("velobridge-cli: " + out + ": ", 0), 0u) << r.err;
    EXPECT_EQ(svgOf(out), "old");
}

TEST(ProfileCommand, ARideWithoutDistanceGivesAnEmptyProfileAndAWarning) {
    test::ScratchDir dir;
    const auto ride = test::dataFile("cli/standing.hrm").string();  // never moving
    const auto out = (dir / "p.svg").string();
    const auto r = cli({"profile", ride, "--svg", out});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "wrote: " + out + "\nrows: 0..2 of 0..2\nstart: ~0 km\nroute: ~0 km\n");
    EXPECT_EQ(r.err, "velobridge-cli: warning: " + ride +
                         ": the ride has no distance or no altitude above 0; the profile is empty\n");
    const std::string svg = svgOf(out);
    EXPECT_EQ(svg.find("<polyline"), std::string::npos);
    EXPECT_EQ(svg.find("<circle"), std::string::npos);
    EXPECT_NE(svg.find(">Route: ~0 km</text>"), std::string::npos);
}

}  // namespace
}  // namespace vb::cli
