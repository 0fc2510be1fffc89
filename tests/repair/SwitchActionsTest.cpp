#include "repair/Actions.h"

#include "repair/SwitchStates.h"
#include "tests/sample/SampleMachine.h"
#include "widgets/Component.h"

#include <gtest/gtest.h>

using namespace kel;

namespace {

class ActionForm : public ui::TForm {
  public:
    ActionForm() : TForm("WexdalActionForm", "Actions", WS_OVERLAPPEDWINDOW, 0) {}
};

// Every switch row of the pages, on the sample machine: its action reads the state
// back through the getter of the one table of switch states, both ways, and the
// row is left as it was found.
class SwitchActions : public testing::Test {
  protected:
    SwitchActions() { sample::Lay(sample::Standard()); }
    ~SwitchActions() override { sample::Remove(); }
};

TEST_F(SwitchActions, EverySwitchReadsBackThroughTheTableOfStates) {
    TKelOfficeInfo info;
    ASSERT_EQ(DetectOffice(info), 0);
    ActionForm form;
    for (const char* row : {"MsoClip", "LogonIme", "XlsBrowser", "DocBrowser", "PptBrowser",
                            "PptLocalSv", "EmlWsh"}) {
        const TSwitchState* state = FindSwitchState(row);
        ASSERT_NE(state, nullptr) << row;
        int found = state->read(info);
        for (int wanted : {1 - found, found}) {
            ActionResult result =
                RunAction(std::string("SB_") + row + std::to_string(wanted), form, info);
            EXPECT_TRUE(result.switchSucceeded) << row << wanted;
            EXPECT_EQ(state->read(info), wanted) << row;
        }
    }
}

} // namespace
