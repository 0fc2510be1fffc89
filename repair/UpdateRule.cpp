#include "repair/UpdateRule.h"

namespace kel {

namespace {

constexpr int kOffice2007 = 12, kOffice2016 = 16;
constexpr unsigned long kWindowsVista = 6, kWindows10 = 10;

void addWindowsUpdate(const TUpdateFacts& facts, std::vector<TStart>& starts) {
    if (facts.officeMajor < kOffice2007 || facts.officeMajor > kOffice2016)
        return;
    // The settings page's handler is the user's to choose: never from an elevated
    // process.
    if (facts.windows.major >= kWindows10 && !facts.elevated)
        starts.push_back({TStart::Kind::Open, L"ms-settings:windowsupdate", L""});
    else if (facts.windows.major >= kWindowsVista && facts.windows.major < kWindows10 &&
             !facts.systemFolder.empty())
        starts.push_back({TStart::Kind::Program, facts.systemFolder + L"\\control.exe",
                          L"/name Microsoft.WindowsUpdate"});
}

} // namespace

std::vector<TStart> UpdateStarts(const TUpdateFacts& facts) {
    std::vector<TStart> starts;
    switch (facts.kind) {
    case TInstallKind::ClickToRun:
        // The client lies where the machine's registration names it, which only
        // administrators write: started elevated too.
        for (const std::wstring& client : facts.clients)
            starts.push_back({TStart::Kind::Program, client, L"/update user"});
        break;
    case TInstallKind::WindowsInstaller:
        addWindowsUpdate(facts, starts);
        break;
    case TInstallKind::None:
        break;
    }
    starts.push_back({TStart::Kind::Page, facts.updatePage, L""});
    return starts;
}

const char* StartKindName(TStart::Kind kind) {
    switch (kind) {
    case TStart::Kind::Program:
        return "program";
    case TStart::Kind::Open:
        return "open";
    case TStart::Kind::Page:
        return "page";
    }
    return "";
}

} // namespace kel
