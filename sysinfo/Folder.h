// A folder used through its handle: opened once without following a link, kept
// open so that it can be neither renamed nor deleted, and every file in it made,
// replaced, listed and deleted relative to that handle. Nobody can put another
// folder in its place between the check of it and its use.
#pragma once

#include "sysinfo/Handle.h"
#include "sysinfo/TrustRules.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace kel {

class TFolder {
  public:
    TFolder() = default;

    // The folder name under parent (never a link), made when it is missing and create
    // is true, with the access rules of rulesSddl when given (else those it
    // inherits). When parent is null, name is
    // a full path, trusted by its place (a known folder of the system's or the
    // user's) and opened as the system finds it. Invalid with error set when it can't
    // be opened or is not a folder.
    static TFolder Open(const TFolder* parent, const std::wstring& name, bool create,
                        const wchar_t* rulesSddl, DWORD& error);

    bool valid() const { return handle_.valid(); }
    HANDLE get() const { return handle_.get(); }
    const std::wstring& Path() const { return path_; }
    std::wstring PathOf(const std::wstring& name) const { return path_ + L"\\" + name; }

    // A file of the folder by its plain name: made new, or opened as it is (a link
    // as the link). Invalid with error set otherwise.
    Handle CreateNewFile(const std::wstring& name, DWORD access, DWORD& error) const;
    Handle OpenFile(const std::wstring& name, DWORD access, DWORD& error) const;

    // Makes a file of the program's own under a name no file had (prefix, a number,
    // suffix), taken by making it, so that no file that was there is ever opened,
    // and writes the bytes to it whole, flushed: its handle (with DELETE access) and
    // name. Invalid with error set when it can't be made or written (a file made is
    // then removed).
    Handle WriteNewFile(const std::wstring& prefix, const std::wstring& suffix,
                        const std::string& bytes, std::wstring& name, DWORD& error) const;
    // Writes the bytes to a new file of the program's own in the folder
    // (WriteNewFile) and moves that over name: a crash mid-way leaves the last whole
    // file. 0, or the system's error; the new file is removed when it could not be
    // moved.
    DWORD ReplaceWhole(const std::wstring& name, const std::string& bytes) const;

    // The names of the plain files (not folders, not links) ending with suffix
    // (letters in either case); nothing when the listing fails.
    std::optional<std::vector<std::wstring>> FileNames(const std::wstring& suffix) const;

    // Deletes the file (a link as the link); true when it is gone.
    bool Remove(const std::wstring& name) const;

  private:
    Handle handle_;
    std::wstring path_;
};

// False where the system keeps no owner or access list of its own for a file (Wine,
// which makes both up from the Unix owner and mode: every file reads as the
// account's own).
bool FileSecurityKept();

// Whether an open file is a plain file on a disk: no folder, no link of any kind
// (a reparse point) and one name only (no hard link that would let a write through
// it land in another file, or a read return another's content).
bool IsPlainFile(HANDLE file);

// What an open file's or folder's owner and access rules say; nothing when they
// can't be read.
std::optional<TSecurityFacts> SecurityOf(HANDLE object);

// JudgeAdminOnly of an open file or folder, read from its handle (on the bench,
// where no file owners are kept, the account stands in for the administrators);
// nothing when its rules can't be read.
std::optional<TTrust> JudgeHeldAdminOnly(HANDLE object);

// The program file's path from its root down, each step opened through the one above
// and never through a link: the first step that an account other than SYSTEM, the
// administrators and TrustedInstaller owns, or may replace (a folder above:
// JudgeAncestor) or write (the program's folder and file: JudgeAdminOnly), or that
// can't be opened or read, with why; nothing when every step is theirs alone.
struct TUntrustedPlace {
    std::wstring path;
    std::string why; // code page 932
};
std::optional<TUntrustedPlace> UntrustedProgramPlace(const std::wstring& programFile);

// Whether two open files are one file (the same volume and file index).
bool SameFile(HANDLE a, HANDLE b);

// The system's text of an error, on one line.
std::string SystemErrorText(DWORD error);

} // namespace kel
