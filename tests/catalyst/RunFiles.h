#pragma once
// Run files for the tests, laid out byte by byte from the field tables (there
// is no run-file writer in the system to borrow from).

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/Files.h"
#include "catalyst/RunFileReader.h"
#include "support/TestSupport.h"

namespace vb::test {

inline Bytes i16Bytes(int v) { return bytesOf({v & 0xFF, (v >> 8) & 0xFF}); }
inline Bytes i32Bytes(std::int64_t v) {
    return bytesOf({static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF),
                    static_cast<int>((v >> 24) & 0xFF)});
}
inline Bytes zeroBytes(std::size_t n) { return Bytes(n); }
inline Bytes textBytes(std::string_view s) { return toBytes(s); }

/// One 10-byte data record.
struct Record {
    float distance = 0;
    int heartRate = 0;
    int cadence = 0;
    int power = 0;
    int speed = 0;
};

inline Bytes recordBytes(const Record& r) {
    return f32Bytes(r.distance) + bytesOf({r.heartRate, r.cadence}) + i16Bytes(r.power) + i16Bytes(r.speed);
}

/// Appends `more` to `out` in place.
inline void append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

inline Bytes recordsBytes(const std::vector<Record>& records) {
    Bytes out;
    for (const auto& r : records) append(out, recordBytes(r));
    return out;
}

/// A V1.0 run file (.ca).
struct CaFile {
    Bytes nameField = textBytes("Hill Run");  // padded with zeros to 32 bytes
    int type = 1;
    std::optional<std::int64_t> sectionCount;  // default: the number of sections given
    std::vector<std::pair<double, double>> sections;  // value, length (km)
    std::array<int, 6> dateTime{2005, 6, 0, 12, 9, 5};
    Bytes beforeMarker = bytesOf({0x01, 0xFF, 0xFF, 0xFF, 0x00, 0x02});  // a run of three 0xFF does not count
    bool marker = true;
    Bytes skipped = bytesOf({9, 9, 9, 9, 9, 9, 9, 9, 9, 9});
    std::vector<Record> records;
};

inline Bytes caBytes(const CaFile& f) {
    Bytes name = f.nameField;
    name.resize(32);
    Bytes out = name + i32Bytes(7) + bytesOf({0x11, 0x22, 0x33, 0x34, f.type, 0x44, 0x55, 0x66}) + i32Bytes(8) +
                i32Bytes(f.sectionCount.value_or(static_cast<std::int64_t>(f.sections.size())));
    for (const auto& [value, length] : f.sections) append(out, i32Bytes(0) + f64Bytes(value) + f64Bytes(length));
    append(out, zeroBytes(524));
    for (int v : f.dateTime) append(out, i16Bytes(v));
    out = out + f.beforeMarker;
    if (f.marker) out = out + bytesOf({0xFF, 0xFF, 0xFF, 0xFF});
    return out + f.skipped + recordsBytes(f.records);
}

/// The offset of the first data record of caBytes(f), when it has a marker.
inline std::size_t caDataStart(const CaFile& f) {
    return 52 + 20 * f.sections.size() + 524 + 12 + f.beforeMarker.size() + 4 + f.skipped.size();
}

/// A block header: id, version 100, count, size.
inline Bytes blockHeader(int id, std::int64_t count, std::int64_t size) {
    return i16Bytes(id) + i16Bytes(100) + i32Bytes(count) + i32Bytes(size);
}

/// A V2.0 run file (.caf).
struct CafFile {
    std::string name = "Alpine";
    int type = 1;
    Bytes generalRest = zeroBytes(24);
    Bytes generalRecord;                              // when set: the whole general record (70 bytes)
    std::vector<Bytes> extraBlocks;                   // between the general and the program block
    bool programBlock = true;
    std::optional<std::int64_t> routeCount;           // default: the number of routes given
    std::vector<std::pair<float, float>> routes;      // length (m), value
    bool dataBlock = true;
    std::optional<std::int64_t> dataCount;            // default: the number of records given
    std::vector<Record> records;
    Bytes tail;                                       // after the records
};

inline Bytes cafGeneral(const CafFile& f) {
    Bytes units;
    for (char c : f.name) units = units + bytesOf({static_cast<unsigned char>(c), 0});
    units.resize(34);  // zero units to the end of the field
    if (!f.generalRecord.empty()) return blockHeader(1010, 1, 70) + f.generalRecord;
    return blockHeader(1010, 1, 70) + bytesOf({'V', 'L', 'B', 0xFE}) + units + i32Bytes(f.type) + i32Bytes(1) +
           f.generalRest;
}

inline Bytes cafBytes(const CafFile& f) {
    Bytes out = bytesOf({0xE8, 0x03, 0x64, 0x00}) + i32Bytes(3) + cafGeneral(f);
    for (const auto& block : f.extraBlocks) append(out, block);
    if (f.programBlock) {
        append(out, blockHeader(1020, f.routeCount.value_or(static_cast<std::int64_t>(f.routes.size())), 12));
        for (const auto& [length, value] : f.routes) append(out, f32Bytes(length) + f32Bytes(value) + f32Bytes(4.0f));
    }
    if (f.dataBlock)
        out = out + blockHeader(3020, f.dataCount.value_or(static_cast<std::int64_t>(f.records.size())), 10) +
              recordsBytes(f.records);
    return out + f.tail;
}

/// A run file read as the window reads it: the run info list, "Create HRM",
/// and the message a failure shows.
struct RunRead {
    std::string caption;
    std::vector<std::string> lines;
    bool createHrmEnabled = false;
    std::string failure;
    std::string reason;
    bool identified = true;
};

inline RunRead readRunFile(CatalystRun& run, std::span<const std::byte> data, const std::filesystem::path& path,
                           RunKind kind) {
    RunRead out;
    out.caption = runInfoCaption(kind);
    const auto read = vb::readRunFile(run, data, path, kind);
    if (read) {
        out.lines = *read;
        out.createHrmEnabled = run.LastSample > 0;
        return out;
    }
    out.reason = read.error().message;
    out.identified = read.error().code != ErrorCode::unidentified;
    out.failure = out.identified ? "Run file refused: " + out.reason + "\nFile: " + displayPath(path) : cantIdentify(path);
    return out;
}

}  // namespace vb::test
