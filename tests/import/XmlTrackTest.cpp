// The ISO 8601 times that GPX and TCX files write.

#include "import/XmlTrack.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vb {
namespace {

TEST(XmlTrack, IsoTimes) {
    for (const auto& [text, seconds] : std::vector<std::pair<std::string, double>>{
             {"1970-01-01T00:00:00Z", 0},
             {"2025-05-09T12:38:04Z", 1746794284},
             {" 2025-05-09T14:38:04+02:00\n", 1746794284},
             {"2025-05-09T12:08:04-0030", 1746794284},
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

}  // namespace
}  // namespace vb
