#include "import/RideRecord.h"

namespace vb {

void Init_Kennung(RideRecord& ride) {
    ride.IdentTag = std::string("VLB") + static_cast<char>(0xFE);
}

void setFilenameBox(RideRecord& ride, std::string_view name) {
    ride.FilenameBox = std::string(name);
    ride.ProgramName = ride.FilenameBox;
}

}  // namespace vb
