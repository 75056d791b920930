#include "catalyst/RunFileReader.h"

#include <gtest/gtest.h>

#include <charconv>
#include <span>

#include "support/TestSupport.h"

namespace vb {
namespace {

using namespace test;

// tests/data/run/golden.ca: "AB\0C" in the name field, a slope program of two
// sections (3 % over 0.1 km, -2 % over 0.05 km), 2005-06-12 09:05, a run of
// three 0xFF before the four that start the data, three records.
// golden.caf: "Alpine", slope, routes 250 m at 4.04 % and 100 m at -1.26 %,
// four records at 1000, 1010, 1025 and 1025.125 m. Offsets below are theirs.
constexpr std::size_t kCaType = 40, kCaCount = 48, kCaLength1 = 64, kCaLength2 = 84, kCaMarker = 628,
                      kCaSkipped = 638, kCaData = 648;
constexpr std::size_t kCafName = 24, kCafType = 58, kCafRest = 66, kCafProgram = 90, kCafRoutes = 102,
                      kCafData = 126, kCafRecords = 138;

Bytes input(const std::string& file, const std::vector<Patch>& patches = {}, std::size_t size = 0) {
    return patched(readAll(dataFile("run/" + file)), patches, size);
}

/// A run record that holds something, to see whether a refused read keeps it.
CatalystRun heldRun() {
    CatalystRun run;
    run.FileName = "held.ca";
    run.LastSample = 42;
    run.Samples.assign(1, RunSample{.speed = 777});
    return run;
}

template <class T>
std::string num(T value) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

/// The run info lines, then the run record: sections, the slope profile as runs
/// of equal entries, and the samples (distance, heart rate, cadence, power, speed).
std::string dump(const std::vector<std::string>& lines, const CatalystRun& run) {
    std::string out;
    for (const auto& line : lines) out += line + "\n";
    out += "file " + run.FileName + ", stored " + run.StoredName + ", sections " + num(run.SectionCount) + ", last sample " +
           num(run.LastSample) + ", offset " + num(run.DistanceOffset) + ", start";
    for (auto field : run.StartDateTime) out += " " + num(field);
    for (std::size_t i = 1; i < run.Sections.size(); ++i)
        out += "\nsection " + num(i) + ": " + num(run.Sections[i].value) + " over " + num(run.Sections[i].length);
    out += "\nprofile:";
    const auto& profile = run.SlopeProfile;
    for (std::size_t i = 0, j = 0; i < profile.size(); i = j) {
        while (j < profile.size() && profile[j] == profile[i]) ++j;
        out += (i == 0 ? " " : ", ") + num(j - i) + " of " + num(profile[i]);
    }
    for (const RunSample& s : run.Samples)
        out += "\nsample: " + num(s.distance) + " " + num(s.heartRate) + " " + num(s.cadence) + " " + num(s.power) +
               " " + num(s.speed);
    return out + "\n";
}

TEST(RunFileReader, ReadsTheHandComputedRunRecord) {
    const Bytes emptyBlocks = bytesOf({0x06, 0x04, 0x64, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x06, 0x04, 0x64, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    Bytes longName;
    for (char c : std::string("ABCDEFGHIJKLMNOPQRST")) longName = longName + bytesOf({c, 0});
    const struct {
        const char* file;
        std::vector<Patch> patches;
        std::size_t size;
        const char* golden;
    } cases[] = {
        {"golden.ca", {}, 0, "golden.ca.txt"},
        {"golden.ca", {{kCaType, bytesOf({0})}}, 0, "power.ca.txt"},  // no lengths, no profile
        {"golden.ca", {{kCaType, bytesOf({2})}}, 0, "heart-rate.ca.txt"},
        {"golden.ca", {}, kCaData + 10, "one-record.ca.txt"},
        {"golden.ca", {}, kCaData, "no-record.ca.txt"},
        // 0xFF in the record after the marker changes nothing.
        {"golden.ca", {{kCaMarker, bytesOf({0xFF, 0xFF, 0xFF, 0, 5, 0})}, {kCaSkipped, Bytes(10, std::byte{0xFF})}}, 0,
         "golden.ca.txt"},
        {"golden.caf", {}, 0, "golden.caf.txt"},
        {"golden.caf", {{kCafType, bytesOf({2})}}, 0, "power.caf.txt"},  // a profile of zeros
        // Blocks of other kinds are skipped.
        {"golden.caf", {{kCafType, bytesOf({0})}, {kCafProgram + 4, i32Bytes(0)}, {kCafRoutes, emptyBlocks}}, 0,
         "heart-rate-no-routes.caf.txt"},
        // The data block's count is only shown; a part record at the end is ignored.
        {"golden.caf", {{kCafData + 4, i32Bytes(99)}}, kCafRecords + 47, "count-99.caf.txt"},
        {"golden.caf", {}, kCafRecords, "no-record.caf.txt"},
        // 25 m at 0.25 % rounds to 0.2 hm at 0.2 %.
        {"golden.caf", {{kCafRoutes, f32Bytes(25.0f) + f32Bytes(0.25f)}, {kCafRoutes + 12, f32Bytes(0.0f)}}, 0,
         "rounding.caf.txt"},
        // Block bytes inside the general record are not block headers.
        {"golden.caf", {{kCafRest, bytesOf({0xFC, 0x03, 0x64, 0x00, 0x09, 0x00, 0xCC, 0x0B, 0x64, 0x00, 0x01, 0x00})}},
         0, "golden.caf.txt"},
        // A 20-character name: the type byte follows its end.
        {"golden.caf", {{kCafName, longName + bytesOf({0, 0, 2, 0, 0, 0})}}, 0, "long-name.caf.txt"},
    };
    CatalystRun run = heldRun();  // every read replaces the record whole
    for (const auto& c : cases) {
        // The part after the last separator of either kind names the file, as on Windows.
        const auto lines = readRunFile(run, input(c.file, c.patches, c.size), "C:\\Rides\\" + std::string(c.file),
                                       *runKindOf(c.file));
        ASSERT_TRUE(lines.ok()) << c.golden << ": " << lines.error().message;
        EXPECT_EQ(dump(*lines, run), asText(readAll(dataFile(std::string("run/") + c.golden)))) << c.golden;
    }
    const std::pair<const char*, std::optional<RunKind>> kinds[] = {
        {"a/tour.ca", RunKind::v1}, {"TOUR.CA", RunKind::v1}, {"tour.Caf", RunKind::v2}, {"tour.cafe", {}}, {"ca", {}}};
    for (const auto& [path, kind] : kinds) EXPECT_EQ(runKindOf(path), kind) << path;
}

TEST(RunFileReader, BrokenFilesAreUnidentifiedOrRefused) {
    const struct {
        const char* what;
        const char* file;
        std::vector<Patch> patches;
        std::size_t size;
        bool identified;  // false: "not identifiable", the record reset; true: refused, the record kept
    } cases[] = {
        {"type 3", "golden.ca", {{kCaType, bytesOf({3})}}, 0, false},
        {"without four 0xFF", "golden.ca", {{kCaMarker + 6, bytesOf({0, 0, 0, 0})}}, 0, false},
        {"type 3", "golden.caf", {{kCafType, bytesOf({3})}}, 0, false},
        {"heart rate with routes", "golden.caf", {{kCafType, bytesOf({0})}}, 0, false},
        {"without program block", "golden.caf", {{kCafProgram, bytesOf({0x06, 0x04})}}, 0, false},
        {"without data block", "golden.caf", {{kCafData, bytesOf({0xD6, 0x0B})}}, 0, false},
        {"negative count", "golden.caf", {{kCafProgram + 4, i32Bytes(-1)}}, 0, false},
        {"negative size", "golden.caf", {{kCafProgram + 8, i32Bytes(-4)}}, 0, false},
        {"block past the end", "golden.caf", {{kCafProgram + 4, i32Bytes(1000)}}, 0, false},
        {"routes of 8 bytes", "golden.caf", {{kCafProgram + 8, i32Bytes(8)}}, 0, false},
        {"negative section count", "golden.ca", {{kCaCount, i32Bytes(-5)}}, 0, true},
        {"32001 sections", "golden.ca", {{kCaCount, i32Bytes(32001)}}, 0, true},
        {"64010 profile steps", "golden.ca", {{kCaLength1, f64Bytes(320.0)}}, 0, true},
        {"16002 records", "golden.ca", {}, kCaData + 160020, true},
        {"32001 routes", "golden.caf", {{kCafProgram + 4, i32Bytes(32001)}}, kCafRoutes + 32001 * 12, true},
        {"16002 records", "golden.caf", {}, kCafRecords + 160020, true},
        {"block header cut short", "golden.caf", {}, kCafData + 5, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file + std::string(": ") + c.what);
        CatalystRun run = heldRun();
        const auto lines = readRunFile(run, input(c.file, c.patches, c.size), "/in/odd.run", *runKindOf(c.file));
        ASSERT_FALSE(lines.ok());
        const Error& e = lines.error();
        EXPECT_EQ(e.code != ErrorCode::unidentified, c.identified) << e.message;
        EXPECT_EQ(e.message.starts_with("not identifiable: "), !c.identified) << e.message;
        // Unidentified: what was read before the failure stays, nothing of the earlier file does.
        EXPECT_EQ(run.FileName, c.identified ? "held.ca" : "odd.run");
        EXPECT_EQ(run.LastSample, c.identified ? 42 : 0);
        EXPECT_TRUE(c.identified ? run.Samples[0].speed == 777 : run.Samples.empty() || run.Samples[0].speed == 0);
    }

    // Exactly at the limits: 64001 steps and 16001 samples.
    CatalystRun run;
    const Bytes full = input("golden.ca", {{kCaLength1, f64Bytes(320.0)}, {kCaLength2, f64Bytes(0.005)}}, kCaData + 160010);
    ASSERT_TRUE(readRunFile(run, full, "full.ca", RunKind::v1).ok());
    EXPECT_EQ(run.SlopeProfile.size(), 64001u);
    EXPECT_EQ(run.SlopeProfile[64000], -2.0f);
    EXPECT_EQ(run.LastSample, 16000);

    // A file that cannot be opened is refused the same way.
    run = heldRun();
    const auto missing = Check_Catalyst_File(run, "/no/such/folder/x.ca", RunKind::v1);
    ASSERT_FALSE(missing.ok());
    EXPECT_NE(missing.error().code, ErrorCode::unidentified);
    EXPECT_EQ(run.LastSample, 42);
}

TEST(RunFileReader, EveryTruncatedPrefixKeepsTheCompleteRecordsOrIsRefused) {
    const struct {
        const char* file;
        std::size_t readsFrom, data;
        int last;  // LastSample of a file with no record
    } files[] = {{"golden.ca", kCaSkipped, kCaData, -1}, {"golden.caf", kCafRecords, kCafRecords, 0}};
    for (const auto& f : files) {
        const Bytes whole = input(f.file);
        for (std::size_t n = 0; n < whole.size(); ++n) {
            SCOPED_TRACE(f.file + std::string(" cut to ") + std::to_string(n));
            CatalystRun run = heldRun();
            const auto lines = readRunFile(run, std::span(whole).first(n), f.file, *runKindOf(f.file));
            ASSERT_EQ(lines.ok(), n >= f.readsFrom);
            if (lines.ok()) {
                EXPECT_EQ(run.LastSample, (n < f.data ? 0 : static_cast<int>((n - f.data) / 10)) + f.last);
                continue;
            }
            const bool unidentified = lines.error().code == ErrorCode::unidentified;
            EXPECT_EQ(run.LastSample, unidentified ? 0 : 42);
            // A V1.0 file cut before the marker is cut short; one cut inside it has none.
            EXPECT_TRUE(f.last == 0 || unidentified == (n >= kCaMarker));
        }
    }
}

}  // namespace
}  // namespace vb
