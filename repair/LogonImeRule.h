// The decision of the logon IME switch, from what the two preload lists hold.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kel {

// A preload list's values as (name, text) pairs, in registry order.
using PreloadValues = std::vector<std::pair<std::string, std::string>>;

struct PreloadFacts {
    bool currentExists = false;    // the preload list key
    bool currentHasIme = false;    // one of its layouts is "e0010411" (any letter case)
    bool currentIsOwnless = false; // it holds nothing of the user's (see IsOwnlessList);
                                   // never when it could not be read whole
    bool savedExists = false;      // the saved list "Preload_bak"
};

enum class LogonImeStep {
    Nothing,         // the list already reads as asked
    SetCurrentAside, // current list -> saved list (a left-over saved list is replaced);
                     // the current list becomes "1" = "00000411"
    BringSavedBack,  // the current list (ownless) is dropped, the saved list moved back
    AddIme,          // "e0010411" is added at the end of the current list
};

// True when a list holds nothing of the user's: no values, or only the value "1" =
// "00000411" that hiding writes.
bool IsOwnlessList(const PreloadValues& values);

// currentReadWhole: the current list is missing, or its key opened and every value
// in it was read; a list read only in part may hold what could not be read.
PreloadFacts FactsOf(bool currentExists, const PreloadValues& current, bool savedExists,
                     bool currentReadWhole);

LogonImeStep DecideLogonIme(int state, const PreloadFacts& facts);

// The name of a layout added at the end of a list: one more than the highest
// number among the value names ("1" for a list without any).
std::string NextPreloadName(const PreloadValues& values);

} // namespace kel
