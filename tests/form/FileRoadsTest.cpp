// The window's other roads: the PGM to PGMF converter, the RLV creator and
// the run files with their HRM export.

#include "app/RlvFile.h"
#include "app/RlvScript.h"
#include "base/Files.h"
#include "form/FormTestSupport.h"
#include "import/RideImport.h"
#include "support/RideLoad.h"
#include "route/ProgramReader.h"

namespace vb::test {
namespace {

namespace fs = std::filesystem;

Bytes i16Bytes(int v) { return bytesOf({v & 0xFF, (v >> 8) & 0xFF}); }
Bytes i32Bytes(std::int64_t v) {
    return bytesOf({int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF), int((v >> 24) & 0xFF)});
}
Bytes textBytes(std::string_view text) { return toBytes(text); }
Bytes zeros(std::size_t n) { return Bytes(n, std::byte{0}); }
void writeBytes(const fs::path& path, const Bytes& bytes) { writeAll(path, asText(bytes)); }

// A V1.0 program "abc": one section of 0.25 km at 4 %.
Bytes pgmAbc() {
    return i16Bytes(1) + f64Bytes(0.25) + f64Bytes(4.0) + i32Bytes(0) + bytesOf({3, 'a', 'b', 'c'}) + i32Bytes(1) +
           i32Bytes(1) + bytesOf({'V', 'L', 'B', 0xFE}) + textBytes("created by Velobridge - Version0.6a");
}

TEST(Converter, DescribesConvertsAndRereadsTheList) {
    FormRig rig;
    const fs::path pgm = rig.dir / "pgm";
    fs::create_directories(pgm);
    writeBytes(pgm / "climb.pgm", pgmAbc());
    fs::copy_file(dataFile("thirdparty/pgmf/gc_warmup.pgmf"), pgm / "blue.pgm");
    rig.start({"", text(pgm) + "/"});
    MainForm& form = *rig.form;
    ASSERT_EQ(form.control("File2").items, (std::vector<std::string>{"blue.pgm", "climb.pgm"}));

    form.selectItem("File2", 1);
    expectTexts(form, {{"Label5", "climb.pgm (Catalyst 1.0)"},
                       {"Label12(1)", "Slope"},
                       {"Label12(3)", "Distance"},
                       {"Label12(5)", "1"}});
    EXPECT_TRUE(form.control("Command10").enabled);

    writeAll(pgm / "later.pgm", "x");
    form.press("Command10");
    EXPECT_TRUE(rig.dialogs.messages.empty());
    EXPECT_FALSE(form.control("Command10").enabled);
    EXPECT_EQ(form.control("Label5").caption, "climb.pgm (Catalyst 2.0 Converted)");
    EXPECT_EQ(form.control("File2").items.size(), 3u);
    const Bytes expected =
        bytesOf({0xE8, 0x03, 0x64, 0, 2, 0, 0, 0, 0xF2, 0x03, 0x64, 0, 1, 0, 0, 0, 0x46, 0, 0, 0, 0, 0, 0, 0}) +
        bytesOf({'a', 0, 'b', 0, 'c', 0}) + zeros(28) + i32Bytes(1) + i32Bytes(1) + zeros(24) +
        bytesOf({0xFC, 0x03, 0x64, 0}) + i32Bytes(1) + i32Bytes(12) + f32Bytes(250.0f) + f32Bytes(4.0f) +
        i32Bytes(0) + bytesOf({8, 0, 24, 0}) + textBytes("created by Velobridge - ");
    const Bytes written = readAll(rig.base / "PGMF_Conv" / "abc.pgmf");
    EXPECT_EQ(written, expected) << hex(written);
    const auto back = readPgmf(written);
    ASSERT_TRUE(back.ok()) << back.error().message;
    EXPECT_EQ(back->name, "abc");
    ASSERT_EQ(back->sections.size(), 1u);
    EXPECT_EQ(back->sections[0].distance, 250.0);

    // A V2.0 file is described as such and cannot be converted.
    form.selectItem("File2", 0);
    EXPECT_EQ(form.control("Label5").caption, "blue.pgm (Catalyst 2.0)");
    EXPECT_FALSE(form.control("Command10").enabled);

    // A failed write is reported.
    blockFolder(rig.base / "PGMF_Conv");
    form.selectItem("File2", 1);
    form.press("Command10");
    expectLastMessageNames(rig.dialogs, 1, "PGMF_Conv");
}

TEST(RlvCreator, ReadsTheScriptAndWritesTheFile) {
    FormRig rig;
    rig.start();
    MainForm& form = *rig.form;
    rig.dialogs.files = {""};
    form.press("Command6");
    EXPECT_TRUE(form.control(ids::kRlvList).items.empty());

    form.setText("SpeedReferenz", "900");
    rig.dialogs.files = {text(exampleFile("alpine-loop.vlb"))};
    form.press("Command6");
    EXPECT_EQ(rig.dialogs.opened.back().filter, "(*.vlb Polar File)|*.vlb");
    EXPECT_TRUE(rig.dialogs.messages.empty());
    const auto& lines = form.control(ids::kRlvList).items;
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "VERSION : VLB_1.0");
    EXPECT_EQ(lines.back().rfind("FRAME_INDEX : ", 0), 0u);
    ASSERT_TRUE(form.control("Command7").enabled);

