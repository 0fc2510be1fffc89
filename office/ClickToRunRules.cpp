#include "office/ClickToRunRules.h"

#include "sysinfo/ShiftJis.h"

#include <algorithm>
#include <iterator>

namespace kel {

namespace {

// Products installed by Click-to-Run beside a suite that hold none of its programs.
const char* const kOtherPrefixes[] = {
    "Visio", "Project", "LanguagePack", "ProofingTools", "SkypeForBusiness", "AccessRuntime",
};
// The suites: Microsoft 365, Professional Plus, Professional, Standard, Home and
// Business, Home and Student, Home, Personal, and the all-products Mondo.
const char* const kSuitePrefixes[] = {
    "O365", "ProPlus", "Professional", "Standard", "Home", "Personal", "Mondo",
};

const char kEntrySeparator[] = " - ";

std::string trimmed(const std::string& text) {
    size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos)
        return {};
    size_t end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

} // namespace

std::vector<std::string> SplitReleaseIds(const std::string& value) {
    std::vector<std::string> ids;
    size_t start = 0;
    while (start <= value.size()) {
        size_t comma = value.find(',', start);
        if (comma == std::string::npos)
            comma = value.size();
        std::string id = trimmed(value.substr(start, comma - start));
        if (!id.empty())
            ids.push_back(id);
        start = comma + 1;
    }
    return ids;
}

ReleaseKind ReleaseKindOf(const std::string& id) {
    auto startsWithOneOf = [&](const auto& prefixes) {
        return std::any_of(std::begin(prefixes), std::end(prefixes), [&](const char* prefix) {
            return StartsWithIgnoringAsciiCase(id, prefix);
        });
    };
    if (id.empty() || startsWithOneOf(kOtherPrefixes))
        return ReleaseKind::Other;
    return startsWithOneOf(kSuitePrefixes) ? ReleaseKind::Suite : ReleaseKind::Application;
}

bool IsReleaseEntryName(const std::string& id, const std::string& entryName) {
    size_t separator = sizeof kEntrySeparator - 1;
    return !id.empty() && entryName.size() > id.size() + separator &&
           StartsWithIgnoringAsciiCase(entryName, id) &&
           entryName.compare(id.size(), separator, kEntrySeparator) == 0;
}

std::string EntryCulture(const std::string& entryName) {
    size_t separator = entryName.find(kEntrySeparator);
    return separator == std::string::npos
               ? std::string()
               : entryName.substr(separator + sizeof kEntrySeparator - 1);
}

std::string ClickToRunProgramFolder(const std::string& installationPath, int major) {
    // Cut the final backslashes, never the trail byte of a double-byte character.
    size_t keep = 0, size = installationPath.size();
    for (size_t i = 0; i < size; i = NextCharacter(installationPath, i)) {
        size_t next = NextCharacter(installationPath, i);
        if (next - i == 2 || installationPath[i] != '\\')
            keep = std::min(next, size);
    }
    return installationPath.substr(0, keep) + "\\root\\Office" + std::to_string(major) + "\\";
}

namespace {

bool isAsciiLetter(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

bool isSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool hasRoot(const std::wstring& path) {
    if (path.size() >= 3 && isAsciiLetter(path[0]) && path[1] == L':' && path[2] == L'\\')
        return true;
    if (path.rfind(L"\\\\?\\", 0) == 0)
        return true;
    // A share: "\\server\", the server name without separators; "\\.\" names a
    // device.
    if (path.rfind(L"\\\\", 0) != 0)
        return false;
    size_t end = path.find_first_of(L"\\/", 2);
    return end != std::wstring::npos && end > 2 && path[end] == L'\\' &&
           path.compare(2, end - 2, L".") != 0;
}

// A component of dots only ("..", "...") walks up a folder.
bool hasParentComponent(const std::wstring& path) {
    size_t begin = 0;
    while (begin <= path.size()) {
        size_t end = begin;
        while (end < path.size() && !isSeparator(path[end]))
            ++end;
        size_t length = end - begin;
        if (length >= 2 && path.find_first_not_of(L'.', begin) >= end)
            return true;
        begin = end + 1;
    }
    return false;
}

std::wstring withoutFinalBackslashes(std::wstring folder) {
    while (!folder.empty() && folder.back() == L'\\')
        folder.pop_back();
    return folder;
}

// The folder without its final backslashes; empty when it is no full plain path.
std::wstring plainFolder(const std::wstring& folder) {
    return IsFullPlainPath(folder) ? withoutFinalBackslashes(folder) : std::wstring();
}

} // namespace

bool IsFullPlainPath(const std::wstring& path) {
    return hasRoot(path) && !hasParentComponent(path);
}

std::vector<std::wstring> ClickToRunClientPrograms(const std::wstring& clientFolder,
                                                   const std::wstring& installationPath,
                                                   bool clientInInstallation) {
    const wchar_t program[] = L"\\OfficeC2RClient.exe";
    std::vector<std::wstring> programs;
    if (std::wstring folder = plainFolder(clientFolder); !folder.empty())
        programs.push_back(folder + program);
    std::wstring installation = plainFolder(installationPath);
    if (programs.empty() && clientInInstallation && !installation.empty())
        for (const wchar_t* sub : {L"\\ClientX64", L"\\ClientX86"})
            programs.push_back(installation + sub + program);
    return programs;
}

} // namespace kel
