// The window model's state: finding controls, copying the model into them
// after each event, the settings the controls hold, start-up, shut-down and
// the dispatch of events to operations.

#include "form/FormState.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <exception>
#include <new>

#include "app/SettingsFile.h"
#include "app/WorkingFolders.h"
#include "base/Files.h"
#include "base/Text.h"
#include "form/Layout.h"

namespace vb {

namespace fs = std::filesystem;

namespace {

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

MainForm::State::State(Dialogs& dialogs_, SettingsLocation settingsLocation_)
    : dialogs(dialogs_), settingsLocation(std::move(settingsLocation_)), controls(mainWindowControls()) {
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
    // The labels stand in the order Version, Date, SMode, Type, Interval, ECode.
    const int fields[] = {RideHeader::kVersion, RideHeader::kDate, RideHeader::kMode,
                          RideHeader::kType,    RideHeader::kInterval, RideHeader::kECode};
    for (int i = 0; i < RideHeader::kFieldCount; ++i) at(ids::kHeaderValues[i]).caption = ride.header.fields[fields[i]];
    at(ids::kImportStatus).caption = ride.ImportStatus;
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

    // A list keeps its selection while its lines stay the same.
    const auto showLines = [this](std::string_view id, const std::vector<std::string>& lines) {
        Control& list = at(id);
        if (list.items == lines) return;
        list.items = lines;
        list.selected = -1;
    };
    showLines(ids::kRlvList, script.lines);
    at(ids::kCreateRlv).enabled = script.createEnabled;

    at(ids::kConverterStatus).caption = converterLabels.status;
    at(ids::kConverterTyp).caption = converterLabels.typ;
    at(ids::kConverterProgram).caption = converterLabels.program;
    at(ids::kConverterRoute).caption = converterLabels.route;
    at(ids::kConvert).enabled = convertEnabled;

    at(ids::kRunInfoCaption).caption = runInfo.caption;
    showLines(ids::kRunInfoList, runInfo.lines);
    at(ids::kCreateHrm).enabled = runInfo.createHrmEnabled;
}

Settings MainForm::State::settings() const {
    Settings s;
    s.my_path = my_path;
    std::string* paths[] = {&s.hrm_path, &s.pgm_path, &s.ca_path, &s.pgmf_path, &s.caf_path};
    for (int i = 0; i < 5; ++i) *paths[i] = at(ids::kPathBoxes[i]).text;
    s.cat_max_climb = at(ids::kCatMaxClimb).text;
    s.cat_max_down = at(ids::kCatMaxDown).text;
    s.cat_dist_step = at(ids::kCatDistStep).text;
    s.fort_max_climb = at(ids::kFortMaxClimb).text;
    s.fort_max_down = at(ids::kFortMaxDown).text;
    s.fort_dist_step = at(ids::kFortDistStep).text;
    s.add_warmup = at(ids::kAddWarmup).checked ? 1 : 0;
    s.join_slopes = at(ids::kJoinSlopes).checked ? 1 : 0;
    s.unit_meter = at(ids::kUnitMeter).checked;
    s.unit_feet = at(ids::kUnitFeet).checked;
    s.base_setting = at(ids::kBaseSetting).text;
    s.smooth_altitude = at(ids::kSmoothAltitude).text;
    return s;
}

void MainForm::State::applySettings(const Settings& s) {
    my_path = s.my_path;
    const std::string* paths[] = {&s.hrm_path, &s.pgm_path, &s.ca_path, &s.pgmf_path, &s.caf_path};
    for (int i = 0; i < 5; ++i) at(ids::kPathBoxes[i]).text = *paths[i];
    at(ids::kCatMaxClimb).text = s.cat_max_climb;
    at(ids::kCatMaxDown).text = s.cat_max_down;
    at(ids::kCatDistStep).text = s.cat_dist_step;
    at(ids::kFortMaxClimb).text = s.fort_max_climb;
    at(ids::kFortMaxDown).text = s.fort_max_down;
    at(ids::kFortDistStep).text = s.fort_dist_step;
    at(ids::kAddWarmup).checked = s.add_warmup == 1;
    at(ids::kJoinSlopes).checked = s.join_slopes == 1;
    // The options exclude each other; the one read last wins, as when the
    // file's two values are set in turn.
    at(ids::kUnitMeter).checked = s.unit_meter && !s.unit_feet;
    at(ids::kUnitFeet).checked = s.unit_feet;
    at(ids::kBaseSetting).text = s.base_setting;
    at(ids::kSmoothAltitude).text = s.smooth_altitude;
}

void MainForm::State::formLoad() {
    for (Control& page : controls)
        if (page.kind == ControlKind::tabPage && page.parent == ids::kMainTabs) page.enabled = true;
    title = "Velobridge (" + std::string(ProgramVersion) + ")";

    auto loaded = loadSettingsFile(settingsFileToRead(settingsLocation), dialogs);
    if (!loaded) {
        // The defaults stand in; say so, since shut-down writes the file again.
        showError(kTitleApp, "The settings file cannot be read; the defaults are used.\n" + loaded.error().message);
    } else if (*loaded) {
        applySettings(**loaded);
    }

    const Settings s = settings();
    pointList(at(ids::kRunLists[0]), s.ca_path);
    pointList(at(ids::kRunLists[1]), s.caf_path);
    pointList(at(ids::kPgmList), s.pgm_path);

    Format_SampleTable(ride.samples);
    for (int r = 1; r < std::min(ride.samples.rowCount(), 4000); ++r) ride.samples.setText(r, 0, std::to_string(r));
    ++samplesRevision;

    // Folders that cannot be made show up when an operation writes into them.
    (void)Check_HRM_Dir(s);
    Init_Kennung(ride);
}

bool MainForm::State::formUnload() {
    if (auto saved = saveSettingsFile(settingsLocation.file, settings()); !saved) {
        showError(kTitleApp, "The settings were not saved.\n" + saved.error().message);
        return false;
    }
    return true;
}

// Each button's operation, bound next to its id.
void MainForm::State::press(std::string_view id) {
    using S = State;
    static constexpr std::pair<std::string_view, void (*)(S&)> kOperations[] = {
        {ids::kImport, [](S& s) { s.importPressed(); }},
        {ids::kCalc15, [](S& s) { s.calc15(); }},
        {ids::kCatalyst, [](S& s) { s.Command9_Click(0); }},
        {ids::kFortius, [](S& s) { s.Command9_Click(1); }},
        {ids::kPathChoosers[0], [](S& s) { s.Command3_Click(0); }},
        {ids::kPathChoosers[1], [](S& s) { s.Command3_Click(1); }},
        {ids::kPathChoosers[2], [](S& s) { s.Command3_Click(2); }},
        {ids::kPathChoosers[3], [](S& s) { s.Command3_Click(3); }},
        {ids::kPathChoosers[4], [](S& s) { s.Command3_Click(4); }},
        {ids::kLoadScript, [](S& s) { s.Command6_Click(); }},
        {ids::kCreateRlv, [](S& s) { s.Command7_Click(); }},
        {ids::kConvert, [](S& s) { s.Command10_Click(); }},
        {ids::kRunRefresh[0], [](S& s) { s.readList(s.at(ids::kRunLists[0])); }},
        {ids::kRunRefresh[1], [](S& s) { s.readList(s.at(ids::kRunLists[1])); }},
        {ids::kConvertAll[0], [](S& s) { s.Command5_Click(0); }},
        {ids::kConvertAll[1], [](S& s) { s.Command5_Click(1); }},
        {ids::kCreateHrm, [](S& s) { s.Command4_Click(); }},
    };
    for (const auto& [bound, operation] : kOperations)
        if (bound == id) return operation(*this);
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

// Each list's operation when an entry is chosen.
void MainForm::State::itemClicked(std::string_view id) {
    using S = State;
    static constexpr std::pair<std::string_view, void (*)(S&)> kOperations[] = {
        {ids::kPgmList, [](S& s) { s.File2_Click(); }},
        {ids::kRunLists[0], [](S& s) { s.File1_Click(0); }},
        {ids::kRunLists[1], [](S& s) { s.File1_Click(1); }},
    };
    for (const auto& [bound, operation] : kOperations)
        if (bound == id) return operation(*this);
}

void MainForm::State::showError(std::string_view title, std::string_view text) {
    dialogs.showMessage(title, text, MessageIcon::critical);
}

void MainForm::State::guarded(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const std::bad_alloc&) {
        showError(kTitleApp, "Not enough memory: the operation was stopped.");
    } catch (const std::exception& e) {
        showError(kTitleApp, std::string("The operation was stopped: ") + e.what());
    }
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
    Control& box = at(ids::kPathBoxes[index]);
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
