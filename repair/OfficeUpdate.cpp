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

TInstallKind kindOf(const TKelOfficeInfo& info) {
    if (info.VerList.empty())
        return TInstallKind::None;
    return info.VerList.front().code.empty() ? TInstallKind::ClickToRun
                                             : TInstallKind::WindowsInstaller;
}

} // namespace

TUpdateFacts UpdateFactsOf(const TKelOfficeInfo& info) {
    TUpdateFacts facts;
    facts.kind = kindOf(info);
    facts.officeMajor = std::max(VersionMajorNumber(info.PrimaryVersion()), 0);
    if (facts.kind == TInstallKind::ClickToRun)
        facts.clients = ClickToRunClients();
    facts.windows = gWindowsVersion();
    facts.systemFolder = SystemFolder();
    facts.updatePage = AnsiToWide(kOfficeUpdateUrl);
    facts.elevated = gProcessElevated();
    return facts;
}

std::vector<TStart> OfficeUpdateStarts(const TKelOfficeInfo& info) {
    return UpdateStarts(UpdateFactsOf(info));
}

std::optional<TStart> StartOfficeUpdate(const TKelOfficeInfo& info) {
    for (const TStart& start : OfficeUpdateStarts(info))
        if (StartOne(start))
            return start;
    return std::nullopt;
}

} // namespace kel
