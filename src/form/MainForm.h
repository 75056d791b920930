#pragma once
// The main window as data: every control with its place, caption and state,
// and every operation the controls start, wired to the import, route, run
// file, converter, settings and video logic. It knows nothing of any toolkit:
// message boxes and the file-open dialog go through Dialogs, the route
// profile through Canvas. The desktop program shows it; the tests drive it.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/SettingsFile.h"
#include "form/Control.h"
#include "form/Dialogs.h"
#include "import/RideRecord.h"
#include "route/Canvas.h"
#include "route/RouteView.h"

namespace vb {

/// Ids of the controls that the desktop program treats specially and of those
/// the operations name (Layout.cpp makes every control).
namespace ids {
inline constexpr std::string_view kMainTabs = "MainTabs";
inline constexpr std::string_view kSampleGrid = "SampleGrid";
inline constexpr std::string_view kProfileArea = "ProfileArea";
inline constexpr std::string_view kStartSlider = "StartSlider";
inline constexpr std::string_view kEndSlider = "EndSlider";
inline constexpr std::string_view kFilename = "Text2";
inline constexpr std::string_view kCatalyst = "Command9(0)";
inline constexpr std::string_view kFortius = "Command9(1)";
inline constexpr std::string_view kImport = "ImportButton";
inline constexpr std::string_view kCalc15 = "Command8";
inline constexpr std::string_view kStartValue = "StartValue";
inline constexpr std::string_view kRouteValue = "RouteValue";
inline constexpr std::string_view kRlvList = "RlvList";
inline constexpr std::string_view kPgmList = "File2";
inline constexpr std::string_view kRunInfoList = "List1";
inline constexpr std::string_view kCreateHrm = "Command4(1)";
inline constexpr std::string_view kRunInfoCaption = "Label8";
inline constexpr std::string_view kLoadScript = "Command6";
inline constexpr std::string_view kCreateRlv = "Command7";
inline constexpr std::string_view kConvert = "Command10";
inline constexpr std::string_view kConverterStatus = "Label5";
inline constexpr std::string_view kConverterTyp = "Label12(1)";
inline constexpr std::string_view kConverterProgram = "Label12(3)";
inline constexpr std::string_view kConverterRoute = "Label12(5)";
inline constexpr std::string_view kSpeedReference = "SpeedReferenz";
inline constexpr std::string_view kBaseSetting = "BaseSetting";
inline constexpr std::string_view kSmoothAltitude = "SmoothAltitude";
inline constexpr std::string_view kImportStatus = "ImportStatus";
inline constexpr std::string_view kUnitMeter = "UnitMeter";
inline constexpr std::string_view kUnitFeet = "UnitFeet";
inline constexpr std::string_view kAddWarmup = "AddWarmup";
inline constexpr std::string_view kJoinSlopes = "JoinSlopes";
inline constexpr std::string_view kCatMaxClimb = "CatMaxClimb";
inline constexpr std::string_view kCatMaxDown = "CatMaxDown";
inline constexpr std::string_view kCatDistStep = "CatDistStep";
inline constexpr std::string_view kFortMaxClimb = "FortMaxClimb";
inline constexpr std::string_view kFortMaxDown = "FortMaxDown";
inline constexpr std::string_view kFortDistStep = "FortDistStep";
inline constexpr std::string_view kPathBoxes[5] = {"PathBox(0)", "PathBox(1)", "PathBox(2)", "PathBox(3)", "PathBox(4)"};
inline constexpr std::string_view kPathChoosers[5] = {"Command3(0)", "Command3(1)", "Command3(2)", "Command3(3)", "Command3(4)"};
inline constexpr std::string_view kRunLists[2] = {"File1(0)", "File1(1)"};
inline constexpr std::string_view kRunRefresh[2] = {"Command2(0)", "Command2(1)"};
inline constexpr std::string_view kConvertAll[2] = {"Command5(0)", "Command5(1)"};
inline constexpr std::string_view kHeaderValues[6] = {"VersionValue", "DateValue", "SModeValue", "TypeValue", "IntervalValue", "ECodeValue"};
}  // namespace ids

class MainForm {
public:
    /// The settings are read at start-up from settingsFileToRead(`settingsLocation`)
    /// and written at shut-down to its `file`.
    MainForm(Dialogs& dialogs, SettingsLocation settingsLocation);
    ~MainForm();
    MainForm(const MainForm&) = delete;
    MainForm& operator=(const MainForm&) = delete;

    /// Start-up: title, settings into the controls, file lists, sample table,
    /// working folders, identification tag.
    void Form_Load();
    /// Shut-down: writes the settings file; a failure is shown before the
    /// program ends. Returns whether the settings were saved.
    bool Form_Unload();

    /// The window's title ("Velobridge (Version0.6a)") and client size in twips.
    const std::string& title() const;
    static constexpr int kClientWidth = 10065;
    static constexpr int kClientHeight = 8520;

    /// Every control, parents before their children.
    const std::vector<Control>& controls() const;
    /// The control with this id; throws std::out_of_range for an unknown id.
    const Control& control(std::string_view id) const;
    /// Whether a control of this id exists.
    bool hasControl(std::string_view id) const;
    /// The control's rectangle in twips of the window's client area.
    Rect absoluteRect(std::string_view id) const;

    // Events, as the rider causes them. Each runs its operation to the end;
    // events on a disabled or unknown control do nothing.
    void press(std::string_view id);                      ///< buttons
    void setText(std::string_view id, std::string_view text);  ///< text and number boxes (typed text)
    void spin(std::string_view id, int direction);        ///< number box arrows: +1 up, -1 down
    void setChecked(std::string_view id, bool checked);   ///< check boxes, option buttons
    void selectItem(std::string_view id, int index);      ///< list and file list clicks
    void moveSlider(std::string_view id, int position);   ///< sliders
    void selectTab(std::string_view id, int index);       ///< tab strips

    /// Opens a ride as if chosen with "Import" (the desktop program's command line).
    void importRide(const std::filesystem::path& path);

    /// The ride record behind the sample grid and the route view.
    const RideRecord& ride() const;
    const RouteView& routeView() const;
    /// Draws the route profile (nothing before the first import).
    void paintProfile(Canvas& canvas) const;

    /// Grows on every change of any control; the sample counter only when the
    /// SampleTable changes (the grid reloads then); the profile counter only
    /// when what paintProfile draws changes (the profile is drawn again then).
    std::uint64_t revision() const;
    std::uint64_t samplesRevision() const;
    std::uint64_t profileRevision() const;

    /// The base working folder read from the settings file ("" without one).
    const std::string& my_path() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

}  // namespace vb
