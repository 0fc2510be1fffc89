// The one modal dialog for questions and outcome messages.
#pragma once

#include <windows.h>

#include <string>

namespace kel {

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation };

// Buttons, combined with |; results are the buttons' IDs.
enum TMsgDlgButtons : unsigned { mbYes = 1, mbNo = 2, mbOK = 4, mbCancel = 8 };
constexpr int mrOk = IDOK, mrCancel = IDCANCEL, mrYes = IDYES, mrNo = IDNO; // 1, 2, 6, 7

// The layout of a dialog before the icon and the text are centred against each
// other; the pure part of the dialog, used by it and by its tests.
struct DialogLayout {
    RECT icon, label;
};
// Centres a label lower than the icon on the icon, or the icon on a higher label.
DialogLayout CentreIconAndText(DialogLayout layout);

// Shows the dialog centred on the screen, with owner disabled while it is open, and
// returns the ID of the button that closed it (Escape and the close box give the
// Escape button's: Cancel, else No, else OK).
int ShowMessageDialog(const std::string& message, TMsgDlgType kind, unsigned buttons);

// The window that dialogs disable while they are open (the main window).
void SetDialogOwner(HWND owner);

} // namespace kel
