// The actions behind the page buttons, looked up by the clicked control's name.
#pragma once

#include "office/Applications.h"
#include "office/OfficeInfo.h"
#include "office/ProcessSurvey.h"

#include <string>

namespace kel {

enum class TOutcome { Switched = 0, RepairTried = 1, Quiet = 9 };

struct ActionResult {
    TOutcome outcome = TOutcome::Switched;
    bool switchSucceeded = false;
};

// What an action needs of the window: the running-state rows it refreshes, and
// the user's answers.
class TActionHost : public TRunningStateView {
  public:
    // A question with Yes and No: true on Yes.
    virtual bool Confirm(const std::string& question) = 0;
    // A message with OK.
    virtual void Inform(const std::string& message) = 0;

  protected:
    ~TActionHost() = default;
};

// Runs the action named by a control ("SB_MsoClip1", "BB_XlsMenuBar", ...); an
// unknown name does nothing and gives Switched without success. Registry errors
// pass through.
ActionResult RunAction(const std::string& actionName, TActionHost& host, TKelOfficeInfo& info);

// Asks "<ViewName> を強制終了します。宜しいですか？"; on Yes terminates the
// application's processes, waits 100 ms, surveys its row again and returns 0.
// Any other answer returns -1 and changes nothing.
int ConfirmTerminate(TActionHost& host, TKelOfficeInfo& info, TApplication application);
int ConfirmTerminateExcel(TActionHost& host, TKelOfficeInfo& info);
int ConfirmTerminateWord(TActionHost& host, TKelOfficeInfo& info);
int ConfirmTerminatePowerPoint(TActionHost& host, TKelOfficeInfo& info);

// The user signed in at the desk; tests put another there.
extern std::wstring (*gDeskUserName)();

// Before the first change that acts on the settings of the program's own account
// (the Office clipboard, the menu bars, the temporary files, the user
// information): when that account is not the user at the desk (the program was
// started with an administrator's credentials), says so once, naming both.
void TellOfAnotherAccountOnce(TActionHost& host);

// The message of an outcome: text and whether it is a warning; Quiet has none.
struct OutcomeMessage {
    const char* text;
    bool warning;
};
const OutcomeMessage* MessageOf(const ActionResult& result);

} // namespace kel
