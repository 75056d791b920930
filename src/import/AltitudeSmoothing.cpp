#include "import/AltitudeSmoothing.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "base/Text.h"

namespace vb {

void smoothAltitude(RideRecord& ride, double metres, int firstRow) {
    if (!(metres > 0) || !std::isfinite(metres)) return;
    double speedFactor = 0, altitudeFactor = 0;
    if (ride.header.Type() == kTypeMetric) speedFactor = altitudeFactor = 1.0;
    else if (ride.header.Type() == kTypeImperial) speedFactor = 1.609, altitudeFactor = 0.3048;
    else return;
    const double interval = leadingNumber(ride.header.Interval());

    SampleTable& table = ride.samples;
    std::vector<int> rows;
    std::vector<double> way, height, sum{0.0};
    for (int row = 1; row < table.rowCount(); ++row) {
        if (table.text(row, 1).empty() || table.text(row, 2).empty()) continue;
        const double step = leadingNumber(table.text(row, 1)) * speedFactor * interval / 36.0;
        way.push_back((way.empty() ? 0.0 : way.back()) + (std::isfinite(step) ? step : 0.0));
        height.push_back(leadingNumber(table.text(row, 2)) * altitudeFactor);
        sum.push_back(sum.back() + height.back());
        rows.push_back(row);
    }
    // The window of each sample by two pointers over the distances, which never decrease.
    const double half = metres / 2;
    std::size_t low = 0, high = 0;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        while (way[k] - way[low] > half) ++low;
        high = std::max(high, k);
        while (high + 1 < rows.size() && way[high + 1] - way[k] <= half) ++high;
        const double mean = (sum[high + 1] - sum[low]) / double(high + 1 - low) / altitudeFactor;
        if (rows[k] >= firstRow && std::isfinite(mean) && std::abs(mean) < 1e15)
            table.setText(rows[k], 2, std::to_string(static_cast<long long>(roundHalfEven(mean))));
    }
}

}  // namespace vb
