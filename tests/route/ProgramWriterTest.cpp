#include "route/ProgramWriter.h"

#include <gtest/gtest.h>

#include "base/Files.h"
#include "route/ProgramReader.h"
#include "route/RideFixture.h"
#include "support/TestSupport.h"

namespace vb {
namespace {

namespace fs = std::filesystem;
using test::bytesOf;
using test::f32Bytes;
using test::f64Bytes;
using test::hex;
using test::operator+;

const std::string kTag = std::string("VLB") + '\xFE';
const Bytes kTagBytes = bytesOf({0x56, 0x4C, 0x42, 0xFE});
const Bytes kTrailer = toBytes("created by Velobridge - Version0.6a");

Bytes zeros(std::size_t n) { return Bytes(n, std::byte{0}); }
Bytes i32Bytes(int v) { return bytesOf({v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF, (v >> 24) & 0xFF}); }

RouteSections route(Target target, std::vector<RouteSection> sections) { return {target, std::move(sections)}; }

// The 102 bytes before the program records, written out from the layout.
Bytes pgmfHead(const Bytes& nameUnits, int records) {
    return bytesOf({0xE8, 0x03, 0x64, 0x00, 0x02, 0x00, 0x00, 0x00,               // file header
                    0xF2, 0x03, 0x64, 0x00, 0x01, 0x00, 0x00, 0x00, 0x46, 0x00, 0x00, 0x00}) +  // general block
           kTagBytes + nameUnits + zeros(34 - nameUnits.size()) + i32Bytes(1) + i32Bytes(1) + zeros(24) +
           bytesOf({0xFC, 0x03, 0x64, 0x00}) + i32Bytes(records) + bytesOf({0x0C, 0x00, 0x00, 0x00});
}

Bytes pgmfRecord(float metres, float slope) { return f32Bytes(metres) + f32Bytes(slope) + bytesOf({0, 0, 0x80, 0x40}); }
Bytes pgmRecord(double km, double slope) { return f64Bytes(km) + f64Bytes(slope) + zeros(4); }
Bytes pgmTail(std::string_view name) {
    return bytesOf({static_cast<int>(name.size())}) + toBytes(name) + i32Bytes(1) + i32Bytes(1) + kTagBytes + kTrailer;
}

ProgramFile readBack(const Bytes& bytes, Target target) {
    auto program = target == Target::catalyst ? readPgm(bytes) : readPgmf(bytes);
    EXPECT_TRUE(program.ok()) << program.error().message;
    return program.ok() ? *program : ProgramFile{};
}

TEST(CatalystWriter, WritesTheWorkedExampleByteForByte) {
    auto bytes = Create_Catalyst(route(Target::catalyst, {{0.1, 3.0}}), "abc", false, kTag, ProgramVersion);
    ASSERT_TRUE(bytes);
    const Bytes expected = bytesOf({0x01, 0x00, 0x9A, 0x99, 0x99, 0x99, 0x99, 0x99, 0xB9, 0x3F,  // 1, 0.1
                                    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0x40,              // 3.0
                                    0x00, 0x00, 0x00, 0x00, 0x03, 0x61, 0x62, 0x63,              // 0, "abc"
                                    0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00,              // slope, distance
                                    0x56, 0x4C, 0x42, 0xFE}) +
                           kTrailer;
    EXPECT_EQ(*bytes, expected) << hex(*bytes);

    const ProgramFile back = readBack(*bytes, Target::catalyst);
    EXPECT_EQ(back.name, "abc");
    EXPECT_EQ(back.type, 1);
    EXPECT_EQ(back.mode, 1);
    EXPECT_EQ(back.tag, kTag);
    ASSERT_EQ(back.sections.size(), 1u);
    EXPECT_EQ(back.sections[0].distance, 0.1);
    EXPECT_EQ(back.sections[0].value, 3.0);
}

TEST(CatalystWriter, PutsTheWarmupFirstAndWritesEmptyRoutesWhole) {
    const auto three = route(Target::catalyst, {{0.1, 9}, {0.2, -4}, {0.1, 0.5}});
    auto bytes = Create_Catalyst(three, "Zürich", true, kTag, ProgramVersion);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, bytesOf({4, 0}) + pgmRecord(2.0, 0) + pgmRecord(0.1, 9) + pgmRecord(0.2, -4) +
                          pgmRecord(0.1, 0.5) + pgmTail("Z\xFCrich"))
        << hex(*bytes);
    EXPECT_EQ(readBack(*bytes, Target::catalyst).name, "Zürich");

