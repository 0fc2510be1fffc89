#include "office/Applications.h"

#include <iterator>

namespace kel {

// clang-format off
const TDocumentType kDocumentTypeTable[] = {
    // application, extension, programs, prefix, menu item, running row, needs Office
    {TApplication::Excel,      "xls", {"EXCEL.EXE"},               "Xls", "Excel",      "XlsProcess", true},
    {TApplication::Word,       "doc", {"WINWORD.EXE"},             "Doc", "Word",       "DocProcess", true},
    {TApplication::PowerPoint, "Ppt", {"POWERPNT.EXE"},            "Ppt", "PowerPoint", "PptProcess", true},
    {TApplication::Outlook,    "eml", {"OUTLOOK.EXE", "msimn.exe"}, "Eml", "Outlook",    nullptr,      false},
};
// clang-format on

static_assert(std::size(kDocumentTypeTable) == kApplicationCount, "one row per application");
// A page per application, in the applications' order, between Office's and About.
static_assert(PageOf(TApplication::Excel) == TPage::Excel &&
                  PageOf(TApplication::Word) == TPage::Word &&
                  PageOf(TApplication::PowerPoint) == TPage::PowerPoint &&
                  PageOf(TApplication::Outlook) == TPage::Outlook &&
                  static_cast<size_t>(TPage::About) == kApplicationCount + 1,
              "a page per application, in order");

const char* PageName(TPage page) {
    switch (page) {
    case TPage::Office:
        return "Office";
    case TPage::Excel:
    case TPage::Word:
    case TPage::PowerPoint:
    case TPage::Outlook:
        return DocumentTypeOf(static_cast<TApplication>(static_cast<int>(page) - 1)).viewName;
    case TPage::About:
        return kAboutPageName;
    }
    return kAboutPageName;
}

const std::span<const TDocumentType> kDocumentTypes = kDocumentTypeTable;

const TDocumentType& DocumentTypeOf(TApplication application) {
    for (const TDocumentType& type : kDocumentTypes)
        if (type.application == application)
            return type;
    return kDocumentTypes[0];
}

} // namespace kel
