#include "route/RouteBuilder.h"

#include <gtest/gtest.h>

#include "route/Fixtures.h"

namespace vb {
namespace {

using namespace test;
using Sections = std::vector<std::pair<double, double>>;

constexpr RouteLimits kCatalyst{9, -4, 100};
constexpr RouteLimits kFortius{20, -5, 100};

RouteRequest cat(int join = 0, std::int16_t from = 0, std::int16_t to = 32767, RouteLimits limits = kCatalyst) {
    return {Target::catalyst, from, to, limits, join};
}
RouteRequest fort(RouteLimits limits = kFortius, int join = 0) { return {Target::fortius, 0, 32767, limits, join}; }

double f32(double value) { return static_cast<float>(value); }

// ride50m gives a row of 50 m (36.0 km/h at 5 s) per altitude: two make one 100 m section.
TEST(RouteBuilder, CutsTheStretchIntoHandComputedSectionsOrRefuses) {
    const auto climbs = ride50m({"100", "109", "109", "118", "118", "127", "127", "127"});
    const auto stretch = ride50m({"0", "500", "100", "103", "103", "103"});  // rows 3.. climb 3 m
    // 20.1000001 % is above 20.1 in 64 bits but the same 32-bit float.
    const auto justAbove = ride50m({"0", "20.1000001", "20.1000001", "20.1000001"});
    // Slopes 1.00000001 and 1: one section in 32 bits, two in 64.
    const auto nearlyEqual = ride50m({"0", "1.00000001", "1.00000001", "2.00000001"});
    const auto flatAt = [](const char* interval) { return makeRide({{"360", "0"}, {"360", "0"}}, "meter/meter", interval); };
    const struct {
        const char* what;
        RideRecord ride;
        RouteRequest request;
        Sections expected;
        const char* refusal = nullptr;  // part of the reason when the build is refused
    } cases[] = {
        {"level", ride50m({"100", "100"}), cat(), {{0.1, 0}}},
        {"level in 32 bits", ride50m({"100", "100"}), fort(), {{f32(0.1), 0}}},
        {"one row is half a step", ride50m({"100"}), cat(), {}},
        {"60 s at 36.0 km/h is 600 m: six sections a row, the first takes the climb",
         makeRide({{"360", "100"}, {"360", "112"}, {"360", "112"}}, "meter/meter", "60"), cat(),
         {{0.1, 0}, {0.1, 0}, {0.1, 0}, {0.1, 0}, {0.1, 0}, {0.1, 0},
          {0.1, 9}, {0.1, 3}, {0.1, 0}, {0.1, 0}, {0.1, 0}, {0.1, 0}}},
        {"+15 m: 9 now, the 6 m left over next", ride50m({"100", "115", "115", "115"}), cat(), {{0.1, 9}, {0.1, 6}}},
        {"-10 m: -4 carrying -6, -4 carrying -2, -2", ride50m({"100", "90", "90", "90", "90", "90"}), cat(),
         {{0.1, -4}, {0.1, -4}, {0.1, -2}}},
        {"cut in 32 bits to the limit, carrying the unrounded rest", ride50m({"100", "125", "125", "125"}), fort(),
         {{f32(0.1), 20}, {f32(0.1), 5}}},
        {"300 m step", ride50m({"0", "0", "0", "0", "0", "1"}), fort({20.1, -5.3, 300}), {{f32(0.3), f32(1.0 * 100 / 300)}}},
        {"limits not whole", ride50m({"100", "200", "200", "200", "100", "100", "100"}), fort({20.1, -5.3, 100}),
         {{f32(0.1), f32(20.1)}, {f32(0.1), f32(20.1)}, {f32(0.1), f32(-5.3)}}},
        {"limit tested in 32 bits", justAbove, fort({20.1, -5, 100}), {{f32(0.1), f32(20.1)}, {f32(0.1), 0}}},
        {"merged in 32 bits", nearlyEqual, fort(kFortius, 1), {{f32(0.2), 1}}},
        {"not joined", climbs, cat(), {{0.1, 9}, {0.1, 9}, {0.1, 9}, {0.1, 0}}},
        {"joined", climbs, cat(1), {{0.1 + (0.1 + 0.1), 9}, {0.1, 0}}},
        {"joined only when the box is 1", climbs, cat(2), {{0.1, 9}, {0.1, 9}, {0.1, 9}, {0.1, 0}}},
        {"joined in 32 bits: 0.1f + 0.1f + 0.1f is 0.3f", climbs, fort(kFortius, 1), {{f32(0.3), 9}, {f32(0.1), 0}}},
        // Rows before the stretch set neither distance nor the previous altitude.
        {"from row 3", stretch, cat(0, 3), {{0.1, 3}, {0.1, 0}}},
        {"rows 3 to 4", stretch, cat(0, 3, 4), {{0.1, 3}}},
        {"rows 5 to 3", stretch, cat(0, 5, 3), {}},
        {"the table's last row never counts", ride50m({"0", "0", "0"}), cat(), {{0.1, 0}}},
        {"blank rows are passed over",
         makeRide({{"360", "100"}, {"", ""}, {"360", "106"}, {"360", "106"}, {"360", "106"}, {"", "1"}, {"360", "106"},
                   {"360", "106"}, {"360", "106"}}),
         cat(), {{0.1, 6}, {0.1, 0}, {0.1, 0}}},
        {"36.0 mph at 5 s is 80.45 m a row; 100 ft = 30.48 m over 100 m, cut",
         makeRide({{"360", "0"}, {"360", "100"}, {"360", "100"}}, "miles/feet"), cat(), {{0.1, 9}}},
        {"unknown units", ride50m({"0", "50", "50"}, "Meter/Meter"), cat(), {}},
        {"4000 steps of 100 m fit", ride50m(std::vector<std::string>(8000, "0")), cat(), Sections(4000, {0.1, 0})},
        {"4001 steps", ride50m(std::vector<std::string>(8002, "0")), cat(), {}, "at most 400 km long"},
        {"4001 steps in 32 bits", ride50m(std::vector<std::string>(8002, "0")), fort(kCatalyst), {}, "at most 400 km long"},
        {"step 0", ride50m({"100", "100"}), cat(0, 0, 32767, {9, -4, 0}), {}, "distance step"},
        {"negative step", ride50m({"100", "100"}), cat(0, 0, 32767, {9, -4, -100}), {}, "distance step"},
        {"interval 0", flatAt("0"), fort(), {}, "interval"},
        {"interval without number", flatAt("-"), fort(), {}, "interval"},
        {"negative interval", flatAt("-5"), fort(), {}, "interval"},
        {"an endless row with merging", makeRide({{std::string(400, '9'), "0"}, {"1", "0"}}), fort(kFortius, 1), {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto route = buildRoute(c.ride, c.request);
        const std::string reason = route ? "" : route.error().message;
        ASSERT_EQ(route.ok(), c.refusal == nullptr) << reason;
        EXPECT_NE(reason.find(c.refusal ? c.refusal : ""), std::string::npos) << reason;
        Sections got;
        for (const auto& s : route ? route->sections : std::vector<RouteSection>{}) got.push_back({s.length, s.slope});
        EXPECT_EQ(got, c.expected);
    }
    // In 64 bits the cut carries a sliver of climb, and the slopes stay apart.
    EXPECT_GT(buildRoute(justAbove, cat(0, 0, 32767, {20.1, -5, 100}))->sections.at(1).slope, 0);
    EXPECT_EQ(buildRoute(nearlyEqual, cat(1))->sections.size(), 2u);
    // A long flat ride fits once its equal sections merge.
    EXPECT_EQ(buildRoute(ride50m(std::vector<std::string>(9000, "0")), fort(kFortius, 1))->sections.size(), 1u);
}

TEST(Calc15, ResamplesToFourRowsAMinuteOrChangesNothing) {
    const auto wide = [](Row row) { return std::vector<Row>{{"200", "100"}, row, {"200", "100"}}; };
    const struct {
        std::vector<Row> rows;
        const char* expected;  // the rows after (number, speed, altitude), or the refusal's reason
    } cases[] = {
        {{{"200", "100"}, {"240", "105"}}, "1\t200\t100\n2\t240\t101\n3\t240\t102\n4\t240\t103\n5\t240\t105\n"},
        {{{"200", "100"}, {"200", "95"}}, "1\t200\t100\n2\t200\t98\n3\t200\t97\n4\t200\t96\n5\t200\t95\n"},  // down
        // The extremes of 16 bits: their difference needs 17.
        {{{"1", "-32768"}, {"1", "32767"}}, "1\t1\t-32768\n2\t1\t-16385\n3\t1\t-1\n4\t1\t16383\n5\t1\t32767\n"},
        // 200.5 and 101.5 round to even; row 2 is 102 + Int(0.75); rows 6 and 7 of the old table go.
        {{{"200.5", "101.5"}, {"", ""}, {"", ""}, {"", ""}, {"", ""}, {"", ""}, {" 24 0x", "105"}},
         "1\t200\t102\n2\t240\t102\n3\t240\t103\n4\t240\t104\n5\t240\t105\n"},
        {{{"200", "100"}}, "1\t200\t100\n"},
        {std::vector<Row>(4001, Row{"200", "100"}), "more than 4000 samples"},
        {wide({"32768", "0"}), "row 2"},
        {wide({"0", "-32769"}), "row 2"},
        {wide({"1", std::string(400, '9')}), "row 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        auto ride = makeRide(c.rows, "meter/meter", "60");
        ride.RecordInterval = 60;
        ride.Calc15Available = true;
        const SampleTable before = ride.samples;
        const auto result = calc15SecInterval(ride);
        const auto state = std::tuple(ride.header.Interval(), ride.RecordInterval, ride.Calc15Available);
        if (result) {
            EXPECT_EQ(tabSeparated(ride.samples), "#\tSpeed\tAlt\n" + std::string(c.expected));
            EXPECT_EQ(state, std::tuple("15", 15, false));
        } else {
            EXPECT_NE(result.error().message.find(c.expected), std::string::npos) << result.error().message;
            EXPECT_EQ(ride.samples, before);
            EXPECT_EQ(state, std::tuple("60", 60, true));
        }
    }
    auto longest = makeRide(std::vector<Row>(4000, Row{"200", "100"}));
    ASSERT_TRUE(calc15SecInterval(longest));
    EXPECT_EQ(longest.samples.rowCount(), 4 * 3999 + 2);
}

}  // namespace
}  // namespace vb
