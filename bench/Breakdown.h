// Where the program's start-up time goes: the main window's creation, page
// construction, and each platform-bound call that page construction makes, timed
// one by one in the order the pages are built; and the states a page reads at its
// first show, which start-up does not wait for.
#pragma once

namespace bench {

// Prints the first (cold) time of every step and the median of rounds more.
void PrintStartupBreakdown(int rounds);

} // namespace bench
