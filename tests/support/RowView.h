// The window's running-state rows, kept in memory: what each row shows.
#pragma once

#include "office/ProcessSurvey.h"

#include <map>
#include <string>

namespace testing_support {

struct RowView : kel::TRunningStateView {
    struct Row {
        std::string caption;
        bool running = false;
    };
    std::map<std::string, Row> rows;

    void ShowRunningState(const std::string& row, const std::string& caption,
                          bool running) override {
        rows[row] = {caption, running};
    }
};

} // namespace testing_support
