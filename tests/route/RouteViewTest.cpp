#include "route/RouteView.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "route/Fixtures.h"
#include "route/SvgCanvas.h"

namespace vb {
namespace {

using namespace test;
constexpr SliderIndex kStart = SliderIndex::start, kEnd = SliderIndex::end;

std::string num(double value) { return significant(value, 10); }

/// Writes what the drawing does as text, one call a line (numbers to 10 significant digits).
struct ListingCanvas : Canvas {
    std::string out;
    void add(const char* call, std::initializer_list<double> numbers) {
        out += call;
        for (double n : numbers) out += " " + num(n);
        out += "\n";
    }
    void clearRect(int left, int top, int width, int height) override {
        add("clear", {1.0 * left, 1.0 * top, 1.0 * width, 1.0 * height});
    }
    void setPenColour(Rgb c) override { add("pen", {1.0 * c.r, 1.0 * c.g, 1.0 * c.b}); }
    void setPenWidth(int width) override { add("width", {1.0 * width}); }
    void point(double x, double y) override { add("point", {x, y}); }
    void line(double x1, double y1, double x2, double y2) override { add("line", {x1, y1, x2, y2}); }
};

/// The view as text: sliders, distances, altitude range, labels, then the drawing.
std::string dump(const RouteView& view, const RideRecord& ride) {
    std::string out = "rows " + num(view.lastRow) + ", start " + num(view.startPos) + ", end " + num(view.endPos) +
                      (view.slidersEnabled ? ", on" : ", off") + "\ndistances";
    for (double d : view.DistanceProfile) out += " " + num(d);
    ListingCanvas canvas;
    Paint_Route(view, ride, canvas);
    return out + ", total " + num(view.RouteTotalDistance) + "\naltitudes " + num(view.altitudeRange.lowest) + " to " +
           num(view.altitudeRange.highest) + "\nStart: " + view.startLabel + ", Route: " + view.routeLabel + "\n" +
           canvas.out;
}

// The listings view-*.txt were worked out from the view's description, after the refresh and after
// each slider move. At 5 s a speed of 360 (36.0 km/h) covers 50 m; at 36 s 100 (10.0 mph) 160.9 m.
TEST(RouteView, DistancesLabelsSlidersAndDrawingMatchTheListings) {
    const std::vector<Row> twoRows{{"360", "100"}, {"360", "120"}};
    const struct {
        const char* golden;
        RideRecord ride;
        std::vector<std::pair<SliderIndex, int>> moves;
    } cases[] = {
        // A stopped row keeps the distance reached; its altitude does not count.
        {"view-stopped-row.txt", makeRide({{"360", "100"}, {"1440", "110"}, {"0", "900"}, {"720", "90"}, {"36000", "105"}}),
         {{kStart, 3}, {kEnd, 4}, {kEnd, 5}, {kStart, 4}}},
        {"view-miles.txt", makeRide({{"100", "1000"}, {"100", "500"}, {"100", "1000"}, {"100", "1000"}, {"100", "1000"},
                                     {"100", "1000"}, {"100", "1000"}}, "miles/feet", "36"), {{kEnd, 6}, {kStart, 1}}},
        // Row 2 is blank, row 3 has no speed text, row 4 no altitude: none moves, the rows after them count.
        {"view-blank-rows.txt", makeRide({{"360", "100"}, {"", ""}, {"", "900"}, {"720", ""}, {"720", "120"}}), {}},
        // The stretch red inside the black profile.
        {"view-stretch.txt", makeRide({{"360", "100"}, {"720", "125"}, {"0", "500"}, {"360", "50"}}),
         {{kEnd, 3}, {kStart, 2}}},
        // The end stays after the start, the start before the end, both within 0..4.
        {"view-sliders.txt", makeRide({{"360", "1"}, {"360", "1"}, {"360", "1"}, {"360", "1"}}),
         {{kEnd, 0}, {kStart, 1}, {kEnd, 3}, {kStart, 2}, {kStart, 99}, {kEnd, -5}, {kEnd, 4}, {kStart, 4}}},
        // Rides without a scale (no distance, or no altitude above 0) draw only the clear.
        {"view-interval-0.txt", makeRide(twoRows, "meter/meter", "0"), {}},
        {"view-interval-negative.txt", makeRide(twoRows, "meter/meter", "-5"), {}},
        {"view-unknown-units.txt", makeRide(twoRows, "km/m"), {}},
        {"view-speeds-0.txt", makeRide({{"0", "100"}, {"0", "120"}}), {}},
        {"view-speeds-not-numbers.txt", makeRide({{"fast", "100"}, {"-3", "120"}}), {}},
        {"view-altitudes-not-above-0.txt", makeRide({{"360", "0"}, {"360", "-20"}}), {}},
        {"view-nothing-imported.txt", RideRecord{}, {}},
        {"view-title-row-only.txt", makeRide({}), {{kEnd, 0}, {kStart, 5}}},
    };
    for (const auto& c : cases) {
        RouteView view;
        view.startPos = 3;  // the refresh puts both sliders back
        refreshRouteView(view, c.ride);
        std::string got = "refresh:\n" + dump(view, c.ride);
        for (const auto& [slider, position] : c.moves) {
            moveSlider(view, slider, position);
            Show_RouteDetail(view, c.ride);
            got += (slider == kStart ? "start " : "end ") + num(position) + ":\n" + dump(view, c.ride);
        }
        EXPECT_EQ(got, asText(routeFile(c.golden))) << c.golden;
    }
    // The sliders are off until the first refresh.
    RouteView view;
    moveSlider(view, kEnd, 3);
    EXPECT_EQ(view.endPos, 0);
}

TEST(RouteView, LongRidesAreCoveredToTheLastRow) {
    const auto ride = makeRide(std::vector<Row>(20000, {"360", "100"}));
    RouteView view;
    refreshRouteView(view, ride);
    ASSERT_EQ(view.DistanceProfile.size(), 20001u);
    EXPECT_EQ(view.DistanceProfile[20000], 1000000);
    moveSlider(view, kStart, 19990);
    Show_RouteDetail(view, ride);
    EXPECT_EQ(view.startLabel, "~999.5 km");
    RecordingCanvas canvas;
    Paint_Route(view, ride, canvas);
    // clear, width, black, point, 19988 black lines, red, 11 red lines
    ASSERT_EQ(canvas.ops.size(), 20004u);
    EXPECT_EQ(canvas.ops[19992], CanvasOp::penColour(kRed));
    EXPECT_EQ(canvas.ops.back(), CanvasOp::segment(canvas.ops[20002].x2, 5300, 7575, 5300));
}

TEST(SvgCanvas, JoinedLinesOfOneColourBecomeOnePolyline) {
    SvgCanvas svg(120, 3840, 7575, 3975);
    svg.clearRect(135, 4400, 7510, 3370);
    svg.setPenWidth(3);
    svg.setPenColour(kBlack);
    svg.point(165, 7800);
    svg.line(165, 7800, 200.04, 7790);
    svg.setPenColour(kBlack);
    svg.line(200.04, 7790, 300, 7700);
    svg.setPenColour(kRed);
    svg.line(300, 7700, 400, 7600);
    svg.line(500, 7600, 600, 7600);  // does not join: a new polyline
    svg.text(240, 3870, "Start: <~1 km>");
    EXPECT_EQ(svg.svg(), std::string(asText(routeFile("joined-polylines.svg"))));
}

}  // namespace
}  // namespace vb
