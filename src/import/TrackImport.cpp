#include "import/TrackImport.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include <GeographicLib/Geocentric.hpp>
#include <GeographicLib/Geodesic.hpp>

#include "base/Text.h"
#include "import/FitReader.h"
#include "import/GpxReader.h"
#include "import/HrmReader.h"
#include "import/TcxReader.h"

namespace vb {

namespace {

constexpr double kNaN = TrackPoint::kNone;
// A gap longer than this, crossed slower than kStopSpeed, is a stop.
constexpr double kStopGap = 10.0;                // seconds
constexpr double kStopSpeed = 1.0 / 3.6;         // metres per second
constexpr double kPlannedSpeed = kPlannedSpeedKmh / 3.6;
constexpr std::array<int, 7> kIntervals{1, 2, 5, 10, 15, 30, 60};

Error refusal(std::string message) { return makeError(ErrorCode::invalid, std::move(message)); }

bool hasPosition(const TrackPoint& p) { return std::isfinite(p.latitude) && std::isfinite(p.longitude); }
// Values beyond these are a broken file's, not a ride's: they count as absent.
bool hasAltitude(const TrackPoint& p) { return std::abs(p.altitude) < 1e5; }
bool hasDistance(const TrackPoint& p) { return p.distance >= 0 && p.distance < 1e9; }

// Fills the NaN entries of `values` linearly by index between known
// neighbours, and with the nearest known one at either end.
void fillByIndex(std::vector<double>& values) {
    std::size_t last = values.size();  // index of the last known value
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!std::isfinite(values[i])) continue;
        if (last == values.size()) std::fill(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(i), values[i]);
        else
            for (std::size_t j = last + 1; j < i; ++j)
                values[j] = values[last] + (values[i] - values[last]) * double(j - last) / double(i - last);
        last = i;
    }
    if (last != values.size()) std::fill(values.begin() + static_cast<std::ptrdiff_t>(last) + 1, values.end(), values[last]);
}

// The length of the geodesic between two positions on the WGS84 ellipsoid.
// Recorded points lie metres apart; there the straight line between their
// earth-centred coordinates is the geodesic to far below a millimetre and
// takes a fraction of the time of solving for it, which a long ride's tens
// of thousands of steps feel. A longer step is solved for.
class GeodesicSteps {
public:
    /// The length from the last position passed or stepped to, to `p`'s (0 for the first).
    double step(const TrackPoint& p) {
        double x = 0, y = 0, z = 0;
        m_earth.Forward(p.latitude, p.longitude, 0, x, y, z);
        double length = 0;
        if (m_last != nullptr) {
            if (!m_lastPlaced) m_earth.Forward(m_last->latitude, m_last->longitude, 0, m_x, m_y, m_z);
            length = std::hypot(x - m_x, y - m_y, z - m_z);
            if (length > kChordMax)
                m_wgs84.Inverse(m_last->latitude, m_last->longitude, p.latitude, p.longitude, length);
        }
        m_last = &p;
        m_lastPlaced = true;
        m_x = x, m_y = y, m_z = z;
        return std::isfinite(length) ? length : 0.0;
    }
    /// Moves on to `p` without measuring the step.
    void pass(const TrackPoint& p) {
        m_last = &p;
        m_lastPlaced = false;
    }

private:
    static constexpr double kChordMax = 1000;  // metres; the chord is then short of the arc by < 1e-9 of it
    const GeographicLib::Geocentric& m_earth = GeographicLib::Geocentric::WGS84();
    const GeographicLib::Geodesic& m_wgs84 = GeographicLib::Geodesic::WGS84();
    const TrackPoint* m_last = nullptr;
    bool m_lastPlaced = false;
    double m_x = 0, m_y = 0, m_z = 0;
};

