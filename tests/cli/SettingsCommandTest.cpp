#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <vector>

#include "base/Files.h"
#include "cli/RunCli.h"
#include "support/TestSupport.h"

namespace vb::cli {
namespace {

namespace fs = std::filesystem;

using test::runCli;

/// Points the home and configuration folders (HOME and XDG_CONFIG_HOME;
/// USERPROFILE and APPDATA on Windows) into a scratch folder for one test.
class Home {
public:
    Home() { fs::create_directories(defaultFile().parent_path()); }
    fs::path home() const { return m_dir / "home"; }
#ifdef _WIN32
    fs::path defaultFile() const { return m_dir / "config" / "Velobridge" / "velobridge.ini"; }
#else
    fs::path defaultFile() const { return m_dir / "config" / "velobridge.ini"; }
#endif

private:
    test::ScratchDir m_dir;
    test::ScopedEnv m_home{test::kHomeVariable, displayPath(m_dir / "home")};
#ifdef _WIN32
    test::ScopedEnv m_config{"APPDATA", displayPath(m_dir / "config")};
#else
    test::ScopedEnv m_config{"XDG_CONFIG_HOME", displayPath(m_dir / "config")};
#endif
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
