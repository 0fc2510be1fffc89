// Owners for GDI handles and device contexts.
#pragma once

#include "sysinfo/Handle.h"

#include <windows.h>

namespace ui {

// Owns one GDI object (font, brush, pen, bitmap) and deletes it; move-only.
template <typename T> using GdiObject = kel::ScopedHandle<kel::NullTraits<T, DeleteObject>>;

using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Pen = GdiObject<HPEN>;
using Bitmap = GdiObject<HBITMAP>;

// Selects an object into a DC for the lifetime of the guard.
class SelectGuard {
  public:
    SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~SelectGuard() { SelectObject(dc_, old_); }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

  private:
    HDC dc_;
    HGDIOBJ old_;
};

// A window's DC from GetDC, released on destruction.
class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() { ReleaseDC(window_, dc_); }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// A device context the program made, deleted with DeleteDC.
using OwnedDc = kel::ScopedHandle<kel::NullTraits<HDC, DeleteDC>>;

// A DC of the whole display.
class DisplayDc : public OwnedDc {
  public:
    DisplayDc() : OwnedDc(CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr)) {}
};

// A memory DC compatible with reference (the screen when null).
class MemoryDc : public OwnedDc {
  public:
    explicit MemoryDc(HDC reference) : OwnedDc(CreateCompatibleDC(reference)) {}
};

// A memory DC with its own bitmap of the given size, compatible with reference.
class MemoryCanvas {
  public:
    MemoryCanvas(HDC reference, int width, int height)
        : dc_(reference), bitmap_(CreateCompatibleBitmap(reference, width, height)),
          select_(dc_.get(), bitmap_.get()), width_(width), height_(height) {}
    MemoryCanvas(const MemoryCanvas&) = delete;
    MemoryCanvas& operator=(const MemoryCanvas&) = delete;
    HDC get() const { return dc_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }

  private:
    MemoryDc dc_;
    Bitmap bitmap_;
    SelectGuard select_; // puts the DC's own bitmap back before either is deleted
    int width_, height_;
};

} // namespace ui
