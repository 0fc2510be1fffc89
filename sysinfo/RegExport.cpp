#include "sysinfo/RegExport.h"

#include <algorithm>
#include <array>
#include <tuple>

namespace kel {

namespace {

constexpr uint32_t kString = 1, kDword = 4;
constexpr size_t kLineWidth = 80; // the editor wraps byte lists before this column

struct Root {
    const wchar_t* name;
};
constexpr std::array<Root, 4> kRoots = {
    {{L"HKEY_CLASSES_ROOT"}, {L"HKEY_CURRENT_USER"}, {L"HKEY_LOCAL_MACHINE"}, {L"HKEY_USERS"}}};

wchar_t upper(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c;
}

// text begins with prefix (ASCII letters in either case) and ends there or goes on
// with a backslash; rest is what follows the prefix.
bool beginsWithKey(const std::wstring& text, const std::wstring& prefix, std::wstring& rest) {
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (upper(text[i]) != upper(prefix[i]))
            return false;
    if (text.size() > prefix.size() && text[prefix.size()] != L'\\')
        return false;
    rest = text.substr(prefix.size());
    return true;
}

bool namesARoot(const std::wstring& path) {
    std::wstring rest;
    return std::any_of(kRoots.begin(), kRoots.end(),
                       [&](const Root& root) { return beginsWithKey(path, root.name, rest); });
}

// The hive the system's own accounts take as their current user's: SYSTEM's
// (".DEFAULT", "S-1-5-18") and the local and network services'; never a person's.
bool systemAccountsHive(const std::wstring& userPath) {
    std::wstring last = userPath.substr(userPath.find_last_of(L'\\') + 1);
    std::transform(last.begin(), last.end(), last.begin(), upper);
    return last == L".DEFAULT" || last == L"S-1-5-18" || last == L"S-1-5-19" || last == L"S-1-5-20";
}

bool nameableKey(const std::wstring& path) {
    return namesARoot(path) &&
           path.find_first_of(std::wstring(L"\r\n\0]", 4)) == std::wstring::npos;
}

// The text's lines as an import reads them, ended by CR LF, LF or a lone CR. Nothing
// for a text with a lone CR or a NUL, which importers need not read alike.
std::optional<std::vector<std::wstring>> importedLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = std::min(text.find_first_of(std::wstring(L"\r\n\0", 3), start), text.size());
        if (end < text.size() && text[end] == L'\0')
            return std::nullopt;
        lines.push_back(text.substr(start, end - start));
        if (end < text.size() && text[end] == L'\r') {
            if (end + 1 == text.size() || text[end + 1] != L'\n')
                return std::nullopt;
            ++end;
        }
        start = end + 1;
    }
    return lines;
}

// A character an importer may skip before a line's first one: the C0 and C1
// controls, spaces of every width, the invisible marks and joiners, the byte order
// mark.
bool blankLike(wchar_t c) {
    return c <= L' ' || (c >= 0x7F && c <= 0xA0) || c == 0x1680 || c == 0x180E ||
           (c >= 0x2000 && c <= 0x200F) || (c >= 0x2028 && c <= 0x202F) ||
           (c >= 0x205F && c <= 0x2064) || c == 0x3000 || c == 0xFEFF;
}

// A name or string in double quotes, escaped as the editor reads it back.
std::wstring quoted(const std::wstring& text) {
    std::wstring out = L"\"";
    for (wchar_t c : text) {
        switch (c) {
        case L'\\':
            out += L"\\\\";
            break;
        case L'"':
            out += L"\\\"";
            break;
        case L'\n':
            out += L"\\n";
            break;
        case L'\r':
            out += L"\\r";
            break;
        case L'\0':
            out += L"\\0";
            break;
        default:
            out += c;
        }
    }
    return out + L"\"";
}

// The data as one string when it is exactly one: whole code units, the last one
// NUL and no other, no line break.
std::optional<std::wstring> asString(const std::vector<uint8_t>& data) {
    if (data.size() < 2 || data.size() % 2 != 0)
        return std::nullopt;
    std::wstring text;
    for (size_t i = 0; i + 2 < data.size(); i += 2) {
        wchar_t c = static_cast<wchar_t>(data[i] | data[i + 1] << 8);
        if (c == L'\0' || c == L'\r' || c == L'\n')
            return std::nullopt;
        text += c;
    }
    if (data[data.size() - 2] != 0 || data.back() != 0)
        return std::nullopt;
    return text;
}

const wchar_t kDigits[] = L"0123456789abcdef";

std::wstring hexByte(uint8_t byte) {
    return {kDigits[byte >> 4], kDigits[byte & 15]};
}

