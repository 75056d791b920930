#include "route/ProgramReader.h"

#include <string_view>

#include "base/BlockFile.h"
#include "base/Text.h"

namespace vb {

namespace {

constexpr std::size_t kPgmRecordSize = 20;
constexpr std::size_t kNameUnits = 17;
constexpr std::size_t kGeneralRest = 24;

// Refuses `count` records of `size` bytes that do not fit the rest of the data.
bool fits(ByteReader& in, std::string_view what, std::int64_t count, std::int64_t size) {
    if (count < 0) {
        in.fail(ErrorCode::invalid, std::string(what) + " record count " + str(count) + " is negative");
        return false;
    }
    const auto needed = static_cast<std::uint64_t>(count) * static_cast<std::uint64_t>(size);
    if (needed > in.remaining()) {
        in.fail(ErrorCode::truncated, std::string(what) + " record count " + str(count) + " of " + str(size) +
                                          " bytes runs past the end: " + str(static_cast<std::int64_t>(in.remaining())) +
                                          " bytes remain");
        return false;
    }
    return true;
}

// One unit of the 17-unit name field: the low byte is a Windows-1252 code when the
// high byte is 0; other programs may store wider UTF-16 units, taken as code points.
void appendNameUnit(std::string& out, std::uint16_t unit) {
    if (unit < 0x100) {
        out += cp1252ToUtf8(std::string(1, static_cast<char>(unit)));
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
        out += '?';
    } else {
        appendUtf8(out, unit);
    }
}

void readGeneralRecord(ByteReader& in, ProgramFile& program) {
    program.tag = in.text(4, "identification tag");
    bool ended = false;
    for (std::size_t i = 0; i < kNameUnits; ++i) {
        const std::uint16_t unit = in.u16("program name");
        if (unit == 0) ended = true;
        if (!ended) appendNameUnit(program.name, unit);
    }
    program.type = in.i32("program type");
    program.mode = in.i32("program mode");
    in.skip(kGeneralRest, "general record");
}

Result<ProgramFile> finish(ByteReader& in, ProgramFile program) {
    if (!in.ok()) return in.error();
    program.trailer = in.text(in.remaining(), "trailer");
    return program;
}

}  // namespace

bool looksLikePgmf(std::span<const std::byte> data) {
    return data.size() >= 4 && data[0] == std::byte{0xE8} && data[1] == std::byte{0x03} &&
           data[2] == std::byte{0x64} && data[3] == std::byte{0x00};
}

bool hasPgmfHeader(std::span<const std::byte> data) {
    static constexpr unsigned char kHeader[16] = {0xE8, 0x03, 0x64, 0x00, 0x02, 0x00, 0x00, 0x00,
                                                  0xF2, 0x03, 0x64, 0x00, 0x01, 0x00, 0x00, 0x00};
    if (data.size() < sizeof kHeader) return false;
    for (std::size_t i = 0; i < sizeof kHeader; ++i)
        if (data[i] != std::byte{kHeader[i]}) return false;
    return true;
}

Result<ProgramFile> readPgm(std::span<const std::byte> data) {
    ByteReader in(data);
    ProgramFile program;
    program.format = ProgramFormat::pgm;
    const std::int16_t count = in.i16("section count");
    if (in.ok() && fits(in, "section", count, kPgmRecordSize)) {
        program.sections.reserve(static_cast<std::size_t>(count));
        for (std::int16_t i = 0; i < count; ++i) {
            ProgramSection section;
            section.distance = in.f64("section length");
            section.value = in.f64("section slope");
            section.third = in.i32("section third value");
            program.sections.push_back(section);
        }
    }
    const std::uint8_t length = in.u8("name length");
    program.name = cp1252ToUtf8(in.text(length, "program name"));
    program.type = in.i32("program type");
    program.mode = in.i32("program mode");
    // The tag is this system's own; a file without one ends after the mode.
    if (in.ok() && in.remaining() >= 4) program.tag = in.text(4, "identification tag");
    return finish(in, std::move(program));
}

Result<ProgramFile> readPgmf(std::span<const std::byte> data) {
    ByteReader in(data);
    ProgramFile program;
    program.format = ProgramFormat::pgmf;
    const FileHeader header = readFileHeader(in);
    const auto fileId = static_cast<std::int16_t>(header.id);
    const std::int32_t blocks = header.blocks;
    if (!in.ok()) return in.error();
    if (fileId != kPgmfFileId)
        return Error{ErrorCode::invalid, 0, "file identifier " + str(fileId) + "; a program file has 1000"};
    if (blocks < 0) return Error{ErrorCode::invalid, 4, "number of blocks " + str(blocks) + " is negative"};

    bool general = false;
    bool sections = false;
    BlockWalker walker(in);
    for (std::int32_t b = 0; b < blocks && in.ok(); ++b) {
        const BlockHeader block = walker.next();
        if (!in.ok()) break;
        const auto id = static_cast<std::int16_t>(block.id);
        const std::int32_t count = block.count;
        const std::int32_t size = block.size;
        const std::string what = "block " + str(id);
        if (size < 0) {
            in.fail(ErrorCode::invalid, what + " record size " + str(size) + " is negative");
        } else if (!fits(in, what, count, size)) {
            // refused by fits()
        } else if (id == kPgmfGeneralId || id == kPgmfProgramId) {
            const bool isGeneral = id == kPgmfGeneralId;
            const std::int32_t expected = isGeneral ? kPgmfGeneralSize : kPgmfProgramSize;
            bool& seen = isGeneral ? general : sections;
            if (seen) {
                in.fail(ErrorCode::invalid, what + " appears twice");
            } else if (size != expected) {
                in.fail(ErrorCode::invalid, what + " record size " + str(size) + "; it must be " + str(expected));
            } else if (isGeneral && count != 1) {
                in.fail(ErrorCode::invalid, what + " holds " + str(count) + " records; it must hold 1");
            } else if (ByteReader records = walker.records(block); isGeneral) {
                readGeneralRecord(records, program);
            } else {
                program.sections.reserve(static_cast<std::size_t>(count));
                for (std::int32_t i = 0; i < count; ++i) {
                    ProgramSection section;
                    section.distance = records.f32("section length");
                    section.value = records.f32("section slope");
                    section.third = records.f32("section third value");
                    program.sections.push_back(section);
                }
            }
            seen = true;
        } else {
            (void)walker.records(block);
        }
    }
    if (in.ok() && !general) in.fail(ErrorCode::invalid, "no general block (1010)");
    if (in.ok() && !sections) in.fail(ErrorCode::invalid, "no program block (1020)");
    return finish(in, std::move(program));
}

}  // namespace vb
