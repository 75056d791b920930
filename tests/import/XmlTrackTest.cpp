// Recognising GPX and TCX by their root element, and the ISO 8601 times both write.

#include <gtest/gtest.h>

#include <cmath>

#include "base/Bytes.h"
#include "import/RideImport.h"
#include "import/XmlTrack.h"
#include "support/TestSupport.h"

namespace vb {
namespace {

TEST(XmlTrack, RideFilesAreRecognisedByContent) {
    for (const auto& [start, type] : std::vector<std::pair<std::string, RideFileType>>{
             {"\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!-- a <gpx> comment -->\r\n <gpx version=\"1.1\">", RideFileType::gpx},
             {"<gpx>", RideFileType::gpx},
             {"<?xml version='1.0'?><!DOCTYPE x><g:gpx xmlns:g='x'/>", RideFileType::gpx},
             {"<?xml version=\"1.0\"?><TrainingCenterDatabase\n xmlns=\"x\">", RideFileType::tcx},
             {"<gpxx>", RideFileType::unknown},
             {"<?xml version=\"1.0\"?><kml>", RideFileType::unknown},
             {"<!-- never closed <gpx>", RideFileType::unknown},
             {"<gp", RideFileType::unknown},
             {"[Params]\r\nVersion=106", RideFileType::hrm},
             {"HACtronic - Tour", RideFileType::hac4},
             {std::string("\x0e\x10\x00\x00\x00\x00\x00\x00.FIT", 12), RideFileType::fit}}) {
        EXPECT_EQ(recogniseRideFile(toBytes(start)), type) << start;
    }
}

TEST(XmlTrack, ImportReadsAsMuchOfTheStartAsItNeeds) {
    test::ScratchDir dir;
    const std::string longProlog = "<?xml version='1.0'?>\n<!--" + std::string(20000, '-') + " -->\n<gpx version='1.1'>";
    for (const auto& [content, type] : std::vector<std::pair<std::string, RideFileType>>{
             {longProlog + "</gpx>", RideFileType::gpx},
             {"<!--" + std::string(20000, 'x'), RideFileType::unknown},
             {"[Params]" + std::string(20000, '\n'), RideFileType::hrm}}) {
        test::writeAll(dir / "ride", content);
        const auto head = readRideHead(dir / "ride");
        ASSERT_TRUE(head.ok());
        EXPECT_EQ(recogniseRideFile(*head), type);
        if (type == RideFileType::hrm) {
            EXPECT_LT(head->size(), content.size()) << "a ride that decides early is not read whole";
        }
    }
}

TEST(XmlTrack, IsoTimes) {
    for (const auto& [text, seconds] : std::vector<std::pair<std::string, double>>{
             {"1970-01-01T00:00:00Z", 0},
             {"2025-05-09T12:38:04Z", 1746794284},
             {" 2025-05-09T14:38:04+02:00\n", 1746794284},
             {"2025-05-09T12:08:04-0030", 1746794284},
             {"2025-05-09T12:38:04.25Z", 1746794284.25},
             {"2025-05-09 12:38:04", 1746794284},
             {"2024-02-29T00:00:00Z", 1709164800}}) {
        EXPECT_DOUBLE_EQ(parseIsoTime(text), seconds) << text;
    }
    for (const char* wrong : {"", "2025-05-09", "2025-02-30T00:00:00Z", "2025-05-09T24:00:00Z",
                              "2025-05-09T12:38:04Q", "2025-05-09T12:38:04+2", "20250509T123804Z"})
        EXPECT_TRUE(std::isnan(parseIsoTime(wrong))) << wrong;
}

}  // namespace
}  // namespace vb
