// Owners for kernel handles, file searches, local memory and extracted icons. Both NULL and
// INVALID_HANDLE_VALUE mean "no handle".
#pragma once

#include <windows.h>

#include <utility>

namespace kel {

// A handle closed with CloseHandle (process, snapshot, file); move-only.
class Handle {
  public:
    Handle() = default;
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(Handle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    Handle& operator=(Handle&& other) noexcept {
        reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { reset(); }

    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    void reset(HANDLE handle = nullptr) {
        if (valid())
            CloseHandle(handle_);
        handle_ = handle;
    }

  private:
    HANDLE handle_ = nullptr;
};

// A FindFirstFile search, closed with FindClose.
class FindHandle {
  public:
    explicit FindHandle(HANDLE handle) : handle_(handle) {}
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    ~FindHandle() {
        if (valid())
            FindClose(handle_);
    }
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE handle_;
};

// Memory from LocalAlloc (CommandLineToArgvW, FormatMessage), freed with LocalFree.
class LocalMemory {
  public:
    explicit LocalMemory(void* memory) : memory_(memory) {}
    LocalMemory(const LocalMemory&) = delete;
    LocalMemory& operator=(const LocalMemory&) = delete;
    ~LocalMemory() {
        if (memory_ != nullptr)
            LocalFree(memory_);
    }

  private:
    void* memory_;
};

// An icon from ExtractIcon, destroyed with DestroyIcon; move-only. ExtractIcon's 1
// ("not a program") is no icon.
class ExtractedIcon {
  public:
    explicit ExtractedIcon(HICON icon) : icon_(icon) {}
    ExtractedIcon(ExtractedIcon&& other) noexcept : icon_(std::exchange(other.icon_, nullptr)) {}
    ExtractedIcon& operator=(ExtractedIcon&& other) noexcept {
        std::swap(icon_, other.icon_);
        return *this;
    }
    ExtractedIcon(const ExtractedIcon&) = delete;
    ExtractedIcon& operator=(const ExtractedIcon&) = delete;
    ~ExtractedIcon() {
        if (reinterpret_cast<UINT_PTR>(icon_) > 1)
            DestroyIcon(icon_);
    }
    HICON get() const { return icon_; }

  private:
    HICON icon_;
};

} // namespace kel
