// The window's other roads: the video script and the RLV file, the PGM to
// PGMF converter, and the run files with their HRM export.

#include <algorithm>

#include "app/RlvFile.h"
#include "base/Files.h"
#include "base/Text.h"
#include "catalyst/HrmWriter.h"
#include "form/FormState.h"

namespace vb {

namespace fs = std::filesystem;

namespace {

RunKind runKind(int index) { return index == 0 ? RunKind::v1 : RunKind::v2; }

std::string_view runList(int index) { return ids::kRunLists[index == 0 ? 0 : 1]; }

}  // namespace

void MainForm::State::Command6_Click() {
    const std::string chosen = dialogs.openFile(kScriptFilter, "");
    std::error_code ec;
    if (chosen.empty() || !fs::is_regular_file(pathFromUtf8(chosen), ec)) return;
    auto data = readFile(pathFromUtf8(chosen), kScriptFileMax);
    if (!data) {
        showError(kTitleApp, data.error().message);
        return;
    }
    script = Load_RLV_Script(*data, at(ids::kSpeedReference).text, dialogs);
}

void MainForm::State::Command7_Click() {
    const Settings s = settings();
    Result<void> written = ensureFolder(pathFromUtf8(workingFolder(s, "RLV")));
    if (written) written = writeRlvFile(rlvFilePath(s, script), script);
    if (!written) showError(kTitleApp, "No RLV file was written: " + written.error().message);
}

void MainForm::State::File2_Click() {
    const Control& list = at(ids::kPgmList);
    convertEnabled = describePgm(converter, converterLabels, selectedPath(list),
                                 list.items[static_cast<std::size_t>(list.selected)]);
}

void MainForm::State::Command10_Click() {
    convertEnabled = false;
    Control& list = at(ids::kPgmList);
    if (list.selected >= 0) {
        auto converted = convertPgm(converter, converterLabels, selectedPath(list),
                                    list.items[static_cast<std::size_t>(list.selected)],
                                    pathFromUtf8(workingFolder(settings(), "PGMF_Conv")));
        // A file that is V2.0 already is told by the status label alone.
        if (!converted && !hasConvV2Header(converter.ConvBuffer))
            showError(kTitleMsg, "No program was converted: " + converted.error().message);
    }
    readList(list);
}

Result<std::vector<std::string>> MainForm::State::readRun(const fs::path& path, RunKind kind) {
    Result<std::vector<std::string>> read = Check_Catalyst_File(run, path, kind);
    runInfo.caption = runInfoCaption(kind);
    runInfo.lines = read ? *read : std::vector<std::string>{};
    runInfo.createHrmEnabled = read && run.LastSample > 0;
    return read;
}

void MainForm::State::File1_Click(int index) {
    const fs::path path = selectedPath(at(runList(index)));
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return;
    const auto read = readRun(path, runKind(index));
    if (read) return;
    if (read.error().code == ErrorCode::unidentified) showError(kTitleRunMsg, cantIdentify(path));
    else showError(kTitleRunMsg, "Run file refused: " + read.error().message + "\nFile: " + displayPath(path));
}

void MainForm::State::Command4_Click() {
    const Settings s = settings();
    Result<void> written = ensureFolder(pathFromUtf8(workingFolder(s, "HRM")));
    if (written) written = writeHrmFile(hrmFilePath(s, run), run, at(ids::kBaseSetting).text);
    if (!written) showError(kTitleRunMsg, "No HRM file was written: " + written.error().message);
}

void MainForm::State::Command5_Click(int index) {
    Control& list = at(runList(index));
    if (list.items.empty()) return;
    // Every file of the list is written; the ones skipped are named at the end.
    const fs::path folder = pathFromUtf8(workingFolder(settings(), "HRM"));
    const Result<void> made = ensureFolder(folder);
    if (!made) runInfo = {};
    std::vector<std::pair<fs::path, std::string>> skipped;
    std::vector<fs::path> written;
    for (const std::string& entry : list.items) {
        const fs::path file = pathFromUtf8(joinPath(list.text, entry));
        if (!made) {
            skipped.emplace_back(file, made.error().message);
            continue;
        }
        const auto read = readRun(file, runKind(index));
        if (!read) {
            skipped.emplace_back(file, read.error().message);
            continue;
        }
        // Two run files whose names differ only in letter case land on one file
        // where the file system ignores case: the second is not written over the first.
        const fs::path target = folder / pathFromUtf8(run.FileName + ".hrm");
        if (run.LastSample > 0 && std::any_of(written.begin(), written.end(),
                                              [&](const fs::path& done) { return sameFile(done, target); })) {
            skipped.emplace_back(file, displayPath(target) + " was already written from another run file");
            continue;
        }
        if (auto made = writeRunAsHrm(run, folder, at(ids::kBaseSetting).text); !made) {
            skipped.emplace_back(file, made.error().message);
        } else {
            written.push_back(*made);
        }
    }
    list.selected = static_cast<int>(list.items.size()) - 1;
    if (skipped.empty()) return;
    std::string text = "No HRM file was written for " + str(static_cast<std::int64_t>(skipped.size())) +
                       (skipped.size() == 1 ? " run file:" : " run files:");
    for (const auto& [file, reason] : skipped) text += "\n" + displayPath(file) + ": " + reason;
    showError(kTitleRunMsg, text);
}

}  // namespace vb
