// Answers the program's modal message dialog as a user would, from inside its modal
// loop on the test's own thread: the dialog is found by its window class, read, and
// a button pressed or a key sent.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace testing_support {

struct SeenDialog {
    HWND window = nullptr;
    std::string title;
    std::string message;
    std::vector<std::string> buttons; // captions, left to right
    RECT icon = {}, label = {};       // in client coordinates
};

SeenDialog readDialog(HWND dialog);
void pressButton(HWND dialog, const std::string& caption);
void pressKey(HWND dialog, WPARAM key, bool alt = false);

// While it lives, the next dialog that opens on this thread is handed to action.
class DialogAnswer {
  public:
    explicit DialogAnswer(std::function<void(HWND dialog)> action);
    ~DialogAnswer();
    DialogAnswer(const DialogAnswer&) = delete;
    DialogAnswer& operator=(const DialogAnswer&) = delete;
    bool answered() const { return answered_; }
    const SeenDialog& seen() const { return seen_; }

  private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);
    std::function<void(HWND)> action_;
    UINT_PTR timer_;
    bool answered_ = false;
    SeenDialog seen_;
};

// Answers by pressing the button with this caption, remembering what was shown.
std::function<void(HWND)> press(const std::string& caption);

} // namespace testing_support
