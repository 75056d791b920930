// Reads any bytes as a settings file, writes the settings and reads them back:
// the second read must give the same settings and the same bytes, unless a
// text holds a double quote (the file form does not escape it).
#include <cstddef>
#include <cstdint>
#include <span>

#include "app/SettingsFile.h"

namespace {

bool holdsQuote(const vb::Settings& s) {
    for (const auto* text : {&s.my_path, &s.hrm_path, &s.pgm_path, &s.ca_path, &s.pgmf_path, &s.caf_path,
                             &s.cat_max_climb, &s.cat_max_down, &s.cat_dist_step, &s.fort_max_climb,
                             &s.fort_max_down, &s.fort_dist_step, &s.base_setting, &s.smooth_altitude})
        if (text->find('"') != std::string::npos) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    vb::RecordingPrompter prompter;
    const vb::Settings first = vb::readSettings(bytes, prompter);
    if (prompter.messages.size() > 1) __builtin_trap();
    if (first.unit_meter && first.unit_feet) __builtin_trap();
    const vb::Bytes written = vb::writeSettings(first);
    vb::RecordingPrompter again;
    const vb::Settings second = vb::readSettings(written, again);
    if (!again.messages.empty()) __builtin_trap();
    if (holdsQuote(first)) return 0;
    if (!(second == first)) __builtin_trap();
    if (vb::writeSettings(second) != written) __builtin_trap();
    return 0;
}
