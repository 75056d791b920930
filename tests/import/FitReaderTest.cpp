// The FIT reader on generated files and patched copies of them; the real
// files are checked with the track import.

#include "import/FitReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "support/TestSupport.h"

namespace vb {
namespace {

using test::bytesOf;
using test::dataFile;
using test::readAll;

// The lines of a golden file without its comments, split into words.
std::vector<std::vector<std::string>> words(std::string_view file) {
    std::ifstream in(dataFile(file));
    std::vector<std::vector<std::string>> out;
    for (std::string line; std::getline(in, line);) {
        std::istringstream split(line);
        if (!line.empty() && line[0] != '#')
            out.emplace_back(std::istream_iterator<std::string>(split), std::istream_iterator<std::string>());
    }
    return out;
}

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
    for (const TimerPause& p : track->pauses) out.push_back({"pause", text(p.stop, "%.0f"), text(p.start, "%.0f")});
    return out;
}

TEST(FitReader, GeneratedFilesGiveWhatTheSdkReads) {
    const std::pair<std::string, std::string> cases[] = {
        {"ride", "ride"},             // developer fields, a timer stop, an invalid altitude, a widened field
        {"ride-big-endian", "ride"},  // the same values from big-endian definitions
        {"ride-compressed", "ride"},  // the same, its times worked out by hand in ride-compressed.times
        {"chained", "chained"},       // two parts
        {"ride-cut", "ride-cut"},     // the records before the cut, and a warning
    };
    for (const auto& [file, expected] : cases) {
        SCOPED_TRACE(file);
        const auto track = readFitTrack(readAll(dataFile("fit/" + file + ".fit")));
        ASSERT_TRUE(track.ok()) << track.error().message;
        EXPECT_EQ(track->creator, "Garmin Edge 830");
        EXPECT_EQ(describe(track), words("fit/" + expected + ".expected"));
    }
}

// `file` with the patches applied; with fixCrc the header and file CRCs are
// made to match, so that the check under test is the one that fails.
Bytes patchedFit(std::string_view file, const std::vector<test::Patch>& patches, bool fixCrc) {
    Bytes data = test::patched(readAll(dataFile(file)), patches);
    const std::size_t end = 14 + (std::to_integer<std::size_t>(data[4]) | std::to_integer<std::size_t>(data[5]) << 8);
    if (!fixCrc) return data;
    data = test::patched(data, {{12, test::i16Bytes(fitCrc(std::span(data).first(12)))}});
    return test::patched(data, {{end, test::i16Bytes(fitCrc(std::span(data).first(end)))}});
}

// ride.fit: the file id message's manufacturer at 37 and product at 39, the
// definition of the first records at 158 (its timestamp's base type at
// 166), the first record's timestamp at 190, the file CRC at 570.
TEST(FitReader, BrokenFilesAreRefusedWithTheOffset) {
    // Patches, whether the CRCs are made to match, and the offset and message of the refusal.
    const std::tuple<std::vector<test::Patch>, bool, std::int64_t, std::string> cases[] = {
        {{{0, bytesOf({13})}}, true, 0, "fit header size 13 at offset 0 is neither 12 nor 14"},
        {{{11, bytesOf({'X'})}}, true, 8, "bytes 8..11 of the fit header at offset 0 are not \".FIT\""},
        {{{12, bytesOf({0, 1})}}, false, 12, "header crc 0x0100 at offset 12 does not match 0xf80d"},
        {{{40, bytesOf({0xAA})}}, false, 570, "file crc 0xb8b5 at offset 570 does not match"},
        {{{570, bytesOf({0xB5, 0xB9})}}, false, 570, "file crc 0xb9b5 at offset 570 does not match 0xb8b5"},
        {{{16, bytesOf({2})}}, true, 16, "definition message at offset 14 has architecture 2"},
        {{{22, bytesOf({0x1F})}}, true, 22, "field 0 of the definition message at offset 14 has base type 31"},
        {{{35, bytesOf({0x09})}}, true, 35, "data message at offset 35 has local message type 9, which no definition"},
        {{{35, bytesOf({0x80})}}, true, 35, "compressed timestamp header at offset 35 comes before any timestamp"},
        {{{4, bytesOf({0x26, 0x02})}}, true, 562,  // data size 550: the last message crosses its end
         "data message at offset 562 needs 8 bytes, 2 remain before the file crc at offset 564"},
        {{{572, bytesOf({0})}}, true, 572, "fit header size 0 at offset 572 is neither 12 nor 14"},  // after the file
    };
    for (const auto& [patches, fixCrc, at, message] : cases) {
        SCOPED_TRACE(message);
        const Bytes data = patchedFit("fit/ride.fit", patches, fixCrc);
        const auto track = readFitTrack(data);
        ASSERT_FALSE(track.ok());
        EXPECT_EQ(track.error().offset, at);
        EXPECT_NE(track.error().message.find(message), std::string::npos) << track.error().message;
        EXPECT_EQ(looksLikeFit(data), at != 0 && at != 8);
    }
}

TEST(FitReader, PatchedFieldsReadAsTheirTypesSay) {
    // The file patched (its CRCs made to match), its creator, and a point and its time.
    const double epoch = kFitEpochOffset;
    const std::tuple<std::string, std::vector<test::Patch>, std::string, std::size_t, double> cases[] = {
        {"ride", {{37, bytesOf({115, 0})}}, "iGPSPORT", 0, 1775985300},
        {"ride", {{37, bytesOf({45, 0})}}, "Xplova", 0, 1775985300},
        {"ride", {{39, bytesOf({0xDB, 0x10})}}, "Garmin Forerunner 965", 0, 1775985300},  // product 4315
        {"ride", {{190, bytesOf({0, 0, 0, 0})}}, "Garmin Edge 830", 0, epoch},             // the first FIT second
        {"ride", {{166, bytesOf({0x88})}}, "Garmin Edge 830", 0, epoch + 760.352783203125},  // as float32: 0x443e1694
        // ride-compressed.fit: the timer event's timestamp at 151 before the
        // first record, whose compressed header at 209 then says 31 seconds.
        {"ride-compressed", {{151, bytesOf({0xF4, 0xFF, 0xFF, 0xFF})}, {209, bytesOf({0x9F})}}, "Garmin Edge 830",
         1, epoch + 0xFFFFFFFF},
    };
    for (const auto& [file, patches, creator, point, time] : cases) {
        SCOPED_TRACE(creator + " " + std::to_string(time));
        const auto track = readFitTrack(patchedFit("fit/" + file + ".fit", patches, true));
        ASSERT_TRUE(track.ok()) << track.error().message;
        EXPECT_EQ(track->creator, creator);
        EXPECT_DOUBLE_EQ(track->points.at(point).time, time);
    }
}

// A cut anywhere: refused inside the first header, otherwise the records before the cut and one
// warning, none where a file of a chain ends. ASan catches any read past the end.
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
