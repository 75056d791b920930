// Altitude smoothing on an HRM ride with blank and half-filled rows.

#include <gtest/gtest.h>

#include "import/AltitudeSmoothing.h"
#include "import/RideImport.h"
#include "support/TestSupport.h"

namespace vb {
namespace {

TEST(AltitudeSmoothing, MeanOverTheWindowByDistance) {
    RideRecord ride;
    const auto parsed = readPolarFile("climb.hrm", test::readAll(test::dataFile("import/climb.hrm")));
    ASSERT_TRUE(parsed && loadPolarFile(ride, *parsed, false));
    const SampleTable recorded = ride.samples;
    smoothAltitude(ride, 0);
    EXPECT_EQ(ride.samples, recorded) << "0 is off";

    // climb.table at 5 s: rows 1, 2, 4 and 7 lie at 29.17, 54.17, 75 and
    // 97.22 m; a 52 m window takes the rows within 26 m of each.
    smoothAltitude(ride, 52);
    EXPECT_EQ(tabSeparated(ride.samples), asText(test::readAll(test::dataFile("import/climb-smoothed-52.table"))));

    ride.header.Type() = "km/m";
    const SampleTable before = ride.samples;
    smoothAltitude(ride, 500);
    EXPECT_EQ(ride.samples, before) << "no units, no distance";
}

}  // namespace
}  // namespace vb
