#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
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

Result<Track> readFit(std::string_view file) { return readFitTrack(readAll(dataFile(file))); }

// The lines of a golden file without its comments, split into words.
std::vector<std::vector<std::string>> words(std::string_view file) {
    std::ifstream in(dataFile(file));
    std::vector<std::vector<std::string>> out;
    for (std::string line; std::getline(in, line);) {
        std::istringstream split(line);
        if (!line.empty() && line[0] != '#')
            out.emplace_back(std::istream_iterator<std::string>(split), std::istream_iterator<std::string>());
    }
    EXPECT_FALSE(out.empty()) << file;
    return out;
}

double number(const std::string& word) { return word == "-" ? TrackPoint::kNone : std::stod(word); }

// A track in the words of the .expected files that the FIT SDK's decoder printed.
std::vector<std::vector<std::string>> describe(const Result<Track>& track) {
    const auto text = [](double value, const char* format) {
        char out[32];
        std::snprintf(out, sizeof out, format, value);
        return std::isnan(value) ? std::string("-") : std::string(out);
    };
    std::vector<std::vector<std::string>> out;
    if (!track.warnings().empty()) out.push_back({"cut", std::to_string(track.warnings()[0].offset)});
    for (const TrackPoint& p : track->points)
        out.push_back({"point", text(p.time, "%.0f"), text(p.latitude, "%.9f"), text(p.longitude, "%.9f"),
                       text(p.altitude, "%.3f"), text(p.distance, "%.3f"), text(p.speed, "%.4f"),
                       std::to_string(p.part)});
    for (const TimerPause& p : track->pauses)
        out.push_back({"pause", text(p.stop, "%.0f"), text(p.start, "%.0f")});
    return out;
}

TEST(FitReader, RealFilesGiveWhatTheSdkReads) {
    const std::pair<std::string, std::string> creators[] = {
        {"gc_karoo-2025-05-09.fit", "Hammerhead Karoo 2"},
        {"gc_SigmaRox11_1.fit", "Sigma ROX 11.1 EVO"},
        {"gc_2013-04-11-17-32-50.fit", "Garmin Edge 500"},
        {"fp_developer-types-sample.fit", "Stryd"},
    };
    for (const auto& w : words("fit/sdk-expected.txt")) {
        SCOPED_TRACE(w[0]);
        const auto track = readFit("thirdparty/fit/" + w[0]);
        ASSERT_TRUE(track.ok()) << track.error().message;
        EXPECT_EQ(track->version, "FIT");
        EXPECT_EQ(track->points.size(), std::stoul(w[2]));
        double last = TrackPoint::kNone, low = INFINITY, high = -INFINITY;
        for (const TrackPoint& p : track->points) {
            if (!std::isnan(p.distance)) last = p.distance;
            low = std::min(low, p.altitude);  // a NaN altitude compares false and is passed over
            high = std::max(high, p.altitude);
        }
        if (w[4] == "-") {
            EXPECT_TRUE(std::isnan(last));
        } else {
            EXPECT_NEAR(last, number(w[4]), number(w[4]) * 0.005);
        }
        if (w[6] == "-") {
            EXPECT_TRUE(std::isinf(low) && std::isinf(high)) << "altitudes " << low << ".." << high;
        } else {
            EXPECT_NEAR(low, number(w[6]), 1.0);
            EXPECT_NEAR(high, number(w[7]), 1.0);
        }
        EXPECT_EQ(track->points.at(0).time, number(w[9]));
        for (const auto& [name, creator] : creators) {
            if (name == w[0]) {
                EXPECT_EQ(track->creator, creator);
            }
        }
        const std::int64_t cut = w[0] == "fp_activity-unexpected-eof.fit" ? 751 : -1;  // its last message
        ASSERT_EQ(track.warnings().size(), cut < 0 ? 0U : 1U);
        if (cut >= 0) {
            EXPECT_EQ(track.warnings()[0].offset, cut);
            EXPECT_NE(track.warnings()[0].message.find("cut short at offset 751"), std::string::npos);
        }
    }
}

