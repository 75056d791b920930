// The desktop window over the window model: a widget of the right kind for
// every control, where the model places it and showing the control's state;
// widget events reaching the model; the model's messages and questions as
// modal boxes; closing; a message about the command line's ride. The window
// model's own rules are the window model tests' to check.

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>

#include "app/SettingsFile.h"
#include "base/Files.h"
#include "gui/FrameBox.h"
#include "gui/MainWindow.h"
#include "gui/ProfileWidget.h"
#include "gui/QtDialogs.h"
#include "gui/SampleGridModel.h"
#include "gui/TabStrip.h"
#include "gui/UpDown.h"

using namespace vb;
namespace fs = std::filesystem;

namespace {

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }
fs::path example(const char* name) { return fs::path(VB_EXAMPLES_DIR) / name; }

/// Writes a settings file into `dir` whose base working folder lies inside it.
fs::path writeIni(const QTemporaryDir& dir, Settings settings) {
    const fs::path root(dir.path().toStdString());
    settings.my_path = (root / "base").string();
    if (!replaceFile(root / "velobridge.ini", writeSettings(settings)))
        qFatal("cannot write the settings file");
    return root / "velobridge.ini";
}

/// Qt dialogs whose file-open dialog answers from a script ("" once it runs out).
class ScriptedDialogs : public gui::QtDialogs {
public:
    std::deque<std::string> files;
    std::string openFile(std::string_view, std::string_view) override {
        if (files.empty()) return {};
        std::string next = files.front();
        files.pop_front();
        return next;
    }
};

struct ShownBox {
    QString title, text;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    bool modal;
    QPoint centre;  // on the screen
};

/// While it lives, answers every message box with `answer` when the box has
/// that button (else with its escape button) and keeps what it showed; a file
/// dialog is recorded and cancelled, any other dialog rejected.
class ModalWatcher : public QObject {
public:
    explicit ModalWatcher(QMessageBox::StandardButton answer = QMessageBox::Ok) : m_answer(answer) {
        connect(&m_timer, &QTimer::timeout, this, &ModalWatcher::poll);
        m_timer.start(10);
    }
    std::vector<ShownBox> shown;
    std::vector<std::pair<QString, QStringList>> fileDialogs;  // folder, filters

private:
    void poll() {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (modal == nullptr || !modal->isVisible()) return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            shown.push_back({box->windowTitle(), box->text(), box->icon(), box->standardButtons(),
                             box->windowModality() != Qt::NonModal, box->frameGeometry().center()});
            QAbstractButton* button = box->button(m_answer) ? box->button(m_answer) : box->escapeButton();
            (button ? button : box->buttons().value(0))->click();
            return;
        }
        if (auto* files = qobject_cast<QFileDialog*>(modal))
            fileDialogs.emplace_back(files->directory().absolutePath(), files->nameFilters());
        modal->reject();
    }

    QMessageBox::StandardButton m_answer;
    QTimer m_timer;
};

/// A window shown over a scratch settings file, with scripted file dialogs and
/// a watcher answering its boxes.
struct Session {
    explicit Session(Settings settings = {}, QMessageBox::StandardButton answer = QMessageBox::Ok)
        : ini(writeIni(dir, std::move(settings))), watcher(answer), window(dialogs, ini) {
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) qFatal("the window was not shown");
    }
    QTemporaryDir dir;
    fs::path ini;
    ScriptedDialogs dialogs;
    ModalWatcher watcher;
    gui::MainWindow window;
};

template <typename W>
W* widget(const gui::MainWindow& window, std::string_view id) {
    auto* found = qobject_cast<W*>(window.widgetFor(id));
    if (found == nullptr) qFatal("no widget of the expected kind for %s", std::string(id).c_str());
    return found;
}

/// Pixels of the widget that are plainly red (the chosen stretch of the profile).
int redPixels(QWidget* widget) {
    const QImage image = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int red = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            red += c.red() > 200 && c.green() < 60 && c.blue() < 60;
        }
    return red;
}

