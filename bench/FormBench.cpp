// Importing the largest ride the table holds through the window model: the
// rider presses "Import", the file-open dialog answers with a 32,765-row HRM
// file, the reader fills the ride record, the route view is refreshed and the
// profile drawn into a recording canvas. Bytes processed are the file's bytes.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "form/MainForm.h"

namespace {

namespace fs = std::filesystem;

std::string largeHrm() {
    std::string text =
        "[Params]\r\nVersion=106\r\nMonitor=22\r\nSMode=111000100\r\nDate=20260412\r\nStartTime=09:15:00.0\r\n"
        "Length=45:30:25.0\r\nInterval=5\r\n\r\n[Note]\r\n\r\n[HRData]\r\n";
    for (int i = 0; i < vb::SampleTable::kMaxSamples; ++i)
        text += std::to_string(120 + i % 50) + "\t" + std::to_string(150 + i % 300) + "\t" +
                std::to_string(80 + i % 15) + "\t" + std::to_string(400 + i % 900) + "\r\n";
    return text;
}

// Answers every file dialog with the ride and every question with No, so each
// import replaces the ride before it.
class BenchDialogs : public vb::Dialogs {
public:
    explicit BenchDialogs(std::string ride) : m_ride(std::move(ride)) {}
    void showMessage(std::string_view, std::string_view, vb::MessageIcon) override { ++messages; }
    bool askYesNo(std::string_view, std::string_view) override { return false; }
    std::string openFile(std::string_view, std::string_view) override { return m_ride; }
    int messages = 0;

private:
    std::string m_ride;
};

void BM_ImportThroughWindow(benchmark::State& state) {
    const fs::path folder = fs::temp_directory_path() / "vb-form-bench";
    fs::create_directories(folder);
    const fs::path file = folder / "bench.hrm";
    const std::string text = largeHrm();
    std::ofstream(file, std::ios::binary) << text;

    BenchDialogs dialogs(file.string());
    vb::MainForm form(dialogs, folder / "velobridge.ini");
    std::size_t drawn = 0;
    for (auto _ : state) {
        form.press(vb::ids::kImport);
        vb::RecordingCanvas canvas;
        form.paintProfile(canvas);
        drawn = canvas.ops.size();
        benchmark::DoNotOptimize(canvas.ops.data());
    }
    if (dialogs.messages != 0 || form.routeView().lastRow != vb::SampleTable::kMaxSamples || drawn < 1000)
        state.SkipWithError("the ride was not imported and drawn whole");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
    fs::remove_all(folder);
}
BENCHMARK(BM_ImportThroughWindow)->Unit(benchmark::kMillisecond);

}  // namespace
