#include "form/Layout.h"

#include <string>
#include <utility>

#include "form/MainForm.h"

namespace vb {

namespace {

constexpr int kBoxWidth = 495 + kSpinnerWidth;
constexpr int kColumnHeadWidth = 900;
constexpr int kBoxHeight = 285;
constexpr int kLabelHeight = 255;

// "Name(i)", the id of member i of a control array.
std::string member(std::string_view name, int i) {
    std::string id(name);
    id += '(';
    id += std::to_string(i);
    id += ')';
    return id;
}

class Builder {
public:
    Control& add(std::string_view id, ControlKind kind, std::string_view parent, Rect rect, std::string caption = {}) {
        Control control;
        control.id = std::string(id);
        control.kind = kind;
        control.parent = std::string(parent);
        control.rect = rect;
        control.caption = std::move(caption);
        m_controls.push_back(std::move(control));
        return m_controls.back();
    }
    Control& label(std::string_view id, std::string_view parent, Rect rect, std::string caption) {
        return add(id, ControlKind::label, parent, rect, std::move(caption));
    }
    Control& button(std::string_view id, std::string_view parent, Rect rect, std::string caption, bool enabled = true) {
        Control& control = add(id, ControlKind::button, parent, rect, std::move(caption));
        control.enabled = enabled;
        return control;
    }
    Control& numberBox(std::string_view id, std::string_view parent, Rect rect, std::string text, int min, int max,
                       int step) {
        Control& control = add(id, ControlKind::numberBox, parent, rect);
        control.text = std::move(text);
        control.min = min;
        control.max = max;
        control.step = step;
        return control;
    }
    Control& tabStrip(std::string_view id, std::string_view parent, Rect rect, std::vector<std::string> captions,
                      const std::vector<std::string>& pages) {
        Control& strip = add(id, ControlKind::tabStrip, parent, rect);
        strip.items = std::move(captions);
        const Rect page{0, kTabCaptionHeight, rect.width, rect.height - kTabCaptionHeight};
        for (std::size_t i = 0; i < pages.size(); ++i) add(pages[i], ControlKind::tabPage, id, page).value = int(i);
        return m_controls[m_controls.size() - pages.size() - 1];
    }
    std::vector<Control> take() { return std::move(m_controls); }

private:
    std::vector<Control> m_controls;
};

void settingsFrame(Builder& b) {
    const std::string frame = "FrameSettings";
    b.add(frame, ControlKind::frame, "TabControlCenter", {120, 0, 3015, 3120}, "Settings");
    // The column heads are wider than the boxes below them so that the
    // captions are not cut.
    b.label("LabelCatalyst", frame, {120, 240, kColumnHeadWidth, kLabelHeight}, "CATALYST");
    b.label("LabelFortius", frame, {2040, 240, kColumnHeadWidth, kLabelHeight}, "FORTIUS");
    b.label("LabelMaxClimbing", frame, {960, 480, 1035, kLabelHeight}, "max. climbing");
    b.label("LabelMaxDownhill", frame, {960, 840, 1035, kLabelHeight}, "max. downhill");
    b.label("LabelDistSteps", frame, {960, 1200, 1035, kLabelHeight}, "distance steps");
    b.numberBox(ids::kCatMaxClimb, frame, {120, 480, kBoxWidth, kBoxHeight}, "9", 1, 9, 1);
    b.numberBox(ids::kCatMaxDown, frame, {120, 840, kBoxWidth, kBoxHeight}, "-4", -4, -1, 1);
    b.numberBox(ids::kCatDistStep, frame, {120, 1200, kBoxWidth, kBoxHeight}, "100", 100, 1000, 100);
    b.numberBox(ids::kFortMaxClimb, frame, {2040, 480, kBoxWidth, kBoxHeight}, "20", 1, 20, 1);
    b.numberBox(ids::kFortMaxDown, frame, {2040, 840, kBoxWidth, kBoxHeight}, "-5", -5, -1, 1);
    b.numberBox(ids::kFortDistStep, frame, {2040, 1200, kBoxWidth, kBoxHeight}, "100", 100, 1000, 100);
    b.add("SettingsSeparator", ControlKind::separator, frame, {120, 1740, 2775, 0});
    b.add(ids::kJoinSlopes, ControlKind::checkBox, frame, {120, 1920, 2775, kLabelHeight},
          "ident following slopes put together");
    b.add(ids::kAddWarmup, ControlKind::checkBox, frame, {120, 2160, 2775, kLabelHeight}, "add a warmup to the route");
}

void fileDetailsFrame(Builder& b) {
    const std::string frame = "FrameFileDetails";
    b.add(frame, ControlKind::frame, "TabControlCenter", {3240, 0, 1695, 3135}, "File Details");
    const std::pair<const char*, const char*> rows[] = {{"Version", "Version:"}, {"Date", "Date:"},
                                                        {"ECode", "ECode:"},     {"SMode", "SMode:"},
                                                        {"Type", "Type:"},       {"Interval", "Interval:"}};
    int top = 240;
    for (const auto& [name, caption] : rows) {
        b.label(std::string("Label") + name, frame, {120, top, 660, kLabelHeight}, caption);
        b.label(std::string(name) + "Value", frame, {780, top, 855, kLabelHeight}, "-");
        top += 240;
    }
    b.label(ids::kImportStatus, frame, {120, 1680, 1455, kLabelHeight}, "-");
    b.button(ids::kImport, frame, {120, 2640, 1455, 375}, "Import");
}

void rlvFrame(Builder& b) {
    const std::string frame = "FrameRlv";
    b.add(frame, ControlKind::frame, "TabControlCenter", {5040, 0, 2535, 3135}, "RLV Creator");
    b.label("LabelSpeedReferenz", frame, {120, 270, 1500, kLabelHeight}, "Speed Referenz");
    b.numberBox(ids::kSpeedReference, frame, {1680, 240, kBoxWidth, kBoxHeight}, "1000", 100, 5000, 5);
    b.button(ids::kLoadScript, frame, {120, 600, 2295, 255}, "Import *.vlb File");
    b.add(ids::kRlvList, ControlKind::listBox, frame, {120, 960, 2295, 1620});
    b.button(ids::kCreateRlv, frame, {120, 2640, 2295, 375}, "Create RLV File", false);
}

void aboutFrame(Builder& b) {
    const std::string frame = "FrameAbout";
    b.add(frame, ControlKind::frame, "TabControlCenter", {7680, 0, 2055, 3135});
    Control& title = b.label("AboutTitle", frame, {120, 120, 1845, 375}, "Velobridge");
    title.bold = true;
    title.pointSize = 12;
    title.align = TextAlign::centre;
    title.icon = true;
    Control& text = b.add("AboutText", ControlKind::textBox, frame, {120, 480, 1845, 2535});
    text.text = std::string(aboutText());
    text.multiLine = true;
    text.readOnly = true;
    text.faceColour = true;
}

void preferencesTab(Builder& b) {
    const std::string frame = "FramePreferences";
    b.add(frame, ControlKind::frame, "TabPreferences", {120, 0, 9615, 3180}, "Preferences");
    const char* captions[] = {"Polar Software Data Path (*.hrm)", "Catalyst V1.0 Program File Path (*.pgm)",
                              "Catalyst V1.0 Run File Path (*.ca)",
                              "Catalyst V2.0 (blue) Program File Path (*.pgmf)",
                              "Catalyst V2.0 (blue) Run File Path (*.caf)"};
    for (int i = 0; i < 5; ++i) {
        const int top = 120 + 600 * i;
        b.label(member("PathCaption", i), frame, {5400, top, 4095, kLabelHeight}, captions[i]).align =
            TextAlign::right;
        b.button(ids::kPathChoosers[i], frame, {120, top + 240, 255, 255}, "*");
        b.add(ids::kPathBoxes[i], ControlKind::textBox, frame, {480, top + 240, 9015, 330});
    }
    // The altitude smoothing width, on the free left of the first caption row.
    b.label("LabelSmoothAltitude", frame, {120, 120, 4080, kLabelHeight}, std::string(kSmoothAltitudeCaption)).align =
        TextAlign::right;
    b.numberBox(ids::kSmoothAltitude, frame, {4320, 90, 495 + kSpinnerWidth, 255}, "0", 0, 5000, 10);
}

void pgmConverterTab(Builder& b) {
    const std::string frame = "FramePgmConverter";
    b.add(frame, ControlKind::frame, "TabPgmConverter", {120, 120, 6495, 3015}, "PGM <> PGMF - Converter");
    Control& list = b.add(ids::kPgmList, ControlKind::fileList, frame, {120, 240, 4455, 2400});
    list.pattern = "*.pgm";
    b.label(ids::kConverterStatus, frame, {120, 2700, 4455, kLabelHeight}, "");
    const char* captions[] = {"Typ", "Program", "Route"};
    for (int i = 0; i < 3; ++i) {
        const int top = 240 + 720 * i;
        b.label(member("Label12", 2 * i), frame, {4680, top, 1695, kLabelHeight}, captions[i]);
        b.label(member("Label12", 2 * i + 1), frame, {4680, top + 240, 1695, kLabelHeight}, "-");
    }
    b.add("ConverterLine(0)", ControlKind::separator, frame, {4620, 240, 0, 2655});
    b.add("ConverterLine(1)", ControlKind::separator, frame, {4680, 840, 1695, 0});
    b.add("ConverterLine(2)", ControlKind::separator, frame, {4680, 1560, 1695, 0});
    b.button(ids::kConvert, frame, {4680, 2520, 1695, 375}, "Convert", false);
}

void runFileTab(Builder& b, int index, const std::string& page, const char* pattern) {
    Control& list = b.add(ids::kRunLists[index], ControlKind::fileList, page, {60, 60, 2895, 735});
    list.pattern = pattern;
    b.button(ids::kRunRefresh[index], page, {3060, 60, 1335, 315}, "Refresh");
    b.button(ids::kConvertAll[index], page, {3060, 420, 1335, 315}, "Convert All");
}

void hrmConverterTab(Builder& b) {
    const std::string frame = "FrameHrmConverter";
    b.add(frame, ControlKind::frame, "TabHrmConverter", {120, 120, 4695, 3035}, "Catalyst to Polar HRM Converter");
    b.add(ids::kUnitMeter, ControlKind::optionButton, frame, {120, 240, 900, kLabelHeight}, "meter").checked = true;
    b.add(ids::kUnitFeet, ControlKind::optionButton, frame, {120, 480, 900, kLabelHeight}, "feet");
    b.label("LabelBaseSettings", frame, {1680, 270, 1260, kLabelHeight}, "Base Settings").align = TextAlign::right;
    b.numberBox(ids::kBaseSetting, frame, {3000, 240, 615 + kSpinnerWidth, kBoxHeight}, "0", -500, 9000, 1);
    b.tabStrip("RunTabs", frame, {120, 840, 4485, 1215}, {"Cat. V1.0 (*.ca)", "Cat V2.0 (*.caf)", "HRM Info"},
               {"RunTabV1", "RunTabV2", "RunTabInfo"});
    runFileTab(b, 0, "RunTabV1", "*.ca");
    runFileTab(b, 1, "RunTabV2", "*.caf");
    b.label(ids::kRunInfoCaption, "RunTabInfo", {60, 30, 2895, 225}, "");
    Control& info = b.add(ids::kRunInfoList, ControlKind::listBox, "RunTabInfo", {60, 270, 2895, 555});
    info.fixedPitch = true;
    b.button(ids::kCreateHrm, "RunTabInfo", {3060, 420, 1335, 315}, "Create HRM", false);
}

void routeArea(Builder& b) {
    b.add("RouteOutline", ControlKind::outline, "", {120, 3840, 7575, 3975});
    b.label("LabelStart", "", {240, 3870, 600, kLabelHeight}, "Start:");
    b.label(ids::kStartValue, "", {840, 3870, 1935, kLabelHeight}, "");
    b.label("LabelRoute", "", {240, 4110, 600, kLabelHeight}, "Route:");
    b.label(ids::kRouteValue, "", {840, 4110, 1935, kLabelHeight}, "");
    b.label("LabelFilename", "", {2835, 3960, 720, kLabelHeight}, "Filename:");
    Control& name = b.add(ids::kFilename, ControlKind::textBox, "", {3555, 3960, 2055, 285});
    name.text.assign(1, '-');  // (a one-character literal trips a false -Wrestrict in g++ 12 -O3)
    name.maxLength = 16;
    b.button(ids::kCatalyst, "", {5715, 3960, 855, 255}, "Catalyst", false);
    b.button(ids::kFortius, "", {6675, 3960, 855, 255}, "Fortius", false);
    b.add(ids::kProfileArea, ControlKind::profileArea, "", {135, 4400, 7510, 3370});
    for (const auto& [id, rect] : {std::pair<std::string_view, Rect>{ids::kStartSlider, {0, 7860, 7695, 255}},
                                   std::pair<std::string_view, Rect>{ids::kEndSlider, {15, 8160, 7695, 255}}}) {
        Control& slider = b.add(id, ControlKind::slider, "", rect);
        slider.enabled = false;
    }
    const std::string frame = "FrameData";
    b.add(frame, ControlKind::frame, "", {7920, 3750, 2055, 4695}, "Polar/HAC4 Data");
    b.add(ids::kSampleGrid, ControlKind::sampleGrid, frame, {120, 240, 1815, 3855});
    b.button(ids::kCalc15, frame, {120, 4200, 1815, 375}, "Calc 15sec Interval", false);
}

}  // namespace

std::string_view aboutText() {
    return "Converts\r\nPolar *.hrm files\r\nV1.05 & V1.06\r\n\r\nHAC4 *.tur files\r\nV3.1.0 & V3.2.0\r\n\r\n\r\n"
           "to\r\nCatalyst & Fortius\r\n\r\nand create your\r\nOwnRealLife Video\r\n";
}

std::vector<Control> mainWindowControls() {
    Builder b;
    b.tabStrip(ids::kMainTabs, "", {120, 120, 9855, 3615},
               {std::string(kTabControlCenter), std::string(kTabPreferences), std::string(kTabPgmConverter),
                std::string(kTabHrmConverter)},
               {"TabControlCenter", "TabPreferences", "TabPgmConverter", "TabHrmConverter"});
    settingsFrame(b);
    fileDetailsFrame(b);
    rlvFrame(b);
    aboutFrame(b);
    preferencesTab(b);
    pgmConverterTab(b);
    hrmConverterTab(b);
    routeArea(b);
    return b.take();
}

}  // namespace vb
