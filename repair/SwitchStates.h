// Every switch of the pages with the getter of its state, by the name of its row:
// the pages put their button pairs into these states, the actions read a switch
// back after setting it, and the report lists them.
#pragma once

#include "office/OfficeInfo.h"

namespace kel {

struct TSwitchState {
    const char* row;                         // "MsoClip": the pair SB_MsoClip1 / SB_MsoClip0
    const char* page;                        // the page holding the row: "Office", "Excel", ...
    int (*read)(const TKelOfficeInfo& info); // 1 "する", 0 "しない"; reads only
};

extern const TSwitchState kSwitchStates[7];

// The switch of a row ("MsoClip"), or nullptr when no switch has that row.
const TSwitchState* FindSwitchState(const char* row);

} // namespace kel
