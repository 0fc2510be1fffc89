#include "repair/OfficeRepair.h"

#include "office/ClickToRun.h"
#include "office/OfficeKeys.h"
#include "repair/Actions.h"
#include "repair/OfficeUpdate.h"
#include "sysinfo/Handle.h"
#include "sysinfo/Registry.h"
#include "sysinfo/SystemLibrary.h"
#include "sysinfo/Text.h"
#include "sysinfo/TextRules.h"

#include <windows.h>

#include <algorithm>

namespace kel {

namespace {

// The machine's own folders of programs, from its registration (which only
// administrators write): both Program Files folders and the system folder, each
// ending with "\".
std::vector<std::wstring> machineFolders() {
    std::vector<std::wstring> folders = {SystemFolder()};
    const char* key = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    for (const char* name : {"ProgramFilesDir", "ProgramFilesDir (x86)"}) {
        std::wstring folder;
        if (ReadRegStringW(HKEY_LOCAL_MACHINE, key, name, folder, RegView::Bits64) == 0)
            folders.push_back(folder);
    }
    for (std::wstring& folder : folders)
        if (!folder.empty() && folder.back() != L'\\')
            folder += L'\\';
    return folders;
}

// A file that exists under one of the machine's own folders.
bool isMachineProgram(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        path.find(L"\\..") != std::wstring::npos)
        return false;
    std::wstring lower = AsciiLower(path);
    for (const std::wstring& folder : machineFolders())
        if (folder.size() > 1 && lower.rfind(AsciiLower(folder), 0) == 0)
            return true;
    return false;
}

// The uninstall command of the suite of a Windows Installer Office 2007 to 2016
// ("Office16.PROPLUS"), whose setup controller is a machine program; empty when none.
std::wstring setupControllerCommand(int major) {
    std::string prefix = "office" + std::to_string(major) + ".";
    for (RegView view : {RegView::Bits32, RegView::Bits64}) {
        StringList entries;
        if (GetRegKeyNames(HKEY_LOCAL_MACHINE, kUninstallKey, entries, view) != 0)
            continue;
        for (const std::string& entry : entries) {
            if (AsciiLower(entry).rfind(prefix, 0) != 0)
                continue;
            std::wstring command;
            ReadRegStringW(HKEY_LOCAL_MACHINE, UninstallEntryKey(entry), "UninstallString", command,
                           view);
            if (std::optional<TStart> repair = SetupControllerRepair(command);
                repair && isMachineProgram(repair->target))
                return command;
        }
    }
    return {};
}

TRepairFacts repairFactsOf(const TKelOfficeInfo& info) {
    TRepairFacts facts;
    facts.kind = InstallKindOf(info);
    facts.officeMajor = std::max(VersionMajorNumber(info.PrimaryVersion()), 0);
    facts.systemFolder = SystemFolder();
    if (facts.kind == TInstallKind::ClickToRun) {
        for (const TClickToRunSetup& setup : ClickToRunSetups())
            if (isMachineProgram(setup.service)) {
                facts.service = setup.service;
                facts.platform = setup.platform;
                facts.culture = setup.culture;
                break;
            }
    } else if (facts.kind == TInstallKind::WindowsInstaller) {
        if (facts.officeMajor >= 12)
            facts.uninstallCommand = setupControllerCommand(facts.officeMajor);
        else
            facts.productCode = AnsiToWide(info.VerList.front().code);
    }
    return facts;
}

std::optional<unsigned long> runAndWait(const TStart& start) {
    std::wstring line = L"\"" + start.target + L"\" " + start.parameters;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(start.target.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return std::nullopt;
    Handle owner(process.hProcess), thread(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    return exitCode;
}

// The Office programs running for the user that the repair closes, named.
std::string runningPrograms(const TKelOfficeInfo& info) {
    std::string names;
    for (TApplication application :
         {TApplication::Excel, TApplication::Word, TApplication::PowerPoint}) {
        const TKelExtInfo& record = info.Record(application);
        if (!info.RunningIds(application).empty() && !record.ViewName.empty())
            names += (names.empty() ? "" : "、") + OnOneLine(record.ViewName);
    }
    return names;
}

} // namespace

std::optional<unsigned long> (*gRunAndWait)(const TStart& start) = runAndWait;

std::optional<TStart> OfficeRepairStartOf(const TKelOfficeInfo& info, TRepairDepth depth) {
    return OfficeRepairStart(repairFactsOf(info), depth);
}

TOfficeRepairRun RunOfficeRepair(const TKelOfficeInfo& info, TRepairDepth depth) {
    TOfficeRepairRun run;
    if (std::optional<TStart> start = OfficeRepairStartOf(info, depth))
        if (std::optional<unsigned long> exitCode = gRunAndWait(*start)) {
            run.started = true;
            run.exitCode = *exitCode;
        }
    return run;
}

void RepairOfficeAsking(TActionHost& host, const TKelOfficeInfo& info,
                        const std::function<std::optional<long>(TRepairDepth)>& run) {
    std::string running = runningPrograms(info);
    if (!host.Confirm("Office を修復します。数分かかります。" +
                      (running.empty() ? std::string()
                                       : "開いている " + running +
                                             " は閉じられます。作業中のものは保存してください。") +
                      "よろしいですか？") ||
        host.Closing())
        return;
    std::optional<long> quick = run(TRepairDepth::Quick);
    if (!quick || host.Closing())
        return; // the consent prompt was declined: nothing was done
    if (*quick == 0) {
        host.Inform("Office を修復しました。");
        return;
    }
    if (!OfficeRepairStartOf(info, TRepairDepth::Online)) {
        host.Inform("Office を修復出来ませんでした。");
        return;
    }
    if (!host.Confirm("クイック修復で修復出来ませんでした。オンライン修復を行いますか？"
                      "Office をすべてダウンロードして入れ直すため、数 GB のダウンロードと"
                      "長い時間がかかります。") ||
        host.Closing())
        return;
    std::optional<long> online = run(TRepairDepth::Online);
    if (online && !host.Closing())
        host.Inform(*online == 0 ? "Office を修復しました。" : "Office を修復出来ませんでした。");
}

} // namespace kel
