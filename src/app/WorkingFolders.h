#pragma once
// The working folders under the base folder, made at start: "RLV" (RLV files),
// "HRM" (HRM files written from run files), "PGM" (programs), "PGMF_Conv" and
// "PGM_Conv" (the program converter).

#include <array>
#include <string_view>
#include <vector>

#include "app/Settings.h"
#include "base/Result.h"

namespace vb {

/// The five working folders, in the order they are made.
inline constexpr std::array<std::string_view, 5> kWorkingFolders = {"RLV", "HRM", "PGM", "PGMF_Conv", "PGM_Conv"};

/// Makes every working folder that is missing under the base folder in effect
/// (and the base folder itself). A folder that exists is left untouched. Every
/// folder is tried; the result lists one error (path and reason) per folder
/// that could not be made, empty when all exist.
std::vector<Error> Check_HRM_Dir(const Settings& settings);

}  // namespace vb
