#include "repair/BrowserIntegration.h"

#include "sysinfo/Registry.h"

#include <vector>

namespace kel {

namespace {

constexpr int kOwnWindow = 8;
// The machine's classes, read and changed where they are registered: never through
// the merged HKEY_CLASSES_ROOT, whose per-user part the account's own programs write.
const HKEY kMachine = HKEY_LOCAL_MACHINE;
const char kClasses[] = "\\Software\\Classes\\";
const char kBrowserFlags[] = "BrowserFlags";
const char kLocalServer[] = "LocalServer32";
const char kSetAsideMarker[] = "_KelDisabled_";

// Registry keys are matched without regard to case, so the extension is used as given.
// An empty, non-string or malformed class name is no class.
bool readDocumentClass(const std::string& extension, std::string& className) {
    return ReadRegKeyName(kMachine, kClasses + ("." + extension), "", className) == 0;
}

bool readClassId(const std::string& extension, std::string& classId) {
    std::string className;
    return readDocumentClass(extension, className) &&
           ReadRegKeyName(kMachine, kClasses + className + "\\CLSID", "", classId) == 0;
}

std::string localServerKey(const std::string& classId, bool setAside) {
    return kClasses +
           ("CLSID\\" + classId + "\\" + (setAside ? kSetAsideMarker : "") + kLocalServer);
}

// CLSID is redirected on 64-bit Windows: 64-bit Office registers its classes in the
// 64-bit view, 32-bit Office in the 32-bit view, and a 32-bit registration can be
// left beside a 64-bit Office. The local server is read and moved in every view
// that holds it: the program's own, and the other one where there is one.
std::vector<RegView> classIdViews() {
    std::vector<RegView> views{RegView::Program};
    if (RegView other; OtherRegView(other))
        views.push_back(other);
    return views;
}

} // namespace

int GetBrowserIntegration(const std::string& extension) {
    std::string className;
    if (!readDocumentClass(extension, className))
        return 1;
    int flags = -1;
    ReadRegInteger(kMachine, kClasses + className, kBrowserFlags, flags);
    return flags == kOwnWindow ? 0 : 1;
}

void SetBrowserIntegration(const std::string& extension, int state) {
    std::string className;
    if (!readDocumentClass(extension, className))
        return;
    // What the change made is the state read back afterwards, not these statuses.
    if (state == 1)
        (void)DeleteRegValue(kMachine, kClasses + className, kBrowserFlags);
    else
        (void)WriteRegInteger(kMachine, kClasses + className, kBrowserFlags, kOwnWindow);
}

int IsLocalServerDisabled(const std::string& extension) {
    std::string classId;
    if (!readClassId(extension, classId))
        return 0;
    for (RegView view : classIdViews())
        if (RegKeyExists(kMachine, localServerKey(classId, false), view) == 0)
            return 0;
    return 1;
}

int SetLocalServerDisabled(const std::string& extension, int state) {
    std::string classId;
    if (!readClassId(extension, classId))
        return 0; // nothing to move: the state read back tells
    std::string source = localServerKey(classId, state == 0);
    std::string target = localServerKey(classId, state == 1);
    // Tested again in each view: where both views show one key, it moves once.
    int status = 0;
    for (RegView view : classIdViews())
        if (RegKeyExists(kMachine, source, view) == 0 &&
            RenameRegKey(kMachine, source, target, view) != 0)
            status = -1;
    return status;
}

} // namespace kel
