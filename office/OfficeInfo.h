// The Office inventory: the installed Office products and the primary one.
#pragma once

#include "sysinfo/Association.h"
#include "sysinfo/ProductInfo.h"
#include "sysinfo/Registry.h"

#include <windows.h>

#include <string>
#include <vector>

namespace kel {

class TKelOfficeInfo {
  public:
    TKelProductInfo Product; // version strings of the primary product
    std::string InstallPath; // its install folder, as stored (normally ending with "\")
    std::string SID;         // its product code, packed (PackProductCode of GUID)
    std::string GUID;        // its product code in braces: its Uninstall entry's name
    std::string ProductID;   // "不明" when no source holds one
    StringList VerList;      // one VerList line per product, newest first
    StringList XlsProcessIds;
    StringList DocProcessIds;
    StringList PptProcessIds;
    TKelExtInfo XlsInfo;
    TKelExtInfo DocInfo;
    TKelExtInfo PptInfo;
    TKelExtInfo EmlInfo;

    void Clear();
    std::string Dump() const;
};

// The one inventory of the running program, owned by the main window.
extern TKelOfficeInfo* gOfficeInfo;

// The text shown when no product ID is found.
extern const char kUnknownProductId[];

// VerList line columns: version ("11.0"), product code, display name, display
// version, product ID, install root. Columns are separated by one tab; an empty
// column keeps its place.
enum VerListColumn { kColVersion, kColCode, kColName, kColDisplayVersion, kColProductId, kColPath };
StringList SplitVerListLine(const std::string& line);
std::string VerListColumnOf(const std::string& line, int column); // empty when absent

// A version such as "11.0" as a decimal number; false when the text is empty or is
// not a decimal number.
bool ParseVersion(const std::string& text, double& version);
// True when both parse and are numerically equal; a version that does not parse
// equals nothing.
bool SameVersion(const std::string& a, const std::string& b);

// Fills info from the registry: 0 when at least one Office product was found, -1
// (info cleared) when none was. An AssertionFailure of ReadProductInfo passes through.
int DetectOffice(TKelOfficeInfo& info);

// Fills list with the VerList lines of the installed Office products, sorted
// newest first: 0 when there is at least one. Lists the Windows Installer products
// of the program's own registry view, then those of the other view and the
// Click-to-Run suites (see InstallerProducts.h, ClickToRun.h).
int ListOfficeProducts(StringList& list);

// -1 when line index1 has the greater version, 1 when the smaller, 0 when equal.
int CompareVersionLines(const StringList& list, int index1, int index2);

// True when the folder exists and holds EXCEL.EXE, OUTLOOK.EXE or WINWORD.EXE.
bool IsOfficeFolder(const std::string& path);

// "{12345678-9ABC-DEF0-1234-56789ABCDEF0}" gives "87654321CBA90FED21436587A9CBED0F";
// a shorter input is cut at its first missing position.
std::string PackProductCode(const std::string& code);

// The Office page's icon: MSOFFICE.EXE or MSOHELP.EXE under InstallPath + "1041\",
// else the system's information icon. Always returns 0.
int GetOfficeIcon(const TKelOfficeInfo& info, HICON& icon);

} // namespace kel