    form.press("Command7");
    EXPECT_TRUE(rig.dialogs.messages.empty());
    const Bytes written = readAll(rig.base / "RLV" / "Alpine Loop.rlv");
    RecordingPrompter prompter;
    const RlvScript script = Load_RLV_Script(readAll(exampleFile("alpine-loop.vlb")), "900", prompter);
    EXPECT_EQ(written.size(), 1186u + 8u * std::size_t(script.rlv_count));
    const auto rlv = readRlv(written);
    ASSERT_TRUE(rlv.ok()) << rlv.error().message;
    EXPECT_EQ(rlv->videoName, "Alpine Loop.avi");
    EXPECT_EQ(rlv->frameRate, 25.0f);
    ASSERT_EQ(rlv->frames.size(), std::size_t(script.rlv_count));
    EXPECT_EQ(rlv->frames[0].frame, 0);
    EXPECT_EQ(rlv->frames[0].factor, 32.5f / 90.0f);  // the reference 900 is 90 per 10 km/h
    EXPECT_EQ(rlv->frames[1].frame, 1500);

    // A wrong script shows its message and switches "Create RLV File" off.
    writeAll(rig.dir / "bad.vlb", "vers=VLB_2.0\r\ntype=km/h\r\nfps#=25\r\nname=x\r\nfram=0;1.0\r\n");
    rig.dialogs.files = {text(rig.dir / "bad.vlb")};
    form.press("Command6");
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(rig.dialogs.messages[0].text, "Wrong version_ID");
    EXPECT_EQ(rig.dialogs.messages[0].title, "Velobridge");
    EXPECT_FALSE(form.control("Command7").enabled);

    // A failed write is reported.
    rig.dialogs.files = {text(exampleFile("alpine-loop.vlb"))};
    form.press("Command6");
    blockFolder(rig.base / "RLV");
    form.press("Command7");
    expectLastMessageNames(rig.dialogs, 2, "No RLV file was written");
}

// A V1.0 run file: a 1 km slope section at 5 %, 12 data records 10 m apart.
Bytes runFile(std::string_view name, int type) {
    Bytes nameField = textBytes(name) + zeros(32 - name.size());
    Bytes out = nameField + i32Bytes(0) + zeros(4) + bytesOf({type, 0, 0, 0}) + i32Bytes(0) + i32Bytes(1) +
                i32Bytes(0) + f64Bytes(5.0) + f64Bytes(1.0) + zeros(524) + i16Bytes(2006) + i16Bytes(1) +
                i16Bytes(0) + i16Bytes(1) + i16Bytes(9) + i16Bytes(5) + bytesOf({0xFF, 0xFF, 0xFF, 0xFF}) + zeros(10);
    for (int i = 0; i < 12; ++i)
        out = out + f32Bytes(10.0f * i) + bytesOf({120 + i, 80}) + i16Bytes(2000) + i16Bytes(300);
    return out;
}

// Reads an HRM file back and returns its sample rows as "speed altitude".
std::vector<std::string> hrmSamples(const fs::path& file) {
    RideRecord ride;
    RecordingPrompter prompter;
    const auto report = test::importRideFile(ride, file, prompter);
    EXPECT_TRUE(report.ok() && !report->refused && !report->noData);
    EXPECT_EQ(ride.header.Interval(), "5");
    std::vector<std::string> rows;
    for (int r = 1; r < ride.samples.rowCount(); ++r)
        rows.push_back(std::string(ride.samples.text(r, 1)) + " " + std::string(ride.samples.text(r, 2)));
    return rows;
}

