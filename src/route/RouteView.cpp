#include "route/RouteView.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "base/Text.h"
#include "route/RouteBuilder.h"

namespace vb {

namespace {

// What the walk found in one row: whether it moves (speed above 0, a finite
// distance and altitude), and then its distance in metres and altitude in metres.
struct RowSample {
    bool moving = false;
    double distance = 0.0;
    double altitude = 0.0;
};

// Metres per unit of speed: a speed in tenths of km/h over `interval` seconds
// covers s / (60 / i × 60) × 100 metres. Without a positive interval no row
// covers any distance.
double distanceOf(double speed, double interval) {
    if (!(interval > 0) || !std::isfinite(interval)) return 0.0;
    return speed / (60 / interval * 60) * 100;
}

// Calls visit(row, sample) for every row from 1 to the table's last row.
template <typename Visit>
void walkRows(const RideRecord& ride, Visit visit) {
    const UnitFactors factors = unitFactors(ride.header.Type());
    const double interval = leadingNumber(ride.header.Interval());
    const SampleTable& table = ride.samples;
    for (int r = 1; r < table.rowCount(); ++r) {
        RowSample sample;
        const std::string_view speedText = table.text(r, 1);
        const std::string_view altText = table.text(r, 2);
        // A blank row is passed over like a stopped one; the rows after it still count.
        if (!speedText.empty() && !altText.empty()) {
            const double speed = leadingNumber(speedText) * factors.speed;
            sample.altitude = leadingNumber(altText) * factors.altitude;
            sample.distance = distanceOf(speed, interval);
            sample.moving = speed > 0 && std::isfinite(sample.distance) && std::isfinite(sample.altitude);
        }
        visit(r, sample);
    }
}

// Metres as the label's number in the ride's distance unit: rounded to one
// decimal, ties to even, in the shortest form.
std::string distanceLabel(double metres, const RideRecord& ride) {
    const bool miles = ride.header.Type() == kTypeImperial;
    const double value = roundHalfEven(metres / 1000 / (miles ? 1.609 : 1.0) * 10) / 10;
    // + 0.0 turns a negative zero into "0".
    return "~" + shortestDouble(value + 0.0) + (miles ? " mi" : " km");
}

double profileAt(const RouteView& view, int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= view.DistanceProfile.size()) return 0.0;
    return view.DistanceProfile[static_cast<std::size_t>(row)];
}

}  // namespace

void refreshRouteView(RouteView& view, const RideRecord& ride) {
    view.DistanceProfile.assign(static_cast<std::size_t>(std::max(ride.samples.rowCount(), 1)), 0.0);
    view.altitudeRange = AltitudeRange{};
    double total = 0.0;
    int last = 0;
    walkRows(ride, [&](int r, const RowSample& sample) {
        if (sample.moving) {
            view.altitudeRange.highest = std::max(view.altitudeRange.highest, sample.altitude);
            view.altitudeRange.lowest = std::min(view.altitudeRange.lowest, sample.altitude);
            total += sample.distance;
        }
        // A row that does not move keeps the distance reached so far.
        view.DistanceProfile[static_cast<std::size_t>(r)] = total;
        last = r;
    });
    view.DistanceProfile.resize(static_cast<std::size_t>(last) + 1);
    view.RouteTotalDistance = total;
    view.lastRow = last;
    view.startPos = 0;
    view.endPos = last;
    view.slidersEnabled = true;
    Show_RouteDetail(view, ride);
}

bool hasProfileScale(const RouteView& view) {
    const double total = view.RouteTotalDistance;
    const double highest = view.altitudeRange.highest;
    return total > 0 && std::isfinite(total) && highest > 0 && std::isfinite(highest);
}

void Paint_Route(const RouteView& view, const RideRecord& ride, Canvas& canvas) {
    canvas.clearRect(kProfileLeft, kProfileTop, kProfileWidth, kProfileHeight);
    if (!hasProfileScale(view)) return;
    canvas.setPenWidth(kProfilePenWidth);

    const double total = view.RouteTotalDistance;
    const double scale = kAxisHeight / view.altitudeRange.highest;
    double running = 0.0;
    bool first = true;
    Rgb pen{};
    double lastX = 0.0;
    double lastY = 0.0;
    walkRows(ride, [&](int r, const RowSample& sample) {
        if (!sample.moving) return;
        running += sample.distance;
        // As a share of the whole ride, so that the last row lands exactly on the axis end.
        const double x = kAxisWidth * (running / total) + kAxisLeft;
        const double y = kAxisBottom - sample.altitude * scale;
        const Rgb colour = view.startPos <= r && r <= view.endPos ? kRed : kBlack;
        if (first || colour != pen) canvas.setPenColour(colour);
        pen = colour;
        if (first) canvas.point(x, y);
        else canvas.line(lastX, lastY, x, y);
        first = false;
        lastX = x;
        lastY = y;
    });
}

void Show_RouteDetail(RouteView& view, const RideRecord& ride) {
    const double start = profileAt(view, view.startPos);
    view.startLabel = distanceLabel(start, ride);
    view.routeLabel = distanceLabel(profileAt(view, view.endPos) - start, ride);
}

void moveSlider(RouteView& view, SliderIndex slider, int position) {
    if (!view.slidersEnabled) return;
    const int last = std::max(view.lastRow, 0);
    position = std::clamp(position, 0, last);
    if (slider == SliderIndex::end) {
        view.endPos = position;
        if (view.endPos <= view.startPos) view.endPos = std::min(view.startPos + 1, last);
    } else {
        view.startPos = position;
        if (view.startPos >= view.endPos) view.startPos = std::max(view.endPos - 1, 0);
    }
}

}  // namespace vb
