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

TEST(ParseVersion, ReadsPlainDecimalsOnly) {
    const std::string tiny = "0." + std::string(400, '0') + "1";
    const std::string huge = "1" + std::string(400, '0');
    const struct {
        std::string text;
        bool reads;
        double value;
    } cases[] = {
        {"11.0", true, 11},
        {"11", true, 11},
        {"0.1", true, 0.1},
        {".5", true, 0.5},
        {"9.", true, 9},
        {"-1.5", true, -1.5},
        {"007.50", true, 7.5},
        {"0.0", true, 0},
        {"12345678901234567890123", true, 12345678901234567890123.0},
        {"", false, 0},
        {".", false, 0},
        {"-", false, 0},
        {"1.2.3", false, 0},
        {"+1", false, 0},
        {" 1", false, 0},
        {"1e3", false, 0},
        {"inf", false, 0},
        {"nan", false, 0},
        {"1O", false, 0},
        {tiny, false, 0},
        {huge, false, 0},
    };
    for (const auto& c : cases) {
        double version = 7;
        EXPECT_EQ(ParseVersion(c.text, version), c.reads) << c.text;
        EXPECT_EQ(version, c.reads ? c.value : 7) << c.text;
    }
    // Equal decimals read alike, however they are written.
    EXPECT_TRUE(SameVersion("7.97735379", "7.977353790"));
    EXPECT_TRUE(SameVersion("34455.497883", "034455.4978830000"));
}

} // namespace
