#include "catalyst/RunFileReader.h"

#include <gtest/gtest.h>

#include <span>

#include "catalyst/RunFiles.h"
#include "support/TestSupport.h"

namespace vb {
namespace {

using namespace test;

const std::string kRule = "####################";
const std::string kCantIdentify = "Cant identify!! Send this file to https://velobridge.org/issues\nFile: ";

CaFile goldenCa() {
    CaFile f;
    f.nameField = bytesOf({'A', 'B', 0, 'C'});  // zero bytes are skipped wherever they stand
    f.sections = {{3.0, 0.1}, {-2.0, 0.05}};
    f.records = {{0.0f, 90, 80, 1500, 250}, {10.5f, 91, 81, -15, 251}, {21.0f, 92, 82, 0, 252}};
    return f;
}

CafFile goldenCaf() {
    CafFile f;
    f.routes = {{250.0f, 4.04f}, {100.0f, -1.26f}};
    f.records = {{1000.0f, 120, 85, 2000, 300}, {1010.0f, 121, 86, 2100, 301}, {1025.0f, 122, 87, 2200, 302},
                 {1025.125f, 123, 88, 2300, 303}};
    return f;
}

/// A run record that holds something, to see whether a refused read keeps it.
CatalystRun heldRun() {
    CatalystRun run;
    run.FileName = "held.ca";
    run.LastSample = 42;
    run.Samples.assign(1, RunSample{});
    run.Samples[0].speed = 777;
    run.SlopeProfile.assign(1, 9.5f);
    return run;
}

void expectHeld(const CatalystRun& run) {
    EXPECT_EQ(run.FileName, "held.ca");
    EXPECT_EQ(run.LastSample, 42);
    EXPECT_EQ(run.Samples[0].speed, 777);
    EXPECT_EQ(run.SlopeProfile[0], 9.5f);
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
    const auto report = test::readRunFile(run, caBytes(goldenCa()), "/rides/tour3.ca", RunKind::v1);
    EXPECT_EQ(report.failure, "");
    EXPECT_EQ(report.caption, "Catalyst V1.0 Info (*.ca)");
    EXPECT_EQ(report.lines, (std::vector<std::string>{kRule, "Filename: ABC", "Type: Slope", "Sections: 2",
                                                      "Date: 2005-6-12", "Time: 9:5", "Data: 2", kRule}));
    EXPECT_TRUE(report.createHrmEnabled);
    EXPECT_EQ(run.FileName, "tour3.ca");
    EXPECT_EQ(run.StoredName, "ABC");
    EXPECT_EQ(run.SectionCount, 2);
    EXPECT_EQ(run.Sections[1].value, 3.0);
    EXPECT_EQ(run.Sections[1].length, 0.1);
    EXPECT_EQ(run.Sections[2].value, -2.0);
    EXPECT_EQ(run.Sections[2].length, 0.05);
    // 0.1 km = 20 steps of 5 m, 0.05 km = 10 steps.
    for (int i = 0; i < 20; ++i) EXPECT_EQ(run.SlopeProfile[i], 3.0f) << i;
    for (int i = 20; i < 30; ++i) EXPECT_EQ(run.SlopeProfile[i], -2.0f) << i;
    EXPECT_EQ(run.SlopeProfile.size(), 30u);
    EXPECT_EQ(run.StartDateTime, (std::array<std::int16_t, 6>{2005, 6, 0, 12, 9, 5}));
    EXPECT_EQ(run.DistanceOffset, 0.0f);
    // All three records are kept; the last one counts one less.
    EXPECT_EQ(run.LastSample, 2);
    expectSample(run.Samples[0], 0.0f, 90, 80, 1500, 250);
    expectSample(run.Samples[1], 10.5f, 91, 81, -15, 251);
    expectSample(run.Samples[2], 21.0f, 92, 82, 0, 252);
    EXPECT_EQ(run.Samples.size(), 3u);

    // The part after the last backslash names the file, as on Windows.
    test::readRunFile(run, caBytes(goldenCa()), "C:\\Rides\\tour4.ca", RunKind::v1);
    EXPECT_EQ(run.FileName, "tour4.ca");
}

TEST(RunFileReader, V1PowerAndHeartRateProgramsHaveNoProfile) {
    for (const auto& [type, line] : {std::pair{0, "Type: Watt"}, std::pair{2, "Type: Heartfrequence"}}) {
        CaFile f = goldenCa();
        f.type = type;
        CatalystRun run;
        const auto report = test::readRunFile(run, caBytes(f), "p.ca", RunKind::v1);
        ASSERT_EQ(report.failure, "");
        EXPECT_EQ(report.lines[2], line);
        EXPECT_EQ(run.Sections[1].value, 3.0);
        EXPECT_EQ(run.Sections[1].length, 0.0);
        EXPECT_TRUE(run.SlopeProfile.empty());
        EXPECT_EQ(run.LastSample, 2);
    }
}

TEST(RunFileReader, V1DataCountsOneLessThanItsRecords) {
    CaFile f = goldenCa();
    f.records.resize(1);
    CatalystRun run;
    auto report = test::readRunFile(run, caBytes(f), "one.ca", RunKind::v1);
    EXPECT_EQ(report.lines[6], "Data: 0");
    EXPECT_FALSE(report.createHrmEnabled);
    EXPECT_EQ(run.LastSample, 0);

    f.records.clear();
    report = test::readRunFile(run, caBytes(f), "none.ca", RunKind::v1);
    EXPECT_EQ(report.failure, "");
    EXPECT_EQ(report.lines[6], "Data: -1");
    EXPECT_FALSE(report.createHrmEnabled);

    // Four 0xFF bytes after a broken run start the data; the record after them is skipped.
    f = goldenCa();
    f.beforeMarker = bytesOf({0xFF, 0xFF, 0xFF, 0x00, 0x05});
    f.skipped = bytesOf({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    report = test::readRunFile(run, caBytes(f), "ff.ca", RunKind::v1);
    EXPECT_EQ(report.lines[6], "Data: 2");
    expectSample(run.Samples[0], 0.0f, 90, 80, 1500, 250);
}

TEST(RunFileReader, UnidentifiableFilesShowTheMessageAndLeaveAResetRecord) {
    CaFile badType = goldenCa();
    badType.type = 3;
    CaFile noMarker = goldenCa();
    noMarker.marker = false;
    noMarker.skipped.clear();
    CafFile cafType = goldenCaf();
    cafType.type = 3;
    CafFile heartRate = goldenCaf();
    heartRate.type = 0;
    CafFile noProgram = goldenCaf();
    noProgram.programBlock = false;
    CafFile noData = goldenCaf();
    noData.dataBlock = false;
    CafFile negativeCount = goldenCaf();
    negativeCount.extraBlocks = {blockHeader(1030, -1, 4)};
    CafFile negativeSize = goldenCaf();
    negativeSize.extraBlocks = {blockHeader(1030, 1, -4)};
    CafFile pastEnd = goldenCaf();
    pastEnd.dataBlock = false;
    pastEnd.routeCount = 3;
    CafFile wrongRouteSize = goldenCaf();
    wrongRouteSize.programBlock = false;
    wrongRouteSize.extraBlocks = {blockHeader(1020, 2, 8) + zeroBytes(16)};

    const struct {
        const char* what;
        Bytes data;
        RunKind kind;
    } cases[] = {
        {"V1.0 type 3", caBytes(badType), RunKind::v1},
        {"V1.0 without four 0xFF", caBytes(noMarker), RunKind::v1},
        {"V2.0 type 3", cafBytes(cafType), RunKind::v2},
        {"V2.0 heart rate with routes", cafBytes(heartRate), RunKind::v2},
        {"V2.0 without program block", cafBytes(noProgram), RunKind::v2},
        {"V2.0 without data block", cafBytes(noData), RunKind::v2},
        {"V2.0 negative count", cafBytes(negativeCount), RunKind::v2},
        {"V2.0 negative size", cafBytes(negativeSize), RunKind::v2},
        {"V2.0 block past the end", cafBytes(pastEnd), RunKind::v2},
        {"V2.0 routes of 8 bytes", cafBytes(wrongRouteSize), RunKind::v2},
    };
    for (const auto& c : cases) {
        CatalystRun run = heldRun();
        const auto report = test::readRunFile(run, c.data, "/in/odd.run", c.kind);
        EXPECT_FALSE(report.identified) << c.what;
        EXPECT_EQ(report.failure, kCantIdentify + "/in/odd.run") << c.what;
        EXPECT_EQ(report.reason.rfind("not identifiable: ", 0), 0u) << c.what << ": " << report.reason;
        EXPECT_TRUE(report.lines.empty()) << c.what;
        EXPECT_FALSE(report.createHrmEnabled) << c.what;
        // What was read before the failure stays; nothing of the earlier file does.
        EXPECT_EQ(run.FileName, "odd.run") << c.what;
        EXPECT_EQ(run.LastSample, 0) << c.what;
        EXPECT_TRUE(run.Samples.empty() || run.Samples[0].speed == 0) << c.what;
    }
}

TEST(RunFileReader, ReadsAV2SlopeRun) {
    CatalystRun run = heldRun();
    const auto report = test::readRunFile(run, cafBytes(goldenCaf()), "/rides/alp.caf", RunKind::v2);
    ASSERT_EQ(report.failure, "");
    EXPECT_EQ(report.caption, "Catalyst V2.0 Info (*.caf)");
    EXPECT_EQ(report.lines, (std::vector<std::string>{kRule, "Filename: Alpine", "Type: Slope", "Routes: 2",
                                                      "Data_1: 2(70)", "Sections: 4", "Data_2: 4", kRule}));
    EXPECT_TRUE(report.createHrmEnabled);
    EXPECT_EQ(run.FileName, "alp.caf");
    EXPECT_EQ(run.StoredName, "Alpine");
    EXPECT_EQ(run.SectionCount, 4);  // the data block's count replaces the route count
    // 250 m = 2.5 hm at 4.04 % → 4.0; 100 m = 1.0 hm at -1.26 % → -1.3.
    EXPECT_EQ(run.Sections[1].length, 2.5);
    EXPECT_EQ(run.Sections[1].value, 4.0);
    EXPECT_EQ(run.Sections[2].length, 1.0);
    EXPECT_EQ(run.Sections[2].value, -1.3);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(run.SlopeProfile[i], 4.0f) << i;
    for (int i = 50; i < 70; ++i) EXPECT_EQ(run.SlopeProfile[i], -1.3f) << i;
    EXPECT_EQ(run.SlopeProfile.size(), 70u);
    EXPECT_EQ(run.StartDateTime, (std::array<std::int16_t, 6>{}));
    // Distances: the first is 1000 / 1000 → 1.0 → / 10 → 0.1; then the steps
    // 10, 15 and 0.125 × 10 = 1.25 → 1.2 (ties to even) → 0.12 are added.
    EXPECT_EQ(run.DistanceOffset, 1000.0f);
    EXPECT_EQ(run.LastSample, 4);
    expectSample(run.Samples[0], 0.1f, 120, 85, 2000, 300);
    expectSample(run.Samples[1], 10.1f, 121, 86, 2100, 301);
    expectSample(run.Samples[2], 25.1f, 122, 87, 2200, 302);
    expectSample(run.Samples[3], 25.22f, 123, 88, 2300, 303);
    EXPECT_EQ(run.Samples.size(), 4u);
}

TEST(RunFileReader, V2ProgramKindsAndCounts) {
    // Power: the steps are written with value 0.
    CafFile f = goldenCaf();
    f.type = 2;
    CatalystRun run;
    auto report = test::readRunFile(run, cafBytes(f), "w.caf", RunKind::v2);
    ASSERT_EQ(report.failure, "");
    EXPECT_EQ(report.lines[2], "Type: Watt");
    EXPECT_EQ(report.lines[4], "Data_1: 2(70)");
    EXPECT_EQ(run.Sections[1].value, 0.0);
    EXPECT_EQ(run.SlopeProfile, std::vector<float>(70, 0.0f));

    // Heart rate without routes reads to the end.
    f.type = 0;
    f.routes.clear();
    report = test::readRunFile(run, cafBytes(f), "h.caf", RunKind::v2);
    ASSERT_EQ(report.failure, "");
    EXPECT_EQ(report.lines[2], "Type: Heartfrequence");
    EXPECT_EQ(report.lines[3], "Routes: 0");
    EXPECT_EQ(report.lines[4], "Data_1: 0(0)");

    // The data block's count is only shown; its records run to the end, a
    // trailing part record is ignored. No records: "Create HRM" stays off.
    f = goldenCaf();
    f.dataCount = 99;
    f.tail = bytesOf({1, 2, 3, 4, 5, 6, 7});
    report = test::readRunFile(run, cafBytes(f), "c.caf", RunKind::v2);
    EXPECT_EQ(report.lines[5], "Sections: 99");
    EXPECT_EQ(report.lines[6], "Data_2: 4");
    f.records.clear();
    f.tail.clear();
    report = test::readRunFile(run, cafBytes(f), "e.caf", RunKind::v2);
    EXPECT_EQ(report.lines[6], "Data_2: 0");
    EXPECT_FALSE(report.createHrmEnabled);

    // Route lengths and values round to one decimal, ties to even: 25 m → 0.2 hm → 4 steps.
    f = goldenCaf();
    f.routes = {{25.0f, 0.25f}};
    report = test::readRunFile(run, cafBytes(f), "t.caf", RunKind::v2);
    EXPECT_EQ(run.Sections[1].length, 0.2);
    EXPECT_EQ(run.Sections[1].value, 0.2);
    EXPECT_EQ(report.lines[4], "Data_1: 1(4)");
}

TEST(RunFileReader, V2BlocksAreFoundByTheirHeadersNotByTheirBytes) {
    // The block bytes inside the general record and a block of another kind
    // before the program block do not mislead the reader.
    CafFile f = goldenCaf();
    f.generalRest = bytesOf({0xFC, 0x03, 0x64, 0x00, 0x09, 0x00, 0xCC, 0x0B, 0x64, 0x00, 0x01, 0x00}) + zeroBytes(12);
    f.extraBlocks = {blockHeader(1030, 2, 3) + bytesOf({0xCC, 0x0B, 0x64, 0x00, 0xFC, 0x03})};
    CatalystRun run;
    const auto report = test::readRunFile(run, cafBytes(f), "b.caf", RunKind::v2);
    ASSERT_EQ(report.failure, "") << report.reason;
    EXPECT_EQ(report.lines[3], "Routes: 2");
    EXPECT_EQ(report.lines[6], "Data_2: 4");
    expectSample(run.Samples[1], 10.1f, 121, 86, 2100, 301);

    // A name of 20 characters runs past offset 57: the type byte follows its terminator.
    CafFile longName = goldenCaf();
    Bytes record = bytesOf({'V', 'L', 'B', 0xFE});
    for (char c : std::string("ABCDEFGHIJKLMNOPQRST")) record = record + bytesOf({c, 0});
    record = record + bytesOf({0, 0}) + i32Bytes(2) + zeroBytes(20);
    longName.generalRecord = record;
    const auto named = test::readRunFile(run, cafBytes(longName), "n.caf", RunKind::v2);
    ASSERT_EQ(named.failure, "") << named.reason;
    EXPECT_EQ(named.lines[1], "Filename: ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(named.lines[2], "Type: Watt");
}

TEST(RunFileReader, EveryTruncatedPrefixKeepsTheCompleteRecordsOrIsRefused) {
    const CaFile ca = goldenCa();
    const Bytes v1 = caBytes(ca);
    const std::size_t v1Data = caDataStart(ca);
    const std::size_t v1DateEnd = 588 + 20 * ca.sections.size();
    for (std::size_t n = 0; n < v1.size(); ++n) {
        CatalystRun run = heldRun();
        const auto report = test::readRunFile(run, std::span(v1).first(n), "cut.ca", RunKind::v1);
        if (n < v1DateEnd) {
            EXPECT_TRUE(report.identified) << n;
            EXPECT_NE(report.failure, "") << n;
            expectHeld(run);
        } else if (n < v1Data - ca.skipped.size()) {
            EXPECT_FALSE(report.identified) << n;
        } else {
            ASSERT_EQ(report.failure, "") << n;
            const auto records = n < v1Data ? 0 : static_cast<int>((n - v1Data) / 10);
            EXPECT_EQ(run.LastSample, records - 1) << n;
        }
    }

    const Bytes v2 = cafBytes(goldenCaf());
    const std::size_t v2Data = v2.size() - 4 * 10;
    for (std::size_t n = 0; n < v2.size(); ++n) {
        CatalystRun run = heldRun();
        const auto report = test::readRunFile(run, std::span(v2).first(n), "cut.caf", RunKind::v2);
        if (n < v2Data) {
            EXPECT_NE(report.failure, "") << n;
            if (report.identified) expectHeld(run);
            else EXPECT_EQ(run.LastSample, 0) << n;
        } else {
            ASSERT_EQ(report.failure, "") << n;
            EXPECT_EQ(run.LastSample, static_cast<int>((n - v2Data) / 10)) << n;
        }
    }
}

TEST(RunFileReader, RefusesFilesBeyondTheTablesAndKeepsTheRecord) {
    CaFile negative = goldenCa();
    negative.sectionCount = -5;
    CaFile tooManySections = goldenCa();
    tooManySections.sectionCount = 32001;
    CaFile longProgram = goldenCa();
    longProgram.sections = {{1.0, 320.0}, {2.0, 0.005}, {3.0, 0.005}};  // 64000 + 1 + 1 steps
    CaFile tooManyRecords = goldenCa();
    tooManyRecords.records.resize(16002);
    CafFile tooManyRoutes = goldenCaf();
    tooManyRoutes.routes.assign(32001, {0.0f, 1.0f});
    CafFile tooManySamples = goldenCaf();
    tooManySamples.records.resize(16002);
    CafFile cutHeader = goldenCaf();
    cutHeader.dataBlock = false;
    cutHeader.tail = bytesOf({0xCC, 0x0B, 0x64, 0x00, 3});

    const struct {
        const char* what;
        Bytes data;
        RunKind kind;
    } cases[] = {
        {"negative section count", caBytes(negative), RunKind::v1},
        {"32001 sections", caBytes(tooManySections), RunKind::v1},
        {"64002 profile steps", caBytes(longProgram), RunKind::v1},
        {"16002 V1.0 records", caBytes(tooManyRecords), RunKind::v1},
        {"32001 routes", cafBytes(tooManyRoutes), RunKind::v2},
        {"16002 V2.0 records", cafBytes(tooManySamples), RunKind::v2},
        {"block header cut short", cafBytes(cutHeader), RunKind::v2},
    };
    for (const auto& c : cases) {
        CatalystRun run = heldRun();
        const auto report = test::readRunFile(run, c.data, "/in/big.run", c.kind);
        EXPECT_TRUE(report.identified) << c.what;
        EXPECT_NE(report.reason, "") << c.what;
        EXPECT_EQ(report.failure, "Run file refused: " + report.reason + "\nFile: /in/big.run") << c.what;
        EXPECT_TRUE(report.lines.empty()) << c.what;
        EXPECT_FALSE(report.createHrmEnabled) << c.what;
        expectHeld(run);
    }

    // Exactly at the limits: 64001 steps and 16001 samples.
    longProgram.sections.pop_back();
    longProgram.records.resize(16001);
    CatalystRun run;
    auto report = test::readRunFile(run, caBytes(longProgram), "full.ca", RunKind::v1);
    ASSERT_EQ(report.failure, "") << report.reason;
    EXPECT_EQ(run.SlopeProfile[64000], 2.0f);
    EXPECT_EQ(run.LastSample, 16000);

    // A file that cannot be opened is refused the same way.
    run = heldRun();
    const auto missing = Check_Catalyst_File(run, "/no/such/folder/x.ca", RunKind::v1);
    ASSERT_FALSE(missing.ok());
    EXPECT_NE(missing.error().code, ErrorCode::unidentified);
    expectHeld(run);
}

TEST(RunFileReader, ASecondReadLeavesNothingOfTheFirst) {
    CaFile longer = goldenCa();
    longer.sections = {{6.0, 0.5}};
    longer.records.assign(20, Record{5.0f, 100, 90, 1000, 200});
    CatalystRun run;
    ScratchDir dir;
    writeAll(dir / "long.ca", asText(caBytes(longer)));
    writeAll(dir / "short.caf", asText(cafBytes(goldenCaf())));
    ASSERT_TRUE(Check_Catalyst_File(run, dir / "long.ca", RunKind::v1).ok());
    EXPECT_EQ(run.SlopeProfile[99], 6.0f);
    ASSERT_TRUE(Check_Catalyst_File(run, dir / "short.caf", RunKind::v2).ok());
    EXPECT_EQ(run.FileName, "short.caf");
    EXPECT_EQ(run.SlopeProfile.size(), 70u);
    EXPECT_EQ(run.Samples.size(), 4u);
    EXPECT_EQ(run.StartDateTime, (std::array<std::int16_t, 6>{}));
}

TEST(RunFileReader, KindFromTheExtension) {
    EXPECT_EQ(runKindOf("a/tour.ca"), RunKind::v1);
    EXPECT_EQ(runKindOf("TOUR.CA"), RunKind::v1);
    EXPECT_EQ(runKindOf("tour.Caf"), RunKind::v2);
    EXPECT_EQ(runKindOf("tour.cafe"), std::nullopt);
    EXPECT_EQ(runKindOf("ca"), std::nullopt);
}

}  // namespace
}  // namespace vb
