// velobridge [--settings FILE] [RIDE]: the desktop program.

#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <filesystem>

#include "app/SettingsFile.h"
#include "base/Files.h"
#include "gui/MainWindow.h"
#include "gui/QtDialogs.h"

namespace {

QCommandLineOption hiddenOption(const QString& name, const QString& description, const QString& value) {
    QCommandLineOption option(name, description, value);
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    return option;
}

std::filesystem::path localPath(const QString& text) { return std::filesystem::path(text.toStdString()); }

bool envSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Without a display Qt would abort with a long plugin message. Help and
// version need no window, so they are answered offscreen; anything else gets
// one clear line.
bool checkDisplay(int argc, char* argv[]) {
#if defined(__linux__) || defined(__unix__)
    if (envSet("DISPLAY") || envSet("WAYLAND_DISPLAY") || envSet("QT_QPA_PLATFORM")) return true;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help" || arg == "--help-all" || arg == "-v" || arg == "--version") {
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
            return true;
        }
    }
    std::fprintf(stderr, "velobridge: no display to open the window on (DISPLAY is not set); "
                         "velobridge-cli does the same work without a window\n");
    return false;
#else
    (void)argc;
    (void)argv;
    return true;
#endif
}

}  // namespace

int main(int argc, char* argv[]) {
    vb::ignoreFileSizeSignal();
    if (!checkDisplay(argc, argv)) return 1;
    QApplication app(argc, argv);
    // No display name: Qt would append it to every window and message box title.
    QApplication::setApplicationName(QStringLiteral("velobridge"));
    QApplication::setApplicationVersion(QStringLiteral(VELOBRIDGE_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("velobridge"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Outdoor rides to indoor trainer programs."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption settingsOption(QStringLiteral("settings"),
                                            QStringLiteral("Read and write this settings file."),
                                            QStringLiteral("FILE"));
    parser.addOption(settingsOption);
    // For the README's picture: choose a stretch or a tab, save the window as a PNG and end.
    const QCommandLineOption fromOption =
        hiddenOption(QStringLiteral("from"), QString(), QStringLiteral("ROW"));
    const QCommandLineOption toOption = hiddenOption(QStringLiteral("to"), QString(), QStringLiteral("ROW"));
    const QCommandLineOption tabOption =
        hiddenOption(QStringLiteral("tab"), QString(), QStringLiteral("INDEX"));
    const QCommandLineOption screenshotOption =
        hiddenOption(QStringLiteral("screenshot"), QString(), QStringLiteral("FILE"));
    parser.addOption(fromOption);
    parser.addOption(toOption);
    parser.addOption(tabOption);
    parser.addOption(screenshotOption);
    parser.addPositionalArgument(QStringLiteral("RIDE"),
                                 QStringLiteral("A ride file to open (.hrm or .tur)."),
                                 QStringLiteral("[RIDE]"));
    parser.process(app);
    if (parser.positionalArguments().size() > 1) {
        std::fprintf(stderr, "velobridge: give at most one ride file\n");
        return 2;
    }

    const std::filesystem::path settingsFile =
        parser.isSet(settingsOption) ? localPath(parser.value(settingsOption)) : vb::defaultSettingsFile();
    vb::gui::QtDialogs dialogs;
    vb::gui::MainWindow window(dialogs, settingsFile);
    window.show();

    // The ride comes once the window is on the screen, so that a message box
    // about it stands over the window.
    window.whenShown([&] {
        if (!parser.positionalArguments().isEmpty()) {
            // A missing or unreadable file is reported in a message box, which
            // a rider who opened the file from the desktop also sees.
            window.importRide(localPath(parser.positionalArguments().front()));
        }
        if (parser.isSet(fromOption))
            window.runEvent([&](vb::MainForm& form) {
                form.moveSlider(vb::ids::kStartSlider, parser.value(fromOption).toInt());
            });
        if (parser.isSet(toOption))
            window.runEvent([&](vb::MainForm& form) {
                form.moveSlider(vb::ids::kEndSlider, parser.value(toOption).toInt());
            });
        if (parser.isSet(tabOption))
            window.runEvent([&](vb::MainForm& form) {
                form.selectTab(vb::ids::kMainTabs, parser.value(tabOption).toInt());
            });
        if (parser.isSet(screenshotOption)) {
            const QString file = parser.value(screenshotOption);
            if (!window.grab().save(file, "PNG")) {
                std::fprintf(stderr, "velobridge: %s: cannot write the picture\n", qPrintable(file));
                QApplication::exit(1);
            } else {
                QApplication::exit(0);
            }
        }
    });
    return QApplication::exec();
}
