#include "base/Files.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/sysmacros.h>
#endif

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

/// Passes bytes on to the file until `room` is used up, then fails as a full disk does.
class FailingSink : public Sink {
public:
    FailingSink(Sink& file, std::size_t room) : m_file(file), m_room(room) {}
    Result<void> put(std::span<const std::byte> data) override {
        if (data.size() <= m_room) return m_file.put(data);
        (void)m_file.put(data.first(m_room));
        return makeError(ErrorCode::io, "No space left on device");
    }

private:
    Sink& m_file;
    std::size_t m_room;
};

TEST(ReplaceFile, AFailedWriteLeavesTheOldFileAndNoTemporary) {
    ScratchDir dir;
    const auto target = dir / "keep.pgmf";
    test::writeAll(target, "old content");
    const auto result = replaceFile(target, toBytes("new content that does not fit"),
                                    [](Sink& file) { return std::make_unique<FailingSink>(file, 3); });
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().message, "cannot write " + displayPath(target) + ": No space left on device");
    EXPECT_EQ(test::readAll(target), toBytes("old content"));
    EXPECT_EQ(entriesIn(dir.path()), 1u);
#ifndef _WIN32
    // A file size limit is such a failure too, not a signal that ends the program.
    test::FileSizeLimit limit(8);
    EXPECT_FALSE(replaceFile(target, toBytes("longer than eight bytes")));
    EXPECT_EQ(test::readAll(target), toBytes("old content"));
    EXPECT_EQ(entriesIn(dir.path()), 1u);
#endif
}

TEST(ReplaceFile, ReportsAMissingFolderOrAFolderInTheWay) {
    ScratchDir dir;
    const auto missing = replaceFile(dir / "no" / "such.rlv", toBytes("x"));
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.error().message.find("such.rlv"), std::string::npos);
    fs::create_directory(dir / "taken");
    ASSERT_FALSE(replaceFile(dir / "taken", toBytes("x")));
    EXPECT_TRUE(fs::is_directory(dir / "taken"));
    ASSERT_TRUE(saveFile(dir / "made" / "deeper" / "x.rlv", toBytes("x")));
    EXPECT_EQ(test::readAll(dir / "made" / "deeper" / "x.rlv"), toBytes("x"));
}

#ifndef _WIN32
TEST(ReplaceFile, ReplacesRegularFilesOnlyFollowsLinksAndKeepsTheMode) {
    ScratchDir dir;
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    const bool device = ::mknod((dir / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    test::writeAll(dir / "private", "secret");
    fs::permissions(dir / "private", fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink("private", dir / "link");
    fs::create_symlink("fifo", dir / "link-to-fifo");
    fs::create_symlink(dir.path(), dir / "link-to-folder");

    for (const char* special : {"fifo", "null", "link-to-fifo", "link-to-folder"}) {
        if (std::string_view(special) == "null" && !device) continue;
        const auto before = fs::status(dir / special).type();
        const auto result = replaceFile(dir / special, toBytes("x"));
        ASSERT_FALSE(result) << special;
        EXPECT_NE(result.error().message.find(special), std::string::npos) << result.error().message;
        EXPECT_EQ(fs::status(dir / special).type(), before) << special;
    }
    ASSERT_TRUE(replaceFile(dir / "link", toBytes("new")));
    EXPECT_TRUE(fs::is_symlink(dir / "link"));
    EXPECT_EQ(test::readAll(dir / "private"), toBytes("new"));
    EXPECT_EQ(fs::status(dir / "private").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(entriesIn(dir.path()), device ? 6u : 5u);  // no temporary file left
    if (!device) GTEST_SKIP() << "mknod is not permitted here; the device case was not run";
}
#endif

TEST(EnsureFolder, MakesMissingFoldersAndReportsAFileInTheWay) {
    ScratchDir dir;
    ASSERT_TRUE(ensureFolder(dir / "PGM" / "deeper"));
    EXPECT_TRUE(fs::is_directory(dir / "PGM" / "deeper"));
    ASSERT_TRUE(ensureFolder(dir / "PGM"));  // already there
    test::writeAll(dir / "PGMF", "a file");
    EXPECT_FALSE(ensureFolder(dir / "PGMF"));
}

TEST(ReadFile, ReadsRegularFilesUpToTheLimitAndRefusesOthersWithoutBlocking) {
    ScratchDir dir;
    test::writeAll(dir / "r.hrm", std::string("a\0b", 3));
    EXPECT_EQ(readFile(dir / "r.hrm", 3).value().size(), 3u);
    EXPECT_EQ(readHead(dir / "r.hrm", 2).value(), toBytes(std::string("a\0", 2)));
    EXPECT_NE(readFile(dir / "r.hrm", 2).error().message.find("more than the limit of 2 bytes"), std::string::npos);
    EXPECT_NE(readFile(dir / "none.hrm", 9).error().message.find("none.hrm"), std::string::npos);
    EXPECT_FALSE(readFile(dir.path(), 9));
#ifndef _WIN32
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_FALSE(readHead(dir / "fifo", 8));  // nobody writes to it: must not wait
#endif
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

TEST(PlainFileName, RefusesNamesThatLeaveTheFolderOrCannotTravelToWindows) {
    for (const char* good : {"abc", "Alpine Pass", "a.b", "Tour-1_x", "Zürich", "CONSOLE", "COM10", "LPTX", "NULL.rlv",
                             "Tour\xC2\xA0x", "\xE2\x82\xAC"})
        EXPECT_TRUE(isPlainFileName(good)) << good;
    const std::pair<const char*, const char*> bad[] = {
        {"", "empty"}, {".", "not a file name"}, {"..", "not a file name"},
        {"../x", "characters"}, {"a/b", "characters"}, {"a\\b", "characters"}, {"c:x", "characters"},
        {"a*", "characters"}, {"a?", "characters"}, {"a\"", "characters"}, {"a<", "characters"},
        {"a>", "characters"}, {"a|", "characters"},
        {"a\tb", "control"}, {"a\x7f", "control"}, {"Tour\xC2\x81", "control"}, {"\xC2\x9B", "control"},
        {"CON", "device"}, {"con.rlv", "device"}, {"Nul.tar.gz", "device"}, {"PRN", "device"}, {"aux", "device"},
        {"COM0", "device"}, {"com9.pgm", "device"}, {"LPT1", "device"}, {"CONIN$", "device"},
        {"conout$", "device"}, {"COM\xC2\xB9", "device"}, {"lpt\xC2\xB3.x", "device"}, {"CON .txt", "device"}};
    for (const auto& [name, rule] : bad) {
        EXPECT_FALSE(isPlainFileName(name)) << name;
        EXPECT_NE(plainFileNameProblem(name).find(rule), std::string::npos) << name << ": " << plainFileNameProblem(name);
    }
}

}  // namespace
}  // namespace vb
