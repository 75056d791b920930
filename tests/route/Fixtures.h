#pragma once
// Small rides filled in by hand for the route tests, laid out as the ride
// readers leave them: row k holds sample k and the row count is samples + 1.

#include <charconv>
#include <string>
#include <utility>
#include <vector>

#include "import/RideRecord.h"
#include "support/TestSupport.h"

namespace vb::test {

/// One sample row as its Speed and Alt texts; an empty text makes a blank row.
using Row = std::pair<std::string, std::string>;

inline RideRecord makeRide(const std::vector<Row>& rows, std::string type = "meter/meter",
                           std::string interval = "5") {
    RideRecord ride;
    Init_Kennung(ride);
    ride.samples.setRowCount(static_cast<int>(rows.size()) + 1);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        ride.samples.setText(row, 0, std::to_string(row));
        ride.samples.setText(row, 1, rows[i].first);
        ride.samples.setText(row, 2, rows[i].second);
    }
    ride.header.Type() = std::move(type);
    ride.header.Interval() = std::move(interval);
    return ride;
}

/// Rows of 50 m (36.0 km/h at 5 s) at the altitudes given, and a last one that the route never uses.
inline RideRecord ride50m(const std::vector<std::string>& altitudes, std::string type = "meter/meter") {
    std::vector<Row> rows;
    for (const auto& a : altitudes) rows.push_back({"360", a});
    rows.push_back({"360", altitudes.empty() ? "0" : altitudes.back()});
    return makeRide(rows, std::move(type));
}

/// `value` to `digits` significant digits, as printf's %g writes it.
inline std::string significant(double value, int digits) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value, std::chars_format::general, digits).ptr);
}

/// A file of tests/data/route.
inline Bytes routeFile(const std::string& name) { return readAll(dataFile("route/" + name)); }

}  // namespace vb::test
