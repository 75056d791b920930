#pragma once
// The window's road through the ride readers, for tests below the window: the
// reader's warnings and errors go to a RecordingPrompter, which answers the
// append question.

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "base/Files.h"
#include "base/Prompter.h"
#include "import/RideImport.h"

namespace vb::test {

struct Loaded {
    bool refused = false;
    bool noData = false;
    std::string message;  // the refusal, or the last warning
    int samples = 0;
};

inline Loaded loadHrmData(RideRecord& ride, std::string_view myfile, std::span<const std::byte> data,
                          RecordingPrompter& p) {
    Loaded out;
    const auto parsed = readPolarFile(myfile, data);
    for (const auto& w : parsed.warnings()) p.showMessage(kTitleMsg, w.message, MessageIcon::critical);
    if (!parsed) {
        out.refused = true;
        out.message = parsed.error().message;
        p.showMessage(kTitleMsg, out.message, MessageIcon::critical);
        return out;
    }
    const bool append = appendsTo(ride, *parsed) && p.askYesNo(kTitleApp, kAskAppend);
    const auto loaded = loadPolarFile(ride, *parsed, append);
    if (!loaded) {
        (loaded.error().code == ErrorCode::empty ? out.noData : out.refused) = true;
        out.message = loaded.error().message;
        p.showMessage(kTitleMsg, out.message, MessageIcon::critical);
        return out;
    }
    out.samples = *loaded;
    for (const auto& w : loaded.warnings()) {
        out.message = w.message;
        p.showMessage(kTitleMsg, w.message, MessageIcon::information);
    }
    return out;
}

inline Loaded loadHac4Data(RideRecord& ride, std::span<const std::byte> data, RecordingPrompter& p) {
    Loaded out;
    const auto loaded = loadHac4File(ride, data);
    if (!loaded) {
        out.refused = true;
        out.message = loaded.error().message;
        p.showMessage(kTitleApp, out.message,
                      loaded.error().code == ErrorCode::unidentified ? MessageIcon::none : MessageIcon::critical);
        return out;
    }
    out.samples = *loaded;
    return out;
}

inline Loaded loadRideData(RideRecord& ride, RideFileType type, std::string_view myfile,
                           std::span<const std::byte> data, RecordingPrompter& p) {
    return type == RideFileType::hac4 ? loadHac4Data(ride, data, p) : loadHrmData(ride, myfile, data, p);
}

/// Reads and recognises a ride file; nullopt-like `ok == false` when it is unreadable or no ride.
inline Result<Loaded> importRideFile(RideRecord& ride, const std::filesystem::path& path, RecordingPrompter& p) {
    auto data = readFile(path, kRideFileMax);
    if (!data) return data.error();
    const RideFileType type = recogniseRideFile(*data);
    if (type == RideFileType::unknown) return makeError(ErrorCode::invalid, "not a ride file");
    return loadRideData(ride, type, displayPath(path), *data, p);
}

}  // namespace vb::test
