// Registry helpers for tests: a scratch key that removes itself, raw value writes
// of any type, and whole-tree snapshots that compare byte for byte.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace testing_support {

using Bytes = std::vector<BYTE>;

// A key below root that is deleted with its whole tree when the object goes.
class ScratchKey {
  public:
    ScratchKey(HKEY root, std::string path);
    ~ScratchKey();
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    HKEY root() const { return root_; }
    // The path with a leading backslash, as the program writes it.
    const std::string& path() const { return path_; }
    std::string sub(const std::string& child) const { return path_ + "\\" + child; }

  private:
    HKEY root_;
    std::string path_;
};

// Writes a value of any type with exactly these bytes, creating the key.
void putValue(HKEY root, const std::string& keyPath, const std::string& name, DWORD type,
              const Bytes& data);
void putString(HKEY root, const std::string& keyPath, const std::string& name,
               const std::string& text);
void putDword(HKEY root, const std::string& keyPath, const std::string& name, DWORD value);
void makeKey(HKEY root, const std::string& keyPath);
void removeTree(HKEY root, const std::string& keyPath);
bool keyExists(HKEY root, const std::string& keyPath);
bool valueExists(HKEY root, const std::string& keyPath, const std::string& name);

struct Value {
    DWORD type = REG_NONE;
    Bytes data;
    bool operator==(const Value&) const = default;
};

// A key's values and sub-keys, read through the UTF-16 API so nothing is converted.
struct Tree {
    std::map<std::wstring, Value> values;
    std::map<std::wstring, Tree> keys;
    bool operator==(const Tree&) const = default;
};

// The tree at keyPath; empty when the key is missing.
Tree snapshot(HKEY root, const std::string& keyPath);

// Keys and values named in UTF-16, for names that code page 932 does not carry
// (a yen sign, characters without a code). Paths have no leading backslash.
void putWideValue(HKEY root, const std::wstring& keyPath, const std::wstring& name, DWORD type,
                  const Bytes& data);
void putWideString(HKEY root, const std::wstring& keyPath, const std::wstring& name,
                   const std::wstring& text);
void removeWideTree(HKEY root, const std::wstring& keyPath);
void removeWideValue(HKEY root, const std::wstring& keyPath, const std::wstring& name);
bool wideKeyExists(HKEY root, const std::wstring& keyPath);
Tree wideSnapshot(HKEY root, const std::wstring& keyPath);
std::vector<std::wstring> wideSubKeyNames(HKEY root, const std::wstring& keyPath);

} // namespace testing_support

namespace testing_support {

// Sets a key's DACL from an SDDL text, e.g. "D:P(D;;KR;;;WD)(A;;KA;;;WD)" to deny
// reading. The key is opened with WRITE_DAC, which its owner always has.
void setKeySecurity(HKEY root, const std::string& keyPath, const std::string& sddl);

// A key's DACL in SDDL ("D:P(A;;KA;;;WD)"); empty when it can't be read.
std::string keySecurity(HKEY root, const std::string& keyPath);

// Makes a registry link at keyPath (a path of the root, no leading backslash) to
// the key named by target ("\\Registry\\User\\.DEFAULT\\..."), and reads a link's
// target without following it (empty when keyPath is no link).
void makeLink(HKEY root, const std::wstring& keyPath, const std::wstring& target);
std::wstring linkTarget(HKEY root, const std::wstring& keyPath);

// The names of a key's sub-keys, or of its values, as the platform enumerates them.
std::vector<std::string> platformSubKeyNames(HKEY root, const std::string& keyPath);
std::vector<std::string> platformValueNames(HKEY root, const std::string& keyPath);

} // namespace testing_support
