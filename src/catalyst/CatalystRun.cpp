#include "catalyst/CatalystRun.h"

#include <cstring>
#include <type_traits>

namespace vb {

namespace {

/// Sets `table` to `entries` zero entries; a table of the right size is
/// cleared in place (all-zero bytes are the zero value of these types).
template <typename T>
void zeroTable(std::vector<T>& table, std::size_t entries) {
    static_assert(std::is_trivially_copyable_v<T>);
    if (table.size() != entries) table.assign(entries, T{});
    else std::memset(static_cast<void*>(table.data()), 0, entries * sizeof(T));
}

}  // namespace

void resetRun(CatalystRun& run) {
    run.FileName.clear();
    run.StoredName.clear();
    run.SectionCount = 0;
    zeroTable(run.Sections, kRunSectionEntries);
    zeroTable(run.SlopeProfile, kSlopeProfileEntries);
    zeroTable(run.Samples, kRunSampleEntries);
    run.DistanceOffset = 0;
    run.LastSample = 0;
    run.StartDateTime = {};
}

}  // namespace vb
