#include "app/Inventory.h"

#include "office/ProcessSurvey.h"
#include "office/UserInfo.h"
#include "sysinfo/FileSystem.h"
#include "sysinfo/Registry.h"

#include <shellapi.h>

namespace app {

using kel::TKelOfficeInfo;

const TDocumentType kDocumentTypes[4] = {
    {"xls",
     {"EXCEL.EXE"},
     "Xls",
     "Excel",
     &TKelOfficeInfo::XlsInfo,
     &TKelOfficeInfo::XlsProcessIds,
     "XlsProcess"},
    {"doc",
     {"WINWORD.EXE"},
     "Doc",
     "Word",
     &TKelOfficeInfo::DocInfo,
     &TKelOfficeInfo::DocProcessIds,
     "DocProcess"},
    {"Ppt",
     {"POWERPNT.EXE"},
     "Ppt",
     "PowerPoint",
     &TKelOfficeInfo::PptInfo,
     &TKelOfficeInfo::PptProcessIds,
     "PptProcess"},
    {"eml",
     {"OUTLOOK.EXE", "msimn.exe"},
     "Eml",
     "Outlook",
     &TKelOfficeInfo::EmlInfo,
     nullptr,
     nullptr},
};

void FindInOfficeRoots(const TKelOfficeInfo& info, const std::string& program,
                       kel::TKelExtInfo& record) {
    record.Clear();
    for (const std::string& line : info.VerList) {
        std::string version = kel::SplitVerListLine(line)[0];
        std::string root;
        // A product without an install root in this view (64-bit and Click-to-Run
        // Office) has its program folder in the line.
        if (kel::ReadRegString(HKEY_LOCAL_MACHINE,
                               "\\SOFTWARE\\Microsoft\\Office\\" + version +
                                   "\\Common\\InstallRoot",
                               "Path", root) != 0)
            root = kel::VerListColumnOf(line, kel::kColPath);
        if (root.empty())
            continue;
        std::string candidate = root + program;
        if (kel::FileExists(candidate)) {
            record.FileName = candidate;
            kel::ReadProductInfo(candidate, record.ProductInfo);
            record.IconHandle = ExtractIconA(GetModuleHandleA(nullptr), candidate.c_str(), 0);
            return;
        }
    }
}

void FindDocumentProgram(TKelOfficeInfo& info, const TDocumentType& type) {
    kel::TKelExtInfo& record = info.*type.record;
    kel::GetExtInfo(type.extension, type.accepted, record);
    if (record.FileName.empty()) {
        FindInOfficeRoots(info, type.accepted.front(), record);
        record.ExtName = type.fallbackExtName;
    }
    if (!record.FileName.empty())
        record.ViewName = type.viewName;
}

int GatherInventory(TKelOfficeInfo& info, kel::TUserInfoList& userInfo) {
    int status = kel::DetectOffice(info);
    if (status == 0) {
        kel::ReadUserInfo(info, userInfo);
        for (const TDocumentType& type : kDocumentTypes)
            if (type.processIds != nullptr)
                FindDocumentProgram(info, type);
    }
    FindDocumentProgram(info, kDocumentTypes[3]);
    return status;
}

bool HasProgramPage(const TKelOfficeInfo& info, const TDocumentType& type) {
    return !(info.*type.record).FileName.empty();
}

bool PageIsBuilt(const TKelOfficeInfo& info, bool officeFound, const std::string& viewName) {
    if (viewName == "Office")
        return officeFound;
    for (const TDocumentType& type : kDocumentTypes)
        if (viewName == type.viewName)
            return (officeFound || type.processIds == nullptr) && HasProgramPage(info, type);
    return false;
}

void SurveyRunningStates(TKelOfficeInfo& info) {
    for (const TDocumentType& type : kDocumentTypes) {
        const kel::TKelExtInfo& record = info.*type.record;
        if (type.processIds != nullptr && !record.FileName.empty())
            kel::SurveyProcesses(record, info.*type.processIds);
    }
}

} // namespace app
