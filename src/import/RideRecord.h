#pragma once
// The ride record: the one in-memory copy of the imported ride that route
// building, the program writers and the route view work on. It is filled by
// the HRM reader and the HAC4 reader; each import overwrites it, or extends it
// when the rider chooses to add a file.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "import/SampleTable.h"

namespace vb {

/// The six header texts shown in the "File Details" frame. Other operations
/// read the units and the interval back from these texts.
struct RideHeader {
    enum Field { kVersion = 0, kDate = 1, kMode = 2, kType = 3, kInterval = 4, kECode = 5 };
    static constexpr int kFieldCount = 6;

    std::array<std::string, kFieldCount> fields{"-", "-", "-", "-", "-", "-"};

    std::string& Version() { return fields[kVersion]; }
    std::string& Date() { return fields[kDate]; }
    std::string& Mode() { return fields[kMode]; }
    std::string& Type() { return fields[kType]; }
    std::string& Interval() { return fields[kInterval]; }
    std::string& ECode() { return fields[kECode]; }
    const std::string& Version() const { return fields[kVersion]; }
    const std::string& Date() const { return fields[kDate]; }
    const std::string& Mode() const { return fields[kMode]; }
    const std::string& Type() const { return fields[kType]; }
    const std::string& Interval() const { return fields[kInterval]; }
    const std::string& ECode() const { return fields[kECode]; }

    bool operator==(const RideHeader&) const = default;
};

/// Units texts of RideHeader::Type.
inline constexpr std::string_view kTypeMetric = "meter/meter";
inline constexpr std::string_view kTypeImperial = "miles/feet";

/// Status line texts.
inline constexpr std::string_view kStatusHrm = "HRM (Polar) File activ";
inline constexpr std::string_view kStatusHac4 = "HAC4 File activ";

/// Largest number of characters of a program name (the "Filename:" box holds no more).
inline constexpr std::size_t kProgramNameMax = 16;

struct RideRecord {
    SampleTable samples;
    RideHeader header;
    /// Recording-mode digits of the last HRM header: 1 where the digit is "1".
    std::array<std::int16_t, 16> ModeFlags{};
    /// Recording interval in seconds of the last HRM file (15 after resampling).
    std::int16_t RecordInterval = 0;
    /// Name of the programs written from this ride (UTF-8); set by the readers
    /// and by every change of the "Filename:" box.
    std::string ProgramName;
    /// The ride name the last reader wrote into the "Filename:" box (UTF-8).
    std::string FilenameBox = "-";
    /// Four-character identification tag written into programs; see Init_Kennung.
    std::string IdentTag;
    /// Status line of the "File Details" frame.
    std::string ImportStatus = "-";
    /// Whether "Calc 15sec Interval" is available (an HRM ride at 60 s was read).
    bool Calc15Available = false;

    RideRecord() { Format_SampleTable(samples); }
};

/// Sets `IdentTag` to "VLB" followed by the character with code 254, as the
/// 8-bit text that programs store (one byte per character).
void Init_Kennung(RideRecord& ride);

/// Writes a ride name into the "Filename:" box, which copies it into ProgramName.
void setFilenameBox(RideRecord& ride, std::string_view name);

}  // namespace vb
