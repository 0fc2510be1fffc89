// How Office documents behave when opened from Internet Explorer. Extensions are
// given without their dot, in any letter case ("xls", "Ppt"). States are 0 or 1;
// the setters report nothing, the outcome is learnt by reading the state again.
// A class name or class ID that is empty, not a string, holds "\\" or does not carry
// through code page 932 unchanged counts as missing: nothing is written for it.
#pragma once

#include <string>

namespace kel {

// 1 when the documents open inside Internet Explorer ("BrowserFlags" of the
// document class is not 8, or there is no class), 0 when they open in their own
// window.
int GetBrowserIntegration(const std::string& extension);
void SetBrowserIntegration(const std::string& extension, int state);

// 0 while any registry view holds the class's "LocalServer32" key in place (or
// the class or its CLSID is missing); 1 when no view does, where it is set aside
// under "_KelDisabled_" + "LocalServer32". CLSID is redirected: the setter moves
// the key in every view that holds it, the program's own and the other one (64-bit
// Office, and a 32-bit registration left beside it, for the 32-bit program).
int IsLocalServerDisabled(const std::string& extension);
// -1 when a view that holds the key to move could not move it (the change then
// fails, even where another view's state reads as asked).
int SetLocalServerDisabled(const std::string& extension, int state);

} // namespace kel
