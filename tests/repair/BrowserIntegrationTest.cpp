#include "repair/BrowserIntegration.h"

#include "sysinfo/Registry.h"
#include "tests/sample/ModernMachine.h"
#include "tests/sample/SampleMachine.h"
#include "tests/support/ScratchKey.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kel;
using namespace testing_support;

namespace {

const char kClsid[] = "{64818D10-4F9B-11CF-86EA-00AA00B929E8}";

// A document type .wxp of class WexdalTest.Show.8 with a COM class and local server.
class BrowserIntegrationTest : public testing::Test {
  protected:
    ScratchKey extension{HKEY_CLASSES_ROOT, "\\.wxp"};
    ScratchKey documentClass{HKEY_CLASSES_ROOT, "\\WexdalTest.Show.8"};
    ScratchKey comClass{HKEY_CLASSES_ROOT, std::string("\\CLSID\\") + kClsid};
    std::string localServer = comClass.sub("LocalServer32");
    std::string setAside = comClass.sub("_KelDisabled_LocalServer32");

    BrowserIntegrationTest() {
        putString(HKEY_CLASSES_ROOT, extension.path(), "", "WexdalTest.Show.8");
        putString(HKEY_CLASSES_ROOT, documentClass.sub("CLSID"), "", kClsid);
        putString(HKEY_CLASSES_ROOT, localServer, "", "C:\\Office\\POWERPNT.EXE /automation");
        putString(HKEY_CLASSES_ROOT, localServer, "LocalServer32", "packed-darwin-descriptor");
        putString(HKEY_CLASSES_ROOT, localServer + "\\Extra", "", "sub-key");
    }

    int flags() {
        int value = 0;
        ReadRegInteger(HKEY_CLASSES_ROOT, documentClass.path(), "BrowserFlags", value);
        return value;
    }
};

TEST_F(BrowserIntegrationTest, BrowserFlagsDecideTheState) {
    EXPECT_EQ(GetBrowserIntegration("wxp"), 1); // absent

    putDword(HKEY_CLASSES_ROOT, documentClass.path(), "BrowserFlags", 9);
    EXPECT_EQ(GetBrowserIntegration("wxp"), 1);

    putString(HKEY_CLASSES_ROOT, documentClass.path(), "BrowserFlags", "8");
    EXPECT_EQ(GetBrowserIntegration("wxp"), 1);

    putDword(HKEY_CLASSES_ROOT, documentClass.path(), "BrowserFlags", 8);
    EXPECT_EQ(GetBrowserIntegration("wxp"), 0);
    EXPECT_EQ(GetBrowserIntegration("WXP"), 0);
}

TEST_F(BrowserIntegrationTest, SettingWritesEightOrRemovesTheValue) {
    putDword(HKEY_CLASSES_ROOT, documentClass.path(), "BrowserFlags", 9);
    SetBrowserIntegration("Wxp", 0);
    EXPECT_EQ(flags(), 8);
    EXPECT_EQ(GetBrowserIntegration("wxp"), 0);

    SetBrowserIntegration("wxp", 1);
    EXPECT_FALSE(valueExists(HKEY_CLASSES_ROOT, documentClass.path(), "BrowserFlags"));
    EXPECT_EQ(GetBrowserIntegration("wxp"), 1);
}

TEST_F(BrowserIntegrationTest, AnExtensionWithoutClassIsLeftAlone) {
    removeTree(HKEY_CLASSES_ROOT, extension.path());
    SetBrowserIntegration("wxp", 0);
    EXPECT_EQ(GetBrowserIntegration("wxp"), 1);
    EXPECT_FALSE(valueExists(HKEY_CLASSES_ROOT, documentClass.path(), "BrowserFlags"));
    SetLocalServerDisabled("wxp", 1);
    EXPECT_EQ(IsLocalServerDisabled("wxp"), 0);
    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, localServer));
}

// An empty, non-string or changed class name is no class: nothing is written at the
// root of HKEY_CLASSES_ROOT nor into a key that the name only seems to name.
TEST_F(BrowserIntegrationTest, AMalformedClassNameIsNoClass) {
    ScratchKey decoy{HKEY_CLASSES_ROOT, "\\WexdalTest\\Show"};
    Tree decoyBefore = snapshot(HKEY_CLASSES_ROOT, decoy.path());
    const Bytes empty = {0, 0};
    const Bytes number = {8, 0, 0, 0};
    std::wstring yen = L"WexdalTest\u00A5Show"; // reads back as WexdalTest\Show through ANSI
    const Bytes yenBytes(reinterpret_cast<const BYTE*>(yen.c_str()),
                         reinterpret_cast<const BYTE*>(yen.c_str() + yen.size() + 1));
    struct Case {
        DWORD type;
        const Bytes& data;
    } cases[] = {{REG_SZ, empty}, {REG_DWORD, number}, {REG_SZ, yenBytes}};
    for (const Case& c : cases) {
        putWideValue(HKEY_CLASSES_ROOT, L".wxp", L"", c.type, c.data);
        for (int state : {0, 1}) {
            SetBrowserIntegration("wxp", state);
            EXPECT_EQ(GetBrowserIntegration("wxp"), 1);
            EXPECT_FALSE(valueExists(HKEY_CLASSES_ROOT, "", "BrowserFlags"));
            SetLocalServerDisabled("wxp", state);
            EXPECT_EQ(IsLocalServerDisabled("wxp"), 0);
        }
        EXPECT_EQ(snapshot(HKEY_CLASSES_ROOT, decoy.path()), decoyBefore);
        EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, localServer));
    }
}

