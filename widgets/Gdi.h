// Owners for GDI handles and device contexts.
#pragma once

#include <windows.h>

#include <utility>

namespace ui {

// Owns one GDI object (font, brush, pen, bitmap) and deletes it; move-only.
template <typename T> class GdiObject {
  public:
    GdiObject() = default;
    explicit GdiObject(T handle) : handle_(handle) {}
    GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ~GdiObject() { reset(); }

    T get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void reset(T handle = nullptr) {
        if (handle_ != nullptr)
            DeleteObject(handle_);
        handle_ = handle;
    }

  private:
    T handle_ = nullptr;
};

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

// A DC of the whole display, deleted on destruction.
class DisplayDc {
  public:
    DisplayDc() : dc_(CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr)) {}
    ~DisplayDc() { DeleteDC(dc_); }
    DisplayDc(const DisplayDc&) = delete;
    DisplayDc& operator=(const DisplayDc&) = delete;
    HDC get() const { return dc_; }

  private:
    HDC dc_;
};

// A memory DC compatible with reference (the screen when null), deleted on
// destruction.
class MemoryDc {
  public:
    explicit MemoryDc(HDC reference) : dc_(CreateCompatibleDC(reference)) {}
    ~MemoryDc() { DeleteDC(dc_); }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC get() const { return dc_; }

  private:
    HDC dc_;
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