    auto empty = Create_Catalyst(route(Target::catalyst, {}), "abc", false, kTag, ProgramVersion);
    ASSERT_TRUE(empty);
    EXPECT_EQ(*empty, bytesOf({0, 0}) + pgmTail("abc"));
    EXPECT_EQ(empty->size(), 2 + 1 + 3 + 4 + 4 + 4 + kTrailer.size());
    auto warm = Create_Catalyst(route(Target::catalyst, {}), "abc", true, kTag, ProgramVersion);
    ASSERT_TRUE(warm);
    EXPECT_EQ(*warm, bytesOf({1, 0}) + pgmRecord(2.0, 0) + pgmTail("abc"));
}

TEST(FortiusWriter, LaysOutTheBlocksAndRecords) {
    auto bytes = Create_Fortius(route(Target::fortius, {{0.1f, 3.0f}}), "abc", false, kTag, ProgramVersion);
    ASSERT_TRUE(bytes);
    const Bytes abc = bytesOf({0x61, 0, 0x62, 0, 0x63, 0});
    EXPECT_EQ(*bytes, pgmfHead(abc, 1) + bytesOf({0, 0, 0xC8, 0x42, 0, 0, 0x40, 0x40, 0, 0, 0x80, 0x40}) + kTrailer)
        << hex(*bytes);

    const auto three = route(Target::fortius, {{0.1f, 20}, {0.3f, -5}, {0.1f, 1.25f}});
    auto warm = Create_Fortius(three, "abcdefghijklmnop", true, kTag, ProgramVersion);
    ASSERT_TRUE(warm);
    const Bytes sixteen = toBytes(std::string("a\0b\0c\0d\0e\0f\0g\0h\0i\0j\0k\0l\0m\0n\0o\0p\0", 32));
    EXPECT_EQ(*warm, pgmfHead(sixteen, 4) + bytesOf({0, 0, 0xFA, 0x44, 0, 0, 0, 0, 0, 0, 0x80, 0x40}) +
                         pgmfRecord(100, 20) + pgmfRecord(300, -5) + pgmfRecord(100, 1.25f) + kTrailer)
        << hex(*warm);
    EXPECT_EQ((*warm)[56], std::byte{0});  // the name field ends in a zero unit
    EXPECT_EQ((*warm)[90], std::byte{0xFC});

    const ProgramFile back = readBack(*warm, Target::fortius);
    EXPECT_EQ(back.name, "abcdefghijklmnop");
    EXPECT_EQ(back.tag, kTag);
    EXPECT_EQ(back.trailer, "created by Velobridge - Version0.6a");
    ASSERT_EQ(back.sections.size(), 4u);
    EXPECT_EQ(back.sections[0].distance, 2000.0);
    EXPECT_EQ(back.sections[2].distance, 300.0);
    EXPECT_EQ(back.sections[2].value, -5.0);
    EXPECT_EQ(back.sections[3].third, 4.0);

    auto empty = Create_Fortius(route(Target::fortius, {}), "abc", false, kTag, ProgramVersion);
    ASSERT_TRUE(empty);
    EXPECT_EQ(*empty, pgmfHead(abc, 0) + kTrailer);
    auto emptyWarm = Create_Fortius(route(Target::fortius, {}), "abc", true, kTag, ProgramVersion);
    ASSERT_TRUE(emptyWarm);
    EXPECT_EQ(*emptyWarm, pgmfHead(abc, 1) + pgmfRecord(2000, 0) + kTrailer);
}

TEST(ProgramWriters, RefuseNamesThatDoNotFitAndWriteOthersInTheCodePage) {
    for (auto create : {Create_Catalyst, Create_Fortius}) {
        EXPECT_FALSE(create(route(Target::fortius, {}), "abcdefghijklmnopq", false, kTag, ProgramVersion));
        EXPECT_FALSE(create(route(Target::fortius, {}), "abc", false, "VLB", ProgramVersion));
        auto omega = create(route(Target::fortius, {}), "Ω-Tour", false, kTag, ProgramVersion);
        ASSERT_TRUE(omega);
        const auto back = looksLikePgmf(*omega) ? readPgmf(*omega) : readPgm(*omega);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->name, "?-Tour");
    }
    EXPECT_TRUE(checkProgramName("Col du Galibier"));
    for (const char* bad : {"", "a/b", "a\\b", "..", ".", "c:x", "a*b", "a?", "a\"b", "<a>", "a|b", "a\tb",
                            "abcdefghijklmnopq", "a\x7f", "Tour\xC2\x81", "CON", "lpt1.pgm"}) {
        auto checked = checkProgramName(bad);
        ASSERT_FALSE(checked) << bad;
        EXPECT_EQ(checked.error().message.rfind("Incorrect Filename!!!\nthe name ", 0), 0u) << checked.error().message;
    }
    EXPECT_TRUE(checkProgramName("Zürich-Ötztal-Sü"));  // 16 characters, more bytes
}