TEST(FitReader, GeneratedFilesGiveWhatTheSdkReads) {
    const std::pair<std::string, std::string> cases[] = {
        {"ride", "ride"},             // developer fields, a timer stop, an invalid altitude, a widened field
        {"ride-big-endian", "ride"},  // the same values from big-endian definitions
        {"ride-compressed", "ride"},  // the same, with the times of ride-compressed.times
        {"chained", "chained"},       // two parts
        {"ride-cut", "ride-cut"},     // the records before the cut, and a warning
    };
    for (const auto& [file, expected] : cases) {
        SCOPED_TRACE(file);
        auto want = words("fit/" + expected + ".expected");
        if (file == "ride-compressed") {
            const auto times = words("fit/ride-compressed.times");  // worked out by hand
            for (std::size_t i = 0; i < times.size(); ++i) want.at(i)[1] = times[i][0];
        }
        const auto track = readFit("fit/" + file + ".fit");
        ASSERT_TRUE(track.ok()) << track.error().message;
        EXPECT_EQ(track->creator, "Garmin Edge 830");
        EXPECT_EQ(describe(track), want);
    }
}

// Patches applied to ride.fit; with fixCrc the header and file CRCs are made
// to match the patched bytes, so that the check under test is the one that fails.
TEST(FitReader, BrokenFilesAreRefusedWithTheOffset) {
    struct Case {
        std::size_t offset;
        std::vector<int> patch;
        bool fixCrc;
        std::int64_t at;
        std::string message;
    };
    const Case cases[] = {
        {0, {13}, true, 0, "fit header size 13 at offset 0 is neither 12 nor 14"},
        {11, {'X'}, true, 8, "bytes 8..11 of the fit header at offset 0 are not \".FIT\""},
        {12, {0, 1}, false, 12, "header crc 0x0100 at offset 12 does not match 0xf80d"},
        {40, {0xAA}, false, 570, "file crc 0xb8b5 at offset 570 does not match"},
        {570, {0xB5, 0xB9}, false, 570, "file crc 0xb9b5 at offset 570 does not match 0xb8b5"},
        {16, {2}, true, 16, "definition message at offset 14 has architecture 2"},
        {22, {0x1F}, true, 22, "field 0 of the definition message at offset 14 has base type 31"},
        {35, {0x09}, true, 35, "data message at offset 35 has local message type 9, which no definition"},
        {35, {0x80}, true, 35, "compressed timestamp header at offset 35 comes before any timestamp"},
        {4,
         {0x26, 0x02},
         true,
         562,  // data size 550: the last message crosses its end
         "data message at offset 562 needs 8 bytes, 2 remain before the file crc at offset 564"},
        {572, {0}, true, 572, "fit header size 0 at offset 572 is neither 12 nor 14"},  // after the file
    };
    const Bytes ride = readAll(dataFile("fit/ride.fit"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        Bytes data = ride;
        data.resize(std::max(data.size(), c.offset + c.patch.size()));
        for (std::size_t i = 0; i < c.patch.size(); ++i) data[c.offset + i] = std::byte(c.patch[i]);
        const auto put16 = [&](std::size_t at, std::uint16_t v) {
            data[at] = std::byte(v & 0xFF);
            data[at + 1] = std::byte(v >> 8);
        };
        const std::size_t end =
            14 + (std::to_integer<std::size_t>(data[4]) | std::to_integer<std::size_t>(data[5]) << 8);
        if (c.fixCrc) put16(12, fitCrc(std::span(data).first(12)));
        if (c.fixCrc) put16(end, fitCrc(std::span(data).first(end)));
        const auto track = readFitTrack(data);
        ASSERT_FALSE(track.ok());
        EXPECT_EQ(track.error().offset, c.at);
        EXPECT_NE(track.error().message.find(c.message), std::string::npos) << track.error().message;
        EXPECT_EQ(looksLikeFit(data), c.at != 0 && c.at != 8);
    }
}

// A cut anywhere: refused inside the first header, otherwise the records
// before the cut and one warning, none where a file of a chain ends. ASan
// catches any read past the end.
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
            ASSERT_EQ(looksLikeFit(std::span(data).first(n)), n >= 12) << file << " cut at " << n;
            if (!track.ok()) continue;
            ASSERT_EQ(track.warnings().size(), n == data.size() || n == firstEnd ? 0U : 1U)
                << file << " cut at " << n;
            ASSERT_GE(track->points.size(), points) << file << " cut at " << n;
            points = track->points.size();
        }
    }
}

}  // namespace
}  // namespace vb
