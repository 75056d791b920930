#pragma once
// The TCX reader (Training Center Database v2): the track points of every
// lap and track of every activity, then of every course (what route planners
// export), in document order. A point keeps its time, position,
// `AltitudeMeters` and `DistanceMeters`; a lap's own totals are not a
// point's and are not read, and extensions are skipped.

#include <cstddef>
#include <span>

#include "base/Result.h"
#include "import/Track.h"

namespace vb {

/// True when `head`, the first bytes of a file, starts an XML document whose
/// root element is `TrainingCenterDatabase`.
bool looksLikeTcx(std::span<const std::byte> head);

/// Reads a whole TCX file. Each activity and each course is one part of the
/// Track: its cumulative distance starts again.
Result<Track> readTcxTrack(std::span<const std::byte> data);

}  // namespace vb