// Programs built from a ride, against bytes worked out by hand from the samples.
TEST(ProgramFromRide, MatchesHandComputedBytesForBothTargets) {
    // Metric, 5 s, 50 m a row: +15 m cut to 9 carrying 6.
    const RideRecord metric = test::ride50m({100, 115, 115, 115});
    Settings settings;
    settings.add_warmup = 1;
    auto pgm = buildProgram(metric, programRequest(settings, Target::catalyst, 0, 100, "climb"));
    ASSERT_TRUE(pgm) << pgm.error().message;
    EXPECT_EQ(pgm->records, 3);
    EXPECT_EQ(pgm->bytes, bytesOf({3, 0}) + pgmRecord(2.0, 0) + pgmRecord(0.1, 9) + pgmRecord(0.1, 6) +
                              pgmTail("climb"))
        << hex(pgm->bytes);

    // Imperial, 10 s: 360 tenths of mph is 160.9 m a row; 100 ft is 30.48 m. Sections 0, 20
    // (carrying 10.48), 10.48, 0, 0, 0; the last three join.
    const RideRecord imperial =
        test::makeRide({{"360", "0"}, {"360", "100"}, {"360", "100"}, {"360", "100"}, {"360", "100"}}, "miles/feet", "10");
    settings.add_warmup = 0;
    settings.join_slopes = 1;
    auto pgmf = buildProgram(imperial, programRequest(settings, Target::fortius, 0, 100, "hill"));
    ASSERT_TRUE(pgmf) << pgmf.error().message;
    EXPECT_EQ(pgmf->bytes, pgmfHead(bytesOf({'h', 0, 'i', 0, 'l', 0, 'l', 0}), 4) + pgmfRecord(100, 0) +
                               pgmfRecord(100, 20) + pgmfRecord(100, 10.48f) + pgmfRecord(300, 0) + kTrailer)
        << hex(pgmf->bytes);

    // The same ride without joining, as a CATALYST program with its own limits.
    settings.join_slopes = 0;
    auto plain = buildProgram(imperial, programRequest(settings, Target::catalyst, 0, 100, "hill"));
    ASSERT_TRUE(plain);
    const auto back = readBack(plain->bytes, Target::catalyst);
    ASSERT_EQ(back.sections.size(), 6u);
    const double slopes[] = {0, 9, 9, 9, 3.48, 0};
    for (std::size_t i = 0; i < 6; ++i) EXPECT_NEAR(back.sections[i].value, slopes[i], 1e-9) << i;
}

TEST(ProgramFile, WritesIntoItsWorkingFolderAndReplacesWhole) {
    test::ScratchDir dir;
    Settings settings;
    settings.my_path = dir.path().string();
    const RideRecord ride = test::ride50m({100, 115, 115, 115});

    auto catalyst = writeProgram(ride, programRequest(settings, Target::catalyst, 0, 100, "Ride 1"), settings);
    ASSERT_TRUE(catalyst) << catalyst.error().message;
    EXPECT_EQ(catalyst->path, dir / "PGM" / "Ride 1.pgm");
    EXPECT_EQ(catalyst->records, 2);
    auto fortius = writeProgram(ride, programRequest(settings, Target::fortius, 0, 100, "Ride 1"), settings);
    ASSERT_TRUE(fortius);
    EXPECT_EQ(fortius->path, dir / "PGMF" / "Ride 1.pgmf");
    EXPECT_EQ(readPgmf(test::readAll(fortius->path))->sections.size(), 2u);

    // A shorter route replaces the file whole.
    ASSERT_TRUE(writeProgram(ride, programRequest(settings, Target::catalyst, 0, 2, "Ride 1"), settings));
    const auto replaced = readPgm(test::readAll(catalyst->path));
    ASSERT_TRUE(replaced);
    EXPECT_EQ(replaced->sections.size(), 1u);
    EXPECT_EQ(replaced->trailer, "created by Velobridge - Version0.6a");
}

TEST(ProgramFile, RefusesBeforeWritingAndKeepsTheOldFileOnFailure) {
    test::ScratchDir dir;
    Settings settings;
    settings.my_path = dir.path().string();
    const RideRecord ride = test::ride50m({100, 115, 115, 115});

    for (const char* bad : {"../escape", ""}) {
        auto result = writeProgram(ride, programRequest(settings, Target::fortius, 0, 100, bad), settings);
        ASSERT_FALSE(result) << bad;
        EXPECT_EQ(result.error().message.rfind("Incorrect Filename!!!", 0), 0u);
    }
    settings.cat_dist_step = "0";
    auto zeroStep = writeProgram(ride, programRequest(settings, Target::catalyst, 0, 100, "abc"), settings);
    ASSERT_FALSE(zeroStep);
    EXPECT_TRUE(fs::is_empty(dir.path()));  // not even a folder was made
    settings.cat_dist_step = "100";

    test::writeAll(dir / "PGMF", "a file where the folder should be");
    auto blocked = writeProgram(ride, programRequest(settings, Target::fortius, 0, 100, "abc"), settings);
    ASSERT_FALSE(blocked);
    EXPECT_NE(blocked.error().message.find("PGMF"), std::string::npos) << blocked.error().message;
}

}  // namespace
}  // namespace vb