/// Checks that every widget shows its control's state.
void expectInStep(const gui::MainWindow& window) {
    for (const Control& c : window.form().controls()) {
        QWidget* w = window.widgetFor(c.id);
        const char* id = c.id.c_str();
        QVERIFY2(w->isEnabled() == c.enabled, id);
        if (auto* label = qobject_cast<QLabel*>(w)) QVERIFY2(label->text() == qs(c.caption), id);
        if (auto* frame = qobject_cast<gui::FrameBox*>(w)) QVERIFY2(frame->caption() == qs(c.caption), id);
        if (auto* edit = qobject_cast<QLineEdit*>(w)) QVERIFY2(edit->text() == qs(c.text), id);
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            QVERIFY2(button->text() == qs(c.caption) && button->isChecked() == c.checked, id);
        if (auto* list = qobject_cast<QListWidget*>(w))
            QVERIFY2(list->count() == int(c.items.size()) && list->currentRow() == c.selected, id);
        if (auto* slider = qobject_cast<QSlider*>(w))
            QVERIFY2(slider->maximum() == c.max && slider->value() == c.value, id);
        if (auto* strip = qobject_cast<gui::TabStrip*>(w))
            QVERIFY2(
                strip->tabBar()->count() == int(c.items.size()) && strip->tabBar()->currentIndex() == c.value,
                id);
    }
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void everyControlIsMadeWhereTheModelPlacesIt();
    void widgetEventsReachTheModelAndItsStateComesBack();
    void messagesAndQuestionsAreModalBoxes();
    void closingSavesTheSettingsOrSaysWhyNot();
    void aMessageAboutTheCommandLineRideWaitsForTheWindow();
};

void MainWindowTest::everyControlIsMadeWhereTheModelPlacesIt() {
    Session session;
    const gui::MainWindow& window = session.window;
    QCOMPARE(window.windowTitle(), QStringLiteral("Velobridge (Version0.6a)"));
    QCOMPARE(window.size(), QSize(671, 568));  // 10065 × 8520 twips at 15 twips a pixel
    const std::map<ControlKind, const char*> classes = {
        {ControlKind::tabStrip, "vb::gui::TabStrip"}, {ControlKind::tabPage, "QWidget"},
        {ControlKind::frame, "vb::gui::FrameBox"},    {ControlKind::label, "QLabel"},
        {ControlKind::textBox, "QLineEdit"},          {ControlKind::numberBox, "QLineEdit"},
        {ControlKind::button, "QPushButton"},         {ControlKind::checkBox, "QCheckBox"},
        {ControlKind::optionButton, "QRadioButton"},  {ControlKind::listBox, "QListWidget"},
        {ControlKind::fileList, "QListWidget"},       {ControlKind::slider, "QSlider"},
        {ControlKind::sampleGrid, "QTableView"},      {ControlKind::profileArea, "vb::gui::ProfileWidget"},
        {ControlKind::separator, "QFrame"},           {ControlKind::outline, "QFrame"}};
    const auto pixel = [](int twips) { return qRound(twips / 15.0); };
    for (const Control& c : window.form().controls()) {
        QWidget* w = window.widgetFor(c.id);
        QVERIFY2(w != nullptr && w->inherits(c.multiLine ? "QPlainTextEdit" : classes.at(c.kind)),
                 c.id.c_str());
        QVERIFY2(w->parentWidget() == (c.parent.empty() ? &window : window.widgetFor(c.parent)),
                 c.id.c_str());
        const QRect place(pixel(c.rect.left), pixel(c.rect.top),
                          pixel(c.rect.left + c.rect.width) - pixel(c.rect.left),
                          pixel(c.rect.top + c.rect.height) - pixel(c.rect.top));
        if (c.kind == ControlKind::separator) {
            QVERIFY2(place.adjusted(-1, -1, 1, 1).contains(w->geometry()), c.id.c_str());
        } else if (c.kind == ControlKind::numberBox) {
            // The text and the arrows share the box's place, arrows at the right.
            const gui::UpDown* arrows = window.upDownFor(c.id);
            QVERIFY2(arrows != nullptr && w->geometry().topLeft() == place.topLeft(), c.id.c_str());
            QCOMPARE(w->geometry().right() + 1, arrows->geometry().left());
            QCOMPARE(arrows->geometry().right(), place.right());
        } else {
            QVERIFY2(w->geometry() == place, c.id.c_str());
        }
    }
    expectInStep(window);
    QVERIFY(widget<gui::FrameBox>(window, "FrameSettings")->isVisible());
    QVERIFY(!widget<gui::FrameBox>(window, "FramePreferences")->isVisible());

    // A few looks: the about box's bold, centred title in 12 points, its text
    // whole without a scroll bar, the window's icon in small and large.
    auto* title = widget<QLabel>(window, "AboutTitle");
    QVERIFY(title->font().bold() && title->font().pointSize() == 12 &&
            (title->alignment() & Qt::AlignHCenter));
    QCOMPARE(widget<QPlainTextEdit>(window, "AboutText")->verticalScrollBar()->maximum(), 0);
    const QList<QSize> sizes = window.windowIcon().availableSizes();
    QVERIFY(sizes.contains(QSize(16, 16)) && sizes.contains(QSize(256, 256)));
    QVERIFY(session.watcher.shown.empty());
}