// Cumulative distance of every point: the file's own per part (continuing
// from the distance reached), else geodesic steps between positions.
std::vector<double> pointDistances(const std::vector<TrackPoint>& points) {
    GeodesicSteps geodesic;
    std::vector<double> distance(points.size(), kNaN);
    double reached = 0;
    for (std::size_t begin = 0; begin < points.size();) {
        std::size_t end = begin;
        bool fileDistance = false;
        for (; end < points.size() && points[end].part == points[begin].part; ++end)
            if (hasDistance(points[end])) fileDistance = true;
        const double offset = reached;
        for (std::size_t i = begin; i < end; ++i) {
            const TrackPoint& p = points[i];
            if (fileDistance && hasDistance(p)) {
                distance[i] = std::max(offset + p.distance, reached);
            } else if (!fileDistance && hasPosition(p)) {
                distance[i] = reached + geodesic.step(p);
            }
            // Positions are followed through parts with the file's own
            // distance too: a later part without one steps on from the last.
            if (fileDistance && hasPosition(p)) geodesic.pass(p);
            if (std::isfinite(distance[i])) reached = distance[i];
        }
        begin = end;
    }
    fillByIndex(distance);
    return distance;
}

// Indices of the longest strictly increasing run of the finite times (in
// order): the times a clock that repeats, goes back or jumps away and
// returns keeps consistent.
std::vector<bool> consistentTimes(const std::vector<double>& time) {
    std::vector<std::size_t> tails;         // tails[k]: last index of the best run of length k + 1
    std::vector<std::size_t> before(time.size(), time.size());
    for (std::size_t i = 0; i < time.size(); ++i) {
        if (!std::isfinite(time[i])) continue;
        const auto at = std::lower_bound(tails.begin(), tails.end(), time[i],
                                         [&time](std::size_t j, double t) { return time[j] < t; });
        if (at != tails.begin()) before[i] = *(at - 1);
        if (at == tails.end()) tails.push_back(i);
        else *at = i;
    }
    std::vector<bool> kept(time.size(), false);
    for (std::size_t i = tails.empty() ? time.size() : tails.back(); i < time.size(); i = before[i]) kept[i] = true;
    return kept;
}

// Timer pauses sorted and merged, with the time paused before each.
class Pauses {
public:
    explicit Pauses(std::vector<TimerPause> pauses) {
        std::sort(pauses.begin(), pauses.end(), [](const auto& a, const auto& b) { return a.stop < b.stop; });
        for (const TimerPause& p : pauses) {
            if (!(p.start > p.stop) || !std::isfinite(p.stop) || !std::isfinite(p.start)) continue;
            if (!m_pauses.empty() && p.stop <= m_pauses.back().start)
                m_pauses.back().start = std::max(m_pauses.back().start, p.start);
            else m_pauses.push_back(p);
        }
    }
    // Number of pauses that take time from `from` .. `to`.
    int within(double from, double to) const {
        return static_cast<int>(std::count_if(m_pauses.begin(), m_pauses.end(),
                                              [&](const TimerPause& p) { return p.stop < to && p.start > from; }));
    }
    // Seconds paused up to `t`; `t` must not decrease between calls.
    double pausedBefore(double t) {
        while (m_next < m_pauses.size() && m_pauses[m_next].start <= t) {
            m_done += m_pauses[m_next].start - m_pauses[m_next].stop;
            ++m_next;
        }
        if (m_next < m_pauses.size() && m_pauses[m_next].stop < t) return m_done + (t - m_pauses[m_next].stop);
        return m_done;
    }

private:
    std::vector<TimerPause> m_pauses;
    std::size_t m_next = 0;
    double m_done = 0;
};

// Linear interpolation over a non-decreasing x at non-decreasing s; among
// equal x the later point counts; before the first or after the last x the
// nearest y.
class Interpolator {
public:
    Interpolator(const std::vector<double>& x, const std::vector<double>& y) : m_x(x), m_y(y) {}
    double at(double s) {
        while (m_j + 1 < m_x.size() && m_x[m_j + 1] <= s) ++m_j;
        if (m_j + 1 == m_x.size() || s <= m_x[m_j]) return m_y[m_j];
        return m_y[m_j] + (m_y[m_j + 1] - m_y[m_j]) * (s - m_x[m_j]) / (m_x[m_j + 1] - m_x[m_j]);
    }

private:
    const std::vector<double>& m_x;
    const std::vector<double>& m_y;
    std::size_t m_j = 0;
};

std::string wholeText(double value) {
    if (!std::isfinite(value)) return "0";
    return std::to_string(static_cast<long long>(roundHalfEven(std::clamp(value, -1e15, 1e15))));
}

