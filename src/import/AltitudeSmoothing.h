#pragma once
// Altitude smoothing, applied to a ride as it is imported: GPS and phone
// altitudes jump by metres from point to point, and a program section of
// 100 m takes its slope from two of them. Each sample's altitude becomes the
// mean altitude of the samples within a window of the given width by
// distance, half before and half after it, shortened at the ride's ends.

#include "import/RideRecord.h"

namespace vb {

/// Smooths the altitude cells of `ride` over a window `metres` wide (metres
/// on a miles/feet ride too), by the distance its speed cells give. Rows
/// without a speed or an altitude are left alone; 0 (or a value that is not
/// a positive number) changes nothing, and so does a ride whose units text is
/// neither "meter/meter" nor "miles/feet". Rows before `firstRow` (a ride
/// that an import added to) are part of the window but keep their altitudes,
/// which were smoothed when they were imported.
void smoothAltitude(RideRecord& ride, double metres, int firstRow = 1);

}  // namespace vb