void MainWindowTest::widgetEventsReachTheModelAndItsStateComesBack() {
    QTemporaryDir files;
    const fs::path folder(files.path().toStdString());
    fs::copy_file(example("alpine-loop.pgm"), folder / "alpine-loop.pgm");
    std::ofstream(folder / "broken.ca") << "x";
    Settings chosen;
    chosen.pgm_path = chosen.ca_path = folder.string() + "/";
    Session session(chosen);
    gui::MainWindow& window = session.window;
    const MainForm& form = window.form();

    // "Import" with a ride from the file dialog: the grid and the profile show it.
    QCOMPARE(redPixels(window.profile()), 0);
    session.dialogs.files.push_back(example("alpine-loop.hrm").string());
    QTest::mouseClick(widget<QPushButton>(window, ids::kImport), Qt::LeftButton);
    const SampleTable& table = form.ride().samples;
    gui::SampleGridModel* grid = window.gridModel();
    QCOMPARE(window.grid()->model()->rowCount(), table.sampleCount());
    QCOMPARE(grid->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Speed"));
    for (int row : {0, table.sampleCount() - 1})
        for (int column = 0; column < 3; ++column)
            QCOMPARE(grid->data(grid->index(row, column)).toString(), qs(table.text(row + 1, column)));
    const int red = redPixels(window.profile());
    QVERIFY(red > 200);  // the whole ride is the stretch at first

    // The sliders: the model keeps the start before the end, the widgets follow.
    auto* end = widget<QSlider>(window, ids::kEndSlider);
    const int quarter = end->maximum() / 4;
    end->setValue(quarter);
    QCOMPARE(form.routeView().endPos, quarter);
    QVERIFY(redPixels(window.profile()) < red);
    widget<QSlider>(window, ids::kStartSlider)->setValue(2 * quarter);
    QCOMPARE(widget<QSlider>(window, ids::kStartSlider)->value(), quarter - 1);

    // Typing into the "Filename:" box; the cursor stays where the rider types.
    auto* name = widget<QLineEdit>(window, ids::kFilename);
    name->selectAll();
    QTest::keyClick(name, Qt::Key_Backspace);
    QVERIFY(!widget<QPushButton>(window, ids::kCatalyst)->isEnabled());
    QTest::keyClicks(name, "alpine-loop-long-name");
    QCOMPARE(form.control(ids::kFilename).text, std::string("alpine-loop-long"));
    QTest::keyClick(name, Qt::Key_Home);
    QTest::keyClick(name, Qt::Key_Delete);
    QTest::keyClicks(name, "A");
    QCOMPARE(name->text(), QStringLiteral("Alpine-loop-long"));
    QCOMPARE(name->cursorPosition(), 1);

    // A number box's arrows and a check box.
    QTest::mouseClick(window.upDownFor(ids::kCatMaxClimb)->downButton(), Qt::LeftButton);
    QCOMPARE(form.control(ids::kCatMaxClimb).text, std::string("8"));
    QTest::mouseClick(widget<QCheckBox>(window, ids::kAddWarmup), Qt::LeftButton);
    QVERIFY(form.control(ids::kAddWarmup).checked);

    // A click describes a program; "Convert" switches itself off and hands the
    // focus on within its page; a tab switch that hides the focus gives it to the tabs.
    auto* tabs = widget<gui::TabStrip>(window, ids::kMainTabs)->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
    auto* list = widget<QListWidget>(window, ids::kPgmList);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    QCOMPARE(form.control(ids::kPgmList).selected, 0);
    QTest::mouseClick(widget<QPushButton>(window, "Command10"), Qt::LeftButton);
    QVERIFY(!form.control("Command10").enabled);
    QCOMPARE(QApplication::focusWidget(), list);
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    QCOMPARE(QApplication::focusWidget(), tabs);
    // A tab shows its page; an option, a run file list clicked twice (a broken
    // file: a message each time) and "Refresh" on it.
    tabs->setCurrentIndex(3);
    QCOMPARE(form.control(ids::kMainTabs).value, 3);
    QVERIFY(!widget<gui::FrameBox>(window, "FrameSettings")->isVisible());
    QTest::mouseClick(widget<QRadioButton>(window, ids::kUnitFeet), Qt::LeftButton);
    QVERIFY(form.control(ids::kUnitFeet).checked);
    auto* runs = widget<QListWidget>(window, "File1(0)");
    for (int click = 0; click < 2; ++click)
        QTest::mouseClick(runs->viewport(), Qt::LeftButton, {}, runs->visualItemRect(runs->item(0)).center());
    QCOMPARE(form.control("File1(0)").selected, 0);
    QCOMPARE(session.watcher.shown.size(), std::size_t(2));
    std::ofstream(folder / "later.ca") << "x";
    QTest::mouseClick(widget<QPushButton>(window, "Command2(0)"), Qt::LeftButton);
    QCOMPARE(runs->count(), 2);

    expectInStep(window);
}

void MainWindowTest::messagesAndQuestionsAreModalBoxes() {
    Session session({}, QMessageBox::Yes);
    gui::MainWindow& window = session.window;
    const std::vector<ShownBox>& shown = session.watcher.shown;
    window.importRide(example("alpine-loop.hrm"));
    const int rows = window.gridModel()->rowCount();
    window.importRide(example("alpine-loop.hrm"));  // the append question, answered Yes
    QCOMPARE(window.gridModel()->rowCount(), 2 * rows);
    auto* name = widget<QLineEdit>(window, ids::kFilename);
    name->selectAll();
    QTest::keyClicks(name, "a/b");
    QTest::mouseClick(widget<QPushButton>(window, ids::kCatalyst), Qt::LeftButton);
    QCOMPARE(shown.size(), std::size_t(2));
    QCOMPARE(shown[0].icon, QMessageBox::Question);
    QCOMPARE(shown[0].buttons, QMessageBox::Yes | QMessageBox::No);
    QVERIFY(shown[1].text.startsWith(QStringLiteral("Incorrect Filename!!!\n")));
    QCOMPARE(shown[1].icon, QMessageBox::Critical);
    QCOMPARE(shown[1].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(shown[0].modal && shown[1].modal);

    // The Qt dialogs by themselves: filters and line ends in Qt's form, the
    // file dialog's folder, markup shown as written.
    QCOMPARE(gui::qtFileFilter("Rides|*.hrm;*.tur|(*.caf Catalyst (blue) Data File)|*.caf"),
             QStringLiteral("Rides (*.hrm *.tur);;(*.caf Catalyst (blue) Data File) (*.caf)"));
    QCOMPARE(gui::messageText("line 1\r\nline 2\rline 3"), QStringLiteral("line 1\nline 2\nline 3"));
    gui::QtDialogs dialogs(&window);
    QTemporaryDir folder;
    QCOMPARE(
        dialogs.openFile("(*.hrm Polar File)|*.hrm|(*.tur HAC4 File)|*.tur", folder.path().toStdString()),
        std::string());
    QCOMPARE(session.watcher.fileDialogs.at(0).first, QDir(folder.path()).absolutePath());
    QCOMPARE(session.watcher.fileDialogs.at(0).second,
             QStringList({QStringLiteral("(*.hrm Polar File) (*.hrm)"),
                          QStringLiteral("(*.tur HAC4 File) (*.tur)")}));
    QVERIFY(dialogs.askYesNo("Velobridge", "You like to add this file?"));
    dialogs.showMessage("Velobridge - MSG", "<b>PGM <> PGMF</b>", MessageIcon::information);
    QCOMPARE(shown.back().text, QStringLiteral("<b>PGM <> PGMF</b>"));
    QCOMPARE(shown.back().icon, QMessageBox::Information);
}

void MainWindowTest::closingSavesTheSettingsOrSaysWhyNot() {
    {
        Session session;
        auto* climb = widget<QLineEdit>(session.window, ids::kFortMaxClimb);
        climb->selectAll();
        QTest::keyClicks(climb, "12");
        QVERIFY(session.window.close());
        RecordingPrompter prompter;
        const auto read = loadSettingsFile(session.ini, prompter);
        QVERIFY(read.ok() && read.value().has_value());
        QCOMPARE(read.value()->fort_max_climb, std::string("12"));
        QVERIFY(session.watcher.shown.empty());
    }
    // A settings file that cannot be written: the rider is told while the window still stands.
    Session session;
    fs::remove(session.ini);
    fs::create_directory(session.ini);
    QVERIFY(session.window.close());
    QCOMPARE(session.watcher.shown.size(), std::size_t(1));
    QCOMPARE(session.watcher.shown[0].icon, QMessageBox::Critical);
    QVERIFY(session.watcher.shown[0].modal);
}

void MainWindowTest::aMessageAboutTheCommandLineRideWaitsForTheWindow() {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    ModalWatcher watcher;
    gui::MainWindow window(dialogs, writeIni(dir, {}));
    window.whenShown([&] { window.importRide(fs::path(dir.path().toStdString()) / "missing.hrm"); });
    QTest::qWait(50);
    QVERIFY(watcher.shown.empty());  // not before the window
    window.move(60, 20);
    window.show();
    QTRY_COMPARE(watcher.shown.size(), std::size_t(1));
    QVERIFY((watcher.shown[0].centre - window.frameGeometry().center()).manhattanLength() <= 2);
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
