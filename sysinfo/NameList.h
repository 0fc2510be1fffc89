// The listing loop shared by the registry's key and value listings.
#pragma once

#include "sysinfo/StringList.h"
#include "sysinfo/Text.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace kel::detail {

// Lists names through the wide API, one call a name into one buffer of the longest
// name's size (larger when a longer one has come meanwhile); next(index, buffer,
// length) is the platform's enumeration call, and take(name) is handed each name.
// 0 when every name was listed, -1 when the listing failed part way.
template <typename Next, typename Take> int listEachName(DWORD longest, Next next, Take take) {
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
        if (status != ERROR_SUCCESS)
            return -1;
        take(std::wstring_view(buffer.data(), length));
        ++index;
    }
}

// The names in code page 932; names that it cannot carry unchanged are passed over.
// The list is empty when the listing failed.
template <typename Next> int listNames(StringList& names, DWORD count, DWORD longest, Next next) {
    // The counts are hints: a key changes while it is listed.
    names.reserve(std::min<DWORD>(count, 1 << 16));
    int status = listEachName(longest, next, [&](std::wstring_view wide) {
        std::string name;
        if (WideToAnsiExact(wide, name))
            names.push_back(std::move(name));
    });
    if (status != 0)
        names.clear();
    return status;
}

// Every name as listed, in UTF-16. The list is empty when the listing failed.
template <typename Next>
int listWideNames(std::vector<std::wstring>& names, DWORD count, DWORD longest, Next next) {
    names.reserve(std::min<DWORD>(count, 1 << 16));
    int status =
        listEachName(longest, next, [&](std::wstring_view name) { names.emplace_back(name); });
    if (status != 0)
        names.clear();
    return status;
}

} // namespace kel::detail
