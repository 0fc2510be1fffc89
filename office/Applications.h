// The applications that get a page, one row each: the document type that finds the
// program, the page's menu item, the inventory's record of it and, for Excel, Word
// and PowerPoint, its running-state row. The pages, the report, the survey and the
// actions walk it; a new application page is a new row here.
#pragma once

#include "office/OfficeInfo.h"

#include <span>
#include <string>
#include <vector>

namespace kel {

struct TDocumentType {
    TApplication application;
    const char* extension;
    std::vector<std::string> accepted; // the first is looked for in the install roots
    // "Xls": the record's class name where no document class names one, and the head
    // of the names the memo and the report give its record ("XlsInfo") and its process
    // list ("XlsProcessIds").
    const char* prefix;
    const char* viewName;   // the page's menu item
    const char* processRow; // "XlsProcess": LL_ and BB_ of the row; nullptr: none
    // Its program is looked for, and its page made, only where Office was found: the
    // pages of Office's own programs. Outlook Express's mail program has a page
    // without Office.
    bool needsOffice;
};

// The window's pages that hold rows: the Office page, one per application (in the
// order of kDocumentTypes), and the About page.
enum class TPage { Office, Excel, Word, PowerPoint, Outlook, About };
constexpr TPage PageOf(TApplication application) {
    return static_cast<TPage>(static_cast<int>(application) + 1);
}
// The page's menu item, and the name its group box is made of: "Office", "Excel", ...
const char* PageName(TPage page);
// The About page's, known when the program is compiled.
inline constexpr char kAboutPageName[] = "About";

// Excel, Word, PowerPoint, Outlook: in the order the pages are built and reported.
extern const std::span<const TDocumentType> kDocumentTypes;

const TDocumentType& DocumentTypeOf(TApplication application);

// The names of its record and of its process list in the memo and the report.
inline std::string RecordName(const TDocumentType& type) {
    return std::string(type.prefix) + "Info";
}
inline std::string ProcessIdsName(const TDocumentType& type) {
    return std::string(type.prefix) + "ProcessIds";
}

// Whether the application's page has a running-state row, and its processes are
// surveyed.
inline bool HasRunningRow(const TDocumentType& type) {
    return type.processRow != nullptr;
}

// Whether the application's program is looked for, and its page made: always, or
// where Office was found.
inline bool LooksForProgram(const TDocumentType& type, bool officeFound) {
    return officeFound || !type.needsOffice;
}

} // namespace kel