TEST(HrmExport, RunFileListsCreateHrmAndConvertAll) {
    FormRig rig;
    const fs::path runs = rig.dir / "runs";
    fs::create_directories(runs);
    writeBytes(runs / "good.ca", runFile("Ride A", 1));
    writeBytes(runs / "also.ca", runFile("Ride B", 1));
    writeBytes(runs / "bad.ca", runFile("Ride C", 7));
    writeAll(runs / "bad.caf", "not a run file");
    rig.start({"", "", text(runs / ""), "", text(runs / "")});  // folders end with the separator
    MainForm& form = *rig.form;
    ASSERT_EQ(form.control("File1(0)").items, (std::vector<std::string>{"also.ca", "bad.ca", "good.ca"}));

    form.selectItem("File1(0)", 2);
    EXPECT_TRUE(rig.dialogs.messages.empty());
    EXPECT_EQ(form.control("Label8").caption, "Catalyst V1.0 Info (*.ca)");
    EXPECT_EQ(form.control("List1").items,
              (std::vector<std::string>{"####################", "Filename: Ride A", "Type: Slope", "Sections: 1",
                                        "Date: 2006-1-1", "Time: 9:5", "Data: 11", "####################"}));
    ASSERT_TRUE(form.control("Command4(1)").enabled);
    form.setText("BaseSetting", "100");
    form.press("Command4(1)");
    EXPECT_TRUE(rig.dialogs.messages.empty());
    const fs::path hrm = rig.base / "HRM" / "good.ca.hrm";
    const std::string written(asText(readAll(hrm)));
    EXPECT_EQ(written.rfind("[Params]\r\nVersion=106\r\nMonitor=12\r\nSMode=11111110\r\nDate=20060101\r\n"
                            "StartTime=09:05\r\nLength=0:00:11.0\r\nInterval=5\r\n",
                            0),
              0u);
    // Samples 0, 5 and 10, climbing 5 % of 10 m per sample from 100 m.
    EXPECT_EQ(hrmSamples(hrm), (std::vector<std::string>{"300 100", "300 102", "300 104"}));

    // A run file that cannot be identified is named in a message.
    form.selectItem("File1(0)", 1);
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(rig.dialogs.messages[0].title, "Velobridge - MSG");
    EXPECT_EQ(rig.dialogs.messages[0].text.rfind("Cant identify!! Send this file to ", 0), 0u);
    EXPECT_NE(rig.dialogs.messages[0].text.find("File: " + text(runs / "bad.ca")), std::string::npos);
    EXPECT_TRUE(form.control("List1").items.empty());
    EXPECT_FALSE(form.control("Command4(1)").enabled);
    form.selectItem("File1(1)", 0);
    EXPECT_EQ(form.control("Label8").caption, "Catalyst V2.0 Info (*.caf)");
    EXPECT_EQ(rig.dialogs.messages.size(), 2u);
    rig.dialogs.messages.clear();

    // "Convert All" writes the others and names the skipped file in one message.
    fs::remove(hrm);
    form.press("Command5(0)");
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_NE(rig.dialogs.messages[0].text.find(text(runs / "bad.ca")), std::string::npos);
    EXPECT_EQ(rig.dialogs.messages[0].text.find("good.ca"), std::string::npos);
    EXPECT_EQ(hrmSamples(rig.base / "HRM" / "also.ca.hrm"), hrmSamples(rig.base / "HRM" / "good.ca.hrm"));
    EXPECT_FALSE(fs::exists(rig.base / "HRM" / "bad.ca.hrm"));
    EXPECT_EQ(form.control("File1(0)").selected, 2);
    EXPECT_EQ(form.control("List1").items[1], "Filename: Ride A");
    EXPECT_TRUE(form.control("Command4(1)").enabled);

    // A failed write is reported.
    blockFolder(rig.base / "HRM");
    form.press("Command4(1)");
    expectLastMessageNames(rig.dialogs, 2, "No HRM file was written");
}

TEST(HrmExport, V2RunListRefreshAndConvertAll) {
    FormRig rig;
    const fs::path runs = rig.dir / "caf";
    fs::create_directories(runs);
    rig.start({"", "", "", "", text(runs) + "/"});
    MainForm& form = *rig.form;
    EXPECT_TRUE(form.control("File1(1)").items.empty());

    // A run file added after start-up shows only after "Refresh".
    fs::copy_file(exampleFile("alpine-loop.caf"), runs / "Tour.CAF");
    EXPECT_TRUE(form.control("File1(1)").items.empty());
    form.press("Command2(1)");
    ASSERT_EQ(form.control("File1(1)").items, (std::vector<std::string>{"Tour.CAF"}));

    form.selectItem("File1(1)", 0);
    EXPECT_TRUE(rig.dialogs.messages.empty());
    EXPECT_EQ(form.control("Label8").caption, "Catalyst V2.0 Info (*.caf)");
    EXPECT_EQ(form.control("List1").items,
              (std::vector<std::string>{"####################", "Filename: alpine-loop", "Type: Slope", "Routes: 201",
                                        "Data_1: 201(8040)", "Sections: 3600", "Data_2: 3600",
                                        "####################"}));
    EXPECT_TRUE(form.control("Command4(1)").enabled);

    // "Convert All" on the V2.0 list: one data line per fifth of the 3600 samples.
    form.press("Command5(1)");
    EXPECT_TRUE(rig.dialogs.messages.empty());
    const fs::path hrm = rig.base / "HRM" / "Tour.CAF.hrm";
    ASSERT_TRUE(fs::exists(hrm));
    EXPECT_EQ(hrmSamples(hrm).size(), 720u);
    const std::string written(asText(readAll(hrm)));
    EXPECT_NE(written.find("\r\nLength=1:00:00.0\r\n"), std::string::npos);
}

}  // namespace
}  // namespace vb::test
