#pragma once
// The route view: the imported ride as an altitude profile over distance, with
// two sliders that choose a stretch of SampleTable rows. The stretch is drawn
// red inside the black profile, and two labels say where it starts and how
// long it is, in kilometres or miles.
//
// Rows are walked from row 1 to the table's last row. A blank row (no speed
// or no altitude text) and a stopped row (speed not above 0) add no distance,
// are not drawn and do not count for the altitude range; the walk goes on
// after them, and their DistanceProfile entry holds the running distance.
// A ride without distance or without a positive altitude has no scale: its
// profile stays empty and its labels read "~0 km".

#include <string>
#include <vector>

#include "import/RideRecord.h"
#include "route/Canvas.h"

namespace vb {

/// The profile area of the window, in twips of the client area.
inline constexpr int kProfileLeft = 135;
inline constexpr int kProfileTop = 4400;
inline constexpr int kProfileWidth = 7510;
inline constexpr int kProfileHeight = 3370;
/// Pen width of the profile, in pixels.
inline constexpr int kProfilePenWidth = 3;
/// The x axis runs from kAxisLeft (distance 0) to kAxisLeft + kAxisWidth (the whole ride).
inline constexpr double kAxisLeft = 165;
inline constexpr double kAxisWidth = 7410;
/// The y axis runs from kAxisBottom (altitude 0) up by kAxisHeight (the highest altitude).
inline constexpr double kAxisBottom = 7800;
inline constexpr double kAxisHeight = 2500;

/// Altitudes in metres over the rows that count; `unused` is kept at 0.
struct AltitudeRange {
    double unused = 0, highest = -9999999.0, lowest = 9999999.0;
    bool operator==(const AltitudeRange&) const = default;
};

struct RouteView {
    /// Cumulative distance in metres to the end of each row, rows 0..lastRow (entry 0 is 0).
    std::vector<double> DistanceProfile;
    /// Metres after the last row.
    double RouteTotalDistance = 0;
    AltitudeRange altitudeRange;
    /// The last row of the walk: both sliders' maximum.
    int lastRow = 0;
    /// The two sliders' positions, rows 0..lastRow.
    int startPos = 0, endPos = 0;
    /// The sliders are off until the first refresh.
    bool slidersEnabled = false;
    /// The texts beside "Start:" (where the stretch starts) and "Route:" (its length).
    std::string startLabel, routeLabel;
};

enum class SliderIndex { start = 0, end = 1 };

/// Rebuilds distances and altitude range from the ride, puts the start slider
/// on 0 and the end slider on the last row, switches both on and rewrites the
/// labels. The caller then redraws with Paint_Route.
void refreshRouteView(RouteView& view, const RideRecord& ride);

/// True when the profile has a scale: a finite distance and a finite highest
/// altitude, both above 0.
bool hasProfileScale(const RouteView& view);

/// Clears the profile area and, when the ride has a scale, draws the profile:
/// black outside the stretch startPos..endPos, red inside it.
void Paint_Route(const RouteView& view, const RideRecord& ride, Canvas& canvas);

/// Rewrites startLabel and routeLabel from the slider positions ("~12.3 km", "~0.6 mi").
void Show_RouteDetail(RouteView& view, const RideRecord& ride);

/// The slider rule after the rider moved `slider` to `position` (clamped to
/// 0..lastRow): the end stays after the start, the start before the end.
/// Nothing moves while the sliders are off. The caller then redraws with
/// Paint_Route and rewrites the labels with Show_RouteDetail.
void moveSlider(RouteView& view, SliderIndex slider, int position);

}  // namespace vb
