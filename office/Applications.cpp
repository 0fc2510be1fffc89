#include "office/Applications.h"

#include <iterator>

namespace kel {

// clang-format off
const TDocumentType kDocumentTypeTable[] = {
    // application, extension, programs, fallback class, menu item, record, running row
    {TApplication::Excel,      "xls", {"EXCEL.EXE"},               "Xls", "Excel",      "XlsInfo", "XlsProcess"},
    {TApplication::Word,       "doc", {"WINWORD.EXE"},             "Doc", "Word",       "DocInfo", "DocProcess"},
    {TApplication::PowerPoint, "Ppt", {"POWERPNT.EXE"},            "Ppt", "PowerPoint", "PptInfo", "PptProcess"},
    {TApplication::Outlook,    "eml", {"OUTLOOK.EXE", "msimn.exe"}, "Eml", "Outlook",    "EmlInfo", nullptr},
};
// clang-format on

static_assert(std::size(kDocumentTypeTable) == kApplicationCount, "one row per application");

const std::span<const TDocumentType> kDocumentTypes = kDocumentTypeTable;

const TDocumentType& DocumentTypeOf(TApplication application) {
    for (const TDocumentType& type : kDocumentTypes)
        if (type.application == application)
            return type;
    return kDocumentTypes[0];
}

} // namespace kel
