#include "base/Files.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include "support/TestSupport.h"

namespace vb {
namespace {

namespace fs = std::filesystem;
using test::ScratchDir;

std::ptrdiff_t entriesIn(const fs::path& dir) { return std::distance(fs::directory_iterator(dir), {}); }

/// A sink that fails as a full disk does.
struct FullDisk : Sink {
    Result<void> put(std::span<const std::byte>) override { return makeError(ErrorCode::io, "disk full"); }
};

TEST(ReplaceFile, ReplacesTheOldFileWholeOrLeavesItAsItWas) {
    ScratchDir dir;
    // A name outside the ANSI code page is written, read and listed as it is.
    const auto target = dir.path() / pathFromUtf8("Łódź-Straße.pgmf");
    ASSERT_TRUE(replaceFile(target, toBytes("a much longer first content")));
    ASSERT_TRUE(replaceFile(target, toBytes("old")));
    EXPECT_EQ(readFile(target, kProgramFileMax).value(), toBytes("old"));
    EXPECT_EQ(displayPath(fs::directory_iterator(dir.path())->path().filename()), "Łódź-Straße.pgmf");
    const auto failed = replaceFile(target, toBytes("new"), [](Sink&) { return std::make_unique<FullDisk>(); });
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error().message, "cannot write " + displayPath(target) + ": disk full");
    EXPECT_EQ(test::readAll(target), toBytes("old"));
#ifdef _WIN32
    // As the trainer software holds its program: open, shared for reading only. Reported, and kept.
    HANDLE held = CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const auto refused = replaceFile(target, toBytes("new"));
    CloseHandle(held);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().message.rfind("cannot write " + displayPath(target) + ": ", 0), 0u);
    EXPECT_EQ(test::readAll(target), toBytes("old"));
#endif
    EXPECT_EQ(entriesIn(dir.path()), 1);  // no temporary file left

    // A missing folder, or a folder where the file should be; saveFile makes the folders.
    EXPECT_NE(replaceFile(dir / "no" / "such.rlv", toBytes("x")).error().message.find("such.rlv"), std::string::npos);
    fs::create_directory(dir / "taken");
    ASSERT_FALSE(replaceFile(dir / "taken", toBytes("x")));
    EXPECT_TRUE(fs::is_directory(dir / "taken"));
    ASSERT_TRUE(saveFile(dir / "made" / "deeper" / "x.rlv", toBytes("x")));
    EXPECT_EQ(test::readAll(dir / "made" / "deeper" / "x.rlv"), toBytes("x"));
    EXPECT_TRUE(ensureFolder(dir / "made"));  // already there
    test::writeAll(dir / "PGMF", "a file");
    EXPECT_FALSE(ensureFolder(dir / "PGMF"));
}

#ifndef _WIN32
TEST(ReplaceFile, ReplacesRegularFilesOnlyFollowsLinksAndKeepsTheMode) {
    ScratchDir dir;
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    test::writeAll(dir / "private", "secret");
    fs::permissions(dir / "private", fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink("private", dir / "link");
    fs::create_symlink("fifo", dir / "link-to-fifo");
    fs::create_symlink(dir.path(), dir / "link-to-folder");
    for (const char* special : {"fifo", "link-to-fifo", "link-to-folder"}) {
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
    EXPECT_EQ(entriesIn(dir.path()), 5);  // no temporary file left
}
#endif

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

TEST(Paths, JoinWithOneSeparatorAndExtensionsIgnoreLetterCase) {
    const std::string s(1, kPathSeparator);
    EXPECT_EQ(joinPath("base", "PGM"), "base" + s + "PGM");
    EXPECT_EQ(joinPath("base" + s, "PGM"), "base" + s + "PGM");
    EXPECT_EQ(joinPath("", "RLV"), s + "RLV");
    for (const auto& [name, extension, has] : {std::tuple{"tour3.CAF", ".caf", true}, {"dir.x/tour3.ca", ".ca", true},
                                               {"tour3.caf", ".ca", false}, {"tour3.ca.bak", ".ca", false},
                                               {"pgm", ".pgm", false}, {"tour.pgmf", ".pgm", false}})
        EXPECT_EQ(hasExtension(name, extension), has) << name;
    EXPECT_TRUE(hasExtension(pathFromUtf8("Fahrt üß.pgm"), ".PGM"));
}

TEST(PlainFileName, RefusesNamesThatLeaveTheFolderOrCannotTravelToWindows) {
    for (const char* good : {"abc", "Alpine Pass", "a.b", "Tour-1_x", "Zürich", "CONSOLE", "COM10", "LPTX", "NULL.rlv",
                             "Tour\xC2\xA0x", "\xE2\x82\xAC"})
        EXPECT_TRUE(isPlainFileName(good)) << good;
    // A name that ends with the first byte of a C1 control: the byte after the name is not looked at.
    EXPECT_TRUE(isPlainFileName(std::string_view("Tour\xC2\x81").substr(0, 5)));
    const std::pair<const char*, const char*> bad[] = {
        {"", "empty"}, {".", "not a file name"}, {"..", "not a file name"},
        {"../x", "characters"}, {"a/b", "characters"}, {"a\\b", "characters"}, {"c:x", "characters"},
        {"a*", "characters"}, {"a?", "characters"}, {"a\"", "characters"}, {"a<", "characters"},
        {"a>", "characters"}, {"a|", "characters"},
        {"a\tb", "control"}, {"a\x7f", "control"}, {"Tour\xC2\x81", "control"}, {"\xC2\x9B", "control"},
        {"CON", "device"}, {"con.rlv", "device"}, {"Nul.tar.gz", "device"}, {"PRN", "device"}, {"aux", "device"},
        {"COM0", "device"}, {"com9.pgm", "device"}, {"LPT1", "device"}, {"CONIN$", "device"},
        {"conout$", "device"}, {"COM\xC2\xB9", "device"}, {"lpt\xC2\xB3.x", "device"}, {"CON .txt", "device"}};
    for (const auto& [name, rule] : bad)
        EXPECT_NE(plainFileNameProblem(name).find(rule), std::string::npos) << name;
}

}  // namespace
}  // namespace vb
