// The bare window the start-up benchmark compares the program with: a window of the
// main window's size and style holding a list box with six items, nothing more.
// Built a second time as the floor under the program (WEXDAL_BARE_FLOOR): the same
// window with the program's manifest (the version 6 common controls) and DLLs, and,
// given "windows N" on its command line, as many windows in all as the program's
// window holds (N - 2 hidden child windows on a page beside the list box): what any
// program with that window tree pays on this platform.
#include <windows.h>
#ifdef WEXDAL_BARE_FLOOR
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstdlib>
#include <cstring>
#endif

namespace {

const char kTitle[] = "WexdalBare";

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

#ifdef WEXDAL_BARE_FLOOR
// Each child made the least way a control of the program's tree can be: created,
// placed, captioned and shown on a hidden page, given the font, and raised above its
// earlier siblings (a new child window lies below them).
void makeChildren(HWND window, HINSTANCE instance, const char* commandLine) {
    const char* count = std::strstr(commandLine, "windows ");
    if (count == nullptr)
        return;
    int children = std::atoi(count + 8) - 2; // less the page and the list box
    HWND page = CreateWindowExA(0, "BUTTON", "", WS_CHILD | BS_GROUPBOX, 104, 2, 370, 240, window,
                                nullptr, instance, nullptr);
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    for (int i = 0; i < children; ++i) {
        HWND child =
            CreateWindowExA(0, i % 3 == 0 ? "STATIC" : "BUTTON", "する", WS_CHILD | WS_VISIBLE, 10,
                            10 + i % 8 * 30, 100, 25, page, nullptr, instance, nullptr);
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SetWindowPos(child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

// The program's DLLs beyond the bare window's: those its import table names, and the
// version library it loads from the system folder to read its programs' versions.
void loadProgramDlls() {
    LoadLibraryExW(L"version.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    const void* volatile imported[] = {reinterpret_cast<const void*>(&ExtractIconA),
                                       reinterpret_cast<const void*>(&CoUninitialize),
                                       reinterpret_cast<const void*>(&RegCloseKey)};
    (void)imported;
}
#endif

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
#ifdef WEXDAL_BARE_FLOOR
    loadProgramDlls();
#else
    (void)commandLine;
#endif
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
#ifdef WEXDAL_BARE_FLOOR
    makeChildren(window, instance, commandLine);
#endif
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
