#include "app/Command.h"

#include "app/Change.h"
#include "app/Report.h"
#include "sysinfo/Account.h"
#include "sysinfo/Folder.h"
#include "sysinfo/JsonWriter.h"
#include "sysinfo/MachineFacts.h"
#include "sysinfo/Handle.h"
#include "sysinfo/RegBackup.h"
#include "sysinfo/FileSystem.h"
#include "sysinfo/Text.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstddef>
#include <exception>
#include <vector>

namespace app {

namespace {

// The commands' usage; "%s" stands for the running program's file name.
const wchar_t kReportUsage[] =
    L"使い方:\r\n\r\n"
    L"wexdal.exe\r\n"
    L"    ウィンドウを開きます (wexdal.com は、この使い方を表示します)。\r\n\r\n"
    L"%s /report ファイル\r\n"
    L"    取得情報をテキスト (シフトJIS) で書き出します。\r\n\r\n"
    L"%s /report:json ファイル\r\n"
    L"    取得情報とスイッチの状態を JSON (UTF-8) で書き出します。\r\n\r\n"
    L"%s /?\r\n"
    L"    この使い方を表示します (/h、/help も同じです)。\r\n\r\n"
    L"ファイルに - を指定すると、起動元のコンソールへ出力します。\r\n"
    L"スイッチは - で始めてもかまいません (-report など)。\r\n\r\n";
const wchar_t kOptionsUsage[] =
    L"どのコマンドの後にも (使い方を除く):\r\n"
    L"    /json       変更のコマンドの結果を JSON で出力します (Results、Switches、\r\n"
    L"                Before、Text、ExitCode)。\r\n"
    L"    /log ファイル  時刻、アカウント、コマンド、結果、終了コードを 1 行、\r\n"
    L"                ファイルの末尾に書き足します。\r\n"
    L"値に @ファイル と書くと、そのファイル (UTF-8 または UTF-16) の内容を値にします\r\n"
    L"(@ で始まる値そのものは @@ で始めます)。\r\n\r\n";

// Every exit code of the commands: its number, the word a log line gives it and its
// lines in the usage.
struct TExitCode {
    int code;
    const char* word;
    const wchar_t* meaning;
};
const TExitCode kExitCodeTable[] = {
    {kExitDone, "done",
     L"書き出しました、すべて指定どおりになりました (または使い方を表示しました)。"},
    {kExitNotDone, "not done",
     L"取得情報を読み取れませんでした、読み直した状態や調べた状態が指定と違います、\r\n"
     L"        修復しませんでした、または続けられませんでした。"},
    {kExitNotWritten, "not written", L"ファイルに書き込めませんでした。"},
    {kExitAbsent, "absent",
     L"このパソコンにない設定、修復、またはユーザー情報の場所です (ほかの名前は\r\n"
     L"        指定どおりでした)。"},
    {kExitNotTheDeskUser, "not the desk user",
     L"利用者ごとの設定を、ログオン中の利用者でないアカウントで実行しました。"},
    {kExitNeedsAdministrator, "needs an administrator",
     L"コンピューター全体の設定を、管理者の権限なしで実行しました。"},
    {kExitNoBackup, "no backup", L"変更前の状態を控えられないため、何も変更しませんでした。"},
    {kExitStoppedPartWay, "stopped part way",
     L"変更の途中で状態を控えられなくなったため、止めました (控えのファイルを\r\n"
     L"        表示します)。"},
    {kExitUntrustedProgram, "untrusted program",
     L"SYSTEM で、管理者以外も書き込める (または管理者以外が所有する)\r\n"
     L"        プログラムやフォルダ、または中身をほかのアカウントが差し替えられる\r\n"
     L"        フォルダの下から変更しようとしたため、何も変更しませんでした。"},
    {kExitBadArguments, "bad arguments",
     L"引数が正しくありません。/undo では、取り込めないファイルです。"},
};

// The running program's file name ("wexdal.com"), for the usage's lines.
std::wstring programName() {
    std::wstring full = kel::OwnProgramPath();
    std::wstring name = full.substr(full.find_last_of(L"\\/") + 1);
    return name.empty() ? L"wexdal.exe" : name;
}

// The whole usage: the commands, the change commands with every row's name, the
// options, the exit codes.
std::wstring usage() {
    std::wstring text = kReportUsage + ChangeCommandsUsage() + L"\r\n" + kOptionsUsage;
    const std::wstring name = programName();
    for (size_t at = 0; (at = text.find(L"%s", at)) != std::wstring::npos; at += name.size())
        text.replace(at, 2, name);
    text += L"終了コード:\r\n";
    for (const TExitCode& exit : kExitCodeTable) {
        std::wstring code = kel::AnsiToWide(std::to_string(exit.code));
        text += L"    " + code + std::wstring(4 - code.size(), L' ') + exit.meaning + L"\r\n";
    }
    return text;
}

// The title of the usage's message box; not the window's, which finds a running
// instance by its title.
const wchar_t kUsageTitle[] = L"Wexdal の使い方";

// ERROR_SUCCESS or the error; a write that takes fewer bytes than it was given is a
// failure, not a reason to go on.
DWORD writeAll(HANDLE file, const std::string& bytes) {
    for (size_t done = 0; done < bytes.size();) {
        DWORD written = 0;
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr)) {
            DWORD error = GetLastError();
            return error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT;
        }
        if (written != chunk)
            return ERROR_WRITE_FAULT;
        done += written;
    }
    return ERROR_SUCCESS;
}

