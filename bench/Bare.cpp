// The bare window the start-up benchmark compares the program with: a window of the
// main window's size and style holding a list box with six items, nothing more.
#include <windows.h>

namespace {

const char kTitle[] = "WexdalBare";

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "WexdalBare";
    RegisterClassA(&windowClass);
    HWND window =
        CreateWindowExA(WS_EX_DLGMODALFRAME, "WexdalBare", kTitle,
                        WS_CAPTION | WS_SYSMENU | WS_DLGFRAME | WS_MINIMIZEBOX, CW_USEDEFAULT,
                        CW_USEDEFAULT, 480, 334, nullptr, nullptr, instance, nullptr);
    HWND list = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY,
                                2, 2, 97, 240, window, nullptr, instance, nullptr);
    const char* const items[] = {"Office", "Excel", "Word", "PowerPoint", "Outlook", "About"};
    for (const char* item : items)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    ShowWindow(window, SW_SHOW);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
