// The window's other roads: the PGM to PGMF converter, the RLV creator and
// the run files with their HRM export.

#include "app/RlvFile.h"
#include "form/FormTestSupport.h"
#include "import/HrmReader.h"
#include "route/ProgramReader.h"

namespace vb::test {
namespace {

namespace fs = std::filesystem;

// The sample table of an HRM file, read back with the HRM reader.
SampleTable hrmSamples(const fs::path& file) {
    RideRecord ride;
    const Bytes data = readAll(file);
    const auto parsed = readPolarFile(text(file), data);
    EXPECT_TRUE(parsed.ok() && loadPolarFile(ride, *parsed, false).ok()) << file;
    return ride.samples;
}

TEST(Converter, DescribesConvertsAndRereadsTheList) {
    FormRig rig;
    const fs::path pgm = rig.dir / "pgm";
    fs::create_directories(pgm);
    fs::copy_file(exampleFile("alpine-loop.pgm"), pgm / "climb.pgm");
    fs::copy_file(dataFile("thirdparty/pgmf/gc_warmup.pgmf"), pgm / "blue.pgm");
    Settings s;
    s.pgm_path = text(pgm) + "/";
    MainForm& form = rig.start(s);
    ASSERT_EQ(form.control("File2").items, (std::vector<std::string>{"blue.pgm", "climb.pgm"}));
    form.selectItem("File2", 2);  // beyond the list: no choice
    EXPECT_EQ(form.control("File2").selected, -1);

    form.selectItem("File2", 1);
    expectTexts(form, {{"Label5", "climb.pgm (Catalyst 1.0)"},
                       {"Label12(1)", "Slope"},
                       {"Label12(3)", "Distance"},
                       {"Label12(5)", "401"}});
    EXPECT_TRUE(form.control("Command10").enabled);

    writeAll(pgm / "later.pgm", "x");
    form.press("Command10");
    EXPECT_TRUE(rig.dialogs.messages.empty());
    EXPECT_FALSE(form.control("Command10").enabled);
    EXPECT_EQ(form.control("Label5").caption, "climb.pgm (Catalyst 2.0 Converted)");
    EXPECT_EQ(form.control("File2").items.size(), 3u);
    // The new file is named for the program inside and holds its sections.
    const auto v1 = readPgm(readAll(pgm / "climb.pgm"));
    ASSERT_TRUE(v1.ok());
    const auto v2 = readPgmf(readAll(rig.base / "PGMF_Conv" / (v1->name + ".pgmf")));
    ASSERT_TRUE(v2.ok()) << v2.error().message;
    EXPECT_EQ(v2->name, v1->name);
    EXPECT_EQ(v2->sections.size(), v1->sections.size());

    // A V2.0 file is described as such and cannot be converted.
    form.selectItem("File2", 0);
    EXPECT_EQ(form.control("Label5").caption, "blue.pgm (Catalyst 2.0)");
    EXPECT_FALSE(form.control("Command10").enabled);

    // A failed write is reported.
    blockFolder(rig.base / "PGMF_Conv");
    form.selectItem("File2", 1);
    form.press("Command10");
    rig.dialogs.expectLast(1, "PGMF_Conv");
}

TEST(RlvCreator, ReadsTheScriptAndWritesTheFile) {
    FormRig rig;
    MainForm& form = rig.start();
    rig.dialogs.files = {""};
    form.press("Command6");
    EXPECT_TRUE(form.control(ids::kRlvList).items.empty());

    form.setText("SpeedReferenz", "900");
    rig.dialogs.files = {text(exampleFile("alpine-loop.vlb"))};
    form.press("Command6");
    EXPECT_EQ(rig.dialogs.opened.back().first, "(*.vlb Polar File)|*.vlb");
    EXPECT_TRUE(rig.dialogs.messages.empty());
    const auto& lines = form.control(ids::kRlvList).items;
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "VERSION : VLB_1.0");
    EXPECT_EQ(lines.back().rfind("FRAME_INDEX : ", 0), 0u);
    ASSERT_TRUE(form.control("Command7").enabled);

