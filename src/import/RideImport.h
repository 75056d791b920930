#pragma once
// Ride import: recognising a ride file by its first eight bytes. The HRM
// reader (HrmReader.h) and the HAC4 reader (Hac4Reader.h) then read it; they
// show nothing and ask nothing: the window and the command line show their
// warnings and errors and, for an HRM ride, ask whether to add it.

#include <cstddef>
#include <span>

#include "import/Hac4Reader.h"
#include "import/HrmReader.h"

namespace vb {

enum class RideFileType { unknown, hrm, hac4 };

/// The bytes at the start of a file that recogniseRideFile looks at.
inline constexpr std::size_t kRideMagicSize = 8;

/// "[Params]" → HRM, "HACtroni" → HAC4, anything else (or fewer than 8 bytes) → unknown.
RideFileType recogniseRideFile(std::span<const std::byte> data);

}  // namespace vb
