#include "repair/OfficeRepairRule.h"

#include <gtest/gtest.h>

using namespace kel;

namespace {

// The repair of each kind and version of Office, and nothing where a part of the
// facts is no plain path, platform, culture, product or code.
TEST(OfficeRepairRule, EachInstallationGetsItsOwnRepair) {
    const std::wstring service = L"C:\\Program Files\\Common Files\\Microsoft "
                                 L"Shared\\ClickToRun\\OfficeClickToRun.exe";
    const std::wstring setup = L"C:\\Program Files (x86)\\Common Files\\Microsoft "
                               L"Shared\\OFFICE14\\Office Setup Controller\\setup.exe";
    const std::wstring code = L"{90110411-6000-11D3-8CFE-0150048383C9}";
    const TRepairDepth quick = TRepairDepth::Quick, online = TRepairDepth::Online;
    auto program = [](const std::wstring& path, const std::wstring& parameters) {
        return std::optional<TStart>(TStart{TStart::Kind::Program, path, parameters});
    };
    auto clickToRun = [&](const wchar_t* platform, const wchar_t* type) {
        return program(service, L"scenario=Repair platform=" + std::wstring(platform) +
                                    L" culture=ja-jp RepairType=" + type +
                                    L" forceappshutdown=True DisplayLevel=False");
    };
    auto c2r = [](const std::wstring& path, const wchar_t* platform, const wchar_t* culture) {
        TRepairFacts facts;
        facts.kind = TInstallKind::ClickToRun;
        facts.officeMajor = 16;
        facts.service = path;
        facts.platform = platform;
        facts.culture = culture;
        return facts;
    };
    auto msi = [](int major, const std::wstring& command) {
        TRepairFacts facts;
        facts.kind = TInstallKind::WindowsInstaller;
        facts.officeMajor = major;
        facts.uninstallCommand = command;
        return facts;
    };
    auto old = [&](int major, const std::wstring& productCode) {
        TRepairFacts facts = msi(major, L"");
        facts.productCode = productCode;
        facts.systemFolder = L"C:\\Windows\\System32";
        return facts;
    };
    const std::wstring quoted = L"\"" + setup + L"\"";
    struct Case {
        const char* name;
        TRepairFacts facts;
        TRepairDepth depth;
        std::optional<TStart> start;
    };
    const Case cases[] = {
        {"Microsoft 365", c2r(service, L"x64", L"ja-JP"), quick,
         clickToRun(L"x64", L"QuickRepair")},
        {"its online repair", c2r(service, L"X86", L"ja-jp"), online,
         clickToRun(L"x86", L"FullRepair")},
        {"a platform that is none", c2r(service, L"x64 evil=1", L"ja-jp"), quick, std::nullopt},
        {"a culture that is none", c2r(service, L"x64", L"ja-jp DisplayLevel=True"), quick,
         std::nullopt},
        {"no culture", c2r(service, L"x64", L""), quick, std::nullopt},
        {"a service of another name", c2r(L"C:\\x\\cmd.exe", L"x64", L"ja-jp"), quick,
         std::nullopt},
        {"a relative service", c2r(L"x\\OfficeClickToRun.exe", L"x64", L"ja-jp"), quick,
         std::nullopt},
        {"Office 2010", msi(14, quoted + L" /uninstall PROPLUS /dll OSETUP.DLL"), quick,
         program(setup, L"/repair PROPLUS /dll OSETUP.DLL")},
        {"Office 2007 without its DLL", msi(12, quoted + L" /uninstall ENTERPRISE"), quick,
         program(setup, L"/repair ENTERPRISE")},
        {"no online repair by Windows Installer", msi(14, quoted + L" /uninstall PROPLUS"), online,
         std::nullopt},
        {"an uninstall command of more", msi(14, quoted + L" /uninstall PROPLUS & calc"), quick,
         std::nullopt},
        {"an unquoted controller", msi(14, setup + L" /uninstall PROPLUS"), quick, std::nullopt},
        {"MsiExec as the uninstall command", msi(15, L"MsiExec.exe /X" + code), quick,
         std::nullopt},
        {"Office 2003", old(11, code), quick,
         program(L"C:\\Windows\\System32\\msiexec.exe", L"/focum " + code)},
        {"a code that is none", old(10, L"{x} /qn"), quick, std::nullopt},
        {"no Office", TRepairFacts(), quick, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OfficeRepairStart(c.facts, c.depth), c.start) << c.name;
}

} // namespace
