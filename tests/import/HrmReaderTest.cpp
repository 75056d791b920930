#include "import/HrmReader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "support/TestSupport.h"

namespace vb {
namespace {

const std::string kHead = "[Params]\nVersion=106\nSMode=111000100\nDate=20260412\nInterval=5\n[HRData]\n";

std::string rows(int from, int count) {
    std::string out;
    for (int i = from; i < from + count; ++i)
        out += "130\t" + std::to_string(i) + "\t85\t" + std::to_string(400 + i) + "\n";
    return out;
}

std::string messages(const std::vector<Error>& errors) {
    std::string out;
    for (const Error& e : errors) out += e.message + "|";
    return out;
}

/// Reads `text` as the file `path` and loads it into `ride`, added to its samples when `append`.
Result<int> load(RideRecord& ride, std::string_view text, std::string_view path = "C:\\rides\\test.hrm",
                 bool append = false) {
    const auto file = readPolarFile(path, toBytes(text));
    if (!file) return file.error();
    EXPECT_EQ(appendsTo(ride, *file), append) << "the file may be added exactly when the headers match";
    return loadPolarFile(ride, *file, append);
}

TEST(HrmReader, GoldenFileGivesTheHandComputedTableWhateverItsLineEndsWhatFollowsAndWhereItIsCut) {
    // climb.hrm has CR LF line ends, an empty line and a line with leading blanks among its data.
    const std::string crlf(asText(test::readAll(test::dataFile("import/climb.hrm"))));
    std::string lf = crlf;
    std::erase(lf, '\r');
    lf.replace(lf.find("\n\n  130"), 2, "\n   \n");  // a line of blanks is an empty row too
    const std::string stop =
        "Reading stopped at line 20, where another ride's header begins; the samples before it were kept.|";
    const std::pair<std::string, std::string> cases[] = {
        {crlf, ""},
        {lf, ""},
        {lf.substr(0, lf.size() - 1), ""},  // the last line without its line end
        {lf + "[Params]\n" + rows(1, 2), stop},  // another ride's header among the data
        {lf + "[HRData]\n" + rows(1, 2), stop},
        {lf + "Interval=5\n" + rows(1, 2), stop},
        {lf + "SMode=111000110\n" + rows(1, 2), stop},
    };
    for (const auto& [text, warnings] : cases) {
        RideRecord ride;
        const auto loaded = load(ride, text, "D:\\Touren\\climb.2026.hrm");
        ASSERT_TRUE(loaded.ok());
        EXPECT_EQ(messages(loaded.warnings()), warnings);
        EXPECT_EQ(tabSeparated(ride.samples), asText(test::readAll(test::dataFile("import/climb.table"))));
        EXPECT_EQ(ride.header.fields,
                  (std::array<std::string, 6>{"106", "20260301", "111000100", "meter/meter", "5", "49"}));
        EXPECT_EQ(ride.ProgramName, "climb");
    }
    // Every prefix keeps the rows it holds but the last, which may hold a cut line.
    RideRecord full;
    ASSERT_TRUE(load(full, crlf).ok());
    for (std::size_t n = 0; n < crlf.size(); ++n) {
        RideRecord ride;
        const auto loaded = load(ride, crlf.substr(0, n), "climb.hrm");
        ASSERT_TRUE(loaded.ok() || loaded.error().code == ErrorCode::empty) << n;
        for (int row = 1; row + 1 < ride.samples.rowCount(); ++row)
            for (int column = 0; column < 3; ++column)
                ASSERT_EQ(ride.samples.text(row, column), full.samples.text(row, column)) << n;
    }
}

TEST(HrmReader, ModeDigitsNameTheColumnsAndAnIncompleteHeaderStoresNoSamples) {
    // The header between [Params] and the data line, the data line, the speed and altitude stored, the
    // warnings, and the ECode: 16 for [HRData], 32 for each Interval line, 1 for a mode with both columns.
    const std::string rest = "\nInterval=5\n[HRData]", noAlt(kMsgNoAltitudeData), noSpeed(kMsgNoSpeedData);
    const std::tuple<std::string, std::string, std::string, std::string, std::string> cases[] = {
        {"SMode=111000100" + rest, "132\t253\t85\t412", "253 412", "", "49"},  // the worked example
        {"SMode=101000100" + rest, "132\t253\t412", "253 412", "", "49"},      // no cadence: altitude is field 2
        {"SMode=011000100" + rest, "132\t85\t412", " 412", "", "49"},          // no speed digit: no speed stored
        {"SMode=111000100" + rest, "132\t\t85\t412", " 412", "", "49"},        // empty field between two tabs
        {"SMode=111000100" + rest, "132\t253\t85", "253 ", "", "49"},          // ends before the altitude column
        {"SMode=111000100" + rest, "132\t253", "253 253", "", "49"},  // beyond the end: tab positions repeat
        {"SMode=111111100" + rest, "132\t253\t85\t412\t250\t7", "253 412", "", "49"},  // power fields after
        {"Version=105\nMode=110" + rest, "132\t253\t412", "253 412", "", "49"},       // 1.05 metric
        {"Version=105\nMode=111" + rest, "132\t253\t412\t999", "253 999", "", "49"},  // 1.05 imperial: units digit
        {"SMode=100000100" + rest, "1\t2", "old old", noAlt + "|", "48"},
        {"SMode=111000000" + rest, "1\t2", "old old", noSpeed + "|", "48"},
        {"SMode=010000000" + rest, "1\t2", "old old", noAlt + "|" + noSpeed + "|", "48"},
        {"Mode=010" + rest, "1\t2", "old old", noAlt + "|", "48"},
        {"SMode=111000100\nInterval=5", "1\t2", "old old", "", "33"},
        {"SMode=111000100\nInterval=5" + rest, "1\t2", "old old", "", "81"},
        {"SMode=111000100\n[HRData]", " Interval=5", "old old", "", "17"},  // a key only counts at the line start
    };
    for (const auto& [head, line, cells, warnings, ecode] : cases) {
        SCOPED_TRACE(head + " / " + line);
        const auto file = readPolarFile("C:\\rides\\test.hrm", toBytes("[Params]\n" + head + "\n" + line + "\n"));
        EXPECT_EQ(messages(file.warnings()), warnings);
        RideRecord ride;
        ride.samples.setText(1, 1, "old");
        ride.samples.setText(1, 2, "old");
        const auto loaded = loadPolarFile(ride, *file, false);
        EXPECT_EQ(loaded ? "" : loaded.error().message, ecode == "49" ? "" : kMsgHeaderIncomplete);
        EXPECT_TRUE(loaded || loaded.error().code == ErrorCode::empty);
        EXPECT_EQ(ride.ImportStatus, loaded.ok() ? "HRM (Polar) File activ" : "-");
        EXPECT_EQ(ride.header.ECode(), ecode);
        EXPECT_EQ(ride.ProgramName, "test");
        EXPECT_EQ(std::string(ride.samples.text(1, 1)) + " " + std::string(ride.samples.text(1, 2)), cells);
        EXPECT_EQ(ride.header.Type(), head.ends_with("Mode=111" + rest) ? "miles/feet" : "meter/meter");
    }
}

TEST(HrmReader, HeaderTextsAndTheInterval) {
    RideRecord ride;
    ASSERT_TRUE(load(ride, "[Params]\nVersion=1\xE9\nSMode=111000100\nInterval= 60 \n[HRData]\n1\t\x80\t2\t\xB0\n",
                     "C:\\Fahrten\\Gro\xDFglockner.hrm").ok());
    EXPECT_EQ(ride.ProgramName, "Gro\xC3\x9F" "glockner");  // 8-bit texts arrive as UTF-8
    EXPECT_EQ(ride.header.Version(), "1\xC3\xA9");
    EXPECT_EQ(tabSeparated(ride.samples), "#\tSpeed\tAlt\n1\t\xE2\x82\xAC\t\xC2\xB0\n");
    EXPECT_EQ(ride.header.Interval(), "60");
    EXPECT_TRUE(ride.Calc15Available) << "a 60-second ride may be resampled";
    ASSERT_TRUE(load(ride, "[Params]\nSMode=111000100\nInterval=2.5\n[HRData]\n1\t2\t3\t4\n").ok());
    EXPECT_FALSE(ride.Calc15Available);
    EXPECT_EQ(ride.RecordInterval, 2);  // ties to even
    EXPECT_EQ(ride.header.Interval(), "2.5");
    const auto refused = readPolarFile("x.hrm", toBytes("[Params]\nSMode=111000100\nInterval=32768\n[HRData]\n"));
    EXPECT_NE(refused ? std::string::npos : refused.error().message.find("32767"), std::string::npos);
    EXPECT_EQ(polarTitle("/users/x/r\xC3\xA9my"), "r\xC3\xA9my");  // UTF-8 path, no "."
    EXPECT_EQ(polarTitle("/users/remy/K\xC3\xB6nigsetappe"), "K\xC3\xB6nigsetappe");  // never cut to 16 here
}

TEST(HrmReader, AppendAddsAfterTheLastRowWhateverTheTableHoldsUpToTheSampleLimit) {
    const std::string file = kHead + rows(1, 3);
    RideRecord ride;
    ASSERT_TRUE(load(ride, file).ok());  // "-" header before: nothing to add to
    ASSERT_TRUE(load(ride, file, "test.hrm", true).ok());
    EXPECT_EQ(tabSeparated(ride.samples),
              "#\tSpeed\tAlt\n1\t1\t401\n2\t2\t402\n3\t3\t403\n4\t1\t401\n5\t2\t402\n6\t3\t403\n");
    // A two-row table with a blank row in the middle, and a table without sample rows.
    for (const int kept : {2, 0}) {
        RideRecord r = ride;
        r.samples.setRowCount(kept + 1);
        if (kept == 2) r.samples.setText(1, 1, "");
        EXPECT_EQ(*load(r, kHead + rows(7, 2), "test.hrm", true), 2);
        EXPECT_EQ(r.samples.rowCount(), kept + 3);
        EXPECT_EQ(r.samples.text(kept + 1, 0), std::to_string(kept + 1));
        EXPECT_EQ(r.samples.text(kept + 2, 1), "8");
        EXPECT_EQ(r.samples.text(2, 1), kept == 2 ? "2" : "8");
    }

    RideRecord full;
    EXPECT_EQ(*load(full, kHead + rows(1, SampleTable::kMaxSamples)), SampleTable::kMaxSamples);
    EXPECT_EQ(full.samples.text(SampleTable::kMaxSamples, 0), "32765");
    const RideRecord before = full;
    EXPECT_FALSE(load(full, kHead + rows(1, 1), "test.hrm", true).ok());  // an append past the limit
    EXPECT_FALSE(load(full, "[Params]\nSMode=111000100\nInterval=1\n[HRData]\n" + rows(1, 32766), "b.hrm").ok());
    EXPECT_TRUE(full.samples == before.samples && full.header == before.header && full.ProgramName == "test");
}

TEST(HrmReader, ThirdPartyFilesImportOrAreRefusedAsTheirHeadersCallFor) {
    std::istringstream golden(std::string(asText(test::readAll(test::dataFile("import/thirdparty-hrm.txt")))));
    int files = 0;
    for (std::string line; std::getline(golden, line);) {
        if (line.starts_with("#")) continue;
        ++files;
        const std::string name = line.substr(0, line.find(':'));
        const auto file = readPolarFile(name, test::readAll(test::dataFile("thirdparty/hrm/" + name)));
        RideRecord ride;
        const auto loaded = loadPolarFile(ride, *file, false);
        const auto cells = [&ride](int row) {
            return std::string(ride.samples.text(row, 1)) + " " + std::string(ride.samples.text(row, 2));
        };
        const std::string read = loaded ? std::to_string(*loaded) + ": " + cells(1) + ", " + cells(*loaded) : "refused";
        EXPECT_EQ(name + ": " + file->header.Type() + " " + messages(file.warnings()) + read, line);
    }
    EXPECT_EQ(files, 6);
}

}  // namespace
}  // namespace vb
