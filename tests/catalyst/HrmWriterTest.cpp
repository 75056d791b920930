#include "catalyst/HrmWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "catalyst/RunFileReader.h"
#include "import/HrmReader.h"
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
    const Bytes data = patched(readAll(dataFile(std::string("run/") + file)), patches, size);
    EXPECT_TRUE(readRunFile(run, data, file, *runKindOf(file)).ok()) << file;
    return run;
}

TEST(HrmWriter, LengthAndAltitudeTexts) {
    const std::pair<std::int16_t, const char*> lengths[] = {{45, "0:00:45.0"},   {151, "0:02:31.0"},
                                                            {3725, "1:02:05.0"}, {3599, "0:59:59.0"},
                                                            {3600, "1:00:00.0"}, {16000, "4:26:40.0"}};
    for (const auto& [seconds, text] : lengths) EXPECT_EQ(Polar_Length(seconds), text);
    // Centimetres to metres: 2.5 ties to even, the hundredths of 2.504 lift it to 3.
    const std::pair<double, std::optional<std::int16_t>> altitudes[] = {
        {12345.0, 123}, {250.0, 2}, {250.4, 3}, {150.0, 2}, {-250.0, -2}, {3276700.0, 32767},
        {3276800.0, std::nullopt}, {std::nan(""), std::nullopt}};
    for (const auto& [centimetres, metres] : altitudes) EXPECT_EQ(Polar_Altitude(centimetres), metres) << centimetres;
}

TEST(HrmWriter, WritesTheHandComputedTextThatReadsBack) {
    const Bytes emptyBlock = bytesOf({0x06, 0x04, 0x64, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    const struct {
        const char* run;
        std::vector<Patch> patches;
        std::size_t size;
        const char* base;
        const char* golden;
    } cases[] = {
        {"slope.ca", {}, 0, "0", "v1-slope-base-0.hrm"},
        // An empty or non-numeric base text starts at 0.
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
        // Base 12.5 m: 1250, 1450, 1700 cm; the HRM reader reads this one back below.
        {"slope.ca", {}, 0, "12.5m", "v1-slope-base-12.5m.hrm"},
    };
    ScratchDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.golden + std::string(" from base ") + c.base);
        const auto written = writeRunAsHrm(read(c.run, c.patches, c.size), dir.path(), c.base);
        ASSERT_TRUE(written.ok()) << written.error().message;
        EXPECT_EQ(*written, dir / (c.run + std::string(".hrm")));
        EXPECT_EQ(asText(readAll(*written)), asText(readAll(dataFile(std::string("hrm/") + c.golden))));
    }
    const auto file = readPolarFile("slope.ca.hrm", readAll(dir / "slope.ca.hrm"));
    ASSERT_TRUE(file.ok()) << file.error().message;
    RideRecord ride;
    ASSERT_TRUE(loadPolarFile(ride, *file, false).ok());
    EXPECT_EQ(tabSeparated(ride.samples), "#\tSpeed\tAlt\n1\t300\t12\n2\t305\t14\n3\t310\t17\n");
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
        {"year of five digits", read("slope.ca", {{kCaDate, i16Bytes(12345)}}), "0"},
        {"month 100", read("slope.ca", {{kCaDate + 2, i16Bytes(100)}}), "0"},
        {"day -1", read("slope.ca", {{kCaDate + 6, i16Bytes(-1)}}), "0"},
        {"minute 124", read("slope.ca", {{kCaDate + 10, i16Bytes(124)}}), "0"},
        {"hour -5", read("slope.ca", {{kCaDate + 8, i16Bytes(-5)}}), "0"},
        {"altitude beyond 16 bits", read("slope.ca"), "40000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(hrmFileBytes(c.run, c.base).ok());
        EXPECT_FALSE(writeHrmFile(dir / "x.hrm", c.run, c.base).ok());
        EXPECT_FALSE(writeRunAsHrm(c.run, dir.path(), c.base).ok());
        EXPECT_TRUE(fs::is_empty(dir.path()));
    }
    EXPECT_EQ(writeRunAsHrm(cases[0].run, dir.path(), "0").error().message,
              "the run has no sample to write (last sample -1)");
}

}  // namespace
}  // namespace vb
