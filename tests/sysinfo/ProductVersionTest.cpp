#include "sysinfo/ProductVersion.h"

#include <gtest/gtest.h>

using namespace kel;

namespace {

TEST(MajorVersionOf, CutsBeforeTheSecondDot) {
    EXPECT_EQ(MajorVersionOf("11.0.5604"), "11.0");
    EXPECT_EQ(MajorVersionOf("9.0.0.2719"), "9.0");
    EXPECT_EQ(MajorVersionOf("10.0"), "");
    EXPECT_EQ(MajorVersionOf("10"), "");
    EXPECT_EQ(MajorVersionOf(""), "");
    EXPECT_EQ(MajorVersionOf(".."), ".");
}

} // namespace
