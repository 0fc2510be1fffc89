#include "app/Report.h"

#include "app/Inventory.h"
#include "repair/Actions.h"
#include "repair/OfficeUpdate.h"
#include "sysinfo/JsonWriter.h"
#include "sysinfo/Text.h"

#include <windows.h>

#include <cstdlib>
#include <optional>

namespace app {

namespace {

using kel::TJsonWriter;
using kel::TKelOfficeInfo;
using kel::TKelProductInfo;

void member(TJsonWriter& json, const std::string& name, const std::string& text) {
    json.Key(Utf8FromCp932(name));
    json.String(Utf8FromCp932(text));
}

void productInfo(TJsonWriter& json, const TKelProductInfo& product) {
    json.BeginObject();
    // In the order of the memo's TKelProductInfo block.
    for (const kel::TProductInfoString& string : kel::kProductInfoStrings)
        member(json, string.name, product.*string.field);
    member(json, "MajorVersion", product.MajorVersion);
    json.EndObject();
}

// Each line's columns by name, in their order, then the line's text.
void verList(TJsonWriter& json, const kel::ProductLines& lines) {
    json.BeginArray();
    for (const kel::TProductLine& line : lines) {
        json.BeginObject();
        member(json, "Version", line.version);
        member(json, "ProductCode", line.code);
        member(json, "DisplayName", line.name);
        member(json, "DisplayVersion", line.displayVersion);
        member(json, "ProductID", line.productId);
        member(json, "InstallRoot", line.installRoot);
        member(json, "Line", line.Text());
        json.EndObject();
    }
    json.EndArray();
}

void record(TJsonWriter& json, const kel::TKelExtInfo& info) {
    json.BeginObject();
    member(json, "ExtName", info.ExtName);
    member(json, "FileName", info.FileName);
    member(json, "ViewName", info.ViewName);
    json.Key("ProductInfo");
    productInfo(json, info.ProductInfo);
    json.EndObject();
}

void processIds(TJsonWriter& json, const kel::ProcessIds& ids) {
    json.BeginArray();
    for (unsigned long id : ids)
        json.Number(id);
    json.EndArray();
}

// name=value lines as members; a line without "=" is passed over.
void userInfo(TJsonWriter& json, const kel::TUserInfoList& list) {
    json.BeginObject();
    for (const std::string& line : list.Lines) {
        size_t equals = line.find('=');
        if (equals != std::string::npos)
            member(json, line.substr(0, equals), line.substr(equals + 1));
    }
    json.EndObject();
}

template <typename T, typename Write>
void optional(TJsonWriter& json, const char* name, const std::optional<T>& value, Write write) {
    json.Key(name);
    if (value)
        write(*value);
    else
        json.Null();
}

void machine(TJsonWriter& json, const TReportFacts& facts) {
    const kel::TMachineFacts& m = facts.machine;
    auto text = [&](const std::string& utf8) { json.String(utf8); };
    auto wide = [&](const std::wstring& value) { json.String(kel::WideToAnsi(value, CP_UTF8)); };
    json.BeginObject();
    optional(json, "ComputerName", m.computerName, wide);
    optional(json, "UserName", m.userName, wide);
    optional(json, "SessionUserName", m.sessionUserName, wide);
    optional(json, "SessionId", m.sessionId, [&](unsigned long id) { json.Number(id); });
    optional(json, "Elevated", m.elevated, [&](bool elevated) { json.Bool(elevated); });
    optional(json, "WindowsVersion", m.windowsVersion, text);
    optional(json, "WindowsEdition", m.windowsEdition,
             [&](const std::string& edition) { json.String(Utf8FromCp932(edition)); });
    optional(json, "Architecture", m.architecture, text);
    std::optional<std::string> version;
    if (!facts.wexdalVersion.empty())
        version = Utf8FromCp932(facts.wexdalVersion);
    optional(json, "Wexdal", version, text);
    optional(json, "Time", m.time, text);
    json.EndObject();
}

// What the update row starts, in the order it tries them: kind, target, parameters.
void updateStarts(TJsonWriter& json, const std::vector<kel::TStart>& starts) {
    auto utf8 = [](const std::wstring& text) { return kel::WideToAnsi(text, CP_UTF8); };
    json.BeginArray();
    for (const kel::TStart& start : starts) {
        json.BeginObject();
        json.Key("Kind");
        json.String(kel::StartKindName(start.kind));
        json.Key("Target");
        json.String(utf8(start.target));
        json.Key("Parameters");
        json.String(utf8(start.parameters));
        json.EndObject();
    }
    json.EndArray();
}

std::string ownVersion() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    kel::TKelProductInfo own;
    return kel::ReadProductInfo(path, own) == 0 ? own.ProductVersion : std::string();
}

} // namespace

