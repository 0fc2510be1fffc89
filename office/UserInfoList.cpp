#include "office/UserInfoList.h"

namespace kel {

TUserInfoList* gsInfoBefore = nullptr;
TUserInfoList* gsInfoAfter = nullptr;

namespace {

bool isLineOf(const std::string& line, const std::string& name) {
    return line.size() > name.size() && line.compare(0, name.size(), name) == 0 &&
           line[name.size()] == '=';
}

} // namespace

std::string TUserInfoList::Value(const std::string& name) const {
    for (const std::string& line : Lines) {
        if (isLineOf(line, name))
            return line.substr(name.size() + 1);
    }
    return {};
}

void TUserInfoList::SetValue(const std::string& name, const std::string& value) {
    for (auto it = Lines.begin(); it != Lines.end(); ++it) {
        if (!isLineOf(*it, name))
            continue;
        if (value.empty())
            Lines.erase(it);
        else
            *it = name + "=" + value;
        return;
    }
    if (!value.empty())
        Lines.push_back(name + "=" + value);
}

std::string TUserInfoList::Text() const {
    std::string text;
    for (const std::string& line : Lines)
        text += line + "\r\n";
    return text;
}

} // namespace kel
