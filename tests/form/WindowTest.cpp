// The window after start-up: every control's place, parent, state and caption
// (tests/data/form/layout.txt), the tabs and the options; the settings file at
// start-up and shut-down; the five path buttons and the number boxes.

#include <set>
#include <sstream>
#include <tuple>

#include "form/FormTestSupport.h"

namespace vb::test {
namespace {

namespace fs = std::filesystem;

TEST(Layout, EveryControlStandsWhereTheLayoutFileSays) {
    FormRig rig;
    MainForm& form = rig.start();
    std::set<std::string> seen;
    for (const Control& c : form.controls()) {
        EXPECT_TRUE(c.parent.empty() || seen.count(c.parent)) << c.id << " before its parent " << c.parent;
        EXPECT_TRUE(seen.insert(c.id).second) << "two controls " << c.id;
    }
    std::istringstream file{std::string(asText(readAll(dataFile("form/layout.txt"))))};
    std::size_t listed = 0;
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string id, parent, state, caption;
        Rect rect;
        fields >> id >> parent >> rect.left >> rect.top >> rect.width >> rect.height >> state >> std::ws;
        std::getline(fields, caption);
        ++listed;
        ASSERT_TRUE(form.hasControl(id)) << line;
        EXPECT_EQ(form.control(id).parent, parent == "." ? "" : parent) << line;
        EXPECT_EQ(form.control(id).rect, rect) << line;
        EXPECT_EQ(form.control(id).enabled, state == "on") << line;
        if (!caption.empty()) expectTexts(form, {{id, caption}});
    }
    EXPECT_EQ(listed, form.controls().size());
    // Places in the client area add up the parents' places.
    EXPECT_EQ(form.absoluteRect("Command3(4)"), (Rect{360, 3240, 255, 255}));
    EXPECT_EQ(form.absoluteRect(ids::kCalc15), (Rect{8040, 7950, 1815, 375}));

    EXPECT_EQ(form.title(), "Velobridge (Version0.6a)");
    EXPECT_EQ(form.control(ids::kMainTabs).items,
              (std::vector<std::string>{"Control Center", "Preferences", "PGM Converter", "HRM Converter"}));
    EXPECT_EQ(form.control("TabHrmConverter").value, 3);
    EXPECT_EQ(form.control("RunTabs").items,
              (std::vector<std::string>{"Cat. V1.0 (*.ca)", "Cat V2.0 (*.caf)", "HRM Info"}));
    EXPECT_EQ(form.control("AboutText").text.find("Converts\r\nPolar *.hrm files\r\n"), 0u);
    EXPECT_TRUE(form.control(ids::kUnitMeter).checked);
    EXPECT_FALSE(form.control(ids::kUnitFeet).checked);
    EXPECT_THROW(form.control("NoSuchControl"), std::out_of_range);

