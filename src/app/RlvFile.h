#pragma once
// The RealLife Video file (*.rlv): a block file, u16 file id 2000, u16 version
// 100, i32 block count, then blocks, each with a 12-byte header (u16 id, u16
// version 100, i32 record count, i32 record size). Block 2010 names the video
// file (261 two-byte characters) and gives its frame rate, 2020 maps frames to
// speed factors (i32 frame, f32 factor), 2030 is empty, and 2040 holds course
// records (f32 start, f32 end, two-byte text). Our own files carry one course
// record with the text "Velobridge".

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "app/RlvScript.h"
#include "app/Settings.h"
#include "base/BlockFile.h"
#include "base/Bytes.h"
#include "base/Result.h"

namespace vb {

inline constexpr std::uint16_t kRlvFileId = 2000;
inline constexpr std::uint16_t kRlvVideoBlock = 2010;
inline constexpr std::uint16_t kRlvFrameBlock = 2020;
inline constexpr std::uint16_t kRlvEmptyBlock = 2030;
inline constexpr std::uint16_t kRlvCourseBlock = 2040;

/// The file bytes of a script state: 1186 + 8 × rlv_count bytes. Refuses a
/// state whose rlv_count is outside 0..4096 or whose name is over 16 characters.
Result<Bytes> Create_RLV(const RlvScript& script);

/// Where the window writes the RLV file: <base>/RLV/<rlv_name>.rlv.
std::filesystem::path rlvFilePath(const Settings& settings, const RlvScript& script);

/// Writes Create_RLV's bytes to `target` through the safe replace. Refuses a
/// script whose name is not a plain file name, so nothing lands elsewhere.
Result<void> writeRlvFile(const std::filesystem::path& target, const RlvScript& script);

using RlvBlock = BlockHeader;

struct RlvFrameEntry {
    std::int32_t frame = 0;
    float factor = 0.0f;
};

struct RlvCourseEntry {
    float start = 0.0f;
    float end = 0.0f;
    std::string text;  // UTF-8
};

/// An RLV file as read back.
struct RlvFile {
    std::uint16_t version = 0;
    std::vector<RlvBlock> blocks;
    std::string videoName;  // UTF-8
    float frameRate = 0.0f;
    std::vector<RlvFrameEntry> frames;
    std::vector<RlvCourseEntry> courses;
};

/// True when the bytes start like an RLV file (D0 07 64 00).
bool looksLikeRlv(std::span<const std::byte> data);

/// Reads an RLV file. Unknown blocks are skipped by their size; a block that
/// does not fit the file, a known block whose records are too small, or bytes
/// after the last block are refused with an error naming the block.
Result<RlvFile> readRlv(std::span<const std::byte> data);

}  // namespace vb
