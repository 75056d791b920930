// Loads the input as a ride (HRM or HAC4 by its first bytes, else as HRM),
// refreshes the route view, moves both sliders to places taken from the
// input's last bytes and draws the profile. Checks what the window relies on:
// one distance per row, never decreasing and finite; sliders in order inside
// 0..lastRow; every drawn coordinate finite and x on the axis.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>

#include "FuzzCheck.h"
#include "import/RideImport.h"
#include "route/Canvas.h"
#include "route/RouteView.h"

using vb::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    vb::RideRecord ride;
    if (vb::recogniseRideFile(bytes) == vb::RideFileType::hac4) {
        (void)vb::loadHac4File(ride, bytes);
    } else if (auto parsed = vb::readPolarFile("fuzz.hrm", bytes)) {
        (void)vb::loadPolarFile(ride, *parsed, false);
    }

    vb::RouteView view;
    vb::refreshRouteView(view, ride);
    check(view.slidersEnabled);
    check(view.lastRow >= 0 && view.lastRow < ride.samples.rowCount() + 1);
    check(view.DistanceProfile.size() == static_cast<std::size_t>(view.lastRow) + 1);
    check(view.DistanceProfile[0] == 0);
    for (std::size_t row = 1; row < view.DistanceProfile.size(); ++row) {
        check(std::isfinite(view.DistanceProfile[row]));
        check(view.DistanceProfile[row] >= view.DistanceProfile[row - 1]);
    }
    check(view.startPos == 0 && view.endPos == view.lastRow);

    const int a = size > 0 ? data[size - 1] * 131 : 0;
    const int b = size > 1 ? data[size - 2] * 257 - 1000 : 0;
    vb::moveSlider(view, vb::SliderIndex::end, b);
    vb::moveSlider(view, vb::SliderIndex::start, a);
    vb::Show_RouteDetail(view, ride);
    check(view.startPos >= 0 && view.endPos <= view.lastRow);
    if (view.lastRow > 0) check(view.startPos < view.endPos);
    check(!view.startLabel.empty() && !view.routeLabel.empty());

    vb::RecordingCanvas canvas;
    vb::Paint_Route(view, ride, canvas);
    check(!canvas.ops.empty() && canvas.ops.front().kind == vb::CanvasOp::Kind::clearRect);
    const double slack = 1e-6 * vb::kAxisWidth;
    for (const vb::CanvasOp& op : canvas.ops) {
        if (op.kind != vb::CanvasOp::Kind::point && op.kind != vb::CanvasOp::Kind::line) continue;
        check(std::isfinite(op.x1) && std::isfinite(op.y1) && std::isfinite(op.x2) && std::isfinite(op.y2));
        check(op.x1 >= vb::kAxisLeft - slack && op.x1 <= vb::kAxisLeft + vb::kAxisWidth + slack);
        if (op.kind == vb::CanvasOp::Kind::line)
            check(op.x2 >= vb::kAxisLeft - slack && op.x2 <= vb::kAxisLeft + vb::kAxisWidth + slack);
    }
    return 0;
}
