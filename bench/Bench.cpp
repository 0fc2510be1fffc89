// Measures the script-host guard and the process survey against the bare platform
// calls that do the same minimum work, and the program's start-up, peak working set
// and size against a bare window program, in the same run, and prints the ratios;
// beside them the floor under the program (bench/Bare.cpp) against the same window.
//   bench [rounds] [--startup-only | --commands-only] [--breakdown]
//         [--before EARLIER-WEXDAL.EXE]
#include "bench/Breakdown.h"
#include "app/MainWindow.h"
#include "bench/Startup.h"
#include "office/ProcessSurvey.h"
#include "repair/ScriptHostGuard.h"
#include "sysinfo/RegBackup.h"
#include "sysinfo/Registry.h"
#include "sysinfo/Text.h"
#include "tests/support/Fixtures.h"
#include "tests/support/Prefix.h"
#include "tests/support/Processes.h"
#include "tests/support/ScratchKey.h"
#include "tests/sample/ModernMachine.h"
#include "tests/sample/SampleMachine.h"
#include "widgets/Controls.h"

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

using namespace testing_support;

namespace {

constexpr int kClasses = 10000;
constexpr int kScriptClasses = 100;
constexpr int kProcesses = 100;
constexpr int kSurveys = 50;

double seconds(const std::function<void()>& work) {
    LARGE_INTEGER frequency, start, stop;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    work();
    QueryPerformanceCounter(&stop);
    return double(stop.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

struct Result {
    const char* name;
    std::vector<double> ours, bare;
};

void report(const Result& result) {
    double ours = *std::min_element(result.ours.begin(), result.ours.end());
    double bare = *std::min_element(result.bare.begin(), result.bare.end());
    std::printf("%-44s ours %8.1f ms  bare %8.1f ms  ratio %.2f\n", result.name, ours * 1000,
                bare * 1000, ours / bare);
}

std::string className(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "WexdalBench.%05d", i);
    return name;
}

// ---- The bare platform calls

std::vector<std::string> bareClassNames() {
    std::vector<std::string> names;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(HKEY_CLASSES_ROOT, i, name, &length, nullptr, nullptr, nullptr,
                          nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    return names;
}

bool bareIsScriptClass(const std::string& name) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, (name + "\\Shell\\Open\\Command").c_str(), 0, KEY_READ,
                      &key) != ERROR_SUCCESS)
        return false;
    char command[512];
    DWORD size = sizeof command - 1, type = 0;
    LONG status =
        RegQueryValueExA(key, "", nullptr, &type, reinterpret_cast<BYTE*>(command), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return false;
    command[size] = '\0';
    std::string lowered = kel::AsciiLower(command);
    return lowered.find("wscript.exe") != std::string::npos ||
           lowered.find("cscript.exe") != std::string::npos;
}

int bareGetScriptHostEnabled() {
    for (const std::string& name : bareClassNames())
        if (name.find(".SymantecDisabled") == std::string::npos && bareIsScriptClass(name))
            return 1;
    return 0;
}

void bareMove(const std::string& from, const std::string& to) {
    HKEY target;
    RegCreateKeyExA(HKEY_CLASSES_ROOT, to.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &target,
                    nullptr);
    RegCopyTreeA(HKEY_CLASSES_ROOT, from.c_str(), target);
    RegCloseKey(target);
    RegDeleteTreeA(HKEY_CLASSES_ROOT, from.c_str());
}

void bareSetScriptHostEnabled(int state) {
    const std::string marker = ".SymantecDisabled";
    for (const std::string& name : bareClassNames()) {
        bool marked = name.find(marker) != std::string::npos;
        if (marked == (state == 0) || !bareIsScriptClass(name))
            continue;
        bareMove(name, state == 0 ? name + marker : name.substr(0, name.find(marker)));
    }
}

void bareSurvey(const std::string& program, HWND label, HWND button) {
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (program == entry.szExeFile)
            ids.push_back(entry.th32ProcessID);
    CloseHandle(snapshot);
    SetWindowTextA(label, ids.empty() ? "Excel は 非稼動 です。" : "Excel は 稼動中 です。");
    EnableWindow(button, !ids.empty());
}

// The window's row that the survey updates, as the program's window updates it.
class BenchForm : public ui::TForm, public kel::TRunningStateView {
  public:
    BenchForm() : TForm("WexdalBenchForm", "Bench", WS_OVERLAPPEDWINDOW, 0) {
        label = &Create<ui::TLabel>("LL_XlsProcess", Handle());
        button = &Create<ui::TButton>("BB_XlsProcess", Handle());
    }
    void ShowRunningState(const std::string& row, const std::string& caption,
                          bool running) override {
        app::ShowRunningStateOn(*this, row, caption, running);
    }
    ui::TLabel* label;
    ui::TButton* button;
};

void benchScriptHost(int rounds) {
    std::printf("Laying %d extra classes (%d of them script classes)...\n", kClasses,
                kScriptClasses);
    for (int i = 0; i < kClasses; ++i) {
        bool script = i % (kClasses / kScriptClasses) == 0;
        putString(HKEY_CLASSES_ROOT, "\\" + className(i) + "\\Shell\\Open\\Command", "",
                  script ? "\"C:\\windows\\system32\\wscript.exe\" \"%1\" %*"
                         : "\"C:\\Program Files\\App\\app.exe\" \"%1\"");
    }
    Result get{"GetScriptHostEnabled (full scan, state 0)", {}, {}};
    Result set{"SetScriptHostEnabled (off, then on)", {}, {}};
    for (int round = 0; round < rounds; ++round) {
        set.ours.push_back(seconds([] { kel::SetScriptHostEnabled(0); }));
        get.ours.push_back(seconds([] {
            if (kel::GetScriptHostEnabled() != 0)
                std::printf("unexpected state\n");
        }));
        get.bare.push_back(seconds([] {
            if (bareGetScriptHostEnabled() != 0)
                std::printf("unexpected state\n");
        }));
        set.ours.back() += seconds([] { kel::SetScriptHostEnabled(1); });
        set.bare.push_back(seconds([] {
            bareSetScriptHostEnabled(0);
            bareSetScriptHostEnabled(1);
        }));
    }
    report(get);
    report(set);
    for (int i = 0; i < kClasses; ++i)
        removeTree(HKEY_CLASSES_ROOT, "\\" + className(i));
}

// ---- The backup before a change

std::wstring benchBackupFolder(kel::TBackupPlace) {
    return L"C:\\wexdal-bench\\Backup";
}

long long folderBytes(const std::wstring& folder, int& files) {
    long long bytes = 0;
    files = 0;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*.reg").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do {
        bytes += (static_cast<long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        ++files;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return bytes;
}

// What a backup adds to a change: one value written (the Office clipboard's kind of
// change) and the script-host switch (whole class trees moved), each with and
// without its backup; then the folder after a thousand changes.
void benchBackups(int rounds) {
    constexpr int kChanges = 1000;
    ScratchFolder folder("C:\\wexdal-bench");
    auto program = std::exchange(kel::gBackupFolder, benchBackupFolder);
    const char* key = "\\Software\\WexdalBench";
    Result value{"a value written, with its backup (per change)", {}, {}};
    Result scripts{"SetScriptHostEnabled off and on, with backups", {}, {}};
    for (int round = 0; round < rounds; ++round) {
        value.ours.push_back(seconds([&] {
                                 for (int i = 0; i < kChanges; ++i) {
                                     kel::RegBackup backup(L"MsoClip");
                                     (void)kel::WriteRegInteger(HKEY_CURRENT_USER, key,
                                                                "AcbControl", i);
                                 }
                             }) /
                             kChanges);
        value.bare.push_back(seconds([&] {
                                 for (int i = 0; i < kChanges; ++i)
                                     (void)kel::WriteRegInteger(HKEY_CURRENT_USER, key,
                                                                "AcbControl", i);
                             }) /
                             kChanges);
        scripts.ours.push_back(seconds([] {
            for (int state : {0, 1}) {
                kel::RegBackup backup(L"EmlWsh");
                kel::SetScriptHostEnabled(state);
            }
        }));
        scripts.bare.push_back(seconds([] {
            kel::SetScriptHostEnabled(0);
            kel::SetScriptHostEnabled(1);
        }));
    }
    report(value);
    report(scripts);
    int files = 0;
    long long bytes = folderBytes(benchBackupFolder(kel::TBackupPlace::User), files);
    std::printf("backup folder after %d rounds of %d changes: %d files, %lld bytes (%.1f KB)\n",
                rounds, kChanges, files, bytes, bytes / 1024.0);
    removeTree(HKEY_CURRENT_USER, key);
    kel::gBackupFolder = program;
}

void benchSurvey(int rounds) {
    std::printf("Starting %d extra processes...\n", kProcesses);
    ScratchFolder folder("C:\\wexdal-tests\\bench");
    installFixture("office11", folder.file("EXCEL.EXE"));
    installFixture("office11", folder.file("idle.exe"));
    std::vector<std::unique_ptr<ChildProcess>> processes;
    processes.push_back(std::make_unique<ChildProcess>(folder.file("EXCEL.EXE"), "600"));
    for (int i = 0; i < kProcesses; ++i)
        processes.push_back(std::make_unique<ChildProcess>(folder.file("idle.exe"), "600"));

    BenchForm form;
    kel::TKelExtInfo excel;
    excel.FileName = folder.file("EXCEL.EXE");
    excel.ViewName = "Excel";
    kel::ProcessIds ids;
    Result survey{"RefreshRunningState (x50, 101 processes)", {}, {}};
    for (int round = 0; round < rounds; ++round) {
        survey.ours.push_back(seconds([&] {
            for (int i = 0; i < kSurveys; ++i)
                kel::RefreshRunningState(form, excel, ids, "XlsProcess");
        }));
        survey.bare.push_back(seconds([&] {
            for (int i = 0; i < kSurveys; ++i)
                bareSurvey("EXCEL.EXE", form.label->Handle(), form.button->Handle());
        }));
    }
    if (ids.size() != 1)
        std::printf("unexpected survey: %u IDs\n", static_cast<unsigned>(ids.size()));
    report(survey);
}

// ---- Commands on a machine with a long Uninstall list

double median(std::vector<double> values);
void reportGoal(const char* what, double ratio, double goal, double best = 0);
std::string besideBench(const std::string& relative);

constexpr int kUninstallEntries = 1000;

// A product-code entry of another maker's program, as a managed PC has hundreds of.
std::string extraEntry(int i) {
    char name[64];
    std::snprintf(name, sizeof name, "{B0E4%04X-5A1C-4D2E-9F3A-%012X}", i, i);
    return std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + name;
}

// Lays (or removes) the extra entries in both views of the Uninstall list.
void layExtraEntries(bool lay) {
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY})
        for (int i = 0; i < kUninstallEntries; ++i) {
            std::string path = extraEntry(i);
            if (!lay) {
                RegDeleteKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), view, 0);
                continue;
            }
            HKEY key;
            if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0,
                                KEY_SET_VALUE | view, nullptr, &key, nullptr) != ERROR_SUCCESS)
                continue;
            auto text = [&](const char* name, const std::string& value) {
                RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                               static_cast<DWORD>(value.size() + 1));
            };
            text("DisplayName", "Contoso Line-of-Business Tool " + std::to_string(i));
            text("DisplayVersion", "4.2." + std::to_string(i));
            text("Publisher", "Contoso");
            text("UninstallString", "MsiExec.exe /X" + path.substr(path.rfind('\\') + 1));
            DWORD major = 4;
            RegSetValueExA(key, "VersionMajor", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&major),
                           sizeof major);
            RegCloseKey(key);
        }
}

