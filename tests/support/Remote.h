// Drives a running wexdal.exe through its windows, as a user (or a screen reader)
// would: the menu list's items, the page shown, its labels and buttons by caption,
// and the program's message dialogs.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

struct RemoteControl {
    HWND window;
    std::string className;
    std::string text;
    RECT bounds; // in its parent's client coordinates
    bool visible, enabled, checked;
};

class RemoteWexdal {
  public:
    explicit RemoteWexdal(HWND mainWindow) : main_(mainWindow) {}
    HWND main() const { return main_; }

    std::vector<std::string> menuItems() const;
    int selectedItem() const;
    // Clicks the menu item as a mouse would.
    void clickMenuItem(int index) const;
    // The visible page (a group box child of the main window).
    HWND visiblePage() const;
    std::string caption(HWND window) const;
    // The controls on a window, in z-order.
    std::vector<RemoteControl> controlsOf(HWND parent) const;
    // The control on the visible page whose text is text and whose vertical band
    // meets the label's (row controls share a band); nullptr when none.
    HWND rowControl(const std::string& label, const std::string& text) const;
    HWND controlByText(HWND parent, const std::string& text) const;
    void click(HWND button) const;
    // The window with the keyboard focus in the program's user-interface thread.
    HWND focus() const;
    // Presses and releases a key, with Shift or Alt held when asked, as the keyboard
    // does: the program gets it through its message queue.
    void pressKey(WORD key, bool shift = false, bool alt = false) const;

  private:
    void waitForQueue() const;
    HWND main_;
};

// The program's message dialog of another process, when one is open.
HWND openDialog();
// Waits up to 10 s for a dialog; nullptr when none opens.
HWND waitForDialog(DWORD milliseconds = 10000);
// The dialog's message text.
std::string dialogMessage(HWND dialog);
// Waits until the main window is enabled again (the action and its messages are done).
bool waitUntilIdle(HWND mainWindow);

} // namespace testing_support
