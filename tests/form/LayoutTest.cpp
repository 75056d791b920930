// The window as it stands after start-up: title, size, tabs, a sample of the
// controls' places and captions, and the initial states.

#include <set>
#include <tuple>

#include "form/FormTestSupport.h"
#include "form/Layout.h"

namespace vb::test {
namespace {

TEST(Layout, EveryControlHasAUniqueIdAndAParentBeforeIt) {
    const std::vector<Control> controls = mainWindowControls();
    std::set<std::string> seen;
    for (const Control& c : controls) {
        EXPECT_TRUE(c.parent.empty() || seen.count(c.parent)) << c.id << " before its parent " << c.parent;
        EXPECT_TRUE(seen.insert(c.id).second) << "two controls " << c.id;
    }
    for (std::string_view id : {ids::kSampleGrid, ids::kCalc15, ids::kStartValue, ids::kRouteValue, ids::kRlvList,
                                ids::kRunInfoList})
        EXPECT_TRUE(seen.count(std::string(id))) << id;
}

TEST(Layout, WindowAfterStartUp) {
    FormRig rig;
    rig.start();
    MainForm& form = *rig.form;
    EXPECT_EQ(form.title(), "Velobridge (Version0.6a)");

    const Control& tabs = form.control(ids::kMainTabs);
    EXPECT_EQ(tabs.items, (std::vector<std::string>{"Control Center", "Preferences", "PGM Converter",
                                                    "HRM Converter"}));
    EXPECT_EQ(tabs.value, 0);
    EXPECT_EQ(tabs.rect, (Rect{120, 120, 9855, 3615}));
    EXPECT_EQ(form.control("TabHrmConverter").value, 3);
    EXPECT_EQ(form.control("RunTabs").items,
              (std::vector<std::string>{"Cat. V1.0 (*.ca)", "Cat V2.0 (*.caf)", "HRM Info"}));

    // Places in twips of the client area.
    EXPECT_EQ(form.absoluteRect("FrameSettings"), (Rect{240, 480, 3015, 3120}));
    EXPECT_EQ(form.absoluteRect("FrameFileDetails"), (Rect{3360, 480, 1695, 3135}));
    EXPECT_EQ(form.absoluteRect("FramePgmConverter"), (Rect{240, 600, 6495, 3015}));
    EXPECT_EQ(form.absoluteRect("ImportButton"), (Rect{3360 + 120, 480 + 2640, 1455, 375}));
    EXPECT_EQ(form.absoluteRect("Command10"), (Rect{240 + 4680, 600 + 2520, 1695, 375}));
    EXPECT_EQ(form.absoluteRect(ids::kFilename), (Rect{3555, 3960, 2055, 285}));
    EXPECT_EQ(form.absoluteRect("LabelFilename").left, 2835);
    // The rows of the route limits: label and both number boxes level.
    for (const auto& [label, catalyst, fortius, top] :
         {std::tuple{"LabelMaxClimbing", "CatMaxClimb", "FortMaxClimb", 480},
          std::tuple{"LabelMaxDownhill", "CatMaxDown", "FortMaxDown", 840},
          std::tuple{"LabelDistSteps", "CatDistStep", "FortDistStep", 1200}}) {
        EXPECT_EQ(form.control(label).rect.left, 960) << label;
        EXPECT_EQ(form.control(label).rect.top, top) << label;
        EXPECT_EQ(form.control(catalyst).rect, (Rect{120, top, 495 + 255, 285})) << catalyst;
        EXPECT_EQ(form.control(fortius).rect, (Rect{2040, top, 495 + 255, 285})) << fortius;
    }
    EXPECT_EQ(form.absoluteRect(ids::kProfileArea), (Rect{135, 4400, 7510, 3370}));
    EXPECT_EQ(form.absoluteRect(ids::kEndSlider), (Rect{15, 8160, 7695, 255}));
    EXPECT_EQ(form.absoluteRect("Command8"), (Rect{7920 + 120, 3750 + 4200, 1815, 375}));
    EXPECT_EQ(form.absoluteRect("Command3(4)"), (Rect{240 + 120, 480 + 2520 + 240, 255, 255}));
    // The HRM converter frame stands at its page's left, inside the window.
    const Rect hrm = form.absoluteRect("FrameHrmConverter");
    EXPECT_EQ(hrm.left, 240);
    EXPECT_LE(hrm.left + hrm.width, 120 + 9855);
    EXPECT_EQ(form.absoluteRect("BaseSetting").left, 240 + 3000);
    EXPECT_TRUE(form.control("FrameHrmConverter").enabled);
    EXPECT_TRUE(form.control("FrameHrmConverter").visible);

    // Captions and initial texts.
    expectTexts(form, {{"Command9(0)", "Catalyst"},
                       {"Command6", "Import *.vlb File"},
                       {"Command8", "Calc 15sec Interval"},
                       {"PathCaption(3)", "Catalyst V2.0 (blue) Program File Path (*.pgmf)"},
                       {"JoinSlopes", "ident following slopes put together"},
                       {"FramePgmConverter", "PGM <> PGMF - Converter"},
                       {"Label12(0)", "Typ"},
                       {"Label12(3)", "-"},
                       {"FrameHrmConverter", "Catalyst to Polar HRM Converter"},
                       {"SpeedReferenz", "1000"},
                       {ids::kFilename, "-"},
                       {"VersionValue", "-"},
                       {"ImportStatus", "-"}});
    EXPECT_EQ(form.control("AboutText").text.find("Converts\r\nPolar *.hrm files\r\n"), 0u);
    EXPECT_EQ(form.control(ids::kFilename).maxLength, 16);
    const Control& climb = form.control("FortMaxClimb");
    EXPECT_EQ(climb.text, "20");
    EXPECT_EQ(climb.min, 1);
    EXPECT_EQ(climb.max, 20);
    EXPECT_EQ(form.control("CatDistStep").step, 100);
    EXPECT_TRUE(form.control("UnitMeter").checked);
    EXPECT_FALSE(form.control("UnitFeet").checked);

    // Disabled at start: these eight; everything else is enabled.
    const std::set<std::string> off = {"Command8", "Command9(0)", "Command9(1)", "Command7", "Command10",
                                       "Command4(1)", "StartSlider", "EndSlider"};
    for (const Control& c : form.controls()) EXPECT_EQ(c.enabled, !off.count(c.id)) << c.id;
    EXPECT_TRUE(form.ride().ProgramName.empty());
    EXPECT_THROW(form.control("NoSuchControl"), std::out_of_range);

    // Tabs switch within their strip; every event counts.
    const auto revision = form.revision();
    form.selectTab(ids::kMainTabs, 3);
    form.selectTab(ids::kMainTabs, 4);
    form.selectTab("RunTabs", 2);
    EXPECT_EQ(form.control(ids::kMainTabs).value, 3);
    EXPECT_EQ(form.control("RunTabs").value, 2);
    EXPECT_EQ(form.revision(), revision + 2);
}

}  // namespace
}  // namespace vb::test
