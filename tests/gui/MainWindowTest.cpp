// The desktop window as the binding of the window model: a widget of the right
// kind for every control, at its place and in step with it; widget events and
// the rider's answers in modal Qt dialogs reaching the model. The model's own
// rules are the window model tests' to check.

#include <QTest>
#include <QtWidgets>
#include <deque>
#include <filesystem>
#include <map>

#include "app/SettingsFile.h"
#include "base/Files.h"
#include "gui/FrameBox.h"
#include "gui/MainWindow.h"
#include "gui/QtDialogs.h"
#include "gui/SampleGridModel.h"
#include "gui/TabStrip.h"
#include "gui/UpDown.h"

using namespace vb;
namespace fs = std::filesystem;

namespace {

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }
QString example(const char* name) { return qs((fs::path(VB_EXAMPLES_DIR) / name).string()); }

/// A message box as the rider saw it.
struct ShownBox {
    Qt::TextFormat format;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    bool modal;
    QPoint centre;  // on the screen
};

/// While it lives, plays the rider at every modal dialog and keeps what it
/// showed: a message box is answered with `answer` when it has that button
/// (else with its escape button); a file dialog chooses the next of `files`,
/// or is cancelled when there is none.
class Rider : public QObject {
public:
    explicit Rider(QMessageBox::StandardButton answer = QMessageBox::Ok) : m_answer(answer) {
        connect(&m_timer, &QTimer::timeout, this, &Rider::poll);
        m_timer.start(10);
    }
    std::deque<QString> files;
    std::vector<ShownBox> shown;
    std::vector<std::pair<QString, QStringList>> fileDialogs;  // folder, filters

private:
    void poll() {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (modal == nullptr || !modal->isVisible()) return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            shown.push_back({box->textFormat(), box->icon(), box->standardButtons(),
                             box->windowModality() != Qt::NonModal, box->frameGeometry().center()});
            QAbstractButton* button = box->button(m_answer) ? box->button(m_answer) : box->escapeButton();
            return (button ? button : box->buttons().value(0))->click();
        }
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (dialog == nullptr || files.empty()) return modal->reject();
        fileDialogs.emplace_back(dialog->directory().absolutePath(), dialog->nameFilters());
        dialog->selectFile(files.front());
        files.pop_front();
        modal->accept();
    }

    QMessageBox::StandardButton m_answer;
    QTimer m_timer;
};

/// A window shown over a settings file in a scratch folder (the base working
/// folder inside it), with a rider at its dialogs.
struct Session {
    explicit Session(Settings settings = {}, QMessageBox::StandardButton answer = QMessageBox::Ok)
        : rider(answer) {
        settings.my_path = (root / "base").string();
        if (!replaceFile(ini, writeSettings(settings))) qFatal("cannot write the settings file");
        window = std::make_unique<gui::MainWindow>(dialogs, ini);
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get())) qFatal("the window was not shown");
    }
    QTemporaryDir dir;
    fs::path root = dir.path().toStdString();
    fs::path ini = root / "velobridge.ini";
    Rider rider;
    gui::QtDialogs dialogs;
    std::unique_ptr<gui::MainWindow> window;
};

template <typename W>
W* widget(const gui::MainWindow& window, std::string_view id) {
    auto* found = qobject_cast<W*>(window.widgetFor(id));
    if (found == nullptr) qFatal("no widget of the expected kind for %s", std::string(id).c_str());
    return found;
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
        if (auto* tabs = qobject_cast<gui::TabStrip*>(w))
            QVERIFY2(tabs->tabBar()->currentIndex() == c.value, id);
    }
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void everyControlIsMadeAndBound();
    void closingSavesTheSettingsOrSaysWhyNot();
    void aMessageAboutTheCommandLineRideWaitsForTheWindow();
};

