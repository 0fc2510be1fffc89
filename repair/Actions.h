// The one table of what the pages' rows do: every switch and every button, typed.
// The pages build their rows from it and each control runs its own row; the report
// reads the switches through it; the command line finds a row by its name.
#pragma once

#include "office/Applications.h"
#include "office/OfficeInfo.h"
#include "office/ProcessSurvey.h"
#include "repair/Elevation.h"
#include "repair/Repairs.h"

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
    TRepairResult repaired; // RepairTried: what the repair found and left
};

// The row icons of the pages, as the window's strip of them has them.
enum class TRowIcon { None = -1, Warning = 0, Error = 1, Information = 2, Question = 3 };

enum class TActionKind {
    Switch,        // a pair "する" (1) / "しない" (0): read and set
    OpenUpdate,    // starts the Office update (OfficeUpdate.h)
    Terminate,     // ends a running application after asking
    GuardedRepair, // a repair made once its application is closed
    RepairOffice,  // Office's own repair (OfficeRepair.h)
};

// What a row changes: Office's own settings and files (absent from a PC whose page
// for it is not built), or Windows' own, which every PC has.
enum class TSubject { Office, Windows };

struct TAction {
    TPage page;          // the page holding the row
    int position;        // the row's place on its page, from the top (0 first)
    const char* row;     // its name: the controls' ("BB_XlsMenuBar", "SB_MsoClip1"),
                         // the report's and the command line's
    const char* label;   // the row's text; nullptr: the button spans the row
    const char* caption; // a button's; nullptr for a switch ("する" / "しない")
    TRowIcon icon;
    TActionKind kind;
    TScope scope;
    bool (*read)(const TKelOfficeInfo& info); // Switch: true "する", false "しない"
    // Switch: makes the change; false when the setter knows it was not made (the
    // change then fails whatever the state reads back).
    bool (*set)(const TKelOfficeInfo& info, bool state);
    std::optional<TApplication> application;             // Terminate, GuardedRepair
    TRepairResult (*repair)(const TKelOfficeInfo& info); // GuardedRepair
    TOutcome declined; // GuardedRepair: the outcome when a termination is declined
    TSubject subject;

    bool IsSwitch() const { return kind == TActionKind::Switch; }
};
extern const std::span<const TAction> kActions;

// The row of that name, compared exactly; nullptr when there is none.
const TAction* FindAction(const std::string& row);

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

// A switch's state read back after its change to state was tried (made: as far as
// the setter knows): the change succeeded when it was made and the state reads as
// asked. The window, its elevated change and the commands read back alike. A read
// that fails throws.
ActionResult ReadBackSwitch(const TAction& item, const TKelOfficeInfo& info, int state, bool made);
// After a change that failed with an error: the state as it reads now, or, when the
// read fails too, nothing known (no switchRow).
ActionResult ReadBackAfterError(const TAction& item, const TKelOfficeInfo& info);

// Runs a row: a switch is set to state (0 or 1) and read back; a button's action
// runs as its kind says. Registry errors pass through.
ActionResult RunAction(const TAction& action, int state, TActionHost& host, TKelOfficeInfo& info);

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
