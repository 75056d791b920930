#pragma once
// Little-endian byte reading and writing for the binary formats.
//
// ByteReader keeps a sticky error: after a read that would pass the end, every
// further read returns 0 (or empty), the offset stays where the failed read
// began, and error() describes the first failure. A record can therefore be
// read straight down and checked once with ok(). Check ok() before a value
// sizes a loop or an allocation.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/Result.h"

namespace vb {

using Bytes = std::vector<std::byte>;

/// The bytes of a text, one byte per char.
Bytes toBytes(std::string_view text);

/// A view of bytes as chars, one char per byte.
std::string_view asText(std::span<const std::byte> bytes);

class ByteReader {
public:
    explicit ByteReader(std::span<const std::byte> data, std::size_t base = 0) : m_data(data), m_base(base) {}

    bool ok() const { return m_ok; }
    /// The first failure; only meaningful when !ok().
    const Error& error() const { return m_error; }
    /// Offset in the whole input.
    std::size_t offset() const { return m_base + m_offset; }
    std::size_t size() const { return m_data.size(); }
    std::size_t remaining() const { return m_data.size() - m_offset; }
    bool atEnd() const { return m_offset >= m_data.size(); }

    std::uint8_t u8(std::string_view field = "byte");
    std::int16_t i16(std::string_view field = "int16");
    std::uint16_t u16(std::string_view field = "uint16");
    std::int32_t i32(std::string_view field = "int32");
    std::uint32_t u32(std::string_view field = "uint32");
    float f32(std::string_view field = "float32");
    double f64(std::string_view field = "float64");
    /// `count` bytes, or an empty span after a short read.
    std::span<const std::byte> bytes(std::size_t count, std::string_view field = "bytes");
    /// `count` bytes as 8-bit text, unconverted.
    std::string text(std::size_t count, std::string_view field = "text");
    void skip(std::size_t count, std::string_view field = "bytes");
    /// The next `count` bytes as a reader of their own, or an empty reader
    /// after a short read; this reader moves past them.
    ByteReader sub(std::size_t count, std::string_view field = "bytes");

    /// Marks the reader failed with a format error at the current offset
    /// (for checks the caller makes on values it read); the first failure stays.
    void fail(ErrorCode code, std::string message);

private:
    bool take(std::size_t count, std::string_view field);
    std::uint64_t littleEndian(std::size_t count, std::string_view field);

    std::span<const std::byte> m_data;
    std::size_t m_base = 0;
    std::size_t m_offset = 0;
    bool m_ok = true;
    Error m_error;
};

class ByteWriter {
public:
    void u8(std::uint8_t value);
    void i16(std::int16_t value);
    void u16(std::uint16_t value);
    void i32(std::int32_t value);
    void u32(std::uint32_t value);
    void f32(float value);
    void f64(double value);
    void bytes(std::span<const std::byte> data);
    /// 8-bit text, one byte per char, no terminator.
    void text(std::string_view text);
    void zeros(std::size_t count);

    std::size_t size() const { return m_data.size(); }
    const Bytes& data() const& { return m_data; }
    Bytes take() && { return std::move(m_data); }

private:
    void littleEndian(std::uint64_t value, std::size_t count);
    Bytes m_data;
};

}  // namespace vb
