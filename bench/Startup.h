// Start-up benchmark: how long a program takes from its start to a visible window
// whose list box holds the expected items, and its peak working set then.
#pragma once

#include <string>
#include <vector>

namespace bench {

struct Program {
    std::string path;
    const char* title; // of the window to wait for
    int items;         // in its list box when it is ready
    std::string arguments = {};
};

struct StartupRun {
    bool ready = false;
    double shownSeconds = 0; // until the window is visible
    double seconds = 0;      // until it is ready
    double peakBytes = 0;
    int windows = 0; // the window's descendants when it is ready
};

// Starts the program, waits until it is ready (up to 30 s), reads its peak working
// set, closes its window and waits for it to end (terminates it after 10 s).
StartupRun StartOnce(const Program& program);

struct StartupRows {
    std::vector<double> shownSeconds, seconds, peakBytes;
    int failures = 0;
};

// Starts each program rounds times, one after the other in every round (in turn
// forwards and backwards), so that the load on the machine falls on all alike.
std::vector<StartupRows> StartInterleaved(const std::vector<Program>& programs, int rounds);

} // namespace bench
