#include "repair/OfficeRepair.h"

#include "office/ClickToRun.h"
#include "office/ClickToRunRules.h"
#include "office/OfficeKeys.h"
#include "office/ProcessSurvey.h"
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

// Where Office keeps the programs that repair it, from the machine's registration
// (which only administrators write): "Common Files\Microsoft Shared" and the
// "Microsoft Office..." folders of both Program Files folders.
std::vector<std::wstring> officeFolders() {
    std::vector<std::wstring> folders;
    const char* key = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    for (const char* name : {"ProgramFilesDir", "ProgramFilesDir (x86)"}) {
        std::wstring folder;
        if (ReadRegStringW(HKEY_LOCAL_MACHINE, key, name, folder, RegView::Bits64) != 0 ||
            !IsFullPlainPath(folder))
            continue;
        if (folder.back() != L'\\')
            folder += L'\\';
        folders.push_back(folder + L"Common Files\\Microsoft Shared\\");
        folders.push_back(folder + L"Microsoft Office"); // "Microsoft Office 15" too
    }
    return folders;
}

// A file that exists under one of Office's own folders.
bool isOfficeProgram(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (!IsFullPlainPath(path) || attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    std::wstring lower = AsciiLower(path);
    for (const std::wstring& folder : officeFolders())
        if (lower.rfind(AsciiLower(folder), 0) == 0)
            return true;
    return false;
}

// The uninstall command of the primary suite of a Windows Installer Office 2007 to
// 2016: the entry "Office16.PROPLUS" or the like whose display name is the suite's
// (Visio's or Project's entries sort among them), and whose setup controller is
// one of Office's programs; empty when none.
std::wstring setupControllerCommand(const TProductLine& suite, int major) {
    std::string prefix = "office" + std::to_string(major) + ".";
    for (RegView view : {RegView::Bits32, RegView::Bits64}) {
        StringList entries;
        if (GetRegKeyNames(HKEY_LOCAL_MACHINE, kUninstallKey, entries, view) != 0)
            continue;
        for (const std::string& entry : entries) {
            std::string name;
            if (AsciiLower(entry).rfind(prefix, 0) != 0 ||
                ReadRegString(HKEY_LOCAL_MACHINE, UninstallEntryKey(entry), "DisplayName", name,
                              view) != 0 ||
                name != suite.name)
                continue;
            std::wstring command;
            ReadRegStringW(HKEY_LOCAL_MACHINE, UninstallEntryKey(entry), "UninstallString", command,
                           view);
            if (std::optional<TStart> repair = SetupControllerRepair(command);
                repair && isOfficeProgram(repair->target))
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
            if (isOfficeProgram(setup.service)) {
                facts.service = setup.service;
                facts.platform = setup.platform;
                facts.culture = setup.culture;
                break;
            }
    } else if (facts.kind == TInstallKind::WindowsInstaller) {
        if (facts.officeMajor >= 12)
            facts.uninstallCommand =
                setupControllerCommand(info.VerList.front(), facts.officeMajor);
        else
            facts.productCode = AnsiToWide(info.VerList.front().code);
    }
    return facts;
}

// Starts the program in its own folder and waits for it, handing on the thread's
// messages meanwhile: a window that runs the repair itself goes on painting.
std::optional<unsigned long> runAndWait(const TStart& start) {
    std::wstring line = L"\"" + start.target + L"\" " + start.parameters;
    std::wstring folder = start.target.substr(0, start.target.find_last_of(L'\\') + 1);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(start.target.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process))
        return std::nullopt;
    Handle owner(process.hProcess), thread(process.hThread);
    while (MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, INFINITE, QS_ALLINPUT) ==
           WAIT_OBJECT_0 + 1) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    return exitCode;
}

// The Office programs running for the user now, named.
std::string runningPrograms(const TKelOfficeInfo& info) {
    std::string names;
    for (TApplication application :
         {TApplication::Excel, TApplication::Word, TApplication::PowerPoint}) {
        const TKelExtInfo& record = info.Record(application);
        ProcessIds ids;
        if (!record.FileName.empty() && !record.ViewName.empty() && SurveyProcesses(record, ids) &&
            !ids.empty())
            names += (names.empty() ? "" : "、") + OnOneLine(record.ViewName);
    }
    return names;
}

const char kRepaired[] = "Office を修復しました。";
const char kRepairedRestart[] = "Office を修復しました。パソコンを再起動してください。";
const char kNotRepaired[] = "Office を修復出来ませんでした。";
const char kNotStarted[] = "修復のプログラムを起動出来ませんでした。";

std::string outcomeOf(long exitCode) {
    if (exitCode == kRepairNotStarted)
        return kNotStarted;
    if (exitCode == 0)
        return kRepaired;
    return OfficeRepaired(static_cast<unsigned long>(exitCode)) ? kRepairedRestart : kNotRepaired;
}

} // namespace

std::optional<unsigned long> (*gRunAndWait)(const TStart& start) = runAndWait;

std::optional<TStart> OfficeRepairStartOf(const TKelOfficeInfo& info, TRepairDepth depth) {
    return OfficeRepairStart(repairFactsOf(info), depth);
}

bool OfficeRepaired(unsigned long exitCode) {
    return exitCode == 0 || exitCode == 3010 || exitCode == 1641;
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
    if (!host.Confirm("Office を修復します。数分かかります。開いている Office のプログラム" +
                      (running.empty() ? std::string() : " (" + running + ")") +
                      "は閉じられます。作業中のものは保存してください。よろしいですか？") ||
        host.Closing())
        return;
    std::optional<long> quick = run(TRepairDepth::Quick);
    if (!quick || host.Closing())
        return; // the consent prompt was declined: nothing was done
    bool failed =
        *quick != kRepairNotStarted && !OfficeRepaired(static_cast<unsigned long>(*quick));
    if (!failed || !OfficeRepairStartOf(info, TRepairDepth::Online)) {
        host.Inform(outcomeOf(*quick));
        return;
    }
    if (!host.Confirm("クイック修復で修復出来ませんでした。オンライン修復を行いますか？"
                      "Office をすべてダウンロードして入れ直すため、数 GB のダウンロードと"
                      "長い時間がかかります。") ||
        host.Closing())
        return;
    std::optional<long> online = run(TRepairDepth::Online);
    if (online && !host.Closing())
        host.Inform(outcomeOf(*online));
}

} // namespace kel
