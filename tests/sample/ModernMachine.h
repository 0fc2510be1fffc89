// Today's Office laid into the test prefix, each kind on 64-bit Windows: Microsoft
// 365 Apps (Click-to-Run, 64-bit), Office LTSC Standard 2021 (volume Click-to-Run,
// 32-bit), Office Home and Business 2013 (Click-to-Run, 32-bit), Office 2016 and
// Office Personal 2010 (Windows Installer, 32-bit). Each key goes to the registry
// view where the real installer puts it. Removal goes with sample::Remove.
#pragma once

#include <string>

namespace sample {

// Microsoft 365 Apps for enterprise, Japanese, 64-bit; its programs are 64-bit
// when the 64-bit fixture could be built.
void LayM365();
// Office Professional Plus 2016, 32-bit.
void LayOffice2016();
// Office Personal 2010 with its language, proofing and shared parts, 32-bit.
void LayOffice2010();
// Office Home and Business 2013, retail Click-to-Run, 32-bit.
void LayOffice2013ClickToRun();
// Office LTSC Standard 2021, volume Click-to-Run, 32-bit, with Access LTSC 2021.
void LayLtsc2021();

// A sample machine of today's Office and what the program must show for it.
struct ModernMachine {
    const char* option; // sample_machine lay's option: "--m365"
    void (*lay)();
    const char* displayName; // the suite's
    const char* version;     // the suite's, and its programs'
    const char* productId;   // empty where the installation keeps none
    std::string (*folder)(); // its program folder, ending with "\"
};
extern const ModernMachine kModernMachines[5];

// Removes what the Lay functions above and LayTextInView recorded; safe when nothing
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
extern const char kOffice2010Code[];
extern const char kOffice2010DisplayName[];
extern const char kOffice2010Version[];
extern const char kOffice2010ProductId[];
extern const char kOffice2013DisplayName[];
extern const char kOffice2013Version[];
extern const char kLtsc2021DisplayName[];
extern const char kLtsc2021Version[];

// Where the programs are: "C:\Program Files\Microsoft Office\root\Office16\" and
// "C:\Program Files (x86)\Microsoft Office\Office16\" (both ending with "\").
std::string M365Folder();
std::string Office2016Folder();
std::string Office2010Folder();
std::string Office2013Folder();
std::string Ltsc2021Folder();

// The program folders of the 64-bit and the 32-bit view: "C:\Program Files" and
// "C:\Program Files (x86)".
std::string ProgramFiles64();
std::string ProgramFiles32();

} // namespace sample
