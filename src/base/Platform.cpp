#include "base/Platform.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <io.h>
#include <shellapi.h>
#else
#include <unistd.h>
#endif

namespace vb {

namespace fs = std::filesystem;

#ifdef _WIN32

namespace {

std::string utf8(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), size, nullptr,
                            nullptr);
    return out;
}

std::wstring wideAscii(std::string_view text) { return std::wstring(text.begin(), text.end()); }

/// The system's text for an error code, without the closing full stop and line end.
std::string systemMessage(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text = length > 0 ? utf8(std::wstring_view(buffer, length)) : std::string();
    if (buffer != nullptr) LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    if (text.empty()) text = "system error " + std::to_string(code);
    return text;
}

}  // namespace

std::FILE* openFile(const fs::path& path, const char* mode) { return _wfopen(path.c_str(), wideAscii(mode).c_str()); }

bool syncFile(std::FILE* file) { return _commit(_fileno(file)) == 0; }

std::optional<std::string> renameOver(const fs::path& from, const fs::path& to) {
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return std::nullopt;
    return systemMessage(GetLastError());
}

std::vector<std::string> utf8Arguments(int argc, const char* const* argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> out;
    if (wide == nullptr || count != argc) {
        // Not the command line argv came from (a caller of its own): keep argv.
        if (wide != nullptr) LocalFree(wide);
        return std::vector<std::string>(argv, argv + argc);
    }
    for (int i = 0; i < count; ++i) out.push_back(utf8(wide[i]));
    LocalFree(wide);
    return out;
}

void useUtf8Console() { SetConsoleOutputCP(CP_UTF8); }

std::optional<std::string> processEnvironment(std::string_view name) {
    const wchar_t* value = _wgetenv(wideAscii(name).c_str());
    if (value == nullptr || *value == L'\0') return std::nullopt;
    return utf8(value);
}

#else

std::FILE* openFile(const fs::path& path, const char* mode) { return std::fopen(path.c_str(), mode); }

bool syncFile(std::FILE* file) { return ::fsync(fileno(file)) == 0; }

std::optional<std::string> renameOver(const fs::path& from, const fs::path& to) {
    if (std::rename(from.c_str(), to.c_str()) == 0) return std::nullopt;
    return std::string(std::strerror(errno));
}

std::vector<std::string> utf8Arguments(int argc, const char* const* argv) {
    return std::vector<std::string>(argv, argv + argc);
}

void useUtf8Console() {}

std::optional<std::string> processEnvironment(std::string_view name) {
    const char* value = std::getenv(std::string(name).c_str());
    if (value == nullptr || *value == '\0') return std::nullopt;
    return std::string(value);
}

#endif

}  // namespace vb
