// Reads any bytes as an RLV file. What reads is written again from its frame
// table and frame rate and read back, which must give the same entries.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "FuzzCheck.h"

#include "app/RlvFile.h"

using vb::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    auto file = vb::readRlv(bytes);
    if (!file) {
        check(!file.error().message.empty());
        return 0;
    }
    check(!(file->version == 100 && !vb::looksLikeRlv(bytes)));
    if (file->frames.size() > static_cast<std::size_t>(vb::kMaxFrameLines)) return 0;

    vb::RlvScript script;
    script.rlv_fps = file->frameRate;
    script.rlv_name = "fuzz";
    script.rlv_count = static_cast<std::int32_t>(file->frames.size());
    for (std::size_t n = 1; n <= file->frames.size(); ++n) {
        script.rlv_frame[n] = file->frames[n - 1].frame;
        script.rlv_factor[n] = file->frames[n - 1].factor;
    }
    auto written = vb::Create_RLV(script);
    check(written.ok());
    auto back = vb::readRlv(*written);
    check(!(!back || back->frames.size() != file->frames.size()));
    check(std::memcmp(&back->frameRate, &file->frameRate, sizeof(float)) == 0);
    for (std::size_t i = 0; i < file->frames.size(); ++i) {
        check(back->frames[i].frame == file->frames[i].frame);
        check(std::memcmp(&back->frames[i].factor, &file->frames[i].factor, sizeof(float)) == 0);
    }
    return 0;
}
