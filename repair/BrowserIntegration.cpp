#include "repair/BrowserIntegration.h"

#include "sysinfo/Registry.h"

namespace kel {

namespace {

constexpr int kOwnWindow = 8;
const char kBrowserFlags[] = "BrowserFlags";
const char kLocalServer[] = "LocalServer32";
const char kSetAsideMarker[] = "_KelDisabled_";

// Registry keys are matched without regard to case, so the extension is used as given.
// An empty, non-string or malformed class name is no class.
bool readDocumentClass(const std::string& extension, std::string& className) {
    return ReadRegKeyName(HKEY_CLASSES_ROOT, "\\." + extension, "", className) == 0;
}

bool readClassId(const std::string& extension, std::string& classId) {
    std::string className;
    return readDocumentClass(extension, className) &&
           ReadRegKeyName(HKEY_CLASSES_ROOT, "\\" + className + "\\CLSID", "", classId) == 0;
}

std::string localServerKey(const std::string& classId, bool setAside) {
    return "\\CLSID\\" + classId + "\\" + (setAside ? kSetAsideMarker : "") + kLocalServer;
}

} // namespace

int GetBrowserIntegration(const std::string& extension) {
    std::string className;
    if (!readDocumentClass(extension, className))
        return 1;
    int flags = -1;
    ReadRegInteger(HKEY_CLASSES_ROOT, "\\" + className, kBrowserFlags, flags);
    return flags == kOwnWindow ? 0 : 1;
}

void SetBrowserIntegration(const std::string& extension, int state) {
    std::string className;
    if (!readDocumentClass(extension, className))
        return;
    if (state == 1)
        DeleteRegValue(HKEY_CLASSES_ROOT, "\\" + className, kBrowserFlags);
    else
        WriteRegInteger(HKEY_CLASSES_ROOT, "\\" + className, kBrowserFlags, kOwnWindow);
}

int IsLocalServerDisabled(const std::string& extension) {
    std::string classId;
    if (!readClassId(extension, classId))
        return 0;
    return RegKeyExists(HKEY_CLASSES_ROOT, localServerKey(classId, false)) == 0 ? 0 : 1;
}

void SetLocalServerDisabled(const std::string& extension, int state) {
    std::string classId;
    if (!readClassId(extension, classId))
        return;
    std::string source = localServerKey(classId, state == 0);
    std::string target = localServerKey(classId, state == 1);
    if (RegKeyExists(HKEY_CLASSES_ROOT, source) == 0)
        RenameRegKey(HKEY_CLASSES_ROOT, source, target);
}

} // namespace kel
