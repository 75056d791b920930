// The window model's state: finding controls, copying the model into them
// after each event, the settings the controls hold, start-up, shut-down and
// the dispatch of events to operations.

#include "form/FormState.h"

#include <algorithm>
#include <cassert>
#include <cmath>

#include "app/SettingsFile.h"
#include "app/WorkingFolders.h"
#include "base/Files.h"
#include "base/Text.h"
#include "form/Layout.h"

namespace vb {

namespace fs = std::filesystem;

namespace {

constexpr const char* kPathBoxes[5] = {"PathBox(0)", "PathBox(1)", "PathBox(2)", "PathBox(3)", "PathBox(4)"};

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lower(x) == lower(y);
           });
}

bool lessNoCase(const std::string& a, const std::string& b) {
    const bool less = std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                                   [](char x, char y) { return lower(x) < lower(y); });
    if (less || !equalNoCase(a, b)) return less;
    return a < b;
}

// The index in a control id such as "Command3(2)"; -1 without one.
int indexOf(std::string_view id) {
    const auto open = id.find('(');
    if (open == std::string_view::npos || id.back() != ')') return -1;
    return static_cast<int>(leadingNumber(id.substr(open + 1)));
}

std::string_view nameOf(std::string_view id) { return id.substr(0, id.find('(')); }

}  // namespace


std::vector<std::string> filesMatching(const fs::path& folder, std::string_view pattern) {
    std::vector<std::string> names;
    const std::string_view ending = pattern.substr(std::min(pattern.find('.'), pattern.size()));
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        std::string name = displayPath(it->path().filename());
        const auto dot = name.rfind('.');
        if (dot == std::string::npos || !equalNoCase(std::string_view(name).substr(dot), ending)) continue;
        names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end(), lessNoCase);
    return names;
}

MainForm::State::State(Dialogs& dialogs_, fs::path settingsFile_)
    : dialogs(dialogs_), settingsFile(std::move(settingsFile_)), controls(mainWindowControls()) {
    for (std::size_t i = 0; i < controls.size(); ++i) byId.emplace(controls[i].id, i);
    sync();
}

Control* MainForm::State::find(std::string_view id) {
    const auto it = byId.find(id);
    return it == byId.end() ? nullptr : &controls[it->second];
}

Control& MainForm::State::at(std::string_view id) {
    Control* control = find(id);
    assert(control != nullptr);
    return *control;
}

const Control& MainForm::State::at(std::string_view id) const {
    return const_cast<State*>(this)->at(id);
}

bool MainForm::State::usable(std::string_view id, ControlKind kind) {
    const Control* control = find(id);
    return control != nullptr && control->kind == kind && control->enabled && control->visible;
}

void MainForm::State::finishEvent() {
    sync();
    ++revision;
}

void MainForm::State::sync() {
    const char* values[] = {"VersionValue", "DateValue", "SModeValue", "TypeValue", "IntervalValue", "ECodeValue"};
    const int fields[] = {RideHeader::kVersion, RideHeader::kDate, RideHeader::kMode,
                          RideHeader::kType,    RideHeader::kInterval, RideHeader::kECode};
    for (int i = 0; i < RideHeader::kFieldCount; ++i) at(values[i]).caption = ride.header.fields[fields[i]];
    at("ImportStatus").caption = ride.ImportStatus;
    at(ids::kCalc15).enabled = ride.Calc15Available;
    // The "Filename:" rule: "Catalyst" and "Fortius" while there is a name.
    at(ids::kCatalyst).enabled = !ride.ProgramName.empty();
    at(ids::kFortius).enabled = !ride.ProgramName.empty();

    for (const auto& [id, position] : {std::pair{ids::kStartSlider, view.startPos}, std::pair{ids::kEndSlider, view.endPos}}) {
        Control& slider = at(id);
        slider.min = 0;
        slider.max = view.lastRow;
        slider.value = position;
        slider.enabled = view.slidersEnabled;
    }
    at(ids::kStartValue).caption = view.startLabel;
    at(ids::kRouteValue).caption = view.routeLabel;

    Control& rlvList = at(ids::kRlvList);
    if (rlvList.items != script.lines) {
        rlvList.items = script.lines;
        rlvList.selected = -1;
    }
    at("Command7").enabled = script.createEnabled;

    at("Label5").caption = converterLabels.status;
    at("Label12(1)").caption = converterLabels.typ;
    at("Label12(3)").caption = converterLabels.program;
    at("Label12(5)").caption = converterLabels.route;
    at("Command10").enabled = convertEnabled;

    at("Label8").caption = runInfo.caption;
    Control& info = at(ids::kRunInfoList);
    if (info.items != runInfo.lines) {
        info.items = runInfo.lines;
        info.selected = -1;
    }
    at("Command4(1)").enabled = runInfo.createHrmEnabled;
}

