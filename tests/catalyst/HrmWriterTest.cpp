#include "catalyst/HrmWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "base/Files.h"
#include "catalyst/RunFileReader.h"
#include "import/RideImport.h"
#include "support/RideLoad.h"
#include "support/TestSupport.h"

namespace vb {
namespace {

using namespace test;
namespace fs = std::filesystem;

// tests/data/run/slope.ca: a V1.0 slope run of 13 records, 10 m apart, on
// 1 km at 5 %, started 2005-06-12 09:05 (record 0 power 1500, record 5 -15).
// slope.caf: a V2.0 run of 12 records at raw distances 100, 110, ... on
// 1000 m at 5 %. The expected HRM texts in tests/data/hrm were laid out by
// hand: each sample after the first climbs 10 m at 5 % = 50 cm, and a line
// shows the climbs before its own sample.
constexpr std::size_t kCaType = 40, kCaDate = 596, kCaRecords = 628, kCafType = 58, kCafCount = 94,
                      kCafRoutes = 102, kCafRecords = 126;

CatalystRun read(const char* file, const std::vector<Patch>& patches = {}, std::size_t size = 0) {
    CatalystRun run;
    const auto kind = std::string_view(file).ends_with(".caf") ? RunKind::v2 : RunKind::v1;
    const auto lines = readRunFile(run, patched(readAll(dataFile(std::string("run/") + file)), patches, size), file, kind);
    EXPECT_TRUE(lines.ok()) << file;
    return run;
}

std::string golden(const char* name) { return std::string(asText(readAll(dataFile(std::string("hrm/") + name)))); }

std::string hrmText(const CatalystRun& run, std::string_view base) {
    auto bytes = hrmFileBytes(run, base);
    EXPECT_TRUE(bytes.ok()) << (bytes.ok() ? "" : bytes.error().message);
    return bytes.ok() ? std::string(asText(*bytes)) : "";
}

TEST(HrmWriter, TextFormattersGiveTheWorkedExamples) {
    CatalystRun run;
    run.StartDateTime = {2005, 6, 3, 12, 9, 5};
    EXPECT_EQ(*Polar_Date(run), "20050612");
    EXPECT_EQ(*Polar_Time(run), "09:05");
    run.StartDateTime = {2006, 1, 0, 1, 23, 59};
    EXPECT_EQ(*Polar_Date(run), "20060101");
    EXPECT_EQ(*Polar_Time(run), "23:59");
    run.StartDateTime = {};
    EXPECT_EQ(*Polar_Date(run), "00000000");
    EXPECT_EQ(*Polar_Time(run), "00:00");

    // Values longer than their field, or negative, are refused.
    for (const auto& fields : {std::array<std::int16_t, 6>{10000, 1, 0, 1, 0, 0},
                               std::array<std::int16_t, 6>{2006, 100, 0, 1, 0, 0},
                               std::array<std::int16_t, 6>{2006, 1, 0, -1, 0, 0}}) {
        run.StartDateTime = fields;
        EXPECT_FALSE(Polar_Date(run).ok());
    }
    run.StartDateTime = {2006, 1, 0, 1, 124, 0};
    EXPECT_FALSE(Polar_Time(run).ok());
    run.StartDateTime = {2006, 1, 0, 1, 0, -5};
    EXPECT_FALSE(Polar_Time(run).ok());

    EXPECT_EQ(Polar_Length(45), "0:00:45.0");
    EXPECT_EQ(Polar_Length(151), "0:02:31.0");
    EXPECT_EQ(Polar_Length(3725), "1:02:05.0");
    EXPECT_EQ(Polar_Length(3599), "0:59:59.0");
    EXPECT_EQ(Polar_Length(3600), "1:00:00.0");
    EXPECT_EQ(Polar_Length(16000), "4:26:40.0");

    EXPECT_EQ(Polar_Altitude(12345.0), 123);
    EXPECT_EQ(Polar_Altitude(250.0), 2);  // 2.5, tie to even
    EXPECT_EQ(Polar_Altitude(250.4), 3);  // 2.504
    EXPECT_EQ(Polar_Altitude(150.0), 2);
    EXPECT_EQ(Polar_Altitude(-250.0), -2);
    EXPECT_EQ(Polar_Altitude(3276700.0), 32767);
    EXPECT_EQ(Polar_Altitude(3276800.0), std::nullopt);
    EXPECT_EQ(Polar_Altitude(std::nan("")), std::nullopt);
}

TEST(HrmWriter, WritesTheHandComputedText) {
    const Bytes emptyBlock = bytesOf({0x06, 0x04, 0x64, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    const struct {
        const char* run;
        std::vector<Patch> patches;
        std::size_t size;
        const char* base;
        const char* golden;
    } cases[] = {
        {"slope.ca", {}, 0, "0", "v1-slope-base-0.hrm"},
        // Base 12.5 m: 1250, 1450, 1700 cm; an empty or non-numeric text starts at 0.
        {"slope.ca", {}, 0, "12.5m", "v1-slope-base-12.5m.hrm"},
        {"slope.ca", {}, 0, "", "v1-slope-base-0.hrm"},
        {"slope.ca", {}, 0, "high", "v1-slope-base-0.hrm"},
        {"slope.ca", {}, 0, "-3", "v1-slope-base-minus-3.hrm"},
        // Power and heart-rate programs stay at the base altitude.
        {"slope.ca", {{kCaType, bytesOf({0})}}, 0, "100", "v1-power-base-100.hrm"},
        {"slope.ca", {{kCaType, bytesOf({2})}}, 0, "100", "v1-power-base-100.hrm"},
        {"slope.caf", {{kCafType, bytesOf({2})}}, 0, "7", "v2-power-base-7.hrm"},
        {"slope.caf", {{kCafType, bytesOf({0})}, {kCafCount, i32Bytes(0)}, {kCafRoutes, emptyBlock}}, 0, "7",
         "v2-power-base-7.hrm"},
        // The first sample's distance is 0.01 (climb 0.05 cm): 0, 200.05 and
        // 450.05 cm; the hundredths lift 4.5005 m to 5.
        {"slope.caf", {}, 0, "0", "v2-slope-base-0.hrm"},
        {"slope.caf", {}, 0, "250", "v2-slope-base-250.hrm"},
        // Seven samples: lines for samples 0 and 5 only.
        {"slope.caf", {}, kCafRecords + 70, "0", "v2-seven-samples-base-0.hrm"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(hrmText(read(c.run, c.patches, c.size), c.base), golden(c.golden)) << c.golden << " " << c.base;
}

TEST(HrmWriter, WrittenFileReadsBackAsAnHrmRide) {
    ScratchDir dir;
    const CatalystRun run = read("slope.ca");
    const fs::path target = dir / "tour.ca.hrm";
    ASSERT_TRUE(writeHrmFile(target, run, "12.5").ok());
    RideRecord ride;
    RecordingPrompter prompter;
    auto report = test::importRideFile(ride, target, prompter);
    ASSERT_TRUE(report.ok()) << report.error().message;
    EXPECT_FALSE(report->refused) << report->message;
    EXPECT_EQ(ride.header.Interval(), "5");
    ASSERT_EQ(ride.samples.sampleCount(), 3) << tabSeparated(ride.samples);
    EXPECT_EQ(ride.samples.text(1, 1), "300");
    EXPECT_EQ(ride.samples.text(2, 1), "305");
    EXPECT_EQ(ride.samples.text(3, 2), "17");

    // Writing again replaces the file whole.
    const CatalystRun shorter = read("slope.caf", {}, kCafRecords + 70);
    ASSERT_TRUE(writeHrmFile(target, shorter, "0").ok());
    EXPECT_EQ(readAll(target), *hrmFileBytes(shorter, "0"));
}

TEST(HrmWriter, RefusesWhatCannotBeWrittenAndLeavesNoFile) {
    ScratchDir dir;
    const struct {
        const char* what;
        CatalystRun run;
        const char* base;
    } cases[] = {
        {"no sample", read("slope.ca", {}, kCaRecords), "0"},
        {"one record", read("slope.ca", {}, kCaRecords + 10), "0"},
        {"negative distance", read("slope.ca", {{kCaRecords + 30, f32Bytes(-10.0f)}}), "0"},  // step -2
        {"beyond 16 bits", read("slope.ca", {{kCaRecords + 30, f32Bytes(163840.0f)}}), "0"},  // step 32768
        {"year of five digits", read("slope.ca", {{kCaDate, bytesOf({0x39, 0x30})}}), "0"},
        {"altitude beyond 16 bits", read("slope.ca"), "40000"},
    };
    for (const auto& c : cases) {
        auto bytes = hrmFileBytes(c.run, c.base);
        EXPECT_FALSE(bytes.ok()) << c.what;
        const fs::path target = dir / "x.hrm";
        EXPECT_FALSE(writeHrmFile(target, c.run, c.base).ok()) << c.what;
        EXPECT_FALSE(fs::exists(target)) << c.what;
    }
}

TEST(HrmWriter, HrmPathIsTheRunFileNameInTheHrmFolder) {
    Settings settings;
    settings.my_path = "/rides/base";
    CatalystRun run;
    run.FileName = "tour3.caf";
    EXPECT_EQ(hrmFilePath(settings, run), fs::path("/rides/base/HRM/tour3.caf.hrm"));
}

TEST(HrmWriter, WriteRunAsHrmRefusesARunWithoutSamples) {
    ScratchDir dir;
    CatalystRun run = read("slope.ca");
    run.FileName = "a.ca";
    const auto written = writeRunAsHrm(run, dir.path(), "0");
    ASSERT_TRUE(written.ok());
    EXPECT_EQ(*written, dir / "a.ca.hrm");
    EXPECT_EQ(readAll(dir / "a.ca.hrm"), *hrmFileBytes(run, "0"));
    run = read("slope.ca", {}, kCaRecords);
    run.FileName = "c.ca";
    const auto refused = writeRunAsHrm(run, dir.path(), "0");
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().message, "the run has no sample to write (last sample -1)");
    EXPECT_FALSE(fs::exists(dir / "c.ca.hrm"));
}

}  // namespace
}  // namespace vb
