#include <gtest/gtest.h>

#include "import/HrmReader.h"
#include "import/RideTestSupport.h"
#include "support/RideLoad.h"
#include "support/TestSupport.h"

namespace vb {
namespace {

using test::loadHrm;
using test::shownTexts;
using test::tableText;

const std::string kHead = "[Params]\nVersion=106\nSMode=111000100\nDate=20260412\nInterval=5\n[HRData]\n";

std::string rows(int from, int count) {
    std::string out;
    for (int i = from; i < from + count; ++i)
        out += "130\t" + std::to_string(i) + "\t85\t" + std::to_string(400 + i) + "\n";
    return out;
}

TEST(HrmReader, GoldenFileGivesTheHandComputedTable) {
    RideRecord ride;
    RecordingPrompter p;
    const auto data = test::readAll(test::dataFile("import/climb.hrm"));
    const auto report = test::loadHrmData(ride, "D:\\Touren\\climb.2026.hrm", data, p);
    EXPECT_EQ(tableText(ride.samples), asText(test::readAll(test::dataFile("import/climb.table"))));
    EXPECT_FALSE(report.refused || report.noData);
    EXPECT_EQ(report.samples, 7);
    EXPECT_EQ(ride.header.fields,
              (std::array<std::string, 6>{"106", "20260301", "111000100", "meter/meter", "5", "49"}));
    EXPECT_EQ(ride.ImportStatus, "HRM (Polar) File activ");
    EXPECT_EQ(ride.ProgramName, "climb");
    EXPECT_EQ(ride.FilenameBox, "climb");
    EXPECT_EQ(ride.RecordInterval, 5);
    EXPECT_FALSE(ride.Calc15Available);
    EXPECT_TRUE(p.messages.empty() && p.questions.empty());
}

TEST(HrmReader, LineEndsBlankLinesAndTheLastLine) {
    // CR LF and LF alone give the same table; a last line without a line feed is kept.
    const std::string lf = kHead + "132\t253\t85\t412\n\n   \n  99\t1\t2\t3\n131\t250\t80\t413";
    std::string crlf;
    for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    for (const auto& text : {lf, crlf}) {
        RideRecord ride;
        RecordingPrompter p;
        loadHrm(ride, text, p);
        EXPECT_EQ(tableText(ride.samples), "#\tSpeed\tAlt\n1\t253\t412\n\t\t\n\t\t\n4\t1\t3\n5\t250\t413\n");
    }
}

TEST(HrmReader, ColumnRuleFollowsTheModeDigits) {
    struct Case {
        std::string mode, line, speed, alt;
    };
    const Case cases[] = {
        {"SMode=111000100", "132\t253\t85\t412", "253", "412"},  // the worked example
        {"SMode=101000100", "132\t253\t412", "253", "412"},      // no cadence: altitude is field 2
        {"SMode=011000100", "132\t85\t412", "", "412"},          // no speed digit: no speed stored
        {"SMode=111000100", "132\t\t85\t412", "", "412"},        // empty field between two tabs
        {"SMode=111000100", "132\t253\t85", "253", ""},          // ends just before the altitude column
        {"SMode=111000100", "132\t253", "253", "253"},           // beyond the end: tab positions repeat
        {"SMode=111111100", "132\t253\t85\t412\t250\t7", "253", "412"},  // power fields follow the altitude
        {"Version=105\nMode=110", "132\t253\t412", "253", "412"},        // 1.05 metric
        {"Version=105\nMode=111", "132\t253\t412\t999", "253",
         "999"},  // 1.05 imperial counts the units digit
    };
    for (const auto& c : cases) {
        RideRecord ride;
        RecordingPrompter p;
        loadHrm(ride, "[Params]\n" + c.mode + "\nInterval=5\n[HRData]\n" + c.line + "\n", p);
        EXPECT_EQ(ride.samples.text(1, 1), c.speed) << c.mode << " " << c.line;
        EXPECT_EQ(ride.samples.text(1, 2), c.alt) << c.mode << " " << c.line;
    }
    RideRecord ride;
    RecordingPrompter p;
    loadHrm(ride, "[Params]\nMode=111\nInterval=5\n[HRData]\n", p);
    EXPECT_EQ(ride.header.Type(), "miles/feet");
    EXPECT_EQ(ride.header.Mode(), "111");
}

TEST(HrmReader, IncompleteHeadersStoreNothingAndSaySo) {
    struct Case {
        std::string text, shown, ecode;
    };
    const std::string inc = std::string(kMsgHeaderIncomplete) + "|";
    const Case cases[] = {
        {"[Params]\nSMode=100000100\nInterval=5\n[HRData]\n1\t2\n", "Couldn't find ALTITUDE data|" + inc,
         "48"},
        {"[Params]\nSMode=111000000\nInterval=5\n[HRData]\n1\t2\n", "Couldn't find SPEED data|" + inc, "48"},
        {"[Params]\nSMode=010000000\nInterval=5\n[HRData]\n1\t2\n",
         "Couldn't find ALTITUDE data|Couldn't find SPEED data|" + inc, "48"},
        {"[Params]\nMode=010\nInterval=5\n[HRData]\n1\t2\n", "Couldn't find ALTITUDE data|" + inc, "48"},
        {"[Params]\nSMode=111000100\nInterval=5\n1\t2\n", inc, "33"},
        {"[Params]\nSMode=111000100\nInterval=5\nInterval=5\n[HRData]\n1\t2\n", inc, "81"},
        {"[Params]\nSMode=111000100\n[HRData]\n Interval=5\n", inc,
         "17"},  // a key only counts at the line start
    };
    for (const auto& c : cases) {
        RideRecord ride;
        ride.samples.setText(1, 1, "old");
        ride.ImportStatus = "HAC4 File activ";
        RecordingPrompter p;
        const auto report = loadHrm(ride, c.text, p);
        EXPECT_TRUE(report.noData && !report.refused) << c.text;
        EXPECT_EQ(shownTexts(p), c.shown) << c.text;
        EXPECT_EQ(p.messages.back().title, "Velobridge-Msg");
        EXPECT_EQ(p.messages.front().icon, MessageIcon::critical);
        EXPECT_EQ(ride.header.ECode(), c.ecode) << c.text;
        EXPECT_EQ(ride.samples.text(1, 1), "old");
        EXPECT_EQ(ride.ImportStatus, "HAC4 File activ");
        EXPECT_EQ(ride.ProgramName, "test");
    }
}

TEST(HrmReader, IntervalSetsTheButtonAndOutOfRangeValuesAreRefused) {
    RideRecord ride;
    RecordingPrompter p;
    loadHrm(ride, "[Params]\nSMode=111000100\nInterval= 60 \n[HRData]\n1\t2\t3\t4\n", p);
    EXPECT_TRUE(ride.Calc15Available);
    EXPECT_EQ(ride.header.Interval(), "60");
    loadHrm(ride, "[Params]\nSMode=111000100\nInterval=2.5\n[HRData]\n1\t2\t3\t4\n", p);
    EXPECT_FALSE(ride.Calc15Available);
    EXPECT_EQ(ride.RecordInterval, 2);  // ties to even
    EXPECT_EQ(ride.header.Interval(), "2.5");

    const RideRecord before = ride;
    const auto report =
        loadHrm(ride, "[Params]\nSMode=111000100\nInterval=32768\n[HRData]\n1\t2\t3\t4\n", p, "x.hrm");
    EXPECT_TRUE(report.refused);
    EXPECT_NE(report.message.find("32767"), std::string::npos);
    EXPECT_EQ(p.messages.back().text, report.message);
    EXPECT_TRUE(ride.samples == before.samples && ride.header == before.header && ride.ProgramName == "test");
}

TEST(HrmReader, AppendAddsAfterTheLastRowWhateverTheTableHolds) {
    const std::string file = kHead + rows(1, 3);
    RideRecord ride;
    RecordingPrompter yes(true);
    loadHrm(ride, file, yes);
    EXPECT_TRUE(yes.questions.empty());  // "-" header before: nothing to add to
    loadHrm(ride, file, yes);
    ASSERT_EQ(yes.questions.size(), 1u);
    EXPECT_EQ(yes.questions[0].title, "Velobridge");
    EXPECT_EQ(yes.questions[0].text, "You like to add this file?");
    EXPECT_EQ(tableText(ride.samples),
              "#\tSpeed\tAlt\n1\t1\t401\n2\t2\t402\n3\t3\t403\n4\t1\t401\n5\t2\t402\n6\t3\t403\n");

    // A two-row table, a blank row in the middle, and a table without sample rows.
    for (const int kept : {2, 0}) {
        RideRecord r = ride;
        r.samples.setRowCount(kept + 1);
        if (kept == 2) r.samples.setText(1, 1, "");
        const auto report = loadHrm(r, kHead + rows(7, 2), yes);
        EXPECT_EQ(report.samples, 2);
        EXPECT_EQ(r.samples.rowCount(), kept + 3);
        EXPECT_EQ(r.samples.text(kept + 1, 0), std::to_string(kept + 1));
        EXPECT_EQ(r.samples.text(kept + 2, 1), "8");
        if (kept == 2) {
            EXPECT_EQ(r.samples.text(2, 1), "2");
        }
    }

    RecordingPrompter no(false);
    loadHrm(ride, file, no);
    EXPECT_EQ(ride.samples.sampleCount(), 3);
}

TEST(HrmReader, RidesPastTheSampleLimitAreRefusedWhole) {
    RideRecord ride;
    RecordingPrompter yes(true);
    const auto full = loadHrm(ride, kHead + rows(1, SampleTable::kMaxSamples), yes);
    EXPECT_EQ(full.samples, SampleTable::kMaxSamples);
    EXPECT_EQ(ride.samples.text(SampleTable::kMaxSamples, 0), "32765");

    const RideRecord before = ride;
    auto report = loadHrm(ride, kHead + rows(1, 1), yes);  // an append past the limit
    EXPECT_TRUE(report.refused);
    EXPECT_TRUE(ride.samples == before.samples);
    report =
        loadHrm(ride, "[Params]\nSMode=111000100\nInterval=1\n[HRData]\n" + rows(1, 32766), yes, "b.hrm");
    EXPECT_TRUE(report.refused);
    EXPECT_TRUE(ride.samples == before.samples && ride.header == before.header && ride.ProgramName == "test");
}

TEST(HrmReader, AHeaderAmongTheDataStopsReadingThere) {
    for (const std::string second :
         {"[Params]\nVersion=106\n", "[HRData]\n", "Interval=5\n", "SMode=111000110\n"}) {
        RideRecord ride;
        RecordingPrompter p(true);
        const auto report = loadHrm(ride, kHead + rows(1, 2) + second + rows(3, 2), p);
        EXPECT_FALSE(report.refused || report.noData);
        EXPECT_EQ(report.message,
                  "Reading stopped at line 9, where another ride's header begins; the samples before it were "
                  "kept.");
        EXPECT_EQ(shownTexts(p), report.message + "|");
        EXPECT_EQ(ride.samples.sampleCount(), 2);
        EXPECT_EQ(ride.header.ECode(), "49");
        EXPECT_EQ(ride.header.Type(), "meter/meter");
    }
}

TEST(HrmReader, TextLeavesTheReaderAsUtf8) {
    RideRecord ride;
    RecordingPrompter p;
    loadHrm(ride, "[Params]\nVersion=1\xE9\nSMode=111000100\nInterval=5\n[HRData]\n1\t\x80\t2\t\xB0\n", p,
            "C:\\Fahrten\\Gro\xDF"
            "glockner.hrm");
    EXPECT_EQ(ride.ProgramName,
              "Gro\xC3\x9F"
              "glockner");
    EXPECT_EQ(ride.header.Version(), "1\xC3\xA9");
    EXPECT_EQ(ride.samples.text(1, 1), "\xE2\x82\xAC");
    EXPECT_EQ(ride.samples.text(1, 2), "\xC2\xB0");
    loadHrm(ride, "[Params]\n", p, "/users/x/r\xC3\xA9my");  // UTF-8 path, no "."
    EXPECT_EQ(ride.ProgramName, "r\xC3\xA9my");
    loadHrm(ride, "[Params]\n", p, "/users/remy/K\xC3\xB6nigsetappe");
    EXPECT_EQ(ride.ProgramName, "K\xC3\xB6nigsetappe");  // whole name, never cut to 16 here
}

TEST(HrmReader, EveryTruncatedPrefixKeepsTheSamplesItHolds) {
    const auto data = test::readAll(test::dataFile("import/climb.hrm"));
    RideRecord full;
    RecordingPrompter p;
    test::loadHrmData(full, "climb.hrm", data, p);
    for (std::size_t n = 0; n < data.size(); ++n) {
        RideRecord ride;
        const auto report = test::loadHrmData(ride, "climb.hrm", std::span(data).first(n), p);
        ASSERT_FALSE(report.refused);
        // Every row but the last (which may hold a cut line) matches the full table.
        for (int row = 1; row + 1 < ride.samples.rowCount(); ++row)
            for (int column = 0; column < 3; ++column)
                ASSERT_EQ(ride.samples.text(row, column), full.samples.text(row, column)) << n;
    }
}

TEST(HrmReader, ThirdPartyFilesImportOrAreRefusedAsTheirHeadersCallFor) {
    struct Case {
        const char* file;
        const char* shown;
        int samples;
        const char* type;
        const char* first;
        const char* last;
    };
    const std::string inc = std::string(kMsgHeaderIncomplete) + "|";
    const Case cases[] = {
        {"gc_10091901.hrm", "", 811, "meter/meter", "51 285", "67 287"},
        {"gc_09052101.hrm", "", 843, "miles/feet", "0 685", "94 440"},
        {"st_s725_cycling-metric.hrm", "", 3720, "meter/meter", "0 219", "54 243"},
        {"st_s710_cycling-metric.hrm", "", 294, "meter/meter", "42 240", "153 228"},
        {"ra_11052801.hrm", "Couldn't find ALTITUDE data|", 0, "meter/meter", "", ""},
        {"bp_training-sessions-22165267.hrm", "Couldn't find SPEED data|", 0, "meter/meter", "", ""},
    };
    for (const auto& c : cases) {
        RideRecord ride;
        RecordingPrompter p;
        const auto path = test::dataFile(std::string("thirdparty/hrm/") + c.file);
        const auto report = test::loadHrmData(ride, path.string(), test::readAll(path), p);
        const bool loads = c.samples > 0;
        EXPECT_EQ(shownTexts(p), c.shown + (loads ? std::string() : inc)) << c.file;
        EXPECT_EQ(report.samples, c.samples) << c.file;
        EXPECT_EQ(ride.header.ECode(), loads ? "49" : "48") << c.file;
        EXPECT_EQ(ride.header.Type(), c.type) << c.file;
        if (!loads) continue;
        const int n = ride.samples.sampleCount();
        EXPECT_EQ(n, c.samples);
        EXPECT_EQ(std::string(ride.samples.text(1, 1)) + " " + std::string(ride.samples.text(1, 2)), c.first);
        EXPECT_EQ(std::string(ride.samples.text(n, 1)) + " " + std::string(ride.samples.text(n, 2)), c.last);
    }
}

}  // namespace
}  // namespace vb
