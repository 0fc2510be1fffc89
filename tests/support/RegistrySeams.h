// The tests' registry seams: when set, called with every key path just before the
// key is opened or created for writing, and with every key a tree deletion is about
// to delete. A test sets one to change the registry at that moment, as when a
// profile is unloaded or another writer puts a sub-key back meanwhile.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

extern void (*gBeforeRegWriteOpen)(HKEY root, const std::string& keyPath);
extern void (*gBeforeRegKeyDelete)(HKEY parent, const std::wstring& name);

} // namespace testing_support
