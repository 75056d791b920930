#pragma once
// velobridge-cli: the system's operations without a window.

#include <iosfwd>

namespace vb::cli {

/// Runs the command line with its arguments; returns the exit status
/// (0 done, 1 input refused or file not written, 2 wrong usage).
int run(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace vb::cli
