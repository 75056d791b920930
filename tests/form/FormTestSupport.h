#pragma once
// Scripted dialogs and a window model set up in a scratch folder: the
// settings file points the base working folder into it, so nothing touches
// the real home folder.

#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/Files.h"
#include "form/Dialogs.h"
#include "form/MainForm.h"
#include "support/TestSupport.h"

namespace vb::test {

/// Answers the file-open dialog and Yes/No questions from queues, and records
/// every message, question and dialog shown.
class ScriptedDialogs : public Dialogs {
public:
    struct Shown {
        std::string title;
        std::string text;
        MessageIcon icon = MessageIcon::none;
    };
    struct Opened {
        std::string filter;
        std::string folder;
    };

    std::deque<std::string> files;  // answers of openFile ("" cancels)
    std::deque<bool> answers;       // answers of askYesNo
    std::vector<Shown> messages;
    std::vector<Shown> questions;
    std::vector<Opened> opened;

    void showMessage(std::string_view title, std::string_view text, MessageIcon icon) override {
        messages.push_back({std::string(title), std::string(text), icon});
    }
    bool askYesNo(std::string_view title, std::string_view text) override {
        questions.push_back({std::string(title), std::string(text), MessageIcon::question});
        EXPECT_FALSE(answers.empty()) << "unexpected question: " << text;
        if (answers.empty()) return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::string openFile(std::string_view filter, std::string_view initialFolder) override {
        opened.push_back({std::string(filter), std::string(initialFolder)});
        EXPECT_FALSE(files.empty()) << "unexpected file dialog: " << filter;
        if (files.empty()) return "";
        std::string answer = files.front();
        files.pop_front();
        return answer;
    }
};

/// UTF-8 text of a path.
inline std::string text(const std::filesystem::path& path) { return displayPath(path); }

/// The 18 lines of a settings file with the base folder `base`, the five folders
/// and the defaults for the rest.
std::string settingsText(const std::filesystem::path& base, const std::vector<std::string>& folders = {},
                         std::string_view version = "Version0.6a");

/// Checks the captions of labels, buttons and frames, and the texts of text and
/// number boxes: pairs of control id and expected text.
void expectTexts(const MainForm& form, std::initializer_list<std::pair<std::string_view, std::string_view>> texts);

/// Puts a file where a working folder belongs, so that writing into it fails.
void blockFolder(const std::filesystem::path& folder);

/// Checks that `count` messages were shown and the last one names `part`.
void expectLastMessageNames(const ScriptedDialogs& dialogs, std::size_t count, std::string_view part);

/// A window model over a scratch folder: base/ is the base working folder,
/// velobridge.ini the settings file (written by the test before start-up).
struct FormRig {
    ScratchDir dir;
    ScriptedDialogs dialogs;
    std::filesystem::path base = dir / "base";
    std::filesystem::path ini = dir / "velobridge.ini";
    std::unique_ptr<MainForm> form;

    /// Writes a settings file with the base folder and `folders`, then starts the window.
    void start(const std::vector<std::string>& folders = {});
    /// Starts the window with whatever settings file there is.
    void startAsIs();
    /// Chooses `file` with the "Import" button.
    void importRide(const std::filesystem::path& file);
};

}  // namespace vb::test
