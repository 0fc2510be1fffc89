#include "sysinfo/MachineFacts.h"

#include "sysinfo/Account.h"
#include "sysinfo/Registry.h"
#include "sysinfo/TextRules.h"

#include <windows.h>

namespace kel {

namespace {

// The version the kernel reports, which no compatibility shim changes.
std::optional<TWindowsVersion> kernelWindowsVersion() {
    using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    auto getVersion = ntdll ? reinterpret_cast<RtlGetVersionFunction>(
                                  reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                            : nullptr;
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (getVersion == nullptr || getVersion(&version) != 0)
        return std::nullopt;
    return TWindowsVersion{version.dwMajorVersion, version.dwMinorVersion, version.dwBuildNumber};
}

std::optional<std::string> realWindowsVersion() {
    std::optional<TWindowsVersion> version = kernelWindowsVersion();
    if (!version)
        return std::nullopt;
    return std::to_string(version->major) + "." + std::to_string(version->minor) + "." +
           std::to_string(version->build);
}

TWindowsVersion windowsVersion() {
    return kernelWindowsVersion().value_or(TWindowsVersion{});
}

std::optional<std::string> windowsEdition() {
    std::string edition;
    if (ReadRegString(HKEY_LOCAL_MACHINE, "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                      "EditionID", edition, RegView::Bits64) != 0 ||
        edition.empty())
        return std::nullopt;
    return edition;
}

// Windows's own machine type: IsWow64Process2 tells it under every emulation; where
// it is missing (before Windows 10), the native system information does.
std::optional<std::string> windowsArchitecture() {
    using IsWow64Process2Function = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto isWow64Process2 =
        kernel ? reinterpret_cast<IsWow64Process2Function>(
                     reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process2")))
               : nullptr;
    USHORT process = 0, native = 0;
    if (isWow64Process2 != nullptr && isWow64Process2(GetCurrentProcess(), &process, &native))
        return ArchitectureName(native);
    SYSTEM_INFO system = {};
    GetNativeSystemInfo(&system);
    switch (system.wProcessorArchitecture) {
    case PROCESSOR_ARCHITECTURE_INTEL:
        return ArchitectureName(IMAGE_FILE_MACHINE_I386);
    case PROCESSOR_ARCHITECTURE_AMD64:
        return ArchitectureName(IMAGE_FILE_MACHINE_AMD64);
    case 12: // PROCESSOR_ARCHITECTURE_ARM64
        return ArchitectureName(0xAA64);
    default:
        return std::nullopt;
    }
}

std::optional<std::wstring> nonEmpty(std::wstring text) {
    if (text.empty())
        return std::nullopt;
    return text;
}

} // namespace

std::optional<std::string> ArchitectureName(unsigned short machine) {
    switch (machine) {
    case 0x014C: // IMAGE_FILE_MACHINE_I386
        return "x86";
    case 0x8664: // IMAGE_FILE_MACHINE_AMD64
        return "x64";
    case 0xAA64: // IMAGE_FILE_MACHINE_ARM64
        return "arm64";
    default:
        return std::nullopt;
    }
}

std::string IsoUtcTime(int year, int month, int day, int hour, int minute, int second) {
    auto two = [](int value) { return ZeroPadded(value, 2); };
    return ZeroPadded(year, 4) + "-" + two(month) + "-" + two(day) + "T" + two(hour) + ":" +
           two(minute) + ":" + two(second) + "Z";
}

TWindowsVersion (*gWindowsVersion)() = windowsVersion;

TMachineFacts ReadMachineFacts() {
    TMachineFacts facts;
    wchar_t computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (GetComputerNameW(computer, &size))
        facts.computerName = nonEmpty(computer);
    facts.userName = nonEmpty(AccountName());
    facts.sessionUserName = nonEmpty(SessionUserName());
    facts.sessionId = CurrentSessionId();
    facts.elevated = IsElevated();
    facts.windowsVersion = realWindowsVersion();
    facts.windowsEdition = windowsEdition();
    facts.architecture = windowsArchitecture();
    SYSTEMTIME now = {};
    GetSystemTime(&now);
    facts.time = IsoUtcTime(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
    return facts;
}

} // namespace kel
