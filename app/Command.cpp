#include "app/Command.h"

#include "app/Change.h"
#include "app/Report.h"
#include "sysinfo/Folder.h"
#include "sysinfo/Handle.h"
#include "sysinfo/RegBackup.h"
#include "sysinfo/Text.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstddef>
#include <exception>
#include <vector>

namespace app {

namespace {

const wchar_t kReportUsage[] =
    L"使い方:\r\n\r\n"
    L"wexdal.exe\r\n"
    L"    ウィンドウを開きます。\r\n\r\n"
    L"wexdal.exe /report ファイル\r\n"
    L"    取得情報をテキスト (シフトJIS) で書き出します。\r\n\r\n"
    L"wexdal.exe /report:json ファイル\r\n"
    L"    取得情報とスイッチの状態を JSON (UTF-8) で書き出します。\r\n\r\n"
    L"wexdal.exe /?\r\n"
    L"    この使い方を表示します (/h、/help も同じです)。\r\n\r\n"
    L"ファイルに - を指定すると、起動元のコンソールへ出力します。\r\n"
    L"スイッチは - で始めてもかまいません (-report など)。\r\n\r\n";
const wchar_t kExitCodes[] =
    L"終了コード:\r\n"
    L"    0   書き出しました、すべて指定どおりになりました (または使い方を表示しました)。\r\n"
    L"    1   取得情報を読み取れませんでした、読み直した状態が指定と違います、\r\n"
    L"        または修復しませんでした。\r\n"
    L"    2   ファイルに書き込めませんでした。\r\n"
    L"    3   このパソコンにない設定または修復です (ほかの名前は指定どおりでした)。\r\n"
    L"    4   利用者ごとの設定を、ログオン中の利用者でないアカウントで実行しました。\r\n"
    L"    5   コンピューター全体の設定を、管理者の権限なしで実行しました。\r\n"
    L"    6   変更前の状態を控えられないため、何も変更しませんでした。\r\n"
    L"    7   変更の途中で状態を控えられなくなったため、止めました (控えのファイルを\r\n"
    L"        表示します)。\r\n"
    L"    8   SYSTEM で、管理者以外も書き込める (または管理者以外が所有する)\r\n"
    L"        プログラムやフォルダ、または中身をほかのアカウントが差し替えられる\r\n"
    L"        フォルダの下から変更しようとしたため、何も変更しませんでした。\r\n"
    L"    87  引数が正しくありません。/undo では、取り込めないファイルです。\r\n";

// The whole usage: the commands, the change commands with every row's name, the
// exit codes.
std::wstring usage() {
    return kReportUsage + ChangeCommandsUsage() + L"\r\n" + kExitCodes;
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
        return 1;
    }
    if (invocation.file == L"-")
        return writeOut(STD_OUTPUT_HANDLE, bytes, kel::AnsiToWide(bytes, json ? CP_UTF8 : 932)) ==
                       TOutput::Written
                   ? 0
                   : 2;
    std::wstring path = fullPath(invocation.file);
    if (isFolder(path)) {
        tell(L"書き込めませんでした: " + invocation.file +
             L"\r\nフォルダです。書き出すファイルの名前を指定してください。\r\n");
        return 2;
    }
    DWORD error = writeWhole(path, bytes);
    if (error == ERROR_SUCCESS)
        return 0;
    tell(L"書き込めませんでした: " + invocation.file + L"\r\n" + systemMessage(error));
    return 2;
}

// The running program's file, by its full name (empty when it can't be read).
std::wstring programFile() {
    std::wstring path(32768, L'\0');
    DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length < path.size() ? length : 0);
    return path;
}

// Prints a change command's lines (or its JSON) to standard output, a refusal's
// reason to standard error (with the usage after an unknown name).
int runChange(const TInvocation& invocation) {
    std::vector<TSetting> settings;
    for (const auto& [row, state] : invocation.rows)
        settings.push_back({kel::WideToAnsi(row, 932), state});
    if (invocation.mode != TRunMode::Check)
        if (std::optional<TCommandResult> refusal =
                RefuseUntrustedProgram(gCommandAccount(), programFile())) {
            tell(kel::AnsiToWide(refusal->text, 932));
            return refusal->exitCode;
        }
    TCommandResult result;
    try {
        if (invocation.mode == TRunMode::UserInfo) {
            std::vector<std::pair<std::string, std::string>> fields;
            for (const auto& [name, value] : invocation.userInfo) {
                std::string text; // never a best-fit look-alike of what was given
                if (!kel::WideToAnsiExact(value, text)) {
                    tell(L"コード ページ 932 で表せない文字があります: " + value + L"\r\n");
                    return kExitBadArguments;
                }
                fields.emplace_back(name, text);
            }
            result = RunUserInfoCommand(fields);
        } else if (invocation.mode == TRunMode::Undo) {
            result = RunUndoCommand(invocation.file);
        } else if (invocation.mode == TRunMode::Repair) {
            result = RunRepairCommand(settings.front().row);
        } else {
            result = RunSwitchCommand(settings, invocation.mode == TRunMode::Set, invocation.json);
        }
    } catch (const kel::BackupError& error) {
        tell(kel::AnsiToWide(error.what(), 932) + L"\r\n");
        return error.Made().empty() ? kExitNoBackup : kExitStoppedPartWay;
    } catch (const std::exception& error) {
        tell(L"続けられませんでした: " + kel::AnsiToWide(error.what(), 932) + L"\r\n");
        return kExitNotDone;
    }
    bool refused =
        result.exitCode == kExitBadArguments || result.exitCode == kExitNotTheDeskUser ||
        (result.exitCode == kExitNeedsAdministrator && invocation.mode != TRunMode::UserInfo);
    if (refused) {
        std::wstring reason = kel::AnsiToWide(result.text, 932);
        tell(result.exitCode == kExitBadArguments ? reason + L"\r\n" + usage() : reason);
        return result.exitCode;
    }
    bool json = !result.json.empty();
    const std::string& bytes = json ? result.json : result.text;
    writeOut(STD_OUTPUT_HANDLE, bytes, kel::AnsiToWide(bytes, json ? CP_UTF8 : 932));
    return result.exitCode;
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
    return 1;
}

int RunCommand(const TInvocation& invocation) {
    switch (invocation.mode) {
    case TRunMode::Usage:
        switch (writeOut(STD_OUTPUT_HANDLE, kel::WideToAnsi(usage(), 932), usage())) {
        case TOutput::Written:
            return 0;
        case TOutput::Failed:
            return 2;
        case TOutput::Nowhere: // started from a shortcut: the usage asked for is shown
            MessageBoxW(nullptr, usage().c_str(), kUsageTitle, MB_OK | MB_ICONINFORMATION);
            return 0;
        }
        return 2;
    case TRunMode::BadArguments:
        tell(std::wstring(L"引数が正しくありません。\r\n\r\n") + usage());
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

} // namespace app
