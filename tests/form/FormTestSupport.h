#pragma once
// A window model over a scratch folder, with dialogs that answer from a
// script: the settings file points the base working folder into the scratch
// folder, so nothing touches the real home folder.

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/SettingsFile.h"
#include "base/Files.h"
#include "form/MainForm.h"
#include "support/TestSupport.h"

namespace vb::test {

/// Answers the file-open dialog and Yes/No questions from queues, and records
/// every message, question and file dialog shown.
class ScriptedDialogs : public Dialogs {
public:
    using Shown = RecordingPrompter::Shown;
    std::deque<std::string> files;  // answers of openFile ("" cancels)
    std::deque<bool> answers;       // answers of askYesNo
    std::vector<Shown> messages;
    std::vector<Shown> questions;
    std::vector<std::pair<std::string, std::string>> opened;  // filter and folder of each file dialog

    void showMessage(std::string_view title, std::string_view text, MessageIcon icon) override {
        messages.push_back({std::string(title), std::string(text), icon});
    }
    bool askYesNo(std::string_view title, std::string_view text) override {
        questions.push_back({std::string(title), std::string(text), MessageIcon::question});
        EXPECT_FALSE(answers.empty()) << "unexpected question: " << text;
        const bool answer = !answers.empty() && answers.front();
        if (!answers.empty()) answers.pop_front();
        return answer;
    }
    std::string openFile(std::string_view filter, std::string_view folder) override {
        opened.emplace_back(filter, folder);
        std::string answer = files.empty() ? "" : files.front();
        if (!files.empty()) files.pop_front();
        return answer;
    }
    /// Checks that `count` messages were shown, the last holding `part` (and titled `title`, if given).
    void expectLast(std::size_t count, std::string_view part, std::string_view title = {}) const {
        ASSERT_EQ(messages.size(), count);
        EXPECT_NE(messages.back().text.find(part), std::string::npos) << messages.back().text;
        EXPECT_TRUE(title.empty() || messages.back().title == title) << messages.back().title;
    }
};

/// UTF-8 text of a path.
inline std::string text(const std::filesystem::path& path) { return displayPath(path); }

/// Checks each control's caption (labels, buttons, frames) or text (text and number boxes).
inline void expectTexts(const MainForm& form,
                        std::initializer_list<std::pair<std::string_view, std::string_view>> texts) {
    for (const auto& [id, expected] : texts) {
        const Control& c = form.control(id);
        const bool box = c.kind == ControlKind::textBox || c.kind == ControlKind::numberBox;
        EXPECT_EQ(box ? c.text : c.caption, expected) << id;
    }
}

/// Puts a file where a working folder belongs, so that writing into it fails.
inline void blockFolder(const std::filesystem::path& folder) {
    std::filesystem::remove_all(folder);
    writeAll(folder, "a file where the folder belongs");
}

/// A window model over a scratch folder: base/ is the base working folder,
/// velobridge.ini the settings file.
struct FormRig {
    ScratchDir dir;
    ScriptedDialogs dialogs;
    std::filesystem::path base = dir / "base";
    std::filesystem::path ini = dir / "velobridge.ini";
    std::unique_ptr<MainForm> form;

    /// Writes a settings file with `settings` and the base folder, then starts the window.
    MainForm& start(Settings settings = {}) {
        settings.my_path = text(base);
        writeAll(ini, asText(writeSettings(settings)));
        return startAsIs();
    }
    /// Starts the window with whatever settings file there is.
    MainForm& startAsIs() {
        form = std::make_unique<MainForm>(dialogs, ini);
        form->Form_Load();
        return *form;
    }
    /// Chooses `file` with the "Import" button.
    void importRide(const std::filesystem::path& file) {
        dialogs.files.push_back(text(file));
        form->press(ids::kImport);
    }
};

}  // namespace vb::test
