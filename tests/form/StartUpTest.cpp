// Start-up with and without a settings file, shut-down, the five path buttons
// and the number boxes.

#include <cstdlib>

#include "app/SettingsFile.h"
#include "base/Files.h"
#include "form/FormTestSupport.h"

namespace vb::test {
namespace {

namespace fs = std::filesystem;

Settings readBack(const fs::path& ini) {
    RecordingPrompter prompter;
    const Settings s = readSettings(readAll(ini), prompter);
    EXPECT_TRUE(prompter.messages.empty());
    return s;
}

TEST(StartUp, SettingsFileFillsTheControlsListsAndWorkingFolders) {
    FormRig rig;
    fs::create_directories(rig.dir / "pgm");
    fs::create_directories(rig.dir / "runs");
    writeAll(rig.dir / "pgm" / "b.pgm", "x");
    writeAll(rig.dir / "pgm" / "A.PGM", "x");
    writeAll(rig.dir / "pgm" / "c.pgmf", "x");
    writeAll(rig.dir / "runs" / "RUN.CA", "x");
    writeAll(rig.dir / "runs" / "run.caf", "x");
    const std::string pgm = text(rig.dir / "pgm") + "/";
    const std::string runs = text(rig.dir / "runs") + "/";
    std::string ini = settingsText(rig.base, {"/rides/", pgm, runs, "/blue/", runs});
    ini.replace(ini.find("\"9\""), 3, "\"7\"");
    const std::string options = "0\r\n0\r\n#TRUE#\r\n#FALSE#";
    ini.replace(ini.find(options), options.size(), "1\r\n1\r\n#FALSE#\r\n#TRUE#");
    writeAll(rig.ini, ini);
    rig.startAsIs();
    const MainForm& form = *rig.form;

    EXPECT_TRUE(rig.dialogs.messages.empty());
    EXPECT_EQ(form.my_path(), text(rig.base));
    EXPECT_EQ(form.control("PathBox(0)").text, "/rides/");
    EXPECT_EQ(form.control("PathBox(3)").text, "/blue/");
    EXPECT_EQ(form.control("CatMaxClimb").text, "7");
    EXPECT_TRUE(form.control("AddWarmup").checked);
    EXPECT_TRUE(form.control("JoinSlopes").checked);
    EXPECT_FALSE(form.control("UnitMeter").checked);
    EXPECT_TRUE(form.control("UnitFeet").checked);
    // The lists show their pattern's files in any letter case, sorted.
    EXPECT_EQ(form.control("File2").items, (std::vector<std::string>{"A.PGM", "b.pgm"}));
    EXPECT_EQ(form.control("File2").text, pgm);
    EXPECT_EQ(form.control("File1(0)").items, (std::vector<std::string>{"RUN.CA"}));
    EXPECT_EQ(form.control("File1(1)").items, (std::vector<std::string>{"run.caf"}));
    for (const char* folder : {"RLV", "HRM", "PGM", "PGMF_Conv", "PGM_Conv"})
        EXPECT_TRUE(fs::is_directory(rig.base / folder)) << folder;
    EXPECT_EQ(form.ride().IdentTag, std::string("VLB\xFE"));
    EXPECT_EQ(form.ride().samples.text(0, 1), "Speed");
    EXPECT_EQ(form.ride().samples.text(1, 0), "1");
}

TEST(StartUp, WithoutSettingsFileAndWithAWrongVersion) {
    ScratchDir home;
    {
        ScopedEnv homeVariable(kHomeVariable, text(home.path()));
        FormRig rig;
        rig.startAsIs();
        EXPECT_TRUE(rig.dialogs.messages.empty());
        EXPECT_EQ(rig.form->my_path(), "");
        EXPECT_EQ(rig.form->control("PathBox(2)").text, "");
        EXPECT_TRUE(rig.form->control("File1(0)").items.empty());
        EXPECT_TRUE(rig.form->control("File2").items.empty());
        EXPECT_TRUE(fs::is_directory(home / "Velobridge" / "PGMF_Conv"));
        // Shut-down writes a complete file with an empty base folder.
        EXPECT_TRUE(rig.form->Form_Unload());
        EXPECT_EQ(readBack(rig.ini), Settings{});
        const Bytes bytes = readAll(rig.ini);
        EXPECT_NE(std::string(asText(bytes)).find("\"path=\"\r\n"), std::string::npos);
    }

    // A file of another version is still read, after the message.
    FormRig rig;
    writeAll(rig.ini, settingsText(rig.base, {"/r/"}, "Version0.6"));
    rig.startAsIs();
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(rig.dialogs.messages[0].text, "Wrong Velobridge.ini File");
    EXPECT_EQ(rig.form->control("PathBox(0)").text, "/r/");
    EXPECT_EQ(rig.form->my_path(), text(rig.base));
}

TEST(ShutDown, WritesTheControlsAndReportsAFailedWrite) {
    FormRig rig;
    rig.start({"/rides/"});
    MainForm& form = *rig.form;
    form.setText("FortDistStep", "250 m");
    form.setText("BaseSetting", "12.5");
    form.setChecked("AddWarmup", true);
    form.setChecked("UnitFeet", true);
    form.setText("PathBox(4)", "/caf/");
    EXPECT_TRUE(form.Form_Unload());
    const Settings s = readBack(rig.ini);
    EXPECT_EQ(s.my_path, text(rig.base));
    EXPECT_EQ(s.hrm_path, "/rides/");
    EXPECT_EQ(s.caf_path, "/caf/");
    EXPECT_EQ(s.fort_dist_step, "250 m");
    EXPECT_EQ(s.base_setting, "12.5");
    EXPECT_EQ(s.add_warmup, 1);
    EXPECT_EQ(s.join_slopes, 0);
    EXPECT_FALSE(s.unit_meter);
    EXPECT_TRUE(s.unit_feet);
    const Bytes before = readAll(rig.ini);

    VB_SKIP_WITHOUT_FILE_SIZE_LIMIT();
    // A write that fails midway is reported and leaves the old file whole.
    form.setText("CatMaxDown", "-2");
    {
        test::FileSizeLimit limit(10);
        EXPECT_FALSE(form.Form_Unload());
    }
    expectLastMessageNames(rig.dialogs, 1, text(rig.ini));
    EXPECT_EQ(readAll(rig.ini), before);
}

TEST(PathButtons, FiltersEndingsAndListRefresh) {
    FormRig rig;
    fs::create_directories(rig.dir / "data");
    for (const char* name : {"Run 1.caf", "RUN.CAF", "a.ca", "t.hrm", "p.pgm", "p.pgmf"})
        writeAll(rig.dir / "data" / name, "x");
    rig.start();
    MainForm& form = *rig.form;
    const std::string data = text(rig.dir / "data") + "/";
    const char* filters[] = {"(*.hrm Polar File)|*.hrm", "(*.pgm Catalyst Programm File)|*.pgm",
                             "(*.ca Catalyst Data File)|*.ca", "(*.pgmf Catalyst(blue) Programm File)|*.pgmf",
                             "(*.caf Catalyst (blue) Data File)|*.caf"};
    const char* files[] = {"t.hrm", "p.pgm", "a.ca", "p.pgmf", "Run 1.caf"};
    for (int i = 0; i < 5; ++i) {
        const std::string button = "Command3(" + std::to_string(i) + ")";
        rig.dialogs.files = {data + files[i]};
        form.press(button);
        EXPECT_EQ(rig.dialogs.opened.back().filter, filters[i]);
        EXPECT_EQ(form.control("PathBox(" + std::to_string(i) + ")").text, data) << button;
    }
    EXPECT_EQ(form.control("File1(0)").items, (std::vector<std::string>{"a.ca"}));
    EXPECT_EQ(form.control("File1(1)").items, (std::vector<std::string>{"Run 1.caf", "RUN.CAF"}));
    // The converter's list keeps its folder until the next start.
    EXPECT_TRUE(form.control("File2").items.empty());

    // Cancelled, missing, a wrong ending (letter case counts): nothing changes.
    form.setText("PathBox(4)", "/kept/");
    for (const std::string& answer : {std::string(), data + "gone.caf", data + "RUN.CAF", data + "a.ca"}) {
        rig.dialogs.files = {answer};
        form.press("Command3(4)");
        EXPECT_EQ(form.control("PathBox(4)").text, "/kept/") << answer;
    }
    EXPECT_TRUE(rig.dialogs.messages.empty());
    EXPECT_EQ(form.control("File1(1)").items.size(), 2u);

    // "Refresh" re-reads the list's folder.
    writeAll(rig.dir / "data" / "b.ca", "x");
    EXPECT_EQ(form.control("File1(0)").items.size(), 1u);
    form.press("Command2(0)");
    EXPECT_EQ(form.control("File1(0)").items, (std::vector<std::string>{"a.ca", "b.ca"}));
}

TEST(NumberBoxes, TypedTextStaysAndArrowsStepWithinTheRange) {
    FormRig rig;
    rig.start();
    MainForm& form = *rig.form;
    // Box, typed text (none: as started), arrow, text after. A typed number is
    // not limited; the arrows bring it back into the range.
    const struct {
        const char* box;
        const char* typed;
        int arrow;
        const char* after;
    } cases[] = {
        {"CatMaxClimb", nullptr, +1, "9"}, {"CatMaxClimb", "1", -1, "1"},      {"CatMaxClimb", nullptr, +1, "2"},
        {"FortDistStep", nullptr, +1, "200"}, {"CatMaxDown", nullptr, +1, "-3"}, {"SpeedReferenz", nullptr, -1, "995"},
        {"FortMaxClimb", "35 %", 0, "35 %"}, {"FortMaxClimb", nullptr, -1, "20"}, {"CatDistStep", "abc", +1, "100"},
    };
    for (const auto& c : cases) {
        if (c.typed) form.setText(c.box, c.typed);
        if (c.arrow) form.spin(c.box, c.arrow);
        EXPECT_EQ(form.control(c.box).text, c.after) << c.box;
    }
    // Arrows of a box that is not a number box do nothing.
    const auto revision = form.revision();
    form.spin(ids::kFilename, +1);
    form.press("NoSuchButton");
    EXPECT_EQ(form.revision(), revision);
}

}  // namespace
}  // namespace vb::test
