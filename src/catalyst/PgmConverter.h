#pragma once
// The PGM to PGMF converter: describes a Catalyst V1.0 program file (`.pgm`)
// and writes it as a V2.0 program file (`.pgmf`) named after the program name
// stored inside it. A file that already starts with the V2.0 header is
// described as such and never converted.
//
// The converted file has the V2.0 header, a general record with zero tag bytes,
// the name, type and mode copied from the V1.0 file, a program block of 12-byte
// records (length in metres or duration in seconds, value, int32 0) and a
// tagged text trailer (int16 8, int16 24, "created by Velobridge - ").

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/Bytes.h"
#include "base/Result.h"

namespace vb {

/// Limits of the converter: file size, sections, name characters.
inline constexpr std::size_t kConvBufferSize = 100001;
inline constexpr std::int32_t kMaxConvSections = 4001;
inline constexpr std::size_t kMaxConvName = 16;

/// The trailer text of a converted file (no version).
inline constexpr std::string_view kConvTrailer = "created by Velobridge - ";

/// One V1.0 section record.
struct PgmSection {
    double distance = 0;  // kilometres
    double value = 0;     // slope in percent, or the program's target value
    double duration = 0;  // the record's int32 third field
};

/// A V1.0 program as the converter reads it.
struct PgmProgram {
    std::string Name;              // UTF-8 (stored as Windows-1252)
    std::int32_t ProgramType = 0;  // 0 power, 1 slope, 2 heart rate
    std::int32_t ProgramMode = 0;  // 0 time-based, 1 distance-based
    std::int32_t SectionCount = 0;
    std::vector<PgmSection> Sections;
};

/// The converter's state: the last file read and the program in it.
struct PgmConverter {
    Bytes ConvBuffer;
    PgmProgram program;
};

/// The texts of the status label and the three value labels.
struct ConverterLabels {
    std::string status = "", typ = "-", program = "-", route = "-";
};

/// True when the first 16 bytes (missing bytes count as zero) are the V2.0 header.
bool hasConvV2Header(std::span<const std::byte> data);

/// Reads a V1.0 program. Refuses a file over 100001 bytes, one that ends before
/// its count, records, name or type fields are complete, a negative or too
/// large section count and a name over 16 characters.
Result<PgmProgram> readPgmProgram(std::span<const std::byte> data);

/// The `.pgmf` bytes of a program. Refuses a program mode other than 0 or 1 and
/// a name that is not a plain file name.
Result<Bytes> convertedPgmfBytes(const PgmProgram& program);

/// "Power", "Slope", "Heart Rate" for program types 0, 1, 2; "unknown" otherwise.
const char* programTypeText(std::int32_t type);
/// "Time", "Distance" for program modes 0, 1; "unknown" otherwise.
const char* programModeText(std::int32_t mode);

/// The "Typ", "Program" and "Route" value texts of a program.
void fillConverterLabels(ConverterLabels& labels, const PgmProgram& program);

/// Describe: returns whether "Convert" becomes enabled. `entryName` is the list
/// entry's name.
bool describePgm(PgmConverter& conv, ConverterLabels& labels, const std::filesystem::path& path,
                 std::string_view entryName);
/// Describe for a file already read: the same checks and labels, from `data`.
bool describePgmData(PgmConverter& conv, ConverterLabels& labels, Bytes data, std::string_view entryName);

/// Convert: writes <outFolder>/<Name>.pgmf; returns the written path, or the
/// error (write failure / refused file); the status label says what happened
/// in either case. A target that is the input or one of `taken` (files written
/// before in the same command) is refused.
Result<std::filesystem::path> convertPgm(PgmConverter& conv, ConverterLabels& labels,
                                         const std::filesystem::path& path, std::string_view entryName,
                                         const std::filesystem::path& outFolder,
                                         std::span<const std::filesystem::path> taken = {});

}  // namespace vb
