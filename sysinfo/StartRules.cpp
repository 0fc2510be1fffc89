#include "sysinfo/StartRules.h"

#include "sysinfo/ShiftJis.h"

namespace kel {

bool IsWebAddress(const std::string& address) {
    return StartsWithIgnoringAsciiCase(address, "http://") ||
           StartsWithIgnoringAsciiCase(address, "https://");
}

bool InternetExplorerBrowses(const TWindowsVersion& version) {
    return version.major < 10 || (version.major == 10 && version.minor == 0 &&
                                  version.build < kInternetExplorerRetiredBuild);
}

std::vector<TBrowserWay> BrowserWays(const TWindowsVersion& version, bool elevated) {
    if (elevated)
        return {};
    if (InternetExplorerBrowses(version))
        return {TBrowserWay::InternetExplorer, TBrowserWay::DefaultBrowser};
    return {TBrowserWay::DefaultBrowser};
}

} // namespace kel
