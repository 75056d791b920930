#include "app/RlvFile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/Files.h"
#include "support/TestSupport.h"

namespace vb {
namespace {

using test::bytesOf;
using test::f32Bytes;
using test::hex;
using test::operator+;
using test::ScratchDir;

Bytes zeros(std::size_t count) { return Bytes(count, std::byte{0}); }

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
    const Bytes expected =
        bytesOf({0xD0, 0x07, 0x64, 0x00, 0x04, 0x00, 0x00, 0x00,                         // file: 2000, 100, 4 blocks
                 0xDA, 0x07, 0x64, 0x00, 0x01, 0x00, 0x00, 0x00, 0x16, 0x02, 0x00, 0x00}) +  // 2010, 1 × 534
        wide("Alpine Pass.avi") + zeros(10) + zeros(482) +                                  // 522-byte name field
        bytesOf({0x00, 0x00, 0xC8, 0x41}) + zeros(8) +                                      // 25 fps, two zeros
        bytesOf({0xE4, 0x07, 0x64, 0x00, 0x03, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00}) +  // 2020, 3 × 8
        bytesOf({0x00, 0x00, 0x00, 0x00}) + f32Bytes(0.25f) +                               // frame 0
        bytesOf({0xC4, 0x09, 0x00, 0x00}) + f32Bytes(30.5f / 100.0f) +                      // frame 2500
        bytesOf({0x58, 0x1B, 0x00, 0x00}) + f32Bytes(12.25f / 100.0f) +                     // frame 7000
        bytesOf({0xEE, 0x07, 0x64, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00}) +  // 2030, empty
        bytesOf({0xF8, 0x07, 0x64, 0x00, 0x01, 0x00, 0x00, 0x00, 0x54, 0x02, 0x00, 0x00}) +  // 2040, 1 × 596
        zeros(8) + wide("Velobridge") + zeros(596 - 28);
    ASSERT_EQ(expected.size(), 1210u);
    auto written = Create_RLV(alpinePass());
    ASSERT_TRUE(written.ok());
    EXPECT_EQ(hex(*written), hex(expected));

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

TEST(RlvFile, RefusesInconsistentBlocksAndSkipsUnknownOnes) {
    const auto header = [](int id, int count, int size) {
        return bytesOf({id & 0xFF, id >> 8, 0x64, 0, count & 0xFF, (count >> 8) & 0xFF, (count >> 16) & 0xFF,
                        (count >> 24) & 0xFF, size & 0xFF, (size >> 8) & 0xFF, 0, 0});
    };
    const auto file = [](int blocks) { return bytesOf({0xD0, 0x07, 0x64, 0x00, blocks, 0, 0, 0}); };
    struct Case {
        const char* what;
        Bytes data;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"wrong id", bytesOf({0xE8, 0x03, 0x64, 0x00, 0, 0, 0, 0}), "file id 1000"},
        {"negative block count", bytesOf({0xD0, 0x07, 0x64, 0x00, 0xFF, 0xFF, 0xFF, 0xFF}), "negative"},
        {"negative records", file(1) + header(2020, -1, 8), "record count -1"},
        {"records past the end", file(1) + header(2020, 2, 8) + zeros(15), "length 16 exceeds 15 remaining"},
        {"huge record count", file(1) + header(2020, 0x7FFFFFFF, 8), "exceeds 0 remaining"},
        {"small video record", file(1) + header(2010, 1, 100) + zeros(100), "record size 100 is below 526"},
        {"two video records", file(1) + header(2010, 2, 534) + zeros(1068), "holds 2 records"},
        {"small frame record", file(1) + header(2020, 1, 4) + zeros(4), "record size 4 is below 8"},
        {"small course record", file(1) + header(2040, 1, 6) + zeros(6), "record size 6 is below 8"},
        {"bytes after the blocks", file(1) + header(2030, 0, 8) + zeros(1), "1 bytes after the last block"},
    };
    for (const auto& c : cases) {
        auto read = readRlv(c.data);
        ASSERT_FALSE(read.ok()) << c.what;
        EXPECT_NE(read.error().message.find(c.message), std::string::npos) << c.what << ": " << read.error().message;
    }

    auto unknown = readRlv(file(2) + header(2050, 2, 3) + zeros(6) + header(2020, 1, 12) +
                           bytesOf({5, 0, 0, 0}) + f32Bytes(0.5f) + zeros(4));
    ASSERT_TRUE(unknown.ok()) << unknown.error().message;
    ASSERT_EQ(unknown->blocks.size(), 2u);
    ASSERT_EQ(unknown->frames.size(), 1u);
    EXPECT_EQ(unknown->frames[0].frame, 5);
    EXPECT_EQ(unknown->frames[0].factor, 0.5f);
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
