// From FIT, GPX and TCX files to the ride record: a hand-worked TCX file
// cell for cell, the real files against references worked out without our
// readers, and the refusals.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <tuple>

#include "base/Text.h"
#include "import/RideImport.h"
#include "import/TrackImport.h"
#include "support/TestSupport.h"

namespace vb {
namespace {

using test::dataFile;
using test::readAll;

struct Reference {
    double distance = 0;
    double lowest = 0;
    double highest = 0;
    double first = TrackPoint::kNone;  // FIT: the first record's time
};

// "<file> ... distance <m> altitude <low> <high> [first <time>]" lines of a golden file, by file.
std::map<std::string, Reference> references(std::string_view golden, std::string_view folder) {
    std::ifstream in(dataFile(golden));
    std::map<std::string, Reference> out;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string file, word;
        words >> file;
        Reference r;
        while (words >> word) {
            const auto next = [&words] { std::string w; words >> w; return w == "-" ? TrackPoint::kNone : std::stod(w); };
            if (word == "distance") r.distance = next();
            else if (word == "altitude") r.lowest = next(), r.highest = next();
            else if (word == "first") r.first = next();
        }
        out[std::string(folder) + file] = r;
    }
    EXPECT_FALSE(out.empty()) << golden;
    return out;
}

Result<TrackSummary> load(RideRecord& ride, const std::string& file) {
    const Bytes data = readAll(dataFile(file));
    const RideFileType type = recogniseRideFile(data);
    EXPECT_TRUE(type == RideFileType::fit || type == RideFileType::gpx || type == RideFileType::tcx) << file;
    const TrackFormat format = type == RideFileType::fit   ? TrackFormat::fit
                               : type == RideFileType::tcx ? TrackFormat::tcx
                                                           : TrackFormat::gpx;
    return Load_Track_File(ride, format, "C:\\rides\\" + file.substr(file.rfind('/') + 1), data);
}

TEST(TrackImport, HandWorkedTcxCellForCell) {
    RideRecord ride;
    const auto summary = load(ride, "tracks/stops.tcx");
    ASSERT_TRUE(summary.ok()) << summary.error().message;
    const Bytes table = readAll(dataFile("tracks/stops.table"));
    EXPECT_EQ(tabSeparated(ride.samples), std::string(asText(table)));
    EXPECT_EQ(ride.header.fields, (std::array<std::string, 6>{"TCX", "20260412", "-", "meter/meter", "1", "-"}));
    EXPECT_EQ(ride.ImportStatus, "TCX File activ");
    EXPECT_EQ(ride.ProgramName, "stops");
    EXPECT_FALSE(ride.Calc15Available);
    EXPECT_EQ(summary->creator, "Hand Unit 1");
    EXPECT_EQ(isoTime(summary->start), "2026-04-12T09:15:00Z");
    EXPECT_EQ(summary->points, 8u);
    EXPECT_DOUBLE_EQ(summary->distance, 81.0);
    EXPECT_EQ(summary->stops, 1);
    EXPECT_DOUBLE_EQ(summary->stoppedSeconds, 22.0);
    EXPECT_EQ(summary->timing, TrackSummary::Timing::recorded);
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

TEST(TrackImport, TimerPausesAreCutOutAndChainedFilesContinueTheDistance) {
    // ride.fit: records at 0, 1, 2, 3, 5, 12, 60, 61, 75, 100 and 131 s, the
    // timer stopped from 13 s to 60 s: 84 s of moving time. chained.fit: the
    // ride twice, the second an hour later with the timer stopped in between.
    for (const auto& [file, samples, stops, stopped, distance] : std::vector<std::tuple<std::string, int, int, double, double>>{
             {"fit/ride.fit", 85, 1, 47.0, 547.19}, {"fit/chained.fit", 169, 3, 47.0 + 3469.0 + 47.0, 2 * 547.19}}) {
        RideRecord ride;
        const auto summary = load(ride, file);
        ASSERT_TRUE(summary.ok()) << file;
        EXPECT_EQ(ride.samples.sampleCount(), samples) << file;
        EXPECT_EQ(summary->stops, stops) << file;
        EXPECT_DOUBLE_EQ(summary->stoppedSeconds, stopped) << file;
        EXPECT_NEAR(summary->distance, distance, 1e-6) << file;
        EXPECT_EQ(ride.samples.text(4, 2), "413") << "the invalid altitude at 3 s, between 412.8 m and 413.2 m";
    }
}

// The speed cells' way in metres, as the route builder reads it.
double cellDistance(const RideRecord& ride) {
    double way = 0;
    for (int row = 1; row <= ride.samples.sampleCount(); ++row)
        way += leadingNumber(ride.samples.text(row, 1)) * leadingNumber(ride.header.Interval()) / 36.0;
    return way;
}

TEST(TrackImport, RealRidesMatchTheirReferences) {
    auto expected = references("fit/sdk-expected.txt", "thirdparty/fit/");
    expected.merge(references("tracks/references.txt", "thirdparty/"));
    for (const char* file :
         {"thirdparty/fit/gc_karoo-2025-05-09.fit", "thirdparty/fit/gc_SigmaRox11_1.fit",
          "thirdparty/fit/gc_2013-04-11-17-32-50.fit", "thirdparty/fit/fp_developer-types-sample.fit",
          "thirdparty/fit/fp_Activity.fit", "thirdparty/fit/fp_activity-unexpected-eof.fit",
          "thirdparty/gpx/gc_Move_2014_01_16_19_48_44.gpx", "thirdparty/gpx/gc_1292585194-20906.gpx",
          "thirdparty/gpx/gx_Mojstrovka.gpx", "thirdparty/tcx/gc_2009_01_09_11_13_14.tcx",
          "thirdparty/tcx/gc_2009_09_19_09_22_42.tcx"}) {
        SCOPED_TRACE(file);
        ASSERT_TRUE(expected.count(file));
        const Reference& r = expected[file];
        RideRecord ride;
        const auto summary = load(ride, file);
        ASSERT_TRUE(summary.ok()) << summary.error().message;
        EXPECT_EQ(summary.warnings().size(), std::string(file).find("unexpected-eof") != std::string::npos ? 1u : 0u);
        EXPECT_GT(ride.samples.sampleCount(), 1);
        EXPECT_NEAR(summary->distance, r.distance, r.distance * 0.005);
        EXPECT_NEAR(cellDistance(ride), r.distance, r.distance * 0.005 + 1.0);
        double low = 1e9, high = -1e9;
        for (int row = 1; row <= ride.samples.sampleCount(); ++row) {
            low = std::min(low, leadingNumber(ride.samples.text(row, 2)));
            high = std::max(high, leadingNumber(ride.samples.text(row, 2)));
        }
        EXPECT_NEAR(low, r.lowest, 1.0);
        EXPECT_NEAR(high, r.highest, 1.0);
        // The start never comes from a clock that jumped away.
        if (std::isfinite(r.first)) {
            EXPECT_EQ(summary->start, r.first);
        }
    }
}

TEST(TrackImport, RefusalsSayWhatIsMissing) {
    for (const auto& [file, missing] : std::vector<std::pair<std::string, std::string>>{
             {"thirdparty/fit/gc_Garmin830_with_Stages.fit", "no altitude, position or distance"},
             {"thirdparty/fit/gc_Indoor_Cycling2smO2sensors.fit", "no altitude"},
             {"thirdparty/gpx/gc_MetadataOnly.gpx", "fewer than two track points"},
             {"thirdparty/gpx/gx_route.gpx", "no altitude"},
             {"thirdparty/gpx/gx_cerknicko-jezero-without-elevations.gpx", "no altitude"},
             {"thirdparty/gpx/gx_unicode_with_bom.gpx", "fewer than two track points"}}) {
        RideRecord ride;
        const RideRecord before = ride;
        const auto summary = load(ride, file);
        ASSERT_FALSE(summary.ok()) << file;
        EXPECT_NE(summary.error().message.find(missing), std::string::npos) << file << ": " << summary.error().message;
        EXPECT_EQ(ride.samples, before.samples) << file;
        EXPECT_EQ(ride.header, before.header) << file;
    }
}

TEST(TrackImport, BrokenXmlIsRefusedWithItsOffset) {
    const Bytes good = readAll(dataFile("tracks/stops.tcx"));
    const std::string text(asText(good));
    // Patches of the golden file: offset and the bytes written there.
    for (const auto& [offset, bytes] : std::vector<std::pair<std::size_t, std::string>>{
             {text.find("<Trackpoint>"), "<Trackpoint "},   // an element never closed
             {text.find("</Activities>"), "</Activitiez>"}, // a mismatched end tag
             {text.find("<TrainingCenterDatabase") + 1, "X"}}) {  // another root element
        std::string broken = text;
        broken.replace(offset, bytes.size(), bytes);
        RideRecord ride;
        const auto summary = Load_Track_File(ride, TrackFormat::tcx, "broken.tcx", toBytes(broken));
        ASSERT_FALSE(summary.ok()) << bytes;
        EXPECT_NE(summary.error().message.find("TCX"), std::string::npos) << summary.error().message;
    }
}

}  // namespace
}  // namespace vb
