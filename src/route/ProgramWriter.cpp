#include "route/ProgramWriter.h"

#include "base/BlockFile.h"
#include "base/Files.h"
#include "base/Text.h"
#include "route/ProgramReader.h"

namespace vb {

namespace {

constexpr std::int32_t kSlopeProgram = 1;
constexpr std::int32_t kDistanceMode = 1;
constexpr std::size_t kNameUnits = 17;
constexpr std::size_t kGeneralRest = 24;
constexpr double kWarmupKilometres = 2.0;
constexpr float kThirdValue = 4.0f;

// The parts both layouts share: the name in 8-bit text and the checked tag.
struct Common {
    std::string name;  // Windows-1252
    int records = 0;
};

Result<Common> common(const RouteSections& route, std::string_view name, bool warmup, std::string_view identTag) {
    if (utf8Length(name) > kProgramNameMax)
        return makeError(ErrorCode::range, "program name of " + std::to_string(utf8Length(name)) +
                                               " characters; at most " + std::to_string(kProgramNameMax) + " fit");
    if (identTag.size() != 4)
        return makeError(ErrorCode::usage, "identification tag of " + std::to_string(identTag.size()) +
                                               " bytes; it must have 4");
    if (RouteSectionCount(route) > kMaxRouteSections)
        return makeError(ErrorCode::range, std::to_string(RouteSectionCount(route)) + " sections; at most " +
                                               std::to_string(kMaxRouteSections) + " fit");
    return Common{utf8ToCp1252(name), RouteSectionCount(route) + (warmup ? 1 : 0)};
}

void trailer(ByteWriter& out, std::string_view version) {
    out.text(kProgramTrailer);
    out.text(utf8ToCp1252(version));
}

}  // namespace

Result<Bytes> Create_Catalyst(const RouteSections& route, std::string_view name, bool warmup,
                              std::string_view identTag, std::string_view version) {
    auto parts = common(route, name, warmup, identTag);
    if (!parts) return parts.error();
    ByteWriter out;
    out.i16(static_cast<std::int16_t>(parts->records));
    if (warmup) {
        out.f64(kWarmupKilometres);
        out.f64(0.0);
        out.i32(0);
    }
    for (const RouteSection& section : route.sections) {
        out.f64(section.length);
        out.f64(section.slope);
        out.i32(0);
    }
    out.u8(static_cast<std::uint8_t>(parts->name.size()));
    out.text(parts->name);
    out.i32(kSlopeProgram);
    out.i32(kDistanceMode);
    out.text(identTag);
    trailer(out, version);
    return std::move(out).take();
}

Result<Bytes> Create_Fortius(const RouteSections& route, std::string_view name, bool warmup,
                             std::string_view identTag, std::string_view version) {
    auto parts = common(route, name, warmup, identTag);
    if (!parts) return parts.error();
    ByteWriter out;
    writeFileHeader(out, kPgmfFileId, 2);
    writeBlockHeader(out, kPgmfGeneralId, 1, kPgmfGeneralSize);
    out.text(identTag);
    for (char c : parts->name) {
        out.u8(static_cast<std::uint8_t>(c));
        out.u8(0);
    }
    out.zeros(2 * (kNameUnits - parts->name.size()));
    out.i32(kSlopeProgram);
    out.i32(kDistanceMode);
    out.zeros(kGeneralRest);
    writeBlockHeader(out, kPgmfProgramId, parts->records, kPgmfProgramSize);
    if (warmup) {
        out.f32(static_cast<float>(kWarmupKilometres * 1000));
        out.f32(0.0f);
        out.f32(kThirdValue);
    }
    for (const RouteSection& section : route.sections) {
        out.f32(static_cast<float>(section.length * 1000));
        out.f32(static_cast<float>(section.slope));
        out.f32(kThirdValue);
    }
    trailer(out, version);
    return std::move(out).take();
}

Result<void> checkProgramName(std::string_view name) {
    // The first line is the window's message; the second says which rule the name broke.
    std::string problem = plainFileNameProblem(name);
    if (problem.empty() && utf8Length(name) > kProgramNameMax)
        problem = "the name is longer than " + std::to_string(kProgramNameMax) + " characters";
    if (!problem.empty()) return makeError(ErrorCode::invalid, std::string(kIncorrectFilename) + "\n" + problem);
    return {};
}

ProgramRequest programRequest(const Settings& settings, Target target, std::int16_t route_von,
                              std::int16_t route_bis, std::string_view name) {
    ProgramRequest request;
    request.route = {target, route_von, route_bis, routeLimits(settings, target), settings.join_slopes};
    request.name = std::string(name);
    request.add_warmup = settings.add_warmup;
    return request;
}

Result<BuiltProgram> buildProgram(const RideRecord& ride, const ProgramRequest& request) {
    if (auto named = checkProgramName(request.name); !named) return named.error();
    auto route = buildRoute(ride, request.route);
    if (!route) return route.error();
    if (RouteSectionCount(*route) == 0) return makeError(ErrorCode::invalid, std::string(kNoDistance));
    const bool warmup = request.add_warmup == 1;
    auto bytes = request.route.target == Target::catalyst
                     ? Create_Catalyst(*route, request.name, warmup, ride.IdentTag, ProgramVersion)
                     : Create_Fortius(*route, request.name, warmup, ride.IdentTag, ProgramVersion);
    if (!bytes) return bytes.error();
    const int records = RouteSectionCount(*route) + (warmup ? 1 : 0);
    return BuiltProgram{std::move(bytes).value(), records, std::move(route).value()};
}

std::filesystem::path programPath(const Settings& settings, Target target, std::string_view name) {
    const bool catalyst = target == Target::catalyst;
    const std::string file = std::string(name) + (catalyst ? ".pgm" : ".pgmf");
    const std::string text = joinPath(workingFolder(settings, catalyst ? "PGM" : "PGMF"), file);
    return pathFromUtf8(text);
}

Result<void> saveProgram(const std::filesystem::path& path, const Bytes& bytes) {
    return saveFile(path, bytes);
}

Result<WrittenProgram> writeProgram(const RideRecord& ride, const ProgramRequest& request,
                                    const Settings& settings) {
    auto built = buildProgram(ride, request);
    if (!built) return built.error();
    const auto path = programPath(settings, request.route.target, request.name);
    if (auto saved = saveProgram(path, built->bytes); !saved) return saved.error();
    return WrittenProgram{path, built->records};
}

}  // namespace vb
