#include "base/Files.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <system_error>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

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

namespace {

std::string sizeText(std::uint64_t bytes) {
    if (bytes >= (1u << 20) && bytes % (1u << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
    return std::to_string(bytes) + " bytes";
}

/// Refuses anything but a regular file (following links) before it is opened.
Result<void> checkRegular(const fs::path& path, std::string_view what) {
    std::error_code ec;
    const auto status = fs::status(path, ec);
    if (ec && status.type() != fs::file_type::not_found) return ioError(what, path, ec.message());
    switch (status.type()) {
        case fs::file_type::not_found: return ioError(what, path, "no such file");
        case fs::file_type::regular: return {};
        case fs::file_type::directory: return ioError(what, path, "is a folder");
        case fs::file_type::fifo: return ioError(what, path, "is a FIFO, not a regular file");
        case fs::file_type::socket: return ioError(what, path, "is a socket, not a regular file");
        case fs::file_type::block:
        case fs::file_type::character: return ioError(what, path, "is a device, not a regular file");
        default: return ioError(what, path, "is not a regular file");
    }
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

Result<FilePtr> openForReading(const fs::path& path) {
    if (auto regular = checkRegular(path, "cannot read"); !regular) return regular.error();
#ifdef _WIN32
    FilePtr file(_wfopen(path.c_str(), L"rb"));
#else
    FilePtr file(std::fopen(path.c_str(), "rb"));
#endif
    if (!file) return ioError("cannot open", path, std::strerror(errno));
    return file;
}

}  // namespace

Result<Bytes> readFile(const fs::path& path, std::uint64_t maxBytes) {
    auto file = openForReading(path);
    if (!file) return file.error();
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (ec) return ioError("cannot read", path, ec.message());
    if (size > maxBytes)
        return ioError("cannot read", path,
                       "the file holds " + std::to_string(size) + " bytes, more than the limit of " + sizeText(maxBytes));
    Bytes data(static_cast<std::size_t>(size));
    if (size > 0 && std::fread(data.data(), 1, data.size(), file->get()) != data.size())
        return ioError("cannot read", path, std::ferror(file->get()) ? std::strerror(errno) : "the file got shorter");
    return data;
}

Result<Bytes> readHead(const fs::path& path, std::size_t count) {
    auto file = openForReading(path);
    if (!file) return file.error();
    Bytes data(count);
    const std::size_t got = count == 0 ? 0 : std::fread(data.data(), 1, count, file->get());
    if (got < count && std::ferror(file->get())) return ioError("cannot read", path, std::strerror(errno));
    data.resize(got);
    return data;
}

namespace {

/// The temporary file's sink.
class FileSink : public Sink {
public:
    explicit FileSink(std::FILE* file) : m_file(file) {}
    Result<void> put(std::span<const std::byte> data) override {
        if (data.empty() || std::fwrite(data.data(), 1, data.size(), m_file) == data.size()) return {};
        return makeError(ErrorCode::io, std::strerror(errno));
    }

private:
    std::FILE* m_file;
};

/// The file a replace writes: `target`, or the regular file a link names.
/// Refuses any other kind of existing file before anything is written.
Result<fs::path> replaceable(const fs::path& target) {
    std::error_code ec;
    const auto own = fs::symlink_status(target, ec);
    if (own.type() == fs::file_type::not_found) return target;
    if (ec) return ioError("cannot write", target, ec.message());
    if (own.type() == fs::file_type::directory) return ioError("cannot write", target, "a folder of that name exists");
    fs::path real = target;
    if (own.type() == fs::file_type::symlink) {
        real = fs::canonical(target, ec);
        if (ec) return ioError("cannot write", target, "a link to nothing: " + ec.message());
    }
    const auto status = fs::status(real, ec);
    if (ec) return ioError("cannot write", target, ec.message());
    if (status.type() != fs::file_type::regular)
        return ioError("cannot write", target,
                       real == target ? "not a regular file (a device, FIFO or socket)"
                                      : "a link to something that is not a regular file");
    return real;
}

}  // namespace

Result<void> replaceFile(const fs::path& target, std::span<const std::byte> data, const SinkWrap& wrap) {
    auto real = replaceable(target);
    if (!real) return real.error();
    std::error_code ec;
    const bool existed = fs::exists(*real, ec);
    const fs::path temp = temporaryBeside(*real);
#ifdef _WIN32
    std::FILE* file = _wfopen(temp.c_str(), L"wb");
#else
    std::FILE* file = std::fopen(temp.c_str(), "wb");
#endif
    if (file == nullptr) return ioError("cannot write", target, std::strerror(errno));

    FileSink fileSink(file);
    std::unique_ptr<Sink> wrapped = wrap ? wrap(fileSink) : nullptr;
    Sink& sink = wrapped ? *wrapped : fileSink;
    std::string failure;
    if (auto put = sink.put(data); !put) failure = put.error().message;
    if (failure.empty() && std::fflush(file) != 0) failure = std::strerror(errno);
#ifndef _WIN32
    if (failure.empty() && existed) {
        // The new file takes the old one's permission bits: a private file stays private.
        struct stat old {};
        if (::stat(real->c_str(), &old) == 0 && ::fchmod(fileno(file), old.st_mode & 07777) != 0)
            failure = std::strerror(errno);
    }
    if (failure.empty() && ::fsync(fileno(file)) != 0) failure = std::strerror(errno);
#endif
    if (std::fclose(file) != 0 && failure.empty()) failure = std::strerror(errno);
    if (!failure.empty()) {
        fs::remove(temp, ec);
        return ioError("cannot write", target, failure);
    }
    fs::rename(temp, *real, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        return ioError("cannot write", target, ec.message());
    }
    return {};
}

Result<void> saveFile(const fs::path& target, std::span<const std::byte> data) {
    if (target.has_parent_path()) {
        if (auto made = ensureFolder(target.parent_path()); !made) return made;
    }
    return replaceFile(target, data);
}

bool sameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

void ignoreFileSizeSignal() {
#ifndef _WIN32
    std::signal(SIGXFSZ, SIG_IGN);
#endif
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

namespace {

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

/// Whether the part before the first dot names a device on Windows, where
/// "CON.rlv" is the console and cannot be opened as a file.
bool isWindowsDeviceName(std::string_view name) {
    std::string stem(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (char& c : stem) c = upper(c);
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (stem == device) return true;
    if (stem.size() < 4 || (stem.compare(0, 3, "COM") != 0 && stem.compare(0, 3, "LPT") != 0)) return false;
    const std::string_view digit = std::string_view(stem).substr(3);
    return (digit.size() == 1 && digit[0] >= '0' && digit[0] <= '9') ||
           digit == "\xC2\xB9" || digit == "\xC2\xB2" || digit == "\xC2\xB3";  // superscript 1, 2, 3
}

}  // namespace

std::string plainFileNameProblem(std::string_view name) {
    if (name.empty()) return "the name is empty";
    if (name == "." || name == "..") return "the name \"" + std::string(name) + "\" is not a file name";
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto b = static_cast<unsigned char>(name[i]);
        const bool c1 = b == 0xC2 && i + 1 < name.size() && static_cast<unsigned char>(name[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(name[i + 1]) <= 0x9F;
        if (b < 0x20 || b == 0x7F || c1) return "the name holds a control character";
    }
    if (name.find_first_of("\\/:*?\"<>|") != std::string_view::npos)
        return "the name holds one of the characters \\ / : * ? \" < > |";
    if (isWindowsDeviceName(name)) return "the name is that of a device on Windows (CON, PRN, AUX, NUL, COM1, LPT1, ...)";
    return {};
}

bool isPlainFileName(std::string_view name) { return plainFileNameProblem(name).empty(); }

}  // namespace vb
