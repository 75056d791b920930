#include <gtest/gtest.h>

#include "import/RideImport.h"
#include "support/RideLoad.h"
#include "support/TestSupport.h"

namespace vb {
namespace {

TEST(RideImport, RecognisesRidesByTheirFirstEightBytesOnly) {
    EXPECT_EQ(recogniseRideFile(toBytes("[Params]")), RideFileType::hrm);
    EXPECT_EQ(recogniseRideFile(toBytes("HACtronic - Tour")), RideFileType::hac4);
    EXPECT_EQ(recogniseRideFile(toBytes("[params]\nVersion=106")), RideFileType::unknown);
    EXPECT_EQ(recogniseRideFile(toBytes("[Params")), RideFileType::unknown);
    EXPECT_EQ(recogniseRideFile({}), RideFileType::unknown);

    // The extension plays no part.
    test::ScratchDir dir;
    test::writeAll(dir / "ride.tur", "[Params]\nSMode=111000100\nInterval=5\n[HRData]\n1\t2\t3\t4\n");
    test::writeAll(dir / "text.hrm", "[params]\n");
    RideRecord ride;
    RecordingPrompter p;
    const auto hrm = test::importRideFile(ride, dir / "ride.tur", p);
    ASSERT_TRUE(hrm.ok());
    EXPECT_EQ(ride.ProgramName, "ride");
    EXPECT_EQ(ride.samples.text(1, 2), "4");
    EXPECT_FALSE(test::importRideFile(ride, dir / "text.hrm", p).ok());
    EXPECT_FALSE(test::importRideFile(ride, dir / "missing.hrm", p).ok());
    EXPECT_EQ(ride.samples.text(1, 2), "4");
}

TEST(RideImport, ExamplesLoad) {
    for (const char* name : {"alpine-loop.hrm", "alpine-loop-60s.hrm", "alpine-loop.tur"}) {
        RideRecord ride;
        RecordingPrompter p;
        const auto report = test::importRideFile(ride, test::exampleFile(name), p);
        ASSERT_TRUE(report.ok()) << name;
        EXPECT_TRUE(p.messages.empty()) << name;
        EXPECT_GT(report->samples, 90) << name;
    }
}

TEST(RideImport, ResamplingIsOfferedExactlyForAnHrmRideAt60Seconds) {
    RideRecord ride;
    RecordingPrompter p;
    const auto load = [&](std::string_view name) { return test::importRideFile(ride, test::exampleFile(name), p); };
    ASSERT_TRUE(load("alpine-loop-60s.hrm").ok());
    EXPECT_TRUE(ride.Calc15Available);
    ASSERT_TRUE(load("alpine-loop.hrm").ok());  // 5 seconds
    EXPECT_FALSE(ride.Calc15Available);
    ASSERT_TRUE(load("alpine-loop-60s.hrm").ok());
    ASSERT_TRUE(load("alpine-loop.tur").ok());
    EXPECT_FALSE(ride.Calc15Available);

    // A refused file leaves the ride, and the offer, as they were.
    ASSERT_TRUE(load("alpine-loop-60s.hrm").ok());
    const auto refused = test::loadRideData(ride, RideFileType::hrm, "bad.hrm",
                                      toBytes("[Params]\nInterval=99999\n[HRData]\n1\t2\n"), p);
    EXPECT_TRUE(refused.refused);
    EXPECT_TRUE(ride.Calc15Available);
}

}  // namespace
}  // namespace vb