// The console program's commands on the Office 2010 sample machine (its parts'
// entries in the other view of the 64-bit build), with and without the extra
// entries in each view: a command's cost should not grow with the list.
void benchCommands(int rounds) {
    std::string program = besideBench("..\\app\\wexdal.com");
    HANDLE nothing =
        CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    SetHandleInformation(nothing, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    struct Command {
        const char* what;
        const char* arguments;
        double goal;
        double plain = 0, crowded = 0;
    } commands[] = {{"/report:json with 1000 extra Uninstall entries", "/report:json -", 2.0},
                    {"/check EmlWsh=1 with 1000 extra Uninstall entries", "/check EmlWsh=1", 1.2}};
    auto time = [&](const Command& command) {
        std::vector<double> runs;
        for (int round = 0; round < rounds; ++round)
            runs.push_back(seconds([&] { runToEnd(program, command.arguments, nothing); }));
        return median(runs);
    };
    sample::LayOffice2010();
    for (Command& command : commands)
        command.plain = time(command);
    std::printf("Laying %d extra Uninstall entries in each view...\n", kUninstallEntries);
    layExtraEntries(true);
    for (Command& command : commands)
        command.crowded = time(command);
    layExtraEntries(false);
    sample::Remove();
    CloseHandle(nothing);
    std::printf("Commands on the Office 2010 sample machine (median of %d runs):\n", rounds);
    for (const Command& command : commands) {
        std::printf("  %-16s %7.1f ms, with the extra entries %7.1f ms\n", command.arguments,
                    command.plain * 1000, command.crowded * 1000);
        reportGoal(command.what, command.crowded / command.plain, command.goal);
    }
}

// ---- Start-up against the bare window program

std::string besideBench(const std::string& relative) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1) + relative;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double best(const std::vector<double>& values) {
    return *std::min_element(values.begin(), values.end());
}

