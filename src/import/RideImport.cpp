#include "import/RideImport.h"

#include "base/Bytes.h"
#include "base/Files.h"
#include "import/FitReader.h"
#include "import/GpxReader.h"
#include "import/TcxReader.h"
#include "import/TrackImport.h"
#include "import/XmlTrack.h"

namespace vb {

RideFileType recogniseRideFile(std::span<const std::byte> data) {
    const std::string_view start = asText(data).substr(0, 8);
    if (start == "[Params]") return RideFileType::hrm;
    if (start == "HACtroni") return RideFileType::hac4;
    if (looksLikeFit(data)) return RideFileType::fit;
    if (looksLikeGpx(data)) return RideFileType::gpx;
    if (looksLikeTcx(data)) return RideFileType::tcx;
    return RideFileType::unknown;
}

namespace {

// A FIT, GPX or TCX ride: its refusal or warnings are shown as the HRM
// reader shows its own.
ImportReport loadTrackRide(RideRecord& ride, TrackFormat format, std::string_view myfile,
                           std::span<const std::byte> data, Prompter& prompter) {
    ImportReport report;
    const Result<TrackSummary> loaded = Load_Track_File(ride, format, myfile, data);
    for (const Error& warning : loaded.warnings()) {
        prompter.showMessage(kTitleApp, warning.message, MessageIcon::information);
        report.message = warning.message;
    }
    if (!loaded) {
        report.refused = true;
        report.message = loaded.error().message;
        prompter.showMessage(kTitleApp, report.message, MessageIcon::critical);
        return report;
    }
    report.samples = ride.samples.sampleCount();
    return report;
}

}  // namespace

ImportReport loadRideData(RideRecord& ride, RideFileType type, std::string_view myfile,
                          std::span<const std::byte> data, Prompter& prompter) {
    ImportReport report;
    switch (type) {
        case RideFileType::hrm:
            report = Load_Polar_File(ride, myfile, data, prompter);
            break;
        case RideFileType::hac4:
            report = Load_Hac4_File(ride, data, prompter);
            break;
        case RideFileType::fit:
            return loadTrackRide(ride, TrackFormat::fit, myfile, data, prompter);
        case RideFileType::gpx:
            return loadTrackRide(ride, TrackFormat::gpx, myfile, data, prompter);
        case RideFileType::tcx:
            return loadTrackRide(ride, TrackFormat::tcx, myfile, data, prompter);
        case RideFileType::unknown:
            return report;
    }
    // Resampling is offered exactly while the table holds an HRM ride recorded
    // at 60 seconds: a 5-second or HAC4 ride must never be resampled as if it
    // were one. A refused file leaves the ride record, and so this, as it was.
    if (!report.refused)
        ride.Calc15Available = type == RideFileType::hrm && !report.noData && ride.RecordInterval == 60;
    return report;
}

Result<Bytes> readRideHead(const std::filesystem::path& path) {
    // HRM, HAC4 and FIT decide within 14 bytes; an XML prolog may run longer.
    for (std::size_t size = 4096;; size *= 8) {
        auto head = readHead(path, size);
        if (!head || head->size() < size || size >= kRideFileMax || recogniseRideFile(*head) != RideFileType::unknown ||
            !xmlRootPending(*head))
            return head;
    }
}

Result<ImportReport> importRideFile(RideRecord& ride, const std::filesystem::path& path, Prompter& prompter) {
    // The first bytes decide; a file that is no ride is not read whole.
    auto head = readRideHead(path);
    if (!head) return head.error();
    if (recogniseRideFile(*head) == RideFileType::unknown)
        return makeError(ErrorCode::invalid, "not a ride file (neither HRM, HAC4, FIT, GPX nor TCX)");
    auto data = readFile(path, kRideFileMax);
    if (!data) return data.error();
    const RideFileType type = recogniseRideFile(*data);
    return loadRideData(ride, type, displayPath(path), *data, prompter);
}

}  // namespace vb
