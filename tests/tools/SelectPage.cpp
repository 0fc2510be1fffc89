// Selects a page of the running Wexdal as a mouse click on the menu would, and
// prints the window's screen rectangle ("left top width height").
//   select_page <menu item text>
#include "tests/support/Processes.h"
#include "tests/support/Remote.h"

#include <cstdio>

using namespace testing_support;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: select_page <menu item>\n");
        return 2;
    }
    HWND window = nullptr;
    eventually([&] { return (window = FindWindowA("TForm1", "Wexdal")) != nullptr; });
    if (window == nullptr) {
        std::fprintf(stderr, "select_page: Wexdal is not running\n");
        return 1;
    }
    RemoteWexdal wexdal(window);
    eventually([&] { return !wexdal.menuItems().empty(); });
    std::vector<std::string> items = wexdal.menuItems();
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i] == argv[1])
            wexdal.clickMenuItem(static_cast<int>(i));
    Sleep(700);
    RECT rect;
    GetWindowRect(window, &rect);
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
                rect.bottom - rect.top);
    return 0;
}
