// The frame of the end-to-end tests: the real wexdal.exe started on a sample
// machine, driven through its windows, closed and the machine removed afterwards.
#pragma once

#include "tests/sample/SampleMachine.h"
#include "tests/support/Fixtures.h"
#include "tests/support/Processes.h"
#include "tests/support/Remote.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace testing_support {

class Session : public testing::Test {
  protected:
    ~Session() override {
        if (program && program->running())
            program->close("Wexdal");
        program.reset();
        sample::Remove();
    }

    // Starts the program (show: the show command handed to it) and waits for its
    // window, and for the menu's pages when asked.
    RemoteWexdal& launch(int show = -1, bool waitForMenu = true) {
        program = std::make_unique<ChildProcess>(wexdalPath(), "", show);
        HWND window = program->window("Wexdal");
        EXPECT_NE(window, nullptr);
        remote = std::make_unique<RemoteWexdal>(window);
        if (waitForMenu) {
            EXPECT_TRUE(eventually([&] { return !remote->menuItems().empty(); }));
        }
        return *remote;
    }
    // Clicks a row's button and returns the message shown, answered with answer
    // (empty when none; answer nullptr: none is expected).
    std::string clickRow(const std::string& label, const std::string& caption,
                         const char* answer = "OK") {
        HWND button = remote->rowControl(label, caption);
        EXPECT_NE(button, nullptr) << label << " / " << caption;
        remote->click(button);
        HWND dialog = waitForDialog(answer ? 10000 : 1500);
        std::string message = dialog ? dialogMessage(dialog) : "";
        if (dialog)
            PostMessageA(FindWindowExA(dialog, nullptr, "Button", answer ? answer : "OK"), BM_CLICK,
                         0, 0);
        EXPECT_TRUE(waitUntilIdle(remote->main()));
        return message;
    }
    // Selects the page through the menu and waits until it is shown.
    void show(const std::string& page) {
        std::vector<std::string> items = remote->menuItems();
        for (size_t i = 0; i < items.size(); ++i)
            if (items[i] == page)
                remote->clickMenuItem(static_cast<int>(i));
        ASSERT_TRUE(eventually([&] {
            int selected = remote->selectedItem();
            return remote->visiblePage() != nullptr && selected >= 0 &&
                   remote->menuItems()[selected] == page;
        }));
    }

    std::unique_ptr<ChildProcess> program;
    std::unique_ptr<RemoteWexdal> remote;
};

} // namespace testing_support