    // Tabs switch within their strip; every event counts.
    const auto revision = form.revision();
    EXPECT_EQ(form.control(ids::kMainTabs).value, 0);
    form.selectTab(ids::kMainTabs, 3);
    form.selectTab(ids::kMainTabs, 4);
    form.selectTab("RunTabs", 2);
    EXPECT_EQ(form.control(ids::kMainTabs).value, 3);
    EXPECT_EQ(form.control("RunTabs").value, 2);
    EXPECT_EQ(form.revision(), revision + 2);
}

// The settings file as the settings reader sees it, which has nothing to say about it.
Settings readBack(const fs::path& ini) {
    RecordingPrompter prompter;
    const Settings s = readSettings(readAll(ini), prompter);
    EXPECT_TRUE(prompter.messages.empty());
    return s;
}

TEST(StartUp, SettingsFillTheControlsListsAndFoldersAndShutDownWritesThemBack) {
    FormRig rig;
    for (const char* file : {"pgm/b.pgm", "pgm/A.PGM", "pgm/c.pgmf", "runs/RUN.CA", "runs/run.caf"}) {
        fs::create_directories((rig.dir / file).parent_path());
        writeAll(rig.dir / file, "x");
    }
    Settings s;
    s.hrm_path = "/rides/";
    s.pgm_path = text(rig.dir / "pgm") + "/";
    s.ca_path = s.caf_path = text(rig.dir / "runs") + "/";
    s.pgmf_path = "/blue/";
    s.cat_max_climb = "7";
    s.fort_dist_step = "250 m";
    s.base_setting = "12.5";
    s.smooth_altitude = "30";
    s.add_warmup = s.join_slopes = 1;
    s.unit_meter = false;
    s.unit_feet = true;
    s.my_path = text(rig.base);
    // A file of another version is read all the same, after the message.
    writeAll(rig.ini, asText(patched(writeSettings(s), {{10, toBytes("7")}})));  // "Version0.7a"
    MainForm& form = rig.startAsIs();
    rig.dialogs.expectLast(1, "Wrong Velobridge.ini File");
    EXPECT_EQ(form.my_path(), text(rig.base));
    expectTexts(form, {{"PathBox(0)", "/rides/"}, {"CatMaxClimb", "7"}, {"BaseSetting", "12.5"}});
    EXPECT_TRUE(form.control("UnitFeet").checked);
    // The lists show their pattern's files in any letter case, sorted.
    EXPECT_EQ(form.control("File2").items, (std::vector<std::string>{"A.PGM", "b.pgm"}));
    EXPECT_EQ(form.control("File1(0)").items, (std::vector<std::string>{"RUN.CA"}));
    EXPECT_EQ(form.control("File1(1)").items, (std::vector<std::string>{"run.caf"}));
    for (const char* folder : {"RLV", "HRM", "PGM", "PGMF_Conv", "PGM_Conv"})
        EXPECT_TRUE(fs::is_directory(rig.base / folder)) << folder;
    EXPECT_EQ(form.ride().IdentTag, std::string("VLB\xFE"));
    EXPECT_EQ(form.ride().samples.text(1, 0), "1");

    // Shut-down writes what the controls hold.
    EXPECT_TRUE(form.Form_Unload());
    EXPECT_EQ(readBack(rig.ini), s);
    form.setText("PathBox(4)", "/caf/");
    form.setChecked("AddWarmup", false);
    form.setChecked("UnitMeter", true);
    EXPECT_TRUE(form.Form_Unload());
    s.caf_path = "/caf/";
    s.add_warmup = 0;
    s.unit_meter = true;
    s.unit_feet = false;
    EXPECT_EQ(readBack(rig.ini), s);

    VB_SKIP_WITHOUT_FILE_SIZE_LIMIT();
    // A write that fails midway is reported and leaves the old file whole.
    const Bytes before = readAll(rig.ini);
    form.setText("CatMaxDown", "-2");
    {
        test::FileSizeLimit limit(10);
        EXPECT_FALSE(form.Form_Unload());
    }
    rig.dialogs.expectLast(2, text(rig.ini));
    EXPECT_EQ(readAll(rig.ini), before);
}

TEST(StartUp, WithoutSettingsFile) {
    ScratchDir home;
    ScopedEnv homeVariable(kHomeVariable, text(home.path()));
    FormRig rig;
    MainForm& form = rig.startAsIs();
    EXPECT_TRUE(rig.dialogs.messages.empty());
    EXPECT_EQ(form.my_path(), "");
    EXPECT_EQ(form.control("PathBox(2)").text, "");
    EXPECT_TRUE(form.control("File1(0)").items.empty());
    EXPECT_TRUE(fs::is_directory(home / "Velobridge" / "PGMF_Conv"));
    // Shut-down writes a complete file with an empty base folder.
    EXPECT_TRUE(form.Form_Unload());
    EXPECT_EQ(readBack(rig.ini), Settings{});
    EXPECT_NE(std::string(asText(readAll(rig.ini))).find("\"path=\"\r\n"), std::string::npos);
}

TEST(PathButtons, FiltersEndingsAndLists) {
    FormRig rig;
    fs::create_directories(rig.dir / "data");
    for (const char* name : {"Run 1.caf", "RUN.CAF", "a.ca", "t.hrm", "p.pgm", "p.pgmf"})
        writeAll(rig.dir / "data" / name, "x");
    MainForm& form = rig.start();
    const std::string data = text(rig.dir / "data") + "/";
    const std::pair<const char*, const char*> buttons[] = {
        {"(*.hrm Polar File)|*.hrm", "t.hrm"},
        {"(*.pgm Catalyst Programm File)|*.pgm", "p.pgm"},
        {"(*.ca Catalyst Data File)|*.ca", "a.ca"},
        {"(*.pgmf Catalyst(blue) Programm File)|*.pgmf", "p.pgmf"},
        {"(*.caf Catalyst (blue) Data File)|*.caf", "Run 1.caf"}};
    for (int i = 0; i < 5; ++i) {
        rig.dialogs.files = {data + buttons[i].second};
        form.press(ids::kPathChoosers[i]);
        EXPECT_EQ(rig.dialogs.opened.back().first, buttons[i].first);
        EXPECT_EQ(form.control(ids::kPathBoxes[i]).text, data) << i;
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
}

TEST(NumberBoxes, TypedTextStaysAndArrowsStepWithinTheRange) {
    FormRig rig;
    MainForm& form = rig.start();
    // Box, typed text (none: as started), arrow, text after. A typed number is
    // not limited; the arrows bring it back into the range.
    const std::tuple<const char*, const char*, int, const char*> cases[] = {
        {"CatMaxClimb", nullptr, +1, "9"},   {"CatMaxClimb", "1", -1, "1"},
        {"CatMaxClimb", nullptr, +1, "2"},   {"FortDistStep", nullptr, +1, "200"},
        {"CatMaxDown", nullptr, +1, "-3"},   {"SpeedReferenz", nullptr, -1, "995"},
        {"FortMaxClimb", "35 %", 0, "35 %"}, {"FortMaxClimb", nullptr, -1, "20"},
        {"CatDistStep", "abc", +1, "100"},
    };
    for (const auto& [box, typed, arrow, after] : cases) {
        if (typed) form.setText(box, typed);
        if (arrow) form.spin(box, arrow);
        EXPECT_EQ(form.control(box).text, after) << box;
    }
    // Arrows of a box that is not a number box, and presses of a disabled or
    // unknown button, do nothing.
    const auto revision = form.revision();
    form.spin(ids::kFilename, +1);
    form.press(ids::kCatalyst);
    form.press("NoSuchButton");
    EXPECT_EQ(form.revision(), revision);
}

}  // namespace
}  // namespace vb::test
