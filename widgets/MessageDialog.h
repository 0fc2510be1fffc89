// The one modal dialog for questions and outcome messages.
#pragma once

#include "widgets/DialogLayout.h"

#include <windows.h>

#include <string>

namespace ui {

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation };

// Buttons, combined with |; results are the buttons' IDs.
enum TMsgDlgButtons : unsigned { mbYes = 1, mbNo = 2, mbOK = 4, mbCancel = 8 };
constexpr int mrOk = IDOK, mrCancel = IDCANCEL, mrYes = IDYES, mrNo = IDNO; // 1, 2, 6, 7

// Shows the dialog centred on the screen, with owner disabled while it is open, and
// returns the ID of the button that closed it (Escape and the close box give the
// Escape button's: Cancel, else No, else OK).
int ShowMessageDialog(const std::string& message, TMsgDlgType kind, unsigned buttons);

// The window that dialogs disable while they are open (the main window).
void SetDialogOwner(HWND owner);

} // namespace ui
