#include "app/RlvFile.h"

#include <optional>

#include "base/Files.h"
#include "base/Text.h"

namespace vb {

namespace {

constexpr std::size_t kNameCharacters = 261;
constexpr std::size_t kNameFieldBytes = kNameCharacters * 2;  // 522
constexpr std::size_t kShortNameCharacters = 20;              // 16 + ".avi"
constexpr std::int32_t kVideoRecordSize = 534;
constexpr std::int32_t kFrameRecordSize = 8;
constexpr std::int32_t kCourseRecordSize = 596;
constexpr std::string_view kCourseText = "Velobridge";

/// Each character as its 8-bit code followed by a zero byte.
void twoByteText(ByteWriter& out, std::string_view utf8) {
    for (char c : utf8ToCp1252(utf8)) {
        out.u8(static_cast<std::uint8_t>(c));
        out.u8(0);
    }
}

/// Two-byte text up to its first zero character. Codes below 256 are 8-bit
/// codes (as we write them); others are UTF-16, a lone surrogate reads as U+FFFD.
std::string readTwoByteText(std::span<const std::byte> field) {
    std::string out;
    for (std::size_t i = 0; i + 1 < field.size(); i += 2) {
        const auto unit = static_cast<char16_t>(std::to_integer<unsigned>(field[i]) |
                                                (std::to_integer<unsigned>(field[i + 1]) << 8));
        if (unit == 0) break;
        if (unit < 0x100) {
            const char byte = static_cast<char>(unit);
            out += cp1252ToUtf8(std::string_view(&byte, 1));
            continue;
        }
        char32_t code = unit;
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < field.size()) {
            const auto low = static_cast<char16_t>(std::to_integer<unsigned>(field[i + 2]) |
                                                   (std::to_integer<unsigned>(field[i + 3]) << 8));
            if (low >= 0xDC00 && low < 0xE000) {
                code = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        if (code >= 0xD800 && code < 0xE000) code = 0xFFFD;
        appendUtf8(out, code);
    }
    return out;
}

std::string blockName(std::size_t index, const RlvBlock& block) {
    return "block " + std::to_string(index + 1) + " (" + std::to_string(block.id) + ")";
}

Error blockError(std::size_t index, const RlvBlock& block, std::string text) {
    return Error{ErrorCode::invalid, static_cast<std::int64_t>(block.offset), blockName(index, block) + " " + text};
}

/// The records of a known block must be at least `minimum` bytes long.
std::optional<Error> checkRecordSize(std::size_t index, const RlvBlock& block, std::int32_t minimum) {
    if (block.count == 0 || block.size >= minimum) return std::nullopt;
    return blockError(index, block,
                      "record size " + std::to_string(block.size) + " is below " + std::to_string(minimum));
}

}  // namespace

Result<Bytes> Create_RLV(const RlvScript& script) {
    const std::int32_t count = script.rlv_count;
    if (count < 0 || count > kMaxFrameLines)
        return makeError(ErrorCode::range, "frame line count " + std::to_string(count) + " is outside 0 to " +
                                               std::to_string(kMaxFrameLines));
    const std::string videoName = script.rlv_name + ".avi";
    const std::size_t characters = utf8Length(videoName);
    if (characters > kShortNameCharacters)
        return makeError(ErrorCode::range, "video name \"" + script.rlv_name + "\" is longer than 16 characters");
    ByteWriter out;
    writeFileHeader(out, kRlvFileId, 4);

    writeBlockHeader(out, kRlvVideoBlock, 1, kVideoRecordSize);
    twoByteText(out, videoName);
    out.zeros(2 * (kShortNameCharacters - characters));
    out.zeros(kNameFieldBytes - 2 * kShortNameCharacters);
    out.f32(script.rlv_fps);
    out.i32(0);
    out.i32(0);

    writeBlockHeader(out, kRlvFrameBlock, count, kFrameRecordSize);
    for (std::size_t n = 1; n <= static_cast<std::size_t>(count); ++n) {
        out.i32(script.rlv_frame[n]);
        out.f32(script.rlv_factor[n]);
    }

    writeBlockHeader(out, kRlvEmptyBlock, 0, kFrameRecordSize);

    writeBlockHeader(out, kRlvCourseBlock, 1, kCourseRecordSize);
    const std::size_t recordStart = out.size();
    out.zeros(8);
    twoByteText(out, kCourseText);
    out.zeros(kCourseRecordSize - (out.size() - recordStart));
    return std::move(out).take();
}

std::filesystem::path rlvFilePath(const Settings& settings, const RlvScript& script) {
    return pathFromUtf8(workingFolder(settings, "RLV")) / pathFromUtf8(script.rlv_name + ".rlv");
}

Result<void> writeRlvFile(const std::filesystem::path& target, const RlvScript& script) {
    if (const std::string problem = plainFileNameProblem(script.rlv_name); !problem.empty())
        return makeError(ErrorCode::invalid,
                         "video name \"" + script.rlv_name + "\" is not a plain file name: " + problem);
    if (!fitsCp1252(script.rlv_name))
        return makeError(ErrorCode::invalid,
                         "video name \"" + script.rlv_name + "\" holds a character without a Windows-1252 code");
    auto bytes = Create_RLV(script);
    if (!bytes) return bytes.error();
    return saveFile(target, *bytes);
}

bool looksLikeRlv(std::span<const std::byte> data) {
    return data.size() >= 4 && data[0] == std::byte{0xD0} && data[1] == std::byte{0x07} &&
           data[2] == std::byte{0x64} && data[3] == std::byte{0x00};
}

Result<RlvFile> readRlv(std::span<const std::byte> data) {
    ByteReader in(data);
    RlvFile file;
    const FileHeader header = readFileHeader(in);
    const std::uint16_t id = header.id;
    file.version = header.version;
    const std::int32_t blockCount = header.blocks;
    if (!in.ok()) return in.error();
    if (id != kRlvFileId)
        return Error{ErrorCode::invalid, 0, "file id " + std::to_string(id) + " is not 2000"};
    if (blockCount < 0)
        return Error{ErrorCode::invalid, 4, "block count " + std::to_string(blockCount) + " is negative"};

    BlockWalker walker(in);
    for (std::size_t index = 0; index < static_cast<std::size_t>(blockCount); ++index) {
        const RlvBlock block = walker.next();
        if (!in.ok()) return in.error();
        if (block.count < 0 || block.size < 0)
            return blockError(index, block, "has record count " + std::to_string(block.count) + " and size " +
                                                std::to_string(block.size));
        if (!walker.fits(block))
            return blockError(index, block, "length " + std::to_string(BlockWalker::extent(block)) + " exceeds " +
                                                std::to_string(walker.remaining()) + " remaining");
        ByteReader body = walker.records(block);
        const auto record = [&body, &block] { return body.sub(static_cast<std::size_t>(block.size), "record"); };
        file.blocks.push_back(block);

        if (block.id == kRlvVideoBlock) {
            if (block.count != 1) return blockError(index, block, "holds " + std::to_string(block.count) + " records, not 1");
            if (auto bad = checkRecordSize(index, block, static_cast<std::int32_t>(kNameFieldBytes) + 4)) return *bad;
            ByteReader video = record();
            file.videoName = readTwoByteText(video.bytes(kNameFieldBytes));
            file.frameRate = video.f32("frame rate");
        } else if (block.id == kRlvFrameBlock) {
            if (auto bad = checkRecordSize(index, block, kFrameRecordSize)) return *bad;
            file.frames.reserve(file.frames.size() + static_cast<std::size_t>(block.count));
            for (std::int32_t k = 0; k < block.count; ++k) {
                ByteReader entry = record();
                const std::int32_t frame = entry.i32("frame");
                file.frames.push_back({frame, entry.f32("factor")});
            }
        } else if (block.id == kRlvCourseBlock) {
            if (auto bad = checkRecordSize(index, block, 8)) return *bad;
            for (std::int32_t k = 0; k < block.count; ++k) {
                ByteReader entry = record();
                RlvCourseEntry course;
                course.start = entry.f32("start");
                course.end = entry.f32("end");
                course.text = readTwoByteText(entry.bytes(entry.remaining()));
                file.courses.push_back(std::move(course));
            }
        }
    }
    if (!in.atEnd())
        return Error{ErrorCode::invalid, static_cast<std::int64_t>(in.offset()),
                     std::to_string(in.remaining()) + " bytes after the last block"};
    return file;
}

}  // namespace vb
