#include "route/RouteView.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "route/Fixtures.h"
#include "route/SvgCanvas.h"

namespace vb {
namespace {

using namespace test;
using Op = CanvasOp;
using Move = std::pair<SliderIndex, int>;

const CanvasOp kClear = Op::clear(135, 4400, 7510, 3370);

RouteView refreshed(const RideRecord& ride) {
    RouteView view;
    view.startPos = 3;  // the refresh puts both sliders back
    refreshRouteView(view, ride);
    return view;
}

std::vector<CanvasOp> paint(const RouteView& view, const RideRecord& ride) {
    RecordingCanvas canvas;
    Paint_Route(view, ride, canvas);
    return canvas.ops;
}

std::string num(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

/// The view as text: sliders, distances, altitude range, labels, then what
/// the drawing does (numbers to 10 significant digits).
std::string dump(const RouteView& view, const RideRecord& ride) {
    std::string out = "rows " + num(view.lastRow) + ", start " + num(view.startPos) + ", end " + num(view.endPos) +
                      (view.slidersEnabled ? ", on" : ", off") + "\ndistances";
    for (double d : view.DistanceProfile) out += " " + num(d);
    out += ", total " + num(view.RouteTotalDistance) + "\naltitudes " + num(view.altitudeRange.lowest) + " to " +
           num(view.altitudeRange.highest) + "\nStart: " + view.startLabel + ", Route: " + view.routeLabel + "\n";
    for (const CanvasOp& op : paint(view, ride)) {
        const char* const names[] = {"clear", "pen", "width", "point", "line"};
        out += names[static_cast<int>(op.kind)];
        if (op.kind == Op::Kind::setPenColour) out += " " + num(op.colour.r) + " " + num(op.colour.g) + " " + num(op.colour.b);
        if (op.kind == Op::Kind::setPenWidth) out += " " + num(op.width);
        if (op.kind == Op::Kind::point || op.kind == Op::Kind::line || op.kind == Op::Kind::clearRect)
            out += " " + num(op.x1) + " " + num(op.y1);
        if (op.kind == Op::Kind::line || op.kind == Op::Kind::clearRect) out += " " + num(op.x2) + " " + num(op.y2);
        out += "\n";
    }
    return out;
}

// The listings in tests/data/route/view-*.txt were worked out from the view's
// description, after the refresh and after each slider move. At 5 s a speed of
// 360 (36.0 km/h) covers 50 m; at 36 s a speed of 100 (10.0 mph) 160.9 m.
TEST(RouteView, DistancesLabelsSlidersAndDrawingMatchTheListings) {
    const struct {
        const char* golden;
        RideRecord ride;
        std::vector<Move> moves;
    } cases[] = {
        // A stopped row keeps the distance reached; its altitude does not count.
        {"view-stopped-row.txt", makeRide({{"360", "100"}, {"1440", "110"}, {"0", "900"}, {"720", "90"}, {"36000", "105"}}),
         {{SliderIndex::start, 3}, {SliderIndex::end, 4}, {SliderIndex::end, 5}, {SliderIndex::start, 4}}},
        {"view-miles.txt", makeRide({{"100", "1000"}, {"100", "500"}, {"100", "1000"}, {"100", "1000"}, {"100", "1000"},
                                     {"100", "1000"}, {"100", "1000"}}, "miles/feet", "36"),
         {{SliderIndex::end, 6}, {SliderIndex::start, 1}}},
        // Row 2 is blank, row 3 has no speed text: neither moves, the rows after them count.
        {"view-blank-rows.txt", makeRide({{"360", "100"}, {"", ""}, {"", "900"}, {"720", "120"}}), {}},
        // The stretch red inside the black profile.
        {"view-stretch.txt", makeRide({{"360", "100"}, {"720", "125"}, {"0", "500"}, {"360", "50"}}),
         {{SliderIndex::end, 3}, {SliderIndex::start, 2}}},
        // The end stays after the start, the start before the end, both within 0..4.
        {"view-sliders.txt", makeRide({{"360", "1"}, {"360", "1"}, {"360", "1"}, {"360", "1"}}),
         {{SliderIndex::end, 0}, {SliderIndex::start, 1}, {SliderIndex::end, 3}, {SliderIndex::start, 2},
          {SliderIndex::start, 99}, {SliderIndex::end, -5}, {SliderIndex::end, 4}, {SliderIndex::start, 4}}},
    };
    for (const auto& c : cases) {
        RouteView view = refreshed(c.ride);
        std::string got = "refresh:\n" + dump(view, c.ride);
        for (const auto& [slider, position] : c.moves) {
            moveSlider(view, slider, position);
            Show_RouteDetail(view, c.ride);
            got += (slider == SliderIndex::start ? "start " : "end ") + num(position) + ":\n" + dump(view, c.ride);
        }
        EXPECT_EQ(got, asText(routeFile(c.golden))) << c.golden;
    }
}

TEST(RouteView, RidesWithoutScaleDrawOnlyTheClearAndShowZero) {
    const std::vector<Row> rows{{"360", "100"}, {"360", "120"}};
    const struct {
        const char* what;
        RideRecord ride;
        const char* routeLabel;
    } cases[] = {
        {"interval 0", makeRide(rows, "meter/meter", "0"), "~0 km"},
        {"interval without number", makeRide(rows, "meter/meter", "-"), "~0 km"},
        {"negative interval", makeRide(rows, "meter/meter", "-5"), "~0 km"},
        {"unknown units", makeRide(rows, "km/m"), "~0 km"},
        {"every speed 0", makeRide({{"0", "100"}, {"0", "120"}}), "~0 km"},
        {"speed not a number", makeRide({{"fast", "100"}, {"-3", "120"}}), "~0 km"},
        {"no altitude above 0", makeRide({{"360", "0"}, {"360", "-20"}}), "~0.1 km"},
        {"nothing imported", RideRecord{}, "~0 km"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const RouteView view = refreshed(c.ride);
        EXPECT_EQ(paint(view, c.ride), std::vector<CanvasOp>{kClear});
        EXPECT_EQ(view.startLabel, "~0 km");
        EXPECT_EQ(view.routeLabel, c.routeLabel);
        EXPECT_EQ(view.endPos, view.lastRow);
    }
    // Every speed 0: the table stays all zero.
    EXPECT_EQ(refreshed(makeRide({{"0", "100"}, {"0", "120"}})).DistanceProfile, (std::vector<double>{0, 0, 0}));

    // The sliders are off before the first refresh; a table of the title row alone keeps both on row 0.
    RouteView view;
    moveSlider(view, SliderIndex::end, 3);
    EXPECT_EQ(view.endPos, 0);
    RideRecord empty;
    empty.samples.setRowCount(1);
    view = refreshed(empty);
    moveSlider(view, SliderIndex::end, 0);
    moveSlider(view, SliderIndex::start, 5);
    EXPECT_EQ(std::pair(view.startPos, view.endPos), std::pair(0, 0));
    EXPECT_EQ(view.DistanceProfile, std::vector<double>{0});
}

TEST(RouteView, LongRidesAreCoveredToTheLastRow) {
    const auto ride = makeRide(std::vector<Row>(20000, {"360", "100"}));
    RouteView view = refreshed(ride);
    ASSERT_EQ(view.DistanceProfile.size(), 20001u);
    EXPECT_EQ(view.DistanceProfile[16001], 800050);
    EXPECT_EQ(view.DistanceProfile[20000], 1000000);
    EXPECT_EQ(view.routeLabel, "~1000 km");
    moveSlider(view, SliderIndex::start, 19990);
    Show_RouteDetail(view, ride);
    EXPECT_EQ(view.startLabel, "~999.5 km");
    const auto ops = paint(view, ride);
    // clear, width, black, point, 19988 black lines, red, 11 red lines
    ASSERT_EQ(ops.size(), 20004u);
    EXPECT_EQ(ops[19992], Op::penColour(kRed));
    EXPECT_EQ(ops.back(), Op::segment(ops[ops.size() - 2].x2, 5300, 7575, 5300));
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