Settings MainForm::State::settings() const {
    Settings s;
    s.my_path = my_path;
    std::string* paths[] = {&s.hrm_path, &s.pgm_path, &s.ca_path, &s.pgmf_path, &s.caf_path};
    for (int i = 0; i < 5; ++i) *paths[i] = at(kPathBoxes[i]).text;
    s.cat_max_climb = at("CatMaxClimb").text;
    s.cat_max_down = at("CatMaxDown").text;
    s.cat_dist_step = at("CatDistStep").text;
    s.fort_max_climb = at("FortMaxClimb").text;
    s.fort_max_down = at("FortMaxDown").text;
    s.fort_dist_step = at("FortDistStep").text;
    s.add_warmup = at("AddWarmup").checked ? 1 : 0;
    s.join_slopes = at("JoinSlopes").checked ? 1 : 0;
    s.unit_meter = at("UnitMeter").checked;
    s.unit_feet = at("UnitFeet").checked;
    s.base_setting = at("BaseSetting").text;
    return s;
}

void MainForm::State::applySettings(const Settings& s) {
    my_path = s.my_path;
    const std::string* paths[] = {&s.hrm_path, &s.pgm_path, &s.ca_path, &s.pgmf_path, &s.caf_path};
    for (int i = 0; i < 5; ++i) at(kPathBoxes[i]).text = *paths[i];
    at("CatMaxClimb").text = s.cat_max_climb;
    at("CatMaxDown").text = s.cat_max_down;
    at("CatDistStep").text = s.cat_dist_step;
    at("FortMaxClimb").text = s.fort_max_climb;
    at("FortMaxDown").text = s.fort_max_down;
    at("FortDistStep").text = s.fort_dist_step;
    at("AddWarmup").checked = s.add_warmup == 1;
    at("JoinSlopes").checked = s.join_slopes == 1;
    // The options exclude each other; the one read last wins, as when the
    // file's two values are set in turn.
    at("UnitMeter").checked = s.unit_meter && !s.unit_feet;
    at("UnitFeet").checked = s.unit_feet;
    at("BaseSetting").text = s.base_setting;
}

void MainForm::State::formLoad() {
    for (Control& page : controls)
        if (page.kind == ControlKind::tabPage && page.parent == ids::kMainTabs) page.enabled = true;
    title = "Velobridge (" + std::string(ProgramVersion) + ")";

    auto loaded = loadSettingsFile(settingsFile, dialogs);
    if (!loaded) {
        // The defaults stand in; say so, since shut-down writes the file again.
        showError(kTitleApp, "The settings file cannot be read; the defaults are used.\n" + loaded.error().message);
    } else if (*loaded) {
        applySettings(**loaded);
    }

    const Settings s = settings();
    pointList(at("File1(0)"), s.ca_path);
    pointList(at("File1(1)"), s.caf_path);
    pointList(at(ids::kPgmList), s.pgm_path);

    Format_SampleTable(ride.samples);
    for (int r = 1; r < std::min(ride.samples.rowCount(), 4000); ++r) ride.samples.setText(r, 0, std::to_string(r));
    ++samplesRevision;

    // Folders that cannot be made show up when an operation writes into them.
    (void)Check_HRM_Dir(s);
    Init_Kennung(ride);
}

