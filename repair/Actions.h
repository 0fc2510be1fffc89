// The actions behind the page buttons, looked up by the clicked control's name.
#pragma once

#include "office/Applications.h"
#include "office/OfficeInfo.h"
#include "office/ProcessSurvey.h"

#include <optional>
#include <span>
#include <string>

namespace kel {

enum class TOutcome { Switched = 0, RepairTried = 1, Quiet = 9 };

struct ActionResult {
    TOutcome outcome = TOutcome::Switched;
    bool switchSucceeded = false;
    // A switch's row ("MsoClip") and the state it read after the change, which its
    // pair shows whether or not the change was made; nullptr for other actions.
    const char* switchRow = nullptr;
    int stateRead = 0;
};

// The row icons of the pages, as the window's strip of them has them.
enum class TRowIcon { None = -1, Warning = 0, Error = 1, Information = 2, Question = 3 };

enum class TActionKind { OpenUpdate, Terminate, GuardedRepair };

// Every button of the pages other than the switches (Switches.h), one row each:
// where it is shown, what it says, and what it runs. The pages build their button
// rows from it and the clicks are dispatched through it. A new repair is a new row.
struct TAction {
    const char* page;    // "Office", "Excel", ...
    int position;        // the row's place on its page, from the top (0 first)
    const char* row;     // "XlsMenuBar": the button BB_XlsMenuBar
    const char* label;   // the row's text; nullptr: the button spans the row
    const char* caption; // the button's
    TRowIcon icon;
    TActionKind kind;
    std::optional<TApplication> application;    // Terminate, GuardedRepair
    void (*repair)(const TKelOfficeInfo& info); // GuardedRepair
    TOutcome declined; // GuardedRepair: the outcome when a termination is declined
    bool ownAccount;   // acts on the settings of the program's account
};
extern const std::span<const TAction> kActions;

// What an action needs of the window: the running-state rows it refreshes, and
// the user's answers.
class TActionHost : public TRunningStateView {
  public:
    // A question with Yes and No: true on Yes.
    virtual bool Confirm(const std::string& question) = 0;
    // A message with OK.
    virtual void Inform(const std::string& message) = 0;
    // True once the window was asked to close (while a question was open, say): an
    // action that finds it so after a question stops without acting.
    virtual bool Closing() const = 0;

  protected:
    ~TActionHost() = default;
};

// Runs the action named by a control ("SB_MsoClip1", "BB_XlsMenuBar", ...); an
// unknown name does nothing and gives Switched without success. Registry errors
// pass through.
ActionResult RunAction(const std::string& actionName, TActionHost& host, TKelOfficeInfo& info);

// Asks "<ViewName> を強制終了します。宜しいですか？"; on Yes terminates the
// application's processes, waits for them to end (a bounded time) and 100 ms more,
// surveys its row again and returns 0 when none of them runs any more, 1 when one
// still does. Any other answer, or a window closing meanwhile, returns -1 and
// changes nothing.
int ConfirmTerminate(TActionHost& host, TKelOfficeInfo& info, TApplication application);
int ConfirmTerminateExcel(TActionHost& host, TKelOfficeInfo& info);
int ConfirmTerminateWord(TActionHost& host, TKelOfficeInfo& info);
int ConfirmTerminatePowerPoint(TActionHost& host, TKelOfficeInfo& info);

// Ends an application's processes (TerminateProcesses); tests put one there that
// can fail.
extern bool (*gTerminateProcesses)(const ProcessIds& ids, const std::string& programName);

// The user signed in at the desk, by name and SID; tests put another there.
struct TDeskUser {
    std::wstring name;
    std::string sid;
};
extern TDeskUser (*gDeskUser)();

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
