#pragma once
// The RLV script (*.vlb): a small text file that ties the frames of a video to
// the speed at which it was filmed. Header items "vers=", "type=", "fps#=",
// "name=", "fra#=" and one "fram=FRAME;SPEED" item per video section. Reading
// a script fills the script state, the lines of the RLV list, and enables
// "Create RLV File" when the script passes its checks; each speed becomes a
// factor: the filmed speed divided by the "Speed Referenz" (per 10, in km/h).

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/Bytes.h"
#include "base/Prompter.h"

namespace vb {

/// Frame lines a script may hold (table entries 1 to 4096).
inline constexpr std::int32_t kMaxFrameLines = 4096;
/// The "Speed Referenz" box's text at start.
inline constexpr std::string_view kDefaultSpeedReferenz = "1000";

/// Messages of the script checks, in the order they are made.
inline constexpr std::string_view kMsgWrongVersion = "Wrong version_ID";
inline constexpr std::string_view kMsgWrongType = "Wrong type_ID (must be km/h or mp/h)";
inline constexpr std::string_view kMsgNoSpeed = "No Video Speed Found";
inline constexpr std::string_view kMsgWrongFps = "FPS Information is wrong. (25 or 30 fps)";
inline constexpr std::string_view kMsgTooManyFrames = "Too many Video Speed lines (at most 4096)";
inline constexpr std::string_view kMsgWrongName =
    "Wrong video name (must be a file name without \\ / : * ? \" < > |)";
/// Shown before reading when the "Speed Referenz" is not a number above 0.
inline constexpr std::string_view kMsgWrongSpeedReferenz = "Speed Referenz must be a number greater than 0";

/// The script state, replaced by each read. Texts are UTF-8.
struct RlvScript {
    float rlv_fps = 0.0f;
    std::string rlv_type;
    std::string rlv_name;  // at most 16 characters
    std::string rlv_version;
    std::int32_t rlv_count = 0;  // frame lines read
    /// Entry n (1..rlv_count) is the first frame of section n; entry 0 the
    /// script's total frame count.
    std::vector<std::int32_t> rlv_frame = std::vector<std::int32_t>(kMaxFrameLines + 1, 0);
    /// Entry n is the speed factor of section n.
    std::vector<float> rlv_factor = std::vector<float>(kMaxFrameLines + 1, 0.0f);
    /// The lines of the RLV list, as the window shows them.
    std::vector<std::string> lines;
    /// "Create RLV File" enabled: the script passed every check.
    bool createEnabled = false;
};

/// The speed reference of a "Speed Referenz" text (its leading number), or 0
/// when the text is refused: no leading number, or not a number above 0.
float speedReferenceOf(std::string_view speedReferenz);

/// Reads and checks a script from its bytes with the "Speed Referenz" text.
/// Shows at most one message (title "Velobridge", critical icon) through
/// `prompter`: a refused "Speed Referenz" before anything is read, otherwise
/// the first check that fails. Wrong frame lines only add list lines.
RlvScript Load_RLV_Script(std::span<const std::byte> script, std::string_view speedReferenz, Prompter& prompter);

/// Stores frame line `n` (1..4096) of `value` ("FRAME;SPEED") with the speed
/// reference `reference` (> 0) and adds its list line; a wrong line leaves
/// entry n at frame 0, factor 0 and adds "FSCA(n) Error in Script".
void Store_Frame_Line(RlvScript& script, std::int32_t n, std::string_view value, float reference);

}  // namespace vb
