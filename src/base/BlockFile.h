#pragma once
// Block files. The V2.0 program files and the RealLife Video files open with a
// file header (u16 file identifier, u16 version 100, i32 number of blocks);
// each block then opens with a 12-byte header (u16 block identifier, u16
// version 100, i32 record count, i32 record size in bytes) and holds
// count × size bytes of records. All little-endian.

#include <cstddef>
#include <cstdint>

#include "base/Bytes.h"

namespace vb {

inline constexpr std::uint16_t kBlockVersion = 100;

struct FileHeader {
    std::uint16_t id = 0;
    std::uint16_t version = 0;
    std::int32_t blocks = 0;
};

struct BlockHeader {
    std::size_t offset = 0;  // where the header starts in the file
    std::uint16_t id = 0;
    std::uint16_t version = 0;
    std::int32_t count = 0;
    std::int32_t size = 0;
};

/// Writes a file header with version 100.
void writeFileHeader(ByteWriter& out, std::uint16_t id, std::int32_t blocks);
/// Writes a block header with version 100.
void writeBlockHeader(ByteWriter& out, std::uint16_t id, std::int32_t count, std::int32_t size);

/// Reads a file header; check in.ok() before using it.
FileHeader readFileHeader(ByteReader& in);
/// Reads a block header; check in.ok() before using it. The count and size are
/// as stored: the caller checks them against what the block may hold.
BlockHeader readBlockHeader(ByteReader& in);

}  // namespace vb
