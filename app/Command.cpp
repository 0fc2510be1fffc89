#include "app/Command.h"

#include "app/Report.h"
#include "sysinfo/Handle.h"
#include "sysinfo/Text.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <exception>

namespace app {

namespace {

const wchar_t kUsage[] = L"使い方:\r\n\r\n"
                         L"wexdal.exe\r\n"
                         L"    ウィンドウを開きます。\r\n\r\n"
                         L"wexdal.exe /report ファイル\r\n"
                         L"    取得情報をテキスト (シフトJIS) で書き出します。\r\n\r\n"
                         L"wexdal.exe /report:json ファイル\r\n"
                         L"    取得情報とスイッチの状態を JSON (UTF-8) で書き出します。\r\n\r\n"
                         L"wexdal.exe /?\r\n"
                         L"    この使い方を表示します (/h、/help も同じです)。\r\n\r\n"
                         L"ファイルに - を指定すると、起動元のコンソールへ出力します。\r\n"
                         L"スイッチは - で始めてもかまいません (-report など)。\r\n\r\n"
                         L"終了コード:\r\n"
                         L"    0   書き出しました (または使い方を表示しました)。\r\n"
                         L"    1   取得情報を読み取れませんでした。\r\n"
                         L"    2   ファイルに書き込めませんでした。\r\n"
                         L"    87  引数が正しくありません。\r\n";

// ERROR_INVALID_PARAMETER: the exit code of a command line that is not understood.
const int kBadArguments = 87;

bool writeAll(HANDLE file, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
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

// Writes to the standard handle the starter gave: a file or a pipe gets the bytes
// as they are, a console the text as characters; a character device (NUL) the
// bytes. Without a usable handle, to the parent's console. False when there is
// nowhere to write or the write fails.
bool writeOut(DWORD which, const std::string& bytes, const std::wstring& text) {
    HANDLE given = GetStdHandle(which);
    DWORD mode = 0;
    if (given != nullptr && given != INVALID_HANDLE_VALUE) {
        DWORD type = GetFileType(given);
        if (type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE)
            return writeAll(given, bytes);
        if (GetConsoleMode(given, &mode))
            return writeConsole(given, text);
        if (type == FILE_TYPE_CHAR && writeAll(given, bytes))
            return true;
    }
    if (!attachParentConsole())
        return false;
    kel::Handle console(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                    nullptr));
    return console.valid() && writeConsole(console.get(), text);
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

// The folder part of a path, delimiter kept; "." when there is none.
std::wstring folderOf(const std::wstring& path) {
    size_t delimiter = path.find_last_of(L"\\/:");
    return delimiter == std::wstring::npos ? L"." : path.substr(0, delimiter + 1);
}

DWORD writeNewFile(const std::wstring& path, const std::string& bytes) {
    kel::Handle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return GetLastError();
    if (!writeAll(file.get(), bytes) || !FlushFileBuffers(file.get()))
        return GetLastError();
    return ERROR_SUCCESS;
}

// Writes a temporary file beside path and renames it into place, so that path holds
// either the whole report or what it held before. A read-only file or a folder at
// path is never replaced. ERROR_SUCCESS or the error.
DWORD writeWhole(const std::wstring& path, const std::string& bytes) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return ERROR_ACCESS_DENIED;
    wchar_t temporary[MAX_PATH] = {};
    if (!GetTempFileNameW(folderOf(path).c_str(), L"wex", 0, temporary))
        return GetLastError();
    DWORD error = writeNewFile(temporary, bytes);
    if (error == ERROR_SUCCESS &&
        !MoveFileExW(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = GetLastError();
    if (error != ERROR_SUCCESS)
        DeleteFileW(temporary);
    return error;
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
        return writeOut(STD_OUTPUT_HANDLE, bytes, kel::AnsiToWide(bytes, json ? CP_UTF8 : 932)) ? 0
                                                                                                : 2;
    DWORD error = writeWhole(invocation.file, bytes);
    if (error == ERROR_SUCCESS)
        return 0;
    tell(L"書き込めませんでした: " + invocation.file + L"\r\n" + systemMessage(error));
    return 2;
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
        writeOut(STD_OUTPUT_HANDLE, kel::WideToAnsi(kUsage, 932), kUsage);
        return 0;
    case TRunMode::BadArguments:
        tell(std::wstring(L"引数が正しくありません。\r\n\r\n") + kUsage);
        return kBadArguments;
    case TRunMode::TextReport:
    case TRunMode::JsonReport:
        return runReport(invocation);
    case TRunMode::Window:
        break;
    }
    return 0;
}

} // namespace app
