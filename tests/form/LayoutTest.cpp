// The window as it stands after start-up: every control's place, parent, state
// and caption (tests/data/form/layout.txt), the tabs and the options.

#include <set>
#include <sstream>

#include "form/FormTestSupport.h"

namespace vb::test {
namespace {

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
    EXPECT_TRUE(form.ride().ProgramName.empty());
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

}  // namespace
}  // namespace vb::test
