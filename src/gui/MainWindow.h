#pragma once
// The desktop program's window: one Qt widget for every control of the window
// model, at the control's twip position, and the two kept in step. A widget
// signal becomes the model's event; when the event has run to its end, every
// control whose model state changed is copied back into its widget, the
// sample grid reloads when the ride's table changed, and the profile is drawn
// again when the ride or the stretch changed.

#include <QWidget>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "form/MainForm.h"

class QTableView;

namespace vb::gui {

class QtDialogs;
class ProfileWidget;
class SampleGridModel;
class UpDown;

class MainWindow : public QWidget {
    Q_OBJECT
public:
    /// Builds the window over a new window model that reads and writes the
    /// settings at `settingsLocation`, and runs the model's start-up (before the window is
    /// shown). Message boxes and the file-open dialog go through `dialogs`.
    MainWindow(QtDialogs& dialogs, SettingsLocation settingsLocation, QWidget* parent = nullptr);
    ~MainWindow() override;

    const MainForm& form() const { return m_form; }

    /// Runs one event of the window model to its end, then brings the widgets
    /// in step with it. Widget signals come through here; so may callers that
    /// act for the rider (the command line's ride, the tests). An event that
    /// arrives while another one runs is dropped.
    void runEvent(const std::function<void(MainForm&)>& event);
    /// Opens a ride as if chosen with "Import".
    void importRide(const std::filesystem::path& path);
    /// Runs `action` once the window stands on the screen (soon, when it does
    /// already), so that a message box it shows is placed over the window.
    void whenShown(std::function<void()> action);

    /// The widget showing control `id` (for a number box its text box), or null.
    QWidget* widgetFor(std::string_view id) const;
    /// The up-down control beside number box `id`, or null.
    UpDown* upDownFor(std::string_view id) const;
    SampleGridModel* gridModel() const { return m_gridModel; }
    QTableView* grid() const { return m_grid; }
    ProfileWidget* profile() const { return m_profile; }

    /// The window's client size in pixels.
    static QSize clientSize();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct Binding {
        std::size_t index = 0;  // into MainForm::controls()
        QWidget* widget = nullptr;
        UpDown* upDown = nullptr;
        bool rowChangedByPress = false;  // lists: the press that changed the row is reported once
    };

    void build();
    /// Makes the widget of a control with its common looks (font, name, place).
    QWidget* createWidget(const Control& control, QWidget* parent, Binding& binding);
    /// The widget of the control's kind.
    QWidget* makeWidget(const Control& control, QWidget* parent, QRect& geometry, Binding& binding);
    void connectWidget(const Control& control, Binding& binding);
    QWidget* containerFor(const std::string& parentId) const;
    void catchUp();
    void syncAll();
    void runWhenShown();
    void sync(const Control& control, Binding& binding);

    MainForm m_form;
    QtDialogs& m_dialogs;
    std::vector<Binding> m_bindings;
    std::vector<std::function<void()>> m_whenShown;
    std::map<std::string, std::size_t, std::less<>> m_byId;  // id → m_bindings index
    SampleGridModel* m_gridModel = nullptr;
    QTableView* m_grid = nullptr;
    ProfileWidget* m_profile = nullptr;
    std::uint64_t m_seenRevision = 0;
    std::uint64_t m_seenSamples = 0;
    std::uint64_t m_seenProfile = 0;
    bool m_eventRunning = false;
    bool m_unloaded = false;
};

}  // namespace vb::gui
