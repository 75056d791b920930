#include "route/ProgramReader.h"
#include "route/ProgramWriter.h"

#include <gtest/gtest.h>

#include "base/Files.h"
#include "route/Fixtures.h"

namespace vb {
namespace {

using namespace test;

const std::string kTag = std::string("VLB") + '\xFE';

/// A program as text: name, type, mode, tag bytes and trailer, then one line a
/// section (distance, value, third field), numbers to 9 significant digits.
std::string listing(const ProgramFile& program) {
    std::string out = program.name + ": type " + std::to_string(program.type) + ", mode " +
                      std::to_string(program.mode) + ", tag " + hex(toBytes(program.tag)) + ", trailer \"" +
                      program.trailer + "\"\n";
    for (const auto& s : program.sections)
        out += significant(s.distance, 9) + " " + significant(s.value, 9) + " " + significant(s.third, 9) + "\n";
    return out;
}

// Programs of tests/data/route, laid out by hand: zurich-warmup-three.pgm holds
// four sections and the name "Zürich" (six bytes); sixteen-warmup-three.pgmf
// four sections and a 16-character name. The listings (NAME.txt) were worked
// out from the bytes independently of the reader.
constexpr std::size_t kPgmEnd = 2 + 4 * 20 + 1 + 6 + 8, kPgmfEnd = 102 + 4 * 12;

TEST(ProgramReader, ReadsTheHandComputedListing) {
    // Third fields in the other byte order (Andalusia) do not matter. unknown-block-omega.pgmf holds a third
    // block (1030, two records of five bytes) before the program block, and UTF-16 units in the name:
    // Ω and Ā are taken as code points, a lone surrogate as "?".
    for (const std::string file : {"thirdparty/pgmf/gc_Rosier_test_V2.pgmf", "thirdparty/pgmf/gc_warmup.pgmf",
                                   "thirdparty/pgmf/in_ES_Andalusia-1.pgmf", "route/unknown-block-omega.pgmf"}) {
        const auto program = readPgmf(readAll(dataFile(file)));
        ASSERT_TRUE(program.ok()) << file << ": " << program.error().message;
        EXPECT_EQ(listing(*program), asText(routeFile(file.substr(file.rfind('/') + 1) + ".txt"))) << file;
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
    EXPECT_EQ(readPgm(std::span(pgm).first(kPgmEnd + 4))->tag, kTag);
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
    EXPECT_TRUE(looksLikePgmf(std::span(pgmf).first(4)) && hasPgmfHeader(pgmf));
    EXPECT_FALSE(looksLikePgmf(std::span(pgmf).first(3)) || looksLikePgmf(routeFile("zurich-warmup-three.pgm")));
    EXPECT_FALSE(hasPgmfHeader(routeFile("unknown-block-omega.pgmf")));  // three blocks
    EXPECT_FALSE(hasPgmfHeader(std::span(pgmf).first(15)));
}

// Each program against its bytes worked out by hand from the layout, and read
// back by the matching reader against the listing worked out from those bytes.
TEST(ProgramWriters, WriteTheHandComputedBytesAndReadBack) {
    const struct {
        Target target;
        std::vector<RouteSection> sections;
        std::string name;
        bool warmup;
        std::string golden;
    } cases[] = {
        {Target::catalyst, {{0.1, 3.0}}, "abc", false, "abc-one-section.pgm"},
        {Target::catalyst, {{0.1, 9}, {0.2, -4}, {0.1, 0.5}}, "Zürich", true, "zurich-warmup-three.pgm"},
        {Target::catalyst, {}, "abc", false, "abc-empty.pgm"},
        {Target::catalyst, {}, "abc", true, "abc-empty-warmup.pgm"},
        {Target::fortius, {{0.1f, 3.0f}}, "abc", false, "abc-one-section.pgmf"},
        {Target::fortius, {{0.1f, 20}, {0.3f, -5}, {0.1f, 1.25f}}, "abcdefghijklmnop", true, "sixteen-warmup-three.pgmf"},
        {Target::fortius, {}, "abc", false, "abc-empty.pgmf"},
        {Target::fortius, {}, "abc", true, "abc-empty-warmup.pgmf"},
        // A name outside the code page is written with "?".
        {Target::catalyst, {}, "Ω-Tour", false, "omega-empty.pgm"},
        {Target::fortius, {}, "Ω-Tour", false, "omega-empty.pgmf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.golden);
        const bool catalyst = c.target == Target::catalyst;
        const auto create = catalyst ? Create_Catalyst : Create_Fortius;
        auto bytes = create({c.target, c.sections}, c.name, c.warmup, kTag, ProgramVersion);
        ASSERT_TRUE(bytes);
        EXPECT_EQ(*bytes, routeFile(c.golden)) << hex(*bytes);
        const auto back = catalyst ? readPgm(*bytes) : readPgmf(*bytes);
        ASSERT_TRUE(back) << back.error().message;
        EXPECT_EQ(listing(*back), asText(routeFile(c.golden + ".txt")));
    }
}

TEST(ProgramWriters, RefuseNamesTagsAndRoutesThatDoNotFit) {
    for (auto create : {Create_Catalyst, Create_Fortius}) {
        EXPECT_FALSE(create({}, "abcdefghijklmnopq", false, kTag, ProgramVersion));
        EXPECT_FALSE(create({}, "abc", false, "VLB", ProgramVersion));
        EXPECT_TRUE(create({Target::catalyst, std::vector<RouteSection>(4000)}, "abc", false, kTag, ProgramVersion));
        EXPECT_FALSE(create({Target::catalyst, std::vector<RouteSection>(4001)}, "abc", false, kTag, ProgramVersion));
    }
    EXPECT_TRUE(checkProgramName("Zürich-Ötztal-Sü"));  // 16 characters, more bytes
    for (const char* bad : {"abcdefghijklmnopq", "a/b", ""}) {
        auto checked = checkProgramName(bad);
        ASSERT_FALSE(checked) << bad;
        EXPECT_EQ(checked.error().message.rfind("Incorrect Filename!!!\nthe name ", 0), 0u) << checked.error().message;
    }
}

// Programs written from a ride into their working folders, against bytes
// worked out by hand from the samples.
TEST(ProgramFile, WritesTheHandComputedProgramIntoItsWorkingFolder) {
    ScratchDir dir;
    Settings settings;
    settings.my_path = dir.path().string();
    const RideRecord metric = ride50m({"100", "115", "115", "115"});
    // Nothing is written, not even a folder, when the route is refused.
    settings.cat_dist_step = "0";
    EXPECT_FALSE(writeProgram(metric, programRequest(settings, Target::catalyst, 0, 100, "climb"), settings));
    EXPECT_FALSE(writeProgram(metric, programRequest(settings, Target::fortius, 0, 0, "climb"), settings));  // no distance
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    settings.cat_dist_step = "100";

    // Metric, 5 s, 50 m a row: +15 m cut to 9 carrying 6, after the warm-up.
    settings.add_warmup = 1;
    const auto pgm = writeProgram(metric, programRequest(settings, Target::catalyst, 0, 100, "climb"), settings);
    ASSERT_TRUE(pgm) << pgm.error().message;
    EXPECT_EQ(std::pair(pgm->path, pgm->records), std::pair(dir / "PGM" / "climb.pgm", 3));
    EXPECT_EQ(readAll(pgm->path), routeFile("climb-metric-warmup.pgm"));

    // Imperial, 10 s: 360 tenths of mph is 160.9 m a row; 100 ft is 30.48 m. Sections 0, 20
    // (carrying 10.48), 10.48, 0, 0, 0; the last three join.
    const RideRecord imperial =
        makeRide({{"360", "0"}, {"360", "100"}, {"360", "100"}, {"360", "100"}, {"360", "100"}}, "miles/feet", "10");
    settings.add_warmup = 0;
    settings.join_slopes = 1;
    const auto pgmf = writeProgram(imperial, programRequest(settings, Target::fortius, 0, 100, "hill"), settings);
    ASSERT_TRUE(pgmf) << pgmf.error().message;
    EXPECT_EQ(std::pair(pgmf->path, pgmf->records), std::pair(dir / "PGMF" / "hill.pgmf", 4));
    EXPECT_EQ(readAll(pgmf->path), routeFile("hill-imperial-joined.pgmf"));
}

}  // namespace
}  // namespace vb
