#include "route/RouteView.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "route/RideFixture.h"
#include "route/SvgCanvas.h"
#include "support/TestSupport.h"

namespace vb {
namespace {

using test::makeRide;
using Op = CanvasOp;

RouteView refreshed(const RideRecord& ride) {
    RouteView view;
    refreshRouteView(view, ride);
    return view;
}

std::vector<CanvasOp> paint(const RouteView& view, const RideRecord& ride) {
    RecordingCanvas canvas;
    Paint_Route(view, ride, canvas);
    return canvas.ops;
}

void move(RouteView& view, const RideRecord& ride, SliderIndex slider, int position) {
    moveSlider(view, slider, position);
    Show_RouteDetail(view, ride);
}

const CanvasOp kClear = Op::clear(135, 4400, 7510, 3370);

// At 5 s a speed of 360 (36.0 km/h) covers 50 m, 720 covers 100 m, 1440 200 m.
TEST(RouteView, RefreshSumsDistancesOverTheMovingRows) {
    const auto ride = makeRide({{"360", "100"}, {"1440", "110"}, {"0", "900"}, {"720", "90"}, {"36000", "105"}});
    RouteView view;
    view.startPos = 3;
    refreshRouteView(view, ride);
    // The stopped row 3 keeps the 250 m reached before it; its altitude does not count.
    EXPECT_EQ(view.DistanceProfile, (std::vector<double>{0, 50, 250, 250, 350, 5350}));
    EXPECT_EQ(view.RouteTotalDistance, 5350);
    EXPECT_EQ(view.altitudeRange, (AltitudeRange{0, 110, 90}));
    EXPECT_EQ(view.lastRow, 5);
    EXPECT_EQ(view.startPos, 0);
    EXPECT_EQ(view.endPos, 5);
    EXPECT_TRUE(view.slidersEnabled);
    EXPECT_EQ(view.startLabel, "~0 km");
    EXPECT_EQ(view.routeLabel, "~5.4 km");

    // A start on the stopped row shows the distance reached, not ~0 km.
    move(view, ride, SliderIndex::start, 3);
    EXPECT_EQ(view.startLabel, "~0.2 km");  // 0.25 rounds to even
    EXPECT_EQ(view.routeLabel, "~5.1 km");
    move(view, ride, SliderIndex::end, 4);
    EXPECT_EQ(view.routeLabel, "~0.1 km");
    move(view, ride, SliderIndex::end, 5);
    move(view, ride, SliderIndex::start, 4);
    EXPECT_EQ(view.startLabel, "~0.4 km");  // 0.35 rounds to even
    EXPECT_EQ(view.routeLabel, "~5 km");    // a whole number has no decimal point
}

TEST(RouteView, MilesAndFeetAreConvertedAndShownInMiles) {
    // 10.0 mph for 36 s: 160.9 m. Feet × 0.3048.
    const auto ride = makeRide({{"100", "1000"}, {"100", "500"}, {"100", "1000"}, {"100", "1000"},
                                {"100", "1000"}, {"100", "1000"}, {"100", "1000"}},
                               "miles/feet", "36");
    RouteView view = refreshed(ride);
    EXPECT_EQ(view.DistanceProfile[1], 160.9);
    EXPECT_DOUBLE_EQ(view.RouteTotalDistance, 1126.3);
    EXPECT_EQ(view.altitudeRange, (AltitudeRange{0, 304.8, 152.4}));
    EXPECT_EQ(view.startLabel, "~0 mi");
    EXPECT_EQ(view.routeLabel, "~0.7 mi");
    move(view, ride, SliderIndex::end, 6);
    EXPECT_EQ(view.routeLabel, "~0.6 mi");  // 965.4 m
    move(view, ride, SliderIndex::start, 1);
    EXPECT_EQ(view.startLabel, "~0.1 mi");
    EXPECT_EQ(view.routeLabel, "~0.5 mi");  // 804.5 m
}

TEST(RouteView, BlankRowsArePassedOverAndTheWalkGoesOn) {
    // Row 2 is blank, row 3 has no speed text: neither moves, the rows after them count.
    const auto ride = makeRide({{"360", "100"}, {"", ""}, {"", "900"}, {"720", "120"}});
    const RouteView view = refreshed(ride);
    EXPECT_EQ(view.DistanceProfile, (std::vector<double>{0, 50, 50, 50, 150}));
    EXPECT_EQ(view.lastRow, 4);
    EXPECT_EQ(view.altitudeRange, (AltitudeRange{0, 120, 100}));
    EXPECT_EQ(view.routeLabel, "~0.2 km");  // 0.15
    const auto ops = paint(view, ride);
    ASSERT_EQ(ops.size(), 5u);
    EXPECT_EQ(ops[3].kind, CanvasOp::Kind::point);
    EXPECT_NEAR(ops[3].x1, 2635, 1e-9);       // a third of 7410 after 165
    EXPECT_NEAR(ops[3].y1, 5716.6667, 1e-4);  // 7800 - 100 × 2500 / 120
    EXPECT_EQ(ops[4], Op::segment(ops[3].x1, ops[3].y1, 7575, 5300));
}

// Rows: 50 m at 100 m, 100 m at 125 m, stopped, 50 m at 50 m: 200 m, highest 125 (20 twips a metre).
TEST(RouteView, PaintDrawsTheStretchRedInsideTheBlackProfile) {
    const auto ride = makeRide({{"360", "100"}, {"720", "125"}, {"0", "500"}, {"360", "50"}});
    RouteView view = refreshed(ride);
    moveSlider(view, SliderIndex::end, 3);
    moveSlider(view, SliderIndex::start, 2);
    EXPECT_EQ(paint(view, ride), (std::vector<CanvasOp>{kClear, Op::penWidth(3), Op::penColour(kBlack),
                                                       Op::dot(2017.5, 5800), Op::penColour(kRed),
                                                       Op::segment(2017.5, 5800, 5722.5, 5300),
                                                       Op::penColour(kBlack),
                                                       Op::segment(5722.5, 5300, 7575, 6800)}));
    // The whole ride chosen: all red, one colour change only.
    view = refreshed(ride);
    EXPECT_EQ(paint(view, ride), (std::vector<CanvasOp>{kClear, Op::penWidth(3), Op::penColour(kRed),
                                                       Op::dot(2017.5, 5800), Op::segment(2017.5, 5800, 5722.5, 5300),
                                                       Op::segment(5722.5, 5300, 7575, 6800)}));
}

TEST(RouteView, RidesWithoutScaleDrawOnlyTheClearAndShowZero) {
    const std::vector<test::Row> rows{{"360", "100"}, {"360", "120"}};
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
}

TEST(RouteView, SliderRuleKeepsTheStartBeforeTheEnd) {
    const auto ride = makeRide({{"360", "1"}, {"360", "1"}, {"360", "1"}, {"360", "1"}});
    RouteView view;
    moveSlider(view, SliderIndex::end, 3);  // switched off before the first refresh
    EXPECT_EQ(view.endPos, 0);

    view = refreshed(ride);
    const struct {
        SliderIndex slider;
        int position, start, end;
    } moves[] = {
        {SliderIndex::end, 0, 0, 1},     // onto the start: one row beyond it
        {SliderIndex::start, 1, 0, 1},   // onto the end: one row before it
        {SliderIndex::end, 3, 0, 3},     {SliderIndex::start, 2, 2, 3},
        {SliderIndex::start, 99, 2, 3},  // clamped to 4, then pulled before the end
        {SliderIndex::end, -5, 2, 3},    // clamped to 0, then pushed beyond the start
        {SliderIndex::end, 4, 2, 4},     {SliderIndex::start, 4, 3, 4},
    };
    for (const auto& m : moves) {
        moveSlider(view, m.slider, m.position);
        EXPECT_EQ(std::pair(view.startPos, view.endPos), std::pair(m.start, m.end)) << m.position;
    }

    // A table of the title row alone: both sliders stay on row 0.
    RideRecord empty;
    empty.samples.setRowCount(1);
    view = refreshed(empty);
    moveSlider(view, SliderIndex::end, 0);
    moveSlider(view, SliderIndex::start, 5);
    EXPECT_EQ(std::pair(view.startPos, view.endPos), std::pair(0, 0));
    EXPECT_EQ(view.DistanceProfile, std::vector<double>{0});
}

TEST(RouteView, LongRidesAreCoveredToTheLastRow) {
    const std::vector<test::Row> rows(20000, {"360", "100"});
    const auto ride = makeRide(rows);
    RouteView view = refreshed(ride);
    ASSERT_EQ(view.DistanceProfile.size(), 20001u);
    EXPECT_EQ(view.DistanceProfile[16001], 800050);
    EXPECT_EQ(view.DistanceProfile[20000], 1000000);
    EXPECT_EQ(view.lastRow, 20000);
    EXPECT_EQ(view.routeLabel, "~1000 km");
    move(view, ride, SliderIndex::start, 19990);
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
    EXPECT_EQ(svg.svg(), std::string(asText(test::readAll(test::dataFile("route/joined-polylines.svg")))));
}

}  // namespace
}  // namespace vb
