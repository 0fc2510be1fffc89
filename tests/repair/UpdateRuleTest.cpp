#include "repair/UpdateRule.h"

#include <gtest/gtest.h>

using namespace kel;

namespace {

const TWindowsVersion kWindowsXp{5, 1, 2600}, kWindows7{6, 1, 7601}, kWindows81{6, 3, 9600},
    kWindows10v1909{10, 0, 18363}, kWindows10v22H2{10, 0, 19045}, kWindows11{10, 0, 22631};

// The update row's starts for each kind and version of Office on each Windows: the
// clients, Windows Update or nothing, and always the page last; elevated, nothing the
// user's settings choose (the clients are the machine's registration's).
TEST(UpdateRule, EachInstallationGetsItsOwnUpdateThenThePage) {
    const std::wstring client = L"C:\\Shared\\ClickToRun\\OfficeC2RClient.exe";
    const std::wstring client64 = L"C:\\Office 15\\ClientX64\\OfficeC2RClient.exe",
                       client86 = L"C:\\Office 15\\ClientX86\\OfficeC2RClient.exe";
    const TStart page{TStart::Kind::Page, L"https://updates/", L""};
    const TStart settings{TStart::Kind::Open, L"ms-settings:windowsupdate", L""};
    const TStart controlPanel{TStart::Kind::Program, L"C:\\Windows\\System32\\control.exe",
                              L"/name Microsoft.WindowsUpdate"};
    auto update = [](const std::wstring& program) {
        return TStart{TStart::Kind::Program, program, L"/update user"};
    };
    struct Case {
        const char* name;
        TInstallKind kind;
        int major;
        std::vector<std::wstring> clients;
        TWindowsVersion windows;
        std::vector<TStart> starts;
        bool elevated = false;
    };
    const TInstallKind c2r = TInstallKind::ClickToRun, msi = TInstallKind::WindowsInstaller;
    const Case cases[] = {
        {"Microsoft 365 on Windows 11", c2r, 16, {client}, kWindows11, {update(client), page}},
        {"Office 2013 C2R",
         c2r,
         15,
         {client64, client86},
         kWindows7,
         {update(client64), update(client86), page}},
        {"C2R without a named client", c2r, 16, {}, kWindows11, {page}},
        {"Office 2016 MSI on Windows 11", msi, 16, {}, kWindows11, {settings, page}},
        {"Office 2016 MSI on Windows 10", msi, 16, {}, kWindows10v22H2, {settings, page}},
        {"Office 2010 MSI on Windows 8.1", msi, 14, {}, kWindows81, {controlPanel, page}},
        {"Office 2007 MSI on Windows 7", msi, 12, {}, kWindows7, {controlPanel, page}},
        {"Office 2007 MSI on Windows XP", msi, 12, {}, kWindowsXp, {page}},
        {"Office 2003", msi, 11, {}, kWindows10v22H2, {page}},
        {"Office 2000", msi, 9, {}, kWindows7, {page}},
        {"no Office", TInstallKind::None, 0, {}, kWindows11, {page}},
        // Elevated: no client and no settings page, the control panel item stays.
        {"Microsoft 365 elevated", c2r, 16, {client}, kWindows11, {update(client), page}, true},
        {"Office 2016 MSI on Windows 10 elevated", msi, 16, {}, kWindows10v22H2, {page}, true},
        {"Office 2010 MSI on Windows 8.1 elevated",
         msi,
         14,
         {},
         kWindows81,
         {controlPanel, page},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TUpdateFacts facts;
        facts.kind = c.kind;
        facts.officeMajor = c.major;
        facts.clients = c.clients;
        facts.windows = c.windows;
        facts.systemFolder = L"C:\\Windows\\System32";
        facts.updatePage = page.target;
        facts.elevated = c.elevated;
        EXPECT_EQ(UpdateStarts(facts), c.starts);
    }
    EXPECT_STREQ(StartKindName(TStart::Kind::Open), "open");
}

// Internet Explorer is started only where it still browses, never from a process
// with administrator rights; the default browser comes after it or alone.
TEST(UpdateRule, PagesGoToInternetExplorerOnlyWhereItStillBrowses) {
    using Ways = std::vector<TBrowserWay>;
    const Ways both = {TBrowserWay::InternetExplorer, TBrowserWay::DefaultBrowser},
               browser = {TBrowserWay::DefaultBrowser};
    const std::pair<TWindowsVersion, Ways> cases[] = {
        {kWindowsXp, both},         {kWindows7, both},
        {kWindows81, both},         {kWindows10v1909, both},
        {{10, 0, 19041}, both},     {{10, 0, kInternetExplorerRetiredBuild}, browser},
        {kWindows10v22H2, browser}, {kWindows11, browser},
    };
    for (const auto& [windows, ways] : cases) {
        SCOPED_TRACE(windows.build);
        EXPECT_EQ(BrowserWays(windows, false), ways);
        EXPECT_EQ(BrowserWays(windows, true), Ways{});
    }
    // Only web addresses reach the default browser.
    const std::pair<const char*, bool> addresses[] = {
        {"http://example.com/", true},
        {"HTTPS://example.com/", true},
        {"Http://", true},
        {"https:/example.com", false},
        {"httpx://example.com", false},
        {"file:///C:/Windows/notepad.exe", false},
        {"ms-settings:", false},
        {"C:\\Windows\\notepad.exe", false},
        {"", false},
        {" http://example.com/", false},
    };
    for (const auto& [address, web] : addresses)
        EXPECT_EQ(IsWebAddress(address), web) << address;
}

} // namespace
