#include "sysinfo/ProductInfo.h"

#include "sysinfo/FileSystem.h"
#include "sysinfo/SystemLibrary.h"
#include "sysinfo/TextRules.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace kel {

const TProductInfoString kProductInfoStrings[8] = {
    {"CompanyName", &TKelProductInfo::CompanyName},
    {"FileDescription", &TKelProductInfo::FileDescription},
    {"FileVersion", &TKelProductInfo::FileVersion},
    {"InternalName", &TKelProductInfo::InternalName},
    {"LegalCopyright", &TKelProductInfo::LegalCopyright},
    {"OriginalFilename", &TKelProductInfo::OriginalFilename},
    {"ProductName", &TKelProductInfo::ProductName},
    {"ProductVersion", &TKelProductInfo::ProductVersion},
};

namespace {

// version.dll's functions, loaded from the system folder; without the library no
// file has a version block.
DWORD getFileVersionInfoSize(LPCSTR path, LPDWORD handle) {
    static auto* const function = SystemFunction<decltype(GetFileVersionInfoSizeA)>(
        L"version.dll", "GetFileVersionInfoSizeA");
    return function != nullptr ? function(path, handle) : 0;
}
BOOL getFileVersionInfo(LPCSTR path, DWORD handle, DWORD size, LPVOID data) {
    static auto* const function =
        SystemFunction<decltype(GetFileVersionInfoA)>(L"version.dll", "GetFileVersionInfoA");
    return function != nullptr && function(path, handle, size, data);
}
BOOL verQueryValue(LPCVOID block, LPCSTR subBlock, LPVOID* value, PUINT length) {
    static auto* const function =
        SystemFunction<decltype(VerQueryValueA)>(L"version.dll", "VerQueryValueA");
    return function != nullptr && function(block, subBlock, value, length);
}

// The unit's file name alone, so that the executable names no build folder.
#ifdef __FILE_NAME__
const char kUnitFile[] = __FILE_NAME__;
#else
const char kUnitFile[] = __FILE__;
#endif

[[noreturn]] void assertionFailure(int line) {
    const char* file = kUnitFile;
    const char* slash = std::strrchr(file, '/');
    throw AssertionFailure(std::string("Assertion failure (") + (slash ? slash + 1 : file) +
                           ", line " + std::to_string(line) + ")");
}

// "\StringFileInfo\LLLLCCCC\" from the first translation; empty when there is none.
bool stringTablePrefix(const void* block, std::string& prefix) {
    void* value = nullptr;
    UINT length = 0;
    if (!verQueryValue(block, "\\VarFileInfo\\Translation", &value, &length))
        return false;
    prefix.clear();
    if (value != nullptr && length >= sizeof(DWORD)) {
        DWORD first = 0;
        std::memcpy(&first, value, sizeof first);
        prefix = "\\StringFileInfo\\" + ZeroPadded(LOWORD(first), 4, TDigits::Hex) +
                 ZeroPadded(HIWORD(first), 4, TDigits::Hex) + "\\";
    }
    return true;
}

bool queryString(const void* block, const std::string& path, std::string& out) {
    void* value = nullptr;
    UINT length = 0;
    if (!verQueryValue(block, path.c_str(), &value, &length) || value == nullptr)
        return false;
    const char* text = static_cast<const char*>(value);
    out.assign(text, strnlen(text, length));
    return true;
}

ProductInfoReuse* currentReuse = nullptr;

// Room for a usual version block with the space VerQueryValueA converts its texts
// in, which the platform asks for after the block: such a block is read with one
// load of the file, not two (the size, then the block).
constexpr DWORD kUsualVersionRoom = 16384;

// Whether the block read into the room is whole, with three times its size there:
// more than the platform asks for its conversion space.
bool fitsWithRoom(const std::vector<BYTE>& block) {
    WORD length = 0;
    std::memcpy(&length, block.data(), sizeof length);
    return length != 0 && 3 * static_cast<DWORD>(length) <= block.size();
}

// The file's version block: read at once into the usual room when it fits there,
// else as the platform sizes it. Empty when the file has none; a block whose size
// was given but that can't be read is an assertion failure.
std::vector<BYTE> readBlock(const std::string& path) {
    std::vector<BYTE> block(kUsualVersionRoom);
    if (getFileVersionInfo(path.c_str(), 0, kUsualVersionRoom, block.data()) && fitsWithRoom(block))
        return block;
    DWORD handle = 0;
    DWORD size = getFileVersionInfoSize(path.c_str(), &handle);
    if (size == 0)
        return {};
    block.assign(size, 0);
    if (!getFileVersionInfo(path.c_str(), 0, size, block.data()))
        assertionFailure(__LINE__);
    return block;
}

int readVersionBlock(const std::string& path, TKelProductInfo& info) {
    info.Clear();
    if (!FileExists(path))
        return -1;
    std::vector<BYTE> block = readBlock(path);
    if (block.empty())
        return -1;

    std::string prefix;
    if (!stringTablePrefix(block.data(), prefix) || prefix.empty())
        return -1;
    for (const TProductInfoString& string : kProductInfoStrings) {
        if (!queryString(block.data(), prefix + string.name, info.*string.field))
            return -1;
    }
    info.MajorVersion = MajorVersionOf(info.ProductVersion);
    return 0;
}

} // namespace

void TKelProductInfo::Clear() {
    for (const TProductInfoString& string : kProductInfoStrings)
        this->*string.field = "";
    MajorVersion.clear();
}

std::string TKelProductInfo::Dump() const {
    std::string text = "↓-- TKelProductInfo --↓\r\n";
    for (const TProductInfoString& string : kProductInfoStrings)
        text += std::string(string.name) + "[" + OnOneLine(this->*string.field) + "]\r\n";
    text += "MajorVersion[" + OnOneLine(MajorVersion) + "]\r\n";
    text += "↑-- TKelProductInfo --↑\r\n";
    return text;
}

int ReadProductInfo(const std::string& path, TKelProductInfo& info) {
    ProductInfoReuse* reuse = currentReuse;
    if (reuse != nullptr) {
        auto found = reuse->reads_.find(path);
        if (found != reuse->reads_.end()) {
            info = found->second.info;
            return found->second.status;
        }
    }
    int status = readVersionBlock(path, info);
    if (reuse != nullptr)
        reuse->reads_[path] = {status, info};
    return status;
}

ProductInfoReuse::ProductInfoReuse() : outer_(currentReuse) {
    currentReuse = this;
}

ProductInfoReuse::~ProductInfoReuse() {
    currentReuse = outer_;
}

} // namespace kel
