// What the pages and the information report show, gathered without a window.
#pragma once

#include "office/Applications.h"
#include "office/OfficeInfo.h"
#include "office/UserInfoList.h"
#include "repair/Actions.h"

#include <string>
#include <vector>

namespace app {

using kel::kDocumentTypes;
using kel::TDocumentType;

// Fills record (cleared first) when program is found in the install root of a
// listed Office version, or else in the folder of its VerList line, newest line
// first; leaves it empty otherwise.
void FindInOfficeRoots(const kel::TKelOfficeInfo& info, const std::string& program,
                       kel::TKelExtInfo& record);

// The type's record of info: the registered program, else the one in an install
// root under the fallback name; ViewName is set when a program was found.
void FindDocumentProgram(kel::TKelOfficeInfo& info, const TDocumentType& type);

// The inventory (DetectOffice); when it succeeds, the user information into
// userInfo and the records of Excel, Word and PowerPoint; the Outlook record in any
// case. Returns the status of DetectOffice. Reads only.
int GatherInventory(kel::TKelOfficeInfo& info, kel::TUserInfoList& userInfo);

// Whether the window has the page, the one rule the window, the report and the
// commands follow: the Office page when Office was found; an application's page
// when its program is looked for (kel::LooksForProgram) and was found; the About
// page always.
bool PageExists(const kel::TKelOfficeInfo& info, bool officeFound, kel::TPage page);

// Whether this PC has what the row changes: a row of Windows' own settings always,
// a row of Office's where its page is built, Office's repair where it knows how to
// start it. The window's rows, the commands and the report agree.
bool RowIsPresent(const kel::TAction& row, const kel::TKelOfficeInfo& info, bool officeFound);

// The process IDs of every type with a running-state row and a program.
void SurveyRunningStates(kel::TKelOfficeInfo& info);

} // namespace app