bool writeConsole(HANDLE console, const std::wstring& text) {
    for (size_t done = 0; done < text.size();) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size() - done, 8192));
        DWORD written = 0;
        if (!WriteConsoleW(console, text.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

// The console of the process that started this one; true also when this process
// has one already (Wine gives one to a program started from a terminal).
bool attachParentConsole() {
    static const bool attached =
        AttachConsole(ATTACH_PARENT_PROCESS) != 0 || GetLastError() == ERROR_ACCESS_DENIED;
    return attached;
}

enum class TOutput { Written, Failed, Nowhere };

// Writes to the standard handle the starter gave: a file or a pipe gets the bytes
// as they are, a console the text as characters; a character device (NUL) the
// bytes. Without a usable handle, to the parent's console. Nowhere when there is
// neither a handle nor a console to write to.
TOutput writeOut(DWORD which, const std::string& bytes, const std::wstring& text) {
    HANDLE given = GetStdHandle(which);
    DWORD mode = 0;
    if (given != nullptr && given != INVALID_HANDLE_VALUE) {
        DWORD type = GetFileType(given);
        if (type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE)
            return writeAll(given, bytes) == ERROR_SUCCESS ? TOutput::Written : TOutput::Failed;
        if (GetConsoleMode(given, &mode))
            return writeConsole(given, text) ? TOutput::Written : TOutput::Failed;
        if (type == FILE_TYPE_CHAR && writeAll(given, bytes) == ERROR_SUCCESS)
            return TOutput::Written;
    }
    if (!attachParentConsole())
        return TOutput::Nowhere;
    kel::Handle console(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                    nullptr));
    if (!console.valid())
        return TOutput::Nowhere;
    return writeConsole(console.get(), text) ? TOutput::Written : TOutput::Failed;
}

void tell(const std::wstring& message) {
    writeOut(STD_ERROR_HANDLE, kel::WideToAnsi(message, 932), message);
}

std::wstring systemMessage(DWORD error) {
    wchar_t text[512] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                   text, static_cast<DWORD>(std::size(text)), nullptr);
    return text;
}

// path made absolute against the current folder, as the file calls would read it;
// path itself when that fails (the file calls then report why).
std::wstring fullPath(const std::wstring& path) {
    DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return path;
    std::wstring full(size, L'\0');
    DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size)
        return path;
    full.resize(length);
    return full;
}

// Writes the report to a new file in path's folder and renames it into place, both
// through the folder's handle, so that path holds either the whole report or what it
// held before, and the folder can't be swapped for another meanwhile. A read-only
// file at path is never replaced. ERROR_SUCCESS or the error.
DWORD writeWhole(const std::wstring& path, const std::string& bytes) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return ERROR_ACCESS_DENIED;
    size_t delimiter = path.find_last_of(L"\\/");
    if (delimiter == std::wstring::npos || delimiter + 1 == path.size())
        return ERROR_INVALID_NAME;
    // A drive's root keeps its backslash ("C:\\"); "C:" alone is a current folder.
    bool root = delimiter == 0 || path[delimiter - 1] == L':';
    std::wstring folderPath = path.substr(0, delimiter + (root ? 1 : 0));
    DWORD error = ERROR_SUCCESS;
    kel::TFolder folder = kel::TFolder::Open(nullptr, folderPath, false, nullptr, error);
    if (!folder.valid())
        return error;
    return folder.ReplaceWhole(path.substr(delimiter + 1), bytes);
}

