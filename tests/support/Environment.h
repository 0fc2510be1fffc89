// An environment variable of the test process, set for the length of a test.
#pragma once

#include <string>

namespace testing_support {

// Sets a variable and puts back what it held, or removes it again, when the object
// goes. The ANSI form removes the variable for a null value; the wide form sets
// text that code page 932 cannot carry.
class EnvironmentOverride {
  public:
    EnvironmentOverride(const char* name, const char* value);
    EnvironmentOverride(const wchar_t* name, const std::wstring& value);
    ~EnvironmentOverride();
    EnvironmentOverride(const EnvironmentOverride&) = delete;
    EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;

  private:
    void save();
    std::wstring name_;
    bool had_ = false;
    std::wstring old_;
};

} // namespace testing_support
