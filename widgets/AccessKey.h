// Access keys: the character after "&" in a caption ("閉じる(&C)" has C).
#pragma once

#include <string>

namespace ui {

// The access key of a caption, upper-cased; 0 when it has none ("&&" is a literal
// "&"). Only single-byte letters and digits count.
char AccessKeyOf(const std::string& caption);
// Whether key (as typed, either case) is the caption's access key.
bool IsAccessKey(char key, const std::string& caption);

} // namespace ui
