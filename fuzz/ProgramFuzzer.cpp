// Reads any bytes as a .pgm and as a .pgmf program. What reads is written again
// as a route (lengths and slopes) with its name and read back, which must give
// the same sections and the name as the code page keeps it.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>

#include "FuzzCheck.h"

#include "app/Settings.h"
#include "base/Text.h"
#include "route/ProgramReader.h"
#include "route/ProgramWriter.h"

using vb::fuzz::check;

namespace {

bool same(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

void roundTrip(const vb::ProgramFile& program) {
    const bool pgmf = program.format == vb::ProgramFormat::pgmf;
    if (program.sections.size() > static_cast<std::size_t>(vb::kMaxRouteSections)) return;
    if (vb::utf8Length(program.name) > vb::kProgramNameMax) return;

    vb::RouteSections route;
    route.target = pgmf ? vb::Target::fortius : vb::Target::catalyst;
    for (const auto& section : program.sections)
        route.sections.push_back({pgmf ? section.distance / 1000 : section.distance, section.value});
    const std::string tag = std::string("VLB") + '\xFE';
    auto written = pgmf ? vb::Create_Fortius(route, program.name, false, tag, vb::ProgramVersion)
                        : vb::Create_Catalyst(route, program.name, false, tag, vb::ProgramVersion);
    check(written.ok());
    // A .pgm has no magic: 1000 sections whose first length starts 64 00 look like a .pgmf.
    check(!(pgmf && !vb::looksLikePgmf(*written)));
    auto back = pgmf ? vb::readPgmf(*written) : vb::readPgm(*written);
    check(!(!back || back->sections.size() != program.sections.size()));
    check(back->name == vb::cp1252ToUtf8(vb::utf8ToCp1252(program.name)));
    check(!(back->type != 1 || back->mode != 1 || back->tag != tag));
    for (std::size_t i = 0; i < program.sections.size(); ++i) {
        check(same(back->sections[i].distance, program.sections[i].distance));
        check(same(back->sections[i].value, program.sections[i].value));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    for (auto read : {vb::readPgm, vb::readPgmf}) {
        auto program = read(bytes);
        if (!program) {
            check(!program.error().message.empty());
            continue;
        }
        // A .pgmf reads only with its file identifier 1000 (versions are not checked).
        check(!(program->format == vb::ProgramFormat::pgmf && (size < 2 || data[0] != 0xE8 || data[1] != 0x03)));
        roundTrip(*program);
    }
    return 0;
}