// "hex:" or "hex(N):" and the bytes, wrapped as the editor wraps them: a line
// ends with ",\" and the next begins with two spaces.
std::wstring hexData(uint32_t type, const std::vector<uint8_t>& data, size_t column) {
    std::wstring out = L"hex";
    if (type != 3) {
        out += L'(';
        std::wstring number;
        for (uint32_t t = type; number.empty() || t != 0; t >>= 4)
            number.insert(number.begin(), kDigits[t & 15]);
        out += number + L')';
    }
    out += L':';
    column += out.size();
    for (size_t i = 0; i < data.size(); ++i) {
        out += hexByte(data[i]);
        column += 2;
        if (i + 1 == data.size())
            break;
        out += L',';
        ++column;
        if (column > kLineWidth - 4) {
            out += L"\\\r\n  ";
            column = 2;
        }
    }
    return out;
}

std::wstring valueLine(const TRegValue& value) {
    std::wstring line = value.name.empty() ? L"@" : quoted(value.name);
    line += L'=';
    if (!value.present)
        return line + L'-';
    if (value.type == kString)
        if (std::optional<std::wstring> text = asString(value.data))
            return line + quoted(*text);
    if (value.type == kDword && value.data.size() == 4) {
        line += L"dword:";
        for (size_t i = 4; i-- > 0;)
            line += hexByte(value.data[i]);
        return line;
    }
    return line + hexData(value.type, value.data, line.size());
}

// A quoted name or string read from line[at] to its closing quote, with the escapes
// valueLine writes ("\\", "\"", and in names "\n", "\r"); at is left after it.
std::optional<std::wstring> unquoted(const std::wstring& line, size_t& at, bool name) {
    if (at >= line.size() || line[at] != L'"')
        return std::nullopt;
    std::wstring text;
    while (++at < line.size()) {
        wchar_t c = line[at];
        if (c == L'"') {
            ++at;
            return text;
        }
        if (c == L'\\') {
            c = ++at < line.size() ? line[at] : L'\0';
            if (name && (c == L'n' || c == L'r'))
                c = c == L'n' ? L'\n' : L'\r';
            else if (c != L'\\' && c != L'"')
                return std::nullopt;
        }
        text += c;
    }
    return std::nullopt;
}

int hexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    c = upper(c);
    return c >= L'A' && c <= L'F' ? c - L'A' + 10 : -1;
}

// The byte written as two hexadecimal digits at line[at]; at is left after them.
std::optional<uint8_t> hexPair(const std::wstring& line, size_t& at) {
    if (at + 2 > line.size() || hexDigit(line[at]) < 0 || hexDigit(line[at + 1]) < 0)
        return std::nullopt;
    at += 2;
    return static_cast<uint8_t>(hexDigit(line[at - 2]) << 4 | hexDigit(line[at - 1]));
}

// A byte list as hexData writes it, from lines[row] at "at" on through the lines its
// ",\" carries it onto, each indented with spaces; row is left on its last line.
bool readBytes(const std::vector<std::wstring>& lines, size_t& row, size_t at,
               std::vector<uint8_t>& data) {
    if (at == lines[row].size())
        return true;
    for (;;) {
        const std::wstring& line = lines[row];
        std::optional<uint8_t> byte = hexPair(line, at);
        if (!byte)
            return false;
        data.push_back(*byte);
        if (at == line.size())
            return true;
        if (line[at++] != L',')
            return false;
        if (at + 1 == line.size() && line[at] == L'\\') {
            if (++row == lines.size())
                return false;
            at = lines[row].find_first_not_of(L' ');
            if (at == 0 || at == std::wstring::npos)
                return false;
        }
    }
}

// The type N of "hex(N):" written as hexData writes it: hexadecimal, no leading zero.
std::optional<uint32_t> typeNumber(const std::wstring& digits) {
    if (digits.empty() || digits.size() > 8 || (digits.size() > 1 && digits[0] == L'0'))
        return std::nullopt;
    uint32_t type = 0;
    for (wchar_t c : digits) {
        if (hexDigit(c) < 0)
            return std::nullopt;
        type = type << 4 | static_cast<uint32_t>(hexDigit(c));
    }
    return type;
}

