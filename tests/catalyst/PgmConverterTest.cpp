#include "catalyst/PgmConverter.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/Files.h"
#include "route/ProgramReader.h"
#include "support/TestSupport.h"

namespace vb {
namespace {

using namespace test;
namespace fs = std::filesystem;

struct PgmSectionBytes {
    double km;
    double value;
    int third;
};

/// A V1.0 program file laid out by hand.
Bytes pgmBytes(const std::vector<PgmSectionBytes>& sections, std::string_view name, int type = 1, int mode = 1) {
    Bytes out = i16Bytes(static_cast<int>(sections.size()));
    for (const auto& s : sections) out = out + f64Bytes(s.km) + f64Bytes(s.value) + i32Bytes(s.third);
    return out + bytesOf({static_cast<int>(name.size())}) + toBytes(name) + i32Bytes(type) + i32Bytes(mode) +
           bytesOf({'V', 'L', 'B', 0xFE}) + toBytes("created by Velobridge - Version0.6a");
}

/// The converted file's bytes up to the program block's records, laid out by hand.
Bytes pgmfHead(std::string_view name, int type, int mode, int count) {
    Bytes units;
    for (char c : name) units = units + bytesOf({static_cast<unsigned char>(c), 0});
    units.resize(34);
    return bytesOf({0xE8, 0x03, 0x64, 0x00, 0x02, 0x00, 0x00, 0x00, 0xF2, 0x03, 0x64, 0x00, 0x01, 0x00, 0x00, 0x00,
                    0x46, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}) +
           units + i32Bytes(type) + i32Bytes(mode) + Bytes(24) + bytesOf({0xFC, 0x03, 0x64, 0x00}) +
           i32Bytes(count) + i32Bytes(12);
}

const Bytes kTrailer = bytesOf({8, 0, 24, 0}) + toBytes("created by Velobridge - ");

struct Converter {
    ScratchDir dir;
    PgmConverter conv;
    ConverterLabels labels;

