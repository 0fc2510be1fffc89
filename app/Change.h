// The commands that change things, for help desks' scripts and for the window's
// elevated changes: /set and /check of switches, /repair of a repair. Each walks the
// one table of rows, reads back what it changed and answers an exit code.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace app {

// Exit codes of the change commands (the usage lists them).
constexpr int kExitDone = 0; // every change read back as asked, or every state as given
// A change did not read back, a state differs, a repair was not made, or the command
// could not run (the report not read, an error that stopped it).
constexpr int kExitNotDone = 1;
constexpr int kExitNotWritten = 2; // a report's file could not be written
constexpr int kExitAbsent = 3;     // a row this PC does not have, the others done or as given
constexpr int kExitNotTheDeskUser =
    4; // a per-user row in an account other than the desk's (SYSTEM)
constexpr int kExitNeedsAdministrator = 5; // a machine-wide row without administrator rights
constexpr int kExitNoBackup = 6; // a change's backup could not be written: nothing was changed
constexpr int kExitStoppedPartWay =
    7; // a backup could not be written after the change's first steps: its backup names them
constexpr int kExitUntrustedProgram =
    8; // a change run as SYSTEM from a program file or folder another account may change
constexpr int kExitBadArguments = 87; // an unknown name, or a malformed NAME=0|1

// One switch and the state asked for or expected ("MsoClip", 0).
struct TSetting {
    std::string row;
    int state = 0;
};

// A name and what became of it ("ok", "differs", "failed", "absent", ...), or a
// switch's name and its state (kNoRow where this PC has no such row).
using TNamedOutcome = std::pair<std::string, std::string>;
using TNamedState = std::pair<std::string, int>;

// What a command prints and its exit code. text: one line per name (code page
// 932, CR LF), or the reason of a refusal. The same as data, for its JSON document:
// each name's outcome, the switches' states read (after a change) and, for /set,
// before it.
struct TCommandResult {
    int exitCode = kExitDone;
    std::string text;
    std::vector<TNamedOutcome> results;
    std::vector<TNamedState> switches;
    std::optional<std::vector<TNamedState>> before;
};

// A result that is its text alone: a refusal's or a failure's reason.
TCommandResult TextResult(int exitCode, std::string text);

// The command's JSON document (UTF-8), alike for every command: "Results" (each
// name's outcome), "Switches", "Before" (null but for /set), "Text" (what the
// command prints without /json: its lines or the reason it was refused) and
// "ExitCode".
std::string CommandJson(const TCommandResult& result);

// One result of two parts of a command run one after the other (/check of switches
// and of the user information): their lines, outcomes and states in order, and the
// weightier exit code (a refusal or a stop, then not done, then absent).
TCommandResult CombineResults(TCommandResult first, const TCommandResult& second);

// The account a command runs under; tests put another there.
struct TCommandAccount {
    bool elevated = false; // administrator rights unfiltered
    bool deskUser = true;  // the user signed in at the desk (not SYSTEM, not another account)
    bool system = false;   // the local system account (startup scripts, Intune, services)
};
extern TCommandAccount (*gCommandAccount)();

// A change run as SYSTEM trusts only a program that no other account could have
// replaced: the refusal (kExitUntrustedProgram, naming the place) when
// kel::UntrustedProgramPlace finds a step of programFile's path that is not the
// administrators' alone; nothing for any other account or a program that is theirs.
std::optional<TCommandResult> RefuseUntrustedProgram(const TCommandAccount& account,
                                                     const std::wstring& programFile);

// /set (change) or /check (!change) of the settings, in their order. /set changes
// nothing when any row is refused for this account; otherwise it sets each switch,
// reads it back and prints "NAME BEFORE AFTER ok|failed", and stops at the first
// whose backup can't be written (the rows after it print "skipped"); /check prints
// "NAME STATE ok|differs". A row whose page this PC does not have prints
// "NAME null null absent" (or "NAME null absent"): kExitAbsent unless another row is
// not done. A row of Windows' own settings answers on every PC.
TCommandResult RunSwitchCommand(const std::vector<TSetting>& settings, bool change);

// /repair NAME, for the account that runs it: not made while its application runs
// for this user (a script never ends a program). "ok" when what it removes is gone,
// "nothing to do" when there was nothing, "failed" (exit 1) when some of it stays.
// "/repair Office" runs Office's own quick repair (Windows Installer Office: its
// repair), "/repair OfficeOnline" Click-to-Run's online one; both machine-wide,
// and, as Office's own repair, they close the Office programs that run. "absent"
// where this machine has none, "ok" on an exit code that says it was made
// (OfficeRepaired), else "failed" with it.
TCommandResult RunRepairCommand(const std::string& row);

// /userinfo: the given names ("Company", "Owner", "Initials") set to their values
// (code page 932) everywhere the window's update writes them that this account may
// write: the account's own settings when it is the user at the desk, the machine's
// places (registrations, the default profile) with administrator rights; the
// others are left alone. Each place is read back as it is written. A name that no
// place holds for this account prints "absent" (exit 3 when nothing else failed; so
// does every name without Office). Exit 1 when a write did not read back, 5 when the
// machine's places needed rights this account lacks (what it could write is
// written), 4 when it may write nothing.
TCommandResult RunUserInfoCommand(const std::vector<std::pair<std::string, std::string>>& fields);

// /check of the user information: each field given ("Company", "Owner", "Initials"
// with the value in code page 932) compared in every place /userinfo would write in
// this account, with the same account rules: "Company=VALUE ok|differs|absent"
// (exit 1 when one differs, 3 when one has no place or Office is not found, 4 when
// the account may write no place).
TCommandResult RunUserInfoCheck(const std::vector<std::pair<std::string, std::string>>& fields);

// /undo FILE: imports one backup of the program's (a registry file) with the
// system's reg.exe, in the 64-bit view on 64-bit Windows as the file says, after
// backing up what it will put back, then reads every section back and the switch it
// was made for. A file of the account's own keys needs the user at the desk (exit
// 4); one that names any other key must be a backup of the machine's folder (else
// 87, with the reg import line for an administrator who means it) and needs
// administrator rights (exit 5); a file that is not a registry file the program
// reads exactly exits 87; a failed import, or one that does not read back, 1.
TCommandResult RunUndoCommand(const std::wstring& file);

// The usage's lines of the change commands, with every row name they take; "%s"
// stands for the program's file name.
std::wstring ChangeCommandsUsage();

} // namespace app
