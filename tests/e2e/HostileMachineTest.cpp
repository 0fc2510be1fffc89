// The real wexdal.exe on the hostile sample machine: every page visited, every
// button pressed (every termination answered No). The registry and the files
// differ afterwards only where the pressed buttons are meant to change them.
#include "sysinfo/Registry.h"
#include "sysinfo/Text.h"
#include "tests/sample/SampleMachine.h"
#include "tests/support/Fixtures.h"
#include "tests/support/Processes.h"
#include "tests/support/Remote.h"
#include "tests/support/ScratchKey.h"

#include <gtest/gtest.h>

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

Flat registryExport() {
    Flat flat;
    flatten(snapshot(HKEY_LOCAL_MACHINE, "\\SOFTWARE"), L"HKLM\\SOFTWARE", flat);
    flatten(snapshot(HKEY_USERS, ""), L"HKU", flat);
    return flat;
}

// Every file and folder in a folder (and below it when deep), with its size.
using Listing = std::map<std::wstring, ULONGLONG>;
constexpr ULONGLONG kFolder = ~0ull;

void listFiles(const std::wstring& folder, Listing& listing, bool deep = true) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        std::wstring path = folder + L"\\" + name;
        bool directory = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        listing[path] =
            directory ? kFolder
                      : (static_cast<ULONGLONG>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        if (directory && deep)
            listFiles(path, listing);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// The user's profile folder itself (its other folders lead to the Unix home), the
// temporary folder and the application data of Microsoft programs.
Listing fileListing(const std::wstring& profile, const std::wstring& temp,
                    const std::wstring& appData) {
    Listing listing;
    listFiles(profile, listing, false);
    listFiles(profile + L"\\wexdal-hostile", listing);
    listFiles(temp, listing);
    listFiles(appData + L"\\Microsoft", listing);
    return listing;
}

std::wstring lowered(std::wstring text) {
    for (wchar_t& c : text)
        c = c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c;
    return text;
}

std::wstring environment(const wchar_t* name) {
    wchar_t value[32768];
    DWORD length = GetEnvironmentVariableW(name, value, 32768);
    return std::wstring(value, length < 32768 ? length : 0);
}

std::string shown(const std::wstring& text) {
    return kel::WideToAnsi(text);
}

class HostileMachine : public testing::Test {
  protected:
    ~HostileMachine() override {
        if (program)
            program->close("Wexdal");
        program.reset();
        sample::Remove();
    }

    void launch() {
        program = std::make_unique<ChildProcess>(wexdalPath());
        HWND window = program->window("Wexdal");
        ASSERT_NE(window, nullptr);
        remote = std::make_unique<RemoteWexdal>(window);
        ASSERT_TRUE(eventually([&] { return !remote->menuItems().empty(); }));
    }
    void show(int index) {
        remote->clickMenuItem(index);
        ASSERT_TRUE(eventually(
            [&] { return remote->selectedItem() == index && remote->visiblePage() != nullptr; }));
    }
    // Presses a button and answers what it shows: No to a termination, OK to the
    // rest. Returns the messages shown.
    std::vector<std::string> press(HWND button) {
        std::vector<std::string> messages;
        remote->click(button);
        for (HWND dialog = waitForDialog(3000); dialog != nullptr; dialog = waitForDialog(1500)) {
            std::string message = dialogMessage(dialog);
            messages.push_back(message);
            bool termination = message.find("強制終了します") != std::string::npos;
            PostMessageA(
                FindWindowExA(dialog, nullptr, "Button", termination ? "いいえ(&N)" : "OK"),
                BM_CLICK, 0, 0);
            EXPECT_TRUE(eventually([&] { return !IsWindow(dialog); })) << message;
        }
        EXPECT_TRUE(waitUntilIdle(remote->main()));
        return messages;
    }

    std::unique_ptr<ChildProcess> program;
    std::unique_ptr<RemoteWexdal> remote;
};

// Not yet passing: an outcome dialog of the no-class switches stays open under the
// loaded test bench; run with --gtest_also_run_disabled_tests.
TEST_F(HostileMachine, DISABLED_EveryButtonChangesOnlyWhatItIsMeantTo) {
    ScratchFolder logs("C:\\wexdal-tests\\hostile-dde");
    SetEnvironmentVariableA("WEXDAL_FIXTURE_LOG", logs.file("log.txt").c_str());
    installFixture("office11", logs.file("IEXPLORE.EXE"));
    ChildProcess browser(logs.file("IEXPLORE.EXE"), "600");
    ASSERT_TRUE(eventually([&] { return !readFile(logs.file("log.txt")).empty(); }));

    sample::Options options = sample::Standard();
    options.hostile = true;
    sample::Lay(options);
    std::wstring temp = environment(L"TEMP");
    std::wstring profiles = temp.substr(0, temp.find(L'\\', 9)); // C:\users\<name>
    std::wstring appData;
    kel::ReadRegStringW(HKEY_CURRENT_USER,
                        "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                        "AppData", appData);
    std::wstring toolbar = appData + L"\\Microsoft\\Excel";
    DWORD started = GetTickCount();
    Flat registryBefore = registryExport();
    Listing filesBefore = fileListing(profiles, temp, appData);
    for (const std::wstring& survivor : sample::HostileSurvivors())
        ASSERT_EQ(filesBefore.count(survivor), 1u) << shown(survivor);

    std::printf("export and listing: %lu ms\n", GetTickCount() - started);
    started = GetTickCount();
    launch();
    std::vector<std::string> pages = remote->menuItems();
    EXPECT_EQ(pages, (std::vector<std::string>{"Office", "Excel", "Word", "PowerPoint", "Outlook",
                                               "About"}));
    int pressed = 0;
    std::map<std::string, std::vector<std::string>> said;
    for (size_t index = 0; index < pages.size(); ++index) {
        show(static_cast<int>(index));
        HWND page = remote->visiblePage();
        // Buttons that are up first, then the ones that were down: each pair ends in
        // the state it started in, so that only its side effects remain.
        std::vector<RemoteControl> buttons;
        for (bool down : {false, true})
            for (const RemoteControl& control : remote->controlsOf(page)) {
                LONG_PTR style = GetWindowLongPtrA(control.window, GWL_STYLE);
                if (lstrcmpiA(control.className.c_str(), "Button") == 0 && control.visible &&
                    (style & BS_TYPEMASK) != BS_GROUPBOX && control.checked == down)
                    buttons.push_back(control);
            }
        for (const RemoteControl& control : buttons) {
            said[pages[index] + "/" + control.text] = press(control.window);
            ++pressed;
            ASSERT_TRUE(program->running()) << pages[index] << " / " << control.text;
        }
    }
    std::printf("pages built: %zu, buttons pressed: %d\n", pages.size(), pressed);
    EXPECT_GE(pressed, 20);
    std::printf("pages and buttons: %lu ms\n", GetTickCount() - started);
    EXPECT_TRUE(program->close("Wexdal"));
    program.reset();

    // A document class that is empty, not a string or changed is no class: the switch
    // that would write reports failure.
    EXPECT_EQ(said["Word/しない"], std::vector<std::string>{"更新出来ませんでした。"});
    EXPECT_EQ(said["Office/更新(&R)"], std::vector<std::string>{"変更されていません。"});

    // Registry: only the keys the clipboard switch creates, and the Word toolbar value.
    Flat registryAfter = registryExport();
    std::vector<std::string> stray;
    for (const auto& [path, value] : registryBefore) {
        auto after = registryAfter.find(path);
        bool wordToolbar = lowered(path).find(L"\\software\\microsoft\\office\\10.0\\word\\data|"
                                              L"toolbars") != std::wstring::npos;
        if (after == registryAfter.end() && !wordToolbar)
            stray.push_back("deleted " + shown(path));
        else if (after != registryAfter.end() && !(after->second == value))
            stray.push_back("changed " + shown(path));
    }
    for (const auto& [path, value] : registryAfter) {
        std::wstring low = lowered(path);
        const std::wstring general = L".0\\common\\general";
        bool clipboardKey = low.find(L"\\software\\microsoft\\office\\1") != std::wstring::npos &&
                            low.size() > general.size() &&
                            low.compare(low.size() - general.size(), general.size(), general) == 0;
        if (!registryBefore.count(path) && !clipboardKey)
            stray.push_back("added " + shown(path));
    }
    // Files: only ~*.* files of %TEMP% and *.xlb files of the toolbar folder go.
    Listing filesAfter = fileListing(profiles, temp, appData);
    for (const auto& [path, size] : filesBefore) {
        std::wstring folder = path.substr(0, path.rfind(L'\\'));
        std::wstring name = path.substr(path.rfind(L'\\') + 1);
        bool tempFile = lowered(folder) == lowered(temp) && name[0] == L'~';
        bool toolbarFile = lowered(folder) == lowered(toolbar) && name.size() > 4 &&
                           lowered(name.substr(name.size() - 4)) == L".xlb";
        if (!filesAfter.count(path) && !(size != kFolder && (tempFile || toolbarFile)))
            stray.push_back("file deleted " + shown(path));
        if (filesAfter.count(path) && size != kFolder && (tempFile || toolbarFile))
            stray.push_back("file kept " + shown(path));
    }
    for (const auto& [path, size] : filesAfter)
        if (!filesBefore.count(path))
            stray.push_back("file added " + shown(path));
    std::printf("stray writes and deletions: %zu\n", stray.size());
    for (const std::string& line : stray)
        ADD_FAILURE() << line;
    SetEnvironmentVariableA("WEXDAL_FIXTURE_LOG", nullptr);
}

} // namespace
