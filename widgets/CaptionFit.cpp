#include "widgets/CaptionFit.h"

#include "sysinfo/ShiftJis.h"

#include <vector>

namespace ui {

namespace {

const char kEllipsis[] = "...";

// Where the characters of text start, the end included.
std::vector<size_t> characterStarts(const std::string& text) {
    std::vector<size_t> starts;
    for (size_t i = 0; i < text.size(); i = kel::NextCharacter(text, i))
        starts.push_back(i);
    starts.push_back(text.size());
    return starts;
}

// Where the closing bracketed part begins (its blank): text ends with a
// single-byte "]" and holds " [" before it; else text's size.
size_t bracketedTail(const std::string& text, const std::vector<size_t>& starts) {
    if (starts.size() < 2 || text.back() != ']' || starts[starts.size() - 2] != text.size() - 1)
        return text.size();
    // A blank is never a trail byte: " [" found is two whole characters.
    size_t open = text.rfind(" [");
    return open == std::string::npos ? text.size() : open;
}

} // namespace

std::string FitCaption(const std::string& text, int room,
                       const std::function<int(const std::string&)>& width) {
    if (width(text) <= room)
        return text;
    std::vector<size_t> starts = characterStarts(text);
    size_t tail = bracketedTail(text, starts);
    // The longest beginning before the tail that fits with the ellipsis and the tail.
    for (const std::string& kept : {text.substr(tail), std::string()}) {
        size_t end = kept.empty() ? text.size() : tail;
        for (auto at = starts.rbegin(); at != starts.rend(); ++at) {
            if (*at >= end)
                continue;
            std::string shown = text.substr(0, *at) + kEllipsis + kept;
            if (width(shown) <= room)
                return shown;
        }
    }
    return kEllipsis;
}

} // namespace ui
