#include "import/FitReader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/Bytes.h"
#include "base/Text.h"

namespace vb {

namespace {

constexpr std::size_t kCrcSize = 2;
constexpr std::string_view kSignature = ".FIT";
constexpr std::size_t kSignatureAt = 8;
constexpr std::size_t kHeaderCrcCovers = 12;
// More records than any ride that can become a program has (546 hours at one
// a second); it bounds what a hostile file of small messages can allocate.
constexpr std::size_t kMaxRecords = 2'000'000;

constexpr std::uint8_t kCompressedHeader = 0x80;
constexpr std::uint8_t kDefinitionHeader = 0x40;
constexpr std::uint8_t kDeveloperData = 0x20;
constexpr std::uint8_t kLocalTypeMask = 0x0F;
constexpr std::uint32_t kTimeOffsetMask = 0x1F;
constexpr std::size_t kDefinitionFixedSize =
    6;  // record header, reserved, architecture, global (2), field count
constexpr std::size_t kFieldDefinitionSize = 3;

constexpr std::uint16_t kFileIdMesg = 0;
constexpr std::uint16_t kRecordMesg = 20;
constexpr std::uint16_t kEventMesg = 21;
constexpr std::uint8_t kTimestampField = 253;
constexpr double kTimerEvent = 0;
constexpr double kEventStart = 0;

constexpr double kNone = TrackPoint::kNone;
constexpr double kDegreesPerSemicircle = 180.0 / 2147483648.0;

enum class Target : std::uint8_t {
    timestamp,
    latitude,
    longitude,
    altitude,
    enhancedAltitude,
    distance,
    speed,
    enhancedSpeed,
    event,
    eventType,
    manufacturer,
    product,
    productName,
};

struct BaseType {
    std::uint8_t size;
    bool isSigned;
    bool isFloat;
    std::uint64_t invalid;  // the raw bits that mean "no value"
};

// Indexed by the low five bits of a field's base type byte.
constexpr std::array<BaseType, 17> kBaseTypes{{
    {1, false, false, 0xFF},                  // enum
    {1, true, false, 0x7F},                   // sint8
    {1, false, false, 0xFF},                  // uint8
    {2, true, false, 0x7FFF},                 // sint16
    {2, false, false, 0xFFFF},                // uint16
    {4, true, false, 0x7FFFFFFF},             // sint32
    {4, false, false, 0xFFFFFFFF},            // uint32
    {1, false, false, 0x00},                  // string
    {4, false, true, 0xFFFFFFFF},             // float32
    {8, false, true, ~0ULL},                  // float64
    {1, false, false, 0x00},                  // uint8z
    {2, false, false, 0x0000},                // uint16z
    {4, false, false, 0x00000000},            // uint32z
    {1, false, false, 0xFF},                  // byte
    {8, true, false, 0x7FFFFFFFFFFFFFFFULL},  // sint64
    {8, false, false, ~0ULL},                 // uint64
    {8, false, false, 0},                     // uint64z
}};
constexpr std::uint8_t kBaseTypeMask = 0x1F;
constexpr std::uint8_t kStringType = 7;

struct Field {
    std::uint16_t offset;  // from the first byte after the record header
    std::uint8_t size;
    std::uint8_t baseType;
    Target target;
};

struct Definition {
    bool defined = false;
    bool bigEndian = false;
    std::uint16_t global = 0;
    std::size_t size = 0;       // bytes after the record header, developer fields included
    std::vector<Field> fields;  // only the fields the reader uses
};

// The fields the reader takes, by global message number and field number;
// the timestamp (field 253) is taken from every message.
struct Use {
    std::uint16_t global;
    std::uint8_t field;
    Target target;
};
constexpr Use kUses[] = {
    {kRecordMesg, 0, Target::latitude},
    {kRecordMesg, 1, Target::longitude},
    {kRecordMesg, 2, Target::altitude},
    {kRecordMesg, 5, Target::distance},
    {kRecordMesg, 6, Target::speed},
    {kRecordMesg, 73, Target::enhancedSpeed},
    {kRecordMesg, 78, Target::enhancedAltitude},
    {kEventMesg, 0, Target::event},
    {kEventMesg, 1, Target::eventType},
    {kFileIdMesg, 1, Target::manufacturer},
    {kFileIdMesg, 2, Target::product},
    {kFileIdMesg, 8, Target::productName},
};

std::optional<Target> targetOf(std::uint16_t global, std::uint8_t field) {
    if (field == kTimestampField) return Target::timestamp;
    for (const Use& use : kUses)
        if (use.global == global && use.field == field) return use.target;
    return std::nullopt;
}

std::uint8_t byteAt(std::span<const std::byte> data, std::size_t at) {
    return std::to_integer<std::uint8_t>(data[at]);
}

std::uint32_t littleEndianAt(std::span<const std::byte> data, std::size_t at, std::size_t count) {
    std::uint32_t value = 0;
    for (std::size_t i = count; i-- > 0;) value = (value << 8) | byteAt(data, at + i);
    return value;
}

/// A field's value as its base type and the definition's byte order give it,
/// the first element of an array; NaN for the invalid marker and for a field
/// whose size is not a whole number of its base type.
double fieldValue(const std::byte* p, const Field& field, bool bigEndian) {
    const BaseType& type = kBaseTypes[field.baseType];
    if (field.size < type.size || field.size % type.size != 0) return kNone;
    std::uint64_t raw = 0;
    for (std::size_t i = 0; i < type.size; ++i) {
        const std::size_t at = bigEndian ? i : type.size - 1 - i;
        raw = (raw << 8) | std::to_integer<std::uint8_t>(p[at]);
    }
    if (raw == type.invalid) return kNone;
    double value = 0;
    if (type.isFloat) {
        value = type.size == 4 ? static_cast<double>(std::bit_cast<float>(static_cast<std::uint32_t>(raw)))
                               : std::bit_cast<double>(raw);
    } else if (type.isSigned) {
        const unsigned shift = 64 - 8 * type.size;
        value = static_cast<double>(static_cast<std::int64_t>(raw << shift) >> shift);
    } else {
        value = static_cast<double>(raw);
    }
    return std::isfinite(value) ? value : kNone;
}

std::string hex16(std::uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04x", value);
    return text;
}

std::string_view manufacturerName(int manufacturer) {
    static constexpr std::pair<int, std::string_view> kNames[] = {
        {1, "Garmin"},      {6, "SRM"},      {7, "Quarq"},    {9, "Saris"},      {13, "Dynastream"},
        {15, "Dynastream"}, {23, "Suunto"},  {32, "Wahoo"},   {37, "Magellan"},  {45, "Xplova"},
        {48, "Pioneer"},    {69, "Stages"},  {70, "Sigma"},   {73, "Wattbike"},  {86, "Elite"},
        {89, "Tacx"},       {95, "Stryd"},   {107, "Magene"}, {115, "iGPSPORT"}, {255, "Development"},
        {258, "Lezyne"},    {260, "Zwift"},  {265, "Strava"}, {267, "Bryton"},   {289, "Hammerhead"},
        {294, "Coros"},     {348, "Huawei"},
    };
    for (const auto& [number, name] : kNames)
        if (number == manufacturer) return name;
    return {};
}

// Garmin's cycling computers and a few watches, by product number; the same
// numbers serve the manufacturers that share Garmin's product list.
std::string_view garminProductName(int product) {
    static constexpr std::pair<int, std::string_view> kNames[] = {
        {1036, "Edge 500"},       {1169, "Edge 800"},       {1325, "Edge 200"},  {1561, "Edge 510"},
        {1567, "Edge 810"},       {1836, "Edge 1000"},      {2067, "Edge 520"},  {2147, "Edge 25"},
        {2238, "Edge 20"},        {2530, "Edge 820"},       {2713, "Edge 1030"}, {2909, "Edge 130"},
        {3011, "Edge Explore"},   {3112, "Edge 520 Plus"},  {3121, "Edge 530"},  {3122, "Edge 830"},
        {3558, "Edge 130 Plus"},  {3570, "Edge 1030 Plus"}, {3843, "Edge 1040"}, {4061, "Edge 540"},
        {4062, "Edge 840"},       {4169, "Edge Explore 2"}, {4440, "Edge 1050"}, {3113, "Forerunner 945"},
        {4024, "Forerunner 955"}, {4315, "Forerunner 965"}, {3290, "fenix 6"},   {3906, "fenix 7"},
    };
    for (const auto& [number, name] : kNames)
        if (number == product) return name;
    return {};
}

std::string creatorText(double manufacturer, double product, std::string productName) {
    const int maker = std::isnan(manufacturer) ? -1 : static_cast<int>(manufacturer);
    const std::string_view makerName = manufacturerName(maker);
    if (productName.empty() && (maker == 1 || maker == 13 || maker == 15 || maker == 89) &&
        !std::isnan(product))
        productName = garminProductName(static_cast<int>(product));
    if (makerName.empty()) return productName;
    if (productName.empty() || productName.starts_with(makerName))
        return productName.empty() ? std::string(makerName) : productName;
    return std::string(makerName) + " " + productName;
}

class FitDecoder {
public:
    explicit FitDecoder(std::span<const std::byte> data) : m_data(data) {}

