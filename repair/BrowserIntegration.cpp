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

bool holdsLocalServer(const std::string& classId, RegView view) {
    return RegKeyExists(HKEY_CLASSES_ROOT, localServerKey(classId, false), view) == 0 ||
           RegKeyExists(HKEY_CLASSES_ROOT, localServerKey(classId, true), view) == 0;
}

// CLSID is redirected on 64-bit Windows: 64-bit Office registers its classes in the
// 64-bit view only, 32-bit Office in the 32-bit view. The local server is read and
// moved in the program's own view when that holds it (in place or set aside), else
// in the other view when that does.
RegView localServerView(const std::string& classId) {
    RegView other;
    if (!holdsLocalServer(classId, RegView::Program) && OtherRegView(other) &&
        holdsLocalServer(classId, other))
        return other;
    return RegView::Program;
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
    return RegKeyExists(HKEY_CLASSES_ROOT, localServerKey(classId, false),
                        localServerView(classId)) == 0
               ? 0
               : 1;
}

void SetLocalServerDisabled(const std::string& extension, int state) {
    std::string classId;
    if (!readClassId(extension, classId))
        return;
    RegView view = localServerView(classId);
    std::string source = localServerKey(classId, state == 0);
    std::string target = localServerKey(classId, state == 1);
    if (RegKeyExists(HKEY_CLASSES_ROOT, source, view) == 0)
        RenameRegKey(HKEY_CLASSES_ROOT, source, target, view);
}

} // namespace kel
