// The program registered to open a document extension.
#pragma once

#include "sysinfo/ProductInfo.h"

#include <windows.h>

#include <string>
#include <vector>

namespace kel {

class TKelExtInfo {
  public:
    std::string ExtName;        // "Xls", "Doc", "Ppt", "Eml"
    HICON IconHandle = nullptr; // the handler's first icon; handed on, never destroyed here
    std::string FileName;       // the registered program, empty when none was found
    std::string ViewName;       // set by the caller; only cleared here
    TKelProductInfo ProductInfo;

    void Clear();
    // The framed block "↓-- TKelExtInfo --↓" with the product's block inside; values
    // on one line each, as TKelProductInfo::Dump writes them.
    std::string Dump() const;
};

// Follows the extension (with or without its dot, any case) to its class, the open
// command and the default icon under HKEY_CLASSES_ROOT. Returns 0 when the handler
// is one of the expected programs (matched as a case-blind substring of its path)
// and its icon file exists; -1 otherwise, with what was found so far kept.
// An AssertionFailure of ReadProductInfo passes through.
int GetExtInfo(const std::string& ext, const std::vector<std::string>& expected, TKelExtInfo& info);

// "ProgramFilesDir" of HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion, unexpanded;
// empty when missing.
std::string GetProgramFilesDir();

} // namespace kel
