// The desktop window over the window model: every control shown where the
// model places it, the model's events reached from the widgets, the model's
// state copied back, the grid, the profile and the message boxes.

#include <QCheckBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <fstream>

#include "GuiTestSupport.h"
#include "gui/FrameBox.h"
#include "gui/MainWindow.h"
#include "gui/ProfileWidget.h"
#include "gui/SampleGridModel.h"
#include "gui/TabStrip.h"
#include "gui/UpDown.h"

using namespace vb;
using namespace vb::test;

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

/// Pixels of the picture that are plainly red, and plainly black.
std::pair<int, int> redAndBlack(const QImage& picture) {
    int red = 0, black = 0;
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 60 && c.blue() < 60) ++red;
            if (c.red() < 60 && c.green() < 60 && c.blue() < 60) ++black;
        }
    return {red, black};
}

template <typename W>
W* widget(const gui::MainWindow& window, std::string_view id) {
    auto* found = qobject_cast<W*>(window.widgetFor(id));
    if (found == nullptr) qFatal("no widget of the expected kind for %s", std::string(id).c_str());
    return found;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void opensWithTitleAndLayoutOfTheModel();
    void importThroughTheDialogFillsGridAndDrawsProfile();
    void filenameRuleSwitchesTheProgramButtons();
    void slidersAndLabelsFollowTheModel();
    void numberBoxesKeepTypedTextAndStepWithArrows();
    void tabsListsAndCheckBoxesReachTheModel();
    void modelMessagesAppearAsModalMessageBoxes();
    void dialogsPortShowsBoxesAndConvertsFilters();
    void closingWritesTheSettingsFileOrSaysWhyNot();
    void focusStaysOnThePageOfAControlThatGoes();
    void messageAboutTheCommandLineRideStandsOverTheShownWindow();
    void iconAndTextsFitTheirPlaces();
};

void MainWindowTest::opensWithTitleAndLayoutOfTheModel() {
    WindowSession session;
    gui::MainWindow& window = session.window;

    QCOMPARE(window.windowTitle(), QStringLiteral("Velobridge (Version0.6a)"));
    QCOMPARE(window.size(), QSize(671, 568));  // 10065 × 8520 twips at 15 twips a pixel
    // The profile area (135, 4400) 7510 × 3370 twips, edges rounded to pixels.
    QCOMPARE(window.profile()->geometry(), QRect(9, 293, 501, 225));

    // Every control has a widget in its parent's widget, at its place.
    for (const Control& c : window.form().controls()) {
        QWidget* w = window.widgetFor(c.id);
        QVERIFY2(w != nullptr, c.id.c_str());
        QWidget* parent = c.parent.empty() ? &window : window.widgetFor(c.parent);
        QVERIFY2(w->parentWidget() == parent, c.id.c_str());
        const auto pixel = [](int twips) { return qRound(twips / 15.0); };
        const QRect expected(pixel(c.rect.left), pixel(c.rect.top),
                             pixel(c.rect.left + c.rect.width) - pixel(c.rect.left),
                             pixel(c.rect.top + c.rect.height) - pixel(c.rect.top));
        if (c.kind == ControlKind::separator) {
            QVERIFY2(expected.adjusted(-1, -1, 1, 1).contains(w->geometry()), c.id.c_str());
        } else if (c.kind == ControlKind::numberBox) {
            // The text and the arrows share the box's place, arrows at the right.
            gui::UpDown* arrows = window.upDownFor(c.id);
            QVERIFY2(arrows != nullptr, c.id.c_str());
            QCOMPARE(w->geometry().topLeft(), expected.topLeft());
            QCOMPARE(w->geometry().right() + 1, arrows->geometry().left());
            QCOMPARE(arrows->geometry().right(), expected.right());
            QVERIFY(arrows->width() >= 15 && arrows->width() <= 18);
        } else {
            QVERIFY2(w->geometry() == expected, c.id.c_str());
        }
        QCOMPARE(w->isEnabled(), c.enabled);
    }

    // The tab strip with its fourth tab, "Control Center" shown.
    auto* tabs = widget<gui::TabStrip>(window, ids::kMainTabs);
    QCOMPARE(tabs->tabBar()->count(), 4);
    QCOMPARE(tabs->tabBar()->tabText(3), QStringLiteral("HRM Converter"));
    QCOMPARE(tabs->tabBar()->currentIndex(), 0);
    QVERIFY(widget<gui::FrameBox>(window, "FrameSettings")->isVisible());
    QVERIFY(!widget<gui::FrameBox>(window, "FramePreferences")->isVisible());

    // Captions, texts and looks from the model.
    QCOMPARE(widget<QPushButton>(window, ids::kImport)->text(), QStringLiteral("Import"));
    auto* name = widget<QLineEdit>(window, ids::kFilename);
    QCOMPARE(name->text(), QStringLiteral("-"));
    QCOMPARE(name->maxLength(), 16);
    auto* title = widget<QLabel>(window, "AboutTitle");
    QVERIFY(title->font().bold());
    QCOMPARE(title->font().pointSize(), 12);
    QVERIFY(title->alignment() & Qt::AlignHCenter);
    QVERIFY(session.watcher.shown.empty());
}

