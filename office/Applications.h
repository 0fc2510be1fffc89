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
    const char* fallbackExtName;
    const char* viewName;   // the page's menu item
    const char* recordName; // the record's name in the memo and the report: "XlsInfo"
    const char* processRow; // "XlsProcess": LL_ and BB_ of the row; nullptr: none
};

// Excel, Word, PowerPoint, Outlook: in the order the pages are built and reported.
extern const std::span<const TDocumentType> kDocumentTypes;

const TDocumentType& DocumentTypeOf(TApplication application);

// Whether the application's page has a running-state row, and its processes are
// surveyed.
inline bool HasRunningRow(const TDocumentType& type) {
    return type.processRow != nullptr;
}

// Whether the application's page is built only when Office was found: the pages of
// Office's own programs, which have a running-state row. Outlook Express's mail
// program has a page without Office.
inline bool NeedsOffice(const TDocumentType& type) {
    return HasRunningRow(type);
}

} // namespace kel