// The ratios of a start-up against the bare window of the same run (the best
// start-ups' and the medians); 0 where a side never got ready.
struct StartupRatios {
    double bestSeconds = 0, seconds = 0, peakBytes = 0;
    double floorSeconds = 0, floorPeakBytes = 0; // the floor's against the bare window
};

StartupRatios reportStartup(const char* name, const bench::StartupRows& ours,
                            const bench::StartupRows& bare) {
    if (ours.failures + bare.failures > 0)
        std::printf("  (%d starts of %s, %d of the bare window did not get ready)\n", ours.failures,
                    name, bare.failures);
    if (ours.seconds.empty() || bare.seconds.empty())
        return {};
    double oursBest = best(ours.seconds), bareBest = best(bare.seconds);
    double oursMedian = median(ours.seconds), bareMedian = median(bare.seconds);
    std::printf("  start-up          %-8s %6.1f ms  bare %6.1f ms  ratio %.2f   median %6.1f / "
                "%6.1f ms, ratio %.2f\n",
                name, oursBest * 1000, bareBest * 1000, oursBest / bareBest, oursMedian * 1000,
                bareMedian * 1000, oursMedian / bareMedian);
    std::printf("    window shown    %-8s %6.1f ms  bare %6.1f ms   (median)\n", name,
                median(ours.shownSeconds) * 1000, median(bare.shownSeconds) * 1000);
    double oursPeak = median(ours.peakBytes), barePeak = median(bare.peakBytes);
    std::printf("  peak working set  %-8s %6.1f MB  bare %6.1f MB  ratio %.2f   (median)\n", name,
                oursPeak / 1048576, barePeak / 1048576, oursPeak / barePeak);
    return {oursBest / bareBest, oursMedian / bareMedian, oursPeak / barePeak};
}

