#pragma once
// The HRM reader's pieces below Load_Polar_File: storing one data line into
// one SampleTable row, and the texts of the messages it shows.

#include <cstdint>
#include <string_view>

#include "import/RideRecord.h"

namespace vb {

inline constexpr std::string_view kMsgNoAltitude = "Couldn't find ALTITUDE data";
inline constexpr std::string_view kMsgNoSpeed = "Couldn't find SPEED data";
inline constexpr std::string_view kAskAppend = "You like to add this file?";
inline constexpr std::string_view kMsgHeaderIncomplete =
    "No ride data was found: the file's header is incomplete.";

/// Stores one data line (`mypolar`, 8-bit text without its line end) into
/// SampleTable row `Index` + 1, taking speed and altitude from the fields that
/// ModeFlags name. Sets the row count to `Index` + 2 first; `Index` -1 only
/// truncates the table to its title row, `Index` 0 formats it.
void Store_Polar_Data(RideRecord& ride, std::string_view mypolar, std::int16_t Index);

/// The ride's title from a file path: the part after the last "\" or "/",
/// cut before its first ".", as UTF-8.
std::string polarTitle(std::string_view myfile);

}  // namespace vb
