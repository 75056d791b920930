#include "app/RlvFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "base/Files.h"
#include "support/TestSupport.h"

namespace vb {
namespace {

using test::bytesOf;
using test::hex;
using test::ScratchDir;


Bytes golden() { return test::readAll(test::dataFile("app/alpine-pass.rlv")); }

/// The golden file with `bytes` written at `offset` (appended at its end).
Bytes patched(std::size_t offset, const Bytes& bytes) {
    Bytes data = golden();
    data.resize(std::max(data.size(), offset + bytes.size()));
    std::copy(bytes.begin(), bytes.end(), data.begin() + static_cast<std::ptrdiff_t>(offset));
    return data;
}

Bytes wide(std::string_view latin1) {
    Bytes out;
    for (char c : latin1) out.push_back(static_cast<std::byte>(c)), out.push_back(std::byte{0});
    return out;
}

RlvScript alpinePass() {
    RecordingPrompter prompter;
    RlvScript script = Load_RLV_Script(
        toBytes("vers=VLB_1.0\r\ntype=km/h\r\nfps#=25\r\nname=Alpine Pass\r\nfra#=8000\r\n"
                "fram=0;25.0\r\nfram=2500;30.5\r\nfram=7000;12.25\r\n"),
        "1000", prompter);
    EXPECT_TRUE(script.createEnabled);
    return script;
}

TEST(RlvFile, WritesTheFourBlocksByteForByte) {
    auto written = Create_RLV(alpinePass());
    ASSERT_TRUE(written.ok());
    EXPECT_EQ(hex(*written), hex(golden()));

    // 30 fps, a Windows-1252 name of 16 characters, no frame lines: 1186 bytes.
    RlvScript other;
    other.rlv_fps = 30.0f;
    other.rlv_name = "C\xC3\xB4te d'Azur 2019";
    auto empty = Create_RLV(other);
    ASSERT_TRUE(empty.ok());
    ASSERT_EQ(empty->size(), 1186u);
    EXPECT_EQ(hex(Bytes(empty->begin() + 20, empty->begin() + 60)), hex(wide("C\xF4te d'Azur 2019.avi")));
    EXPECT_EQ(hex(Bytes(empty->begin() + 542, empty->begin() + 546)), "00 00 f0 41");

    other.rlv_count = kMaxFrameLines + 1;
    EXPECT_FALSE(Create_RLV(other).ok());
    other.rlv_count = 0;
    other.rlv_name = "Tour de France 2019";  // longer than a script's name can be
    EXPECT_FALSE(Create_RLV(other).ok());
}

TEST(RlvFile, ReadsBackWhatItWrites) {
    const RlvScript script = alpinePass();
    auto bytes = Create_RLV(script);
    ASSERT_TRUE(bytes.ok());
    auto file = readRlv(*bytes);
    ASSERT_TRUE(file.ok()) << file.error().message;
    EXPECT_EQ(file->version, 100);
    ASSERT_EQ(file->blocks.size(), 4u);
    EXPECT_EQ(file->blocks[1].id, kRlvFrameBlock);
    EXPECT_EQ(file->blocks[1].offset, 554u);
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
}

TEST(RlvFile, ReadsAFileMadeByAnotherProgram) {
    const Bytes data = test::readAll(test::dataFile("thirdparty/rlv/in_ES_Andalusia-1.rlv"));
    ASSERT_TRUE(looksLikeRlv(data));
    auto file = readRlv(data);
    ASSERT_TRUE(file.ok()) << file.error().message;
    EXPECT_EQ(file->videoName, "D:\\RLV-Training\\RLV\\ES_Andalusia-1\\ES_Andalusia-1.avi");
    EXPECT_EQ(file->frameRate, 25.0f);
    ASSERT_EQ(file->frames.size(), 1066u);
    EXPECT_EQ(file->frames[0].frame, 0);
    EXPECT_NEAR(file->frames[0].factor, 0.213f, 1e-6);
    EXPECT_EQ(file->frames[1].frame, 476);
    ASSERT_EQ(file->courses.size(), 3u);
    EXPECT_EQ(file->courses[0].text, "Total distance");
    EXPECT_EQ(file->courses[0].start, 0.0f);
    EXPECT_NEAR(file->courses[0].end, 36208.2f, 0.05f);
    EXPECT_EQ(file->courses[1].text, "Part I");
    EXPECT_EQ(file->courses[2].text, "Part II");

    // Every shorter prefix is refused with a message, never read in part.
    for (std::size_t size = 0; size < data.size(); ++size) {
        auto cut = readRlv(std::span(data).first(size));
        ASSERT_FALSE(cut.ok()) << size;
        ASSERT_FALSE(cut.error().message.empty());
    }
}

// Offsets in the golden file: blocks 2010 at 8, 2020 at 554, 2030 at 590, 2040 at 602; 1210 bytes.
TEST(RlvFile, RefusesInconsistentBlocksAndSkipsUnknownOnes) {
    const struct {
        std::size_t offset;
        Bytes bytes;
        const char* message;
    } cases[] = {
        {0, bytesOf({0xE8, 0x03}), "file id 1000"},
        {4, bytesOf({0xFF, 0xFF, 0xFF, 0xFF}), "negative"},
        {558, bytesOf({0xFF, 0xFF, 0xFF, 0xFF}), "record count -1"},
        {606, bytesOf({2}), "length 1192 exceeds 596 remaining"},
        {558, bytesOf({0xFF, 0xFF, 0xFF, 0x7F}), "exceeds 644 remaining"},
        {16, bytesOf({100, 0}), "record size 100 is below 526"},
        {12, bytesOf({2}), "holds 2 records"},
        {562, bytesOf({4}), "record size 4 is below 8"},
        {610, bytesOf({6, 0}), "record size 6 is below 8"},
        {1210, bytesOf({0}), "1 bytes after the last block"},
    };
    for (const auto& c : cases) {
        auto read = readRlv(patched(c.offset, c.bytes));
        ASSERT_FALSE(read.ok()) << c.message;
        EXPECT_NE(read.error().message.find(c.message), std::string::npos) << c.message << ": " << read.error().message;
    }

    // The video block under an unknown id is passed over whole.
    auto unknown = readRlv(patched(8, bytesOf({0x02, 0x08})));
    ASSERT_TRUE(unknown.ok()) << unknown.error().message;
    ASSERT_EQ(unknown->blocks.size(), 4u);
    EXPECT_EQ(unknown->videoName, "");
    ASSERT_EQ(unknown->frames.size(), 3u);
    EXPECT_EQ(unknown->frames[1].frame, 2500);
}

TEST(RlvFile, WritesSafelyIntoTheRlvFolder) {
    ScratchDir dir;
    Settings settings;
    settings.my_path = dir.path().string();
    RlvScript script = alpinePass();
    const auto target = rlvFilePath(settings, script);
    EXPECT_EQ(target, dir.path() / "RLV" / "Alpine Pass.rlv");

    ASSERT_TRUE(writeRlvFile(target, script).ok());
    const Bytes first = test::readAll(target);
    EXPECT_EQ(first.size(), 1210u);

    // A name that is not a plain file name never reaches the file system.
    for (const char* name : {"", "../up", ".."}) {
        script.rlv_name = name;
        EXPECT_FALSE(writeRlvFile(dir / "RLV" / "x.rlv", script).ok()) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "RLV" / "x.rlv"));
}

}  // namespace
}  // namespace vb
