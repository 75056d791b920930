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

const char* const kRidesFile =
    "\"Version0.6a\"\r\n\"path=/data/rides\"\r\n\"/h/\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n"
    "\"7\"\r\n\"-3\"\r\n\"200\"\r\n\"15\"\r\n\"-4\"\r\n\"300\"\r\n1\r\n0\r\n#FALSE#\r\n#TRUE#\r\n\"120\"\r\n";

TEST(SettingsCommand, PrintsTheSettingsInEffectAndTheirSource) {
    Home home;
    auto r = runCli({"settings"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "source: defaults (no settings file at " + home.defaultFile().string() + ")\n" +
                         "base folder: " + (home.home() / "Velobridge").string() +
                         "\nmy_path: \nhrm_path: \npgm_path: \nca_path: \npgmf_path: \ncaf_path: \n"
                         "cat_max_climb: 9\ncat_max_down: -4\ncat_dist_step: 100\nfort_max_climb: 20\n"
                         "fort_max_down: -5\nfort_dist_step: 100\nadd_warmup: 0\njoin_slopes: 0\n"
                         "unit_meter: true\nunit_feet: false\nbase_setting: 0\nsmooth_altitude: 0\n");

    // The platform's file is read when it exists.
    test::writeAll(home.defaultFile(), kRidesFile);
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
