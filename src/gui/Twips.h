#pragma once
// Twips and pixels. The window model places every control in twips; the
// window shows them at 96 dots per inch, where 15 twips make one pixel.

#include <QPoint>
#include <QRect>
#include <cmath>

#include "form/Control.h"

namespace vb::gui {

inline constexpr double kTwipsPerPixel = 15.0;

/// A twip coordinate in whole pixels, rounded to the nearest.
inline int px(int twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }

/// A twip rectangle in pixels. Both edges are rounded, so controls that touch
/// in twips touch on screen too.
inline QRect pxRect(const Rect& r) {
    const int left = px(r.left);
    const int top = px(r.top);
    return QRect(left, top, px(r.left + r.width) - left, px(r.top + r.height) - top);
}

}  // namespace vb::gui
