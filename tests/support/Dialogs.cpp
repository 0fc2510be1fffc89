#include "tests/support/Dialogs.h"

#include <algorithm>

namespace testing_support {

namespace {

DialogAnswer* gAnswer = nullptr;

std::string textOf(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string classOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

RECT boundsIn(HWND parent, HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

BOOL CALLBACK findDialog(HWND window, LPARAM found) {
    if (IsWindowVisible(window) && classOf(window) == "TMessageForm") {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

SeenDialog readDialog(HWND dialog) {
    SeenDialog seen;
    seen.window = dialog;
    seen.title = textOf(dialog);
    std::vector<std::pair<int, std::string>> buttons;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        std::string kind = classOf(child);
        if (lstrcmpiA(kind.c_str(), "Button") == 0)
            buttons.emplace_back(boundsIn(dialog, child).left, textOf(child));
        else if (lstrcmpiA(kind.c_str(), "Static") == 0) {
            seen.message = textOf(child);
            seen.label = boundsIn(dialog, child);
        } else if (kind == "WexdalImage")
            seen.icon = boundsIn(dialog, child);
    }
    std::sort(buttons.begin(), buttons.end());
    for (const auto& button : buttons)
        seen.buttons.push_back(button.second);
    return seen;
}

void pressButton(HWND dialog, const std::string& caption) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (textOf(child) == caption) {
            PostMessageA(child, BM_CLICK, 0, 0);
            return;
        }
}

void pressKey(HWND dialog, WPARAM key, bool alt) {
    HWND target = GetFocus() ? GetFocus() : dialog;
    if (alt)
        PostMessageA(target, WM_SYSCHAR, key, 1 << 29);
    else
        PostMessageA(target, WM_KEYDOWN, key, 0);
}

DialogAnswer::DialogAnswer(std::function<void(HWND)> action)
    : action_(std::move(action)), timer_(SetTimer(nullptr, 0, 30, tick)) {
    gAnswer = this;
}

DialogAnswer::~DialogAnswer() {
    KillTimer(nullptr, timer_);
    if (gAnswer == this)
        gAnswer = nullptr;
}

void CALLBACK DialogAnswer::tick(HWND, UINT, UINT_PTR, DWORD) {
    if (gAnswer == nullptr || gAnswer->answered_)
        return;
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findDialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog == nullptr)
        return;
    gAnswer->answered_ = true;
    gAnswer->seen_ = readDialog(dialog);
    gAnswer->action_(dialog);
}

std::function<void(HWND)> press(const std::string& caption) {
    return [caption](HWND dialog) { pressButton(dialog, caption); };
}

} // namespace testing_support