    form.press("Command7");
    EXPECT_TRUE(rig.dialogs.messages.empty());
    const auto rlv = readRlv(readAll(rig.base / "RLV" / "Alpine Loop.rlv"));
    ASSERT_TRUE(rlv.ok()) << rlv.error().message;
    EXPECT_EQ(rlv->videoName, "Alpine Loop.avi");
    EXPECT_EQ(rlv->frameRate, 25.0f);
    ASSERT_GE(rlv->frames.size(), 2u);
    EXPECT_EQ(rlv->frames[0].frame, 0);
    EXPECT_EQ(rlv->frames[0].factor, 32.5f / 90.0f);  // the reference 900 is 90 per 10 km/h
    EXPECT_EQ(rlv->frames[1].frame, 1500);

    // A wrong script shows its message and switches "Create RLV File" off.
    const Bytes script = readAll(exampleFile("alpine-loop.vlb"));
    writeAll(rig.dir / "bad.vlb", asText(patched(script, {{9, toBytes("2")}})));  // vers=VLB_2.0
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
    rig.dialogs.expectLast(2, "No RLV file was written");
}

TEST(HrmExport, RunFileListsCreateHrmRefreshAndConvertAll) {
    FormRig rig;
    const fs::path runs = rig.dir / "runs";
    fs::create_directories(runs);
    const Bytes run = readAll(exampleFile("alpine-loop.ca"));
    writeAll(runs / "good.ca", asText(run));
    writeAll(runs / "also.ca", asText(run));
    writeAll(runs / "bad.ca", asText(patched(run, {{40, bytesOf({7})}})));  // program type 7
    writeAll(runs / "bad.caf", "not a run file");
    Settings s;
    s.ca_path = s.caf_path = text(runs / "");  // folders end with the separator
    MainForm& form = rig.start(s);
    ASSERT_EQ(form.control("File1(0)").items, (std::vector<std::string>{"also.ca", "bad.ca", "good.ca"}));

    form.selectItem("File1(0)", 2);
    EXPECT_TRUE(rig.dialogs.messages.empty());
    EXPECT_EQ(form.control("Label8").caption, "Catalyst V1.0 Info (*.ca)");
    ASSERT_EQ(form.control("List1").items.size(), 8u);
    EXPECT_EQ(form.control("List1").items[1], "Filename: alpine-loop");
    ASSERT_TRUE(form.control("Command4(1)").enabled);
    form.setText("BaseSetting", "100");
    form.press("Command4(1)");
    EXPECT_TRUE(rig.dialogs.messages.empty());
    const fs::path hrm = rig.base / "HRM" / "good.ca.hrm";
    EXPECT_EQ(hrmSamples(hrm).text(1, 2), "100");  // the altitude starts at the base setting

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
    EXPECT_EQ(readAll(rig.base / "HRM" / "also.ca.hrm"), readAll(hrm));
    EXPECT_FALSE(fs::exists(rig.base / "HRM" / "bad.ca.hrm"));
    EXPECT_EQ(form.control("File1(0)").selected, 2);
    EXPECT_EQ(form.control("List1").items[1], "Filename: alpine-loop");
    EXPECT_TRUE(form.control("Command4(1)").enabled);

    // A V2.0 run added after start-up shows after "Refresh"; "Convert All"
    // writes it with one data line per fifth of its 3600 samples.
    fs::copy_file(exampleFile("alpine-loop.caf"), runs / "Tour.CAF");
    EXPECT_EQ(form.control("File1(1)").items.size(), 1u);
    form.press("Command2(1)");
    ASSERT_EQ(form.control("File1(1)").items, (std::vector<std::string>{"bad.caf", "Tour.CAF"}));
    form.selectItem("File1(1)", 1);
    EXPECT_EQ(form.control("List1").items[3], "Routes: 201");
    rig.dialogs.messages.clear();
    form.press("Command5(1)");
    rig.dialogs.expectLast(1, "bad.caf");
    EXPECT_EQ(hrmSamples(rig.base / "HRM" / "Tour.CAF.hrm").sampleCount(), 720);

    // A failed write is reported.
    blockFolder(rig.base / "HRM");
    form.press("Command4(1)");
    rig.dialogs.expectLast(2, "No HRM file was written");
}

}  // namespace
}  // namespace vb::test
