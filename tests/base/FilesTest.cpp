#include "base/Files.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace vb {
namespace {

namespace fs = std::filesystem;
using test::ScratchDir;

std::size_t entriesIn(const fs::path& dir) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++n;
    return n;
}

TEST(ReplaceFile, WritesANewFileAndReplacesAnOldOneWhole) {
    ScratchDir dir;
    const auto target = dir / "a.pgm";
    ASSERT_TRUE(replaceFile(target, toBytes("a much longer first content")));
    ASSERT_TRUE(replaceFile(target, toBytes("short")));
    EXPECT_EQ(test::readAll(target), toBytes("short"));
    EXPECT_EQ(entriesIn(dir.path()), 1u);  // no temporary file left
}

TEST(ReplaceFile, AFailedWriteLeavesTheOldFileAndNoTemporary) {
    ScratchDir dir;
    const auto target = dir / "keep.pgmf";
    test::writeAll(target, "old content");
    testhooks::failWriteAfter = 3;
    const auto result = replaceFile(target, toBytes("new content that does not fit"));
    testhooks::failWriteAfter.reset();
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().code, ErrorCode::io);
    EXPECT_NE(result.error().message.find(displayPath(target)), std::string::npos);
    EXPECT_NE(result.error().message.find("No space left on device"), std::string::npos);
    EXPECT_EQ(test::readAll(target), toBytes("old content"));
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(ReplaceFile, ReportsAMissingFolderOrAFolderInTheWay) {
    ScratchDir dir;
    const auto missing = replaceFile(dir / "no" / "such.rlv", toBytes("x"));
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.error().message.find("such.rlv"), std::string::npos);
    fs::create_directory(dir / "taken");
    ASSERT_FALSE(replaceFile(dir / "taken", toBytes("x")));
    EXPECT_TRUE(fs::is_directory(dir / "taken"));
}

TEST(EnsureFolder, MakesMissingFoldersAndReportsAFileInTheWay) {
    ScratchDir dir;
    ASSERT_TRUE(ensureFolder(dir / "PGM" / "deeper"));
    EXPECT_TRUE(fs::is_directory(dir / "PGM" / "deeper"));
    ASSERT_TRUE(ensureFolder(dir / "PGM"));  // already there
    test::writeAll(dir / "PGMF", "a file");
    EXPECT_FALSE(ensureFolder(dir / "PGMF"));
}

TEST(ReadFile, ReadsBytesAndReportsMissingFiles) {
    ScratchDir dir;
    test::writeAll(dir / "r.hrm", std::string("a\0b", 3));
    auto data = readFile(dir / "r.hrm");
    ASSERT_TRUE(data);
    EXPECT_EQ(data->size(), 3u);
    auto missing = readFile(dir / "none.hrm");
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.error().message.find("none.hrm"), std::string::npos);
    EXPECT_FALSE(readFile(dir.path()));
}

TEST(JoinPath, UsesOneSeparator) {
    const std::string s(1, kPathSeparator);
    EXPECT_EQ(joinPath("base", "PGM"), "base" + s + "PGM");
    EXPECT_EQ(joinPath("base" + s, "PGM"), "base" + s + "PGM");
    EXPECT_EQ(joinPath("", "RLV"), s + "RLV");
}

TEST(Paths, ExtensionsIgnoreLetterCaseAndUtf8TextRoundTrips) {
    EXPECT_TRUE(vb::hasExtension("tour3.CAF", ".caf"));
    EXPECT_TRUE(vb::hasExtension("dir.x/tour3.ca", ".ca"));
    EXPECT_FALSE(vb::hasExtension("tour3.caf", ".ca"));
    EXPECT_FALSE(vb::hasExtension("tour3.ca.bak", ".ca"));
    EXPECT_FALSE(vb::hasExtension("pgm", ".pgm"));
    EXPECT_FALSE(vb::hasExtension("tour.pgmf", ".pgm"));
    const std::string name = "Fahrt \xc3\xbc\xc3\x9f.pgm";  // ü and ß
    EXPECT_EQ(vb::displayPath(vb::pathFromUtf8(name)), name);
    EXPECT_TRUE(vb::hasExtension(vb::pathFromUtf8(name), ".PGM"));
}

TEST(PlainFileName, RefusesNamesThatLeaveTheFolder) {
    for (const char* good : {"abc", "Alpine Pass", "a.b", "Tour-1_x", "Zürich"}) EXPECT_TRUE(isPlainFileName(good)) << good;
    for (const char* bad : {"", ".", "..", "../x", "a/b", "a\\b", "c:x", "a*", "a?", "a\"", "a<", "a>", "a|", "a\tb", "a\x7f"})
        EXPECT_FALSE(isPlainFileName(bad)) << bad;
}

}  // namespace
}  // namespace vb
