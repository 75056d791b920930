#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "import/FitReader.h"
#include "support/TestSupport.h"

namespace vb {
namespace {

using test::dataFile;
using test::readAll;

// What the FIT SDK's decoder read from a file (tests/data/fit/*.expected).
struct Expected {
    std::vector<TrackPoint> points;
    std::vector<TimerPause> pauses;
    std::int64_t cut = -1;  // offset named by the cut-short warning
};

double number(const std::string& token) { return token == "-" ? TrackPoint::kNone : std::stod(token); }

std::vector<std::vector<std::string>> lines(std::string_view file) {
    std::ifstream in(dataFile(file));
    std::vector<std::vector<std::string>> out;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        out.emplace_back(std::istream_iterator<std::string>(words), std::istream_iterator<std::string>());
    }
    EXPECT_FALSE(out.empty()) << file;
    return out;
}

Expected expected(std::string_view file) {
    Expected e;
    for (const auto& w : lines(file)) {
        if (w[0] == "point")
            e.points.push_back({number(w[1]), number(w[2]), number(w[3]), number(w[4]), number(w[5]),
                                number(w[6]), std::stoi(w[7])});
        else if (w[0] == "pause")
            e.pauses.push_back({number(w[1]), number(w[2])});
        else if (w[0] == "cut")
            e.cut = std::stoll(w[1]);
    }
    return e;
}

void expectNear(double actual, double wanted, double tolerance, const std::string& what) {
    if (std::isnan(wanted))
        EXPECT_TRUE(std::isnan(actual)) << what << " is " << actual << ", wanted none";
    else
        EXPECT_NEAR(actual, wanted, tolerance) << what;
}

Result<Track> readFit(std::string_view file) { return readFitTrack(readAll(dataFile(file))); }

TEST(FitReader, RealFilesGiveWhatTheSdkReads) {
    const std::pair<std::string, std::string> creators[] = {
        {"gc_karoo-2025-05-09.fit", "Hammerhead Karoo 2"},
        {"gc_SigmaRox11_1.fit", "Sigma ROX 11.1 EVO"},
        {"gc_2013-04-11-17-32-50.fit", "Garmin Edge 500"},
        {"fp_developer-types-sample.fit", "Stryd"},
    };
    for (const auto& w : lines("fit/sdk-expected.txt")) {
        SCOPED_TRACE(w[0]);
        const auto track = readFit("thirdparty/fit/" + w[0]);
        ASSERT_TRUE(track.ok()) << track.error().message;
        EXPECT_EQ(track->version, "FIT");
        EXPECT_EQ(track->points.size(), std::stoul(w[2]));
        double last = TrackPoint::kNone, low = INFINITY, high = -INFINITY;
        for (const TrackPoint& p : track->points) {
            if (!std::isnan(p.distance)) last = p.distance;
            low = std::min(low, p.altitude);  // NaN compares false: std::min keeps the first
            high = std::max(high, p.altitude);
        }
        expectNear(last, number(w[4]), std::abs(number(w[4])) * 0.005, "last distance");
        if (w[6] == "-") {
            EXPECT_TRUE(std::isinf(low) && std::isinf(high)) << "altitude " << low << ".." << high;
        } else {
            EXPECT_NEAR(low, number(w[6]), 1.0);
            EXPECT_NEAR(high, number(w[7]), 1.0);
        }
        EXPECT_EQ(track->points.at(0).time, number(w[9]));
        EXPECT_EQ(track.warnings().size(), w[0] == "fp_activity-unexpected-eof.fit" ? 1U : 0U);
        for (const auto& [name, creator] : creators)
            if (name == w[0]) {
                EXPECT_EQ(track->creator, creator);
            }
    }
    const auto cut = readFit("thirdparty/fit/fp_activity-unexpected-eof.fit");
    ASSERT_EQ(cut.warnings().size(), 1U);
    EXPECT_EQ(cut.warnings()[0].offset, 751);
    EXPECT_NE(cut.warnings()[0].message.find("cut short at offset 751"), std::string::npos);
}

TEST(FitReader, GeneratedFilesGiveWhatTheSdkReads) {
    struct Case {
        std::string file, expected, times;  // times: written by hand, instead of the expected file's
    };
    const Case cases[] = {
        {"ride.fit", "ride.expected", ""},             // developer fields, a timer stop, invalid altitude
        {"ride-big-endian.fit", "ride.expected", ""},  // the same values from big-endian definitions
        {"ride-compressed.fit", "ride.expected", "ride-compressed.times"},
        {"chained.fit", "chained.expected", ""},    // two parts
        {"ride-cut.fit", "ride-cut.expected", ""},  // the records before the cut, with a warning
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Expected e = expected("fit/" + c.expected);
        if (!c.times.empty()) {
            const auto times = lines("fit/" + c.times);
            ASSERT_EQ(times.size(), e.points.size());
            for (std::size_t i = 0; i < times.size(); ++i) e.points[i].time = number(times[i][0]);
        }
        const auto track = readFit("fit/" + c.file);
        ASSERT_TRUE(track.ok()) << track.error().message;
        EXPECT_EQ(track->creator, "Garmin Edge 830");
        ASSERT_EQ(track->points.size(), e.points.size());
        for (std::size_t i = 0; i < e.points.size(); ++i) {
            const TrackPoint &p = track->points[i], &q = e.points[i];
            const std::string at = "point " + std::to_string(i) + " ";
            expectNear(p.time, q.time, 0, at + "time");
            expectNear(p.latitude, q.latitude, 1e-8, at + "latitude");
            expectNear(p.longitude, q.longitude, 1e-8, at + "longitude");
            expectNear(p.altitude, q.altitude, 1e-3, at + "altitude");
            expectNear(p.distance, q.distance, 1e-3, at + "distance");
            expectNear(p.speed, q.speed, 1e-4, at + "speed");
            EXPECT_EQ(p.part, q.part) << at;
        }
        ASSERT_EQ(track->pauses.size(), e.pauses.size());
        for (std::size_t i = 0; i < e.pauses.size(); ++i) {
            EXPECT_EQ(track->pauses[i].stop, e.pauses[i].stop);
            EXPECT_EQ(track->pauses[i].start, e.pauses[i].start);
        }
        ASSERT_EQ(track.warnings().size(), e.cut < 0 ? 0U : 1U);
        if (e.cut >= 0) {
            EXPECT_EQ(track.warnings()[0].offset, e.cut);
        }
    }
}

// Patches applied to ride.fit; with fixCrc the header and file CRCs are made
// to match the patched bytes, so that the check under test is the one that fails.
TEST(FitReader, BrokenFilesAreRefusedWithTheOffset) {
    struct Case {
        std::size_t offset;
        Bytes patch;
        bool fixCrc;
        std::int64_t at;
        std::string message;
    };
    const Case cases[] = {
        {0, {std::byte{13}}, true, 0, "fit header size 13 at offset 0 is neither 12 nor 14"},
        {8, toBytes(".FIX"), true, 8, "bytes 8..11 of the fit header at offset 0 are not \".FIT\""},
        {12, {std::byte{0}, std::byte{1}}, false, 12, "header crc 0x0100 at offset 12 does not match 0xf80d"},
        {40, {std::byte{0xAA}}, false, 570, "file crc 0xb8b5 at offset 570 does not match"},
        {570,
         {std::byte{0xB5}, std::byte{0xB9}},
         false,
         570,
         "file crc 0xb9b5 at offset 570 does not match 0xb8b5"},
        {16, {std::byte{2}}, true, 16, "definition message at offset 14 has architecture 2"},
        {22, {std::byte{0x1F}}, true, 22, "field 0 of the definition message at offset 14 has base type 31"},
        {35,
         {std::byte{0x09}},
         true,
         35,
         "data message at offset 35 has local message type 9, which no definition"},
        {35,
         {std::byte{0x80}},
         true,
         35,
         "compressed timestamp header at offset 35 comes before any timestamp"},
        {4,
         {std::byte{0x26}, std::byte{0x02}},
         true,
         562,  // data size 550: the last message crosses its end
         "data message at offset 562 needs 8 bytes, 2 remain before the file crc at offset 564"},
        {572, {std::byte{0}}, true, 572, "fit header size 0 at offset 572 is neither 12 nor 14"},
    };
    const Bytes ride = readAll(dataFile("fit/ride.fit"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        Bytes data = ride;
        data.resize(std::max(data.size(), c.offset + c.patch.size()));
        std::copy(c.patch.begin(), c.patch.end(), data.begin() + static_cast<std::ptrdiff_t>(c.offset));
        if (c.fixCrc) {
            const auto put16 = [&](std::size_t at, std::uint16_t v) {
                data[at] = std::byte(v & 0xFF);
                data[at + 1] = std::byte(v >> 8);
            };
            put16(12, fitCrc(std::span(data).first(12)));
            const std::size_t end =
                14 + (std::to_integer<std::size_t>(data[4]) | std::to_integer<std::size_t>(data[5]) << 8);
            put16(end, fitCrc(std::span(data).first(end)));
        }
        const auto track = readFitTrack(data);
        ASSERT_FALSE(track.ok());
        EXPECT_EQ(track.error().offset, c.at);
        EXPECT_NE(track.error().message.find(c.message), std::string::npos) << track.error().message;
    }
}

// A cut anywhere: refused inside the first header, otherwise the records
// before the cut and one warning. ASan catches any read past the end.
TEST(FitReader, EveryPrefixIsReadUpToTheCut) {
    for (const char* file :
         {"fit/ride.fit", "fit/chained.fit", "fit/ride-big-endian.fit", "fit/ride-compressed.fit"}) {
        const Bytes data = readAll(dataFile(file));
        const std::size_t firstEnd =
            16 + (std::to_integer<std::size_t>(data[4]) | std::to_integer<std::size_t>(data[5]) << 8);
        std::size_t points = 0;
        for (std::size_t n = 0; n <= data.size(); ++n) {
            const auto track = readFitTrack(std::span(data).first(n));
            ASSERT_EQ(track.ok(), n >= 14) << file << " cut at " << n;
            if (!track.ok()) continue;
            ASSERT_EQ(track.warnings().size(), n == data.size() || n == firstEnd ? 0U : 1U)
                << file << " cut at " << n;
            ASSERT_GE(track->points.size(), points) << file << " cut at " << n;
            points = track->points.size();
        }
    }
}

TEST(FitReader, LooksLikeFitByItsHeader) {
    Bytes head = readAll(dataFile("fit/ride.fit"));
    EXPECT_TRUE(looksLikeFit(head));
    EXPECT_TRUE(looksLikeFit(std::span(head).first(12)));
    EXPECT_FALSE(looksLikeFit(std::span(head).first(11)));
    head[0] = std::byte{12};
    EXPECT_TRUE(looksLikeFit(head));
    head[0] = std::byte{13};
    EXPECT_FALSE(looksLikeFit(head));
    head[0] = std::byte{14};
    head[11] = std::byte{'X'};
    EXPECT_FALSE(looksLikeFit(head));
}

}  // namespace
}  // namespace vb
