// Times the window on the largest ride a table holds (32,765 rows): importing
// it through the "Import" button until the window has painted it, scrolling
// the sample grid through every page, and dragging the end slider. Prints the
// figures; it asserts nothing.
//   QT_QPA_PLATFORM=offscreen build-bench/bench/gui_measure

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <fstream>
#include <string>

#include "app/SettingsFile.h"
#include "base/Files.h"
#include "gui/MainWindow.h"
#include "gui/QtDialogs.h"
#include "gui/SampleGridModel.h"
#include "import/SampleTable.h"

namespace {

void writeLargeRide(const std::filesystem::path& path) {
    std::ofstream out(path, std::ios::binary);
    out << "[Params]\r\nVersion=106\r\nMonitor=22\r\nSMode=111000100\r\nDate=20260412\r\nStartTime=09:15:00."
           "0\r\n"
           "Length=45:30:25.0\r\nInterval=5\r\n\r\n[Note]\r\n\r\n[HRData]\r\n";
    for (int i = 0; i < vb::SampleTable::kMaxSamples; ++i)
        out << 120 + i % 50 << '\t' << 150 + i % 300 << '\t' << 80 + i % 15 << '\t' << 400 + (i / 40) % 900
            << "\r\n";
}

// Dialogs that answer the file dialog with one ride and count the messages
// that would have been shown instead of showing them.
class MeasureDialogs : public vb::gui::QtDialogs {
public:
    std::string ride;
    int messages = 0;

    std::string openFile(std::string_view, std::string_view) override { return std::exchange(ride, {}); }
    void showMessage(std::string_view, std::string_view, vb::MessageIcon) override { ++messages; }
};

double milliseconds(const QElapsedTimer& timer) { return static_cast<double>(timer.nsecsElapsed()) / 1e6; }

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QTemporaryDir scratch;
    const std::filesystem::path root(scratch.path().toStdString());
    vb::Settings settings;
    settings.my_path = (root / "base").string();
    if (!vb::replaceFile(root / "velobridge.ini", vb::writeSettings(settings))) return 1;
    MeasureDialogs dialogs;
    vb::gui::MainWindow window(dialogs, root / "velobridge.ini");
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return 1;
    const std::filesystem::path ride = root / "large.hrm";
    writeLargeRide(ride);

    dialogs.ride = ride.string();
    QElapsedTimer timer;
    timer.start();
    qobject_cast<QPushButton*>(window.widgetFor(vb::ids::kImport))->click();
    window.repaint();
    const double importMs = milliseconds(timer);
    const int rows = window.gridModel()->rowCount();

    QScrollBar* scroll = window.grid()->verticalScrollBar();
    int pages = 0;
    timer.restart();
    for (int value = 0; value <= scroll->maximum(); value += scroll->pageStep(), ++pages) {
        scroll->setValue(value);
        window.grid()->viewport()->repaint();
    }
    const double scrollMs = milliseconds(timer);
    timer.restart();
    scroll->setValue(scroll->maximum());
    window.grid()->viewport()->repaint();
    scroll->setValue(0);
    window.grid()->viewport()->repaint();
    const double jumpMs = milliseconds(timer);

    auto* end = qobject_cast<QSlider*>(window.widgetFor(vb::ids::kEndSlider));
    const int moves = 100;
    timer.restart();
    for (int i = 1; i <= moves; ++i) {
        end->setValue(end->maximum() - i * (end->maximum() / (2 * moves)));
        window.repaint();
    }
    const double sliderMs = milliseconds(timer);

    std::printf("platform           %s\n", qPrintable(QGuiApplication::platformName()));
    std::printf("rows in the grid   %d\n", rows);
    std::printf("import + paint     %.1f ms\n", importMs);
    std::printf("scroll %d pages    %.1f ms (%.2f ms a page)\n", pages, scrollMs, scrollMs / pages);
    std::printf("jump to end+back   %.1f ms\n", jumpMs);
    std::printf("end slider moves   %.1f ms for %d (%.2f ms each, profile redrawn)\n", sliderMs, moves,
                sliderMs / moves);
    return dialogs.messages == 0 && rows == vb::SampleTable::kMaxSamples ? 0 : 1;
}
