#include "catalyst/RunFileReader.h"

#include <gtest/gtest.h>

#include <map>
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
Bytes goldenCa() { return readAll(dataFile("run/golden.ca")); }
Bytes goldenCaf() { return readAll(dataFile("run/golden.caf")); }

const std::string kRule = "####################";
constexpr std::size_t kCaType = 40, kCaCount = 48, kCaLength1 = 64, kCaLength2 = 84, kCaMarker = 628,
                      kCaSkipped = 638, kCaData = 648;
constexpr std::size_t kCafName = 24, kCafType = 58, kCafRest = 66, kCafProgram = 90, kCafRoutes = 102,
                      kCafData = 126, kCafRecords = 138;

/// A run record that holds something, to see whether a refused read keeps it.
CatalystRun heldRun() {
    CatalystRun run;
    run.FileName = "held.ca";
    run.LastSample = 42;
    run.Samples.assign(1, RunSample{});
    run.Samples[0].speed = 777;
    return run;
}

void expectSample(const RunSample& s, float distance, int hr, int cad, int power, int speed) {
    EXPECT_EQ(s.distance, distance);
    EXPECT_EQ(s.heartRate, hr);
    EXPECT_EQ(s.cadence, cad);
    EXPECT_EQ(s.power, power);
    EXPECT_EQ(s.speed, speed);
}

TEST(RunFileReader, ReadsAV1SlopeRun) {
    CatalystRun run = heldRun();
    const auto lines = readRunFile(run, goldenCa(), "/rides/tour3.ca", RunKind::v1);
    ASSERT_TRUE(lines.ok()) << lines.error().message;
    EXPECT_EQ(*lines, (std::vector<std::string>{kRule, "Filename: ABC", "Type: Slope", "Sections: 2",
                                                "Date: 2005-6-12", "Time: 9:5", "Data: 2", kRule}));
    EXPECT_EQ(run.FileName, "tour3.ca");
    EXPECT_EQ(run.StoredName, "ABC");
    EXPECT_EQ(run.SectionCount, 2);
    EXPECT_EQ(run.Sections[1].value, 3.0);
    EXPECT_EQ(run.Sections[1].length, 0.1);
    EXPECT_EQ(run.Sections[2].value, -2.0);
    EXPECT_EQ(run.Sections[2].length, 0.05);
    // 0.1 km = 20 steps of 5 m, 0.05 km = 10 steps.
    std::vector<float> profile(20, 3.0f);
    profile.resize(30, -2.0f);
    EXPECT_EQ(run.SlopeProfile, profile);
    EXPECT_EQ(run.StartDateTime, (std::array<std::int16_t, 6>{2005, 6, 0, 12, 9, 5}));
    EXPECT_EQ(run.DistanceOffset, 0.0f);
    // All three records are kept; the last one counts one less.
    EXPECT_EQ(run.LastSample, 2);
    ASSERT_EQ(run.Samples.size(), 3u);
    expectSample(run.Samples[0], 0.0f, 90, 80, 1500, 250);
    expectSample(run.Samples[1], 10.5f, 91, 81, -15, 251);
    expectSample(run.Samples[2], 21.0f, 92, 82, 0, 252);

    // The part after the last backslash names the file, as on Windows.
    ASSERT_TRUE(readRunFile(run, goldenCa(), "C:\\Rides\\tour4.ca", RunKind::v1).ok());
    EXPECT_EQ(run.FileName, "tour4.ca");
}

TEST(RunFileReader, ReadsAV2SlopeRun) {
    CatalystRun run = heldRun();
    const auto lines = readRunFile(run, goldenCaf(), "/rides/alp.caf", RunKind::v2);
    ASSERT_TRUE(lines.ok()) << lines.error().message;
    EXPECT_EQ(*lines, (std::vector<std::string>{kRule, "Filename: Alpine", "Type: Slope", "Routes: 2",
                                                "Data_1: 2(70)", "Sections: 4", "Data_2: 4", kRule}));
    EXPECT_EQ(run.FileName, "alp.caf");
    EXPECT_EQ(run.StoredName, "Alpine");
    EXPECT_EQ(run.SectionCount, 4);  // the data block's count replaces the route count
    // 250 m = 2.5 hm at 4.04 % → 4.0; 100 m = 1.0 hm at -1.26 % → -1.3.
    EXPECT_EQ(run.Sections[1].length, 2.5);
    EXPECT_EQ(run.Sections[1].value, 4.0);
    EXPECT_EQ(run.Sections[2].length, 1.0);
    EXPECT_EQ(run.Sections[2].value, -1.3);
    std::vector<float> profile(50, 4.0f);
    profile.resize(70, -1.3f);
    EXPECT_EQ(run.SlopeProfile, profile);
    EXPECT_EQ(run.StartDateTime, (std::array<std::int16_t, 6>{}));
    // Distances: the first is 1000 / 1000 → 1.0 → / 10 → 0.1; then the steps
    // 10, 15 and 0.125 × 10 = 1.25 → 1.2 (ties to even) → 0.12 are added.
    EXPECT_EQ(run.DistanceOffset, 1000.0f);
    EXPECT_EQ(run.LastSample, 4);
    ASSERT_EQ(run.Samples.size(), 4u);
    expectSample(run.Samples[0], 0.1f, 120, 85, 2000, 300);
    expectSample(run.Samples[1], 10.1f, 121, 86, 2100, 301);
    expectSample(run.Samples[2], 25.1f, 122, 87, 2200, 302);
    expectSample(run.Samples[3], 25.22f, 123, 88, 2300, 303);
}

