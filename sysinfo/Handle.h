// One owner for the handles the program keeps: ScopedHandle<Traits>, where
// the traits name the handle's type, the value that means "none" and how the
// handle is let go. Move-only; a handle that is no handle is never let go.
#pragma once

#include <windows.h>

#include <utility>

namespace kel {

template <typename Traits> class ScopedHandle {
  public:
    using Type = typename Traits::Type;

    ScopedHandle() = default;
    explicit ScopedHandle(Type handle) : handle_(handle) {}
    ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ~ScopedHandle() { reset(); }

    Type get() const { return handle_; }
    bool valid() const { return Traits::IsValid(handle_); }
    explicit operator bool() const { return valid(); }
    Type release() { return std::exchange(handle_, Traits::None()); }
    void reset(Type handle = Traits::None()) {
        if (valid())
            Traits::Close(handle_);
        handle_ = handle;
    }

  private:
    Type handle_ = Traits::None();
};

// The traits of handles whose "none" is a null pointer.
template <typename T, auto close> struct NullTraits {
    using Type = T;
    static constexpr T None() { return nullptr; }
    static bool IsValid(T handle) { return handle != nullptr; }
    static void Close(T handle) { close(handle); }
};

// Kernel handles (process, snapshot, file, event) and file searches: both NULL and
// INVALID_HANDLE_VALUE mean none.
template <auto close> struct KernelTraits : NullTraits<HANDLE, close> {
    static bool IsValid(HANDLE handle) {
        return handle != nullptr && handle != INVALID_HANDLE_VALUE;
    }
};

// An icon from ExtractIcon, whose 1 ("not a program") is no icon either.
struct ExtractedIconTraits : NullTraits<HICON, DestroyIcon> {
    static bool IsValid(HICON icon) { return reinterpret_cast<UINT_PTR>(icon) > 1; }
};

using Handle = ScopedHandle<KernelTraits<CloseHandle>>;
using FindHandle = ScopedHandle<KernelTraits<FindClose>>;
// Memory from LocalAlloc (CommandLineToArgvW, FormatMessage).
using LocalMemory = ScopedHandle<NullTraits<HLOCAL, LocalFree>>;
using ExtractedIcon = ScopedHandle<ExtractedIconTraits>;

} // namespace kel
