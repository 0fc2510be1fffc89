#include "tests/support/Remote.h"

#include "tests/support/Dialogs.h"
#include "tests/support/Processes.h"

#include "sysinfo/Text.h"

namespace testing_support {

namespace {

// Texts cross processes as UTF-16 (ANSI list-box texts arrive garbled under Wine).
std::string ansi(const std::wstring& text) {
    return kel::WideToAnsi(text);
}

// Asks the control itself, as a screen reader does (edits keep their own text).
std::string textOf(HWND window) {
    std::wstring text(65536, L'\0');
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 5000, &length);
    text.resize(length);
    return ansi(text);
}

std::string classOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

RECT boundsIn(HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

HWND listBoxOf(HWND main) {
    return FindWindowExA(main, nullptr, "ListBox", nullptr);
}

} // namespace

std::vector<std::string> RemoteWexdal::menuItems() const {
    HWND list = listBoxOf(main_);
    std::vector<std::string> items;
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        items.push_back(ansi(text));
    }
    return items;
}

int RemoteWexdal::selectedItem() const {
    return static_cast<int>(SendMessageA(listBoxOf(main_), LB_GETCURSEL, 0, 0));
}

void RemoteWexdal::clickMenuItem(int index) const {
    HWND list = listBoxOf(main_);
    int height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    LPARAM point = MAKELPARAM(40, index * height + height / 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageA(list, WM_LBUTTONUP, 0, point);
}

HWND RemoteWexdal::visiblePage() const {
    for (HWND child = GetWindow(main_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (lstrcmpiA(classOf(child).c_str(), "Button") == 0 && IsWindowVisible(child) &&
            (GetWindowLongA(child, GWL_STYLE) & 0xF) == BS_GROUPBOX)
            return child;
    return nullptr;
}

std::string RemoteWexdal::caption(HWND window) const {
    return textOf(window);
}

std::vector<RemoteControl> RemoteWexdal::controlsOf(HWND parent) const {
    std::vector<RemoteControl> controls;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        controls.push_back({child, classOf(child), textOf(child), boundsIn(child),
                            (GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE) != 0,
                            IsWindowEnabled(child) != FALSE,
                            SendMessageA(child, BM_GETCHECK, 0, 0) == BST_CHECKED});
    return controls;
}

HWND RemoteWexdal::controlByText(HWND parent, const std::string& text) const {
    for (const RemoteControl& control : controlsOf(parent))
        if (control.text == text)
            return control.window;
    return nullptr;
}

HWND RemoteWexdal::rowControl(const std::string& label, const std::string& text) const {
    HWND page = visiblePage();
    HWND labelWindow = controlByText(page, label);
    if (labelWindow == nullptr)
        return nullptr;
    RECT band = boundsIn(labelWindow);
    for (const RemoteControl& control : controlsOf(page))
        if (control.text == text && control.bounds.top <= band.bottom &&
            control.bounds.bottom >= band.top)
            return control.window;
    return nullptr;
}

void RemoteWexdal::click(HWND button) const {
    PostMessageA(button, BM_CLICK, 0, 0);
}

HWND RemoteWexdal::focus() const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(main_, nullptr), &info);
    return info.hwndFocus;
}

void RemoteWexdal::pressKey(WORD key, bool shift, bool alt) const {
    std::vector<INPUT> inputs;
    auto add = [&](WORD vk, bool up) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    if (shift)
        add(VK_SHIFT, false);
    if (alt)
        add(VK_MENU, false);
    add(key, false);
    add(key, true);
    if (alt)
        add(VK_MENU, true);
    if (shift)
        add(VK_SHIFT, true);
    HWND dialog = openDialog();
    SetForegroundWindow(dialog ? dialog : main_);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    waitForQueue();
}

// Waits until the program has taken everything from its queue.
void RemoteWexdal::waitForQueue() const {
    DWORD_PTR result = 0;
    Sleep(50);
    SendMessageTimeoutA(main_, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
}

HWND openDialog() {
    HWND dialog = FindWindowA("TMessageForm", nullptr);
    return dialog && IsWindowVisible(dialog) ? dialog : nullptr;
}

HWND waitForDialog(DWORD milliseconds) {
    for (DWORD waited = 0; waited < milliseconds; waited += 50) {
        if (HWND dialog = openDialog())
            return dialog;
        Sleep(50);
    }
    return nullptr;
}

std::string dialogMessage(HWND dialog) {
    return readDialog(dialog).message;
}

bool waitUntilIdle(HWND mainWindow) {
    return eventually([&] { return IsWindowEnabled(mainWindow) && openDialog() == nullptr; });
}

} // namespace testing_support
