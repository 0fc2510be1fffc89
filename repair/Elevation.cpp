#include "repair/Elevation.h"

namespace kel {

TRunPlace RunPlaceOf(TScope scope, bool elevated) {
    return scope == TScope::Machine && !elevated ? TRunPlace::ElevatedCommand
                                                 : TRunPlace::InProcess;
}

TPermit CommandPermit(TScope scope, bool elevated, bool deskUser) {
    if (scope == TScope::User && !deskUser)
        return TPermit::NotTheDeskUser;
    if (scope == TScope::Machine && !elevated)
        return TPermit::NeedsAdministrator;
    return TPermit::Allowed;
}

} // namespace kel
