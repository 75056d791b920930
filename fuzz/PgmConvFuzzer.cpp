// Reads any bytes as the converter does. A V1.0 program that reads and can be
// converted is written as V2.0 bytes, which must read back with the program
// reader as the same name, type, mode and sections.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>

#include "FuzzCheck.h"

#include "catalyst/PgmConverter.h"
#include "route/ProgramReader.h"

using vb::fuzz::check;

namespace {

bool same(float a, double b) { return a == static_cast<float>(b) || (std::isnan(a) && std::isnan(b)); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    if (vb::hasConvV2Header(bytes)) return 0;  // described as V2.0, never converted
    auto program = vb::readPgmProgram(bytes);
    if (!program) {
        check(!program.error().message.empty());
        return 0;
    }
    check(!(program->SectionCount < 0 || program->SectionCount > vb::kMaxConvSections ||
        program->Sections.size() != static_cast<std::size_t>(program->SectionCount)));
    vb::ConverterLabels labels;
    vb::fillConverterLabels(labels, *program);
    check(labels.route == std::to_string(program->SectionCount));

    auto converted = vb::convertedPgmfBytes(*program);
    if (!converted) {
        check(!converted.error().message.empty());
        return 0;
    }
    check(vb::hasConvV2Header(*converted));
    auto back = vb::readPgmf(*converted);
    check(!(!back || back->name != program->Name || back->type != program->ProgramType ||
        back->mode != program->ProgramMode || back->sections.size() != program->Sections.size()));
    const bool byTime = program->ProgramMode == 0;
    for (std::size_t i = 0; i < back->sections.size(); ++i) {
        const auto& in = program->Sections[i];
        const auto& out = back->sections[i];
        check(same(static_cast<float>(out.distance), byTime ? in.duration : in.distance * 1000));
        check(!(!same(static_cast<float>(out.value), in.value) || out.third != 0.0));
    }
    return 0;
}