// One line of the summary: a median ratio against its goal (and the best start-ups'
// ratio beside it, where there is one: the one least disturbed by a busy machine).
void reportGoal(const char* what, double ratio, double goal, double best) {
    if (ratio == 0) {
        std::printf("  %-46s   (not measured)  goal <= %.2f\n", what, goal);
        return;
    }
    std::printf("  %-46s %6.2f  goal <= %.2f  %-5s", what, ratio, goal,
                ratio <= goal ? "met" : "short");
    if (best != 0)
        std::printf("  (best start-ups: %.2f)", best);
    std::printf("\n");
}

// The program, the bare window, the floor under the program (its arguments set once
// the program's window is counted), the floor without its windows and, when given,
// an earlier build of the program.
const size_t kFloor = 2, kFloorDlls = 3, kBefore = 4;

std::vector<bench::Program> startupPrograms(const std::string& before) {
    std::vector<bench::Program> programs = {{besideBench("..\\app\\wexdal.exe"), "Wexdal", 6},
                                            {besideBench("bare.exe"), "WexdalBare", 6},
                                            {besideBench("bare_floor.exe"), "WexdalBare", 6},
                                            {besideBench("bare_floor.exe"), "WexdalBare", 6}};
    if (!before.empty())
        programs.push_back({before, "Wexdal", 6});
    return programs;
}

