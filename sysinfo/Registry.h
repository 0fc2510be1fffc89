// Typed access to registry values. Every function opens its own key and closes it
// before it returns, but OpenRegKeyToRead, which hands the key it opened. Statuses: 0 = success, -1
// = failure.
//
// Roots are the predefined keys (HKEY_CLASSES_ROOT, HKEY_CURRENT_USER,
// HKEY_LOCAL_MACHINE, HKEY_USERS), or for the reads a key opened by OpenRegKeyToRead,
// which spares a walk of many sub-keys opening the path to each. Key paths are relative to the
// root; one leading backslash is dropped, so "\Software\X" and "Software\X" name the same key.
// Names and texts are in the ANSI code page (932). A 32-bit program sees the 32-bit view unless a
// reading function is asked for the 64-bit view.
#pragma once

#include "sysinfo/RegKey.h"
#include "sysinfo/RegView.h"
#include "sysinfo/StringList.h"

#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace kel {

// The view of 64-bit Windows that is not the program's own: Bits64 for a 32-bit
// program under WOW64, Bits32 for a 64-bit program. False on 32-bit Windows.
bool OtherRegView(RegView& view);

// Seams called just before a key is opened or created for writing (a move's new key
// too), and before a tree deletion deletes a key (after its sub-keys). The program's do nothing;
// the tests link their own, to change the registry at that moment as another writer may
// (RegistrySeams.cpp holds the program's, alone in its file).
void BeforeRegWriteOpen(HKEY root, const std::string& keyPath);
void BeforeRegKeyDelete(HKEY parent, const std::wstring& name);

// The platform's RegRenameKey (advapi32, Windows Vista and later).
using RegRenameKeyFunction = LONG(WINAPI*)(HKEY key, LPCWSTR subKey, LPCWSTR newName);
// Seam handed the rename a move would use (RegRenameKey as resolved at run time;
// null where the system lacks it or has an unsound one) and the one advapi32
// exports; a move renames with what it returns and copies where that is null. The
// program's returns the first; the tests' can make either way the one taken.
RegRenameKeyFunction RegRenameKeyToUse(RegRenameKeyFunction chosen, RegRenameKeyFunction exported);

// Raised when a key can't be created or a written value can't be set or read
// back; what() is the message for the user, and the system's status that stopped
// the change goes with it.
class RegistryError : public std::runtime_error {
  public:
    explicit RegistryError(const std::string& message, LONG status = ERROR_SUCCESS)
        : std::runtime_error(message), status_(status) {}
    // The system's status (ERROR_SUCCESS where no call failed: a value read back
    // differs) and its text; the text is empty for ERROR_SUCCESS.
    LONG Status() const { return status_; }
    std::string SystemText() const;

  private:
    LONG status_;
};

// Sets value to -1, then reads a 4-byte REG_DWORD. A value of another type or size
// leaves -1 with status 0. A missing key or value gives -1.
int ReadRegInteger(HKEY root, const std::string& keyPath, const std::string& valueName, int& value,
                   RegView view = RegView::Program);

// A writer's status must be taken ([[nodiscard]]); a caller that decides by reading
// back instead says so with (void).
//
// The writers open their key for querying and setting values only (the deletion
// of a value too), so that a key granting no more is still written.
//
// Writes REG_DWORD (creating the key) and reads it back: 0 when it reads back equal.
// -1 when the key can't be opened or created. Throws RegistryError when the value
// can't be set or read back.
[[nodiscard]] int WriteRegInteger(HKEY root, const std::string& keyPath,
                                  const std::string& valueName, int value);

// Empties text, then reads REG_SZ or REG_EXPAND_SZ (unexpanded), cut at the first
// NUL byte and never beyond the stored data. Another type leaves text empty with
// status 0. A missing key or value gives -1.
int ReadRegString(HKEY root, const std::string& keyPath, const std::string& valueName,
                  std::string& text, RegView view = RegView::Program);

// ReadRegString read through the wide API: the text exactly as stored. The key and
// the value may be named in UTF-16 too, as a wide listing gives them.
int ReadRegStringW(HKEY root, const std::string& keyPath, const std::string& valueName,
                   std::wstring& text, RegView view = RegView::Program);
int ReadRegStringW(HKEY root, const std::wstring& keyPath, const std::wstring& valueName,
                   std::wstring& text, RegView view = RegView::Program);

// Reads a string value that names a registry key (a document class, a class ID).
// 0 with name set when the value is a non-empty REG_SZ or REG_EXPAND_SZ without
// "\" that code page 932 carries unchanged; otherwise -1 with name empty, so that
// an empty, malformed or changed name never addresses a root or another key.
int ReadRegKeyName(HKEY root, const std::string& keyPath, const std::string& valueName,
                   std::string& name);

// Writes REG_SZ (creating the key) and compares the read-back byte for byte.
// Errors as WriteRegInteger.
[[nodiscard]] int WriteRegString(HKEY root, const std::string& keyPath,
                                 const std::string& valueName, const std::string& text,
                                 RegView view = RegView::Program);

