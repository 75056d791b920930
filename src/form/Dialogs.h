#pragma once
// The port through which the window model shows message boxes and the
// file-open dialog. The desktop program implements it with Qt; the tests with
// a script of answers.

#include <string>
#include <string_view>

#include "base/Prompter.h"

namespace vb {

class Dialogs : public Prompter {
public:
    /// Shows the file-open dialog with a filter of description|pattern pairs
    /// ("(*.hrm Polar File)|*.hrm|(*.tur HAC4 File)|*.tur") starting in
    /// `initialFolder` (may be empty); returns the chosen full path, or "" when
    /// the rider cancels.
    virtual std::string openFile(std::string_view filter, std::string_view initialFolder) = 0;
};

}  // namespace vb
