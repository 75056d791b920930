#pragma once
// File access for readers and writers: whole-file reads, the safe replace of a
// file (temporary file beside the target, then rename over it), folder
// creation and path joining with the platform's separator.
//
// Only regular files are read or replaced: a folder, FIFO, device or socket is
// refused before it is opened, so nothing blocks on a pipe and no device node
// is ever renamed over. A symbolic link is followed to the file it names.
// Every reader gives the largest file it takes, so a huge file is refused by
// its size instead of being read into memory.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
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

/// The largest files the readers take, in bytes.
inline constexpr std::uint64_t kRideFileMax = 64u << 20;      // HRM, HAC4, FIT, GPX, TCX
inline constexpr std::uint64_t kRunFileMax = 16u << 20;       // .ca, .caf
inline constexpr std::uint64_t kPgmFileMax = 100001;          // .pgm, the converter's buffer
inline constexpr std::uint64_t kProgramFileMax = 16u << 20;   // .pgmf
inline constexpr std::uint64_t kRlvFileMax = 16u << 20;       // .rlv
inline constexpr std::uint64_t kScriptFileMax = 1u << 20;     // .vlb
inline constexpr std::uint64_t kSettingsFileMax = 1u << 20;   // velobridge.ini

/// Reads a whole regular file of at most `maxBytes`; anything else (a folder,
/// FIFO, device, a larger file) is refused without reading it. An error names
/// the path and the reason.
Result<Bytes> readFile(const std::filesystem::path& path, std::uint64_t maxBytes);

/// The first `count` bytes of a regular file (fewer when it is shorter), for
/// deciding its format before reading it whole.
Result<Bytes> readHead(const std::filesystem::path& path, std::size_t count);

/// Where the safe replace puts the bytes of the temporary file.
class Sink {
public:
    virtual ~Sink() = default;
    /// Takes all of `data`, or says why it could not ("No space left on device").
    virtual Result<void> put(std::span<const std::byte> data) = 0;
};

/// Puts a sink in front of the temporary file's own (tests pass one that fails midway).
using SinkWrap = std::function<std::unique_ptr<Sink>(Sink& file)>;

/// Writes `data` to a temporary file in the target's folder, flushes it and
/// renames it over `target`. Only a new file or a regular file is replaced (a
/// link is followed to the regular file it names and stays a link); the
/// replaced file keeps its permission bits. On any failure the temporary file
/// is removed, an existing target is left as it was, and the error names the
/// path and reason.
Result<void> replaceFile(const std::filesystem::path& target, std::span<const std::byte> data,
                         const SinkWrap& wrap = {});

/// Makes the target's folder when missing, then replaces the file as replaceFile does.
Result<void> saveFile(const std::filesystem::path& target, std::span<const std::byte> data);

/// Whether `a` and `b` are the same existing file, however they are spelt.
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b);

/// Makes a write beyond the process's file size limit an ordinary write error
/// instead of a signal that ends the program. Called once at program start.
void ignoreFileSizeSignal();

/// Makes `folder` (and missing parents) unless a folder of that name exists.
Result<void> ensureFolder(const std::filesystem::path& folder);

/// `base` + separator + `name`; a separator already ending `base` is not doubled,
/// and an empty `base` gives the separator followed by `name`.
std::string joinPath(std::string_view base, std::string_view name);

}  // namespace vb

namespace vb {

/// True for a name that can stand alone as a file name in a working folder and
/// travel to a Windows PC: see plainFileNameProblem.
bool isPlainFileName(std::string_view name);

/// Why a UTF-8 name cannot stand alone as a file name, or empty when it can:
/// empty, "." or "..", one of \ / : * ? " < > |, a control character (C0, DEL,
/// C1), or a Windows device name (CON, NUL, COM1, LPT1, ...) with or without
/// an extension.
std::string plainFileNameProblem(std::string_view name);

}  // namespace vb
