#include "app/SettingsFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>

#include "app/WorkingFolders.h"
#include "base/Files.h"
#include "support/TestSupport.h"

namespace vb {
namespace {

using test::readAll;
using test::ScratchDir;
using test::writeAll;

std::string text(const Bytes& bytes) { return std::string(asText(bytes)); }

Settings readText(std::string_view file, RecordingPrompter& prompter) {
    return readSettings(toBytes(file), prompter);
}

const std::string kDefaultsWithRides = text(readAll(test::dataFile("app/defaults-with-rides.ini")));

TEST(SettingsFile, WritesTheDefaultsLineForLineAndReadsThemBack) {
    Settings settings;
    settings.my_path = "C:\\Rides";
    const Bytes written = writeSettings(settings);
    EXPECT_EQ(text(written), kDefaultsWithRides);

    RecordingPrompter prompter;
    EXPECT_EQ(readSettings(written, prompter), settings);
    EXPECT_TRUE(prompter.messages.empty());

    // A start without a settings file writes a complete file with "path=".
    const std::string empty = text(writeSettings(Settings{}));
    EXPECT_EQ(empty.substr(0, 24), "\"Version0.6a\"\r\n\"path=\"\r\n");
    EXPECT_EQ(empty.size(), kDefaultsWithRides.size() - 8);
}

TEST(SettingsFile, RoundTripIsByteIdenticalWithWindows1252Texts) {
    Settings settings;
    settings.my_path = "D:\\Fahrten é";
    settings.hrm_path = "C:\\Polar\\Jörg\\";
    settings.pgm_path = "C:\\PGM\\";
    settings.ca_path = "C:\\Runs, old\\";  // a comma inside a quoted text
    settings.pgmf_path = "E:\\€\\";
    settings.caf_path = "  C:\\lead\\";
    settings.cat_max_climb = "7";
    settings.cat_max_down = "-2";
    settings.cat_dist_step = "300";
    settings.fort_max_climb = "15";
    settings.fort_max_down = "-3";
    settings.fort_dist_step = "500";
    settings.add_warmup = 1;
    settings.join_slopes = 1;
    settings.unit_meter = false;
    settings.unit_feet = true;
    settings.base_setting = "245";
    settings.smooth_altitude = "50";

    const Bytes first = writeSettings(settings);
    const std::string file = text(first);
    EXPECT_NE(file.find("\"path=D:\\Fahrten \xE9\"\r\n"), std::string::npos) << "é is one Windows-1252 byte";
    EXPECT_NE(file.find("\"E:\\\x80\\\"\r\n"), std::string::npos) << "€ is 0x80";
    EXPECT_NE(file.find("1\r\n1\r\n#FALSE#\r\n#TRUE#\r\n\"245\"\r\n\"50\"\r\n"), std::string::npos);

    RecordingPrompter prompter;
    const Settings back = readSettings(first, prompter);
    EXPECT_EQ(back, settings);
    EXPECT_EQ(writeSettings(back), first);
}

TEST(SettingsFile, APathWithoutWindows1252CodesIsKeptInUtf8) {
    Settings settings;
    settings.my_path = "/home/\xC5\x82ukasz/Velobridge";  // ł has no Windows-1252 code
    const Bytes file = writeSettings(settings);
    EXPECT_NE(text(file).find("\"path=/home/\xC5\x82ukasz/Velobridge\"\r\n"), std::string::npos);
    RecordingPrompter prompter;
    EXPECT_EQ(readSettings(file, prompter), settings);
    settings.my_path = "/home/\xC3\x83\xC2\xBC";  // "Ã¼": its Windows-1252 codes would read as UTF-8 "ü"
    EXPECT_EQ(readSettings(writeSettings(settings), prompter), settings);
}

TEST(SettingsFile, VersionCheckDropsTheLastCharacterAndReadingGoesOn) {
    for (const char* passing : {"\"Version0.5b\"", "\"Version0.6a\"", "Version0.6x"}) {
        RecordingPrompter prompter;
        readText(std::string(passing) + "\r\n\"path=D:\\Rides\"\r\n", prompter);
        EXPECT_TRUE(prompter.messages.empty()) << passing;
    }
    for (const char* failing : {"\"Version0.6\"", "\"Version0.7a\"", "\"\"", "\"version0.6a\""}) {
        RecordingPrompter prompter;
        const Settings read = readText(std::string(failing) + "\r\n\"path=D:\\Rides\"\r\n\"C:\\H\\\"\r\n", prompter);
        ASSERT_EQ(prompter.messages.size(), 1u) << failing;
        EXPECT_EQ(prompter.messages[0].title, "Velobridge");
        EXPECT_EQ(prompter.messages[0].text, "Wrong Velobridge.ini File");
        EXPECT_EQ(prompter.messages[0].icon, MessageIcon::critical);
        EXPECT_EQ(read.my_path, "D:\\Rides") << "the rest is still read";
        EXPECT_EQ(read.hrm_path, "C:\\H\\");
    }
}

TEST(SettingsFile, LineTwoDropsFiveCharactersUnchecked) {
    RecordingPrompter prompter;
    EXPECT_EQ(readText("\"Version0.6a\"\r\n\"path=D:\\Rides\"\r\n", prompter).my_path, "D:\\Rides");
    EXPECT_EQ(readText("\"Version0.6a\"\r\n\"xxxxxD:\\Rides\"\r\n", prompter).my_path, "D:\\Rides");
    EXPECT_EQ(readText("\"Version0.6a\"\r\n\"\xE4\xF6\xFC\xDF\xE9" "D:\\Rides\"\r\n", prompter).my_path, "D:\\Rides")
        << "characters, not bytes";
    EXPECT_EQ(readText("\"Version0.6a\"\r\n\"pat\"\r\n", prompter).my_path, "");
    const std::string longPath(1200, 'a');
    EXPECT_EQ(readText("\"Version0.6a\"\r\n\"path=" + longPath + "\"\r\n", prompter).my_path, longPath.substr(0, 999));
}

TEST(SettingsFile, ShortOrOddFilesKeepDefaultsForWhatTheyLack) {
    RecordingPrompter prompter;
    // Nine lines: the limits from line 10 on keep their defaults.
    const Settings nine = readText(
        "\"Version0.6a\"\r\n\"path=/rides\"\r\n\"/h/\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"5\"\r\n\"-2\"\r\n", prompter);
    Settings expected;
    expected.my_path = "/rides";
    expected.hrm_path = "/h/";
    expected.cat_max_climb = "5";
    expected.cat_max_down = "-2";
    EXPECT_EQ(nine, expected);

    EXPECT_EQ(readText("", prompter), Settings{});
    EXPECT_TRUE(prompter.messages.empty()) << "an empty file has no line to check";

    // LF line ends, unquoted values, leading blanks, text after a comma, and
    // values a control cannot take (which keep the default).
    Settings odd = readText(
        "Version0.6a\npath=/r, x\n  \"/h/\" ,junk\n\n\n\n\n 8 \n\"-3\"\n\n\n\n\n"
        "2\n1\nyes\n#TRUE#\n\"12\"\n\"extra line\"\n",
        prompter);
    EXPECT_EQ(odd.my_path, "/r");
    EXPECT_EQ(odd.hrm_path, "/h/");
    EXPECT_EQ(odd.cat_max_climb, "8");
    EXPECT_EQ(odd.cat_max_down, "-3");
    EXPECT_EQ(odd.fort_max_climb, "") << "an empty line is an empty text";
    EXPECT_EQ(odd.add_warmup, 0) << "2 is no check box value";
    EXPECT_EQ(odd.join_slopes, 1);
    EXPECT_FALSE(odd.unit_meter) << "feet chosen clears meter";
    EXPECT_TRUE(odd.unit_feet);
    EXPECT_EQ(odd.base_setting, "12");
}

/// An environment of the given variables only.
Environment environment(std::map<std::string, std::string, std::less<>> variables) {
    return [variables](std::string_view name) -> std::optional<std::string> {
        const auto it = variables.find(name);
        if (it == variables.end()) return std::nullopt;
        return it->second;
    };
}

TEST(SettingsFile, LocationOnWindowsIsUnderAppDataWithTheDriveRootAsFallback) {
#ifndef _WIN32
    GTEST_SKIP() << "the Windows rule: %APPDATA%, c:\\velobridge.ini, %USERPROFILE%";
#else
    const auto env = environment({{"APPDATA", "C:\\Users\\Jos\xC3\xA9\\AppData\\Roaming"},
                                  {"USERPROFILE", "C:\\Users\\Jos\xC3\xA9"}});
    const SettingsLocation location = settingsLocation(env);
    EXPECT_EQ(displayPath(location.file), "C:\\Users\\Jos\xC3\xA9\\AppData\\Roaming\\Velobridge\\velobridge.ini");
    EXPECT_EQ(displayPath(location.fallback), "c:\\velobridge.ini");
    EXPECT_EQ(defaultBaseFolder(env), "C:\\Users\\Jos\xC3\xA9\\Velobridge") << "never the root of the drive";

    const SettingsLocation bare = settingsLocation(environment({}));
    EXPECT_EQ(displayPath(bare.file), "c:\\velobridge.ini");
    EXPECT_TRUE(bare.fallback.empty());
    EXPECT_EQ(defaultBaseFolder(environment({})), "Velobridge");
#endif
}

TEST(SettingsFile, LocationElsewhereFollowsTheConfigurationFolder) {
#ifdef _WIN32
    GTEST_SKIP() << "the rule of the other systems: $XDG_CONFIG_HOME, ~/.config, ~/Velobridge";
#else
    const SettingsLocation config = settingsLocation(environment({{"XDG_CONFIG_HOME", "/cfg/here"}, {"HOME", "/u"}}));
    EXPECT_EQ(config.file, std::filesystem::path("/cfg/here/velobridge.ini"));
    EXPECT_TRUE(config.fallback.empty());
    const auto home = environment({{"HOME", "/users/rider"}, {"XDG_CONFIG_HOME", "relative"}});
    EXPECT_EQ(settingsLocation(home).file, std::filesystem::path("/users/rider/.config/velobridge.ini"))
        << "a relative XDG_CONFIG_HOME is ignored";
    EXPECT_EQ(defaultBaseFolder(home), "/users/rider/Velobridge") << "never /";
    EXPECT_EQ(defaultBaseFolder(environment({})), "Velobridge");
#endif
}

TEST(SettingsFile, FallbackIsReadUntilTheFileExistsAndIsNeverWritten) {
    ScratchDir dir;
    const SettingsLocation location{dir / "appdata" / "Velobridge" / "velobridge.ini", dir / "root" / "velobridge.ini"};
    EXPECT_EQ(settingsFileToRead(location), location.file) << "neither exists";

    std::filesystem::create_directories(dir / "root");
    writeAll(location.fallback, kDefaultsWithRides);
    ASSERT_EQ(settingsFileToRead(location), location.fallback);
    RecordingPrompter prompter;
    auto loaded = loadSettingsFile(settingsFileToRead(location), prompter);
    ASSERT_TRUE(loaded.ok() && loaded->has_value());
    EXPECT_EQ((*loaded)->my_path, "C:\\Rides");

    // Written back where the settings belong; the old file stays as it was.
    (*loaded)->base_setting = "250";
    ASSERT_TRUE(saveSettingsFile(location.file, **loaded).ok());
    EXPECT_EQ(text(readAll(location.fallback)), kDefaultsWithRides);
    EXPECT_EQ(settingsFileToRead(location), location.file);
    EXPECT_EQ(readAll(location.file), writeSettings(**loaded));
}

TEST(SettingsFile, LoadAndSaveReportFailuresAndKeepThePreviousFile) {
    ScratchDir dir;
    RecordingPrompter prompter;
    auto missing = loadSettingsFile(dir / "none.ini", prompter);
    ASSERT_TRUE(missing.ok());
    EXPECT_FALSE(missing->has_value());
    auto folder = loadSettingsFile(dir.path(), prompter);
    ASSERT_FALSE(folder.ok());
    EXPECT_NE(folder.error().message.find(dir.path().string()), std::string::npos);

    const auto file = dir / "velobridge.ini";
    writeAll(file, kDefaultsWithRides);
    Settings changed;
    changed.my_path = "/elsewhere";
    ASSERT_TRUE(saveSettingsFile(file, changed).ok());
    auto loaded = loadSettingsFile(file, prompter);
    ASSERT_TRUE(loaded.ok() && loaded->has_value());
    EXPECT_EQ(**loaded, changed);

    // A configuration folder that does not exist yet is made.
    const auto nested = dir / "new" / "config" / "velobridge.ini";
    ASSERT_TRUE(saveSettingsFile(nested, changed).ok());
    EXPECT_EQ(readAll(nested), writeSettings(changed));
}

TEST(WorkingFolders, MakesTheFiveFoldersAndReportsEachFailure) {
    ScratchDir dir;
    Settings settings;
    settings.my_path = (dir / "base").string();
    EXPECT_TRUE(Check_HRM_Dir(settings).empty());
    for (const char* name : {"RLV", "HRM", "PGM", "PGMF_Conv", "PGM_Conv"})
        EXPECT_TRUE(std::filesystem::is_directory(dir / "base" / name)) << name;

    // An existing folder is left untouched.
    writeAll(dir / "base" / "RLV" / "keep.rlv", "x");
    EXPECT_TRUE(Check_HRM_Dir(settings).empty());
    EXPECT_TRUE(std::filesystem::exists(dir / "base" / "RLV" / "keep.rlv"));

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
