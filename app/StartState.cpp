#include "app/StartState.h"

namespace app {

bool IsMinimising(int command) {
    return command == kShowMinimized || command == kMinimize || command == kShowMinNoActive ||
           command == kForceMinimize;
}

int StartShowCommand(int requested) {
    if (requested == kForceMinimize)
        return kShowMinNoActive; // forcing is for another thread's window
    return IsMinimising(requested) ? requested : kShowNormal;
}

} // namespace app
