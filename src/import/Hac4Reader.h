#pragma once
// The HAC4 reader: loadHac4File reads a whole HAC4 file into the ride record.

#include <cstdint>
#include <string_view>

#include <span>

#include "base/Result.h"
#include "import/RideRecord.h"

namespace vb {

inline constexpr std::string_view kMsgUnknownHac4 = "Unknown HAC4 Format";

/// Reads a HAC4 ride (`data`, the whole file) into `ride` and returns its
/// number of samples. The whole file is checked first: a refused file leaves
/// `ride` as it was. A version other than 3.1.0 and 3.2.0 is
/// ErrorCode::unidentified (kMsgUnknownHac4).
Result<int> loadHac4File(RideRecord& ride, std::span<const std::byte> data);

/// Writes record `k` into SampleTable row k + 1 (number, speed, altitude as
/// decimal text). Sets the row count to k + 2 first; `k` 0 formats the table.
void storeHac4Record(SampleTable& table, std::int16_t k, std::int32_t speed, std::int16_t altitude);

}  // namespace vb
