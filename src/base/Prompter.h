#pragma once
// The port through which an operation shows a message box or asks a question.
// The window answers with real message boxes; the command line prints the
// messages on stderr and answers questions with a fixed choice; tests script it.

#include <string>
#include <string_view>
#include <vector>

namespace vb {

enum class MessageIcon { none, critical, question, information };

/// Titles of the system's message boxes.
inline constexpr std::string_view kTitleApp = "Velobridge";
inline constexpr std::string_view kTitleMsg = "Velobridge-Msg";
inline constexpr std::string_view kTitleRunMsg = "Velobridge - MSG";

class Prompter {
public:
    virtual ~Prompter() = default;
    /// Shows a modal message with an OK button.
    virtual void showMessage(std::string_view title, std::string_view text, MessageIcon icon) = 0;
    /// Asks a Yes/No question; true for Yes.
    virtual bool askYesNo(std::string_view title, std::string_view text) = 0;
};

/// A Prompter that records every message and answers questions with a fixed
/// choice. Used by the command line and by tests.
class RecordingPrompter : public Prompter {
public:
    struct Shown {
        std::string title;
        std::string text;
        MessageIcon icon = MessageIcon::none;
    };

    explicit RecordingPrompter(bool answer = false) : m_answer(answer) {}

    void showMessage(std::string_view title, std::string_view text, MessageIcon icon) override {
        messages.push_back({std::string(title), std::string(text), icon});
    }
    bool askYesNo(std::string_view title, std::string_view text) override {
        questions.push_back({std::string(title), std::string(text), MessageIcon::question});
        return m_answer;
    }

    std::vector<Shown> messages;
    std::vector<Shown> questions;

private:
    bool m_answer;
};

}  // namespace vb
