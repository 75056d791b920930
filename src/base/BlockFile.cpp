#include "base/BlockFile.h"

namespace vb {

void writeFileHeader(ByteWriter& out, std::uint16_t id, std::int32_t blocks) {
    out.u16(id);
    out.u16(kBlockVersion);
    out.i32(blocks);
}

void writeBlockHeader(ByteWriter& out, std::uint16_t id, std::int32_t count, std::int32_t size) {
    out.u16(id);
    out.u16(kBlockVersion);
    out.i32(count);
    out.i32(size);
}

FileHeader readFileHeader(ByteReader& in) {
    FileHeader h;
    h.id = in.u16("file identifier");
    h.version = in.u16("file version");
    h.blocks = in.i32("number of blocks");
    return h;
}

BlockHeader readBlockHeader(ByteReader& in) {
    BlockHeader h;
    h.offset = in.offset();
    h.id = in.u16("block identifier");
    h.version = in.u16("block version");
    h.count = in.i32("record count");
    h.size = in.i32("record size");
    return h;
}

std::uint64_t BlockWalker::extent(const BlockHeader& block) {
    if (block.count < 0 || block.size < 0) return 0;
    return static_cast<std::uint64_t>(block.count) * static_cast<std::uint64_t>(block.size);
}

}  // namespace vb
