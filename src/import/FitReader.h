#pragma once
// The FIT reader: the binary activity files of today's head units and
// watches. A FIT file is a header (12 or 14 bytes, ".FIT" at bytes 8..11,
// the size of the data), a stream of messages and a CRC-16 over all that
// precedes it; several such files may follow one another in one file. Each
// message is either a definition, which binds a local message type (0..15)
// to a global message number, a byte order and a list of fields, or data laid
// out as the latest definition of its local type says. The reader keeps the
// `record` messages (time, position, altitude, distance, speed) and the timer
// `event` messages, and skips everything else by the sizes its definition
// gives, developer fields included.

#include <cstddef>
#include <cstdint>
#include <span>

#include "base/Result.h"
#include "import/Track.h"

namespace vb {

/// Seconds from 1970-01-01T00:00:00Z to 1989-12-31T00:00:00Z, where FIT times count from.
inline constexpr std::int64_t kFitEpochOffset = 631065600;

/// True when `head` starts like a FIT file: header size 12 or 14 and ".FIT" at bytes 8..11.
bool looksLikeFit(std::span<const std::byte> head);

/// The CRC-16 that FIT headers and files carry (reflected polynomial 0xA001, starting at 0).
std::uint16_t fitCrc(std::span<const std::byte> data);

/// The points and timer pauses of a FIT file, chained files numbered by TrackPoint::part.
/// A file cut short gives the complete records before the cut with a warning
/// naming the offset; a CRC that does not match and any other malformed byte
/// are refused with the offset.
Result<Track> readFitTrack(std::span<const std::byte> data);

}  // namespace vb
