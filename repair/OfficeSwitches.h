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
// State 0 keeps the full list as "Preload_bak" and leaves only "00000411"; state 1
// brings the kept list back. No list of layouts is ever thrown away: nothing
// changes when the state already reads as asked; hiding needs no kept list to be
// there yet; showing needs a kept list, and a preload list that is missing or
// holds only the "00000411" that hiding wrote. Otherwise the state stays as it
// was, and the caller reports that it could not be changed.
void SetLogonIme(int state);

} // namespace kel