bool MainForm::State::formUnload() {
    if (auto saved = saveSettingsFile(settingsFile, settings()); !saved) {
        showError(kTitleApp, "The settings were not saved.\n" + saved.error().message);
        return false;
    }
    return true;
}

void MainForm::State::press(std::string_view id) {
    const std::string_view name = nameOf(id);
    const int index = indexOf(id);
    if (id == ids::kImport) importPressed();
    else if (id == ids::kCalc15) calc15();
    else if (name == "Command9") Command9_Click(index);
    else if (name == "Command3") Command3_Click(index);
    else if (id == "Command6") Command6_Click();
    else if (id == "Command7") Command7_Click();
    else if (id == "Command10") Command10_Click();
    else if (name == "Command2") readList(at(index == 0 ? "File1(0)" : "File1(1)"));
    else if (name == "Command5") Command5_Click(index);
    else if (name == "Command4") Command4_Click();
}

void MainForm::State::setText(Control& box, std::string_view text) {
    box.text = box.maxLength > 0 ? utf8Left(text, static_cast<std::size_t>(box.maxLength)) : std::string(text);
    if (box.id == ids::kFilename) Text2_Change();
}

void MainForm::State::spin(Control& box, int direction) {
    // The arrows step from the number the box shows and stay within the range.
    const double shown = std::clamp(leadingNumber(box.text), double(box.min) - box.step, double(box.max) + box.step);
    const double next = roundHalfEven(shown) + (direction > 0 ? box.step : -box.step);
    box.text = std::to_string(static_cast<int>(std::clamp(next, double(box.min), double(box.max))));
}

void MainForm::State::itemClicked(std::string_view id) {
    if (id == ids::kPgmList) File2_Click();
    else if (nameOf(id) == "File1") File1_Click(indexOf(id));
}

void MainForm::State::showError(std::string_view title, std::string_view text) {
    dialogs.showMessage(title, text, MessageIcon::critical);
}

// File lists ---------------------------------------------------------------

void MainForm::State::pointList(Control& list, std::string_view folder) {
    std::error_code ec;
    if (folder.empty() || !fs::is_directory(pathFromUtf8(folder), ec)) return;
    list.text = std::string(folder);
    readList(list);
}

void MainForm::State::readList(Control& list) {
    const std::string chosen = list.selected >= 0 ? list.items[static_cast<std::size_t>(list.selected)] : "";
    list.items = list.text.empty() ? std::vector<std::string>{} : filesMatching(pathFromUtf8(list.text), list.pattern);
    const auto it = std::find(list.items.begin(), list.items.end(), chosen);
    list.selected = chosen.empty() || it == list.items.end() ? -1 : static_cast<int>(it - list.items.begin());
}

fs::path MainForm::State::selectedPath(const Control& list) const {
    if (list.selected < 0 || list.selected >= static_cast<int>(list.items.size())) return {};
    return pathFromUtf8(joinPath(list.text, list.items[static_cast<std::size_t>(list.selected)]));
}

void MainForm::State::Command3_Click(int index) {
    if (index < 0 || index > 4) return;
    const PathButton& button = kPathButtons[index];
    Control& box = at(kPathBoxes[index]);
    const std::string chosen = dialogs.openFile(button.filter, box.text);
    std::error_code ec;
    if (chosen.empty() || !fs::is_regular_file(pathFromUtf8(chosen), ec)) return;
    if (!chosen.ends_with(button.ending)) return;
    std::size_t cut = chosen.rfind(kPathSeparator);
#ifdef _WIN32
    const std::size_t slash = chosen.rfind('/');
    if (slash != std::string::npos && (cut == std::string::npos || slash > cut)) cut = slash;
#endif
    if (cut == std::string::npos) return;
    box.text = chosen.substr(0, cut + 1);
    if (!button.list.empty()) pointList(at(button.list), box.text);
}

}  // namespace vb
