#include "form/FormTestSupport.h"

namespace vb::test {

std::string settingsText(const std::filesystem::path& base, const std::vector<std::string>& folders,
                         std::string_view version) {
    std::string out = "\"" + std::string(version) + "\"\r\n\"path=" + text(base) + "\"\r\n";
    for (std::size_t i = 0; i < 5; ++i) out += "\"" + (i < folders.size() ? folders[i] : std::string()) + "\"\r\n";
    out += "\"9\"\r\n\"-4\"\r\n\"100\"\r\n\"20\"\r\n\"-5\"\r\n\"100\"\r\n0\r\n0\r\n#TRUE#\r\n#FALSE#\r\n\"0\"\r\n";
    return out;
}

void expectTexts(const MainForm& form, std::initializer_list<std::pair<std::string_view, std::string_view>> texts) {
    for (const auto& [id, expected] : texts) {
        const Control& c = form.control(id);
        const bool box = c.kind == ControlKind::textBox || c.kind == ControlKind::numberBox;
        EXPECT_EQ(box ? c.text : c.caption, expected) << id;
    }
}

void blockFolder(const std::filesystem::path& folder) {
    std::filesystem::remove_all(folder);
    writeAll(folder, "a file where the folder belongs");
}

void expectLastMessageNames(const ScriptedDialogs& dialogs, std::size_t count, std::string_view part) {
    ASSERT_EQ(dialogs.messages.size(), count);
    EXPECT_NE(dialogs.messages.back().text.find(part), std::string::npos) << dialogs.messages.back().text;
}

void FormRig::start(const std::vector<std::string>& folders) {
    writeAll(ini, settingsText(base, folders));
    startAsIs();
}

void FormRig::startAsIs() {
    form = std::make_unique<MainForm>(dialogs, ini);
    form->Form_Load();
}

void FormRig::importRide(const std::filesystem::path& file) {
    dialogs.files.push_back(text(file));
    form->press(ids::kImport);
}

}  // namespace vb::test
