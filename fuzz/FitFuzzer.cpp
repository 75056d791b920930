// Reads any bytes as a FIT file, as they are and with their header and file
// CRCs made to match (so that mutations reach the messages behind the CRC
// check), and checks what a read gives: a refusal names an offset inside the
// input; a track has at most one warning, positions on the globe, parts
// counting up from 0 and pauses that end after they start.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "FuzzCheck.h"
#include "import/FitReader.h"

using vb::fuzz::check;

namespace {

void read(std::span<const std::byte> bytes) {
    const auto track = vb::readFitTrack(bytes);
    if (!track) {
        check(!track.error().message.empty());
        check(track.error().offset >= 0 && static_cast<std::size_t>(track.error().offset) <= bytes.size());
        return;
    }
    check(vb::looksLikeFit(bytes) && track->version == "FIT" && track.warnings().size() <= 1);
    int part = 0;
    for (const vb::TrackPoint& p : track->points) {
        check(std::isnan(p.latitude) || std::abs(p.latitude) <= 90);
        check(std::isnan(p.longitude) || std::abs(p.longitude) <= 180);
        check(std::isnan(p.time) || p.time >= static_cast<double>(vb::kFitEpochOffset));
        check(p.part >= part);
        part = p.part;
    }
    for (const vb::TimerPause& pause : track->pauses) check(pause.stop <= pause.start);
}

void put16(std::vector<std::byte>& data, std::size_t at, std::uint16_t value) {
    data[at] = static_cast<std::byte>(value & 0xFF);
    data[at + 1] = static_cast<std::byte>(value >> 8);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    read(bytes);
    if (size < 14 || !vb::looksLikeFit(bytes)) return 0;
    std::vector<std::byte> fixed(bytes.begin(), bytes.end());
    const std::size_t headerSize = std::to_integer<std::size_t>(fixed[0]);
    if (headerSize == 14) put16(fixed, 12, vb::fitCrc(std::span(fixed).first(12)));
    std::size_t dataSize = 0;
    for (std::size_t i = 0; i < 4; ++i) dataSize |= std::to_integer<std::size_t>(fixed[4 + i]) << (8 * i);
    if (dataSize <= size && headerSize + dataSize + 2 <= size)
        put16(fixed, headerSize + dataSize, vb::fitCrc(std::span(fixed).first(headerSize + dataSize)));
    read(fixed);
    return 0;
}
