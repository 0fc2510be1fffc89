// A fixture program dressed as the Office program it stands for: the description
// and the icons of Excel, Word, PowerPoint, Outlook or Outlook Express (or of the
// file that holds their document icons, "xlicons.exe" and the like), over the
// version numbers of its fixture variant.
#pragma once

#include <string>

namespace testing_support {

// The file description of an Office program of major version major, by its file
// name: "Microsoft Office Excel" for Office 2003 and 2007, "Microsoft Excel" for the
// others, "Outlook Express" for MSIMN.EXE; empty for any other file.
std::string OfficeProgramDescription(int major, const std::string& fileName);

// Rewrites the version resource and the icon of the fixture at path as those of the
// program its file name names; a file of another name, or a fixture whose version
// resource is not the usual one, is left as it is. Throws when the rewrite fails.
void DressAsOfficeProgram(const std::string& path);

// Rewrites the version resource of the fixture at path with this file description.
// Throws when the rewrite fails.
void SetFileDescription(const std::string& path, const std::wstring& description);

} // namespace testing_support
