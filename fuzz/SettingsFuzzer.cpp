// Reads any bytes as a settings file, writes the settings and reads them back:
// the second read must give the same settings and the same bytes, unless a
// text holds a double quote (the file form does not escape it).
#include <cstddef>
#include <cstdint>
#include <span>

#include "FuzzCheck.h"

#include "app/SettingsFile.h"

using vb::fuzz::check;

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
    check(prompter.messages.size() <= 1);
    check(!(first.unit_meter && first.unit_feet));
    const vb::Bytes written = vb::writeSettings(first);
    vb::RecordingPrompter again;
    const vb::Settings second = vb::readSettings(written, again);
    check(again.messages.empty());
    if (holdsQuote(first)) return 0;
    check(second == first);
    check(vb::writeSettings(second) == written);
    return 0;
}
