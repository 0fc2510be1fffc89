// The Office clipboard and the IME on the logon screen. States are 0 or 1; the
// setters report nothing, the outcome is learnt by reading the state again.
#pragma once

#include "office/OfficeInfo.h"

namespace kel {

// 1 unless "AcbControl" of the main version's Common\General is 1.
int GetOfficeClipboard(const TKelOfficeInfo& info);
// For every installed version: state 0 writes AcbControl = 1, state 1 removes it.
void SetOfficeClipboard(const TKelOfficeInfo& info, int state);

// 1 when the default user's preload list holds the Japanese IME "e0010411".
int GetLogonIme();
// The rule (DecideLogonIme) never loses the list the logon screen uses and never
// leaves the switch stuck:
// - Nothing changes when the state already reads as asked.
// - State 0 (the current list holds the IME): the current list is kept as
//   "Preload_bak" and only "1" = "00000411" is left. A saved list that is already
//   there is a left-over (of an earlier move whose deletion failed, or of a list
//   the user has since changed): the current list is the newer one, so it replaces
//   the left-over instead of the switch refusing for ever. The current list moves
//   to "Preload_bak.new" first, and the left-over is deleted only then; when that
//   deletion or the last move fails, the current list goes back to "Preload".
// - State 1 with a saved list and a current list that holds nothing of the user's
//   (none, empty, or only the "00000411" that hiding wrote): the saved list is
//   brought back.
// - State 1 otherwise (no saved list, or a current list of the user's own): the
//   IME "e0010411" is added at the end of the current list (NextPreloadName); the
//   current list keeps all its layouts, and a saved list stays where it is.
// A step that fails part way leaves every list in at least one place, and the
// next click takes up from there.
void SetLogonIme(int state);

} // namespace kel
