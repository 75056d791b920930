#include "route/RouteBuilder.h"

#include <gtest/gtest.h>

#include "route/RideFixture.h"

namespace vb {
namespace {

using test::makeRide;
using test::ride50m;
using test::Row;

constexpr RouteLimits kCatalyst{9, -4, 100};
constexpr RouteLimits kFortius{20, -5, 100};

using Sections = std::vector<std::pair<double, double>>;

Sections sectionsOf(const RideRecord& ride, Target target, RouteLimits limits, int join = 0,
                    std::int16_t from = 0, std::int16_t to = 32767) {
    auto route = buildRoute(ride, {target, from, to, limits, join});
    EXPECT_TRUE(route.ok()) << route.error().message;
    Sections out;
    if (!route) return out;
    EXPECT_EQ(route->target, target);
    for (const auto& s : route->sections) out.push_back({s.length, s.slope});
    EXPECT_EQ(RouteSectionCount(*route), static_cast<int>(out.size()));
    return out;
}

double f32(double value) { return static_cast<float>(value); }

/// Rows 1.. of the ride's table, three texts each.
void expectRows(const RideRecord& ride, const std::vector<std::vector<std::string>>& rows) {
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(ride.samples.text(static_cast<int>(r) + 1, c), rows[r][c]) << "row " << r + 1 << ", column " << c;
}

TEST(RouteBuilder, RowDistanceIsSpeedTimesIntervalOver36) {
    // 36.0 km/h for 5 s is exactly 50 m: two rows make one 100 m section.
    EXPECT_EQ(sectionsOf(ride50m({100, 100}), Target::catalyst, kCatalyst), (Sections{{0.1, 0}}));
    EXPECT_EQ(sectionsOf(ride50m({100, 100}), Target::fortius, kFortius), (Sections{{f32(0.1), 0}}));
    // One row is half a step: no section.
    EXPECT_TRUE(sectionsOf(ride50m({100}), Target::catalyst, kCatalyst).empty());
    // 60 s at 36.0 km/h is 600 m: one row emits six sections; the first takes the whole climb.
    const auto ride = makeRide({{"360", "100"}, {"360", "112"}, {"360", "112"}}, "meter/meter", "60");
    EXPECT_EQ(sectionsOf(ride, Target::catalyst, kCatalyst),
              (Sections{{0.1, 0}, {0.1, 0}, {0.1, 0}, {0.1, 0}, {0.1, 0}, {0.1, 0},  // row 1: no climb yet
                        {0.1, 9}, {0.1, 3}, {0.1, 0}, {0.1, 0}, {0.1, 0}, {0.1, 0}}));
}

TEST(RouteBuilder, CutSlopesCarryTheClimbTheyCouldNotShow) {
    // +15 m over 100 m: 9 now, the 6 m left over next.
    EXPECT_EQ(sectionsOf(ride50m({100, 115, 115, 115}), Target::catalyst, kCatalyst),
              (Sections{{0.1, 9}, {0.1, 6}}));
    // -10 m: -4 carrying -6, then -4 carrying -2, then -2.
    EXPECT_EQ(sectionsOf(ride50m({100, 90, 90, 90, 90, 90}), Target::catalyst, kCatalyst),
              (Sections{{0.1, -4}, {0.1, -4}, {0.1, -2}}));
    // FORTIUS: 32-bit slopes, cuts store the limit, the carry is the unrounded one.
    EXPECT_EQ(sectionsOf(ride50m({100, 125, 125, 125}), Target::fortius, kFortius),
              (Sections{{f32(0.1), 20}, {f32(0.1), 5}}));
    EXPECT_EQ(sectionsOf(ride50m({0, 0, 0, 0, 0, 1}), Target::fortius, {20.1, -5.3, 300}),
              (Sections{{f32(0.3), f32(1.0 * 100 / 300)}}));
    EXPECT_EQ(sectionsOf(ride50m({100, 200, 200, 200, 100, 100, 100}), Target::fortius, {20.1, -5.3, 100}),
              (Sections{{f32(0.1), f32(20.1)}, {f32(0.1), f32(20.1)}, {f32(0.1), f32(-5.3)}}));
}

TEST(RouteBuilder, FortiusTestsLimitsAndMergesIn32Bits) {
    // 20.1000001 % is above 20.1 in 64 bits but the same 32-bit float.
    const auto justAbove = makeRide({{"360", "0"}, {"360", "20.1000001"}, {"360", "20.1000001"},
                                     {"360", "20.1000001"}, {"360", "20.1000001"}});
    EXPECT_EQ(sectionsOf(justAbove, Target::fortius, {20.1, -5, 100}), (Sections{{f32(0.1), f32(20.1)}, {f32(0.1), 0}}));
    const auto catalyst = sectionsOf(justAbove, Target::catalyst, {20.1, -5, 100});
    ASSERT_EQ(catalyst.size(), 2u);
    EXPECT_GT(catalyst[1].second, 0);  // the cut carried a sliver of climb
    // Slopes 1.00000001 and 1: one section in 32 bits, two in 64.
    const auto nearlyEqual = makeRide({{"360", "0"}, {"360", "1.00000001"}, {"360", "1.00000001"},
                                       {"360", "2.00000001"}, {"360", "2.00000001"}});
    EXPECT_EQ(sectionsOf(nearlyEqual, Target::fortius, kFortius, 1), (Sections{{f32(0.2), 1}}));
    EXPECT_EQ(sectionsOf(nearlyEqual, Target::catalyst, kCatalyst, 1).size(), 2u);
}

TEST(RouteBuilder, JoinsEqualNeighbourSlopesOnlyWhenTheBoxIsExactlyOne) {
    const auto ride = ride50m({100, 109, 109, 118, 118, 127, 127, 127});
    EXPECT_EQ(sectionsOf(ride, Target::catalyst, kCatalyst, 0),
              (Sections{{0.1, 9}, {0.1, 9}, {0.1, 9}, {0.1, 0}}));
    EXPECT_EQ(sectionsOf(ride, Target::catalyst, kCatalyst, 1), (Sections{{0.1 + (0.1 + 0.1), 9}, {0.1, 0}}));
    EXPECT_EQ(sectionsOf(ride, Target::catalyst, kCatalyst, 2).size(), 4u);
    // 32-bit sum: 0.1f + 0.1f + 0.1f is 0.3f.
    EXPECT_EQ(sectionsOf(ride, Target::fortius, kFortius, 1), (Sections{{f32(0.3), 9}, {f32(0.1), 0}}));
    // A long flat ride fits once its equal sections merge.
    const auto flat = ride50m(std::vector<int>(9000, 0));
    EXPECT_EQ(sectionsOf(flat, Target::fortius, kFortius, 1).size(), 1u);
}

TEST(RouteBuilder, UsesOnlyTheStretchAndNeverTheLastRow) {
    // Rows before the stretch set neither distance nor the previous altitude.
    const auto ride = ride50m({0, 500, 100, 103, 103, 103});
    EXPECT_EQ(sectionsOf(ride, Target::catalyst, kCatalyst, 0, 3), (Sections{{0.1, 3}, {0.1, 0}}));
    EXPECT_EQ(sectionsOf(ride, Target::catalyst, kCatalyst, 0, 3, 4), (Sections{{0.1, 3}}));
    EXPECT_TRUE(sectionsOf(ride, Target::catalyst, kCatalyst, 0, 5, 3).empty());
    // Four rows of 50 m of which the last is the table's last row: one section, not two.
    const auto four = makeRide({{"360", "0"}, {"360", "0"}, {"360", "0"}, {"360", "0"}});
    EXPECT_EQ(sectionsOf(four, Target::catalyst, kCatalyst).size(), 1u);
}

TEST(RouteBuilder, PassesOverBlankRowsInsideTheRide) {
    const auto ride = makeRide({{"360", "100"}, {"", ""}, {"360", "106"}, {"360", "106"}, {"360", "106"},
                                {"", "1"}, {"360", "106"}, {"360", "106"}, {"360", "106"}});
    EXPECT_EQ(sectionsOf(ride, Target::catalyst, kCatalyst), (Sections{{0.1, 6}, {0.1, 0}, {0.1, 0}}));
}

TEST(RouteBuilder, ConvertsImperialRowsAndIgnoresUnknownUnits) {
    // 36.0 mph at 5 s: 360 * 1.609 * 5 / 36 = 80.45 m a row; 100 ft = 30.48 m.
    const auto ride = makeRide({{"360", "0"}, {"360", "100"}, {"360", "100"}}, "miles/feet");
    const auto sections = sectionsOf(ride, Target::catalyst, kCatalyst);
    ASSERT_EQ(sections.size(), 1u);
    EXPECT_EQ(sections[0].second, 9);  // 30.48 m over 100 m, cut
    const auto ride2 = makeRide({{"100", "0"}, {"100", "10"}, {"100", "10"}}, "miles/feet", "60");
    // 100 * 1.609 * 60 / 36 = 268.17 m: two sections from row 2; the climb is 3.048 m.
    const auto sections2 = sectionsOf(ride2, Target::catalyst, kCatalyst);
    ASSERT_EQ(sections2.size(), 5u);
    EXPECT_DOUBLE_EQ(sections2[2].second, 3.048);
    EXPECT_TRUE(sectionsOf(ride50m({0, 50, 50}, "Meter/Meter"), Target::catalyst, kCatalyst).empty());
}

TEST(RouteBuilder, RefusesBadStepsIntervalsAndTooLongStretches) {
    const auto ride = ride50m({100, 100});
    for (double step : {0.0, -100.0}) {
        auto route = buildRoute(ride, {Target::catalyst, 0, 100, {9, -4, step}, 0});
        ASSERT_FALSE(route);
        EXPECT_NE(route.error().message.find("distance step"), std::string::npos);
    }
    for (const char* interval : {"0", "-", "-5"}) {
        auto bad = makeRide({{"360", "0"}, {"360", "0"}}, "meter/meter", interval);
        auto route = buildRoute(bad, {Target::fortius, 0, 100, kFortius, 0});
        ASSERT_FALSE(route) << interval;
        EXPECT_NE(route.error().message.find("interval"), std::string::npos);
    }
    // 4001 steps of 100 m do not fit; 4000 do.
    EXPECT_EQ(sectionsOf(ride50m(std::vector<int>(8000, 0)), Target::catalyst, kCatalyst).size(), 4000u);
    for (Target target : {Target::catalyst, Target::fortius}) {
        auto route = buildRoute(ride50m(std::vector<int>(8002, 0)), {target, 0, 32767, {9, -4, 100}, 0});
        ASSERT_FALSE(route);
        EXPECT_NE(route.error().message.find("at most 400 km long"), std::string::npos) << route.error().message;
    }
    // An endless row (speed beyond the range of numbers) with merging stops with an error.
    const auto endless = makeRide({{std::string(400, '9'), "0"}, {"1", "0"}});
    EXPECT_FALSE(buildRoute(endless, {Target::fortius, 0, 10, kFortius, 1}));
}

TEST(Calc15, InterpolatesAltitudesAndHoldsSpeeds) {
    auto ride = makeRide({{"200", "100"}, {"240", "105"}}, "meter/meter", "60");
    ride.RecordInterval = 60;
    ride.Calc15Available = true;
    ASSERT_TRUE(calc15SecInterval(ride));
    ASSERT_EQ(ride.samples.rowCount(), 6);
    expectRows(ride, {{"1", "200", "100"}, {"2", "240", "101"}, {"3", "240", "102"}, {"4", "240", "103"},
                      {"5", "240", "105"}});
    EXPECT_EQ(ride.header.Interval(), "15");
    EXPECT_EQ(ride.RecordInterval, 15);
    EXPECT_FALSE(ride.Calc15Available);

    // A descent of 5 rounds down: -2, -3, -4, -5.
    auto down = makeRide({{"200", "100"}, {"200", "95"}});
    ASSERT_TRUE(calc15SecInterval(down));
    expectRows(down, {{"1", "200", "100"}, {"2", "200", "98"}, {"3", "200", "97"}, {"4", "200", "96"},
                      {"5", "200", "95"}});
    // The extremes of 16 bits: their difference needs 17.
    auto steep = makeRide({{"1", "-32768"}, {"1", "32767"}});
    ASSERT_TRUE(calc15SecInterval(steep));
    EXPECT_EQ(steep.samples.text(2, 2), "-16385");
    EXPECT_EQ(steep.samples.text(5, 2), "32767");
}

TEST(Calc15, RoundsEveryRowSkipsBlankRowsAndDropsLeftovers) {
    auto ride = makeRide({{"200.5", "101.5"}, {"", ""}, {"", ""}, {"", ""}, {"", ""}, {"", ""}, {" 24 0x", "105"}});
    ASSERT_TRUE(calc15SecInterval(ride));
    ASSERT_EQ(ride.samples.rowCount(), 6);  // rows 6 and 7 of the old table are gone
    // 200.5 and 101.5 round to even; row 2 is 102 + Int(0.75).
    expectRows(ride, {{"1", "200", "102"}, {"2", "240", "102"}, {"3", "240", "103"}, {"4", "240", "104"},
                      {"5", "240", "105"}});

    // One sample: only the interval changes.
    auto single = makeRide({{"200", "100"}});
    const auto before = single.samples;
    ASSERT_TRUE(calc15SecInterval(single));
    EXPECT_EQ(single.samples, before);
    EXPECT_EQ(single.header.Interval(), "15");
}

TEST(Calc15, RefusesLongRidesAndWideValuesAndChangesNothing) {
    std::vector<Row> rows(4001, Row{"200", "100"});
    auto longRide = makeRide(rows, "meter/meter", "60");
    longRide.Calc15Available = true;
    longRide.RecordInterval = 60;
    const RideRecord before = longRide;
    auto refused = calc15SecInterval(longRide);
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.error().message.find("4000"), std::string::npos);
    EXPECT_EQ(longRide.samples, before.samples);
    EXPECT_EQ(longRide.header, before.header);
    EXPECT_TRUE(longRide.Calc15Available);
    EXPECT_EQ(longRide.RecordInterval, 60);

    rows.resize(4000);
    EXPECT_TRUE(calc15SecInterval(longRide = makeRide(rows)));
    EXPECT_EQ(longRide.samples.rowCount(), 4 * 3999 + 2);

    for (const Row& wide : {Row{"32768", "0"}, Row{"0", "-32769"}, Row{"1", std::string(400, '9')}}) {
        auto ride = makeRide({{"200", "100"}, wide, {"200", "100"}}, "meter/meter", "60");
        const auto table = ride.samples;
        auto result = calc15SecInterval(ride);
        ASSERT_FALSE(result);
        EXPECT_NE(result.error().message.find("row 2"), std::string::npos) << result.error().message;
        EXPECT_EQ(ride.samples, table);
        EXPECT_EQ(ride.header.Interval(), "60");
    }
}

}  // namespace
}  // namespace vb
