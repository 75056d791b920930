#pragma once
// What differs between Windows and the other systems, in one place: opening
// files by name (wide names on Windows, so any name opens), forcing data to
// the disk, renaming over a file in one step, the program's arguments and
// console output as UTF-8, and reading the environment. The rest of the code
// calls these and has no platform branches of its own for them.

#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vb {

/// Opens a file like std::fopen ("rb", "wb"); on failure errno says why.
std::FILE* openFile(const std::filesystem::path& path, const char* mode);

/// Forces what was written to `file` (already flushed) onto the disk; false
/// with errno set on failure.
bool syncFile(std::FILE* file);

/// Renames `from` to `to` in one step, replacing a file `to` that exists, and
/// returns once the rename is on the disk (Windows: MoveFileExW with
/// MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH). Returns the reason on
/// failure, such as a target that another program holds open; `to` is then
/// left as it was.
std::optional<std::string> renameOver(const std::filesystem::path& from, const std::filesystem::path& to);

/// The program's arguments, argv[0] first, as UTF-8. On Windows they are read
/// again from the wide command line (argv holds them in the ANSI code page,
/// which loses what it cannot show); elsewhere argv as it is.
std::vector<std::string> utf8Arguments(int argc, const char* const* argv);

/// Makes the console show the program's output as UTF-8 (Windows); does
/// nothing elsewhere.
void useUtf8Console();

/// An environment variable's value: the text of a variable, nullopt when unset
/// or empty. Code that depends on the environment takes one, so tests can
/// give their own.
using Environment = std::function<std::optional<std::string>(std::string_view name)>;

/// The process's environment, as UTF-8.
std::optional<std::string> processEnvironment(std::string_view name);

}  // namespace vb
