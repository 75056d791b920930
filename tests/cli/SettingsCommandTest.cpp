#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <vector>

#include "cli/RunCli.h"
#include "support/TestSupport.h"

namespace vb::cli {
namespace {

namespace fs = std::filesystem;

using test::runCli;

/// Points HOME and XDG_CONFIG_HOME into a scratch folder for one test.
class Home {
public:
    Home() : m_home(save("HOME")), m_config(save("XDG_CONFIG_HOME")) {
        setenv("HOME", (m_dir / "home").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (m_dir / "config").c_str(), 1);
        fs::create_directories(m_dir / "config");
    }
    ~Home() {
        restore("HOME", m_home);
        restore("XDG_CONFIG_HOME", m_config);
    }
    fs::path home() const { return m_dir / "home"; }
    fs::path defaultFile() const { return m_dir / "config" / "velobridge.ini"; }

private:
    static std::optional<std::string> save(const char* name) {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    }
    static void restore(const char* name, const std::optional<std::string>& value) {
        if (value) setenv(name, value->c_str(), 1); else unsetenv(name);
    }
    test::ScratchDir m_dir;
    std::optional<std::string> m_home, m_config;
};

TEST(SettingsCommand, PrintsTheSettingsInEffectAndTheirSource) {
    Home home;
    auto r = runCli({"settings"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, test::expectedText("settings-defaults.txt", {{"@CONFIG@", home.defaultFile().string()},
                                                                  {"@HOME@", (home.home() / "Velobridge").string()}}));

    // The platform's file is read when it exists.
    fs::copy_file(test::dataFile("cli/rides.ini"), home.defaultFile());
    r = runCli({"settings"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.substr(0, r.out.find("hrm_path")),
              "source: " + home.defaultFile().string() + "\nbase folder: /data/rides\nmy_path: /data/rides\n");
    EXPECT_NE(r.out.find("cat_max_climb: 7\n"), std::string::npos);
    EXPECT_NE(r.out.find("add_warmup: 1\njoin_slopes: 0\nunit_meter: false\nunit_feet: true\nbase_setting: 120\n"),
              std::string::npos);

    // --settings wins over it.
    const auto other = (home.home().parent_path() / "other.ini").string();
    test::writeAll(other, "\"Version0.6a\"\r\n\"path=/elsewhere\"\r\n");
    r = runCli({"settings", "--settings", other});
    EXPECT_EQ(r.out.substr(0, r.out.find("my_path")), "source: " + other + "\nbase folder: /elsewhere\n");
    EXPECT_NE(r.out.find("cat_max_climb: 9\n"), std::string::npos) << "a short file keeps the defaults";
}

TEST(SettingsCommand, WarnsOnAnotherVersionAndRefusesWhatCannotBeRead) {
    Home home;
    const auto old = (home.home().parent_path() / "old.ini").string();
    test::writeAll(old, "\"Version0.4a\"\r\n\"path=/old\"\r\n");
    auto r = runCli({"settings", "--settings", old});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "velobridge-cli: warning: " + old + ": Wrong Velobridge.ini File\n");
    EXPECT_NE(r.out.find("my_path: /old\n"), std::string::npos);

    const auto absent = (home.home().parent_path() / "absent.ini").string();
    r = runCli({"settings", "--settings", absent});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "velobridge-cli: " + absent + ": no such settings file\n");

    fs::create_directories(home.defaultFile());  // a folder where the file should be
    r = runCli({"settings"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
}

}  // namespace
}  // namespace vb::cli
