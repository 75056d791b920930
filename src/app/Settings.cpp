#include "app/Settings.h"

#include <cstdlib>

#include "base/Files.h"

namespace vb {

std::string baseFolder(const Settings& settings) {
    if (!settings.my_path.empty()) return settings.my_path;
#ifdef _WIN32
    return "";  // joined as "\NAME": the root of the current drive
#else
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') return joinPath(home, "Velobridge");
    return "Velobridge";  // no home folder known: beside the current folder, never "/"
#endif
}

std::string workingFolder(const Settings& settings, std::string_view name) {
    return joinPath(baseFolder(settings), name);
}

}  // namespace vb
