// From FIT, GPX and TCX files to the ride record: rides worked out by hand,
// and the real files against references worked out without our readers.

#include "import/TrackImport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <tuple>

#include "base/Text.h"
#include "import/RideImport.h"
#include "support/TestSupport.h"

namespace vb {
namespace {

using test::dataFile;
using test::readAll;

Result<TrackSummary> load(RideRecord& ride, const std::string& file) {
    const Bytes data = readAll(dataFile(file));
    const TrackFormat format = trackFormat(recogniseRideFile(data)).value();  // throws for no track file
    return Load_Track_File(ride, format, "C:\\rides\\" + file.substr(file.rfind('/') + 1), data);
}

TEST(TrackImport, HandWorkedRidesGiveTheirSamplesStopsAndWay) {
    // stops.tcx: two activities worked out cell for cell (stops.table). ride.fit: records at 0, 1, 2, 3, 5,
    // 12, 60, 61, 75, 100 and 131 s, the timer stopped from 13 s to 60 s: 84 s of moving time, an invalid
    // altitude at 3 s between 412.8 m and 413.2 m. chained.fit: the ride twice, the second an hour later
    // with the timer stopped in between.
    for (const auto& [file, samples, stops, stopped, distance] : std::vector<std::tuple<std::string, int, int, double, double>>{
             {"tracks/stops.tcx", 19, 1, 22.0, 81.0},
             {"fit/ride.fit", 85, 1, 47.0, 547.19},
             {"fit/chained.fit", 169, 3, 47.0 + 3469.0 + 47.0, 2 * 547.19}}) {
        SCOPED_TRACE(file);
        RideRecord ride;
        const auto summary = load(ride, file);
        ASSERT_TRUE(summary.ok()) << summary.error().message;
        EXPECT_EQ(ride.samples.sampleCount(), samples);
        EXPECT_EQ(summary->stops, stops);
        EXPECT_DOUBLE_EQ(summary->stoppedSeconds, stopped);
        EXPECT_NEAR(summary->distance, distance, 1e-6);
        EXPECT_EQ(summary->timing, TrackSummary::Timing::recorded);
        EXPECT_FALSE(ride.Calc15Available);
        EXPECT_TRUE(file.ends_with(".tcx") || ride.samples.text(4, 2) == "413");
        if (file.ends_with(".fit")) continue;
        EXPECT_EQ(tabSeparated(ride.samples), asText(readAll(dataFile("tracks/stops.table"))));
        EXPECT_EQ(ride.header.fields, (std::array<std::string, 6>{"TCX", "20260412", "-", "meter/meter", "1", "-"}));
        EXPECT_EQ(ride.ImportStatus, "TCX File activ");
        EXPECT_EQ(ride.ProgramName, "stops");
        EXPECT_EQ(summary->creator, "Hand Unit 1");
        EXPECT_EQ(isoTime(summary->start), "2026-04-12T09:15:00Z");
    }
}

TEST(TrackImport, RouteWithoutTimesIsRiddenAt20KmH) {
    // Three route points on the equator, 0.001° apart: 6378137 m × 0.001 × π/180
    // = 111.3195 m each, 40.075 s at 20 km/h (200 tenths of km/h).
    const std::string gpx =
        "<?xml version='1.0'?><gpx version='1.1' creator='planner' xmlns='http://www.topografix.com/GPX/1/1'>"
        "<rte><rtept lat='0' lon='0'><ele>10</ele></rtept><rtept lat='0' lon='0.001'/>"
        "<rtept lat='0' lon='0.002'><ele>30</ele></rtept></rte></gpx>";
    RideRecord ride;
    const auto summary = Load_Track_File(ride, TrackFormat::gpx, "plan.gpx", toBytes(gpx));
    ASSERT_TRUE(summary.ok()) << summary.error().message;
    EXPECT_EQ(summary->timing, TrackSummary::Timing::planned);
    EXPECT_EQ(ride.header.Date(), "-");
    EXPECT_EQ(ride.header.Version(), "GPX 1.1");
    ASSERT_EQ(ride.samples.sampleCount(), 42);
    for (int row = 2; row <= 41; ++row) EXPECT_EQ(ride.samples.text(row, 1), "200") << row;
    EXPECT_EQ(ride.samples.text(42, 1), "15") << "the last 0.075 s";
    EXPECT_EQ(ride.samples.text(21, 2), "20") << "halfway, between 10 m and 30 m";
    EXPECT_NEAR(summary->distance, 222.639, 0.001);
}

TEST(TrackImport, LongRidesTakeTheSmallestIntervalThatFitsOrAreRefused) {
    // Two points from 0° 0° at midnight: to the pole (a quarter meridian) in 10 days, 864000 s / 30 + 1
    // rows; 10° along the equator in 2000000 s, more than 32765 rows even at 60 s.
    for (const auto& [to, time, outcome, distance] : std::vector<std::tuple<std::string, std::string, std::string, double>>{
             {"lat='90' lon='0'", "2026-04-22T00:00:00Z", "30", 10001965.729},
             {"lat='0' lon='10'", "2026-05-05T03:33:20Z",
              "the ride's moving time of 555:33:20 needs more than 32765 samples even at 60 seconds", 0}}) {
        const std::string gpx = "<gpx><trk><trkseg><trkpt lat='0' lon='0'><ele>10</ele><time>2026-04-12T00:00:00Z"
                                "</time></trkpt><trkpt " + to + "><ele>30</ele><time>" + time +
                                "</time></trkpt></trkseg></trk></gpx>";
        RideRecord ride;
        const auto summary = Load_Track_File(ride, TrackFormat::gpx, "long.gpx", toBytes(gpx));
        EXPECT_EQ(summary ? ride.header.Interval() : summary.error().message, outcome);  // the interval or the refusal
        EXPECT_NEAR(summary ? summary->distance : 0.0, distance, 0.01);
    }
}

TEST(TrackImport, RealFilesMatchTheirReferences) {
    const std::map<std::string, std::string> creators = {
        {"gc_karoo-2025-05-09.fit", "Hammerhead Karoo 2"},
        {"gc_SigmaRox11_1.fit", "Sigma ROX 11.1 EVO"},
        {"gc_2013-04-11-17-32-50.fit", "Garmin Edge 500"},
        {"fp_developer-types-sample.fit", "Stryd"},
        {"gpx/gc_1292585194-20906.gpx", "GPS Visualizer http://www.gpsvisualizer.com/"},
        {"gpx/gx_Mojstrovka.gpx", "GPSBabel - http://www.gpsbabel.org"},
    };
    int checked = 0;
    // "<file> records|points <count> distance <m> altitude <lowest> <highest> [first <time>]", from the FIT
    // SDK and from a reading of the GPX and TCX files apart from ours.
    for (const std::string golden : {"fit/sdk-expected.txt", "tracks/references.txt"}) {
        std::ifstream in(dataFile(golden));
        for (std::string line; std::getline(in, line);) {
            if (line.starts_with("#")) continue;
            ++checked;
            std::istringstream words(line);
            std::string name, key, points, distance, lowest, highest, first;
            words >> name >> key >> points >> key >> distance >> key >> lowest >> highest >> key >> first;
            SCOPED_TRACE(name);
            const std::string refusal = std::stoi(points) < 2 ? "fewer than two track points" : lowest != "-" ? ""
                                        : distance == "-" ? "no altitude, position or distance" : "no altitude";
            RideRecord ride;
            const auto summary = load(ride, (golden.starts_with("fit") ? "thirdparty/fit/" : "thirdparty/") + name);
            if (!refusal.empty()) {
                ASSERT_FALSE(summary.ok());
                EXPECT_NE(summary.error().message.find(refusal), std::string::npos) << summary.error().message;
                EXPECT_TRUE(ride.samples == RideRecord().samples && ride.header == RideRecord().header);
                continue;
            }
            ASSERT_TRUE(summary.ok()) << summary.error().message;
            EXPECT_EQ(summary->points, std::stoul(points));
            EXPECT_EQ(summary.warnings().size(), name.find("eof") != std::string::npos ? 1u : 0u);
            EXPECT_TRUE(!creators.contains(name) || summary->creator == creators.at(name)) << summary->creator;
            EXPECT_TRUE(first.empty() || summary->start == std::stod(first)) << "never from a clock that jumped away";
            EXPECT_NEAR(summary->distance, std::stod(distance), std::stod(distance) * 0.005);
            // The speed cells' way in metres, as the route builder reads it, and the altitude cells.
            double way = 0, low = INFINITY, high = -INFINITY;
            for (int row = 1; row <= ride.samples.sampleCount(); ++row) {
                way += leadingNumber(ride.samples.text(row, 1)) * leadingNumber(ride.header.Interval()) / 36.0;
                low = std::min(low, leadingNumber(ride.samples.text(row, 2)));
                high = std::max(high, leadingNumber(ride.samples.text(row, 2)));
            }
            EXPECT_NEAR(way, std::stod(distance), std::stod(distance) * 0.005 + 1.0);
            EXPECT_NEAR(low, std::stod(lowest), 1.0);
            EXPECT_NEAR(high, std::stod(highest), 1.0);
        }
    }
    EXPECT_EQ(checked, 17);
}

TEST(TrackImport, BrokenXmlIsRefused) {
    const Bytes good = readAll(dataFile("tracks/stops.tcx"));
    for (const test::Patch& patch : {test::Patch{642, toBytes("<Trackpoint ")},  // an element never closed
                                     test::Patch{2099, toBytes("</Activitiez>")},  // a mismatched end tag
                                     test::Patch{268, toBytes("X")}}) {          // another root element
        RideRecord ride;
        const auto summary = Load_Track_File(ride, TrackFormat::tcx, "broken.tcx", test::patched(good, {patch}));
        ASSERT_FALSE(summary.ok()) << patch.offset;
        EXPECT_NE(summary.error().message.find("TCX"), std::string::npos) << summary.error().message;
    }
}

}  // namespace
}  // namespace vb
