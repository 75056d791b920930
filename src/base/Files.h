#pragma once
// File access for readers and writers: whole-file reads, the safe replace of a
// file (temporary file beside the target, then rename over it), folder
// creation and path joining with the platform's separator.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/Bytes.h"
#include "base/Result.h"

namespace vb {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

/// Text of a path for messages (UTF-8).
std::string displayPath(const std::filesystem::path& path);

/// The path that UTF-8 text names (the opposite of displayPath).
std::filesystem::path pathFromUtf8(std::string_view text);

/// Whether the file's extension is `extension` (".pgm"), letters A-Z compared
/// without regard to case: files copied from other systems are often in capitals.
bool hasExtension(const std::filesystem::path& file, std::string_view extension);

/// Reads a whole file; an error names the path and the reason.
Result<Bytes> readFile(const std::filesystem::path& path);

/// Writes `data` to a temporary file in the target's folder, flushes it and
/// renames it over `target`. On any failure the temporary file is removed, an
/// existing target is left as it was, and the error names the path and reason.
Result<void> replaceFile(const std::filesystem::path& target, std::span<const std::byte> data);

/// Makes `folder` (and missing parents) unless a folder of that name exists.
Result<void> ensureFolder(const std::filesystem::path& folder);

/// `base` + separator + `name`; a separator already ending `base` is not doubled,
/// and an empty `base` gives the separator followed by `name`.
std::string joinPath(std::string_view base, std::string_view name);

namespace testhooks {
/// When set, replaceFile fails after writing this many bytes of the temporary
/// file, as a full disk would. Tests only.
inline std::optional<std::size_t> failWriteAfter;
}  // namespace testhooks

}  // namespace vb

namespace vb {

/// True for a name that can stand alone as a file name in a working folder:
/// not empty, not "." or "..", and free of \ / : * ? " < > | and control characters.
bool isPlainFileName(std::string_view name);

}  // namespace vb
