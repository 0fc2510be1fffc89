// Repairs and switches on names that code page 932 changes: they act on the exact
// names listed, and on nothing a changed name seems to name.
#include "repair/Repairs.h"
#include "repair/ScriptHostGuard.h"

#include "sysinfo/Registry.h"
#include "sysinfo/Text.h"
#include "tests/support/Environment.h"
#include "tests/support/Fixtures.h"
#include "tests/support/ScratchKey.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace kel;
using namespace testing_support;

namespace {

bool existsW(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void writeFileW(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
}

// Names whose ANSI form climbs out of the folder or names another file: the yen
// sign (0x5C in code page 932), characters without a code, best-fit look-alikes.
const wchar_t* const kTrickyNames[] = {
    L"~\u00A5..\u00A5..\u00A5victim.tmp", // ~\..\..\victim.tmp
    L"~\u00A5..\u00A5victim.tmp",         // ~\..\victim.tmp
    L"~\u0100.tmp",                       // no code page 932 form
    L"~\u2215..\u2215..\u2215victim.tmp", // division slash
    L"~\u00E1.tmp",                       // best-fits to ~a.tmp
};

TEST(UntrustedFileNames, TemporaryFilesAreDeletedByTheirExactNamesOnly) {
    ScratchFolder root("C:\\wexdal-tests\\untrusted");
    std::wstring top = AnsiToWide(root.path());
    std::wstring temp = top + L"t\u00A5mp\\"; // reads as "t\mp" through ANSI
    CreateDirectoryW(temp.c_str(), nullptr);
    makeFolders(root.file("t\\mp"));
    writeFile(root.file("t\\mp\\~decoy.tmp"), "x");
    writeFile(root.file("victim.tmp"), "x");
    writeFile(root.file("~a.tmp"), "x");
    for (const wchar_t* name : kTrickyNames)
        writeFileW(temp + name);
    writeFileW(temp + L"~plain.tmp");
    writeFileW(temp + L"keep.txt");
    EnvironmentOverride variable(L"TEMP", top + L"t\u00A5mp");

    DeleteTempFiles();

    for (const wchar_t* name : kTrickyNames)
        EXPECT_FALSE(existsW(temp + name)) << WideToAnsi(name);
    EXPECT_FALSE(existsW(temp + L"~plain.tmp"));
    EXPECT_TRUE(existsW(temp + L"keep.txt"));
    EXPECT_TRUE(existsW(top + L"victim.tmp"));
    EXPECT_TRUE(existsW(top + L"~a.tmp"));
    EXPECT_TRUE(existsW(top + L"t\\mp\\~decoy.tmp"));
}

TEST(UntrustedFileNames, ToolbarFilesBesideTheExcelFolderSurvive) {
    ScratchFolder root("C:\\wexdal-tests\\untrusted-appdata");
    const char* shellFolders =
        "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    std::string saved;
    ReadRegString(HKEY_CURRENT_USER, shellFolders, "AppData", saved);
    putString(HKEY_CURRENT_USER, shellFolders, "AppData", root.file("a"));
    std::wstring excel = AnsiToWide(root.file("a\\Microsoft\\Excel\\"));
    makeFolders(root.file("a\\Microsoft\\Excel"));
    writeFile(root.file("a\\Microsoft\\victim.xlb"), "x");
    writeFile(root.file("a\\victim.xlb"), "x");
    writeFileW(excel + L"b\u00A5..\u00A5..\u00A5victim.xlb");
    writeFileW(excel + L"b\u00A5..\u00A5..\u00A5..\u00A5victim.xlb");
    writeFileW(excel + L"Excel11.xlb");

    RepairExcelToolbar();
    putString(HKEY_CURRENT_USER, shellFolders, "AppData", saved);

    EXPECT_FALSE(existsW(excel + L"b\u00A5..\u00A5..\u00A5victim.xlb"));
    EXPECT_FALSE(existsW(excel + L"b\u00A5..\u00A5..\u00A5..\u00A5victim.xlb"));
    EXPECT_FALSE(existsW(excel + L"Excel11.xlb"));
    EXPECT_TRUE(existsW(AnsiToWide(root.file("a\\Microsoft\\victim.xlb"))));
    EXPECT_TRUE(existsW(AnsiToWide(root.file("a\\victim.xlb"))));
}

// A name ending in a dot or a space is changed by the path rules of the file
// calls ("~x." opens "~x"): such a name is passed over, and so is the file it
// would reach.
TEST(UntrustedFileNames, ANameThePathRulesWouldChangeIsPassedOver) {
    ScratchFolder root("C:\\wexdal-tests\\untrusted-dot");
    std::wstring temp = AnsiToWide(root.path());
    for (const wchar_t* name : {L"~x.", L"~y "})
        writeFileW(L"\\\\?\\" + temp + name);
    ASSERT_TRUE(existsW(L"\\\\?\\" + temp + L"~x."));
    writeFileW(temp + L"~x");
    writeFileW(temp + L"~y");
    SetFileAttributesW((temp + L"~x").c_str(), FILE_ATTRIBUTE_SYSTEM);
    EnvironmentOverride variable(L"TEMP", temp);

    DeleteTempFiles();

    EXPECT_TRUE(existsW(temp + L"~x"));
    EXPECT_TRUE(existsW(L"\\\\?\\" + temp + L"~x."));
    EXPECT_TRUE(existsW(L"\\\\?\\" + temp + L"~y "));
    EXPECT_FALSE(existsW(temp + L"~y"));
    SetFileAttributesW((temp + L"~x").c_str(), FILE_ATTRIBUTE_NORMAL);
    for (const wchar_t* name : {L"~x.", L"~y "})
        DeleteFileW((L"\\\\?\\" + temp + name).c_str());
}

TEST(UntrustedFileNames, MasksApplyToTheWideNames) {
    EXPECT_TRUE(MatchesMask(L"~\u00A5..\u00A5x.tmp", L"~*.*"));
    EXPECT_TRUE(MatchesMask(L"~\u0100", L"~*.*"));
    EXPECT_FALSE(MatchesMask(L"\u00A5~x.tmp", L"~*.*"));
    EXPECT_TRUE(MatchesMask(L"\u8868.XLB", L"*.xlb"));
    EXPECT_TRUE(MatchesMask(L"\u8868", L"?")); // one character, not one byte
    EXPECT_FALSE(MatchesMask(L"\u8868", L"??"));
    EXPECT_FALSE(MatchesMask(L"Book.xlbackup", L"*.xlb"));
    EXPECT_FALSE(MatchesMask(std::wstring(L"~a\0b", 4), L"~*.*"));
}

// A class named with a yen sign lists as another class's sub-key through ANSI. The
// guard renames neither, and says so: the class it could not rename still starts
// the script host, so that scripts stay on and switching them off fails.
TEST(UntrustedKeyNames, ScriptHostGuardPassesOverNamesItCannotCarry) {
    ScratchKey other{HKEY_CLASSES_ROOT, "\\WexdalDecoy"};
    putString(HKEY_CLASSES_ROOT, "\\WexdalDecoy\\Sub\\Shell\\Open\\Command", "", "wscript.exe %1");
    std::wstring yenClass = L"WexdalDecoy\u00A5Sub";
    putWideString(HKEY_CLASSES_ROOT, yenClass + L"\\Shell\\Open\\Command", L"", L"wscript.exe %1");
    Tree otherBefore = snapshot(HKEY_CLASSES_ROOT, "\\WexdalDecoy");
    Tree yenBefore = wideSnapshot(HKEY_CLASSES_ROOT, yenClass);

    EXPECT_EQ(SetScriptHostEnabled(0), -1);
    EXPECT_EQ(GetScriptHostEnabled(), 1);
    EXPECT_EQ(snapshot(HKEY_CLASSES_ROOT, "\\WexdalDecoy"), otherBefore);
    EXPECT_EQ(wideSnapshot(HKEY_CLASSES_ROOT, yenClass), yenBefore);
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, "\\WexdalDecoy\\Sub.SymantecDisabled"));
    EXPECT_EQ(SetScriptHostEnabled(1), 0);
    EXPECT_EQ(snapshot(HKEY_CLASSES_ROOT, "\\WexdalDecoy"), otherBefore);
    removeWideTree(HKEY_CLASSES_ROOT, yenClass);
}

} // namespace