void MainWindowTest::importThroughTheDialogFillsGridAndDrawsProfile() {
    Settings chosen;
    chosen.hrm_path = std::string(VB_EXAMPLES_DIR) + "/";
    WindowSession session(chosen, QMessageBox::Yes);
    gui::MainWindow& window = session.window;
    QCOMPARE(window.gridModel()->rowCount(), 1);  // the empty first row of a new table
    const auto [redBefore, blackBefore] = redAndBlack(window.profile()->grab().toImage());
    QCOMPARE(redBefore + blackBefore, 0);  // nothing drawn before the first import

    session.dialogs.files.push_back(exampleRide("alpine-loop.hrm").string());
    QTest::mouseClick(widget<QPushButton>(window, ids::kImport), Qt::LeftButton);
    QCOMPARE(session.dialogs.filters.size(), std::size_t(1));
    QCOMPARE(session.dialogs.filters[0], std::string("(All ride files)|*.hrm;*.tur;*.fit;*.gpx;*.tcx|(*.hrm Polar File)|*.hrm|(*.tur HAC4 File)|*.tur|"
              "(*.fit FIT File)|*.fit|(*.gpx GPX File)|*.gpx|(*.tcx TCX File)|*.tcx"));

    const SampleTable& table = window.form().ride().samples;
    QVERIFY(table.sampleCount() > 1000);
    gui::SampleGridModel* grid = window.gridModel();
    QCOMPARE(grid->rowCount(), table.sampleCount());
    QCOMPARE(grid->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Speed"));
    for (int row : {0, 1, table.sampleCount() / 2, table.sampleCount() - 1})
        for (int column = 0; column < 3; ++column)
            QCOMPARE(grid->data(grid->index(row, column)).toString(),
                     qs(std::string(table.text(row + 1, column))));
    QCOMPARE(window.grid()->model()->rowCount(), table.sampleCount());

    auto [red, black] = redAndBlack(window.profile()->grab().toImage());
    QVERIFY2(red > 200, qPrintable(QString::number(red)));  // the whole ride is the stretch at first
    auto* end = widget<QSlider>(window, ids::kEndSlider);
    QVERIFY(end->isEnabled());
    QCOMPARE(end->maximum(), window.form().control(ids::kEndSlider).max);
    QCOMPARE(end->value(), end->maximum());
    end->setValue(end->maximum() / 4);
    std::tie(red, black) = redAndBlack(window.profile()->grab().toImage());
    QVERIFY(red > 20 && black > 200);
    QCOMPARE(widget<QLineEdit>(window, ids::kFilename)->text(), QStringLiteral("alpine-loop"));

    // The same file again: the append question, answered Yes, doubles the grid.
    const int rows = table.sampleCount();
    session.dialogs.files.push_back(exampleRide("alpine-loop.hrm").string());
    QTest::mouseClick(widget<QPushButton>(window, ids::kImport), Qt::LeftButton);
    QCOMPARE(session.watcher.shown.size(), std::size_t(1));
    QCOMPARE(session.watcher.shown[0].icon, QMessageBox::Question);
    QCOMPARE(session.watcher.shown[0].buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(grid->rowCount(), 2 * rows);
    QCOMPARE(grid->data(grid->index(2 * rows - 1, 2)).toString(), qs(std::string(table.text(2 * rows, 2))));
}

void MainWindowTest::filenameRuleSwitchesTheProgramButtons() {
    WindowSession session;
    gui::MainWindow& window = session.window;
    auto* name = widget<QLineEdit>(window, ids::kFilename);
    auto* catalyst = widget<QPushButton>(window, ids::kCatalyst);
    auto* fortius = widget<QPushButton>(window, ids::kFortius);
    QVERIFY(!catalyst->isEnabled() && !fortius->isEnabled());

    name->selectAll();
    QTest::keyClicks(name, "r");
    QVERIFY(catalyst->isEnabled() && fortius->isEnabled());
    QCOMPARE(window.form().ride().ProgramName, std::string("r"));
    QTest::keyClick(name, Qt::Key_Backspace);
    QVERIFY(!catalyst->isEnabled() && !fortius->isEnabled());

    // The box holds 16 characters; typing keeps the cursor where the rider types.
    QTest::keyClicks(name, "alpine-loop-long-name");
    QCOMPARE(name->text(), QStringLiteral("alpine-loop-long"));
    QCOMPARE(window.form().control(ids::kFilename).text, std::string("alpine-loop-long"));
    QTest::keyClick(name, Qt::Key_Home);
    QTest::keyClick(name, Qt::Key_Delete);
    QTest::keyClicks(name, "A");
    QCOMPARE(name->text(), QStringLiteral("Alpine-loop-long"));
    QCOMPARE(name->cursorPosition(), 1);
    QVERIFY(session.watcher.shown.empty());
}

void MainWindowTest::slidersAndLabelsFollowTheModel() {
    WindowSession session;
    gui::MainWindow& window = session.window;
    window.importRide(exampleRide("alpine-loop.tur"));
    auto* start = widget<QSlider>(window, ids::kStartSlider);
    auto* end = widget<QSlider>(window, ids::kEndSlider);
    const int last = window.form().routeView().lastRow;
    QVERIFY(last > 10);
    QCOMPARE(end->maximum(), last);

    start->setValue(last / 2);
    QCOMPARE(window.form().routeView().startPos, last / 2);
    end->setValue(last / 4);  // before the start: the rule puts it one row after the start
    QCOMPARE(window.form().routeView().endPos, last / 2 + 1);
    QCOMPARE(end->value(), last / 2 + 1);
    QCOMPARE(widget<QLabel>(window, ids::kRouteValue)->text(),
             qs(window.form().control(ids::kRouteValue).caption));
    QVERIFY(widget<QLabel>(window, ids::kRouteValue)->text().startsWith(u'~'));
    QVERIFY(session.watcher.shown.empty());
}

void MainWindowTest::numberBoxesKeepTypedTextAndStepWithArrows() {
    WindowSession session;
    gui::MainWindow& window = session.window;
    auto* climb = widget<QLineEdit>(window, "CatMaxClimb");
    gui::UpDown* arrows = window.upDownFor("CatMaxClimb");
    QTest::mouseClick(arrows->downButton(), Qt::LeftButton);
    QCOMPARE(climb->text(), QStringLiteral("8"));
    QCOMPARE(window.form().control("CatMaxClimb").text, std::string("8"));

    climb->selectAll();
    QTest::keyClicks(climb, "25 %");  // typed text stays as typed, beyond the arrows' range
    QCOMPARE(climb->text(), QStringLiteral("25 %"));
    QCOMPARE(window.form().control("CatMaxClimb").text, std::string("25 %"));
    QTest::mouseClick(arrows->downButton(), Qt::LeftButton);
    QCOMPARE(climb->text(), qs(window.form().control("CatMaxClimb").text));
    QVERIFY(session.watcher.shown.empty());
}

void MainWindowTest::tabsListsAndCheckBoxesReachTheModel() {
    ScratchSettings scratch;
    const std::filesystem::path programs = scratch.root() / "programs";
    std::filesystem::create_directories(programs);
    for (const char* file : {"b.pgm", "a.pgm", "notes.txt", "broken.ca"})
        std::ofstream(programs / file) << "x";
    Settings chosen;
    chosen.pgm_path = programs.string() + "/";
    chosen.ca_path = chosen.pgm_path;
    WindowSession session(chosen);
    gui::MainWindow& window = session.window;

    auto* tabs = widget<gui::TabStrip>(window, ids::kMainTabs);
    tabs->tabBar()->setCurrentIndex(3);
    QCOMPARE(window.form().control(ids::kMainTabs).value, 3);
    QVERIFY(widget<gui::FrameBox>(window, "FrameHrmConverter")->isVisible());
    QVERIFY(!widget<gui::FrameBox>(window, "FrameSettings")->isVisible());
    // The inner strip of the run files works the same way.
    auto* runTabs = widget<gui::TabStrip>(window, "RunTabs");
    QCOMPARE(runTabs->tabBar()->count(), 3);
    // A click on a run file describes it once: a broken file, one message.
    auto* runs = widget<QListWidget>(window, "File1(0)");
    QCOMPARE(runs->count(), 1);
    QTest::mouseClick(runs->viewport(), Qt::LeftButton, {}, runs->visualItemRect(runs->item(0)).center());
    QCOMPARE(window.form().control("File1(0)").selected, 0);
    QCOMPARE(session.watcher.shown.size(), std::size_t(1));
    QCOMPARE(session.watcher.shown[0].title, QStringLiteral("Velobridge - MSG"));
    QTest::mouseClick(runs->viewport(), Qt::LeftButton, {}, runs->visualItemRect(runs->item(0)).center());
    QCOMPARE(session.watcher.shown.size(), std::size_t(2));  // clicked again: described again
    std::ofstream(programs / "later.ca") << "x";
    QTest::mouseClick(widget<QPushButton>(window, "Command2(0)"), Qt::LeftButton);  // "Refresh"
    QCOMPARE(runs->count(), 2);
    QCOMPARE(runs->item(1)->text(), QStringLiteral("later.ca"));
    runTabs->tabBar()->setCurrentIndex(2);
    QCOMPARE(window.form().control("RunTabs").value, 2);
    QVERIFY(widget<QListWidget>(window, ids::kRunInfoList)->isVisible());

    tabs->tabBar()->setCurrentIndex(2);
    auto* list = widget<QListWidget>(window, ids::kPgmList);
    QVERIFY(list->isVisible());
    QCOMPARE(list->item(1)->text(), qs(window.form().control(ids::kPgmList).items[1]));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    QCOMPARE(window.form().control(ids::kPgmList).selected, 1);

    tabs->tabBar()->setCurrentIndex(0);
    auto* warmup = widget<QCheckBox>(window, "AddWarmup");
    QTest::mouseClick(warmup, Qt::LeftButton);
    QVERIFY(window.form().control("AddWarmup").checked);
    QVERIFY(session.watcher.otherModals.empty());
}

void MainWindowTest::modelMessagesAppearAsModalMessageBoxes() {
    WindowSession session;
    gui::MainWindow& window = session.window;
    window.importRide(exampleRide("alpine-loop.hrm"));
    auto* name = widget<QLineEdit>(window, ids::kFilename);
    name->selectAll();
    QTest::keyClicks(name, "a/b");
    QTest::mouseClick(widget<QPushButton>(window, ids::kCatalyst), Qt::LeftButton);

    QCOMPARE(session.watcher.shown.size(), std::size_t(1));
    const ShownBox& box = session.watcher.shown[0];
    QVERIFY(box.text.startsWith(QStringLiteral("Incorrect Filename!!!\n")));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(box.modal);
    QVERIFY(session.watcher.otherModals.empty());
}

void MainWindowTest::dialogsPortShowsBoxesAndConvertsFilters() {
    QCOMPARE(gui::qtFileFilter("(*.caf Catalyst (blue) Data File)|*.caf"),
             QStringLiteral("(*.caf Catalyst (blue) Data File) (*.caf)"));
    QCOMPARE(gui::qtFileFilter("Rides|*.hrm;*.tur"), QStringLiteral("Rides (*.hrm *.tur)"));
    QCOMPARE(gui::messageText("line 1\r\nline 2\rline 3"), QStringLiteral("line 1\nline 2\nline 3"));

    QWidget owner;
    gui::QtDialogs dialogs(&owner);
    {
        QTemporaryDir folder;
        ModalWatcher cancel;
        QCOMPARE(
            dialogs.openFile("(*.hrm Polar File)|*.hrm|(*.tur HAC4 File)|*.tur", folder.path().toStdString()),
            std::string());
        QCOMPARE(cancel.fileDialogs.size(), std::size_t(1));
        QCOMPARE(cancel.fileDialogs[0].folder, QDir(folder.path()).absolutePath());
        QCOMPARE(cancel.fileDialogs[0].filters, QStringList({QStringLiteral("(*.hrm Polar File) (*.hrm)"),
                                                             QStringLiteral("(*.tur HAC4 File) (*.tur)")}));
    }
    {
        ModalWatcher no(QMessageBox::No);
        QVERIFY(!dialogs.askYesNo("Velobridge", "You like to add this file?"));
        QCOMPARE(no.shown.size(), std::size_t(1));
        QCOMPARE(no.shown[0].text, QStringLiteral("You like to add this file?"));
    }
    {
        ModalWatcher yes(QMessageBox::Yes);
        QVERIFY(dialogs.askYesNo("Velobridge", "You like to add this file?"));
        // A text with markup characters is shown as written.
        dialogs.showMessage("Velobridge - MSG", "<b>PGM <> PGMF</b>", MessageIcon::information);
        QCOMPARE(yes.shown.size(), std::size_t(2));
        QCOMPARE(yes.shown[1].icon, QMessageBox::Information);
        QCOMPARE(yes.shown[1].text, QStringLiteral("<b>PGM <> PGMF</b>"));
    }
}

void MainWindowTest::closingWritesTheSettingsFileOrSaysWhyNot() {
    ScratchSettings settings;
    std::filesystem::remove(settings.file());
    ScriptedDialogs dialogs;
    ModalWatcher watcher;
    {
        gui::MainWindow window(dialogs, settings.file());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* climb = widget<QLineEdit>(window, "FortMaxClimb");
        climb->selectAll();
        QTest::keyClicks(climb, "12");
        QVERIFY(!std::filesystem::exists(settings.file()));
        QVERIFY(window.close());
    }
    RecordingPrompter prompter;
    const auto read = loadSettingsFile(settings.file(), prompter);
    QVERIFY(read.ok() && read.value().has_value());
    QCOMPARE(read.value()->fort_max_climb, std::string("12"));
    QVERIFY(watcher.shown.empty());

    // A settings file that cannot be written: the rider is told while the window still stands.
    std::filesystem::remove(settings.file());
    std::filesystem::create_directory(settings.file());
    {
        gui::MainWindow window(dialogs, settings.file());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const std::size_t before = watcher.shown.size();  // start-up may have said it could not read it
        QVERIFY(window.close());
        QCOMPARE(watcher.shown.size(), before + 1);
        QCOMPARE(watcher.shown.back().icon, QMessageBox::Critical);
        QVERIFY(watcher.shown.back().modal);
    }
}

void MainWindowTest::focusStaysOnThePageOfAControlThatGoes() {
    ScratchSettings scratch;
    const std::filesystem::path programs = scratch.root() / "programs";
    std::filesystem::create_directories(programs);
    std::filesystem::copy_file(exampleRide("alpine-loop.pgm"), programs / "alpine-loop.pgm");
    Settings chosen;
    chosen.pgm_path = programs.string() + "/";
    WindowSession session(chosen);
    gui::MainWindow& window = session.window;
    auto* tabs = widget<gui::TabStrip>(window, ids::kMainTabs)->tabBar();
    auto* list = widget<QListWidget>(window, ids::kPgmList);
    auto* name = widget<QLineEdit>(window, ids::kFilename);
    const auto typeKey = [] { QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_X); };

    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    QTest::mouseClick(widget<QPushButton>(window, "Command10"), Qt::LeftButton);  // "Convert" disables itself
    QVERIFY(!window.form().control("Command10").enabled);
    typeKey();
    QCOMPARE(name->text(), QStringLiteral("-"));
    QCOMPARE(QApplication::focusWidget(), list);
    // A tab switch hides the list that has the focus; the tabs take it.
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    typeKey();
    QCOMPARE(name->text(), QStringLiteral("-"));
    QCOMPARE(QApplication::focusWidget(), tabs);
    QVERIFY(session.watcher.shown.empty());
}

void MainWindowTest::messageAboutTheCommandLineRideStandsOverTheShownWindow() {
    ScratchSettings scratch;
    ScriptedDialogs dialogs;
    ModalWatcher watcher;
    gui::MainWindow window(dialogs, scratch.file());
    window.whenShown([&] { window.importRide(scratch.root() / "missing.hrm"); });
    QTest::qWait(50);
    QVERIFY(watcher.shown.empty());  // not before the window
    window.move(60, 20);
    window.show();
    QTRY_COMPARE(watcher.shown.size(), std::size_t(1));
    QVERIFY((watcher.shown[0].centre - window.frameGeometry().center()).manhattanLength() <= 2);
}

void MainWindowTest::iconAndTextsFitTheirPlaces() {
    WindowSession session;
    gui::MainWindow& window = session.window;
    const QList<QSize> sizes = window.windowIcon().availableSizes();
    QVERIFY(sizes.contains(QSize(16, 16)) && sizes.contains(QSize(256, 256)));
    // Whatever face the window gets, the run info list has text of the
    // window's size and the about text shows whole, without a scroll bar.
    auto* about = widget<QPlainTextEdit>(window, "AboutText");
    for (const QString& face : {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                                QStringLiteral("Nimbus Sans"), QStringLiteral("Noto Sans")}) {
        if (!QFontDatabase::hasFamily(face)) continue;
        QFont font = window.font();
        font.setFamilies({face});
        window.setFont(font);
        QVERIFY2(QFontInfo(about->font()).family().startsWith(face), qPrintable(face));
        QCOMPARE(about->verticalScrollBar()->maximum(), 0);
        QCOMPARE(QFontInfo(widget<QListWidget>(window, ids::kRunInfoList)->font()).pixelSize(),
                 QFontInfo(font).pixelSize());
    }
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
