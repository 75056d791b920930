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
    const char* expected[][3] = {{"1", "210", "402"}, {"2", "180", "405"}, {"", "", ""}, {"4", "150", "415"},
                                 {"5", "", "418"},    {"6", "140", ""},    {"7", "160", "420"}};
    for (int row = 1; row <= 7; ++row)
        for (int column = 0; column < 3; ++column)
            EXPECT_EQ(ride.samples.text(row, column), expected[row - 1][column]) << row << "," << column;

    ride.header.Type() = "km/m";
    const SampleTable before = ride.samples;
    smoothAltitude(ride, 500);
    EXPECT_EQ(ride.samples, before) << "no units, no distance";
}

}  // namespace
}  // namespace vb
