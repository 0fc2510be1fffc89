// Owning wrapper for an open registry key.
#pragma once

#include <windows.h>

#include <string>

namespace kel {

// A move-only owner of one HKEY. The predefined roots are borrowed, never closed.
class RegKey {
  public:
    RegKey() = default;
    explicit RegKey(HKEY key) : key_(key) {}
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    RegKey(RegKey&& other) noexcept : key_(other.release()) {}
    RegKey& operator=(RegKey&& other) noexcept;
    ~RegKey() { close(); }

    HKEY get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }
    HKEY release();
    void close();

    // Each returns the platform status; on failure the key is left closed.
    [[nodiscard]] LONG open(HKEY root, const std::string& path, REGSAM access);
    [[nodiscard]] LONG openW(HKEY root, const std::wstring& path, REGSAM access);
    [[nodiscard]] LONG create(HKEY root, const std::string& path, REGSAM access);
    [[nodiscard]] LONG createW(HKEY root, const std::wstring& path, REGSAM access);

  private:
    HKEY key_ = nullptr;
};

} // namespace kel
