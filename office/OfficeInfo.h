// The Office inventory: the installed Office products and the primary one.
#pragma once

#include "office/OfficeKeys.h"
#include "office/ProcessNames.h"
#include "office/VerList.h"
#include "sysinfo/Association.h"
#include "sysinfo/ProductInfo.h"
#include "sysinfo/Registry.h"

#include <windows.h>

#include <array>
#include <string>
#include <vector>

namespace kel {

// The applications that get a page, in the order of their pages (Applications.h).
enum class TApplication { Excel, Word, PowerPoint, Outlook };
constexpr size_t kApplicationCount = 4;

class TKelOfficeInfo {
  public:
    TKelProductInfo Product; // version strings of the primary product
    std::string InstallPath; // its install folder, as stored (normally ending with "\")
    std::string SID;         // its product code, packed (PackProductCode of GUID)
    std::string GUID;        // its product code in braces: its Uninstall entry's name
    std::string ProductID;   // "不明" when no source holds one
    ProductLines VerList;    // one line per product, newest first
    // Per application: the program of its document type, and the processes running
    // it (surveyed for the applications with a running-state row).
    std::array<TKelExtInfo, kApplicationCount> Records;
    std::array<ProcessIds, kApplicationCount> Running;

    TKelExtInfo& Record(TApplication application) { return Records[indexOf(application)]; }
    const TKelExtInfo& Record(TApplication application) const {
        return Records[indexOf(application)];
    }
    ProcessIds& RunningIds(TApplication application) { return Running[indexOf(application)]; }
    const ProcessIds& RunningIds(TApplication application) const {
        return Running[indexOf(application)];
    }

    // The primary product's version as its VerList line has it ("11.0"): the one
    // that names its registry keys. Empty when no product was found. The version
    // resource's Product.MajorVersion is only shown, never made a key name: it may
    // be empty or hold a "\".
    const std::string& PrimaryVersion() const;

    void Clear();
    // The framed block "↓-- TKelOfficeInfo --↓" with the records' blocks inside; values
    // and VerList lines on one line each, as TKelProductInfo::Dump writes them.
    std::string Dump() const;

  private:
    static size_t indexOf(TApplication application) { return static_cast<size_t>(application); }
};

// The text shown when no product ID is found.
extern const char kUnknownProductId[];

// Fills info from the registry: 0 when at least one Office product was found, -1
// (info cleared) when none was. An AssertionFailure of ReadProductInfo passes through.
int DetectOffice(TKelOfficeInfo& info);

// Fills list with the VerList lines of the installed Office products, sorted
// newest first, and within a version the suite first: 0 when there is at least
// one. Lists the Windows Installer products of both registry views and the
// Click-to-Run products (see InstallerProducts.h, ClickToRun.h), and drops the
// hidden components of a version that has a product the machine shows.
int ListOfficeProducts(ProductLines& list);

// True when the folder exists and holds EXCEL.EXE, OUTLOOK.EXE or WINWORD.EXE.
bool IsOfficeFolder(const std::string& path);

// The Office page's icon: MSOFFICE.EXE or MSOHELP.EXE under InstallPath + "1041\",
// else the system's information icon. Always returns 0.
int GetOfficeIcon(const TKelOfficeInfo& info, HICON& icon);

} // namespace kel
