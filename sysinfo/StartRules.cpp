#include "sysinfo/StartRules.h"

namespace kel {

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
