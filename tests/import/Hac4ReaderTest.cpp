#include "import/Hac4Reader.h"

#include <gtest/gtest.h>

#include <tuple>

#include "support/TestSupport.h"

namespace vb {
namespace {

// col.tur: version digits "3", "2", "0" at offsets 17, 19 and 21, the name
// "Col du Test" from 23, sixteen "Reserve" lines from 46, the record count
// "     3" at 180 and three 20-byte records from 187 (counter at +8,
// altitude at +12); col.table its samples: 18 × 100, 18 × (103 − 100),
// 18 × (101 − 103) tenths of km/h.
const Bytes kCol = test::readAll(test::dataFile("import/col.tur"));

TEST(Hac4Reader, GoldenAndPatchedFilesLoadWholeOrAreRefused) {
    // Patches, the size the file is cut to (0: whole), the ride's name or how the refusal starts, the samples.
    const auto at = [](std::size_t offset, std::string_view bytes) { return test::Patch{offset, toBytes(bytes)}; };
    const std::tuple<std::vector<test::Patch>, std::size_t, std::string, int> cases[] = {
        {{}, 0, "Col du Test", 3},
        {{at(21, "1")}, 0, "Unknown HAC4 Format", 0},
        {{at(52, "x")}, 0, "The HAC4 file ends before its header is complete", 0},  // 15 "Reserve" lines
        {{}, 186, "The HAC4 file ends in its record count line", 0},
        {{}, 246, "The HAC4 file ends after 2 of its 3 records", 0},
        {{at(180, " 32766")}, 0, "The HAC4 file's record count \"32766\" is out of range", 0},
        {{at(180, "-40000")}, 0, "The HAC4 file's record count \"-40000\" is out of range", 0},
        {{{215, test::i32Bytes(2000000000)}}, 0, "Record 2 of the HAC4 file steps its counter", 0},
        {{at(180, "   1e9")}, 0, "Col du Test", 1},  // "1e9" reads 1
        {{at(180, "    -5")}, 0, "Col du Test", 0},
        {{at(23, "  Alpe \r\n")}, 0, "Alpe", 3},  // blanks and the CR of a CR LF line end trimmed
        {{at(23, " \n")}, 0, "unknown", 3},
        {{at(23, "ABCDEFGHIJKLMNOPQRS\n")}, 0, "ABCDEFGHIJKLMNOP", 3},  // no line feed within 16 bytes
        {{at(23, " Gro\xDF" "glockner\n")}, 0, "Gro\xC3\x9F" "glockner", 3},  // Windows-1252
    };
    for (const auto& [patches, size, outcome, samples] : cases) {
        SCOPED_TRACE(outcome);
        RideRecord ride;
        ride.header.Date() = "20260412";
        ride.samples.setText(5, 1, "250");
        ride.Calc15Available = true;
        const RideRecord before = ride;
        const auto loaded = loadHac4File(ride, test::patched(kCol, patches, size));
        EXPECT_EQ(loaded.ok() ? ride.ProgramName : loaded.error().message.substr(0, outcome.size()), outcome);
        EXPECT_EQ(loaded.ok() ? *loaded : 0, samples);
        EXPECT_TRUE(samples > 0 || ride.samples == before.samples) << "no records: the table stays as it was";
        if (!loaded) {
            EXPECT_EQ(loaded.error().code == ErrorCode::unidentified, outcome == kMsgUnknownHac4);
            EXPECT_TRUE(ride.header == before.header && ride.FilenameBox == "-" && ride.Calc15Available);
            continue;
        }
        if (samples == 3) {
            EXPECT_EQ(tabSeparated(ride.samples), asText(test::readAll(test::dataFile("import/col.table"))));
        }
        EXPECT_EQ(ride.header.fields, (std::array<std::string, 6>{"3.2.0", "20260412", "-", "meter/meter", "20", "-"}));
        EXPECT_EQ(ride.ImportStatus, "HAC4 File activ");
        EXPECT_FALSE(ride.Calc15Available) << "a HAC4 ride is never resampled";
    }
}

TEST(Hac4Reader, EveryTruncatedPrefixIsRefused) {
    for (std::size_t n = 0; n < 187 + 3 * 20; ++n) {
        RideRecord ride;
        EXPECT_FALSE(loadHac4File(ride, std::span(kCol).first(n)).ok()) << n;
        EXPECT_EQ(ride.samples.rowCount(), 2);
    }
}

TEST(Hac4Reader, ThirdPartyFiles) {
    RideRecord ride;
    const auto loaded = loadHac4File(ride, test::readAll(test::dataFile("thirdparty/tur/st_pailheres.tur")));
    EXPECT_EQ(*loaded, 453);
    EXPECT_EQ(ride.ProgramName, "unknown");
    EXPECT_EQ(ride.header.Version(), "3.1.0");
    EXPECT_EQ(ride.samples.text(1, 2), "664");  // first altitude, bytes 98 02
    const auto other = loadHac4File(ride, test::readAll(test::dataFile("thirdparty/tur/st_hac4-alt.tur")));
    ASSERT_FALSE(other.ok());
    EXPECT_EQ(other.error().code, ErrorCode::unidentified);
    EXPECT_EQ(ride.samples.sampleCount(), 453);
}

}  // namespace
}  // namespace vb
