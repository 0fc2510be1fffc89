// The one click handler of the pages' action buttons.
#include "app/MainWindow.h"

#include "app/Change.h"
#include "app/ControlNames.h"
#include "app/Elevate.h"
#include "repair/Actions.h"
#include "repair/OfficeRepair.h"
#include "sysinfo/Account.h"
#include "sysinfo/RegBackup.h"
#include "sysinfo/Text.h"
#include "widgets/MessageDialog.h"

#include <exception>

namespace app {

namespace {

const char kWaitCaption[] = "作業中です...お待ちください。";

// The control that had the focus before the action gets it back, as a Windows
// program keeps it on the pressed button: the page was locked while the message
// showed, and the window's activation afterwards gave the focus to the first
// control in tab order. A control of the page that can no longer take it (a
// "停止する" whose program has ended) passes it on to the page's next tab stop.
void returnFocus(ui::TForm& form, HWND focused, const ui::TControl* page) {
    ui::TControl* control = ui::TControl::FromHandle(focused);
    if (control == nullptr || GetActiveWindow() != form.Handle())
        return;
    if (!control->CanFocus() && page != nullptr && IsChild(page->Handle(), focused))
        control = form.NextTabStopOn(*control, page->Handle());
    if (control != nullptr && control->CanFocus())
        SetFocus(control->Handle());
}

} // namespace

// A machine-wide switch changed by "wexdal.exe /set ROW=STATE" started elevated:
// the window stays alive meanwhile (painting, its timers) but takes no input, and
// reads the state back itself. A declined consent prompt changes nothing and says
// nothing.
kel::ActionResult MainWindow::RunElevated(const kel::TAction& action, int state) {
    std::vector<kel::TBackupFile> before = kel::ListBackups();
    std::optional<long> exitCode = RunElevatedCommand(
        L"/set " + kel::AnsiToWide(action.row) + L"=" + kel::AnsiToWide(std::to_string(state)));
    if (exitCode == kExitNoBackup || exitCode == kExitStoppedPartWay)
        throw kel::BackupError(NoBackupMessage(*exitCode, before));
    kel::ActionResult result = kel::ReadBackSwitch(action, *officeInfo_, state, exitCode == 0);
    if (!exitCode)
        result.outcome = kel::TOutcome::Quiet;
    return result;
}

// Office's repair by "wexdal.exe /repair Office" (or "OfficeOnline") started
// elevated, with the window's questions and messages around it.
kel::ActionResult MainWindow::RepairOfficeElevated() {
    kel::RepairOfficeAsking(*this, *officeInfo_, [this](kel::TRepairDepth depth) {
        std::optional<long> exitCode = RunElevatedCommand(
            depth == kel::TRepairDepth::Quick ? L"/repair Office" : L"/repair OfficeOnline");
        // The command's own codes: 0 repaired, 1 not, anything else not run.
        if (exitCode && *exitCode != kExitDone && *exitCode != kExitNotDone)
            return std::optional<long>(kel::kRepairNotStarted);
        return exitCode;
    });
    kel::ActionResult result;
    result.outcome = kel::TOutcome::Quiet;
    return result;
}

std::optional<long> MainWindow::RunElevatedCommand(const std::wstring& parameters) {
    TElevatedStart start = gStartElevated(Handle(), parameters);
    if (start.declined)
        return std::nullopt;
    if (!start.process.valid())
        return -1;
    bool wasEnabled = IsWindowEnabled(Handle()) != FALSE, panelShown = PL_Wait->Visible();
    EnableWindow(Handle(), FALSE);
    if (!panelShown) {
        PL_Wait->SetCaption(kWaitCaption);
        PL_Wait->Show();
    }
    long exitCode = WaitPumping(start.process.get());
    if (!panelShown)
        PL_Wait->Hide();
    if (wasEnabled)
        EnableWindow(Handle(), TRUE);
    return exitCode;
}

// Locks the shown page under the wait panel and stops the timer while the action
// runs; restores both before the outcome (or an error that ended the action) is
// shown. A window asked to close meanwhile shows no outcome and closes afterwards,
// its timer left stopped.
void MainWindow::ActionButtonClick(const kel::TAction& action, int state) {
    BusyScope busy(*this);
    HWND focused = GetFocus();
    bool timerWasOn = Timer1->Enabled();
    Timer1->SetEnabled(false);
    int index = GLB_Menu->ItemIndex();
    auto* page = index >= 0 ? Find<ui::TControl>(names::Page(GLB_Menu->Item(index))) : nullptr;
    if (page != nullptr)
        page->SetEnabled(false);
    PL_Wait->SetCaption(kWaitCaption);
    PL_Wait->Show();
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);

    kel::ActionResult result;
    std::string error;
    try {
        bool elevatedCommand = kel::RunPlaceOf(action.scope, kel::gProcessElevated()) ==
                               kel::TRunPlace::ElevatedCommand;
        if (elevatedCommand && action.IsSwitch())
            result = RunElevated(action, state);
        else if (elevatedCommand && action.kind == kel::TActionKind::RepairOffice)
            result = RepairOfficeElevated();
        else
            result = kel::RunAction(action, state, *this, *officeInfo_);
    } catch (const std::exception& failure) {
        error = failure.what();
        if (action.IsSwitch()) // the pair shows what is, not what was clicked
            result = kel::ReadBackAfterError(action, *officeInfo_);
    }
    PL_Wait->Hide();
    if (Closing())
        return;
    if (result.switchRow != nullptr)
        SetPairState(*this, result.switchRow, result.stateRead != 0);
    auto restore = [&] {
        if (page != nullptr)
            page->SetEnabled(true);
        Timer1->SetEnabled(timerWasOn && !Closing());
        returnFocus(*this, focused, page);
    };
    if (!error.empty()) {
        restore();
        ui::ShowMessageDialog(error, ui::TMsgDlgType::mtError, ui::mbOK);
        return;
    }
    if (const kel::OutcomeMessage* message = kel::MessageOf(result))
        ui::ShowMessageDialog(message->text,
                              message->warning ? ui::TMsgDlgType::mtWarning
                                               : ui::TMsgDlgType::mtInformation,
                              ui::mbOK);
    restore();
}

} // namespace app
