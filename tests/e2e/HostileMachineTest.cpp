// The real wexdal.exe on the hostile sample machine: both reports written, then
// every page visited and every button pressed, once with Excel, Word and PowerPoint
// running (every termination answered No) and once with none running. The registry
// and the files differ afterwards only where the pressed buttons are meant to
// change them.
#include "sysinfo/Handle.h"
#include "sysinfo/RegKey.h"
#include "sysinfo/Registry.h"
#include "sysinfo/Text.h"
#include "tests/e2e/Session.h"
#include "tests/sample/SampleMachine.h"
#include "tests/support/Fixtures.h"
#include "tests/support/Processes.h"
#include "tests/support/Remote.h"
#include "tests/support/ReportFacts.h"
#include "tests/support/ScratchKey.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>

using namespace testing_support;

namespace {

// A registry tree flattened to "key" and "key|value" entries.
using Flat = std::map<std::wstring, Value>;

void flatten(const Tree& tree, const std::wstring& path, Flat& flat) {
    flat[path] = Value{};
    for (const auto& [name, value] : tree.values)
        flat[path + L"|" + name] = value;
    for (const auto& [name, child] : tree.keys)
        flatten(child, path + L"\\" + name, flat);
}

// Every file and folder in a folder (and below it when deep), with its size. Wine
// links some profile folders to the Unix home; folders named in skip are left out.
using Listing = std::map<std::wstring, ULONGLONG>;
constexpr ULONGLONG kFolder = ~0ull;

void listFiles(const std::wstring& folder, Listing& listing, bool deep,
               const std::wstring& skip = L"") {
    WIN32_FIND_DATAW found;
    kel::FindHandle search(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (!search.valid())
        return;
    do {
        std::wstring name = found.cFileName;
        std::wstring path = folder + L"\\" + name;
        if (name == L"." || name == L".." || path == skip)
            continue;
        bool directory = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        listing[path] =
            directory ? kFolder
                      : (static_cast<ULONGLONG>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        if (directory && deep && !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            listFiles(path, listing, true);
    } while (FindNextFileW(search.get(), &found));
}

std::wstring lowered(std::wstring text) {
    for (wchar_t& c : text)
        c = c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c;
    return text;
}

bool endsWith(const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::wstring environment(const wchar_t* name) {
    wchar_t value[32768];
    DWORD length = GetEnvironmentVariableW(name, value, 32768);
    return std::wstring(value, length < 32768 ? length : 0);
}

std::string shown(const std::wstring& text) {
    return kel::WideToAnsi(text);
}

// The folders the repairs work in and the ones beside them.
struct Folders {
    std::wstring temp = environment(L"TEMP");
    std::wstring aboveTemp = temp.substr(0, temp.rfind(L'\\'));
    std::wstring appData = [] {
        std::wstring path;
        kel::ReadRegStringW(HKEY_CURRENT_USER,
                            "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell "
                            "Folders",
                            "AppData", path);
        return path;
    }();
    std::wstring toolbar = appData + L"\\Microsoft\\Excel";
};

// The machine as far as the program could change it: HKLM\SOFTWARE, every profile
// under HKEY_USERS, and the files in and beside the repairs' folders.
struct Machine {
    Flat registry;
    Listing files;
};

Machine machineNow(const Folders& at) {
    Machine machine;
    flatten(snapshot(HKEY_LOCAL_MACHINE, "\\SOFTWARE"), L"HKLM\\SOFTWARE", machine.registry);
    flatten(snapshot(HKEY_USERS, ""), L"HKU", machine.registry);
    listFiles(at.aboveTemp, machine.files, false);
    listFiles(at.aboveTemp + L"\\wexdal-hostile", machine.files, true);
    listFiles(at.temp, machine.files, true);
    listFiles(at.appData + L"\\Microsoft", machine.files, true,
              at.appData + L"\\Microsoft\\Windows");
    return machine;
}

// What the buttons pressed may change: the keys the clipboard switch creates, and,
// when the repairs were let run, the Word toolbar value, the ~* files of %TEMP% and
// the *.xlb files of the toolbar folder (which then must be gone).
struct Allowed {
    bool repairsRan;
};

bool wineOwn(const std::wstring& low) {
    return low.rfind(L"hku\\", 0) == 0 && low.find(L"\\software\\wine") != std::wstring::npos;
}

bool clipboardKey(const std::wstring& low) {
    return low.find(L"\\software\\microsoft\\office\\1") != std::wstring::npos &&
           endsWith(low, L".0\\common\\general");
}

bool repairedFile(const std::wstring& path, const Folders& at) {
    std::wstring folder = lowered(path.substr(0, path.rfind(L'\\')));
    std::wstring name = lowered(path.substr(path.rfind(L'\\') + 1));
    return (folder == lowered(at.temp) && name[0] == L'~') ||
           (folder == lowered(at.toolbar) && endsWith(name, L".xlb"));
}

std::vector<std::string> strayChanges(const Machine& before, const Machine& after,
                                      const Folders& at, Allowed allowed) {
    std::vector<std::string> stray;
    for (const auto& [path, value] : before.registry) {
        std::wstring low = lowered(path);
        auto found = after.registry.find(path);
        bool wordToolbar =
            allowed.repairsRan &&
            endsWith(low, L"\\software\\microsoft\\office\\10.0\\word\\data|toolbars");
        if (wineOwn(low))
            continue;
        if (found == after.registry.end() && !wordToolbar)
            stray.push_back("deleted " + shown(path));
        else if (found != after.registry.end() && !(found->second == value))
            stray.push_back("changed " + shown(path));
    }
    for (const auto& [path, value] : after.registry) {
        std::wstring low = lowered(path);
        if (!before.registry.count(path) && !wineOwn(low) && !clipboardKey(low))
            stray.push_back("added " + shown(path));
    }
    for (const auto& [path, size] : before.files) {
        bool repaired = allowed.repairsRan && size != kFolder && repairedFile(path, at);
        if (!after.files.count(path) && !repaired)
            stray.push_back("file deleted " + shown(path));
        if (after.files.count(path) && repaired)
            stray.push_back("file kept " + shown(path));
    }
    for (const auto& [path, size] : after.files)
        if (!before.files.count(path))
            stray.push_back("file added " + shown(path));
    return stray;
}

// The keys that the hostile class names would address if they were misread: the
// values at the root of HKEY_CLASSES_ROOT (an empty class name), the key that the
// yen-named classes read as, and the class ID key's root. A press that touched
// them and a later press that put them back would leave no trace in the whole
// comparison, so they are compared after each press.
struct Decoys {
    std::map<std::wstring, DWORD> rootValues, classIdValues; // name, size
    Tree misreadClass, misreadScriptClass, classIdLocalServer;
    bool operator==(const Decoys&) const = default;
};

std::map<std::wstring, DWORD> valueSizes(HKEY key) {
    std::map<std::wstring, DWORD> sizes;
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD length = 16384, size = 0;
        if (RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
            return sizes;
        sizes[std::wstring(name, length)] = size;
    }
}

Decoys decoysNow() {
    Decoys decoys;
    decoys.rootValues = valueSizes(HKEY_CLASSES_ROOT);
    kel::RegKey classIds;
    if (classIds.open(HKEY_CLASSES_ROOT, "CLSID", KEY_QUERY_VALUE) == ERROR_SUCCESS)
        decoys.classIdValues = valueSizes(classIds.get());
    decoys.misreadClass = snapshot(HKEY_CLASSES_ROOT, "\\PowerPoint");
    decoys.misreadScriptClass = snapshot(HKEY_CLASSES_ROOT, "\\WexdalHostile");
    decoys.classIdLocalServer = snapshot(HKEY_CLASSES_ROOT, "\\CLSID\\LocalServer32");
    return decoys;
}

// Posts a click on the dialog's button and waits for the dialog to go; a click that
// arrives before the dialog takes input is posted again.
bool answer(HWND dialog, const char* button) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        PostMessageA(FindWindowExA(dialog, nullptr, "Button", button), BM_CLICK, 0, 0);
        if (eventually([&] { return !IsWindow(dialog); }))
            return true;
    }
    return false;
}

// Every message window open, topmost first, with whether it takes input and who
// owns it: what a dialog that would not close was stuck behind.
std::string dialogsShown() {
    std::string shown;
    for (HWND window = GetTopWindow(nullptr); window != nullptr;
         window = GetWindow(window, GW_HWNDNEXT)) {
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        if (std::string(name) != "TMessageForm" || !IsWindowVisible(window))
            continue;
        char line[160];
        std::snprintf(line, sizeof line, "%p enabled=%d owner=%p: ", static_cast<void*>(window),
                      IsWindowEnabled(window), static_cast<void*>(GetWindow(window, GW_OWNER)));
        shown += line + dialogMessage(window) + "\n";
    }
    return shown;
}

// The number of the last press whose button's handler has returned: a press that
// gave up never has a late answer written into another's.
ULONG_PTR lastHandled = 0;
void CALLBACK handlerReturned(HWND, UINT, ULONG_PTR press, LRESULT) {
    lastHandled = press;
}

using Messages = std::vector<std::string>;
using Said = std::map<std::string, std::vector<Messages>>;

// How many presses of a page's two-state rows said that they could not update.
size_t failedSwitches(Said& said, const std::string& page) {
    size_t failed = 0;
    for (const char* caption : {"/しない", "/する"})
        for (const Messages& messages : said[page + caption])
            failed += std::count(messages.begin(), messages.end(), "更新出来ませんでした。");
    return failed;
}

// The document classes of .xls, .doc and .ppt are empty, not a string and
// yen-named: every switch of theirs that would write says it could not update.
void expectNoClassSwitchesFail(Said& said) {
    EXPECT_EQ(failedSwitches(said, "Excel"), 1u);
    EXPECT_EQ(failedSwitches(said, "Word"), 1u);
    EXPECT_EQ(failedSwitches(said, "PowerPoint"), 2u); // the browser and the local server
}

// A script class named with a yen sign can't be renamed: switching scripts off says
// it could not, and switching them on again puts back the classes that were moved.
void expectScriptsStayOn(Said& said) {
    EXPECT_EQ(said["Outlook/しない"], std::vector<Messages>{{"更新出来ませんでした。"}});
    EXPECT_EQ(said["Outlook/する"], std::vector<Messages>{{"更新しました。ご確認ください。"}});
}

class HostileMachine : public Session {
  protected:
    HostileMachine() {
        sample::Options options = sample::Standard();
        options.hostile = true;
        sample::Lay(options);
        laidDecoys = decoysNow();
    }
    void show(int index) {
        remote->clickMenuItem(index);
        ASSERT_TRUE(eventually(
            [&] { return remote->selectedItem() == index && remote->visiblePage() != nullptr; }));
    }
    // Presses a button and answers what it shows: No to a termination and to a
    // repair of Office, OK to the rest, until the button's handler has returned (an action slower
    // than any fixed wait would otherwise take the next press inside its outcome's dialog). Returns
    // the messages shown; failed when the press could not finish.
    std::vector<std::string> press(HWND button, bool& failed) {
        std::vector<std::string> messages;
        static ULONG_PTR presses = 0;
        const ULONG_PTR number = ++presses;
        failed = !SendMessageCallbackA(button, BM_CLICK, 0, 0, handlerReturned, number);
        for (DWORD start = GetTickCount();
             !failed && lastHandled != number && GetTickCount() - start < 300000;) {
            MSG message; // the callback arrives while this thread looks at its queue
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&message);
            HWND dialog = openDialog();
            if (dialog == nullptr) {
                failed = !program->running();
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
                continue;
            }
            std::string text = dialogMessage(dialog);
            messages.push_back(text);
            // No to a termination and to Office's repair, which would run the
            // machine's own repair program; OK to the rest.
            bool no = text.find("強制終了します") != std::string::npos ||
                      text.find("Office を修復します") != std::string::npos;
            if (!answer(dialog, no ? "いいえ(&N)" : "OK")) {
                ADD_FAILURE() << "not answered: " << text << "\n" << dialogsShown();
                failed = true;
            }
        }
        failed = failed || lastHandled != number;
        EXPECT_FALSE(failed) << "the button's handler did not return";
        EXPECT_TRUE(waitUntilIdle(remote->main()));
        return messages;
    }
    // Starts the program, shows every page and presses every button on it, then
    // closes the program: what each button said, by "page/caption", in the order
    // pressed.
    Said pressEverything() {
        Said said;
        if (launch().main() == nullptr)
            return said;
        std::vector<std::string> pages = remote->menuItems();
        EXPECT_EQ(pages, (std::vector<std::string>{"Office", "Excel", "Word", "PowerPoint",
                                                   "Outlook", "About"}));
        int pressed = 0;
        for (size_t index = 0; index < pages.size(); ++index) {
            show(static_cast<int>(index));
            for (const RemoteControl& control : buttonsToPress(remote->visiblePage())) {
                bool failed = false;
                said[pages[index] + "/" + control.text].push_back(press(control.window, failed));
                EXPECT_TRUE(decoysNow() == laidDecoys) << pages[index] << " / " << control.text;
                ++pressed;
                EXPECT_TRUE(program->running()) << pages[index] << " / " << control.text;
                if (failed || !program->running())
                    return said; // a press more would land in what is still open
            }
        }
        std::printf("pages built: %zu, buttons pressed: %d\n", pages.size(), pressed);
        EXPECT_GE(pressed, 20);
        EXPECT_TRUE(program->close("Wexdal"));
        program.reset();
        return said;
    }
    // The page's enabled buttons that are up, then the ones that are down: each pair
    // of a switch ends in the state it started in, so that only its side effects
    // remain.
    std::vector<RemoteControl> buttonsToPress(HWND page) const {
        std::vector<RemoteControl> buttons;
        for (bool down : {false, true})
            for (const RemoteControl& control : remote->controlsOf(page)) {
                LONG_PTR style = GetWindowLongPtrA(control.window, GWL_STYLE);
                if (lstrcmpiA(control.className.c_str(), "Button") == 0 && control.visible &&
                    control.enabled && (style & BS_TYPEMASK) != BS_GROUPBOX &&
                    control.checked == down)
                    buttons.push_back(control);
            }
        return buttons;
    }

    Folders at;
    Decoys laidDecoys;
};

void expectNoStrayChanges(const Machine& before, const Machine& after, const Folders& at,
                          Allowed allowed) {
    std::vector<std::string> stray = strayChanges(before, after, at, allowed);
    std::printf("stray writes and deletions: %zu\n", stray.size());
    for (const std::string& line : stray)
        ADD_FAILURE() << line;
}

TEST_F(HostileMachine, EveryButtonChangesOnlyWhatItIsMeantTo) {
    ScratchFolder logs("C:\\wexdal-tests\\hostile");
    SetEnvironmentVariableA("WEXDAL_FIXTURE_LOG", logs.file("log.txt").c_str());
    installFixture("office11", logs.file("IEXPLORE.EXE"));
    ChildProcess browser(logs.file("IEXPLORE.EXE"), "600");
    ASSERT_TRUE(eventually([&] { return !readFile(logs.file("log.txt")).empty(); }));
    Machine laid = machineNow(at);
    for (const std::wstring& survivor : sample::HostileSurvivors())
        ASSERT_EQ(laid.files.count(survivor), 1u) << shown(survivor);

    // The reports read everything and write only their own files.
    std::string report = logs.file("report.txt"), json = logs.file("report.json");
    EXPECT_EQ(runToEnd(wexdalPath(), "/report " + report), 0u);
    EXPECT_EQ(runToEnd(wexdalPath(), "/report:json " + json), 0u);
    std::string text = readFile(report);
    EXPECT_EQ(compareFacts(readMemo(text), parseJson(readFile(json))), std::vector<std::string>{});
    std::string company;
    for (int i = 0; i < 60; ++i)
        company += "株";
    EXPECT_NE(text.find("Company=" + company + "\r\n"), std::string::npos) << "not cut";
    EXPECT_NE(text.find("Owner=" + std::string((1 << 20) - 1, 'M') + "\r\n"), std::string::npos)
        << "a 1 MB owner, whole";

    // Excel, Word and PowerPoint running, every termination declined: nothing is
    // repaired, only the switches' side effects remain.
    Said said;
    {
        std::vector<std::unique_ptr<ChildProcess>> office;
        for (const char* name : {"EXCEL.EXE", "WINWORD.EXE", "POWERPNT.EXE"})
            office.push_back(std::make_unique<ChildProcess>(sample::InstallRoot(11) + name, "600"));
        said = pressEverything();
        for (const auto& running : office)
            EXPECT_TRUE(running->running());
    }
    const Messages failed{"更新出来ませんでした。"};
    const Messages stopExcel{"Excel を強制終了します。宜しいですか？"};
    const Messages stopWord{"Word を強制終了します。宜しいですか？"};
    Messages stopExcelFailed = stopExcel, stopWordFailed = stopWord;
    stopExcelFailed.push_back(failed[0]);
    stopWordFailed.push_back(failed[0]);
    EXPECT_EQ(said["Excel/停止する"], std::vector<Messages>{stopExcel});
    EXPECT_EQ(said["Excel/修復を試みる"],
              (std::vector<Messages>{stopExcelFailed, stopExcelFailed}));
    EXPECT_EQ(said["Word/修復を試みる"], (std::vector<Messages>{stopWordFailed, stopWord}));
    EXPECT_EQ(said["PowerPoint/停止する"],
              std::vector<Messages>{{"PowerPoint を強制終了します。宜しいですか？"}});
    expectNoClassSwitchesFail(said);
    expectScriptsStayOn(said);
    Machine declinedAll = machineNow(at);
    expectNoStrayChanges(laid, declinedAll, at, Allowed{false});

    // Nothing running: the repairs run, and touch only their own files.
    said = pressEverything();
    expectNoClassSwitchesFail(said);
    expectScriptsStayOn(said);
    EXPECT_EQ(said["Office/更新(&R)"], std::vector<Messages>{{"変更されていません。"}});
    const Messages tried{"修復を試みました。ご確認ください。"};
    EXPECT_EQ(said["Excel/修復を試みる"], (std::vector<Messages>{tried, tried}));
    EXPECT_EQ(said.count("Excel/停止する"), 0u) << "disabled while Excel is not running";
    expectNoStrayChanges(declinedAll, machineNow(at), at, Allowed{true});
    SetEnvironmentVariableA("WEXDAL_FIXTURE_LOG", nullptr);
}

} // namespace
