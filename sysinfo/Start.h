// Starting what the user asked to see: a program or an address the shell opens.
#pragma once

#include "sysinfo/StartRules.h"

namespace kel {

// How a started program's window shows.
enum class TShow { Normal, MinimizedInactive };

// Starts a TStart of kind Program (its path quoted, with the caller's rights; with
// MinimizedInactive it shows minimized, not activated, and the call returns once
// the program waits for input) or Open (the shell's "open" verb on the address).
// True when it started. Tests put one there that records the starts.
extern bool (*gStart)(const TStart& start, TShow show);

// Starts one way of a list: a Page through OpenUrl, anything else through gStart.
bool StartOne(const TStart& start);

} // namespace kel
