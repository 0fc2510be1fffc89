// The information report: the text of the About page's memo, and the same facts
// with the running processes and the switch states as one JSON document.
#pragma once

#include "office/OfficeInfo.h"
#include "office/UserInfoList.h"

#include <string>
#include <utility>
#include <vector>

namespace app {

// The memo's text: the inventory's Dump, the line "↓-- gsInfoBefore --↓" and the
// user-information lines; code page 932, every line ended by CR LF.
std::string InformationReport(const kel::TKelOfficeInfo& info, const kel::TUserInfoList& userInfo);

struct TReportFacts {
    kel::TKelOfficeInfo info;
    kel::TUserInfoList userInfo;
    bool officeFound = false;
    std::vector<std::pair<std::string, int>> switches; // row name, state read
};

// What the pages show, the running processes of their programs and the state of
// every switch, read as the window reads them at its first activation. Changes
// nothing. An AssertionFailure of ReadProductInfo passes through.
TReportFacts GatherReportFacts();

// The facts as a JSON document in UTF-8.
std::string JsonReport(const TReportFacts& facts);

// Code page 932 text as UTF-8.
std::string Utf8FromCp932(const std::string& text);

// Conversions between 8-bit text in codePage and UTF-16.
std::wstring WideFromCodePage(const std::string& text, unsigned codePage);
std::string CodePageFromWide(const std::wstring& text, unsigned codePage);

} // namespace app
