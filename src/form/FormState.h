#pragma once
// The window model's state behind MainForm: the controls, the ride record and
// route view, the run record, the converter, the video script and the base
// working folder, with the operations the controls start. Private to src/form.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/RlvScript.h"
#include "app/Settings.h"
#include "base/Result.h"
#include "catalyst/CatalystRun.h"
#include "catalyst/PgmConverter.h"
#include "catalyst/RunFileReader.h"
#include "form/MainForm.h"
#include "import/Track.h"

namespace vb {

/// Dialog filters of the file-open dialog.
inline constexpr std::string_view kRideFilter =
    "(All ride files)|*.hrm;*.tur;*.fit;*.gpx;*.tcx|(*.hrm Polar File)|*.hrm|(*.tur HAC4 File)|*.tur|"
    "(*.fit FIT File)|*.fit|(*.gpx GPX File)|*.gpx|(*.tcx TCX File)|*.tcx";
inline constexpr std::string_view kScriptFilter = "(*.vlb Polar File)|*.vlb";

/// What each of the five path buttons asks for: dialog filter, required ending
/// (case-sensitive), the path box it sets and the run-file list it re-points.
struct PathButton {
    std::string_view filter;
    std::string_view ending;
    std::string_view list;  // "" for none
};
inline constexpr PathButton kPathButtons[5] = {
    {"(*.hrm Polar File)|*.hrm", ".hrm", ""},
    {"(*.pgm Catalyst Programm File)|*.pgm", ".pgm", ""},
    {"(*.ca Catalyst Data File)|*.ca", ".ca", ids::kRunLists[0]},
    {"(*.pgmf Catalyst(blue) Programm File)|*.pgmf", ".pgmf", ""},
    {"(*.caf Catalyst (blue) Data File)|*.caf", ".caf", ids::kRunLists[1]},
};

/// The files of `folder` whose extension matches the pattern's ("*.ca") in any
/// letter case, sorted by name ignoring letter case. Empty for a missing folder.
std::vector<std::string> filesMatching(const std::filesystem::path& folder, std::string_view pattern);

struct MainForm::State {
    State(Dialogs& dialogs, SettingsLocation settingsLocation);

    Dialogs& dialogs;
    SettingsLocation settingsLocation;
    std::string title;
    std::vector<Control> controls;
    std::map<std::string, std::size_t, std::less<>> byId;

    RideRecord ride;
    RouteView view;
    bool imported = false;        // nothing is drawn before the first import
    std::string my_path;
    CatalystRun run;
    /// What the run info list shows: the caption of the kind last chosen, the
    /// lines of the last run file read, and whether "Create HRM" is offered.
    struct RunInfo {
        std::string caption;
        std::vector<std::string> lines;
        bool createHrmEnabled = false;
    } runInfo;
    PgmConverter converter;
    ConverterLabels converterLabels;
    bool convertEnabled = false;
    RlvScript script;
    std::uint64_t revision = 0;
    std::uint64_t samplesRevision = 0;
    std::uint64_t profileRevision = 0;

    Control* find(std::string_view id);
    Control& at(std::string_view id);
    const Control& at(std::string_view id) const;
    /// An existing, enabled and visible control of that kind.
    bool usable(std::string_view id, ControlKind kind);
    /// Copies the model's state into the controls and counts the event.
    void finishEvent();

    /// The settings as the controls hold them now, with my_path.
    Settings settings() const;
    void applySettings(const Settings& settings);

    // Start-up and shut-down.
    void formLoad();
    bool formUnload();

    // Events.
    void press(std::string_view id);
    void setText(Control& box, std::string_view text);
    void spin(Control& box, int direction);
    void itemClicked(std::string_view id);

    // Ride, route and programs.
    void importPressed();
    void importFile(const std::filesystem::path& path);
    /// Reads an HRM ride into the ride record, showing its messages and
    /// asking whether to add it to the ride it matches.
    Result<int> loadHrm(std::string_view name, std::span<const std::byte> data);
    /// Reads a HAC4 ride into the ride record, showing a refusal.
    Result<int> loadHac4(std::span<const std::byte> data);
    // A FIT, GPX or TCX ride: the reader's warnings, then its refusal.
    Result<int> loadTrack(TrackFormat format, std::string_view name, std::span<const std::byte> data);
    void Text2_Change();
    void calc15();
    void Command9_Click(int index);

    // Folders and file lists.
    void Command3_Click(int index);
    /// Points a file list at a folder; a folder that does not exist is skipped.
    void pointList(Control& list, std::string_view folder);
    /// Re-reads a file list's folder.
    void readList(Control& list);
    /// The full path of a file list's selected entry.
    std::filesystem::path selectedPath(const Control& list) const;

    // Video script.
    void Command6_Click();
    void Command7_Click();

    // Converter and run files.
    void File2_Click();
    void Command10_Click();
    void File1_Click(int index);
    void Command4_Click();
    void Command5_Click(int index);
    /// Reads a run file into the run record and the run info list; a failure
    /// is returned, not shown.
    Result<std::vector<std::string>> readRun(const std::filesystem::path& path, RunKind kind);

    void showError(std::string_view title, std::string_view text);

    /// Runs one event's operation; what it throws (memory running out) is shown

    /// in a message box instead of reaching the caller's event loop.

    void guarded(const std::function<void()>& operation);

private:
    void sync();
};

}  // namespace vb
