#include "tests/support/OfficeProgram.h"

#include "sysinfo/Text.h"
#include "sysinfo/TextRules.h"

#include <windows.h>

#include <cstring>
#include <stdexcept>
#include <utility>
#include <vector>

namespace testing_support {

namespace {

using Bytes = std::vector<BYTE>;

// Each program's name and the colours of its icon (face, band).
struct Look {
    const char* file;
    const char* application;
    COLORREF face;
    COLORREF band;
};
const Look kLooks[] = {
    {"EXCEL.EXE", "Excel", RGB(33, 115, 70), RGB(33, 115, 70)},
    {"WINWORD.EXE", "Word", RGB(43, 87, 154), RGB(43, 87, 154)},
    {"POWERPNT.EXE", "PowerPoint", RGB(210, 71, 38), RGB(210, 71, 38)},
    {"OUTLOOK.EXE", "Outlook", RGB(0, 114, 198), RGB(255, 200, 40)},
    {"MSIMN.EXE", "Outlook Express", RGB(0, 120, 215), RGB(0, 120, 215)},
    // The files that hold the document icons of Click-to-Run and Windows Installer
    // Office ("xlicons.exe,1").
    {"XLICONS.EXE", "Excel", RGB(33, 115, 70), RGB(255, 255, 255)},
    {"WORDICON.EXE", "Word", RGB(43, 87, 154), RGB(255, 255, 255)},
    {"PPTICO.EXE", "PowerPoint", RGB(210, 71, 38), RGB(255, 255, 255)},
    {"OUTICON.EXE", "Outlook", RGB(0, 114, 198), RGB(255, 200, 40)},
};
const wchar_t kTable[] = L"\\StringFileInfo\\041104B0\\";
// RT_VERSION, RT_ICON and RT_GROUP_ICON in the wide form.
const LPCWSTR kVersionType = MAKEINTRESOURCEW(16), kIconType = MAKEINTRESOURCEW(3),
              kIconGroupType = MAKEINTRESOURCEW(14);

const Look* lookOf(const std::string& fileName) {
    for (const Look& look : kLooks)
        if (kel::AsciiUpper(fileName) == look.file)
            return &look;
    return nullptr;
}

void append(Bytes& bytes, const void* data, size_t size) {
    const BYTE* begin = static_cast<const BYTE*>(data);
    bytes.insert(bytes.end(), begin, begin + size);
}
void pad(Bytes& bytes) {
    while (bytes.size() % 4)
        bytes.push_back(0);
}

// One node of a version resource: length, value length, type, key, the value, the
// children, each on a 32-bit boundary.
Bytes node(const std::wstring& key, WORD type, const void* value, size_t valueBytes,
           WORD valueLength, const std::vector<Bytes>& children = {}) {
    Bytes bytes(6, 0);
    append(bytes, key.c_str(), (key.size() + 1) * sizeof(wchar_t));
    pad(bytes);
    append(bytes, value, valueBytes);
    for (const Bytes& child : children) {
        pad(bytes);
        append(bytes, child.data(), child.size());
    }
    WORD header[3] = {static_cast<WORD>(bytes.size()), valueLength, type};
    std::memcpy(bytes.data(), header, sizeof header);
    return bytes;
}

Bytes text(const std::wstring& key, const std::wstring& value) {
    return node(key, 1, value.c_str(), (value.size() + 1) * sizeof(wchar_t),
                static_cast<WORD>(value.size() + 1));
}

// The version block of the fixture with the description that describe gives for
// its major version; empty when the fixture's block is not the usual one.
template <typename Describe> Bytes versionBlock(const std::wstring& path, Describe describe) {
    DWORD ignored = 0, size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    Bytes data(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, data.data()) ||
        !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length))
        return {};
    const std::wstring description = describe(HIWORD(fixed->dwFileVersionMS));
    std::vector<Bytes> strings;
    for (const wchar_t* name :
         {L"CompanyName", L"FileDescription", L"FileVersion", L"InternalName", L"LegalCopyright",
          L"OriginalFilename", L"ProductName", L"ProductVersion"}) {
        wchar_t* value = nullptr;
        if (!VerQueryValueW(data.data(), (std::wstring(kTable) + name).c_str(),
                            reinterpret_cast<void**>(&value), &length))
            return {}; // not the usual resource: left as it is
        std::wstring shown = value;
        if (std::wstring(name) == L"FileDescription")
            shown = description;
        strings.push_back(text(name, shown));
    }
    DWORD translation = MAKELONG(0x0411, 0x04B0);
    Bytes table = node(L"041104B0", 1, nullptr, 0, 0, strings);
    Bytes variable = node(L"Translation", 0, &translation, sizeof translation, sizeof translation);
    return node(L"VS_VERSION_INFO", 0, fixed, sizeof *fixed, sizeof *fixed,
                {node(L"StringFileInfo", 1, nullptr, 0, 0, {table}),
                 node(L"VarFileInfo", 1, nullptr, 0, 0, {variable})});
}

