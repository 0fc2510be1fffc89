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

// A token's information of a size it tells (TOKEN_USER, TOKEN_GROUPS), as its
// bytes; empty when it can't be read.
std::vector<BYTE> tokenBytes(HANDLE token, TOKEN_INFORMATION_CLASS kind) {
    DWORD size = 0;
    GetTokenInformation(token, kind, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !GetTokenInformation(token, kind, buffer.data(), size, &size))
        return {};
    return buffer;
}

// A process's user (the program's own by default), as the bytes of a TOKEN_USER.
std::vector<BYTE> tokenUser(HANDLE process = GetCurrentProcess()) {
    Handle token = processToken(process);
    return token.valid() ? tokenBytes(token.get(), TokenUser) : std::vector<BYTE>();
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

namespace {

// The user of the session's own token: asked for where the process may (SYSTEM);
// empty elsewhere.
std::string sessionTokenSid() {
    static auto* const query =
        SystemFunction<decltype(WTSQueryUserToken)>(L"wtsapi32.dll", "WTSQueryUserToken");
    std::optional<unsigned long> session = CurrentSessionId();
    HANDLE token = nullptr;
    if (query == nullptr || !session || !query(*session, &token))
        return {};
    Handle owned(token);
    return sidText(tokenBytes(owned.get(), TokenUser));
}

// The program's own user when it runs unelevated in the session's interactive logon
// (its token's logon SID is the window station's): a logon script before the shell
// starts. An elevation with another account's password at the desk carries that
// logon SID too, and is elevated.
std::string interactiveSid() {
    if (IsElevated().value_or(true))
        return {};
    HWINSTA station = GetProcessWindowStation();
    DWORD size = 0;
    GetUserObjectInformationW(station, UOI_USER_SID, nullptr, 0, &size);
    std::vector<BYTE> logon(size);
    if (size == 0 || !GetUserObjectInformationW(station, UOI_USER_SID, logon.data(), size, &size))
        return {};
    Handle token = processToken();
    std::vector<BYTE> buffer =
        token.valid() ? tokenBytes(token.get(), TokenGroups) : std::vector<BYTE>();
    if (buffer.empty() || !IsValidSid(logon.data()))
        return {};
    const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
    for (DWORD i = 0; i < groups->GroupCount; ++i)
        if ((groups->Groups[i].Attributes & SE_GROUP_LOGON_ID) == SE_GROUP_LOGON_ID &&
            EqualSid(groups->Groups[i].Sid, logon.data()))
            return CurrentUserSid();
    return {};
}

// The user of the session's shell (the desktop's process), when it runs in this
// session.
std::string shellSid() {
    DWORD processId = 0, session = 0;
    HWND shell = GetShellWindow();
    if (shell == nullptr || GetWindowThreadProcessId(shell, &processId) == 0 ||
        !ProcessIdToSessionId(processId, &session) || session != CurrentSessionId())
        return {};
    return ProcessUserSid(processId);
}

} // namespace

// Each source asked only when those before it did not tell.
TDeskUser (*gDeskUser)() = [] {
    TDeskUser desk{SessionUserName(), {}};
    for (std::string (*source)() : {sessionTokenSid, shellSid, interactiveSid})
        if (desk.sid = DeskUserSid({source()}); !desk.sid.empty())
            break;
    return desk;
};

bool RunsAsDeskUser() {
    return IsDeskUser(CurrentUserSid(), gDeskUser().sid);
}

std::optional<bool> IsElevated() {
    std::optional<TOKEN_ELEVATION> elevation = tokenValue<TOKEN_ELEVATION>(TokenElevation);
    if (!elevation)
        return std::nullopt;
    return elevation->TokenIsElevated != 0;
}

} // namespace kel
