#pragma once
// The HAC4 reader's pieces below Load_Hac4_File: storing one record into one
// SampleTable row, and the texts of the messages it shows.

#include <cstdint>
#include <string_view>

#include "import/SampleTable.h"

namespace vb {

inline constexpr std::string_view kMsgUnknownHac4 = "Unknown HAC4 Format";

/// Writes record `k` into SampleTable row k + 1 (number, speed, altitude as
/// decimal text). Sets the row count to k + 2 first; `k` 0 formats the table.
void storeHac4Record(SampleTable& table, std::int16_t k, std::int32_t speed, std::int16_t altitude);

}  // namespace vb