// One value line as valueLine writes it, from lines[row] (and the lines its data
// goes on to, row left on the last).
std::optional<TRegValue> readValue(const std::vector<std::wstring>& lines, size_t& row) {
    const std::wstring& line = lines[row];
    TRegValue value;
    size_t at = 0;
    if (line[0] == L'@') {
        at = 1;
    } else {
        std::optional<std::wstring> name = unquoted(line, at, true);
        if (!name || name->empty()) // the default value is written "@"
            return std::nullopt;
        value.name = *name;
    }
    if (line.compare(at, 1, L"=") != 0)
        return std::nullopt;
    std::wstring form = line.substr(++at);
    if (form == L"-") {
        value.present = false;
        return value;
    }
    if (form.compare(0, 1, L"\"") == 0) {
        std::optional<std::wstring> text = unquoted(line, at, false);
        if (!text || at != line.size())
            return std::nullopt;
        value.type = kString;
        for (wchar_t c : *text + L'\0')
            value.data.insert(value.data.end(), {static_cast<uint8_t>(c & 0xFF),
                                                 static_cast<uint8_t>(c >> 8 & 0xFF)});
        return value;
    }
    if (form.compare(0, 6, L"dword:") == 0 && form.size() == 14) {
        value.type = kDword;
        value.data.resize(4);
        at += 6;
        for (size_t i = 4; i-- > 0;)
            if (std::optional<uint8_t> byte = hexPair(line, at))
                value.data[i] = *byte;
            else
                return std::nullopt;
        return value;
    }
    size_t close = form.find(L"):");
    if (form.compare(0, 4, L"hex:") == 0) {
        value.type = 3;
        at += 4;
    } else if (form.compare(0, 4, L"hex(") == 0 && close != std::wstring::npos) {
        std::optional<uint32_t> type = typeNumber(form.substr(4, close - 4));
        if (!type)
            return std::nullopt;
        value.type = *type;
        at += close + 2;
    } else {
        return std::nullopt;
    }
    if (!readBytes(lines, row, at, value.data))
        return std::nullopt;
    return value;
}

std::wstring twoDigits(int n) {
    return {static_cast<wchar_t>(L'0' + n / 10 % 10), static_cast<wchar_t>(L'0' + n % 10)};
}

