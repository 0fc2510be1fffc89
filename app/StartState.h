// How the main window first appears: from the show command the process was started
// with (a shortcut set to start minimised, for example).
#pragma once

namespace app {

// The platform's show commands (SW_ values) that this rule tells apart.
enum ShowCommand : int {
    kShowNormal = 1,
    kShowMinimized = 2,
    kMinimize = 6,
    kShowMinNoActive = 7,
    kForceMinimize = 11,
};

// A minimising command is kept; any other shows the window normally: the window
// has a fixed size, so it is never maximised, and it is never started hidden.
int StartShowCommand(int requested);

// Whether the window is shown minimised, so that it is not brought to the front.
bool IsMinimising(int command);

} // namespace app
