#include "base/Files.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <system_error>

#include "base/Platform.h"

namespace vb {

namespace fs = std::filesystem;

namespace {

Error ioError(std::string_view what, const fs::path& path, std::string_view reason) {
    return makeError(ErrorCode::io, std::string(what) + " " + displayPath(path) + ": " + std::string(reason));
}

fs::path temporaryBeside(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    fs::path temp = target;
    temp += ".tmp" + std::to_string(stamp % 1000000007) + "-" + std::to_string(counter++);
    return temp;
}

}  // namespace

std::string displayPath(const fs::path& path) {
    const auto text = path.u8string();
    return std::string(text.begin(), text.end());
}

fs::path pathFromUtf8(std::string_view text) { return fs::path(std::u8string(text.begin(), text.end())); }

bool hasExtension(const fs::path& file, std::string_view extension) {
    const std::string actual = displayPath(file.extension());
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return actual.size() == extension.size() &&
           std::equal(actual.begin(), actual.end(), extension.begin(),
                      [&](char a, char b) { return lower(a) == lower(b); });
}

Result<Bytes> readFile(const fs::path& path) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) return ioError("cannot read", path, "is a folder");
    std::ifstream in(path, std::ios::binary);
    if (!in) return ioError("cannot open", path, std::strerror(errno));
    in.seekg(0, std::ios::end);
    const auto size = in.tellg();
    if (size < 0) return ioError("cannot read", path, "size unknown");
    in.seekg(0, std::ios::beg);
    Bytes data(static_cast<std::size_t>(size));
    if (size > 0 && !in.read(reinterpret_cast<char*>(data.data()), size))
        return ioError("cannot read", path, std::strerror(errno));
    return data;
}

Result<void> replaceFile(const fs::path& target, std::span<const std::byte> data) {
    std::error_code ec;
    if (fs::is_directory(target, ec)) return ioError("cannot write", target, "a folder of that name exists");
    const fs::path temp = temporaryBeside(target);
    std::FILE* file = openFile(temp, "wb");
    if (file == nullptr) return ioError("cannot write", target, std::strerror(errno));

    std::size_t toWrite = data.size();
    bool injected = false;
    if (testhooks::failWriteAfter && *testhooks::failWriteAfter < toWrite) {
        toWrite = *testhooks::failWriteAfter;
        injected = true;
    }
    const std::size_t written = toWrite == 0 ? 0 : std::fwrite(data.data(), 1, toWrite, file);
    int savedErrno = errno;
    bool failed = written != toWrite || injected;
    if (!failed && std::fflush(file) != 0) {
        failed = true;
        savedErrno = errno;
    }
    if (!failed && !syncFile(file)) {
        failed = true;
        savedErrno = errno;
    }
    if (std::fclose(file) != 0 && !failed) {
        failed = true;
        savedErrno = errno;
    }
    if (failed) {
        fs::remove(temp, ec);
        return ioError("cannot write", target, injected ? "No space left on device" : std::strerror(savedErrno));
    }
    if (auto refused = renameOver(temp, target)) {
        fs::remove(temp, ec);
        return ioError("cannot write", target, *refused);
    }
    return {};
}

Result<void> ensureFolder(const fs::path& folder) {
    std::error_code ec;
    if (fs::is_directory(folder, ec)) return {};
    fs::create_directories(folder, ec);
    if (ec) return ioError("cannot make folder", folder, ec.message());
    if (!fs::is_directory(folder, ec)) return ioError("cannot make folder", folder, "a file of that name exists");
    return {};
}

std::string joinPath(std::string_view base, std::string_view name) {
    std::string out(base);
    if (out.empty() || out.back() != kPathSeparator) out += kPathSeparator;
    out += name;
    return out;
}

}  // namespace vb

namespace vb {

bool isPlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (char c : name) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F) return false;
        if (std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) return false;
    }
    return true;
}

}  // namespace vb
