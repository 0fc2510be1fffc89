#include "tests/support/ReportFacts.h"

#include <windows.h>

#include <stdexcept>

namespace testing_support {

namespace {

bool startsWith(const std::string& text, const std::string& start) {
    return text.compare(0, start.size(), start) == 0;
}
bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    if (start != text.size())
        throw std::runtime_error("the last line does not end with CR LF");
    for (const std::string& line : lines)
        if (line.find_first_of("\r\n") != std::string::npos)
            throw std::runtime_error("a bare CR or LF in: " + line);
    return lines;
}

std::string joined(const std::vector<std::string>& path, const std::string& name) {
    std::string text;
    for (const std::string& part : path)
        if (!part.empty())
            text += part + ".";
    return text + name;
}

const char* const kProductFields[] = {"CompanyName",  "FileDescription", "FileVersion",
                                      "InternalName", "LegalCopyright",  "OriginalFilename",
                                      "ProductName",  "ProductVersion",  "MajorVersion"};

} // namespace

std::string utf8FromCp932(const std::string& text) {
    if (text.empty())
        return {};
    int length =
        MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, out.data(), bytes, nullptr, nullptr);
    return out;
}

MemoFacts readMemo(const std::string& text) {
    MemoFacts facts;
    std::vector<std::string> path;
    std::string pending;
    bool inVerList = false, inUserInfo = false;
    for (const std::string& line : linesOf(text)) {
        if (inUserInfo) {
            facts.userInfo.push_back(line);
        } else if (line == "↓-- gsInfoBefore --↓") {
            if (!path.empty())
                throw std::runtime_error("a block is still open");
            inUserInfo = true;
        } else if (startsWith(line, "↓-- ") && endsWith(line, " --↓")) {
            path.push_back(pending);
            pending.clear();
            inVerList = false;
        } else if (startsWith(line, "↑-- ") && endsWith(line, " --↑")) {
            if (path.empty())
                throw std::runtime_error("a block closes that was not opened");
            path.pop_back();
            inVerList = false;
        } else if (endsWith(line, "[↓]")) {
            std::string name = line.substr(0, line.size() - std::string("[↓]").size());
            inVerList = name == "VerList";
            if (!inVerList)
                pending = name;
        } else if (inVerList && line.find('\t') != std::string::npos) {
            facts.verList.push_back(line);
        } else {
            size_t open = line.find('[');
            if (open == std::string::npos || !endsWith(line, "]"))
                throw std::runtime_error("not a Name[value] line: " + line);
            facts.fields[joined(path, line.substr(0, open))] =
                line.substr(open + 1, line.size() - open - 2);
            inVerList = false;
        }
    }
    if (!inUserInfo)
        throw std::runtime_error("no user-information line");
    return facts;
}

std::vector<std::string> compareFacts(const MemoFacts& memo, const JsonValue& json) {
    std::vector<std::string> differences;
    // The memo shows a CR or LF inside a value as a space.
    auto oneLine = [](std::string text) {
        for (char& c : text)
            c = c == '\r' || c == '\n' ? ' ' : c;
        return text;
    };
    auto expect = [&](const std::string& where, const JsonValue& value, const std::string& text) {
        if (value.kind != JsonValue::String || oneLine(value.text) != utf8FromCp932(text))
            differences.push_back(where + ": JSON [" + value.text + "] memo [" +
                                  utf8FromCp932(text) + "]");
    };
    auto field = [&](const std::string& name) {
        auto found = memo.fields.find(name);
        if (found == memo.fields.end()) {
            differences.push_back("memo lacks " + name);
            return std::string();
        }
        return found->second;
    };
    try {
        for (const char* name : kProductFields)
            expect(std::string("Product.") + name, json["Product"][name],
                   field(std::string("Product.") + name));
        for (const char* name : {"InstallPath", "SID", "GUID"})
            expect(name, json[name], field(name));
        // The memo's 不明 is null in the JSON.
        if (field("ProductID") == "不明") {
            if (json["ProductID"].kind != JsonValue::Null)
                differences.push_back("ProductID: 不明 in the memo, not null in the JSON");
        } else {
            expect("ProductID", json["ProductID"], field("ProductID"));
        }
        const JsonValue& verList = json["VerList"];
        if (verList.items.size() != memo.verList.size())
            differences.push_back("VerList: " + std::to_string(verList.items.size()) +
                                  " lines, memo " + std::to_string(memo.verList.size()));
        for (size_t i = 0; i < verList.items.size() && i < memo.verList.size(); ++i) {
            const JsonValue& line = verList.items[i];
            expect("VerList line", line["Line"], memo.verList[i]);
            std::string columns;
            for (const char* column : {"Version", "ProductCode", "DisplayName", "DisplayVersion",
                                       "ProductID", "InstallRoot"})
                columns += (columns.empty() ? "" : "\t") + line[column].text;
            if (columns != line["Line"].text)
                differences.push_back("VerList columns do not make the line: " + columns);
        }
        for (const char* record : {"XlsInfo", "DocInfo", "PptInfo", "EmlInfo"}) {
            std::string prefix = std::string(record) + ".";
            for (const char* name : {"ExtName", "FileName", "ViewName"})
                expect(prefix + name, json[record][name], field(prefix + name));
            for (const char* name : kProductFields)
                expect(prefix + "ProductInfo." + name, json[record]["ProductInfo"][name],
                       field(prefix + "ProductInfo." + name));
        }
        const JsonValue& userInfo = json["UserInfo"];
        if (userInfo.members.size() != memo.userInfo.size())
            differences.push_back("UserInfo: " + std::to_string(userInfo.members.size()) +
                                  " members, memo " + std::to_string(memo.userInfo.size()));
        for (const std::string& line : memo.userInfo) {
            size_t equals = line.find('=');
            expect("UserInfo." + line.substr(0, equals),
                   userInfo[utf8FromCp932(line.substr(0, equals))], line.substr(equals + 1));
        }
    } catch (const std::out_of_range& missing) {
        differences.push_back(std::string("JSON: ") + missing.what());
    }
    return differences;
}

std::string withoutIconHandles(const std::string& text) {
    std::string out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        std::string line = text.substr(start, end - start);
        out += startsWith(line, "IconHandle[") ? "IconHandle[]\r\n" : line;
        start = end;
    }
    return out;
}

} // namespace testing_support
