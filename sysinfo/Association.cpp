#include "sysinfo/Association.h"

#include "sysinfo/CommandLine.h"
#include "sysinfo/FileSystem.h"
#include "sysinfo/Registry.h"
#include "sysinfo/Text.h"

#include <shellapi.h>

namespace kel {

namespace {

bool matchesExpected(const std::string& fileName, const std::vector<std::string>& expected) {
    if (fileName.empty())
        return false;
    std::string lowered = AsciiLower(fileName);
    for (const std::string& name : expected) {
        if (lowered.find(AsciiLower(name)) != std::string::npos)
            return true;
    }
    return false;
}

bool readClassPath(const std::string& keyPath, std::string& path) {
    if (ReadRegString(HKEY_CLASSES_ROOT, keyPath, "", path) != 0)
        return false;
    ExtractExePath(path);
    return true;
}

} // namespace

void TKelExtInfo::Clear() {
    ExtName.clear();
    IconHandle = nullptr;
    FileName.clear();
    ViewName.clear();
    ProductInfo.Clear();
}

std::string TKelExtInfo::Dump() const {
    std::string handle = std::to_string(static_cast<int>(reinterpret_cast<INT_PTR>(IconHandle)));
    return "↓-- TKelExtInfo --↓\r\nExtName[" + OnOneLine(ExtName) + "]\r\nIconHandle[" + handle +
           "]\r\nFileName[" + OnOneLine(FileName) + "]\r\nViewName[" + OnOneLine(ViewName) +
           "]\r\nProductInfo[↓]\r\n" + ProductInfo.Dump() + "↑-- TKelExtInfo --↑\r\n";
}

int GetExtInfo(const std::string& ext, const std::vector<std::string>& expected,
               TKelExtInfo& info) {
    info.Clear();
    std::string extensionKey = "\\" + AsciiLower(!ext.empty() && ext[0] == '.' ? ext : "." + ext);
    if (extensionKey.size() > 2)
        info.ExtName = AsciiUpper(extensionKey.substr(2, 1)) + extensionKey.substr(3);

    // A class name that does not read back exactly would address another key.
    std::string className;
    if (ReadRegKeyName(HKEY_CLASSES_ROOT, extensionKey, "", className) != 0)
        return -1;
    std::string classKey = "\\" + className;

    std::string program;
    if (readClassPath(classKey + "\\shell\\Open\\command", program) && FileExists(program)) {
        info.FileName = program;
        ReadProductInfo(program, info.ProductInfo);
    }
    if (!matchesExpected(info.FileName, expected))
        return -1;

    std::string iconFile;
    if (!readClassPath(classKey + "\\DefaultIcon", iconFile))
        iconFile = info.FileName;
    if (!FileExists(iconFile))
        return -1;
    // Always the first icon: the index after a DefaultIcon's comma is not used.
    info.IconHandle = ExtractIconA(GetModuleHandleA(nullptr), iconFile.c_str(), 0);
    return 0;
}

std::string GetProgramFilesDir() {
    std::string folder;
    ReadRegString(HKEY_LOCAL_MACHINE, "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                  "ProgramFilesDir", folder);
    return folder;
}

} // namespace kel