bool isFolder(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int runReport(const TInvocation& invocation) {
    bool json = invocation.mode == TRunMode::JsonReport;
    std::string bytes;
    try {
        TReportFacts facts = GatherReportFacts();
        bytes = json ? JsonReport(facts) : InformationReport(facts.info, facts.userInfo);
    } catch (const std::exception& error) {
        tell(L"取得情報を読み取れませんでした: " + kel::AnsiToWide(error.what(), 932) + L"\r\n");
        return kExitNotDone;
    }
    if (invocation.file == L"-") {
        if (json) // in ASCII, as every JSON document on a standard handle
            bytes = kel::JsonAsciiOnly(bytes);
        return writeOut(STD_OUTPUT_HANDLE, bytes, kel::AnsiToWide(bytes, json ? CP_UTF8 : 932)) ==
                       TOutput::Written
                   ? 0
                   : kExitNotWritten;
    }
    std::wstring path = fullPath(invocation.file);
    if (isFolder(path)) {
        tell(L"書き込めませんでした: " + invocation.file +
             L"\r\nフォルダです。書き出すファイルの名前を指定してください。\r\n");
        return kExitNotWritten;
    }
    DWORD error = writeWhole(path, bytes);
    if (error == ERROR_SUCCESS)
        return 0;
    tell(L"書き込めませんでした: " + invocation.file + L"\r\n" + systemMessage(error));
    return kExitNotWritten;
}

// The bytes of a value file, at most 64 KB; nothing when it can't be read or is no
// plain file of its own (a link could hand an administrator's process another
// file's first line to write where every user reads it).
std::optional<std::string> readValueFile(const std::wstring& path) {
    kel::Handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    LARGE_INTEGER size{};
    if (!file.valid() || !kel::IsPlainFile(file.get()) || !GetFileSizeEx(file.get(), &size) ||
        size.QuadPart > 64 * 1024)
        return std::nullopt;
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
        read != bytes.size())
        return std::nullopt;
    return bytes;
}

// The user information's values in code page 932: "@FILE" is the file's text,
// "@@..." a value that starts with "@". The refusal (87) of a file that can't be
// read or decoded, or of a value that code page 932 cannot carry exactly (never a
// best-fit look-alike of what was given).
std::optional<TCommandResult>
userInfoValues(const TInvocation& invocation,
               std::vector<std::pair<std::string, std::string>>& fields) {
    auto refuse = [](const std::wstring& why) {
        return TextResult(kExitBadArguments, kel::WideToAnsi(why, 932));
    };
    for (const auto& [name, given] : invocation.userInfo) {
        std::wstring value = given;
        if (given.rfind(L"@@", 0) == 0) {
            value = given.substr(1);
        } else if (given.rfind(L"@", 0) == 0) {
            std::optional<std::string> bytes = readValueFile(given.substr(1));
            if (!bytes)
                return refuse(L"値のファイルを読めません: " + given.substr(1) + L"\r\n");
            std::optional<std::wstring> text = DecodeValueFile(*bytes);
            if (!text)
                return refuse(L"値のファイルが UTF-8 または UTF-16 の 1 行ではありません: " +
                              given.substr(1) + L"\r\n");
            value = *text;
        }
        std::string text;
        if (!kel::WideToAnsiExact(value, text))
            return refuse(L"コード ページ 932 で表せない文字があります: " + value + L"\r\n");
        fields.emplace_back(name, text);
    }
    return std::nullopt;
}

// A change command's result, and whether its text is a reason (a refusal or a
// failure to go on) rather than the command's lines.
struct TChange {
    TCommandResult result;
    bool reason = false;
};

bool isRefusal(int exitCode) {
    return exitCode == kExitBadArguments || exitCode == kExitNotTheDeskUser ||
           exitCode == kExitUntrustedProgram;
}

