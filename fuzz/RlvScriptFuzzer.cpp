// Reads any bytes as an RLV script; a script that passes its checks is written
// as an RLV file and read back, which must give the same table.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "FuzzCheck.h"

#include "app/RlvFile.h"
#include "app/RlvScript.h"

using vb::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    vb::RecordingPrompter prompter;
    const vb::RlvScript script = vb::Load_RLV_Script(bytes, vb::kDefaultSpeedReferenz, prompter);
    check(prompter.messages.size() <= 1);
    if (!script.createEnabled) return 0;
    check(prompter.messages.empty());

    auto written = vb::Create_RLV(script);
    check(written.ok());
    check(written->size() == 1186u + 8u * static_cast<std::size_t>(script.rlv_count));
    auto read = vb::readRlv(*written);
    check(read.ok());
    check(read->frames.size() == static_cast<std::size_t>(script.rlv_count));
    check(read->videoName == script.rlv_name + ".avi");
    check(read->frameRate == script.rlv_fps);
    for (std::size_t n = 1; n <= read->frames.size(); ++n) {
        const auto& entry = read->frames[n - 1];
        check(entry.frame == script.rlv_frame[n]);
        check(std::memcmp(&entry.factor, &script.rlv_factor[n], sizeof(float)) == 0);
    }
    return 0;
}
