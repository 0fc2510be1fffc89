#include "sysinfo/TrustRules.h"

#include "sysinfo/TextRules.h"

#include <algorithm>
#include <iterator>

namespace kel {

namespace {

// The rights that change a file or folder or take it over, as the platform numbers
// them.
constexpr uint32_t kWriteData = 0x2;             // FILE_WRITE_DATA, FILE_ADD_FILE
constexpr uint32_t kAppendData = 0x4;            // FILE_APPEND_DATA, FILE_ADD_SUBDIRECTORY
constexpr uint32_t kWriteExtendedAttrs = 0x10;   // FILE_WRITE_EA
constexpr uint32_t kDeleteChild = 0x40;          // FILE_DELETE_CHILD
constexpr uint32_t kWriteAttributes = 0x100;     // FILE_WRITE_ATTRIBUTES
constexpr uint32_t kDelete = 0x10000;            // DELETE
constexpr uint32_t kWriteDac = 0x40000;          // WRITE_DAC
constexpr uint32_t kWriteOwner = 0x80000;        // WRITE_OWNER
constexpr uint32_t kMaximumAllowed = 0x02000000; // MAXIMUM_ALLOWED
constexpr uint32_t kGenericAll = 0x10000000;     // GENERIC_ALL
constexpr uint32_t kGenericWrite = 0x40000000;   // GENERIC_WRITE
constexpr uint32_t kWritingRights = kWriteData | kAppendData | kWriteExtendedAttrs | kDeleteChild |
                                    kWriteAttributes | kDelete | kWriteDac | kWriteOwner |
                                    kMaximumAllowed | kGenericAll | kGenericWrite;

// The rights on a folder above another that let an account rename or replace what
// it holds, or take the folder over; adding files and folders of its own is not one
// (every drive's root lets users make folders).
constexpr uint32_t kTakeoverRights =
    kDeleteChild | kDelete | kWriteDac | kWriteOwner | kMaximumAllowed | kGenericAll;

// SYSTEM, Administrators and TrustedInstaller, in upper case.
const char* const kTrustedSids[] = {
    "S-1-5-18", "S-1-5-32-544", "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"};

constexpr char kCreatorOwner[] = "S-1-3-0";

bool isTrusted(const std::string& sid, const std::string& ownSid) {
    const std::string upper = AsciiUpper(sid);
    return std::find(std::begin(kTrustedSids), std::end(kTrustedSids), upper) !=
               std::end(kTrustedSids) ||
           (!ownSid.empty() && upper == AsciiUpper(ownSid));
}

// No reparse point, a trusted owner, an access list, and no other account allowed
// any of rights. Entries passed on only to what a folder will hold count when
// passedOn: the files the program makes there take them (CREATOR OWNER's grants the
// program itself); elsewhere each object holding them is judged itself.
TTrust judge(const TSecurityFacts& facts, const std::string& ownSid, uint32_t rights,
             bool passedOn) {
    if (facts.reparsePoint)
        return TTrust::ReparsePoint;
    if (!isTrusted(facts.ownerSid, ownSid))
        return TTrust::OwnerNotTrusted;
    if (!facts.hasAccessList)
        return TTrust::NoAccessList;
    for (const TAccessEntry& entry : facts.entries) {
        bool applies = !entry.inheritOnly || (passedOn && AsciiUpper(entry.sid) != kCreatorOwner);
        if (entry.allow && applies && (entry.mask & rights) != 0 && !isTrusted(entry.sid, ownSid))
            return TTrust::WritableByOthers;
    }
    return TTrust::Trusted;
}

} // namespace

TTrust JudgeAncestor(const TSecurityFacts& facts, const std::string& ownSid) {
    return judge(facts, ownSid, kTakeoverRights, false);
}

std::optional<TProgramPath> SplitProgramPath(const std::wstring& path) {
    // The root: "C:\", "\\?\C:\", "\\server\share\" or "\\?\UNC\server\share\".
    std::wstring rest = path;
    std::wstring root;
    auto take = [&](size_t length) {
        root += rest.substr(0, length);
        rest.erase(0, length);
    };
    if (rest.rfind(L"\\\\?\\", 0) == 0)
        take(4);
    bool unc = false;
    if (root.empty() && rest.rfind(L"\\\\", 0) == 0) {
        take(2);
        unc = true;
    } else if (!root.empty() && rest.rfind(L"UNC\\", 0) == 0) {
        take(4);
        unc = true;
    }
    if (unc) {
        for (int part = 0; part < 2; ++part) { // the server (not a device path's), the share
            size_t slash = rest.find(L'\\');
            if (slash == 0 || slash == std::wstring::npos ||
                (part == 0 && (rest.rfind(L".\\", 0) == 0 || rest.rfind(L"?\\", 0) == 0)))
                return std::nullopt;
            take(slash + 1);
        }
    } else {
        if (rest.size() < 3 || rest[1] != L':' || rest[2] != L'\\' ||
            !((rest[0] >= L'A' && rest[0] <= L'Z') || (rest[0] >= L'a' && rest[0] <= L'z')))
            return std::nullopt;
        take(3);
    }
    TProgramPath split{root, {}, {}};
    for (size_t start = 0;;) {
        size_t slash = rest.find(L'\\', start);
        std::wstring name = rest.substr(start, slash == std::wstring::npos ? slash : slash - start);
        // Each step a plain name: no empty step, none that leads up or stays, no stream,
        // none that the system would read without its trailing dot or space.
        if (name.empty() || name == L"." || name == L".." ||
            name.find_first_of(L"/:") != std::wstring::npos || name.back() == L'.' ||
            name.back() == L' ')
            return std::nullopt;
        if (slash == std::wstring::npos) {
            split.file = name;
            return split;
        }
        split.folders.push_back(name);
        start = slash + 1;
    }
}

TTrust JudgeAdminOnly(const TSecurityFacts& facts, const std::string& ownSid) {
    return judge(facts, ownSid, kWritingRights, true);
}

const char* UntrustedReason(TTrust verdict) {
    switch (verdict) {
    case TTrust::ReparsePoint:
        return "別の場所へのリンクです。";
    case TTrust::OwnerNotTrusted:
        return "所有者が SYSTEM、Administrators、TrustedInstaller のどれでもありません。";
    case TTrust::NoAccessList:
        return "アクセス許可の一覧がなく、だれでも変更できます。";
    case TTrust::WritableByOthers:
        return "管理者以外のアカウントも変更できます。";
    case TTrust::Trusted:
        break;
    }
    return "";
}

} // namespace kel
