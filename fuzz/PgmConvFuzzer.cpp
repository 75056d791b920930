// Reads any bytes as the converter does. A V1.0 program that reads and can be
// converted is written as V2.0 bytes, which must read back with the program
// reader as the same name, type, mode and sections.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>

#include "catalyst/PgmConverter.h"
#include "route/ProgramReader.h"

namespace {

bool same(float a, double b) { return a == static_cast<float>(b) || (std::isnan(a) && std::isnan(b)); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    if (vb::hasConvV2Header(bytes)) return 0;  // described as V2.0, never converted
    auto program = vb::readPgmProgram(bytes);
    if (!program) {
        if (program.error().message.empty()) __builtin_trap();
        return 0;
    }
    if (program->SectionCount < 0 || program->SectionCount > vb::kMaxConvSections ||
        program->Sections.size() != static_cast<std::size_t>(program->SectionCount))
        __builtin_trap();
    vb::ConverterLabels labels;
    vb::fillConverterLabels(labels, *program);
    if (labels.route != std::to_string(program->SectionCount)) __builtin_trap();

    auto converted = vb::convertedPgmfBytes(*program);
    if (!converted) {
        if (converted.error().message.empty()) __builtin_trap();
        return 0;
    }
    if (!vb::hasConvV2Header(*converted)) __builtin_trap();
    auto back = vb::readPgmf(*converted);
    if (!back || back->name != program->Name || back->type != program->ProgramType ||
        back->mode != program->ProgramMode || back->sections.size() != program->Sections.size())
        __builtin_trap();
    const bool byTime = program->ProgramMode == 0;
    for (std::size_t i = 0; i < back->sections.size(); ++i) {
        const auto& in = program->Sections[i];
        const auto& out = back->sections[i];
        if (!same(static_cast<float>(out.distance), byTime ? in.duration : in.distance * 1000)) __builtin_trap();
        if (!same(static_cast<float>(out.value), in.value) || out.third != 0.0) __builtin_trap();
    }
    return 0;
}