    fs::path put(std::string_view file, const Bytes& data) {
        writeAll(dir / file, asText(data));
        return dir / file;
    }
    bool describe(std::string_view file) { return describePgm(conv, labels, dir / file, file); }
    Result<fs::path> convert(std::string_view file) { return convertPgm(conv, labels, dir / file, file, dir / "PGMF_Conv"); }
    fs::path out(std::string_view name) const { return dir / "PGMF_Conv" / name; }
};

TEST(PgmConverter, ConvertsADistanceProgramByteForByte) {
    Converter c;
    c.put("abc.pgm", pgmBytes({{0.25, 4.0, 0}}, "abc"));
    EXPECT_TRUE(c.describe("abc.pgm"));
    EXPECT_EQ(c.labels.status, "abc.pgm (Catalyst 1.0)");
    EXPECT_EQ(c.labels.typ, "Slope");
    EXPECT_EQ(c.labels.program, "Distance");
    EXPECT_EQ(c.labels.route, "1");

    auto written = c.convert("abc.pgm");
    ASSERT_TRUE(written.ok()) << written.error().message;
    EXPECT_EQ(*written, c.out("abc.pgmf"));
    EXPECT_EQ(c.labels.status, "abc.pgm (Catalyst 2.0 Converted)");
    const Bytes expected = pgmfHead("abc", 1, 1, 1) + f32Bytes(250.0f) + f32Bytes(4.0f) + i32Bytes(0) + kTrailer;
    const Bytes got = readAll(*written);
    EXPECT_EQ(hex(got), hex(expected));

    auto back = readPgmf(got);
    ASSERT_TRUE(back.ok()) << back.error().message;
    EXPECT_EQ(back->name, "abc");
    EXPECT_EQ(back->type, 1);
    EXPECT_EQ(back->mode, 1);
    EXPECT_EQ(back->tag, std::string(4, '\0'));
    ASSERT_EQ(back->sections.size(), 1u);
    EXPECT_EQ(back->sections[0].distance, 250.0);
    EXPECT_EQ(back->sections[0].value, 4.0);
    EXPECT_EQ(back->sections[0].third, 0.0);
    EXPECT_EQ(back->trailer, std::string("\x08\0\x18\0", 4) + "created by Velobridge - ");
}

TEST(PgmConverter, TimeProgramsEmptyProgramsAndUnknownTypes) {
    Converter c;
    // Time-based: the third field (seconds) becomes the first; a 16-character name fills 32 bytes.
    c.put("t.pgm", pgmBytes({{0.5, 150.0, 300}, {0.1, 200.0, 60}}, "Sixteen_Chars_Ok", 0, 0));
    EXPECT_TRUE(c.describe("t.pgm"));
    EXPECT_EQ(c.labels.typ, "Power");
    EXPECT_EQ(c.labels.program, "Time");
    EXPECT_EQ(c.labels.route, "2");
    ASSERT_TRUE(c.convert("t.pgm").ok());
    EXPECT_EQ(hex(readAll(c.out("Sixteen_Chars_Ok.pgmf"))),
              hex(pgmfHead("Sixteen_Chars_Ok", 0, 0, 2) + f32Bytes(300.0f) + f32Bytes(150.0f) + i32Bytes(0) +
                  f32Bytes(60.0f) + f32Bytes(200.0f) + i32Bytes(0) + kTrailer));

    // No sections: count 0 and the trailer.
    c.put("e.pgm", pgmBytes({}, "empty", 2, 1));
    EXPECT_TRUE(c.describe("e.pgm"));
    EXPECT_EQ(c.labels.typ, "Heart Rate");
    EXPECT_EQ(c.labels.route, "0");
    ASSERT_TRUE(c.convert("e.pgm").ok());
    EXPECT_EQ(hex(readAll(c.out("empty.pgmf"))), hex(pgmfHead("empty", 2, 1, 0) + kTrailer));

    // An unknown type shows "unknown" and is converted with its number.
    c.put("u.pgm", pgmBytes({{1.0, 2.0, 0}}, "seven", 7, 1));
    EXPECT_TRUE(c.describe("u.pgm"));
    EXPECT_EQ(c.labels.typ, "unknown");
    ASSERT_TRUE(c.convert("u.pgm").ok());
    EXPECT_EQ(readPgmf(readAll(c.out("seven.pgmf")))->type, 7);

    // Two files storing the same name: the second replaces the first.
    c.put("a1.pgm", pgmBytes({{1.0, 1.0, 0}}, "same"));
    c.put("a2.pgm", pgmBytes({{2.0, 2.0, 0}, {3.0, 3.0, 0}}, "same"));
    ASSERT_TRUE(c.convert("a1.pgm").ok());
    ASSERT_TRUE(c.convert("a2.pgm").ok());
    EXPECT_EQ(readPgmf(readAll(c.out("same.pgmf")))->sections.size(), 2u);
}

TEST(PgmConverter, V2FilesAreDescribedButNeverConverted) {
    Converter c;
    c.put("abc.pgm", pgmBytes({{0.25, 4.0, 0}}, "abc"));
    ASSERT_TRUE(c.describe("abc.pgm"));
    // The first 13 header bytes are enough: the missing three count as zero.
    const Bytes header = bytesOf({0xE8, 0x03, 0x64, 0x00, 0x02, 0x00, 0x00, 0x00, 0xF2, 0x03, 0x64, 0x00, 0x01});
    c.put("v2.pgm", header);
    EXPECT_FALSE(c.describe("v2.pgm"));
    EXPECT_EQ(c.labels.status, "v2.pgm (Catalyst 2.0)");
    EXPECT_EQ(c.labels.typ, "Slope");  // the value labels keep their texts
    EXPECT_EQ(c.labels.route, "1");
    EXPECT_FALSE(c.convert("v2.pgm").ok());
    EXPECT_EQ(c.labels.status, "Its allready a Catalyst 2.0 File");
    EXPECT_FALSE(fs::exists(c.dir / "PGMF_Conv"));

    // No file: nothing changes but "Convert" stays off.
    EXPECT_FALSE(c.describe("missing.pgm"));
    EXPECT_EQ(c.labels.status, "Its allready a Catalyst 2.0 File");
    EXPECT_FALSE(c.convert("missing.pgm").ok());
}

TEST(PgmConverter, RefusesBrokenAndOutOfRangeFilesAndWritesNothing) {
    const Bytes good = pgmBytes({{0.25, 4.0, 0}, {0.5, -2.0, 0}}, "abc");
    // Everything up to the end of the mode field is needed.
    const std::size_t needed = 2 + 40 + 1 + 3 + 8;
    Converter c;
    for (std::size_t n = 0; n < needed; ++n) {
        c.put("cut.pgm", Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n)));
        c.labels = ConverterLabels{};
        EXPECT_FALSE(c.describe("cut.pgm")) << n;
        EXPECT_EQ(c.labels.status.rfind("cut.pgm (refused: ", 0), 0u) << n << ": " << c.labels.status;
        EXPECT_FALSE(c.convert("cut.pgm").ok()) << n;
        EXPECT_EQ(c.labels.status.rfind("cut.pgm (not converted: ", 0), 0u) << n << ": " << c.labels.status;
    }
    for (std::size_t n = needed; n <= good.size(); ++n) {
        c.put("cut.pgm", Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n)));
        EXPECT_TRUE(c.describe("cut.pgm")) << n;
    }
    fs::remove_all(c.dir / "PGMF_Conv");

    Bytes negative = good;
    negative[0] = std::byte{0xFF};
    negative[1] = std::byte{0xFF};
    Bytes tooMany = i16Bytes(4002) + Bytes(4002 * 20) + bytesOf({1, 'x'}) + i32Bytes(1) + i32Bytes(1);
    Bytes tooLarge = pgmBytes({}, "big") + Bytes(kConvBufferSize);
    const struct {
        const char* what;
        Bytes data;
        bool described;  // the labels are filled, but "Convert" stays off
    } cases[] = {
        {"negative count", negative, false},
        {"4002 sections", tooMany, false},
        {"over 100001 bytes", tooLarge, false},
        {"17-character name", pgmBytes({}, "Seventeen_Chars_X"), false},
        {"mode 2", pgmBytes({{1.0, 1.0, 0}}, "m2", 1, 2), true},
        {"separator in the name", pgmBytes({}, "../up"), true},
        {"backslash in the name", pgmBytes({}, "a\\b"), true},
        {"colon in the name", pgmBytes({}, "c:x"), true},
        {"dot name", pgmBytes({}, "."), true},
        {"empty name", pgmBytes({}, ""), true},
        {"control character", pgmBytes({}, "a\tb"), true},
    };
    for (const auto& k : cases) {
        c.put("bad.pgm", k.data);
        c.labels = ConverterLabels{};
        EXPECT_FALSE(c.describe("bad.pgm")) << k.what;
        if (k.described) EXPECT_EQ(c.labels.status.rfind("bad.pgm (Catalyst 1.0, cannot convert: ", 0), 0u) << k.what;
        else EXPECT_EQ(c.labels.status.rfind("bad.pgm (refused: ", 0), 0u) << k.what << ": " << c.labels.status;
        EXPECT_FALSE(c.convert("bad.pgm").ok()) << k.what;
        EXPECT_EQ(c.labels.status.rfind("bad.pgm (not converted: ", 0), 0u) << k.what;
        EXPECT_FALSE(fs::exists(c.dir / "up.pgmf")) << k.what;
    }
    EXPECT_FALSE(fs::exists(c.dir / "PGMF_Conv") && !fs::is_empty(c.dir / "PGMF_Conv"));
}

}  // namespace
}  // namespace vb