// WriteRegString into an existing key only: -1 when the key does not open for
// writing, and no key is created.
[[nodiscard]] int UpdateRegString(HKEY root, const std::string& keyPath,
                                  const std::string& valueName, const std::string& text,
                                  RegView view = RegView::Program);

// Largest stored value the wide-text functions handle, and the ANSI text length
// that fits in it with its terminating NUL code unit.
constexpr DWORD kWideBufferBytes = 520;
constexpr size_t kWideTextMaxBytes = 259;

// Empties text, then reads a UTF-16 text stored as data of any type but REG_SZ,
// REG_EXPAND_SZ and REG_DWORD, of at most 520 bytes, up to its first NUL code
// unit; data of 520 bytes without a NUL is cut after its 260th code unit. Other
// values leave text empty with status 0. A missing key or value gives -1.
int ReadRegWideString(HKEY root, const std::string& keyPath, const std::string& valueName,
                      std::string& text);
// ReadRegWideString without the conversion: the UTF-16 text exactly as stored.
int ReadRegWideStringW(HKEY root, const std::string& keyPath, const std::string& valueName,
                       std::wstring& text);

// Writes text as UTF-16 REG_BINARY of 2 × (ANSI length + 1) bytes, zero-padded, and
// compares the read-back. A text longer than 259 ANSI bytes does not fit the
// buffer: it is refused with -1 and nothing is written. Errors as WriteRegInteger.
[[nodiscard]] int WriteRegWideString(HKEY root, const std::string& keyPath,
                                     const std::string& valueName, const std::string& text);

// WriteRegWideString into an existing key only: -1 when the key does not open for
// writing, and no key is created.
[[nodiscard]] int UpdateRegWideString(HKEY root, const std::string& keyPath,
                                      const std::string& valueName, const std::string& text);

// Opens the key for reading, in the view asked for; false when it does not open.
bool OpenRegKeyToRead(HKEY root, const std::string& keyPath, RegView view, RegKey& key);

// 0 when the key opens for reading.
int RegKeyExists(HKEY root, const std::string& keyPath, RegView view = RegView::Program);

// Creates the key and its missing parents; an existing key counts. Returns 0.
// Throws RegistryError when the key can't be created.
int CreateRegKey(HKEY root, const std::string& keyPath);

// Deletes the key with its whole tree (sub-keys depth-first, highest index first).
// A link in the tree, or the key when it is one, is deleted as the link: the key it
// names stays. 0 when the key itself was deleted; -1 otherwise, also for a missing
// key, an empty path and a path that does not convert to UTF-16 and back unchanged.
[[nodiscard]] int DeleteRegKey(HKEY root, const std::string& keyPath);

// 0 only when the value existed, was deleted and is gone afterwards.
[[nodiscard]] int DeleteRegValue(HKEY root, const std::string& keyPath,
                                 const std::string& valueName);

// Empty the list, then fill it with the names of the key's sub-keys (or values) in
// registry order, read through the wide API. A name that code page 932 cannot carry
// unchanged (a yen sign, a best-fit character, one without a code) is passed over,
// never misread as another name. -1 with the list empty when the key does not open
// or the listing fails part way.
int GetRegKeyNames(HKEY root, const std::string& keyPath, StringList& names,
                   RegView view = RegView::Program);
int GetRegValueNames(HKEY root, const std::string& keyPath, StringList& names);
// GetRegKeyNames in UTF-16: every name exactly as listed, also those that code page
// 932 cannot carry.
int GetRegKeyNamesW(HKEY root, const std::string& keyPath, std::vector<std::wstring>& names,
                    RegView view = RegView::Program);

// Moves a key with its whole tree, in the given view, when both paths name keys
// exactly (their text converts to UTF-16 and back unchanged), the old key exists,
// and the new key does not exist and does not lie inside the old one. A link is
// moved as the link, never as the key it names. Returns 0 when the key was moved,
// -1 when it was not: then the old key is there as it was and the new one as it was
// (or absent).
// - Beside the old key (the same parent), where the system has RegRenameKey: the
//   platform renames the key in one step, keeping it whole (values, sub-keys,
//   security, links, volatility). The old key must open for writing.
// - Otherwise the key is copied and the old one deleted. The old key must open for
//   reading and deletion, every key of its tree for deletion (a tree with a key that
//   can't be is not moved at all). Every value is copied exactly (type and bytes,
//   empty values too), links as links, and each key's access rules (its DACL); a
//   volatile key's copy is not volatile. A new key that another writer made
//   meanwhile is left to them, and nothing is moved. When the old key can't be
//   deleted, what was deleted of it is copied back and the new key is removed
//   (should that copy fail too, both keys stay and nothing of the copy is lost).
//   When the copy fails part way, the partial new key is removed, the old key is
//   left as it was, and RegistryError is thrown.
[[nodiscard]] int RenameRegKey(HKEY root, const std::string& oldKeyPath,
                               const std::string& newKeyPath, RegView view = RegView::Program);

} // namespace kel
