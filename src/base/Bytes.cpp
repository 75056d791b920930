#include "base/Bytes.h"

#include <bit>

namespace vb {

Bytes toBytes(std::string_view text) {
    Bytes out(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) out[i] = static_cast<std::byte>(text[i]);
    return out;
}

std::string_view asText(std::span<const std::byte> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

bool ByteReader::take(std::size_t count, std::string_view field) {
    if (!m_ok) return false;
    if (count > remaining()) {
        m_ok = false;
        m_error = Error{ErrorCode::truncated, static_cast<std::int64_t>(offset()),
                        std::string(field) + " at offset " + std::to_string(offset()) + " needs " +
                            std::to_string(count) + " bytes, " + std::to_string(remaining()) +
                            " remain"};
        return false;
    }
    return true;
}

std::uint64_t ByteReader::littleEndian(std::size_t count, std::string_view field) {
    if (!take(count, field)) return 0;
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < count; ++i)
        value |= static_cast<std::uint64_t>(std::to_integer<std::uint8_t>(m_data[m_offset + i])) << (8 * i);
    m_offset += count;
    return value;
}

void ByteReader::fail(ErrorCode code, std::string message) {
    if (!m_ok) return;
    m_ok = false;
    m_error = Error{code, static_cast<std::int64_t>(offset()), std::move(message)};
}

std::uint8_t ByteReader::u8(std::string_view field) {
    return static_cast<std::uint8_t>(littleEndian(1, field));
}
std::int16_t ByteReader::i16(std::string_view field) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(littleEndian(2, field)));
}
std::uint16_t ByteReader::u16(std::string_view field) {
    return static_cast<std::uint16_t>(littleEndian(2, field));
}
std::int32_t ByteReader::i32(std::string_view field) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(littleEndian(4, field)));
}
std::uint32_t ByteReader::u32(std::string_view field) {
    return static_cast<std::uint32_t>(littleEndian(4, field));
}
float ByteReader::f32(std::string_view field) {
    return std::bit_cast<float>(static_cast<std::uint32_t>(littleEndian(4, field)));
}
double ByteReader::f64(std::string_view field) {
    return std::bit_cast<double>(littleEndian(8, field));
}

std::span<const std::byte> ByteReader::bytes(std::size_t count, std::string_view field) {
    if (!take(count, field)) return {};
    auto out = m_data.subspan(m_offset, count);
    m_offset += count;
    return out;
}

std::string ByteReader::text(std::size_t count, std::string_view field) {
    return std::string(asText(bytes(count, field)));
}

ByteReader ByteReader::sub(std::size_t count, std::string_view field) {
    const std::size_t at = offset();
    return ByteReader(bytes(count, field), at);
}

void ByteReader::skip(std::size_t count, std::string_view field) {
    if (take(count, field)) m_offset += count;
}

void ByteWriter::littleEndian(std::uint64_t value, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) m_data.push_back(static_cast<std::byte>((value >> (8 * i)) & 0xFF));
}

void ByteWriter::u8(std::uint8_t value) { littleEndian(value, 1); }
void ByteWriter::i16(std::int16_t value) { littleEndian(static_cast<std::uint16_t>(value), 2); }
void ByteWriter::u16(std::uint16_t value) { littleEndian(value, 2); }
void ByteWriter::i32(std::int32_t value) { littleEndian(static_cast<std::uint32_t>(value), 4); }
void ByteWriter::u32(std::uint32_t value) { littleEndian(value, 4); }
void ByteWriter::f32(float value) { littleEndian(std::bit_cast<std::uint32_t>(value), 4); }
void ByteWriter::f64(double value) { littleEndian(std::bit_cast<std::uint64_t>(value), 8); }
void ByteWriter::bytes(std::span<const std::byte> data) { m_data.insert(m_data.end(), data.begin(), data.end()); }
void ByteWriter::text(std::string_view text) {
    for (char c : text) m_data.push_back(static_cast<std::byte>(c));
}
void ByteWriter::zeros(std::size_t count) { m_data.insert(m_data.end(), count, std::byte{0}); }

}  // namespace vb
