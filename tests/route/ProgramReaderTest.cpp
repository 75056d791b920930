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

void put32(Bytes& data, std::size_t offset, std::int32_t value) {
    for (int i = 0; i < 4; ++i) data[offset + i] = static_cast<std::byte>((value >> (8 * i)) & 0xFF);
}
void put16(Bytes& data, std::size_t offset, std::int16_t value) {
    data[offset] = static_cast<std::byte>(value & 0xFF);
    data[offset + 1] = static_cast<std::byte>((value >> 8) & 0xFF);
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
        if (!result.ok()) {
            EXPECT_FALSE(result.error().message.empty());
        }
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
    struct Case {
        const char* what;
        std::size_t offset;
        int value;
        bool wide;  // 32-bit field, else 16-bit
        const char* message;
    };
    const Case pgmfCases[] = {
        {"file id", 0, 1001, false, "file identifier 1001"},
        {"negative block count", 4, -1, true, "number of blocks -1 is negative"},
        {"one block only", 4, 1, true, "no program block"},
        {"general record size", 16, 69, true, "record size 69; it must be 70"},
        {"two general records", 12, 2, true, "holds 2 records"},
        {"general count past the end", 12, 100, true, "runs past the end"},
        {"negative record size", 16, -70, true, "record size -70 is negative"},
        {"program record size", 98, 16, true, "record size 16; it must be 12"},
        {"negative program count", 94, -1, true, "record count -1 is negative"},
        {"program count past the end", 94, 1000, true, "record count 1000 of 12 bytes runs past the end"},
        {"general block twice", 90, 1010, false, "block 1010 appears twice"},
        {"no general block", 8, 1030, false, "no general block"},
    };
    for (const Case& c : pgmfCases) {
        Bytes data = samplePgmf();
        if (c.wide) {
            put32(data, c.offset, c.value);
        } else {
            put16(data, c.offset, static_cast<std::int16_t>(c.value));
        }
        const auto result = readPgmf(data);
        ASSERT_FALSE(result) << c.what;
        EXPECT_NE(result.error().message.find(c.message), std::string::npos) << c.what << ": " << result.error().message;
    }
    const Case pgmCases[] = {
        {"negative count", 0, -1, false, "record count -1 is negative"},
        {"count past the end", 0, 7, false, "runs past the end"},
        {"name past the end", 82, 200, false, "program name"},
    };
    for (const Case& c : pgmCases) {
        Bytes data = samplePgm();
        if (c.offset == 82) {
            data[82] = static_cast<std::byte>(c.value);
        } else {
            put16(data, c.offset, static_cast<std::int16_t>(c.value));
        }
        const auto result = readPgm(data);
        ASSERT_FALSE(result) << c.what;
        EXPECT_NE(result.error().message.find(c.message), std::string::npos) << c.what << ": " << result.error().message;
    }
}

TEST(ProgramReader, SkipsBlocksItDoesNotKnowAndReadsWideNameUnits) {
    const Bytes written = samplePgmf();
    Bytes data(written.begin(), written.begin() + 90);
    put32(data, 4, 3);
    data = data + bytesOf({0x06, 0x04, 0x64, 0x00, 2, 0, 0, 0, 5, 0, 0, 0}) + Bytes(10, std::byte{0x7F}) +
           Bytes(written.begin() + 90, written.end());
    put16(data, 24 + 2, 0x03A9);  // Ω as a true UTF-16 unit
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
