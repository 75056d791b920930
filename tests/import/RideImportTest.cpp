// The import around the readers: recognising a ride file by its content,
// whatever its name, and reading as much of it as that needs; the ISO 8601
// times of GPX and TCX files; the table that holds a ride's samples; the
// altitude smoothing applied to an imported ride.

#include "import/RideImport.h"

#include <gtest/gtest.h>

#include <cmath>

#include "import/AltitudeSmoothing.h"
#include "import/XmlTrack.h"
#include "support/TestSupport.h"

namespace vb {
namespace {

TEST(RideImport, RideFilesAreRecognisedByContentAndReadAsFarAsThatNeeds) {
    test::ScratchDir dir;
    const std::string longProlog = "<?xml version='1.0'?>\n<!--" + std::string(20000, '-') + " -->\n<gpx version='1.1'>";
    for (const auto& [content, type] : std::vector<std::pair<std::string, RideFileType>>{
             {"[Params]", RideFileType::hrm},
             {"[Params]\r\nVersion=106", RideFileType::hrm},
             {"[params]\nVersion=106", RideFileType::unknown},
             {"[Params", RideFileType::unknown},
             {"", RideFileType::unknown},
             {"HACtronic - Tour", RideFileType::hac4},
             {std::string("\x0e\x10\x00\x00\x00\x00\x00\x00.FIT", 12), RideFileType::fit},
             {"\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!-- a <gpx> comment -->\r\n <gpx version=\"1.1\">", RideFileType::gpx},
             {"<gpx>", RideFileType::gpx},
             {"<?xml version='1.0'?><!DOCTYPE x><g:gpx xmlns:g='x'/>", RideFileType::gpx},
             {"<?xml version=\"1.0\"?><TrainingCenterDatabase\n xmlns=\"x\">", RideFileType::tcx},
             {"<gpxx>", RideFileType::unknown},
             {"<?xml version=\"1.0\"?><kml>", RideFileType::unknown},
             {"<!-- never closed <gpx>", RideFileType::unknown},
             {"<gp", RideFileType::unknown},
             {longProlog + "</gpx>", RideFileType::gpx},
             {"<!--" + std::string(20000, 'x'), RideFileType::unknown},
             {"[params]" + std::string(20000, '\n'), RideFileType::unknown},
             {"[Params]" + std::string(20000, '\n'), RideFileType::hrm}}) {
        SCOPED_TRACE(content.substr(0, 40));
        test::writeAll(dir / "ride.tur", content);  // the name plays no part
        const Bytes head = readRideHead(dir / "ride.tur").value();
        EXPECT_EQ(recogniseRideFile(head), type);
        EXPECT_TRUE(type != RideFileType::hrm || head.size() < 20000) << "a ride that decides early";
        // A ride is read whole, anything else only as far as recognition went.
        EXPECT_EQ(readRideFile(dir / "ride.tur")->size(), type == RideFileType::unknown ? head.size() : content.size());
    }
    EXPECT_FALSE(readRideFile(dir / "missing.hrm").ok());
}

TEST(XmlTrack, IsoTimes) {
    for (const auto& [text, seconds] : std::vector<std::pair<std::string, double>>{
             {"1970-01-01T00:00:00Z", 0},
             {"2025-05-09T12:38:04Z", 1746794284},
             {" 2025-05-09T14:38:04+02:00\n", 1746794284},
             {"2025-05-09T12:08:04-0030", 1746794284},
             {"2025-05-09T13:37:04+00:59", 1746794284},
             {"2025-05-09T12:38:04.25Z", 1746794284.25},
             {"2025-05-09T14:38:04.25+02", 1746794284.25},
             {"2025-05-09 12:38:04", 1746794284},
             {"2024-02-29T00:00:00Z", 1709164800}}) {
        EXPECT_DOUBLE_EQ(parseIsoTime(text), seconds) << text;
    }
    for (const char* wrong : {"", "2025-05-09", "2025-02-30T00:00:00Z", "2025-05-09T24:00:00Z",
                              "2025-05-09T12:60:00Z", "2025-05-09T1x:38:04Z", "2025-05-09T12:38:0:Z",
                              "2025-05-09T12:38:04Q", "2025-05-09T12:38:04+2", "20250509T123804Z"})
        EXPECT_TRUE(std::isnan(parseIsoTime(wrong))) << wrong;
}

TEST(SampleTable, CellsGrowShrinkAndKeepLongTextsWhole) {
    SampleTable t;
    t.setCell(-1, "x");  // nowhere to go
    EXPECT_EQ(t.cell(-1), "");
    t.setText(5, 2, "105");
    EXPECT_EQ(t.rowCount(), 6);
    EXPECT_EQ(t.text(5, 2), "105");
    EXPECT_EQ(t.text(10, 1), "");
    t.setRowCount(4);
    t.setRowCount(6);
    EXPECT_EQ(t.text(5, 2), "") << "rows cut off come back empty";
    // Texts longer than a cell holds, replaced by longer and shorter ones.
    for (const std::string& text :
         {std::string("\t85\t412\t17 extra fields of a long line"), std::string(100, 'y'), std::string("short")}) {
        t.setText(1, 1, text);
        t.setText(1, 2, "exactly14chars");
        EXPECT_EQ(t.text(1, 1), text);
        EXPECT_EQ(t.text(1, 2), "exactly14chars");
    }
    t.clear();
    EXPECT_EQ(tabSeparated(t), "\t\t\n\t\t\n\t\t\n\t\t\n\t\t\n\t\t\n") << "clearing keeps the rows";
}

TEST(AltitudeSmoothing, MeanOverTheWindowByDistance) {
    RideRecord ride;
    const auto parsed = readPolarFile("climb.hrm", test::readAll(test::dataFile("import/climb.hrm")));
    ASSERT_TRUE(parsed && loadPolarFile(ride, *parsed, false));
    smoothAltitude(ride, 0);
    EXPECT_EQ(tabSeparated(ride.samples), asText(test::readAll(test::dataFile("import/climb.table")))) << "0 is off";

    // climb.table at 5 s: rows 1, 2, 4 and 7 lie at 29.17, 54.17, 75 and
    // 97.22 m; a 52 m window takes the rows within 26 m of each.
    smoothAltitude(ride, 52);
    EXPECT_EQ(tabSeparated(ride.samples), asText(test::readAll(test::dataFile("import/climb-smoothed-52.table"))));

    // A ride added to it is smoothed on its own rows only, the earlier ones in its window.
    const SampleTable smoothed = ride.samples;
    const int added = *loadPolarFile(ride, *parsed, true);
    smoothAltitude(ride, 52, ride.samples.rowCount() - added);
    for (int row = 1; row < smoothed.rowCount(); ++row) EXPECT_EQ(ride.samples.text(row, 2), smoothed.text(row, 2));
    EXPECT_EQ(ride.samples.text(ride.samples.rowCount() - 1, 2), smoothed.text(smoothed.rowCount() - 1, 2));

    ride.header.Type() = "km/m";
    const SampleTable before = ride.samples;
    smoothAltitude(ride, 500);
    EXPECT_EQ(ride.samples, before) << "no units, no distance";
}

}  // namespace
}  // namespace vb