TEST_F(BrowserIntegrationTest, AnEmptyClassIdIsNoClassId) {
    putString(HKEY_CLASSES_ROOT, documentClass.sub("CLSID"), "", "");
    putString(HKEY_CLASSES_ROOT, "\\CLSID\\LocalServer32", "", "not ours");
    Tree clsidRoot = snapshot(HKEY_CLASSES_ROOT, "\\CLSID\\LocalServer32");
    SetLocalServerDisabled("wxp", 1);
    EXPECT_EQ(IsLocalServerDisabled("wxp"), 0);
    EXPECT_EQ(snapshot(HKEY_CLASSES_ROOT, "\\CLSID\\LocalServer32"), clsidRoot);
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, "\\CLSID\\_KelDisabled_LocalServer32"));
    removeTree(HKEY_CLASSES_ROOT, "\\CLSID\\LocalServer32");
}

TEST_F(BrowserIntegrationTest, LocalServerSetAsideAndRestoredUnchanged) {
    Tree before = snapshot(HKEY_CLASSES_ROOT, localServer);
    EXPECT_EQ(IsLocalServerDisabled("wxp"), 0);

    SetLocalServerDisabled("Wxp", 1);
    EXPECT_EQ(IsLocalServerDisabled("wxp"), 1);
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, localServer));
    EXPECT_EQ(snapshot(HKEY_CLASSES_ROOT, setAside), before);

    SetLocalServerDisabled("wxp", 0);
    EXPECT_EQ(IsLocalServerDisabled("wxp"), 0);
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, setAside));
    EXPECT_EQ(snapshot(HKEY_CLASSES_ROOT, localServer), before);
}

TEST_F(BrowserIntegrationTest, LocalServerStaysWhenBothKeysExist) {
    putString(HKEY_CLASSES_ROOT, setAside, "", "older copy");
    Tree setAsideBefore = snapshot(HKEY_CLASSES_ROOT, setAside);
    Tree localServerBefore = snapshot(HKEY_CLASSES_ROOT, localServer);
    for (int state : {1, 0}) {
        SetLocalServerDisabled("wxp", state);
        EXPECT_EQ(snapshot(HKEY_CLASSES_ROOT, localServer), localServerBefore);
        EXPECT_EQ(snapshot(HKEY_CLASSES_ROOT, setAside), setAsideBefore);
    }
}

TEST_F(BrowserIntegrationTest, ClassWithoutClsidReadsAsNotDisabled) {
    removeTree(HKEY_CLASSES_ROOT, documentClass.sub("CLSID"));
    EXPECT_EQ(IsLocalServerDisabled("wxp"), 0);
    SetLocalServerDisabled("wxp", 1);
    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, localServer));
}

// CLSID is redirected: 64-bit Office registers PowerPoint's server in the 64-bit view
// only, 32-bit Office in the 32-bit view, and a 32-bit registration may be left
// beside a 64-bit Office. The server is moved in every view that holds it, whichever
// bitness the program has, and is disabled only while no view holds it in place.
TEST(LocalServerView, TheServerIsReadAndMovedInEveryViewThatHoldsIt) {
    const struct {
        const char* machine;
        void (*lay)();
        std::vector<RegView> views;
    } machines[] = {
        {"Microsoft 365, 64-bit", sample::LayM365, {RegView::Bits64}},
        {"Office 2016, 32-bit", sample::LayOffice2016, {RegView::Bits32}},
        {"Microsoft 365 beside a 32-bit registration",
         [] {
             sample::LayM365();
             sample::LayTextInView("HKCR32", std::string("\\CLSID\\") + kClsid + "\\LocalServer32",
                                   "", "C:\\Program Files (x86)\\Microsoft Office\\POWERPNT.EXE");
         },
         {RegView::Bits64, RegView::Bits32}},
    };
    const std::string server = std::string("\\CLSID\\") + kClsid + "\\LocalServer32";
    const std::string setAside = std::string("\\CLSID\\") + kClsid + "\\_KelDisabled_LocalServer32";
    for (const auto& machine : machines) {
        machine.lay();
        EXPECT_EQ(IsLocalServerDisabled("ppt"), 0) << machine.machine;
        SetLocalServerDisabled("ppt", 1);
        EXPECT_EQ(IsLocalServerDisabled("ppt"), 1) << machine.machine;
        for (RegView view : machine.views) {
            EXPECT_EQ(RegKeyExists(HKEY_CLASSES_ROOT, server, view), -1) << machine.machine;
            EXPECT_EQ(RegKeyExists(HKEY_CLASSES_ROOT, setAside, view), 0) << machine.machine;
            // One view's server in place again is enough for it to run.
            EXPECT_EQ(RenameRegKey(HKEY_CLASSES_ROOT, setAside, server, view), 0);
            EXPECT_EQ(IsLocalServerDisabled("ppt"), 0) << machine.machine;
            EXPECT_EQ(RenameRegKey(HKEY_CLASSES_ROOT, server, setAside, view), 0);
        }
        SetLocalServerDisabled("ppt", 0);
        EXPECT_EQ(IsLocalServerDisabled("ppt"), 0) << machine.machine;
        for (RegView view : machine.views) {
            EXPECT_EQ(RegKeyExists(HKEY_CLASSES_ROOT, server, view), 0) << machine.machine;
            EXPECT_EQ(RegKeyExists(HKEY_CLASSES_ROOT, setAside, view), -1) << machine.machine;
        }
        sample::Remove();
    }
}

} // namespace
