#include "app/Inventory.h"

#include "repair/OfficeRepair.h"

#include "office/ProcessSurvey.h"
#include "office/UserInfo.h"
#include "sysinfo/FileSystem.h"
#include "sysinfo/Registry.h"

#include <shellapi.h>

#include <vector>

namespace app {

using kel::TKelOfficeInfo;

namespace {

// The folders to look into for a listed product's programs: its version's install
// root in this view, then the folder of its line, which was found to hold Office.
// The install root can be empty or left behind by a removed Office.
std::vector<std::string> programFolders(const kel::TProductLine& line) {
    std::vector<std::string> folders;
    std::string root;
    kel::ReadRegString(HKEY_LOCAL_MACHINE, kel::InstallRootKey(line.version), "Path", root);
    for (const std::string& candidate : {root, line.installRoot})
        if (!candidate.empty() && (folders.empty() || folders.front() != candidate))
            folders.push_back(candidate);
    return folders;
}

} // namespace

void FindInOfficeRoots(const TKelOfficeInfo& info, const std::string& program,
                       kel::TKelExtInfo& record) {
    record.Clear();
    for (const kel::TProductLine& line : info.VerList) {
        for (const std::string& folder : programFolders(line)) {
            std::string candidate = folder + program;
            if (kel::FileExists(candidate)) {
                record.FileName = candidate;
                kel::ReadProductInfo(candidate, record.ProductInfo);
                record.IconHandle = ExtractIconA(GetModuleHandleA(nullptr), candidate.c_str(), 0);
                return;
            }
        }
    }
}

void FindDocumentProgram(TKelOfficeInfo& info, const TDocumentType& type) {
    kel::TKelExtInfo& record = info.Record(type.application);
    kel::GetExtInfo(type.extension, type.accepted, record);
    if (record.FileName.empty()) {
        FindInOfficeRoots(info, type.accepted.front(), record);
        record.ExtName = type.prefix;
    }
    if (!record.FileName.empty())
        record.ViewName = type.viewName;
}

int GatherInventory(TKelOfficeInfo& info, kel::TUserInfoList& userInfo) {
    int status = kel::DetectOffice(info);
    if (status == 0)
        kel::ReadUserInfo(info, userInfo);
    for (const TDocumentType& type : kDocumentTypes)
        if (kel::LooksForProgram(type, status == 0))
            FindDocumentProgram(info, type);
    return status;
}

bool PageExists(const TKelOfficeInfo& info, bool officeFound, kel::TPage page) {
    if (page == kel::TPage::Office)
        return officeFound;
    for (const TDocumentType& type : kDocumentTypes)
        if (page == kel::PageOf(type.application))
            return kel::LooksForProgram(type, officeFound) &&
                   !info.Record(type.application).FileName.empty(); // its program was found
    return page == kel::TPage::About;
}

void SurveyRunningStates(TKelOfficeInfo& info) {
    for (const TDocumentType& type : kDocumentTypes) {
        const kel::TKelExtInfo& record = info.Record(type.application);
        if (kel::HasRunningRow(type) && !record.FileName.empty())
            kel::SurveyProcesses(record, info.RunningIds(type.application));
    }
}

bool RowIsPresent(const kel::TAction& row, const kel::TKelOfficeInfo& info, bool officeFound) {
    if (row.kind == kel::TActionKind::RepairOffice &&
        !kel::OfficeRepairStartOf(info, kel::TRepairDepth::Quick))
        return false; // no Office this machine knows how to repair
    return row.subject == kel::TSubject::Windows || PageExists(info, officeFound, row.page);
}

} // namespace app
