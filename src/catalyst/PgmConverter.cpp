#include "catalyst/PgmConverter.h"

#include <algorithm>
#include <array>
#include <system_error>

#include "base/BlockFile.h"
#include "base/Files.h"
#include "base/Text.h"
#include "route/ProgramReader.h"

namespace vb {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kV2HeaderSize = 16;
constexpr std::size_t kNameUnits = 17;
constexpr std::size_t kGeneralRest = 24;
constexpr std::int16_t kTextRecordType = 8;


}  // namespace

const char* programTypeText(std::int32_t type) {
    switch (type) {
        case 0: return "Power";
        case 1: return "Slope";
        case 2: return "Heart Rate";
        default: return "unknown";
    }
}

const char* programModeText(std::int32_t mode) {
    switch (mode) {
        case 0: return "Time";
        case 1: return "Distance";
        default: return "unknown";
    }
}

namespace {

/// Refuses a file beyond the converter's buffer.
Result<void> checkConvSize(std::uintmax_t size) {
    if (size > kConvBufferSize)
        return makeError(ErrorCode::range, "file of " + str(static_cast<std::int64_t>(size)) +
                                               " bytes exceeds the converter's " + str(kConvBufferSize));
    return {};
}

/// Reads the chosen file, refusing one beyond the converter's buffer before reading it whole.
Result<Bytes> readConvFile(const fs::path& path) {
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (!ec) {
        if (auto fits = checkConvSize(size); !fits) return fits.error();
    }
    return readFile(path, kPgmFileMax);
}

bool fileExists(const fs::path& path) {
    std::error_code ec;
    return fs::exists(path, ec) && !fs::is_directory(path, ec);
}

void clearLabels(ConverterLabels& labels) { labels.typ = labels.program = labels.route = "-"; }

/// The status of a file the converter refuses; the value labels go back to "-".
void refuseLabels(ConverterLabels& labels, std::string_view entry, const std::string& why) {
    labels.status = std::string(entry) + " (refused: " + why + ")";
    clearLabels(labels);
}

}  // namespace

bool hasConvV2Header(std::span<const std::byte> data) {
    std::array<std::byte, kV2HeaderSize> head{};  // missing bytes count as zero
    std::copy_n(data.begin(), std::min(data.size(), head.size()), head.begin());
    return hasPgmfHeader(head);
}

Result<PgmProgram> readPgmProgram(std::span<const std::byte> data) {
    if (data.size() > kConvBufferSize)
        return makeError(ErrorCode::range, "file of " + str(static_cast<std::int64_t>(data.size())) +
                                               " bytes exceeds the converter's " + str(kConvBufferSize));
    ByteReader in(data);
    PgmProgram program;
    const std::int16_t count = in.i16("section count");
    if (!in.ok()) return in.error();
    if (count < 0) return Error{ErrorCode::invalid, 0, "section count " + str(count) + " is negative"};
    if (count > kMaxConvSections)
        return Error{ErrorCode::range, 0, "section count " + str(count) + " exceeds " + str(kMaxConvSections)};
    program.SectionCount = count;
    program.Sections.resize(static_cast<std::size_t>(count));
    for (auto& section : program.Sections) {
        section.distance = in.f64("section length");
        section.value = in.f64("section value");
        section.duration = in.i32("section third value");
    }
    const std::uint8_t length = in.u8("name length");
    const std::string name = in.text(length, "program name");
    program.ProgramType = in.i32("program type");
    program.ProgramMode = in.i32("program mode");
    if (!in.ok()) return in.error();
    if (length > kMaxConvName)
        return Error{ErrorCode::range, -1, "program name of " + str(length) + " characters exceeds " + str(kMaxConvName)};
    program.Name = cp1252ToUtf8(name);
    return program;
}

Result<Bytes> convertedPgmfBytes(const PgmProgram& program) {
    if (program.ProgramMode != 0 && program.ProgramMode != 1)
        return makeError(ErrorCode::invalid, "program mode " + str(program.ProgramMode) +
                                                 " is neither time (0) nor distance (1)");
    if (!isPlainFileName(program.Name))
        return makeError(ErrorCode::invalid, "program name \"" + program.Name + "\" is not a plain file name");
    const std::string name = utf8ToCp1252(program.Name);
    if (name.size() > kMaxConvName)
        return makeError(ErrorCode::range, "program name of " + str(static_cast<std::int64_t>(name.size())) +
                                               " characters exceeds " + str(kMaxConvName));
    if (program.Sections.size() > static_cast<std::size_t>(kMaxConvSections))
        return makeError(ErrorCode::range, str(static_cast<std::int64_t>(program.Sections.size())) +
                                               " sections exceed " + str(kMaxConvSections));

    ByteWriter out;
    writeFileHeader(out, kPgmfFileId, 2);
    writeBlockHeader(out, kPgmfGeneralId, 1, kPgmfGeneralSize);
    out.zeros(4);  // where the identification tag stands in our own program files
    for (char c : name) {
        out.u8(static_cast<std::uint8_t>(c));
        out.u8(0);
    }
    out.zeros(2 * (kNameUnits - name.size()));
    out.i32(program.ProgramType);
    out.i32(program.ProgramMode);
    out.zeros(kGeneralRest);
    writeBlockHeader(out, kPgmfProgramId, static_cast<std::int32_t>(program.Sections.size()), kPgmfProgramSize);
    const bool byTime = program.ProgramMode == 0;
    for (const auto& section : program.Sections) {
        out.f32(static_cast<float>(byTime ? section.duration : section.distance * 1000));
        out.f32(static_cast<float>(section.value));
        out.i32(0);
    }
    out.i16(kTextRecordType);
    out.i16(static_cast<std::int16_t>(kConvTrailer.size()));
    out.text(kConvTrailer);
    return std::move(out).take();
}

