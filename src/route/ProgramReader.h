#pragma once
// Reading trainer program files back: the V1.0 program (`.pgm`) and the V2.0
// block-structured program (`.pgmf`). The readers return the sections, the
// name, type, mode and tag, or an error naming the field that is wrong.
//
// `.pgmf` files made by other programs hold more than this system writes
// (totals and a start altitude in the general record, blocks of other kinds,
// third fields in either byte order); what is not needed is skipped. What
// cannot be right is refused: a record count that is negative or runs past the
// end, a general record that is not 70 bytes, a program record that is not 12
// bytes, a missing or repeated general or program block.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/Bytes.h"
#include "base/Result.h"

namespace vb {

/// Block identifiers and record sizes of the V2.0 program file.
inline constexpr std::int16_t kPgmfFileId = 1000;
inline constexpr std::int16_t kPgmfGeneralId = 1010;
inline constexpr std::int16_t kPgmfProgramId = 1020;
inline constexpr std::int32_t kPgmfGeneralSize = 70;
inline constexpr std::int32_t kPgmfProgramSize = 12;

enum class ProgramFormat { pgm, pgmf };

/// One section record as stored.
struct ProgramSection {
    /// `.pgm`: length in kilometres. `.pgmf`: length in metres (distance mode) or
    /// duration in seconds (time mode).
    double distance = 0.0;
    /// Slope in percent, or the target value of a power or heart-rate program.
    double value = 0.0;
    /// `.pgm`: the 32-bit integer third field. `.pgmf`: the third field read as a
    /// little-endian 32-bit float.
    double third = 0.0;
};

struct ProgramFile {
    ProgramFormat format = ProgramFormat::pgm;
    std::string name;           // UTF-8
    std::int32_t type = 0;      // 0 power, 1 slope, 2 heart rate
    std::int32_t mode = 0;      // 0 time-based, 1 distance-based
    std::string tag;            // the four tag bytes as stored (empty when a .pgm has none)
    std::vector<ProgramSection> sections;
    std::string trailer;        // the bytes after the program, unconverted
};

/// True when the data starts like a V2.0 program file (E8 03 64 00).
bool looksLikePgmf(std::span<const std::byte> data);

/// True when the data starts with the 16 header bytes every V2.0 program has:
/// file 1000, version 100, 2 blocks; general block 1010, version 100, 1 record.
bool hasPgmfHeader(std::span<const std::byte> data);

/// Reads a `.pgm` file.
Result<ProgramFile> readPgm(std::span<const std::byte> data);

/// Reads a `.pgmf` file.
Result<ProgramFile> readPgmf(std::span<const std::byte> data);

}  // namespace vb
