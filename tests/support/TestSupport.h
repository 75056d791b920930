#pragma once
// Helpers shared by the tests: byte literals, test files, scratch folders.

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Bytes.h"

namespace vb::test {

/// Bytes from a list of byte values.
Bytes bytesOf(std::initializer_list<int> values);

/// Bytes of a 64-bit / 32-bit float, little-endian, computed independently of ByteWriter.
Bytes f64Bytes(double value);
Bytes f32Bytes(float value);

/// Little-endian bytes of a 16-bit / 32-bit integer.
Bytes i16Bytes(int value);
Bytes i32Bytes(std::int64_t value);

/// Concatenation helper.
Bytes operator+(Bytes a, const Bytes& b);

/// Hex dump for failure messages ("01 00 9a ...").
std::string hex(const Bytes& data);

/// A file of the test data folder (third-party samples and made-up inputs).
std::filesystem::path dataFile(std::string_view relative);
/// A file of the project's examples folder.
std::filesystem::path exampleFile(std::string_view name);
/// Reads a file whole; fails the test when it cannot.
Bytes readAll(const std::filesystem::path& path);
/// Writes a file whole; fails the test when it cannot.
void writeAll(const std::filesystem::path& path, std::string_view content);

/// The variable that names the user's home folder: USERPROFILE on Windows, HOME elsewhere.
#ifdef _WIN32
inline constexpr const char* kHomeVariable = "USERPROFILE";
#else
inline constexpr const char* kHomeVariable = "HOME";
#endif

/// Sets an environment variable (UTF-8; unset for nullopt) while the object lives.
class ScopedEnv {
public:
    ScopedEnv(std::string name, const std::optional<std::string>& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

/// A change to a golden or example file: `bytes` written at `offset`.
struct Patch {
    std::size_t offset = 0;
    Bytes bytes;
};

/// `data` with the patches applied, then cut or zero-filled to `size` bytes
/// (unchanged in length when `size` is 0).
Bytes patched(Bytes data, const std::vector<Patch>& patches, std::size_t size = 0);

/// A fresh empty folder, removed when the object goes.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(std::string_view name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

/// Skips the rest of a test that makes a write fail with FileSizeLimit where
/// there is no such limit (Windows); the failing sink covers the file layer there.
#ifdef _WIN32
#define VB_SKIP_WITHOUT_FILE_SIZE_LIMIT() GTEST_SKIP() << "Windows has no file-size limit to make a write fail"
#else
#define VB_SKIP_WITHOUT_FILE_SIZE_LIMIT() static_cast<void>(0)
#endif

/// While it lives, files this process writes may grow to `bytes` only (a
/// write beyond is an error, as on a full disk); POSIX only.
class FileSizeLimit {
public:
    explicit FileSizeLimit(std::uint64_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    std::uint64_t m_old = 0;
};

}  // namespace vb::test
