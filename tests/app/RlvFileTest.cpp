#include "app/RlvFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "support/TestSupport.h"

namespace vb {
namespace {

using test::bytesOf;

// alpine-pass.rlv: blocks 2010 at 8 (its video name from 20), 2020 at 554, 2030 at 590, 2040 at 602; 1210 bytes.
const Bytes kGolden = test::readAll(test::dataFile("app/alpine-pass.rlv"));

RlvScript alpinePass() {
    RecordingPrompter prompter;
    return Load_RLV_Script(test::readAll(test::dataFile("app/alpine-pass.vlb")), "1000", prompter);
}

TEST(RlvFile, WritesTheFourBlocksByteForByteAndReadsThemBack) {
    const RlvScript script = alpinePass();
    const Bytes written = Create_RLV(script).value();
    EXPECT_EQ(test::hex(written), test::hex(kGolden));
    const auto file = readRlv(written);
    ASSERT_TRUE(file.ok()) << file.error().message;
    EXPECT_EQ(file->version, 100);
    ASSERT_EQ(file->blocks.size(), 4u);
    EXPECT_EQ(file->videoName, "Alpine Pass.avi");
    EXPECT_EQ(file->frameRate, 25.0f);
    ASSERT_EQ(file->frames.size(), 3u);
    for (std::size_t n = 1; n <= 3; ++n) {
        EXPECT_EQ(file->frames[n - 1].frame, script.rlv_frame[n]);
        EXPECT_EQ(file->frames[n - 1].factor, script.rlv_factor[n]);
    }
    ASSERT_EQ(file->courses.size(), 1u);
    EXPECT_EQ(file->courses[0].text, "Velobridge");
    EXPECT_EQ(file->courses[0].end, 0.0f);

    // cote-d-azur.rlv: 30 fps, a name of 16 characters with one of Windows-1252, no frame lines.
    RlvScript other;
    other.rlv_fps = 30.0f;
    other.rlv_name = "C\xC3\xB4te d'Azur 2019";
    EXPECT_EQ(test::hex(*Create_RLV(other)), test::hex(test::readAll(test::dataFile("app/cote-d-azur.rlv"))));
    other.rlv_count = kMaxFrameLines;
    EXPECT_EQ(Create_RLV(other)->size(), 1186u + 8 * kMaxFrameLines);
    other.rlv_count = kMaxFrameLines + 1;
    EXPECT_FALSE(Create_RLV(other).ok());
    other.rlv_count = 0;
    other.rlv_name = "C\xC3\xB4te d'Azur 2019!";  // 17 characters: one more than a script's name can have
    EXPECT_FALSE(Create_RLV(other).ok());
}

TEST(RlvFile, PatchedFilesAreRefusedOrReadAsTheyStand) {
    // A patch, part of the refusal's message (nullptr when the file reads) and the video name read.
    const std::tuple<test::Patch, const char*, std::string> cases[] = {
        {{0, bytesOf({0xD1})}, "file id 2001", ""},
        {{4, bytesOf({0xFF, 0xFF, 0xFF, 0xFF})}, "negative", ""},
        {{558, bytesOf({0xFF, 0xFF, 0xFF, 0xFF})}, "record count -1", ""},
        {{606, bytesOf({2})}, "length 1192 exceeds 596 remaining", ""},
        {{558, bytesOf({0xFF, 0xFF, 0xFF, 0x7F})}, "exceeds 644 remaining", ""},
        {{16, bytesOf({100, 0})}, "record size 100 is below 526", ""},
        {{12, bytesOf({2})}, "holds 2 records", ""},
        {{562, bytesOf({4})}, "record size 4 is below 8", ""},
        {{610, bytesOf({6, 0})}, "record size 6 is below 8", ""},
        {{1210, bytesOf({0})}, "1 bytes after the last block", ""},
        {{8, bytesOf({0x02, 0x08})}, nullptr, ""},  // the video block under an unknown id is passed over whole
        // UTF-16 pairs D83D DE00 and D800 DC00, a lone D800 before "A", then the rest of "Alpine Pass.avi".
        {{20, bytesOf({0x3D, 0xD8, 0x00, 0xDE, 0x00, 0xD8, 0x00, 0xDC, 0x00, 0xD8, 0x41, 0x00})}, nullptr,
         "\xF0\x9F\x98\x80\xF0\x90\x80\x80\xEF\xBF\xBD" "A Pass.avi"},
    };
    for (const auto& [patch, refusal, videoName] : cases) {
        SCOPED_TRACE(patch.offset);
        const Bytes data = test::patched(kGolden, {patch});
        EXPECT_EQ(looksLikeRlv(data), patch.offset != 0);
        const auto read = readRlv(data);
        ASSERT_EQ(read.ok(), refusal == nullptr);
        if (!read) {
            EXPECT_NE(read.error().message.find(refusal), std::string::npos) << read.error().message;
            continue;
        }
        EXPECT_EQ(read->blocks.size(), 4u);
        EXPECT_EQ(read->videoName, videoName);
        ASSERT_EQ(read->frames.size(), 3u);
        EXPECT_EQ(read->frames[1].frame, 2500);
    }
}

TEST(RlvFile, ReadsAFileMadeByAnotherProgramButNoPrefixOfIt) {
    const Bytes data = test::readAll(test::dataFile("thirdparty/rlv/in_ES_Andalusia-1.rlv"));
    const auto file = readRlv(data);
    ASSERT_TRUE(file.ok()) << file.error().message;
    EXPECT_EQ(file->videoName, "D:\\RLV-Training\\RLV\\ES_Andalusia-1\\ES_Andalusia-1.avi");
    EXPECT_EQ(file->frameRate, 25.0f);
    ASSERT_EQ(file->frames.size(), 1066u);
    EXPECT_NEAR(file->frames[0].factor, 0.213f, 1e-6);
    EXPECT_EQ(file->frames[1].frame, 476);
    ASSERT_EQ(file->courses.size(), 3u);
    EXPECT_EQ(file->courses[0].text, "Total distance");
    EXPECT_NEAR(file->courses[0].end, 36208.2f, 0.05f);
    EXPECT_EQ(file->courses[2].text, "Part II");
    for (std::size_t size = 0; size < data.size(); ++size) ASSERT_FALSE(readRlv(std::span(data).first(size)).ok()) << size;
}

TEST(RlvFile, WritesIntoTheRlvFolderOnlyUnderAPlainName) {
    test::ScratchDir dir;
    Settings settings;
    settings.my_path = dir.path().string();
    RlvScript script = alpinePass();
    const auto target = rlvFilePath(settings, script);
    EXPECT_EQ(target, dir.path() / "RLV" / "Alpine Pass.rlv");
    ASSERT_TRUE(writeRlvFile(target, script).ok());
    EXPECT_EQ(test::readAll(target), kGolden);
    for (const char* name : {"", "../up", ".."}) {
        script.rlv_name = name;
        EXPECT_FALSE(writeRlvFile(dir / "RLV" / "x.rlv", script).ok()) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "RLV" / "x.rlv"));
}

}  // namespace
}  // namespace vb
