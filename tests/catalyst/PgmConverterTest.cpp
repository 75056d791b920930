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

// tests/data/catalyst: V1.0 programs laid out by hand and the V2.0 files they
// become, worked out by hand from the layout. abc.pgm: slope, distance, 0.25 km
// at 4 %. time.pgm: power, time, "Sixteen_Chars_Ok", 150 W for 300 s and 200 W
// for 60 s (the seconds become the first field). empty.pgm: heart rate,
// distance, no section. Offsets in abc.pgm and abc.pgmf:
constexpr std::size_t kPgmName = 22, kPgmType = 26, kPgmMode = 30, kPgmEnd = 34, kPgmfType = 58;

Bytes golden(const std::string& name) { return readAll(dataFile("catalyst/" + name)); }

struct Converter {
    ScratchDir dir;
    PgmConverter conv;
    ConverterLabels labels;

    void put(std::string_view file, const Bytes& data) { writeAll(dir / file, asText(data)); }
    bool describe(std::string_view file) { return describePgm(conv, labels, dir / file, file); }
    Result<fs::path> convert(std::string_view file) { return convertPgm(conv, labels, dir / file, file, dir / "PGMF_Conv"); }
};

TEST(PgmConverter, DescribesAndConvertsByteForByte) {
    const struct {
        const char* input;
        std::vector<Patch> patches;
        const char *typ, *program, *route, *written, *golden;
        std::vector<Patch> goldenPatches;
    } cases[] = {
        {"abc.pgm", {}, "Slope", "Distance", "1", "abc.pgmf", "abc.pgmf", {}},
        {"time.pgm", {}, "Power", "Time", "2", "Sixteen_Chars_Ok.pgmf", "time.pgmf", {}},
        {"empty.pgm", {}, "Heart Rate", "Distance", "0", "empty.pgmf", "empty.pgmf", {}},
        // An unknown type is shown as such and converted with its number.
        {"abc.pgm", {{kPgmType, bytesOf({7})}}, "unknown", "Distance", "1", "abc.pgmf", "abc.pgmf",
         {{kPgmfType, bytesOf({7})}}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.input + std::string(" as ") + k.typ);
        Converter c;
        c.put(k.input, patched(golden(k.input), k.patches));
        EXPECT_TRUE(c.describe(k.input));
        EXPECT_EQ(c.labels.status, k.input + std::string(" (Catalyst 1.0)"));
        EXPECT_EQ(std::vector<std::string>({c.labels.typ, c.labels.program, c.labels.route}),
                  std::vector<std::string>({k.typ, k.program, k.route}));
        const auto written = c.convert(k.input);
        ASSERT_TRUE(written.ok()) << written.error().message;
        EXPECT_EQ(*written, c.dir / "PGMF_Conv" / k.written);
        EXPECT_EQ(c.labels.status, k.input + std::string(" (Catalyst 2.0 Converted)"));
        const Bytes got = readAll(*written);
        EXPECT_EQ(hex(got), hex(patched(golden(k.golden), k.goldenPatches)));
        const auto back = readPgmf(got);
        ASSERT_TRUE(back.ok()) << back.error().message;
        EXPECT_EQ(std::to_string(back->sections.size()), k.route);
    }
}

TEST(PgmConverter, NeverConvertsV2BrokenOrOutOfRangeFiles) {
    const Bytes abc = golden("abc.pgm");
    Converter c;
    // Everything up to the end of the mode field is needed.
    for (std::size_t n = kPgmEnd; n <= abc.size(); ++n) {
        c.put("bad.pgm", patched(abc, {}, n));
        EXPECT_TRUE(c.describe("bad.pgm")) << n;
    }
    const std::string refused = "bad.pgm (refused: ", cannot = "bad.pgm (Catalyst 1.0, cannot convert: ";
    struct Case {
        std::string what;
        Bytes data;
        std::string described, converted = "bad.pgm (not converted: ";  // the status texts start so
    };
    std::vector<Case> cases = {
        // The first 13 header bytes are enough: the missing three count as zero.
        {"V2.0", patched(golden("abc.pgmf"), {}, 13), "bad.pgm (Catalyst 2.0)", "Its allready a Catalyst 2.0 File"},
        {"negative count", patched(abc, {{0, bytesOf({0xFF, 0xFF})}}), refused},
        // Complete with 4002 zero sections, but one more than the converter takes.
        {"4002 sections", patched(abc, {{0, i16Bytes(4002)}}, 2 + 4002 * 20 + 9), refused},
        {"over 100001 bytes", patched(abc, {}, kConvBufferSize + 1), refused},
        {"17-character name", patched(abc, {{kPgmName, bytesOf({17})}}), refused},
        {"mode 2", patched(abc, {{kPgmMode, bytesOf({2})}}), cannot},
        {"separator in the name", patched(abc, {{kPgmName + 1, toBytes("../")}}), cannot},
    };
    for (std::size_t n = 0; n < kPgmEnd; ++n)
        cases.push_back({"cut to " + std::to_string(n), Bytes(abc.data(), abc.data() + n), refused});
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        c.put("bad.pgm", k.data);
        c.labels = ConverterLabels{};
        EXPECT_FALSE(c.describe("bad.pgm"));
        EXPECT_TRUE(c.labels.status.starts_with(k.described)) << c.labels.status;
        EXPECT_FALSE(c.convert("bad.pgm").ok());
        EXPECT_TRUE(c.labels.status.starts_with(k.converted)) << c.labels.status;
    }
    // No file: "Convert" stays off. Nothing was ever written, not even the folder.
    EXPECT_FALSE(c.describe("missing.pgm"));
    EXPECT_FALSE(c.convert("missing.pgm").ok());
    EXPECT_FALSE(fs::exists(c.dir / "PGMF_Conv"));
}

}  // namespace
}  // namespace vb
