#include "form/FormTestSupport.h"

namespace vb::test {

std::string settingsText(const std::filesystem::path& base, const std::vector<std::string>& folders,
                         std::string_view version) {
    std::string out = "\"" + std::string(version) + "\"\r\n\"path=" + text(base) + "\"\r\n";
    for (std::size_t i = 0; i < 5; ++i) out += "\"" + (i < folders.size() ? folders[i] : std::string()) + "\"\r\n";
    out += "\"9\"\r\n\"-4\"\r\n\"100\"\r\n\"20\"\r\n\"-5\"\r\n\"100\"\r\n0\r\n0\r\n#TRUE#\r\n#FALSE#\r\n\"0\"\r\n";
    return out;
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