bool allDigits(const std::wstring& text, size_t from, size_t count) {
    if (from + count > text.size())
        return false;
    return std::all_of(text.begin() + from, text.begin() + from + count,
                       [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

struct ParsedName {
    TBackupName name;
    std::wstring stamp; // "YYYYMMDD-HHMMSS"
    unsigned attempt = 1;
};

std::optional<ParsedName> parseName(const std::wstring& file) {
    const std::wstring extension = L".reg";
    if (file.size() < 17 + extension.size() || !allDigits(file, 0, 8) || file[8] != L'-' ||
        !allDigits(file, 9, 6))
        return std::nullopt;
    std::wstring ext = file.substr(file.size() - extension.size());
    std::transform(ext.begin(), ext.end(), ext.begin(), [](wchar_t c) { return upper(c); });
    if (ext != L".REG")
        return std::nullopt;
    ParsedName parsed;
    parsed.stamp = file.substr(0, 15);
    size_t at = 15;
    if (file[at] == L'-') {
        size_t digits = 0;
        while (digits < 4 && allDigits(file, at + 1 + digits, 1))
            ++digits;
        if (digits == 0)
            return std::nullopt;
        parsed.attempt = std::stoul(file.substr(at + 1, digits));
        at += 1 + digits;
    }
    if (file[at] != L'_' || at + 1 >= file.size() - extension.size())
        return std::nullopt;
    parsed.name.row = file.substr(at + 1, file.size() - extension.size() - at - 1);
    const std::wstring& s = parsed.stamp;
    parsed.name.time = s.substr(0, 4) + L'-' + s.substr(4, 2) + L'-' + s.substr(6, 2) + L' ' +
                       s.substr(9, 2) + L':' + s.substr(11, 2) + L':' + s.substr(13, 2);
    return parsed;
}

} // namespace

std::optional<std::wstring> RegFileText(const std::vector<std::wstring>& comments,
                                        const std::vector<TRegSection>& sections) {
    std::wstring text = L"Windows Registry Editor Version 5.00\r\n\r\n";
    for (const std::wstring& comment : comments) {
        if (comment.find_first_of(std::wstring(L"\r\n\0", 3)) != std::wstring::npos)
            return std::nullopt;
        text += L"; " + comment + L"\r\n";
    }
    if (!comments.empty())
        text += L"\r\n";
    for (const TRegSection& section : sections) {
        if (!nameableKey(section.path))
            return std::nullopt;
        text += (section.deleteKey ? L"[-" : L"[") + section.path + L"]\r\n";
        if (!section.deleteKey)
            for (const TRegValue& value : section.values) {
                if (value.name.find(L'\0') != std::wstring::npos)
                    return std::nullopt;
                text += valueLine(value) + L"\r\n";
            }
        text += L"\r\n";
    }
    return text;
}

std::optional<std::wstring> RegeditPath(const std::wstring& systemPath,
                                        const std::wstring& ownUser) {
    std::wstring rest;
    if (!ownUser.empty() && !systemAccountsHive(ownUser)) {
        if (beginsWithKey(systemPath, ownUser + L"_Classes", rest))
            return L"HKEY_CURRENT_USER\\Software\\Classes" + rest;
        if (beginsWithKey(systemPath, ownUser, rest))
            return L"HKEY_CURRENT_USER" + rest;
    }
    if (beginsWithKey(systemPath, L"\\REGISTRY\\MACHINE", rest))
        return L"HKEY_LOCAL_MACHINE" + rest;
    if (beginsWithKey(systemPath, L"\\REGISTRY\\USER", rest))
        return L"HKEY_USERS" + rest;
    return std::nullopt;
}

bool KeyLiesUnder(const std::wstring& path, const std::wstring& key) {
    std::wstring rest;
    return beginsWithKey(path, key, rest);
}

std::optional<std::vector<std::wstring>> SectionKeys(const std::wstring& fileText) {
    std::optional<std::vector<std::wstring>> lines = importedLines(fileText);
    if (!lines)
        return std::nullopt;
    std::vector<std::wstring> keys;
    for (const std::wstring& line : *lines) {
        size_t first = 0;
        while (first < line.size() && blankLike(line[first]))
            ++first;
        if (first == line.size() || line[first] != L'[')
            continue;
        if (first != 0 || line.size() < 3 || line.back() != L']')
            return std::nullopt;
        size_t from = line[1] == L'-' ? 2 : 1;
        std::wstring key = line.substr(from, line.size() - 1 - from);
        if (!namesARoot(key) || key.find(L']') != std::wstring::npos)
            return std::nullopt;
        keys.push_back(key);
    }
    return keys;
}

std::optional<std::vector<TRegSection>> ParseRegFile(const std::wstring& fileText) {
    std::optional<std::vector<std::wstring>> lines = importedLines(fileText);
    const std::wstring version = L"Windows Registry Editor Version 5.00";
    if (!lines || lines->empty() || !SectionKeys(fileText) ||
        ((*lines)[0] != version && (*lines)[0] != L'\xFEFF' + version))
        return std::nullopt;
    std::vector<TRegSection> sections;
    for (size_t row = 1; row < lines->size(); ++row) {
        const std::wstring& line = (*lines)[row];
        if (line.empty() || line[0] == L';')
            continue;
        if (line[0] == L'[') { // "[path]" or "[-path]", as SectionKeys has read it
            bool deleteKey = line[1] == L'-';
            size_t from = deleteKey ? 2 : 1;
            sections.push_back({line.substr(from, line.size() - 1 - from), deleteKey, {}});
            continue;
        }
        if ((line[0] != L'@' && line[0] != L'"') || sections.empty() || sections.back().deleteKey)
            return std::nullopt;
        std::optional<TRegValue> value = readValue(*lines, row);
        if (!value)
            return std::nullopt;
        sections.back().values.push_back(std::move(*value));
    }
    return sections;
}

bool NamesOnlyTheUsersKeys(const std::wstring& fileText) {
    std::optional<std::vector<std::wstring>> keys = SectionKeys(fileText);
    return keys && std::all_of(keys->begin(), keys->end(), [](const std::wstring& key) {
               return KeyLiesUnder(key, L"HKEY_CURRENT_USER");
           });
}

std::wstring BackupFileName(const TBackupTime& time, const std::wstring& row, int attempt) {
    std::wstring name = twoDigits(time.year / 100) + twoDigits(time.year) + twoDigits(time.month) +
                        twoDigits(time.day) + L'-' + twoDigits(time.hour) + twoDigits(time.minute) +
                        twoDigits(time.second);
    if (attempt > 1) {
        std::string digits = std::to_string(attempt);
        name += L'-' + std::wstring(digits.begin(), digits.end());
    }
    return name + L'_' + row + L".reg";
}

std::optional<TBackupName> ParseBackupFileName(const std::wstring& name) {
    if (std::optional<ParsedName> parsed = parseName(name))
        return parsed->name;
    return std::nullopt;
}

std::vector<std::wstring> BackupsBeyond(std::vector<std::wstring> names, size_t keep) {
    std::vector<std::pair<std::tuple<std::wstring, unsigned, std::wstring>, std::wstring>> backups;
    for (std::wstring& name : names)
        if (std::optional<ParsedName> parsed = parseName(name))
            backups.push_back({{parsed->stamp, parsed->attempt, name}, std::move(name)});
    std::sort(backups.begin(), backups.end());
    std::vector<std::wstring> beyond;
    for (size_t i = 0; i + keep < backups.size(); ++i)
        beyond.push_back(backups[i].second);
    return beyond;
}

} // namespace kel
