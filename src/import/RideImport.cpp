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
    switch (type) {
        case RideFileType::hrm:
            return Load_Polar_File(ride, myfile, data, prompter);
        case RideFileType::hac4:
            return Load_Hac4_File(ride, data, prompter);
        case RideFileType::unknown:
            break;
    }
    return {};
}

Result<ImportReport> importRideFile(RideRecord& ride, const std::filesystem::path& path, Prompter& prompter) {
    auto data = readFile(path);
    if (!data) return data.error();
    const RideFileType type = recogniseRideFile(*data);
    if (type == RideFileType::unknown)
        return makeError(ErrorCode::invalid,
                         "not a ride file (it starts with neither \"[Params]\" nor \"HACtroni\")");
    return loadRideData(ride, type, displayPath(path), *data, prompter);
}

}  // namespace vb
