#pragma once
// Ride import: recognising a ride file by its content. The HRM reader
// (HrmReader.h), the HAC4 reader (Hac4Reader.h) and the track import
// (TrackImport.h: FIT, GPX and TCX) then read it; they show nothing and ask
// nothing: the window and the command line show their warnings and errors
// and, for an HRM ride, ask whether to add it.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>

#include "base/Bytes.h"
#include "base/Result.h"
#include "import/Hac4Reader.h"
#include "import/HrmReader.h"
#include "import/TrackImport.h"

namespace vb {

enum class RideFileType { unknown, hrm, hac4, fit, gpx, tcx };

/// The bytes at the start of a file that recogniseRideFile looks at first;
/// an XML file may need more (see readRideHead).
inline constexpr std::size_t kRideMagicSize = 8;

/// "[Params]" → HRM, "HACtroni" → HAC4, a FIT file header → FIT, an XML
/// document whose root element is `gpx` or `TrainingCenterDatabase` → GPX or
/// TCX; anything else → unknown. `data` is the file or as much of its start as
/// holds the XML root element.
RideFileType recogniseRideFile(std::span<const std::byte> data);

/// The track format of a FIT, GPX or TCX ride; nullopt for the others.
std::optional<TrackFormat> trackFormat(RideFileType type);

/// The first bytes of the file at `path`, as many as recognition needs: a few
/// for HRM, HAC4 and FIT, more for an XML file whose prolog (declaration,
/// comments) runs long, never more than kRideFileMax.
Result<Bytes> readRideHead(const std::filesystem::path& path);

/// The file at `path` whole when its first bytes make it a ride file, else
/// only those bytes: a file that is no ride is never read whole.
Result<Bytes> readRideFile(const std::filesystem::path& path);

}  // namespace vb