void MainWindowTest::everyControlIsMadeAndBound() {
    QTemporaryDir files;
    QVERIFY(QFile::copy(example("alpine-loop.pgm"), files.filePath("alpine-loop.pgm")));
    QVERIFY(QFile(files.filePath("broken.ca")).open(QIODevice::WriteOnly));
    Settings chosen;
    chosen.pgm_path = chosen.ca_path = files.path().toStdString() + "/";
    chosen.hrm_path = std::string(VB_EXAMPLES_DIR) + "/";
    Session session(chosen, QMessageBox::Yes);
    gui::MainWindow& window = *session.window;
    const MainForm& form = window.form();
    const std::vector<ShownBox>& shown = session.rider.shown;

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
    for (const Control& c : form.controls()) {
        QWidget* w = window.widgetFor(c.id);
        const char* id = c.id.c_str();
        QVERIFY2(w != nullptr && w->inherits(c.multiLine ? "QPlainTextEdit" : classes.at(c.kind)), id);
        QVERIFY2(w->parentWidget() == (c.parent.empty() ? &window : window.widgetFor(c.parent)), id);
        const QRect place(
            QPoint(pixel(c.rect.left), pixel(c.rect.top)),
            QPoint(pixel(c.rect.left + c.rect.width), pixel(c.rect.top + c.rect.height)) - QPoint(1, 1));
        const gui::UpDown* arrows = window.upDownFor(c.id);  // a number box's, at the right of its text
        const QRect made = arrows ? w->geometry().united(arrows->geometry()) : w->geometry();
        QVERIFY2(!arrows || w->geometry().right() + 1 == arrows->geometry().left(), id);
        const bool line = c.kind == ControlKind::separator;  // within a pixel of its place
        QVERIFY2(line ? place.adjusted(-1, -1, 1, 1).contains(made) : made == place, id);
    }
    expectInStep(window);
    QVERIFY(!widget<gui::FrameBox>(window, "FramePreferences")->isVisible());

    // A few looks: the about box's bold, centred title in 12 points, the
    // window's icon in small and large.
    auto* title = widget<QLabel>(window, "AboutTitle");
    QVERIFY(title->font().bold() && title->font().pointSize() == 12 &&
            (title->alignment() & Qt::AlignHCenter));
    const QList<QSize> sizes = window.windowIcon().availableSizes();
    QVERIFY(sizes.contains(QSize(16, 16)) && sizes.contains(QSize(256, 256)));

    // "Import" twice with a ride chosen in the file dialog; the second time
    // the question whether to add it is answered Yes. The grid shows the ride.
    session.rider.files = {example("alpine-loop.hrm"), example("alpine-loop.hrm")};
    for (int import = 0; import < 2; ++import)
        QTest::mouseClick(widget<QPushButton>(window, ids::kImport), Qt::LeftButton);
    QCOMPARE(session.rider.fileDialogs.at(0).first, QDir(VB_EXAMPLES_DIR).absolutePath());
    QCOMPARE(session.rider.fileDialogs.at(0).second.at(0),
             QStringLiteral("(All ride files) (*.hrm *.tur *.fit *.gpx *.tcx)"));
    QVERIFY(shown.at(0).icon == QMessageBox::Question &&
            shown[0].buttons == (QMessageBox::Yes | QMessageBox::No));
    const SampleTable& table = form.ride().samples;
    QCOMPARE(window.grid()->model()->rowCount(), 2 * (1188 - 28));  // the ride's samples, twice
    QCOMPARE(window.gridModel()->data(window.gridModel()->index(9, 2)).toString(), qs(table.text(10, 2)));

    // The sliders: the model keeps the start before the end; the widgets follow.
    auto* end = widget<QSlider>(window, ids::kEndSlider);
    const int quarter = end->maximum() / 4;
    end->setValue(quarter);
    QCOMPARE(form.routeView().endPos, quarter);
    widget<QSlider>(window, ids::kStartSlider)->setValue(2 * quarter);
    QCOMPARE(widget<QSlider>(window, ids::kStartSlider)->value(), quarter - 1);

    // Typing into the "Filename:" box; the cursor stays where the rider types.
    auto* name = widget<QLineEdit>(window, ids::kFilename);
    QTest::keyClicks(name, "-long-name");
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

    window.activateWindow();  // after the file dialog
    QVERIFY(QTest::qWaitForWindowActive(&window));
    // A tab, a program clicked in its list; "Convert" switches itself off and
    // hands the focus on in its page, a tab switch hiding it to the tabs.
    auto* tabs = widget<gui::TabStrip>(window, ids::kMainTabs)->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
    auto* list = widget<QListWidget>(window, ids::kPgmList);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    QCOMPARE(form.control(ids::kPgmList).selected, 0);
    QTest::mouseClick(widget<QPushButton>(window, "Command10"), Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), list);
    tabs->setCurrentIndex(3);
    QCOMPARE(form.control(ids::kMainTabs).value, 3);
    QCOMPARE(QApplication::focusWidget(), tabs);

    // An option, and a run file clicked twice: a broken file, a message each time.
    QTest::mouseClick(widget<QRadioButton>(window, ids::kUnitFeet), Qt::LeftButton);
    QVERIFY(form.control(ids::kUnitFeet).checked);
    auto* runs = widget<QListWidget>(window, "File1(0)");
    for (int click = 0; click < 2; ++click)
        QTest::mouseClick(runs->viewport(), Qt::LeftButton, {}, runs->visualItemRect(runs->item(0)).center());
    QCOMPARE(form.control("File1(0)").selected, 0);
    QCOMPARE(shown.size(), std::size_t(3));
    QVERIFY(shown[2].icon == QMessageBox::Critical && shown[2].buttons == QMessageBox::Ok);
    QVERIFY(shown[0].modal && shown[2].modal);  // texts as written, no markup
    QVERIFY(shown[0].format == Qt::PlainText && shown[2].format == Qt::PlainText);
    expectInStep(window);
}

void MainWindowTest::closingSavesTheSettingsOrSaysWhyNot() {
    // A file that cannot be written: the rider is told while the window still stands.
    for (const bool writable : {true, false}) {
        Session session;
        QTest::keyClicks(widget<QLineEdit>(*session.window, ids::kFortMaxClimb), "2");
        fs::remove(session.ini);
        if (!writable) fs::create_directory(session.ini);
        QVERIFY(session.window->close());
        RecordingPrompter prompter;
        const auto read = loadSettingsFile(session.ini, prompter);
        QCOMPARE(read.ok() && read.value().has_value() && read.value()->fort_max_climb == "202", writable);
        QCOMPARE(session.rider.shown.size(), std::size_t(writable ? 0 : 1));
        QVERIFY(writable ||
                (session.rider.shown[0].icon == QMessageBox::Critical && session.rider.shown[0].modal));
    }
}

void MainWindowTest::aMessageAboutTheCommandLineRideWaitsForTheWindow() {
    Session session;
    gui::MainWindow window(session.dialogs, session.ini);  // a second window, not yet shown
    window.whenShown([&] { window.importRide(session.root / "missing.hrm"); });
    QTest::qWait(50);
    QVERIFY(session.rider.shown.empty());  // not before the window
    window.move(60, 20);
    window.show();
    QTRY_COMPARE(session.rider.shown.size(), std::size_t(1));
    QVERIFY((session.rider.shown[0].centre - window.frameGeometry().center()).manhattanLength() <= 2);
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
