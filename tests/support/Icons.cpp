#include "tests/support/Icons.h"

namespace testing_support {

HICON solidIcon(COLORREF colour) {
    HDC screen = GetDC(nullptr);
    HBITMAP colourBitmap = CreateCompatibleBitmap(screen, 32, 32);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, colourBitmap);
    RECT all = {0, 0, 32, 32};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    BYTE maskBits[32 * 4] = {}; // all opaque
    HBITMAP mask = CreateBitmap(32, 32, 1, 1, maskBits);
    ICONINFO info = {TRUE, 0, 0, mask, colourBitmap};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(colourBitmap);
    return icon;
}

} // namespace testing_support
