#include "support/TestSupport.h"

#include "base/Files.h"
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>

#include "base/Platform.h"

#ifndef _WIN32
#include <stdlib.h>
#endif

namespace vb::test {

namespace fs = std::filesystem;

Bytes bytesOf(std::initializer_list<int> values) {
    Bytes out;
    for (int v : values) out.push_back(static_cast<std::byte>(v));
    return out;
}

Bytes f64Bytes(double value) {
    unsigned char raw[8];
    std::memcpy(raw, &value, 8);  // the build machines are little-endian
    Bytes out;
    for (unsigned char b : raw) out.push_back(static_cast<std::byte>(b));
    return out;
}

Bytes f32Bytes(float value) {
    unsigned char raw[4];
    std::memcpy(raw, &value, 4);
    Bytes out;
    for (unsigned char b : raw) out.push_back(static_cast<std::byte>(b));
    return out;
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::string hex(const Bytes& data) {
    std::string out;
    char buf[4];
    for (std::size_t i = 0; i < data.size(); ++i) {
        std::snprintf(buf, sizeof buf, "%02x", std::to_integer<unsigned>(data[i]));
        if (i) out += ' ';
        out += buf;
    }
    return out;
}

Bytes i16Bytes(int v) { return bytesOf({v & 0xFF, (v >> 8) & 0xFF}); }
Bytes i32Bytes(std::int64_t v) {
    return bytesOf({static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF),
                    static_cast<int>((v >> 24) & 0xFF)});
}

Bytes patched(Bytes data, const std::vector<Patch>& patches, std::size_t size) {
    for (const Patch& p : patches) {
        if (data.size() < p.offset + p.bytes.size()) data.resize(p.offset + p.bytes.size());
        std::copy(p.bytes.begin(), p.bytes.end(), data.begin() + static_cast<std::ptrdiff_t>(p.offset));
    }
    if (size > 0) data.resize(size);
    return data;
}

fs::path dataFile(std::string_view relative) { return fs::path(VB_TEST_DATA_DIR) / relative; }
fs::path exampleFile(std::string_view name) { return fs::path(VB_EXAMPLES_DIR) / name; }

Bytes readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << path;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return toBytes(text);
}

void writeAll(const fs::path& path, std::string_view content) {
    std::ofstream out(path, std::ios::binary);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    ASSERT_TRUE(out.good()) << "cannot write " << path;
}

namespace {

void setEnvironment(const std::string& name, const std::optional<std::string>& value) {
#ifdef _WIN32
    // An empty value removes the variable.
    const std::wstring wideName(name.begin(), name.end());
    _wputenv_s(wideName.c_str(), value ? fs::path(std::u8string(value->begin(), value->end())).c_str() : L"");
#else
    if (value) ::setenv(name.c_str(), value->c_str(), 1);
    else ::unsetenv(name.c_str());
#endif
}

}  // namespace

ScopedEnv::ScopedEnv(std::string name, const std::optional<std::string>& value)
    : m_name(std::move(name)), m_old(processEnvironment(m_name)) {
    setEnvironment(m_name, value);
}

ScopedEnv::~ScopedEnv() { setEnvironment(m_name, m_old); }

ScratchDir::ScratchDir() {
    static std::atomic<unsigned> counter{0};
    std::random_device rd;
    m_path = fs::temp_directory_path() /
             ("vbtest-" + std::to_string(rd()) + "-" + std::to_string(counter++));
    fs::create_directories(m_path);
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    fs::remove_all(m_path, ec);
}

#ifndef _WIN32
FileSizeLimit::FileSizeLimit(std::uint64_t bytes) {
    ignoreFileSizeSignal();
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    m_old = limit.rlim_cur;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = m_old;
    setrlimit(RLIMIT_FSIZE, &limit);
}
#else
// Windows has no per-process file size limit: the roads that use one cannot fail a write there.
FileSizeLimit::FileSizeLimit(std::uint64_t) {}
FileSizeLimit::~FileSizeLimit() = default;
#endif

}  // namespace vb::test