StartupRatios benchStartupOn(const char* machine, const std::function<void()>& lay,
                             std::vector<bench::Program> programs, int rounds, bool breakdown) {
    std::printf("%s:\n", machine);
    lay();
    if (breakdown) {
        std::printf(" where page construction spends its time, in this process:\n");
        bench::PrintStartupBreakdown(rounds);
    }
    // The first start reads cold files; the program's tells how many windows it holds.
    int windows = bench::StartOnce(programs[0]).windows;
    if (windows > 0)
        programs[kFloor].arguments = "windows " + std::to_string(windows);
    for (size_t i = 1; i < programs.size(); ++i)
        bench::StartOnce(programs[i]);
    std::vector<bench::StartupRows> rows = bench::StartInterleaved(programs, rounds);
    StartupRatios ratios = reportStartup("wexdal", rows[0], rows[1]);
    if (windows > 0)
        std::printf("  the floor: the bare window with the program's manifest and DLLs, then "
                    "with its %d windows too\n",
                    windows);
    else
        std::printf("  the floor: the program's windows were not counted (its first start "
                    "did not get ready); the floor has the DLLs alone\n");
    reportStartup("DLLs", rows[kFloorDlls], rows[1]);
    StartupRatios floor = reportStartup("floor", rows[kFloor], rows[1]);
    std::printf("  wexdal over its floor: start-up %.2f, peak working set %.2f (medians)\n",
                floor.seconds != 0 ? ratios.seconds / floor.seconds : 0,
                floor.peakBytes != 0 ? ratios.peakBytes / floor.peakBytes : 0);
    if (rows.size() > kBefore)
        reportStartup("before", rows[kBefore], rows[1]);
    ratios.floorSeconds = floor.seconds;
    ratios.floorPeakBytes = floor.peakBytes;
    return ratios;
}

long fileBytes(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return static_cast<long>(data.nFileSizeLow);
}

void benchStartup(int rounds, const std::string& before, bool breakdown) {
    std::printf("Start-up: from starting the program to its visible window with six menu "
                "items;\nbest and median of %d starts, interleaved with the bare window.\n",
                rounds);
    std::vector<bench::Program> programs = startupPrograms(before);
    StartupRatios standard = benchStartupOn(
        "Sample machine", [] { sample::Lay(sample::Standard()); }, programs, rounds, breakdown);
    sample::Options extra = sample::Standard();
    extra.extraClasses = 10000;
    StartupRatios crowded = benchStartupOn(
        "Sample machine with 10000 extra classes", [&] { sample::Lay(extra); }, programs, rounds,
        breakdown);
    // Windows Installer Office with the entries of its parts, in the other view of the
    // 64-bit build.
    benchStartupOn("Office 2010 sample machine", sample::LayOffice2010, programs, rounds,
                   breakdown);
    sample::Remove();
    double bare = fileBytes(programs[1].path);
    std::printf("Size of the executable:\n");
    for (size_t i = 0; i < programs.size(); ++i) {
        if (i != 0 && i != kBefore)
            continue;
        double ours = fileBytes(programs[i].path);
        std::printf("  %-26s %-8s %6.1f KB  bare %6.1f KB  ratio %.2f\n", "",
                    i == 0 ? "wexdal" : "before", ours / 1024, bare / 1024, ours / bare);
    }
    std::printf("Against the goals (median ratios to the bare window of this run):\n");
    auto floorLine = [](double ratio) {
        if (ratio == 0)
            std::printf(
                "    of it the floor, the program's DLLs and windows alone (not measured)\n");
        else
            std::printf("    of it the floor, the program's DLLs and windows alone %6.2f\n", ratio);
    };
    reportGoal("start-up to the menu filled, sample machine", standard.seconds, 1.5,
               standard.bestSeconds);
    floorLine(standard.floorSeconds);
    reportGoal("the same with 10000 extra document classes", crowded.seconds, 1.6,
               crowded.bestSeconds);
    floorLine(crowded.floorSeconds);
    reportGoal("peak working set, sample machine", standard.peakBytes, 1.25);
    floorLine(standard.floorPeakBytes);
}

} // namespace

int main(int argc, char** argv) {
    if (!InMarkedPrefix()) {
        std::fprintf(stderr, "bench: run it through scripts/bench.sh (it writes to HKCR).\n");
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    bool startupOnly = false, commandsOnly = false, breakdown = false;
    std::string before;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--startup-only") == 0)
            startupOnly = true;
        else if (std::strcmp(argv[i], "--commands-only") == 0)
            commandsOnly = true;
        else if (std::strcmp(argv[i], "--breakdown") == 0)
            breakdown = true;
        else if (std::strcmp(argv[i], "--before") == 0 && i + 1 < argc)
            before = argv[++i];
    }
    if (commandsOnly) {
        benchCommands(std::max(rounds, 5));
        return 0;
    }
    if (!startupOnly) {
        std::printf("Best of %d rounds; ratio = ours / bare platform calls.\n", rounds);
        benchScriptHost(rounds);
        benchBackups(rounds);
        benchSurvey(rounds);
        benchCommands(std::max(rounds, 5));
    }
    benchStartup(std::max(rounds, 11), before, breakdown);
    return 0;
}
