#include "tests/support/Environment.h"

#include <windows.h>

namespace testing_support {

EnvironmentOverride::EnvironmentOverride(const char* name, const char* value)
    : name_(name, name + std::char_traits<char>::length(name)) {
    save();
    SetEnvironmentVariableA(name, value);
}

EnvironmentOverride::EnvironmentOverride(const wchar_t* name, const std::wstring& value)
    : name_(name) {
    save();
    SetEnvironmentVariableW(name, value.c_str());
}

EnvironmentOverride::~EnvironmentOverride() {
    SetEnvironmentVariableW(name_.c_str(), had_ ? old_.c_str() : nullptr);
}

void EnvironmentOverride::save() {
    DWORD size = GetEnvironmentVariableW(name_.c_str(), nullptr, 0); // 0 only when unset
    had_ = size > 0;
    if (!had_)
        return;
    old_.resize(size);
    old_.resize(GetEnvironmentVariableW(name_.c_str(), old_.data(), size));
}

} // namespace testing_support
