#pragma once
// Reading Catalyst run files into the run record, and the run info list that
// describes them.
//
// `.ca` (V1.0): a 52-byte header with the name, the program type and the
// section count, 20-byte section records, 524 bytes, the start date and time,
// then data behind the first run of four 0xFF bytes: one record that is not
// used and 10-byte data records to the end of the file.
// `.caf` (V2.0): a block file. The name and program type stand in the general
// record; the blocks are found by walking their headers from the end of the
// 8-byte file header: the program block (1020) with 12-byte route sections and
// the data block (3020) whose 10-byte records run to the end of the file.
//
// The run record's tables are sized to what the file holds. A file that
// cannot be identified leaves the run record reset and partly read, with
// LastSample 0. A file that is cut short, beyond the tables or unreadable is
// refused with a clear reason and the run record keeps what it held before.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/Result.h"
#include "catalyst/CatalystRun.h"

namespace vb {

enum class RunKind { v1 = 0, v2 = 1 };  // list index 0 = "*.ca", 1 = "*.caf"

/// What to do with a run file that cannot be identified: the project has no
/// address of its own yet, so the message points at the README's section.
inline constexpr std::string_view kCantIdentify =
    "Cant identify!! Send this file to the Velobridge developers (see the README, \"Reporting a problem\").";

/// The run info caption of a kind.
std::string runInfoCaption(RunKind kind);

/// The kind a run file's extension names (.ca / .caf, any letter case).
std::optional<RunKind> runKindOf(const std::filesystem::path& path);

/// Reads run file bytes into `run` and returns the run info lines. `path`
/// only names the file (FileName and the messages). A file that cannot be
/// identified (ErrorCode::unidentified, "not identifiable: ...") leaves `run`
/// reset and partly read, with LastSample 0; any other error leaves it as it was.
Result<std::vector<std::string>> readRunFile(CatalystRun& run, std::span<const std::byte> data,
                                             const std::filesystem::path& path, RunKind kind);

/// Reads one run file into `run` (the window's run record), as readRunFile.
Result<std::vector<std::string>> Check_Catalyst_File(CatalystRun& run, const std::filesystem::path& path,
                                                     RunKind kind);

/// The message for a run file that cannot be identified.
std::string cantIdentify(const std::filesystem::path& path);

}  // namespace vb