void fillConverterLabels(ConverterLabels& labels, const PgmProgram& program) {
    labels.typ = programTypeText(program.ProgramType);
    labels.program = programModeText(program.ProgramMode);
    labels.route = str(program.SectionCount);
}

bool describePgm(PgmConverter& conv, ConverterLabels& labels, const fs::path& path, std::string_view entryName) {
    conv = PgmConverter{};
    if (!fileExists(path)) return false;
    auto data = readConvFile(path);
    if (!data) {
        refuseLabels(labels, entryName, data.error().message);
        return false;
    }
    return describePgmData(conv, labels, std::move(*data), entryName);
}

bool describePgmData(PgmConverter& conv, ConverterLabels& labels, Bytes data, std::string_view entryName) {
    conv = PgmConverter{};
    const std::string entry(entryName);
    if (auto fits = checkConvSize(data.size()); !fits) {
        refuseLabels(labels, entry, fits.error().message);
        return false;
    }
    conv.ConvBuffer = std::move(data);
    if (hasConvV2Header(conv.ConvBuffer)) {
        labels.status = entry + " (Catalyst 2.0)";
        return false;
    }
    auto program = readPgmProgram(conv.ConvBuffer);
    if (!program) {
        refuseLabels(labels, entry, program.error().message);
        return false;
    }
    conv.program = std::move(*program);
    fillConverterLabels(labels, conv.program);
    // A program that cannot be written as V2.0 is described, but "Convert" stays off.
    if (auto bytes = convertedPgmfBytes(conv.program); !bytes) {
        labels.status = entry + " (Catalyst 1.0, cannot convert: " + bytes.error().message + ")";
        return false;
    }
    labels.status = entry + " (Catalyst 1.0)";
    return true;
}

Result<fs::path> convertPgm(PgmConverter& conv, ConverterLabels& labels, const fs::path& path,
                            std::string_view entryName, const fs::path& outFolder,
                            std::span<const fs::path> taken) {
    conv = PgmConverter{};
    if (!fileExists(path)) {
        std::error_code ec;
        return makeError(ErrorCode::io, "cannot open " + displayPath(path) +
                                            (fs::is_directory(path, ec) ? ": is a folder" : ": no such file"));
    }
    const std::string entry(entryName);
    const auto notConverted = [&](const Error& error) {
        labels.status = entry + " (not converted: " + error.message + ")";
        return error;
    };
    auto data = readConvFile(path);
    if (!data) return notConverted(data.error());
    conv.ConvBuffer = std::move(*data);
    if (hasConvV2Header(conv.ConvBuffer)) {
        labels.status = "Its allready a Catalyst 2.0 File";
        return makeError(ErrorCode::invalid, "already a Catalyst 2.0 program file");
    }
    auto program = readPgmProgram(conv.ConvBuffer);
    if (!program) {
        clearLabels(labels);
        return notConverted(program.error());
    }
    conv.program = std::move(*program);
    fillConverterLabels(labels, conv.program);
    auto bytes = convertedPgmfBytes(conv.program);
    if (!bytes) return notConverted(bytes.error());
    if (auto made = ensureFolder(outFolder); !made) return notConverted(made.error());
    const fs::path target = outFolder / pathFromUtf8(conv.program.Name + ".pgmf");
    if (sameFile(target, path))
        return notConverted(makeError(ErrorCode::usage, displayPath(target) + " is the program being converted"));
    if (std::any_of(taken.begin(), taken.end(), [&](const fs::path& done) { return sameFile(done, target); }))
        return notConverted(makeError(ErrorCode::usage, displayPath(target) + " is taken in this command (an input, or a file written before)"));
    if (auto written = saveFile(target, *bytes); !written) return notConverted(written.error());
    labels.status = entry + " (Catalyst 2.0 Converted)";
    return target;
}

}  // namespace vb
