// Reads any bytes as an RLV script; a script that passes its checks is written
// as an RLV file and read back, which must give the same table.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "app/RlvFile.h"
#include "app/RlvScript.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    vb::RecordingPrompter prompter;
    const vb::RlvScript script = vb::Load_RLV_Script(bytes, vb::kDefaultSpeedReferenz, prompter);
    if (prompter.messages.size() > 1) __builtin_trap();
    if (!script.createEnabled) return 0;
    if (!prompter.messages.empty()) __builtin_trap();

    auto written = vb::Create_RLV(script);
    if (!written) __builtin_trap();
    if (written->size() != 1186u + 8u * static_cast<std::size_t>(script.rlv_count)) __builtin_trap();
    auto read = vb::readRlv(*written);
    if (!read) __builtin_trap();
    if (read->frames.size() != static_cast<std::size_t>(script.rlv_count)) __builtin_trap();
    if (read->videoName != script.rlv_name + ".avi") __builtin_trap();
    if (read->frameRate != script.rlv_fps) __builtin_trap();
    for (std::size_t n = 1; n <= read->frames.size(); ++n) {
        const auto& entry = read->frames[n - 1];
        if (entry.frame != script.rlv_frame[n]) __builtin_trap();
        if (std::memcmp(&entry.factor, &script.rlv_factor[n], sizeof(float)) != 0) __builtin_trap();
    }
    return 0;
}
