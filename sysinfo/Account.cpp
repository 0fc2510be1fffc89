#include "sysinfo/Account.h"

#include "sysinfo/Handle.h"
#include "sysinfo/SystemLibrary.h"
#include "sysinfo/TextRules.h"

#include <windows.h>
#include <sddl.h>
#include <wtsapi32.h>

#include <vector>

namespace kel {

namespace {

// A process's access token (the program's own by default), read only.
Handle processToken(HANDLE process = GetCurrentProcess()) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token))
        return Handle();
    return Handle(token);
}

// The token's user, as the bytes of a TOKEN_USER; empty when it can't be read.
std::vector<BYTE> tokenUser(HANDLE process = GetCurrentProcess()) {
    Handle token = processToken(process);
    DWORD size = 0;
    if (!token.valid())
        return {};
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size))
        return {};
    return buffer;
}

template <typename T> std::optional<T> tokenValue(TOKEN_INFORMATION_CLASS kind) {
    Handle token = processToken();
    T value{};
    DWORD size = 0;
    if (!token.valid() || !GetTokenInformation(token.get(), kind, &value, sizeof value, &size))
        return std::nullopt;
    return value;
}

// wtsapi32.dll's session query, loaded from the system folder.
std::wstring sessionText(WTS_INFO_CLASS kind) {
    static auto* const query = SystemFunction<decltype(WTSQuerySessionInformationW)>(
        L"wtsapi32.dll", "WTSQuerySessionInformationW");
    static auto* const release =
        SystemFunction<decltype(WTSFreeMemory)>(L"wtsapi32.dll", "WTSFreeMemory");
    LPWSTR text = nullptr;
    DWORD bytes = 0;
    if (query == nullptr || release == nullptr ||
        !query(WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION, kind, &text, &bytes))
        return {};
    std::wstring result = text != nullptr ? text : L"";
    release(text);
    return result;
}

std::string sidText(const std::vector<BYTE>& user) {
    LPSTR text = nullptr;
    if (user.empty() ||
        !ConvertSidToStringSidA(reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid, &text))
        return {};
    LocalMemory owner(text);
    return text;
}

} // namespace

std::string CurrentUserSid() {
    return sidText(tokenUser());
}

std::string AccountSid(const std::wstring& name) {
    if (name.empty())
        return {};
    DWORD sidSize = 0, domainSize = 0;
    SID_NAME_USE use;
    LookupAccountNameW(nullptr, name.c_str(), nullptr, &sidSize, nullptr, &domainSize, &use);
    if (sidSize == 0)
        return {};
    std::vector<BYTE> sid(sidSize);
    std::vector<wchar_t> domain(domainSize + 1);
    domainSize = static_cast<DWORD>(domain.size());
    LPSTR text = nullptr;
    if (!LookupAccountNameW(nullptr, name.c_str(), sid.data(), &sidSize, domain.data(), &domainSize,
                            &use) ||
        !ConvertSidToStringSidA(sid.data(), &text))
        return {};
    LocalMemory owner(text);
    return text;
}

std::string ProcessUserSid(unsigned long processId) {
    Handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    return process.valid() ? sidText(tokenUser(process.get())) : std::string();
}

std::wstring AccountName() {
    std::vector<BYTE> user = tokenUser();
    if (user.empty())
        return {};
    wchar_t name[256] = {}, domain[256] = {};
    DWORD nameSize = 256, domainSize = 256;
    SID_NAME_USE use;
    if (!LookupAccountSidW(nullptr, reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, name,
                           &nameSize, domain, &domainSize, &use))
        return {};
    return domain[0] != L'\0' ? std::wstring(domain) + L"\\" + name : std::wstring(name);
}

std::wstring SessionUserName() {
    std::wstring user = sessionText(WTSUserName);
    if (user.empty())
        return {};
    std::wstring domain = sessionText(WTSDomainName);
    return domain.empty() ? user : domain + L"\\" + user;
}

std::optional<unsigned long> CurrentSessionId() {
    DWORD session = 0;
    if (!ProcessIdToSessionId(GetCurrentProcessId(), &session))
        return std::nullopt;
    return session;
}

bool (*gProcessElevated)() = [] { return IsElevated().value_or(false); };

TDeskUser (*gDeskUser)() = [] {
    std::wstring name = SessionUserName();
    return TDeskUser{name, AccountSid(name)};
};

bool RunsAsDeskUser() {
    std::string own = CurrentUserSid(), desk = gDeskUser().sid;
    for (const char* service : {kSystemSid, "S-1-5-19", "S-1-5-20"})
        if (AsciiLower(own) == AsciiLower(service))
            return false;
    return !own.empty() && !desk.empty() && !IsAnotherAccount(desk, own);
}

std::optional<bool> IsElevated() {
    std::optional<TOKEN_ELEVATION> elevation = tokenValue<TOKEN_ELEVATION>(TokenElevation);
    if (!elevation)
        return std::nullopt;
    return elevation->TokenIsElevated != 0;
}

} // namespace kel
