#include "catalyst/RunFileReader.h"

#include <cmath>
#include <optional>
#include <utility>
#include <variant>

#include "base/BlockFile.h"
#include "base/Bytes.h"
#include "base/Files.h"
#include "base/Text.h"

namespace vb {

namespace {

constexpr std::string_view kRule = "####################";

constexpr std::size_t kV1NameSize = 32;
constexpr std::size_t kV1SkippedWords = 524;
constexpr int kV1StepsPerKm = 200;  // 5-metre steps

constexpr std::size_t kV2NameOffset = 24;
constexpr std::size_t kV2TypeOffset = 58;
constexpr std::uint16_t kV2ProgramBlock = 1020;
constexpr std::uint16_t kV2DataBlock = 3020;
constexpr std::int32_t kV2RouteSize = 12;
constexpr int kV2StepsPerHm = 20;

constexpr std::size_t kDataRecordSize = 10;

enum class ProgramKind { power, slope, heartRate };

/// Why a read stopped: a layout we do not know (ErrorCode::unidentified), or
/// a file that is cut short, beyond the tables or broken in a way we can name.
using Failure = Error;

Failure unidentified(std::string reason) { return makeError(ErrorCode::unidentified, "not identifiable: " + std::move(reason)); }
Failure refused(std::string reason) { return makeError(ErrorCode::invalid, std::move(reason)); }


/// The part of a path after its last separator (either kind), extension kept.
std::string fileNameOf(const std::filesystem::path& path) {
    const std::string text = displayPath(path);
    const auto cut = text.find_last_of("\\/");
    return cut == std::string::npos ? text : text.substr(cut + 1);
}

/// x rounded to `decimals` places, ties to even, stored as float32.
float roundTo(float x, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return static_cast<float>(roundHalfEven(static_cast<double>(x) * scale) / scale);
}

/// Fills the slope profile section by section from one running step index.
class ProfileFiller {
public:
    explicit ProfileFiller(std::vector<float>& profile) : m_profile(profile) {}

    /// Writes `value` into the next ⌊length × stepsPerUnit⌋ entries.
    std::optional<Failure> expand(double value, double length, int stepsPerUnit, std::int64_t section) {
        const double steps = length * stepsPerUnit;
        if (!(steps >= 1.0)) return std::nullopt;
        const std::size_t room = kSlopeProfileEntries - m_step;
        if (steps >= static_cast<double>(room) + 1.0)
            return refused("section " + str(section) + " needs more than the " + str(kSlopeProfileEntries) +
                           " profile steps of 5 m (" + str(static_cast<std::int64_t>(m_step)) + " used)");
        const auto count = static_cast<std::size_t>(steps);
        m_profile.insert(m_profile.end(), count, static_cast<float>(value));
        m_step += count;
        return std::nullopt;
    }

