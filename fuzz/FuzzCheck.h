#pragma once
// The fuzz targets' invariant check: a broken invariant stops the run as a
// crash, so that libFuzzer keeps the input that broke it.

namespace vb::fuzz {

inline void check(bool condition) {
    if (!condition) __builtin_trap();
}

}  // namespace vb::fuzz