TEST(RunFileReader, VariantsThatRead) {
    const Bytes emptyBlocks = bytesOf({0x06, 0x04, 0x64, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x06, 0x04, 0x64, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    Bytes longName = bytesOf({'A', 0, 'B', 0, 'C', 0, 'D', 0, 'E', 0, 'F', 0, 'G', 0, 'H', 0, 'I', 0, 'J', 0, 'K', 0,
                              'L', 0, 'M', 0, 'N', 0, 'O', 0, 'P', 0, 'Q', 0, 'R', 0, 'S', 0, 'T', 0, 0, 0, 2, 0, 0, 0});
    const struct {
        const char* what;
        RunKind kind;
        std::vector<Patch> patches;
        std::size_t size;
        std::map<std::size_t, std::string> lines;  // run info lines expected at their index
        std::size_t profile;                        // slope profile entries
        int last;                                   // LastSample
    } cases[] = {
        {"V1.0 power: no profile", RunKind::v1, {{kCaType, bytesOf({0})}}, 0, {{2, "Type: Watt"}}, 0, 2},
        {"V1.0 heart rate", RunKind::v1, {{kCaType, bytesOf({2})}}, 0, {{2, "Type: Heartfrequence"}}, 0, 2},
        {"V1.0 one record counts 0", RunKind::v1, {}, kCaData + 10, {{6, "Data: 0"}}, 30, 0},
        {"V1.0 no record counts -1", RunKind::v1, {}, kCaData, {{6, "Data: -1"}}, 30, -1},
        {"V1.0 0xFF in the skipped record", RunKind::v1,
         {{kCaMarker, bytesOf({0xFF, 0xFF, 0xFF, 0, 5, 0})}, {kCaSkipped, Bytes(10, std::byte{0xFF})}}, 0,
         {{6, "Data: 2"}}, 30, 2},
        {"V2.0 power: profile of zeros", RunKind::v2, {{kCafType, bytesOf({2})}}, 0,
         {{2, "Type: Watt"}, {4, "Data_1: 2(70)"}}, 70, 4},
        {"V2.0 heart rate without routes, other blocks skipped", RunKind::v2,
         {{kCafType, bytesOf({0})}, {kCafProgram + 4, i32Bytes(0)}, {kCafRoutes, emptyBlocks}}, 0,
         {{2, "Type: Heartfrequence"}, {3, "Routes: 0"}, {4, "Data_1: 0(0)"}, {6, "Data_2: 4"}}, 0, 4},
        {"V2.0 data count only shown, part record ignored", RunKind::v2, {{kCafData + 4, i32Bytes(99)}},
         kCafRecords + 47, {{5, "Sections: 99"}, {6, "Data_2: 4"}}, 70, 4},
        {"V2.0 no records", RunKind::v2, {}, kCafRecords, {{6, "Data_2: 0"}}, 70, 0},
        {"V2.0 rounding: 25 m at 0.25 % → 0.2 hm, 0.2 %", RunKind::v2,
         {{kCafRoutes, f32Bytes(25.0f) + f32Bytes(0.25f)}, {kCafRoutes + 12, f32Bytes(0.0f)}}, 0,
         {{4, "Data_1: 2(4)"}}, 4, 4},
        {"V2.0 block bytes inside the general record", RunKind::v2,
         {{kCafRest, bytesOf({0xFC, 0x03, 0x64, 0x00, 0x09, 0x00, 0xCC, 0x0B, 0x64, 0x00, 0x01, 0x00})}}, 0,
         {{3, "Routes: 2"}, {6, "Data_2: 4"}}, 70, 4},
        {"V2.0 a 20-character name: the type follows its end", RunKind::v2, {{kCafName, longName}}, 0,
         {{1, "Filename: ABCDEFGHIJKLMNOPQRST"}, {2, "Type: Watt"}}, 70, 4},
    };
    for (const auto& c : cases) {
        CatalystRun run;
        const Bytes data = patched(c.kind == RunKind::v1 ? goldenCa() : goldenCaf(), c.patches, c.size);
        const auto lines = readRunFile(run, data, "x", c.kind);
        ASSERT_TRUE(lines.ok()) << c.what << ": " << lines.error().message;
        for (const auto& [index, line] : c.lines) EXPECT_EQ(lines->at(index), line) << c.what;
        EXPECT_EQ(run.SlopeProfile.size(), c.profile) << c.what;
        EXPECT_EQ(run.LastSample, c.last) << c.what;
        if (c.last > 1) {
            expectSample(run.Samples[1], c.kind == RunKind::v1 ? 10.5f : 10.1f, c.kind == RunKind::v1 ? 91 : 121,
                         c.kind == RunKind::v1 ? 81 : 86, c.kind == RunKind::v1 ? -15 : 2100,
                         c.kind == RunKind::v1 ? 251 : 301);
        }
    }
    // Values and lengths of a power program and of rounded routes.
    CatalystRun run;
    ASSERT_TRUE(readRunFile(run, patched(goldenCa(), {{kCaType, bytesOf({0})}}), "x", RunKind::v1).ok());
    EXPECT_EQ(run.Sections[1].value, 3.0);
    EXPECT_EQ(run.Sections[1].length, 0.0);
    ASSERT_TRUE(readRunFile(run, patched(goldenCaf(), {{kCafType, bytesOf({2})}}), "x", RunKind::v2).ok());
    EXPECT_EQ(run.Sections[1].value, 0.0);
    EXPECT_EQ(run.SlopeProfile, std::vector<float>(70, 0.0f));
    ASSERT_TRUE(readRunFile(run, patched(goldenCaf(), {{kCafRoutes, f32Bytes(25.0f) + f32Bytes(0.25f)}}), "x",
                            RunKind::v2)
                    .ok());
    EXPECT_EQ(run.Sections[1].length, 0.2);
    EXPECT_EQ(run.Sections[1].value, 0.2);
}

TEST(RunFileReader, BrokenFilesAreUnidentifiedOrRefused) {
    const struct {
        const char* what;
        RunKind kind;
        std::vector<Patch> patches;
        std::size_t size;
        bool identified;  // false: "not identifiable", the record reset; true: refused, the record kept
    } cases[] = {
        {"V1.0 type 3", RunKind::v1, {{kCaType, bytesOf({3})}}, 0, false},
        {"V1.0 without four 0xFF", RunKind::v1, {{kCaMarker + 6, bytesOf({0, 0, 0, 0})}}, 0, false},
        {"V2.0 type 3", RunKind::v2, {{kCafType, bytesOf({3})}}, 0, false},
        {"V2.0 heart rate with routes", RunKind::v2, {{kCafType, bytesOf({0})}}, 0, false},
        {"V2.0 without program block", RunKind::v2, {{kCafProgram, bytesOf({0x06, 0x04})}}, 0, false},
        {"V2.0 without data block", RunKind::v2, {{kCafData, bytesOf({0xD6, 0x0B})}}, 0, false},
        {"V2.0 negative count", RunKind::v2, {{kCafProgram + 4, i32Bytes(-1)}}, 0, false},
        {"V2.0 negative size", RunKind::v2, {{kCafProgram + 8, i32Bytes(-4)}}, 0, false},
        {"V2.0 block past the end", RunKind::v2, {{kCafProgram + 4, i32Bytes(1000)}}, 0, false},
        {"V2.0 routes of 8 bytes", RunKind::v2, {{kCafProgram + 8, i32Bytes(8)}}, 0, false},
        {"V1.0 negative section count", RunKind::v1, {{kCaCount, i32Bytes(-5)}}, 0, true},
        {"V1.0 32001 sections", RunKind::v1, {{kCaCount, i32Bytes(32001)}}, 0, true},
        {"V1.0 64010 profile steps", RunKind::v1, {{kCaLength1, f64Bytes(320.0)}}, 0, true},
        {"V1.0 16002 records", RunKind::v1, {}, kCaData + 160020, true},
        {"V2.0 32001 routes", RunKind::v2, {{kCafProgram + 4, i32Bytes(32001)}}, kCafRoutes + 32001 * 12, true},
        {"V2.0 16002 records", RunKind::v2, {}, kCafRecords + 160020, true},
        {"V2.0 block header cut short", RunKind::v2, {}, kCafData + 5, true},
    };
    for (const auto& c : cases) {
        CatalystRun run = heldRun();
        const Bytes data = patched(c.kind == RunKind::v1 ? goldenCa() : goldenCaf(), c.patches, c.size);
        const auto lines = readRunFile(run, data, "/in/odd.run", c.kind);
        ASSERT_FALSE(lines.ok()) << c.what;
        const Error& e = lines.error();
        EXPECT_EQ(e.code != ErrorCode::unidentified, c.identified) << c.what << ": " << e.message;
        EXPECT_EQ(e.message.rfind("not identifiable: ", 0) == 0, !c.identified) << c.what << ": " << e.message;
        // Unidentified: what was read before the failure stays, nothing of the earlier file does.
        EXPECT_EQ(run.FileName, c.identified ? "held.ca" : "odd.run") << c.what;
        EXPECT_EQ(run.LastSample, c.identified ? 42 : 0) << c.what;
        EXPECT_TRUE(c.identified ? run.Samples[0].speed == 777 : run.Samples.empty() || run.Samples[0].speed == 0)
            << c.what;
    }

    // Exactly at the limits: 64001 steps and 16001 samples.
    CatalystRun run;
    const Bytes full = patched(goldenCa(), {{kCaLength1, f64Bytes(320.0)}, {kCaLength2, f64Bytes(0.005)}},
                               kCaData + 160010);
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
    const Bytes v1 = goldenCa();
    for (std::size_t n = 0; n < v1.size(); ++n) {
        CatalystRun run = heldRun();
        const auto lines = readRunFile(run, std::span(v1).first(n), "cut.ca", RunKind::v1);
        if (n < kCaMarker) {
            ASSERT_FALSE(lines.ok()) << n;
            EXPECT_NE(lines.error().code, ErrorCode::unidentified) << n;
            EXPECT_EQ(run.LastSample, 42) << n;
        } else if (n < kCaSkipped) {
            ASSERT_FALSE(lines.ok()) << n;
            EXPECT_EQ(lines.error().code, ErrorCode::unidentified) << n;
        } else {
            ASSERT_TRUE(lines.ok()) << n;
            const auto records = n < kCaData ? 0 : static_cast<int>((n - kCaData) / 10);
            EXPECT_EQ(run.LastSample, records - 1) << n;
        }
    }
    const Bytes v2 = goldenCaf();
    for (std::size_t n = 0; n < v2.size(); ++n) {
        CatalystRun run = heldRun();
        const auto lines = readRunFile(run, std::span(v2).first(n), "cut.caf", RunKind::v2);
        if (n < kCafRecords) {
            ASSERT_FALSE(lines.ok()) << n;
            EXPECT_EQ(run.LastSample, lines.error().code == ErrorCode::unidentified ? 0 : 42) << n;
        } else {
            ASSERT_TRUE(lines.ok()) << n;
            EXPECT_EQ(run.LastSample, static_cast<int>((n - kCafRecords) / 10)) << n;
        }
    }
}

TEST(RunFileReader, ASecondReadLeavesNothingOfTheFirst) {
    CatalystRun run;
    ScratchDir dir;
    writeAll(dir / "long.ca", asText(patched(goldenCa(), {}, kCaData + 200)));
    writeAll(dir / "short.caf", asText(goldenCaf()));
    ASSERT_TRUE(Check_Catalyst_File(run, dir / "long.ca", RunKind::v1).ok());
    EXPECT_EQ(run.Samples.size(), 20u);
    ASSERT_TRUE(Check_Catalyst_File(run, dir / "short.caf", RunKind::v2).ok());
    EXPECT_EQ(run.FileName, "short.caf");
    EXPECT_EQ(run.SlopeProfile.size(), 70u);
    EXPECT_EQ(run.Samples.size(), 4u);
    EXPECT_EQ(run.StartDateTime, (std::array<std::int16_t, 6>{}));
}

TEST(RunFileReader, KindAndCaptionFromTheExtension) {
    EXPECT_EQ(runKindOf("a/tour.ca"), RunKind::v1);
    EXPECT_EQ(runKindOf("TOUR.CA"), RunKind::v1);
    EXPECT_EQ(runKindOf("tour.Caf"), RunKind::v2);
    EXPECT_EQ(runKindOf("tour.cafe"), std::nullopt);
    EXPECT_EQ(runKindOf("ca"), std::nullopt);
    EXPECT_EQ(runInfoCaption(RunKind::v1), "Catalyst V1.0 Info (*.ca)");
    EXPECT_EQ(runInfoCaption(RunKind::v2), "Catalyst V2.0 Info (*.caf)");
}

}  // namespace
}  // namespace vb
