#include "route/ProgramWriter.h"

#include <gtest/gtest.h>

#include "base/Files.h"
#include "route/Fixtures.h"

namespace vb {
namespace {

namespace fs = std::filesystem;

using test::routeFile;

const std::string kTag = std::string("VLB") + '\xFE';

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
        auto bytes = (catalyst ? Create_Catalyst : Create_Fortius)({c.target, c.sections}, c.name, c.warmup, kTag, ProgramVersion);
        ASSERT_TRUE(bytes);
        EXPECT_EQ(*bytes, routeFile(c.golden)) << test::hex(*bytes);
        const auto back = catalyst ? readPgm(*bytes) : readPgmf(*bytes);
        ASSERT_TRUE(back) << back.error().message;
        EXPECT_EQ(test::listing(*back), asText(routeFile(c.golden + ".txt")));
    }
}

TEST(ProgramWriters, RefuseNamesAndTagsThatDoNotFit) {
    for (auto create : {Create_Catalyst, Create_Fortius}) {
        EXPECT_FALSE(create({}, "abcdefghijklmnopq", false, kTag, ProgramVersion));
        EXPECT_FALSE(create({}, "abc", false, "VLB", ProgramVersion));
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
    test::ScratchDir dir;
    Settings settings;
    settings.my_path = dir.path().string();
    // Metric, 5 s, 50 m a row: +15 m cut to 9 carrying 6, after the warm-up.
    settings.add_warmup = 1;
    const RideRecord metric = test::ride50m({100, 115, 115, 115});
    const auto pgm = writeProgram(metric, programRequest(settings, Target::catalyst, 0, 100, "climb"), settings);
    ASSERT_TRUE(pgm) << pgm.error().message;
    EXPECT_EQ(std::pair(pgm->path, pgm->records), std::pair(dir / "PGM" / "climb.pgm", 3));
    EXPECT_EQ(test::readAll(pgm->path), routeFile("climb-metric-warmup.pgm"));

    // Imperial, 10 s: 360 tenths of mph is 160.9 m a row; 100 ft is 30.48 m. Sections 0, 20
    // (carrying 10.48), 10.48, 0, 0, 0; the last three join.
    const RideRecord imperial =
        test::makeRide({{"360", "0"}, {"360", "100"}, {"360", "100"}, {"360", "100"}, {"360", "100"}}, "miles/feet", "10");
    settings.add_warmup = 0;
    settings.join_slopes = 1;
    const auto pgmf = writeProgram(imperial, programRequest(settings, Target::fortius, 0, 100, "hill"), settings);
    ASSERT_TRUE(pgmf) << pgmf.error().message;
    EXPECT_EQ(std::pair(pgmf->path, pgmf->records), std::pair(dir / "PGMF" / "hill.pgmf", 4));
    EXPECT_EQ(test::readAll(pgmf->path), routeFile("hill-imperial-joined.pgmf"));

    // Nothing is written, not even a folder, when the route is refused.
    test::ScratchDir empty;
    settings.my_path = empty.path().string();
    settings.cat_dist_step = "0";
    EXPECT_FALSE(writeProgram(metric, programRequest(settings, Target::catalyst, 0, 100, "climb"), settings));
    EXPECT_FALSE(writeProgram(metric, programRequest(settings, Target::fortius, 0, 0, "climb"), settings));  // no distance
    EXPECT_TRUE(fs::is_empty(empty.path()));
}

}  // namespace
}  // namespace vb
