#include "base/Bytes.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace vb {
namespace {

using test::bytesOf;

TEST(ByteWriter, WritesLittleEndianFields) {
    ByteWriter w;
    w.i16(1000);
    w.i16(-2);
    w.i32(70);
    w.u8(0xFE);
    w.f32(4.0f);
    w.f64(2.0);
    w.text("ab");
    w.zeros(2);
    EXPECT_EQ(w.data(), bytesOf({0xE8, 0x03, 0xFE, 0xFF, 0x46, 0x00, 0x00, 0x00, 0xFE, 0x00, 0x00, 0x80, 0x40,
                                 0, 0, 0, 0, 0, 0, 0x00, 0x40, 'a', 'b', 0, 0}));
}

TEST(ByteReader, ReadsWhatTheWriterWrote) {
    ByteWriter w;
    w.i16(-32768);
    w.u16(65535);
    w.i32(-123456789);
    w.u32(4000000000u);
    w.f32(-5.0f);
    w.f64(0.1);
    w.text("VLB");
    const Bytes data = std::move(w).take();
    ByteReader r(data);
    EXPECT_EQ(r.i16(), -32768);
    EXPECT_EQ(r.u16(), 65535);
    EXPECT_EQ(r.i32(), -123456789);
    EXPECT_EQ(r.u32(), 4000000000u);
    EXPECT_EQ(r.f32(), -5.0f);
    EXPECT_EQ(r.f64(), 0.1);
    EXPECT_EQ(r.text(3), "VLB");
    EXPECT_TRUE(r.ok());
    EXPECT_TRUE(r.atEnd());
}

TEST(ByteReader, ShortReadIsStickyAndKeepsTheOffset) {
    const Bytes data = bytesOf({1, 0, 2});
    ByteReader r(data);
    EXPECT_EQ(r.i16("count"), 1);
    EXPECT_EQ(r.i32("length"), 0);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.offset(), 2u);
    EXPECT_EQ(r.error().code, ErrorCode::truncated);
    EXPECT_EQ(r.error().offset, 2);
    EXPECT_EQ(r.error().message, "length at offset 2 needs 4 bytes, 1 remain");
    EXPECT_EQ(r.u8(), 0);  // even though one byte is left
    EXPECT_TRUE(r.bytes(1).empty());
    EXPECT_EQ(r.error().message, "length at offset 2 needs 4 bytes, 1 remain");  // the first failure stays
}

TEST(ByteReader, HugeCountsDoNotWrap) {
    const Bytes data = bytesOf({1, 2, 3, 4});
    ByteReader r(data);
    r.skip(1);
    EXPECT_TRUE(r.bytes(SIZE_MAX).empty());
    EXPECT_FALSE(r.ok());
}

}  // namespace
}  // namespace vb
