#include "catalyst/HrmWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "base/Files.h"
#include "catalyst/RunFiles.h"
#include "import/RideImport.h"
#include "support/RideLoad.h"
#include "support/TestSupport.h"

namespace vb {
namespace {

using namespace test;
namespace fs = std::filesystem;

/// The HRM text the writer must produce, laid out by hand.
std::string expectedHrm(std::string_view date, std::string_view time, std::string_view length,
                        const std::vector<std::string>& dataLines) {
    std::string text = "[Params]\r\nVersion=106\r\nMonitor=12\r\nSMode=11111110\r\nDate=" + std::string(date) +
                       "\r\nStartTime=" + std::string(time) + "\r\nLength=" + std::string(length) +
                       "\r\nInterval=5\r\n\r\n[Note]\r\n\r\n[IntTimes]\r\n\r\n[IntNotes]\r\n\r\n[ExtraData]\r\n"
                       "\r\n[Summary-123]\r\n\r\n[Summary-TH]\r\n\r\n[HRZones]\r\n\r\n[SwapTimes]\r\n\r\n[Trip]\r\n"
                       "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n\r\n[HRData]\r\n";
    for (const auto& line : dataLines) text += line + "\r\n";
    return text;
}

std::string hrmText(const CatalystRun& run, std::string_view base) {
    auto bytes = hrmFileBytes(run, base);
    EXPECT_TRUE(bytes.ok()) << (bytes.ok() ? "" : bytes.error().message);
    return bytes.ok() ? std::string(asText(*bytes)) : "";
}

CatalystRun read(const Bytes& data, RunKind kind, const char* name = "tour.ca") {
    CatalystRun run;
    const auto report = test::readRunFile(run, data, name, kind);
    EXPECT_EQ(report.failure, "");
    return run;
}

/// A V1.0 run of 13 records, 10 m apart, on 1 km at 5 % (for slope programs).
CaFile slopeCa(int type = 1) {
    CaFile f;
    f.type = type;
    f.sections = {{5.0, 1.0}};
    for (int i = 0; i < 13; ++i) f.records.push_back({10.0f * i, 100 + i, 80, 1234, 300 + i});
    f.records[0].power = 1500;
    f.records[5].power = -15;  // ⌊-1.5⌋ = -2
    return f;
}

/// A V2.0 run of 12 records at raw distances 100, 110, ... on 1000 m at 5 %.
CafFile slopeCaf(int type = 1, int records = 12) {
    CafFile f;
    f.type = type;
    f.routes = {{1000.0f, 5.0f}};
    for (int i = 0; i < records; ++i) f.records.push_back({100.0f + 10.0f * i, 130, 90, 2505, 280 + i});
    return f;
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

TEST(HrmWriter, V1SlopeRunClimbsWithTheProfile) {
    const CatalystRun run = read(caBytes(slopeCa()), RunKind::v1);
    ASSERT_EQ(run.LastSample, 12);
    // Each sample after the first climbs 10 m at 5 % = 50 cm; a line shows the
    // climbs before its own sample: 0, 4 × 50 = 200 and 9 × 50 = 450 cm (4.5 m, tie to even).
    EXPECT_EQ(hrmText(run, "0"), expectedHrm("20050612", "09:05", "0:00:12.0",
                                             {"100\t300\t80\t0\t150\t0", "105\t305\t80\t2\t-2\t0",
                                              "110\t310\t80\t4\t123\t0"}));
    // Base 12.5 m: 1250, 1450, 1700 cm.
    EXPECT_EQ(hrmText(run, "12.5m"), expectedHrm("20050612", "09:05", "0:00:12.0",
                                                 {"100\t300\t80\t12\t150\t0", "105\t305\t80\t14\t-2\t0",
                                                  "110\t310\t80\t17\t123\t0"}));
    // An empty or non-numeric text starts at 0.
    EXPECT_EQ(hrmText(run, ""), hrmText(run, "0"));
    EXPECT_EQ(hrmText(run, "high"), hrmText(run, "0"));
    // Base -3 m: -300, -100, 150 cm.
    EXPECT_EQ(hrmText(run, "-3"), expectedHrm("20050612", "09:05", "0:00:12.0",
                                              {"100\t300\t80\t-3\t150\t0", "105\t305\t80\t-1\t-2\t0",
                                               "110\t310\t80\t2\t123\t0"}));
}

TEST(HrmWriter, PowerAndHeartRateProgramsStayAtTheBaseAltitude) {
    const std::vector<std::string> lines = {"100\t300\t80\t100\t150\t0", "105\t305\t80\t100\t-2\t0",
                                            "110\t310\t80\t100\t123\t0"};
    for (int type : {0, 2}) {
        const CatalystRun run = read(caBytes(slopeCa(type)), RunKind::v1);
        EXPECT_EQ(hrmText(run, "100"), expectedHrm("20050612", "09:05", "0:00:12.0", lines)) << type;
    }
    const std::vector<std::string> v2lines = {"130\t280\t90\t7\t250\t0", "130\t285\t90\t7\t250\t0",
                                              "130\t290\t90\t7\t250\t0"};
    CafFile heartRate = slopeCaf(0);
    heartRate.routes.clear();
    EXPECT_EQ(hrmText(read(cafBytes(heartRate), RunKind::v2), "7"), expectedHrm("00000000", "00:00", "0:00:12.0", v2lines));
    EXPECT_EQ(hrmText(read(cafBytes(slopeCaf(2)), RunKind::v2), "7"), expectedHrm("00000000", "00:00", "0:00:12.0", v2lines));
}

TEST(HrmWriter, V2SlopeRunStartsAtItsDistanceOffset) {
    const CatalystRun run = read(cafBytes(slopeCaf()), RunKind::v2, "alp.caf");
    ASSERT_EQ(run.LastSample, 12);
    // The first sample's distance is 0.01 (climb 0.05 cm), the others 10 m
    // apart: 0, 200.05 and 450.05 cm; the hundredths lift 4.5005 m to 5.
    EXPECT_EQ(hrmText(run, "0"), expectedHrm("00000000", "00:00", "0:00:12.0",
                                             {"130\t280\t90\t0\t250\t0", "130\t285\t90\t2\t250\t0",
                                              "130\t290\t90\t5\t250\t0"}));
    EXPECT_EQ(hrmText(run, "250"), expectedHrm("00000000", "00:00", "0:00:12.0",
                                               {"130\t280\t90\t250\t250\t0", "130\t285\t90\t252\t250\t0",
                                                "130\t290\t90\t255\t250\t0"}));
    // Seven samples: lines for samples 0 and 5 only.
    const CatalystRun seven = read(cafBytes(slopeCaf(1, 7)), RunKind::v2);
    EXPECT_EQ(hrmText(seven, "0"), expectedHrm("00000000", "00:00", "0:00:07.0",
                                               {"130\t280\t90\t0\t250\t0", "130\t285\t90\t2\t250\t0"}));
}

TEST(HrmWriter, WrittenFileReadsBackAsAnHrmRide) {
    ScratchDir dir;
    const CatalystRun run = read(caBytes(slopeCa()), RunKind::v1);
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
    const CatalystRun shorter = read(cafBytes(slopeCaf(1, 7)), RunKind::v2);
    ASSERT_TRUE(writeHrmFile(target, shorter, "0").ok());
    EXPECT_EQ(readAll(target), *hrmFileBytes(shorter, "0"));
}

TEST(HrmWriter, RefusesWhatCannotBeWrittenAndLeavesNoFile) {
    ScratchDir dir;
    CaFile empty = slopeCa();
    empty.records.clear();  // "Data: -1"
    CaFile one = slopeCa();
    one.records.resize(1);  // "Data: 0"
    CaFile negative = slopeCa();
    negative.records[3].distance = -10.0f;  // profile step -2
    CaFile far = slopeCa();
    far.records[3].distance = 163840.0f;  // step 32768 does not fit 16 bits
    CaFile year = slopeCa();
    year.dateTime[0] = 12345;

    const struct {
        const char* what;
        CatalystRun run;
        const char* base;
    } cases[] = {
        {"no sample", read(caBytes(empty), RunKind::v1), "0"},
        {"one record", read(caBytes(one), RunKind::v1), "0"},
        {"negative distance", read(caBytes(negative), RunKind::v1), "0"},
        {"beyond 16 bits", read(caBytes(far), RunKind::v1), "0"},
        {"year of five digits", read(caBytes(year), RunKind::v1), "0"},
        {"altitude beyond 16 bits", read(caBytes(slopeCa()), RunKind::v1), "40000"},
    };
    for (const auto& c : cases) {
        auto bytes = hrmFileBytes(c.run, c.base);
        EXPECT_FALSE(bytes.ok()) << c.what;
        const fs::path target = dir / "x.hrm";
        EXPECT_FALSE(writeHrmFile(target, c.run, c.base).ok()) << c.what;
        EXPECT_FALSE(fs::exists(target)) << c.what;
    }
}

TEST(HrmWriter, FailedWriteKeepsTheOldFile) {
    ScratchDir dir;
    const fs::path target = dir / "tour.ca.hrm";
    writeAll(target, "old");
    const CatalystRun run = read(caBytes(slopeCa()), RunKind::v1);
    testhooks::failWriteAfter = 10;
    const auto written = writeHrmFile(target, run, "0");
    testhooks::failWriteAfter.reset();
    ASSERT_FALSE(written.ok());
    EXPECT_NE(written.error().message.find(displayPath(target)), std::string::npos) << written.error().message;
    EXPECT_EQ(asText(readAll(target)), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
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
    CaFile empty = slopeCa();
    empty.records.clear();
    CatalystRun run = read(caBytes(slopeCa()), RunKind::v1, "a.ca");
    const auto written = writeRunAsHrm(run, dir.path(), "0");
    ASSERT_TRUE(written.ok());
    EXPECT_EQ(*written, dir / "a.ca.hrm");
    EXPECT_EQ(readAll(dir / "a.ca.hrm"), *hrmFileBytes(run, "0"));
    run = read(caBytes(empty), RunKind::v1, "c.ca");
    const auto refused = writeRunAsHrm(run, dir.path(), "0");
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().message, "the run has no sample to write (last sample -1)");
    EXPECT_FALSE(fs::exists(dir / "c.ca.hrm"));
}

}  // namespace
}  // namespace vb
