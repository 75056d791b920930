#pragma once
// Block files. The V2.0 program files and the RealLife Video files open with a
// file header (u16 file identifier, u16 version 100, i32 number of blocks);
// each block then opens with a 12-byte header (u16 block identifier, u16
// version 100, i32 record count, i32 record size in bytes) and holds
// count × size bytes of records. All little-endian.
//
// BlockWalker is the one place that knows this layout on the reading side:
// the run-file, program and RLV readers walk their blocks with it and take
// each block's records as a sub-reader.

#include <cstddef>
#include <cstdint>

#include "base/Bytes.h"

namespace vb {

inline constexpr std::uint16_t kBlockVersion = 100;
inline constexpr std::size_t kFileHeaderSize = 8;
inline constexpr std::size_t kBlockHeaderSize = 12;

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

/// Walks the blocks of a block file from a reader placed at a block header.
class BlockWalker {
public:
    explicit BlockWalker(ByteReader& in) : m_in(in) {}

    /// Reads the next block header; check ok() before using it.
    BlockHeader next() { return readBlockHeader(m_in); }
    bool ok() const { return m_in.ok(); }
    /// Bytes left after the current header (or records).
    std::size_t remaining() const { return m_in.remaining(); }

    /// count × size as stored, without overflow; 0 for a negative count or size.
    static std::uint64_t extent(const BlockHeader& block);
    /// Whether the block's records fit in what is left of the file.
    bool fits(const BlockHeader& block) const { return extent(block) <= m_in.remaining(); }
    /// The block's records as a reader of their own; the walker moves past
    /// them to the next header. Check fits() first.
    ByteReader records(const BlockHeader& block) { return m_in.sub(static_cast<std::size_t>(extent(block)), "block records"); }
    /// Everything from the block's first record to the end of the input.
    ByteReader rest() { return m_in.sub(m_in.remaining(), "block records"); }

private:
    ByteReader& m_in;
};

}  // namespace vb