TCommandResult runChangeRows(const TInvocation& invocation,
                             const std::vector<std::pair<std::string, std::string>>& fields) {
    std::vector<TSetting> settings;
    for (const auto& [row, state] : invocation.rows)
        settings.push_back({kel::WideToAnsi(row, 932), state});
    switch (invocation.mode) {
    case TRunMode::UserInfo:
        return RunUserInfoCommand(fields);
    case TRunMode::Undo:
        return RunUndoCommand(invocation.file);
    case TRunMode::Repair:
        return RunRepairCommand(settings.front().row);
    case TRunMode::Set:
        return RunSwitchCommand(settings, true);
    default: { // Check: the switches, then the user information
        TCommandResult switches;
        if (!settings.empty())
            switches = RunSwitchCommand(settings, false);
        if (fields.empty() || isRefusal(switches.exitCode))
            return switches;
        TCommandResult userInfo = RunUserInfoCheck(fields);
        return settings.empty() || isRefusal(userInfo.exitCode)
                   ? userInfo
                   : CombineResults(switches, userInfo);
    }
    }
}

TChange change(const TInvocation& invocation) {
    if (invocation.mode != TRunMode::Check)
        if (std::optional<TCommandResult> refusal =
                RefuseUntrustedProgram(gCommandAccount(), kel::OwnProgramPath()))
            return {*refusal, true};
    std::vector<std::pair<std::string, std::string>> fields;
    if (std::optional<TCommandResult> refusal = userInfoValues(invocation, fields))
        return {*refusal, true};
    try {
        TCommandResult result = runChangeRows(invocation, fields);
        bool refused = isRefusal(result.exitCode) || (result.exitCode == kExitNeedsAdministrator &&
                                                      invocation.mode != TRunMode::UserInfo);
        return {result, refused};
    } catch (const kel::BackupError& error) {
        return {TextResult(error.Made().empty() ? kExitNoBackup : kExitStoppedPartWay,
                           std::string(error.what()) + "\r\n"),
                true};
    } catch (const std::exception& error) {
        return {
            TextResult(kExitNotDone, "続けられませんでした: " + std::string(error.what()) + "\r\n"),
            true};
    }
}

// A JSON document on a standard handle is written in ASCII, so that a reader that
// decodes a pipe in the console's code page (Windows PowerShell) reads it right.
void writeJson(const std::string& document) {
    std::string ascii = kel::JsonAsciiOnly(document);
    writeOut(STD_OUTPUT_HANDLE, ascii, kel::AnsiToWide(ascii, CP_UTF8));
}

// Prints a change command's lines (or its JSON) to standard output, a refusal's
// reason to standard error (with the usage after an unknown name); with /json the
// document goes to standard output in either case.
int runChange(const TInvocation& invocation) {
    TChange done = change(invocation);
    const TCommandResult& result = done.result;
    if (done.reason) {
        std::wstring reason = kel::AnsiToWide(result.text, 932);
        tell(result.exitCode == kExitBadArguments ? reason + L"\r\n" + usage() : reason);
    }
    if (invocation.json)
        writeJson(CommandJson(result));
    else if (!done.reason)
        writeOut(STD_OUTPUT_HANDLE, result.text, kel::AnsiToWide(result.text, 932));
    return result.exitCode;
}

// "DOMAIN\user", or the account's SID where its name can't be read.
std::wstring accountForLog() {
    std::wstring name = kel::AccountName();
    return name.empty() ? kel::AnsiToWide(kel::CurrentUserSid()) : name;
}

// The command line as given, each argument that needs it in quotes.
std::wstring givenCommandLine() {
    std::wstring line;
    for (const std::wstring& arg : CommandLineArguments()) {
        bool plain = !arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos;
        line += (line.empty() ? L"" : L" ") + (plain ? arg : QuoteArgument(arg));
    }
    return line;
}

