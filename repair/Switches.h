// Every switch of the pages, one row each: where it is shown, what it says, how its
// state is read and how it is set. The pages build their button pairs from it and
// put them into their states, the actions run through it and read a switch back
// after setting it, and the report lists it. A new switch is a new row here.
#pragma once

#include "office/OfficeInfo.h"

#include <span>

namespace kel {

struct TSwitch {
    const char* page;  // the page holding the row: "Office", "Excel", ...
    int position;      // the row's place on its page, from the top (0 first)
    const char* row;   // "MsoClip": the pair SB_MsoClip1 ("する") / SB_MsoClip0 ("しない")
    const char* label; // the row's text
    int (*read)(const TKelOfficeInfo& info); // 1 "する", 0 "しない"; reads only
    // Makes the change: 0 when it was made, -1 when the setter knows it was not
    // (the change then fails whatever the state reads back).
    int (*set)(const TKelOfficeInfo& info, int state);
    bool ownAccount; // acts on the settings of the program's own account
};

extern const std::span<const TSwitch> kSwitches;

// The switch of a row ("MsoClip"), or nullptr when no switch has that row.
const TSwitch* FindSwitch(const std::string& row);

} // namespace kel
