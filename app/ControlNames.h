// The names of the pages and of their rows' controls: the window finds its controls
// by them, and readers of the window tree rely on them. Written here once.
#pragma once

#include "office/Applications.h"

#include <string>
#include <string_view>

namespace app::names {

// The About page's menu item, the last of the list, and its page's caption.
inline constexpr const char* kAboutItem = kel::kAboutPageName;

inline std::string Page(std::string_view page) { // "GB_Excel"
    return "GB_" + std::string(page);
}
inline std::string RowLabel(std::string_view row) { // "LL_XlsProcess"
    return "LL_" + std::string(row);
}
inline std::string RowButton(std::string_view row) { // "BB_XlsMenuBar"
    return "BB_" + std::string(row);
}
inline std::string PairButton(std::string_view row, int state) { // "SB_MsoClip1": する
    return "SB_" + std::string(row) + (state != 0 ? "1" : "0");
}
inline std::string RowFrame(std::string_view row) {
    return "BV_" + std::string(row);
}
inline std::string RowIcon(std::string_view row) {
    return "IM_" + std::string(row);
}

} // namespace app::names
