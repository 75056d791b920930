#include "route/ProgramReader.h"

#include <gtest/gtest.h>

#include "route/Fixtures.h"

namespace vb {
namespace {

using namespace test;

// Programs of tests/data/route, laid out by hand: zurich-warmup-three.pgm holds
// four sections and the name "Zürich" (six bytes); sixteen-warmup-three.pgmf
// four sections and a 16-character name. The listings (NAME.txt) were worked
// out from the bytes independently of the reader.
constexpr std::size_t kPgmEnd = 2 + 4 * 20 + 1 + 6 + 8, kPgmfEnd = 102 + 4 * 12;

TEST(ProgramReader, ReadsTheHandComputedListing) {
    const char* const files[] = {
        "thirdparty/pgmf/gc_Rosier_test_V2.pgmf", "thirdparty/pgmf/gc_warmup.pgmf",  // power, time
        // Third fields in the other byte order are not needed and do not matter.
        "thirdparty/pgmf/in_ES_Andalusia-1.pgmf",
        // A third block (1030, two records of five bytes) before the program
        // block, and Ω as a true UTF-16 unit in the name.
        "route/unknown-block-omega.pgmf"};
    for (const std::string file : files) {
        const auto program = readPgmf(readAll(dataFile(file)));
        ASSERT_TRUE(program.ok()) << file << ": " << program.error().message;
        const std::string name = file.substr(file.rfind('/') + 1);
        EXPECT_EQ(listing(*program), asText(routeFile(name + ".txt"))) << file;
    }
}

TEST(ProgramReader, RefusesEveryCutBeforeTheEndOfTheProgram) {
    const Bytes pgmf = routeFile("sixteen-warmup-three.pgmf");
    for (std::size_t n = 0; n < pgmf.size(); ++n) {
        const auto result = readPgmf(std::span(pgmf).first(n));
        EXPECT_EQ(result.ok(), n >= kPgmfEnd) << n;
        EXPECT_TRUE(result.ok() || !result.error().message.empty()) << n;
    }
    const Bytes pgm = routeFile("zurich-warmup-three.pgm");
    for (std::size_t n = 0; n < pgm.size(); ++n) EXPECT_EQ(readPgm(std::span(pgm).first(n)).ok(), n >= kPgmEnd) << n;
    // A cut tag is kept as trailer; a whole one as tag.
    EXPECT_TRUE(readPgm(std::span(pgm).first(kPgmEnd + 3))->tag.empty());
    EXPECT_EQ(readPgm(std::span(pgm).first(kPgmEnd + 4))->tag, std::string("VLB\xFE"));

    const Bytes rosier = readAll(dataFile("thirdparty/pgmf/gc_Rosier_test_V2.pgmf"));
    for (std::size_t n = 0; n < rosier.size(); ++n) EXPECT_FALSE(readPgmf(std::span(rosier).first(n))) << n;
}

TEST(ProgramReader, RefusesInconsistentFiles) {
    const struct {
        const char* file;
        Patch patch;
        const char* message;
    } cases[] = {
        {"sixteen-warmup-three.pgmf", {0, i16Bytes(1001)}, "file identifier 1001"},
        {"sixteen-warmup-three.pgmf", {4, i32Bytes(-1)}, "number of blocks -1 is negative"},
        {"sixteen-warmup-three.pgmf", {4, i32Bytes(1)}, "no program block"},
        {"sixteen-warmup-three.pgmf", {16, i32Bytes(69)}, "record size 69; it must be 70"},
        {"sixteen-warmup-three.pgmf", {12, i32Bytes(2)}, "holds 2 records"},
        {"sixteen-warmup-three.pgmf", {12, i32Bytes(100)}, "runs past the end"},
        {"sixteen-warmup-three.pgmf", {16, i32Bytes(-70)}, "record size -70 is negative"},
        {"sixteen-warmup-three.pgmf", {98, i32Bytes(16)}, "record size 16; it must be 12"},
        {"sixteen-warmup-three.pgmf", {94, i32Bytes(-1)}, "record count -1 is negative"},
        {"sixteen-warmup-three.pgmf", {94, i32Bytes(1000)}, "record count 1000 of 12 bytes runs past the end"},
        {"sixteen-warmup-three.pgmf", {90, i16Bytes(1010)}, "block 1010 appears twice"},
        {"sixteen-warmup-three.pgmf", {8, i16Bytes(1030)}, "no general block"},
        {"zurich-warmup-three.pgm", {0, i16Bytes(-1)}, "record count -1 is negative"},
        {"zurich-warmup-three.pgm", {0, i16Bytes(7)}, "runs past the end"},
        {"zurich-warmup-three.pgm", {82, bytesOf({200})}, "program name"},
    };
    for (const auto& c : cases) {
        const Bytes data = patched(routeFile(c.file), {c.patch});
        const auto result = std::string_view(c.file).ends_with(".pgmf") ? readPgmf(data) : readPgm(data);
        ASSERT_FALSE(result) << c.message;
        EXPECT_NE(result.error().message.find(c.message), std::string::npos) << c.message << ": " << result.error().message;
    }
}

TEST(ProgramReader, TellsV2FilesByTheirHeader) {
    const Bytes pgmf = routeFile("sixteen-warmup-three.pgmf");
    EXPECT_TRUE(looksLikePgmf(std::span(pgmf).first(4)));
    EXPECT_FALSE(looksLikePgmf(std::span(pgmf).first(3)));
    EXPECT_FALSE(looksLikePgmf(routeFile("zurich-warmup-three.pgm")));
    EXPECT_TRUE(hasPgmfHeader(pgmf));
    EXPECT_FALSE(hasPgmfHeader(routeFile("unknown-block-omega.pgmf")));  // three blocks
    EXPECT_FALSE(hasPgmfHeader(std::span(pgmf).first(15)));
}

}  // namespace
}  // namespace vb