// A 32 by 32 icon image: the face colour, its lower third in the band colour, a
// white frame.
Bytes iconImage(const Look& look) {
    const int side = 32;
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = side;
    header.biHeight = side * 2;
    header.biPlanes = 1;
    header.biBitCount = 32;
    Bytes bytes;
    append(bytes, &header, sizeof header);
    for (int row = 0; row < side; ++row) // bottom-up
        for (int column = 0; column < side; ++column) {
            bool frame = row < 2 || row >= side - 2 || column < 2 || column >= side - 2;
            COLORREF colour = frame ? RGB(255, 255, 255) : row < side / 3 ? look.band : look.face;
            BYTE pixel[4] = {GetBValue(colour), GetGValue(colour), GetRValue(colour), 255};
            append(bytes, pixel, sizeof pixel);
        }
    bytes.resize(bytes.size() + side * side / 8, 0); // the mask: nothing transparent
    return bytes;
}

Bytes iconGroup(DWORD imageBytes, WORD image) {
#pragma pack(push, 2)
    struct {
        WORD reserved = 0, type = 1, count = 1;
        BYTE width = 32, height = 32, colours = 0, spare = 0;
        WORD planes = 1, bits = 32;
        DWORD bytes;
        WORD id;
    } group;
#pragma pack(pop)
    group.bytes = imageBytes;
    group.id = image;
    Bytes bytes;
    append(bytes, &group, sizeof group);
    return bytes;
}

BOOL CALLBACK takeLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found) {
    *reinterpret_cast<WORD*>(found) = language;
    return FALSE;
}

// The language of the fixture's resources of one type and name.
WORD languageOf(const std::wstring& path, LPCWSTR type, LPCWSTR name) {
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    WORD language = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
    if (module == nullptr)
        return language;
    EnumResourceLanguagesW(module, type, name, takeLanguage, reinterpret_cast<LONG_PTR>(&language));
    FreeLibrary(module);
    return language;
}

// An update of a file's resources, discarded unless it is committed.
class ResourceUpdate {
  public:
    explicit ResourceUpdate(const std::wstring& path)
        : handle_(BeginUpdateResourceW(path.c_str(), FALSE)) {}
    ~ResourceUpdate() {
        if (handle_ != nullptr)
            EndUpdateResourceW(handle_, TRUE);
    }
    ResourceUpdate(const ResourceUpdate&) = delete;
    ResourceUpdate& operator=(const ResourceUpdate&) = delete;

    bool put(LPCWSTR type, WORD id, WORD language, Bytes& data) {
        return handle_ != nullptr && UpdateResourceW(handle_, type, MAKEINTRESOURCEW(id), language,
                                                     data.data(), static_cast<DWORD>(data.size()));
    }
    bool commit() {
        HANDLE handle = std::exchange(handle_, nullptr);
        return handle != nullptr && EndUpdateResourceW(handle, FALSE);
    }

  private:
    HANDLE handle_;
};

} // namespace

std::string OfficeProgramDescription(int major, const std::string& fileName) {
    const Look* look = lookOf(fileName);
    if (look == nullptr)
        return {};
    if (std::strcmp(look->file, "MSIMN.EXE") == 0)
        return look->application;
    return std::string(major == 11 || major == 12 ? "Microsoft Office " : "Microsoft ") +
           look->application;
}

void DressAsOfficeProgram(const std::string& path) {
    std::string fileName = kel::AfterLastPathDelimiter(path);
    const Look* look = lookOf(fileName);
    if (look == nullptr)
        return;
    std::wstring wide = kel::AnsiToWide(path);
    Bytes version = versionBlock(wide, [&](int major) {
        return kel::AnsiToWide(OfficeProgramDescription(major, fileName));
    });
    if (version.empty())
        return;
    Bytes image = iconImage(*look);
    WORD versionLanguage = languageOf(wide, kVersionType, MAKEINTRESOURCEW(1));
    WORD iconLanguage = languageOf(wide, kIconGroupType, MAKEINTRESOURCEW(1));
    ResourceUpdate update(wide);
    bool done = update.put(kVersionType, 1, versionLanguage, version);
    // Two icons, at index 0 (the program's) and 1 (its documents').
    for (WORD id = 1; done && id <= 2; ++id) {
        Bytes group = iconGroup(static_cast<DWORD>(image.size()), id);
        done = update.put(kIconType, id, iconLanguage, image) &&
               update.put(kIconGroupType, id, iconLanguage, group);
    }
    if (!done || !update.commit())
        throw std::runtime_error("cannot dress " + path + " as " + look->application);
}

void SetFileDescription(const std::string& path, const std::wstring& description) {
    std::wstring wide = kel::AnsiToWide(path);
    Bytes version = versionBlock(wide, [&](int) { return description; });
    WORD language = languageOf(wide, kVersionType, MAKEINTRESOURCEW(1));
    ResourceUpdate update(wide);
    if (version.empty() || !update.put(kVersionType, 1, language, version) || !update.commit())
        throw std::runtime_error("cannot describe " + path);
}

} // namespace testing_support