std::string InformationReport(const TKelOfficeInfo& info, const kel::TUserInfoList& userInfo) {
    std::string text = info.Dump() + "↓-- gsInfoBefore --↓\r\n";
    for (const std::string& line : userInfo.Lines)
        text += kel::OnOneLine(line) + "\r\n";
    return text;
}

TReportFacts GatherReportFacts() {
    TReportFacts facts;
    facts.officeFound = GatherInventory(facts.info, facts.userInfo) == 0;
    for (const kel::TDocumentType& type : kel::kDocumentTypes)
        facts.icons.emplace_back(facts.info.Record(type.application).IconHandle);
    SurveyRunningStates(facts.info);
    facts.machine = kel::ReadMachineFacts();
    facts.wexdalVersion = ownVersion();
    facts.backups = kel::ListBackups();
    for (const kel::TAction& item : kel::kActions)
        if (item.IsSwitch())
            facts.switches.emplace_back(item.row, RowIsPresent(item, facts.info, facts.officeFound)
                                                      ? item.read(facts.info)
                                                      : kNoRow);
    return facts;
}

namespace {

// Each backup: its file, when it was made (local time) and the row it was made for.
void backups(kel::TJsonWriter& json, const std::vector<kel::TBackupFile>& files) {
    json.BeginArray();
    for (const kel::TBackupFile& file : files) {
        json.BeginObject();
        json.Key("File");
        json.String(kel::WideToAnsi(file.path, CP_UTF8));
        json.Key("Time");
        json.String(kel::WideToAnsi(file.name.time, CP_UTF8));
        json.Key("Row");
        json.String(kel::WideToAnsi(file.name.row, CP_UTF8));
        json.EndObject();
    }
    json.EndArray();
}

} // namespace

std::string JsonReport(const TReportFacts& facts) {
    const TKelOfficeInfo& info = facts.info;
    TJsonWriter json;
    json.BeginObject();
    json.Key("Schema");
    json.Number(kReportSchema);
    json.Key("Machine");
    machine(json, facts);
    json.Key("OfficeFound");
    json.Bool(facts.officeFound);
    json.Key("Product");
    productInfo(json, info.Product);
    member(json, "InstallPath", info.InstallPath);
    member(json, "SID", info.SID);
    member(json, "GUID", info.GUID);
    json.Key("ProductID"); // null where none is kept: the window's 不明 is no ID
    if (info.ProductID == kel::kUnknownProductId)
        json.Null();
    else
        json.String(Utf8FromCp932(info.ProductID));
    json.Key("VerList");
    verList(json, info.VerList);
    for (const kel::TDocumentType& type : kel::kDocumentTypes) {
        json.Key(kel::RecordName(type));
        record(json, info.Record(type.application));
    }
    json.Key("UserInfo");
    userInfo(json, facts.userInfo);
    for (const kel::TDocumentType& type : kel::kDocumentTypes)
        if (kel::HasRunningRow(type)) {
            json.Key(kel::ProcessIdsName(type));
            processIds(json, info.RunningIds(type.application));
        }
    json.Key("Switches");
    SwitchStates(json, facts.switches);
    json.Key("MsoUpdate");
    updateStarts(json, kel::OfficeUpdateStarts(info));
    json.Key("Backups");
    backups(json, facts.backups);
    json.EndObject();
    return json.Text();
}

void SwitchStates(kel::TJsonWriter& json, const std::vector<std::pair<std::string, int>>& states) {
    json.BeginObject();
    for (const auto& [row, state] : states) {
        json.Key(row);
        if (state == kNoRow)
            json.Null();
        else
            json.Number(state);
    }
    json.EndObject();
}

std::string Utf8FromCp932(const std::string& text) {
    return kel::WideToAnsi(kel::AnsiToWide(text, 932), CP_UTF8);
}

} // namespace app
