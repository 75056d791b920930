#include "route/ProgramReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "route/ProgramWriter.h"
#include "support/TestSupport.h"

namespace vb {
namespace {

using test::bytesOf;
using test::operator+;

const std::string kTag = std::string("VLB") + '\xFE';

struct Summary {
    double total = 0;
    double lowest = 1e300;
    double highest = -1e300;
};

Summary summarise(const ProgramFile& program) {
    Summary s;
    for (const auto& section : program.sections) {
        s.total += section.distance;
        s.lowest = std::min(s.lowest, section.value);
        s.highest = std::max(s.highest, section.value);
    }
    return s;
}

ProgramFile readThirdParty(const char* name) {
    auto program = readPgmf(test::readAll(test::dataFile(std::string("thirdparty/pgmf/") + name)));
    EXPECT_TRUE(program.ok()) << name << ": " << program.error().message;
    return program.ok() ? *program : ProgramFile{};
}

Bytes samplePgmf() {
    const RouteSections route{Target::fortius, {{0.1f, 9}, {0.2f, -4}, {0.1f, 0.5f}}};
    return Create_Fortius(route, "abc", true, kTag, ProgramVersion).value();
}

Bytes samplePgm() {
    const RouteSections route{Target::catalyst, {{0.1, 9}, {0.2, -4}, {0.1, 0.5}}};
    return Create_Catalyst(route, "abc", true, kTag, ProgramVersion).value();
}

/// Writes `value` little-endian into `width` bytes at `offset`.
void put(Bytes& data, std::size_t offset, std::int32_t value, int width) {
    for (int i = 0; i < width; ++i) data[offset + i] = static_cast<std::byte>((value >> (8 * i)) & 0xFF);
}

TEST(ProgramReader, ReadsProgramsMadeByOtherPrograms) {
    const ProgramFile rosier = readThirdParty("gc_Rosier_test_V2.pgmf");
    EXPECT_EQ(rosier.name, "Rosier test V2");
    EXPECT_EQ(rosier.type, 1);
    EXPECT_EQ(rosier.mode, 1);
    EXPECT_EQ(rosier.sections.size(), 14u);
    EXPECT_NEAR(summarise(rosier).total, 5646.4, 0.05);
    EXPECT_NEAR(summarise(rosier).lowest, 1.19, 0.005);
    EXPECT_NEAR(summarise(rosier).highest, 7.34, 0.005);
    EXPECT_TRUE(rosier.trailer.empty());

    const ProgramFile warmup = readThirdParty("gc_warmup.pgmf");
    EXPECT_EQ(warmup.name, "warmup");
    EXPECT_EQ(warmup.type, 0);  // power
    EXPECT_EQ(warmup.mode, 0);  // time
    ASSERT_EQ(warmup.sections.size(), 8u);
    EXPECT_EQ(summarise(warmup).total, 900);
    EXPECT_EQ(summarise(warmup).lowest, 100);
    EXPECT_EQ(summarise(warmup).highest, 350);
    EXPECT_EQ(warmup.sections[0].third, 4.0);

    // Third fields in the other byte order are not needed and do not matter.
    const ProgramFile andalusia = readThirdParty("in_ES_Andalusia-1.pgmf");
    EXPECT_EQ(andalusia.name, "ES_Andalusia-1");
    EXPECT_EQ(andalusia.sections.size(), 1935u);
    EXPECT_NEAR(summarise(andalusia).total, 36208.4, 0.5);
    EXPECT_NEAR(summarise(andalusia).lowest, -1.4, 0.005);
    EXPECT_NEAR(summarise(andalusia).highest, 16.2, 0.005);
}

TEST(ProgramReader, RefusesEveryCutBeforeTheEndOfTheProgram) {
    const Bytes pgmf = samplePgmf();
    const std::size_t pgmfEnd = 102 + 12 * 4;
    for (std::size_t n = 0; n < pgmf.size(); ++n) {
        const auto result = readPgmf(std::span(pgmf).first(n));
        EXPECT_EQ(result.ok(), n >= pgmfEnd) << n;
        EXPECT_TRUE(result.ok() || !result.error().message.empty()) << n;
    }
    const Bytes pgm = samplePgm();
    const std::size_t pgmEnd = 2 + 20 * 4 + 1 + 3 + 8;
    for (std::size_t n = 0; n < pgm.size(); ++n) EXPECT_EQ(readPgm(std::span(pgm).first(n)).ok(), n >= pgmEnd) << n;
    // A cut tag is kept as trailer; a whole one as tag.
    EXPECT_TRUE(readPgm(std::span(pgm).first(pgmEnd + 3))->tag.empty());
    EXPECT_EQ(readPgm(std::span(pgm).first(pgmEnd + 4))->tag, kTag);

    const Bytes rosier = test::readAll(test::dataFile("thirdparty/pgmf/gc_Rosier_test_V2.pgmf"));
    for (std::size_t n = 0; n < rosier.size(); ++n) EXPECT_FALSE(readPgmf(std::span(rosier).first(n))) << n;
}

TEST(ProgramReader, RefusesInconsistentFiles) {
    const struct {
        bool pgmf;
        std::size_t offset;
        std::int32_t value;
        int width;
        const char* message;
    } cases[] = {
        {true, 0, 1001, 2, "file identifier 1001"},
        {true, 4, -1, 4, "number of blocks -1 is negative"},
        {true, 4, 1, 4, "no program block"},
        {true, 16, 69, 4, "record size 69; it must be 70"},
        {true, 12, 2, 4, "holds 2 records"},
        {true, 12, 100, 4, "runs past the end"},
        {true, 16, -70, 4, "record size -70 is negative"},
        {true, 98, 16, 4, "record size 16; it must be 12"},
        {true, 94, -1, 4, "record count -1 is negative"},
        {true, 94, 1000, 4, "record count 1000 of 12 bytes runs past the end"},
        {true, 90, 1010, 2, "block 1010 appears twice"},
        {true, 8, 1030, 2, "no general block"},
        {false, 0, -1, 2, "record count -1 is negative"},
        {false, 0, 7, 2, "runs past the end"},
        {false, 82, 200, 1, "program name"},
    };
    for (const auto& c : cases) {
        Bytes data = c.pgmf ? samplePgmf() : samplePgm();
        put(data, c.offset, c.value, c.width);
        const auto result = c.pgmf ? readPgmf(data) : readPgm(data);
        ASSERT_FALSE(result) << c.message;
        EXPECT_NE(result.error().message.find(c.message), std::string::npos) << c.message << ": " << result.error().message;
    }
}

TEST(ProgramReader, SkipsBlocksItDoesNotKnowAndReadsWideNameUnits) {
    const Bytes written = samplePgmf();
    Bytes data(written.begin(), written.begin() + 90);
    put(data, 4, 3, 4);
    data = data + bytesOf({0x06, 0x04, 0x64, 0x00, 2, 0, 0, 0, 5, 0, 0, 0}) + Bytes(10, std::byte{0x7F}) +
           Bytes(written.begin() + 90, written.end());
    put(data, 24 + 2, 0x03A9, 2);  // Ω as a true UTF-16 unit
    const auto program = readPgmf(data);
    ASSERT_TRUE(program) << program.error().message;
    EXPECT_EQ(program->name, "aΩc");
    EXPECT_EQ(program->sections.size(), 4u);
    EXPECT_EQ(program->trailer, "created by Velobridge - Version0.6a");

    EXPECT_TRUE(looksLikePgmf(bytesOf({0xE8, 0x03, 0x64, 0x00})));
    EXPECT_FALSE(looksLikePgmf(bytesOf({0xE8, 0x03, 0x64})));
    EXPECT_FALSE(looksLikePgmf(bytesOf({0xD0, 0x07, 0x64, 0x00})));
    EXPECT_TRUE(hasPgmfHeader(written));
    EXPECT_FALSE(hasPgmfHeader(data));  // three blocks
    EXPECT_FALSE(hasPgmfHeader(std::span(written).first(15)));
}

}  // namespace
}  // namespace vb
