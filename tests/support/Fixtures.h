// The fixture programs and scratch folders of the tests.
#pragma once

#include <string>

namespace testing_support {

// Path of fixture_<variant>.exe, built beside the test programs.
std::string fixturePath(const std::string& variant);

// Path of the program under test: the built wexdal.exe, or the one that the
// environment variable WEXDAL_PROGRAM names (a Unix path).
std::string wexdalPath();

// Copies a fixture program to path, creating the missing folders.
void installFixture(const std::string& variant, const std::string& path);

// A folder (with its missing parents) that is removed with everything in it when
// the object goes.
class ScratchFolder {
  public:
    explicit ScratchFolder(std::string path);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder's path, ending with a backslash.
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + name; }

  private:
    std::string path_;
};

void makeFolders(const std::string& path);
void removeFolderTree(const std::string& path);
void removeFolderTreeW(const std::wstring& path);
void writeFile(const std::string& path, const std::string& content);
// The file's content; empty when it can't be read.
std::string readFile(const std::string& path);

} // namespace testing_support
