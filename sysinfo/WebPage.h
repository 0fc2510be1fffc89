// Opening web pages: in a running Internet Explorer over DDE, else in one started
// where it still browses, else in the user's default browser.
#pragma once

#include <string>

namespace kel {

// The fixed addresses the program opens.
extern const char kMakerSiteUrl[];
extern const char kOfficeUpdateUrl[];
extern const char kVectorAuthorUrl[];  // the maker's author page on Vector
extern const char kVectorProgramUrl[]; // the program's page on Vector

// Internet Explorer's path: ProgramFilesDir + "\Internet Explorer\IEXPLORE.EXE",
// with its first %NAME% expanded.
std::string InternetExplorerPath();

// The DDE execute command for a URL: the URL in double quotes (unescaped), then
// ",,-1,,,,,".
std::string OpenUrlCommand(const std::string& url);

// Hands url to Internet Explorer over DDE (service "IExplore", topic "WWW_openUrl").
// When no server answers, tries the ways of BrowserWays: Internet Explorer started
// once (its path quoted; a path of 256 characters or more is not started) where it
// still browses, then the user's default browser (the shell's "open" on url), both
// through gStart. 0 when the execute request was accepted or the browser started,
// -1 otherwise. A process with administrator rights starts no browser: it only hands
// the address to one that runs.
int OpenUrl(const std::string& url);

// Said when a process with administrator rights could open nothing: why, and what
// to do instead.
extern const char kElevatedOpensNothing[];

} // namespace kel
