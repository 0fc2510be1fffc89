#include "tests/support/Fixtures.h"

#include "sysinfo/Text.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace testing_support {

namespace {

std::string withSlash(std::string path) {
    if (path.empty() || path.back() != '\\')
        path += '\\';
    return path;
}

std::string testProgramFolder() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.rfind('\\') + 1);
}

} // namespace

std::string fixturePath(const std::string& variant) {
    return testProgramFolder() + "fixtures\\fixture_" + variant + ".exe";
}

std::string wexdalPath() {
    // WEXDAL_PROGRAM names another build of the program, such as the release
    // package's, as a Unix path (the bench's drive Z: is the Unix root).
    if (const char* program = std::getenv("WEXDAL_PROGRAM"); program != nullptr && *program) {
        std::string path = std::string("Z:") + program;
        std::replace(path.begin(), path.end(), '/', '\\');
        return path;
    }
    std::string tests = testProgramFolder(); // the tests folder lies beside the app folder
    tests.pop_back();
    return tests.substr(0, tests.rfind('\\') + 1) + "app\\wexdal.exe";
}

void makeFolders(const std::string& path) {
    std::string folder = withSlash(path);
    for (size_t i = folder.find('\\', 3); i != std::string::npos; i = folder.find('\\', i + 1))
        CreateDirectoryA(folder.substr(0, i).c_str(), nullptr);
}

void installFixture(const std::string& variant, const std::string& path) {
    makeFolders(path.substr(0, path.rfind('\\')));
    if (!CopyFileA(fixturePath(variant).c_str(), path.c_str(), FALSE))
        throw std::runtime_error("cannot copy fixture " + variant + " to " + path);
}

// Through the wide API, so that names with a yen sign or without a code page 932
// form are removed as they are, and nothing beside them.
void removeFolderTreeW(const std::wstring& path) {
    std::wstring folder = path.empty() || path.back() == L'\\' ? path : path + L"\\";
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring child = folder + name;
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeFolderTreeW(child);
            else
                DeleteFileW(child.c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

void removeFolderTree(const std::string& path) {
    removeFolderTreeW(kel::AnsiToWide(withSlash(path)));
}

void writeFile(const std::string& path, const std::string& content) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot write " + path);
    DWORD written = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
}

std::string readFile(const std::string& path) {
    std::string content;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        size_t read;
        while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            content.append(buffer, read);
        std::fclose(file);
    }
    return content;
}

ScratchFolder::ScratchFolder(std::string path) : path_(withSlash(std::move(path))) {
    removeFolderTree(path_);
    makeFolders(path_);
}

ScratchFolder::~ScratchFolder() {
    removeFolderTree(path_);
}

} // namespace testing_support
