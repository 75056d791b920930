#pragma once
// Helpers of the window tests: a settings file in a scratch folder, a file
// dialog that answers from a script, and a watcher that answers every modal
// message box the window shows and keeps what it showed.

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "app/SettingsFile.h"
#include "base/Files.h"
#include "gui/MainWindow.h"
#include "gui/QtDialogs.h"

namespace vb::test {

/// A file of the project's examples folder.
inline std::filesystem::path exampleRide(const char* name) {
    return std::filesystem::path(VB_EXAMPLES_DIR) / name;
}

/// A scratch folder with a settings file whose base working folder lies inside it.
class ScratchSettings {
public:
    explicit ScratchSettings(Settings settings = {}) {
        settings.my_path = (root() / "base").string();
        m_file = root() / "velobridge.ini";
        if (!replaceFile(m_file, writeSettings(settings))) qFatal("cannot write the test settings file");
    }
    std::filesystem::path root() const { return std::filesystem::path(m_dir.path().toStdString()); }
    const std::filesystem::path& file() const { return m_file; }

private:
    QTemporaryDir m_dir;
    std::filesystem::path m_file;
};

/// Qt dialogs whose file-open dialog answers from a script ("" once it runs out).
class ScriptedDialogs : public gui::QtDialogs {
public:
    std::deque<std::string> files;
    std::vector<std::string> filters;

    std::string openFile(std::string_view filter, std::string_view) override {
        filters.emplace_back(filter);
        if (files.empty()) return {};
        std::string next = files.front();
        files.pop_front();
        return next;
    }
};

/// One message box as the rider saw it.
struct ShownBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    bool modal = false;
    QPoint centre;  // of the box on the screen
};

/// One file-open dialog as the rider saw it.
struct ShownFileDialog {
    QString folder;
    QStringList filters;
};

/// Watches for modal widgets while it lives: a message box is recorded and
/// answered with `answer` when it has that button, else with its escape
/// button; a file dialog is recorded and cancelled; any other modal dialog is
/// recorded and rejected, so no test waits for a rider who is not there.
class ModalWatcher : public QObject {
public:
    explicit ModalWatcher(QMessageBox::StandardButton answer = QMessageBox::Ok) : m_answer(answer) {
        connect(&m_timer, &QTimer::timeout, this, &ModalWatcher::poll);
        m_timer.start(10);
    }

    std::vector<ShownBox> shown;
    std::vector<ShownFileDialog> fileDialogs;
    std::vector<QString> otherModals;

private:
    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            shown.push_back({box->windowTitle(), box->text(), box->icon(), box->standardButtons(),
                             box->isModal() && box->windowModality() != Qt::NonModal,
                             box->frameGeometry().center()});
            QAbstractButton* button = box->button(m_answer);
            if (button == nullptr) button = box->escapeButton();
            if (button == nullptr) button = box->buttons().value(0);
            button->click();
        } else if (auto* files = qobject_cast<QFileDialog*>(modal)) {
            fileDialogs.push_back({files->directory().absolutePath(), files->nameFilters()});
            files->reject();
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            otherModals.push_back(QString::fromUtf8(modal->metaObject()->className()));
            dialog->reject();
        }
    }

    QMessageBox::StandardButton m_answer;
    QTimer m_timer;
};

/// A window over a scratch settings file, with scripted file dialogs and a
/// watcher answering its message boxes, shown on the screen.
struct WindowSession {
    explicit WindowSession(Settings settings = {}, QMessageBox::StandardButton answer = QMessageBox::Ok)
        : scratch(std::move(settings)), watcher(answer), window(dialogs, scratch.file()) {
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) qFatal("the window was not shown");
    }

    ScratchSettings scratch;
    ScriptedDialogs dialogs;
    ModalWatcher watcher;
    gui::MainWindow window;
};

}  // namespace vb::test
