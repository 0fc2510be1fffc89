// How a caption too long for its room is shortened. No platform calls.
#pragma once

#include <functional>
#include <string>

namespace ui {

// The caption as shown in room, its widths measured by width: the whole text where it
// fits; else the part before a closing bracketed part (" [Version 16.0.1]") cut after
// a whole character (code page 932) and ended with "...", the bracketed part kept
// whole; where that part alone does not fit, the whole text cut and ended with "...".
std::string FitCaption(const std::string& text, int room,
                       const std::function<int(const std::string&)>& width);

} // namespace ui
