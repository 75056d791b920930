#include "route/RouteBuilder.h"

#include <array>
#include <cmath>
#include <string>

#include "base/Text.h"

namespace vb {

namespace {

// Emitted distance steps (before merging) after which a build gives up, so that a
// nonsensical speed or step cannot keep it running for ever. A thousand times
// what fits without merging.
constexpr std::int64_t kMaxDistanceSteps = std::int64_t{kMaxRouteSections} * 1000;

std::string number(double value) { return shortestDouble(value); }

Error tooLong(double step) {
    return makeError(ErrorCode::range, "the stretch needs more than " + std::to_string(kMaxRouteSections) +
                                           " sections; at a distance step of " + number(step) +
                                           " m it may be at most " + number(step * kMaxRouteSections / 1000) +
                                           " km long");
}

// One build in the number types of a target: `Number` for the stored lengths and
// slopes, their limit tests and their merging, `Index` for the section index.
template <typename Number, typename Index>
Result<RouteSections> build(const RideRecord& ride, const RouteRequest& request) {
    const UnitFactors factors = unitFactors(ride.header.Type());
    const double t = leadingNumber(ride.header.Interval());
    const double c = request.limits.maxClimb;
    const double m = request.limits.maxDown;
    const double w = request.limits.distStep;
    if (!(w > 0) || !std::isfinite(w))
        return makeError(ErrorCode::invalid, "distance step " + number(w) + " m: it must be more than 0 m");
    if (!(t > 0) || !std::isfinite(t))
        return makeError(ErrorCode::invalid, "recording interval " + number(t) + " s: it must be more than 0 s");

    const Number climbLimit = static_cast<Number>(c);
    const Number downLimit = static_cast<Number>(m);
    // Index 0 is never filled; sections start at 1.
    std::array<Number, kMaxRouteSections + 1> lengths{};
    std::array<Number, kMaxRouteSections + 1> slopes{};

    double distance = 0.0;
    double climb = 0.0;
    double previousAltitude = 0.0;
    bool firstRow = true;
    Index k = 1;
    std::int64_t steps = 0;

    const SampleTable& table = ride.samples;
    // The table's last row never contributes.
    for (std::int32_t r = 1; table.rowCount() > r + 1; ++r) {
        const std::string_view speedText = table.text(r, 1);
        const std::string_view altText = table.text(r, 2);
        // A blank row (as a blank data line leaves it) is passed over; the rows after it stay reachable.
        if (speedText.empty() || altText.empty()) continue;
        if (r < request.route_von || r > request.route_bis) continue;

        const double s = leadingNumber(speedText) * factors.speed;
        const double a = leadingNumber(altText) * factors.altitude;
        if (firstRow) {
            previousAltitude = a;
            firstRow = false;
        }
        distance += s / (60 / t * 60) * 100;
        climb += a - previousAltitude;

        while (distance >= w) {
            if (++steps > kMaxDistanceSteps) return tooLong(w);
            const Number length = static_cast<Number>(w / 1000);
            Number slope = static_cast<Number>(climb * 100 / w);
            // A cut slope carries the climb it could not show; an uncut one uses it all up.
            if (slope < downLimit) {
                slope = downLimit;
                climb -= m / 100 * w;
            } else if (slope > climbLimit) {
                slope = climbLimit;
                climb -= c / 100 * w;
            } else {
                climb = 0.0;
            }
            distance -= w;

            if (k > 1 && request.join_slopes == 1 && slope == slopes[k - 1]) {
                lengths[k - 1] = static_cast<Number>(length + lengths[k - 1]);
            } else {
                if (k > kMaxRouteSections) return tooLong(w);
                lengths[k] = length;
                slopes[k] = slope;
                ++k;
            }
        }
        previousAltitude = a;
    }

    RouteSections route;
    route.target = request.target;
    route.sections.reserve(static_cast<std::size_t>(k - 1));
    for (Index i = 1; i < k; ++i)
        route.sections.push_back({static_cast<double>(lengths[i]), static_cast<double>(slopes[i])});
    return route;
}

}  // namespace

UnitFactors unitFactors(std::string_view type) {
    if (type == kTypeMetric) return {1.0, 1.0};
    if (type == kTypeImperial) return {1.609, 0.3048};
    return {0.0, 0.0};
}

RouteLimits routeLimits(const Settings& settings, Target target) {
    if (target == Target::catalyst)
        return {leadingNumber(settings.cat_max_climb), leadingNumber(settings.cat_max_down),
                leadingNumber(settings.cat_dist_step)};
    return {leadingNumber(settings.fort_max_climb), leadingNumber(settings.fort_max_down),
            leadingNumber(settings.fort_dist_step)};
}

int RouteSectionCount(const RouteSections& route) { return static_cast<int>(route.sections.size()); }

Result<RouteSections> buildRoute(const RideRecord& ride, const RouteRequest& request) {
    if (request.target == Target::catalyst) return build<double, std::int16_t>(ride, request);
    return build<float, std::int32_t>(ride, request);
}

Result<void> calc15SecInterval(RideRecord& ride) {
    SampleTable& table = ride.samples;
    std::vector<std::int16_t> speeds;
    std::vector<std::int16_t> altitudes;
    // Read every non-blank row first: the rewrite below overwrites rows not yet read.
    for (int row = 1; row < table.rowCount(); ++row) {
        const std::string_view speedText = table.text(row, 1);
        const std::string_view altText = table.text(row, 2);
        if (speedText.empty() || altText.empty()) continue;
        if (speeds.size() == kMaxResampleSamples)
            return makeError(ErrorCode::range, "the ride has more than " + std::to_string(kMaxResampleSamples) +
                                                   " samples; 15-second resampling takes at most " +
                                                   std::to_string(kMaxResampleSamples));
        const auto speed = toInt16(leadingNumber(speedText));
        const auto altitude = toInt16(leadingNumber(altText));
        if (!speed || !altitude)
            return makeError(ErrorCode::range, "row " + std::to_string(row) + ": speed " + std::string(speedText) +
                                                   " or altitude " + std::string(altText) +
                                                   " lies outside -32768..32767; the ride cannot be resampled");
        speeds.push_back(*speed);
        altitudes.push_back(*altitude);
    }

    ride.Calc15Available = false;
    ride.header.Interval() = "15";
    ride.RecordInterval = 15;
    if (speeds.empty()) return {};

    const int n = static_cast<int>(speeds.size());
    // Rows after the resampled ride go, so no 60-second sample is left to be read as a 15-second one.
    table.setRowCount(4 * (n - 1) + 2);
    auto writeRow = [&table](int row, int speed, int altitude) {
        table.setText(row, 0, std::to_string(row));
        table.setText(row, 1, std::to_string(speed));
        table.setText(row, 2, std::to_string(altitude));
    };
    writeRow(1, speeds[0], altitudes[0]);
    for (int i = 2; i <= n; ++i) {
        const int base = 4 * (i - 1);
        const int previous = altitudes[static_cast<std::size_t>(i - 2)];
        // In 32 bits: the difference of two 16-bit altitudes need not fit 16 bits.
        const int delta = altitudes[static_cast<std::size_t>(i - 1)] - previous;
        for (int j = 0; j < 4; ++j) {
            const int step = static_cast<int>(std::floor(delta / 4.0 * (j + 1)));
            writeRow(base - 2 + j, speeds[static_cast<std::size_t>(i - 1)], step + previous);
        }
    }
    return {};
}

}  // namespace vb
