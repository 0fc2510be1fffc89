// The byte limit of a one-line edit, as a limit on what the user types or pastes.
#pragma once

#include "sysinfo/ShiftJis.h"

#include <cstddef>
#include <string>

namespace ui {

struct LimitedEdit {
    std::string text; // the text to keep
    size_t caret;     // the end of what was inserted
};

// The user changed an edit's text from before to after (code page 932). A result
// within limitBytes is kept as it is. Otherwise, as a Windows edit replaces its
// selection, the text outside the change is kept whole, also when it alone is over
// the limit (text the program set is never cut), and the inserted text is cut at a
// character boundary so that the whole fits; nothing is inserted when nothing fits.
LimitedEdit LimitTypedText(const std::string& before, const std::string& after, size_t limitBytes);

} // namespace ui
