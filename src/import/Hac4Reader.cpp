// The HAC4 reader: a "HACtronic - Tour" file. A text header (version digits at
// bytes 18, 20 and 22, the ride name at bytes 24..39, sixteen "Reserve"
// lines) is followed by a count line and that many 20-byte little-endian
// records, one per 20 seconds. Each record's speed is derived from the
// increase of its running counter; its altitude is taken as it stands.
//
// The whole file is checked before the ride record is touched, so a refused
// file leaves the record as it was.

#include "import/Hac4Reader.h"

#include <string>
#include <vector>

#include "base/Bytes.h"
#include "base/Text.h"

namespace vb {

namespace {

constexpr int kReserveLines = 16;
constexpr std::size_t kRecordSize = 20;
constexpr std::size_t kCounterOffset = 8;
constexpr std::size_t kAltitudeOffset = 12;
constexpr std::size_t kVersionAt = 18;  // 1-based positions of the version digits: 18, 20, 22
constexpr std::size_t kNameFrom = 24;   // 1-based positions of the name: 24..39
constexpr std::size_t kNameTo = 39;

struct Hac4Header {
    std::string version;  // 8-bit text
    std::string name;     // 8-bit text
    int reserveLines = 0;
    std::size_t end = 0;  // offset after the last header byte read
};

Hac4Header readHeader(std::string_view text) {
    Hac4Header h;
    std::string collected;
    bool nameDone = false;
    std::size_t lineStart = 0;
    std::size_t pos = 0;  // bytes read so far = 1-based position of the last one
    while (pos < text.size() && h.reserveLines < kReserveLines) {
        const char c = text[pos++];
        if (pos == kVersionAt) {
            h.version = std::string(1, c);
        } else if (pos == kVersionAt + 2 || pos == kVersionAt + 4) {
            h.version += '.';
            h.version += c;
        }
        if (pos >= kNameFrom && pos <= kNameTo && !nameDone) {
            if (c == '\n') {
                // Trimmed of carriage returns too, so CR LF line ends leave none in the name.
                const auto first = collected.find_first_not_of(" \r");
                const auto last = collected.find_last_not_of(" \r");
                h.name = first == std::string::npos ? "unknown" : collected.substr(first, last - first + 1);
                nameDone = true;
            } else {
                collected += c;
                if (pos == kNameTo) {
                    h.name = collected;
                    nameDone = true;
                }
            }
        }
        if (c == '\n') {
            if (text.substr(lineStart, pos - 1 - lineStart) == "Reserve") ++h.reserveLines;
            lineStart = pos;
        }
    }
    h.end = pos;
    return h;
}

std::int32_t i32At(std::string_view text, std::size_t offset) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i)
        v |= static_cast<std::uint32_t>(static_cast<unsigned char>(text[offset + i])) << (8 * i);
    return static_cast<std::int32_t>(v);
}

std::int16_t i16At(std::string_view text, std::size_t offset) {
    const auto v = static_cast<std::uint16_t>(static_cast<unsigned char>(text[offset]) |
                                              static_cast<unsigned char>(text[offset + 1]) << 8);
    return static_cast<std::int16_t>(v);
}

struct Hac4Sample {
    std::int32_t speed;
    std::int16_t altitude;
};

Error refuse(std::string text, ErrorCode code = ErrorCode::invalid) { return makeError(code, std::move(text)); }

}  // namespace

void storeHac4Record(SampleTable& table, std::int16_t k, std::int32_t speed, std::int16_t altitude) {
    table.setRowCount(k + 2);
    if (k == 0) Format_SampleTable(table);
    const int row = k + 1;
    table.setText(row, 0, std::to_string(row));
    table.setText(row, 1, std::to_string(speed));
    table.setText(row, 2, std::to_string(altitude));
}

Result<int> loadHac4File(RideRecord& ride, std::span<const std::byte> data) {
    const std::string_view text = asText(data);
    const Hac4Header header = readHeader(text);
    if (header.version != "3.1.0" && header.version != "3.2.0")
        return refuse(std::string(kMsgUnknownHac4), ErrorCode::unidentified);
    if (header.reserveLines < kReserveLines)
        return refuse("The HAC4 file ends before its header is complete; the ride was not loaded.",
                      ErrorCode::truncated);

    const auto countEnd = text.find('\n', header.end);
    if (countEnd == std::string_view::npos)
        return refuse("The HAC4 file ends in its record count line; the ride was not loaded.", ErrorCode::truncated);
    const std::string_view countLine = text.substr(header.end, countEnd - header.end);
    const auto count = toInt16(leadingNumber(countLine));
    if (!count || *count > SampleTable::kMaxSamples)
        return refuse(
            "The HAC4 file's record count \"" + cp1252ToUtf8(trimSpaces(countLine).substr(0, 20)) +
                "\" is out of range (a ride holds at most 32765 samples); the ride was not loaded.",
            ErrorCode::range);

    const std::size_t n = *count > 0 ? static_cast<std::size_t>(*count) : 0;
    const std::size_t recordsFrom = countEnd + 1;
    const std::size_t complete = (text.size() - recordsFrom) / kRecordSize;
    if (complete < n)
        return refuse("The HAC4 file ends after " + std::to_string(complete) + " of its " + std::to_string(n) +
                          " records; the ride was not loaded.",
                      ErrorCode::truncated);

    std::vector<Hac4Sample> samples;
    samples.reserve(n);
    std::int64_t previous = 0;
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t at = recordsFrom + k * kRecordSize;
        const std::int32_t counter = i32At(text, at + kCounterOffset);
        // The speed in tenths of km/h is (increase × 3 × 60) / 10, computed as a
        // 32-bit integer; the division is exact.
        const auto scaled = toInt32((counter - previous) * 180);
        if (!scaled)
            return refuse("Record " + std::to_string(k + 1) + " of the HAC4 file steps its counter from " +
                              std::to_string(previous) + " to " + std::to_string(counter) +
                              ", a speed out of range; the ride was not loaded.",
                          ErrorCode::range);
        samples.push_back({*scaled / 10, i16At(text, at + kAltitudeOffset)});
        previous = counter;
    }

    for (std::size_t k = 0; k < n; ++k)
        storeHac4Record(ride.samples, static_cast<std::int16_t>(k), samples[k].speed, samples[k].altitude);
    setFilenameBox(ride, cp1252ToUtf8(header.name));
    ride.ImportStatus = std::string(kStatusHac4);
    ride.header.Version() = cp1252ToUtf8(header.version);
    ride.header.Type() = std::string(kTypeMetric);
    ride.header.Interval() = "20";
    ride.Calc15Available = false;
    return static_cast<int>(n);
}

}  // namespace vb
