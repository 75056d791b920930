#include "route/ProgramWriter.h"

#include <gtest/gtest.h>

#include "base/Files.h"
#include "route/ProgramReader.h"
#include "route/RideFixture.h"
#include "support/TestSupport.h"

namespace vb {
namespace {

namespace fs = std::filesystem;

const std::string kTag = std::string("VLB") + '\xFE';

RouteSections route(Target target, std::vector<RouteSection> sections) { return {target, std::move(sections)}; }

Bytes golden(const std::string& name) { return test::readAll(test::dataFile("route/" + name)); }

ProgramFile readBack(const Bytes& bytes, Target target) {
    auto program = target == Target::catalyst ? readPgm(bytes) : readPgmf(bytes);
    EXPECT_TRUE(program.ok()) << program.error().message;
    return program.ok() ? *program : ProgramFile{};
}

// Each program against its bytes worked out by hand from the layout, and read
// back by the matching reader.
TEST(ProgramWriters, WriteTheHandComputedBytesAndReadBack) {
    struct Case {
        Target target;
        std::vector<RouteSection> sections;
        std::string name;
        bool warmup;
        std::string golden;
    };
    const Case cases[] = {
        {Target::catalyst, {{0.1, 3.0}}, "abc", false, "abc-one-section.pgm"},
        {Target::catalyst, {{0.1, 9}, {0.2, -4}, {0.1, 0.5}}, "Zürich", true, "zurich-warmup-three.pgm"},
        {Target::catalyst, {}, "abc", false, "abc-empty.pgm"},
        {Target::catalyst, {}, "abc", true, "abc-empty-warmup.pgm"},
        {Target::fortius, {{0.1f, 3.0f}}, "abc", false, "abc-one-section.pgmf"},
        {Target::fortius, {{0.1f, 20}, {0.3f, -5}, {0.1f, 1.25f}}, "abcdefghijklmnop", true, "sixteen-warmup-three.pgmf"},
        {Target::fortius, {}, "abc", false, "abc-empty.pgmf"},
        {Target::fortius, {}, "abc", true, "abc-empty-warmup.pgmf"},
    };
    for (const auto& c : cases) {
        const auto create = c.target == Target::catalyst ? Create_Catalyst : Create_Fortius;
        auto bytes = create(route(c.target, c.sections), c.name, c.warmup, kTag, ProgramVersion);
        ASSERT_TRUE(bytes) << c.golden;
        EXPECT_EQ(*bytes, golden(c.golden)) << c.golden << ": " << test::hex(*bytes);
        const ProgramFile back = readBack(*bytes, c.target);
        EXPECT_EQ(back.name, c.name) << c.golden;
        EXPECT_EQ(back.type, 1);
        EXPECT_EQ(back.mode, 1);
        EXPECT_EQ(back.tag, kTag);
        EXPECT_EQ(back.trailer, "created by Velobridge - Version0.6a");
        const std::size_t warm = c.warmup ? 1 : 0;
        ASSERT_EQ(back.sections.size(), c.sections.size() + warm) << c.golden;
        const double unit = c.target == Target::fortius ? 1000 : 1;
        if (c.warmup) {
            EXPECT_EQ(back.sections[0].distance, 2 * unit);
        }
        for (std::size_t i = 0; i < c.sections.size(); ++i) {
            const auto& s = c.sections[i];
            const double length = c.target == Target::fortius ? double(float(s.length)) * 1000 : s.length;
            EXPECT_NEAR(back.sections[i + warm].distance, length, 1e-3) << c.golden << " " << i;
            EXPECT_EQ(back.sections[i + warm].value, c.target == Target::fortius ? double(float(s.slope)) : s.slope);
        }
    }
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
    EXPECT_EQ(pgm->bytes, golden("climb-metric-warmup.pgm")) << test::hex(pgm->bytes);

    // Imperial, 10 s: 360 tenths of mph is 160.9 m a row; 100 ft is 30.48 m. Sections 0, 20
    // (carrying 10.48), 10.48, 0, 0, 0; the last three join.
    const RideRecord imperial =
        test::makeRide({{"360", "0"}, {"360", "100"}, {"360", "100"}, {"360", "100"}, {"360", "100"}}, "miles/feet", "10");
    settings.add_warmup = 0;
    settings.join_slopes = 1;
    auto pgmf = buildProgram(imperial, programRequest(settings, Target::fortius, 0, 100, "hill"));
    ASSERT_TRUE(pgmf) << pgmf.error().message;
    EXPECT_EQ(pgmf->bytes, golden("hill-imperial-joined.pgmf")) << test::hex(pgmf->bytes);

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