// Appends one line about the command to the log file: its time (UTC), account,
// command line, outcome and exit code, separated by tabs, in UTF-8 (a new file
// starts with the byte order mark, so that Windows PowerShell reads it right). The
// line goes in one write at the file's end; the file is opened without following a
// link (its own name; the folders above are the caller's choice) and must be a
// plain file of one name. A log that can't be written is said on standard error and
// changes no outcome.
void writeLog(const std::wstring& path, int exitCode) {
    SYSTEMTIME now = {};
    GetSystemTime(&now);
    const char* word = "unknown";
    for (const TExitCode& exit : kExitCodeTable)
        if (exit.code == exitCode)
            word = exit.word;
    std::wstring line = kel::AnsiToWide(kel::IsoUtcTime(now.wYear, now.wMonth, now.wDay, now.wHour,
                                                        now.wMinute, now.wSecond)) +
                        L"\t" + accountForLog() + L"\t" + givenCommandLine() + L"\t" +
                        kel::AnsiToWide(word) + L"\t" + kel::AnsiToWide(std::to_string(exitCode));
    std::string bytes = kel::OnOneLine(kel::WideToAnsi(line, CP_UTF8)) + "\r\n";
    kel::Handle file(CreateFileW(
        path.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | READ_CONTROL | SYNCHRONIZE,
        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    DWORD error = file.valid() ? ERROR_SUCCESS : GetLastError();
    bool existed = file.valid() && GetLastError() == ERROR_ALREADY_EXISTS;
    if (error == ERROR_SUCCESS && !kel::IsPlainFile(file.get()))
        error = ERROR_INVALID_NAME;
    // With administrator rights, a log that was there is appended to only when it is
    // the administrators' alone: one that a user made first is theirs to read and
    // forge.
    if (error == ERROR_SUCCESS && existed && kel::gProcessElevated() &&
        kel::JudgeHeldAdminOnly(file.get()) != kel::TTrust::Trusted)
        error = ERROR_ACCESS_DENIED;
    LARGE_INTEGER size{};
    if (error == ERROR_SUCCESS) {
        if (GetFileSizeEx(file.get(), &size) && size.QuadPart == 0)
            bytes = "\xEF\xBB\xBF" + bytes;
        error = writeAll(file.get(), bytes);
    }
    if (error != ERROR_SUCCESS)
        tell(L"ログに書き込めませんでした: " + path + L"\r\n" + systemMessage(error));
}

int runCommand(const TInvocation& invocation, TProgram program) {
    switch (invocation.mode) {
    case TRunMode::Usage:
        switch (writeOut(STD_OUTPUT_HANDLE, kel::WideToAnsi(usage(), 932), usage())) {
        case TOutput::Written:
            return 0;
        case TOutput::Failed:
            return kExitNotWritten;
        case TOutput::Nowhere: // started from a shortcut: the usage asked for is shown
            if (program == TProgram::Console)
                return kExitNotWritten;
            MessageBoxW(nullptr, usage().c_str(), kUsageTitle, MB_OK | MB_ICONINFORMATION);
            return 0;
        }
        return kExitNotWritten;
    case TRunMode::BadArguments:
        tell(std::wstring(L"引数が正しくありません。\r\n\r\n") + usage());
        if (invocation.json)
            writeJson(CommandJson(TextResult(kExitBadArguments, "引数が正しくありません。\r\n")));
        return kExitBadArguments;
    case TRunMode::Set:
    case TRunMode::Check:
    case TRunMode::Repair:
    case TRunMode::UserInfo:
    case TRunMode::Undo:
        return runChange(invocation);
    case TRunMode::TextReport:
    case TRunMode::JsonReport:
        return runReport(invocation);
    case TRunMode::Window:
        break;
    }
    return 0;
}

} // namespace

std::vector<std::wstring> CommandLineArguments() {
    std::vector<std::wstring> args;
    int count = 0;
    LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count);
    if (list == nullptr)
        return args;
    kel::LocalMemory owner(list);
    for (int i = 1; i < count; ++i)
        args.emplace_back(list[i]);
    return args;
}

int CommandFailed(const char* reason) noexcept {
    try {
        tell(L"続けられませんでした: " + kel::AnsiToWide(reason, 932) + L"\r\n");
    } catch (...) {
    }
    return kExitNotDone;
}

int RunCommand(const TInvocation& invocation, TProgram program) {
    int exitCode = runCommand(invocation, program);
    if (!invocation.logFile.empty())
        writeLog(invocation.logFile, exitCode);
    return exitCode;
}

} // namespace app
