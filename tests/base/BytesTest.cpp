#include "base/Bytes.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace vb {
namespace {

TEST(Bytes, TheWriterLaysOutLittleEndianFieldsThatTheReaderReadsBack) {
    ByteWriter w;
    w.i16(-32768);
    w.u16(65535);
    w.i32(-123456789);
    w.u32(4000000000u);
    w.u8(0xFE);
    w.f32(-5.0f);
    w.f64(0.1);
    w.text("ab");
    w.zeros(2);
    const Bytes data = std::move(w).take();
    EXPECT_EQ(data, test::readAll(test::dataFile("base/fields.bin")));
    ByteReader r(data);
    EXPECT_EQ(r.i16(), -32768);
    EXPECT_EQ(r.u16(), 65535);
    EXPECT_EQ(r.i32(), -123456789);
    EXPECT_EQ(r.u32(), 4000000000u);
    EXPECT_EQ(r.u8(), 0xFE);
    EXPECT_EQ(r.f32(), -5.0f);
    EXPECT_EQ(r.f64(), 0.1);
    EXPECT_EQ(r.text(2), "ab");
    r.skip(2);
    EXPECT_TRUE(r.ok());
    EXPECT_TRUE(r.atEnd());
}

TEST(Bytes, AShortReadIsStickyAndKeepsTheOffset) {
    const Bytes data = test::bytesOf({1, 0, 2});
    ByteReader r(data);
    EXPECT_EQ(r.i16("count"), 1);
    EXPECT_EQ(r.i32("length"), 0);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.offset(), 2u);
    EXPECT_EQ(r.error().code, ErrorCode::truncated);
    EXPECT_EQ(r.error().offset, 2);
    EXPECT_EQ(r.error().message, "length at offset 2 needs 4 bytes, 1 remain");
    EXPECT_EQ(r.u8(), 0);  // even though one byte is left
    EXPECT_EQ(r.error().message, "length at offset 2 needs 4 bytes, 1 remain");  // the first failure stays

    ByteReader huge(data);  // a count near SIZE_MAX does not wrap
    huge.skip(1);
    EXPECT_TRUE(huge.bytes(SIZE_MAX).empty());
    EXPECT_FALSE(huge.ok());
}

}  // namespace
}  // namespace vb
