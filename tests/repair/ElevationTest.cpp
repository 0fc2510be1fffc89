#include "repair/Elevation.h"

#include <gtest/gtest.h>

using namespace kel;

namespace {

// Every scope in every kind of process: where the window runs the change, and
// whether a command may make it.
TEST(Elevation, WhereAChangeRunsAndWhoMayMakeIt) {
    struct Case {
        TScope scope;
        bool elevated, deskUser;
        TRunPlace place;
        TPermit permit;
    };
    const TRunPlace here = TRunPlace::InProcess, elevatedCommand = TRunPlace::ElevatedCommand;
    const TPermit allowed = TPermit::Allowed, notDesk = TPermit::NotTheDeskUser,
                  admin = TPermit::NeedsAdministrator;
    const Case cases[] = {
        // a standard user or a filtered administrator at the desk
        {TScope::User, false, true, here, allowed},
        {TScope::Machine, false, true, elevatedCommand, admin},
        {TScope::None, false, true, here, allowed},
        // "Run as administrator" by the desk's own administrator
        {TScope::User, true, true, here, allowed},
        {TScope::Machine, true, true, here, allowed},
        // SYSTEM, or a help desk's credentials: never another account's profile
        {TScope::User, true, false, here, notDesk},
        {TScope::Machine, true, false, here, allowed},
        {TScope::User, false, false, here, notDesk},
        {TScope::Machine, false, false, elevatedCommand, admin},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.scope) << c.elevated << c.deskUser);
        EXPECT_EQ(RunPlaceOf(c.scope, c.elevated), c.place);
        EXPECT_EQ(CommandPermit(c.scope, c.elevated, c.deskUser), c.permit);
    }
}

} // namespace
