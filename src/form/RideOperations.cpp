// The ride's road through the window: "Import", the "Filename:" rule,
// "Calc 15sec Interval" and the "Catalyst" / "Fortius" buttons.

#include <algorithm>

#include "base/Files.h"
#include "base/Text.h"
#include "form/FormState.h"
#include "import/AltitudeSmoothing.h"
#include "import/RideImport.h"
#include "route/ProgramWriter.h"
#include "route/RouteBuilder.h"

namespace vb {

namespace fs = std::filesystem;

void MainForm::State::importPressed() {
    const std::string chosen = dialogs.openFile(kRideFilter, at(ids::kPathBoxes[0]).text);
    std::error_code ec;
    // A cancelled dialog, or a name that is no file, changes nothing.
    if (chosen.empty() || !fs::is_regular_file(pathFromUtf8(chosen), ec)) return;
    importFile(pathFromUtf8(chosen));
}

void MainForm::State::importFile(const fs::path& path) {
    auto data = readRideFile(path);
    if (!data) {
        showError(kTitleApp, data.error().message);
        return;
    }
    const RideFileType type = recogniseRideFile(*data);
    if (type == RideFileType::unknown) {
        dialogs.showMessage(kTitleApp,
                            displayPath(path) + " is not a ride file (neither HRM, HAC4, FIT, GPX nor TCX).",
                            MessageIcon::information);
        return;
    }
    view.slidersEnabled = false;
    const auto format = trackFormat(type);
    const Result<int> loaded = format                      ? loadTrack(*format, displayPath(path), *data)
                               : type == RideFileType::hrm ? loadHrm(displayPath(path), *data)
                                                           : loadHac4(*data);
    // The smoothing width is read at each import: a change applies from the
    // next one, and to the rows this import added.
    if (loaded)
        smoothAltitude(ride, leadingNumber(at(ids::kSmoothAltitude).text),
                       std::max(1, ride.samples.rowCount() - *loaded));
    // A header that never completed still names the ride.
    if (loaded || loaded.error().code == ErrorCode::empty) {
        // The reader wrote the ride's name into the "Filename:" box, which
        // takes no more than 16 characters.
        at(ids::kFilename).text = utf8Left(ride.FilenameBox, kProgramNameMax);
        Text2_Change();
        ++samplesRevision;
    }
    refreshRouteView(view, ride);
    imported = true;
    ++profileRevision;
}

Result<int> MainForm::State::loadHrm(std::string_view name, std::span<const std::byte> data) {
    const Result<PolarFile> parsed = readPolarFile(name, data);
    for (const Error& warning : parsed.warnings()) dialogs.showMessage(kTitleMsg, warning.message, MessageIcon::critical);
    if (!parsed) {
        dialogs.showMessage(kTitleMsg, parsed.error().message, MessageIcon::critical);
        return parsed.error();
    }
    const bool append = appendsTo(ride, *parsed) && dialogs.askYesNo(kTitleApp, kAskAppend);
    Result<int> loaded = loadPolarFile(ride, *parsed, append);
    if (!loaded) dialogs.showMessage(kTitleMsg, loaded.error().message, MessageIcon::critical);
    for (const Error& warning : loaded.warnings())
        dialogs.showMessage(kTitleMsg, warning.message, MessageIcon::information);
    return loaded;
}

Result<int> MainForm::State::loadHac4(std::span<const std::byte> data) {
    Result<int> loaded = loadHac4File(ride, data);
    if (!loaded) {
        const bool unknown = loaded.error().code == ErrorCode::unidentified;
        dialogs.showMessage(kTitleApp, loaded.error().message, unknown ? MessageIcon::none : MessageIcon::critical);
    }
    return loaded;
}

Result<int> MainForm::State::loadTrack(TrackFormat format, std::string_view name, std::span<const std::byte> data) {
    const Result<TrackSummary> loaded = Load_Track_File(ride, format, name, data);
    for (const Error& warning : loaded.warnings())
        dialogs.showMessage(kTitleApp, warning.message, MessageIcon::information);
    if (!loaded) {
        dialogs.showMessage(kTitleApp, loaded.error().message, MessageIcon::critical);
        return loaded.error();
    }
    return ride.samples.sampleCount();
}

void MainForm::State::Text2_Change() {
    setFilenameBox(ride, at(ids::kFilename).text);
}

void MainForm::State::calc15() {
    if (auto resampled = calc15SecInterval(ride); !resampled) {
        showError(kTitleMsg, "The ride was not resampled: " + resampled.error().message);
        return;
    }
    ++samplesRevision;
    // The sliders then reach the whole resampled ride.
    refreshRouteView(view, ride);
    ++profileRevision;
}

void MainForm::State::Command9_Click(int index) {
    if (index != 0 && index != 1) return;
    const auto row = [](int position) { return static_cast<std::int16_t>(std::clamp(position, 0, 32767)); };
    // The table starts with one empty row; until a ride is read it holds no sample.
    const SampleTable& table = ride.samples;
    if (table.sampleCount() <= 0 || (table.sampleCount() == 1 && table.text(1, 1).empty() && table.text(1, 2).empty())) {
        showError(kTitleMsg, "Import a ride first.");
        return;
    }
    const Settings s = settings();
    const ProgramRequest request = programRequest(s, index == 0 ? Target::catalyst : Target::fortius,
                                                  row(view.startPos), row(view.endPos), ride.ProgramName);
    // The writer's refusal of a name starts with "Incorrect Filename!!!" and is shown as it is.
    if (auto written = writeProgram(ride, request, s); !written) {
        const std::string& reason = written.error().message;
        showError(kTitleMsg, reason.starts_with(kIncorrectFilename) ? reason : "No program was written: " + reason);
    }
}

}  // namespace vb
