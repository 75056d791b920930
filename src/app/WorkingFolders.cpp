#include "app/WorkingFolders.h"

#include "base/Files.h"

namespace vb {

std::vector<Error> Check_HRM_Dir(const Settings& settings) {
    std::vector<Error> failed;
    for (std::string_view name : kWorkingFolders) {
        auto made = ensureFolder(pathFromUtf8(workingFolder(settings, name)));
        if (!made) failed.push_back(made.error());
    }
    return failed;
}

}  // namespace vb
