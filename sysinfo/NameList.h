// The listing loop shared by the registry's key and value listings.
#pragma once

#include "sysinfo/StringList.h"
#include "sysinfo/Text.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace kel::detail {

// Lists names through the wide API, one call a name into one buffer of the longest
// name's size (larger when a longer one has come meanwhile); next(index, buffer,
// length) is the platform's enumeration call. Names that code page 932 cannot carry
// unchanged are passed over.
template <typename Next> int listNames(StringList& names, DWORD count, DWORD longest, Next next) {
    // The counts are hints: a key changes while it is listed.
    names.reserve(std::min<DWORD>(count, 1 << 16));
    std::vector<wchar_t> buffer(std::clamp<DWORD>(longest + 1, 256, 65536));
    for (DWORD index = 0;;) {
        DWORD length = static_cast<DWORD>(buffer.size());
        LONG status = next(index, buffer.data(), &length);
        if (status == ERROR_NO_MORE_ITEMS)
            return 0;
        if (status == ERROR_MORE_DATA && buffer.size() < 65536) {
            buffer.resize(buffer.size() * 4);
            continue;
        }
        if (status != ERROR_SUCCESS) {
            names.clear();
            return -1;
        }
        std::string name;
        if (WideToAnsiExact(std::wstring_view(buffer.data(), length), name))
            names.push_back(std::move(name));
        ++index;
    }
}

} // namespace kel::detail
