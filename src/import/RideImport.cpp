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

std::optional<TrackFormat> trackFormat(RideFileType type) {
    switch (type) {
        case RideFileType::fit: return TrackFormat::fit;
        case RideFileType::gpx: return TrackFormat::gpx;
        case RideFileType::tcx: return TrackFormat::tcx;
        default: return std::nullopt;
    }
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

Result<Bytes> readRideFile(const std::filesystem::path& path) {
    auto head = readRideHead(path);
    if (!head || recogniseRideFile(*head) == RideFileType::unknown) return head;
    return readFile(path, kRideFileMax);
}

}  // namespace vb
