#include <gtest/gtest.h>

#include "import/Hac4Reader.h"
#include "import/RideTestSupport.h"
#include "support/RideLoad.h"
#include "support/TestSupport.h"

namespace vb {
namespace {

using test::shownTexts;
using test::tableText;

// The header: version digits at bytes 18/20/22, the name field from byte 24.
std::string header(std::string_view version = "3\n2\n0", std::string_view name = "Col du Test\n",
                   std::string_view reserve = "Reserve\n") {
    std::string h = "HACtronic - Tour\n" + std::string(version) + "\n" + std::string(name) + "12.04.2026\n";
    for (int i = 0; i < 16; ++i) h += std::string(reserve) + (i == 5 ? "Rider\n" : "");
    return h;
}

// One 20-byte record, little-endian, spelled out byte by byte.
std::string record(std::int32_t counter, std::int16_t altitude) {
    const auto c = static_cast<std::uint32_t>(counter);
    const auto a = static_cast<std::uint16_t>(altitude);
    std::string r(20, '\x55');
    for (int i = 0; i < 4; ++i) r[8 + i] = static_cast<char>((c >> (8 * i)) & 0xFF);
    r[12] = static_cast<char>(a & 0xFF);
    r[13] = static_cast<char>(a >> 8);
    return r;
}

test::Loaded load(RideRecord& ride, std::string_view content, RecordingPrompter& p) {
    return test::loadHac4Data(ride, toBytes(content), p);
}

TEST(Hac4Reader, RecordsGiveSpeedFromTheCounterIncrease) {
    RideRecord ride;
    ride.header.Date() = "20260412";
    ride.header.ECode() = "49";
    RecordingPrompter p;
    const std::string file =
        header() + " 3\n" + record(100, 612) + record(103, 615) + record(101, -4) + "\n0\n";
    const auto report = load(ride, file, p);
    EXPECT_FALSE(report.refused);
    EXPECT_EQ(report.samples, 3);
    // 18 × 100, 18 × (103 − 100), 18 × (101 − 103).
    EXPECT_EQ(tableText(ride.samples), "#\tSpeed\tAlt\n1\t1800\t612\n2\t54\t615\n3\t-36\t-4\n");
    EXPECT_EQ(ride.header.fields,
              (std::array<std::string, 6>{"3.2.0", "20260412", "-", "meter/meter", "20", "49"}));
    EXPECT_EQ(ride.FilenameBox, "Col du Test");
    EXPECT_EQ(ride.ProgramName, "Col du Test");
    EXPECT_EQ(ride.ImportStatus, "HAC4 File activ");
    EXPECT_TRUE(p.messages.empty());
}

TEST(Hac4Reader, NameField) {
    struct Case {
        std::string field, name;
    };
    const Case cases[] = {
        {"  Alpe \r\n", "Alpe"},                        // spaces and the CR of a CR LF line end trimmed
        {" \n", "unknown"},                             // only spaces
        {"ABCDEFGHIJKLMNOPQRS\n", "ABCDEFGHIJKLMNOP"},  // no line feed in bytes 24..39: 16 characters
        {" Gro\xDF"
         "glockner\n",
         "Gro\xC3\x9F"
         "glockner"},  // Windows-1252 to UTF-8
    };
    for (const auto& c : cases) {
        RideRecord ride;
        RecordingPrompter p;
        load(ride, header("3\n1\n0", c.field) + "1\n" + record(1, 1), p);
        EXPECT_EQ(ride.FilenameBox, c.name);
        EXPECT_EQ(ride.header.Version(), "3.1.0");
    }
}

TEST(Hac4Reader, BrokenFilesAreRefusedAndChangeNothing) {
    struct Case {
        std::string file, message;
    };
    const std::string body = " 2\n" + record(1, 1) + record(2, 2);
    const Case cases[] = {
        {header("3\n1\n1") + body, "Unknown HAC4 Format"},
        {header("3\n2\n0", "x\n", "Reserve\r\n") + body, "The HAC4 file ends before its header is complete"},
        {header() + "2", "The HAC4 file ends in its record count line"},
        {header() + " 2\n" + record(1, 1) + record(2, 2).substr(0, 19),
         "The HAC4 file ends after 1 of its 2 records"},
        {header() + "32766\n", "The HAC4 file's record count \"32766\" is out of range"},
        {header() + "-40000\n", "The HAC4 file's record count \"-40000\" is out of range"},
        {header() + "1e9\n" + record(1, 1), ""},  // "1e9" reads 1: loads
        {header() + "2\n" + record(10, 1) + record(2000000000, 1),
         "Record 2 of the HAC4 file steps its counter"},
    };
    for (const auto& c : cases) {
        RideRecord ride;
        const RideRecord before = ride;
        RecordingPrompter p;
        const auto report = load(ride, c.file, p);
        EXPECT_EQ(report.refused, !c.message.empty());
        if (c.message.empty()) continue;
        EXPECT_EQ(report.message.substr(0, c.message.size()), c.message);
        EXPECT_EQ(shownTexts(p), report.message + "|");
        EXPECT_EQ(p.messages[0].title, "Velobridge");
        EXPECT_TRUE(ride.samples == before.samples && ride.header == before.header &&
                    ride.FilenameBox == "-");
    }
    RecordingPrompter p;
    RideRecord ride;
    load(ride, header("3\n1\n1"), p);
    EXPECT_EQ(p.messages.at(0).icon, MessageIcon::none);
}

TEST(Hac4Reader, NoRecordsKeepsTheTableButSetsTheHeader) {
    RideRecord ride;
    ride.samples.setText(3, 1, "250");
    RecordingPrompter p;
    const auto report = load(ride, header() + "-5\n", p);
    EXPECT_FALSE(report.refused);
    EXPECT_EQ(report.samples, 0);
    EXPECT_EQ(ride.samples.text(3, 1), "250");
    EXPECT_EQ(ride.header.Interval(), "20");
    EXPECT_EQ(ride.FilenameBox, "Col du Test");
}

TEST(Hac4Reader, EveryTruncatedPrefixIsRefused) {
    const std::string file = header() + "2\n" + record(5, 1) + record(9, 2);
    for (std::size_t n = 0; n < file.size(); ++n) {
        RideRecord ride;
        RecordingPrompter p;
        EXPECT_TRUE(load(ride, file.substr(0, n), p).refused) << n;
        EXPECT_EQ(ride.samples.rowCount(), 2);
    }
}

TEST(Hac4Reader, ThirdPartyFiles) {
    RideRecord ride;
    RecordingPrompter p;
    auto report = test::loadHac4Data(ride, test::readAll(test::dataFile("thirdparty/tur/st_pailheres.tur")), p);
    EXPECT_EQ(report.samples, 453);
    EXPECT_EQ(ride.FilenameBox, "unknown");
    EXPECT_EQ(ride.header.Version(), "3.1.0");
    EXPECT_EQ(ride.samples.text(1, 2), "664");  // first altitude, bytes 98 02
    report = test::loadHac4Data(ride, test::readAll(test::dataFile("thirdparty/tur/st_hac4-alt.tur")), p);
    EXPECT_TRUE(report.refused);
    EXPECT_EQ(shownTexts(p), "Unknown HAC4 Format|");
    EXPECT_EQ(ride.samples.sampleCount(), 453);
}

}  // namespace
}  // namespace vb
