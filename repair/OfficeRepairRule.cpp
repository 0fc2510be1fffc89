#include "repair/OfficeRepairRule.h"

#include "office/ClickToRunRules.h"
#include "sysinfo/TextRules.h"

#include <algorithm>
#include <vector>

namespace kel {

namespace {

bool isWordCharacter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9');
}

// A token of letters and digits and those of extra, 1 to 40 long.
bool isToken(const std::wstring& text, const std::wstring& extra) {
    return !text.empty() && text.size() <= 40 &&
           std::all_of(text.begin(), text.end(), [&](wchar_t c) {
               return isWordCharacter(c) || extra.find(c) != std::wstring::npos;
           });
}

// A full plain path to a file of that name (compared without regard to ASCII case).
bool isProgram(const std::wstring& path, const std::wstring& name) {
    return IsFullPlainPath(path) && path.size() > name.size() &&
           AsciiLower(path.substr(path.size() - name.size() - 1)) == L"\\" + AsciiLower(name) &&
           path.find_first_of(L"\"\r\n\t") == std::wstring::npos;
}

// "{8 - 4 - 4 - 4 - 12 hexadecimal digits}".
bool isProductCode(const std::wstring& code) {
    if (code.size() != 38 || code.front() != L'{' || code.back() != L'}')
        return false;
    for (size_t i = 1; i < 37; ++i) {
        bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        wchar_t c = code[i];
        bool hex = (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
        if (dash ? c != L'-' : !hex)
            return false;
    }
    return true;
}

// The words of text, separated by spaces and tabs.
std::vector<std::wstring> wordsOf(const std::wstring& text) {
    std::vector<std::wstring> words;
    for (size_t at = 0; (at = text.find_first_not_of(L" \t", at)) != std::wstring::npos;) {
        size_t end = text.find_first_of(L" \t", at);
        words.push_back(text.substr(at, end - at));
        at = end;
    }
    return words;
}

std::optional<TStart> clickToRunRepair(const TRepairFacts& facts, TRepairDepth depth) {
    std::wstring platform = AsciiLower(facts.platform);
    if (!isProgram(facts.service, L"OfficeClickToRun.exe") ||
        (platform != L"x86" && platform != L"x64" && platform != L"arm64") ||
        !isToken(facts.culture, L"-"))
        return std::nullopt;
    return TStart{TStart::Kind::Program, facts.service,
                  L"scenario=Repair platform=" + platform + L" culture=" +
                      AsciiLower(facts.culture) + L" RepairType=" +
                      (depth == TRepairDepth::Quick ? L"QuickRepair" : L"FullRepair") +
                      L" forceappshutdown=True DisplayLevel=False"};
}

} // namespace

std::optional<TStart> SetupControllerRepair(const std::wstring& uninstallCommand) {
    if (uninstallCommand.size() < 2 || uninstallCommand.front() != L'"')
        return std::nullopt;
    size_t close = uninstallCommand.find(L'"', 1);
    if (close == std::wstring::npos)
        return std::nullopt;
    std::wstring program = uninstallCommand.substr(1, close - 1);
    std::vector<std::wstring> words = wordsOf(uninstallCommand.substr(close + 1));
    bool withDll = words.size() == 4 && AsciiLower(words[2]) == L"/dll" && isToken(words[3], L".");
    if (!isProgram(program, L"setup.exe") || (words.size() != 2 && !withDll) ||
        AsciiLower(words[0]) != L"/uninstall" || !isToken(words[1], L"."))
        return std::nullopt;
    return TStart{TStart::Kind::Program, program,
                  L"/repair " + words[1] + (withDll ? L" /dll " + words[3] : L"")};
}

std::optional<TStart> OfficeRepairStart(const TRepairFacts& facts, TRepairDepth depth) {
    if (facts.kind == TInstallKind::ClickToRun)
        return clickToRunRepair(facts, depth);
    if (facts.kind != TInstallKind::WindowsInstaller || depth != TRepairDepth::Quick)
        return std::nullopt;
    if (facts.officeMajor >= 12)
        return SetupControllerRepair(facts.uninstallCommand);
    if (facts.officeMajor < 9 || !isProductCode(facts.productCode) ||
        !IsFullPlainPath(facts.systemFolder))
        return std::nullopt;
    return TStart{TStart::Kind::Program, facts.systemFolder + L"\\msiexec.exe",
                  L"/focum " + facts.productCode};
}

} // namespace kel