std::string_view statusOf(TrackFormat format) {
    switch (format) {
        case TrackFormat::fit: return kStatusFit;
        case TrackFormat::gpx: return kStatusGpx;
        case TrackFormat::tcx: return kStatusTcx;
    }
    return kStatusGpx;
}

}  // namespace

std::string clockText(double seconds) {
    const long long s = std::llround(seconds);
    char text[48];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    return text;
}

std::string isoTime(double seconds) {
    if (!std::isfinite(seconds) || std::abs(seconds) > 1e13) return "-";
    using namespace std::chrono;
    const sys_seconds time{std::chrono::seconds(static_cast<long long>(std::floor(seconds)))};
    const auto day = floor<days>(time);
    const year_month_day date{day};
    const hh_mm_ss clock{time - day};
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02lld:%02lld:%02lldZ", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<long long>(clock.hours().count()), static_cast<long long>(clock.minutes().count()),
                  static_cast<long long>(clock.seconds().count()));
    return text;
}

Result<TrackSummary> Store_Track(RideRecord& ride, const Track& track, std::string_view myfile) {
    const std::vector<TrackPoint>& points = track.points;
    const std::size_t n = points.size();
    if (n < 2)
        return refusal("the ride has fewer than two track points (the file holds " + std::to_string(n) + ")");
    const bool anyAltitude = std::any_of(points.begin(), points.end(), [](const auto& p) { return hasAltitude(p); });
    const bool anyWay = std::any_of(points.begin(), points.end(),
                                    [](const auto& p) { return hasPosition(p) || hasDistance(p); });
    if (!anyAltitude || !anyWay)
        return refusal("the ride's " + std::to_string(n) + " points have no " +
                       (anyAltitude ? "position or distance"
                                    : anyWay ? "altitude" : "altitude, position or distance (an indoor ride)"));

    TrackSummary summary;
    summary.format = track.format;
    summary.creator = track.creator;
    summary.points = n;
    const std::vector<double> distance = pointDistances(points);

    // Times: the consistent ones kept, the others interpolated by distance
    // between their timed neighbours; a route without times at 20 km/h.
    std::vector<double> time(n, kNaN);
    for (std::size_t i = 0; i < n; ++i) time[i] = points[i].time;
    const auto timed = std::count_if(time.begin(), time.end(), [](double t) { return std::isfinite(t); });
    std::vector<bool> kept = consistentTimes(time);
    const auto consistent = std::count(kept.begin(), kept.end(), true);
    std::vector<std::size_t> used;  // points that take part, in order
    if (timed < 2 || consistent * 2 < timed) {
        // A route, or a clock that kept fewer than half of its times: at 20 km/h
        // from the one time there is.
        summary.timing = timed < 2 ? TrackSummary::Timing::planned : TrackSummary::Timing::unusable;
        const auto one = std::find_if(time.begin(), time.end(), [](double t) { return std::isfinite(t); });
        const bool dated = timed == 1;
        const std::size_t at = dated ? static_cast<std::size_t>(one - time.begin()) : 0;
        const double base = dated ? *one : 0.0;
        for (std::size_t i = 0; i < n; ++i) {
            time[i] = base + (distance[i] - distance[at]) / kPlannedSpeed;
            used.push_back(i);
        }
        summary.start = dated ? time[0] : kNaN;
    } else {
        std::size_t previous = n;
        for (std::size_t i = 0; i < n; ++i) {
            if (!kept[i]) continue;
            if (previous != n)
                for (std::size_t j = previous + 1; j < i; ++j) {
                    const double span = distance[i] - distance[previous];
                    const double share = span > 0 ? (distance[j] - distance[previous]) / span
                                                  : double(j - previous) / double(i - previous);
                    time[j] = time[previous] + (time[i] - time[previous]) * share;
                    used.push_back(j);
                }
            used.push_back(i);
            previous = i;
        }
        summary.start = time[used.front()];
    }

    // Moving time: pauses and slow gaps cut out.
    Pauses pauses(track.pauses);
    std::vector<double> moving, way, height, heightAt;
    moving.reserve(used.size());
    way.reserve(used.size());
    double lastClock = 0;
    for (std::size_t k = 0; k < used.size(); ++k) {
        const std::size_t i = used[k];
        const double clock = time[i] - pauses.pausedBefore(time[i]);
        double tau = 0;
        if (k > 0) {
            const double gap = clock - lastClock;
            const double paused = (time[i] - time[used[k - 1]]) - gap;
            const double step = distance[i] - distance[used[k - 1]];
            const bool slow = gap > kStopGap && step < kStopSpeed * gap;
            tau = moving.back() + (slow ? 0.0 : gap);
            // A slow gap within a timer pause is part of that stop, counted below.
            if (slow && !(paused > 0)) ++summary.stops;
            summary.stoppedSeconds += paused + (slow ? gap : 0.0);
        }
        lastClock = clock;
        moving.push_back(tau);
        way.push_back(distance[i]);
        if (hasAltitude(points[i])) {
            heightAt.push_back(tau);
            height.push_back(points[i].altitude);
        }
    }
    summary.stops += pauses.within(time[used.front()], time[used.back()]);
    const double movingTime = moving.back();
    if (!(movingTime > 0)) return refusal("the ride has no moving time (every point lies at one time or in a stop)");
    if (height.empty()) return refusal("the ride's timed points have no altitude");
    int interval = 0;
    long long samples = 0;
    for (int dt : kIntervals) {
        if (movingTime / dt + 1 > SampleTable::kMaxSamples) continue;
        interval = dt;
        samples = static_cast<long long>(std::ceil(movingTime / dt)) + 1;
        if (samples <= SampleTable::kMaxSamples) break;
        interval = 0;
    }
    if (interval == 0)
        return refusal("the ride's moving time of " + clockText(movingTime) + " needs more than " +
                       std::to_string(SampleTable::kMaxSamples) + " samples even at 60 seconds");

    SampleTable table;
    Format_SampleTable(table);
    table.setRowCount(static_cast<int>(samples) + 1);
    Interpolator wayAt(moving, way);
    Interpolator heightAtTime(heightAt, height);
    double first = 0, previous = 0;
    for (long long k = 0; k < samples; ++k) {
        const double s = std::min(static_cast<double>(k * interval), movingTime);
        const double d = wayAt.at(s);
        const int row = static_cast<int>(k) + 1;
        table.setText(row, 0, std::to_string(row));
        table.setText(row, 1, k == 0 ? "0" : wholeText((d - previous) / interval * 36.0));
        table.setText(row, 2, wholeText(heightAtTime.at(s)));
        if (k == 0) first = d;
        previous = d;
    }
    summary.distance = previous - first;

    ride.samples = std::move(table);
    RideHeader& h = ride.header;
    h.Version() = track.version;
    const std::string start = isoTime(summary.start);
    h.Date() = start == "-" ? "-" : start.substr(0, 4) + start.substr(5, 2) + start.substr(8, 2);
    h.Mode() = "-";
    h.Type() = std::string(kTypeMetric);
    h.Interval() = std::to_string(interval);
    h.ECode() = "-";
    ride.ModeFlags = {};
    ride.RecordInterval = 0;
    ride.ImportStatus = std::string(statusOf(track.format));
    ride.Calc15Available = false;
    setFilenameBox(ride, polarTitle(myfile));
    return summary;
}

Result<TrackSummary> Load_Track_File(RideRecord& ride, TrackFormat format, std::string_view myfile,
                                     std::span<const std::byte> data) {
    Result<Track> track = makeError(ErrorCode::usage, "no reader for this kind of ride");
    switch (format) {
        case TrackFormat::gpx: track = readGpxTrack(data); break;
        case TrackFormat::tcx: track = readTcxTrack(data); break;
        case TrackFormat::fit: track = readFitTrack(data); break;
    }
    if (!track) {
        Result<TrackSummary> refused = track.error();
        for (const Error& warning : track.warnings()) refused.addWarning(warning);
        return refused;
    }
    Result<TrackSummary> stored = Store_Track(ride, *track, myfile);
    for (const Error& warning : track.warnings()) stored.addWarning(warning);
    return stored;
}

}  // namespace vb
