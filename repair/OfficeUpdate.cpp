#include "repair/OfficeUpdate.h"

#include "office/ClickToRun.h"
#include "sysinfo/Account.h"
#include "sysinfo/MachineFacts.h"
#include "sysinfo/Start.h"
#include "sysinfo/SystemLibrary.h"
#include "sysinfo/Text.h"
#include "sysinfo/WebPage.h"

#include <algorithm>

namespace kel {

namespace {

// The facts UpdateStarts chooses by: the primary product's kind and version, the
// Click-to-Run clients the registrations name, the Windows it runs on, the system
// folder, the update page and the process's rights.
TUpdateFacts updateFactsOf(const TKelOfficeInfo& info) {
    TUpdateFacts facts;
    facts.kind = InstallKindOf(info);
    facts.officeMajor = std::max(VersionMajorNumber(info.PrimaryVersion()), 0);
    if (facts.kind == TInstallKind::ClickToRun)
        facts.clients = ClickToRunClients();
    facts.windows = gWindowsVersion();
    facts.systemFolder = SystemFolder();
    facts.updatePage = AnsiToWide(kOfficeUpdateUrl);
    facts.elevated = gProcessElevated();
    return facts;
}

} // namespace

TInstallKind InstallKindOf(const TKelOfficeInfo& info) {
    if (info.VerList.empty())
        return TInstallKind::None;
    return info.VerList.front().IsClickToRun() ? TInstallKind::ClickToRun
                                               : TInstallKind::WindowsInstaller;
}

std::vector<TStart> OfficeUpdateStarts(const TKelOfficeInfo& info) {
    return UpdateStarts(updateFactsOf(info));
}

bool StartOfficeUpdate(const TKelOfficeInfo& info) {
    for (const TStart& start : OfficeUpdateStarts(info))
        if (StartOne(start))
            return true;
    return false;
}

} // namespace kel
