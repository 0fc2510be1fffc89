// What the program starts for the user (a program, an address the shell opens, a
// web page) and how a page reaches a browser on each Windows. No platform calls.
#pragma once

#include <string>
#include <vector>

namespace kel {

// The version the kernel reports: 6.1 is Windows 7, 10.0 is Windows 10 and 11 (told
// apart by the build: 22000 and later is Windows 11).
struct TWindowsVersion {
    unsigned long major = 0, minor = 0, build = 0;
};

// One thing started for the user.
struct TStart {
    enum class Kind {
        Program, // target with parameters, in a process of the user's rights
        Open,    // an address the shell opens with its handler ("ms-settings:...")
        Page,    // a web page, opened as OpenUrl opens it
    };
    Kind kind = Kind::Program;
    std::wstring target; // the program's path, or the address
    std::wstring parameters;
    bool operator==(const TStart&) const = default;
};

// The first build of Windows 10 version 20H2: from it on, Internet Explorer 11 is
// retired (IEXPLORE.EXE hands over to Edge without the address); Windows 11 (build
// 22000) has none at all.
constexpr unsigned long kInternetExplorerRetiredBuild = 19042;

// True where Internet Explorer still browses: before Windows 10, and on Windows 10
// before build 19042.
bool InternetExplorerBrowses(const TWindowsVersion& version);

// True for an address the user's default browser may be given: one that begins with
// "http://" or "https://", without regard to ASCII case. The shell would start
// whatever handler any other address names.
bool IsWebAddress(const std::string& address);

// How a page is opened when no running Internet Explorer answered over DDE, in the
// order tried. A process with administrator rights starts no browser (none); else
// Internet Explorer is started where it still browses, and the user's default
// browser takes the address where it does not or did not answer.
enum class TBrowserWay { InternetExplorer, DefaultBrowser };
std::vector<TBrowserWay> BrowserWays(const TWindowsVersion& version, bool elevated);

} // namespace kel
