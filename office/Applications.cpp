#include "office/Applications.h"

namespace kel {

const TDocumentType kDocumentTypes[4] = {
    {TApplication::Excel,
     "xls",
     {"EXCEL.EXE"},
     "Xls",
     "Excel",
     "XlsInfo",
     &TKelOfficeInfo::XlsInfo,
     &TKelOfficeInfo::XlsProcessIds,
     "XlsProcess"},
    {TApplication::Word,
     "doc",
     {"WINWORD.EXE"},
     "Doc",
     "Word",
     "DocInfo",
     &TKelOfficeInfo::DocInfo,
     &TKelOfficeInfo::DocProcessIds,
     "DocProcess"},
    {TApplication::PowerPoint,
     "Ppt",
     {"POWERPNT.EXE"},
     "Ppt",
     "PowerPoint",
     "PptInfo",
     &TKelOfficeInfo::PptInfo,
     &TKelOfficeInfo::PptProcessIds,
     "PptProcess"},
    {TApplication::Outlook,
     "eml",
     {"OUTLOOK.EXE", "msimn.exe"},
     "Eml",
     "Outlook",
     "EmlInfo",
     &TKelOfficeInfo::EmlInfo,
     nullptr,
     nullptr},
};

const TDocumentType& DocumentTypeOf(TApplication application) {
    for (const TDocumentType& type : kDocumentTypes)
        if (type.application == application)
            return type;
    return kDocumentTypes[0];
}

} // namespace kel