    std::size_t filled() const { return m_step; }

private:
    std::vector<float>& m_profile;
    std::size_t m_step = 0;
};

Failure truncated(const ByteReader& in, std::string_view where) {
    return refused("file ends inside " + std::string(where) + ": " + in.error().message);
}

/// The number of whole data records from `offset` to the end, refused beyond the sample table.
std::optional<Failure> countRecords(std::size_t available, std::size_t& records) {
    records = available / kDataRecordSize;
    if (records > kRunSampleEntries)
        return refused(str(static_cast<std::int64_t>(records)) + " data records; the run record holds at most " +
                       str(kRunSampleEntries));
    return std::nullopt;
}

RunSample readSample(ByteReader& in) {
    RunSample s;
    s.distance = in.f32("distance");
    s.heartRate = in.u8("heart rate");
    s.cadence = in.u8("cadence");
    s.power = in.i16("power");
    s.speed = in.i16("speed");
    return s;
}

std::optional<Failure> readV1(CatalystRun& run, std::span<const std::byte> data, std::vector<std::string>& lines) {
    ByteReader in(data);
    run.DistanceOffset = 0;
    std::string name;
    for (std::byte b : in.bytes(kV1NameSize, "stored name"))
        if (b != std::byte{0}) name += static_cast<char>(b);
    in.i32("header word at 32");
    in.skip(4, "header bytes 36 to 39");
    const std::uint8_t type = in.u8("program type");
    in.skip(3, "header bytes 41 to 43");
    in.i32("header word at 44");
    const std::int32_t count = in.i32("section count");
    if (!in.ok()) return truncated(in, "the header");
    run.StoredName = cp1252ToUtf8(name);
    lines.emplace_back(kRule);
    lines.push_back("Filename: " + run.StoredName);

    // V1.0 numbers its types power, slope, heart rate.
    switch (type) {
        case 0: lines.emplace_back("Type: Watt"); break;
        case 1: lines.emplace_back("Type: Slope"); break;
        case 2: lines.emplace_back("Type: Heartfrequence"); break;
        default: return unidentified("program type byte " + str(type) + " is not 0, 1 or 2");
    }
    if (count < 0) return refused("section count " + str(count) + " is negative");
    if (count > kMaxRunSections)
        return refused("section count " + str(count) + " exceeds the " + str(kMaxRunSections) + " sections of the run record");
    run.SectionCount = count;
    run.Sections.assign(static_cast<std::size_t>(count) + 1, RunSection{});
    lines.push_back("Sections: " + str(count));

    ProfileFiller profile(run.SlopeProfile);
    for (std::int32_t i = 1; i <= count; ++i) {
        in.i32("section word");
        RunSection& section = run.Sections[static_cast<std::size_t>(i)];
        section.value = in.f64("section value");
        section.length = in.f64("section length");
        if (!in.ok()) return truncated(in, "section " + str(i) + " of " + str(count));
        if (type != 1) section.length = 0;
        if (auto failure = profile.expand(section.value, section.length, kV1StepsPerKm, i)) return failure;
    }

    in.skip(kV1SkippedWords, "the words after the sections");
    for (auto& field : run.StartDateTime) field = in.i16("start date and time");
    if (!in.ok()) return truncated(in, "the start date and time");
    const auto& t = run.StartDateTime;
    lines.push_back("Date: " + str(t[kYear]) + "-" + str(t[kMonth]) + "-" + str(t[kDay]));
    lines.push_back("Time: " + str(t[kHour]) + ":" + str(t[kMinute]));

    // The data starts behind the first run of four 0xFF bytes.
    std::size_t pos = in.offset();
    int run0xFF = 0;
    while (run0xFF < 4 && pos < data.size()) run0xFF = data[pos++] == std::byte{0xFF} ? run0xFF + 1 : 0;
    if (run0xFF < 4) return unidentified("no run of four 0xFF bytes before the data records");
    pos += kDataRecordSize;  // the first record is not used

    std::size_t records = 0;
    if (pos < data.size())
        if (auto failure = countRecords(data.size() - pos, records)) return failure;
    ByteReader rest(pos < data.size() ? data.subspan(pos) : std::span<const std::byte>{}, pos);
    run.Samples.resize(records);
    for (RunSample& sample : run.Samples) sample = readSample(rest);
    run.LastSample = static_cast<std::int16_t>(static_cast<std::int64_t>(records) - 1);
    lines.push_back("Data: " + str(run.LastSample));
    lines.emplace_back(kRule);
    return std::nullopt;
}

/// The program and data blocks of a V2.0 file, found by walking the block
/// headers from the end of the file header. The data block's records run to
/// the end of the file; every block before it must fit the file.
struct V2Blocks {
    std::optional<BlockHeader> program;
    ByteReader routes{{}};  // the program block's records
    std::optional<BlockHeader> data;
    ByteReader samples{{}};  // from the data block's first record to the end
};

std::variant<V2Blocks, Failure> findBlocks(std::span<const std::byte> data) {
    V2Blocks found;
    ByteReader in(data);
    in.skip(kFileHeaderSize, "file header");
    BlockWalker walker(in);
    while (in.ok() && !in.atEnd()) {
        const std::size_t pos = in.offset();
        const BlockHeader block = walker.next();
        if (!walker.ok()) return refused("file ends inside the block header at offset " + str(static_cast<std::int64_t>(pos)));
        const std::string what = "block " + str(block.id) + " at offset " + str(static_cast<std::int64_t>(pos));
        if (block.count < 0 || block.size < 0)
            return unidentified(what + " has record count " + str(block.count) + " and size " + str(block.size));
        const bool current = block.version == kBlockVersion;
        if (current && block.id == kV2DataBlock) {
            found.data = block;
            found.samples = walker.rest();
            return found;
        }
        if (!walker.fits(block))
            return unidentified(what + " holds " + str(block.count) + " records of " + str(block.size) +
                                " bytes, past the end of the file");
        ByteReader records = walker.records(block);
        if (current && block.id == kV2ProgramBlock && !found.program) {
            found.program = block;
            found.routes = records;
        }
    }
    return found;
}

/// The stored name (two-byte units from offset 24 up to a unit whose low byte
/// is 0) and the program type byte at offset 58.
std::variant<ProgramKind, Failure> readV2Header(CatalystRun& run, std::span<const std::byte> data,
                                                std::vector<std::string>& lines) {
    ByteReader in(data);
    in.skip(kV2NameOffset, "the header");
    std::string name;
    for (;;) {
        const std::uint16_t unit = in.u16("stored name");
        if (!in.ok()) return truncated(in, "the stored name");
        if ((unit & 0xFF) == 0) break;
        name += static_cast<char>(unit & 0xFF);
    }
    run.StoredName = cp1252ToUtf8(name);
    lines.emplace_back(kRule);
    lines.push_back("Filename: " + run.StoredName);

    if (in.offset() < kV2TypeOffset) in.skip(kV2TypeOffset - in.offset(), "the general record");
    const std::uint8_t type = in.u8("program type");
    if (!in.ok()) return truncated(in, "the general record");
    // V2.0 numbers its types heart rate, slope, power.
    switch (type) {
        case 0: lines.emplace_back("Type: Heartfrequence"); return ProgramKind::heartRate;
        case 1: lines.emplace_back("Type: Slope"); return ProgramKind::slope;
        case 2: lines.emplace_back("Type: Watt"); return ProgramKind::power;
        default: return unidentified("program type byte " + str(type) + " is not 0, 1 or 2");
    }
}

/// The program block's route sections into the sections and the slope profile.
std::optional<Failure> readV2Routes(CatalystRun& run, ProgramKind kind, const BlockHeader& program,
                                    ByteReader routes, std::vector<std::string>& lines) {
    if (program.count > kMaxRunSections)
        return refused("program block holds " + str(program.count) + " route sections; the run record holds at most " +
                       str(kMaxRunSections));
    if (program.count > 0 && program.size != kV2RouteSize)
        return unidentified("program block record size " + str(program.size) + "; route sections are 12 bytes");
    run.SectionCount = program.count;
    run.Sections.assign(static_cast<std::size_t>(program.count) + 1, RunSection{});
    lines.push_back("Routes: " + str(program.count));

    ProfileFiller profile(run.SlopeProfile);
    for (std::int32_t i = 1; i <= program.count; ++i) {
        const float length = routes.f32("route length");
        const float value = routes.f32("route value");
        routes.skip(4, "route word");
        RunSection& section = run.Sections[static_cast<std::size_t>(i)];
        section.length = roundHalfEven(static_cast<double>(length) / 100 * 10) / 10;
        section.value = roundHalfEven(static_cast<double>(value) * 10) / 10;
        if (kind == ProgramKind::power) section.value = 0;
        if (kind == ProgramKind::heartRate) return unidentified("heart-rate program with route sections");
        if (auto failure = profile.expand(section.value, section.length, kV2StepsPerHm, i)) return failure;
    }
    lines.push_back("Data_1: " + str(program.count) + "(" + str(static_cast<std::int64_t>(profile.filled())) + ")");
    return std::nullopt;
}

/// The data block's records, to the end of the file, with their distances
/// made relative to the first one.
std::optional<Failure> readV2Samples(CatalystRun& run, const BlockHeader& block, ByteReader rest,
                                     std::vector<std::string>& lines) {
    run.SectionCount = block.count;
    lines.push_back("Sections: " + str(block.count));

    std::size_t records = 0;
    if (auto failure = countRecords(rest.remaining(), records)) return failure;
    run.Samples.resize(records);
    float previous = 0;
    for (std::size_t i = 0; i < records; ++i) {
        RunSample sample = readSample(rest);
        const float raw = sample.distance;
        float d = 0;
        if (i == 0) {
            run.DistanceOffset = raw;
            d = roundTo(raw / 1000.0f, 1);
            d = roundTo(d / 10.0f, 5);
        } else {
            d = roundTo((raw - previous) * 10.0f, 1) / 10.0f;
            d = roundTo(d + run.Samples[i - 1].distance, 5);
        }
        previous = raw;
        sample.distance = d;
        run.Samples[i] = sample;
    }
    run.LastSample = static_cast<std::int16_t>(records);
    lines.push_back("Data_2: " + str(run.LastSample));
    lines.emplace_back(kRule);
    return std::nullopt;
}

std::optional<Failure> readV2(CatalystRun& run, std::span<const std::byte> data, std::vector<std::string>& lines) {
    auto header = readV2Header(run, data, lines);
    if (auto* failure = std::get_if<Failure>(&header)) return std::move(*failure);
    auto walked = findBlocks(data);
    if (auto* failure = std::get_if<Failure>(&walked)) return std::move(*failure);
    const V2Blocks& blocks = std::get<V2Blocks>(walked);
    if (!blocks.program) return unidentified("no program block (1020) before the data block");
    if (auto failure = readV2Routes(run, std::get<ProgramKind>(header), *blocks.program, blocks.routes, lines))
        return failure;
    if (!blocks.data) return unidentified("no data block (3020)");
    return readV2Samples(run, *blocks.data, blocks.samples, lines);
}

}  // namespace

std::string runInfoCaption(RunKind kind) {
    switch (kind) {
        case RunKind::v1: return "Catalyst V1.0 Info (*.ca)";
        case RunKind::v2: return "Catalyst V2.0 Info (*.caf)";
    }
    return "";
}

std::optional<RunKind> runKindOf(const std::filesystem::path& path) {
    if (hasExtension(path, ".ca")) return RunKind::v1;
    if (hasExtension(path, ".caf")) return RunKind::v2;
    return std::nullopt;
}

Result<std::vector<std::string>> readRunFile(CatalystRun& run, std::span<const std::byte> data,
                                             const std::filesystem::path& path, RunKind kind) {
    // The file is read into a fresh record, which takes the place of the old
    // one only when the file was read or could not be identified.
    CatalystRun next;
    next.FileName = fileNameOf(path);
    std::vector<std::string> lines;
    std::optional<Failure> failure;
    if (kind == RunKind::v1) failure = readV1(next, data, lines);
    else if (kind == RunKind::v2) failure = readV2(next, data, lines);

    if (!failure) {
        run = std::move(next);
        return lines;
    }
    if (failure->code == ErrorCode::unidentified) {
        next.LastSample = 0;
        run = std::move(next);
    }
    return *failure;
}

Result<std::vector<std::string>> Check_Catalyst_File(CatalystRun& run, const std::filesystem::path& path,
                                                     RunKind kind) {
    auto data = readFile(path, kRunFileMax);
    if (!data) return data.error();
    return readRunFile(run, *data, path, kind);
}

std::string cantIdentify(const std::filesystem::path& path) {
    return std::string(kCantIdentify) + "\nFile: " + displayPath(path);
}

}  // namespace vb
