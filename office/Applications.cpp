#include "office/Applications.h"

#include <iterator>

namespace kel {

// clang-format off
const TDocumentType kDocumentTypeTable[] = {
    // application, extension, programs, fallback class, menu item, record, running row,
    // needs Office
    {TApplication::Excel,      "xls", {"EXCEL.EXE"},               "Xls", "Excel",      "XlsInfo", "XlsProcess", true},
    {TApplication::Word,       "doc", {"WINWORD.EXE"},             "Doc", "Word",       "DocInfo", "DocProcess", true},
    {TApplication::PowerPoint, "Ppt", {"POWERPNT.EXE"},            "Ppt", "PowerPoint", "PptInfo", "PptProcess", true},
    {TApplication::Outlook,    "eml", {"OUTLOOK.EXE", "msimn.exe"}, "Eml", "Outlook",    "EmlInfo", nullptr,      false},
};
// clang-format on

static_assert(std::size(kDocumentTypeTable) == kApplicationCount, "one row per application");
static_assert(PageOf(TApplication::Outlook) == TPage::Outlook, "a page per application, in order");

const char* PageName(TPage page) {
    switch (page) {
    case TPage::Office:
        return "Office";
    case TPage::About:
        return "About";
    default:
        return DocumentTypeOf(static_cast<TApplication>(static_cast<int>(page) - 1)).viewName;
    }
}

const std::span<const TDocumentType> kDocumentTypes = kDocumentTypeTable;

const TDocumentType& DocumentTypeOf(TApplication application) {
    for (const TDocumentType& type : kDocumentTypes)
        if (type.application == application)
            return type;
    return kDocumentTypes[0];
}

} // namespace kel
