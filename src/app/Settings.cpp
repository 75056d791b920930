#include "app/Settings.h"

#include "base/Files.h"

namespace vb {

std::string defaultBaseFolder(const Environment& env) {
#ifdef _WIN32
    const auto home = env("USERPROFILE");
#else
    const auto home = env("HOME");
#endif
    return home ? joinPath(*home, "Velobridge") : "Velobridge";
}

std::string baseFolder(const Settings& settings) {
    if (!settings.my_path.empty()) return settings.my_path;
    return defaultBaseFolder(processEnvironment);
}

std::string workingFolder(const Settings& settings, std::string_view name) {
    return joinPath(baseFolder(settings), name);
}

}  // namespace vb
