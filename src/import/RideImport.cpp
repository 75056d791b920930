#include "import/RideImport.h"

#include "base/Bytes.h"
#include "base/Files.h"

namespace vb {

RideFileType recogniseRideFile(std::span<const std::byte> data) {
    const std::string_view start = asText(data).substr(0, 8);
    if (start == "[Params]") return RideFileType::hrm;
    if (start == "HACtroni") return RideFileType::hac4;
    return RideFileType::unknown;
}

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

Result<ImportReport> importRideFile(RideRecord& ride, const std::filesystem::path& path, Prompter& prompter) {
    // The first eight bytes decide; a file that is no ride is not read whole.
    auto head = readHead(path, kRideMagicSize);
    if (!head) return head.error();
    if (recogniseRideFile(*head) == RideFileType::unknown)
        return makeError(ErrorCode::invalid,
                         "not a ride file (it starts with neither \"[Params]\" nor \"HACtroni\")");
    auto data = readFile(path, kRideFileMax);
    if (!data) return data.error();
    const RideFileType type = recogniseRideFile(*data);
    return loadRideData(ride, type, displayPath(path), *data, prompter);
}

}  // namespace vb
