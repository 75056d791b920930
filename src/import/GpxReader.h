#pragma once
// The GPX reader (GPS Exchange Format 1.0 and 1.1): every track point of
// every track and segment in document order, or, in a file without track
// points, the points of its routes (what route planners export). A point
// keeps its position, `ele` and `time`; everything else, extensions
// included, is skipped.

#include <cstddef>
#include <span>

#include "base/Result.h"
#include "import/Track.h"

namespace vb {

/// True when `head`, the first bytes of a file, starts an XML document whose
/// root element is `gpx`.
bool looksLikeGpx(std::span<const std::byte> head);

/// Reads a whole GPX file. Each track (or route) is one part of the Track.
Result<Track> readGpxTrack(std::span<const std::byte> data);

}  // namespace vb
