// The window's other roads: the PGM to PGMF converter, the RLV creator and
// the run files with their HRM export.

#include "app/RlvFile.h"
#include "form/FormTestSupport.h"

namespace vb::test {
namespace {

namespace fs = std::filesystem;

TEST(Converter, DescribesConvertsAndRereadsTheList) {
    FormRig rig;
    fs::create_directories(rig.dir / "pgm");
    fs::copy_file(exampleFile("alpine-loop.pgm"), rig.dir / "pgm" / "climb.pgm");
    fs::copy_file(dataFile("thirdparty/pgmf/gc_warmup.pgmf"), rig.dir / "pgm" / "blue.pgm");
    Settings s;
    s.pgm_path = text(rig.dir / "pgm") + "/";
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
    writeAll(rig.dir / "pgm" / "later.pgm", "x");
    form.press("Command10");
    EXPECT_FALSE(form.control("Command10").enabled);
    EXPECT_EQ(form.control("Label5").caption, "climb.pgm (Catalyst 2.0 Converted)");
    EXPECT_TRUE(fs::exists(rig.base / "PGMF_Conv" / "alpine-loop.pgmf"));  // the program's name
    EXPECT_EQ(form.control("File2").items.size(), 3u);

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
    rig.dialogs.files = {"", text(exampleFile("alpine-loop.vlb"))};
    form.press("Command6");
    EXPECT_TRUE(form.control(ids::kRlvList).items.empty());
    form.setText("SpeedReferenz", "900");
    form.press("Command6");
    EXPECT_EQ(rig.dialogs.opened.back().first, "(*.vlb Polar File)|*.vlb");
    EXPECT_EQ(form.control(ids::kRlvList).items.at(0), "VERSION : VLB_1.0");
    ASSERT_TRUE(form.control("Command7").enabled);

    form.press("Command7");
    const auto rlv = readRlv(readAll(rig.base / "RLV" / "Alpine Loop.rlv"));
    ASSERT_TRUE(rlv.ok()) << rlv.error().message;
    EXPECT_EQ(rlv->videoName, "Alpine Loop.avi");
    ASSERT_GE(rlv->frames.size(), 2u);
    EXPECT_EQ(rlv->frames[0].factor, 32.5f / 90.0f);  // the reference 900 is 90 per 10 km/h

    // A wrong script shows its message and switches "Create RLV File" off.
    const Bytes script = readAll(exampleFile("alpine-loop.vlb"));
    writeAll(rig.dir / "bad.vlb", asText(patched(script, {{9, toBytes("2")}})));  // vers=VLB_2.0
    rig.dialogs.files = {text(rig.dir / "bad.vlb"), text(exampleFile("alpine-loop.vlb"))};
    form.press("Command6");
    rig.dialogs.expectLast(1, "Wrong version_ID", "Velobridge");
    EXPECT_FALSE(form.control("Command7").enabled);

    // A failed write is reported.
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
    EXPECT_EQ(form.control("Label8").caption, "Catalyst V1.0 Info (*.ca)");
    EXPECT_EQ(form.control("List1").items.at(1), "Filename: alpine-loop");
    ASSERT_TRUE(form.control("Command4(1)").enabled);
    form.setText("BaseSetting", "100");
    form.press("Command4(1)");
    const fs::path hrm = rig.base / "HRM" / "good.ca.hrm";
    rig.importRide(hrm);
    EXPECT_EQ(form.ride().samples.text(1, 2), "100");  // the altitude starts at the base setting

    // A run file that cannot be identified is named in a message.
    form.selectItem("File1(0)", 1);
    rig.dialogs.expectLast(1, "File: " + text(runs / "bad.ca"), "Velobridge - MSG");
    EXPECT_TRUE(form.control("List1").items.empty());
    EXPECT_FALSE(form.control("Command4(1)").enabled);

    // "Convert All" writes the others and names the skipped file in one message.
    fs::remove(hrm);
    form.press("Command5(0)");
    rig.dialogs.expectLast(2, text(runs / "bad.ca"));
    EXPECT_EQ(rig.dialogs.messages.back().text.find("good.ca"), std::string::npos);
    EXPECT_EQ(readAll(rig.base / "HRM" / "also.ca.hrm"), readAll(hrm));
    EXPECT_FALSE(fs::exists(rig.base / "HRM" / "bad.ca.hrm"));
    EXPECT_EQ(form.control("File1(0)").selected, 2);
    EXPECT_TRUE(form.control("Command4(1)").enabled);

    // A V2.0 run added after start-up shows after "Refresh"; "Convert All" writes it.
    fs::copy_file(exampleFile("alpine-loop.caf"), runs / "Tour.CAF");
    EXPECT_EQ(form.control("File1(1)").items.size(), 1u);
    form.press("Command2(1)");
    ASSERT_EQ(form.control("File1(1)").items, (std::vector<std::string>{"bad.caf", "Tour.CAF"}));
    form.press("Command5(1)");
    rig.dialogs.expectLast(3, "bad.caf");
    EXPECT_EQ(form.control("Label8").caption, "Catalyst V2.0 Info (*.caf)");
    EXPECT_TRUE(fs::exists(rig.base / "HRM" / "Tour.CAF.hrm"));

    // A failed write is reported.
    blockFolder(rig.base / "HRM");
    form.press("Command4(1)");
    rig.dialogs.expectLast(4, "No HRM file was written");
}

}  // namespace
}  // namespace vb::test
