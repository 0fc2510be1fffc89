#include "office/UserInfoList.h"

#include "sysinfo/TextRules.h"

#include <algorithm>

namespace kel {

const char kBlankValue[] = "\x81\x40";

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
    if (value != Value(name))
        SetApproximate(name, false);
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

void TUserInfoList::SetApproximate(const std::string& name, bool approximate) {
    auto it = std::find(Approximate.begin(), Approximate.end(), name);
    if (approximate && it == Approximate.end())
        Approximate.push_back(name);
    else if (!approximate && it != Approximate.end())
        Approximate.erase(it);
}

bool TUserInfoList::IsApproximate(const std::string& name) const {
    return std::find(Approximate.begin(), Approximate.end(), name) != Approximate.end();
}

bool TUserInfoList::operator==(const TUserInfoList& other) const {
    auto within = [](const TUserInfoList& some, const TUserInfoList& others) {
        return std::all_of(some.Lines.begin(), some.Lines.end(), [&](const std::string& line) {
            std::string name = line.substr(0, line.find('='));
            return others.Value(name) == some.Value(name);
        });
    };
    return within(*this, other) && within(other, *this);
}

std::string TUserInfoList::Shown(const std::string& name) const {
    return TrimBlanks(Value(name));
}

void TUserInfoList::TakeFieldText(const std::string& name, const std::string& fieldText) {
    if (IsApproximate(name) && fieldText == Shown(name))
        return;
    SetValue(name, EditedValue(fieldText));
}

void TUserInfoList::TakeUnwritten(const TUserInfoList& readBack) {
    const std::vector<std::string> unwritten = Approximate;
    for (const std::string& name : unwritten) {
        SetValue(name, readBack.Value(name));
        SetApproximate(name, readBack.IsApproximate(name));
    }
}

void TUserInfoList::DropBlankValues() {
    std::erase_if(Lines, [](const std::string& line) {
        size_t equals = line.find('=');
        return equals != std::string::npos &&
               line.compare(equals + 1, std::string::npos, kBlankValue) == 0;
    });
}

std::string TrimBlanks(const std::string& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= 0x20)
        ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 0x20)
        --end;
    return text.substr(begin, end - begin);
}

std::string EditedValue(const std::string& fieldText) {
    std::string trimmed = TrimBlanks(fieldText);
    return TrimBlanks(ReplaceAll(trimmed, kBlankValue, "")).empty() ? std::string() : trimmed;
}

std::string TUserInfoList::Text() const {
    std::string text;
    for (const std::string& line : Lines)
        text += line + "\r\n";
    return text;
}

bool IsOwnProfile(const std::string& profile, const std::string& ownSid) {
    std::string name = AsciiLower(profile);
    return name == ".default" || (!ownSid.empty() && name == AsciiLower(ownSid));
}

} // namespace kel
