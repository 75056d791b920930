#include "app/SettingsFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "app/WorkingFolders.h"
#include "base/Files.h"
#include "support/TestSupport.h"

// The cases name the settings that differ from the defaults; the others keep theirs.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif

namespace vb {
namespace {

using test::readAll;
using test::writeAll;

const Bytes kDefaultsWithRides = readAll(test::dataFile("app/defaults-with-rides.ini"));

TEST(SettingsFile, WritesLineForLineAndReadsBackByteIdentical) {
    const std::pair<Settings, std::string> cases[] = {
        {{}, "defaults"},
        {{.my_path = "C:\\Rides"}, "defaults-with-rides"},
        {{.my_path = "D:\\Fahrten \xC3\xA9", .hrm_path = "C:\\Polar\\J\xC3\xB6rg\\", .pgm_path = "C:\\PGM\\",
          .ca_path = "C:\\Runs, old\\", .pgmf_path = "E:\\\xE2\x82\xAC\\", .caf_path = "  C:\\lead\\",
          .cat_max_climb = "7", .cat_max_down = "-2", .cat_dist_step = "300", .fort_max_climb = "15",
          .fort_max_down = "-3", .fort_dist_step = "500", .add_warmup = 1, .join_slopes = 1, .unit_meter = false,
          .unit_feet = true, .base_setting = "245", .smooth_altitude = "50"},
         "all-fields"},                                                        // Windows-1252
        {{.my_path = "/home/\xC5\x82ukasz/Velobridge"}, "utf8-path"},          // ł has no Windows-1252 code
        {{.my_path = "/home/\xC3\x83\xC2\xBC"}, "utf8-lookalike-path"},  // "Ã¼" in Windows-1252 would read as "ü"
    };
    for (const auto& [settings, golden] : cases) {
        const Bytes file = readAll(test::dataFile("app/" + golden + ".ini"));
        EXPECT_EQ(writeSettings(settings), file) << golden;
        RecordingPrompter prompter;
        EXPECT_EQ(readSettings(file, prompter), settings) << golden;
    }
}

TEST(SettingsFile, ReadingChecksTheVersionAndKeepsDefaultsForWhatAFileLacks) {
    const std::string ok = "\"Version0.6a\"\r\n";
    const std::string longPath(1200, 'a');
    const std::tuple<std::string, Settings, bool> cases[] = {
        // The version without its last character, and reading goes on after a wrong one.
        {"\"Version0.5b\"\r\n\"path=D:\\Rides\"\r\n", {.my_path = "D:\\Rides"}, false},
        {"Version0.6x\r\n\"path=D:\\Rides\"\r\n", {.my_path = "D:\\Rides"}, false},
        {"\"Version0.6\"\r\n\"path=D:\\Rides\"\r\n\"C:\\H\\\"\r\n", {.my_path = "D:\\Rides", .hrm_path = "C:\\H\\"}, true},
        {"\"Version0.7a\"\r\n", {}, true},
        {"\"\"\r\n", {}, true},
        {"\"version0.6a\"\r\n", {}, true},
        {"", {}, false},  // no line to check
        // Line 2 drops five characters unchecked (characters, not bytes), and keeps at most 999.
        {ok + "\"xxxxxD:\\Rides\"\r\n", {.my_path = "D:\\Rides"}, false},
        {ok + "\"\xE4\xF6\xFC\xDF\xE9" "D:\\Rides\"\r\n", {.my_path = "D:\\Rides"}, false},
        {ok + "\"pat\"\r\n", {}, false},
        {ok + "\"path=" + longPath + "\"\r\n", {.my_path = longPath.substr(0, 999)}, false},
        // Nine lines: the limits from line 10 on keep their defaults.
        {ok + "\"path=/rides\"\r\n\"/h/\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"5\"\r\n\"-2\"\r\n",
         {.my_path = "/rides", .hrm_path = "/h/", .cat_max_climb = "5", .cat_max_down = "-2"}, false},
        // LF line ends, unquoted values, leading blanks, text after a comma, an empty line (an empty
        // text), values a control cannot take (2: the default), feet chosen clears meter, an extra line.
        {"Version0.6a\npath=/r, x\n  \"/h/\" ,junk\n\n\n\n\n 8 \n\"-3\"\n\n\n\n\n2\n1\nyes\n#TRUE#\n\"12\"\n\"7\"\n\"x\"\n",
         {.my_path = "/r", .hrm_path = "/h/", .cat_max_climb = "8", .cat_max_down = "-3", .cat_dist_step = "",
          .fort_max_climb = "", .fort_max_down = "", .fort_dist_step = "", .join_slopes = 1, .unit_meter = false,
          .unit_feet = true, .base_setting = "12", .smooth_altitude = "7"},
         false},
    };
    for (const auto& [file, settings, wrongVersion] : cases) {
        SCOPED_TRACE(file.substr(0, 60));
        RecordingPrompter prompter;
        EXPECT_EQ(readSettings(toBytes(file), prompter), settings);
        ASSERT_EQ(prompter.messages.size(), wrongVersion ? 1u : 0u);
        for (const auto& m : prompter.messages)
            EXPECT_TRUE(m.title == "Velobridge" && m.text == kWrongSettingsFile && m.icon == MessageIcon::critical);
    }
}

TEST(SettingsFile, LocationFollowsThePlatformsConfigurationFolder) {
#ifdef _WIN32
    test::ScopedEnv appData("APPDATA", std::nullopt), profile("USERPROFILE", std::nullopt);
    EXPECT_EQ(displayPath(defaultSettingsLocation().file), "c:\\velobridge.ini");
    EXPECT_TRUE(defaultSettingsLocation().fallback.empty());
    EXPECT_EQ(defaultBaseFolder(processEnvironment), "Velobridge");
    test::ScopedEnv roaming("APPDATA", "C:\\Users\\Jos\xC3\xA9\\AppData\\Roaming"),
        user("USERPROFILE", "C:\\Users\\Jos\xC3\xA9");
    EXPECT_EQ(displayPath(defaultSettingsLocation().file),
              "C:\\Users\\Jos\xC3\xA9\\AppData\\Roaming\\Velobridge\\velobridge.ini");
    EXPECT_EQ(displayPath(defaultSettingsLocation().fallback), "c:\\velobridge.ini");
    EXPECT_EQ(defaultBaseFolder(processEnvironment), "C:\\Users\\Jos\xC3\xA9\\Velobridge") << "never the drive's root";
#else
    test::ScopedEnv noHome("HOME", std::nullopt), noConfig("XDG_CONFIG_HOME", std::nullopt);
    EXPECT_EQ(defaultBaseFolder(processEnvironment), "Velobridge");
    test::ScopedEnv home("HOME", "/users/rider"), relative("XDG_CONFIG_HOME", "relative");
    EXPECT_EQ(defaultSettingsLocation().file, std::filesystem::path("/users/rider/.config/velobridge.ini"))
        << "a relative XDG_CONFIG_HOME is ignored";
    EXPECT_TRUE(defaultSettingsLocation().fallback.empty());
    EXPECT_EQ(defaultBaseFolder(processEnvironment), "/users/rider/Velobridge") << "never /";
    test::ScopedEnv config("XDG_CONFIG_HOME", "/cfg/here");
    EXPECT_EQ(defaultSettingsLocation().file, std::filesystem::path("/cfg/here/velobridge.ini"));
#endif
}

TEST(SettingsFile, FilesAreReadFromTheFallbackUntilWrittenWhereTheyBelong) {
    test::ScratchDir dir;
    RecordingPrompter prompter;
    const SettingsLocation location{dir / "config" / "new" / "velobridge.ini", dir / "root" / "velobridge.ini"};
    EXPECT_EQ(settingsFileToRead(location), location.file) << "neither exists";
    EXPECT_EQ(loadSettingsFile(location.file, prompter).value(), std::nullopt);
    EXPECT_FALSE(loadSettingsFile(dir.path(), prompter).ok()) << "a folder is no settings file";

    std::filesystem::create_directories(dir / "root");
    writeAll(location.fallback, asText(kDefaultsWithRides));
    ASSERT_EQ(settingsFileToRead(location), location.fallback);
    Settings loaded = loadSettingsFile(settingsFileToRead(location), prompter).value().value();
    EXPECT_EQ(loaded.my_path, "C:\\Rides");
    // Written where the settings belong, in a folder made for them; the old file stays as it was.
    loaded.base_setting = "250";
    ASSERT_TRUE(saveSettingsFile(location.file, loaded).ok());
    EXPECT_EQ(readAll(location.fallback), kDefaultsWithRides);
    EXPECT_EQ(settingsFileToRead(location), location.file);
    EXPECT_EQ(loadSettingsFile(location.file, prompter).value(), loaded);
}

TEST(WorkingFolders, MakesTheFiveFoldersAndReportsEachFailure) {
    test::ScratchDir dir;
    Settings settings{.my_path = (dir / "base").string()};
    EXPECT_TRUE(Check_HRM_Dir(settings).empty());
    for (const char* name : {"RLV", "HRM", "PGM", "PGMF_Conv", "PGM_Conv"})
        EXPECT_TRUE(std::filesystem::is_directory(dir / "base" / name)) << name;
    writeAll(dir / "base" / "RLV" / "keep.rlv", "x");
    EXPECT_TRUE(Check_HRM_Dir(settings).empty());
    EXPECT_TRUE(std::filesystem::exists(dir / "base" / "RLV" / "keep.rlv")) << "an existing folder is left alone";

    // A file in the way of one folder fails that folder only.
    settings.my_path = (dir / "other").string();
    std::filesystem::create_directories(dir / "other");
    writeAll(dir / "other" / "HRM", "not a folder");
    const auto failed = Check_HRM_Dir(settings);
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_NE(failed[0].message.find("HRM"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "other" / "PGM_Conv"));
}

}  // namespace
}  // namespace vb
