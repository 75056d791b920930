#pragma once
// Helpers for the ride reader tests.

#include <string>
#include <string_view>

#include "base/Bytes.h"
#include "import/RideImport.h"
#include "support/RideLoad.h"

namespace vb::test {

/// The table as tab-separated lines, row 0 the titles.
inline std::string tableText(const SampleTable& table) { return tabSeparated(table); }

/// Texts of the messages shown, in order.
inline std::string shownTexts(const RecordingPrompter& prompter) {
    std::string out;
    for (const auto& m : prompter.messages) out += m.text + "|";
    return out;
}

inline Loaded loadHrm(RideRecord& ride, std::string_view content, RecordingPrompter& prompter,
                      std::string_view path = "C:\\rides\\test.hrm") {
    return loadHrmData(ride, path, toBytes(content), prompter);
}

}  // namespace vb::test
