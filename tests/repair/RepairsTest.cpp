#include "repair/Repairs.h"

#include "sysinfo/FileSystem.h"
#include "sysinfo/Registry.h"
#include "sysinfo/Text.h"
#include "tests/support/Environment.h"
#include "tests/support/Fixtures.h"
#include "tests/support/ScratchKey.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

using namespace kel;
using namespace testing_support;

namespace {

bool exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The items in the Recycle Bins of every drive.
long long recycled() {
    SHQUERYRBINFO bin{};
    bin.cbSize = sizeof bin;
    return SHQueryRecycleBinW(nullptr, &bin) == S_OK ? bin.i64NumItems : -1;
}

TEST(DeleteTempFiles, DeletesTildeFilesOnly) {
    ScratchFolder temp("C:\\wexdal-tests\\temp");
    EnvironmentOverride tempVariable("TEMP", "C:\\wexdal-tests\\temp");
    writeFile(temp.file("~hidden.tmp"), "x");
    SetFileAttributesA(temp.file("~hidden.tmp").c_str(), FILE_ATTRIBUTE_HIDDEN);
    writeFile(temp.file("~$Book1.xls"), "x");
    writeFile(temp.file("~locked.tmp"), "x");
    SetFileAttributesA(temp.file("~locked.tmp").c_str(), FILE_ATTRIBUTE_READONLY);
    writeFile(temp.file("~system.tmp"), "x");
    SetFileAttributesA(temp.file("~system.tmp").c_str(), FILE_ATTRIBUTE_SYSTEM);
    makeFolders(temp.file("~folder.tmp"));
    writeFile(temp.file("~folder.tmp\\inner.txt"), "x");
    makeFolders(temp.file("~empty.tmp"));
    writeFile(temp.file("report.doc"), "x");
    long long inBin = recycled();

    DeleteTempFiles();

    // The two removed files are in the Recycle Bin, not lost.
    EXPECT_EQ(recycled(), inBin + 2);
    EXPECT_FALSE(exists(temp.file("~hidden.tmp")));
    EXPECT_FALSE(exists(temp.file("~$Book1.xls")));
    EXPECT_TRUE(exists(temp.file("~locked.tmp"))); // tried, kept
    EXPECT_TRUE(exists(temp.file("~system.tmp")));
    // Folders whose own names fit the mask stay, with what they hold.
    EXPECT_TRUE(exists(temp.file("~folder.tmp\\inner.txt")));
    EXPECT_TRUE(exists(temp.file("~empty.tmp")));
    EXPECT_TRUE(exists(temp.file("report.doc")));
    SetFileAttributesA(temp.file("~locked.tmp").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Every file goes to the Recycle Bin in one call, with the window that may be asked;
// a file the bin does not take stays and is counted as left.
TEST(DeleteTempFiles, HandsEveryFileToTheBinInOneCall) {
    ScratchFolder temp("C:\\wexdal-tests\\temp");
    EnvironmentOverride tempVariable("TEMP", "C:\\wexdal-tests\\temp");
    for (const char* name : {"~a.tmp", "~b.tmp", "~c.tmp"})
        writeFile(temp.file(name), "x");
    static std::vector<std::vector<std::wstring>> calls;
    static void* owner = nullptr;
    int window = 0;
    auto saved = gRecycleFiles;
    gRecycleOwner = &window;
    gRecycleFiles = [](const std::vector<std::wstring>& files, void* ownerWindow) -> size_t {
        calls.push_back(files);
        owner = ownerWindow;
        DeleteFileW(files.front().c_str()); // the bin takes one of them
        return files.size() - 1;
    };
    TRepairResult result = DeleteTempFiles();
    gRecycleFiles = saved;
    gRecycleOwner = nullptr;
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].size(), 3u);
    EXPECT_EQ(owner, &window);
    EXPECT_EQ(result.found, 3);
    EXPECT_EQ(result.left, 2);
}

// Without a window to ask in, a file whose volume deletes rather than recycles
// stays where it is.
TEST(RecycleFiles, WithoutAWindowAFileTheBinWontTakeStays) {
    wchar_t volume[MAX_PATH] = {};
    if (!GetVolumeNameForVolumeMountPointW(L"C:\\", volume, MAX_PATH))
        GTEST_SKIP() << "the bench's C: has no volume name";
    std::wstring name = volume;
    std::string guid =
        WideToAnsi(name.substr(name.find(L'{'), name.find(L'}') - name.find(L'{') + 1));
    ScratchKey bin(HKEY_CURRENT_USER,
                   "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\BitBucket\\Volume\\" +
                       guid);
    putDword(HKEY_CURRENT_USER, bin.path(), "NukeOnDelete", 1);
    ScratchFolder folder("C:\\wexdal-tests\\nuke");
    writeFile(folder.file("~big.tmp"), "x");
    std::wstring file = AnsiToWide(folder.file("~big.tmp"));
    EXPECT_EQ(gRecycleFiles({file}, nullptr), 1u);
    EXPECT_TRUE(exists(folder.file("~big.tmp")));
    putDword(HKEY_CURRENT_USER, bin.path(), "NukeOnDelete", 0);
    EXPECT_EQ(gRecycleFiles({file}, nullptr), 0u);
    EXPECT_FALSE(exists(folder.file("~big.tmp")));
}

TEST(DeleteTempFiles, FallsBackToTmpAndStopsWithoutEither) {
    ScratchFolder tmp("C:\\wexdal-tests\\tmp");
    writeFile(tmp.file("~a.tmp"), "x");
    {
        // Without either variable the folder would be "\": neither the current
        // folder nor the drive root may be searched.
        ScratchFolder current("C:\\wexdal-tests\\current");
        writeFile(current.file("~current.tmp"), "x");
        const std::string atRoot = "C:\\~wexdal-root.tmp";
        writeFile(atRoot, "x");
        char saved[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, saved);
        SetCurrentDirectoryA(current.path().c_str());
        EnvironmentOverride noTemp("TEMP", nullptr);
        EnvironmentOverride noTmp("TMP", nullptr);
        DeleteTempFiles();
        SetCurrentDirectoryA(saved);
        EXPECT_TRUE(exists(tmp.file("~a.tmp")));
        EXPECT_TRUE(exists(current.file("~current.tmp")));
        EXPECT_TRUE(exists(atRoot));
        DeleteFileA(atRoot.c_str());
    }
    EnvironmentOverride noTemp("TEMP", nullptr);
    EnvironmentOverride tmpVariable("TMP", "C:\\wexdal-tests\\tmp");
    DeleteTempFiles();
    EXPECT_FALSE(exists(tmp.file("~a.tmp")));
}

TEST(RepairExcelToolbar, DeletesToolbarFilesByTheirLongNames) {
    ScratchFolder appData("C:\\wexdal-tests\\appdata");
    const char* shellFolders =
        "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    std::string saved;
    ReadRegString(HKEY_CURRENT_USER, shellFolders, "AppData", saved);
    putString(HKEY_CURRENT_USER, shellFolders, "AppData", "C:\\wexdal-tests\\appdata");
    std::string excel = appData.file("Microsoft\\Excel\\");
    makeFolders(excel);
    writeFile(excel + "Excel11.xlb", "x");
    writeFile(excel + "Book1.xls", "x");
    // Its generated short name (BOOK~1.XLB) fits "*.xlb"; the long name does not.
    writeFile(excel + "Book.xlbackup", "x");

    RepairExcelToolbar();
    putString(HKEY_CURRENT_USER, shellFolders, "AppData", saved);

    EXPECT_FALSE(exists(excel + "Excel11.xlb"));
    EXPECT_TRUE(exists(excel + "Book1.xls"));
    EXPECT_TRUE(exists(excel + "Book.xlbackup"));
}

TEST(RepairWordToolbar, DeletesOnlyTheToolbarsValue) {
    ScratchKey data(HKEY_CURRENT_USER, "\\Software\\Microsoft\\Office\\11.0\\Word\\Data");
    putString(HKEY_CURRENT_USER, data.path(), "Toolbars", "x");
    putString(HKEY_CURRENT_USER, data.path(), "Settings", "y");
    RepairWordToolbar("11.0");
    EXPECT_FALSE(valueExists(HKEY_CURRENT_USER, data.path(), "Toolbars"));
    EXPECT_TRUE(valueExists(HKEY_CURRENT_USER, data.path(), "Settings"));

    // Nothing left to delete, or no version: no key made, no value removed.
    Tree office = snapshot(HKEY_CURRENT_USER, "\\Software\\Microsoft\\Office");
    RepairWordToolbar("11.0");
    RepairWordToolbar("");
    EXPECT_EQ(snapshot(HKEY_CURRENT_USER, "\\Software\\Microsoft\\Office"), office);
}

} // namespace
