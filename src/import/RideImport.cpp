#include "import/RideImport.h"

#include "base/Bytes.h"

namespace vb {

RideFileType recogniseRideFile(std::span<const std::byte> data) {
    const std::string_view start = asText(data).substr(0, 8);
    if (start == "[Params]") return RideFileType::hrm;
    if (start == "HACtroni") return RideFileType::hac4;
    return RideFileType::unknown;
}

}  // namespace vb
