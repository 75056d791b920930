#pragma once
// The main window's layout: every control with its place in twips, caption,
// initial text, range and initial state, as the window stands before start-up
// reads the settings.
//
// Places are relative to the parent's client area. A tab page covers the tab
// strip below its captions (the strip's top 360 twips), so a frame that
// stands 360 below the top of the strip has the top 0 on its page. A number
// box's width includes its up-down arrows, which stand directly at the right
// of the text (a 495-wide text and 255 of arrows make 750).

#include <string_view>
#include <vector>

#include "form/Control.h"

namespace vb {

/// The height of a tab strip's captions, in twips.
inline constexpr int kTabCaptionHeight = 360;
/// The width of a number box's up-down arrows, in twips.
inline constexpr int kSpinnerWidth = 255;
/// The label of the altitude smoothing box: a change applies from the next import.
inline constexpr std::string_view kSmoothAltitudeCaption = "Altitude smoothing (m, from next import)";

/// Captions of the main tabs, left to right.
inline constexpr std::string_view kTabControlCenter = "Control Center";
inline constexpr std::string_view kTabPreferences = "Preferences";
inline constexpr std::string_view kTabPgmConverter = "PGM Converter";
inline constexpr std::string_view kTabHrmConverter = "HRM Converter";

/// The text of the about box beside the route frames, lines ended by CR LF.
std::string_view aboutText();

/// Every control of the main window, parents before their children.
std::vector<Control> mainWindowControls();

}  // namespace vb