    Result<Track> run();

private:
    enum class Outcome { next, cut, failed };

    Outcome readFile(std::size_t begin, std::size_t headerSize, std::size_t dataEnd);
    Outcome readDefinition(std::size_t start, std::size_t end, std::size_t& next);
    Outcome readData(std::size_t start, std::size_t end, std::size_t& next);
    /// A message at `start` that needs `need` bytes where fewer remain: the cut of a file cut short,
    /// or a malformed message when its file's data is all there.
    Outcome shortMessage(std::string_view what, std::size_t start, std::size_t need, std::size_t end);
    Outcome fail(ErrorCode code, std::size_t offset, std::string message);
    void takeMessage(const Definition& definition, const std::byte* p, double headerTime);

    std::span<const std::byte> m_data;
    Track m_track;
    std::optional<Error> m_error;
    std::optional<Error> m_warning;
    std::array<Definition, 16> m_definitions;
    bool m_cutData = false;  // the data of the file being read runs past the end of the input
    std::optional<std::uint32_t> m_lastTime;
    int m_part = 0;
    bool m_timerStopped = false;
    double m_stopTime = 0;
    bool m_haveFileId = false;
    double m_manufacturer = kNone;
    double m_product = kNone;
    std::string m_productName;
};

FitDecoder::Outcome FitDecoder::fail(ErrorCode code, std::size_t offset, std::string message) {
    m_error = Error{code, static_cast<std::int64_t>(offset), std::move(message)};
    return Outcome::failed;
}

FitDecoder::Outcome FitDecoder::shortMessage(std::string_view what, std::size_t start, std::size_t need,
                                             std::size_t end) {
    const std::string sizes = std::string(what) + " at offset " + std::to_string(start) + " needs " +
                              std::to_string(need) + " bytes, " + std::to_string(end - start) + " remain";
    if (!m_cutData)
        return fail(ErrorCode::invalid, start,
                    sizes + " before the file crc at offset " + std::to_string(end));
    m_warning = Error{ErrorCode::truncated, static_cast<std::int64_t>(start),
                      "file cut short at offset " + std::to_string(start) + ": the " + sizes +
                          "; the records before it are kept"};
    return Outcome::cut;
}

Result<Track> FitDecoder::run() {
    m_track.format = TrackFormat::fit;
    m_track.version = "FIT";
    if (m_data.empty()) return Error{ErrorCode::truncated, 0, "empty file: no fit header"};
    std::size_t begin = 0;
    while (begin < m_data.size()) {
        const std::size_t rest = m_data.size() - begin;
        const std::size_t headerSize = byteAt(m_data, begin);
        if (headerSize != 12 && headerSize != 14)
            return Error{ErrorCode::invalid, static_cast<std::int64_t>(begin),
                         "fit header size " + std::to_string(headerSize) + " at offset " +
                             std::to_string(begin) + " is neither 12 nor 14"};
        if (rest < headerSize) {
            Error cut{ErrorCode::truncated, static_cast<std::int64_t>(begin),
                      "file cut short at offset " + std::to_string(begin) + ": the fit header there needs " +
                          std::to_string(headerSize) + " bytes, " + std::to_string(rest) + " remain"};
            if (begin == 0) return cut;
            m_warning = std::move(cut);
            break;
        }
        if (asText(m_data.subspan(begin + kSignatureAt, kSignature.size())) != kSignature)
            return Error{
                ErrorCode::invalid, static_cast<std::int64_t>(begin + kSignatureAt),
                "bytes 8..11 of the fit header at offset " + std::to_string(begin) + " are not \".FIT\""};
        if (headerSize == 14) {
            const auto stored =
                static_cast<std::uint16_t>(littleEndianAt(m_data, begin + kHeaderCrcCovers, 2));
            const std::uint16_t computed = fitCrc(m_data.subspan(begin, kHeaderCrcCovers));
            if (stored != 0 && stored != computed)
                return Error{ErrorCode::invalid, static_cast<std::int64_t>(begin + kHeaderCrcCovers),
                             "header crc " + hex16(stored) + " at offset " +
                                 std::to_string(begin + kHeaderCrcCovers) + " does not match " +
                                 hex16(computed) + " computed over the header: the file is damaged"};
        }
        const std::uint64_t dataEnd =
            begin + headerSize + static_cast<std::uint64_t>(littleEndianAt(m_data, begin + 4, 4));
        m_cutData = dataEnd > m_data.size();
        const bool whole = dataEnd + kCrcSize <= m_data.size();
        if (whole) {
            const auto stored = static_cast<std::uint16_t>(littleEndianAt(m_data, dataEnd, 2));
            const std::uint16_t computed = fitCrc(m_data.subspan(begin, dataEnd - begin));
            if (stored != computed)
                return Error{ErrorCode::invalid, static_cast<std::int64_t>(dataEnd),
                             "file crc " + hex16(stored) + " at offset " + std::to_string(dataEnd) +
                                 " does not match " + hex16(computed) + " computed over bytes " +
                                 std::to_string(begin) + ".." + std::to_string(dataEnd - 1) +
                                 ": the file is damaged"};
        }
        const std::size_t end = static_cast<std::size_t>(std::min<std::uint64_t>(dataEnd, m_data.size()));
        const Outcome outcome = readFile(begin, headerSize, end);
        if (outcome == Outcome::failed) return std::move(*m_error);
        if (outcome == Outcome::cut) break;
        if (!whole) {
            const std::string missing =
                m_cutData ? std::to_string(dataEnd - end) + " bytes of data and the file crc are"
                          : "the file crc is";
            m_warning = Error{ErrorCode::truncated, static_cast<std::int64_t>(end),
                              "file cut short at offset " + std::to_string(end) + ": " + missing +
                                  " missing; the records before it are kept"};
            break;
        }
        begin = static_cast<std::size_t>(dataEnd) + kCrcSize;
        ++m_part;
    }
    m_track.creator = creatorText(m_manufacturer, m_product, m_productName);
    Result<Track> result(std::move(m_track));
    if (m_warning) result.addWarning(std::move(*m_warning));
    return result;
}

FitDecoder::Outcome FitDecoder::readFile(std::size_t begin, std::size_t headerSize, std::size_t end) {
    // Local message types and the last time belong to one file of a chain.
    for (Definition& definition : m_definitions) definition = Definition{};
    m_lastTime.reset();
    std::size_t at = begin + headerSize;
    while (at < end) {
        const std::uint8_t header = byteAt(m_data, at);
        const bool definition = (header & (kCompressedHeader | kDefinitionHeader)) == kDefinitionHeader;
        const Outcome outcome = definition ? readDefinition(at, end, at) : readData(at, end, at);
        if (outcome != Outcome::next) return outcome;
    }
    return Outcome::next;
}

FitDecoder::Outcome FitDecoder::readDefinition(std::size_t start, std::size_t end, std::size_t& next) {
    const std::size_t available = end - start;
    if (available < kDefinitionFixedSize)
        return shortMessage("definition message", start, kDefinitionFixedSize, end);
    const std::uint8_t header = byteAt(m_data, start);
    const std::uint8_t architecture = byteAt(m_data, start + 2);
    if (architecture > 1)
        return fail(ErrorCode::invalid, start + 2,
                    "definition message at offset " + std::to_string(start) + " has architecture " +
                        std::to_string(architecture) + ", neither 0 (little-endian) nor 1 (big-endian)");
    Definition definition;
    definition.defined = true;
    definition.bigEndian = architecture == 1;
    const std::uint32_t global = littleEndianAt(m_data, start + 3, 2);
    definition.global =
        static_cast<std::uint16_t>(definition.bigEndian ? ((global & 0xFF) << 8) | (global >> 8) : global);
    const std::size_t fieldCount = byteAt(m_data, start + 5);
    std::size_t length = kDefinitionFixedSize + kFieldDefinitionSize * fieldCount;
    std::size_t developerCount = 0;
    if (header & kDeveloperData) {
        if (available < length + 1) return shortMessage("definition message", start, length + 1, end);
        developerCount = byteAt(m_data, start + length);
        length += 1 + kFieldDefinitionSize * developerCount;
    }
    if (available < length) return shortMessage("definition message", start, length, end);

    for (std::size_t i = 0; i < fieldCount; ++i) {
        const std::size_t at = start + kDefinitionFixedSize + kFieldDefinitionSize * i;
        const std::uint8_t number = byteAt(m_data, at);
        const std::uint8_t size = byteAt(m_data, at + 1);
        const std::uint8_t baseType = byteAt(m_data, at + 2) & kBaseTypeMask;
        if (baseType >= kBaseTypes.size())
            return fail(ErrorCode::invalid, at + 2,
                        "field " + std::to_string(number) + " of the definition message at offset " +
                            std::to_string(start) + " has base type " +
                            std::to_string(byteAt(m_data, at + 2)) + ", which fit does not define");
        if (const auto target = targetOf(definition.global, number))
            definition.fields.push_back(
                Field{static_cast<std::uint16_t>(definition.size), size, baseType, *target});
        definition.size += size;
    }
    const std::size_t developerFields = start + kDefinitionFixedSize + kFieldDefinitionSize * fieldCount + 1;
    for (std::size_t i = 0; i < developerCount; ++i)
        definition.size += byteAt(m_data, developerFields + kFieldDefinitionSize * i + 1);
    m_definitions[header & kLocalTypeMask] = std::move(definition);
    next = start + length;
    return Outcome::next;
}

FitDecoder::Outcome FitDecoder::readData(std::size_t start, std::size_t end, std::size_t& next) {
    const std::uint8_t header = byteAt(m_data, start);
    std::size_t local = header & kLocalTypeMask;
    double headerTime = kNone;
    if (header & kCompressedHeader) {
        // The header holds the low five bits of the time; the rest comes from
        // the last time seen, one step of 32 s on when the bits wrapped.
        local = (header >> 5) & 0x03;
        if (!m_lastTime)
            return fail(ErrorCode::invalid, start,
                        "compressed timestamp header at offset " + std::to_string(start) +
                            " comes before any timestamp");
        const std::uint32_t offset = header & kTimeOffsetMask;
        std::uint32_t time = (*m_lastTime & ~kTimeOffsetMask) + offset;
        if (offset < (*m_lastTime & kTimeOffsetMask)) time += kTimeOffsetMask + 1;
        headerTime = time;
    }
    const Definition& definition = m_definitions[local];
    if (!definition.defined)
        return fail(ErrorCode::invalid, start,
                    "data message at offset " + std::to_string(start) + " has local message type " +
                        std::to_string(local) + ", which no definition before it declares");
    if (end - start < 1 + definition.size)
        return shortMessage("data message", start, 1 + definition.size, end);
    if (definition.global == kRecordMesg && m_track.points.size() >= kMaxRecords)
        return fail(ErrorCode::range, start,
                    "record message at offset " + std::to_string(start) + " is one more than the " +
                        std::to_string(kMaxRecords) + " a ride can have");
    takeMessage(definition, m_data.data() + start + 1, headerTime);
    next = start + 1 + definition.size;
    return Outcome::next;
}

void FitDecoder::takeMessage(const Definition& definition, const std::byte* p, double headerTime) {
    double values[static_cast<int>(Target::productName) + 1];
    std::fill(std::begin(values), std::end(values), kNone);
    for (const Field& field : definition.fields) {
        if (field.target == Target::productName) {
            if (field.baseType != kStringType || !m_productName.empty()) continue;
            std::string_view text = asText({p + field.offset, field.size});
            text = text.substr(0, text.find('\0'));
            m_productName = std::string(trimSpaces(text));
            if (!isUtf8(m_productName)) m_productName = cp1252ToUtf8(m_productName);
            continue;
        }
        values[static_cast<int>(field.target)] = fieldValue(p + field.offset, field, definition.bigEndian);
    }
    auto value = [&](Target target) { return values[static_cast<int>(target)]; };

    double time = value(Target::timestamp);
    if (std::isnan(time)) time = headerTime;
    if (!std::isnan(time) && time >= 0 && time <= 0xFFFFFFFF)
        m_lastTime = static_cast<std::uint32_t>(time);
    else
        time = kNone;
    const double unixTime = std::isnan(time) ? kNone : time + static_cast<double>(kFitEpochOffset);

    switch (definition.global) {
        case kRecordMesg: {
            TrackPoint point;
            point.time = unixTime;
            const double latitude = value(Target::latitude) * kDegreesPerSemicircle;
            const double longitude = value(Target::longitude) * kDegreesPerSemicircle;
            if (std::abs(latitude) <= 90 && std::abs(longitude) <= 180) {
                point.latitude = latitude;
                point.longitude = longitude;
            }
            double altitude = value(Target::enhancedAltitude);
            if (std::isnan(altitude)) altitude = value(Target::altitude);
            point.altitude = altitude / 5 - 500;
            point.distance = value(Target::distance) / 100;
            double speed = value(Target::enhancedSpeed);
            if (std::isnan(speed)) speed = value(Target::speed);
            point.speed = speed / 1000;
            point.part = m_part;
            m_track.points.push_back(point);
            break;
        }
        case kEventMesg: {
            if (value(Target::event) != kTimerEvent || std::isnan(unixTime)) break;
            const double type = value(Target::eventType);
            // stop, stop_all, stop_disable, stop_disable_all
            const bool stop = type == 1 || type == 4 || type == 8 || type == 9;
            if (stop && !m_timerStopped) {
                m_timerStopped = true;
                m_stopTime = unixTime;
            } else if (type == kEventStart && m_timerStopped) {
                m_timerStopped = false;
                if (unixTime >= m_stopTime) m_track.pauses.push_back(TimerPause{m_stopTime, unixTime});
            }
            break;
        }
        case kFileIdMesg:
            if (m_haveFileId) break;
            m_haveFileId = true;
            m_manufacturer = value(Target::manufacturer);
            m_product = value(Target::product);
            break;
        default:
            break;
    }
}

// The byte-wise table of the reflected polynomial 0xA001.
constexpr std::array<std::uint16_t, 256> kCrcTable = [] {
    std::array<std::uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned crc = i;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
        table[i] = static_cast<std::uint16_t>(crc);
    }
    return table;
}();

}  // namespace

bool looksLikeFit(std::span<const std::byte> head) {
    if (head.size() < kSignatureAt + kSignature.size()) return false;
    const std::uint8_t headerSize = byteAt(head, 0);
    return (headerSize == 12 || headerSize == 14) &&
           asText(head.subspan(kSignatureAt, kSignature.size())) == kSignature;
}

std::uint16_t fitCrc(std::span<const std::byte> data) {
    std::uint16_t crc = 0;
    for (const std::byte b : data)
        crc = static_cast<std::uint16_t>((crc >> 8) ^
                                         kCrcTable[(crc ^ std::to_integer<std::uint8_t>(b)) & 0xFF]);
    return crc;
}

Result<Track> readFitTrack(std::span<const std::byte> data) { return FitDecoder(data).run(); }

}  // namespace vb
