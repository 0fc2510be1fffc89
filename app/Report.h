// The information report: the text of the About page's memo, and the same facts
// with the running processes and the switch states as one JSON document.
#pragma once

#include "office/OfficeInfo.h"
#include "office/UserInfoList.h"
#include "sysinfo/MachineFacts.h"
#include "sysinfo/RegBackup.h"
#include "sysinfo/Handle.h"
#include "sysinfo/JsonWriter.h"

#include <string>
#include <utility>
#include <vector>

namespace app {

// The memo's text: the inventory's Dump, the line "↓-- gsInfoBefore --↓" and the
// user-information lines; code page 932, every line ended by CR LF. A CR or LF
// inside a value is a space there, so that no value starts a line of the report.
// What the update row starts is in the JSON report only ("MsoUpdate").
std::string InformationReport(const kel::TKelOfficeInfo& info, const kel::TUserInfoList& userInfo);

// The state of a switch whose row the window does not build.
constexpr int kNoRow = -1;

struct TReportFacts {
    kel::TKelOfficeInfo info;
    kel::TUserInfoList userInfo;
    bool officeFound = false;
    std::vector<std::pair<std::string, int>> switches; // row name, state read or kNoRow
    std::vector<kel::ExtractedIcon> icons; // the records' icons, destroyed with the facts
    kel::TMachineFacts machine;
    std::string wexdalVersion; // the program's own; empty when its resource can't be read
    std::vector<kel::TBackupFile> backups; // the changes' backups, oldest first
};

// The switches' states as the JSON report's "Switches" object: per row name its
// state, null for kNoRow.
void SwitchStates(kel::TJsonWriter& json, const std::vector<std::pair<std::string, int>>& states);

// The version of the JSON document's layout; a reader of fleets' reports checks it.
constexpr int kReportSchema = 1;

// What the pages show, the running processes of their programs and the state of
// every switch, read as the window reads them at its first activation. Changes
// nothing. An AssertionFailure of ReadProductInfo passes through.
TReportFacts GatherReportFacts();

// The facts as a JSON document in UTF-8: "Schema", the "Machine" object (a fact
// the system does not tell is null), then the facts of the memo, the running
// processes, the switches and what the update row starts ("MsoUpdate").
std::string JsonReport(const TReportFacts& facts);

// Code page 932 text as UTF-8.
std::string Utf8FromCp932(const std::string& text);

} // namespace app
