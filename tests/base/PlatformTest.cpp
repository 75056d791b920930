#include "base/Platform.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

#include "base/Files.h"
#include "support/TestSupport.h"

namespace vb {
namespace {

namespace fs = std::filesystem;
using test::ScratchDir;

TEST(Platform, NamesOutsideTheAnsiCodePageAreWrittenReadAndListed) {
    ScratchDir dir;
    const fs::path target = dir.path() / pathFromUtf8("Łódź-Straße.pgmf");
    ASSERT_TRUE(replaceFile(target, toBytes("first")));
    ASSERT_TRUE(replaceFile(target, toBytes("second")));
    auto read = readFile(target, kProgramFileMax);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(*read, toBytes("second"));
    const auto entry = *fs::directory_iterator(dir.path());
    EXPECT_EQ(displayPath(entry.path().filename()), "Łódź-Straße.pgmf");
}

TEST(Platform, ATargetHeldOpenByAnotherProgramIsReportedAndKept) {
#ifndef _WIN32
    GTEST_SKIP() << "on Windows only: elsewhere a rename replaces a file that is open";
#else
    ScratchDir dir;
    const fs::path target = dir / "held.pgmf";
    ASSERT_TRUE(replaceFile(target, toBytes("old")));
    // As the trainer software holds its program: open, shared for reading only.
    HANDLE held = CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const auto refused = replaceFile(target, toBytes("new"));
    CloseHandle(held);
    ASSERT_FALSE(refused.ok());
    const std::string& message = refused.error().message;
    EXPECT_EQ(message.rfind("cannot write " + displayPath(target) + ": ", 0), 0u) << message;
    EXPECT_GT(message.size(), ("cannot write " + displayPath(target) + ": ").size()) << "a reason is given";
    EXPECT_EQ(test::readAll(target), toBytes("old"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1) << "no temporary file left";
    EXPECT_TRUE(replaceFile(target, toBytes("new")).ok()) << "free again once closed";
#endif
}

}  // namespace
}  // namespace vb
