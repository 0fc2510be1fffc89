// Today's Office laid into the test prefix: Microsoft 365 Apps installed by
// Click-to-Run (64-bit) and Office 2016 installed by Windows Installer (32-bit),
// both on 64-bit Windows. Each key goes to the registry view where the real
// installer puts it. Removal goes with sample::Remove.
#pragma once

#include <string>

namespace sample {

// Microsoft 365 Apps for enterprise, Japanese, 64-bit; its programs are 64-bit
// when the 64-bit fixture could be built.
void LayM365();
// Office Professional Plus 2016, 32-bit.
void LayOffice2016();

// Removes what LayM365, LayOffice2016 and LayTextInView recorded; safe when nothing
// was laid.
void RemoveModern();

// Writes a REG_SZ value into one registry view, named as "HKLM64", "HKLM32",
// "HKCR64" or "HKCR32" (creating the key), and records it for RemoveModern.
void LayTextInView(const char* view, const std::string& path, const std::string& name,
                   const std::string& value);

extern const char kM365EntryName[]; // its Uninstall entry
extern const char kM365DisplayName[];
extern const char kM365Version[];
extern const char kOffice2016Code[];
extern const char kOffice2016DisplayName[];
extern const char kOffice2016Version[];
extern const char kOffice2016ProductId[];

// Where the programs are: "C:\Program Files\Microsoft Office\root\Office16\" and
// "C:\Program Files (x86)\Microsoft Office\Office16\" (both ending with "\").
std::string M365Folder();
std::string Office2016Folder();

// The program folders of the 64-bit and the 32-bit view: "C:\Program Files" and
// "C:\Program Files (x86)".
std::string ProgramFiles64();
std::string ProgramFiles32();

} // namespace sample
